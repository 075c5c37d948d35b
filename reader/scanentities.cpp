// Character references, in text (into the token, with positions) and in attribute values (into bytes
// of a code page).

#include "platform/codepage.h"
#include "core/charclass.h"
#include "reader/entities.h"
#include "reader/scanner.h"

namespace {

constexpr int MaxCode = 0x110000;  // references beyond the last code point saturate here
constexpr char16_t BadCharacter = 0xFFFD;
constexpr std::size_t MaxEntityName = 11;

using charclass::HexValue;


// UTF-16 of a code point; surrogates and values beyond U+10FFFF become U+FFFD.
int ToUtf16(int code, char16_t out[2])
{
    if (code >= 0xD800 && code <= 0xDFFF)
        code = BadCharacter;
    if (code >= MaxCode || code < 0)
        code = BadCharacter;
    if (code < 0x10000) {
        out[0] = char16_t(code);
        return 1;
    }
    code -= 0x10000;
    out[0] = char16_t(0xD800 + (code >> 10));
    out[1] = char16_t(0xDC00 + (code & 0x3FF));
    return 2;
}

// The bytes of a decoded reference in a code page.
std::string Narrow(int code, bool numeric, int codePage)
{
    if (code == 9)
        return " ";
    if (code < 32)
        return "?";
    if (numeric && code >= 127 && code <= 159)
        return std::string(1, char(code));
    char16_t units[2];
    int n = ToUtf16(code, units);
    const int cp = platform::ResolveCodePage(codePage);
    if (n == 2 && cp != platform::CP_UTF8)
        return "?";
    return platform::WideToMultiByte(cp, std::u16string_view(units, std::size_t(n)));
}

}  // namespace

// A code point decoded in text: tab and control codes go into the byte run as blank and '?', a numeric
// 127..159 as that byte (read through the page), anything else straight into the token.
void THtmlScanner::EmitCode(int code, int pos, bool numeric, int codePage)
{
    if (Counting)
        return;
    if (code == 9) {
        FBytes.Append(' ', pos);
    } else if (code < 32) {
        FBytes.Append('?', pos);
    } else if (numeric && code >= 127 && code <= 159) {
        FBytes.Append(char(code), pos);
    } else {
        FlushBytes(codePage);
        char16_t units[2];
        int n = ToUtf16(code, units);
        for (int i = 0; i < n; ++i)
            Token.AppendChar(units[i], pos);
    }
}

void THtmlScanner::DecodeEntityIntoToken(int codePage)
{
    const int amp = CharPos;
    ReadChar();
    if (Ch == '#') {
        ReadChar();
        if (UCh == 'X') {
            const unsigned char x = Ch;
            const int xPos = CharPos;
            ReadChar();
            if (HexValue(Ch) < 0) {
                // "&#x" without a digit: '&' and the 'x' stay as text
                if (!Counting) {
                    FBytes.Append('&', amp);
                    FBytes.Append(char(x), xPos);
                }
                return;
            }
            int code = 0;
            for (int d; (d = HexValue(Ch)) >= 0; ReadChar())
                code = std::min(code * 16 + d, MaxCode);
            if (Ch == ';')
                ReadChar();
            EmitCode(code, amp, true, codePage);
        } else if (charclass::IsDigit(Ch)) {
            int code = 0;
            for (; charclass::IsDigit(Ch); ReadChar())
                code = std::min(code * 10 + (Ch - '0'), MaxCode);
            if (Ch == ';')
                ReadChar();
            EmitCode(code, amp, true, codePage);
        } else if (!Counting) {
            FBytes.Append('&', amp);  // the '#' is gone
        }
        return;
    }
    char name[MaxEntityName];
    int positions[MaxEntityName];
    std::size_t len = 0;
    while (len < MaxEntityName && (charclass::IsLetter(Ch) || charclass::IsDigit(Ch))) {
        name[len] = char(Ch);
        positions[len] = CharPos;
        ++len;
        ReadChar();
    }
    const int code = len > 0 ? LookupEntity(std::string_view(name, len)) : -1;
    if (code >= 0) {
        if (Ch == ';')
            ReadChar();
        EmitCode(code, amp, false, codePage);
        return;
    }
    if (!Counting) {
        FBytes.Append('&', amp);
        for (std::size_t i = 0; i < len; ++i)
            FBytes.Append(name[i], positions[i]);
    }
}

std::string THtmlScanner::DecodeEntityNarrow(int codePage)
{
    std::string literal = "&";
    ReadChar();
    if (Ch == '#') {
        literal += '#';
        ReadChar();
        if (UCh == 'X') {
            literal += char(Ch);
            ReadChar();
            if (HexValue(Ch) < 0)
                return literal;
            int code = 0;
            for (int d; (d = HexValue(Ch)) >= 0; ReadChar())
                code = std::min(code * 16 + d, MaxCode);
            if (Ch == ';')
                ReadChar();
            return Narrow(code, true, codePage);
        }
        if (!charclass::IsDigit(Ch))
            return literal;
        int code = 0;
        for (; charclass::IsDigit(Ch); ReadChar())
            code = std::min(code * 10 + (Ch - '0'), MaxCode);
        if (Ch == ';')
            ReadChar();
        return Narrow(code, true, codePage);
    }
    std::string name;
    while (name.size() < MaxEntityName && (charclass::IsLetter(Ch) || charclass::IsDigit(Ch))) {
        name += char(Ch);
        ReadChar();
    }
    const int code = name.empty() ? -1 : LookupEntity(name);
    if (code < 0 || (code > 255 && Ch != ';'))
        return literal + name;
    if (Ch == ';')
        ReadChar();
    return Narrow(code, false, codePage);
}
