// Geometry, colour references and the shared integer arithmetic.
#include <gtest/gtest.h>

#include <climits>

#include "platform/asciitext.h"
#include "platform/clock.h"
#include "platform/sysvalues.h"
#include "platform/types.h"

using namespace platform;

TEST(Arithmetic, MulDivRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(7, 3, 4), 5);  // 5.25
    EXPECT_EQ(MulDiv(12, 96, 72), 16);
}

TEST(Arithmetic, MulDivNeverTraps)
{
    EXPECT_EQ(MulDiv(10, 10, 0), -1);
    EXPECT_EQ(MulDiv(0, 10, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, 1), -1);          // overflow
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);  // the 64-bit product fits
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), INT_MIN);
}

TEST(Arithmetic, RoundGoesToEvenOnHalves)
{
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(-3.5), -4);
    EXPECT_EQ(Round(2.4999), 2);
    EXPECT_EQ(Round(2.5001), 3);
    EXPECT_EQ(Round(1e300), INT_MAX);
    EXPECT_EQ(Round(-1e300), INT_MIN);
}

TEST(Geometry, RectanglesHaveExclusiveRightAndBottomEdges)
{
    Rect r = Bounds(10, 20, 5, 4);
    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_TRUE(r.Contains({14, 23}));
    EXPECT_FALSE(r.Contains({15, 23}));
    EXPECT_FALSE(r.Contains({14, 24}));
    EXPECT_EQ(IntersectRect(r, Bounds(15, 20, 5, 5)), Rect{});  // touching edges do not overlap
    EXPECT_EQ(IntersectRect(r, Bounds(12, 0, 100, 22)), MakeRect(12, 20, 15, 22));
    EXPECT_EQ(UnionRect(Rect{}, r), r);
    EXPECT_EQ(UnionRect(r, Bounds(0, 0, 1, 1)), MakeRect(0, 0, 15, 24));
}

TEST(Colours, ReferencesResolveToPlainRgb)
{
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(ColorToRGB(PaletteRelative | RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
    EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(SystemColorFlag + COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    // Indexes outside the table are black instead of a read out of bounds.
    EXPECT_EQ(ColorToRGB(SystemColorFlag + 31), 0u);
    EXPECT_EQ(ColorToRGB(0xFFFFFFFF), 0u);
    EXPECT_EQ(ColorToRGB(clBtnShadow | PaletteRelative), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST(SystemValuesTable, FixedValuesAndColourClass)
{
    EXPECT_EQ(SysValues().PixelsPerInch, 96);
    EXPECT_EQ(SysValues().ScrollBarThickness, 17);
    EXPECT_EQ(SysValues().WheelScrollLines, 3);
    EXPECT_EQ(DisplayColorClass(), 24);
    SystemValues v = SysValues();
    v.ColorDepth = 8;
    SystemValues old = SetSysValues(v);
    EXPECT_EQ(DisplayColorClass(), 8);
    v.ColorDepth = 4;
    SetSysValues(v);
    EXPECT_EQ(DisplayColorClass(), 4);
    SetSysValues(old);
    EXPECT_EQ(DisplayColorClass(), 24);
}

TEST(Clock, IsMonotonic)
{
    std::uint32_t a = timeGetTime();
    std::uint32_t b = timeGetTime();
    EXPECT_LE(std::uint32_t(b - a), 1000u);
}

TEST(AsciiText, TrimCompareAndHexDigits)
{
    EXPECT_EQ(TrimBlanks("\t  a b \r\n"), "a b");
    EXPECT_EQ(TrimBlanks(" \x01 "), "");
    EXPECT_EQ(LowerAscii("AbC\xC0"), "abc\xC0");  // bytes above ASCII keep their case
    EXPECT_EQ(UpperAscii("aBc\xE0"), "ABC\xE0");
    EXPECT_EQ(CompareTextAscii("Info", "INFO"), 0);
    EXPECT_LT(CompareTextAscii("abc", "ABD"), 0);
    EXPECT_LT(CompareTextAscii("ab", "abc"), 0);
    EXPECT_TRUE(SameTextAscii("Page.HTML", "page.html"));
    EXPECT_EQ(HexDigitValue('f'), 15);
    EXPECT_EQ(HexDigitValue('A'), 10);
    EXPECT_EQ(HexDigitValue('g'), -1);
}
