// Floyd-Steinberg colour reduction to a fixed palette.

#include "images/dither.h"

#include <algorithm>
#include <cstdlib>

#include "platform/sysvalues.h"

using platform::Bitmap;
using platform::TColor;

const std::vector<TColor>& DefaultPalette20()
{
    static const std::vector<TColor> palette = {
        platform::RGB(0x00, 0x00, 0x00), platform::RGB(0x80, 0x00, 0x00), platform::RGB(0x00, 0x80, 0x00),
        platform::RGB(0x80, 0x80, 0x00), platform::RGB(0x00, 0x00, 0x80), platform::RGB(0x80, 0x00, 0x80),
        platform::RGB(0x00, 0x80, 0x80), platform::RGB(0xC0, 0xC0, 0xC0), platform::RGB(0xC0, 0xDC, 0xC0),
        platform::RGB(0xA6, 0xCA, 0xF0), platform::RGB(0xFF, 0xFB, 0xF0), platform::RGB(0xA0, 0xA0, 0xA4),
        platform::RGB(0x80, 0x80, 0x80), platform::RGB(0xFF, 0x00, 0x00), platform::RGB(0x00, 0xFF, 0x00),
        platform::RGB(0xFF, 0xFF, 0x00), platform::RGB(0x00, 0x00, 0xFF), platform::RGB(0xFF, 0x00, 0xFF),
        platform::RGB(0x00, 0xFF, 0xFF), platform::RGB(0xFF, 0xFF, 0xFF),
    };
    return palette;
}

const std::vector<TColor>& SharedPalette()
{
    static const std::vector<TColor> palette = [] {
        std::vector<TColor> p(256, 0);
        const std::vector<TColor>& sys = DefaultPalette20();
        for (int i = 0; i < 10; ++i) {
            p[size_t(i)] = sys[size_t(i)];
            p[size_t(246 + i)] = sys[size_t(10 + i)];
        }
        static const int levels[6] = {55, 115, 165, 205, 235, 255};
        int n = 10;
        for (int b = 0; b < 6; ++b)
            for (int g = 0; g < 6; ++g)
                for (int r = 0; r < 6; ++r) {
                    if (r == 5 && g == 5 && b == 5)
                        continue;
                    p[size_t(n++)] = platform::RGB(levels[r], levels[g], levels[b]);
                }
        static const int greys[21] = {135, 140, 145, 150, 155, 160, 170, 175, 180, 185, 190,
                                      195, 200, 210, 215, 220, 225, 230, 240, 245, 250};
        for (int i = 0; i < 21; ++i)
            p[size_t(225 + i)] = platform::RGB(greys[i], greys[i], greys[i]);
        p[245] = platform::RGB(255, 255, 254);
        return p;
    }();
    return palette;
}

TDIBReader::TDIBReader(Bitmap& bitmap) : TDIB(bitmap, platform::PixelFormat::pf24bit)
{
    if (bitmap.Format() != platform::PixelFormat::pf24bit)
        bitmap.SetFormat(platform::PixelFormat::pf24bit);
}

TDIBWriter::TDIBWriter(Bitmap& bitmap, platform::PixelFormat format) : TDIB(bitmap, format)
{
    if (bitmap.Empty())
        throw GIFException("Bitmap image is not valid");
}

std::uint8_t* TDIBWriter::ScanLine(int row)
{
    if (row < 0 || row >= FBitmap.Height())
        throw platform::EInvalidGraphicOperation("Scan line index out of range");
    return FBitmap.ScanLine(row);
}

TFastColorLookup::TFastColorLookup(const std::vector<TColor>& palette)
    : TColorLookup(int(std::min<size_t>(palette.size(), 256))), FInverse(32768, -1)
{
    for (int i = 0; i < FColors; ++i) {
        TColor c = palette[size_t(i)];
        FPalette[size_t(i)] = {std::uint8_t(platform::GetRValue(c)), std::uint8_t(platform::GetGValue(c)),
                               std::uint8_t(platform::GetBValue(c)), 0};
    }
    // The first entry with a key owns it.
    for (int i = 0; i < FColors; ++i) {
        const Entry& e = FPalette[size_t(i)];
        std::int16_t& slot = FInverse[size_t(Key(e.Red, e.Green, e.Blue))];
        if (slot < 0)
            slot = std::int16_t(i);
    }
}

int TFastColorLookup::Lookup(int red, int green, int blue, int& r, int& g, int& b)
{
    if (FColors == 0) {
        r = g = b = 0;
        return 0;
    }
    std::int16_t& slot = FInverse[size_t(Key(red, green, blue))];
    if (slot < 0) {
        int best = 196608;
        int bestIndex = 0;
        for (int i = 0; i < FColors; ++i) {
            const Entry& e = FPalette[size_t(i)];
            int d = std::abs(e.Red - red) + std::abs(e.Green - green) + std::abs(e.Blue - blue);
            if (d < best) {
                best = d;
                bestIndex = i;
            }
        }
        slot = std::int16_t(bestIndex);
    }
    const Entry& e = FPalette[size_t(slot)];
    r = e.Red;
    g = e.Green;
    b = e.Blue;
    return slot;
}

TDitherEngine::TDitherEngine(int width, TColorLookup& lookup) : FLookup(lookup), FWidth(width) {}

int TDitherEngine::Dither(int red, int green, int blue, int& r, int& g, int& b)
{
    int index = FLookup.Lookup(red, green, blue, r, g, b);
    FColumn += FDirection;
    return index;
}

void TDitherEngine::NextLine()
{
    FDirection = -FDirection;
    FColumn = FDirection == 1 ? 0 : FWidth - 1;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int width, TColorLookup& lookup) : TDitherEngine(width, lookup)
{
    for (Channel& c : FChannels)
        c.Errors.assign(size_t(width) + 2, 0);
}

int TFloydSteinbergEngine::Dither(int red, int green, int blue, int& r, int& g, int& b)
{
    const int d = FDirection;
    const int v[3] = {red, green, blue};
    int t[3];
    for (int k = 0; k < 3; ++k) {
        Channel& c = FChannels[k];
        // Errors are in sixteenths; the division truncates toward zero.
        t[k] = std::clamp(v[k] + (c.Errors[size_t(FPosition + d)] + c.Current + 8) / 16, 0, 255);
    }
    int index = TDitherEngine::Dither(t[0], t[1], t[2], r, g, b);
    const int got[3] = {r, g, b};
    for (int k = 0; k < 3; ++k) {
        Channel& c = FChannels[k];
        const int e = t[k] - got[k];
        c.Errors[size_t(FPosition)] = c.BelowPrev + 3 * e;
        c.BelowPrev = c.Below + 5 * e;
        c.Below = e;
        c.Current = 7 * e;
    }
    FPosition += d;
    return index;
}

void TFloydSteinbergEngine::NextLine()
{
    for (Channel& c : FChannels) {
        c.Errors[size_t(FPosition)] = c.BelowPrev;
        c.Current = c.Below = c.BelowPrev = 0;
    }
    TDitherEngine::NextLine();
    FPosition = FDirection == 1 ? 0 : FWidth + 1;
}

std::unique_ptr<Bitmap> ReduceToPalette(Bitmap& source, const std::vector<TColor>& palette)
{
    const int width = source.Width();
    const int height = source.Height();
    auto result = std::make_unique<Bitmap>(width, height, platform::PixelFormat::pf8bit);
    TDIBReader reader(source);
    result->SetPalette(palette);
    if (palette.empty()) {
        for (int y = 0; y < height; ++y)
            std::fill_n(result->ScanLine(y), width, std::uint8_t(0));
        return result;
    }
    TFastColorLookup lookup(palette);
    TFloydSteinbergEngine engine(width, lookup);
    TDIBWriter writer(*result, platform::PixelFormat::pf8bit);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = reader.ScanLine(y);
        std::uint8_t* dst = writer.ScanLine(y);
        int r, g, b;
        for (int x = engine.Column(); x >= 0 && x < width; x = engine.Column()) {
            const std::uint8_t* p = src + size_t(x) * 3;
            dst[x] = std::uint8_t(engine.Dither(p[2], p[1], p[0], r, g, b));
        }
        engine.NextLine();
    }
    return result;
}

std::unique_ptr<Bitmap> ReduceBitmap(Bitmap* source)
{
    if (!source || source->Empty())
        return nullptr;
    // A device bitmap has no pixel format of its own to reduce.
    if (source->Format() == platform::pfDevice)
        return std::make_unique<Bitmap>(*source);
    const bool below8 = platform::SysValues().ColorDepth < 8;
    return ReduceToPalette(*source, below8 ? DefaultPalette20() : SharedPalette());
}
