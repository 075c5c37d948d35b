// Animated pictures: frame records, iterations and delays, frame selection, copies and drawing.

#include <gtest/gtest.h>

#include "images/gifimage.h"
#include "picture_helpers.h"
#include "platform/canvas.h"

using namespace pictest;
using platform::Rect;

namespace {

const std::vector<std::uint32_t> kPal = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};

std::unique_ptr<TGIFImage> Animation(int frames, int loopCount, int delay = 0, bool transparent = false)
{
    std::vector<GifFrameDesc> frameDescs;
    for (int i = 0; i < frames; ++i) {
        GifFrameDesc f;
        f.Width = 2;
        f.Height = 2;
        f.Indexes.assign(4, std::uint8_t(1 + i % 3));
        if (transparent)
            f.Indexes[3] = 0;
        f.Delay = delay;
        f.Transparent = transparent ? 0 : -1;
        f.Disposal = i % 4;
        frameDescs.push_back(f);
    }
    bool still = false;
    return TGIFImage::CreateFromStream(MakeGif(2, 2, kPal, frameDescs, loopCount), still);
}

// Steps with a clock that always has waited long enough; answers the frames shown, in order.
std::vector<int> Play(TGIFImage& img, int ticks)
{
    std::vector<int> shown;
    std::uint32_t now = 1000;
    img.SetAnimateAt(true, now);
    for (int i = 0; i < ticks && img.Animate(); ++i) {
        now += 1000;
        img.StepAt(now, nullptr);
        shown.push_back(img.CurrentFrame());
    }
    return shown;
}

}  // namespace

TEST(GifImage, BuildsFramesFromTheDecoder)
{
    bool still = true;
    auto one = TGIFImage::CreateFromStream(MakeGif(2, 2, kPal, {GifFrameDesc{0, 0, 2, 2, {1, 1, 1, 1}}}), still);
    ASSERT_TRUE(one);
    EXPECT_TRUE(still);
    EXPECT_FALSE(one->IsAnimated());
    EXPECT_EQ(one->NumIterations(), 1);

    auto anim = Animation(3, 2, 0);
    ASSERT_TRUE(anim);
    EXPECT_TRUE(anim->IsAnimated());
    EXPECT_EQ(anim->NumFrames(), 3);
    EXPECT_EQ(anim->Width(), 2);
    EXPECT_EQ(anim->FrameBitmap(3).Width(), 2);
    EXPECT_EQ(anim->Frame(1).frDelay, 30);  // delay 0 -> 1 hundredth -> at least 30 ms
    EXPECT_EQ(anim->Frame(2).frDisposal, 1);
    EXPECT_EQ(anim->PreviousDisposal(), 2);
    EXPECT_EQ(Animation(2, 0, 25)->Frame(2).frDelay, 250);

    EXPECT_FALSE(TGIFImage::CreateFromStream(std::vector<std::uint8_t>{1, 2, 3}, still));
    EXPECT_FALSE(still);
    EXPECT_FALSE(TGIFImage::CreateFromFile("/nonexistent/none.gif", still));
}

TEST(GifImage, IterationsFollowTheLoopCount)
{
    auto twice = Animation(2, 2);  // loop count 2: three passes, then stop on the last frame
    EXPECT_EQ(twice->NumIterations(), 3);
    EXPECT_EQ(Play(*twice, 100), (std::vector<int>{2, 1, 2, 1, 2, 2}));
    EXPECT_FALSE(twice->Animate());
    EXPECT_EQ(twice->CurrentFrame(), 2);

    auto once = Animation(2, -1);
    EXPECT_EQ(once->NumIterations(), 1);
    EXPECT_EQ(Play(*once, 100), (std::vector<int>{2, 2}));

    auto endless = Animation(2, 0);
    EXPECT_EQ(endless->NumIterations(), 0);
    EXPECT_EQ(Play(*endless, 50).size(), 50u);
    EXPECT_TRUE(endless->Animate());
}

TEST(GifImage, StepWaitsForTheDelayAndInvalidatesTheDrawnRect)
{
    auto img = Animation(3, 0, 5);  // 50 ms per frame
    platform::Bitmap target(10, 10, platform::PixelFormat::pf24bit);
    platform::Canvas canvas(target);
    img->Draw(canvas, 1, 2, 4, 4);
    std::vector<Rect> invalidated;
    auto record = [&](const Rect& r) { invalidated.push_back(r); };
    img->SetAnimateAt(true, 0xFFFFFFF0u);  // close to the clock's wrap
    img->StepAt(0xFFFFFFF0u + 49, record);
    EXPECT_EQ(img->CurrentFrame(), 1);
    img->StepAt(0xFFFFFFF0u + 50, record);  // wraps past 0
    EXPECT_EQ(img->CurrentFrame(), 2);
    ASSERT_EQ(invalidated.size(), 1u);
    EXPECT_EQ(invalidated[0], platform::MakeRect(1, 2, 5, 6));
    EXPECT_EQ(img->PreviousDisposal(), 0);

    auto still = Animation(1, 0);
    still->SetAnimateAt(true, 0);
    still->StepAt(100000, record);
    EXPECT_EQ(still->CurrentFrame(), 1);
}

TEST(GifImage, SetCurrentFrameWraps)
{
    auto img = Animation(3, 0);
    img->SetCurrentFrame(0);
    EXPECT_EQ(img->CurrentFrame(), 3);
    img->SetCurrentFrame(4);
    EXPECT_EQ(img->CurrentFrame(), 1);
    img->SetCurrentFrame(2);
    EXPECT_EQ(img->CurrentFrame(), 2);
    EXPECT_EQ(img->PreviousDisposal(), 2);  // animated pictures always report 2
}

TEST(GifImage, CopiesShareTheStrip)
{
    auto img = Animation(2, 0);
    img->SetCurrentFrame(2);
    auto copy = TGIFImage::Copy(*img);
    EXPECT_TRUE(copy->IsCopy());
    EXPECT_EQ(copy->CurrentFrame(), 1);
    EXPECT_EQ(&copy->FrameBitmap(2), &img->FrameBitmap(2));
    EXPECT_EQ(copy->Frame(1).IsCopy, 1);
    copy.reset();
    platform::Bitmap target(2, 2, platform::PixelFormat::pf24bit);
    platform::Canvas canvas(target);
    img->Draw(canvas, 0, 0, 2, 2);
    EXPECT_EQ(target.Pixel(0, 0), platform::RGB(0, 255, 0));  // frame 2 uses index 2: green
}

TEST(GifImage, DrawUsesTheCurrentFrameAndTheMask)
{
    auto img = Animation(2, 0, 0, true);
    platform::Bitmap target(4, 4, platform::PixelFormat::pf24bit);
    target.Fill(platform::RGB(9, 9, 9));
    platform::Canvas canvas(target);
    img->Draw(canvas, 0, 0, 4, 4);  // frame 1 stretched twice: red with a transparent lower-right
    EXPECT_EQ(target.Pixel(0, 0), platform::RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(3, 3), platform::RGB(9, 9, 9));
    img->SetVisible(false);
    target.Fill(platform::RGB(1, 1, 1));
    img->Draw(canvas, 1, 1, 2, 2);
    EXPECT_EQ(img->DrawnRect(), platform::MakeRect(1, 1, 3, 3));
    EXPECT_EQ(target.Pixel(1, 1), platform::RGB(1, 1, 1));

    const platform::Bitmap& still = img->StillBitmap();
    EXPECT_EQ(still.Width(), 2);
    EXPECT_EQ(still.Pixel(0, 0), platform::RGB(255, 0, 0));
    const platform::Bitmap& mask = img->StillMask();
    ASSERT_FALSE(mask.Empty());
    EXPECT_EQ(mask.Pixel(1, 1), platform::clWhite);
    EXPECT_EQ(mask.Pixel(0, 0), platform::clBlack);
    auto opaque = Animation(2, 0);
    EXPECT_TRUE(opaque->StillMask().Empty());
}

TEST(GifImage, ManyFramesWiderThanOneBitmapSide)
{
    // 100 frames of 200 pixels: 20,000 columns of strip, beyond the side limit of a single bitmap.
    std::vector<GifFrameDesc> frameDescs(100);
    for (int i = 0; i < 100; ++i) {
        frameDescs[size_t(i)].Width = 200;
        frameDescs[size_t(i)].Indexes.assign(200, std::uint8_t(i % 4));
        frameDescs[size_t(i)].Delay = 2;
    }
    bool still = true;
    auto img = TGIFImage::CreateFromStream(MakeGif(200, 1, kPal, frameDescs, 0), still);
    ASSERT_TRUE(img);
    EXPECT_FALSE(still);
    EXPECT_EQ(img->NumFrames(), 100);
    platform::Bitmap target(200, 1, platform::PixelFormat::pf24bit);
    platform::Canvas canvas(target);
    img->SetCurrentFrame(98);  // index 97 % 4 = 1: red
    img->Draw(canvas, 0, 0, 200, 1);
    EXPECT_EQ(target.Pixel(199, 0), platform::RGB(255, 0, 0));
}
