// Canvas primitives on a vector page: the geometry of the bitmap primitives, sent to a painter on a PDF
// file or a printer. Fills are rectangles, one-pixel lines are bands one unit wide, pictures are images
// (masked pictures become images with transparency), so that what is printed matches the screen.

#include "platform/qt/pagecanvas_private.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>

#include "platform/qt/bitmap_private.h"
#include "platform/qt/graphics_private.h"
#include "platform/region.h"

namespace platform {

namespace {

bool Paintable(TColor c)
{
    return c != clNone;
}

QRect LogicalRect(long long l, long long t, long long r, long long b)
{
    constexpr long long kFar = 1LL << 28;
    l = std::clamp(l, -kFar, kFar), t = std::clamp(t, -kFar, kFar);
    r = std::clamp(r, -kFar, kFar), b = std::clamp(b, -kFar, kFar);
    if (r <= l || b <= t)
        return QRect();
    return QRect(int(l), int(t), int(r - l), int(b - t));
}

Qt::PenStyle StyleOf(PenStyle s)
{
    switch (s) {
    case PenStyle::Dash:
        return Qt::DashLine;
    case PenStyle::Dot:
        return Qt::DotLine;
    case PenStyle::DashDot:
        return Qt::DashDotLine;
    case PenStyle::DashDotDot:
        return Qt::DashDotDotLine;
    case PenStyle::Clear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

bool HasPen(const Canvas::Impl& c)
{
    return c.s.pen.Style != PenStyle::Clear && Paintable(c.s.pen.Color);
}

bool Styled(PenStyle s)
{
    return s == PenStyle::Dash || s == PenStyle::Dot || s == PenStyle::DashDot || s == PenStyle::DashDotDot;
}

QPen PenOf(const Canvas::Impl& c, Qt::PenCapStyle cap)
{
    return QPen(QColor(ToQRgb(c.s.pen.Color)), std::max(1, c.s.pen.Width), StyleOf(c.s.pen.Style), cap,
                Qt::MiterJoin);
}

// The pixels of a bitmap as an image a painter can draw: 1-bit sources take the canvas's text colour for
// 0 bits and its background colour for 1 bits, as a copy onto a colour bitmap does.
QImage DrawableImage(const Canvas::Impl& c, const Bitmap::Impl& b)
{
    switch (b.format) {
    case PixelFormat::pf32bit:
    case PixelFormat::pf24bit:
        return b.image;
    case PixelFormat::pf8bit:
        return b.image.convertToFormat(QImage::Format_RGB32);
    default:
        break;
    }
    QImage out(b.width, b.height, QImage::Format_RGB32);
    const bool mono = b.format == PixelFormat::pf1bit;
    const QRgb zero = ToQRgb(c.s.textColor == clNone ? clBlack : c.s.textColor);
    const QRgb one = ToQRgb(c.s.bkColor == clNone ? clWhite : c.s.bkColor);
    for (int y = 0; y < b.height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < b.width; ++x)
            row[x] = mono ? (b.IndexAt(x, y) ? one : zero) : ToQRgb(b.PixelAt(x, y));
    }
    return out;
}

} // namespace

bool PageVisible(const Canvas::Impl& c, const QRect& box)
{
    const QRect area = c.page->bounds.translated(c.s.org.X, c.s.org.Y);
    if (!box.intersects(area))
        return false;
    return !c.s.hasClip || c.s.clip.boundingRect().intersects(box);
}

QPainter& PagePainter(Canvas::Impl& c)
{
    PageTarget& t = *c.page;
    QPainter& p = *t.painter;
    const CanvasState& s = c.s;
    if (t.stateValid && t.lastOrg == s.org && t.lastHasClip == s.hasClip && (!s.hasClip || t.lastClip == s.clip))
        return p;
    p.setTransform(t.base);
    p.setClipRect(t.bounds);
    p.translate(-s.org.X, -s.org.Y);
    if (s.hasClip)
        p.setClipRegion(s.clip, Qt::IntersectClip);
    t.stateValid = true;
    t.lastOrg = s.org;
    t.lastHasClip = s.hasClip;
    t.lastClip = s.hasClip ? s.clip : QRegion();
    return p;
}

void PageFill(Canvas::Impl& c, const Rect& r, TColor colour)
{
    if (!Paintable(colour) || r.IsEmpty())
        return;
    const QRect q = LogicalRect(r.Left, r.Top, r.Right, r.Bottom);
    if (!q.isEmpty())
        PagePainter(c).fillRect(q, QColor(ToQRgb(colour)));
}

void PageFrame(Canvas::Impl& c, const Rect& r, TColor colour)
{
    if (!Paintable(colour) || r.IsEmpty())
        return;
    QPainter& p = PagePainter(c);
    const QColor q(ToQRgb(colour));
    const long long l = r.Left, t = r.Top, rr = r.Right, b = r.Bottom;
    for (const QRect& band : {LogicalRect(l, t, rr, t + 1), LogicalRect(l, b - 1, rr, b), LogicalRect(l, t, l + 1, b),
                              LogicalRect(rr - 1, t, rr, b)})
        if (!band.isEmpty())
            p.fillRect(band, q);
}

void PageRectangle(Canvas::Impl& c, int left, int top, int right, int bottom)
{
    QPainter& p = PagePainter(c);
    const Pen& pen = c.s.pen;
    if (c.s.brush.Style == BrushStyle::Solid && Paintable(c.s.brush.Color)) {
        const int shrink = pen.Style == PenStyle::Clear ? 1 : 0;
        const QRect q = LogicalRect(left, top, (long long)right - shrink, (long long)bottom - shrink);
        if (!q.isEmpty())
            p.fillRect(q, QColor(ToQRgb(c.s.brush.Color)));
    }
    if (!HasPen(c) || (long long)right - left < 1 || (long long)bottom - top < 1)
        return;
    const int w = std::max(1, pen.Width);
    if (Styled(pen.Style)) {
        p.setPen(PenOf(c, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(left + 0.5, top + 0.5, double(right) - left - 1, double(bottom) - top - 1));
        return;
    }
    long long l, t, r, b, inner;
    if (pen.Style == PenStyle::InsideFrame) {
        l = left, t = top, r = right, b = bottom;
        inner = std::min<long long>(w, std::max(1LL, std::min((r - l + 1) / 2, (b - t + 1) / 2)));
    } else {
        const int before = (w - 1) / 2;
        l = (long long)left - before, t = (long long)top - before;
        r = (long long)right - 1 - before + w, b = (long long)bottom - 1 - before + w;
        inner = w;
    }
    const QColor q(ToQRgb(pen.Color));
    for (const QRect& band : {LogicalRect(l, t, r, std::min(b, t + inner)), LogicalRect(l, std::max(t, b - inner), r, b),
                              LogicalRect(l, t, std::min(r, l + inner), b), LogicalRect(std::max(l, r - inner), t, r, b)})
        if (!band.isEmpty())
            p.fillRect(band, q);
}

void PageEllipse(Canvas::Impl& c, int left, int top, int right, int bottom)
{
    QPainter& p = PagePainter(c);
    const bool pen = HasPen(c);
    if (c.s.brush.Style == BrushStyle::Solid && Paintable(c.s.brush.Color)) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ToQRgb(c.s.brush.Color)));
        const int shrink = pen ? 0 : 1;
        p.drawEllipse(QRectF(left, top, double(right) - left - shrink, double(bottom) - top - shrink));
    }
    if (!pen)
        return;
    const int w = std::max(1, c.s.pen.Width);
    p.setPen(PenOf(c, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    const double inset = c.s.pen.Style == PenStyle::InsideFrame ? w / 2.0 : 0.5;
    p.drawEllipse(QRectF(left + inset, top + inset, double(right) - left - 2 * inset, double(bottom) - top - 2 * inset));
}

void PagePolygon(Canvas::Impl& c, const Point* points, int count)
{
    QPainter& p = PagePainter(c);
    QPolygonF poly;
    poly.reserve(count);
    if (c.s.brush.Style == BrushStyle::Solid && Paintable(c.s.brush.Color) && count >= 3) {
        for (int i = 0; i < count; ++i)
            poly << QPointF(points[i].X, points[i].Y);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ToQRgb(c.s.brush.Color)));
        p.drawPolygon(poly, Qt::WindingFill);
    }
    if (!HasPen(c))
        return;
    poly.clear();
    for (int i = 0; i < count; ++i)
        poly << QPointF(points[i].X + 0.5, points[i].Y + 0.5);
    p.setPen(PenOf(c, Qt::SquareCap));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(poly);
}

void PagePolyline(Canvas::Impl& c, const Point* points, int count)
{
    if (!HasPen(c) || count < 2)
        return;
    QPainter& p = PagePainter(c);
    QPolygonF path;
    path.reserve(count);
    for (int i = 0; i < count; ++i)
        path << QPointF(points[i].X + 0.5, points[i].Y + 0.5);
    p.setPen(PenOf(c, Styled(c.s.pen.Style) ? Qt::SquareCap : Qt::FlatCap));
    p.drawPolyline(path);
}

void PageLine(Canvas::Impl& c, Point from, Point to)
{
    if (!HasPen(c) || from == to)
        return;
    QPainter& p = PagePainter(c);
    const Pen& pen = c.s.pen;
    const int w = std::max(1, pen.Width);
    if (!Styled(pen.Style) && (from.X == to.X || from.Y == to.Y)) {
        // A band of the pen's width on the pixel row or column, the end point left out.
        const long long before = (w - 1) / 2;
        QRect band;
        if (from.Y == to.Y) {
            const long long x0 = from.X < to.X ? from.X : to.X + 1LL, x1 = from.X < to.X ? to.X : from.X + 1LL;
            band = LogicalRect(x0, to.Y - before, x1, to.Y - before + w);
        } else {
            const long long y0 = from.Y < to.Y ? from.Y : to.Y + 1LL, y1 = from.Y < to.Y ? to.Y : from.Y + 1LL;
            band = LogicalRect(to.X - before, y0, to.X - before + w, y1);
        }
        if (!band.isEmpty())
            p.fillRect(band, QColor(ToQRgb(pen.Color)));
        return;
    }
    p.setPen(PenOf(c, Styled(pen.Style) ? Qt::SquareCap : Qt::FlatCap));
    p.drawLine(QLineF(from.X + 0.5, from.Y + 0.5, to.X + 0.5, to.Y + 0.5));
}

void PageFillRegion(Canvas::Impl& c, const Region& region, TColor colour)
{
    if (!Paintable(colour))
        return;
    const QRegion& q = QRegionOf(region);
    if (q.isEmpty())
        return;
    QPainterPath path;
    path.addRegion(q);
    QPainter& p = PagePainter(c);
    p.fillPath(path.simplified(), QColor(ToQRgb(colour)));
}

void PageImage(Canvas::Impl& c, const Rect& dest, const Bitmap::Impl& source, const Rect& from,
               std::uint32_t rop, const Bitmap::Impl* mask)
{
    Rect to = dest, src = from;
    if (to.Right < to.Left)
        std::swap(to.Left, to.Right);
    if (to.Bottom < to.Top)
        std::swap(to.Top, to.Bottom);
    if (src.Right < src.Left)
        std::swap(src.Left, src.Right);
    if (src.Bottom < src.Top)
        std::swap(src.Top, src.Bottom);
    if (to.IsEmpty())
        return;
    if (rop == BLACKNESS || rop == WHITENESS) {
        PageFill(c, to, rop == BLACKNESS ? clBlack : clWhite);
        return;
    }
    // Operations that combine with what is already on the page have no equivalent on a vector device;
    // the engine draws pictures with plain and masked copies only.
    if (rop != SRCCOPY && rop != NOTSRCCOPY)
        return;
    src = Rect{std::max(0, src.Left), std::max(0, src.Top), std::min(source.width, src.Right),
               std::min(source.height, src.Bottom)};
    if (src.IsEmpty())
        return;
    QImage image = DrawableImage(c, source);
    if (rop == NOTSRCCOPY) {
        image = image.convertToFormat(QImage::Format_RGB32);
        image.invertPixels();
    }
    if (mask) {
        // Transparency where the mask is white: an image with an alpha channel over the source rectangle.
        QImage masked(src.Width(), src.Height(), QImage::Format_ARGB32);
        const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < src.Height(); ++y) {
            const int sy = src.Top + y;
            const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(sy));
            QRgb* out = reinterpret_cast<QRgb*>(masked.scanLine(y));
            for (int x = 0; x < src.Width(); ++x) {
                const int sx = src.Left + x;
                bool clear = false;
                if (sx < mask->width && sy < mask->height)
                    clear = mask->format == PixelFormat::pf1bit ? mask->IndexAt(sx, sy) != 0
                                                                : (mask->PixelAt(sx, sy) & 0xFFFFFF) == 0xFFFFFF;
                out[x] = clear ? 0u : (in[sx] | 0xFF000000u);
            }
        }
        image = masked;
        src = Rect{0, 0, src.Width(), src.Height()};
    }
    QPainter& p = PagePainter(c);
    p.drawImage(QRectF(to.Left, to.Top, to.Width(), to.Height()), image,
                QRectF(src.Left, src.Top, src.Width(), src.Height()));
}

} // namespace platform
