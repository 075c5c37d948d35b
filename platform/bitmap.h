#pragma once
// Bitmaps with DIB-compatible rows: 1, 4 and 8 bits per pixel with a palette, 24 bits (stored blue,
// green, red) and 32 bits (B, G, R, unused), rows padded to 4 bytes, row 0 at the top.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types.h"

namespace platform {

class Canvas;

enum class PixelFormat
{
    pf1bit = 1,
    pf4bit = 4,
    pf8bit = 8,
    pf24bit = 24,
    pf32bit = 32
};
constexpr PixelFormat pfDevice = PixelFormat::pf32bit;

// Largest bitmap we allocate: a side of more than 16,384 pixels or more than 64 M pixels raises
// EOutOfResources ("Out of Resources") before anything is allocated.
constexpr int MaxBitmapSide = 16384;
constexpr std::int64_t MaxBitmapPixels = 64LL * 1024 * 1024;
// Throws EOutOfResources when a bitmap of this size may not be made.
void CheckBitmapSize(int width, int height);

// clDefault as a transparent colour: the pixel at (0, Height - 1).
constexpr TColor clDefault = 0x20000000;

class Bitmap
{
public:
    Bitmap(); // 0 x 0, 32 bits
    Bitmap(int width, int height, PixelFormat format = PixelFormat::pf32bit);
    ~Bitmap();
    Bitmap(const Bitmap& other); // a deep copy (the canvas is not copied)
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;

    int Width() const;
    int Height() const;
    bool Empty() const { return Width() == 0 || Height() == 0; }
    PixelFormat Format() const;
    int BitsPerPixel() const { return int(Format()); }
    bool Monochrome() const { return Format() == PixelFormat::pf1bit; }

    // New size; pixels keep their place where the old and new areas overlap, new pixels are black
    // (palette index 0).
    void SetSize(int width, int height);
    // Converts the pixels; to a palette format they map to the nearest palette entry.
    void SetFormat(PixelFormat format);

    // Rows are BytesPerLine() bytes (a multiple of 4); row 0 is the top row. Raises
    // EInvalidGraphicOperation "Scan line index out of range" outside 0..Height-1.
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    int BytesPerLine() const;

    // Palette of the 1, 4 and 8-bit formats (2, 16, 256 entries; TColor values). A new 1-bit bitmap has
    // [black, white]; 4 and 8-bit ones have the 16-colour VGA palette followed by black entries.
    // SetPalette keeps the entry count of the format; missing entries become black.
    std::vector<TColor> Palette() const;
    void SetPalette(const std::vector<TColor>& colours);
    int PaletteSize() const;

    // Colour of one pixel (palette entries resolved); clNone outside the bitmap.
    TColor Pixel(int x, int y) const;
    // Sets one pixel; palette formats take the nearest entry. Outside the bitmap: nothing.
    void SetPixel(int x, int y, TColor colour);
    void Fill(TColor colour);

    // Transparency: clDefault means the pixel at (0, Height - 1).
    bool Transparent() const;
    void SetTransparent(bool value);
    TColor TransparentColor() const; // resolved: never clDefault
    void SetTransparentColor(TColor colour);

    // A 1-bit mask of the same size: pixels exactly equal (24 bits) to colour are 1 (white, transparent),
    // all others 0 (black, opaque).
    Bitmap Mask(TColor colour) const;

    // Reads a BMP file (1, 4, 8, 16, 24, 32 bits). 1, 4 and 8-bit files keep their format and palette,
    // the others become 24 bits. Invalid data raises EInvalidGraphicOperation; oversized pictures
    // EOutOfResources.
    void LoadFromBMP(const std::uint8_t* data, std::size_t size);
    static bool IsBMP(const std::uint8_t* data, std::size_t size);

    // The canvas drawing on this bitmap, made on first use and owned by the bitmap.
    Canvas& GetCanvas();

    struct Impl;
    Impl& Data() const { return *d; }

private:
    std::unique_ptr<Impl> d;
};

} // namespace platform
