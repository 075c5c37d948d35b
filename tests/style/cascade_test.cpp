// The style list: default sheet, keys, and the cascade of a small real-looking sheet.
#include <gtest/gtest.h>

#include <memory>

#include "style/propstack.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

constexpr TColor Flag = platform::PaletteRelative;

class CascadeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        styles.LoadDefaults("Times New Roman", "Courier New", 12, 0x000000, 0xFF0000, 0x800080, 0x0000FF, true,
                            1, 5, 10);
        styles.PropStack = &stack;
        auto bottom = std::make_unique<TProperties>();
        bottom->InitFromDefault(*styles.DefaultProps);
        stack.Add(std::move(bottom));
    }

    // Opens an element below the current top, as the document builder does.
    TProperties& Push(const std::string& tag, const std::string& cls = "", const std::string& id = "",
                      const std::string& pseudo = "", TProperties* inlineProps = nullptr)
    {
        auto p = std::make_unique<TProperties>();
        p->Inherit(tag, stack.Top());
        TProperties& r = *stack.Add(std::move(p));
        r.Combine(styles, tag, cls, id, pseudo, "", inlineProps);
        return r;
    }
    void Pop() { stack.Delete(stack.Count() - 1); }

    void Sheet(const char* text) { ParseStyleSheetText(styles, text, ""); }

    static TColor Colour(const TProperties& p) { return TColor(p.Values[piColor].Int()); }

    TStyleList styles;
    TPropStack stack;
};

TEST_F(CascadeTest, DefaultSheet)
{
    EXPECT_EQ(styles.SequenceNo, 10);
    ASSERT_NE(styles.DefaultProps, nullptr);
    EXPECT_EQ(styles.DefaultProps->ElemTag, "default");
    EXPECT_EQ(stack[0]->ElemTag, "default");
    EXPECT_EQ(stack[0]->FallbackFont, "Times New Roman");
    EXPECT_EQ(stack[0]->CodePage, 1251);
    EXPECT_DOUBLE_EQ(DefaultPointSize, 12);
    for (const char* key : {"::link", "::visited", "::hover", "null", "pre", "p 11pre", "tt", "samp", "th",
                            "address", "strike", "caption", "select", "textarea", "h6"})
        EXPECT_TRUE(styles.Find(key)) << key;
    EXPECT_EQ(TColor(styles.Find("::link")->Values[piColor].Int()), 0xFF0000u | Flag);

    TProperties& h1 = Push("h1");
    EXPECT_DOUBLE_EQ(h1.Values[piFontSize].Real(), 24);  // a real in points, not converted again
    EXPECT_EQ(h1.Values[piMarginTop].Int(), 19);
    Pop();
    TProperties& code = Push("code");
    EXPECT_DOUBLE_EQ(code.Values[piFontSize].Real(), 12 * 0.833);
    Pop();
    TProperties& textarea = Push("textarea");
    EXPECT_EQ(textarea.Values[piFontFamily].Text(), "Courier New");
    Pop();
    TProperties& ul = Push("ul");
    EXPECT_EQ(ul.Values[piMarginTop].Int(), ParaSpace);
    EXPECT_EQ(ul.Values[piMarginLeft].Int(), 35);
    TProperties& li = Push("li");
    EXPECT_EQ(li.Values[piMarginLeft].Int(), NotSet);
}

TEST_F(CascadeTest, ClassRulesComeAfterTagRulesWhateverTheOrder)
{
    Sheet(".x { color: blue } p { color: red }");
    EXPECT_EQ(Colour(Push("p", "x")), 0xFF0000u);
    Pop();
    EXPECT_EQ(Colour(Push("p")), 0x0000FFu);
}

TEST_F(CascadeTest, IdAndTagClassAndInline)
{
    Sheet("div.note { color: green; margin-left: 2em } #main { background-color: #eee } div { color: red }");
    TProperties inl;
    ParseStyleAttribute("COLOR: Navy", inl);
    TProperties& d = Push("div", "note", "main", "", &inl);
    EXPECT_EQ(Colour(d), 0x800000u);  // inline last
    EXPECT_EQ(d.GetBackgroundColor(), 0xEEEEEEu | Flag);
    EXPECT_EQ(d.Values[piMarginLeft].Text(), "2em");
    EXPECT_EQ(d.ElemClass, "note");
    EXPECT_EQ(d.ElemId, "main");
    EXPECT_EQ(d.InlineProps, &inl);
}

TEST_F(CascadeTest, SeveralClassesApplyInOrder)
{
    Sheet(".a.b { color: green } .b { color: blue } .a { color: red; font-weight: bold }");
    TProperties& e = Push("span", "a.b");
    EXPECT_EQ(Colour(e), 0x008000u);
    EXPECT_EQ(e.Values[piFontWeight].Text(), "bold");
    Pop();
    EXPECT_EQ(Colour(Push("span", "b")), 0xFF0000u);
}

TEST_F(CascadeTest, ContextualSelectors)
{
    Sheet("ul li { color: red } div ul li { font-style: italic } ol li.x { color: green }");
    EXPECT_TRUE(styles.Find("li 110ul"));
    EXPECT_TRUE(styles.Find("li 211ul div"));
    EXPECT_TRUE(styles.Find("li.x 112ol"));

    TProperties& alone = Push("li");
    EXPECT_FALSE(alone.Explicit[piColor]);
    Pop();

    Push("ul");
    Push("div");
    TProperties& li = Push("li");
    EXPECT_EQ(Colour(li), 0x0000FFu);  // ul with a div between still matches
    EXPECT_NE(li.Values[piFontStyle].Text(), "italic");  // no div above the ul
    Pop();
    Pop();
    Pop();

    Push("div");
    Push("ul");
    TProperties& li2 = Push("li");
    EXPECT_EQ(li2.Values[piFontStyle].Text(), "italic");
    Pop();
    Pop();
    Pop();

    Push("ol");
    EXPECT_EQ(Colour(Push("li", "x")), 0x008000u);
    Pop();
    EXPECT_FALSE(Push("li", "y").Explicit[piColor]);
}

TEST_F(CascadeTest, ContextualRulesApplyFewerAncestorsFirstThenByOrder)
{
    std::string sheet = "body div p { color: green }\n";
    // Fillers so that the next rules get the sequence numbers 99 and 110: beyond two digits the text of
    // the keys no longer sorts by appearance, the rules still must.
    for (int i = 11; i < 99; ++i)
        sheet += "div p.c" + std::to_string(i) + " { color: red }\n";
    sheet += "div p { color: blue }\n";
    for (int i = 100; i < 110; ++i)
        sheet += "div p.c" + std::to_string(i) + " { color: red }\n";
    sheet += "body p { font-style: italic; color: yellow }\n";
    Sheet(sheet.c_str());
    ASSERT_TRUE(styles.Find("p 199div"));
    ASSERT_TRUE(styles.Find("p 1110body"));
    Push("body");
    Push("div");
    TProperties& p = Push("p");
    EXPECT_EQ(Colour(p), 0x008000u);  // two ancestors come after one, whatever the order
    EXPECT_EQ(p.Values[piFontStyle].Text(), "italic");
    Pop();
    Pop();
    Pop();
    // div above body: both one-ancestor rules match, the later one wins.
    Push("div");
    Push("body");
    EXPECT_EQ(Colour(Push("p")), 0x00FFFFu);
}

TEST_F(CascadeTest, UnrelatedContextualRulesNeverHideRelatedOnes)
{
    // "a-x" sorts between "a" and "a.c:link"; it has nothing to do with an a element.
    Sheet("div a-x { color: red } div a.c:link { font-style: italic } div a.d { color: blue }");
    Push("div");
    TProperties& a = Push("a", "c", "", "link");
    EXPECT_EQ(a.Values[piFontStyle].Text(), "italic");
    EXPECT_FALSE(a.Explicit[piColor] && Colour(a) == 0x0000FFu);
    Pop();
    EXPECT_EQ(Colour(Push("a", "d")), 0xFF0000u);
}

TEST_F(CascadeTest, LinkStates)
{
    Sheet("a { color: green } a:hover { color: red; text-decoration: none } :visited { color: #123456 }");
    EXPECT_TRUE(styles.LinkHover);
    // A colour on "a" also goes to the link state.
    EXPECT_EQ(TColor(styles.Find("::link")->Values[piColor].Int()), 0x008000u);
    EXPECT_EQ(TColor(styles.Find("::hover")->Values[piColor].Int()), 0x563412u | Flag);

    TProperties& a = Push("a", "", "", "link");
    ASSERT_TRUE(a.HasLinkFonts);
    ASSERT_TRUE(a.LinkFonts);
    EXPECT_EQ(stack.Count(), 2);  // the helper entries are gone again
    const TFontInfoArray& f = *a.LinkFonts;
    EXPECT_EQ(f[0].iColor, 0x008000u);
    EXPECT_TRUE(f[0].iStyle & fsUnderline);
    EXPECT_EQ(f[1].iColor, 0x563412u | Flag);
    EXPECT_EQ(f[2].iColor, 0x0000FFu);
    EXPECT_FALSE(f[2].iStyle & fsUnderline);
    EXPECT_EQ(f[3].iColor, 0x0000FFu);

    // A descendant of a link carries the link fonts and updates them when its own rules merge.
    Sheet("b { color: yellow }");
    TProperties& b = Push("b");
    ASSERT_TRUE(b.HasLinkFonts);
    EXPECT_EQ((*b.LinkFonts)[2].iColor, 0x00FFFFu);
    EXPECT_TRUE((*b.LinkFonts)[2].iStyle & fsBold);
}

TEST_F(CascadeTest, ColourOnLinkPseudoClassSetsHoverAndVisited)
{
    Sheet(":link { color: olive }");
    for (const char* key : {"::hover", "::visited"})
        EXPECT_EQ(TColor(styles.Find(key)->Values[piColor].Int()), 0x008080u) << key;
}

TEST_F(CascadeTest, HoverAndVisitedSkipPlainRules)
{
    Sheet("a.nav { font-weight: bold } a.nav:hover { color: red } .nav:visited { color: blue }");
    TProperties& plain = Push("a", "nav");
    EXPECT_EQ(plain.Values[piFontWeight].Text(), "bold");
    Pop();
    TProperties& hover = Push("a", "nav", "", "hover");
    EXPECT_EQ(Colour(hover), 0x0000FFu);
    EXPECT_NE(hover.Values[piFontWeight].Text(), "bold");
    Pop();
    EXPECT_EQ(Colour(Push("a", "nav", "", "visited")), 0xFF0000u);
}

TEST_F(CascadeTest, FontSizesResolveAgainstTheParent)
{
    Sheet(".big { font-size: 150% } .em { font-size: 2em }");
    TProperties& outer = Push("div");
    outer.Values[piFontSize] = TPropValue::FromReal(10);
    TProperties& inner = Push("span", "big");
    EXPECT_DOUBLE_EQ(inner.Values[piFontSize].Real(), 15);
    EXPECT_DOUBLE_EQ(Push("b", "em").Values[piFontSize].Real(), 30);
}

TEST_F(CascadeTest, DuplicatesUnderOneKeyMergeInOrder)
{
    TProperties r1, r2;
    r1.AddPropertyByName("color", "red");
    r2.AddPropertyByName("color", "blue");
    r2.AddPropertyByName("font-style", "italic");
    styles.AddDuplicate("em", r1);
    styles.AddDuplicate("em", r2);
    TProperties& em = Push("em");
    EXPECT_EQ(Colour(em), 0xFF0000u);
    EXPECT_EQ(em.Values[piFontStyle].Text(), "italic");
}

TEST_F(CascadeTest, RefreshKeepsExplicitSlots)
{
    Sheet("p { color: red }");
    TProperties& p = Push("p");
    TProperties source;
    source.AddPropertyByName("color", "blue");
    source.AddPropertyByName("font-style", "italic");
    p.Refresh(source, styles, stack.Count() - 1);
    EXPECT_EQ(Colour(p), 0x0000FFu);
    EXPECT_EQ(p.Values[piFontStyle].Text(), "italic");
}

TEST_F(CascadeTest, ClearResetsSequence)
{
    Sheet("a b { color: red }");
    EXPECT_EQ(styles.SequenceNo, 11);
    styles.Clear();
    EXPECT_EQ(styles.Count(), 0);
    EXPECT_EQ(styles.SequenceNo, 10);
    EXPECT_EQ(styles.DefaultProps, nullptr);
}

}  // namespace

namespace {

TEST_F(CascadeTest, ReusedStackEntriesStartAfresh)
{
    // Entries popped from the stack are reused by later pushes: nothing of the old element may remain.
    stack.Styles = &styles;
    Sheet("a:hover { color: red } b.x { margin-left: 7px }");
    TProperties& link = stack.PushProps("a", "", "", nullptr, "Title", "link");
    EXPECT_TRUE(link.HasLinkFonts);
    TProperties& bold = stack.PushProps("b", "x", "id1", nullptr, "", "");
    EXPECT_TRUE(bold.Explicit[piMarginLeft]);
    const int serial = bold.Serial;
    stack.PopTop();
    stack.PopTag("a");
    ASSERT_EQ(stack.Count(), 1);
    TProperties& plain = stack.PushProps("i", "", "", nullptr, "", "");
    EXPECT_EQ(plain.ElemTag, "i");
    EXPECT_EQ(plain.ElemClass, "");
    EXPECT_EQ(plain.ElemId, "");
    EXPECT_EQ(plain.ElemTitle, "");
    EXPECT_FALSE(plain.HasLinkFonts);
    EXPECT_EQ(plain.LinkFonts, nullptr);
    EXPECT_FALSE(plain.Explicit[piMarginLeft]);
    EXPECT_EQ(plain.Values[piMarginLeft].Int(), NotSet);
    EXPECT_NE(plain.Serial, serial) << "a reused entry is a new element for the inline records";
}

}  // namespace
