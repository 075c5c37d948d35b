#pragma once
// Panels: a coloured rectangle with an optional single-line border and up to two 3-D bevels.

#include "platform/control.h"

namespace platform {

enum TBevelCut
{
    bvNone,
    bvLowered,
    bvRaised,
    bvSpace
};
enum TBorderStyle
{
    bsNone,
    bsSingle
};

class Panel : public Control
{
public:
    explicit Panel(Control* parent);

    TBevelCut BevelInner() const;
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const;
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const;
    void SetBevelWidth(int value);
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle value);

    // Inside the single-line border, when there is one.
    Rect ClientRect() const override;
    // Fills with Color, draws the border and the bevels, then raises OnPaint.
    void Paint(Canvas& canvas, const Rect& updateRect) override;

private:
    TBevelCut inner_ = bvNone;
    TBevelCut outer_ = bvRaised;
    int bevelWidth_ = 1;
    TBorderStyle border_ = bsNone;
};

// Draws width nested 3-D frames inside r and shrinks r past them.
void Frame3D(Canvas& canvas, Rect& r, TColor topLeft, TColor bottomRight, int width);

} // namespace platform
