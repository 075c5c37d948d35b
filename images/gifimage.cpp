// Animated GIF pictures: building from the decoder, stepping, drawing the current frame.

#include "images/gifimage.h"

#include <algorithm>
#include <cstring>

#include "images/gifdecoder.h"
#include "platform/canvas.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/sysvalues.h"

using platform::Bitmap;
using platform::Rect;

ThtBitmap::ThtBitmap(Bitmap picture, Bitmap mask) : Bitmap(std::move(picture))
{
    SetMask(std::move(mask));
}

void ThtBitmap::SetMask(Bitmap mask)
{
    FMask = std::move(mask);
    FTransparent = !FMask.Empty();
}

void ThtBitmap::StretchDraw(platform::Canvas& canvas, const Rect& dest, const Rect& source) const
{
    // Halftone stretching only matters on palette displays; colour-on-colour elsewhere.
    if (platform::DisplayColorClass() <= 8 && BitsPerPixel() >= 15)
        canvas.SetStretchBltMode(platform::HALFTONE);
    else if (!Monochrome())
        canvas.SetStretchBltMode(platform::COLORONCOLOR);
    if (FTransparent)
        canvas.MaskedDraw(dest, *this, FMask, source);
    else
        canvas.StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), *this, source.Left, source.Top,
                          source.Width(), source.Height(), platform::SRCCOPY);
}

std::unique_ptr<TGIFImage> TGIFImage::CreateFromStream(const std::uint8_t* data, std::size_t size, bool& still)
{
    still = false;
    try {
        TGif gif;
        gif.LoadFromStream(data, size);
        std::unique_ptr<TGIFImage> img(new TGIFImage());
        const int count = gif.ImageCount();
        img->FAnimated = count > 1;
        still = count < 2;
        img->FWidth = gif.ScreenWidth();
        img->FHeight = gif.ScreenHeight();
        const int loops = gif.LoopCount();
        img->FNumIterations = loops < 0 ? 1 : loops > 0 ? loops + 1 : 0;
        img->FTransparent = gif.HasTransparency();
        auto slots = std::make_shared<std::vector<ThtBitmap>>();
        for (TGif::FrameBitmap& f : gif.BuildFrameBitmaps())
            slots->emplace_back(std::move(f.Picture), std::move(f.Mask));
        img->FStrip = std::move(slots);
        for (int i = 0; i < count; ++i) {
            TgfFrame f;
            f.frDisposal = std::uint8_t(gif.ImageDisposal(i));
            f.frLeft = gif.ImageLeft(i);
            f.frTop = gif.ImageTop(i);
            f.frWidth = gif.ImageWidth(i);
            f.frHeight = gif.ImageHeight(i);
            f.frDelay = std::max(30, 10 * gif.ImageDelay(i));
            img->FFrames.push_back(f);
        }
        if (img->FAnimated)
            img->FLastDisposal = 2;
        return img;
    } catch (const std::exception&) {
        still = false;
        return nullptr;
    }
}

std::unique_ptr<TGIFImage> TGIFImage::CreateFromFile(const std::string& name, bool& still)
{
    still = false;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = platform::ReadFileBytes(name);
    } catch (const std::exception&) {
        return nullptr;
    }
    return CreateFromStream(bytes, still);
}

std::unique_ptr<TGIFImage> TGIFImage::Copy(const TGIFImage& source)
{
    std::unique_ptr<TGIFImage> img(new TGIFImage());
    img->FAnimated = source.FAnimated;
    img->FVisible = source.FVisible;
    img->FWidth = source.FWidth;
    img->FHeight = source.FHeight;
    img->FNumIterations = source.FNumIterations;
    img->FTransparent = source.FTransparent;
    img->FStrip = source.FStrip;
    img->FIsCopy = true;
    for (TgfFrame f : source.FFrames) {
        f.IsCopy = 1;
        img->FFrames.push_back(f);
    }
    img->FCurrentFrame = 1;
    img->FCurrentIteration = 1;
    if (img->FAnimated)
        img->FLastDisposal = 2;
    return img;
}

void TGIFImage::SetAnimate(bool on) { SetAnimateAt(on, platform::timeGetTime()); }

void TGIFImage::SetAnimateAt(bool on, std::uint32_t now)
{
    if (on == FAnimate)
        return;
    FAnimate = on;
    if (on && NumFrames() > 1) {
        FCurrentDelay = std::max(Frame(FCurrentFrame).frDelay, 1);
        FLastTime = now;
    }
}

void TGIFImage::SetCurrentFrame(int n)
{
    if (n == FCurrentFrame || NumFrames() == 0)
        return;
    FLastDisposal = Frame(FCurrentFrame).frDisposal;
    if (n > NumFrames())
        FCurrentFrame = 1;
    else if (n <= 0)
        FCurrentFrame = NumFrames();
    else
        FCurrentFrame = n;
    if (FAnimated)
        FLastDisposal = 2;
}

void TGIFImage::Step(const std::function<void(const Rect&)>& invalidate)
{
    StepAt(platform::timeGetTime(), invalidate);
}

void TGIFImage::StepAt(std::uint32_t now, const std::function<void(const Rect&)>& invalidate)
{
    if (!FAnimate || NumFrames() == 0)
        return;
    // Unsigned difference: the millisecond clock may wrap.
    if (std::uint32_t(now - FLastTime) < std::uint32_t(std::max(FCurrentDelay, 0)))
        return;
    FLastTime = now;
    if (FCurrentFrame == NumFrames()) {
        if (FNumIterations > 0 && FCurrentIteration >= FNumIterations) {
            SetAnimateAt(false, now);
            return;
        }
        ++FCurrentIteration;
    }
    FLastDisposal = Frame(FCurrentFrame).frDisposal;
    ++FCurrentFrame;
    if (FCurrentFrame > NumFrames() || FCurrentFrame <= 0)
        FCurrentFrame = 1;
    if (invalidate)
        invalidate(FDrawnRect);
    FCurrentDelay = std::max(Frame(FCurrentFrame).frDelay, 1);
}

void TGIFImage::Draw(platform::Canvas& canvas, int x, int y, int width, int height)
{
    FDrawnRect = platform::MakeRect(x, y, x + width, y + height);
    canvas.SetStretchBltMode(platform::COLORONCOLOR);
    if (!FVisible || NumFrames() == 0 || !FStrip || FCurrentFrame < 1 || FCurrentFrame > int(FStrip->size()))
        return;
    const Rect source = platform::MakeRect(0, 0, FWidth, FHeight);
    FrameBitmap(FCurrentFrame).StretchDraw(canvas, FDrawnRect, source);
}

const Bitmap& TGIFImage::StillBitmap()
{
    if (!FStill) {
        if (FStrip && !FStrip->empty()) {
            const ThtBitmap& first = FStrip->front();
            FStill = std::make_unique<Bitmap>(static_cast<const Bitmap&>(first));
            if (first.HasMask())
                FStillMask = std::make_unique<Bitmap>(first.Mask());
        } else {
            FStill = std::make_unique<Bitmap>();
        }
        // Transparency comes only from the mask.
        FStill->SetTransparent(false);
    }
    return *FStill;
}

const Bitmap& TGIFImage::StillMask()
{
    static const Bitmap kNone;
    if (!FTransparent)
        return kNone;
    StillBitmap();
    return FStillMask ? *FStillMask : kNone;
}
