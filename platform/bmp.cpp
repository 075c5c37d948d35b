// The BMP reader: header checks of our own (sizes are refused before anything is allocated), pixels
// through QImage's reader.

#include <QByteArray>
#include <QImage>

#include <cstdlib>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/exception.h"
#include "platform/qt/bitmap_private.h"
#include "platform/qt/graphics_private.h"

namespace platform {

namespace {

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

} // namespace

bool Bitmap::IsBMP(const std::uint8_t* data, std::size_t size)
{
    return data && size >= 26 && data[0] == 'B' && data[1] == 'M';
}

void Bitmap::LoadFromBMP(const std::uint8_t* data, std::size_t size)
{
    if (!IsBMP(data, size))
        throw EInvalidGraphicOperation("Bitmap image is not valid");
    const std::uint32_t headerSize = Le32(data + 14);
    long long width, height;
    int bitCount;
    if (headerSize == 12) {
        width = Le16(data + 18);
        height = Le16(data + 20);
        bitCount = Le16(data + 24);
    } else if (headerSize >= 40 && size >= 14 + 40) {
        width = std::int32_t(Le32(data + 18));
        height = std::int32_t(Le32(data + 22));
        bitCount = Le16(data + 28);
    } else {
        throw EInvalidGraphicOperation("Bitmap image is not valid");
    }
    height = std::llabs(height);
    if (width <= 0 || height <= 0)
        throw EInvalidGraphicOperation("Bitmap image is not valid");
    if (width > MaxBitmapSide || height > MaxBitmapSide || width * height > MaxBitmapPixels)
        throw EOutOfResources("Out of Resources");

    QImage image;
    if (!image.loadFromData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
                            "BMP") ||
        image.isNull())
        throw EInvalidGraphicOperation("Bitmap image is not valid");

    Bitmap loaded = BitmapFromQImage(image);
    if (bitCount == 4 && loaded.Format() == PixelFormat::pf8bit) {
        // Four-bit files keep their format: their indexes all fit in a nibble.
        Bitmap packed(loaded.Width(), loaded.Height(), PixelFormat::pf4bit);
        std::vector<TColor> pal = loaded.Palette();
        pal.resize(16);
        packed.SetPalette(pal);
        for (int y = 0; y < loaded.Height(); ++y) {
            const std::uint8_t* in = loaded.ScanLine(y);
            std::uint8_t* out = packed.ScanLine(y);
            std::memset(out, 0, std::size_t(packed.BytesPerLine()));
            for (int x = 0; x < loaded.Width(); ++x)
                out[x >> 1] |= std::uint8_t((in[x] & 0x0F) << ((x & 1) ? 0 : 4));
        }
        loaded = std::move(packed);
    }
    const bool transparent = d->transparent;
    const TColor key = d->transparentColour;
    *this = std::move(loaded);
    d->transparent = transparent;
    d->transparentColour = key;
}

} // namespace platform
