// Picture recognition and the BMP, JPEG and PNG loaders of the image cache.

#include "images/imageload.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "images/dither.h"
#include "images/gifimage.h"
#include "images/pngimage.h"
#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "platform/sysvalues.h"

using platform::Bitmap;
using platform::PixelFormat;
using platform::TColor;

TImageType KindOfImage(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < 4)
        return itNone;
    if (data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8')
        return size > 4 && data[4] == '9' ? itGIF89 : itGIF;
    if (data[0] == 0x42 && data[1] == 0x4D)
        return itBMP;
    if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
        return itPNG;
    if (data[0] == 0xFF && data[1] == 0xD8)
        return itJPG;
    return itNone;
}

TImageType KindOfImageFile(const std::string& name)
{
    if (!platform::FileExists(name))
        return itNone;
    std::ifstream f(platform::ResolvePath(name), std::ios::binary);
    std::uint8_t head[16] = {};
    f.read(reinterpret_cast<char*>(head), sizeof head);
    const std::streamsize got = f.gcount();
    if (got <= 9)
        return itNone;
    return KindOfImage(head, size_t(got));
}

std::unique_ptr<Bitmap> LoadImageFromFile(const std::string& name, TTranspType& transp,
                                          std::unique_ptr<Bitmap>& mask)
{
    mask.reset();
    if (!platform::FileExists(name))
        return nullptr;
    std::vector<std::uint8_t> bytes;
    try {
        bytes = platform::ReadFileBytes(name);
    } catch (const std::exception&) {
        return nullptr;
    }
    return LoadImageFromStream(bytes.data(), bytes.size(), transp, mask);
}

namespace {

std::uint32_t BE32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Mode 3: transparent pixels become black and the others keep their colours, so that the picture can
// be drawn through its mask.
std::unique_ptr<Bitmap> BlackenTransparent(const Bitmap& picture, const Bitmap& mask)
{
    auto out = std::make_unique<Bitmap>(picture);
    out->SetFormat(PixelFormat::pf24bit);
    for (int y = 0; y < out->Height(); ++y) {
        std::uint8_t* row = out->ScanLine(y);
        const std::uint8_t* m = mask.ScanLine(y);
        for (int x = 0; x < out->Width(); ++x)
            if (m[x >> 3] & (0x80 >> (x & 7)))
                row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = 0;
    }
    out->SetTransparent(false);
    return out;
}

}  // namespace

std::unique_ptr<Bitmap> LoadImageFromStream(const std::uint8_t* data, std::size_t size, TTranspType& transp,
                                            std::unique_ptr<Bitmap>& mask)
{
    mask.reset();
    if (!data || size <= 19)
        return nullptr;
    try {
        std::unique_ptr<Bitmap> bitmap;
        TColor pngColour = 0;
        switch (KindOfImage(data, size)) {
        case itJPG:
            transp = NotTransp;
            bitmap = std::make_unique<Bitmap>(platform::LoadJPEG(data, size));
            break;
        case itPNG: {
            if (GetPNGTransparentColor(data, size, pngColour))
                transp = TrPng;
            TPNGImage png;
            png.LoadFromStream(data, size);
            bitmap = std::make_unique<Bitmap>(png.ToBitmap());
            break;
        }
        case itBMP:
            bitmap = std::make_unique<Bitmap>();
            bitmap->LoadFromBMP(data, size);
            break;
        default:
            return nullptr;
        }
        if (!bitmap || bitmap->Empty())
            return nullptr;
        if (transp == LLCorner) {
            mask = GetImageMask(*bitmap, false, 0);
        } else if (transp == TrPng) {
            mask = GetImageMask(*bitmap, true, pngColour);
            if (mask)
                bitmap = BlackenTransparent(*bitmap, *mask);
        }
        bitmap = PrepareForDisplay(std::move(bitmap));
        if (!bitmap)
            mask.reset();
        return bitmap;
    } catch (const std::exception&) {
        mask.reset();
        return nullptr;
    }
}

std::unique_ptr<Bitmap> GetImageMask(const Bitmap& image, bool useColour, TColor colour)
{
    try {
        if (image.Empty())
            return nullptr;
        const TColor c = useColour ? colour : image.Pixel(0, image.Height() - 1);
        return std::make_unique<Bitmap>(image.Mask(c));
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool GetPNGTransparentColor(const std::uint8_t* data, std::size_t size, TColor& colour)
{
    static const std::uint8_t kSig[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    if (!data || size < 8 || std::memcmp(data, kSig, 8) != 0)
        return false;
    std::size_t pos = 8;
    int colourType = -1;
    std::vector<TColor> palette;
    while (size - pos >= 8) {
        const std::uint32_t len = BE32(data + pos);
        const char* type = reinterpret_cast<const char*>(data + pos + 4);
        pos += 8;
        // The length is unsigned; one beyond the data ends the walk.
        if (len > size - pos)
            return false;
        const std::uint8_t* body = data + pos;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (len < 10)
                return false;
            colourType = body[9];
            if (colourType != 2 && colourType != 3)
                return false;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            palette.clear();
            const size_t n = std::min<size_t>(len / 3, 256);
            for (size_t i = 0; i < n; ++i)
                palette.push_back(platform::RGB(body[i * 3], body[i * 3 + 1], body[i * 3 + 2]));
        } else if (std::memcmp(type, "tRNS", 4) == 0) {
            if (colourType == 3)
                for (size_t i = 0; i < len && i < palette.size(); ++i)
                    if (body[i] == 0) {
                        colour = palette[i];
                        return true;
                    }
            return false;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            return false;
        }
        // Data and CRC.
        if (size - pos < std::uint64_t(len) + 4)
            return false;
        pos += len + 4;
    }
    return false;
}

std::unique_ptr<Bitmap> PrepareForDisplay(std::unique_ptr<Bitmap> bitmap)
{
    if (!bitmap)
        return nullptr;
    if (platform::DisplayColorClass() <= 8) {
        if (bitmap->Format() == platform::pfDevice)
            return bitmap;
        return ReduceBitmap(bitmap.get());
    }
    if (bitmap->BitsPerPixel() > 8)
        return bitmap;
    bitmap->SetFormat(platform::pfDevice);
    return bitmap;
}

namespace {

[[noreturn]] void NotAPicture() { throw platform::Exception("Not a TBitmap, TGifImage, of TGpImage"); }

}  // namespace

int GetImageHeight(const TPictureObject* image)
{
    if (image && image->Bitmap())
        return image->Bitmap()->Height();
    if (image && image->Gif())
        return image->Gif()->Height();
    NotAPicture();
}

int GetImageWidth(const TPictureObject* image)
{
    if (image && image->Bitmap())
        return image->Bitmap()->Width();
    if (image && image->Gif())
        return image->Gif()->Width();
    NotAPicture();
}

void FillRectWithColor(platform::Canvas& canvas, const platform::Rect& r, TColor colour)
{
    const platform::Brush saved = canvas.GetBrush();
    canvas.FillRect(r, colour);
    canvas.SetBrush(saved);
}

void DrawTransparentBitmap(platform::Canvas& canvas, int x, int y, int w, int h, const Bitmap& image,
                           const Bitmap& mask)
{
    const platform::Rect src = platform::MakeRect(0, 0, image.Width(), image.Height());
    const platform::Rect dest = platform::Bounds(x, y, w, h);
    if (mask.Empty())
        canvas.StretchBlt(x, y, w, h, image, 0, 0, image.Width(), image.Height(), platform::SRCCOPY);
    else
        canvas.MaskedDraw(dest, image, mask, src);
}

std::unique_ptr<Bitmap> EnlargeImage(const Bitmap& image, int width, int height)
{
    int w = image.Width();
    int h = image.Height();
    if (w == 1)
        w = std::clamp(width, 1, 100);
    if (h == 1)
        h = std::clamp(height, 1, 100);
    if (w == image.Width() && h == image.Height())
        return std::make_unique<Bitmap>(image);
    auto out = std::make_unique<Bitmap>(w, h, image.BitsPerPixel() <= 8 && !image.Monochrome()
                                                  ? PixelFormat::pf24bit
                                                  : image.Format());
    if (image.Monochrome())
        out->SetPalette(image.Palette());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out->SetPixel(x, y, image.Pixel(x * image.Width() / w, y * image.Height() / h));
    return out;
}

namespace {

// 16 x 16 pictures drawn from character maps: '#' frame colour, 'o' accent, '.' background, ' ' (in the
// error picture) transparent.
const char* const kWaitPicture[16] = {
    "################", "#..............#", "#..............#", "#..oooooooooo..#", "#..o........o..#",
    "#..o..oooo..o..#", "#..o..o..o..o..#", "#..o..o..o..o..#", "#..o..o..o..o..#", "#..o..oooo..o..#",
    "#..o........o..#", "#..oooooooooo..#", "#..............#", "#..............#", "#..............#",
    "################",
};
const char* const kErrorPicture[16] = {
    "################", "#..............#", "#.oo........oo.#", "#..oo......oo..#", "#...oo....oo...#",
    "#....oo..oo....#", "#.....oooo.....#", "#......oo......#", "#.....oooo.....#", "#....oo..oo....#",
    "#...oo....oo...#", "#..oo......oo..#", "#.oo........oo.#", "#..............#", "#..............#",
    "################",
};

Bitmap Draw16(const char* const rows[16], TColor frame, TColor accent, TColor back)
{
    Bitmap b(16, 16, PixelFormat::pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            char c = rows[y][x];
            b.SetPixel(x, y, c == '#' ? frame : c == 'o' ? accent : back);
        }
    return b;
}

}  // namespace

const Bitmap& DefaultBitmap()
{
    static const Bitmap b = Draw16(kWaitPicture, platform::RGB(128, 128, 128), platform::RGB(0, 0, 128),
                                   platform::RGB(192, 192, 192));
    return b;
}

const Bitmap& ErrorBitmap()
{
    static const Bitmap b = Draw16(kErrorPicture, platform::RGB(128, 128, 128), platform::RGB(255, 0, 0),
                                   platform::RGB(192, 192, 192));
    return b;
}

const Bitmap& ErrorBitmapMask()
{
    // Every pixel of the error picture is shown.
    static const Bitmap m = [] {
        Bitmap b(16, 16, PixelFormat::pf1bit);
        b.SetPalette({platform::clBlack, platform::clWhite});
        b.Fill(platform::clBlack);
        return b;
    }();
    return m;
}
