// Bitmaps: DIB-compatible rows over QImage (1, 8, 24, 32 bits) or our own packed rows (4 bits).

#include "platform/bitmap.h"

#include <QImage>

#include <algorithm>
#include <cstring>

#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/qt/bitmap_private.h"
#include "platform/qt/canvas_private.h"
#include "platform/qt/graphics_private.h"

namespace platform {

void CheckBitmapSize(int width, int height)
{
    if (width < 0 || height < 0 || width > MaxBitmapSide || height > MaxBitmapSide ||
        std::int64_t(width) * height > MaxBitmapPixels)
        throw EOutOfResources("Out of Resources");
}

QRgb ToQRgb(TColor colour)
{
    const TColor c = ColorToRGB(colour);
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQRgb(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// ---------------------------------------------------------------------------------------------

Bitmap::Bitmap() : d(std::make_unique<Impl>()) {}

Bitmap::Bitmap(int width, int height, PixelFormat format) : d(std::make_unique<Impl>())
{
    d->Allocate(width, height, format, nullptr);
}

Bitmap::~Bitmap() = default;

Bitmap::Bitmap(const Bitmap& other) : d(std::make_unique<Impl>())
{
    *this = other;
}

Bitmap& Bitmap::operator=(const Bitmap& other)
{
    if (this == &other)
        return *this;
    d->format = other.d->format;
    d->width = other.d->width;
    d->height = other.d->height;
    d->image = other.d->image.copy(); // a deep copy: painting one never shows in the other
    d->packed = other.d->packed;
    d->palette4 = other.d->palette4;
    d->pendingPalette = other.d->pendingPalette;
    d->view4 = QImage();
    d->transparent = other.d->transparent;
    d->transparentColour = other.d->transparentColour;
    return *this;
}

// A bitmap's own canvas stays with the bitmap object (callers hold references to it) while the pixels
// move; these re-attach the canvases after the implementations changed hands.
static void Rebind(Bitmap& bitmap)
{
    Bitmap::Impl& d = bitmap.Data();
    if (!d.canvas)
        return;
    d.canvas->Data().bitmap = &bitmap;
    d.canvas->Data().target = &d;
}

Bitmap::Bitmap(Bitmap&& other) noexcept : d(std::move(other.d))
{
    other.d = std::make_unique<Impl>();
    other.d->canvas = std::move(d->canvas);
    Rebind(other);
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept
{
    if (this == &other)
        return *this;
    std::unique_ptr<Canvas> mine = std::move(d->canvas);
    std::unique_ptr<Canvas> theirs = std::move(other.d->canvas);
    std::swap(d, other.d);
    d->canvas = std::move(mine);
    other.d->canvas = std::move(theirs);
    Rebind(*this);
    Rebind(other);
    return *this;
}

int Bitmap::Width() const
{
    return d->width;
}
int Bitmap::Height() const
{
    return d->height;
}
PixelFormat Bitmap::Format() const
{
    return d->format;
}

void Bitmap::SetSize(int width, int height)
{
    if (width == d->width && height == d->height)
        return;
    CheckBitmapSize(width, height);
    Impl old;
    old.format = d->format;
    old.width = d->width;
    old.height = d->height;
    old.image = d->image;
    old.packed = std::move(d->packed);
    old.palette4 = d->palette4;
    const std::vector<TColor> pal = d->GetPalette();
    d->Allocate(width, height, d->format, pal.empty() ? nullptr : &pal);
    const int w = std::min(width, old.width);
    const int h = std::min(height, old.height);
    if (w <= 0 || h <= 0)
        return;
    const int bytes = std::min(old.RowBytes(), d->RowBytes());
    for (int y = 0; y < h; ++y) {
        if (d->format == PixelFormat::pf1bit || d->format == PixelFormat::pf4bit) {
            for (int x = 0; x < w; ++x)
                d->SetIndex(x, y, old.IndexAt(x, y));
        } else {
            std::memcpy(d->Row(y), old.Row(y), std::size_t(std::min(bytes, w * (int(d->format) / 8))));
        }
    }
}

void Bitmap::SetFormat(PixelFormat format)
{
    if (format == d->format)
        return;
    Impl old;
    old.format = d->format;
    old.width = d->width;
    old.height = d->height;
    old.image = d->image;
    old.packed = std::move(d->packed);
    old.palette4 = d->palette4;
    d->Allocate(d->width, d->height, format, nullptr);
    for (int y = 0; y < d->height; ++y)
        for (int x = 0; x < d->width; ++x)
            d->SetPixelAt(x, y, old.PixelAt(x, y));
}

std::uint8_t* Bitmap::ScanLine(int row)
{
    if (row < 0 || row >= d->height || d->width == 0)
        throw EInvalidGraphicOperation("Scan line index out of range");
    d->view4 = QImage();
    return d->Row(row);
}

const std::uint8_t* Bitmap::ScanLine(int row) const
{
    if (row < 0 || row >= d->height || d->width == 0)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return d->Row(row);
}

int Bitmap::BytesPerLine() const
{
    return d->RowBytes();
}

std::vector<TColor> Bitmap::Palette() const
{
    return d->GetPalette();
}

int Bitmap::PaletteSize() const
{
    return EntriesOf(d->format);
}

void Bitmap::SetPalette(const std::vector<TColor>& colours)
{
    const int n = EntriesOf(d->format);
    if (n == 0)
        return;
    std::vector<TColor> pal(colours.begin(), colours.begin() + std::min<std::size_t>(colours.size(), n));
    pal.resize(n, clBlack);
    for (TColor& c : pal)
        c = ColorToRGB(c) & 0xFFFFFF;
    if (d->format == PixelFormat::pf4bit) {
        d->palette4 = pal;
        d->view4 = QImage();
    } else if (d->image.isNull()) {
        d->pendingPalette = pal;
    } else {
        QVector<QRgb> table;
        for (TColor c : pal)
            table.push_back(ToQRgb(c));
        d->image.setColorTable(table);
    }
}

TColor Bitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= d->width || y >= d->height)
        return clNone;
    return d->PixelAt(x, y);
}

void Bitmap::SetPixel(int x, int y, TColor colour)
{
    if (x < 0 || y < 0 || x >= d->width || y >= d->height || colour == clNone)
        return;
    d->view4 = QImage();
    d->SetPixelAt(x, y, ColorToRGB(colour));
}

void Bitmap::Fill(TColor colour)
{
    if (Empty() || colour == clNone)
        return;
    const TColor c = ColorToRGB(colour);
    switch (d->format) {
    case PixelFormat::pf32bit:
        d->image.fill(ToQRgb(c));
        break;
    case PixelFormat::pf24bit:
        d->image.fill(QColor(ToQRgb(c)));
        break;
    case PixelFormat::pf1bit:
    case PixelFormat::pf8bit:
        d->image.fill(uint(d->NearestIndex(c)));
        break;
    case PixelFormat::pf4bit: {
        const int i = d->NearestIndex(c);
        std::fill(d->packed.begin(), d->packed.end(), std::uint8_t(i << 4 | i));
        d->view4 = QImage();
        break;
    }
    }
}

bool Bitmap::Transparent() const
{
    return d->transparent;
}
void Bitmap::SetTransparent(bool value)
{
    d->transparent = value;
}

TColor Bitmap::TransparentColor() const
{
    if (d->transparentColour != clDefault)
        return d->transparentColour;
    // The lower-left pixel; an empty bitmap has none, and answers black.
    if (Empty())
        return clBlack;
    return d->PixelAt(0, d->height - 1);
}

void Bitmap::SetTransparentColor(TColor colour)
{
    d->transparentColour = colour == clDefault ? clDefault : (ColorToRGB(colour) & 0xFFFFFF);
}

Bitmap Bitmap::Mask(TColor colour) const
{
    Bitmap mask(d->width, d->height, PixelFormat::pf1bit);
    const TColor key = ColorToRGB(colour) & 0xFFFFFF;
    for (int y = 0; y < d->height; ++y) {
        std::uint8_t* out = mask.d->Row(y);
        const std::uint8_t* in = d->Row(y);
        for (int x = 0; x < d->width; ++x) {
            TColor c;
            if (d->format == PixelFormat::pf32bit)
                c = RGB(in[x * 4 + 2], in[x * 4 + 1], in[x * 4]);
            else if (d->format == PixelFormat::pf24bit)
                c = RGB(in[x * 3 + 2], in[x * 3 + 1], in[x * 3]);
            else
                c = d->PixelAt(x, y);
            if (c == key)
                out[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
        }
    }
    return mask;
}

Canvas& Bitmap::GetCanvas()
{
    if (!d->canvas)
        d->canvas = std::make_unique<Canvas>(*this);
    return *d->canvas;
}

// ---------------------------------------------------------------------------------------------
// Qt views

QImage& QImageOf(Bitmap& bitmap)
{
    Bitmap::Impl& d = bitmap.Data();
    if (d.format != PixelFormat::pf4bit)
        return d.image;
    d.view4 = ToDrawableImage(bitmap);
    return d.view4;
}

QImage ToDrawableImage(const Bitmap& bitmap)
{
    const Bitmap::Impl& d = bitmap.Data();
    if (d.format != PixelFormat::pf4bit)
        return d.image;
    if (d.width == 0 || d.height == 0)
        return QImage();
    QImage img(d.width, d.height, QImage::Format_Indexed8);
    if (img.isNull())
        throw EOutOfResources("Out of Resources");
    QVector<QRgb> table;
    for (TColor c : d.palette4)
        table.push_back(ToQRgb(c));
    img.setColorTable(table);
    for (int y = 0; y < d.height; ++y) {
        std::uint8_t* out = img.scanLine(y);
        for (int x = 0; x < d.width; ++x)
            out[x] = std::uint8_t(d.IndexAt(x, y));
    }
    return img;
}

Bitmap BitmapFromQImage(const QImage& source)
{
    if (source.isNull())
        return Bitmap();
    CheckBitmapSize(source.width(), source.height());
    Bitmap result;
    Bitmap::Impl& d = result.Data();
    d.width = source.width();
    d.height = source.height();
    switch (source.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        d.format = PixelFormat::pf1bit;
        d.image = source.convertToFormat(QImage::Format_Mono);
        break;
    case QImage::Format_Indexed8:
        d.format = PixelFormat::pf8bit;
        d.image = source.copy();
        break;
    default:
        d.format = PixelFormat::pf24bit;
        d.image = source.convertToFormat(QImage::Format_BGR888);
        break;
    }
    if (d.image.isNull())
        throw EOutOfResources("Out of Resources");
    if (d.format != PixelFormat::pf24bit) {
        QVector<QRgb> table = d.image.colorTable();
        const int n = EntriesOf(d.format);
        for (QRgb& c : table)
            c = qRgb(qRed(c), qGreen(c), qBlue(c));
        while (table.size() < n)
            table.push_back(qRgb(0, 0, 0));
        if (table.size() > n)
            table.resize(n);
        d.image.setColorTable(table);
    }
    return result;
}

} // namespace platform
