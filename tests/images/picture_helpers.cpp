#include "picture_helpers.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pictest {

std::string DataDir() { return std::string(VEXA_TESTDATA_DIR) + "/images"; }

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix)
{
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        std::string name = e.path().filename().string();
        if (e.is_regular_file() && name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool ReadPNGWithLibpng(const std::string& path, RGBAImage& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    int colourType = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    double gamma = 0;
    out.HasGamma = png_get_gAMA(png, info, &gamma) != 0;
    out.Gamma = gamma;
    if (depth == 16)
        png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.Width = int(png_get_image_width(png, info));
    out.Height = int(png_get_image_height(png, info));
    out.Pixels.assign(size_t(out.Width) * out.Height * 4, 0);
    std::vector<png_bytep> rows(size_t(out.Height));
    for (int y = 0; y < out.Height; ++y)
        rows[size_t(y)] = out.Pixels.data() + size_t(y) * out.Width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return true;
}

std::vector<std::uint8_t> GifLZW(const std::vector<std::uint8_t>& indexes, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int codeSize = minCodeSize + 1;
    // Literal codes only; a clear code comes before the decoder's table would widen the codes.
    const int maxRun = (1 << codeSize) - clear - 3;
    std::vector<std::uint8_t> bytes;
    std::uint32_t buf = 0;
    int bits = 0;
    auto put = [&](int code) {
        buf |= std::uint32_t(code) << bits;
        bits += codeSize;
        while (bits >= 8) {
            bytes.push_back(std::uint8_t(buf));
            buf >>= 8;
            bits -= 8;
        }
    };
    put(clear);
    int run = 0;
    for (std::uint8_t v : indexes) {
        if (run == maxRun) {
            put(clear);
            run = 0;
        }
        put(v);
        ++run;
    }
    put(clear + 1);
    if (bits > 0)
        bytes.push_back(std::uint8_t(buf));
    return bytes;
}

std::vector<std::uint8_t> MakeGif(int sw, int sh, const std::vector<std::uint32_t>& palette,
                                  const std::vector<GifFrameDesc>& frames, int loopCount)
{
    std::vector<std::uint8_t> g = {'G', 'I', 'F', '8', '9', 'a'};
    auto u16 = [&](int v) {
        g.push_back(std::uint8_t(v));
        g.push_back(std::uint8_t(v >> 8));
    };
    u16(sw);
    u16(sh);
    int bitsM1 = 0;
    while ((2 << bitsM1) < int(palette.size()))
        ++bitsM1;
    const bool global = !palette.empty();
    g.push_back(std::uint8_t((global ? 0x80 : 0) | bitsM1));
    g.push_back(0);
    g.push_back(0);
    if (global)
        for (int i = 0; i < (2 << bitsM1); ++i) {
            std::uint32_t c = i < int(palette.size()) ? palette[size_t(i)] : 0;
            g.push_back(std::uint8_t(c));
            g.push_back(std::uint8_t(c >> 8));
            g.push_back(std::uint8_t(c >> 16));
        }
    if (loopCount >= 0) {
        const char* id = "NETSCAPE2.0";
        g.push_back(0x21);
        g.push_back(0xFF);
        g.push_back(11);
        g.insert(g.end(), id, id + 11);
        g.push_back(3);
        g.push_back(1);
        u16(loopCount);
        g.push_back(0);
    }
    for (const GifFrameDesc& f : frames) {
        if (f.Delay >= 0 || f.Transparent >= 0) {
            g.push_back(0x21);
            g.push_back(0xF9);
            g.push_back(4);
            g.push_back(std::uint8_t(((f.Disposal & 7) << 2) | (f.Transparent >= 0 ? 1 : 0)));
            u16(std::max(f.Delay, 0));
            g.push_back(std::uint8_t(std::max(f.Transparent, 0)));
            g.push_back(0);
        }
        g.push_back(0x2C);
        u16(f.Left);
        u16(f.Top);
        u16(f.Width);
        u16(f.Height);
        g.push_back(f.Interlaced ? 0x40 : 0);
        const int minCode = std::max(2, bitsM1 + 1);
        g.push_back(std::uint8_t(minCode));
        std::vector<std::uint8_t> data = GifLZW(f.Indexes, minCode);
        for (size_t p = 0; p < data.size(); p += 255) {
            size_t n = std::min<size_t>(255, data.size() - p);
            g.push_back(std::uint8_t(n));
            g.insert(g.end(), data.begin() + long(p), data.begin() + long(p + n));
        }
        g.push_back(0);
    }
    g.push_back(0x3B);
    return g;
}

void AppendChunk(std::vector<std::uint8_t>& out, const std::string& type, const std::vector<std::uint8_t>& data)
{
    std::uint32_t len = std::uint32_t(data.size());
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(std::uint8_t(len >> s));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    if (!data.empty())
        crc = crc32(crc, data.data(), uInt(data.size()));
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(std::uint8_t(crc >> s));
}

std::vector<std::uint8_t> IHDRData(std::uint32_t w, std::uint32_t h, int depth, int colourType, int interlace)
{
    std::vector<std::uint8_t> d;
    for (int s = 24; s >= 0; s -= 8)
        d.push_back(std::uint8_t(w >> s));
    for (int s = 24; s >= 0; s -= 8)
        d.push_back(std::uint8_t(h >> s));
    d.push_back(std::uint8_t(depth));
    d.push_back(std::uint8_t(colourType));
    d.push_back(0);
    d.push_back(0);
    d.push_back(std::uint8_t(interlace));
    return d;
}

std::vector<std::uint8_t> MakePNG(std::uint32_t w, std::uint32_t h, int depth, int colourType,
                                  const std::vector<std::uint8_t>& rows,
                                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extra,
                                  int interlace)
{
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    AppendChunk(out, "IHDR", IHDRData(w, h, depth, colourType, interlace));
    for (const auto& [type, data] : extra)
        AppendChunk(out, type, data);
    uLongf len = compressBound(uLong(rows.size()));
    std::vector<std::uint8_t> z(len);
    compress(z.data(), &len, rows.data(), uLong(rows.size()));
    z.resize(len);
    AppendChunk(out, "IDAT", z);
    AppendChunk(out, "IEND", {});
    return out;
}

}  // namespace pictest
