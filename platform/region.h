#pragma once
// Regions: areas made of rectangles, ellipses and polygons, combined and hit-tested with the GDI edge
// rules (left/top edges inside, right/bottom edges outside).

#include <memory>
#include <vector>

#include "platform/types.h"

namespace platform {

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Combine modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

class Region
{
public:
    Region(); // empty
    explicit Region(const Rect& r);
    ~Region();
    Region(const Region&);
    Region& operator=(const Region&);
    Region(Region&&) noexcept;
    Region& operator=(Region&&) noexcept;

    static Region CreateRect(int left, int top, int right, int bottom);
    // The ellipse inscribed in the box [left, right) x [top, bottom).
    static Region CreateEllipse(int left, int top, int right, int bottom);
    static Region CreatePolygon(const Point* points, int count, int fillMode = WINDING);
    static Region CreatePolygon(const std::vector<Point>& points, int fillMode = WINDING);
    // RGN_AND / RGN_OR / RGN_XOR / RGN_DIFF (a minus b) / RGN_COPY (a).
    static Region Combine(const Region& a, const Region& b, int mode);

    bool IsEmpty() const;
    bool Contains(int x, int y) const;
    bool Contains(Point p) const { return Contains(p.X, p.Y); }
    bool Intersects(const Rect& r) const;
    void Offset(int dx, int dy);
    Rect BoundingBox() const; // all zero when empty
    std::vector<Rect> Rects() const;

    Region United(const Region& other) const { return Combine(*this, other, RGN_OR); }
    Region Intersected(const Region& other) const { return Combine(*this, other, RGN_AND); }
    Region Subtracted(const Region& other) const { return Combine(*this, other, RGN_DIFF); }
    friend bool operator==(const Region& a, const Region& b);

    struct Impl;
    Impl& Data() const { return *d; }

private:
    std::unique_ptr<Impl> d;
};

} // namespace platform
