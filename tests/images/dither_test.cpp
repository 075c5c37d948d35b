// Colour reduction: exact palette colours, error diffusion against a plain two-dimensional version of the
// same diffusion, the palettes, and the lookup cache.

#include <gtest/gtest.h>

#include <cstdlib>

#include "images/dither.h"
#include "platform/sysvalues.h"

using platform::Bitmap;
using platform::PixelFormat;
using platform::TColor;

namespace {

Bitmap Make24(int w, int h, const std::vector<TColor>& pixels)
{
    Bitmap b(w, h, PixelFormat::pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, pixels[size_t(y * w + x)]);
    return b;
}

// Serpentine Floyd-Steinberg with a whole error plane in sixteenths, and the same first-come 15-bit key
// cache of nearest entries.
std::vector<int> Reference(const Bitmap& src, const std::vector<TColor>& pal)
{
    const int w = src.Width(), h = src.Height();
    std::vector<int> out(size_t(w * h));
    std::vector<int> err(size_t((w + 2) * (h + 1) * 3), 0);
    auto E = [&](int x, int y, int c) -> int& { return err[size_t(((y * (w + 2)) + x + 1) * 3 + c)]; };
    std::vector<int> cache(32768, -1);
    for (size_t i = 0; i < pal.size(); ++i) {
        int k = (platform::GetRValue(pal[i]) >> 3) + 32 * (platform::GetGValue(pal[i]) >> 3) +
                1024 * (platform::GetBValue(pal[i]) >> 3);
        if (cache[size_t(k)] < 0)
            cache[size_t(k)] = int(i);
    }
    for (int y = 0; y < h; ++y) {
        const bool ltr = y % 2 == 0;
        for (int n = 0; n < w; ++n) {
            const int x = ltr ? n : w - 1 - n;
            const int d = ltr ? 1 : -1;
            TColor c = src.Pixel(x, y);
            int v[3] = {platform::GetRValue(c), platform::GetGValue(c), platform::GetBValue(c)};
            int t[3];
            for (int k = 0; k < 3; ++k)
                t[k] = std::clamp(v[k] + (E(x, y, k) + 8) / 16, 0, 255);
            int key = (t[0] >> 3) + 32 * (t[1] >> 3) + 1024 * (t[2] >> 3);
            if (cache[size_t(key)] < 0) {
                int best = 1 << 30, bi = 0;
                for (size_t i = 0; i < pal.size(); ++i) {
                    int dist = std::abs(platform::GetRValue(pal[i]) - t[0]) +
                               std::abs(platform::GetGValue(pal[i]) - t[1]) +
                               std::abs(platform::GetBValue(pal[i]) - t[2]);
                    if (dist < best) {
                        best = dist;
                        bi = int(i);
                    }
                }
                cache[size_t(key)] = bi;
            }
            const int idx = cache[size_t(key)];
            out[size_t(y * w + x)] = idx;
            const TColor e = pal[size_t(idx)];
            const int got[3] = {platform::GetRValue(e), platform::GetGValue(e), platform::GetBValue(e)};
            for (int k = 0; k < 3; ++k) {
                int er = t[k] - got[k];
                if (x + d >= 0 && x + d < w)
                    E(x + d, y, k) += 7 * er;
                if (x - d >= 0 && x - d < w)
                    E(x - d, y + 1, k) += 3 * er;
                E(x, y + 1, k) += 5 * er;
                if (x + d >= 0 && x + d < w)
                    E(x + d, y + 1, k) += er;
            }
        }
    }
    return out;
}

}  // namespace

TEST(ColourReduction, PaletteColoursMapExactly)
{
    const std::vector<TColor>& pal = DefaultPalette20();
    std::vector<TColor> px;
    for (int i = 0; i < 20; ++i)
        px.push_back(pal[size_t((i * 7) % 20)]);
    Bitmap src = Make24(5, 4, px);
    auto out = ReduceToPalette(src, pal);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->BitsPerPixel(), 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(out->ScanLine(y)[x], (((y * 5 + x) * 7) % 20)) << x << "," << y;
}

TEST(ColourReduction, DiffusesErrorsInAlternatingRows)
{
    std::vector<TColor> px;
    for (int i = 0; i < 9 * 6; ++i)
        px.push_back(platform::RGB((i * 37) % 256, (i * 91 + 17) % 256, (i * 53 + 100) % 256));
    for (const std::vector<TColor>* pal : {&DefaultPalette20(), &SharedPalette()}) {
        Bitmap src = Make24(9, 6, px);
        std::vector<int> expected = Reference(src, *pal);
        auto out = ReduceToPalette(src, *pal);
        ASSERT_TRUE(out);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x)
                EXPECT_EQ(out->ScanLine(y)[x], expected[size_t(y * 9 + x)]) << x << "," << y;
        EXPECT_EQ(out->Pixel(0, 0), (*pal)[out->ScanLine(0)[0]]);
    }
}

TEST(ColourReduction, GreyOnBlackAndWhite)
{
    // Worked by hand: 128 grey on {black, white}.
    Bitmap src = Make24(3, 2, std::vector<TColor>(6, platform::RGB(128, 128, 128)));
    auto out = ReduceToPalette(src, {platform::clBlack, platform::clWhite});
    const int want[2][3] = {{1, 0, 1}, {0, 1, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(out->ScanLine(y)[x], want[y][x]);
}

TEST(ColourReduction, NarrowPicturesAndOtherDepths)
{
    Bitmap one = Make24(1, 4, std::vector<TColor>(4, platform::RGB(100, 100, 100)));
    auto out = ReduceToPalette(one, DefaultPalette20());
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Width(), 1);
    // An 8-bit source is made 24 bits first, in place.
    Bitmap pal8(4, 1, PixelFormat::pf8bit);
    pal8.SetPixel(0, 0, platform::clRed);
    auto r8 = ReduceToPalette(pal8, DefaultPalette20());
    EXPECT_EQ(pal8.BitsPerPixel(), 24);
    EXPECT_EQ(r8->Pixel(0, 0), platform::RGB(255, 0, 0));
    // An empty palette gives index 0 everywhere.
    Bitmap any = Make24(2, 2, std::vector<TColor>(4, platform::RGB(9, 9, 9)));
    auto none = ReduceToPalette(any, {});
    EXPECT_EQ(none->ScanLine(1)[1], 0);
}

TEST(ColourReduction, ReduceBitmapChoosesThePaletteByDisplayDepth)
{
    EXPECT_EQ(ReduceBitmap(nullptr), nullptr);
    Bitmap empty;
    EXPECT_EQ(ReduceBitmap(&empty), nullptr);
    platform::SystemValues v = platform::SysValues();
    platform::SystemValues four = v;
    four.ColorDepth = 4;
    platform::SetSysValues(four);
    Bitmap src = Make24(2, 1, {platform::RGB(255, 251, 240), platform::RGB(255, 251, 240)});
    auto out = ReduceBitmap(&src);
    EXPECT_EQ(out->ScanLine(0)[0], 10);  // the default palette's cream
    platform::SystemValues eight = v;
    eight.ColorDepth = 8;
    platform::SetSysValues(eight);
    Bitmap src8 = Make24(1, 1, {platform::RGB(55, 115, 165)});
    auto out8 = ReduceBitmap(&src8);
    EXPECT_EQ(out8->Pixel(0, 0), platform::RGB(55, 115, 165));
    platform::SetSysValues(v);
}

TEST(ColourReduction, SharedPaletteLayout)
{
    const std::vector<TColor>& p = SharedPalette();
    ASSERT_EQ(p.size(), 256u);
    EXPECT_EQ(p[10], platform::RGB(55, 55, 55));
    EXPECT_EQ(p[11], platform::RGB(115, 55, 55));  // red is innermost
    EXPECT_EQ(p[16], platform::RGB(55, 115, 55));
    EXPECT_EQ(p[224], platform::RGB(235, 255, 255));  // the cube without white
    EXPECT_EQ(p[225], platform::RGB(135, 135, 135));
    EXPECT_EQ(p[244], platform::RGB(245, 245, 245));
    EXPECT_EQ(p[245], platform::RGB(255, 255, 254));
    EXPECT_EQ(p[255], platform::RGB(255, 255, 255));
    EXPECT_EQ(p[0], platform::RGB(0, 0, 0));
}
