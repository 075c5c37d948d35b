// Property slots: inheritance, inline declarations, accessors and the pixel arrays layout reads.
#include <gtest/gtest.h>

#include "style/properties.h"
#include "style/sheetparser.h"

namespace {

TColor Colour(const TProperties& p, int index) { return TColor(p.Values[std::size_t(index)].Int()); }

TEST(PropertiesTest, NewPropertiesAndTableLookups)
{
    TProperties p;
    for (int i = piMarginTop; i <= piLeft; ++i)
        EXPECT_EQ(p.Values[std::size_t(i)].Int(), NotSet) << PropWords[i];
    EXPECT_TRUE(p.Values[piZIndex].IsOrdinal());
    EXPECT_TRUE(p.Values[piColor].IsEmpty());
    EXPECT_EQ(p.FontBackground, NoColor);
    TProperties q;
    EXPECT_EQ(q.Serial, p.Serial + 1);
    EXPECT_EQ(PropertyIndex("font-family"), 0);
    EXPECT_EQ(PropertyIndex("display"), 57);
    EXPECT_EQ(PropertyIndex("word-wrap"), 53);
    EXPECT_EQ(PropertyIndex("Color"), -1);  // exact, lower case
    EXPECT_EQ(PropertyIndex("colour"), -1);
}

TEST(PropertiesTest, InheritanceDependsOnTheParentTag)
{
    TProperties span;
    span.ElemTag = "span";
    span.AddPropertyByName("background-color", "red");
    span.AddPropertyByName("margin-left", "5px");
    span.AddPropertyByName("border-style", "solid");
    span.AddPropertyByName("color", "blue");
    span.EmHeight = 13;

    TProperties child;
    child.Inherit("b", span);
    EXPECT_EQ(Colour(child, piBackgroundColor), 0x0000FFu);
    EXPECT_EQ(child.Values[piMarginLeft].Text(), "5px");
    EXPECT_TRUE(child.Values[piBorderStyle].IsEmpty());
    EXPECT_EQ(child.Values[piBorderTopStyle].Text(), "solid");
    EXPECT_EQ(child.EmHeight, 13);
    EXPECT_EQ(child.ExHeight, 6);

    TProperties div;
    div.ElemTag = "div";
    div.Values = span.Values;
    div.AddPropertyByName("word-wrap", "break-word");
    TProperties inDiv;
    inDiv.Inherit("p", div);
    EXPECT_TRUE(inDiv.Values[piBackgroundColor].IsEmpty());
    EXPECT_EQ(inDiv.Values[piMarginLeft].Int(), NotSet);
    EXPECT_EQ(Colour(inDiv, piColor), 0xFF0000u);
    EXPECT_EQ(inDiv.Values[piWordWrap].Text(), "break-word");
    TProperties table;
    table.Inherit("table", div);
    EXPECT_EQ(table.Values[piWordWrap].Text(), "normal");

    TProperties tbody;
    tbody.ElemTag = "tbody";
    tbody.AddPropertyByName("background-color", "red");
    tbody.Explicit[piBackgroundColor] = true;
    TProperties row;
    row.Inherit("tr", tbody);
    EXPECT_EQ(Colour(row, piBackgroundColor), 0x0000FFu);
    EXPECT_TRUE(row.Explicit[piBackgroundColor]);
}

TEST(PropertiesTest, InlineDeclarationsPerProperty)
{
    TProperties p;
    p.AddPropertyByName("color", "nonsense");
    EXPECT_EQ(p.Values[piColor].Int(), 0);  // an inline colour that does not parse is black
    p.AddPropertyByName("background-color", "nonsense");
    EXPECT_EQ(Colour(p, piBackgroundColor), NoColor);
    p.AddPropertyByName("border-color", "#00ff00");
    for (int i : {piBorderColor, piBorderTopColor, piBorderRightColor, piBorderBottomColor, piBorderLeftColor})
        EXPECT_EQ(Colour(p, i), 0x00FF00u | platform::PaletteRelative);
    p.AddPropertyByName("border-left-color", "bogus");
    EXPECT_EQ(Colour(p, piBorderLeftColor), 0x00FF00u | platform::PaletteRelative);
    p.AddPropertyByName("border-top-style", "none");
    EXPECT_TRUE(p.Values[piBorderStyle].IsEmpty());
    p.AddPropertyByName("border-top-style", "dashed");
    EXPECT_EQ(p.Values[piBorderStyle].Text(), "dashed");
    p.AddPropertyByName("visibility", "collapse");
    EXPECT_TRUE(p.Values[piVisibility].IsEmpty());
    p.AddPropertyByName("visibility", "hidden");
    EXPECT_EQ(p.GetVisibility(), VisHidden);
    p.AddPropertyByName("text-transform", "uppercase");
    EXPECT_EQ(p.GetTextTransform(), 1);
    p.AddPropertyByName("text-transform", "capitalize");
    EXPECT_EQ(p.GetTextTransform(), 0);
    p.AddPropertyByName("word-wrap", "anything");
    EXPECT_EQ(p.Values[piWordWrap].Text(), "normal");
    p.AddPropertyByName("font-variant", "small-caps");
    p.AddPropertyByName("font-variant", "oblique");
    EXPECT_EQ(p.GetFontVariant(), "small-caps");
    p.AddPropertyByName("unknown-thing", "1");
}

TEST(PropertiesTest, KeywordAccessors)
{
    TProperties p;
    AlignmentType a;
    ClearType c;
    EXPECT_FALSE(p.GetVertAlign(a));
    p.AddPropertyByName("vertical-align", "text-top");
    ASSERT_TRUE(p.GetVertAlign(a));
    EXPECT_EQ(a, AlignTop);
    p.AddPropertyByName("vertical-align", "10px");
    EXPECT_FALSE(p.GetVertAlign(a));
    p.AddPropertyByName("float", "right");
    ASSERT_TRUE(p.GetFloat(a));
    EXPECT_EQ(a, AlignRight);
    p.AddPropertyByName("clear", "both");
    ASSERT_TRUE(p.GetClear(c));
    EXPECT_EQ(c, ClearBoth);
    p.AddPropertyByName("position", "absolute");
    EXPECT_EQ(p.GetPosition(), PosAbsolute);
    p.AddPropertyByName("z-index", "7");
    EXPECT_EQ(p.GetZIndex(), 7);
    p.AddPropertyByName("z-index", "x");
    EXPECT_EQ(p.GetZIndex(), 0);
    EXPECT_EQ(p.GetListStyleType(), lbBlank);
    p.AddPropertyByName("list-style-type", "upper-roman");
    EXPECT_EQ(p.GetListStyleType(), lbUpperRoman);
    p.AddPropertyByName("list-style-type", "armenian");
    EXPECT_EQ(p.GetListStyleType(), lbBlank);
    std::string image;
    EXPECT_FALSE(p.GetBackgroundImage(image));
    p.AddPropertyByName("background-image", "none");
    EXPECT_TRUE(p.GetBackgroundImage(image));
    EXPECT_EQ(image, "");
    p.AddPropertyByName("background-image", "url('bg.gif')");
    EXPECT_TRUE(p.GetBackgroundImage(image));
    EXPECT_EQ(image, "bg.gif");
    bool before, after, inside;
    p.AddPropertyByName("page-break-after", "always");
    p.GetPageBreaks(before, after, inside);
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
    p.AddPropertyByName("display", "none");
    EXPECT_TRUE(p.DisplayNone());
    EXPECT_EQ(p.GetBorderStyle(), bssNone);
    EXPECT_FALSE(p.HasBorderStyle());
    p.AddPropertyByName("border-style", "groove");
    EXPECT_EQ(p.GetBorderStyle(), bssGroove);
    EXPECT_EQ(p.GetColor(), NoColor);  // only explicit colours count
    p.Explicit[piColor] = true;
    p.AddPropertyByName("color", "red");
    EXPECT_EQ(p.GetColor(), 0x0000FFu);
}

TEST(PropertiesTest, LineHeightAndTextIndent)
{
    TProperties p;
    p.EmHeight = 20;
    p.ExHeight = 10;
    EXPECT_EQ(p.GetLineHeight(15), -1);
    p.AddPropertyByName("line-height", "2");
    EXPECT_EQ(p.GetLineHeight(15), 30);
    p.AddPropertyByName("line-height", "normal");
    EXPECT_EQ(p.GetLineHeight(15), -1);
    p.AddPropertyByName("line-height", "150%");
    EXPECT_EQ(p.GetLineHeight(15), 30);
    p.AddPropertyByName("line-height", "18px");
    EXPECT_EQ(p.GetLineHeight(15), 18);
    p.AddPropertyByName("line-height", "1e308");  // "e308" is a unit nobody knows
    EXPECT_EQ(p.GetLineHeight(15), -1);
    p.AddPropertyByName("line-height", std::string(400, '9'));
    EXPECT_EQ(p.GetLineHeight(15), 1000000);

    bool pct;
    EXPECT_EQ(p.GetTextIndent(pct), 0);
    p.AddPropertyByName("text-indent", "2em");
    EXPECT_EQ(p.GetTextIndent(pct), 40);
    EXPECT_FALSE(pct);
    p.AddPropertyByName("text-indent", "10%");
    EXPECT_EQ(p.GetTextIndent(pct), 10);
    EXPECT_TRUE(pct);
}

TEST(PropertiesTest, BackgroundPosition)
{
    auto pos = [](const char* text, const char* repeat = nullptr) {
        TProperties p;
        p.AddPropertyByName("background-position", text);
        if (repeat)
            p.AddPropertyByName("background-repeat", repeat);
        std::pair<BackgroundPos, BackgroundPos> r;
        p.GetBackgroundPos(10, 5, r.first, r.second);
        return r;
    };
    auto [x1, y1] = pos("top");
    EXPECT_EQ(y1.PosType, BgTop);
    EXPECT_EQ(x1.PosType, BgCenter);
    auto [x2, y2] = pos("right 30%");
    EXPECT_EQ(x2.PosType, BgRight);
    EXPECT_EQ(y2.PosType, BgPercent);
    EXPECT_EQ(y2.Value, 30);
    auto [x3, y3] = pos("left top");
    EXPECT_EQ(x3.PosType, BgLeft);
    EXPECT_EQ(y3.PosType, BgTop);
    auto [x4, y4] = pos("top left");
    EXPECT_EQ(x4.PosType, BgLeft);
    EXPECT_EQ(y4.PosType, BgTop);
    auto [x5, y5] = pos("30% right");
    EXPECT_EQ(x5.PosType, BgRight);
    EXPECT_EQ(y5.PosType, BgPercent);
    EXPECT_EQ(y5.Value, 30);
    auto [x6, y6] = pos("2em 7px", "repeat-x");
    EXPECT_EQ(x6.PosType, BgLength);
    EXPECT_EQ(x6.Value, 20);
    EXPECT_EQ(y6.Value, 7);
    EXPECT_TRUE(x6.RepeatD);
    EXPECT_FALSE(y6.RepeatD);
    auto [x7, y7] = pos("center");
    EXPECT_EQ(x7.PosType, BgCenter);
    EXPECT_EQ(y7.PosType, BgCenter);

    TProperties none;
    BackgroundPos x, y;
    none.AddPropertyByName("background-attachment", "fixed");
    none.GetBackgroundPos(10, 5, x, y);
    EXPECT_EQ(x.PosType, BgLength);
    EXPECT_EQ(y.Value, 0);
    EXPECT_TRUE(x.Fixed && y.Fixed);
}

TEST(PropertiesTest, MarginArrayConversion)
{
    TProperties p;
    ParseStyleAttribute("margin: 10px auto; padding: 5%; border-left: 3px solid; border-top-width: thick;"
                        " width: 50%; height: 100px; top: 1em",
                        p);
    MarginArray m;
    int autoCount;
    p.ConvMargArray(200, 400, 12, 6, m, autoCount);
    EXPECT_EQ(m[piMarginRight], AutoValue);
    EXPECT_EQ(m[piMarginLeft], AutoValue);
    EXPECT_EQ(autoCount, 2);
    EXPECT_EQ(m[piPaddingTop], 10);
    EXPECT_EQ(m[piBorderLeftWidth], 3);
    EXPECT_EQ(m[piBorderTopWidth], 0);  // a width on a side without a border style is 0
    EXPECT_EQ(m[piBorderLeftStyle], bssSolid);
    EXPECT_EQ(m[piWidth], 100);
    EXPECT_EQ(m[piHeight], 100);
    EXPECT_EQ(m[piTop], 12);
    EXPECT_EQ(m[piLeft], AutoValue);
    EXPECT_EQ(m[piBackgroundColor], int(NoColor));

    TProperties h;
    ParseStyleAttribute("height: 50%; padding: 3px; border: 2px solid", h);
    h.ConvMargArray(200, 400, 12, 6, m, autoCount);
    EXPECT_EQ(m[piHeight], 200 - 2 - 2 - 3 - 3);
    EXPECT_EQ(m[piWidth], AutoValue);
    EXPECT_EQ(autoCount, 1);
    EXPECT_EQ(m[piBorderTopWidth], 2);

    TProperties w;
    ParseStyleAttribute("border-style: solid; border-width: thin medium", w);
    w.ConvMargArray(0, 0, 0, 0, m, autoCount);
    EXPECT_EQ(m[piBorderTopWidth], 2);
    EXPECT_EQ(m[piBorderRightWidth], 4);
    TProperties d;
    d.AddPropertyByName("border-style", "dotted");
    d.ConvMargArray(0, 0, 0, 0, m, autoCount);
    EXPECT_EQ(m[piBorderTopWidth], 4);  // default width under a style
}

TEST(PropertiesTest, VerticalMarginsCellPaddingAndInlineArray)
{
    TProperties p;
    p.Values[piMarginTop] = TPropValue::FromInt(ParaSpace);
    p.AddPropertyByName("margin-bottom", "1em");
    int top, bottom;
    bool topPara, bottomPara;
    p.ConvVertMargins(100, 12, 6, top, bottom, topPara, bottomPara);
    EXPECT_EQ(top, 14);
    EXPECT_TRUE(topPara);
    EXPECT_EQ(bottom, 12);
    EXPECT_FALSE(bottomPara);

    TProperties c;
    c.AddPropertyByName("padding-left", "10%");
    c.AddPropertyByName("padding-top", "4px");
    c.Values[piPaddingRight] = TPropValue::FromInt(3);
    int t, r, b, l;
    c.ConvCellPadding(12, 6, t, r, b, l);
    EXPECT_EQ(t, 4);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(b, -1);
    EXPECT_EQ(l, -10);

    TProperties i;
    ParseStyleAttribute("margin-left: 8px; width: auto", i);
    MarginArray m;
    i.ConvInlineMargArray(100, 12, 6, m);
    EXPECT_EQ(m[piMarginLeft], 8);
    EXPECT_EQ(m[piMarginTop], NotSet);
    EXPECT_EQ(m[piWidth], AutoValue);
    EXPECT_EQ(m[piHeight], NotSet);
}

TEST(PropertiesTest, CharsetsAndCodePages)
{
    TProperties p;
    p.AssignCharset(204);
    EXPECT_EQ(p.Charset, 204);
    EXPECT_EQ(p.CodePage, 1251);
    p.AssignCharset(1);  // the default set is the system's (Cyrillic)
    EXPECT_EQ(p.Charset, 1);
    EXPECT_EQ(p.CodePage, 1251);
    p.AssignCharset(0);
    EXPECT_EQ(p.CodePage, 1252);
    p.AssignCharset(31);
    EXPECT_EQ(p.Charset, 238);
    EXPECT_EQ(p.CodePage, 28592);
    p.AssignCharset(128);
    EXPECT_EQ(p.CodePage, 932);
    p.AssignCharset(99);  // unknown: the code page stays
    EXPECT_EQ(p.Charset, 99);
    EXPECT_EQ(p.CodePage, 932);
    p.AssignUTF8();
    EXPECT_EQ(p.CodePage, 65001);
    EXPECT_EQ(p.Charset, 0);
}

TEST(PropertiesTest, SetUnlessExplicitKeepsRuleValues)
{
    TProperties p;
    p.SetUnlessExplicit(TPropValue::FromInt(0xFF), piColor);
    EXPECT_EQ(p.Values[piColor].Int(), 0xFF);
    EXPECT_TRUE(p.Explicit[piColor]);
    p.SetUnlessExplicit(TPropValue::FromInt(0x00), piColor);
    EXPECT_EQ(p.Values[piColor].Int(), 0xFF);
    p.SetUnlessExplicit(TPropValue::FromInt(1), 99);  // out of range: ignored
}

}  // namespace
