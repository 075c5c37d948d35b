#include "platform/types.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/sysvalues.h"

namespace platform {

Rect IntersectRect(const Rect& a, const Rect& b)
{
    Rect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
           std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty())
        return Rect{};
    return r;
}

Rect UnionRect(const Rect& a, const Rect& b)
{
    if (a.IsEmpty())
        return b.IsEmpty() ? Rect{} : b;
    if (b.IsEmpty())
        return a;
    return Rect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom)};
}

TColor ColorToRGB(TColor c)
{
    if (c == clNone)
        return clNone;
    if (c & SystemColorFlag) {
        TColor index = c & 0x00FFFFFF;
        return index <= 30 ? GetSysColor(int(index)) : 0;  // unknown indexes are black, never a wild lookup
    }
    return c & 0x00FFFFFF;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long d = denominator;
    bool negative = (product < 0) != (d < 0);
    unsigned long long p = product < 0 ? static_cast<unsigned long long>(-product) : product;
    unsigned long long q = d < 0 ? static_cast<unsigned long long>(-d) : d;
    unsigned long long result = (p + q / 2) / q;
    if (result > static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0))
        return -1;
    return negative ? static_cast<int>(-static_cast<long long>(result)) : static_cast<int>(result);
}

int Round(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT_MAX;
    if (value <= -2147483648.0)
        return INT_MIN;
    // An exact half goes to the even neighbour.
    double r = value - std::floor(value) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
    return static_cast<int>(r);
}

}  // namespace platform
