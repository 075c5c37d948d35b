#pragma once
// Box borders in the CSS border styles, and the 3-D frames of table borders.

#include "platform/canvas.h"
#include "platform/types.h"
#include "style/conversions.h"

// Sides are given in the order left, top, right, bottom.
struct TBorderSides {
    BorderStyleType Style[4] = {bssNone, bssNone, bssNone, bssNone};
    TColor Color[4] = {0, 0, 0, 0};
};

// The side colour with red, green and blue each multiplied by 0.75 (system colours resolved first).
TColor DarkenColor(TColor colour);

// Draws the four sides between the outer (border box) and inner (padding box) rectangles. background is
// painted under dashed, dotted and double sides unless it is NoColor.
void DrawBorder(platform::Canvas& canvas, platform::Rect outer, platform::Rect inner, bool printing,
                TColor background, const TBorderSides& sides);

// A frame of the given width around the rectangle, lit from the top left when raised, sunken otherwise.
void Draw3DFrame(platform::Canvas& canvas, int left, int top, int right, int bottom, int width, bool raised,
                 TColor dark, TColor light);

// The colours a frame takes by default: the document's state decides the light colour.
struct T3DFrameColors {
    TColor Dark;
    TColor Light;
};
T3DFrameColors Default3DFrameColors(bool printing, bool monochromeOneBit, TColor documentBackground);
