// Border sides and 3-D frames, read back pixel by pixel.
#include <gtest/gtest.h>

#include "layout/borders.h"
#include "platform/bitmap.h"

using namespace platform;

namespace {

constexpr TColor Paper = 0xFFFFFF;

struct Surface {
    Surface() : bitmap(40, 40), canvas(bitmap) { canvas.FillRect(Rect{0, 0, 40, 40}, Paper); }
    TColor At(int x, int y) const { return canvas.GetPixel(x, y) & 0xFFFFFF; }
    Bitmap bitmap;
    Canvas canvas;
};

TBorderSides AllSides(BorderStyleType style, TColor colour)
{
    TBorderSides s;
    for (int i = 0; i < 4; ++i) {
        s.Style[i] = style;
        s.Color[i] = colour;
    }
    return s;
}

}  // namespace

TEST(BorderPainter, OnePixelSolidSidesCoverExactlyTheFrame)
{
    Surface s;
    DrawBorder(s.canvas, Rect{5, 5, 15, 12}, Rect{6, 6, 14, 11}, false, NoColor, AllSides(bssSolid, clRed));
    for (int x = 5; x < 15; ++x) {
        EXPECT_EQ(s.At(x, 5), clRed) << x;
        EXPECT_EQ(s.At(x, 11), clRed) << x;
    }
    for (int y = 5; y < 12; ++y) {
        EXPECT_EQ(s.At(5, y), clRed) << y;
        EXPECT_EQ(s.At(14, y), clRed) << y;
    }
    EXPECT_EQ(s.At(6, 6), Paper);
    EXPECT_EQ(s.At(13, 10), Paper);
    EXPECT_EQ(s.At(15, 5), Paper);  // nothing outside the border box
    EXPECT_EQ(s.At(5, 12), Paper);
}

TEST(BorderPainter, WideSolidSidesFillTheBand)
{
    Surface s;
    DrawBorder(s.canvas, Rect{2, 2, 30, 30}, Rect{6, 6, 26, 26}, false, NoColor, AllSides(bssSolid, clBlue));
    EXPECT_EQ(s.At(2, 2), clBlue);
    EXPECT_EQ(s.At(5, 15), clBlue);
    EXPECT_EQ(s.At(29, 29), clBlue);
    EXPECT_EQ(s.At(6, 15), Paper);
    EXPECT_EQ(s.At(25, 25), Paper);
    EXPECT_EQ(s.At(30, 15), Paper);
}

TEST(BorderPainter, DoubleOfFiveDrawsTwoPixelThirds)
{
    Surface s;
    DrawBorder(s.canvas, Rect{0, 0, 30, 30}, Rect{5, 5, 25, 25}, false, clGreen, AllSides(bssDouble, clRed));
    // Left side, row 15: outer third 0..1, middle 2 (background), inner third 3..4.
    EXPECT_EQ(s.At(0, 15), clRed);
    EXPECT_EQ(s.At(1, 15), clRed);
    EXPECT_EQ(s.At(2, 15), clGreen);
    EXPECT_EQ(s.At(3, 15), clRed);
    EXPECT_EQ(s.At(4, 15), clRed);
    EXPECT_EQ(s.At(5, 15), Paper);
}

TEST(BorderPainter, InsetAndOutsetShadeOppositeSides)
{
    const TColor grey = RGB(200, 200, 200);
    const TColor dark = DarkenColor(grey) & 0xFFFFFF;
    EXPECT_EQ(dark, RGB(150, 150, 150));
    Surface in;
    DrawBorder(in.canvas, Rect{0, 0, 20, 20}, Rect{3, 3, 17, 17}, false, NoColor, AllSides(bssInset, grey));
    EXPECT_EQ(in.At(1, 10), dark);
    EXPECT_EQ(in.At(10, 1), dark);
    EXPECT_EQ(in.At(18, 10), grey);
    EXPECT_EQ(in.At(10, 18), grey);
    Surface out;
    DrawBorder(out.canvas, Rect{0, 0, 20, 20}, Rect{3, 3, 17, 17}, false, NoColor, AllSides(bssOutset, grey));
    EXPECT_EQ(out.At(1, 10), grey);
    EXPECT_EQ(out.At(18, 10), dark);
}

TEST(BorderPainter, GrooveSplitsEachSideInHalves)
{
    const TColor grey = RGB(200, 200, 200);
    const TColor dark = DarkenColor(grey) & 0xFFFFFF;
    Surface s;
    DrawBorder(s.canvas, Rect{0, 0, 20, 20}, Rect{4, 4, 16, 16}, false, NoColor, AllSides(bssGroove, grey));
    EXPECT_EQ(s.At(0, 10), dark);   // outer half of the left side
    EXPECT_EQ(s.At(3, 10), grey);   // inner half
    EXPECT_EQ(s.At(19, 10), grey);  // outer half of the right side
    EXPECT_EQ(s.At(16, 10), dark);
}

TEST(BorderPainter, DottedSidesDrawSomethingAndNoneDrawsNothing)
{
    Surface s;
    TBorderSides sides = AllSides(bssNone, clRed);
    sides.Style[1] = bssDotted;
    DrawBorder(s.canvas, Rect{0, 0, 40, 20}, Rect{0, 3, 40, 20}, false, NoColor, sides);
    int red = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 3; ++y)
            red += s.At(x, y) == clRed;
    EXPECT_GT(red, 0);
    EXPECT_LT(red, 120);  // dotted, not solid
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(s.At(x, 10), Paper);
}

TEST(ThreeDFrame, RaisedAndSunkenOnePixelFrames)
{
    const TColor light = RGB(255, 255, 0);
    const TColor dark = RGB(0, 0, 128);
    Surface s;
    Draw3DFrame(s.canvas, 5, 5, 15, 15, 1, true, dark, light);
    EXPECT_EQ(s.At(5, 10), light);
    EXPECT_EQ(s.At(10, 5), light);
    EXPECT_EQ(s.At(15, 10), dark);
    EXPECT_EQ(s.At(10, 15), dark);
    Surface t;
    Draw3DFrame(t.canvas, 5, 5, 15, 15, 1, false, dark, light);
    EXPECT_EQ(t.At(5, 10), dark);
    EXPECT_EQ(t.At(15, 10), light);
}

TEST(ThreeDFrame, WideFrameSurroundsTheRectangle)
{
    const TColor light = RGB(255, 255, 0);
    const TColor dark = RGB(0, 0, 128);
    Surface s;
    Draw3DFrame(s.canvas, 10, 10, 20, 20, 3, true, dark, light);
    EXPECT_EQ(s.At(8, 15), light);   // left band 8..10
    EXPECT_EQ(s.At(10, 15), light);
    EXPECT_EQ(s.At(11, 15), Paper);
    EXPECT_EQ(s.At(22, 15), dark);   // right band 20..22
    EXPECT_EQ(s.At(23, 15), Paper);
}

TEST(ThreeDFrame, DefaultColours)
{
    EXPECT_EQ(Default3DFrameColors(false, false, RGB(255, 255, 255) | PaletteRelative).Light, 0xC0C0C0u);
    EXPECT_EQ(Default3DFrameColors(false, false, clWindow).Light, 0xC0C0C0u);
    EXPECT_EQ(Default3DFrameColors(false, false, RGB(0, 0, 0)).Light, clBtnHighlight);
    EXPECT_EQ(Default3DFrameColors(true, false, RGB(0, 0, 0)).Light, 0xC0C0C0u);
    EXPECT_EQ(Default3DFrameColors(false, false, 0).Dark, clBtnShadow);
    T3DFrameColors mono = Default3DFrameColors(true, true, 0);
    EXPECT_EQ(mono.Dark, 0u);
    EXPECT_EQ(mono.Light, 0u);
}
