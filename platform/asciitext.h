#pragma once
// Small helpers for the 8-bit texts of pages (names, addresses, attribute and style values), which compare
// and trim by ASCII rules only: letters outside A..Z keep their case.

#include <string>
#include <string_view>

namespace platform {

// Drops every character up to the blank (controls included) at both ends.
std::string TrimBlanks(std::string_view s);
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);
// Ordering that ignores the case of A..Z: negative, zero or positive.
int CompareTextAscii(std::string_view a, std::string_view b);
inline bool SameTextAscii(std::string_view a, std::string_view b) { return CompareTextAscii(a, b) == 0; }
// The value of a hexadecimal digit, -1 for any other character.
int HexDigitValue(char c);

}  // namespace platform
