#include "layout/borders.h"

#include <algorithm>
#include <vector>

#include "platform/region.h"

using platform::Canvas;
using platform::Point;
using platform::Rect;

namespace {

// Corners of a ring in the order left-bottom, left-top, right-top, right-bottom.
struct Ring {
    Point P[4];
};

Ring RingOf(const Rect& r)
{
    return Ring{{{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}}};
}

int SideWidth(const Rect& outer, const Rect& inner, int side)
{
    switch (side) {
    case 0: return inner.Left - outer.Left;
    case 1: return inner.Top - outer.Top;
    case 2: return outer.Right - inner.Right;
    default: return outer.Bottom - inner.Bottom;
    }
}

// Fills side i of the band between two rings; a band one pixel wide is a line, which covers exactly the
// pixels a filled polygon would leave out at the exclusive edges.
void FillSide(Canvas& canvas, const Rect& outerRect, const Rect& innerRect, int side, TColor colour,
              bool printing)
{
    const int width = SideWidth(outerRect, innerRect, side);
    if (width <= 0)
        return;
    const Ring outer = RingOf(outerRect);
    const Ring inner = RingOf(innerRect);
    const Point P0 = outer.P[side];
    const Point P1 = outer.P[(side + 1) % 4];
    const Point P2 = inner.P[(side + 1) % 4];
    const Point P3 = inner.P[side];
    if (width == 1) {
        canvas.SetPen({colour, 1, platform::PenStyle::Solid});
        switch (side) {
        case 0:
            canvas.MoveTo(P0.X, P1.Y);
            canvas.LineTo(P0.X, P3.Y);
            break;
        case 1:
            canvas.MoveTo(P0.X, P1.Y);
            canvas.LineTo(printing ? P2.X : P1.X, P1.Y);
            break;
        case 2:
            canvas.MoveTo(P2.X, P0.Y);
            canvas.LineTo(P2.X, printing ? P2.Y : P1.Y);
            break;
        default:
            canvas.MoveTo(P1.X, P3.Y);
            canvas.LineTo(P3.X, P3.Y);
            break;
        }
        return;
    }
    const Point quad[4] = {P0, P1, P2, P3};
    canvas.FillRegion(platform::Region::CreatePolygon(quad, 4), colour);
}

Rect Inset(const Rect& r, int l, int t, int rr, int b) { return Rect{r.Left + l, r.Top + t, r.Right - rr, r.Bottom - b}; }

int Third(int width) { return width / 3 + (width % 3 == 2 ? 1 : 0); }

platform::PenStyle LineStyle(BorderStyleType s)
{
    return s == bssDashed ? platform::PenStyle::Dash : platform::PenStyle::Dot;
}

}  // namespace

TColor DarkenColor(TColor colour)
{
    TColor c = platform::ColorToRGB(colour);
    if (c == platform::clNone)
        c = 0;
    auto dark = [](int v) { return platform::Round(v * 0.75); };
    return platform::RGB(dark(platform::GetRValue(c)), dark(platform::GetGValue(c)), dark(platform::GetBValue(c))) |
           platform::PaletteRelative;
}

void DrawBorder(Canvas& canvas, Rect outer, Rect inner, bool printing, TColor background, const TBorderSides& sides)
{
    outer.Top = std::max(outer.Top, -200);
    outer.Bottom = std::min(outer.Bottom, 5000);
    inner.Top = std::max(inner.Top, -200);
    inner.Bottom = std::min(inner.Bottom, 5000);

    int width[4];
    for (int i = 0; i < 4; ++i)
        width[i] = std::max(0, SideWidth(outer, inner, i));
    const Rect middle{(outer.Left + inner.Left) / 2, (outer.Top + inner.Top) / 2, (outer.Right + inner.Right) / 2,
                      (outer.Bottom + inner.Bottom) / 2};

    const int saved = canvas.SaveDC();
    bool needsBackground = false;
    for (BorderStyleType s : sides.Style)
        needsBackground |= s == bssDashed || s == bssDotted || s == bssDouble;
    if (background != NoColor && needsBackground) {
        platform::Region band = platform::Region(outer).Subtracted(platform::Region(inner));
        canvas.FillRegion(band, background);
    }

    // Dashed and dotted sides: one path along the middle ring while style, colour and width stay the same.
    std::vector<Point> path;
    int pathStart = -1;
    auto flushPath = [&](int lastSide) {
        if (path.size() >= 2) {
            if (pathStart == 0 && lastSide == 3)
                path.back() = path.front();  // closed round the box
            canvas.Polyline(path.data(), int(path.size()));
        }
        path.clear();
        pathStart = -1;
    };
    const Ring mid = RingOf(middle);

    for (int i = 0; i < 4; ++i) {
        const BorderStyleType style = sides.Style[i];
        const TColor colour = sides.Color[i];
        const TColor dark = DarkenColor(sides.Color[i]);
        const bool leftOrTop = i < 2;
        if (style != bssDashed && style != bssDotted)
            flushPath(i - 1);
        if (width[i] == 0)
            continue;
        switch (style) {
        case bssSolid:
            FillSide(canvas, outer, inner, i, colour, printing);
            break;
        case bssInset:
            FillSide(canvas, outer, inner, i, leftOrTop ? dark : colour, printing);
            break;
        case bssOutset:
            FillSide(canvas, outer, inner, i, leftOrTop ? colour : dark, printing);
            break;
        case bssGroove:
            FillSide(canvas, outer, middle, i, leftOrTop ? dark : colour, printing);
            FillSide(canvas, middle, inner, i, leftOrTop ? colour : dark, printing);
            break;
        case bssRidge:
            FillSide(canvas, outer, middle, i, leftOrTop ? colour : dark, printing);
            FillSide(canvas, middle, inner, i, leftOrTop ? dark : colour, printing);
            break;
        case bssDouble: {
            const int l = Third(width[0]), t = Third(width[1]), r = Third(width[2]), b = Third(width[3]);
            FillSide(canvas, outer, Inset(outer, l, t, r, b), i, colour, printing);
            FillSide(canvas, Inset(inner, -l, -t, -r, -b), inner, i, colour, printing);
            break;
        }
        case bssDashed:
        case bssDotted: {
            const bool continues = !path.empty() && sides.Style[i - 1] == style &&
                                   sides.Color[i - 1] == sides.Color[i] && width[i - 1] == width[i];
            if (!continues) {
                flushPath(i - 1);
                canvas.SetPen({colour, width[i], LineStyle(style)});
                path.push_back(mid.P[i]);
                pathStart = i;
            }
            path.push_back(mid.P[(i + 1) % 4]);
            break;
        }
        case bssNone:
            break;
        }
    }
    flushPath(3);
    canvas.RestoreDC(saved);
}

void Draw3DFrame(Canvas& canvas, int left, int top, int right, int bottom, int width, bool raised, TColor dark,
                 TColor light)
{
    if (width == 1) {
        top = std::max(top, -200);
        bottom = std::min(bottom, 5000);
        const int saved = canvas.SaveDC();
        canvas.SetPen({raised ? light : dark, 1, platform::PenStyle::Solid});
        canvas.MoveTo(left, bottom);
        canvas.LineTo(left, top);
        canvas.LineTo(right, top);
        canvas.SetPen({raised ? dark : light, 1, platform::PenStyle::Solid});
        canvas.LineTo(right, bottom);
        canvas.LineTo(left, bottom);
        canvas.RestoreDC(saved);
        return;
    }
    if (width < 1)
        return;
    TBorderSides sides;
    for (int i = 0; i < 4; ++i) {
        sides.Style[i] = bssSolid;
        sides.Color[i] = (i < 2) == raised ? light : dark;
    }
    DrawBorder(canvas, Rect{left - width + 1, top - width + 1, right + width, bottom + width},
               Rect{left + 1, top + 1, right, bottom}, false, NoColor, sides);
}

T3DFrameColors Default3DFrameColors(bool printing, bool monochromeOneBit, TColor documentBackground)
{
    if (printing && monochromeOneBit)
        return {0, 0};
    const TColor dark = platform::clBtnShadow;
    const bool whiteBackground =
        (documentBackground & 0xFFFFFF) == 0xFFFFFF ||
        (documentBackground == platform::clWindow && platform::ColorToRGB(platform::clWindow) == platform::clWhite);
    const TColor light = printing || whiteBackground ? TColor(0xC0C0C0) : platform::clBtnHighlight;
    return {dark, light};
}
