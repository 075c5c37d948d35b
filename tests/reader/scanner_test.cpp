// The scanner: line breaks, markup without content, tags, attributes and their values, text runs with
// blank collapsing, positions, includes, raw mode and the counting pass.

#include <gtest/gtest.h>

#include "core/idobjects.h"
#include "scan_helpers.h"

namespace {

TEST(ScannerChars, EveryKindOfLineBreakIsOneBreak)
{
    for (const char* doc : {"a\r\nb", "a\n\rb", "a\nb", "a\rb"}) {
        THtmlScanner s;
        s.StartParse(doc, 1251);
        std::string seen;
        for (s.ReadChar(); s.Ch != 0; s.ReadChar())
            seen += char(s.Ch);
        EXPECT_EQ(seen, "a\rb") << doc;
    }
    // Two breaks stay two, whichever way they are written.
    THtmlScanner s;
    s.StartParse("\r\n\r\n\n\r\r\n", 1251);
    std::string seen;
    for (s.ReadChar(); s.Ch != 0; s.ReadChar())
        seen += char(s.Ch);
    EXPECT_EQ(seen, "\r\r\r\r");
}

TEST(ScannerChars, CommentsDeclarationsAndServerBlocksVanishEverywhere)
{
    ScanResult r = Scan("a<!-- x -- y -->b<!---->c<!DOCTYPE html>d<% code %>e<p ti<!--z-->tle=\"v<!---->w\">");
    EXPECT_EQ(r.Text(), u"abcde");
    ASSERT_EQ(r.Tags(), std::vector<Symbol>{PSy});
    EXPECT_EQ(r.Tokens[1].Attrs[0].Sym, TitleSy);
    EXPECT_EQ(r.Tokens[1].Attrs[0].Value, "vw");
    EXPECT_TRUE(r.Error.empty());
}

TEST(ScannerChars, AnOpenCommentEndsTheScanWithWhatCameBefore)
{
    ScanResult r = Scan("<b>before</b><!-- never closed - >");
    EXPECT_EQ(r.Error, "Open Comment at End of HTML File");
    EXPECT_EQ(r.Text(), u"before");
    EXPECT_EQ(Scan("x<!DOCTYPE").Error, "Open Comment at End of HTML File");
    // An unterminated <% block just ends the input.
    r = Scan("x<% y");
    EXPECT_TRUE(r.Error.empty());
    EXPECT_EQ(r.Text(), u"x");
}

TEST(ScannerTags, NamesLevelsAndUnknownTags)
{
    ScanResult r = Scan("<H3 class=x><h7><BR/></BR><?xml version=\"1.0\"?><hr><My_Tag a=1></P></LI></h2 >");
    ASSERT_EQ(r.Tags(), (std::vector<Symbol>{HeadingSy, OtherSy, BRSy, OtherSy, OtherSy, HRSy, OtherSy,
                                              PEndSy, OtherSy, HeadingEndSy}));
    EXPECT_EQ(r.Tokens[0].Level, 3);
    EXPECT_EQ(r.Tokens[0].Attrs[0].Value, "x");
    EXPECT_EQ(r.Tokens[1].Level, 0);
    EXPECT_EQ(r.Tokens.back().Sy, EofSy);
    EXPECT_EQ(r.Tokens[r.Tokens.size() - 2].Level, 2);
}

TEST(ScannerTags, ALoneLessThanIsText)
{
    ScanResult r = Scan("a < b<<i>");
    ASSERT_EQ(r.Tokens.size(), 6u);
    EXPECT_EQ(r.Tokens[0].Text, u"a ");
    EXPECT_EQ(r.Tokens[1].Text, u"<");
    EXPECT_EQ(r.Tokens[1].Indices, std::vector<int>{2});
    EXPECT_EQ(r.Tokens[2].Text, u" b");
    EXPECT_EQ(r.Tokens[3].Text, u"<");
    EXPECT_EQ(r.Tokens[4].Sy, ISy);
}

TEST(ScannerTags, TagStartIsTheLessThanAndScriptStopsOnTheGreaterThan)
{
    THtmlScanner s;
    s.StartParse("ab<script type=x>var<style>", 1251);
    s.ReadChar();
    s.Next();
    s.Next();
    EXPECT_EQ(s.Sy, ScriptSy);
    EXPECT_EQ(s.TagStartPos, 2);
    EXPECT_EQ(s.Ch, '>');
    s.RawMode = true;
    s.ReadChar();
    EXPECT_EQ(s.Ch, 'v');

    // The end of the document stands where the text ends, not at the last tag before it.
    s.StartParse("<b>x</b> after", 1251);
    s.ReadChar();
    do
        s.Next();
    while (s.Sy != EofSy);
    EXPECT_EQ(s.TagStartPos, 14);
}

TEST(ScannerTags, LongNamesAreCutForLookup)
{
    std::string name(300, 'B');
    ScanResult r = Scan("<" + name + ">x<" + std::string(255, 'X') + ">");
    EXPECT_EQ(r.Tags(), (std::vector<Symbol>{OtherSy, OtherSy}));
    EXPECT_EQ(r.Text(), u"x");
}

TEST(ScannerAttributes, ValueFormsAndTheirNumbers)
{
    ScanResult r = Scan("<td width=50% height=\" 40% \" size=+2 border border=yes border='yes' "
                        "colspan = 3 valign=top x-y=1 align=\"1.5\" start=2.5 value=-3.5e1 vspace=\"abc\">");
    ASSERT_EQ(r.Tokens[0].Sy, TDSy);
    const auto& a = r.Tokens[0].Attrs;
    ASSERT_EQ(a.size(), 13u);
    EXPECT_EQ(a[0].Value, "50%");
    EXPECT_EQ(a[0].Num, 50);
    EXPECT_EQ(a[1].Value, " 40% ");
    EXPECT_EQ(a[1].Num, 40);
    EXPECT_EQ(a[2].Value, "+2");
    EXPECT_EQ(a[2].Num, 2);
    EXPECT_EQ(a[3].Sym, BorderSy);
    EXPECT_EQ(a[3].Num, 1);  // BORDER without a value
    EXPECT_EQ(a[4].Num, 1);  // an unquoted word keeps the start value
    EXPECT_EQ(a[5].Num, 0);  // the same word quoted is read as a number
    EXPECT_EQ(a[6].Sym, ColSpanSy);
    EXPECT_EQ(a[6].Num, 3);
    EXPECT_EQ(a[7].Value, "top");
    EXPECT_EQ(a[8].Sym, OtherAttribute);
    EXPECT_EQ(a[8].Name, "X-Y");
    EXPECT_EQ(a[9].Num, 2);    // 1.5 rounds half to even
    EXPECT_EQ(a[10].Num, 2);   // 2.5 too
    EXPECT_EQ(a[11].Num, -35);
    EXPECT_EQ(a[12].Num, 0);
    for (const auto& x : a)
        EXPECT_EQ(x.CodePage, 1251);
}

TEST(ScannerAttributes, HugeNumbersAreBounded)
{
    ScanResult r = Scan("<img width=1e300 height=\"-99999999999999999999\" border=" + std::string(5000, '9') + ">");
    const auto& a = r.Tokens[0].Attrs;
    EXPECT_EQ(a[0].Num, 1000000);
    EXPECT_EQ(a[1].Num, -1000000);
    EXPECT_EQ(a[2].Num, 1000000);
}

TEST(ScannerAttributes, QuotedValuesKeepMarkupAndBreaksOnlyWhereMeant)
{
    ScanResult r = Scan("<img alt=\"a\r\nb>c\" title='x\ny' src=\"p\r\nq\" name=\"it's\">");
    const auto& a = r.Tokens[0].Attrs;
    EXPECT_EQ(a[0].Value, "a\r\nb>c");
    EXPECT_EQ(a[1].Value, "x\r\ny");
    EXPECT_EQ(a[2].Value, "pq");
    EXPECT_EQ(a[3].Value, "it's");
}

TEST(ScannerAttributes, AnUnclosedQuoteSwallowsTheRestOfTheDocument)
{
    ScanResult r = Scan("<a href=\"x.html>text</a><b>more");
    ASSERT_EQ(r.Tags(), std::vector<Symbol>{ASy});
    EXPECT_EQ(r.Tokens[0].Attrs[0].Value, "x.html>text</a><b>more");
    EXPECT_EQ(r.Tokens.back().Sy, EofSy);
}

TEST(ScannerAttributes, IdsAreRecordedWithTheCurrentPositionOutsideTheCountingPass)
{
    TIDNameList names(nullptr);
    THtmlScanner s;
    s.IDNames = &names;
    ScanWith(s, "ab<p id=Intro>x<p id=\"\">");
    ASSERT_EQ(names.Count(), 1);
    EXPECT_EQ(names.Strings(0), "Intro");
    EXPECT_EQ(static_cast<TChPosObj*>(names.Objects(0))->ChPos, 13);  // the '>' after the value

    TIDNameList none(nullptr);
    THtmlScanner c;
    c.IDNames = &none;
    c.StartParse("<p id=a>", 1251);
    c.Counting = true;
    c.ReadChar();
    c.Next();
    EXPECT_EQ(none.Count(), 0);
}

TEST(ScannerText, BlanksCollapseToTheFirstAndPositionsAreByteOffsets)
{
    ScanResult r = Scan("a  \r\n\t b<b>c\x0b\x0c" "d</b>");
    EXPECT_EQ(r.Tokens[0].Text, u"a b");
    EXPECT_EQ(r.Tokens[0].Indices, (std::vector<int>{0, 1, 7}));
    EXPECT_EQ(r.Tokens[2].Text, u"c\x0b\x0c" "d");
    EXPECT_EQ(r.Tokens[2].Indices, (std::vector<int>{11, 12, 13, 14}));
}

TEST(ScannerText, ControlBytesEndTheParseAfterTheTextBeforeThem)
{
    ScanResult r = Scan("<p>good\x03" "bad");
    EXPECT_EQ(r.Text(), u"good");
    EXPECT_EQ(r.Error, "Not an HTML or Text document");
    EXPECT_EQ(Scan(std::string("ok\0hidden<b>", 12)).Text(), u"ok");
}

TEST(ScannerText, TextCodePageComesFromTheHost)
{
    THtmlScanner s;
    int asked = 0;
    s.TextCodePage = [&] {
        ++asked;
        return 1252;
    };
    ScanResult r = ScanWith(s, "\xC0<b>\xC0");
    EXPECT_EQ(r.Text(), u"\u00C0\u00C0");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(r.Tokens[1].Attrs.size(), 0u);
}

TEST(ScannerModes, CountingPassCollectsNoTextAndRewindStartsAgain)
{
    THtmlScanner s;
    s.StartParse("\xEF\xBB\xBFhi <a href=x>there</a>", 1251);
    s.Counting = true;
    s.ReadChar();
    int links = 0;
    do {
        s.Next();
        EXPECT_EQ(s.Token.Count(), 0);
        if (s.Sy == ASy && s.Attributes()->Find(HrefSy))
            ++links;
    } while (s.Sy != EofSy);
    EXPECT_EQ(links, 1);
    s.Counting = false;
    s.Rewind();
    s.ReadChar();
    s.Next();
    EXPECT_EQ(s.Token.Text(), u"hi ");
    EXPECT_EQ(s.Token.IndexAt(0), 3);
}

TEST(ScannerModes, RawModeKeepsMarkupCharacters)
{
    THtmlScanner s;
    s.StartParse("<!-- x --><%y%>", 1251);
    s.RawMode = true;
    std::string seen;
    for (s.ReadChar(); s.Ch != 0; s.ReadChar())
        seen += char(s.Ch);
    EXPECT_EQ(seen, "<!-- x --><%y%>");
}

TEST(ScannerModes, SavedPlacesAreReadAgain)
{
    THtmlScanner s;
    s.StartParse("<param name=a><param name=b>", 1251);
    s.ReadChar();
    s.Next();
    TScanPlace place = s.SavePlace();
    s.Next();
    EXPECT_EQ(s.Attributes()->Find(NameSy)->StrValue, "b");
    s.RestorePlace(place);
    s.Next();
    EXPECT_EQ(s.Attributes()->Find(NameSy)->StrValue, "b");
    EXPECT_EQ(s.TagStartPos, 14);
}

TEST(ScannerIncludes, IncludedTextIsReadInPlaceWithoutAdvancingPositions)
{
    THtmlScanner s;
    std::vector<std::string> commands;
    std::vector<std::vector<std::string>> params;
    s.Include = [&](const std::string& command, std::vector<std::string> p, std::string& text) {
        commands.push_back(command);
        params.push_back(p);
        if (command == "outer")
            text = "<b>O<!--#inner-->P</b>";
        else if (command == "inner")
            text = "I";
    };
    ScanResult r = ScanWith(s, "a<!--#outer file=\"x&amp;y.htm\" virtual=v-->z");
    EXPECT_EQ(commands, (std::vector<std::string>{"outer", "inner"}));
    EXPECT_EQ(params[0], (std::vector<std::string>{"file=x&y.htm", "virtual=v"}));
    EXPECT_EQ(r.Text(), u"aOIPz");
    EXPECT_EQ(r.Tags(), (std::vector<Symbol>{BSy, BEndSy}));
    // Included characters carry the position reached in the document; z is at its own offset.
    EXPECT_EQ(r.Indices().back(), 43);

    // Without a handler the include is an ordinary comment.
    EXPECT_EQ(Scan("a<!--#outer-->b").Text(), u"ab");
}

TEST(ScannerIncludes, SelfIncludingTextStopsAfterAThousandExpansions)
{
    THtmlScanner s;
    int calls = 0;
    s.Include = [&](const std::string&, std::vector<std::string>, std::string& text) {
        ++calls;
        text = "x<!--#again-->";
    };
    ScanResult r = ScanWith(s, "<!--#again-->");
    EXPECT_EQ(calls, THtmlScanner::MaxIncludes);
    EXPECT_EQ(r.Text().size(), std::size_t(THtmlScanner::MaxIncludes));
}

TEST(ScannerProgress, ReportsShareOfBytesReadOnlyOutsideCounting)
{
    THtmlScanner s;
    std::vector<int> reports;
    s.OnProgress = [&](int stage, int percent) {
        EXPECT_EQ(stage, 1);
        reports.push_back(percent);
    };
    s.ProgressShare = 75;
    std::string doc(4096 * 4, 'x');
    ScanWith(s, doc);
    EXPECT_EQ(reports, (std::vector<int>{18, 37, 56, 75}));
}

}  // namespace
