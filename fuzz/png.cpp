// libFuzzer target: the PNG decoder, its bitmap, the image loader's transparent-colour probe and the
// loader itself over arbitrary bytes. Only the decoder's own exception may come out of the decoder.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "images/pngimage.h"
#include "images/imageload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TPNGImage png;
    try {
        png.LoadFromStream(data, size);
        const TPNGPixels& p = png.Pixels();
        if (p.Width <= 0 || p.Height <= 0 || p.Bits.size() != std::size_t(p.Stride) * std::size_t(p.Height))
            std::abort();
        platform::Bitmap b = png.ToBitmap();
        if (b.Width() != p.Width || b.Height() != p.Height)
            std::abort();
    } catch (const EPNGImageException&) {
    }
    platform::TColor colour = 0;
    GetPNGTransparentColor(data, size, colour);
    TTranspType transp = NotTransp;
    std::unique_ptr<platform::Bitmap> mask;
    auto bitmap = LoadImageFromStream(data, size, transp, mask);
    if (bitmap && mask && (mask->Width() != bitmap->Width() || mask->Height() != bitmap->Height()))
        std::abort();
    return 0;
}
