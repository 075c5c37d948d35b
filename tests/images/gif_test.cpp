// GIF decoding: the test suite's pictures and reference frames, the strip and mask, and damaged input.

#include <gtest/gtest.h>

#include "images/gifdecoder.h"
#include "picture_helpers.h"

using namespace pictest;

namespace {

std::string GifDir() { return DataDir() + "/gif-suite"; }

struct StripPixel {
    int r, g, b;
    bool transparent;
};

StripPixel At(const TGifStripData& s, int frame, int screenWidth, int x, int y)
{
    int sx = frame * screenWidth + x;
    const std::uint8_t* p = s.Bits.data() + size_t(y) * size_t(s.Stride) + size_t(sx) * 3;
    bool t = s.HasMask && s.Mask[size_t(y) * size_t(s.Width) + size_t(sx)] != 0;
    return {p[2], p[1], p[0], t};
}

TGifStripData Load(TGif& gif, const std::vector<std::uint8_t>& bytes)
{
    gif.LoadFromStream(bytes);
    return gif.BuildStripData();
}

}  // namespace

// Every frame of every suite picture, after disposal, against the reference frames. The strip keeps a
// disposed frame's colours and only marks its rectangle transparent, and "restore previous" counts as
// "restore background": where the reference shows a pixel of an earlier frame through a disposed
// rectangle, the strip shows it transparent, which is the only accepted difference.
TEST(GifSuite, FramesMatchReferences)
{
    int frames = 0;
    for (const char* folder : {"valid", "animated", "edge"}) {
        const std::string dir = GifDir() + "/" + folder;
        for (const std::string& name : ListFiles(dir, ".gif")) {
            SCOPED_TRACE(name);
            TGif gif;
            TGifStripData s;
            ASSERT_NO_THROW(s = Load(gif, ReadAll(dir + "/" + name)));
            const std::string stem = name.substr(0, name.size() - 4);
            for (int f = 0; f < gif.ImageCount(); ++f) {
                std::string refName = dir + "/ref/" + stem + (gif.ImageCount() > 1 ? "-" + std::to_string(f) : "") + ".png";
                RGBAImage ref;
                ASSERT_TRUE(ReadPNGWithLibpng(refName, ref)) << refName;
                ASSERT_EQ(ref.Width, gif.ScreenWidth());
                ASSERT_EQ(ref.Height, gif.ScreenHeight());
                bool restorePrevious = false;
                for (int k = 0; k < f; ++k)
                    restorePrevious = restorePrevious || gif.ImageDisposal(k) == 3;
                int bad = 0;
                for (int y = 0; y < ref.Height && bad < 3; ++y)
                    for (int x = 0; x < ref.Width && bad < 3; ++x) {
                        const std::uint8_t* e = ref.At(x, y);
                        StripPixel p = At(s, f, gif.ScreenWidth(), x, y);
                        bool ok;
                        if (e[3] == 0)
                            ok = p.transparent;
                        else
                            ok = p.transparent ? restorePrevious : (p.r == e[0] && p.g == e[1] && p.b == e[2]);
                        if (!ok) {
                            ++bad;
                            ADD_FAILURE() << "frame " << f << " pixel " << x << "," << y << " got " << p.r << ","
                                          << p.g << "," << p.b << (p.transparent ? " transparent" : "")
                                          << " want " << int(e[0]) << "," << int(e[1]) << "," << int(e[2]) << " a"
                                          << int(e[3]);
                        }
                    }
                ++frames;
            }
        }
    }
    EXPECT_GE(frames, 40);
}

TEST(GifSuite, AnimationFacts)
{
    TGif gif;
    gif.LoadFromStream(ReadAll(GifDir() + "/animated/animated_loop.gif"));
    EXPECT_EQ(gif.ImageCount(), 4);
    EXPECT_EQ(gif.LoopCount(), 0);
    TGif once;
    once.LoadFromStream(ReadAll(GifDir() + "/animated/animated_noloop.gif"));
    EXPECT_EQ(once.LoopCount(), -1);
    TGif still;
    still.LoadFromStream(ReadAll(GifDir() + "/valid/static_transparent.gif"));
    EXPECT_EQ(still.ImageCount(), 1);
    EXPECT_TRUE(still.HasTransparency());
}

TEST(GifDecoder, StripAndMaskFollowFramesTransparencyAndDisposal)
{
    const std::vector<std::uint32_t> pal = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    GifFrameDesc a;  // 2 x 2 frame: red, transparent / green, blue
    a.Width = a.Height = 2;
    a.Indexes = {1, 3, 2, 3};
    a.Transparent = 3;
    a.Delay = 0;
    a.Disposal = 2;
    GifFrameDesc b;  // one pixel at (1, 1), transparent index 0 not used
    b.Left = b.Top = 1;
    b.Indexes = {1};
    b.Delay = 7;
    b.Transparent = 0;
    TGif gif;
    TGifStripData s = Load(gif, MakeGif(3, 2, pal, {a, b}, 2));
    ASSERT_EQ(gif.ImageCount(), 2);
    EXPECT_EQ(gif.ImageDelay(0), 1);  // 0 reads as 1
    EXPECT_EQ(gif.ImageDelay(1), 7);
    EXPECT_EQ(gif.ImageDisposal(0), 2);
    EXPECT_EQ(gif.ImageTransparentIndex(0), 3);
    EXPECT_EQ(gif.LoopCount(), 2);
    EXPECT_EQ(s.Width, 6);
    EXPECT_EQ(s.Stride, 20);  // 6 * 3 rounded up to 4
    // Frame 0: red, transparent (black, white mask), empty column; green, transparent.
    StripPixel p = At(s, 0, 3, 0, 0);
    EXPECT_EQ(p.r, 255);
    EXPECT_FALSE(p.transparent);
    p = At(s, 0, 3, 1, 0);
    EXPECT_TRUE(p.transparent);
    EXPECT_EQ(p.r + p.g + p.b, 0);
    EXPECT_TRUE(At(s, 0, 3, 2, 0).transparent);  // never covered
    EXPECT_EQ(At(s, 0, 3, 0, 1).g, 255);
    // Frame 1 starts from frame 0 with frame 0's rectangle made transparent (mask only) by disposal 2.
    p = At(s, 1, 3, 0, 0);
    EXPECT_TRUE(p.transparent);
    EXPECT_EQ(p.r, 255);  // the colours stay
    p = At(s, 1, 3, 1, 1);
    EXPECT_FALSE(p.transparent);
    EXPECT_EQ(p.r, 255);
    EXPECT_TRUE(At(s, 1, 3, 0, 1).transparent);
}

TEST(GifDecoder, LaterTransparentPixelsShowThePreviousFrame)
{
    const std::vector<std::uint32_t> pal = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    GifFrameDesc a;
    a.Width = 2;
    a.Indexes = {1, 2};
    a.Delay = 5;
    GifFrameDesc b = a;
    b.Indexes = {0, 3};
    b.Transparent = 0;
    TGif gif;
    TGifStripData s = Load(gif, MakeGif(2, 1, pal, {a, b}));
    StripPixel p = At(s, 1, 2, 0, 0);
    EXPECT_FALSE(p.transparent);
    EXPECT_EQ(p.r, 255);  // frame 0's red
    EXPECT_EQ(At(s, 1, 2, 1, 0).b, 255);
}

TEST(GifDecoder, InterlacedRowsLandInPassOrder)
{
    const std::vector<std::uint32_t> pal = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    GifFrameDesc f;
    f.Width = 1;
    f.Height = 10;
    f.Interlaced = true;
    // Rows in file order: pass 1 rows 0, 8; pass 2 row 4; pass 3 rows 2, 6; pass 4 rows 1, 3, 5, 7, 9.
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    f.Indexes.resize(10);
    for (int i = 0; i < 10; ++i)
        f.Indexes[size_t(i)] = std::uint8_t(order[i] % 4);
    TGif gif;
    gif.LoadFromStream(MakeGif(1, 10, pal, {f}));
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(gif.Image(0).Pixels[size_t(y)], y % 4) << y;
}

TEST(GifDecoder, FramesAreClippedToTheScreen)
{
    const std::vector<std::uint32_t> pal = {0x000000, 0x0000FF};
    GifFrameDesc wide;  // wider than the screen, and one far outside it
    wide.Width = 5;
    wide.Height = 4;  // taller than the screen: cut to 2 rows
    wide.Indexes.assign(20, 1);
    GifFrameDesc outside;
    outside.Left = 60000;
    outside.Top = 1;
    outside.Width = 3;
    outside.Indexes = {1, 1, 1};
    outside.Delay = 1;
    outside.Disposal = 2;
    outside.Transparent = 0;
    GifFrameDesc last = outside;
    last.Left = 0;
    last.Top = 60000;
    TGif gif;
    TGifStripData s = Load(gif, MakeGif(3, 2, pal, {wide, outside, last}));
    EXPECT_EQ(gif.ImageHeight(0), 2);
    EXPECT_EQ(gif.ImageWidth(0), 5);
    EXPECT_EQ(s.Width, 9);
    for (int f = 0; f < 3; ++f)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(s, f, 3, x, 1).r, 255);
}

TEST(GifDecoder, SignatureAndBlockErrors)
{
    auto code = [](const std::vector<std::uint8_t>& bytes) {
        TGif gif;
        try {
            gif.LoadFromStream(bytes);
        } catch (const EGifError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("TGif: ") + GifLastErrorText());
            return e.Code;
        }
        return 0;
    };
    const std::vector<std::uint32_t> pal = {0, 0xFFFFFF};
    GifFrameDesc f;
    f.Indexes = {1};
    std::vector<std::uint8_t> good = MakeGif(1, 1, pal, {f});
    EXPECT_EQ(code(good), 0);

    std::vector<std::uint8_t> lower = good;
    lower[0] = 'g';
    lower[5] = 'A';
    EXPECT_EQ(code(lower), 0);
    std::vector<std::uint8_t> bad = good;
    bad[4] = '7';
    bad[3] = '9';
    EXPECT_EQ(code(bad), gifBadSignature);

    // No table anywhere.
    EXPECT_EQ(code(MakeGif(1, 1, {}, {f})), gifNoColorTable);
    // Zero-area screen and frame.
    EXPECT_EQ(code(MakeGif(0, 1, pal, {f})), gifZeroSize);
    GifFrameDesc empty;
    empty.Width = 0;
    empty.Indexes = {};
    EXPECT_EQ(code(MakeGif(1, 1, pal, {empty})), gifZeroSize);
    // Unknown block introducer before any image; no image at all.
    std::vector<std::uint8_t> head(good.begin(), good.begin() + 13 + 6);
    std::vector<std::uint8_t> op = head;
    op.push_back('x');
    EXPECT_EQ(code(op), gifUnknownOpCode);
    std::vector<std::uint8_t> none = head;
    none.push_back(0x3B);
    EXPECT_EQ(code(none), gifNoImage);
    // Unknown extension label, in the special message.
    std::vector<std::uint8_t> ext = head;
    ext.insert(ext.end(), {0x21, 0x42, 0});
    EXPECT_EQ(code(ext), gifSpecialMessage);
    EXPECT_EQ(GifLastErrorText(), "unknown extension: 0042");
    // Graphic control with a wrong size or terminator.
    std::vector<std::uint8_t> gce = head;
    gce.insert(gce.end(), {0x21, 0xF9, 5, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(code(gce), gifBadExtensionSize);
    gce = head;
    gce.insert(gce.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 9});
    EXPECT_EQ(code(gce), gifBadExtensionTerminator);
    // A code size above 12 bits.
    std::vector<std::uint8_t> big = head;
    big.insert(big.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 200, 1, 0, 0});
    EXPECT_EQ(code(big), gifBadCodeSize);
    // A code beyond the next free one.
    std::vector<std::uint8_t> lzw = head;
    lzw.insert(lzw.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0xC4, 0x01, 0});  // clear, 0, then 7 > 6
    EXPECT_EQ(code(lzw), gifBadLZWData);
}

TEST(GifDecoder, DamageAfterTheFirstImageKeepsWhatWasRead)
{
    const std::vector<std::uint32_t> pal = {0, 0xFFFFFF};
    GifFrameDesc f;
    f.Width = 4;
    f.Height = 4;
    f.Indexes.assign(16, 1);
    f.Delay = 3;
    std::vector<std::uint8_t> two = MakeGif(4, 4, pal, {f, f});
    two.pop_back();  // no trailer
    TGif gif;
    ASSERT_NO_THROW(gif.LoadFromStream(two));
    EXPECT_EQ(gif.ImageCount(), 2);

    // Every truncation: a clean failure or the images read so far, never a crash.
    const std::vector<std::uint8_t> full = MakeGif(4, 4, pal, {f, f, f});
    for (size_t n = 0; n < full.size(); ++n) {
        TGif g;
        std::vector<std::uint8_t> cut(full.begin(), full.begin() + long(n));
        try {
            g.LoadFromStream(cut);
            g.BuildStripData();
            EXPECT_GE(g.ImageCount(), 1);
        } catch (const EGifError&) {
        }
    }
    // An unknown extension after the first image ends the picture quietly.
    std::vector<std::uint8_t> one = MakeGif(4, 4, pal, {f});
    one.pop_back();
    one.insert(one.end(), {0x21, 0x42, 0, 0x3B});
    TGif g1;
    ASSERT_NO_THROW(g1.LoadFromStream(one));
    EXPECT_EQ(g1.ImageCount(), 1);
}

TEST(GifDecoder, HugePicturesAreRefused)
{
    const std::vector<std::uint32_t> pal = {0, 0xFFFFFF};
    GifFrameDesc f;
    f.Indexes = {1};
    auto code = [](const std::vector<std::uint8_t>& bytes, bool build = true) {
        TGif gif;
        try {
            gif.LoadFromStream(bytes);
            if (build)
                gif.BuildStripData();
        } catch (const EGifError& e) {
            return e.Code;
        }
        return 0;
    };
    EXPECT_EQ(code(MakeGif(16385, 1, pal, {f})), gifTooLarge);
    EXPECT_EQ(code(MakeGif(10000, 10000, pal, {f})), gifTooLarge);  // above 64 M pixels
    GifFrameDesc huge;
    huge.Width = 65535;
    huge.Height = 1;
    huge.Indexes = {1};
    EXPECT_EQ(code(MakeGif(1, 1, pal, {huge})), gifTooLarge);
    // Many frames on a large screen: refused once the strip would pass 100,000,000 bytes with a
    // transparent frame, even though the first frames were fine.
    GifFrameDesc t;
    t.Indexes = {1};
    t.Transparent = 0;
    t.Delay = 1;
    std::vector<GifFrameDesc> frames(12, t);
    EXPECT_EQ(code(MakeGif(4000, 1000, pal, frames)), gifTooLarge);
    frames.resize(8);
    EXPECT_EQ(code(MakeGif(4000, 1000, pal, frames), false), 0);
}
