#include "reader/tokenobj.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/codepage.h"
#include "reader/charcollection.h"

namespace {

constexpr char16_t Replacement = 0xFFFD;

// Byte -> character of a single-byte code page, made once per page through the platform converter.
const char16_t* SingleByteTable(int codePage)
{
    thread_local std::unordered_map<int, std::array<char16_t, 256>> tables;
    thread_local int lastPage = -1;
    thread_local const char16_t* last = nullptr;
    if (codePage == lastPage)
        return last;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        char all[256];
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        std::u16string wide = platform::MultiByteToWide(codePage, std::string_view(all, 256));
        std::array<char16_t, 256> table{};
        for (int i = 0; i < 256; ++i)
            table[std::size_t(i)] = std::size_t(i) < wide.size() ? wide[std::size_t(i)] : char16_t(i);
        it = tables.emplace(codePage, table).first;
    }
    lastPage = codePage;
    last = it->second.data();
    return last;
}

// Length of a well-formed UTF-8 sequence at p[i] and its code point; 0 when it is not one.
int Utf8Sequence(const unsigned char* p, int i, int n, char32_t& cp)
{
    unsigned char b0 = p[i];
    int len;
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
    if (i + len > n)
        return 0;
    for (int k = 1; k < len; ++k) {
        unsigned char b = p[i + k];
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

}  // namespace

TokenObj::TokenObj()
{
    Grow(300);
}

void TokenObj::Grow(int capacity)
{
    if (FChars.size() < std::size_t(capacity)) {
        std::size_t size = std::max(std::size_t(capacity), FChars.size() * 2);
        FChars.resize(size);
        FIndices.resize(size);
    }
    FCapacity = capacity;
}

const std::u16string& TokenObj::Text()
{
    if (!FCurrent) {
        FCache.assign(FChars.data(), std::size_t(FCount));
        FCurrent = true;
    }
    return FCache;
}

void TokenObj::AppendBytes(const TCharCollection& bytes, int codePage)
{
    const int n = bytes.Length();
    if (n == 0)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.View().data());
    const int* src = bytes.Indices();
    const int cp = platform::ResolveCodePage(codePage);
    Ensure(2 * n);  // at most two units per byte (a four-byte sequence gives two)
    char16_t* outChars = FChars.data() + FCount;
    int* outIdx = FIndices.data() + FCount;
    int produced = 0;

    if (cp == platform::CP_UTF8) {
        // Decode and pair in one pass: every unit gets the index of the first byte of its sequence, both
        // halves of a surrogate pair the same one, each replacement character the byte it replaced.
        int i = 0;
        while (i < n) {
            if (p[i] < 0x80) {
                outChars[produced] = p[i];
                outIdx[produced++] = src[i];
                ++i;
                continue;
            }
            char32_t c = 0;
            int len = Utf8Sequence(p, i, n, c);
            if (len == 0) {
                outChars[produced] = Replacement;
                outIdx[produced++] = src[i];
                ++i;
            } else if (c >= 0x10000) {
                c -= 0x10000;
                outChars[produced] = char16_t(0xD800 + (c >> 10));
                outIdx[produced++] = src[i];
                outChars[produced] = char16_t(0xDC00 + (c & 0x3FF));
                outIdx[produced++] = src[i];
                i += len;
            } else {
                outChars[produced] = char16_t(c);
                outIdx[produced++] = src[i];
                i += len;
            }
        }
    } else if (!platform::IsMultiByteCodePage(cp)) {
        const char16_t* table = SingleByteTable(cp);
        for (int i = 0; i < n; ++i) {
            outChars[i] = table[p[i]];
            outIdx[i] = src[i];
        }
        produced = n;
    } else {
        const std::string_view view = bytes.View();
        const std::u16string wide = platform::MultiByteToWide(cp, view);
        std::size_t i = 0;
        for (char16_t c : wide) {
            if (i >= std::size_t(n))
                break;  // never pair a unit with an index past the run
            outChars[produced] = c;
            outIdx[produced++] = src[i];
            i += std::max<std::size_t>(1, platform::CharByteLength(cp, view, i));
        }
    }
    FCount += produced;
    FCurrent = false;
}
