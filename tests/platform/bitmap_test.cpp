// Bitmaps: row layout, palettes, masks, raster operations, stretching, BMP and JPEG.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/jpeg.h"

using namespace platform;

namespace {

void Put16(std::vector<std::uint8_t>& v, int value)
{
    v.push_back(std::uint8_t(value));
    v.push_back(std::uint8_t(value >> 8));
}

void Put32(std::vector<std::uint8_t>& v, std::int64_t value)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(std::uint8_t(value >> (8 * i)));
}

// A bottom-up BMP file. pixel(x, y) gives the palette index (bits <= 8) or the colour reference.
template <typename F>
std::vector<std::uint8_t> MakeBMP(int w, int h, int bits, const std::vector<TColor>& palette, F pixel)
{
    const int rowBytes = ((w * bits + 31) / 32) * 4;
    const int offset = 14 + 40 + int(palette.size()) * 4;
    std::vector<std::uint8_t> v{'B', 'M'};
    Put32(v, offset + rowBytes * h);
    Put32(v, 0);
    Put32(v, offset);
    Put32(v, 40);
    Put32(v, w);
    Put32(v, h);
    Put16(v, 1);
    Put16(v, bits);
    Put32(v, 0);
    Put32(v, rowBytes * h);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, std::int64_t(palette.size()));
    Put32(v, 0);
    for (TColor c : palette) {
        v.push_back(std::uint8_t(GetBValue(c)));
        v.push_back(std::uint8_t(GetGValue(c)));
        v.push_back(std::uint8_t(GetRValue(c)));
        v.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int x = 0; x < w; ++x) {
            const TColor p = pixel(x, y);
            switch (bits) {
            case 1:
                row[x / 8] |= std::uint8_t((p & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= std::uint8_t((p & 15) << (x % 2 ? 0 : 4));
                break;
            case 8:
                row[x] = std::uint8_t(p);
                break;
            case 16: {
                const int v555 =
                    ((GetRValue(p) >> 3) << 10) | ((GetGValue(p) >> 3) << 5) | (GetBValue(p) >> 3);
                row[x * 2] = std::uint8_t(v555);
                row[x * 2 + 1] = std::uint8_t(v555 >> 8);
                break;
            }
            default: {
                const int n = bits / 8;
                row[x * n] = std::uint8_t(GetBValue(p));
                row[x * n + 1] = std::uint8_t(GetGValue(p));
                row[x * n + 2] = std::uint8_t(GetRValue(p));
            }
            }
        }
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

TColor Checker(int x, int y)
{
    return (x + y) % 2 ? clRed : clBlue;
}

} // namespace

TEST(BitmapStorage, RowsAreDibCompatible)
{
    Bitmap b24(5, 3, PixelFormat::pf24bit);
    EXPECT_EQ(b24.BytesPerLine(), 16); // 15 rounded up to 4
    b24.SetPixel(1, 0, RGB(1, 2, 3));
    const std::uint8_t* row = b24.ScanLine(0);
    EXPECT_EQ(row[3], 3); // blue first
    EXPECT_EQ(row[4], 2);
    EXPECT_EQ(row[5], 1);
    EXPECT_EQ(Bitmap(33, 1, PixelFormat::pf1bit).BytesPerLine(), 8);
    EXPECT_EQ(Bitmap(9, 1, PixelFormat::pf4bit).BytesPerLine(), 8);
    EXPECT_EQ(Bitmap(5, 1, PixelFormat::pf8bit).BytesPerLine(), 8);
    EXPECT_EQ(Bitmap(3, 1, PixelFormat::pf32bit).BytesPerLine(), 12);

    // Row 0 is the top row, and writes through ScanLine show in Pixel.
    Bitmap b32(2, 2);
    b32.ScanLine(1)[0] = 0xFF; // blue of the bottom-left pixel
    EXPECT_EQ(b32.Pixel(0, 1) & 0xFF0000, 0xFF0000u);
    EXPECT_THROW(b32.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(b32.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(BitmapStorage, PalettesOfEachDepth)
{
    Bitmap mono(4, 1, PixelFormat::pf1bit);
    EXPECT_EQ(mono.Palette(), (std::vector<TColor>{clBlack, clWhite}));
    Bitmap four(3, 1, PixelFormat::pf4bit);
    EXPECT_EQ(four.Palette().size(), 16u);
    four.SetPalette({clRed, clGreen, clBlue});
    four.ScanLine(0)[0] = 0x21; // pixels 2, 1
    EXPECT_EQ(four.Pixel(0, 0), clBlue);
    EXPECT_EQ(four.Pixel(1, 0), clGreen);
    EXPECT_EQ(four.Palette()[5], clBlack); // missing entries are black
    Bitmap eight(2, 1, PixelFormat::pf8bit);
    std::vector<TColor> grey(256);
    for (int i = 0; i < 256; ++i)
        grey[i] = RGB(i, i, i);
    eight.SetPalette(grey);
    eight.SetPixel(0, 0, RGB(100, 101, 99)); // nearest entry
    EXPECT_EQ(eight.ScanLine(0)[0], 100);
}

TEST(BitmapStorage, CopySizeFormatAndLimits)
{
    Bitmap a(3, 3);
    a.Fill(clRed);
    Bitmap b = a;
    b.SetPixel(0, 0, clBlue);
    EXPECT_EQ(a.Pixel(0, 0), clRed); // a deep copy
    b.SetSize(5, 2);
    EXPECT_EQ(b.Pixel(0, 0), clBlue);
    EXPECT_EQ(b.Pixel(2, 1), clRed);
    EXPECT_EQ(b.Pixel(4, 1), clBlack);
    b.SetFormat(PixelFormat::pf24bit);
    EXPECT_EQ(b.Pixel(0, 0), clBlue);
    EXPECT_EQ(b.Pixel(1, 0), clRed);

    EXPECT_THROW(Bitmap(16385, 1), EOutOfResources);
    EXPECT_THROW(Bitmap(10000, 10000), EOutOfResources);
    EXPECT_THROW(b.SetSize(-1, 4), EOutOfResources);
    Bitmap empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.TransparentColor(), clBlack); // no lower-left pixel to read
}

TEST(BitmapStorage, OwnCanvasFollowsTheBitmapWhenMoved)
{
    Bitmap a(4, 4);
    Canvas& c = a.GetCanvas();
    Bitmap b(2, 2);
    b.Fill(clGreen);
    a = std::move(b);
    EXPECT_EQ(a.Width(), 2);
    c.FillRect(MakeRect(0, 0, 1, 1), clRed);
    EXPECT_EQ(a.Pixel(0, 0), clRed);
    EXPECT_EQ(&a.GetCanvas(), &c);
}

TEST(BitmapMasks, TransparentColourAndMask)
{
    Bitmap b(3, 2);
    b.Fill(clWhite);
    b.SetPixel(0, 1, clRed); // lower left
    b.SetPixel(2, 0, clRed);
    EXPECT_EQ(b.TransparentColor(), clRed);
    const Bitmap mask = b.Mask(b.TransparentColor());
    EXPECT_TRUE(mask.Monochrome());
    EXPECT_EQ(mask.Pixel(0, 1), clWhite); // transparent
    EXPECT_EQ(mask.Pixel(2, 0), clWhite);
    EXPECT_EQ(mask.Pixel(1, 0), clBlack); // opaque
    // Equality is exact: a colour one step away stays opaque.
    b.SetPixel(1, 1, RGB(254, 0, 0));
    EXPECT_EQ(b.Mask(clRed).Pixel(1, 1), clBlack);
    b.SetTransparentColor(clWhite);
    EXPECT_EQ(b.TransparentColor(), clWhite);
}

TEST(BitmapBlits, RasterOperationsOnKnownPixels)
{
    struct Case
    {
        std::uint32_t rop;
        TColor expected;
    } cases[] = {
        {SRCCOPY, RGB(0x0F, 0xF0, 0x33)},
        {SRCAND, RGB(0x0F & 0x55, 0xF0 & 0x55, 0x33 & 0x55)},
        {SRCPAINT, RGB(0x0F | 0x55, 0xF0 | 0x55, 0x33 | 0x55)},
        {SRCINVERT, RGB(0x0F ^ 0x55, 0xF0 ^ 0x55, 0x33 ^ 0x55)},
    };
    for (const Case& k : cases) {
        Bitmap src(2, 2, PixelFormat::pf24bit);
        src.Fill(RGB(0x0F, 0xF0, 0x33));
        Bitmap dst(4, 4);
        dst.Fill(RGB(0x55, 0x55, 0x55));
        Canvas c(dst);
        c.BitBlt(1, 1, 2, 2, src, 0, 0, k.rop);
        EXPECT_EQ(dst.Pixel(1, 1), k.expected) << std::hex << k.rop;
        EXPECT_EQ(dst.Pixel(2, 2), k.expected);
        EXPECT_EQ(dst.Pixel(0, 0), RGB(0x55, 0x55, 0x55));
        EXPECT_EQ(dst.Pixel(3, 3), RGB(0x55, 0x55, 0x55));
    }
}

TEST(BitmapBlits, MonoAndColourConversions)
{
    // Mono to colour: 0 bits take the destination's text colour, 1 bits its background colour.
    Bitmap mono(2, 1, PixelFormat::pf1bit);
    mono.ScanLine(0)[0] = 0x40; // pixel 0 = 0, pixel 1 = 1
    Bitmap colour(2, 1);
    Canvas c(colour);
    c.SetTextColor(clRed);
    c.SetBkColor(clBlue);
    c.BitBlt(0, 0, 2, 1, mono, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.Pixel(0, 0), clRed);
    EXPECT_EQ(colour.Pixel(1, 0), clBlue);

    // Colour to mono: the source's background colour becomes white, everything else black.
    Bitmap pic(3, 1);
    pic.SetPixel(0, 0, clGreen);
    pic.SetPixel(1, 0, clRed);
    pic.SetPixel(2, 0, clGreen);
    pic.GetCanvas().SetBkColor(clGreen);
    Bitmap out(3, 1, PixelFormat::pf1bit);
    Canvas(out).BitBlt(0, 0, 3, 1, pic.GetCanvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(out.Pixel(0, 0), clWhite);
    EXPECT_EQ(out.Pixel(1, 0), clBlack);
    EXPECT_EQ(out.Pixel(2, 0), clWhite);
}

TEST(BitmapBlits, TransparentTileByInvertAndMask)
{
    // The classic three-step transparent copy: XOR picture, AND mask, XOR picture again leaves the
    // destination under white mask pixels and the picture under black ones.
    Bitmap pic(2, 1);
    pic.SetPixel(0, 0, RGB(200, 10, 10));
    pic.SetPixel(1, 0, RGB(1, 2, 3));
    Bitmap mask(2, 1, PixelFormat::pf1bit);
    mask.ScanLine(0)[0] = 0x40; // pixel 1 transparent
    Bitmap dst(2, 1);
    dst.Fill(RGB(50, 60, 70));
    Canvas c(dst);
    c.SetTextColor(clBlack);
    c.SetBkColor(clWhite);
    c.BitBlt(0, 0, 2, 1, pic, 0, 0, SRCINVERT);
    c.BitBlt(0, 0, 2, 1, mask, 0, 0, SRCAND);
    c.BitBlt(0, 0, 2, 1, pic, 0, 0, SRCINVERT);
    EXPECT_EQ(dst.Pixel(0, 0), RGB(200, 10, 10));
    EXPECT_EQ(dst.Pixel(1, 0), RGB(50, 60, 70));
}

TEST(BitmapBlits, StretchIsNearestNeighbourAndMaskedDrawKeepsWhite)
{
    Bitmap src(2, 1);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(1, 0, clBlue);
    Bitmap dst(5, 1);
    Canvas c(dst);
    c.SetStretchBltMode(COLORONCOLOR);
    c.StretchBlt(0, 0, 5, 1, src, 0, 0, 2, 1, SRCCOPY);
    // source column = x * 2 / 5: 0 0 0 1 1
    EXPECT_EQ(dst.Pixel(2, 0), clRed);
    EXPECT_EQ(dst.Pixel(3, 0), clBlue);
    // Shrinking drops columns: 4 -> 2 takes columns 0 and 2.
    Bitmap wide(4, 1);
    wide.SetPixel(0, 0, clRed);
    wide.SetPixel(1, 0, clGreen);
    wide.SetPixel(2, 0, clBlue);
    wide.SetPixel(3, 0, clWhite);
    Bitmap narrow(2, 1);
    Canvas(narrow).StretchBlt(0, 0, 2, 1, wide, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(narrow.Pixel(0, 0), clRed);
    EXPECT_EQ(narrow.Pixel(1, 0), clBlue);

    Bitmap mask(2, 1, PixelFormat::pf1bit);
    mask.ScanLine(0)[0] = 0x80; // pixel 0 white: keep the destination
    Bitmap target(4, 2);
    target.Fill(clGreen);
    Canvas(target).MaskedDraw(MakeRect(0, 0, 4, 2), src, mask, MakeRect(0, 0, 2, 1));
    EXPECT_EQ(target.Pixel(0, 0), clGreen);
    EXPECT_EQ(target.Pixel(1, 1), clGreen);
    EXPECT_EQ(target.Pixel(2, 0), clBlue);
    EXPECT_EQ(target.Pixel(3, 1), clBlue);

    // A transparent bitmap draws through its own mask.
    Bitmap sprite(2, 1);
    sprite.SetPixel(0, 0, clRed);
    sprite.SetPixel(1, 0, clWhite);
    sprite.SetTransparent(true);
    sprite.SetTransparentColor(clWhite);
    Bitmap under(2, 1);
    under.Fill(clGreen);
    Canvas(under).Draw(0, 0, sprite);
    EXPECT_EQ(under.Pixel(0, 0), clRed);
    EXPECT_EQ(under.Pixel(1, 0), clGreen);
}

TEST(BitmapFiles, BMPOfEachDepth)
{
    const std::vector<TColor> two{clBlack, clWhite};
    std::vector<TColor> sixteen(16, clBlack);
    sixteen[3] = clRed;
    sixteen[12] = clBlue;
    std::vector<TColor> many(256, clBlack);
    many[200] = clRed;
    many[7] = clBlue;

    struct Case
    {
        int bits;
        const std::vector<TColor>* palette;
        PixelFormat expected;
    } cases[] = {
        {1, &two, PixelFormat::pf1bit},      {4, &sixteen, PixelFormat::pf4bit},
        {8, &many, PixelFormat::pf8bit},     {16, nullptr, PixelFormat::pf24bit},
        {24, nullptr, PixelFormat::pf24bit}, {32, nullptr, PixelFormat::pf24bit},
    };
    for (const Case& k : cases) {
        const std::vector<TColor> none;
        const std::vector<TColor>& pal = k.palette ? *k.palette : none;
        auto pixel = [&](int x, int y) -> TColor {
            const bool odd = (x + y) % 2 != 0;
            switch (k.bits) {
            case 1:
                return odd ? 1 : 0;
            case 4:
                return odd ? 3 : 12;
            case 8:
                return odd ? 200 : 7;
            default:
                return Checker(x, y);
            }
        };
        const std::vector<std::uint8_t> file = MakeBMP(5, 3, k.bits, pal, pixel);
        Bitmap b;
        b.LoadFromBMP(file.data(), file.size());
        EXPECT_EQ(b.Format(), k.expected) << k.bits;
        ASSERT_EQ(b.Width(), 5);
        ASSERT_EQ(b.Height(), 3);
        // Five-bit channels widen by a shift, as GDI does: 31 -> 248.
        const TColor lost = k.bits == 16 ? 0xF8F8F8 : 0xFFFFFF;
        const TColor odd = (k.bits == 1 ? clWhite : clRed) & lost;
        const TColor even = (k.bits == 1 ? clBlack : clBlue) & lost;
        EXPECT_EQ(b.Pixel(1, 0), odd) << k.bits; // top row is row 0
        EXPECT_EQ(b.Pixel(0, 0), even) << k.bits;
        EXPECT_EQ(b.Pixel(4, 2), even) << k.bits;
        EXPECT_EQ(b.Pixel(3, 2), odd) << k.bits;
    }
}

TEST(BitmapFiles, BadBMPsAreRefused)
{
    std::vector<std::uint8_t> file = MakeBMP(2, 2, 24, {}, Checker);
    Bitmap b;
    std::vector<std::uint8_t> notBmp(file);
    notBmp[0] = 'X';
    EXPECT_THROW(b.LoadFromBMP(notBmp.data(), notBmp.size()), EInvalidGraphicOperation);
    EXPECT_THROW(b.LoadFromBMP(file.data(), 10), EInvalidGraphicOperation);
    // A header asking for 100,000 x 100,000 pixels is refused before anything is read.
    std::vector<std::uint8_t> huge(file);
    huge[18] = 0xA0, huge[19] = 0x86, huge[20] = 0x01, huge[21] = 0;
    huge[22] = 0xA0, huge[23] = 0x86, huge[24] = 0x01, huge[25] = 0;
    EXPECT_THROW(b.LoadFromBMP(huge.data(), huge.size()), EOutOfResources);
    // Pixel data cut short: refused, or read as far as it goes; never a read past the end.
    std::vector<std::uint8_t> truncated(file.begin(), file.begin() + 60);
    try {
        b.LoadFromBMP(truncated.data(), truncated.size());
        EXPECT_EQ(b.Width(), 2);
    } catch (const Exception&) {
    }
}

TEST(BitmapFiles, JPEGRoundTripAndCorruptData)
{
    Bitmap b(32, 16, PixelFormat::pf24bit);
    b.Fill(RGB(200, 30, 40));
    Canvas(b).FillRect(MakeRect(16, 0, 32, 16), RGB(20, 180, 60));
    const std::string path = ::testing::TempDir() + "gfx_roundtrip.jpg";
    SaveJPEG(b, 95, path);
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    ASSERT_TRUE(IsJPEG(bytes.data(), bytes.size()));
    JPEGInfo info;
    const Bitmap back = LoadJPEG(bytes, &info);
    EXPECT_EQ(back.Format(), PixelFormat::pf24bit);
    EXPECT_EQ(info.Width, 32);
    EXPECT_EQ(info.Height, 16);
    EXPECT_FALSE(info.Grayscale);
    auto near = [](TColor a, TColor b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 8;
    };
    EXPECT_TRUE(near(back.Pixel(4, 8), RGB(200, 30, 40)));
    EXPECT_TRUE(near(back.Pixel(28, 8), RGB(20, 180, 60)));

    // Corrupt data raises instead of ending the process.
    const std::vector<std::uint8_t> garbage{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0x12, 0x34, 0x56};
    EXPECT_THROW(LoadJPEG(garbage), EInvalidGraphicOperation);
    std::vector<std::uint8_t> broken(bytes);
    for (std::size_t i = 20; i < broken.size() && i < 200; ++i)
        broken[i] = 0xFF;
    EXPECT_THROW(LoadJPEG(broken), EInvalidGraphicOperation);
    EXPECT_THROW(LoadJPEG(nullptr, 0), EInvalidGraphicOperation);
    EXPECT_THROW(SaveJPEG(b, 90, "/nonexistent-dir/x.jpg"), EInOutError);
}

TEST(BitmapBlits, PaletteSourcesDrawInTheirColoursAndSourceOriginApplies)
{
    Bitmap four(3, 1, PixelFormat::pf4bit);
    four.SetPalette({clRed, clGreen, clBlue});
    four.ScanLine(0)[0] = 0x01; // pixels 0, 1
    four.ScanLine(0)[1] = 0x20; // pixel 2
    Bitmap dst(3, 1);
    Canvas(dst).Draw(0, 0, four);
    EXPECT_EQ(dst.Pixel(0, 0), clRed);
    EXPECT_EQ(dst.Pixel(1, 0), clGreen);
    EXPECT_EQ(dst.Pixel(2, 0), clBlue);

    // A canvas source is read through its own window origin.
    Bitmap src(4, 1);
    src.SetPixel(3, 0, clMaroon);
    src.GetCanvas().SetWindowOrg(10, 0);
    Bitmap out(1, 1);
    Canvas(out).BitBlt(0, 0, 1, 1, src.GetCanvas(), 13, 0, SRCCOPY);
    EXPECT_EQ(out.Pixel(0, 0), clMaroon);
    // Copying a bitmap onto itself reads the pixels as they were before the copy.
    Bitmap self(3, 1);
    self.SetPixel(0, 0, clRed);
    self.SetPixel(1, 0, clGreen);
    self.SetPixel(2, 0, clBlue);
    self.GetCanvas().BitBlt(1, 0, 2, 1, self.GetCanvas(), 0, 0, SRCCOPY);
    EXPECT_EQ(self.Pixel(1, 0), clRed);
    EXPECT_EQ(self.Pixel(2, 0), clGreen);
}

TEST(BitmapBlits, MirroredAndAbsurdCopiesStaySafe)
{
    Bitmap src(3, 1);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(1, 0, clGreen);
    src.SetPixel(2, 0, clBlue);
    Bitmap dst(3, 1);
    Canvas c(dst);
    c.StretchBlt(3, 0, -3, 1, src, 0, 0, 3, 1, SRCCOPY); // a negative width mirrors
    EXPECT_EQ(dst.Pixel(0, 0), clBlue);
    EXPECT_EQ(dst.Pixel(2, 0), clRed);
    dst.Fill(clWhite);
    c.BitBlt(2000000000, 0, 2000000000, 1, src, 0, 0, SRCCOPY);
    c.StretchBlt(-2000000000, -2000000000, 2147483647, 2147483647, src, 0, 0, 3, 1, SRCCOPY);
    c.MaskedDraw(MakeRect(-2000000000, 0, 2000000000, 1), src, Bitmap(), MakeRect(0, 0, 3, 1));
    c.SetWindowOrg(-2000000000, 0);
    c.BitBlt(-2000000000, 0, 3, 1, src, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Pixel(1, 0), clGreen);
}

TEST(BitmapBlits, DrawUsesTheCopyMode)
{
    Bitmap pic(1, 1);
    pic.SetPixel(0, 0, RGB(0x0F, 0x0F, 0x0F));
    Bitmap dst(1, 1);
    dst.Fill(RGB(0xF0, 0x00, 0xFF));
    Canvas c(dst);
    EXPECT_EQ(c.SetCopyMode(SRCPAINT), SRCCOPY);
    c.Draw(0, 0, pic);
    EXPECT_EQ(dst.Pixel(0, 0), RGB(0xFF, 0x0F, 0xFF));
}
