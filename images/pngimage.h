#pragma once
// The PNG picture: reads a PNG stream (chunk framing with CRC-32, zlib-compressed image data, the five
// scan-line filters, Adam7 interlacing) into a picture of 1, 4, 8 or 24 bits per pixel with a palette
// where one applies. Alpha channels are dropped; of all transparency information only a truecolour
// picture's single transparent colour survives.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/pngchunks.h"
#include "platform/bitmap.h"

// Decoded rows: row 0 at the top, Stride bytes each (a multiple of 4), laid out like the bitmap rows of
// the same pixel format (1 and 4 bits packed from the high bits, 24 bits blue, green, red).
struct TPNGPixels {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int Stride = 0;
    std::vector<std::uint8_t> Bits;
    std::vector<platform::TColor> Palette;  // 2^BitsPerPixel entries for 1, 4 and 8 bits
    bool Transparent = false;
    platform::TColor TransparentColor = 0;
    const std::uint8_t* Row(int y) const { return Bits.data() + size_t(y) * size_t(Stride); }
    std::uint8_t* Row(int y) { return Bits.data() + size_t(y) * size_t(Stride); }
};

class TPNGImage {
public:
    TPNGImage();
    TPNGImage(const TPNGImage&) = delete;
    TPNGImage& operator=(const TPNGImage&) = delete;

    // Replaces the picture with the PNG read from data; raises EPNGImageException on failure.
    void LoadFromStream(const std::uint8_t* data, std::size_t size);
    void LoadFromStream(const std::vector<std::uint8_t>& data) { LoadFromStream(data.data(), data.size()); }
    // Copies the chunks (same classes, same data), the encode filters, the interlacing flag and the
    // pixels of another picture.
    void Assign(const TPNGImage& source);

    TChunkList& Chunks() { return FChunks; }
    const TChunkList& Chunks() const { return FChunks; }
    const TPNGPixels& Pixels() const { return FPixels; }
    int Width() const { return FPixels.Width; }
    int Height() const { return FPixels.Height; }
    bool Interlacing() const { return FInterlacing; }
    std::uint8_t EncodeFilters() const { return FEncodeFilters; }

    // The picture as a platform bitmap of the same pixel format, palette and transparent colour.
    platform::Bitmap ToBitmap() const;

    // Limits beyond which a picture counts as broken.
    static constexpr int MaxSide = platform::MaxBitmapSide;
    static constexpr std::int64_t MaxPixels = platform::MaxBitmapPixels;

private:
    friend class TChunkIDAT;
    void DecodeImage(const std::vector<std::uint8_t>& compressed);

    TChunkList FChunks;
    TPNGPixels FPixels;
    bool FInterlacing = false;
    std::uint8_t FEncodeFilters = 1;
};
