// libFuzzer target: the GIF decoder over arbitrary bytes, the strip it composes, and the animated
// picture built from it. Checks the strip's geometry against the decoder's answers.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "images/gifdecoder.h"
#include "images/gifimage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TGif gif;
    try {
        gif.LoadFromStream(data, size);
    } catch (const EGifError&) {
        return 0;
    }
    if (gif.ImageCount() < 1 || gif.ScreenWidth() <= 0 || gif.ScreenHeight() <= 0)
        std::abort();
    for (int i = 0; i < gif.ImageCount(); ++i) {
        if (gif.ImageDelay(i) < 1 || gif.ImageDisposal(i) < 0 || gif.ImageDisposal(i) > 3)
            std::abort();
        if (gif.Image(i).Pixels.size() != std::size_t(gif.ImageWidth(i)) * std::size_t(gif.ImageHeight(i)))
            std::abort();
    }
    try {
        TGifStripData s = gif.BuildStripData();
        if (s.Width != gif.ScreenWidth() * gif.ImageCount() || s.Height != gif.ScreenHeight() ||
            s.Bits.size() != std::size_t(s.Stride) * std::size_t(s.Height))
            std::abort();
    } catch (const EGifError&) {
    }
    bool still = false;
    auto img = TGIFImage::CreateFromStream(data, size, still);
    if (img) {
        img->SetAnimateAt(true, 0);
        for (std::uint32_t t = 0; t < 10; ++t)
            img->StepAt(t * 1000, nullptr);
        img->StillBitmap();
        img->StillMask();
    }
    return 0;
}
