// PNG chunk classes, the chunk list and CRC-32.

#include "images/pngchunks.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

#include "platform/types.h"

namespace PNGText {
const char* const InvalidHeader = "Invalid Portable Graphics Network image, it has an invalid file header.";
const char* const UnknownCritical =
    "The currently being loaded image contains critical(s) chunk(s) not reconized by the decoder.";
const char* const CorruptedData = "Can't read the PNG image, it has corrupted data. ";
const char* const NoIHDR =
    "This PNG image is invalid, the IHDR chunk is either not present or it isn't the first chunk.";
const char* const NoImageData = "The current image being loaded has no data and could not be loaded.";
const char* const NoPalette = "The current image requeries a palette but it is not avaliable.";
const char* const InvalidPalette = "The current image being loaded has an invalid palette!";
const char* const UnknownColorType = "Could not read the image because it has an unknown color type.";
const char* const UnknownFilter =
    "The image could not be loaded because it uses an unknown set of filter types.";
const char* const UnknownInterlace = "The image has an unknown interlace method.";
const char* const IndexOutOfRange = "The chunk index especified is out of the range.";
const char* const NotInList =
    "The especified chunk is not inside the chunk list containing the method being used. The funcion could "
    "not be completed.";
const char* const InvalidSize = "The image has no area or is too large to be loaded.";
const char* const BadCompression = "The image data is damaged and could not be decompressed.";
}  // namespace PNGText

EPNGImageException::EPNGImageException(const std::string& text)
    : platform::EInvalidGraphicOperation("Portable Network Graphics format handler error\r\n\r\n" + text),
      Text(text)
{
}

void PNGError(const char* text) { throw EPNGImageException(text); }

namespace {

struct CRCTable {
    std::uint32_t t[256];
    CRCTable()
    {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
    }
};

const CRCTable& Table()
{
    static const CRCTable table;
    return table;
}

std::uint32_t BE32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

}  // namespace

std::uint32_t UpdateCRC(std::uint32_t crc, const std::uint8_t* data, std::size_t size)
{
    // Large blocks go through zlib's CRC-32 (the same polynomial, computed several bytes at a time);
    // it works on the inverted register.
    if (size >= 64) {
        while (size > 0) {
            const uInt n = uInt(std::min<std::size_t>(size, 1u << 30));
            crc = ~std::uint32_t(crc32(~crc & 0xFFFFFFFFu, data, n));
            data += n;
            size -= n;
        }
        return crc;
    }
    const std::uint32_t* t = Table().t;
    for (std::size_t i = 0; i < size; ++i)
        crc = t[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::uint32_t ChunkCRC(const char type[4], const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = UpdateCRC(0xFFFFFFFFu, reinterpret_cast<const std::uint8_t*>(type), 4);
    return UpdateCRC(crc, data, size) ^ 0xFFFFFFFFu;
}

TChunk::TChunk(TChunkList* owner, const std::string& type) : FOwner(owner), FType(type) {}

void TChunk::Assign(const TChunk& source)
{
    FType = source.FType;
    FData = source.FData;
}

void TChunk::SaveToStream(std::vector<std::uint8_t>& out) const
{
    std::uint32_t len = std::uint32_t(FData.size());
    const std::uint8_t head[8] = {std::uint8_t(len >> 24), std::uint8_t(len >> 16), std::uint8_t(len >> 8),
                                  std::uint8_t(len),       std::uint8_t(FType[0]),  std::uint8_t(FType[1]),
                                  std::uint8_t(FType[2]),  std::uint8_t(FType[3])};
    out.insert(out.end(), head, head + 8);
    out.insert(out.end(), FData.begin(), FData.end());
    std::uint32_t crc = ChunkCRC(FType.c_str(), FData.data(), FData.size());
    const std::uint8_t tail[4] = {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8),
                                  std::uint8_t(crc)};
    out.insert(out.end(), tail, tail + 4);
}

std::uint32_t TChunkIHDR::Width() const { return FData.size() >= 13 ? BE32(FData.data()) : 0; }
std::uint32_t TChunkIHDR::Height() const { return FData.size() >= 13 ? BE32(FData.data() + 4) : 0; }

int TChunkIHDR::Field(int index) const
{
    if (index < 0 || index > 4 || FData.size() < 13)
        return 0;
    return FData[size_t(8 + index)];
}

void TChunkIHDR::SetField(int index, int value)
{
    if (index >= 0 && index <= 4 && FData.size() >= 13)
        FData[size_t(8 + index)] = std::uint8_t(value);
}

void TChunkIHDR::SetSize(std::uint32_t width, std::uint32_t height)
{
    if (FData.size() < 13)
        FData.resize(13);
    for (int i = 0; i < 4; ++i) {
        FData[size_t(i)] = std::uint8_t(width >> (24 - 8 * i));
        FData[size_t(4 + i)] = std::uint8_t(height >> (24 - 8 * i));
    }
}

std::vector<platform::TColor> TChunkPLTE::Entries() const
{
    std::vector<platform::TColor> out;
    size_t n = std::min<size_t>(FData.size() / 3, 256);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i)
        out.push_back(platform::RGB(FData[i * 3], FData[i * 3 + 1], FData[i * 3 + 2]));
    return out;
}

std::uint32_t TChunkGAMA::Gamma() const { return FData.size() >= 4 ? BE32(FData.data()) : 0; }

void TChunkGAMA::AfterLoad()
{
    // A short chunk or a gamma of 0 is ignored, as the format prescribes.
    std::uint32_t g = Gamma();
    FValid = g != 0;
    if (!FValid)
        return;
    double exponent = 1.0 / (double(g) / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
        double v = 255.0 * std::pow(i / 255.0, exponent);
        int r = platform::Round(v);
        FDecode[size_t(i)] = std::uint8_t(std::clamp(r, 0, 255));
    }
    for (int i = 0; i < 256; ++i)
        FEncode[FDecode[size_t(i)]] = std::uint8_t(i);
}

std::string TChunkTEXT::Keyword() const
{
    std::string s(FData.begin(), FData.end());
    return s.substr(0, s.find('\0'));
}

std::string TChunkTEXT::Text() const
{
    std::string s(FData.begin(), FData.end());
    size_t z = s.find('\0');
    return z == std::string::npos ? std::string() : s.substr(z + 1);
}

namespace {

using Factory = std::unique_ptr<TChunk> (*)(TChunkList*);

template <class T>
std::unique_ptr<TChunk> Make(TChunkList* owner)
{
    return std::make_unique<T>(owner);
}

struct Registered {
    const char* Type;
    Factory Create;
};

const Registered kChunkClasses[] = {
    {"IEND", &Make<TChunkIEND>}, {"IHDR", &Make<TChunkIHDR>}, {"gAMA", &Make<TChunkGAMA>},
    {"IDAT", &Make<TChunkIDAT>}, {"PLTE", &Make<TChunkPLTE>}, {"tEXt", &Make<TChunkTEXT>},
    {"tRNS", &Make<TChunkTRNS>},
};

}  // namespace

std::unique_ptr<TChunk> CreateRegisteredChunk(TChunkList* owner, const std::string& type)
{
    for (const Registered& r : kChunkClasses)
        if (type == r.Type)
            return r.Create(owner);
    return nullptr;
}

bool IsRegisteredChunk(const std::string& type)
{
    for (const Registered& r : kChunkClasses)
        if (type == r.Type)
            return true;
    return false;
}

TChunk* TChunkList::Item(int index) const
{
    if (index < 0 || index >= Count())
        PNGError(PNGText::IndexOutOfRange);
    return FItems[size_t(index)].get();
}

TChunk* TChunkList::Add(std::unique_ptr<TChunk> chunk)
{
    FItems.push_back(std::move(chunk));
    return FItems.back().get();
}

void TChunkList::Remove(TChunk* chunk)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (it->get() == chunk) {
            FItems.erase(it);
            return;
        }
    PNGError(PNGText::NotInList);
}
