// Text runs read through each code page the character sets select, multibyte pages with their source
// indices, the UTF-8 byte-order mark, and the Japanese conversions.

#include <gtest/gtest.h>

#include "scan_helpers.h"

namespace {

TEST(CodePages, EverySingleBytePageOfTheCharsetTableReadsItsCharacters)
{
    struct Case {
        int CodePage;
        std::u16string Text;
    } cases[] = {
        {1252, u"\u00C0\u00E9\u00E0"}, {1253, u"\u0390\u03B9\u03B0"}, {1254, u"\u00C0\u00E9\u00E0"},
        {1255, u"\u05B0\u05D9\u05D0"}, {1256, u"\u06C1\u00E9\u00E0"}, {1257, u"\u0104\u00E9\u0105"},
        {1258, u"\u00C0\u00E9\u00E0"}, {1251, u"\u0410\u0439\u0430"}, {874, u"\u0E20\u0E49\u0E40"},
        {1250, u"\u0154\u00E9\u0155"}, {28592, u"\u0154\u00E9\u0155"},
        {0, u"\u0410\u0439\u0430"},  // the system page
    };
    for (const Case& c : cases) {
        ScanResult r = Scan("\xC0\xE9\xE0<b>", c.CodePage);
        EXPECT_EQ(r.Tokens[0].Text, c.Text) << c.CodePage;
        EXPECT_EQ(r.Tokens[0].Indices, (std::vector<int>{0, 1, 2})) << c.CodePage;
    }
}

TEST(CodePages, DoubleBytePagesKeepCharactersAndLeadByteIndices)
{
    struct Case {
        int CodePage;
        const char* Bytes;
        std::u16string Text;
    } cases[] = {
        {932, "\x82\xA0\x88\x9F", u"\u3042\u4E9C"}, {936, "\xC4\xE3\xBA\xC3", u"\u4F60\u597D"},
        {949, "\xB0\xA1\xC7\xD1", u"\uAC00\uD55C"}, {950, "\xA4\xA4\xA4\xE5", u"\u4E2D\u6587"},
        {1361, "\x88\x61\xD0\x65", u"\uAC00\uD55C"},
    };
    for (const Case& c : cases) {
        ScanResult r = Scan(std::string("a ") + c.Bytes + "b", c.CodePage);
        EXPECT_EQ(r.Text(), u"a " + c.Text + u"b") << c.CodePage;
        EXPECT_EQ(r.Indices(), (std::vector<int>{0, 1, 2, 4, 6})) << c.CodePage;
    }
}

TEST(CodePages, ShiftJisAcrossTagsReferencesAndACutCharacter)
{
    // Trail bytes that look like ASCII letters and '\' stay part of their character.
    ScanResult r = Scan("<p>\x83\x41\x83\x5C<b>x&amp;\x93\xFA</b>\x82", 932);
    ASSERT_EQ(r.Tags(), (std::vector<Symbol>{PSy, BSy, BEndSy}));
    EXPECT_EQ(r.Tokens[1].Text, u"\u30A2\u30BD");
    EXPECT_EQ(r.Tokens[1].Indices, (std::vector<int>{3, 5}));
    EXPECT_EQ(r.Tokens[3].Text, u"x&\u65E5");
    EXPECT_EQ(r.Tokens[3].Indices, (std::vector<int>{10, 11, 16}));
    EXPECT_EQ(r.Tokens[5].Text, u"\uFFFD");  // a lead byte cut off by the end of the file
    EXPECT_EQ(r.Tokens[5].Indices, std::vector<int>{22});
}

TEST(CodePages, Utf8ByteOrderMarkSwitchesToUtf8AndPositionsCountTheMark)
{
    THtmlScanner s;
    ScanResult r = ScanWith(s, "\xEF\xBB\xBF<p>\xC3\xA9t\xF0\x9F\x98\x80!", 1251);
    EXPECT_TRUE(s.Utf8Fixed);
    EXPECT_EQ(s.DocCodePage, 65001);
    EXPECT_EQ(r.Tokens[0].TagStart, 3);
    EXPECT_EQ(r.Text(), u"\u00E9t\U0001F600!");
    EXPECT_EQ(r.Indices(), (std::vector<int>{6, 8, 9, 9, 13}));

    // The mark alone (not longer than three bytes) is not taken as a mark.
    THtmlScanner t;
    ScanWith(t, "\xEF\xBB\xBF", 1251);
    EXPECT_FALSE(t.Utf8Fixed);
}

TEST(CodePages, SevenBitJisIsConvertedToShiftJisBeforeReading)
{
    THtmlScanner s;
    ScanResult r = ScanWith(s, "<p>\x1B$BF|K\\\x1B(Bx", 1251);
    EXPECT_TRUE(s.JapaneseConverted);
    EXPECT_EQ(s.DocCodePage, 932);
    EXPECT_EQ(r.Text(), u"\u65E5\u672Cx");
    EXPECT_EQ(JisToShiftJis("a\x1B$@$\"\x1B(Jb"), "a\x82\xA0" "b");
}

TEST(CodePages, EucJpIsConvertedOnceInPlace)
{
    THtmlScanner s;
    s.StartParse("<meta>\xA4\xA2\xC6\xFC<b>\xC6\xFC", 1251);
    s.ReadChar();
    s.Next();
    ASSERT_EQ(s.Sy, MetaSy);
    EXPECT_TRUE(s.ConvertEucJp());
    EXPECT_FALSE(s.ConvertEucJp());
    s.Next();
    EXPECT_EQ(s.Token.Text(), u"\u3042\u65E5");
    EXPECT_EQ(s.Token.IndexAt(1), 8);
    s.Next();
    s.Next();
    EXPECT_EQ(s.Token.Text(), u"\u65E5");

    std::string euc = "x\xA4\xA2y";
    EucJpToShiftJis(euc);
    EXPECT_EQ(euc, "x\x82\xA0y");
}

}  // namespace
