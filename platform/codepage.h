#pragma once
// Windows code pages and UTF-8 to and from UTF-16, through glibc's iconv.
// Conversions never lose or add characters: a byte a single-byte page leaves undefined becomes the
// code point of the same value, an invalid multibyte sequence becomes one U+FFFD per byte it spans.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

constexpr int CP_ACP = 0;       // the system default code page (SystemCodePage())
constexpr int CP_OEMCP = 1;     // the OEM code page (866)
constexpr int CP_MACCP = 2;     // the Macintosh code page (10007)
constexpr int CP_UTF8 = 65001;

// 1251: the program is Russian.
int SystemCodePage();
// Resolves CP_ACP / CP_OEMCP / CP_MACCP to real numbers; other values are returned as they are.
int ResolveCodePage(int codePage);
// True when the code page is one we can convert (after resolving the aliases above).
bool IsValidCodePage(int codePage);
// True for the double-byte pages 932, 936, 949, 950, 1361.
bool IsMultiByteCodePage(int codePage);

// Bytes of the code page to UTF-16. An unknown code page converts through the system code page.
std::u16string MultiByteToWide(int codePage, std::string_view bytes);
// UTF-16 to bytes of the code page; characters the page lacks become '?'.
std::string WideToMultiByte(int codePage, std::u16string_view text);

// Number of bytes of the character that starts at bytes[index] (1 for single-byte pages, the lead-byte
// table for double-byte pages, the sequence length for UTF-8); never runs past the end and is at least 1.
std::size_t CharByteLength(int codePage, std::string_view bytes, std::size_t index);
// The byte -> character table of a single-byte code page (an unknown page gives the system page's table);
// nullptr for UTF-8 and the double-byte pages. Made once, valid for the life of the process.
const char16_t* SingleByteTable(int codePage);
// Length of the well-formed UTF-8 sequence that starts at bytes[index], with its code point in codePoint;
// 0 when none starts there (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
std::size_t DecodeUtf8Sequence(std::string_view bytes, std::size_t index, char32_t& codePoint);

// True when the byte is a lead byte of a double-byte code page.
bool IsDBCSLeadByteEx(int codePage, unsigned char byte);

// One code unit to one code unit, as the platform's wide upper/lower case does; never changes length.
char16_t WideUpper(char16_t c);
char16_t WideLower(char16_t c);
void WideUpperInPlace(std::u16string& text);
void WideLowerInPlace(std::u16string& text);

// 8-bit strings of the program (names, addresses) are system-code-page text: these convert them to and from
// the UTF-8 the file system and the desktop use.
std::string SystemToUtf8(std::string_view text);
std::string Utf8ToSystem(std::string_view text);
// UTF-8 <-> UTF-16, invalid sequences becoming U+FFFD.
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

}  // namespace platform
