// Reading PNG files: chunk framing, validation of the header, palettes, and the decoding of the
// compressed rows (filters, Adam7) into bitmap rows.

#include "images/pngimage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/types.h"

namespace {

const std::uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

std::uint32_t BE32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Reads exact amounts from one zlib stream; damaged or short data raises.
class Inflater {
public:
    explicit Inflater(const std::vector<std::uint8_t>& data)
    {
        std::memset(&FStream, 0, sizeof FStream);
        if (inflateInit(&FStream) != Z_OK)
            PNGError(PNGText::BadCompression);
        FStream.next_in = const_cast<Bytef*>(data.data());
        FStream.avail_in = uInt(data.size());
    }
    ~Inflater() { inflateEnd(&FStream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    void Read(std::uint8_t* target, std::size_t count)
    {
        FStream.next_out = target;
        FStream.avail_out = uInt(count);
        while (FStream.avail_out > 0) {
            int ret = inflate(&FStream, Z_NO_FLUSH);
            if (ret == Z_STREAM_END && FStream.avail_out > 0)
                PNGError(PNGText::BadCompression);
            if (ret != Z_OK && ret != Z_STREAM_END)
                PNGError(PNGText::BadCompression);
        }
    }

private:
    z_stream FStream;
};

inline int PaethPredictor(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Paeth for a fixed pixel size, so that the compiler keeps the channels apart.
template <std::size_t Bpp>
void UnfilterPaeth(std::uint8_t* row, const std::uint8_t* prev, std::size_t len)
{
    for (std::size_t i = 0; i < Bpp && i < len; ++i)
        row[i] = std::uint8_t(row[i] + prev[i]);
    for (std::size_t i = Bpp; i < len; ++i)
        row[i] = std::uint8_t(row[i] + PaethPredictor(row[i - Bpp], prev[i], prev[i - Bpp]));
}

void Unfilter(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t len, std::size_t bpp)
{
    switch (type) {
    case 0:
        break;
    case 1:
        for (std::size_t i = bpp; i < len; ++i)
            row[i] = std::uint8_t(row[i] + row[i - bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < len; ++i)
            row[i] = std::uint8_t(row[i] + prev[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < std::min(bpp, len); ++i)
            row[i] = std::uint8_t(row[i] + (prev[i] >> 1));
        for (std::size_t i = bpp; i < len; ++i)
            row[i] = std::uint8_t(row[i] + ((row[i - bpp] + prev[i]) >> 1));
        break;
    case 4:
        switch (bpp) {
        case 1: UnfilterPaeth<1>(row, prev, len); break;
        case 3: UnfilterPaeth<3>(row, prev, len); break;
        case 4: UnfilterPaeth<4>(row, prev, len); break;
        default:
            for (std::size_t i = 0; i < std::min(bpp, len); ++i)
                row[i] = std::uint8_t(row[i] + prev[i]);
            for (std::size_t i = bpp; i < len; ++i)
                row[i] = std::uint8_t(row[i] + PaethPredictor(row[i - bpp], prev[i], prev[i - bpp]));
        }
        break;
    default:
        PNGError(PNGText::UnknownFilter);
    }
}

bool ValidCombination(int colourType, int depth)
{
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

// Converts unfiltered PNG samples into bitmap pixels at x0, x0 + dx, ...
struct RowConverter {
    int ColourType = 0;
    int Depth = 0;
    int TargetBits = 0;
    const std::uint8_t* Gamma = nullptr;  // decoding table for truecolour samples, or none

    void Convert(const std::uint8_t* src, int count, std::uint8_t* dst, int x0, int dx) const
    {
        if (TargetBits == 24) {
            const int channels = ColourType == 6 ? 4 : 3;
            const int step = channels * (Depth / 8);
            const int sample = Depth / 8;
            std::uint8_t* d = dst + size_t(x0) * 3;
            const size_t dstep = size_t(dx) * 3;
            if (Gamma) {
                for (int k = 0; k < count; ++k, src += step, d += dstep) {
                    d[0] = Gamma[src[2 * sample]];
                    d[1] = Gamma[src[sample]];
                    d[2] = Gamma[src[0]];
                }
            } else {
                for (int k = 0; k < count; ++k, src += step, d += dstep) {
                    d[0] = src[2 * sample];
                    d[1] = src[sample];
                    d[2] = src[0];
                }
            }
            return;
        }
        if (TargetBits == 8) {
            std::uint8_t* d = dst + x0;
            if (ColourType == 4 || Depth == 16) {
                const int step = (ColourType == 4 ? 2 : 1) * (Depth / 8);
                for (int k = 0; k < count; ++k, src += step, d += dx)
                    *d = *src;
            } else if (dx == 1) {
                std::memcpy(d, src, size_t(count));
            } else {
                for (int k = 0; k < count; ++k, d += dx)
                    *d = src[k];
            }
            return;
        }
        if (TargetBits == 1) {
            if (x0 == 0 && dx == 1) {
                std::memcpy(dst, src, size_t(count + 7) / 8);
                return;
            }
            for (int k = 0; k < count; ++k) {
                int v = (src[k >> 3] >> (7 - (k & 7))) & 1;
                int x = x0 + k * dx;
                if (v)
                    dst[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
            }
            return;
        }
        // 4 bits per pixel: 4-bit samples as they are, 2-bit samples v as 5 * v (the palette repeats
        // its first four entries, so 5 * v selects entry v).
        if (Depth == 4 && x0 == 0 && dx == 1) {
            std::memcpy(dst, src, size_t(count + 1) / 2);
            return;
        }
        for (int k = 0; k < count; ++k) {
            int v;
            if (Depth == 4)
                v = (src[k >> 1] >> ((k & 1) ? 0 : 4)) & 15;
            else
                v = 5 * ((src[k >> 2] >> (6 - 2 * (k & 3))) & 3);
            int x = x0 + k * dx;
            std::uint8_t& b = dst[x >> 1];
            if (x & 1)
                b = std::uint8_t((b & 0xF0) | v);
            else
                b = std::uint8_t((b & 0x0F) | (v << 4));
        }
    }
};

}  // namespace

TPNGImage::TPNGImage() : FChunks(this)
{
    FChunks.Add(std::make_unique<TChunkIHDR>(&FChunks));
}

void TPNGImage::LoadFromStream(const std::uint8_t* data, std::size_t size)
{
    FChunks.Clear();
    FPixels = TPNGPixels();
    FInterlacing = false;
    if (!data || size < 8 || std::memcmp(data, kSignature, 8) != 0)
        PNGError(PNGText::InvalidHeader);
    std::size_t pos = 8;
    TChunkIDAT* firstIDAT = nullptr;
    while (pos < size) {
        if (size - pos < 8)
            PNGError(PNGText::CorruptedData);
        const std::uint32_t len = BE32(data + pos);
        char type[5] = {char(data[pos + 4]), char(data[pos + 5]), char(data[pos + 6]), char(data[pos + 7]), 0};
        pos += 8;
        // A length beyond the bytes left (CRC included) is damage, never an allocation.
        if (len > 0x7FFFFFFFu || std::uint64_t(len) + 4 > size - pos)
            PNGError(PNGText::CorruptedData);
        const std::string typeName(type, 4);
        std::unique_ptr<TChunk> chunk = CreateRegisteredChunk(&FChunks, typeName);
        if (!chunk) {
            if ((std::uint8_t(type[0]) & 0x20) == 0)
                PNGError(PNGText::UnknownCritical);
            chunk = std::make_unique<TChunk>(&FChunks, typeName);
        }
        const std::uint8_t* body = data + pos;
        pos += len;
        const std::uint32_t crc = BE32(data + pos);
        pos += 4;
        if (crc != ChunkCRC(type, body, len))
            PNGError(PNGText::CorruptedData);
        const bool isEnd = typeName == "IEND";
        if (typeName == "IDAT" && firstIDAT) {
            firstIDAT->Data().insert(firstIDAT->Data().end(), body, body + len);
        } else {
            if (typeName == "IDAT")  // later IDAT chunks join this one: room for the rest of the file
                chunk->Data().reserve(len + (size - pos));
            chunk->Data().assign(body, body + len);
            TChunk* added = FChunks.Add(std::move(chunk));
            if (!firstIDAT && typeName == "IDAT")
                firstIDAT = static_cast<TChunkIDAT*>(added);
        }
        if (isEnd)
            break;
    }
    if (FChunks.Count() == 0 || !dynamic_cast<TChunkIHDR*>(FChunks.Item(0)) || FChunks.Item(0)->Data().size() < 13)
        PNGError(PNGText::NoIHDR);
    if (!firstIDAT)
        PNGError(PNGText::NoImageData);
    for (int i = 0; i < FChunks.Count(); ++i)
        FChunks.Item(i)->AfterLoad();

    const auto* header = static_cast<TChunkIHDR*>(FChunks.Item(0));
    const TChunkTRNS* trns = FChunks.First<TChunkTRNS>();
    // Only a truecolour picture's tRNS is used; one shorter than its three samples is ignored.
    if (trns && header->Field(1) == 2 && trns->Data().size() >= 6) {
        const auto& d = trns->Data();
        const bool wide = header->Field(0) == 16;
        auto sample = [&](int i) { return wide ? d[size_t(2 * i)] : d[size_t(2 * i + 1)]; };
        FPixels.TransparentColor = platform::RGB(sample(0), sample(1), sample(2));
        FPixels.Transparent = true;
    }
}

void TChunkIDAT::AfterLoad()
{
    if (FOwner && FOwner->Image())
        FOwner->Image()->DecodeImage(FData);
}

void TPNGImage::DecodeImage(const std::vector<std::uint8_t>& compressed)
{
    const auto* header = static_cast<TChunkIHDR*>(FChunks.Item(0));
    const std::uint32_t w32 = header->Width();
    const std::uint32_t h32 = header->Height();
    const int depth = header->Field(0);
    const int colourType = header->Field(1);
    const int interlace = header->Field(4);
    if (w32 == 0 || h32 == 0 || w32 > std::uint32_t(MaxSide) || h32 > std::uint32_t(MaxSide) ||
        std::int64_t(w32) * h32 > MaxPixels)
        PNGError(PNGText::InvalidSize);
    if (!ValidCombination(colourType, depth))
        PNGError(PNGText::UnknownColorType);
    if (interlace != 0 && interlace != 1)
        PNGError(PNGText::UnknownInterlace);
    const int width = int(w32);
    const int height = int(h32);
    FInterlacing = interlace == 1;

    const std::uint8_t* gamma = nullptr;
    if (TChunkGAMA* g = FChunks.First<TChunkGAMA>()) {
        if (!g->Valid())
            g->AfterLoad();
        if (g->Valid())
            gamma = g->DecodingTable().data();
    }

    // Pixel format and palette.
    int targetBits = 24;
    if (colourType == 0 || colourType == 3 || colourType == 4)
        targetBits = depth == 1 ? 1 : depth <= 4 ? 4 : 8;
    std::vector<platform::TColor> palette;
    if (targetBits != 24) {
        const size_t slots = size_t(1) << targetBits;
        if (colourType == 3) {
            const TChunkPLTE* plte = FChunks.First<TChunkPLTE>();
            if (!plte)
                PNGError(PNGText::NoPalette);
            if (plte->Data().size() % 3 != 0)
                PNGError(PNGText::InvalidPalette);
            palette = plte->Entries();
            palette.resize(std::min(palette.size(), size_t(1) << depth));
        } else {
            const int entries = depth >= 8 ? 256 : 1 << depth;
            for (int i = 0; i < entries; ++i) {
                int v = platform::MulDiv(i, 255, entries - 1);
                palette.push_back(platform::RGB(v, v, v));
            }
        }
        if (gamma)
            for (platform::TColor& c : palette)
                c = platform::RGB(gamma[platform::GetRValue(c)], gamma[platform::GetGValue(c)],
                                  gamma[platform::GetBValue(c)]);
        if (depth == 2 && palette.size() < 16) {
            palette.resize(4, 0);
            palette.resize(16);
            for (size_t i = 4; i < 16; ++i)
                palette[i] = palette[i % 4];
        }
        palette.resize(slots, 0);
    }

    const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
    const std::size_t bpp = std::max<std::size_t>(1, size_t(depth * channels / 8));
    auto rowBytes = [&](int pixels) { return (std::uint64_t(depth) * channels * std::uint64_t(pixels) + 7) / 8; };

    // The data cannot hold more than about 1032 times its size; a header that asks for far more is
    // refused before any pixel memory is taken.
    std::uint64_t raw = 0;
    static const int kStartRow[7] = {0, 0, 4, 0, 2, 0, 1};
    static const int kStartCol[7] = {0, 4, 0, 2, 0, 1, 0};
    static const int kRowStep[7] = {8, 8, 8, 4, 4, 2, 2};
    static const int kColStep[7] = {8, 8, 4, 4, 2, 2, 1};
    if (FInterlacing) {
        for (int p = 0; p < 7; ++p) {
            int pw = width > kStartCol[p] ? (width - kStartCol[p] + kColStep[p] - 1) / kColStep[p] : 0;
            int ph = height > kStartRow[p] ? (height - kStartRow[p] + kRowStep[p] - 1) / kRowStep[p] : 0;
            if (pw > 0 && ph > 0)
                raw += (rowBytes(pw) + 1) * std::uint64_t(ph);
        }
    } else {
        raw = (rowBytes(width) + 1) * std::uint64_t(height);
    }
    if (raw > std::uint64_t(compressed.size()) * 1100 + 4096)
        PNGError(PNGText::BadCompression);

    TPNGPixels px;
    px.Width = width;
    px.Height = height;
    px.BitsPerPixel = targetBits;
    px.Stride = int((std::int64_t(width) * targetBits + 31) / 32 * 4);
    px.Bits.assign(size_t(px.Stride) * size_t(height), 0);
    px.Palette = std::move(palette);
    px.Transparent = FPixels.Transparent;
    px.TransparentColor = FPixels.TransparentColor;

    RowConverter conv;
    conv.ColourType = colourType;
    conv.Depth = depth;
    conv.TargetBits = targetBits;
    conv.Gamma = targetBits == 24 ? gamma : nullptr;

    Inflater in(compressed);
    const std::size_t maxRow = size_t(rowBytes(width));
    std::vector<std::uint8_t> bufA(maxRow + 1), bufB(maxRow + 1);
    auto runPass = [&](int rows, int cols, int y0, int dy, int x0, int dx) {
        const std::size_t len = size_t(rowBytes(cols));
        std::uint8_t* cur = bufA.data();
        std::uint8_t* prev = bufB.data();
        std::memset(prev, 0, len + 1);
        for (int r = 0; r < rows; ++r) {
            in.Read(cur, len + 1);
            Unfilter(cur[0], cur + 1, prev + 1, len, bpp);
            conv.Convert(cur + 1, cols, px.Row(y0 + r * dy), x0, dx);
            std::swap(cur, prev);
        }
    };
    if (!FInterlacing) {
        runPass(height, width, 0, 1, 0, 1);
    } else {
        for (int p = 0; p < 7; ++p) {
            int pw = width > kStartCol[p] ? (width - kStartCol[p] + kColStep[p] - 1) / kColStep[p] : 0;
            int ph = height > kStartRow[p] ? (height - kStartRow[p] + kRowStep[p] - 1) / kRowStep[p] : 0;
            // Empty passes hold no rows and no filter bytes.
            if (pw > 0 && ph > 0)
                runPass(ph, pw, kStartRow[p], kRowStep[p], kStartCol[p], kColStep[p]);
        }
    }
    FPixels = std::move(px);
}

void TPNGImage::Assign(const TPNGImage& source)
{
    FChunks.Clear();
    for (int i = 0; i < source.FChunks.Count(); ++i) {
        const TChunk* c = source.FChunks.Item(i);
        std::unique_ptr<TChunk> copy = CreateRegisteredChunk(&FChunks, c->ChunkType());
        if (!copy)
            copy = std::make_unique<TChunk>(&FChunks, c->ChunkType());
        copy->Assign(*c);
        if (auto* g = dynamic_cast<TChunkGAMA*>(copy.get()))
            g->AfterLoad();
        FChunks.Add(std::move(copy));
    }
    FEncodeFilters = source.FEncodeFilters;
    FInterlacing = source.FInterlacing;
    FPixels = source.FPixels;
}

platform::Bitmap TPNGImage::ToBitmap() const
{
    using platform::PixelFormat;
    if (FPixels.Width <= 0 || FPixels.Height <= 0)
        return platform::Bitmap();
    PixelFormat format = FPixels.BitsPerPixel == 1   ? PixelFormat::pf1bit
                         : FPixels.BitsPerPixel == 4 ? PixelFormat::pf4bit
                         : FPixels.BitsPerPixel == 8 ? PixelFormat::pf8bit
                                                     : PixelFormat::pf24bit;
    platform::Bitmap bmp(FPixels.Width, FPixels.Height, format);
    if (FPixels.BitsPerPixel <= 8)
        bmp.SetPalette(FPixels.Palette);
    const size_t n = size_t(std::min(bmp.BytesPerLine(), FPixels.Stride));
    for (int y = 0; y < FPixels.Height; ++y)
        std::memcpy(bmp.ScanLine(y), FPixels.Row(y), n);
    if (FPixels.Transparent) {
        bmp.SetTransparentColor(FPixels.TransparentColor);
        bmp.SetTransparent(true);
    }
    return bmp;
}
