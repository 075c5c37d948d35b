#pragma once
// The storage behind platform::Bitmap, shared by the graphics sources of the platform.

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/qt/graphics_private.h"

namespace platform {

namespace bitmap_detail {

// The 16 colours of the VGA palette, as colour references.
inline const TColor kVgaPalette[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

inline int EntriesOf(PixelFormat f)
{
    switch (f) {
    case PixelFormat::pf1bit:
        return 2;
    case PixelFormat::pf4bit:
        return 16;
    case PixelFormat::pf8bit:
        return 256;
    default:
        return 0;
    }
}

inline std::vector<TColor> DefaultPalette(PixelFormat f)
{
    std::vector<TColor> pal(EntriesOf(f), clBlack);
    if (f == PixelFormat::pf1bit) {
        pal[1] = clWhite;
    } else if (!pal.empty()) {
        std::copy(std::begin(kVgaPalette), std::end(kVgaPalette), pal.begin());
    }
    return pal;
}

inline int DibRowBytes(int width, int bits)
{
    return int(((std::int64_t(width) * bits + 31) / 32) * 4);
}

inline int ColourDistance(TColor a, TColor b)
{
    const int dr = GetRValue(a) - GetRValue(b);
    const int dg = GetGValue(a) - GetGValue(b);
    const int db = GetBValue(a) - GetBValue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace bitmap_detail

using namespace bitmap_detail;

struct Bitmap::Impl
{
    PixelFormat format = PixelFormat::pf32bit;
    int width = 0;
    int height = 0;
    QImage image;                     // 1, 8, 24, 32 bits
    std::vector<std::uint8_t> packed; // 4 bits: DIB rows
    std::vector<TColor> palette4;     // 4 bits: 16 entries
    QImage view4;                     // 4 bits: an 8-bit copy for drawing
    bool transparent = false;
    TColor transparentColour = clDefault;
    std::unique_ptr<Canvas> canvas;

    int RowBytes() const { return DibRowBytes(width, int(format)); }

    void Allocate(int w, int h, PixelFormat f, const std::vector<TColor>* pal)
    {
        CheckBitmapSize(w, h);
        const std::vector<TColor> palette = pal ? *pal : DefaultPalette(f);
        format = f;
        width = w;
        height = h;
        image = QImage();
        packed.clear();
        palette4.clear();
        view4 = QImage();
        if (w == 0 || h == 0) {
            if (f == PixelFormat::pf4bit)
                palette4 = palette;
            pendingPalette = palette;
            return;
        }
        pendingPalette.clear();
        switch (f) {
        case PixelFormat::pf1bit:
            image = QImage(w, h, QImage::Format_Mono);
            break;
        case PixelFormat::pf8bit:
            image = QImage(w, h, QImage::Format_Indexed8);
            break;
        case PixelFormat::pf24bit:
            image = QImage(w, h, QImage::Format_BGR888);
            break;
        case PixelFormat::pf32bit:
            image = QImage(w, h, QImage::Format_RGB32);
            break;
        case PixelFormat::pf4bit:
            packed.assign(std::size_t(RowBytes()) * h, 0);
            palette4 = palette;
            return;
        }
        if (image.isNull())
            throw EOutOfResources("Out of Resources");
        if (f == PixelFormat::pf1bit || f == PixelFormat::pf8bit) {
            QVector<QRgb> table;
            for (TColor c : palette)
                table.push_back(ToQRgb(c));
            image.setColorTable(table);
        }
        image.fill(0);
    }

    // Palette of a 0-sized palette bitmap (no QImage to hold it).
    std::vector<TColor> pendingPalette;

    std::vector<TColor> GetPalette() const
    {
        if (format == PixelFormat::pf4bit)
            return palette4;
        if (format != PixelFormat::pf1bit && format != PixelFormat::pf8bit)
            return {};
        if (image.isNull())
            return pendingPalette;
        std::vector<TColor> pal;
        for (QRgb c : image.colorTable())
            pal.push_back(FromQRgb(c));
        pal.resize(EntriesOf(format), clBlack);
        return pal;
    }

    int NearestIndex(TColor c) const
    {
        const std::vector<TColor> pal = GetPalette();
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < int(pal.size()); ++i) {
            const int dist = ColourDistance(pal[i], c);
            if (dist < bestDistance) {
                bestDistance = dist;
                best = i;
                if (dist == 0)
                    break;
            }
        }
        return best;
    }

    std::uint8_t* Row(int y)
    {
        if (format == PixelFormat::pf4bit)
            return packed.data() + std::size_t(RowBytes()) * y;
        return image.scanLine(y);
    }
    const std::uint8_t* Row(int y) const
    {
        if (format == PixelFormat::pf4bit)
            return packed.data() + std::size_t(RowBytes()) * y;
        return image.constScanLine(y);
    }

    int IndexAt(int x, int y) const
    {
        const std::uint8_t* row = Row(y);
        switch (format) {
        case PixelFormat::pf1bit:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case PixelFormat::pf4bit:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case PixelFormat::pf8bit:
            return row[x];
        default:
            return 0;
        }
    }

    void SetIndex(int x, int y, int index)
    {
        std::uint8_t* row = Row(y);
        switch (format) {
        case PixelFormat::pf1bit:
            if (index & 1)
                row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
            else
                row[x >> 3] &= std::uint8_t(~(0x80 >> (x & 7)));
            break;
        case PixelFormat::pf4bit:
            if (x & 1)
                row[x >> 1] = std::uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F));
            else
                row[x >> 1] = std::uint8_t((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
            break;
        case PixelFormat::pf8bit:
            row[x] = std::uint8_t(index);
            break;
        default:
            break;
        }
    }

    TColor PixelAt(int x, int y) const
    {
        const std::uint8_t* row = Row(y);
        switch (format) {
        case PixelFormat::pf24bit:
            return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        case PixelFormat::pf32bit:
            return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
        case PixelFormat::pf4bit: {
            const int i = IndexAt(x, y);
            return i < int(palette4.size()) ? palette4[i] : clBlack;
        }
        default: {
            const int i = IndexAt(x, y);
            return i < image.colorCount() ? FromQRgb(image.color(i)) : clBlack;
        }
        }
    }

    void SetPixelAt(int x, int y, TColor c)
    {
        std::uint8_t* row = Row(y);
        switch (format) {
        case PixelFormat::pf24bit:
            row[x * 3] = std::uint8_t(GetBValue(c));
            row[x * 3 + 1] = std::uint8_t(GetGValue(c));
            row[x * 3 + 2] = std::uint8_t(GetRValue(c));
            break;
        case PixelFormat::pf32bit:
            reinterpret_cast<QRgb*>(row)[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
            break;
        default:
            SetIndex(x, y, NearestIndex(c));
            break;
        }
    }
};

} // namespace platform
