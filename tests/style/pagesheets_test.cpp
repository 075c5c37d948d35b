// Style sheets as pages write them, read through the document builder and looked at in the sheet dump:
// comment markers inside STYLE, selectors the parser cannot read, quoted strings, negative paddings,
// numeric weights and list-style types in shorthands, media of at-rules and of linked sheets.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "layout/blocks.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/codepage.h"
#include "reader/builder.h"
#include "style/conversions.h"
#include "style/properties.h"
#include "style/styledump.h"
#include "style/stylelist.h"

namespace {

namespace fs = std::filesystem;

class PageSheetTest : public ::testing::Test {
protected:
    PageSheetTest() : Root(nullptr, nullptr) {}

    // Builds the page; answers the dump of the rules its sheets added (the built-in rules left out).
    std::string Sheet(const std::string& html)
    {
        Root.Clear();
        Root.SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                      platform::DEFAULT_CHARSET, 5, 10);
        std::ostringstream defaults;
        DumpStyleList(*Root.Styles, defaults);
        Builder.ParseHtml(html, Root, Host);
        std::ostringstream all;
        DumpStyleList(*Root.Styles, all);
        return Added(defaults.str(), all.str());
    }
    // The page's text: its sections in order, separated by "|", blanks at their ends dropped.
    std::string Text()
    {
        std::string out;
        Collect(Root, out);
        return out;
    }

    TSectionList Root;
    THtmlBuilder Builder;
    THtmlHost Host;

private:
    // The rules of after that before does not list the same way (key and values), one after another.
    static std::string Added(const std::string& before, const std::string& after)
    {
        auto rules = [](const std::string& dump) {
            std::vector<std::string> out;
            std::istringstream in(dump);
            std::string line;
            while (std::getline(in, line)) {
                if (line.rfind("  ", 0) != 0)
                    out.emplace_back();
                if (!out.empty())
                    out.back() += line + "\n";
            }
            return out;
        };
        const std::vector<std::string> old = rules(before);
        std::string out;
        for (const std::string& rule : rules(after))
            if (std::find(old.begin(), old.end(), rule) == old.end())
                out += rule;
        return out;
    }
    static void Collect(const TCellBasic& cell, std::string& out)
    {
        for (const auto& item : cell) {
            if (auto* block = dynamic_cast<TBlock*>(item.get())) {
                Collect(*block->MyCell, out);
            } else if (auto* section = dynamic_cast<TSection*>(item.get())) {
                std::u16string text = section->Text;
                while (!text.empty() && text.back() == u' ')
                    text.pop_back();
                if (text.empty())
                    continue;
                if (!out.empty())
                    out += '|';
                out += platform::WideToMultiByte(platform::CP_UTF8, text);
            }
        }
    }
};

TEST_F(PageSheetTest, CommentMarkersInsideStyleAreSkippedWhereverTheyStand)
{
    EXPECT_EQ(Sheet("<style>P.a{color:red} <!-- P.b{color:green} --></style><p>x"),
              "p.a\n  color: colour 0x000000FF\np.b\n  color: colour 0x00008000\n");
    EXPECT_EQ(Text(), "x");
    // Inside BODY none of the sheet shows as text.
    EXPECT_EQ(Sheet("<body><p>a<style>P.a{color:red} <!-- P.b{color:green} --></style><p>b"),
              "p.a\n  color: colour 0x000000FF\np.b\n  color: colour 0x00008000\n");
    EXPECT_EQ(Text(), "a|b");
    // The usual wrapping, an empty element, and a stray "<" that is no end tag.
    EXPECT_EQ(Sheet("<style>\n<!--\np.w { color: red }\n-->\n</style><p>text"), "p.w\n  color: colour 0x000000FF\n");
    EXPECT_EQ(Text(), "text");
    EXPECT_EQ(Sheet("<style></style><p>text"), "");
    EXPECT_EQ(Text(), "text");
    EXPECT_EQ(Sheet("<style>p.x{color:red} <b> i.x{color:blue}</style>after"),
              "i.x\n  color: colour 0x00FF0000\np.x\n  color: colour 0x000000FF\n");
    EXPECT_EQ(Text(), "after");
}

TEST_F(PageSheetTest, ARuleWithAnUnreadableSelectorIsDroppedWhole)
{
    EXPECT_EQ(Sheet("<style>P[class]{color:red} H1 + P{color:red} DIV#x > EM{color:red} EM, P.f ! EM{color:red}"
                    " * {color:red} P.after{color:blue}</style>"),
              "p.after\n  color: colour 0x00FF0000\n");
    // Contextual selectors, pseudo-classes and lists of readable selectors stay as they were.
    EXPECT_EQ(Sheet("<style>ul li{color:red} a:link{color:blue} h1.t, h2.t {color:green}</style>"),
              "a:link\n  color: colour 0x00FF0000\n"
              "h1.t\n  color: colour 0x00008000\n"
              "h2.t\n  color: colour 0x00008000\n"
              "li 110ul\n  color: colour 0x000000FF\n");
}

TEST_F(PageSheetTest, QuotedStringsAreOneUnit)
{
    EXPECT_EQ(Sheet("<style>P.a{x:\"}\";color:blue} P.b{color:green}</style>"),
              "p.a\n  color: colour 0x00FF0000\np.b\n  color: colour 0x00008000\n");
    EXPECT_EQ(Sheet("<style>P.a{font-family:'it\\'s } here', serif;color:blue} P.b{color:green}</style>"),
              "p.a\n  font-family: \"'it\\'s } here', serif\"\n  color: colour 0x00FF0000\n"
              "p.b\n  color: colour 0x00008000\n");
    // A string left open ends at the line end; one inside an unreadable selector is skipped whole.
    EXPECT_EQ(Sheet("<style>P.a{x:\"abc\n;color:blue} A[title=\"}{\"]{color:red} P.b{color:green}</style>"),
              "p.a\n  color: colour 0x00FF0000\np.b\n  color: colour 0x00008000\n");
    // The end of the style element ends a string too.
    EXPECT_EQ(Sheet("<style>P.a{x:\"abc</style><p>text"), "");
    EXPECT_EQ(Text(), "text");
}

TEST_F(PageSheetTest, NegativePaddingsAreDropped)
{
    EXPECT_EQ(Sheet("<style>P.a{padding:5px} P.a{padding:-20px} P.b{padding-left:-1em; padding-top:0}</style>"),
              "p.a\n  padding-top: \"5px\"\n  padding-right: \"5px\"\n  padding-bottom: \"5px\"\n"
              "  padding-left: \"5px\"\np.b\n  padding-top: \"0\"\n");
}

TEST(PaddingConversion, NegativePixelsClampToZeroWhileCellPercentagesStayNegative)
{
    // A negative padding that reaches a block anyway (copied slots) converts to 0; cell paddings keep their
    // negative numbers, which stand for percentages.
    TProperties props;
    props.Values[piPaddingLeft] = TPropValue::FromText("-7px");
    props.Values[piPaddingTop] = TPropValue::FromText("10%");
    MarginArray m;
    int autoCount = 0;
    props.ConvMargArray(200, 100, 16, 8, m, autoCount);
    EXPECT_EQ(m[piPaddingLeft], 0);
    EXPECT_EQ(m[piPaddingTop], 20);
    int top = 0, right = 0, bottom = 0, left = 0;
    props.ConvCellPadding(16, 8, top, right, bottom, left);
    EXPECT_EQ(top, -10);
    EXPECT_EQ(UsableSizeToPoints("-0.5in", 10), 10);
    EXPECT_EQ(UsableSizeToPoints("0", 10), 10);
    EXPECT_EQ(UsableSizeToPoints("150%", 10), 15);
}

TEST_F(PageSheetTest, ShorthandsKeepWhatTheyDeclare)
{
    EXPECT_EQ(Sheet("<style>p.a{font: 900 18px sans-serif} p.b{font: 900 serif} p.c{font: bold 12px arial}"
                    " p.d{font: italic 300 10pt/12pt \"Times New Roman\"}</style>"),
              "p.a\n  font-family: \"sans-serif\"\n  font-size: \"18px\"\n  font-weight: \"900\"\n"
              "p.b\n  font-family: \"serif\"\n  font-weight: \"900\"\n"
              "p.c\n  font-family: \"arial\"\n  font-size: \"12px\"\n  font-weight: \"bold\"\n"
              "p.d\n  font-family: \"\"times new roman\"\"\n  font-size: \"10pt\"\n  font-style: \"italic\"\n"
              "  font-weight: \"300\"\n  line-height: \"12pt\"\n");
    EXPECT_EQ(Sheet("<style>ul.a{list-style: square outside} ol.b{list-style: upper-roman}"
                    " ul.c{list-style: inside url(m.gif)}</style>"),
              "ol.b\n  list-style-type: \"upper-roman\"\n"
              "ul.a\n  list-style-type: \"square\"\n"
              "ul.c\n  list-style-image: \"url(m.gif)\"\n");
}

TEST_F(PageSheetTest, MediaBlocksForTheScreenAllAndNone)
{
    EXPECT_EQ(Sheet("<style>@media all { p.m1{color:red} } @media { p.m2{color:red} } @media print { p.m3{color:red} }"
                    " @media screen, print { p.m4{color:red} } @media handheld, ALL { p.m5{color:red} }"
                    " @media aural { p.m6{color:red} } @page { margin: 1in } p.m7{color:red}</style>"),
              "p.m1\n  color: colour 0x000000FF\np.m2\n  color: colour 0x000000FF\n"
              "p.m4\n  color: colour 0x000000FF\np.m5\n  color: colour 0x000000FF\n"
              "p.m7\n  color: colour 0x000000FF\n");
}

TEST_F(PageSheetTest, LinkedSheetsLoadForTheScreenOnly)
{
    const fs::path dir = fs::temp_directory_path() / ("vexa-pagesheets-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const char* name : {"none", "print", "all", "screen", "both", "empty", "aural"}) {
        std::ofstream((dir / (std::string(name) + ".css")).string()) << "p." << name << " { color: red }\n";
    }
    Host.HtmlExpandFilename = [&](const std::string& name) { return (dir / name).string(); };
    EXPECT_EQ(Sheet("<link rel=stylesheet href=none.css><link rel=stylesheet media=print href=print.css>"
                    "<link rel=stylesheet media=ALL href=all.css><link rel=stylesheet media=\"screen\" href=screen.css>"
                    "<link rel=stylesheet media=\"print, screen\" href=both.css>"
                    "<link rel=stylesheet media=\"\" href=empty.css><link rel=stylesheet media=aural href=aural.css>"),
              "p.all\n  color: colour 0x000000FF\np.both\n  color: colour 0x000000FF\n"
              "p.empty\n  color: colour 0x000000FF\np.none\n  color: colour 0x000000FF\n"
              "p.screen\n  color: colour 0x000000FF\n");
    fs::remove_all(dir);
}

}  // namespace
