#include "core/tokenobj.h"

#include <algorithm>

#include "platform/codepage.h"
#include "core/charcollection.h"

namespace {

constexpr char16_t Replacement = 0xFFFD;

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
            int len = int(platform::DecodeUtf8Sequence(bytes.View(), std::size_t(i), c));
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
        const char16_t* table = platform::SingleByteTable(cp);
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
