// The geometry of a printed sheet.

#include "print/printsettings.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double ScreenDpi = 96.0;

double Sane(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

// Margins before and after on one axis of a sheet of the given extent.
void FitMargins(double extent, double& before, double& after)
{
    before = std::clamp(Sane(before, 0.0), 0.0, extent);
    after = std::clamp(Sane(after, 0.0), 0.0, extent);
    const double leave = std::min(1.0, extent / 2);
    if (before + after > extent - leave) {
        const double factor = (extent - leave) / (before + after);
        before *= factor;
        after *= factor;
    }
}

}  // namespace

TPageGeometry ComputeGeometry(const TPrintSettings& settings)
{
    TPageGeometry g;
    g.Paper = settings.Paper;
    if (!(g.Paper.Width >= 1 && g.Paper.Width <= 200 && g.Paper.Height >= 1 && g.Paper.Height <= 200))
        g.Paper = platform::PaperA4();
    g.Scale = std::clamp(Sane(settings.Scale, 1.0), 0.25, 4.0);
    g.Left = settings.MarginLeft;
    g.Right = settings.MarginRight;
    g.Top = settings.MarginTop;
    g.Bottom = settings.MarginBottom;
    FitMargins(g.Paper.Width, g.Left, g.Right);
    FitMargins(g.Paper.Height, g.Top, g.Bottom);
    g.Width = std::max(1, int(std::floor((g.Paper.Width - g.Left - g.Right) * ScreenDpi / g.Scale + 1e-6)));
    g.Height = std::max(1, int(std::floor((g.Paper.Height - g.Top - g.Bottom) * ScreenDpi / g.Scale + 1e-6)));
    return g;
}
