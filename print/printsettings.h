#pragma once
// What a printout looks like: the sheet, the margins, the scale and the three colour options, and the
// geometry that follows from them.

#include "platform/printer.h"

struct TPrintSettings {
    platform::PaperSize Paper = platform::PaperA4();
    // Inches.
    double MarginLeft = 2.0;
    double MarginRight = 2.0;
    double MarginTop = 2.0;
    double MarginBottom = 2.0;
    // Document pixels are printed this much larger than 1/96 inch (0.25 .. 4).
    double Scale = 1.0;
    bool PrintBackground = false;       // the document's background colour and picture
    bool PrintTableBackground = true;   // backgrounds of blocks and cells
    bool PrintMonochromeBlack = true;   // dark lines in black on one-bit printers
    // Content wider than the printable area is printed smaller (down to scale 0.25) instead of being cut
    // off at the right margin.
    bool ShrinkToFit = true;
};

// The sheet divided: margins in inches, and the printable area in document pixels.
struct TPageGeometry {
    platform::PaperSize Paper;
    double Left = 0, Right = 0, Top = 0, Bottom = 0;
    double Scale = 1;
    int Width = 1;   // document pixels across the printable area (the width the document is formatted at)
    int Height = 1;  // document pixels down it (the page height)
};

// Sound values whatever the settings hold: a sheet of 1 to 200 inches each way (A4 when unusable), the
// scale clamped to 0.25 .. 4 (1 when not a number), negative margins as 0, and margins that leave less
// than an inch (or half the sheet, when smaller) shrunk in proportion until they leave that much.
TPageGeometry ComputeGeometry(const TPrintSettings& settings);
