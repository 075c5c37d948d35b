// Regions: GDI edges (left/top in, right/bottom out), shapes, combination and hit tests.

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/region.h"

using namespace platform;

TEST(Regions, RectangleEdgesAreHalfOpen)
{
    const Region r = Region::CreateRect(2, 3, 6, 8);
    EXPECT_TRUE(r.Contains(2, 3));
    EXPECT_TRUE(r.Contains(5, 7));
    EXPECT_FALSE(r.Contains(6, 7));
    EXPECT_FALSE(r.Contains(5, 8));
    EXPECT_FALSE(r.Contains(1, 3));
    EXPECT_EQ(r.BoundingBox(), MakeRect(2, 3, 6, 8));
    // Swapped corners are normalised; an empty box gives an empty region.
    EXPECT_EQ(Region::CreateRect(6, 8, 2, 3).BoundingBox(), MakeRect(2, 3, 6, 8));
    EXPECT_TRUE(Region::CreateRect(4, 4, 4, 9).IsEmpty());
    EXPECT_EQ(Region().BoundingBox(), Rect{});
    EXPECT_FALSE(Region().Contains(0, 0));
}

TEST(Regions, EllipseAndPolygon)
{
    // An image-map circle at (10,10) radius 5 becomes the box (5,5)-(16,16).
    const Region e = Region::CreateEllipse(5, 5, 16, 16);
    EXPECT_TRUE(e.Contains(10, 10));
    EXPECT_TRUE(e.Contains(10, 5));
    EXPECT_TRUE(e.Contains(5, 10));
    EXPECT_TRUE(e.Contains(15, 10));
    EXPECT_FALSE(e.Contains(5, 5));
    EXPECT_FALSE(e.Contains(16, 10));
    EXPECT_EQ(e.BoundingBox(), MakeRect(5, 5, 16, 16));

    const Region tri = Region::CreatePolygon({{0, 0}, {20, 0}, {0, 20}});
    EXPECT_TRUE(tri.Contains(2, 2));
    EXPECT_FALSE(tri.Contains(15, 15));
    EXPECT_TRUE(Region::CreatePolygon({{0, 0}, {5, 5}}).IsEmpty()); // fewer than 3 points
    // Winding: a doubled loop is filled; alternate leaves it empty.
    const std::vector<Point> twice{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(Region::CreatePolygon(twice, WINDING).Contains(5, 5));
    EXPECT_FALSE(Region::CreatePolygon(twice, ALTERNATE).Contains(5, 5));
}

TEST(Regions, CombineOffsetAndIntersect)
{
    const Region a = Region::CreateRect(0, 0, 10, 10);
    const Region b = Region::CreateRect(5, 5, 15, 15);
    const Region both = Region::Combine(a, b, RGN_AND);
    EXPECT_EQ(both.BoundingBox(), MakeRect(5, 5, 10, 10));
    const Region either = Region::Combine(a, b, RGN_OR);
    EXPECT_TRUE(either.Contains(0, 0));
    EXPECT_TRUE(either.Contains(14, 14));
    EXPECT_FALSE(either.Contains(14, 0));
    EXPECT_EQ(either.BoundingBox(), MakeRect(0, 0, 15, 15));
    const Region diff = Region::Combine(a, b, RGN_DIFF);
    EXPECT_TRUE(diff.Contains(4, 9));
    EXPECT_FALSE(diff.Contains(5, 5));
    const Region x = Region::Combine(a, b, RGN_XOR);
    EXPECT_FALSE(x.Contains(7, 7));
    EXPECT_TRUE(x.Contains(12, 12));
    EXPECT_EQ(Region::Combine(a, b, RGN_COPY), a);

    Region moved = a;
    moved.Offset(-3, 4);
    EXPECT_EQ(moved.BoundingBox(), MakeRect(-3, 4, 7, 14));
    EXPECT_EQ(a.BoundingBox(), MakeRect(0, 0, 10, 10)); // copies are independent
    EXPECT_TRUE(a.Intersects(MakeRect(9, 9, 20, 20)));
    EXPECT_FALSE(a.Intersects(MakeRect(10, 0, 20, 20)));
    EXPECT_EQ(either.Rects().size(), 3u);
}

TEST(Regions, FillAndClipByRegionTouchTheSamePixels)
{
    Bitmap b(12, 12);
    b.Fill(clWhite);
    Canvas c(b);
    const Region r = Region::CreateRect(2, 2, 5, 4);
    c.FillRegion(r, clRed);
    int n = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(b.Pixel(x, y) == clRed, r.Contains(x, y)) << x << "," << y;
            n += b.Pixel(x, y) == clRed;
        }
    EXPECT_EQ(n, 6);
    // An ellipse clip: painting everything leaves exactly the region's pixels painted.
    const Region e = Region::CreateEllipse(1, 1, 11, 9);
    c.SelectClipRgn(&e);
    c.FillRect(MakeRect(0, 0, 12, 12), clBlue);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(b.Pixel(x, y) == clBlue, e.Contains(x, y)) << x << "," << y;
}
