// PNG writing through the chunk classes: signature, IHDR, compressed IDAT, IEND.

#include "images/pngwrite.h"

#include <zlib.h>

#include <fstream>

#include "images/pngchunks.h"
#include "platform/exception.h"

std::vector<std::uint8_t> EncodePNG(const platform::Bitmap& picture, const platform::Bitmap* mask)
{
    const int w = picture.Width();
    const int h = picture.Height();
    const bool alpha = mask && !mask->Empty() && mask->Width() >= w && mask->Height() >= h;
    const int channels = alpha ? 4 : 3;

    // Rows with filter type 0; palette formats resolve through their palettes.
    std::vector<std::uint8_t> raw;
    raw.reserve(size_t(h) * (size_t(w) * channels + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const bool direct = picture.BitsPerPixel() == 24;
        const std::uint8_t* row = direct ? picture.ScanLine(y) : nullptr;
        const std::uint8_t* m = alpha ? mask->ScanLine(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            if (direct) {
                raw.push_back(row[x * 3 + 2]);
                raw.push_back(row[x * 3 + 1]);
                raw.push_back(row[x * 3]);
            } else {
                platform::TColor c = picture.Pixel(x, y);
                raw.push_back(std::uint8_t(platform::GetRValue(c)));
                raw.push_back(std::uint8_t(platform::GetGValue(c)));
                raw.push_back(std::uint8_t(platform::GetBValue(c)));
            }
            if (alpha)
                raw.push_back((m[x >> 3] & (0x80 >> (x & 7))) ? 0 : 255);
        }
    }
    uLongf len = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> z(len);
    if (compress2(z.data(), &len, raw.data(), uLong(raw.size()), 6) != Z_OK)
        throw platform::EInOutError("PNG compression failed");
    z.resize(len);

    std::vector<std::uint8_t> out = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    TChunkIHDR header(nullptr);
    header.SetSize(std::uint32_t(w), std::uint32_t(h));
    header.SetField(0, 8);
    header.SetField(1, alpha ? 6 : 2);
    header.SaveToStream(out);
    TChunkIDAT data(nullptr);
    data.Data() = std::move(z);
    data.SaveToStream(out);
    TChunkIEND end(nullptr);
    end.SaveToStream(out);
    return out;
}

void SavePNG(const platform::Bitmap& picture, const platform::Bitmap* mask, const std::string& path)
{
    std::vector<std::uint8_t> bytes = EncodePNG(picture, mask);
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f)
        throw platform::EInOutError("Cannot write file \"" + path + "\"");
}
