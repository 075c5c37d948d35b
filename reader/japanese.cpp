// Japanese text arrives as 7-bit JIS or as EUC-JP; both are turned into Shift-JIS before it is read.

#include "reader/scanner.h"

namespace {

// First byte of a JIS pair (0x21..0x7E) to the Shift-JIS lead byte.
inline unsigned char LeadByte(int b)
{
    return static_cast<unsigned char>(b >= 0x21 && b <= 0x5E ? (b + 1) / 2 + 0x70 : (b + 1) / 2 + 0xB0);
}

// Second byte of a JIS pair to the Shift-JIS trail byte, given the first byte.
inline unsigned char TrailByte(int first, int b)
{
    if (first % 2 == 0)
        return static_cast<unsigned char>(b + 0x7E);
    return static_cast<unsigned char>(b >= 0x60 ? b + 0x20 : b + 0x1F);
}

}  // namespace

std::string JisToShiftJis(std::string_view text)
{
    enum { Ascii, First, Second } state = Ascii;
    std::string out;
    out.reserve(text.size());
    int first = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int b = static_cast<unsigned char>(text[i]) % 128;
        if (b == 0x1B && i + 2 < n) {
            const char c1 = text[i + 1];
            const char c2 = text[i + 2];
            if (c1 == '(' && (c2 == 'B' || c2 == 'J')) {
                state = Ascii;
                i += 2;
                continue;
            }
            if (c1 == '$' && (c2 == '@' || c2 == 'B')) {
                state = First;
                i += 2;
                continue;
            }
        }
        switch (state) {
        case Ascii:
            out += char(b);
            break;
        case First:
            first = b;
            out += char(LeadByte(b));
            state = Second;
            break;
        case Second:
            out += char(TrailByte(first, b));
            state = First;
            break;
        }
    }
    return out;
}

void EucJpToShiftJis(std::string& text)
{
    bool second = false;
    int first = 0;
    for (char& ch : text) {
        const int byte = static_cast<unsigned char>(ch);
        if (byte <= 0xA0) {
            second = false;
            continue;
        }
        const int b = byte % 128;
        if (!second) {
            first = b;
            ch = char(LeadByte(b));
        } else {
            ch = char(TrailByte(first, b));
        }
        second = !second;
    }
}
