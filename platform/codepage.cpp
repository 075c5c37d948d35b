// Code-page conversion. Each single-byte page is read once through iconv into a 256-entry table (bytes the page
// leaves undefined map to the code point of the same value); each double-byte page into a table of its 64K
// lead/trail pairs. Conversion is then a table walk: fast, and always one UTF-16 unit per character stepped
// by CharByteLength, which keeps source-index pairing exact.

#include "platform/codepage.h"

#include <QChar>

#include <array>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/sysvalues.h"

namespace platform {

namespace {

constexpr char16_t Replacement = 0xFFFD;

const char* IconvName(int cp)
{
    switch (cp) {
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 1361: return "JOHAB";
    case 437: return "CP437";
    case 850: return "CP850";
    case 852: return "CP852";
    case 855: return "CP855";
    case 857: return "CP857";
    case 860: return "CP860";
    case 861: return "CP861";
    case 862: return "CP862";
    case 863: return "CP863";
    case 865: return "CP865";
    case 866: return "CP866";
    case 869: return "CP869";
    case 10000: return "MACINTOSH";
    case 10007: return "MAC-CYRILLIC";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28593: return "ISO-8859-3";
    case 28594: return "ISO-8859-4";
    case 28595: return "ISO-8859-5";
    case 28596: return "ISO-8859-6";
    case 28597: return "ISO-8859-7";
    case 28598: return "ISO-8859-8";
    case 28599: return "ISO-8859-9";
    case 28605: return "ISO-8859-15";
    default: return nullptr;
    }
}

// Converts one byte sequence that should be exactly one character; returns 0 when the page rejects it.
char16_t ConvertOne(iconv_t cd, const unsigned char* bytes, std::size_t count)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[4];
    for (std::size_t i = 0; i < count; ++i)
        in[i] = char(bytes[i]);
    char out[16];
    char* inPtr = in;
    std::size_t inLeft = count;
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == std::size_t(-1) || inLeft != 0)
        return 0;
    // Flush stateful converters (1255/1258 hold back a base letter waiting for a combining mark).
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    std::size_t produced = sizeof out - outLeft;
    if (produced != 2)
        return 0;  // nothing, or more than one UTF-16 unit: not one BMP character
    return char16_t(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

struct PageTable {
    bool doubleByte = false;
    std::array<char16_t, 256> single{};   // byte -> character (single-byte pages, and non-lead bytes)
    std::array<bool, 256> lead{};         // lead bytes of double-byte pages
    std::vector<char16_t> pairs;          // lead*256+trail -> character, 0 when undefined
    std::vector<std::uint16_t> reverse;   // character -> byte(s) (low byte first for pairs), 0 when none
    std::vector<bool> reverseSet;
};

std::unique_ptr<PageTable> BuildTable(int cp)
{
    const char* name = IconvName(cp);
    if (!name)
        return nullptr;
    iconv_t cd = iconv_open("UTF-16LE", name);
    if (cd == iconv_t(-1))
        return nullptr;
    auto table = std::make_unique<PageTable>();
    table->doubleByte = IsMultiByteCodePage(cp);
    for (int b = 0; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        char16_t c = ConvertOne(cd, &byte, 1);
        if (c == 0 && b != 0) {
            if (table->doubleByte && b >= 0x80)
                table->lead[b] = true;  // needs a trail byte
            c = char16_t(b);            // undefined: the code point of the same value
        }
        table->single[b] = c;
    }
    if (table->doubleByte) {
        table->pairs.assign(65536, 0);
        for (int l = 0x81; l < 256; ++l) {
            if (!table->lead[l])
                continue;
            for (int t = 0x40; t < 256; ++t) {
                unsigned char two[2] = {static_cast<unsigned char>(l), static_cast<unsigned char>(t)};
                table->pairs[l * 256 + t] = ConvertOne(cd, two, 2);
            }
        }
    }
    iconv_close(cd);

    table->reverse.assign(65536, 0);
    table->reverseSet.assign(65536, false);
    for (int b = 255; b >= 0; --b) {
        if (table->lead[b])
            continue;
        char16_t c = table->single[b];
        table->reverse[c] = std::uint16_t(b);
        table->reverseSet[c] = true;
    }
    if (table->doubleByte) {
        for (int i = 65535; i >= 0x8100; --i) {
            char16_t c = table->pairs[i];
            if (c != 0 && !table->reverseSet[c]) {
                table->reverse[c] = std::uint16_t(((i & 0xFF) << 8) | (i >> 8));  // lead byte first in memory
                table->reverseSet[c] = true;
            }
        }
    }
    return table;
}

const PageTable* TableFor(int cp)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<PageTable>> tables;
    std::lock_guard lock(mutex);
    auto it = tables.find(cp);
    if (it == tables.end())
        it = tables.emplace(cp, BuildTable(cp)).first;
    return it->second.get();
}

}  // namespace

std::size_t DecodeUtf8Sequence(std::string_view bytes, std::size_t i, char32_t& codePoint)
{
    if (i >= bytes.size())
        return 0;
    unsigned char b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    }
    std::size_t len;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > bytes.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        unsigned char b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    codePoint = cp;
    return len;
}

namespace {

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

}  // namespace

int SystemCodePage() { return SysValues().AnsiCodePage; }

int ResolveCodePage(int codePage)
{
    switch (codePage) {
    case CP_ACP: return SysValues().AnsiCodePage;
    case CP_OEMCP: return SysValues().OemCodePage;
    case CP_MACCP: return SysValues().MacCodePage;
    default: return codePage;
    }
}

bool IsMultiByteCodePage(int codePage)
{
    switch (ResolveCodePage(codePage)) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361: return true;
    default: return false;
    }
}

bool IsValidCodePage(int codePage)
{
    int cp = ResolveCodePage(codePage);
    return cp == CP_UTF8 || TableFor(cp) != nullptr;
}

const char16_t* SingleByteTable(int codePage)
{
    int cp = ResolveCodePage(codePage);
    if (cp == CP_UTF8 || IsMultiByteCodePage(cp))
        return nullptr;
    const PageTable* table = TableFor(cp);
    if (!table)
        table = TableFor(SystemCodePage());
    return table ? table->single.data() : nullptr;
}

bool IsDBCSLeadByteEx(int codePage, unsigned char byte)
{
    int cp = ResolveCodePage(codePage);
    if (!IsMultiByteCodePage(cp))
        return false;
    const PageTable* table = TableFor(cp);
    return table && table->lead[byte];
}

std::size_t CharByteLength(int codePage, std::string_view bytes, std::size_t index)
{
    if (index >= bytes.size())
        return 1;
    int cp = ResolveCodePage(codePage);
    if (cp == CP_UTF8) {
        char32_t ignored;
        std::size_t len = DecodeUtf8Sequence(bytes, index, ignored);
        return len == 0 ? 1 : len;
    }
    if (IsMultiByteCodePage(cp) && index + 1 < bytes.size() &&
        IsDBCSLeadByteEx(cp, static_cast<unsigned char>(bytes[index])))
        return 2;
    return 1;
}

std::u16string Utf8ToWide(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp;
        std::size_t len = DecodeUtf8Sequence(text, i, cp);
        if (len == 0) {
            out += Replacement;
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += len;
    }
    return out;
}

std::string WideToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = Replacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string MultiByteToWide(int codePage, std::string_view bytes)
{
    int cp = ResolveCodePage(codePage);
    if (cp == CP_UTF8)
        return Utf8ToWide(bytes);
    const PageTable* table = TableFor(cp);
    if (!table)
        table = TableFor(SystemCodePage());
    std::u16string out;
    if (!table)
        return out;
    out.resize(bytes.size());
    std::size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (!table->doubleByte) {
        for (std::size_t i = 0; i < size; ++i)
            out[i] = table->single[p[i]];
        return out;
    }
    for (std::size_t i = 0; i < size; ++i) {
        unsigned char b = p[i];
        if (table->lead[b] && i + 1 < size) {
            char16_t c = table->pairs[b * 256 + p[i + 1]];
            out[n++] = c ? c : Replacement;
            ++i;
        } else {
            out[n++] = table->lead[b] ? Replacement : table->single[b];
        }
    }
    out.resize(n);
    return out;
}

std::string WideToMultiByte(int codePage, std::u16string_view text)
{
    int cp = ResolveCodePage(codePage);
    if (cp == CP_UTF8)
        return WideToUtf8(text);
    const PageTable* table = TableFor(cp);
    if (!table)
        table = TableFor(SystemCodePage());
    std::string out;
    if (!table)
        return out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (!table->reverseSet[c]) {
            out += '?';
            continue;
        }
        std::uint16_t v = table->reverse[c];
        if (table->doubleByte && v > 0xFF) {
            out += char(v & 0xFF);
            out += char(v >> 8);
        } else {
            out += char(v);
        }
    }
    return out;
}

char16_t WideUpper(char16_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? char16_t(c - 32) : c;
    char32_t u = QChar::toUpper(char32_t(c));
    return u > 0xFFFF ? c : char16_t(u);
}

char16_t WideLower(char16_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    char32_t l = QChar::toLower(char32_t(c));
    return l > 0xFFFF ? c : char16_t(l);
}

void WideUpperInPlace(std::u16string& text)
{
    for (char16_t& c : text)
        c = WideUpper(c);
}

void WideLowerInPlace(std::u16string& text)
{
    for (char16_t& c : text)
        c = WideLower(c);
}

std::string SystemToUtf8(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return WideToUtf8(MultiByteToWide(SystemCodePage(), text));
    return std::string(text);
}

std::string Utf8ToSystem(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return WideToMultiByte(SystemCodePage(), Utf8ToWide(text));
    return std::string(text);
}

}  // namespace platform
