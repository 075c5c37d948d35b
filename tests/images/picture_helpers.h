#pragma once
// Helpers of the picture tests: reading reference PNGs with libpng, and writing small GIF and PNG files.

#include <cstdint>
#include <string>
#include <vector>

namespace pictest {

std::string DataDir();  // tests/data/images
std::vector<std::uint8_t> ReadAll(const std::string& path);
std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix);

// A picture as 8-bit RGBA rows, as libpng reads it.
struct RGBAImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;  // R, G, B, A
    bool HasGamma = false;
    double Gamma = 0;  // file gamma (gAMA / 100000)
    const std::uint8_t* At(int x, int y) const { return Pixels.data() + (size_t(y) * Width + x) * 4; }
};
// Samples reduced to their high byte, palettes and grey expanded, transparency as alpha. False on error.
bool ReadPNGWithLibpng(const std::string& path, RGBAImage& out);

// A minimal GIF writer: literal-only LZW (a clear code before the table grows), one global table.
struct GifFrameDesc {
    int Left = 0, Top = 0, Width = 1, Height = 1;
    std::vector<std::uint8_t> Indexes;  // Width * Height
    int Delay = -1;                     // < 0: no graphic control extension
    int Disposal = 0;
    int Transparent = -1;
    bool Interlaced = false;
};
std::vector<std::uint8_t> GifLZW(const std::vector<std::uint8_t>& indexes, int minCodeSize);
std::vector<std::uint8_t> MakeGif(int screenWidth, int screenHeight, const std::vector<std::uint32_t>& palette,
                                  const std::vector<GifFrameDesc>& frames, int loopCount = -1);

// PNG writing for tests: chunk with its CRC (zlib's), and a whole file from raw (unfiltered) rows.
void AppendChunk(std::vector<std::uint8_t>& out, const std::string& type, const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> IHDRData(std::uint32_t w, std::uint32_t h, int depth, int colourType, int interlace = 0);
std::vector<std::uint8_t> MakePNG(std::uint32_t w, std::uint32_t h, int depth, int colourType,
                                  const std::vector<std::uint8_t>& filteredRows,
                                  const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& extra = {},
                                  int interlace = 0);

}  // namespace pictest
