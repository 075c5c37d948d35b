#include "reader/scanner.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"
#include "platform/types.h"
#include "core/charclass.h"
#include "core/idobjects.h"

namespace {

constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
constexpr unsigned char Tab = 9;

using charclass::IsDigit;
using charclass::IsLetter;
using charclass::Upper;

constexpr int MaxNumberValue = 1000000;

}  // namespace

THtmlScanner::THtmlScanner() : FAttributes(std::make_unique<TAttributeList>()) {}
THtmlScanner::~THtmlScanner() = default;

// ---------------------------------------------------------------- parse control

void THtmlScanner::StartParse(std::string document, int docCodePage)
{
    std::size_t zero = document.find('\0');
    if (zero != std::string::npos)
        document.resize(zero);
    FDoc = std::move(document);
    FPos = 0;
    FInc.clear();
    FIncPos = 0;
    FInInclude = false;
    FLastBreak = BreakNone;
    FIncludes = 0;
    FPendingError.clear();
    CharPos = -1;
    DocCodePage = docCodePage;
    RawMode = false;
    Counting = false;
    InComment = false;
    Utf8Fixed = false;
    JapaneseConverted = false;
    XmlEncoding.clear();
    TextSeen = false;
    Sy = EofSy;
    HeadingLevel = 0;
    TagStartPos = 0;
    Ch = UCh = 0;
    Token.Reset();

    if (FDoc.size() > 3 && static_cast<unsigned char>(FDoc[0]) == 0xEF &&
        static_cast<unsigned char>(FDoc[1]) == 0xBB && static_cast<unsigned char>(FDoc[2]) == 0xBF) {
        FDoc.erase(0, 3);
        DocCodePage = platform::CP_UTF8;
        Utf8Fixed = true;
        CharPos = 2;
    } else if (FDoc.find("\x1b$@") != std::string::npos || FDoc.find("\x1b$B") != std::string::npos) {
        FDoc = JisToShiftJis(FDoc);
        zero = FDoc.find('\0');
        if (zero != std::string::npos)
            FDoc.resize(zero);
        DocCodePage = 932;
        JapaneseConverted = true;
    }
    XmlEncoding = XmlDeclarationEncoding(FDoc);
    FStartCharPos = CharPos;
    auto attributes = std::make_unique<TAttributeList>();
    if (FAttributes)
        attributes->StyleParser = FAttributes->StyleParser;
    FAttributes = std::move(attributes);
}

void THtmlScanner::Rewind()
{
    FPos = 0;
    FInc.clear();
    FIncPos = 0;
    FInInclude = false;
    FLastBreak = BreakNone;
    CharPos = FStartCharPos;
    InComment = false;
    TextSeen = false;
    FPendingError.clear();
    Ch = UCh = 0;
    Token.Reset();
}

void THtmlScanner::EndParse()
{
    // The attributes and inline properties of the parse go; the style parser stays for the next one.
    auto fresh = std::make_unique<TAttributeList>();
    fresh->StyleParser = std::move(FAttributes->StyleParser);
    FAttributes = std::move(fresh);
}

bool THtmlScanner::ConvertEucJp()
{
    if (JapaneseConverted)
        return false;
    EucJpToShiftJis(FDoc);
    // The current character was read before the conversion: take its converted byte.
    if (!FInInclude && FPos > 0 && static_cast<unsigned char>(Ch) > 0xA0)
        SetChar(static_cast<unsigned char>(FDoc[FPos - 1]));
    JapaneseConverted = true;
    DocCodePage = 932;
    return true;
}

TScanPlace THtmlScanner::SavePlace() const
{
    return TScanPlace{Ch, UCh, FPos, CharPos, FLastBreak, FInInclude, FIncPos};
}

void THtmlScanner::RestorePlace(const TScanPlace& place)
{
    Ch = place.Ch;
    UCh = place.UCh;
    FPos = std::min(place.Offset, FDoc.size());
    CharPos = place.CharPos;
    FLastBreak = place.LastBreak;
    FInInclude = place.InInclude && place.IncludeOffset <= FInc.size();
    FIncPos = FInInclude ? place.IncludeOffset : 0;
}

// ---------------------------------------------------------------- characters

void THtmlScanner::ReportProgress()
{
    if (Counting || !OnProgress || FDoc.empty())
        return;
    long long percent = (long long)ProgressShare * (long long)FPos / (long long)FDoc.size();
    OnProgress(1, int(percent));
}

inline unsigned char THtmlScanner::ReadByte()
{
    if (FInInclude) {
        if (FIncPos < FInc.size())
            return static_cast<unsigned char>(FInc[FIncPos++]);
        FInInclude = false;
        FInc.clear();
        FIncPos = 0;
    }
    if (FPos < FDoc.size()) {
        unsigned char c = static_cast<unsigned char>(FDoc[FPos++]);
        ++CharPos;
        if ((FPos & 4095) == 0)
            ReportProgress();
        return c;
    }
    return 0;
}

unsigned char THtmlScanner::Peek()
{
    if (FInInclude) {
        if (FIncPos < FInc.size())
            return static_cast<unsigned char>(FInc[FIncPos]);
        FInInclude = false;
        FInc.clear();
        FIncPos = 0;
    }
    return FPos < FDoc.size() ? static_cast<unsigned char>(FDoc[FPos]) : 0;
}

inline void THtmlScanner::SetChar(unsigned char c)
{
    Ch = c;
    UCh = Upper(c);
}

void THtmlScanner::RawChar()
{
    unsigned char c = ReadByte();
    if ((c == LF && FLastBreak == BreakCR) || (c == CR && FLastBreak == BreakLF)) {
        FLastBreak = BreakNone;  // the second half of CR LF or LF CR
        c = ReadByte();
    }
    if (c == LF) {
        c = CR;
        FLastBreak = BreakLF;
    } else if (c == CR) {
        FLastBreak = BreakCR;
    } else {
        FLastBreak = BreakNone;
        if (c == Tab)
            c = ' ';
    }
    SetChar(c);
    if (c == 0 && InComment)
        throw EParseError("Open Comment at End of HTML File");
}

void THtmlScanner::ReadChar()
{
    for (;;) {
        RawChar();
        // Inside a comment or include the characters are taken as they are (no nested markup).
        if (Ch != '<' || RawMode || InComment)
            return;
        const unsigned char next = Peek();
        if (next == '!') {
            RawChar();  // the '!'
            InComment = true;
            RawChar();
            if (Ch == '-' && Peek() == '-') {
                RawChar();  // the second '-'
                if (Include && Peek() == '#') {
                    RawChar();
                    RunInclude();
                } else {
                    RawChar();
                    SkipCommentRest();
                }
            } else {
                while (Ch != '>')
                    RawChar();  // a declaration such as DOCTYPE
            }
            InComment = false;
        } else if (next == '%') {
            RawChar();  // the '%'
            do {
                RawChar();
            } while (Ch != 0 && !(Ch == '%' && Peek() == '>'));
            if (Ch == '%')
                RawChar();  // the '>'
            if (Ch == 0)
                return;
        } else {
            return;
        }
    }
}

// The current character is the first one after "<!--" (or after an include's parameters).
void THtmlScanner::SkipCommentRest()
{
    for (;;) {
        while (Ch != '-')
            RawChar();
        RawChar();
        if (Ch != '-')
            continue;
        while (Ch == '-')
            RawChar();
        while (Ch == ' ' || Ch == CR)
            RawChar();
        if (Ch == '!')
            RawChar();
        if (Ch == '>')
            return;
    }
}

// After "<!--#": command, parameters, the rest of the comment, then the host's text in its place.
void THtmlScanner::RunInclude()
{
    auto isNameChar = [](unsigned char c) { return IsLetter(c) || IsDigit(c) || c == '_'; };
    std::string command;
    RawChar();
    while (isNameChar(Ch)) {
        command += char(Ch);
        RawChar();
    }
    std::vector<std::string> params;
    for (;;) {
        while (Ch == ' ' || Ch == CR)
            RawChar();
        if (!IsLetter(Ch))
            break;
        std::string entry;
        while (isNameChar(Ch)) {
            entry += char(Ch);
            RawChar();
        }
        while (Ch == ' ' || Ch == CR)
            RawChar();
        entry += '=';
        if (Ch == '=') {
            RawChar();
            while (Ch == ' ' || Ch == CR)
                RawChar();
            if (Ch == '"' || Ch == '\'') {
                const unsigned char quote = Ch;
                RawChar();
                while (Ch != quote && Ch != 0) {
                    if (Ch == '&') {
                        entry += DecodeEntityNarrow(0);
                        continue;
                    }
                    entry += Ch == CR ? ' ' : char(Ch);
                    RawChar();
                }
                if (Ch == quote)
                    RawChar();
            } else {
                while (Ch != 0 && Ch != ' ' && Ch != CR && Ch != '-' && Ch != '>') {
                    entry += char(Ch);
                    RawChar();
                }
            }
        }
        params.push_back(std::move(entry));
    }
    SkipCommentRest();

    if (FIncludes >= MaxIncludes)
        return;
    ++FIncludes;
    std::string text;
    Include(command, std::move(params), text);
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    if (text.empty())
        return;
    if (FInInclude && FIncPos < FInc.size())
        text.append(FInc, FIncPos, std::string::npos);  // nested includes continue the outer text
    FInc = std::move(text);
    FIncPos = 0;
    FInInclude = true;
}

void THtmlScanner::SkipBlanks()
{
    while (Ch == ' ' || Ch == CR)
        ReadChar();
}

// ---------------------------------------------------------------- tokens

void THtmlScanner::Next()
{
    if (!FPendingError.empty()) {
        std::string message = std::move(FPendingError);
        FPendingError.clear();
        throw EParseError(message);
    }
    Token.Reset();
    HeadingLevel = 0;
    if (Ch == 0) {
        // The end of the document closes what is open like a tag standing after the last character.
        Sy = EofSy;
        TagStartPos = CharPos + 1;
    } else if (Ch == '<') {
        ReadTag();
    } else if (Ch <= 8) {
        throw EParseError("Not an HTML or Text document");
    } else {
        ReadText();
    }
}

void THtmlScanner::ReadTag()
{
    TagStartPos = CharPos;
    ReadChar();
    bool endTag = false;
    if (Ch == '/') {
        endTag = true;
        ReadChar();
    } else if (Ch != '?' && !IsLetter(Ch)) {
        Sy = TextSy;  // a lone '<' is text
        if (!Counting)
            Token.AppendChar(u'<', TagStartPos);
        return;
    }

    FName.clear();
    while (Ch == '/' || IsDigit(Ch) || IsLetter(Ch) || Ch == '_') {
        if (Ch == '/' && !FName.empty())
            break;  // <BR/>
        if (int(FName.size()) < MaxNameLength)
            FName += char(UCh);
        ReadChar();
        if (FName.size() == 1 && FName[0] == 'H' && Ch >= '1' && Ch <= '6')
            break;
    }
    Sy = endTag ? LookupEndTag(FName) : LookupStartTag(FName);

    SkipBlanks();
    if ((Sy == HeadingSy || Sy == HeadingEndSy) && Ch >= '1' && Ch <= '6') {
        HeadingLevel = Ch - '0';
        ReadChar();
    }

    FAttributes->Reset();
    while (ReadAttribute()) {
    }

    while (Ch != '>' && Ch != 0)
        ReadChar();
    if (Ch == '>' && Sy != ScriptSy && Sy != StyleSy)
        ReadChar();
}

bool THtmlScanner::ReadAttribute()
{
    SkipBlanks();
    if (!IsLetter(Ch))
        return false;
    std::string name;
    while (IsLetter(Ch) || IsDigit(Ch) || Ch == '-') {
        name += char(UCh);
        ReadChar();
    }
    const Symbol sym = LookupAttribute(name.size() <= std::size_t(MaxNameLength) ? std::string_view(name)
                                                                                   : std::string_view());
    SkipBlanks();
    int number = sym == BorderSy ? 1 : 0;
    std::string value;
    if (Ch == '=') {
        ReadChar();
        SkipBlanks();
        if (Ch == '"' || Ch == '\'') {
            const unsigned char quote = Ch;
            const bool keepBreaks = sym == TitleSy || sym == AltSy;
            ReadChar();
            while (Ch != quote && Ch != 0) {
                if (Ch == '&') {
                    value += DecodeEntityNarrow(DocCodePage);
                    continue;
                }
                if (Ch == CR) {
                    if (keepBreaks)
                        value += "\r\n";
                } else {
                    value += char(Ch);
                }
                ReadChar();
            }
            if (Ch == quote)
                ReadChar();
            // The number of a quoted value: trimmed, one trailing '%' dropped.
            std::string_view v = value;
            while (!v.empty() && static_cast<unsigned char>(v.front()) <= ' ')
                v.remove_prefix(1);
            while (!v.empty() && static_cast<unsigned char>(v.back()) <= ' ')
                v.remove_suffix(1);
            if (!v.empty() && v.back() == '%')
                v.remove_suffix(1);
            number = LeadingNumber(v);
        } else if (Ch == '+' || Ch == '-' || IsDigit(Ch)) {
            while (Ch != 0 && Ch != ' ' && Ch != CR && Ch != '%' && Ch != '>') {
                if (Ch == '&') {
                    value += DecodeEntityNarrow(DocCodePage);
                    continue;
                }
                value += char(Ch);
                ReadChar();
            }
            SkipBlanks();
            number = LeadingNumber(value);
            if (Ch == '%') {
                value += '%';
                ReadChar();
            }
        } else {
            while (Ch != 0 && Ch != ' ' && Ch != CR && Ch != '>') {
                if (Ch == '&') {
                    value += DecodeEntityNarrow(DocCodePage);
                    continue;
                }
                value += char(Ch);
                ReadChar();
            }
        }
    }
    if (sym == IDSy && !value.empty() && !Counting && IDNames)
        IDNames->AddCharPos(value, CharPos);
    FAttributes->Add(std::make_unique<TAttribute>(sym, DocCodePage, std::move(value), std::move(name), number));
    return true;
}

void THtmlScanner::FlushBytes(int codePage)
{
    if (FBytes.Length() > 0) {
        Token.AppendBytes(FBytes, codePage);
        FBytes.Reset();
    }
}

void THtmlScanner::ReadText()
{
    Sy = TextSy;
    const int codePage = TextCodePage ? TextCodePage() : DocCodePage;
    FBytes.Reset();
    try {
        ReadTextRun(codePage);
    } catch (const EParseError& e) {
        // The input ended inside a comment: the text before it is delivered, the error comes with the
        // next symbol.
        FPendingError = e.what();
        Ch = UCh = 0;
    }
    if (!Counting)
        FlushBytes(codePage);
}

void THtmlScanner::ReadPreText(int codePage)
{
    Token.Reset();
    FBytes.Reset();
    for (;;) {
        const unsigned char c = Ch;
        if (c == '<' || c <= 8 || c == CR)
            break;
        if (c == '&') {
            FlushBytes(codePage);
            DecodeEntityIntoToken(codePage);
            continue;
        }
        FBytes.Append(char(c), CharPos);
        ReadChar();
    }
    FlushBytes(codePage);
}

void THtmlScanner::ReadTextRun(int codePage)
{
    for (;;) {
        const unsigned char c = Ch;
        if (c == ' ' || c == CR) {
            const int pos = CharPos;
            do {
                ReadChar();
            } while (Ch == ' ' || Ch == CR);
            if (!Counting)
                FBytes.Append(' ', pos);
            continue;
        }
        if (c == '<' || c <= 8)
            break;  // a zero byte (end) or a control character ends the run
        TextSeen = true;
        if (c == '&') {
            if (!Counting)
                FlushBytes(codePage);
            DecodeEntityIntoToken(codePage);
            continue;
        }
        if (!Counting)
            FBytes.Append(char(c), CharPos);
        ReadChar();
    }
}

bool THtmlScanner::DocumentLooksUtf8() const { return IsMultibyteUtf8(FDoc); }

// ---------------------------------------------------------------- character sets

namespace {

constexpr std::uint64_t HighBits = 0x8080808080808080ull;

// Checks the one character at p (p < end) and steps past it; false for an invalid one. A character cut
// short by the end of the text leaves p at the end without counting as multi-byte.
bool StepUtf8(const unsigned char*& p, const unsigned char* end, bool& multibyte)
{
    const unsigned c = *p;
    if (c < 0x80) {
        ++p;
        return true;
    }
    // The lead byte tells the length and the range allowed for the first continuation byte.
    int length;
    unsigned low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;  // overlong below U+0800
        else if (c == 0xED)
            high = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0)
            low = 0x90;  // overlong below U+10000
        else if (c == 0xF4)
            high = 0x8F;  // above U+10FFFF
    } else {
        return false;  // a continuation byte without a lead, C0, C1 or F5..FF
    }
    for (int i = 1; i < length; ++i) {
        if (p + i == end) {
            p = end;  // cut short by the end of the text
            return true;
        }
        const unsigned b = p[i];
        if (b < (i == 1 ? low : 0x80u) || b > (i == 1 ? high : 0xBFu))
            return false;
    }
    multibyte = true;
    p += length;
    return true;
}

}  // namespace

bool IsMultibyteUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    bool multibyte = false;
    while (p < end) {
        // ASCII and two-byte characters (most Cyrillic, Greek and Latin text) go eight bytes at a time
        // without a branch per character: each continuation byte must directly follow a two-byte lead
        // (C2..DF) and each such lead must be followed by one. A longer character or a stray byte leaves
        // the word to the character-wise step.
        std::uint64_t carry = 0;  // bit 7: the last byte of the previous word was a two-byte lead
        if constexpr (std::endian::native == std::endian::little) {
            while (end - p >= 8) {
                std::uint64_t w;
                std::memcpy(&w, p, 8);
                const std::uint64_t high = w & HighBits;
                const std::uint64_t bit6 = (w << 1) & HighBits;  // bit 6 of each byte, moved to bit 7
                const std::uint64_t bit5 = (w << 2) & HighBits;
                const std::uint64_t cont = high & ~bit6;
                const std::uint64_t lead = high & bit6;
                const std::uint64_t lead2 = lead & ~bit5;
                if (lead != lead2)
                    break;
                // C0 and C1 (110 0000x) would spell ASCII the long way.
                const std::uint64_t valueBits = ((w & 0x1E1E1E1E1E1E1E1Eull) + 0x7F7F7F7F7F7F7F7Full) & HighBits;
                if (lead2 & ~valueBits)
                    return false;
                if (cont != ((lead2 << 8) | carry))
                    return false;
                multibyte |= cont != 0;
                carry = (lead2 >> 56) & 0x80;
                p += 8;
            }
        }
        if (carry)
            --p;  // the pending lead is read again with its continuation
        if (p == end)
            break;
        if (!StepUtf8(p, end, multibyte))
            return false;
    }
    return multibyte;
}

std::string XmlDeclarationEncoding(std::string_view text)
{
    if (text.size() < 6 || text.substr(0, 5) != "<?xml" || !(text[5] == ' ' || text[5] == '\t' ||
                                                              text[5] == '\r' || text[5] == '\n'))
        return {};
    // The declaration is short; a missing "?>" within the first kilobyte means there is none.
    const std::size_t close = text.substr(0, 1024).find("?>");
    if (close == std::string_view::npos)
        return {};
    const std::string_view decl = text.substr(0, close);
    std::size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return {};
    at += 8;
    auto skipBlanks = [&] {
        while (at < decl.size() && (decl[at] == ' ' || decl[at] == '\t' || decl[at] == '\r' || decl[at] == '\n'))
            ++at;
    };
    skipBlanks();
    if (at >= decl.size() || decl[at] != '=')
        return {};
    ++at;
    skipBlanks();
    if (at >= decl.size() || (decl[at] != '"' && decl[at] != '\''))
        return {};
    const char quote = decl[at++];
    const std::size_t endQuote = decl.find(quote, at);
    if (endQuote == std::string_view::npos)
        return {};
    return std::string(decl.substr(at, endQuote - at));
}

// ---------------------------------------------------------------- numbers

int LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    std::string buf;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        buf += text[i++];
    std::size_t digits = 0;
    while (i < n && IsDigit(static_cast<unsigned char>(text[i]))) {
        if (digits < 400)
            buf += text[i];
        ++i;
        ++digits;
    }
    bool overflow = digits >= 400;
    if (i < n && text[i] == '.') {
        buf += text[i++];
        std::size_t frac = 0;
        while (i < n && IsDigit(static_cast<unsigned char>(text[i]))) {
            if (frac < 40)
                buf += text[i];
            ++i;
            ++frac;
        }
        digits += frac;
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string ex = "e";
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ex += text[j++];
        if (j < n && IsDigit(static_cast<unsigned char>(text[j]))) {
            int e = 0;
            while (j < n && IsDigit(static_cast<unsigned char>(text[j]))) {
                if (e < 100000)
                    e = e * 10 + (text[j] - '0');
                ++j;
            }
            buf += ex + std::to_string(e);
        }
    }
    double v = overflow ? (buf[0] == '-' ? -HUGE_VAL : HUGE_VAL) : std::strtod(buf.c_str(), nullptr);
    if (std::isnan(v))
        return 0;
    if (v > MaxNumberValue)
        return MaxNumberValue;
    if (v < -MaxNumberValue)
        return -MaxNumberValue;
    return platform::Round(v);
}
