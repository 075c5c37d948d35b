// GIF file reading: blocks, colour tables, extensions and the variable-length-code LZW decoder.

#include "images/gifdecoder.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kGifErrorTexts[28] = {
    "no error",
    "Invalid GIF Signature Code",
    "No Local or Global Color Table for Image",
    "Unknown Graphics Extension Type",
    "Unknown Graphics Operation Code",
    "Invalid Extension Block Size",
    "[special message]",
    "Invalid Extension Block Terminator",
    "Invalid Integer Size",
    "No GIF Terminator Found",
    "Extension Block Out-Of-Order With Image Data",
    "Invalid Image Descriptor Index",
    "Invalid LZW Code Size",
    "Invalid LZW Data Format",
    "LZW Code Overflow",
    "Value Out Of Range",
    "NIL Pointer assigned",
    "Invalid Color Table Size",
    "No Image Description",
    "Invalid Bitmap Image",
    "Invalid Color Table Index",
    "Invalid Interlace Pass",
    "Invalid Bitmap",
    "Too Many Colors In Bitmap",
    "Unexpected end of file",
    "Animated GIF too large",
    "Zero width or height",
    "next message",
};

int gLastErrorCode = 0;
std::string gLastErrorText;

constexpr int kMaxCodes = 4096;

std::int64_t StripBytes(int screenWidth, int screenHeight, int count)
{
    std::int64_t stride = (std::int64_t(screenWidth) * 3 * count + 3) / 4 * 4;
    return stride * screenHeight + 54;
}

}  // namespace

const char* GifErrorText(int code)
{
    if (code < 0 || code > 27)
        return "";
    return kGifErrorTexts[code];
}

int GifLastErrorCode() { return gLastErrorCode; }
std::string GifLastErrorText() { return gLastErrorText; }

void GifError(int code, const std::string& special)
{
    std::string text = code == gifSpecialMessage ? special : std::string(GifErrorText(code));
    gLastErrorCode = code;
    gLastErrorText = text;
    throw EGifError(code, "TGif: " + text);
}

TGif::TGif() = default;

const TGifImageRecord& TGif::Image(int i) const
{
    if (i < 0 || i >= int(FImages.size()))
        GifError(gifValueOutOfRange);
    return FImages[size_t(i)];
}

const TGifExtension* TGif::GraphicControl(int i) const
{
    for (const TGifExtension& e : Image(i).Extensions)
        if (e.Label == 0xF9)
            return &e;
    return nullptr;
}

int TGif::ImageDelay(int i) const
{
    const TGifExtension* e = GraphicControl(i);
    return e && e->Delay != 0 ? e->Delay : 1;
}

int TGif::ImageDisposal(int i) const
{
    const TGifExtension* e = GraphicControl(i);
    return e ? (e->Disposal & 3) : 0;
}

int TGif::ImageTransparentIndex(int i) const
{
    const TGifExtension* e = GraphicControl(i);
    return e && e->TransparentFlag ? e->TransparentIndex : -1;
}

bool TGif::HasTransparency() const
{
    for (int i = 0; i < ImageCount(); ++i)
        if (ImageTransparentIndex(i) >= 0)
            return true;
    return false;
}

void TGif::LoadFromStream(const std::uint8_t* data, std::size_t size)
{
    *this = TGif();
    FData = data;
    FSize = data ? size : 0;
    FPos = 0;
    try {
        Decode();
    } catch (...) {
        FData = nullptr;
        FSize = 0;
        throw;
    }
    FData = nullptr;
    FSize = 0;
    FPending.clear();
}

int TGif::ReadByte()
{
    if (FPos >= FSize)
        return -1;
    return FData[FPos++];
}

void TGif::ReadBytes(std::uint8_t* target, std::size_t count)
{
    if (FSize - FPos < count)
        GifError(gifUnexpectedEOF);
    std::memcpy(target, FData + FPos, count);
    FPos += count;
}

int TGif::ReadInt(int size)
{
    if (size != 1 && size != 2)
        GifError(gifBadIntegerSize);
    std::uint8_t b[2] = {0, 0};
    ReadBytes(b, size_t(size));
    return size == 1 ? b[0] : b[0] | (b[1] << 8);
}

void TGif::ReadColorTable(int count)
{
    TGifColorTable table;
    table.Count = count;
    std::uint8_t rgb[256 * 3];
    ReadBytes(rgb, size_t(count) * 3);
    for (int i = 0; i < count; ++i)
        table.Colors[size_t(i)] = std::uint32_t(rgb[i * 3]) | (std::uint32_t(rgb[i * 3 + 1]) << 8) |
                                  (std::uint32_t(rgb[i * 3 + 2]) << 16);
    FTables.push_back(table);
}

void TGif::Decode()
{
    std::uint8_t sig[6];
    if (FSize < 6)
        GifError(gifBadSignature);
    ReadBytes(sig, 6);
    FSignature.assign(reinterpret_cast<const char*>(sig), 6);
    std::string upper = FSignature;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    if (upper != "GIF87A" && upper != "GIF89A")
        GifError(gifBadSignature);

    FScreenWidth = ReadInt(2);
    FScreenHeight = ReadInt(2);
    int packed = ReadInt(1);
    FGlobalFlag = (packed & 0x80) != 0;
    FColorResolution = ((packed >> 4) & 7) + 1;
    FSorted = (packed & 0x08) != 0;
    FGlobalSize = 1 << ((packed & 7) + 1);
    FBackground = ReadInt(1);
    FAspect = ReadInt(1);
    // A screen without area can show nothing and would make every later size computation divide by 0.
    if (FScreenWidth == 0 || FScreenHeight == 0)
        GifError(gifZeroSize);
    if (FScreenWidth > MaxSide || FScreenHeight > MaxSide ||
        std::int64_t(FScreenWidth) * FScreenHeight > platform::MaxBitmapPixels)
        GifError(gifTooLarge);
    if (FGlobalFlag) {
        ReadColorTable(FGlobalSize);
        FGlobalTable = int(FTables.size()) - 1;
    }

    for (;;) {
        try {
            int b = ReadByte();
            if (b <= 0 || b == 0x3B)
                break;
            if (b == 0x2C)
                ReadImage();
            else if (b == 0x21)
                ReadExtension();
            else
                GifError(gifUnknownOpCode);
        } catch (const EGifError& e) {
            // Damage after a good image leaves the images read so far; a picture too large is refused whole.
            if (FImages.empty() || e.Code == gifTooLarge)
                throw;
            break;
        }
    }
    if (FImages.empty())
        GifError(gifNoImage);
}

void TGif::ReadSubBlocks(std::vector<std::vector<std::uint8_t>>* into)
{
    for (;;) {
        int len = ReadByte();
        if (len <= 0)
            return;
        if (FSize - FPos < size_t(len))
            GifError(gifUnexpectedEOF);
        if (into)
            into->emplace_back(FData + FPos, FData + FPos + len);
        FPos += size_t(len);
    }
}

void TGif::ReadExtension()
{
    TGifExtension ext;
    int label = ReadInt(1);
    ext.Label = std::uint8_t(label);
    switch (label) {
    case 0xF9: {
        ext.BlockSize = ReadInt(1);
        if (ext.BlockSize != 4)
            GifError(gifBadExtensionSize);
        int packed = ReadInt(1);
        ext.Disposal = (packed >> 2) & 7;
        ext.UserInput = (packed & 2) != 0;
        ext.TransparentFlag = (packed & 1) != 0;
        ext.Delay = ReadInt(2);
        ext.TransparentIndex = ReadInt(1);
        if (ReadInt(1) != 0)
            GifError(gifBadExtensionTerminator);
        break;
    }
    case 0xFE:
        ReadSubBlocks(&ext.SubBlocks);
        break;
    case 0x01:
        ext.BlockSize = ReadInt(1);
        if (ext.BlockSize != 12)
            GifError(gifBadExtensionSize);
        ext.GridLeft = ReadInt(2);
        ext.GridTop = ReadInt(2);
        ext.GridWidth = ReadInt(2);
        ext.GridHeight = ReadInt(2);
        ext.CellWidth = ReadInt(1);
        ext.CellHeight = ReadInt(1);
        ext.Foreground = ReadInt(1);
        ext.Background = ReadInt(1);
        ReadSubBlocks(&ext.SubBlocks);
        break;
    case 0xFF:
        ext.BlockSize = ReadInt(1);
        if (ext.BlockSize == 11) {
            std::uint8_t id[11];
            ReadBytes(id, 11);
            ext.Identifier.assign(reinterpret_cast<const char*>(id), 8);
            ext.AuthCode.assign(reinterpret_cast<const char*>(id + 8), 3);
            ReadSubBlocks(&ext.SubBlocks);
            if (ext.Identifier == "NETSCAPE" && !ext.SubBlocks.empty() && ext.SubBlocks[0].size() == 3)
                FLoopCount = ext.SubBlocks[0][1] | (ext.SubBlocks[0][2] << 8);
        } else {
            if (FSize - FPos < size_t(ext.BlockSize))
                GifError(gifUnexpectedEOF);
            FPos += size_t(ext.BlockSize);
            ReadSubBlocks(&ext.SubBlocks);
        }
        break;
    default: {
        char text[40];
        std::snprintf(text, sizeof text, "unknown extension: %04X", unsigned(label));
        GifError(gifSpecialMessage, text);
    }
    }
    FPending.push_back(std::move(ext));
}

void TGif::CheckStripSize(const TGifImageRecord& next) const
{
    bool transparent = HasTransparency();
    for (const TGifExtension& e : next.Extensions)
        if (e.Label == 0xF9) {
            transparent = transparent || e.TransparentFlag;
            break;
        }
    std::int64_t bytes = StripBytes(FScreenWidth, FScreenHeight, ImageCount() + 1);
    if (bytes > MaxStripBytes || (transparent && bytes > MaxMaskedStripBytes))
        GifError(gifTooLarge);
}

void TGif::ReadImage()
{
    TGifImageRecord img;
    img.Index = ImageCount();
    img.Left = ReadInt(2);
    img.Top = ReadInt(2);
    img.Width = ReadInt(2);
    img.Height = ReadInt(2);
    if (FScreenHeight < img.Height)
        img.Height = FScreenHeight;
    int packed = ReadInt(1);
    img.LocalTable = (packed & 0x80) != 0;
    img.Interlaced = (packed & 0x40) != 0;
    img.Sorted = (packed & 0x20) != 0;
    img.TableSize = 1 << ((packed & 7) + 1);
    if (img.LocalTable) {
        ReadColorTable(img.TableSize);
        img.ColorTableIndex = int(FTables.size()) - 1;
    } else {
        img.ColorTableIndex = FGlobalTable;
    }
    if (img.ColorTableIndex < 0)
        GifError(gifNoColorTable);
    img.CodeSize = ReadInt(1);

    std::vector<std::uint8_t> data;
    for (;;) {
        int len = ReadByte();
        if (len <= 0)
            break;
        if (FSize - FPos < size_t(len))
            GifError(gifUnexpectedEOF);
        data.insert(data.end(), FData + FPos, FData + FPos + len);
        FPos += size_t(len);
    }

    std::int64_t pixels = std::int64_t(img.Width) * img.Height;
    if (pixels == 0)
        GifError(gifZeroSize);
    img.Extensions = std::move(FPending);
    FPending.clear();
    if (img.Width > MaxSide || pixels > platform::MaxBitmapPixels || FPixelBytes + pixels > MaxStripBytes)
        GifError(gifTooLarge);
    CheckStripSize(img);

    img.Pixels.assign(size_t(pixels), 0);
    FPixelBytes += pixels;
    DecodeLZW(img, data);
    FImages.push_back(std::move(img));
}

void TGif::DecodeLZW(TGifImageRecord& img, const std::vector<std::uint8_t>& data)
{
    const int minSize = img.CodeSize;
    // Checked before any shift by the size: a byte of up to 255 would be undefined behaviour.
    if (minSize + 1 > 12)
        GifError(gifBadCodeSize);

    std::uint16_t prefix[kMaxCodes];
    std::uint8_t suffix[kMaxCodes];
    std::uint8_t stack[kMaxCodes + 1];
    std::memset(prefix, 0, sizeof prefix);
    std::memset(suffix, 0, sizeof suffix);

    const int clearCode = 1 << minSize;
    const int endCode = clearCode + 1;
    const int highestLiteral = clearCode - 1;
    int codeSize = minSize + 1;
    int nextFree = endCode + 1;
    int limit = 1 << codeSize;

    const std::uint8_t* src = data.data();
    const std::size_t srcSize = data.size();
    std::size_t srcPos = 0;
    std::uint32_t bitBuf = 0;
    int bitCount = 0;

    auto more = [&]() { return std::int64_t(bitCount) + std::int64_t(srcSize - srcPos) * 8 >= codeSize; };
    auto readCode = [&]() {
        while (bitCount < codeSize) {
            std::uint32_t b = srcPos < srcSize ? src[srcPos++] : 0;
            bitBuf |= b << bitCount;
            bitCount += 8;
        }
        int code = int(bitBuf & ((1u << codeSize) - 1));
        bitBuf >>= codeSize;
        bitCount -= codeSize;
        return code;
    };
    auto grow = [&]() {
        if (nextFree >= limit && codeSize < 12) {
            limit <<= 1;
            ++codeSize;
        }
    };

    std::uint8_t* out = img.Pixels.data();
    const std::int64_t outSize = std::int64_t(img.Pixels.size());
    const int width = img.Width;
    const int height = img.Height;
    const bool interlaced = img.Interlaced;
    std::int64_t linear = 0;  // non-interlaced cursor: row * width + column
    int row = 0, column = 0, pass = 1;

    auto emit = [&](int sp) {
        if (!interlaced) {
            while (sp > 0) {
                std::uint8_t v = stack[--sp];
                if (linear < outSize)
                    out[linear] = v;
                ++linear;
            }
            return;
        }
        while (sp > 0) {
            std::uint8_t v = stack[--sp];
            std::int64_t at = std::int64_t(row) * width + column;
            if (at < outSize)
                out[at] = v;
            if (++column >= width) {
                column = 0;
                switch (pass) {
                case 1: row += 8; break;
                case 2: row += 8; break;
                case 3: row += 4; break;
                default: row += 2; break;
                }
                if (row >= height) {
                    pass = pass >= 4 ? 1 : pass + 1;
                    static const int kStart[5] = {0, 0, 4, 2, 1};
                    row = kStart[pass];
                }
            }
        }
    };
    // Pushes the string of a code; answers the new stack depth. Prefix chains strictly decrease, so the
    // stack never holds more than 4096 entries.
    auto push = [&](int code) {
        int sp = 0;
        while (code > highestLiteral && sp < kMaxCodes) {
            stack[sp++] = suffix[code];
            code = prefix[code];
        }
        stack[sp++] = std::uint8_t(code);
        return sp;
    };

    if (!more())
        return;
    int code = readCode();
    int prev = -1;
    for (;;) {
        if (code == endCode)
            break;
        int sp = 0;
        if (code == clearCode) {
            codeSize = minSize + 1;
            nextFree = endCode + 1;
            limit = 1 << codeSize;
            while (code == clearCode && more())
                code = readCode();
            if (code == clearCode)
                break;
            if (code == endCode)
                GifError(gifBadLZWData);
            if (code >= nextFree)
                code = 0;
            stack[0] = std::uint8_t(code);
            sp = 1;
            prev = code;
        } else if (code < nextFree) {
            sp = push(code);
            if (prev >= 0 && nextFree <= limit && nextFree < kMaxCodes) {
                prefix[nextFree] = std::uint16_t(prev);
                suffix[nextFree] = stack[sp - 1];
                ++nextFree;
                grow();
            }
            prev = code;
        } else if (code == nextFree && prev >= 0) {
            int first = prev;
            while (first > highestLiteral)
                first = prefix[first];
            if (nextFree <= limit && nextFree < kMaxCodes) {
                prefix[nextFree] = std::uint16_t(prev);
                suffix[nextFree] = std::uint8_t(first);
                ++nextFree;
                grow();
            }
            sp = push(code);
            prev = code;
        } else {
            GifError(gifBadLZWData);
        }
        emit(sp);
        if (!more())
            break;
        code = readCode();
    }
}
