// The picture dump.

#include "images/imagedump.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "images/gifdecoder.h"
#include "images/gifimage.h"
#include "images/pngimage.h"
#include "images/pngwrite.h"
#include "platform/bitmap.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/jpeg.h"

namespace {

std::string FramePath(const std::string& dir, int n) { return dir + "/frame-" + std::to_string(n) + ".png"; }

const char* ColourTypeName(int t)
{
    switch (t) {
    case 0: return "grey";
    case 2: return "truecolour";
    case 3: return "palette";
    case 4: return "grey with alpha";
    case 6: return "truecolour with alpha";
    default: return "unknown";
    }
}

int DumpGif(const std::vector<std::uint8_t>& bytes, std::ostream& out, const std::string& framesDir)
{
    TGif gif;
    gif.LoadFromStream(bytes);
    out << "kind: GIF " << gif.Signature().substr(3) << "\n";
    out << "size: " << gif.ScreenWidth() << " x " << gif.ScreenHeight() << "\n";
    out << "frames: " << gif.ImageCount() << "\n";
    const int loops = gif.LoopCount();
    out << "loop count: " << loops
        << (loops < 0 ? " (plays once)" : loops == 0 ? " (endless)" : "") << "\n";
    out << "transparency: " << (gif.HasTransparency() ? "yes" : "no") << "\n";
    for (int i = 0; i < gif.ImageCount(); ++i) {
        out << "frame " << i + 1 << ": left " << gif.ImageLeft(i) << " top " << gif.ImageTop(i) << " width "
            << gif.ImageWidth(i) << " height " << gif.ImageHeight(i) << " delay " << std::max(30, 10 * gif.ImageDelay(i))
            << " ms disposal " << gif.ImageDisposal(i) << " transparent ";
        if (gif.ImageTransparentIndex(i) < 0)
            out << "none";
        else
            out << "index " << gif.ImageTransparentIndex(i);
        out << (gif.ImageInterlaced(i) ? " interlaced" : "") << "\n";
    }
    if (!framesDir.empty()) {
        std::vector<TGif::FrameBitmap> frames = gif.BuildFrameBitmaps();
        for (size_t i = 0; i < frames.size(); ++i)
            SavePNG(frames[i].Picture, frames[i].Mask.Empty() ? nullptr : &frames[i].Mask,
                    FramePath(framesDir, int(i) + 1));
    }
    return 0;
}

int DumpPng(const std::vector<std::uint8_t>& bytes, std::ostream& out, const std::string& framesDir)
{
    TPNGImage png;
    png.LoadFromStream(bytes);
    const auto* header = static_cast<const TChunkIHDR*>(png.Chunks().Item(0));
    out << "kind: PNG\n";
    out << "size: " << png.Width() << " x " << png.Height() << "\n";
    out << "bit depth: " << header->Field(0) << "\n";
    out << "colour type: " << header->Field(1) << " (" << ColourTypeName(header->Field(1)) << ")\n";
    out << "interlaced: " << (png.Interlacing() ? "yes" : "no") << "\n";
    out << "pixel format: " << png.Pixels().BitsPerPixel << " bits\n";
    out << "transparent colour: ";
    if (png.Pixels().Transparent) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "#%06X", unsigned(png.Pixels().TransparentColor));
        out << buf << " (blue, green, red)\n";
    } else {
        out << "none\n";
    }
    out << "chunks:";
    for (int i = 0; i < png.Chunks().Count(); ++i)
        out << " " << png.Chunks().Item(i)->ChunkType();
    out << "\n";
    if (!framesDir.empty())
        SavePNG(png.ToBitmap(), nullptr, FramePath(framesDir, 1));
    return 0;
}

int DumpOther(const char* kind, const platform::Bitmap& b, std::ostream& out, const std::string& framesDir)
{
    out << "kind: " << kind << "\n";
    out << "size: " << b.Width() << " x " << b.Height() << "\n";
    out << "pixel format: " << b.BitsPerPixel() << " bits\n";
    if (!framesDir.empty())
        SavePNG(b, nullptr, FramePath(framesDir, 1));
    return 0;
}

}  // namespace

int DumpPicture(const std::string& file, std::ostream& out, const std::string& framesDir)
{
    std::vector<std::uint8_t> bytes;
    try {
        bytes = platform::ReadFileBytes(file);
    } catch (const std::exception& e) {
        out << "error: " << e.what() << "\n";
        return 2;
    }
    try {
        const std::uint8_t* d = bytes.data();
        const size_t n = bytes.size();
        if (n >= 4 && std::memcmp(d, "GIF8", 4) == 0)
            return DumpGif(bytes, out, framesDir);
        if (n >= 4 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G')
            return DumpPng(bytes, out, framesDir);
        if (n >= 2 && d[0] == 0xFF && d[1] == 0xD8) {
            platform::JPEGInfo info;
            platform::Bitmap b = platform::LoadJPEG(d, n, &info);
            return DumpOther(info.Grayscale ? "JPEG (grey)" : "JPEG", b, out, framesDir);
        }
        if (n >= 2 && d[0] == 'B' && d[1] == 'M') {
            platform::Bitmap b;
            b.LoadFromBMP(d, n);
            return DumpOther("BMP", b, out, framesDir);
        }
        out << "kind: unknown\n";
        return 1;
    } catch (const platform::EInOutError& e) {
        out << "error: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        // Decoder messages may hold line breaks (the PNG handler's blank line): keep the dump one line.
        std::string msg = e.what();
        std::string flat;
        for (char c : msg)
            if (c == '\r')
                continue;
            else if (c == '\n')
                flat += flat.empty() || flat.back() == ' ' ? "" : " ";
            else
                flat += c;
        out << "error: " << flat << "\n";
        return 1;
    }
}
