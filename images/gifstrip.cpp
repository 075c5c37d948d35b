// Composing the decoded GIF images into the frame strip and its transparency mask.

#include <algorithm>
#include <cstring>

#include "images/gifdecoder.h"

TGifStripData TGif::BuildStripData() const
{
    TGifStripData s;
    const int count = ImageCount();
    const int sw = FScreenWidth;
    const int sh = FScreenHeight;
    if (count == 0 || sw <= 0 || sh <= 0)
        GifError(gifNoImage);
    const bool masked = HasTransparency();
    const std::int64_t stride = (std::int64_t(sw) * 3 * count + 3) / 4 * 4;
    const std::int64_t total = stride * sh + 54;
    if (total > MaxStripBytes || (masked && total > MaxMaskedStripBytes))
        GifError(gifTooLarge);

    s.Width = sw * count;
    s.Height = sh;
    s.Stride = int(stride);
    s.Bits.assign(size_t(stride * sh), 0);
    s.HasMask = masked;
    if (masked)
        s.Mask.assign(size_t(std::int64_t(s.Width) * sh), 255);
    const size_t maskStride = size_t(s.Width);

    for (int i = 0; i < count; ++i) {
        const TGifImageRecord& img = FImages[size_t(i)];
        const TGifColorTable& table = FTables[size_t(img.ColorTableIndex)];
        const int trans = ImageTransparentIndex(i);
        const int slot = i * sw;
        // Frames are clipped to the logical screen, which is their own slot of the strip.
        const int rows = img.Top < sh ? std::min(img.Height, sh - img.Top) : 0;
        const int cols = img.Left < sw ? std::min(img.Width, sw - img.Left) : 0;
        for (int r = 0; r < rows; ++r) {
            const std::uint8_t* src = img.Pixels.data() + size_t(r) * size_t(img.Width);
            const int y = img.Top + r;
            std::uint8_t* dst = s.Bits.data() + size_t(y) * size_t(stride) + size_t(slot + img.Left) * 3;
            std::uint8_t* m = masked ? s.Mask.data() + size_t(y) * maskStride + size_t(slot + img.Left) : nullptr;
            for (int c = 0; c < cols; ++c, dst += 3) {
                const int index = src[c];
                if (index == trans) {
                    if (i == 0) {
                        dst[0] = dst[1] = dst[2] = 0;
                        if (m)
                            m[c] = 255;
                    }
                    continue;
                }
                const std::uint32_t colour = table.Colors[size_t(index)];
                dst[0] = std::uint8_t(colour >> 16);
                dst[1] = std::uint8_t(colour >> 8);
                dst[2] = std::uint8_t(colour);
                if (m)
                    m[c] = 0;
            }
        }
        if (i + 1 >= count)
            break;
        // The next frame starts from this one.
        for (int y = 0; y < sh; ++y) {
            std::uint8_t* row = s.Bits.data() + size_t(y) * size_t(stride);
            std::memcpy(row + size_t(slot + sw) * 3, row + size_t(slot) * 3, size_t(sw) * 3);
            if (masked) {
                std::uint8_t* mrow = s.Mask.data() + size_t(y) * maskStride;
                std::memcpy(mrow + slot + sw, mrow + slot, size_t(sw));
            }
        }
        const int disposal = ImageDisposal(i);
        if (masked && (disposal == 2 || disposal == 3)) {
            for (int r = 0; r < rows; ++r) {
                std::uint8_t* mrow = s.Mask.data() + size_t(img.Top + r) * maskStride + size_t(slot + sw + img.Left);
                std::memset(mrow, 255, size_t(cols));
            }
        }
    }
    return s;
}

namespace {

// Columns x0 .. x0 + width - 1 of the strip data as a 24-bit picture and, when the strip has one, a mask.
void CutColumns(const TGifStripData& s, int x0, int width, platform::Bitmap& picture, platform::Bitmap& mask)
{
    picture = platform::Bitmap(width, s.Height, platform::PixelFormat::pf24bit);
    for (int y = 0; y < s.Height; ++y)
        std::memcpy(picture.ScanLine(y), s.Bits.data() + size_t(y) * size_t(s.Stride) + size_t(x0) * 3,
                    size_t(width) * 3);
    if (!s.HasMask) {
        mask = platform::Bitmap();
        return;
    }
    platform::Bitmap m(width, s.Height, platform::PixelFormat::pf1bit);
    m.SetPalette({platform::clBlack, platform::clWhite});
    for (int y = 0; y < s.Height; ++y) {
        std::uint8_t* line = m.ScanLine(y);
        std::memset(line, 0, size_t(m.BytesPerLine()));
        const std::uint8_t* src = s.Mask.data() + size_t(y) * size_t(s.Width) + size_t(x0);
        for (int x = 0; x < width; ++x)
            if (src[x])
                line[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
    }
    mask = std::move(m);
}

}  // namespace

platform::Bitmap TGif::BuildStrip(platform::Bitmap& mask) const
{
    TGifStripData s = BuildStripData();
    platform::Bitmap strip;
    CutColumns(s, 0, s.Width, strip, mask);
    return strip;
}

std::vector<TGif::FrameBitmap> TGif::BuildFrameBitmaps() const
{
    TGifStripData s = BuildStripData();
    std::vector<FrameBitmap> frames(static_cast<size_t>(ImageCount()));
    for (int i = 0; i < ImageCount(); ++i)
        CutColumns(s, i * FScreenWidth, FScreenWidth, frames[size_t(i)].Picture, frames[size_t(i)].Mask);
    return frames;
}
