// The canvas: device-context state, clipping, and the shape primitives with GDI's pixel coverage.
// Text lives in text.cpp, copies between bitmaps in blit.cpp.

#include "platform/canvas.h"

#include <QPainterPath>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <cstdlib>

#include "platform/qt/canvas_private.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/pagecanvas_private.h"
#include "platform/region.h"

namespace platform {

// ---------------------------------------------------------------------------------------------
// Surface

Surface::Surface(Canvas::Impl& canvas) : canvas_(canvas), org_(canvas.s.org)
{
    Bitmap::Impl* t = canvas.target;
    if (!t || t->width == 0 || t->height == 0)
        return;
    switch (t->format) {
    case PixelFormat::pf24bit:
    case PixelFormat::pf32bit:
        image_ = &t->image;
        break;
    default:
        temp_ = ToDrawableImage(*canvas.bitmap).convertToFormat(QImage::Format_RGB32);
        image_ = &temp_;
        writeBack_ = true;
        break;
    }
    clip_ = canvas.DeviceClip();
}

Surface::~Surface()
{
    if (painter_)
        painter_->end();
    if (!writeBack_ || !image_)
        return;
    // Back to palette indexes; most pictures repeat few colours, so remember the last match.
    Bitmap::Impl* t = canvas_.target;
    QRgb lastColour = 0;
    int lastIndex = -1;
    for (const QRect& r : clip_) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(temp_.constScanLine(y));
            for (int x = r.left(); x <= r.right(); ++x) {
                const QRgb c = row[x] | 0xFF000000u;
                if (lastIndex < 0 || c != lastColour) {
                    lastColour = c;
                    lastIndex = t->NearestIndex(FromQRgb(c));
                }
                if (t->IndexAt(x, y) != lastIndex)
                    t->SetIndex(x, y, lastIndex);
            }
        }
    }
    t->view4 = QImage();
}

QPainter& Surface::Painter()
{
    if (!painter_) {
        painter_.emplace(image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setClipRegion(clip_);
        painter_->translate(-org_.X, -org_.Y);
    }
    return *painter_;
}

void Surface::Plot(int x, int y, QRgb colour)
{
    if (!clip_.contains(QPoint(x, y)))
        return;
    uchar* row = image_->scanLine(y);
    if (image_->format() == QImage::Format_BGR888) {
        row[x * 3] = uchar(qBlue(colour));
        row[x * 3 + 1] = uchar(qGreen(colour));
        row[x * 3 + 2] = uchar(qRed(colour));
    } else {
        reinterpret_cast<QRgb*>(row)[x] = colour | 0xFF000000u;
    }
}

QRgb Surface::Get(int x, int y) const
{
    const uchar* row = image_->constScanLine(y);
    if (image_->format() == QImage::Format_BGR888)
        return qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    return reinterpret_cast<const QRgb*>(row)[x] | 0xFF000000u;
}

void Surface::FillDevice(const QRect& area, QRgb colour)
{
    if (area.isEmpty())
        return;
    const bool bgr = image_->format() == QImage::Format_BGR888;
    for (const QRect& c : clip_) {
        const QRect r = c.intersected(area);
        if (r.isEmpty())
            continue;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            uchar* row = image_->scanLine(y);
            if (bgr) {
                for (int x = r.left(); x <= r.right(); ++x) {
                    row[x * 3] = uchar(qBlue(colour));
                    row[x * 3 + 1] = uchar(qGreen(colour));
                    row[x * 3 + 2] = uchar(qRed(colour));
                }
            } else {
                std::fill_n(reinterpret_cast<QRgb*>(row) + r.left(), r.width(), colour | 0xFF000000u);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Canvas::Impl

QRegion Canvas::Impl::DeviceClip() const
{
    if (!target || target->width == 0 || target->height == 0)
        return QRegion();
    const QRect all(0, 0, target->width, target->height);
    if (!s.hasClip)
        return QRegion(all);
    return s.clip.translated(-s.org.X, -s.org.Y).intersected(all);
}

int Canvas::Impl::JustShare(int breakIndex) const
{
    if (s.justCount <= 0 || s.justExtra == 0)
        return 0;
    const int q = s.justExtra / s.justCount;
    const int r = s.justExtra % s.justCount;
    if (breakIndex < std::abs(r))
        return q + (r < 0 ? -1 : 1);
    return q;
}

// ---------------------------------------------------------------------------------------------
// Construction and state

Canvas::Canvas() : d(std::make_unique<Impl>()) {}

Canvas::Canvas(Bitmap& target) : d(std::make_unique<Impl>())
{
    d->bitmap = &target;
    d->target = &target.Data();
}

Canvas::~Canvas() = default;

bool Canvas::HasTarget() const
{
    return d->target != nullptr;
}
Bitmap* Canvas::Target() const
{
    return d->bitmap;
}

const Pen& Canvas::GetPen() const
{
    return d->s.pen;
}
void Canvas::SetPen(const Pen& pen)
{
    d->s.pen = pen;
}
void Canvas::SetPenColor(TColor colour)
{
    d->s.pen.Color = colour;
}
void Canvas::SetPenWidth(int width)
{
    d->s.pen.Width = std::max(0, width);
}
void Canvas::SetPenStyle(PenStyle style)
{
    d->s.pen.Style = style;
}
const Brush& Canvas::GetBrush() const
{
    return d->s.brush;
}
void Canvas::SetBrush(const Brush& brush)
{
    d->s.brush = brush;
}
void Canvas::SetBrushColor(TColor colour)
{
    d->s.brush.Color = colour;
    d->s.brush.Style = BrushStyle::Solid;
}
void Canvas::SetBrushStyle(BrushStyle style)
{
    d->s.brush.Style = style;
}
const Font& Canvas::GetFont() const
{
    return d->s.font;
}
void Canvas::SetFont(const Font& font)
{
    d->s.font = font;
}
const TextMetrics& Canvas::GetTextMetrics() const
{
    return d->s.font.Metrics();
}

TColor Canvas::SetTextColor(TColor colour)
{
    return std::exchange(d->s.textColor, colour);
}
TColor Canvas::GetTextColor() const
{
    return d->s.textColor;
}
TColor Canvas::SetBkColor(TColor colour)
{
    return std::exchange(d->s.bkColor, colour);
}
TColor Canvas::GetBkColor() const
{
    return d->s.bkColor;
}
int Canvas::SetBkMode(int mode)
{
    return std::exchange(d->s.bkMode, mode == TRANSPARENT ? TRANSPARENT : OPAQUE);
}
int Canvas::GetBkMode() const
{
    return d->s.bkMode;
}
unsigned Canvas::SetTextAlign(unsigned flags)
{
    return std::exchange(d->s.textAlign, flags);
}
unsigned Canvas::GetTextAlign() const
{
    return d->s.textAlign;
}
int Canvas::SetTextCharacterExtra(int extra)
{
    return std::exchange(d->s.charExtra, extra);
}
int Canvas::GetTextCharacterExtra() const
{
    return d->s.charExtra;
}

void Canvas::SetTextJustification(int extra, int count)
{
    d->s.justExtra = count > 0 ? extra : 0;
    d->s.justCount = std::max(0, count);
    d->s.justBreaksDone = 0;
}

int Canvas::SetStretchBltMode(int mode)
{
    return std::exchange(d->s.stretchMode, mode);
}
int Canvas::GetStretchBltMode() const
{
    return d->s.stretchMode;
}

std::uint32_t Canvas::SetCopyMode(std::uint32_t rop)
{
    return std::exchange(d->s.copyMode, rop);
}

std::uint32_t Canvas::GetCopyMode() const
{
    return d->s.copyMode;
}

Point Canvas::SetWindowOrg(int x, int y)
{
    return std::exchange(d->s.org, Point{x, y});
}
Point Canvas::GetWindowOrg() const
{
    return d->s.org;
}

Point Canvas::MoveTo(int x, int y)
{
    d->s.patternPos = 0;
    return std::exchange(d->s.pos, Point{x, y});
}
Point Canvas::GetCurrentPosition() const
{
    return d->s.pos;
}

// ---------------------------------------------------------------------------------------------
// Clipping

void Canvas::SelectClipRgn(const Region* region)
{
    if (!region) {
        d->s.hasClip = false;
        d->s.clip = QRegion();
        return;
    }
    d->s.hasClip = true;
    d->s.clip = QRegionOf(*region);
}

void Canvas::ExtSelectClipRgn(const Region* region, int mode)
{
    if (mode == RGN_COPY || !region) {
        SelectClipRgn(mode == RGN_COPY ? region : nullptr);
        return;
    }
    const QRegion& r = QRegionOf(*region);
    if (!d->s.hasClip) {
        // No clip means "everything": only the modes that can shrink it change anything.
        if (mode == RGN_AND) {
            d->s.hasClip = true;
            d->s.clip = r;
        } else if (mode == RGN_DIFF || mode == RGN_XOR) {
            const QRect huge(-1000000, -1000000, 2000000, 2000000);
            d->s.hasClip = true;
            d->s.clip = mode == RGN_DIFF ? QRegion(huge).subtracted(r) : QRegion(huge).xored(r);
        }
        return;
    }
    switch (mode) {
    case RGN_AND:
        d->s.clip = d->s.clip.intersected(r);
        break;
    case RGN_OR:
        d->s.clip = d->s.clip.united(r);
        break;
    case RGN_XOR:
        d->s.clip = d->s.clip.xored(r);
        break;
    case RGN_DIFF:
        d->s.clip = d->s.clip.subtracted(r);
        break;
    default:
        break;
    }
}

void Canvas::IntersectClipRect(const Rect& r)
{
    const Region region(r);
    ExtSelectClipRgn(&region, RGN_AND);
}

void Canvas::ExcludeClipRect(const Rect& r)
{
    const Region region(r);
    ExtSelectClipRgn(&region, RGN_DIFF);
}

bool Canvas::HasClip() const
{
    return d->s.hasClip;
}

Region Canvas::GetClipRegion() const
{
    return RegionFromQRegion(d->s.clip);
}

int Canvas::GetClipBox(Rect& box) const
{
    QRegion visible;
    if (d->target) {
        visible = d->DeviceClip().translated(d->s.org.X, d->s.org.Y);
    } else {
        visible = d->s.hasClip ? d->s.clip : QRegion(QRect(-1000000, -1000000, 2000000, 2000000));
    }
    if (visible.isEmpty()) {
        box = Rect{};
        return NULLREGION;
    }
    const QRect b = visible.boundingRect();
    box = Rect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
    return visible.rectCount() > 1 ? COMPLEXREGION : SIMPLEREGION;
}

int Canvas::SaveDC()
{
    d->saved.push_back(d->s);
    return int(d->saved.size());
}

bool Canvas::RestoreDC(int level)
{
    const int depth = int(d->saved.size());
    const int target = level < 0 ? depth + level + 1 : level;
    if (target < 1 || target > depth)
        return false;
    d->s = d->saved[target - 1];
    d->saved.resize(target - 1);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Shapes

namespace {

bool Paintable(TColor c)
{
    return c != clNone;
}

// A device rectangle from 64-bit edges, clamped far outside any bitmap so that no width overflows.
QRect ToQRect(long long l, long long t, long long r, long long b)
{
    constexpr long long kFar = 1LL << 28;
    l = std::clamp(l, -kFar, kFar), t = std::clamp(t, -kFar, kFar);
    r = std::clamp(r, -kFar, kFar), b = std::clamp(b, -kFar, kFar);
    if (r <= l || b <= t)
        return QRect();
    return QRect(int(l), int(t), int(r - l), int(b - t));
}

// Dash patterns of 1-pixel styled pens: on, off, on, off ...
struct DashPattern
{
    int lengths[6];
    int count;
};

const DashPattern* PatternOf(PenStyle style)
{
    static const DashPattern dash{{18, 6, 0, 0, 0, 0}, 2};
    static const DashPattern dot{{3, 3, 0, 0, 0, 0}, 2};
    static const DashPattern dashDot{{9, 6, 3, 6, 0, 0}, 4};
    static const DashPattern dashDotDot{{9, 3, 3, 3, 3, 3}, 6};
    switch (style) {
    case PenStyle::Dash:
        return &dash;
    case PenStyle::Dot:
        return &dot;
    case PenStyle::DashDot:
        return &dashDot;
    case PenStyle::DashDotDot:
        return &dashDotDot;
    default:
        return nullptr;
    }
}

bool PatternOn(const DashPattern* p, int pos)
{
    if (!p)
        return true;
    int period = 0;
    for (int i = 0; i < p->count; ++i)
        period += p->lengths[i];
    pos %= period;
    for (int i = 0; i < p->count; ++i) {
        if (pos < p->lengths[i])
            return (i % 2) == 0;
        pos -= p->lengths[i];
    }
    return true;
}

Qt::PenStyle QtStyleOf(PenStyle s)
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

// Rounds num / den (den > 0) to the nearest integer, halves up.
long long RoundDiv(__int128 num, long long den)
{
    const __int128 twice = 2 * num + den;
    const __int128 q = twice / (2 * den);
    return (long long)((twice % (2 * den) < 0) ? q - 1 : q);
}

// A 1-pixel line from (x0, y0) towards (x1, y1), the end point left out (logical coordinates). Only the
// steps that can reach the surface are walked, so far-away end points cost nothing.
void ThinLine(Surface& s, int x0, int y0, int x1, int y1, QRgb colour, const DashPattern* pattern,
              int& patternPos)
{
    const long long dx = (long long)x1 - x0, dy = (long long)y1 - y0;
    const long long major = std::max(std::llabs(dx), std::llabs(dy));
    if (major == 0)
        return;
    const QRect box = s.Clip().boundingRect().translated(s.OrgX(), s.OrgY());
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const long long start = alongX ? x0 : y0;
    const long long dir = (alongX ? dx : dy) > 0 ? 1 : -1;
    const long long lo = alongX ? box.left() : box.top();
    const long long hi = alongX ? box.right() : box.bottom();
    long long first = dir > 0 ? lo - start : start - hi;
    long long last = dir > 0 ? hi - start : start - lo;
    first = std::max(first, 0LL);
    last = std::min(last, major - 1);
    for (long long i = first; i <= last; ++i) {
        const long long x = x0 + RoundDiv(__int128(dx) * i, major);
        const long long y = y0 + RoundDiv(__int128(dy) * i, major);
        if (PatternOn(pattern, int((patternPos + i) % 720720)))
            s.Plot(int(x - s.OrgX()), int(y - s.OrgY()), colour);
    }
    patternPos = int((patternPos + major) % 720720);
}

} // namespace

void Canvas::FillRect(const Rect& r)
{
    if (d->s.brush.Style == BrushStyle::Solid)
        FillRect(r, d->s.brush.Color);
}

void Canvas::FillRect(const Rect& r, TColor colour)
{
    if (d->page)
        return PageFill(*d, r, colour);
    if (!Paintable(colour) || r.IsEmpty())
        return;
    Surface s(*d);
    if (!s.Active())
        return;
    s.FillDevice(ToQRect((long long)r.Left - s.OrgX(), (long long)r.Top - s.OrgY(),
                         (long long)r.Right - s.OrgX(), (long long)r.Bottom - s.OrgY()),
                 ToQRgb(colour));
}

void Canvas::FrameRect(const Rect& r)
{
    FrameRect(r, d->s.brush.Color);
}

void Canvas::FrameRect(const Rect& r, TColor colour)
{
    if (d->page)
        return PageFrame(*d, r, colour);
    if (!Paintable(colour) || r.IsEmpty())
        return;
    Surface s(*d);
    if (!s.Active())
        return;
    const QRgb c = ToQRgb(colour);
    const long long l = (long long)r.Left - s.OrgX(), t = (long long)r.Top - s.OrgY();
    const long long rr = (long long)r.Right - s.OrgX(), b = (long long)r.Bottom - s.OrgY();
    s.FillDevice(ToQRect(l, t, rr, t + 1), c);
    s.FillDevice(ToQRect(l, b - 1, rr, b), c);
    s.FillDevice(ToQRect(l, t, l + 1, b), c);
    s.FillDevice(ToQRect(rr - 1, t, rr, b), c);
}

void Canvas::Rectangle(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    if (d->page)
        return PageRectangle(*d, left, top, right, bottom);
    Surface s(*d);
    if (!s.Active())
        return;
    const Pen& pen = d->s.pen;
    const bool noPen = pen.Style == PenStyle::Clear || !Paintable(pen.Color);
    const long long ox = s.OrgX(), oy = s.OrgY();
    if (d->s.brush.Style == BrushStyle::Solid && Paintable(d->s.brush.Color)) {
        // Without a pen GDI fills one pixel less to the right and bottom.
        const int shrink = pen.Style == PenStyle::Clear ? 1 : 0;
        s.FillDevice(
            ToQRect(left - ox, top - oy, (long long)right - shrink - ox, (long long)bottom - shrink - oy),
            ToQRgb(d->s.brush.Color));
    }
    if (noPen || (long long)right - left < 1 || (long long)bottom - top < 1)
        return;
    const QRgb c = ToQRgb(pen.Color);
    const int w = std::max(1, pen.Width);
    const DashPattern* pattern = PatternOf(pen.Style);
    if (pattern && w == 1) {
        int pos = 0;
        const int r1 = right - 1, b1 = bottom - 1;
        ThinLine(s, left, top, r1, top, c, pattern, pos);
        ThinLine(s, r1, top, r1, b1, c, pattern, pos);
        ThinLine(s, r1, b1, left, b1, c, pattern, pos);
        ThinLine(s, left, b1, left, top, c, pattern, pos);
        if ((long long)right - left == 1 || (long long)bottom - top == 1)
            s.Plot(int(r1 - ox), int(b1 - oy), c);
        return;
    }
    long long l, t, r, b, inner;
    if (pen.Style == PenStyle::InsideFrame) {
        l = left, t = top, r = right, b = bottom;
        inner = std::min<long long>(w, std::max(1LL, std::min((r - l + 1) / 2, (b - t + 1) / 2)));
    } else {
        // The pen is centred on the path through the outer pixels.
        const int before = (w - 1) / 2;
        l = (long long)left - before, t = (long long)top - before;
        r = (long long)right - 1 - before + w, b = (long long)bottom - 1 - before + w;
        inner = w;
    }
    l -= ox, r -= ox, t -= oy, b -= oy;
    s.FillDevice(ToQRect(l, t, r, std::min(b, t + inner)), c);
    s.FillDevice(ToQRect(l, std::max(t, b - inner), r, b), c);
    s.FillDevice(ToQRect(l, t, std::min(r, l + inner), b), c);
    s.FillDevice(ToQRect(std::max(l, r - inner), t, r, b), c);
}

void Canvas::Ellipse(int left, int top, int right, int bottom)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    if ((long long)right - left < 1 || (long long)bottom - top < 1)
        return;
    // Boxes beyond any bitmap are cut down so that no size overflows; what shows does not change much.
    constexpr int kFar = 1 << 26;
    left = std::clamp(left, -kFar, kFar), right = std::clamp(right, -kFar, kFar);
    top = std::clamp(top, -kFar, kFar), bottom = std::clamp(bottom, -kFar, kFar);
    if (right - left < 1 || bottom - top < 1)
        return;
    if (d->page)
        return PageEllipse(*d, left, top, right, bottom);
    Surface s(*d);
    if (!s.Active())
        return;
    QPainter& p = s.Painter();
    const Pen& pen = d->s.pen;
    const bool noPen = pen.Style == PenStyle::Clear || !Paintable(pen.Color);
    if (d->s.brush.Style == BrushStyle::Solid && Paintable(d->s.brush.Color)) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ToQRgb(d->s.brush.Color)));
        const int shrink = noPen ? 1 : 0;
        p.drawEllipse(QRect(left, top, right - left - shrink, bottom - top - shrink));
    }
    if (noPen)
        return;
    const int w = std::max(1, pen.Width);
    QPen qpen(QColor(ToQRgb(pen.Color)));
    qpen.setWidth(w == 1 ? 0 : w);
    qpen.setStyle(QtStyleOf(pen.Style));
    p.setPen(qpen);
    p.setBrush(Qt::NoBrush);
    if (pen.Style == PenStyle::InsideFrame && w > 1) {
        const int h = w / 2;
        p.drawEllipse(QRect(left + h, top + h, right - left - 1 - 2 * h, bottom - top - 1 - 2 * h));
    } else {
        p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    }
}

void Canvas::Polygon(const Point* points, int count)
{
    if (!points || count < 2)
        return;
    if (d->page)
        return PagePolygon(*d, points, count);
    Surface s(*d);
    if (!s.Active())
        return;
    QPolygon poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i)
        poly << QPoint(points[i].X, points[i].Y);
    const Pen& pen = d->s.pen;
    const bool noPen = pen.Style == PenStyle::Clear || !Paintable(pen.Color);
    if (d->s.brush.Style == BrushStyle::Solid && Paintable(d->s.brush.Color) && count >= 3) {
        QPainter& p = s.Painter();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(ToQRgb(d->s.brush.Color)));
        p.drawPolygon(poly, Qt::WindingFill);
    }
    if (noPen)
        return;
    if (std::max(1, pen.Width) == 1) {
        int pos = 0;
        const QRgb c = ToQRgb(pen.Color);
        for (int i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            ThinLine(s, a.X, a.Y, b.X, b.Y, c, PatternOf(pen.Style), pos);
        }
        return;
    }
    QPainter& p = s.Painter();
    QPen qpen(QColor(ToQRgb(pen.Color)), pen.Width, QtStyleOf(pen.Style), Qt::SquareCap, Qt::MiterJoin);
    p.setPen(qpen);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(poly);
}

void Canvas::Polyline(const Point* points, int count)
{
    if (!points || count < 1)
        return;
    const Point saved = d->s.pos;
    const Pen& pen = d->s.pen;
    if (d->page && std::max(1, pen.Width) > 1 && count > 2)
        return PagePolyline(*d, points, count);
    if (std::max(1, pen.Width) > 1 && count > 2 && pen.Style != PenStyle::Clear && Paintable(pen.Color)) {
        // A wide pen joins the segments of one call with mitres.
        Surface s(*d);
        if (!s.Active())
            return;
        QPolygonF path;
        for (int i = 0; i < count; ++i)
            path << QPointF(points[i].X + 0.5, points[i].Y + 0.5);
        const bool styled = PatternOf(pen.Style) != nullptr;
        s.Painter().setPen(QPen(QColor(ToQRgb(pen.Color)), pen.Width, QtStyleOf(pen.Style),
                                styled ? Qt::SquareCap : Qt::FlatCap, Qt::MiterJoin));
        s.Painter().drawPolyline(path);
        return;
    }
    MoveTo(points[0].X, points[0].Y);
    for (int i = 1; i < count; ++i)
        LineTo(points[i].X, points[i].Y);
    d->s.pos = saved;
}

void Canvas::LineTo(int x, int y)
{
    const Point from = d->s.pos;
    d->s.pos = Point{x, y};
    const Pen& pen = d->s.pen;
    if (pen.Style == PenStyle::Clear || !Paintable(pen.Color))
        return;
    if (d->page)
        return PageLine(*d, from, Point{x, y});
    Surface s(*d);
    if (!s.Active())
        return;
    if (std::max(1, pen.Width) == 1) {
        ThinLine(s, from.X, from.Y, x, y, ToQRgb(pen.Color), PatternOf(pen.Style), d->s.patternPos);
        return;
    }
    const bool styled = PatternOf(pen.Style) != nullptr;
    if (!styled && (from.X == x || from.Y == y)) {
        // Axis-aligned solid lines: a band of the pen's width centred on the pixel row or column,
        // from the start up to (not including) the end point.
        const long long before = (pen.Width - 1) / 2;
        const long long ox = s.OrgX(), oy = s.OrgY();
        const QRgb c = ToQRgb(pen.Color);
        if (from.Y == y) {
            const long long x0 = from.X < x ? from.X : x + 1LL, x1 = from.X < x ? x : from.X + 1LL;
            s.FillDevice(ToQRect(x0 - ox, y - before - oy, x1 - ox, y - before + pen.Width - oy), c);
        } else {
            const long long y0 = from.Y < y ? from.Y : y + 1LL, y1 = from.Y < y ? y : from.Y + 1LL;
            s.FillDevice(ToQRect(x - before - ox, y0 - oy, x - before + pen.Width - ox, y1 - oy), c);
        }
        return;
    }
    QPainter& p = s.Painter();
    QPen qpen(QColor(ToQRgb(pen.Color)), pen.Width, QtStyleOf(pen.Style),
              styled ? Qt::SquareCap : Qt::FlatCap, Qt::MiterJoin);
    p.setPen(qpen);
    p.drawLine(QLineF(from.X + 0.5, from.Y + 0.5, x + 0.5, y + 0.5));
}

void Canvas::FillRegion(const Region& region, TColor colour)
{
    if (d->page)
        return PageFillRegion(*d, region, colour);
    if (!Paintable(colour))
        return;
    Surface s(*d);
    if (!s.Active())
        return;
    const QRgb c = ToQRgb(colour);
    for (const QRect& r : QRegionOf(region))
        s.FillDevice(r.translated(-s.OrgX(), -s.OrgY()), c);
}

void Canvas::DrawFocusRect(const Rect& r)
{
    if (r.IsEmpty())
        return;
    Surface s(*d);
    if (!s.Active())
        return;
    const QRect bounds = s.Clip().boundingRect();
    // Edges clamped to just outside the clip: far-away edges are not drawn and cost nothing.
    auto clampX = [&](long long v) {
        return int(std::clamp<long long>(v, bounds.left() - 1, bounds.right() + 1));
    };
    auto clampY = [&](long long v) {
        return int(std::clamp<long long>(v, bounds.top() - 1, bounds.bottom() + 1));
    };
    const int l = clampX((long long)r.Left - s.OrgX()), rr = clampX((long long)r.Right - s.OrgX() - 1);
    const int t = clampY((long long)r.Top - s.OrgY()), b = clampY((long long)r.Bottom - s.OrgY() - 1);
    auto invert = [&](int x, int y) {
        // Every other pixel, in a checkerboard fixed to the device so that the frame's own corners agree.
        if (((x + y) & 1) != 0 || !s.Clip().contains(QPoint(x, y)))
            return;
        s.Plot(x, y, s.Get(x, y) ^ 0x00FFFFFFu);
    };
    for (int x = std::max(l, bounds.left()); x <= std::min(rr, bounds.right()); ++x) {
        invert(x, t);
        if (b != t)
            invert(x, b);
    }
    for (int y = std::max(t + 1, bounds.top()); y <= std::min(b - 1, bounds.bottom()); ++y) {
        invert(l, y);
        if (rr != l)
            invert(rr, y);
    }
}

TColor Canvas::GetPixel(int x, int y) const
{
    if (!d->bitmap)
        return clNone;
    return d->bitmap->Pixel(x - d->s.org.X, y - d->s.org.Y);
}

void Canvas::SetPixel(int x, int y, TColor colour)
{
    if (d->page)
        return PageFill(*d, Rect{x, y, x + 1, y + 1}, colour);
    if (!d->bitmap || !Paintable(colour))
        return;
    const int dx = x - d->s.org.X, dy = y - d->s.org.Y;
    if (!d->DeviceClip().contains(QPoint(dx, dy)))
        return;
    d->bitmap->SetPixel(dx, dy, colour);
}

} // namespace platform
