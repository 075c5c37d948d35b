#pragma once
// A canvas whose drawing goes to a painter on a vector device (a PDF file or a printer) instead of a
// bitmap. Every primitive emits the same geometry as its bitmap version, in logical units that the
// painter's base transform maps to the device; text goes out glyph by glyph at the canvas's own integer
// advances, so that the device shows the lines the layout measured and keeps the text selectable.

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTransform>

#include "platform/canvas.h"
#include "platform/qt/canvas_private.h"

namespace platform {

class Region;

struct PageTarget
{
    QPainter* painter = nullptr; // not owned
    QTransform base;             // logical units to device units, the area's origin included
    QRect bounds;                // the logical area drawing may touch
    // The clip last given to the painter, so that unchanged state is not sent again.
    bool stateValid = false;
    bool lastHasClip = false;
    QRegion lastClip;
    Point lastOrg;
};

// Whether a logical rectangle meets the part of the page that shows (the area and the clip).
bool PageVisible(const Canvas::Impl& c, const QRect& box);
// The painter with the canvas's window origin and clip applied.
QPainter& PagePainter(Canvas::Impl& c);

void PageFill(Canvas::Impl& c, const Rect& r, TColor colour);
void PageFrame(Canvas::Impl& c, const Rect& r, TColor colour);
void PageRectangle(Canvas::Impl& c, int left, int top, int right, int bottom);
void PageEllipse(Canvas::Impl& c, int left, int top, int right, int bottom);
void PagePolygon(Canvas::Impl& c, const Point* points, int count);
void PagePolyline(Canvas::Impl& c, const Point* points, int count);
void PageLine(Canvas::Impl& c, Point from, Point to);
void PageFillRegion(Canvas::Impl& c, const Region& region, TColor colour);
// Copies part of a bitmap (1-bit sources take the text and background colours) into a logical box;
// mask (optional, the source's coordinates): white or 1 bits leave the page as it is.
void PageImage(Canvas::Impl& c, const Rect& dest, const Bitmap::Impl& source, const Rect& from,
               std::uint32_t rop, const Bitmap::Impl* mask);

} // namespace platform
