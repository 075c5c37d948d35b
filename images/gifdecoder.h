#pragma once
// The GIF decoder: reads a whole GIF file (87a or 89a), decodes every image to 8-bit palette indexes and
// composes all frames side by side into one 24-bit strip (frame i in the columns i * screen width ...
// (i + 1) * screen width - 1), with a second strip as transparency mask when any frame has a transparent
// colour. The decoder draws nothing and keeps no timer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/exception.h"

// Error codes of the decoder; each has a fixed text (GifErrorText).
enum TGifErrorCode : int {
    gifNoError = 0,
    gifBadSignature = 1,
    gifNoColorTable = 2,
    gifUnknownExtension = 3,
    gifUnknownOpCode = 4,
    gifBadExtensionSize = 5,
    gifSpecialMessage = 6,
    gifBadExtensionTerminator = 7,
    gifBadIntegerSize = 8,
    gifNoTerminator = 9,
    gifExtensionOutOfOrder = 10,
    gifBadDescriptorIndex = 11,
    gifBadCodeSize = 12,
    gifBadLZWData = 13,
    gifCodeOverflow = 14,
    gifValueOutOfRange = 15,
    gifNilPointer = 16,
    gifBadColorTableSize = 17,
    gifNoImage = 18,
    gifBadBitmapImage = 19,
    gifBadColorIndex = 20,
    gifBadInterlacePass = 21,
    gifBadBitmap = 22,
    gifTooManyColors = 23,
    gifUnexpectedEOF = 24,
    gifTooLarge = 25,
    gifZeroSize = 26,
    gifNextMessage = 27,
};

const char* GifErrorText(int code);
// The last failure of any decoder in the process (code and full text).
int GifLastErrorCode();
std::string GifLastErrorText();

// The decoder's failure: an invalid-graphic-operation error that also keeps its code.
class EGifError : public platform::EInvalidGraphicOperation {
public:
    EGifError(int code, const std::string& message) : platform::EInvalidGraphicOperation(message), Code(code) {}
    int Code;
};

// Raises EGifError "TGif: <text of code>" (or "TGif: <special>" for code 6) and records it
// as the last error.
[[noreturn]] void GifError(int code, const std::string& special = std::string());

struct TGifColorTable {
    int Count = 0;
    std::array<std::uint32_t, 256> Colors{};  // red + green*256 + blue*65536; unused slots black
};

struct TGifExtension {
    std::uint8_t Label = 0;
    int BlockSize = 0;
    // graphic control (0xF9)
    int Disposal = 0;
    bool UserInput = false;
    bool TransparentFlag = false;
    int Delay = 0;  // hundredths of a second
    int TransparentIndex = 0;
    // plain text (0x01)
    int GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0;
    int CellWidth = 0, CellHeight = 0, Foreground = 0, Background = 0;
    // application (0xFF)
    std::string Identifier;
    std::string AuthCode;
    // data sub-blocks (comment, plain text, application), each up to 255 bytes
    std::vector<std::vector<std::uint8_t>> SubBlocks;
};

struct TGifImageRecord {
    int Index = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool LocalTable = false;
    bool Interlaced = false;
    bool Sorted = false;
    int TableSize = 0;
    int ColorTableIndex = -1;
    int CodeSize = 0;
    std::vector<TGifExtension> Extensions;
    std::vector<std::uint8_t> Pixels;  // Width * Height palette indexes
};

// The composed frames in memory: colour rows of Stride bytes (blue, green, red), row 0 at the top, and
// when HasMask one byte per pixel of mask (255 = transparent, 0 = opaque).
struct TGifStripData {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<std::uint8_t> Bits;
    bool HasMask = false;
    std::vector<std::uint8_t> Mask;
};

class TGif {
public:
    // Limits of what a picture may ask for: a side above MaxSide, a strip above the byte limits.
    static constexpr int MaxSide = platform::MaxBitmapSide;
    static constexpr std::int64_t MaxStripBytes = 200000000;
    static constexpr std::int64_t MaxMaskedStripBytes = 100000000;

    TGif();

    // Clears all earlier state and decodes the bytes; raises on failure.
    void LoadFromStream(const std::uint8_t* data, std::size_t size);
    void LoadFromStream(const std::vector<std::uint8_t>& data) { LoadFromStream(data.data(), data.size()); }

    const std::string& Signature() const { return FSignature; }
    int ScreenWidth() const { return FScreenWidth; }
    int ScreenHeight() const { return FScreenHeight; }
    int BackgroundIndex() const { return FBackground; }
    int ImageCount() const { return int(FImages.size()); }

    int ImageLeft(int i) const { return Image(i).Left; }
    int ImageTop(int i) const { return Image(i).Top; }
    int ImageWidth(int i) const { return Image(i).Width; }
    int ImageHeight(int i) const { return Image(i).Height; }
    bool ImageInterlaced(int i) const { return Image(i).Interlaced; }
    // Hundredths of a second; 1 when the delay is 0 or there is no graphic control.
    int ImageDelay(int i) const;
    // 0..3.
    int ImageDisposal(int i) const;
    // -1 when the image has no transparent colour.
    int ImageTransparentIndex(int i) const;
    const TGifImageRecord& Image(int i) const;
    const TGifColorTable& ColorTable(int index) const { return FTables.at(index); }

    bool HasTransparency() const;
    // -1 when there is no loop extension.
    int LoopCount() const { return FLoopCount; }

    // The frames side by side, in memory.
    TGifStripData BuildStripData() const;
    // The colour strip as a 24-bit bitmap and, when HasTransparency, the monochrome mask (white =
    // transparent); the mask stays empty otherwise.
    platform::Bitmap BuildStrip(platform::Bitmap& mask) const;
    // The strip cut into its frame slots, each a 24-bit bitmap of the screen size with its monochrome
    // mask (empty without transparency). Unlike one strip bitmap, these stay within the bitmap side
    // limit however many frames there are.
    struct FrameBitmap {
        platform::Bitmap Picture;
        platform::Bitmap Mask;
    };
    std::vector<FrameBitmap> BuildFrameBitmaps() const;

private:
    const TGifExtension* GraphicControl(int i) const;
    void Decode();
    int ReadByte();  // -1 at the end
    int ReadInt(int size);
    void ReadBytes(std::uint8_t* target, std::size_t count);
    void ReadColorTable(int count);
    void ReadImage();
    void ReadExtension();
    void ReadSubBlocks(std::vector<std::vector<std::uint8_t>>* into);
    void CheckStripSize(const TGifImageRecord& next) const;
    void DecodeLZW(TGifImageRecord& image, const std::vector<std::uint8_t>& data);

    const std::uint8_t* FData = nullptr;
    std::size_t FSize = 0;
    std::size_t FPos = 0;

    std::string FSignature = "------";
    int FScreenWidth = 0;
    int FScreenHeight = 0;
    bool FGlobalFlag = false;
    int FColorResolution = 0;
    bool FSorted = false;
    int FGlobalSize = 0;
    int FBackground = 0;
    int FAspect = 0;
    int FGlobalTable = -1;
    int FLoopCount = -1;
    std::int64_t FPixelBytes = 0;  // all frame buffers so far
    std::vector<TGifColorTable> FTables;
    std::vector<TGifImageRecord> FImages;
    std::vector<TGifExtension> FPending;  // extensions waiting for their image
};
