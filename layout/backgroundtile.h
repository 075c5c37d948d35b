#pragma once
// Background pictures: a picture placed by its two position records inside an area and repeated along the
// axes that repeat, drawn only where it meets the clip rectangle.

#include "platform/bitmap.h"
#include "style/properties.h"

namespace platform {
class Canvas;
struct Rect;
}  // namespace platform

// A picture (or its mask) repeated kx times across and ky times down, in one bitmap: small pictures are
// tiled as such bands, so that covering an area takes a bounded number of copies.
platform::Bitmap RepeatedPicture(const platform::Bitmap& source, int kx, int ky);

// The start of a picture of the given size on one axis of an area, as the position record places it,
// relative to the area's start; clamped to [-picture, area].
int BackgroundStart(const BackgroundPos& position, int area, int picture);

// Draws picture (through mask when one is given: white where nothing is drawn) over area, screen
// coordinates, placed by x and y and repeated as they say, limited to clip. Pictures of size 0 draw
// nothing.
void TileBackground(platform::Canvas& canvas, const platform::Rect& area, const platform::Rect& clip,
                    const platform::Bitmap& picture, const platform::Bitmap* mask, const BackgroundPos& x,
                    const BackgroundPos& y);
