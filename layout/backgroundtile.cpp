#include "layout/backgroundtile.h"

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/region.h"

namespace {

// Along a repeating axis a picture smaller than this is drawn as a band of whole copies of itself.
constexpr int MinTile = 64;
// A bound on the copies drawn in one call all the same (bands make it unreachable in practice).
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

platform::Bitmap RepeatedPicture(const platform::Bitmap& source, int kx, int ky)
{
    const int w = source.Width();
    const int h = source.Height();
    platform::Bitmap result(w * kx, h * ky, source.Monochrome() ? platform::PixelFormat::pf1bit
                                                                 : platform::PixelFormat::pf32bit);
    platform::Canvas canvas(result);
    for (int j = 0; j < ky; ++j)
        for (int i = 0; i < kx; ++i)
            canvas.BitBlt(i * w, j * h, w, h, source, 0, 0, platform::SRCCOPY);
    return result;
}

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
    // Bands of a small picture start where its own copies would, so the result is the same.
    const bool useMask = mask && !mask->Empty() && mask->Width() == pw && mask->Height() == ph;
    const int kx = x.RepeatD && pw < MinTile ? (MinTile + pw - 1) / pw : 1;
    const int ky = y.RepeatD && ph < MinTile ? (MinTile + ph - 1) / ph : 1;
    platform::Bitmap bandPicture, bandMask;
    const platform::Bitmap* tile = &picture;
    const platform::Bitmap* tileMask = useMask ? mask : nullptr;
    if (kx > 1 || ky > 1) {
        bandPicture = RepeatedPicture(picture, kx, ky);
        tile = &bandPicture;
        if (useMask) {
            bandMask = RepeatedPicture(*mask, kx, ky);
            tileMask = &bandMask;
        }
    }
    const int tw = tile->Width(), th = tile->Height();
    // Tiles that stick out of the area are cut at its edges.
    const bool hadClip = canvas.HasClip();
    const platform::Region saved = hadClip ? canvas.GetClipRegion() : platform::Region();
    canvas.IntersectClipRect(visible);
    long long budget = MaxTiles;
    for (int ty = y0; ty < yEnd && budget > 0; ty += th)
        for (int tx = x0; tx < xEnd && budget > 0; tx += tw, --budget) {
            if (tileMask)
                canvas.MaskedDraw(platform::Rect{tx, ty, tx + tw, ty + th}, *tile, *tileMask, platform::Rect{0, 0, tw, th});
            else
                canvas.BitBlt(tx, ty, tw, th, *tile, 0, 0, platform::SRCCOPY);
        }
    canvas.SelectClipRgn(hadClip ? &saved : nullptr);
}
