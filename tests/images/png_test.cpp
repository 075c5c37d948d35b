// PNG decoding: the whole PngSuite against libpng, the refused files, and damaged input.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>

#include "images/pngimage.h"
#include "picture_helpers.h"
#include "platform/types.h"

using namespace pictest;

namespace {

platform::TColor PixelOf(const TPNGPixels& p, int x, int y)
{
    const std::uint8_t* row = p.Row(y);
    int index = 0;
    switch (p.BitsPerPixel) {
    case 24: return platform::RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case 8: index = row[x]; break;
    case 4: index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15; break;
    case 1: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
    }
    return p.Palette.at(size_t(index));
}

int GammaCorrect(double fileGamma, int v)
{
    return platform::Round(255.0 * std::pow(v / 255.0, 1.0 / (fileGamma * 2.2)));
}

std::string SuiteDir() { return DataDir() + "/pngsuite"; }

}  // namespace

TEST(PngSuite, EveryValidPictureMatchesLibpng)
{
    int checked = 0;
    for (const std::string& name : ListFiles(SuiteDir(), ".png")) {
        if (name[0] == 'x')
            continue;
        SCOPED_TRACE(name);
        RGBAImage ref;
        ASSERT_TRUE(ReadPNGWithLibpng(SuiteDir() + "/" + name, ref));
        TPNGImage img;
        ASSERT_NO_THROW(img.LoadFromStream(ReadAll(SuiteDir() + "/" + name)));
        const TPNGPixels& p = img.Pixels();
        ASSERT_EQ(p.Width, ref.Width);
        ASSERT_EQ(p.Height, ref.Height);
        int bad = 0;
        for (int y = 0; y < ref.Height && bad < 3; ++y)
            for (int x = 0; x < ref.Width && bad < 3; ++x) {
                const std::uint8_t* e = ref.At(x, y);
                int r = e[0], g = e[1], b = e[2];
                if (ref.HasGamma && ref.Gamma > 0) {
                    r = GammaCorrect(ref.Gamma, r);
                    g = GammaCorrect(ref.Gamma, g);
                    b = GammaCorrect(ref.Gamma, b);
                }
                platform::TColor got = PixelOf(p, x, y);
                if (got != platform::RGB(r, g, b)) {
                    ++bad;
                    ADD_FAILURE() << "pixel " << x << "," << y << " got " << std::hex << got << " want "
                                  << platform::RGB(r, g, b);
                }
            }
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

TEST(PngSuite, CorruptPicturesAreRefused)
{
    int checked = 0;
    for (const std::string& name : ListFiles(SuiteDir(), ".png")) {
        if (name[0] != 'x')
            continue;
        SCOPED_TRACE(name);
        TPNGImage img;
        EXPECT_THROW(img.LoadFromStream(ReadAll(SuiteDir() + "/" + name)), EPNGImageException);
        ++checked;
    }
    EXPECT_GE(checked, 14);
}

TEST(PngDecoder, PixelFormatsFollowColourTypeAndDepth)
{
    struct Case {
        const char* file;
        int bits;
    } cases[] = {{"basn0g01.png", 1}, {"basn0g02.png", 4}, {"basn0g04.png", 4}, {"basn0g08.png", 8},
                 {"basn0g16.png", 8}, {"basn3p02.png", 4}, {"basn3p08.png", 8}, {"basn4a16.png", 8},
                 {"basn2c16.png", 24}, {"basn6a08.png", 24}};
    for (const Case& c : cases) {
        TPNGImage img;
        img.LoadFromStream(ReadAll(SuiteDir() + "/" + c.file));
        EXPECT_EQ(img.Pixels().BitsPerPixel, c.bits) << c.file;
    }
}

TEST(PngDecoder, TwoBitGreyShowsFourLevelsThroughRepeatedPalette)
{
    // One row of the four 2-bit levels.
    std::vector<std::uint8_t> rows = {0, 0x1B};
    TPNGImage img;
    img.LoadFromStream(MakePNG(4, 1, 2, 0, rows));
    const TPNGPixels& p = img.Pixels();
    ASSERT_EQ(p.BitsPerPixel, 4);
    EXPECT_EQ(p.Row(0)[0], 0x05);  // 0 and 5 * 1
    EXPECT_EQ(p.Row(0)[1], 0xAF);  // 5 * 2 and 5 * 3
    EXPECT_EQ(PixelOf(p, 0, 0), platform::RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(p, 1, 0), platform::RGB(85, 85, 85));
    EXPECT_EQ(PixelOf(p, 2, 0), platform::RGB(170, 170, 170));
    EXPECT_EQ(PixelOf(p, 3, 0), platform::RGB(255, 255, 255));
}

TEST(PngDecoder, TransparencyOnlyFromTruecolourTRNS)
{
    std::vector<std::uint8_t> rgbRows = {0, 10, 20, 30, 40, 50, 60};
    TPNGImage rgb;
    rgb.LoadFromStream(MakePNG(2, 1, 8, 2, rgbRows, {{"tRNS", {0, 40, 0, 50, 0, 60}}}));
    EXPECT_TRUE(rgb.Pixels().Transparent);
    EXPECT_EQ(rgb.Pixels().TransparentColor, platform::RGB(40, 50, 60));

    // Too short to hold three samples: ignored.
    TPNGImage shortTrns;
    shortTrns.LoadFromStream(MakePNG(2, 1, 8, 2, rgbRows, {{"tRNS", {0, 40}}}));
    EXPECT_FALSE(shortTrns.Pixels().Transparent);

    TPNGImage pal;
    pal.LoadFromStream(
        MakePNG(2, 1, 8, 3, {0, 0, 1}, {{"PLTE", {1, 2, 3, 4, 5, 6}}, {"tRNS", {255, 0}}}));
    EXPECT_FALSE(pal.Pixels().Transparent);
    EXPECT_EQ(PixelOf(pal.Pixels(), 1, 0), platform::RGB(4, 5, 6));
}

TEST(PngDecoder, UnknownChunksAncillaryKeptCriticalRefused)
{
    std::vector<std::uint8_t> rows = {0, 7};
    TPNGImage img;
    EXPECT_NO_THROW(img.LoadFromStream(MakePNG(1, 1, 8, 0, rows, {{"tIME", {7, 0xE0, 1, 1, 0, 0, 0}}})));
    EXPECT_GE(img.Chunks().Count(), 3);
    try {
        img.LoadFromStream(MakePNG(1, 1, 8, 0, rows, {{"ABCD", {1}}}));
        FAIL();
    } catch (const EPNGImageException& e) {
        EXPECT_EQ(e.Text, PNGText::UnknownCritical);
        EXPECT_EQ(std::string(e.what()),
                  std::string("Portable Network Graphics format handler error\r\n\r\n") + PNGText::UnknownCritical);
    }
}

TEST(PngDecoder, SplitImageDataDecodesAsOneStream)
{
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 8; ++y) {
        rows.push_back(1);  // Sub filter
        for (int x = 0; x < 8; ++x)
            rows.push_back(std::uint8_t(x == 0 ? y * 10 : 3));
    }
    std::vector<std::uint8_t> whole = MakePNG(8, 8, 8, 0, rows);
    TPNGImage a;
    a.LoadFromStream(whole);
    // Rebuild with the IDAT data cut into three chunks.
    uLongf len = compressBound(uLong(rows.size()));
    std::vector<std::uint8_t> z(len);
    compress(z.data(), &len, rows.data(), uLong(rows.size()));
    z.resize(len);
    std::vector<std::uint8_t> split = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    AppendChunk(split, "IHDR", IHDRData(8, 8, 8, 0));
    size_t third = z.size() / 3;
    AppendChunk(split, "IDAT", {z.begin(), z.begin() + long(third)});
    AppendChunk(split, "IDAT", {z.begin() + long(third), z.begin() + long(2 * third)});
    AppendChunk(split, "IDAT", {z.begin() + long(2 * third), z.end()});
    AppendChunk(split, "IEND", {});
    TPNGImage b;
    b.LoadFromStream(split);
    EXPECT_EQ(a.Pixels().Bits, b.Pixels().Bits);
    EXPECT_EQ(b.Pixels().Row(7)[7], std::uint8_t(70 + 21));
}

TEST(PngDecoder, GammaNearOneKeepsSamples)
{
    std::vector<std::uint8_t> rows = {0, 0, 128, 255};
    TPNGImage img;
    img.LoadFromStream(MakePNG(1, 1, 8, 2, rows, {{"gAMA", {0, 0, 0xB1, 0x8F}}}));
    EXPECT_EQ(PixelOf(img.Pixels(), 0, 0), platform::RGB(0, 128, 255));
    // A gamma of 0 would divide by zero: the chunk is ignored.
    TPNGImage zero;
    zero.LoadFromStream(MakePNG(1, 1, 8, 2, rows, {{"gAMA", {0, 0, 0, 0}}}));
    EXPECT_EQ(PixelOf(zero.Pixels(), 0, 0), platform::RGB(0, 128, 255));
}

TEST(PngDecoder, SmallInterlacedPicturesSkipEmptyPasses)
{
    // 1 x 1 interlaced: only pass 1 has a row.
    TPNGImage img;
    img.LoadFromStream(MakePNG(1, 1, 8, 0, {0, 200}, {}, 1));
    EXPECT_EQ(img.Pixels().Row(0)[0], 200);
}

TEST(PngDecoder, DamagedInputIsRefusedWithoutCrash)
{
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < 16; ++y) {
        rows.push_back(std::uint8_t(y % 5));
        for (int x = 0; x < 16 * 3; ++x)
            rows.push_back(std::uint8_t(x * y));
    }
    const std::vector<std::uint8_t> good = MakePNG(16, 16, 8, 2, rows, {{"tEXt", {'a', 0, 'b'}}});
    {
        TPNGImage img;
        ASSERT_NO_THROW(img.LoadFromStream(good));
    }
    // Every truncation fails cleanly, except the one that drops exactly the closing IEND chunk: reading
    // stops at the end of the data, and the picture is complete.
    const size_t iend = good.size() - 12;
    for (size_t n = 0; n < good.size(); ++n) {
        TPNGImage img;
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(n));
        if (n == iend)
            EXPECT_NO_THROW(img.LoadFromStream(cut));
        else
            EXPECT_THROW(img.LoadFromStream(cut), EPNGImageException) << n;
    }
    for (size_t i = 8; i < good.size(); ++i) {
        std::vector<std::uint8_t> bad = good;
        bad[i] ^= 0x40;
        TPNGImage img;
        EXPECT_THROW(img.LoadFromStream(bad), EPNGImageException) << i;
    }
}

TEST(PngDecoder, HeaderSizesAndCombinationsAreChecked)
{
    auto refused = [](const std::vector<std::uint8_t>& bytes, const char* text) {
        TPNGImage img;
        try {
            img.LoadFromStream(bytes);
        } catch (const EPNGImageException& e) {
            return e.Text == text;
        }
        return false;
    };
    std::vector<std::uint8_t> one = {0, 0};
    EXPECT_TRUE(refused(MakePNG(0, 1, 8, 0, one), PNGText::InvalidSize));
    EXPECT_TRUE(refused(MakePNG(1, 0, 8, 0, one), PNGText::InvalidSize));
    EXPECT_TRUE(refused(MakePNG(16385, 1, 8, 0, one), PNGText::InvalidSize));
    EXPECT_TRUE(refused(MakePNG(0x7FFFFFFF, 0x7FFFFFFF, 8, 0, one), PNGText::InvalidSize));
    EXPECT_TRUE(refused(MakePNG(10000, 10000, 8, 0, one), PNGText::InvalidSize));  // above 64 M pixels
    // A header that promises far more pixels than the data can hold is refused before allocating.
    EXPECT_TRUE(refused(MakePNG(8000, 8000, 8, 2, one), PNGText::BadCompression));
    EXPECT_TRUE(refused(MakePNG(1, 1, 4, 2, one), PNGText::UnknownColorType));
    EXPECT_TRUE(refused(MakePNG(1, 1, 16, 3, one), PNGText::UnknownColorType));
    EXPECT_TRUE(refused(MakePNG(1, 1, 3, 0, one), PNGText::UnknownColorType));
    EXPECT_TRUE(refused(MakePNG(1, 1, 8, 0, one, {}, 2), PNGText::UnknownInterlace));
    EXPECT_TRUE(refused(MakePNG(1, 1, 8, 3, one), PNGText::NoPalette));
    EXPECT_TRUE(refused(MakePNG(1, 1, 8, 3, one, {{"PLTE", {1, 2, 3, 4}}}), PNGText::InvalidPalette));
    EXPECT_TRUE(refused(MakePNG(1, 1, 8, 0, {5, 0}), PNGText::UnknownFilter));

    // A short IHDR, a missing IHDR, a missing IDAT.
    std::vector<std::uint8_t> sig = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> f = sig;
    AppendChunk(f, "IHDR", {0, 0, 0, 1});
    AppendChunk(f, "IEND", {});
    EXPECT_TRUE(refused(f, PNGText::NoIHDR));
    f = sig;
    AppendChunk(f, "IEND", {});
    EXPECT_TRUE(refused(f, PNGText::NoIHDR));
    f = sig;
    AppendChunk(f, "IHDR", IHDRData(1, 1, 8, 0));
    AppendChunk(f, "IEND", {});
    EXPECT_TRUE(refused(f, PNGText::NoImageData));
    // A chunk length far beyond the file.
    f = sig;
    AppendChunk(f, "IHDR", IHDRData(1, 1, 8, 0));
    f.insert(f.end(), {0xFF, 0xFF, 0xFF, 0xF0, 't', 'E', 'X', 't', 0, 0, 0, 0});
    EXPECT_TRUE(refused(f, PNGText::CorruptedData));
    EXPECT_TRUE(refused({1, 2, 3}, PNGText::InvalidHeader));
}

TEST(PngDecoder, PaletteIndexesBeyondThePaletteReadBlack)
{
    TPNGImage img;
    img.LoadFromStream(MakePNG(2, 1, 8, 3, {0, 0, 200}, {{"PLTE", {9, 8, 7}}}));
    EXPECT_EQ(PixelOf(img.Pixels(), 0, 0), platform::RGB(9, 8, 7));
    EXPECT_EQ(PixelOf(img.Pixels(), 1, 0), platform::RGB(0, 0, 0));
}

TEST(PngDecoder, SixteenBitGreyFiltersOverWholeSamples)
{
    // Sub filter: the second sample adds the first one's two bytes, not the byte just before it.
    // Samples 0x1020 and 0x1020 + 0x0130 = 0x1150.
    TPNGImage img;
    img.LoadFromStream(MakePNG(2, 1, 16, 0, {1, 0x10, 0x20, 0x01, 0x30}));
    EXPECT_EQ(img.Pixels().Row(0)[0], 0x10);
    EXPECT_EQ(img.Pixels().Row(0)[1], 0x11);
}
