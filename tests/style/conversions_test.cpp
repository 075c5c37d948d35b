// Value conversions: colours, lengths, font sizes, keywords.
#include <gtest/gtest.h>

#include "style/conversions.h"

namespace {

constexpr TColor Flag = platform::PaletteRelative;

TColor Color(std::string_view text, bool needHash = false)
{
    TColor c = 0xDEADBEEF;
    EXPECT_TRUE(ParseColor(text, needHash, c)) << text;
    return c;
}

bool IsColor(std::string_view text, bool needHash = false)
{
    TColor c;
    return ParseColor(text, needHash, c);
}

TEST(ParseColorTest, HexFormsCarryThePaletteFlag)
{
    EXPECT_EQ(Color("#abc"), 0xCCBBAAu | Flag);
    EXPECT_EQ(Color("#f"), 0x0000FFu | Flag);
    EXPECT_EQ(Color("#FF8000"), 0x0080FFu | Flag);
    EXPECT_EQ(Color("  #ff8000  "), 0x0080FFu | Flag);
    EXPECT_FALSE(IsColor("#"));
    EXPECT_FALSE(IsColor("#xyz"));
    EXPECT_FALSE(IsColor(""));
}

TEST(ParseColorTest, NeedHashRejectsBareDigitsEvenAfterTheyParsedWithoutIt)
{
    EXPECT_EQ(Color("ff0000"), 0x0000FFu | Flag);
    // The remembered last colour must not answer for a call that asks for the "#".
    EXPECT_FALSE(IsColor("ff0000", true));
    EXPECT_FALSE(IsColor("ff0000", true));
    EXPECT_EQ(Color("#ff0000", true), 0x0000FFu | Flag);
}

TEST(ParseColorTest, HexDigitsPairFromTheLeftAndNeverReachTheFlagBits)
{
    TColor c = Color("#80000005");
    EXPECT_EQ(c & platform::SystemColorFlag, 0u);
    EXPECT_EQ(c, 0x000080u | Flag);
    EXPECT_EQ(Color("#1fffffff"), 0xFFFF1Fu | Flag);
    EXPECT_EQ(Color("#123456789"), 0x563412u | Flag);
    EXPECT_EQ(Color("#abcd"), 0x00CDABu | Flag);
}

TEST(ParseColorTest, NamesIgnoreCaseAndBlanksAndHaveNoFlag)
{
    EXPECT_EQ(Color("red"), 0x0000FFu);
    EXPECT_EQ(Color("RED "), 0x0000FFu);
    EXPECT_EQ(Color("transparent"), NoColor);
    EXPECT_EQ(Color("navy"), 0x800000u);
    EXPECT_EQ(Color("aliceblue"), 0xFFF8F0u);
    EXPECT_EQ(Color("yellowgreen"), 0x32CD9Au);
    EXPECT_EQ(Color("grey"), Color("gray"));
    EXPECT_EQ(Color("lightslategrey"), Color("lightslategray"));
    EXPECT_EQ(Color("appworkspace"), platform::SystemColorFlag + 12);
    EXPECT_EQ(Color("threedlightshadow"), platform::SystemColorFlag + 20);
    EXPECT_EQ(Color("scrollbar"), platform::SystemColorFlag + 0);
    // Names are found with needHash too; only bare hex digits need the "#".
    EXPECT_EQ(Color("blue", true), 0xFF0000u);
    EXPECT_FALSE(IsColor("notacolour", true));
}

TEST(ParseColorTest, RgbTriples)
{
    EXPECT_EQ(Color("rgb(100%, 0, 50%)"), (255u | 0u << 8 | 128u << 16) | Flag);
    EXPECT_EQ(Color("rgb(1,2,3)"), 0x030201u | Flag);
    EXPECT_EQ(Color("rgb(300, -5, x)"), 0x0000FFu | Flag);  // clamped, unparseable part is 0
    EXPECT_EQ(Color("rgb(10)"), 0x00000Au | Flag);
    EXPECT_FALSE(IsColor("rgb(1,2,3"));
    EXPECT_FALSE(IsColor("rgb 1,2,3"));
}

TEST(LengthToPixelsTest, UnitsAndRounding)
{
    EXPECT_EQ(LengthToPixels("50%", false, 300, 0, 0, -1), 150);
    EXPECT_EQ(LengthToPixels("12", true, 10, 0, 0, -1), 120);
    EXPECT_EQ(LengthToPixels("12", false, 10, 0, 0, -1), 12);
    EXPECT_EQ(LengthToPixels("auto", false, 10, 0, 0, AutoValue), AutoValue);
    EXPECT_EQ(LengthToPixels("1in", false, 0, 0, 0, -1), 96);
    EXPECT_EQ(LengthToPixels("2.54cm", false, 0, 0, 0, -1), 96);
    EXPECT_EQ(LengthToPixels("25.4mm", false, 0, 0, 0, -1), 96);
    EXPECT_EQ(LengthToPixels("12pt", false, 0, 0, 0, -1), 16);
    EXPECT_EQ(LengthToPixels("1pc", false, 0, 0, 0, -1), 16);
    EXPECT_EQ(LengthToPixels("2em", false, 0, 13, 6, -1), 26);
    EXPECT_EQ(LengthToPixels("3ex", false, 0, 13, 6, -1), 18);
    EXPECT_EQ(LengthToPixels("7 px", false, 0, 0, 0, -1), 7);
    EXPECT_EQ(LengthToPixels(" 12px", false, 0, 0, 0, -1), 12);
    EXPECT_EQ(LengthToPixels("thin", false, 0, 0, 0, 4), 4);
    EXPECT_EQ(LengthToPixels("", false, 0, 0, 0, 4), 0);
    // Halves go to the even neighbour.
    EXPECT_EQ(LengthToPixels("2.5", false, 0, 0, 0, -1), 2);
    EXPECT_EQ(LengthToPixels("3.5", false, 0, 0, 0, -1), 4);
    EXPECT_EQ(LengthToPixels("-2.5px", false, 0, 0, 0, -1), -2);
    // An exponent is never read: "2e5px" is a number 2 with the unknown unit "e5px".
    EXPECT_EQ(LengthToPixels("2e5px", false, 0, 0, 0, 9), 9);
}

TEST(LengthToPixelsTest, HugeValuesSaturate)
{
    std::string huge(400, '9');
    EXPECT_EQ(LengthToPixels(huge + "in", false, 0, 0, 0, 0), 1000000);
    EXPECT_EQ(LengthToPixels("-" + huge, false, 0, 0, 0, 0), -1000000);
    EXPECT_EQ(LengthToPixels("99999999999%", false, 2000000000, 0, 0, 0), 1000000);
}

TEST(SizeToPointsTest, UnitsAndKeywords)
{
    double saved = DefaultPointSize;
    DefaultPointSize = 12;
    EXPECT_DOUBLE_EQ(SizeToPoints("larger", 10), 12.5);
    EXPECT_DOUBLE_EQ(SizeToPoints("smaller", 10), 7.5);
    EXPECT_DOUBLE_EQ(SizeToPoints("xx-large", 10), 36);
    EXPECT_DOUBLE_EQ(SizeToPoints("xx-small", 10), 8);
    EXPECT_DOUBLE_EQ(SizeToPoints("medium", 10), 12 * 1.2);
    EXPECT_DOUBLE_EQ(SizeToPoints("150%", 10), 15);
    EXPECT_DOUBLE_EQ(SizeToPoints("16", 10), 12);
    EXPECT_DOUBLE_EQ(SizeToPoints("16px", 10), 12);
    EXPECT_DOUBLE_EQ(SizeToPoints("2em", 10), 20);
    EXPECT_DOUBLE_EQ(SizeToPoints("2ex", 10), 10);
    EXPECT_DOUBLE_EQ(SizeToPoints("1in", 10), 72);
    EXPECT_DOUBLE_EQ(SizeToPoints("1pc", 10), 12);
    EXPECT_DOUBLE_EQ(SizeToPoints("bogus", 10), 12);
    EXPECT_DOUBLE_EQ(SizeToPoints("1e9pt", 10), 12);  // "e9pt" is an unknown unit
    EXPECT_DOUBLE_EQ(SizeToPoints(std::string(400, '9') + "pt", 10), 10000);
    DefaultPointSize = saved;
}

TEST(KeywordTest, AlignAndUrl)
{
    EXPECT_EQ(AlignFromText("CENTER"), AlignMiddle);
    EXPECT_EQ(AlignFromText("absmiddle"), AlignMiddle);
    EXPECT_EQ(AlignFromText("left"), AlignLeft);
    EXPECT_EQ(AlignFromText("justify"), AlignJustify);
    EXPECT_EQ(AlignFromText("texttop"), AlignNone);
    EXPECT_EQ(UrlFromValue("url(a.gif)"), "a.gif");
    EXPECT_EQ(UrlFromValue("url('a b.gif')"), "a b.gif");
    EXPECT_EQ(UrlFromValue("url(\"x\")"), "x");
    EXPECT_EQ(UrlFromValue("url(ab"), "ab");
    EXPECT_EQ(UrlFromValue("none"), "");
}

}  // namespace
