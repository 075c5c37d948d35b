#pragma once
// Cursors: the standard shapes by their classic numbers, and the program's own cursors 1..5, which are
// drawn here (hand, thick I-beam, and the three auto-scroll cursors). The screen cursor overrides every
// control's cursor while it is set; set it only through ScreenCursor, which restores in strict pairs.

namespace platform {

using TCursor = int;

constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHSplit = -14; // splitter between columns (a left-right split)
constexpr TCursor crVSplit = -15; // splitter between rows (an up-down split)
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The program's own cursors (Screen.Cursors[n]).
constexpr TCursor HandCursor = 1;
constexpr TCursor ThickIBeamCursor = 2;
constexpr TCursor UpDownCursor = 3;
constexpr TCursor UpOnlyCursor = 4;
constexpr TCursor DownOnlyCursor = 5;

// True for the numbers above that have a shape.
bool IsKnownCursor(TCursor cursor);

// Sets the screen cursor for the lifetime of the object and gives back the one before it on
// destruction. Nested scopes restore in reverse order.
class ScreenCursor
{
public:
    explicit ScreenCursor(TCursor cursor = crHourGlass);
    ~ScreenCursor();
    ScreenCursor(const ScreenCursor&) = delete;
    ScreenCursor& operator=(const ScreenCursor&) = delete;
};

// The screen cursor now: crDefault when no scope is active.
TCursor CurrentScreenCursor();

} // namespace platform
