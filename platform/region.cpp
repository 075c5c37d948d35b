// Regions over QRegion: rectangles are stored as QRect(l, t, r - l, b - t), so the right and bottom
// edges stay outside exactly as in GDI.

#include "platform/region.h"

#include <QPolygon>
#include <QRegion>

#include "platform/qt/graphics_private.h"

namespace platform {

struct Region::Impl
{
    QRegion region;
};

namespace {

QRect ToQRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

Region::Region() : d(std::make_unique<Impl>()) {}
Region::Region(const Rect& r) : d(std::make_unique<Impl>())
{
    d->region = QRegion(ToQRect(r.Left, r.Top, r.Right, r.Bottom));
}
Region::~Region() = default;
Region::Region(const Region& other) : d(std::make_unique<Impl>(*other.d)) {}
Region& Region::operator=(const Region& other)
{
    if (this != &other)
        *d = *other.d;
    return *this;
}
Region::Region(Region&& other) noexcept : d(std::make_unique<Impl>())
{
    d->region.swap(other.d->region);
}
Region& Region::operator=(Region&& other) noexcept
{
    if (this != &other)
        d->region.swap(other.d->region);
    return *this;
}

Region Region::CreateRect(int left, int top, int right, int bottom)
{
    Region r;
    // GDI normalises swapped corners.
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    r.d->region = QRegion(ToQRect(left, top, right, bottom));
    return r;
}

Region Region::CreateEllipse(int left, int top, int right, int bottom)
{
    Region r;
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const QRect box = ToQRect(left, top, right, bottom);
    if (!box.isEmpty())
        r.d->region = QRegion(box, QRegion::Ellipse);
    return r;
}

Region Region::CreatePolygon(const Point* points, int count, int fillMode)
{
    Region r;
    if (!points || count < 3)
        return r;
    QPolygon poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i)
        poly << QPoint(points[i].X, points[i].Y);
    r.d->region = QRegion(poly, fillMode == ALTERNATE ? Qt::OddEvenFill : Qt::WindingFill);
    return r;
}

Region Region::CreatePolygon(const std::vector<Point>& points, int fillMode)
{
    return CreatePolygon(points.data(), int(points.size()), fillMode);
}

Region Region::Combine(const Region& a, const Region& b, int mode)
{
    Region r;
    switch (mode) {
    case RGN_AND:
        r.d->region = a.d->region.intersected(b.d->region);
        break;
    case RGN_OR:
        r.d->region = a.d->region.united(b.d->region);
        break;
    case RGN_XOR:
        r.d->region = a.d->region.xored(b.d->region);
        break;
    case RGN_DIFF:
        r.d->region = a.d->region.subtracted(b.d->region);
        break;
    default:
        r.d->region = a.d->region;
        break;
    }
    return r;
}

bool Region::IsEmpty() const
{
    return d->region.isEmpty();
}
bool Region::Contains(int x, int y) const
{
    return d->region.contains(QPoint(x, y));
}
bool Region::Intersects(const Rect& r) const
{
    const QRect q = ToQRect(r.Left, r.Top, r.Right, r.Bottom);
    return !q.isEmpty() && d->region.intersects(q);
}
void Region::Offset(int dx, int dy)
{
    d->region.translate(dx, dy);
}

Rect Region::BoundingBox() const
{
    if (d->region.isEmpty())
        return Rect{};
    const QRect b = d->region.boundingRect();
    return Rect{b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

std::vector<Rect> Region::Rects() const
{
    std::vector<Rect> out;
    for (const QRect& q : d->region)
        out.push_back(Rect{q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
    return out;
}

bool operator==(const Region& a, const Region& b)
{
    return a.d->region == b.d->region;
}

const QRegion& QRegionOf(const Region& region)
{
    return region.Data().region;
}

Region RegionFromQRegion(const QRegion& q)
{
    Region r;
    r.Data().region = q;
    return r;
}

} // namespace platform
