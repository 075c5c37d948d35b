#include "platform/controls.h"

#include <QPainter>
#include <algorithm>

#include "platform/qt/widget_control.h"

namespace platform {

PaintBox::PaintBox(Control* parent) : Control(parent) {}

void PaintBox::Paint(Canvas& canvas, const Rect& updateRect)
{
    if (OnPaint)
        OnPaint(this, canvas, updateRect);
}

TabFocusControl::TabFocusControl(Control* parent) : Control(parent)
{
    SetBounds(TabFocusParkLeft, 0, 1, 1);
    SetTabStop(true);
}

void TabFocusControl::Paint(Canvas&, const Rect&) {}

FocusRectOverlay::FocusRectOverlay(Control* parent) : Control(parent)
{
    Impl& d = Internal();
    d.opaque = false;
    d.widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    d.widget->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    if (parent)
        SetBounds(0, 0, parent->ClientWidth(), parent->ClientHeight());
    d.directPaint = [this](QPainter& painter, const QRect&) {
        // A dotted frame of alternating black and white pixels reads on any background.
        for (const Rect& r : shown_) {
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) {
                    const bool edge = y == r.Top || y == r.Bottom - 1 || x == r.Left || x == r.Right - 1;
                    if (edge || r.Width() <= 2 || r.Height() <= 2)
                        painter.fillRect(x, y, 1, 1, ((x + y) & 1) ? Qt::white : Qt::black);
                }
        }
    };
    BringToFront();
}

void FocusRectOverlay::XorFocusRect(const Rect& r)
{
    if (r.IsEmpty())
        return;
    if (Control* parent = Parent())
        if (Width() != parent->ClientWidth() || Height() != parent->ClientHeight())
            SetBounds(0, 0, parent->ClientWidth(), parent->ClientHeight());
    const auto it = std::find(shown_.begin(), shown_.end(), r);
    if (it != shown_.end())
        shown_.erase(it);
    else
        shown_.push_back(r);
    BringToFront();
    InvalidateRect(r);
}

void FocusRectOverlay::Clear()
{
    for (const Rect& r : shown_)
        InvalidateRect(r);
    shown_.clear();
}

} // namespace platform
