#include "style/conversions.h"

#include "platform/asciitext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/sysvalues.h"

double DefaultPointSize = 12.0;

// --- text helpers ---

namespace {
inline char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::string Trim(std::string_view s)
{
    return platform::TrimBlanks(s);
}

std::string LowerCase(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        c = LowerChar(c);
    return r;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    return true;
}

int CompareText(std::string_view a, std::string_view b)
{
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(LowerChar(a[i]));
        unsigned char y = static_cast<unsigned char>(LowerChar(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

int StrToIntDef(std::string_view s, int def)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i >= s.size())
        return def;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i]))
            return def;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL)
            return def;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return def;
    return static_cast<int>(v);
}

namespace {
// Length of the longest prefix of s that reads as a decimal number without exponent: sign, digits, point,
// digits, at least one digit. An exponent is never taken, so "2em" and "3ex" split before the unit.
std::size_t NumberPrefix(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    std::size_t end = digits ? i : 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        std::size_t frac = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++frac;
        }
        if (digits + frac > 0)
            end = i;
    }
    return end;
}

double ParsePrefix(std::string_view s)
{
    // strtod needs a terminated buffer; the prefix holds only sign, digits and a point.
    std::string buf(s);
    return std::strtod(buf.c_str(), nullptr);
}
}  // namespace

bool TryStrToFloat(std::string_view s, double& value)
{
    std::string t = Trim(s);
    std::size_t n = NumberPrefix(t);
    if (n == 0 || n != t.size())
        return false;
    value = ParsePrefix(t);
    return true;
}

void SplitNumberUnit(std::string_view text, double& number, std::string& unit)
{
    std::size_t n = NumberPrefix(text);
    number = n ? ParsePrefix(text.substr(0, n)) : 0.0;
    unit = Trim(text.substr(n));
}

namespace {
int ClampPixels(double v, int def)
{
    if (std::isnan(v))
        return def;
    v = std::clamp(v, -MaxPixels, MaxPixels);
    return platform::Round(v);
}
}  // namespace

int LengthToPixels(std::string_view text, bool relative, int base, int em, int ex, int def)
{
    double v;
    std::string unit;
    SplitNumberUnit(text, v, unit);
    const double P = platform::SysValues().PixelsPerInch;
    double r;
    if (unit.empty())
        r = relative ? double(base) * v : v;
    else if (unit == "px")
        r = v;
    else if (unit == "in")
        r = v * P;
    else if (unit == "cm")
        r = v * P / 2.54;
    else if (unit == "mm")
        r = v * P / 25.4;
    else if (unit == "pt")
        r = v * P / 72.0;
    else if (unit == "pc")
        r = v * P / 6.0;
    else if (unit == "em")
        r = double(em) * v;
    else if (unit == "ex")
        r = double(ex) * v;
    else if (unit == "%")
        r = double(base) * v / 100.0;
    else
        return def;
    return ClampPixels(r, def);
}

double UsableSizeToPoints(std::string_view text, double parentPoints)
{
    const double points = SizeToPoints(text, parentPoints);
    return points > 0 ? points : parentPoints;
}

bool IsNegativeLength(std::string_view text)
{
    double v;
    std::string unit;
    SplitNumberUnit(text, v, unit);
    return v < 0;
}

double SizeToPoints(std::string_view text, double parentPoints)
{
    double v;
    std::string unit;
    SplitNumberUnit(text, v, unit);
    const double P = platform::SysValues().PixelsPerInch;
    double r;
    if (unit.empty())
        r = v * 72.0 / P;
    else if (unit == "in")
        r = v * 72.0;
    else if (unit == "cm")
        r = v * 72.0 / 2.54;
    else if (unit == "mm")
        r = v * 72.0 / 25.4;
    else if (unit == "pt")
        r = v;
    else if (unit == "px")
        r = v * 72.0 / P;
    else if (unit == "pc")
        r = v * 12.0;
    else if (unit == "em")
        r = parentPoints * v;
    else if (unit == "ex")
        r = parentPoints * v / 2.0;
    else if (unit == "%")
        r = parentPoints * v / 100.0;
    else if (unit == "smaller")
        r = parentPoints * 0.75;
    else if (unit == "larger")
        r = parentPoints * 1.25;
    else if (unit == "xx-small")
        r = DefaultPointSize / 1.5;
    else if (unit == "x-small")
        r = DefaultPointSize / 1.2;
    else if (unit == "small")
        r = DefaultPointSize;
    else if (unit == "medium")
        r = DefaultPointSize * 1.2;
    else if (unit == "large")
        r = DefaultPointSize * 1.5;
    else if (unit == "x-large")
        r = DefaultPointSize * 2.0;
    else if (unit == "xx-large")
        r = DefaultPointSize * 3.0;
    else
        r = DefaultPointSize;
    if (std::isnan(r))
        return DefaultPointSize;
    return std::clamp(r, -MaxPoints, MaxPoints);
}

// --- colours ---

namespace {

struct ColorName {
    const char* name;
    TColor colour;
};

// Written as #RRGGBB, stored as colour references 0x00BBGGRR.
constexpr TColor Web(std::uint32_t rrggbb)
{
    return ((rrggbb & 0xFF) << 16) | (rrggbb & 0xFF00) | ((rrggbb >> 16) & 0xFF);
}
constexpr TColor Sys(int index) { return platform::SystemColorFlag + TColor(index); }

const ColorName kColorNames[] = {
    {"transparent", NoColor},
    {"black", Web(0x000000)}, {"maroon", Web(0x800000)}, {"green", Web(0x008000)}, {"olive", Web(0x808000)},
    {"navy", Web(0x000080)}, {"purple", Web(0x800080)}, {"teal", Web(0x008080)}, {"gray", Web(0x808080)},
    {"silver", Web(0xC0C0C0)}, {"red", Web(0xFF0000)}, {"lime", Web(0x00FF00)}, {"yellow", Web(0xFFFF00)},
    {"blue", Web(0x0000FF)}, {"fuchsia", Web(0xFF00FF)}, {"aqua", Web(0x00FFFF)}, {"white", Web(0xFFFFFF)},
    {"aliceblue", Web(0xF0F8FF)}, {"antiquewhite", Web(0xFAEBD7)}, {"aquamarine", Web(0x7FFFD4)},
    {"azure", Web(0xF0FFFF)}, {"beige", Web(0xF5F5DC)}, {"bisque", Web(0xFFE4C4)},
    {"blanchedalmond", Web(0xFFEBCD)}, {"blueviolet", Web(0x8A2BE2)}, {"brown", Web(0xA52A2A)},
    {"burlywood", Web(0xDEB887)}, {"cadetblue", Web(0x5F9EA0)}, {"chartreuse", Web(0x7FFF00)},
    {"chocolate", Web(0xD2691E)}, {"coral", Web(0xFF7F50)}, {"cornflowerblue", Web(0x6495ED)},
    {"cornsilk", Web(0xFFF8DC)}, {"crimson", Web(0xDC143C)}, {"cyan", Web(0x00FFFF)},
    {"darkblue", Web(0x00008B)}, {"darkcyan", Web(0x008B8B)}, {"darkgoldenrod", Web(0xB8860B)},
    {"darkgray", Web(0xA9A9A9)}, {"darkgreen", Web(0x006400)}, {"darkkhaki", Web(0xBDB76B)},
    {"darkmagenta", Web(0x8B008B)}, {"darkolivegreen", Web(0x556B2F)}, {"darkorange", Web(0xFF8C00)},
    {"darkorchid", Web(0x9932CC)}, {"darkred", Web(0x8B0000)}, {"darksalmon", Web(0xE9967A)},
    {"darkseagreen", Web(0x8FBC8F)}, {"darkslateblue", Web(0x483D8B)}, {"darkslategray", Web(0x2F4F4F)},
    {"darkturquoise", Web(0x00CED1)}, {"darkviolet", Web(0x9400D3)}, {"deeppink", Web(0xFF1493)},
    {"deepskyblue", Web(0x00BFFF)}, {"dimgray", Web(0x696969)}, {"dodgerblue", Web(0x1E90FF)},
    {"firebrick", Web(0xB22222)}, {"floralwhite", Web(0xFFFAF0)}, {"forestgreen", Web(0x228B22)},
    {"gainsboro", Web(0xDCDCDC)}, {"ghostwhite", Web(0xF8F8FF)}, {"gold", Web(0xFFD700)},
    {"goldenrod", Web(0xDAA520)}, {"greenyellow", Web(0xADFF2F)}, {"honeydew", Web(0xF0FFF0)},
    {"hotpink", Web(0xFF69B4)}, {"indianred", Web(0xCD5C5C)}, {"indigo", Web(0x4B0082)},
    {"ivory", Web(0xFFFFF0)}, {"khaki", Web(0xF0E68C)}, {"lavender", Web(0xE6E6FA)},
    {"lavenderblush", Web(0xFFF0F5)}, {"lawngreen", Web(0x7CFC00)}, {"lemonchiffon", Web(0xFFFACD)},
    {"lightblue", Web(0xADD8E6)}, {"lightcoral", Web(0xF08080)}, {"lightcyan", Web(0xE0FFFF)},
    {"lightgoldenrodyellow", Web(0xFAFAD2)}, {"lightgreen", Web(0x90EE90)}, {"lightgray", Web(0xD3D3D3)},
    {"lightpink", Web(0xFFB6C1)}, {"lightsalmon", Web(0xFFA07A)}, {"lightseagreen", Web(0x20B2AA)},
    {"lightskyblue", Web(0x87CEFA)}, {"lightslategray", Web(0x778899)}, {"lightsteelblue", Web(0xB0C4DE)},
    {"lightyellow", Web(0xFFFFE0)}, {"limegreen", Web(0x32CD32)}, {"linen", Web(0xFAF0E6)},
    {"magenta", Web(0xFF00FF)}, {"mediumaquamarine", Web(0x66CDAA)}, {"mediumblue", Web(0x0000CD)},
    {"mediumorchid", Web(0xBA55D3)}, {"mediumpurple", Web(0x9370DB)}, {"mediumseagreen", Web(0x3CB371)},
    {"mediumslateblue", Web(0x7B68EE)}, {"mediumspringgreen", Web(0x00FA9A)},
    {"mediumturquoise", Web(0x48D1CC)}, {"mediumvioletred", Web(0xC71585)}, {"midnightblue", Web(0x191970)},
    {"mintcream", Web(0xF5FFFA)}, {"mistyrose", Web(0xFFE4E1)}, {"moccasin", Web(0xFFE4B5)},
    {"navajowhite", Web(0xFFDEAD)}, {"oldlace", Web(0xFDF5E6)}, {"olivedrab", Web(0x6B8E23)},
    {"orange", Web(0xFFA500)}, {"orangered", Web(0xFF4500)}, {"orchid", Web(0xDA70D6)},
    {"palegoldenrod", Web(0xEEE8AA)}, {"palegreen", Web(0x98FB98)}, {"paleturquoise", Web(0xAFEEEE)},
    {"palevioletred", Web(0xDB7093)}, {"papayawhip", Web(0xFFEFD5)}, {"peachpuff", Web(0xFFDAB9)},
    {"peru", Web(0xCD853F)}, {"pink", Web(0xFFC0CB)}, {"plum", Web(0xDDA0DD)}, {"powderblue", Web(0xB0E0E6)},
    {"rosybrown", Web(0xBC8F8F)}, {"royalblue", Web(0x4169E1)}, {"saddlebrown", Web(0x8B4513)},
    {"salmon", Web(0xFA8072)}, {"sandybrown", Web(0xF4A460)}, {"seagreen", Web(0x2E8B57)},
    {"seashell", Web(0xFFF5EE)}, {"sienna", Web(0xA0522D)}, {"skyblue", Web(0x87CEEB)},
    {"slateblue", Web(0x6A5ACD)}, {"slategray", Web(0x708090)}, {"snow", Web(0xFFFAFA)},
    {"springgreen", Web(0x00FF7F)}, {"steelblue", Web(0x4682B4)}, {"tan", Web(0xD2B48C)},
    {"thistle", Web(0xD8BFD8)}, {"tomato", Web(0xFF6347)}, {"turquoise", Web(0x40E0D0)},
    {"violet", Web(0xEE82EE)}, {"wheat", Web(0xF5DEB3)}, {"whitesmoke", Web(0xF5F5F5)},
    {"yellowgreen", Web(0x9ACD32)},
    {"grey", Web(0x808080)}, {"darkgrey", Web(0xA9A9A9)}, {"darkslategrey", Web(0x2F4F4F)},
    {"dimgrey", Web(0x696969)}, {"lightgrey", Web(0xD3D3D3)}, {"lightslategrey", Web(0x778899)},
    {"slategrey", Web(0x708090)},
    {"background", Sys(1)}, {"activecaption", Sys(2)}, {"inactivecaption", Sys(3)}, {"menu", Sys(4)},
    {"window", Sys(5)}, {"windowframe", Sys(6)}, {"menutext", Sys(7)}, {"windowtext", Sys(8)},
    {"captiontext", Sys(9)}, {"activeborder", Sys(10)}, {"inactiveborder", Sys(11)},
    {"appworkSpace", Sys(12)}, {"highlight", Sys(13)}, {"highlighttext", Sys(14)}, {"buttonface", Sys(15)},
    {"buttonshadow", Sys(16)}, {"graytext", Sys(17)}, {"buttontext", Sys(18)},
    {"inactivecaptiontext", Sys(19)}, {"buttonhighlight", Sys(20)}, {"threeddarkshadow", Sys(21)},
    {"threedlightshadow", Sys(20)}, {"infotext", Sys(23)}, {"infobackground", Sys(24)},
    {"scrollbar", Sys(0)}, {"threedface", Sys(15)}, {"threedhighlight", Sys(22)}, {"threedshadow", Sys(16)},
};
static_assert(sizeof(kColorNames) / sizeof(kColorNames[0]) == 176, "colour-name table has 176 entries");

// The names sorted case-insensitively, built once.
const std::vector<const ColorName*>& SortedColorNames()
{
    static const std::vector<const ColorName*> sorted = [] {
        std::vector<const ColorName*> v;
        for (const ColorName& c : kColorNames)
            v.push_back(&c);
        std::stable_sort(v.begin(), v.end(),
                         [](const ColorName* a, const ColorName* b) { return CompareText(a->name, b->name) < 0; });
        return v;
    }();
    return sorted;
}

bool LookupColorName(std::string_view name, TColor& colour)
{
    const auto& v = SortedColorNames();
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const ColorName* a, std::string_view n) { return CompareText(a->name, n) < 0; });
    if (it == v.end() || !SameText((*it)->name, name))
        return false;
    colour = (*it)->colour;
    return true;
}

// A one-entry memory of the last text that parsed. needHash is part of the key: bare hex digits parse
// without it and must not be answered from the memory when it is set.
struct ColorCache {
    std::string text;
    bool needHash = false;
    bool valid = false;
    TColor colour = 0;
};
ColorCache g_colorCache;

}  // namespace

bool ParseRgbTriple(std::string_view text, TColor& colour)
{
    std::size_t open = text.find('(');
    if (open == std::string_view::npos)
        return false;
    std::size_t close = text.find(')', open + 1);
    if (close == std::string_view::npos)
        return false;
    std::string_view inner = text.substr(open + 1, close - open - 1);
    std::string_view parts[3];
    std::size_t c1 = inner.find(',');
    if (c1 == std::string_view::npos) {
        parts[0] = inner;
    } else {
        parts[0] = inner.substr(0, c1);
        std::size_t c2 = inner.find(',', c1 + 1);
        if (c2 == std::string_view::npos) {
            parts[1] = inner.substr(c1 + 1);
        } else {
            parts[1] = inner.substr(c1 + 1, c2 - c1 - 1);
            parts[2] = inner.substr(c2 + 1);
        }
    }
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        std::string p = Trim(parts[i]);
        int v;
        std::size_t pct = p.find('%');
        if (pct != std::string::npos) {
            p.erase(pct, 1);
            double d;
            // number x 2.55, computed as x 255 / 100 so that exact halves stay exact
            v = TryStrToFloat(p, d) ? platform::Round(std::clamp(d, -1000.0, 1000.0) * 255.0 / 100.0) : 0;
        } else {
            v = StrToIntDef(p, 0);
        }
        rgb[i] = std::clamp(v, 0, 255);
    }
    colour = TColor(rgb[0]) + TColor(rgb[1]) * 256 + TColor(rgb[2]) * 65536 + platform::PaletteRelative;
    return true;
}

namespace {

// "rgba(r, g, b, a)" (text from the "(" on): the triple as rgb( ) reads it; an alpha of 0 (or 0%) is no
// colour at all, any other alpha keeps the triple unblended.
bool ParseRgbaQuad(std::string_view text, TColor& colour)
{
    std::size_t open = text.find('(');
    std::size_t close = open == std::string_view::npos ? open : text.find(')', open + 1);
    if (close == std::string_view::npos)
        return false;
    std::string_view inner = text.substr(open + 1, close - open - 1);
    std::size_t comma = std::string_view::npos;
    for (int i = 0; i < 3; ++i) {
        comma = inner.find(',', comma == std::string_view::npos ? 0 : comma + 1);
        if (comma == std::string_view::npos)
            break;
    }
    if (comma == std::string_view::npos)
        return ParseRgbTriple(text, colour);  // no alpha: read as rgb( )
    std::string triple = "(" + std::string(inner.substr(0, comma)) + ")";
    if (!ParseRgbTriple(triple, colour))
        return false;
    std::string alpha = Trim(inner.substr(comma + 1));
    if (!alpha.empty() && alpha.back() == '%')
        alpha.pop_back();
    double a;
    if (TryStrToFloat(alpha, a) && a == 0.0)
        colour = NoColor;
    return true;
}

}  // namespace

bool ParseColor(std::string_view text, bool needHash, TColor& colour)
{
    if (text.empty())
        return false;
    std::string s = LowerCase(Trim(text));
    if (g_colorCache.valid && g_colorCache.needHash == needHash && g_colorCache.text == s) {
        colour = g_colorCache.colour;
        return true;
    }
    bool ok = false;
    TColor c = 0;
    bool hasRgbParen = Contains(s, "rgb(");
    if (!StartsWith(s, "#") && !hasRgbParen)
        ok = LookupColorName(s, c);
    if (!ok) {
        if (Contains(s, "rgb")) {
            const std::string_view rest = std::string_view(s).substr(s.find("rgb") + 3);
            ok = rest.substr(0, 2) == "a(" ? ParseRgbaQuad(rest, c) : ParseRgbTriple(rest, c);
        } else if (s.find('#') == std::string::npos && needHash) {
            ok = false;
        } else {
            std::size_t hash = s.rfind('#');
            std::string hex = Trim(hash == std::string::npos ? std::string_view(s) : std::string_view(s).substr(hash + 1));
            if (hex.size() <= 3) {
                std::string doubled;
                for (char ch : hex) {
                    doubled += ch;
                    doubled += ch;
                }
                hex = doubled;
            }
            // The digits are read in pairs from the left as red, green and blue ("ff" is red); digits
            // after the sixth are ignored, so no value can reach the flag bits.
            if (hex.size() > 6)
                hex.resize(6);
            ok = !hex.empty();
            TColor v = 0;
            for (std::size_t i = 0; ok && i < hex.size(); i += 2) {
                int pair = 0;
                for (std::size_t j = i; j < i + 2 && j < hex.size(); ++j) {
                    int d = platform::HexDigitValue(hex[j]);
                    if (d < 0) {
                        ok = false;
                        break;
                    }
                    pair = pair * 16 + d;
                }
                v |= TColor(pair) << (4 * i);
            }
            if (ok)
                c = v | platform::PaletteRelative;
        }
    }
    if (ok) {
        g_colorCache.text = s;
        g_colorCache.needHash = needHash;
        g_colorCache.valid = true;
        g_colorCache.colour = c;
        colour = c;
    }
    return ok;
}

AlignmentType AlignFromText(std::string_view text)
{
    std::string s = LowerCase(text);
    if (s == "top")
        return AlignTop;
    if (s == "middle" || s == "absmiddle" || s == "center")
        return AlignMiddle;
    if (s == "left")
        return AlignLeft;
    if (s == "right")
        return AlignRight;
    if (s == "bottom")
        return AlignBottom;
    if (s == "baseline")
        return AlignBaseline;
    if (s == "justify")
        return AlignJustify;
    return AlignNone;
}

std::string UrlFromValue(std::string_view text)
{
    if (!Contains(text, "url("))
        return {};
    std::string s(text.size() > 4 ? text.substr(4) : std::string_view());
    std::size_t close = s.find(')');
    if (close != std::string::npos)
        s.erase(close);
    if (s.size() > 2 && (s[0] == '"' || s[0] == '\''))
        s = s.substr(1, s.size() - 2);
    return s;
}
