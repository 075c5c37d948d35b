#pragma once
// Small control kinds: a paint box that only raises OnPaint, and the 1x1 focus window that keeps keyboard
// focus for things without a window of their own (parked far left, out of view).

#include <vector>

#include "platform/control.h"

namespace platform {

// Paints nothing itself: OnPaint (or an override of Paint) draws every pixel.
class PaintBox : public Control
{
public:
    explicit PaintBox(Control* parent);
    void Paint(Canvas& canvas, const Rect& updateRect) override;
};

// A 1x1 windowed control at x = -4000 that can take the focus (tab stop).
class TabFocusControl : public Control
{
public:
    explicit TabFocusControl(Control* parent);
    void Paint(Canvas& canvas, const Rect& updateRect) override;
};

constexpr int TabFocusParkLeft = -4000;

// Feedback lines drawn over a parent's other children, the way a focus rectangle is drawn with
// exclusive-or on the screen: XorFocusRect of a rectangle shows it, the same call again takes it away.
// The overlay covers its parent, lets every mouse event through and keeps itself on top.
class FocusRectOverlay : public Control
{
public:
    explicit FocusRectOverlay(Control* parent);
    void XorFocusRect(const Rect& r);
    void Clear();
    const std::vector<Rect>& Shown() const { return shown_; }

private:
    std::vector<Rect> shown_;
};

} // namespace platform
