#pragma once
// Writing PNG files: a picture's pixels as 8-bit truecolour, with an alpha channel taken from a mask when
// one is given (white mask pixels become fully transparent).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

std::vector<std::uint8_t> EncodePNG(const platform::Bitmap& picture, const platform::Bitmap* mask = nullptr);
// Encodes and writes the file; failures raise platform::EInOutError.
void SavePNG(const platform::Bitmap& picture, const platform::Bitmap* mask, const std::string& path);
