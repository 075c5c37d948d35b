// Code pages: known byte strings of every page the character-set table names, undefined bytes, double-byte
// stepping, broken UTF-8, round trips and length-keeping case mapping.
#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

using namespace platform;

namespace {
std::u16string Decode(int cp, const std::string& bytes) { return MultiByteToWide(cp, bytes); }
}  // namespace

TEST(CodePages, Windows1251IsTheSystemPage)
{
    EXPECT_EQ(SystemCodePage(), 1251);
    EXPECT_EQ(Decode(CP_ACP, "\xCF\xF0\xE8\xE2\xE5\xF2"), u"Привет");
    EXPECT_EQ(Decode(1251, "\xA8\xB8\xB9"), u"Ёё№");
    EXPECT_EQ(WideToMultiByte(1251, u"Привет, мир!"), "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!");
    EXPECT_EQ(SystemToUtf8("\xCF"), "П");
    EXPECT_EQ(Utf8ToSystem("П"), "\xCF");
}

TEST(CodePages, UndefinedBytesKeepTheirPlace)
{
    // 0x98 is undefined in 1251 and 0x81 in 1252: each becomes the code point of the same value.
    EXPECT_EQ(Decode(1251, "a\x98z"), std::u16string(u"a\u0098z"));
    EXPECT_EQ(Decode(1252, "\x80\x81"), std::u16string(u"\u20AC\u0081"));
    EXPECT_EQ(Decode(1252, std::string("\0x", 2)), std::u16string(u"\0x", 2));
    EXPECT_EQ(WideToMultiByte(1251, u"\u4E2D"), "?");
}

TEST(CodePages, EachPageOfTheCharsetTableReadsAKnownString)
{
    struct Case {
        int cp;
        const char* bytes;
        const char16_t* text;
    } cases[] = {
        {1250, "\x8A\xE8", u"Šč"},      {1252, "\xE9\xFC", u"éü"},     {1253, "\xC1\xE2", u"Αβ"},
        {1254, "\xD0\xFD", u"Ğı"},      {1255, "\xE0\xE1", u"אב"},     {1256, "\xC7\xE1", u"ال"},
        {1257, "\xC0\xE0", u"Ąą"},      {1258, "\xC3\xE3", u"Ăă"},     {874, "\xA1\xA2", u"กข"},
        {932, "\x82\xA0\xB1", u"あｱ"},   {936, "\xC4\xE3", u"你"},      {949, "\xB0\xA1", u"가"},
        {950, "\xA4\xA4", u"中"},        {1361, "\x88\x61", u"가"},     {28592, "\xA1\xB1", u"Ąą"},
        {866, "\x80\xA0", u"Аа"},       {10007, "\x80\xE0", u"Аа"},    {CP_OEMCP, "\x80", u"А"},
        {CP_MACCP, "\x80", u"А"},       {CP_UTF8, "\xD0\x96", u"Ж"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cp);
        EXPECT_TRUE(IsValidCodePage(c.cp));
        EXPECT_EQ(Decode(c.cp, c.bytes), std::u16string(c.text));
        EXPECT_EQ(WideToMultiByte(c.cp, c.text), std::string(c.bytes));
    }
}

TEST(CodePages, UnknownPageFallsBackToTheSystemPage)
{
    EXPECT_FALSE(IsValidCodePage(12345));
    EXPECT_EQ(Decode(12345, "\xCF"), u"П");
}

TEST(CodePages, ShiftJisStepsByLeadBytes)
{
    const std::string text = "A\x82\xA0\x93\xFA\xB1z";  // A あ 日 ｱ z
    EXPECT_TRUE(IsMultiByteCodePage(932));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x82));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xB1));  // half-width katakana is one byte
    EXPECT_FALSE(IsDBCSLeadByteEx(1251, 0x82));
    std::size_t lengths[] = {1, 2, 0, 2, 0, 1, 1};
    std::size_t i = 0;
    int chars = 0;
    while (i < text.size()) {
        EXPECT_EQ(CharByteLength(932, text, i), lengths[i]) << i;
        i += CharByteLength(932, text, i);
        ++chars;
    }
    std::u16string wide = Decode(932, text);
    EXPECT_EQ(wide, u"Aあ日ｱz");
    EXPECT_EQ(int(wide.size()), chars);  // one character per stepped sequence
}

TEST(CodePages, TruncatedDoubleByteCharacterStaysOneCharacter)
{
    const std::string cut = "a\x82";  // a lead byte with no trail byte
    EXPECT_EQ(CharByteLength(932, cut, 1), 1u);
    EXPECT_EQ(Decode(932, cut), std::u16string(u"a\uFFFD"));
    EXPECT_EQ(CharByteLength(932, cut, 5), 1u);  // past the end: still a step forward
}

TEST(CodePages, BrokenUtf8BecomesOneReplacementPerByte)
{
    EXPECT_EQ(Utf8ToWide("a\xC3"), std::u16string(u"a\uFFFD"));
    EXPECT_EQ(Utf8ToWide("\xE2\x82z"), std::u16string(u"\uFFFD\uFFFDz"));
    EXPECT_EQ(Utf8ToWide("\xC0\xAF"), std::u16string(u"\uFFFD\uFFFD"));      // overlong
    EXPECT_EQ(Utf8ToWide("\xED\xA0\x80"), std::u16string(u"\uFFFD\uFFFD\uFFFD"));  // surrogate
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_EQ(CharByteLength(CP_UTF8, "\xF0\x9F\x98\x80", 0), 4u);
    EXPECT_EQ(CharByteLength(CP_UTF8, "\xF0\x9F\x98", 0), 1u);
    EXPECT_EQ(WideToUtf8(u"\U0001F600Ж"), "\xF0\x9F\x98\x80\xD0\x96");
    EXPECT_EQ(WideToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(CodePages, AllSingleByteValuesRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    for (int cp : {1250, 1251, 1252, 1253, 1254, 1256, 1257, 866, 28592}) {
        SCOPED_TRACE(cp);
        std::u16string wide = Decode(cp, all);
        ASSERT_EQ(wide.size(), 256u);
        EXPECT_EQ(WideToMultiByte(cp, wide), all);
    }
}

TEST(CaseMapping, KeepsOneCodeUnitPerCodeUnit)
{
    std::u16string text = u"straße Ёлка İi";
    std::u16string upper = text;
    WideUpperInPlace(upper);
    EXPECT_EQ(upper.size(), text.size());
    EXPECT_EQ(upper, u"STRAßE ЁЛКА İI");
    std::u16string lower = upper;
    WideLowerInPlace(lower);
    EXPECT_EQ(lower.size(), text.size());
    EXPECT_EQ(WideLower(u'Я'), u'я');
    EXPECT_EQ(WideUpper(u'z'), u'Z');
}

TEST(CodePages, TablesAndSequencesForFastDecoders)
{
    const char16_t* table = SingleByteTable(1251);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[0xCF], u'П');
    EXPECT_EQ(table[0x98], char16_t(0x98));
    EXPECT_EQ(SingleByteTable(932), nullptr);
    EXPECT_EQ(SingleByteTable(CP_UTF8), nullptr);
    EXPECT_EQ(SingleByteTable(12345)[0xCF], u'П');  // unknown pages read as the system page
    char32_t cp = 0;
    EXPECT_EQ(DecodeUtf8Sequence("a\xD0\x96", 1, cp), 2u);
    EXPECT_EQ(cp, U'Ж');
    EXPECT_EQ(DecodeUtf8Sequence("\xD0", 0, cp), 0u);
    EXPECT_EQ(DecodeUtf8Sequence("x", 5, cp), 0u);
}
