// Pixel coverage of the canvas primitives, clipping, window origin and saved states.

#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/region.h"

using namespace platform;

namespace {

Bitmap WhiteBitmap(int w, int h, PixelFormat f = PixelFormat::pf32bit)
{
    Bitmap b(w, h, f);
    b.Fill(clWhite);
    return b;
}

// The bitmap as rows of '#' (colour c) and '.' (anything else), for readable expectations.
std::string Picture(const Bitmap& b, TColor c, int x0, int y0, int x1, int y1)
{
    std::string s;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x)
            s += b.Pixel(x, y) == c ? '#' : '.';
        s += '\n';
    }
    return s;
}

int Count(const Bitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == c;
    return n;
}

} // namespace

TEST(CanvasShapes, FillRectCoversLeftTopButNotRightBottom)
{
    for (PixelFormat f : {PixelFormat::pf32bit, PixelFormat::pf24bit, PixelFormat::pf8bit}) {
        Bitmap b = WhiteBitmap(8, 8, f);
        Canvas& c = b.GetCanvas();
        c.FillRect(MakeRect(2, 3, 5, 6), clRed);
        EXPECT_EQ(Picture(b, clRed, 0, 0, 8, 8), "........\n"
                                                 "........\n"
                                                 "........\n"
                                                 "..###...\n"
                                                 "..###...\n"
                                                 "..###...\n"
                                                 "........\n"
                                                 "........\n")
            << int(f);
        // Empty and inverted rectangles draw nothing; clNone never paints.
        c.FillRect(MakeRect(5, 5, 5, 7), clBlue);
        c.FillRect(MakeRect(6, 6, 4, 4), clBlue);
        c.FillRect(MakeRect(0, 0, 8, 8), clNone);
        EXPECT_EQ(Count(b, clBlue), 0);
        EXPECT_EQ(Count(b, clRed), 9);
    }
}

TEST(CanvasShapes, FillRectWithBrushAndFrameRect)
{
    Bitmap b = WhiteBitmap(8, 8);
    Canvas c(b);
    c.SetBrushColor(clGreen);
    c.FrameRect(MakeRect(1, 1, 6, 5));
    EXPECT_EQ(Picture(b, clGreen, 0, 0, 8, 6), "........\n"
                                               ".#####..\n"
                                               ".#...#..\n"
                                               ".#...#..\n"
                                               ".#####..\n"
                                               "........\n");
    c.SetBrushStyle(BrushStyle::Clear);
    c.FillRect(MakeRect(0, 0, 8, 8));
    EXPECT_EQ(Count(b, clGreen), 14);
    // System colours resolve; the palette-relative flag is ignored.
    c.FillRect(MakeRect(0, 7, 1, 8), clBtnFace);
    c.FillRect(MakeRect(1, 7, 2, 8), PaletteRelative | clBlue);
    EXPECT_EQ(b.Pixel(0, 7), RGB(192, 192, 192));
    EXPECT_EQ(b.Pixel(1, 7), clBlue);
}

TEST(CanvasShapes, RectangleOutlineAndInteriorEdges)
{
    Bitmap b = WhiteBitmap(8, 8);
    Canvas c(b);
    c.SetPen(Pen{clBlack, 1, PenStyle::Solid});
    c.SetBrushColor(clRed);
    c.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Picture(b, clBlack, 0, 0, 8, 6), "........\n"
                                               ".#####..\n"
                                               ".#...#..\n"
                                               ".#...#..\n"
                                               ".#####..\n"
                                               "........\n");
    EXPECT_EQ(Count(b, clRed), 6); // 3 x 2 inside

    // A clear pen: GDI fills one pixel less to the right and bottom.
    Bitmap n = WhiteBitmap(8, 8);
    Canvas cn(n);
    cn.SetPenStyle(PenStyle::Clear);
    cn.SetBrushColor(clBlue);
    cn.Rectangle(1, 1, 6, 5);
    EXPECT_EQ(Count(n, clBlue), 4 * 3);
    EXPECT_EQ(n.Pixel(1, 1), clBlue);
    EXPECT_EQ(n.Pixel(5, 1), clWhite);
}

TEST(CanvasShapes, InsideFramePenStaysInsideTheBox)
{
    Bitmap b = WhiteBitmap(10, 10);
    Canvas c(b);
    c.SetPen(Pen{clBlack, 2, PenStyle::InsideFrame});
    c.SetBrushStyle(BrushStyle::Clear);
    c.Rectangle(1, 1, 9, 8);
    EXPECT_EQ(Picture(b, clBlack, 0, 0, 10, 9), "..........\n"
                                                ".########.\n"
                                                ".########.\n"
                                                ".##....##.\n"
                                                ".##....##.\n"
                                                ".##....##.\n"
                                                ".########.\n"
                                                ".########.\n"
                                                "..........\n");
}

TEST(CanvasShapes, LineToLeavesOutTheEndPoint)
{
    Bitmap b = WhiteBitmap(8, 8);
    Canvas c(b);
    c.MoveTo(1, 1);
    c.LineTo(5, 1); // horizontal: 1..4
    c.LineTo(5, 4); // vertical from (5,1): 5,1..5,3
    c.MoveTo(0, 7);
    c.LineTo(3, 4); // diagonal: (0,7) (1,6) (2,5)
    EXPECT_EQ(Picture(b, clBlack, 0, 0, 8, 8), "........\n"
                                               ".#####..\n"
                                               ".....#..\n"
                                               ".....#..\n"
                                               "........\n"
                                               "..#.....\n"
                                               ".#......\n"
                                               "#.......\n");
    EXPECT_EQ(c.GetCurrentPosition(), (Point{3, 4}));
    // A far-away end point neither hangs nor draws outside the line.
    c.SetPenColor(clRed);
    c.MoveTo(-2000000000, 0);
    c.LineTo(2000000000, 0);
    EXPECT_EQ(Count(b, clRed), 8);
}

TEST(CanvasShapes, DottedPenAlternatesAndContinuesAlongThePath)
{
    Bitmap b = WhiteBitmap(16, 2);
    Canvas c(b);
    c.SetPen(Pen{clBlack, 1, PenStyle::Dot});
    c.MoveTo(0, 0);
    c.LineTo(4, 0);
    c.LineTo(12, 0); // the pattern goes on where the first segment stopped
    EXPECT_EQ(Picture(b, clBlack, 0, 0, 16, 1), "###...###.......\n");
    c.SetPen(Pen{clBlack, 1, PenStyle::Dash});
    c.MoveTo(0, 1);
    c.LineTo(16, 1);
    EXPECT_EQ(Picture(b, clBlack, 0, 1, 16, 2), "################\n");
}

TEST(CanvasShapes, EllipseStaysInsideItsBox)
{
    Bitmap b = WhiteBitmap(12, 12);
    Canvas c(b);
    c.SetPen(Pen{clBlack, 1, PenStyle::Solid});
    c.SetBrushColor(clRed);
    c.Ellipse(2, 2, 10, 9);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            if (x < 2 || x >= 10 || y < 2 || y >= 9) {
                EXPECT_EQ(b.Pixel(x, y), clWhite) << x << "," << y;
            }
        }
    EXPECT_EQ(b.Pixel(6, 5), clRed);   // centre filled
    EXPECT_EQ(b.Pixel(2, 5), clBlack); // left edge touched
    EXPECT_EQ(b.Pixel(6, 2), clBlack); // top edge touched
    EXPECT_EQ(b.Pixel(2, 2), clWhite); // corners stay
}

TEST(CanvasShapes, PolygonFillsWithWinding)
{
    Bitmap b = WhiteBitmap(10, 10);
    Canvas c(b);
    c.SetPenStyle(PenStyle::Clear);
    c.SetBrushColor(clBlue);
    c.Polygon({{0, 0}, {8, 0}, {8, 8}, {0, 8}});
    EXPECT_EQ(b.Pixel(4, 4), clBlue);
    EXPECT_EQ(b.Pixel(9, 9), clWhite);
    EXPECT_EQ(b.Pixel(0, 0), clBlue);
    // A self-overlapping outline is filled where winding is non-zero (both loops the same way).
    Bitmap w = WhiteBitmap(10, 10);
    Canvas cw(w);
    cw.SetPenStyle(PenStyle::Clear);
    cw.SetBrushColor(clBlue);
    cw.Polygon({{0, 0}, {8, 0}, {8, 8}, {0, 8}, {0, 0}, {8, 0}, {8, 8}, {0, 8}});
    EXPECT_EQ(w.Pixel(4, 4), clBlue);
}

TEST(CanvasShapes, FocusRectInvertsEveryOtherPixelAndTwiceRestores)
{
    Bitmap b = WhiteBitmap(8, 8);
    Canvas c(b);
    c.FillRect(MakeRect(0, 0, 8, 8), RGB(10, 20, 30));
    c.DrawFocusRect(MakeRect(1, 1, 7, 6));
    const TColor inverted = RGB(245, 235, 225);
    EXPECT_EQ(Picture(b, inverted, 0, 0, 8, 7), "........\n"
                                                ".#.#.#..\n"
                                                "......#.\n"
                                                ".#......\n"
                                                "......#.\n"
                                                ".#.#.#..\n"
                                                "........\n");
    c.DrawFocusRect(MakeRect(1, 1, 7, 6));
    EXPECT_EQ(Count(b, RGB(10, 20, 30)), 64);
}

TEST(CanvasState, WindowOriginShiftsDrawingAndClipStaysLogical)
{
    Bitmap b = WhiteBitmap(10, 10);
    Canvas c(b);
    c.SetWindowOrg(100, 200);
    c.FillRect(MakeRect(102, 203, 104, 204), clRed);
    EXPECT_EQ(b.Pixel(2, 3), clRed);
    EXPECT_EQ(b.Pixel(3, 3), clRed);
    EXPECT_EQ(Count(b, clRed), 2);
    EXPECT_EQ(c.GetPixel(102, 203), clRed);

    // The clip is given in logical coordinates too.
    c.IntersectClipRect(MakeRect(105, 205, 107, 207));
    c.FillRect(MakeRect(100, 200, 110, 210), clBlue);
    EXPECT_EQ(Count(b, clBlue), 4);
    EXPECT_EQ(b.Pixel(5, 5), clBlue);
    EXPECT_EQ(b.Pixel(7, 7), clWhite);
    Rect box;
    EXPECT_EQ(c.GetClipBox(box), SIMPLEREGION);
    EXPECT_EQ(box, MakeRect(105, 205, 107, 207));
}

TEST(CanvasState, ClipByRegionsCombinesAndRestores)
{
    Bitmap b = WhiteBitmap(10, 10);
    Canvas c(b);
    const int level = c.SaveDC();
    EXPECT_EQ(level, 1);
    const Region left = Region::CreateRect(0, 0, 5, 10);
    const Region top = Region::CreateRect(0, 0, 10, 5);
    c.SelectClipRgn(&left);
    c.ExtSelectClipRgn(&top, RGN_AND);
    c.SetBrushColor(clRed);
    c.Rectangle(0, 0, 10, 10);
    // Only the top-left quarter took any paint.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            if (x >= 5 || y >= 5) {
                EXPECT_EQ(b.Pixel(x, y), clWhite);
            }
        }
    EXPECT_EQ(b.Pixel(2, 2), clRed);
    c.SaveDC();
    c.SetTextColor(clBlue);
    c.SelectClipRgn(nullptr);
    EXPECT_TRUE(c.RestoreDC(1));
    EXPECT_FALSE(c.HasClip());
    EXPECT_EQ(c.GetTextColor(), clBlack);
    EXPECT_FALSE(c.RestoreDC(-1)); // nothing saved any more
    c.ExcludeClipRect(MakeRect(0, 0, 9, 10));
    c.FillRect(MakeRect(0, 0, 10, 10), clGreen);
    EXPECT_EQ(Count(b, clGreen), 10);
}

TEST(CanvasState, PixelsAndMeasuringCanvas)
{
    Bitmap b = WhiteBitmap(4, 4);
    Canvas c(b);
    c.SetPixel(1, 2, clMaroon);
    EXPECT_EQ(c.GetPixel(1, 2), clMaroon);
    EXPECT_EQ(c.GetPixel(4, 0), clNone);
    c.SetPixel(-1, 0, clRed); // outside: ignored

    Canvas measuring;
    EXPECT_FALSE(measuring.HasTarget());
    measuring.FillRect(MakeRect(0, 0, 10, 10), clRed); // nothing to draw on, nothing happens
    measuring.Rectangle(0, 0, 5, 5);
    measuring.TextOutW(0, 0, u"abc");
    EXPECT_EQ(measuring.GetPixel(0, 0), clNone);
    EXPECT_GT(measuring.TextWidth(u"abc"), 0);
}

TEST(CanvasState, DrawingOnPaletteBitmapsMapsToTheirPalette)
{
    Bitmap mono(8, 2, PixelFormat::pf1bit);
    mono.Fill(clWhite);
    Canvas c(mono);
    c.FillRect(MakeRect(0, 0, 3, 1), clBlack);
    EXPECT_EQ(mono.ScanLine(0)[0], 0x1F); // three black bits, then white
    EXPECT_EQ(mono.ScanLine(1)[0], 0xFF);

    Bitmap four(5, 1, PixelFormat::pf4bit);
    Canvas c4(four);
    c4.FillRect(MakeRect(1, 0, 2, 1), clRed); // the VGA palette has pure red at 9
    EXPECT_EQ(four.ScanLine(0)[0], 0x09);
    EXPECT_EQ(four.Pixel(1, 0), clRed);
}

TEST(CanvasShapes, ExtremeCoordinatesNeitherOverflowNorHang)
{
    Bitmap b = WhiteBitmap(6, 6);
    Canvas c(b);
    c.SetWindowOrg(1000000000, -1000000000);
    const Rect huge = MakeRect(-2000000000, -2000000000, 2000000000, 2000000000);
    c.FillRect(huge, clRed);
    EXPECT_EQ(Count(b, clRed), 36);
    c.SetWindowOrg(0, 0);
    c.SetBrushStyle(BrushStyle::Clear);
    c.SetPen(Pen{clBlue, 3, PenStyle::Solid});
    c.Rectangle(huge); // the outline lies far outside
    EXPECT_EQ(Count(b, clBlue), 0);
    c.DrawFocusRect(huge);
    EXPECT_EQ(Count(b, clRed), 36);
    c.DrawFocusRect(MakeRect(-2000000000, 2, 2000000000, 3)); // one row, every other pixel
    EXPECT_EQ(Count(b, clRed), 33);
}

TEST(CanvasShapes, WidePensCoverTheirWidthAndJoinPolylines)
{
    Bitmap b = WhiteBitmap(12, 12);
    Canvas c(b);
    c.SetPen(Pen{clBlack, 3, PenStyle::Solid});
    c.MoveTo(1, 5);
    c.LineTo(9, 5);
    // Three rows centred on y = 5, from x = 1 up to but not including 9.
    EXPECT_EQ(Picture(b, clBlack, 0, 3, 12, 8), "............\n"
                                                ".########...\n"
                                                ".########...\n"
                                                ".########...\n"
                                                "............\n");
    Bitmap p = WhiteBitmap(12, 12);
    Canvas cp(p);
    cp.SetPen(Pen{clBlack, 3, PenStyle::Solid});
    const Point corner[] = {{2, 9}, {2, 2}, {9, 2}};
    cp.Polyline(corner, 3);
    EXPECT_EQ(p.Pixel(1, 1), clBlack);                 // the mitre fills the outer corner
    EXPECT_EQ(cp.GetCurrentPosition(), (Point{0, 0})); // Polyline leaves the pen where it was
}
