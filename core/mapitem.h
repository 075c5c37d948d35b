#pragma once
// TMapItem: one client-side image map (a MAP element with its AREA tags).

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

class TAttributeList;
class TUrlTarget;

// The shape of one area. Kept as geometry rather than as a scan-line region, so that hostile
// coordinates cost no memory; the edges follow the region rules: left and top inside, right and bottom
// outside.
class TMapArea {
public:
    enum class Kind { Rect, Ellipse, Polygon };
    Kind Shape = Kind::Rect;
    platform::Rect Box;                  // rectangle, or the box of the ellipse
    std::vector<platform::Point> Points;  // polygon corners (winding fill)

    bool Contains(int x, int y) const;
};

class TMapItem {
public:
    static constexpr int MaxAreas = 1000;
    static constexpr int MaxCoords = 301;

    TMapItem();
    ~TMapItem();

    std::string MapName;  // the NAME attribute, upper case

    // Adds the area described by an AREA tag's attributes (nothing when it has too few coordinates or the
    // map is full).
    void AddRegion(const TAttributeList& list);
    // The first area under the point decides: found with a new TUrlTarget and the area's title when it
    // has an HREF.
    bool HitTest(int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) const;

    int AreaCount() const { return int(Areas.size()); }
    struct Area {
        std::string Href;
        TMapArea Region;
        std::string Target;
        std::string Title;
    };
    const Area& AreaAt(int i) const { return Areas[std::size_t(i)]; }

private:
    std::vector<Area> Areas;
};

// Cuts the text of a COORDS attribute into at most 301 numbers (0 for pieces that are no number or are
// out of range).
std::vector<int> ParseCoords(const std::string& text);
