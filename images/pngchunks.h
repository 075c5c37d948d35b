#pragma once
// PNG chunks: the chunk list of a picture, the chunk classes the decoder knows, and the CRC-32 that
// guards every chunk.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/types.h"

class TPNGImage;
class TChunkList;

// Every failure of the PNG decoder. The message is "Portable Network Graphics format handler error",
// a blank line, and the specific text.
class EPNGImageException : public platform::EInvalidGraphicOperation {
public:
    explicit EPNGImageException(const std::string& text);
    std::string Text;  // the specific text alone
};

[[noreturn]] void PNGError(const char* text);

// The texts of the decoder's failures.
namespace PNGText {
extern const char* const InvalidHeader;
extern const char* const UnknownCritical;
extern const char* const CorruptedData;
extern const char* const NoIHDR;
extern const char* const NoImageData;
extern const char* const NoPalette;
extern const char* const InvalidPalette;
extern const char* const UnknownColorType;
extern const char* const UnknownFilter;
extern const char* const UnknownInterlace;
extern const char* const IndexOutOfRange;
extern const char* const NotInList;
extern const char* const InvalidSize;
extern const char* const BadCompression;
}  // namespace PNGText

// CRC-32 (reflected polynomial 0xEDB88320) continued from crc; start with 0xFFFFFFFF and invert at the end.
std::uint32_t UpdateCRC(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
// The CRC of a chunk: its 4 type bytes and its data.
std::uint32_t ChunkCRC(const char type[4], const std::uint8_t* data, std::size_t size);

class TChunk {
public:
    TChunk(TChunkList* owner, const std::string& type);
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // Runs after the whole file was read; nothing in the base class.
    virtual void AfterLoad() {}
    // Copies type and data.
    virtual void Assign(const TChunk& source);
    // Length, type, data and CRC in file form.
    virtual void SaveToStream(std::vector<std::uint8_t>& out) const;

    const std::string& ChunkType() const { return FType; }
    std::vector<std::uint8_t>& Data() { return FData; }
    const std::vector<std::uint8_t>& Data() const { return FData; }
    TChunkList* Owner() const { return FOwner; }

protected:
    TChunkList* FOwner;
    std::string FType;
    std::vector<std::uint8_t> FData;
};

class TChunkIHDR : public TChunk {
public:
    explicit TChunkIHDR(TChunkList* owner) : TChunk(owner, "IHDR") { FData.assign(13, 0); }
    std::uint32_t Width() const;
    std::uint32_t Height() const;
    // 0 bit depth, 1 colour type, 2 compression, 3 filter, 4 interlace.
    int Field(int index) const;
    void SetField(int index, int value);
    void SetSize(std::uint32_t width, std::uint32_t height);
};

class TChunkPLTE : public TChunk {
public:
    explicit TChunkPLTE(TChunkList* owner) : TChunk(owner, "PLTE") {}
    // The entries, at most 256 (red + green*256 + blue*65536).
    std::vector<platform::TColor> Entries() const;
};

class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TChunkList* owner) : TChunk(owner, "IDAT") {}
    // Decodes the image into the owning picture.
    void AfterLoad() override;
};

class TChunkGAMA : public TChunk {
public:
    explicit TChunkGAMA(TChunkList* owner) : TChunk(owner, "gAMA") {}
    void AfterLoad() override;
    // Gamma times 100000; 0 when the chunk is too short.
    std::uint32_t Gamma() const;
    // A usable gamma (4 bytes, not 0) built its tables.
    bool Valid() const { return FValid; }
    const std::array<std::uint8_t, 256>& DecodingTable() const { return FDecode; }
    const std::array<std::uint8_t, 256>& EncodingTable() const { return FEncode; }

private:
    bool FValid = false;
    std::array<std::uint8_t, 256> FDecode{};
    std::array<std::uint8_t, 256> FEncode{};
};

class TChunkTRNS : public TChunk {
public:
    explicit TChunkTRNS(TChunkList* owner) : TChunk(owner, "tRNS") {}
};

class TChunkTEXT : public TChunk {
public:
    explicit TChunkTEXT(TChunkList* owner) : TChunk(owner, "tEXt") {}
    std::string Keyword() const;
    std::string Text() const;
};

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TChunkList* owner) : TChunk(owner, "IEND") {}
};

// Creates the registered class for a chunk type, or nullptr for an unregistered type.
std::unique_ptr<TChunk> CreateRegisteredChunk(TChunkList* owner, const std::string& type);
bool IsRegisteredChunk(const std::string& type);

class TChunkList {
public:
    explicit TChunkList(TPNGImage* image) : FImage(image) {}
    TPNGImage* Image() const { return FImage; }

    int Count() const { return int(FItems.size()); }
    TChunk* Item(int index) const;
    TChunk* Add(std::unique_ptr<TChunk> chunk);
    void Remove(TChunk* chunk);
    void Clear() { FItems.clear(); }
    // The first chunk of the class T, nullptr when none.
    template <class T>
    T* First() const
    {
        for (const auto& c : FItems)
            if (auto* t = dynamic_cast<T*>(c.get()))
                return t;
        return nullptr;
    }
    template <class T>
    int IndexOf() const
    {
        for (size_t i = 0; i < FItems.size(); ++i)
            if (dynamic_cast<T*>(FItems[i].get()))
                return int(i);
        return -1;
    }

private:
    TPNGImage* FImage;
    std::vector<std::unique_ptr<TChunk>> FItems;
};
