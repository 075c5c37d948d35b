#pragma once
// What a page does with picture data, done on arbitrary bytes: read by the GIF decoder (frames, strip,
// animation) and by the PNG decoder, loaded by the image loader with each transparency mode, and drawn
// onto a small canvas stretched and through its mask. Answers what broke an invariant of the answers, or
// an empty text. The picture sweep and the picture fuzz targets both run it.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "images/gifdecoder.h"
#include "images/gifimage.h"
#include "images/imageload.h"
#include "images/pngimage.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace vexatest {

inline std::string ExerciseGif(const std::uint8_t* data, std::size_t size, platform::Canvas& canvas)
{
    TGif gif;
    try {
        gif.LoadFromStream(data, size);
    } catch (const EGifError&) {
        return "";
    }
    if (gif.ImageCount() < 1 || gif.ScreenWidth() <= 0 || gif.ScreenHeight() <= 0)
        return "GIF read without a picture";
    for (int i = 0; i < gif.ImageCount(); ++i) {
        if (gif.ImageDelay(i) < 1 || gif.ImageDisposal(i) < 0 || gif.ImageDisposal(i) > 3)
            return "GIF frame with a bad delay or disposal";
        if (gif.Image(i).Pixels.size() != std::size_t(gif.ImageWidth(i)) * std::size_t(gif.ImageHeight(i)))
            return "GIF frame whose pixels do not match its size";
    }
    try {
        TGifStripData s = gif.BuildStripData();
        if (s.Width != gif.ScreenWidth() * gif.ImageCount() || s.Height != gif.ScreenHeight() ||
            s.Bits.size() != std::size_t(s.Stride) * std::size_t(s.Height))
            return "GIF strip of the wrong size";
    } catch (const EGifError&) {
    }
    bool still = false;
    auto img = TGIFImage::CreateFromStream(data, size, still);
    if (img) {
        img->SetAnimateAt(true, 0);
        for (std::uint32_t t = 0; t < 10; ++t) {
            img->StepAt(t * 1000, nullptr);
            img->Draw(canvas, 3, 3, 40, 30);
        }
        img->StillBitmap();
        img->StillMask();
    }
    return "";
}

inline std::string ExercisePng(const std::uint8_t* data, std::size_t size, platform::Canvas& canvas)
{
    TPNGImage png;
    try {
        png.LoadFromStream(data, size);
        const TPNGPixels& p = png.Pixels();
        if (p.Width <= 0 || p.Height <= 0 || p.Bits.size() != std::size_t(p.Stride) * std::size_t(p.Height))
            return "PNG pixels that do not match its size";
        platform::Bitmap b = png.ToBitmap();
        if (b.Width() != p.Width || b.Height() != p.Height)
            return "PNG bitmap of the wrong size";
        canvas.StretchDraw(platform::Rect{0, 0, 50, 40}, b);
    } catch (const EPNGImageException&) {
    }
    platform::TColor colour = 0;
    GetPNGTransparentColor(data, size, colour);
    return "";
}

inline std::string ExerciseLoader(const std::uint8_t* data, std::size_t size, platform::Canvas& canvas)
{
    for (TTranspType mode : {NotTransp, LLCorner, TrPng}) {
        TTranspType transp = mode;
        std::unique_ptr<platform::Bitmap> mask;
        auto bitmap = LoadImageFromStream(data, size, transp, mask);
        if (!bitmap)
            continue;
        if (mask && (mask->Width() != bitmap->Width() || mask->Height() != bitmap->Height()))
            return "loaded picture whose mask differs in size";
        if (mask)
            DrawTransparentBitmap(canvas, 2, 2, 45, 35, *bitmap, *mask);
        else
            canvas.StretchDraw(platform::Rect{2, 2, 47, 37}, *bitmap);
    }
    return "";
}

// All three on one canvas.
inline std::string ExercisePicture(const std::uint8_t* data, std::size_t size)
{
    platform::Bitmap target(64, 48);
    platform::Canvas& canvas = target.GetCanvas();
    std::string fault = ExerciseGif(data, size, canvas);
    if (fault.empty())
        fault = ExercisePng(data, size, canvas);
    if (fault.empty())
        fault = ExerciseLoader(data, size, canvas);
    return fault;
}

}  // namespace vexatest
