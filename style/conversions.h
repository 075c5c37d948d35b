#pragma once
// Value conversions shared by every layout step: lengths to pixels, font sizes to points, colour text to
// colour references, HTML align keywords, url( ) values; plus the small text helpers the style code uses.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/types.h"

using platform::TColor;

// Integer markers that stand in length slots.
constexpr int NotSet = -12345678;     // the slot holds no length
constexpr int AutoValue = -12348765;  // "auto"
constexpr int ParaSpace = -12348766;  // default paragraph spacing (14 pixels)
constexpr TColor NoColor = 0x1FFFFFFF;

// Lengths and sizes from page text are held to these bounds, far beyond any screen.
constexpr double MaxPixels = 1000000.0;
constexpr double MaxPoints = 10000.0;

enum AlignmentType : std::uint8_t {
    AlignNone = 0,
    AlignTop = 1,
    AlignMiddle = 2,
    AlignBaseline = 3,
    AlignBottom = 4,
    AlignLeft = 5,
    AlignRight = 6,
    AlignJustify = 7,
    AlignSub = 8,
    AlignSuper = 9,
};

enum BorderStyleType : std::uint8_t {
    bssNone = 0,
    bssSolid = 1,
    bssInset = 2,
    bssOutset = 3,
    bssGroove = 4,
    bssRidge = 5,
    bssDashed = 6,
    bssDotted = 7,
    bssDouble = 8,
};

enum ListStyleType : std::uint8_t {
    lbBlank = 0,
    lbCircle = 1,
    lbDecimal = 2,
    lbDisc = 3,
    lbLowerAlpha = 4,
    lbLowerRoman = 5,
    lbNone = 6,
    lbSquare = 7,
    lbUpperAlpha = 8,
    lbUpperRoman = 9,
};

enum ClearType : std::uint8_t { ClearNone = 0, ClearLeft = 1, ClearRight = 2, ClearBoth = 3 };
enum PositionType : std::uint8_t { PosStatic = 0, PosAbsolute = 1, PosRelative = 2 };
enum VisibilityType : std::uint8_t { VisInherit = 0, VisHidden = 1, VisVisible = 2 };
enum BgPosKind : std::uint8_t { BgTop = 0, BgCenter = 1, BgBottom = 2, BgLeft = 3, BgRight = 4, BgPercent = 5, BgLength = 6 };

// The font size, in points, that keyword sizes are relative to; set from the viewer's default font.
extern double DefaultPointSize;

// --- text helpers (ASCII letter case, as style text is handled) ---
std::string Trim(std::string_view s);  // drops characters <= ' ' at both ends
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);  // ASCII case-insensitive equality
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive ordering
bool StartsWith(std::string_view s, std::string_view prefix);
bool Contains(std::string_view s, std::string_view part);
// Decimal integer with optional sign; the default for anything else or a value outside 32 bits.
int StrToIntDef(std::string_view s, int def);
// A whole text that is a decimal number ("1.4", "-2", ".5"); false otherwise.
bool TryStrToFloat(std::string_view s, double& value);

// Splits length text into its number and trimmed unit ("2em" -> 2, "em"; "auto" -> 0, "auto").
void SplitNumberUnit(std::string_view text, double& number, std::string& unit);

// Length text to pixels (halves to even). An empty unit means pixels, or base x number when relative;
// "%" is a share of base; an unknown unit gives def.
int LengthToPixels(std::string_view text, bool relative, int base, int em, int ex, int def);
// Font-size text to points; parentPoints is the size "em", "%", "smaller" and "larger" refer to.
double SizeToPoints(std::string_view text, double parentPoints);
// The same for a size that is to be used: a size of 0 points or less cannot be, and parentPoints stays.
double UsableSizeToPoints(std::string_view text, double parentPoints);
// The number at the start of a length text is below 0 ("-20px", "-.5em").
bool IsNegativeLength(std::string_view text);

// Colour names, "#rgb", "#rrggbb", "rgb(r, g, b)" and "rgba(r, g, b, a)" (alpha 0 gives NoColor, as
// "transparent" does; any other alpha keeps the triple). With needHash, bare hex digits are no colour.
bool ParseColor(std::string_view text, bool needHash, TColor& colour);
bool ParseRgbTriple(std::string_view text, TColor& colour);

// HTML align attribute keywords.
AlignmentType AlignFromText(std::string_view text);
// The address inside url( ... ), quotes removed; empty when the text holds no url(.
std::string UrlFromValue(std::string_view text);
