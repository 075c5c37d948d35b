// The image cache and the picture loaders.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "images/gifimage.h"
#include "picture_helpers.h"
#include "platform/exception.h"
#include "platform/jpeg.h"
#include "platform/sysvalues.h"
#include "images/imagecache.h"
#include "images/imageload.h"

using namespace pictest;
using platform::Bitmap;
using platform::PixelFormat;

namespace {

std::unique_ptr<TBitmapItem> Item(int w = 2)
{
    auto pic = std::make_unique<TPictureObject>(std::make_unique<Bitmap>(w, 1, PixelFormat::pf24bit));
    return std::make_unique<TBitmapItem>(std::move(pic), NotTransp, nullptr);
}

std::string TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    return path;
}

std::vector<std::uint8_t> Plte(std::initializer_list<int> v)
{
    return std::vector<std::uint8_t>(v.begin(), v.end());
}

}  // namespace

TEST(ImageCache, SharesOnePictureAndCountsUsers)
{
    TStringBitmapList cache;
    cache.SetSorted(true);
    cache.SetCacheCount(5);
    cache.AddObject("B.GIF", Item());
    cache.AddObject("A.PNG", Item());
    EXPECT_EQ(cache.Strings(0), "A.PNG");  // sorted
    int i = cache.IndexOf("a.png");        // letter case is ignored
    ASSERT_EQ(i, 0);
    TPictureObject* first = cache.GetImage(i);
    TPictureObject* second = cache.GetImage(cache.IndexOf("A.PNG"));
    EXPECT_EQ(first, second);
    EXPECT_EQ(cache.Objects(0)->UsageCount, 3);  // the adder and two takers
    cache.DecUsage("a.png");
    EXPECT_EQ(cache.Objects(0)->UsageCount, 2);
    EXPECT_EQ(cache.IndexOf("C.JPG"), -1);
}

TEST(ImageCache, UnusedEntriesSurviveCacheCountSweeps)
{
    TStringBitmapList cache;
    cache.SetCacheCount(5);
    cache.AddObject("FREE", Item());
    cache.AddObject("USED", Item());
    cache.DecUsage("FREE");
    for (int sweep = 1; sweep <= 5; ++sweep) {
        cache.PurgeCache();
        EXPECT_EQ(cache.Count(), 2) << sweep;
    }
    cache.PurgeCache();  // the sixth sweep drops the unused entry only
    ASSERT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Strings(0), "USED");
    for (int sweep = 0; sweep < 30; ++sweep)
        cache.PurgeCache();
    EXPECT_EQ(cache.Count(), 1);

    // Taking an entry makes it fresh again.
    cache.AddObject("AGAIN", Item());
    cache.DecUsage("AGAIN");
    for (int sweep = 0; sweep < 5; ++sweep)
        cache.PurgeCache();
    cache.DecUsage("AGAIN");
    cache.GetImage(cache.IndexOf("AGAIN"));
    cache.DecUsage("AGAIN");
    for (int sweep = 0; sweep < 5; ++sweep)
        cache.PurgeCache();
    EXPECT_GE(cache.IndexOf("AGAIN"), 0);
}

TEST(ImageCache, CacheCountZeroDropsSweptUnusedEntries)
{
    TStringBitmapList cache;
    cache.AddObject("SWEPT", Item());
    cache.AddObject("NEW", Item());
    cache.DecUsage("SWEPT");
    cache.PurgeCache();
    cache.AddObject("LATE", Item());
    cache.DecUsage("LATE");
    cache.DecUsage("NEW");
    cache.SetCacheCount(0);
    EXPECT_EQ(cache.IndexOf("SWEPT"), -1);
    EXPECT_GE(cache.IndexOf("LATE"), 0);  // never swept
    EXPECT_EQ(cache.IndexOf("NEW"), -1);
    EXPECT_EQ(cache.MaxCache(), 0);
    cache.Clear();
    EXPECT_EQ(cache.Count(), 0);
}

TEST(ImageLoad, KindsByFirstBytes)
{
    auto kind = [](std::vector<std::uint8_t> b) { return KindOfImage(b.data(), b.size()); };
    EXPECT_EQ(kind({'G', 'I', 'F', '8', '9', 'a'}), itGIF89);
    EXPECT_EQ(kind({'G', 'I', 'F', '8', '7', 'a'}), itGIF);
    EXPECT_EQ(kind({'B', 'M', 0, 0}), itBMP);
    EXPECT_EQ(kind({0x89, 'P', 'N', 'G'}), itPNG);
    EXPECT_EQ(kind({0xFF, 0xD8, 0xFF, 0xE0}), itJPG);
    EXPECT_EQ(kind({'<', 'h', 't', 'm'}), itNone);
    EXPECT_EQ(KindOfImageFile(TempFile("short.gif", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0})), itNone);
    EXPECT_EQ(KindOfImageFile(TempFile("ten.gif", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0})), itGIF89);
    EXPECT_EQ(KindOfImageFile("/nonexistent/x.gif"), itNone);
}

TEST(ImageLoad, ContentDecidesNotTheName)
{
    Bitmap src(4, 3, PixelFormat::pf24bit);
    src.Fill(platform::RGB(200, 30, 30));
    std::string path = TempFile("photo.png", platform::EncodeJPEG(src, 90));
    TTranspType t = LLCorner;
    std::unique_ptr<Bitmap> mask;
    auto bmp = LoadImageFromFile(path, t, mask);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(t, NotTransp);  // JPEG pictures have no transparency
    EXPECT_EQ(bmp->Width(), 4);
    EXPECT_FALSE(mask);
    EXPECT_FALSE(LoadImageFromFile("/nonexistent/x.png", t, mask));
}

TEST(ImageLoad, BadOrShortDataGivesNoPicture)
{
    TTranspType t = NotTransp;
    std::unique_ptr<Bitmap> mask;
    std::vector<std::uint8_t> png = MakePNG(2, 2, 8, 0, {0, 1, 2, 0, 3, 4});
    EXPECT_TRUE(LoadImageFromStream(png.data(), png.size(), t, mask));
    std::vector<std::uint8_t> bmp19 = {'B', 'M'};
    bmp19.resize(19);
    EXPECT_FALSE(LoadImageFromStream(bmp19.data(), bmp19.size(), t, mask));
    std::vector<std::uint8_t> bad = png;
    bad[bad.size() / 2] ^= 0xFF;
    EXPECT_FALSE(LoadImageFromStream(bad.data(), bad.size(), t, mask));
    std::vector<std::uint8_t> gif = MakeGif(1, 1, {0, 0xFFFFFF}, {GifFrameDesc{0, 0, 1, 1, {1}}});
    gif.resize(40);
    EXPECT_FALSE(LoadImageFromStream(gif.data(), gif.size(), t, mask));  // GIF goes through TGIFImage
    EXPECT_FALSE(LoadImageFromStream(nullptr, 100, t, mask));
}

TEST(ImageLoad, PalettePNGTransparencyBecomesMaskAndBlackPixels)
{
    // Palette entry 1 has alpha 0.
    std::vector<std::uint8_t> png =
        MakePNG(2, 1, 8, 3, {0, 0, 1}, {{"PLTE", Plte({10, 20, 30, 40, 50, 60})}, {"tRNS", {255, 0}}});
    platform::TColor c = 0;
    ASSERT_TRUE(GetPNGTransparentColor(png.data(), png.size(), c));
    EXPECT_EQ(c, platform::RGB(40, 50, 60));
    TTranspType t = NotTransp;
    std::unique_ptr<Bitmap> mask;
    auto bmp = LoadImageFromStream(png.data(), png.size(), t, mask);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(t, TrPng);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Pixel(0, 0), platform::clBlack);
    EXPECT_EQ(mask->Pixel(1, 0), platform::clWhite);
    EXPECT_EQ(bmp->Pixel(0, 0), platform::RGB(10, 20, 30));
    EXPECT_EQ(bmp->Pixel(1, 0), platform::RGB(0, 0, 0));

    // Truecolour tRNS gives no colour to the probe.
    std::vector<std::uint8_t> rgb = MakePNG(1, 1, 8, 2, {0, 1, 2, 3}, {{"tRNS", {0, 1, 0, 2, 0, 3}}});
    EXPECT_FALSE(GetPNGTransparentColor(rgb.data(), rgb.size(), c));
}

TEST(ImageLoad, TransparentColourProbeSurvivesDamage)
{
    platform::TColor c = 0;
    std::vector<std::uint8_t> sig = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // A length with the high bit set must not move backwards or allocate.
    std::vector<std::uint8_t> f = sig;
    AppendChunk(f, "IHDR", IHDRData(1, 1, 8, 3));
    f.insert(f.end(), {0xFF, 0xFF, 0xFF, 0xF0, 'a', 'b', 'c', 'd'});
    EXPECT_FALSE(GetPNGTransparentColor(f.data(), f.size(), c));
    // A short IHDR.
    f = sig;
    AppendChunk(f, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8});
    EXPECT_FALSE(GetPNGTransparentColor(f.data(), f.size(), c));
    // tRNS before PLTE, and tRNS longer than the palette.
    f = sig;
    AppendChunk(f, "IHDR", IHDRData(1, 1, 8, 3));
    AppendChunk(f, "tRNS", {0, 0});
    EXPECT_FALSE(GetPNGTransparentColor(f.data(), f.size(), c));
    f = sig;
    AppendChunk(f, "IHDR", IHDRData(1, 1, 8, 3));
    AppendChunk(f, "PLTE", {1, 2, 3});
    AppendChunk(f, "tRNS", {255, 0});
    EXPECT_FALSE(GetPNGTransparentColor(f.data(), f.size(), c));
    // Truncated at every length: never found, never a crash.
    std::vector<std::uint8_t> good =
        MakePNG(2, 1, 8, 3, {0, 0, 1}, {{"PLTE", Plte({10, 20, 30, 40, 50, 60})}, {"tRNS", {255, 0}}});
    for (size_t n = 0; n < good.size(); ++n) {
        bool found = GetPNGTransparentColor(good.data(), n, c);
        // The answer needs the tRNS chunk's data in full.
        if (found) {
            EXPECT_GE(n, 8u + 25u + 18u + 8u + 2u);
        }
    }
}

TEST(ImageLoad, LowerLeftCornerMask)
{
    Bitmap b(3, 2, PixelFormat::pf24bit);
    b.Fill(platform::RGB(1, 2, 3));
    b.SetPixel(2, 0, platform::RGB(9, 9, 9));
    auto mask = GetImageMask(b, false, 0);
    ASSERT_TRUE(mask);
    EXPECT_TRUE(mask->Monochrome());
    EXPECT_EQ(mask->Pixel(0, 1), platform::clWhite);
    EXPECT_EQ(mask->Pixel(2, 0), platform::clBlack);
    auto given = GetImageMask(b, true, platform::RGB(9, 9, 9));
    EXPECT_EQ(given->Pixel(2, 0), platform::clWhite);
    EXPECT_FALSE(GetImageMask(Bitmap(), false, 0));

    // The loader applies mode 1 to a BMP.
    std::vector<std::uint8_t> bmp = {'B', 'M'};
    // 2 x 1, 24 bits: header, then one row (padded to 8 bytes).
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp.push_back(std::uint8_t(v >> (8 * i)));
    };
    le32(62);
    le32(0);
    le32(54);
    le32(40);
    le32(2);
    le32(1);
    bmp.insert(bmp.end(), {1, 0, 24, 0});
    for (int i = 0; i < 6; ++i)
        le32(0);
    bmp.insert(bmp.end(), {3, 2, 1, 9, 9, 9, 0, 0});
    TTranspType t = LLCorner;
    std::unique_ptr<Bitmap> m;
    auto pic = LoadImageFromStream(bmp.data(), bmp.size(), t, m);
    ASSERT_TRUE(pic);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Pixel(0, 0), platform::clWhite);
    EXPECT_EQ(m->Pixel(1, 0), platform::clBlack);
}

TEST(ImageLoad, PictureSizesOfEveryKind)
{
    TPictureObject bmp(std::make_unique<Bitmap>(7, 3, PixelFormat::pf24bit));
    EXPECT_EQ(GetImageWidth(&bmp), 7);
    EXPECT_EQ(GetImageHeight(&bmp), 3);
    bool still;
    TPictureObject gif(TGIFImage::CreateFromStream(
        MakeGif(5, 4, {0, 0xFFFFFF}, {GifFrameDesc{0, 0, 1, 1, {1}}, GifFrameDesc{0, 0, 1, 1, {1}}}), still));
    EXPECT_EQ(GetImageWidth(&gif), 5);
    EXPECT_EQ(GetImageHeight(&gif), 4);
    TPictureObject none(std::unique_ptr<Bitmap>{});
    try {
        GetImageWidth(&none);
        FAIL();
    } catch (const platform::Exception& e) {
        EXPECT_STREQ(e.what(), "Not a TBitmap, TGifImage, of TGpImage");
    }
    EXPECT_THROW(GetImageHeight(nullptr), platform::Exception);
}

TEST(ImageLoad, PalettePicturesBecomeDevicePicturesOrAreReduced)
{
    std::vector<std::uint8_t> png = MakePNG(2, 1, 8, 0, {0, 0, 255});
    TTranspType t = NotTransp;
    std::unique_ptr<Bitmap> mask;
    auto b = LoadImageFromStream(png.data(), png.size(), t, mask);
    ASSERT_TRUE(b);
    EXPECT_GT(b->BitsPerPixel(), 8);
    EXPECT_EQ(b->Pixel(1, 0), platform::clWhite);

    platform::SystemValues v = platform::SysValues();
    platform::SystemValues eight = v;
    eight.ColorDepth = 8;
    platform::SetSysValues(eight);
    std::vector<std::uint8_t> rgb = MakePNG(1, 1, 8, 2, {0, 55, 115, 165});
    auto r = LoadImageFromStream(rgb.data(), rgb.size(), t, mask);
    platform::SetSysValues(v);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->BitsPerPixel(), 8);
    EXPECT_EQ(r->Pixel(0, 0), platform::RGB(55, 115, 165));
}

TEST(ImageLoad, EnlargeThinPicturesForTiling)
{
    Bitmap thin(1, 3, PixelFormat::pf24bit);
    thin.SetPixel(0, 2, platform::clRed);
    auto wide = EnlargeImage(thin, 500, 3);
    EXPECT_EQ(wide->Width(), 100);
    EXPECT_EQ(wide->Height(), 3);
    EXPECT_EQ(wide->Pixel(99, 2), platform::clRed);
    auto same = EnlargeImage(Bitmap(4, 4, PixelFormat::pf24bit), 50, 50);
    EXPECT_EQ(same->Width(), 4);
}
