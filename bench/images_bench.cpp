// Picture decoding speed against the reference decoders: a 2000 x 2000 photo-like PNG, a 1000 x 1000
// palette PNG and a 100-frame animated GIF. The inputs are made here with libpng and giflib, so their
// filters and LZW codes are those real encoders produce.

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "images/gifdecoder.h"
#include "images/pngimage.h"

namespace {

struct Sink {
    std::vector<std::uint8_t> bytes;
};

void PngWrite(png_structp png, png_bytep data, png_size_t n)
{
    auto* s = static_cast<Sink*>(png_get_io_ptr(png));
    s->bytes.insert(s->bytes.end(), data, data + n);
}
void PngFlush(png_structp) {}

std::vector<std::uint8_t> EncodeWithLibpng(int w, int h, int colourType, const std::vector<std::uint8_t>& pixels,
                                           const std::vector<png_color>& palette = {})
{
    Sink sink;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &sink, PngWrite, PngFlush);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_write_info(png, info);
    const int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    for (int y = 0; y < h; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels.data() + size_t(y) * w * channels));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return sink.bytes;
}

const std::vector<std::uint8_t>& PhotoPNG()
{
    static const std::vector<std::uint8_t> bytes = [] {
        const int w = 2000, h = 2000;
        std::vector<std::uint8_t> px(size_t(w) * h * 3);
        std::uint32_t seed = 12345;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                seed = seed * 1664525u + 1013904223u;
                int noise = int(seed >> 28) - 8;
                double a = std::sin(x * 0.01) * std::cos(y * 0.013);
                std::uint8_t* p = px.data() + (size_t(y) * w + x) * 3;
                p[0] = std::uint8_t(std::clamp(int(128 + 100 * a) + noise, 0, 255));
                p[1] = std::uint8_t(std::clamp(x * 255 / w + noise, 0, 255));
                p[2] = std::uint8_t(std::clamp(y * 255 / h - noise, 0, 255));
            }
        return EncodeWithLibpng(w, h, PNG_COLOR_TYPE_RGB, px);
    }();
    return bytes;
}

const std::vector<std::uint8_t>& PalettePNG()
{
    static const std::vector<std::uint8_t> bytes = [] {
        const int w = 1000, h = 1000;
        std::vector<std::uint8_t> px(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[size_t(y) * w + x] = std::uint8_t(((x / 16) ^ (y / 16)) * 7 + (x * y) % 5);
        std::vector<png_color> pal(256);
        for (int i = 0; i < 256; ++i)
            pal[size_t(i)] = {png_byte(i), png_byte(255 - i), png_byte(i * 3)};
        return EncodeWithLibpng(w, h, PNG_COLOR_TYPE_PALETTE, px, pal);
    }();
    return bytes;
}

int GifWrite(GifFileType* gif, const GifByteType* data, int n)
{
    auto* s = static_cast<Sink*>(gif->UserData);
    s->bytes.insert(s->bytes.end(), data, data + n);
    return n;
}

const std::vector<std::uint8_t>& AnimatedGIF()
{
    static const std::vector<std::uint8_t> bytes = [] {
        const int w = 200, h = 200, frames = 100;
        Sink sink;
        int err = 0;
        GifFileType* gif = EGifOpen(&sink, GifWrite, &err);
        ColorMapObject* map = GifMakeMapObject(256, nullptr);
        for (int i = 0; i < 256; ++i)
            map->Colors[i] = {GifByteType(i), GifByteType((i * 5) & 255), GifByteType(255 - i)};
        EGifSetGifVersion(gif, true);
        EGifPutScreenDesc(gif, w, h, 8, 0, map);
        std::vector<GifByteType> line(w);
        for (int f = 0; f < frames; ++f) {
            GraphicsControlBlock gcb{};
            gcb.DelayTime = 5;
            gcb.TransparentColor = NO_TRANSPARENT_COLOR;
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
            EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x)
                    line[size_t(x)] = GifByteType(((x + f) / 8 + (y / 8)) * 13 + ((x ^ y) & 3));
                EGifPutLine(gif, line.data(), w);
            }
        }
        EGifCloseFile(gif, &err);
        GifFreeMapObject(map);
        return sink.bytes;
    }();
    return bytes;
}

struct Source {
    const std::vector<std::uint8_t>* bytes;
    size_t pos = 0;
};

void PngRead(png_structp png, png_bytep out, png_size_t n)
{
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    std::memcpy(out, s->bytes->data() + s->pos, n);
    s->pos += n;
}

// libpng with the transformations our decoder does: palette and grey kept as indexes, truecolour as
// blue, green, red.
void DecodeWithLibpng(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& pixels)
{
    Source src{&bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &src, PngRead);
    png_read_info(png, info);
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB)
        png_set_bgr(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    const int h = int(png_get_image_height(png, info));
    pixels.resize(rowBytes * size_t(h));
    for (int y = 0; y < h; ++y)
        png_read_row(png, pixels.data() + rowBytes * size_t(y), nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void BM_PhotoPNG_Ours(benchmark::State& state)
{
    const auto& bytes = PhotoPNG();
    for (auto _ : state) {
        TPNGImage img;
        img.LoadFromStream(bytes);
        benchmark::DoNotOptimize(img.Pixels().Bits.data());
    }
}
BENCHMARK(BM_PhotoPNG_Ours)->Unit(benchmark::kMillisecond);

void BM_PhotoPNG_Libpng(benchmark::State& state)
{
    const auto& bytes = PhotoPNG();
    for (auto _ : state) {
        // A fresh picture each time, as our decoder makes.
        std::vector<std::uint8_t> px;
        DecodeWithLibpng(bytes, px);
        benchmark::DoNotOptimize(px.data());
    }
}
BENCHMARK(BM_PhotoPNG_Libpng)->Unit(benchmark::kMillisecond);

void BM_PalettePNG_Ours(benchmark::State& state)
{
    const auto& bytes = PalettePNG();
    for (auto _ : state) {
        TPNGImage img;
        img.LoadFromStream(bytes);
        benchmark::DoNotOptimize(img.Pixels().Bits.data());
    }
}
BENCHMARK(BM_PalettePNG_Ours)->Unit(benchmark::kMillisecond);

void BM_PalettePNG_Libpng(benchmark::State& state)
{
    const auto& bytes = PalettePNG();
    for (auto _ : state) {
        // A fresh picture each time, as our decoder makes.
        std::vector<std::uint8_t> px;
        DecodeWithLibpng(bytes, px);
        benchmark::DoNotOptimize(px.data());
    }
}
BENCHMARK(BM_PalettePNG_Libpng)->Unit(benchmark::kMillisecond);

void BM_AnimatedGIF_Ours(benchmark::State& state)
{
    const auto& bytes = AnimatedGIF();
    for (auto _ : state) {
        TGif gif;
        gif.LoadFromStream(bytes);
        benchmark::DoNotOptimize(gif.ImageCount());
    }
}
BENCHMARK(BM_AnimatedGIF_Ours)->Unit(benchmark::kMillisecond);

void BM_AnimatedGIF_OursWithStrip(benchmark::State& state)
{
    const auto& bytes = AnimatedGIF();
    for (auto _ : state) {
        TGif gif;
        gif.LoadFromStream(bytes);
        TGifStripData s = gif.BuildStripData();
        benchmark::DoNotOptimize(s.Bits.data());
    }
}
BENCHMARK(BM_AnimatedGIF_OursWithStrip)->Unit(benchmark::kMillisecond);

int GifRead(GifFileType* gif, GifByteType* out, int n)
{
    auto* s = static_cast<Source*>(gif->UserData);
    n = int(std::min<size_t>(size_t(n), s->bytes->size() - s->pos));
    std::memcpy(out, s->bytes->data() + s->pos, size_t(n));
    s->pos += size_t(n);
    return n;
}

void BM_AnimatedGIF_Giflib(benchmark::State& state)
{
    const auto& bytes = AnimatedGIF();
    for (auto _ : state) {
        Source src{&bytes};
        int err = 0;
        GifFileType* gif = DGifOpen(&src, GifRead, &err);
        DGifSlurp(gif);
        benchmark::DoNotOptimize(gif->ImageCount);
        DGifCloseFile(gif, &err);
    }
}
BENCHMARK(BM_AnimatedGIF_Giflib)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
