#pragma once
// Text measuring and case helpers shared by the text sections and their painting.

#include <string>

namespace platform {
class Canvas;
}

// Width in pixels of the first n characters.
int TextExtent(const platform::Canvas& canvas, const char16_t* chars, int n);
// How many of the first n characters fit in maxWidth, and their width (both 0 when maxWidth <= 0 or
// n = 0).
void TextFit(const platform::Canvas& canvas, const char16_t* chars, int n, int maxWidth, int& fit, int& width);
// One code unit to one code unit; the length never changes.
std::u16string WideUpperCase(const std::u16string& s);
std::u16string WideLowerCase(const std::u16string& s);
// Removes characters with codes below 33 at both ends.
std::u16string WideTrim(const std::u16string& s);
