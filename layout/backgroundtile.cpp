#include "layout/backgroundtile.h"

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/region.h"

namespace {

// A tiny picture over a large box is drawn at most this many times in one call.
constexpr long long MaxTiles = 200000;

// The first and end tile starts on one axis covering [clipStart, clipEnd), for a picture starting at start.
void TileSpan(bool repeat, int start, int size, int clipStart, int clipEnd, int& first, int& end)
{
    if (!repeat) {
        first = start;
        end = start < clipEnd && start + size > clipStart ? start + 1 : start;
        return;
    }
    // Step back by whole picture sizes to the last start at or before clipStart.
    long long s = start;
    if (s > clipStart)
        s -= (s - clipStart + size - 1) / size * size;
    else
        s += (clipStart - s) / size * size;
    first = int(s);
    end = clipEnd;
}

}  // namespace

int BackgroundStart(const BackgroundPos& position, int area, int picture)
{
    long long start = 0;
    switch (position.PosType) {
    case BgTop:
    case BgLeft: start = 0; break;
    case BgCenter: start = area / 2 - picture / 2; break;
    case BgBottom:
    case BgRight: start = area - picture; break;
    case BgPercent: start = (long long)(area - picture) * position.Value / 100; break;
    default: start = position.Value; break;
    }
    return int(std::clamp<long long>(start, -(long long)picture, area));
}

void TileBackground(platform::Canvas& canvas, const platform::Rect& area, const platform::Rect& clip,
                    const platform::Bitmap& picture, const platform::Bitmap* mask, const BackgroundPos& x,
                    const BackgroundPos& y)
{
    const int pw = picture.Width();
    const int ph = picture.Height();
    const platform::Rect visible{std::max(area.Left, clip.Left), std::max(area.Top, clip.Top),
                                 std::min(area.Right, clip.Right), std::min(area.Bottom, clip.Bottom)};
    if (pw <= 0 || ph <= 0 || visible.Left >= visible.Right || visible.Top >= visible.Bottom)
        return;
    int x0 = 0, xEnd = 0, y0 = 0, yEnd = 0;
    TileSpan(x.RepeatD, area.Left + BackgroundStart(x, area.Right - area.Left, pw), pw, visible.Left, visible.Right,
             x0, xEnd);
    TileSpan(y.RepeatD, area.Top + BackgroundStart(y, area.Bottom - area.Top, ph), ph, visible.Top, visible.Bottom,
             y0, yEnd);
    if (x0 >= xEnd || y0 >= yEnd)
        return;
    // Tiles that stick out of the area are cut at its edges.
    const bool hadClip = canvas.HasClip();
    const platform::Region saved = hadClip ? canvas.GetClipRegion() : platform::Region();
    canvas.IntersectClipRect(visible);
    const bool masked = mask && !mask->Empty();
    long long budget = MaxTiles;
    for (int ty = y0; ty < yEnd && budget > 0; ty += ph)
        for (int tx = x0; tx < xEnd && budget > 0; tx += pw, --budget) {
            if (masked)
                canvas.MaskedDraw(platform::Rect{tx, ty, tx + pw, ty + ph}, picture, *mask, platform::Rect{0, 0, pw, ph});
            else
                canvas.BitBlt(tx, ty, pw, ph, picture, 0, 0, platform::SRCCOPY);
        }
    canvas.SelectClipRgn(hadClip ? &saved : nullptr);
}
