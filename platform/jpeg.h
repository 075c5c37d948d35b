#pragma once
// JPEG pictures through libjpeg: decoding into 24-bit bitmaps and encoding bitmaps to files.
// Errors inside libjpeg never end the process; they surface as exceptions.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace platform {

struct JPEGInfo
{
    int Width = 0;
    int Height = 0;
    bool Grayscale = false; // the file holds a single grey channel
};

// Decodes a JPEG file held in memory into a 24-bit bitmap (grey pictures are expanded to grey RGB).
// Corrupt or truncated data raises EInvalidGraphicOperation; pictures larger than the bitmap limits
// raise EOutOfResources before any pixel memory is taken.
Bitmap LoadJPEG(const std::uint8_t* data, std::size_t size, JPEGInfo* info = nullptr);
Bitmap LoadJPEG(const std::vector<std::uint8_t>& data, JPEGInfo* info = nullptr);
// True when the bytes start like a JPEG file (FF D8 FF).
bool IsJPEG(const std::uint8_t* data, std::size_t size);

// Encodes a bitmap (any pixel format) as baseline JPEG; quality 1..100.
std::vector<std::uint8_t> EncodeJPEG(const Bitmap& bitmap, int quality);
// Encodes and writes the file; failures raise EInOutError.
void SaveJPEG(const Bitmap& bitmap, int quality, const std::string& path);

} // namespace platform
