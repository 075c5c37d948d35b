#include "style/sheetparser.h"

#include "platform/asciitext.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "style/conversions.h"
#include "style/properties.h"
#include "style/stylelist.h"

namespace {

// "@media screen" blocks are read like top-level rules up to this depth; deeper ones are skipped.
constexpr int MaxMediaDepth = 16;

const char* const kShorthands[] = {"margin", "padding", "border-width", "border", "border-top", "border-right",
                                   "border-bottom", "border-left", "font", "background", "list-style",
                                   "border-color", "border-style"};
enum Shorthand { shMargin, shPadding, shBorderWidth, shBorder, shBorderTop, shBorderRight, shBorderBottom,
                 shBorderLeft, shFont, shBackground, shListStyle, shBorderColor, shBorderStyle };

const char* const kFontWords[] = {"italic", "oblique", "normal", "bolder", "lighter", "bold", "small-caps", "larger",
                                  "smaller", "xx-small", "x-small", "small", "medium", "large", "x-large", "xx-large"};
const char* const kBorderStyleWords[] = {"none", "solid", "dashed", "dotted", "double", "groove", "inset", "outset", "ridge"};

inline bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
inline bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
inline bool IsSelectorChar(char c)
{
    return IsAlnum(c) || c == ' ' || c == '#' || c == '-' || c == '.' || c == ':' || c == '_';
}
inline bool IsPieceChar(char c) { return IsAlnum(c) || c == '-' || c == '_'; }

std::string_view TrimView(std::string_view s)
{
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// The text of an at-rule (after "@", lower case) names a block for the screen: any at-rule that mentions
// "screen", and an "@media" whose list names "all" or is empty.
bool MediaForScreen(std::string_view text)
{
    if (Contains(text, "screen"))
        return true;
    text = TrimView(text);
    if (text.substr(0, 5) != "media" || (text.size() > 5 && text[5] != ' '))
        return false;
    text.remove_prefix(5);
    if (TrimView(text).empty())
        return true;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string_view medium = TrimView(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (medium == "all" || medium.substr(0, 8) == "only all" || medium.substr(0, 4) == "all ")
            return true;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return false;
}

int IndexIn(const char* const* table, int count, std::string_view word)
{
    for (int i = 0; i < count; ++i)
        if (word == table[i])
            return i;
    return -1;
}

std::string Unquote(std::string s)
{
    if (s.size() > 1 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// One simple selector in canonical order: tag, then classes, ids and pseudo-classes, each kind sorted,
// repeated pieces once.
std::string CanonicalSimple(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] != '.' && s[i] != '#' && s[i] != ':')
        ++i;
    std::string tag(s.substr(0, i));
    std::vector<std::string> kinds[3];  // classes, ids, pseudo-classes
    while (i < s.size()) {
        char mark = s[i];
        std::size_t start = i++;
        while (i < s.size() && IsPieceChar(s[i]))
            ++i;
        std::string piece(s.substr(start, i - start));
        int k = mark == '.' ? 0 : mark == '#' ? 1 : mark == ':' ? 2 : -1;
        if (k >= 0)
            kinds[k].push_back(piece);
        while (i < s.size() && s[i] != '.' && s[i] != '#' && s[i] != ':')
            ++i;
    }
    std::string r = tag;
    for (auto& v : kinds) {
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
        for (const std::string& p : v)
            r += p;
    }
    return r;
}

std::string PercentDecode(std::string_view s)
{
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int h = platform::HexDigitValue(s[i + 1]), l = platform::HexDigitValue(s[i + 2]);
            if (h >= 0 && l >= 0 && (h | l) != 0) {  // %00 stays as it is
                r += char(h * 16 + l);
                i += 2;
                continue;
            }
        }
        r += s[i];
    }
    return r;
}

// An address relative to a base address: "/x" from the host, anything else from the base's folder,
// with "./" and "../" folded.
std::string CombineAddress(const std::string& base, const std::string& rel)
{
    std::size_t scheme = base.find("://");
    std::size_t hostEnd = base.find('/', scheme + 3);
    std::string root = hostEnd == std::string::npos ? base : base.substr(0, hostEnd);
    std::string path;
    if (!rel.empty() && rel[0] == '/') {
        path = rel;
    } else {
        std::string folder = hostEnd == std::string::npos ? "/" : base.substr(hostEnd);
        std::size_t cut = folder.find_first_of("?#");
        if (cut != std::string::npos)
            folder.erase(cut);
        folder.erase(folder.rfind('/') + 1);
        path = folder + rel;
    }
    // Fold the dot segments of the path part.
    std::vector<std::string> segs;
    std::size_t start = 1;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        std::string seg = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        bool last = slash == std::string::npos;
        if (seg == "..") {
            if (!segs.empty())
                segs.pop_back();
            if (last)
                segs.emplace_back();
        } else if (seg == ".") {
            if (last)
                segs.emplace_back();
        } else {
            segs.push_back(seg);
        }
        if (last)
            break;
        start = slash + 1;
    }
    std::string r = root;
    for (const std::string& s : segs)
        r += "/" + s;
    if (segs.empty())
        r += "/";
    return r;
}

class SheetParser {
public:
    // A sheet read through a reader.
    SheetParser(TStyleList& styles, const TStyleReader& reader, const std::string& base, const TStylePeek* peek)
        : FStyles(&styles), FReader(&reader), FPeek(peek && *peek ? peek : nullptr), FBase(base)
    {
    }
    // A style attribute.
    SheetParser(TProperties& props, std::string_view text) : FProps(&props), FText(text), FIsAttr(true) {}

    void ParseSheet(char& current, bool fromFile);
    void ParseAttribute();

private:
    char Raw();
    void GetCh();
    void SkipBlanks()
    {
        while (Ch == ' ')
            GetCh();
    }
    bool EmbeddedMarkup();
    void ReadQuoted(std::string* out);
    void AtRule(int& mediaDepth);
    void RuleSet();
    void DeclarationBlock();
    void Declaration(const std::string& name, std::string value);
    void Sink(std::string_view name, std::string_view value);
    std::string Absolute(std::string_view value) const
    {
        return FIsAttr || FBase.empty() ? std::string(value) : MakeUrlAbsolute(value, FBase);
    }
    void ExpandBox(int shorthand, const std::string& value);
    void ExpandBorder(const std::string& name, const std::string& value);
    void ExpandFont(const std::string& value);
    void ExpandBackground(const std::string& value);
    void ExpandListStyle(const std::string& value);

    TStyleList* FStyles = nullptr;
    TProperties* FProps = nullptr;
    const TStyleReader* FReader = nullptr;
    const TStylePeek* FPeek = nullptr;
    std::string_view FText;
    std::size_t FPos = 0;
    bool FIsAttr = false;
    bool FAtEnd = false;
    std::string FBase;
    char FPushed = 0;
    bool FLineEnd = false;  // the last raw character ended a line
    char Ch = ' ';
    std::vector<std::string> FKeys;
    std::vector<std::string> FSelectors;
};

char SheetParser::Raw()
{
    char c;
    if (FPushed) {
        c = FPushed;
        FPushed = 0;
    } else if (FIsAttr) {
        c = FPos < FText.size() ? FText[FPos++] : 0;
    } else if (FAtEnd) {
        c = 0;
    } else {
        c = (*FReader)();
        FAtEnd = c == 0;
    }
    FLineEnd = c == '\r' || c == '\n';
    unsigned char u = static_cast<unsigned char>(c);
    return u > 0 && u < ' ' ? ' ' : c;  // line ends and tabs read as blanks
}

void SheetParser::GetCh()
{
    for (;;) {
        char c = Raw();
        if (c != '/' || FIsAttr) {
            Ch = c;
            return;
        }
        char n = Raw();
        if (n != '*') {
            FPushed = n;
            Ch = '/';
            return;
        }
        // A comment: up to "*/", the end, or a "<" (which is read again).
        bool star = false;
        for (;;) {
            char k = Raw();
            if (k == 0) {
                Ch = 0;
                return;
            }
            if (k == '<') {
                FPushed = '<';
                break;
            }
            if (star && k == '/')
                break;
            star = k == '*';
        }
    }
}

void SheetParser::ParseSheet(char& current, bool fromFile)
{
    FPushed = current;
    Ch = ' ';
    // The comment markers around an embedded sheet.
    for (;;) {
        if (Ch == ' ' || Ch == '!' || Ch == '-' || Ch == '>') {
            GetCh();
        } else if (Ch == '<' && FPeek && !fromFile) {
            if (!EmbeddedMarkup()) {
                current = '<';
                return;
            }
        } else if (Ch == '<') {
            char n = Raw();
            if (n == '/' && !fromFile) {
                // An empty style element: its end tag is read here, so that neither the tag nor the text
                // after it is taken for rules; the caller goes on after the tag.
                while (n != 0 && n != '>')
                    n = Raw();
                GetCh();
                current = char(std::toupper(static_cast<unsigned char>(Ch)));
                return;
            }
            Ch = n;
        } else {
            break;
        }
    }
    int mediaDepth = 0;
    const bool embedded = FPeek && !fromFile;
    while (Ch != 0 && (fromFile || embedded || Ch != '<')) {
        if (Ch == '}' && mediaDepth > 0) {
            --mediaDepth;
            GetCh();
        } else if (Ch == '@') {
            AtRule(mediaDepth);
        } else if (Ch == '<' && embedded) {
            if (!EmbeddedMarkup())
                break;
        } else if (Ch == '<') {
            GetCh();
            while (Ch != 0 && Ch != ' ')
                GetCh();
            SkipBlanks();
        } else {
            RuleSet();
        }
        while (Ch == ' ' || Ch == '-' || Ch == '>')
            GetCh();
    }
    current = char(std::toupper(static_cast<unsigned char>(Ch)));
}

// At a "<" of a sheet inside a style element: "</" ends the sheet (false, the reader stays on the "<");
// "<!--" is a comment marker that is skipped; any other "<" is skipped up to the next blank.
bool SheetParser::EmbeddedMarkup()
{
    if (FPushed != 0)
        return false;  // the reader is past the "<": end here as a plain "<" would
    const char next = (*FPeek)();
    if (next == '/' || next == 0)
        return false;
    GetCh();
    if (Ch == '!') {
        GetCh();
        while (Ch == '-')
            GetCh();
        return true;
    }
    while (Ch != 0 && Ch != ' ' && Ch != '<')
        GetCh();
    SkipBlanks();
    return true;
}

// A quoted string, the current character being its quote: up to the same quote (backslash escapes
// kept), the end of the line or of the source; comments are not looked for inside. The characters go to
// out when given. The current character is then the one after the string.
void SheetParser::ReadQuoted(std::string* out)
{
    const char quote = Ch;
    if (out)
        *out += quote;
    for (;;) {
        char c = Raw();
        if (c == 0) {
            Ch = 0;
            return;
        }
        if (FLineEnd) {
            Ch = ' ';
            return;
        }
        if (c == '<' && FPeek && !FIsAttr && (*FPeek)() == '/') {
            Ch = '<';  // the end of the style element ends the string too
            return;
        }
        if (out)
            *out += c;
        if (c == '\\') {
            char n = Raw();
            if (n == 0 || FLineEnd) {
                Ch = n == 0 ? 0 : ' ';
                return;
            }
            if (out)
                *out += n;
            continue;
        }
        if (c == quote) {
            GetCh();
            return;
        }
    }
}

void SheetParser::AtRule(int& mediaDepth)
{
    std::string text;
    GetCh();
    while (Ch != 0 && Ch != ';' && Ch != '{' && Ch != '<') {
        if (text.size() < 4096)
            text += Ch;
        GetCh();
    }
    if (Ch == ';') {
        GetCh();
        return;
    }
    if (Ch != '{')
        return;
    if (MediaForScreen(LowerCase(text)) && mediaDepth < MaxMediaDepth) {
        GetCh();
        ++mediaDepth;  // the rules inside are read by the main loop, which also reads the closing brace
        return;
    }
    // Skip the block, nested braces included, with a counter; quoted strings are skipped whole.
    long depth = 0;
    for (;;) {
        if (Ch == '"' || Ch == '\'') {
            ReadQuoted(nullptr);
            continue;
        }
        if (Ch == '{') {
            ++depth;
        } else if (Ch == '}') {
            if (--depth == 0) {
                GetCh();
                return;
            }
        } else if (Ch == 0 || Ch == '<') {
            return;
        }
        GetCh();
    }
}

void SheetParser::RuleSet()
{
    // A selector this parser cannot read (attributes, child and sibling combinators, "*") ends at some
    // other character than "," or "{": the whole rule set is then dropped, its block still read, rather
    // than applying its declarations to what the readable part names.
    FKeys.clear();
    FSelectors.clear();
    bool readable = true;
    for (;;) {
        SkipBlanks();
        std::string sel;
        while (IsSelectorChar(Ch)) {
            sel += Ch;
            GetCh();
        }
        sel = Trim(LowerCase(sel));
        if (!sel.empty())
            FSelectors.push_back(std::move(sel));
        if (Ch != ',') {
            readable = Ch == '{';
            break;
        }
        GetCh();
    }
    while (Ch != 0 && Ch != '{' && Ch != '<') {
        if (Ch == '"' || Ch == '\'')
            ReadQuoted(nullptr);
        else
            GetCh();
    }
    if (readable)
        for (const std::string& sel : FSelectors)
            FKeys.push_back(SelectorKey(*FStyles, sel));
    DeclarationBlock();
}

void SheetParser::DeclarationBlock()
{
    if (!FIsAttr && Ch == '{')
        GetCh();
    std::string name, value;
    for (;;) {
        SkipBlanks();
        name.clear();
        while (IsAlnum(Ch) || Ch == '-') {
            name += Ch;
            GetCh();
        }
        name = Trim(LowerCase(name));
        SkipBlanks();
        if (Ch == ':' || Ch == '=') {
            GetCh();
            value.clear();
            while (Ch != 0 && Ch != ';' && (FIsAttr || (Ch != '}' && Ch != '<'))) {
                if (Ch == '"' || Ch == '\'') {
                    ReadQuoted(&value);
                    continue;
                }
                value += Ch;
                GetCh();
            }
            Declaration(name, Unquote(Trim(LowerCase(value))));
        }
        SkipBlanks();
        if (Ch == ';')
            GetCh();
        while (Ch != 0 && !IsAlnum(Ch) && Ch != '-' && Ch != '<' && Ch != '}')
            GetCh();
        if (Ch == 0 || Ch == '<' || Ch == '}') {
            if (Ch == '}')
                GetCh();
            return;
        }
    }
}

void SheetParser::Sink(std::string_view name, std::string_view value)
{
    if (FIsAttr) {
        FProps->AddPropertyByName(name, value);
        return;
    }
    for (const std::string& key : FKeys)
        FStyles->AddModifyProp(key, name, value);
}

void SheetParser::Declaration(const std::string& name, std::string value)
{
    int sh = IndexIn(kShorthands, 13, name);
    switch (sh) {
    case shMargin: case shPadding: case shBorderWidth: case shBorderColor: case shBorderStyle:
        ExpandBox(sh, value);
        return;
    case shBorder: case shBorderTop: case shBorderRight: case shBorderBottom: case shBorderLeft:
        ExpandBorder(name, value);
        return;
    case shFont:
        ExpandFont(value);
        return;
    case shBackground:
        ExpandBackground(value);
        return;
    case shListStyle:
        ExpandListStyle(value);
        return;
    default:
        if (Contains(value, "url("))
            value = Absolute(value);
        Sink(name, value);
    }
}

void SheetParser::ExpandBox(int shorthand, const std::string& value)
{
    static const char* const sides[4] = {"top", "right", "bottom", "left"};
    std::vector<std::string> w = SplitStyleWords(value, 4);
    if (w.empty())
        return;
    std::string v[4];  // top, right, bottom, left
    v[0] = w[0];
    switch (w.size()) {
    case 1: v[1] = v[2] = v[3] = w[0]; break;
    case 2: v[2] = w[0]; v[1] = v[3] = w[1]; break;
    case 3: v[2] = w[2]; v[1] = v[3] = w[1]; break;
    default: v[1] = w[1]; v[2] = w[2]; v[3] = w[3]; break;
    }
    for (int i = 0; i < 4; ++i) {
        std::string target;
        switch (shorthand) {
        case shMargin: target = std::string("margin-") + sides[i]; break;
        case shPadding: target = std::string("padding-") + sides[i]; break;
        case shBorderWidth: target = std::string("border-") + sides[i] + "-width"; break;
        case shBorderColor: target = std::string("border-") + sides[i] + "-color"; break;
        default: target = std::string("border-") + sides[i] + "-style"; break;
        }
        Sink(target, v[i]);
    }
}

namespace {
// Cuts up to 7 pieces starting with one of the marks and running to the next ")" out of value.
std::vector<std::string> CutPieces(std::string& value, std::initializer_list<const char*> marks)
{
    std::vector<std::string> pieces;
    while (pieces.size() < 7) {
        std::size_t at = std::string::npos;
        for (const char* m : marks)
            at = std::min(at, value.find(m));
        if (at == std::string::npos)
            break;
        std::size_t close = value.find(')', at);
        std::size_t end = close == std::string::npos ? value.size() : close + 1;
        pieces.push_back(value.substr(at, end - at));
        value.erase(at, end - at);
    }
    return pieces;
}
}  // namespace

void SheetParser::ExpandBorder(const std::string& name, const std::string& value)
{
    std::string rest = value;
    TColor c;
    for (const std::string& piece : CutPieces(rest, {"rgb(", "rgba("}))
        if (ParseColor(piece, false, c))
            Sink(name + "-color", piece);
    for (const std::string& w : SplitStyleWords(rest, 7)) {
        if (ParseColor(w, true, c)) {
            Sink(name + "-color", w);
        } else if (IndexIn(kBorderStyleWords, 9, w) >= 0) {
            Sink(name + "-style", w);
        } else if (name != "border") {
            Sink(name + "-width", w);
        } else {
            for (const char* side : {"border-top-width", "border-right-width", "border-bottom-width", "border-left-width"})
                Sink(side, w);
        }
    }
}

void SheetParser::ExpandFont(const std::string& value)
{
    std::string style, weight, variant, size, lineHeight, family;
    bool has[6] = {};
    const std::vector<std::string> words = SplitStyleWords(value, 7);
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        int k = IndexIn(kFontWords, 16, w);
        // 100, 200, ... 900 before the last word is a weight (the size and the family follow it).
        const bool numericWeight = i + 1 < words.size() && w.size() == 3 && w[0] >= '1' && w[0] <= '9' &&
                                   w[1] == '0' && w[2] == '0';
        if (w[0] == '/') {
            lineHeight = w.substr(1);
            has[4] = true;
        } else if (k >= 0 && k <= 1) {
            style = w;
            has[0] = true;
        } else if ((k >= 2 && k <= 5) || numericWeight) {
            weight = w;
            has[1] = true;
        } else if (k == 6) {
            variant = w;
            has[2] = true;
        } else if (k >= 7) {
            size = w;
            has[3] = true;
        } else if (!IsDigitChar(w[0])) {
            family = w;
            has[5] = true;
        } else {
            size = w;
            has[3] = true;
        }
    }
    if (has[0])
        Sink("font-style", style);
    if (has[1])
        Sink("font-weight", weight);
    if (has[2])
        Sink("font-variant", variant);
    if (has[3])
        Sink("font-size", size);
    if (has[4])
        Sink("line-height", lineHeight);
    if (has[5])
        Sink("font-family", family);
}

void SheetParser::ExpandBackground(const std::string& value)
{
    std::string rest = value;
    for (const std::string& piece : CutPieces(rest, {"url(", "rgb(", "rgba("})) {
        if (StartsWith(piece, "rgb"))
            Sink("background-color", piece);
        else
            Sink("background-image", Absolute(piece));
    }
    std::vector<std::string> left;
    TColor c;
    for (const std::string& w : SplitStyleWords(rest, 7)) {
        if (ParseColor(w, true, c))
            Sink("background-color", w);
        else if (w == "none")
            Sink("background-image", w);
        else if (Contains(w, "repeat"))
            Sink("background-repeat", w);
        else if (w == "fixed" || w == "scroll")
            Sink("background-attachment", w);
        else
            left.push_back(w);
    }
    if (left.size() >= 2)
        Sink("background-position", left[left.size() - 2] + " " + left.back());
    else if (left.size() == 1)
        Sink("background-position", left[0]);
}

void SheetParser::ExpandListStyle(const std::string& value)
{
    // Only the marker names set the type; "inside", "outside" and unknown words leave it alone.
    static const char* const types[] = {"blank", "circle", "decimal", "disc", "lower-alpha",
                                        "lower-roman", "none", "square", "upper-alpha", "upper-roman"};
    for (const std::string& w : SplitStyleWords(value, 7)) {
        if (Contains(w, "url("))
            Sink("list-style-image", Absolute(w));
        else if (IndexIn(types, 10, w) >= 0)
            Sink("list-style-type", w);
    }
}

void SheetParser::ParseAttribute()
{
    GetCh();
    DeclarationBlock();
}

}  // namespace

std::vector<std::string> SplitStyleWords(std::string_view value, std::size_t maxCount)
{
    std::string s = Trim(value);
    std::string t;
    t.reserve(s.size());
    for (char c : s) {
        if (c == ' ' && !t.empty() && (t.back() == ' ' || t.back() == ','))
            continue;
        t += c;
    }
    std::vector<std::string> words;
    std::string word;
    char quote = 0;
    for (char c : t) {
        if (quote) {
            word += c;
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
            word += c;
        } else if (c == ' ') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
            if (words.size() >= maxCount)
                break;
        } else {
            word += c;
        }
    }
    if (!word.empty() && words.size() < maxCount)
        words.push_back(std::move(word));
    std::vector<std::string> result;
    for (std::string& w : words) {
        std::size_t slash = w.find('/', 1);
        if (slash != std::string::npos && w[0] != '"' && w[0] != '\'') {
            result.push_back(w.substr(0, slash));
            result.push_back(w.substr(slash));
        } else {
            result.push_back(std::move(w));
        }
    }
    if (result.size() > maxCount)
        result.resize(maxCount);
    return result;
}

std::string SelectorKey(TStyleList& styles, std::string_view selector)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < selector.size()) {
        std::size_t blank = selector.find(' ', start);
        std::size_t end = blank == std::string_view::npos ? selector.size() : blank;
        if (end > start) {
            std::string_view p = selector.substr(start, end - start);
            std::size_t marks = std::count_if(p.begin(), p.end(), [](char c) { return c == '#' || c == '.' || c == ':'; });
            pieces.push_back(marks >= 2 ? CanonicalSimple(p) : std::string(p));
        }
        start = end + 1;
    }
    if (pieces.empty())
        return {};
    if (pieces.size() == 1)
        return pieces[0];
    std::string key = pieces.back() + " " + std::to_string(pieces.size() - 1) + styles.NextSequence();
    for (std::size_t i = pieces.size() - 1; i-- > 0;) {
        key += pieces[i];
        if (i > 0)
            key += ' ';
    }
    return key;
}

std::string MakeUrlAbsolute(std::string_view value, const std::string& basePath)
{
    std::size_t at = value.find("url(");
    if (at == std::string_view::npos || basePath.empty())
        return std::string(value);
    std::string addr = UrlFromValue(value.substr(at));
    if (Contains(basePath, "://")) {
        if (!Contains(addr, "://"))
            addr = CombineAddress(basePath, addr);
    } else {
        addr = PercentDecode(addr);
        for (const char* prefix : {"file:///", "file://", "file:/"})
            if (StartsWith(addr, prefix)) {
                addr.erase(0, std::string_view(prefix).size());
                break;
            }
        std::replace(addr.begin(), addr.end(), '|', ':');
        std::replace(addr.begin(), addr.end(), '/', '\\');
        if (!(addr.size() > 1 && addr[1] == ':') && !StartsWith(addr, "\\\\"))
            addr = basePath + addr;
    }
    return "url(" + addr + ")";
}

void ParseStyleSheet(TStyleList& styles, char& currentChar, const TStyleReader& reader, const std::string& basePath,
                     bool fromFile, const TStylePeek& peek)
{
    SheetParser parser(styles, reader, basePath, &peek);
    parser.ParseSheet(currentChar, fromFile);
}

void ParseStyleSheetText(TStyleList& styles, std::string_view text, const std::string& basePath)
{
    std::size_t pos = 0;
    TStyleReader reader = [&]() -> char { return pos < text.size() ? text[pos++] : 0; };
    char current = 0;
    ParseStyleSheet(styles, current, reader, basePath, true);
}

void ParseStyleAttribute(std::string_view text, TProperties& props)
{
    std::string lower = LowerCase(text);
    SheetParser parser(props, lower);
    parser.ParseAttribute();
}

namespace {
void FreeProperties(TProperties* p) { std::default_delete<TProperties>()(p); }
}  // namespace

TOwnedProperties ParseInlineStyle(const std::string& text)
{
    auto p = std::make_unique<TProperties>();
    ParseStyleAttribute(text, *p);
    return TOwnedProperties(p.release(), &FreeProperties);
}
