#include "core/mapitem.h"

#include "platform/asciitext.h"

#include <cstdlib>

#include "core/attributes.h"
#include "core/urltarget.h"

namespace {

// Coordinates beyond this are treated as "not a number".
constexpr long long MaxCoordinate = 1000000;

// An integer from a whole piece of text: optional sign and digits only; 0 otherwise.
int PieceToInt(const std::string& piece)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) {
        negative = piece[i] == '-';
        ++i;
    }
    if (i >= piece.size())
        return 0;
    long long v = 0;
    for (; i < piece.size(); ++i) {
        char c = piece[i];
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
        if (v > MaxCoordinate)
            return 0;
    }
    return int(negative ? -v : v);
}

}  // namespace

std::vector<int> ParseCoords(const std::string& text)
{
    std::vector<int> coords;
    std::string s = platform::TrimBlanks(text);
    std::size_t i = 0;
    while (i < s.size() && int(coords.size()) < TMapItem::MaxCoords) {
        std::size_t j = s.find_first_of(", ", i);
        if (j == std::string::npos)
            j = s.size();
        std::string piece = s.substr(i, std::min<std::size_t>(j - i, 20));
        coords.push_back(PieceToInt(piece));
        i = j;
        while (i < s.size() && (s[i] == ',' || s[i] == ' '))
            ++i;
    }
    return coords;
}

bool TMapArea::Contains(int x, int y) const
{
    switch (Shape) {
    case Kind::Rect:
        return Box.Contains(platform::Point{x, y});
    case Kind::Ellipse: {
        if (!Box.Contains(platform::Point{x, y}))
            return false;
        // The pixel is inside when its centre lies in the ellipse inscribed in the box.
        const double rx = Box.Width() / 2.0;
        const double ry = Box.Height() / 2.0;
        const double dx = (x + 0.5 - (Box.Left + rx)) / rx;
        const double dy = (y + 0.5 - (Box.Top + ry)) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
    case Kind::Polygon: {
        // Winding number of the pixel centre.
        const double px = x + 0.5;
        const double py = y + 0.5;
        int winding = 0;
        const std::size_t n = Points.size();
        for (std::size_t k = 0; k < n; ++k) {
            const platform::Point& a = Points[k];
            const platform::Point& b = Points[(k + 1) % n];
            if (a.Y <= py) {
                if (b.Y > py && (double(b.X - a.X) * (py - a.Y) - double(px - a.X) * (b.Y - a.Y)) > 0)
                    ++winding;
            } else if (b.Y <= py && (double(b.X - a.X) * (py - a.Y) - double(px - a.X) * (b.Y - a.Y)) < 0) {
                --winding;
            }
        }
        return winding != 0;
    }
    }
    return false;
}

TMapItem::TMapItem() = default;
TMapItem::~TMapItem() = default;

void TMapItem::AddRegion(const TAttributeList& list)
{
    if (int(Areas.size()) >= MaxAreas)
        return;
    std::string href;
    std::string target;
    std::string title;
    TMapArea::Kind shape = TMapArea::Kind::Rect;
    std::vector<int> coords;
    for (const auto& a : list) {
        switch (a->Sym) {
        case TitleSy: title = a->StrValue; break;
        case HrefSy: href = a->StrValue; break;
        case NoHrefSy: href.clear(); break;
        case TargetSy: target = a->StrValue; break;
        case ShapeSy: {
            std::string s = a->StrValue.substr(0, 4);
            for (char& c : s)
                if (c >= 'A' && c <= 'Z')
                    c = char(c + 32);
            if (s == "circ")
                shape = TMapArea::Kind::Ellipse;
            else if (s == "poly")
                shape = TMapArea::Kind::Polygon;
            break;
        }
        case CoordsSy: coords = ParseCoords(a->StrValue); break;
        default: break;
        }
    }
    TMapArea region;
    region.Shape = shape;
    const std::size_t n = coords.size();
    switch (shape) {
    case TMapArea::Kind::Rect:
        if (n < 4)
            return;
        region.Box = platform::MakeRect(coords[0], coords[1], coords[2] + 1, coords[3] + 1);
        break;
    case TMapArea::Kind::Ellipse: {
        if (n < 3)
            return;
        const int x = coords[0], y = coords[1], r = coords[2];
        region.Box = platform::MakeRect(x - r, y - r, x + r + 1, y + r + 1);
        break;
    }
    case TMapArea::Kind::Polygon:
        if (n < 6)
            return;
        for (std::size_t k = 0; k + 1 < n; k += 2)
            region.Points.push_back(platform::Point{coords[k], coords[k + 1]});
        break;
    }
    Areas.push_back(Area{href, std::move(region), target, title});
}

bool TMapItem::HitTest(int x, int y, std::unique_ptr<TUrlTarget>& url, std::string& title) const
{
    for (const Area& a : Areas) {
        if (!a.Region.Contains(x, y))
            continue;
        if (a.Href.empty())
            return false;
        url = std::make_unique<TUrlTarget>();
        url->Url = a.Href;
        url->Target = a.Target;
        title = a.Title;
        return true;
    }
    return false;
}
