// The sheet parser: selectors, declarations, shorthands, at-rules, comments and hostile input.
#include <gtest/gtest.h>

#include <string>

#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

class SheetTest : public ::testing::Test {
protected:
    void Parse(std::string_view text, const std::string& base = "") { ParseStyleSheetText(styles, text, base); }

    // The text or colour stored for property name under key ("" when absent).
    std::string Text(std::string_view key, const char* name)
    {
        TProperties* p = styles.Find(key);
        if (!p)
            return "<no key>";
        const TPropValue& v = p->Values[std::size_t(PropertyIndex(name))];
        if (v.IsText())
            return v.Text();
        if (v.IsOrdinal())
            return "#" + std::to_string(v.Int());
        return "";
    }
    static std::string Num(TColor c) { return "#" + std::to_string(int(c)); }

    TStyleList styles;
};

TEST_F(SheetTest, BoxShorthands)
{
    Parse("p { margin: 1px 2px } div { padding: 1px 2px 3px } h1 { border-width: 1px 2px 3px 4px }"
          " h2 { margin: 7px }");
    EXPECT_EQ(Text("p", "margin-top"), "1px");
    EXPECT_EQ(Text("p", "margin-right"), "2px");
    EXPECT_EQ(Text("p", "margin-bottom"), "1px");
    EXPECT_EQ(Text("p", "margin-left"), "2px");
    EXPECT_EQ(Text("div", "padding-left"), "2px");
    EXPECT_EQ(Text("div", "padding-bottom"), "3px");
    EXPECT_EQ(Text("h1", "border-left-width"), "4px");
    EXPECT_EQ(Text("h1", "border-bottom-width"), "3px");
    EXPECT_EQ(Text("h2", "margin-left"), "7px");
}

TEST_F(SheetTest, BorderShorthands)
{
    Parse("table { border: 2px solid red } td { border-left: thick dotted } th { border-top: rgb(0,0,255) 1px }");
    for (const char* side : {"top", "right", "bottom", "left"}) {
        std::string s = side;
        EXPECT_EQ(Text("table", ("border-" + s + "-width").c_str()), "2px");
        EXPECT_EQ(Text("table", ("border-" + s + "-style").c_str()), "solid");
        EXPECT_EQ(Text("table", ("border-" + s + "-color").c_str()), Num(0x0000FF));
    }
    EXPECT_EQ(Text("table", "border-style"), "solid");
    EXPECT_EQ(Text("td", "border-left-width"), "thick");
    EXPECT_EQ(Text("td", "border-left-style"), "dotted");
    EXPECT_EQ(Text("td", "border-style"), "dotted");
    EXPECT_EQ(Text("td", "border-top-width"), "#" + std::to_string(NotSet));
    EXPECT_EQ(Text("th", "border-top-color"), Num(0xFF0000 | platform::PaletteRelative));
    EXPECT_EQ(Text("th", "border-top-width"), "1px");
}

TEST_F(SheetTest, FontShorthand)
{
    Parse("p { font: italic bold 12px/1.4 \"Times New Roman\", serif } div { font: 700 12px arial }"
          " h1 { font: small-caps larger monospace }");
    EXPECT_EQ(Text("p", "font-style"), "italic");
    EXPECT_EQ(Text("p", "font-weight"), "bold");
    EXPECT_EQ(Text("p", "font-size"), "12px");
    EXPECT_EQ(Text("p", "line-height"), "1.4");
    EXPECT_EQ(Text("p", "font-family"), "\"times new roman\",serif");
    EXPECT_EQ(Text("div", "font-size"), "12px");
    EXPECT_EQ(Text("div", "font-family"), "arial");
    EXPECT_EQ(Text("div", "font-weight"), "700");  // a hundreds number before the size is a weight
    EXPECT_EQ(Text("h1", "font-variant"), "small-caps");
    EXPECT_EQ(Text("h1", "font-size"), "larger");
}

TEST_F(SheetTest, BackgroundAndListStyle)
{
    Parse("body { background: url(a.gif) no-repeat right top #fff } div { background: rgb(1,2,3) fixed center }"
          " ul { list-style: square url(dot.gif) } ol { background: none }");
    EXPECT_EQ(Text("body", "background-image"), "url(a.gif)");
    EXPECT_EQ(Text("body", "background-repeat"), "no-repeat");
    EXPECT_EQ(Text("body", "background-color"), Num(0xFFFFFF | platform::PaletteRelative));
    EXPECT_EQ(Text("body", "background-position"), "right top");
    EXPECT_EQ(Text("div", "background-color"), Num(0x030201 | platform::PaletteRelative));
    EXPECT_EQ(Text("div", "background-attachment"), "fixed");
    EXPECT_EQ(Text("div", "background-position"), "center");
    EXPECT_EQ(Text("ul", "list-style-type"), "square");
    EXPECT_EQ(Text("ul", "list-style-image"), "url(dot.gif)");
    EXPECT_EQ(Text("ol", "background-image"), "none");
}

TEST_F(SheetTest, SelectorsAndKeys)
{
    Parse("H1, h2 { color: red } ul > li { color: blue } a:hover.Nav#Top.x { color: green }"
          " * { color: black } p.b.a.b { margin-top: 0 } div   em { color: navy } span[x] , i { color: gray }");
    EXPECT_EQ(Text("h1", "color"), Num(0x0000FF));
    EXPECT_EQ(Text("h2", "color"), Num(0x0000FF));
    EXPECT_FALSE(styles.Find("ul"));  // a selector that cannot be read drops its rule
    EXPECT_FALSE(styles.Find("li"));
    EXPECT_EQ(Text("a.nav.x#top:hover", "color"), Num(0x008000));
    EXPECT_TRUE(styles.LinkHover);
    EXPECT_EQ(Text("p.a.b", "margin-top"), "0");
    EXPECT_EQ(Text("em 110div", "color"), Num(0x800000));
    EXPECT_FALSE(styles.Find("span"));  // the whole list goes with its unreadable selector
    EXPECT_FALSE(styles.Find("i"));
    EXPECT_FALSE(styles.Find(""));
}

TEST_F(SheetTest, DeclarationsValuesAndComments)
{
    Parse("p { COLOR : Red ; font-family: 'Courier New' ; width:/* c */ 10px; margin-left: 3/4 }"
          " /* a } comment { */ div { text-indent: 5px; ; ; height = 7px; } em { float: left");
    EXPECT_EQ(Text("p", "color"), Num(0x0000FF));
    EXPECT_EQ(Text("p", "font-family"), "courier new");
    EXPECT_EQ(Text("p", "width"), "10px");
    EXPECT_EQ(Text("p", "margin-left"), "3/4");
    EXPECT_EQ(Text("div", "text-indent"), "5px");
    EXPECT_EQ(Text("div", "height"), "7px");
    EXPECT_EQ(Text("em", "float"), "left");  // an unterminated block ends at the end
}

TEST_F(SheetTest, AtRules)
{
    Parse("@import url(x.css); @media print { p { color: red } div { x: y } } h1 { color: blue }"
          " @media screen, print { h2 { color: green } } h3 { color: olive }"
          " @font-face { font-family: x; src: url(y) } h4 { color: navy }");
    EXPECT_FALSE(styles.Find("p"));
    EXPECT_FALSE(styles.Find("div"));
    EXPECT_EQ(Text("h1", "color"), Num(0xFF0000));
    EXPECT_EQ(Text("h2", "color"), Num(0x008000));
    EXPECT_EQ(Text("h3", "color"), Num(0x008080));
    EXPECT_EQ(Text("h4", "color"), Num(0x800000));
}

TEST_F(SheetTest, EmbeddedSheetStopsAtTheEndTag)
{
    std::string html = "\n<!--\np { color: red }\n-->\n</style><p>text";
    std::size_t pos = 1;
    TStyleReader reader = [&]() -> char { return pos < html.size() ? html[pos++] : 0; };
    char current = html[0];
    ParseStyleSheet(styles, current, reader, "", false);
    EXPECT_EQ(current, '<');
    EXPECT_EQ(html.substr(pos), "/style><p>text");
    EXPECT_EQ(Text("p", "color"), Num(0x0000FF));

    // An empty style element: the caller goes on with the text after its end tag.
    html = "></style>xy<p>";
    pos = 1;
    current = '>';
    styles.Clear();
    ParseStyleSheet(styles, current, reader, "", false);
    EXPECT_EQ(current, 'X');
    EXPECT_EQ(html.substr(pos), "y<p>");
    EXPECT_EQ(styles.Count(), 0);

    // A comment left open ends at the "<" of the end tag.
    html = "p { color: red } /* open </style>";
    pos = 0;
    current = 0;
    ParseStyleSheet(styles, current, reader, "", false);
    EXPECT_EQ(current, '<');
    EXPECT_EQ(Text("p", "color"), Num(0x0000FF));
}

TEST_F(SheetTest, MediaScreenNestingIsBounded)
{
    std::string sheet;
    for (int i = 0; i < 3; ++i)
        sheet += "@media screen { ";
    sheet += "p { color: red } ";
    for (int i = 0; i < 3; ++i)
        sheet += "} ";
    sheet += "div { color: blue }";
    Parse(sheet);
    EXPECT_EQ(Text("p", "color"), Num(0x0000FF));
    EXPECT_EQ(Text("div", "color"), Num(0xFF0000));

    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "@media screen{";
    deep += "p{color:red}";
    TStyleList s2;
    ParseStyleSheetText(s2, deep, "");
    EXPECT_FALSE(s2.Find("p"));  // beyond the depth limit the block is skipped
}

TEST_F(SheetTest, HostileSheetsEndQuietly)
{
    Parse("/* never closed p { color: red }");
    EXPECT_EQ(styles.Count(), 0);
    Parse(std::string(100000, '{'));
    Parse("@x" + std::string(1000000, '{'));
    Parse(std::string(100000, '}') + "p{color:red}");
    std::string big = "p { width: " + std::string(1 << 20, '9') + " }";
    Parse(big);
    EXPECT_EQ(Text("p", "width").size(), std::size_t(1) << 20);
    Parse("h1 { font: " + std::string(1 << 20, 'a') + " }");
    Parse("h2 { margin: " + std::string(1 << 20, ' ') + "1px }");
    EXPECT_EQ(Text("h2", "margin-left"), "1px");
    Parse(std::string(200000, ',') + "{}");
    Parse(std::string("p\0{color:red}", 13));
    SUCCEED();
}

TEST_F(SheetTest, UrlsAreMadeAbsoluteInSheetsOnly)
{
    Parse("body { background-image: url(img/bg.gif) } p { background: url('/x.gif') } ul { list-style-image: "
          "url(file:///c|/pics/a%20b.gif) }",
          "c:\\site\\css\\");
    EXPECT_EQ(Text("body", "background-image"), "url(c:\\site\\css\\img\\bg.gif)");
    EXPECT_EQ(Text("p", "background-image"), "url(c:\\site\\css\\\\x.gif)");
    EXPECT_EQ(Text("ul", "list-style-image"), "url(c:\\pics\\a b.gif)");

    TStyleList web;
    ParseStyleSheetText(web, "a { background-image: url(../i/x.gif) } b { background-image: url(http://h/y.gif) }",
                        "http://host/site/css/s.css");
    EXPECT_EQ(TStyleList().Count(), 0);
    EXPECT_EQ(web.Find("a")->Values[piBackgroundImage].Text(), "url(http://host/site/i/x.gif)");
    EXPECT_EQ(web.Find("b")->Values[piBackgroundImage].Text(), "url(http://h/y.gif)");

    TProperties p;
    ParseStyleAttribute("Background-Image: URL(Img/A.GIF); COLOR: RED", p);
    EXPECT_EQ(p.Values[piBackgroundImage].Text(), "url(img/a.gif)");
    EXPECT_EQ(p.Values[piColor].Int(), 0x0000FF);
}

TEST(StyleAttributeTest, DeclarationsAndShorthands)
{
    TProperties p;
    ParseStyleAttribute("margin:1px 2px;border:1px solid #f00;font:bold 10pt arial;x-y:1;color", p);
    EXPECT_EQ(p.Values[piMarginLeft].Text(), "2px");
    EXPECT_EQ(p.Values[piBorderTopStyle].Text(), "solid");
    EXPECT_EQ(p.Values[piBorderLeftColor].Int(), int(0x0000FF | platform::PaletteRelative));
    EXPECT_EQ(p.Values[piFontWeight].Text(), "bold");
    EXPECT_EQ(p.Values[piFontSize].Text(), "10pt");
    TProperties q;
    ParseStyleAttribute("width: 10px } height: 5px", q);  // an attribute value runs to ";" or the end
    EXPECT_EQ(q.Values[piWidth].Text(), "10px } height: 5px");
    ParseStyleAttribute("", q);
    ParseStyleAttribute(std::string(1 << 20, ';'), q);

    TOwnedProperties owned = ParseInlineStyle("Color: Red; Padding: 1px");
    ASSERT_TRUE(owned);
    EXPECT_EQ(owned->Values[piColor].Int(), 0x0000FF);
    EXPECT_EQ(owned->Values[piPaddingLeft].Text(), "1px");
}

TEST(SplitWordsTest, QuotesCommasAndSlashes)
{
    auto w = SplitStyleWords("  italic   12px/1.4  \"a  b\",  serif ", 7);
    ASSERT_EQ(w.size(), 4u);
    EXPECT_EQ(w[0], "italic");
    EXPECT_EQ(w[1], "12px");
    EXPECT_EQ(w[2], "/1.4");
    EXPECT_EQ(w[3], "\"a b\",serif");
    EXPECT_EQ(SplitStyleWords("1 2 3 4 5", 4).size(), 4u);
    EXPECT_TRUE(SplitStyleWords("   ", 4).empty());
}

}  // namespace

#include <sstream>

#include "style/styledump.h"

namespace {

TEST(StyleDumpTest, ListsRulesByKeyWithValues)
{
    std::ostringstream out;
    DumpStyleSheet("p, div p { color: #f00; margin: 2px } a { font-size: 10pt }", out);
    EXPECT_EQ(out.str(),
              "::link\n"
              "  font-size: \"10pt\"\n"
              "a\n"
              "  font-size: \"10pt\"\n"
              "p\n"
              "  color: colour 0x020000FF\n"
              "  margin-top: \"2px\"\n"
              "  margin-right: \"2px\"\n"
              "  margin-bottom: \"2px\"\n"
              "  margin-left: \"2px\"\n"
              "p 110div\n"
              "  color: colour 0x020000FF\n"
              "  margin-top: \"2px\"\n"
              "  margin-right: \"2px\"\n"
              "  margin-bottom: \"2px\"\n"
              "  margin-left: \"2px\"\n");
}

}  // namespace
