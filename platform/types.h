#pragma once
// Geometry, colour references and the integer arithmetic every layout step shares.

#include <cstdint>

namespace platform {

struct Point {
    int X = 0;
    int Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A rectangle with inclusive Left/Top and exclusive Right/Bottom edges.
struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(Point p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    void Offset(int dx, int dy)
    {
        Left += dx;
        Right += dx;
        Top += dy;
        Bottom += dy;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect MakeRect(int left, int top, int right, int bottom) { return Rect{left, top, right, bottom}; }
inline Rect Bounds(int left, int top, int width, int height)
{
    return Rect{left, top, left + width, top + height};
}
// The overlap of two rectangles; empty (all zero) when they do not meet.
Rect IntersectRect(const Rect& a, const Rect& b);
// The smallest rectangle holding both; an empty rectangle adds nothing.
Rect UnionRect(const Rect& a, const Rect& b);

// Colour references: red + green*256 + blue*65536.
using TColor = std::uint32_t;

constexpr TColor PaletteRelative = 0x02000000;  // colours parsed from pages carry this flag
constexpr TColor SystemColorFlag = 0x80000000;  // 0x80000000 + index names a system colour
constexpr TColor clNone = 0x1FFFFFFF;           // "no colour given"

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int GetRValue(TColor c) { return int(c & 0xFF); }
constexpr int GetGValue(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return int((c >> 16) & 0xFF); }

// System colour indexes (the classic table of sysvalues.h resolves them).
enum SysColorIndex : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_SYSCOLOR_COUNT = 25,
};

constexpr TColor clBtnFace = SystemColorFlag + COLOR_BTNFACE;
constexpr TColor clBtnText = SystemColorFlag + COLOR_BTNTEXT;
constexpr TColor clBtnShadow = SystemColorFlag + COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = SystemColorFlag + COLOR_BTNHIGHLIGHT;
constexpr TColor clWindow = SystemColorFlag + COLOR_WINDOW;
constexpr TColor clWindowText = SystemColorFlag + COLOR_WINDOWTEXT;
constexpr TColor clHighlight = SystemColorFlag + COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = SystemColorFlag + COLOR_HIGHLIGHTTEXT;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clGray = 0x808080;

// A real RGB value: system colours resolved, the palette-relative flag and any other high bits dropped.
// clNone resolves to itself so callers can still test for it.
TColor ColorToRGB(TColor c);

// Multiply then divide, rounding to the nearest (halves away from zero) with a 64-bit product;
// -1 when the divisor is 0 or the result does not fit 32 bits.
int MulDiv(int number, int numerator, int denominator);

// Rounds to the nearest integer with halves to even.
int Round(double value);

// Pascal's div: truncates toward zero (C++'s / on ints already does; kept for readability at call sites).
constexpr int Div(int a, int b) { return a / b; }

}  // namespace platform
