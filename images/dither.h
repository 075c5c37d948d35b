#pragma once
// Colour reduction for palette displays: 24-bit pictures are mapped to an 8-bit palette picture by
// Floyd-Steinberg error diffusion, row by row in alternating directions, with a cached nearest-colour
// lookup.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/exception.h"
#include "platform/types.h"

// The error of this unit.
class GIFException : public platform::EInvalidGraphicOperation {
public:
    explicit GIFException(const std::string& message) : platform::EInvalidGraphicOperation(message) {}
};

// The 20 static colours of the system's default palette (entries 0-9 and 10-19 = system 246-255).
const std::vector<platform::TColor>& DefaultPalette20();
// The shared 256-entry palette for 8-bit displays: the system colours at 0-9 and 246-255, the 6 x 6 x 6
// colour cube (without white) at 10-224, greys at 225-245, and entry 245 almost white.
const std::vector<platform::TColor>& SharedPalette();

class TDIB {
public:
    TDIB(platform::Bitmap& bitmap, platform::PixelFormat format) : FBitmap(bitmap), FFormat(format) {}
    virtual ~TDIB() = default;
    platform::PixelFormat Format() const { return FFormat; }

protected:
    platform::Bitmap& FBitmap;
    platform::PixelFormat FFormat;
};

// The source side: the bitmap is converted to 24 bits per pixel in place; rows are blue, green, red.
class TDIBReader : public TDIB {
public:
    explicit TDIBReader(platform::Bitmap& bitmap);
    const std::uint8_t* ScanLine(int row) const { return FBitmap.ScanLine(row); }
};

// The target side: 8-bit rows of the target bitmap.
class TDIBWriter : public TDIB {
public:
    TDIBWriter(platform::Bitmap& bitmap, platform::PixelFormat format);
    std::uint8_t* ScanLine(int row);
};

class TColorLookup {
public:
    explicit TColorLookup(int colors) : FColors(colors) {}
    virtual ~TColorLookup() = default;
    int Colors() const { return FColors; }
    // Maps a colour to a palette index and gives the entry's colour.
    virtual int Lookup(int red, int green, int blue, int& r, int& g, int& b) = 0;

protected:
    int FColors;
};

class TFastColorLookup : public TColorLookup {
public:
    explicit TFastColorLookup(const std::vector<platform::TColor>& palette);
    int Lookup(int red, int green, int blue, int& r, int& g, int& b) override;
    static int Key(int red, int green, int blue) { return (red >> 3) + 32 * (green >> 3) + 1024 * (blue >> 3); }

private:
    struct Entry {
        std::uint8_t Red, Green, Blue, Flags;
    };
    std::array<Entry, 256> FPalette{};
    std::vector<std::int16_t> FInverse;  // 32768 entries, -1 = not yet known
};

class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup);
    virtual ~TDitherEngine() = default;
    // Maps one pixel; the column moves by the direction.
    virtual int Dither(int red, int green, int blue, int& r, int& g, int& b);
    // Reverses the direction; the column goes to the start of the new direction.
    virtual void NextLine();
    int Direction() const { return FDirection; }
    int Column() const { return FColumn; }
    int Width() const { return FWidth; }

protected:
    TColorLookup& FLookup;
    int FWidth;
    int FDirection = 1;
    int FColumn = 0;
};

class TFloydSteinbergEngine : public TDitherEngine {
public:
    TFloydSteinbergEngine(int width, TColorLookup& lookup);
    int Dither(int red, int green, int blue, int& r, int& g, int& b) override;
    void NextLine() override;

private:
    struct Channel {
        std::vector<int> Errors;  // width + 2 entries; column x at x + 1
        int Current = 0;
        int Below = 0;
        int BelowPrev = 0;
    };
    Channel FChannels[3];
    int FPosition = 0;
};

// The reduction of a picture to an 8-bit picture of the palette. The source becomes 24 bits per pixel.
std::unique_ptr<platform::Bitmap> ReduceToPalette(platform::Bitmap& source,
                                                  const std::vector<platform::TColor>& palette);
// What the image cache calls on palette displays: none for a missing or empty picture; the default 20
// colours on displays below 8 bits per pixel, the shared palette on 8-bit ones.
std::unique_ptr<platform::Bitmap> ReduceBitmap(platform::Bitmap* source);
