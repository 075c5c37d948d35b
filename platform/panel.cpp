#include "platform/panel.h"

#include "platform/canvas.h"

namespace platform {

void Frame3D(Canvas& canvas, Rect& r, TColor topLeft, TColor bottomRight, int width)
{
    for (int i = 0; i < width && !r.IsEmpty(); ++i) {
        canvas.FillRect(Rect{r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
        canvas.FillRect(Rect{r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
        canvas.FillRect(Rect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
        canvas.FillRect(Rect{r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
        r = Rect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
}

Panel::Panel(Control* parent) : Control(parent)
{
    SetColor(clBtnFace);
}

TBevelCut Panel::BevelInner() const
{
    return inner_;
}
TBevelCut Panel::BevelOuter() const
{
    return outer_;
}
int Panel::BevelWidth() const
{
    return bevelWidth_;
}
TBorderStyle Panel::BorderStyle() const
{
    return border_;
}

void Panel::SetBevelInner(TBevelCut value)
{
    inner_ = value;
    Invalidate();
}

void Panel::SetBevelOuter(TBevelCut value)
{
    outer_ = value;
    Invalidate();
}

void Panel::SetBevelWidth(int value)
{
    bevelWidth_ = value < 1 ? 1 : value;
    Invalidate();
}

void Panel::SetBorderStyle(TBorderStyle value)
{
    border_ = value;
    Invalidate();
}

Rect Panel::ClientRect() const
{
    const int b = border_ == bsSingle ? 1 : 0;
    Rect r{0, 0, Width() - 2 * b, Height() - 2 * b};
    if (r.Right < 0)
        r.Right = 0;
    if (r.Bottom < 0)
        r.Bottom = 0;
    return r;
}

void Panel::Paint(Canvas& canvas, const Rect& updateRect)
{
    Rect r{0, 0, Width(), Height()};
    if (Color() != clNone)
        canvas.FillRect(updateRect, Color());
    if (border_ == bsSingle)
        Frame3D(canvas, r, clBlack, clBlack, 1);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        if (cut == bvSpace) {
            r = Rect{r.Left + bevelWidth_, r.Top + bevelWidth_, r.Right - bevelWidth_,
                     r.Bottom - bevelWidth_};
            return;
        }
        const bool raised = cut == bvRaised;
        Frame3D(canvas, r, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
                bevelWidth_);
    };
    bevel(outer_);
    bevel(inner_);
    if (OnPaint)
        OnPaint(this, canvas, updateRect);
}

} // namespace platform
