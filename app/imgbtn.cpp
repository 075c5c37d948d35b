#include "app/imgbtn.h"

TImgBtn::TImgBtn(platform::Control* parent) : platform::Image(parent)
{
    savedLeft_ = Left();
    savedTop_ = Top();
}

TImgBtn::~TImgBtn() = default;

void TImgBtn::SetPic(const platform::Bitmap& picture)
{
    // Copy first: picture may be one of our own (Pic := PicUp).
    platform::Bitmap copy = picture;
    Display(copy);
    pic_ = std::move(copy);
}

void TImgBtn::MouseEnter()
{
    if (!supported_)
        return;
    hovering_ = true;
    Display(pressed_ ? picDown_ : picUp_);
    if (OnMouseEnter)
        OnMouseEnter(TMouseMessage{CM_MOUSEENTER, 0, 0, 0});
}

void TImgBtn::MouseLeave()
{
    if (!supported_)
        return;
    hovering_ = false;
    Display(pic_);
    if (OnMouseLeave)
        OnMouseLeave(TMouseMessage{CM_MOUSELEAVE, 0, 0, 0});
}

void TImgBtn::MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y)
{
    AliveToken alive(*this);
    platform::Image::MouseDown(button, shift, x, y);
    if (!alive || button != platform::mbLeft || !supported_)
        return;
    pressed_ = true;
    if (hovering_)
        Display(picDown_);
    savedLeft_ = Left();
    savedTop_ = Top();
    if (needDown_)
        SetTop(Top() + 1);
    if (needRight_)
        SetLeft(savedLeft_ + 1);
    if (OnMouseDown)
        OnMouseDown(TMouseMessage{WM_LBUTTONDOWN, shift, x, y});
}

void TImgBtn::MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y)
{
    // The click is raised in here, before the hover picture comes back: a click handler that replaces
    // Pic keeps its change.
    AliveToken alive(*this);
    platform::Image::MouseUp(button, shift, x, y);
    if (!alive || button != platform::mbLeft || !supported_)
        return;
    pressed_ = false;
    if (needDown_)
        SetTop(savedTop_);
    if (needRight_)
        SetLeft(savedLeft_);
    if (hovering_)
        Display(picUp_);
    if (OnMouseUp)
        OnMouseUp(TMouseMessage{WM_LBUTTONUP, shift, x, y});
}
