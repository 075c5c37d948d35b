// Text measuring and case helpers of the text sections.

#include <gtest/gtest.h>

#include "layout/texthelpers.h"

namespace {

TEST(TextHelpers, CaseKeepsTheLengthAndTrimDropsControlCodes)
{
    EXPECT_EQ(WideUpperCase(u"straße ж"), u"STRAßE Ж");
    EXPECT_EQ(WideLowerCase(u"ABC Ж"), u"abc ж");
    EXPECT_EQ(WideLowerCase(u"İ").size(), 1u);
    EXPECT_EQ(WideTrim(u"\x01 \t a b \r\n"), u"a b");
    EXPECT_EQ(WideTrim(u" \x02 "), u"");
}

}  // namespace

#include "platform/canvas.h"

namespace {

TEST(TextHelpers, FitCountsWholeCharactersAndAgreesWithTheExtent)
{
    platform::Canvas canvas;  // measuring canvas with its default font
    const std::u16string text = u"Hello world";
    const int n = int(text.size());
    const int full = TextExtent(canvas, text.data(), n);
    ASSERT_GT(full, 0);
    int fit = -1, width = -1;
    TextFit(canvas, text.data(), n, full, fit, width);
    EXPECT_EQ(fit, n);
    EXPECT_EQ(width, full);
    TextFit(canvas, text.data(), n, full - 1, fit, width);
    EXPECT_EQ(fit, n - 1);
    EXPECT_EQ(width, TextExtent(canvas, text.data(), n - 1));
    TextFit(canvas, text.data(), n, 0, fit, width);
    EXPECT_EQ(fit, 0);
    EXPECT_EQ(width, 0);
    TextFit(canvas, text.data(), 0, 100, fit, width);
    EXPECT_EQ(fit, 0);
}

}  // namespace
