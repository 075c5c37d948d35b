#pragma once
// The skinned push button of the info window and its dialog: a picture control that shows its normal
// picture, a hover picture while the mouse is over it and a pressed picture while it is held down, and
// that can nudge itself one pixel right and/or down while pressed. Clicks arrive as the picture
// control's ordinary OnClick.

#include <functional>

#include "platform/bitmap.h"
#include "platform/image_control.h"

// The messages behind the button's four events.
constexpr unsigned CM_MOUSEENTER = 0xB013;
constexpr unsigned CM_MOUSELEAVE = 0xB014;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;

// A mouse message: which one, the button and modifier state, and the position (control coordinates;
// 0, 0 for enter and leave).
struct TMouseMessage {
    unsigned Msg = 0;
    platform::TShiftState Keys = 0;
    int XPos = 0;
    int YPos = 0;
};

using TOnMouseEvent = std::function<void(const TMouseMessage& Msg)>;

class TImgBtn : public platform::Image {
public:
    explicit TImgBtn(platform::Control* parent);
    ~TImgBtn() override;

    // The normal picture. Setting it also shows it at once.
    const platform::Bitmap& Pic() const { return pic_; }
    void SetPic(const platform::Bitmap& picture);
    // The pressed and hover pictures. Setting them does not change what is shown.
    const platform::Bitmap& PicDown() const { return picDown_; }
    void SetPicDown(const platform::Bitmap& picture) { picDown_ = picture; }
    const platform::Bitmap& PicUp() const { return picUp_; }
    void SetPicUp(const platform::Bitmap& picture) { picUp_ = picture; }

    // When false the button is a plain picture: no swapping, no nudging, none of the four events.
    bool Supported() const { return supported_; }
    void SetSupported(bool value) { supported_ = value; }
    bool NeedRight() const { return needRight_; }
    void SetNeedRight(bool value) { needRight_ = value; }
    bool NeedDown() const { return needDown_; }
    void SetNeedDown(bool value) { needDown_ = value; }

    bool Hovering() const { return hovering_; }
    bool Pressed() const { return pressed_; }

    // Raised after the button has updated itself. They stand in for the control's own notify events of
    // the same names, which a button does not raise.
    TOnMouseEvent OnMouseEnter;
    TOnMouseEvent OnMouseLeave;
    TOnMouseEvent OnMouseDown;
    TOnMouseEvent OnMouseUp;

    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    void Display(const platform::Bitmap& picture) { SetPicture(picture); }

    platform::Bitmap pic_;
    platform::Bitmap picDown_;
    platform::Bitmap picUp_;
    bool supported_ = true;
    bool needRight_ = false;
    bool needDown_ = false;
    bool hovering_ = false;
    bool pressed_ = false;
    int savedLeft_ = 0;
    int savedTop_ = 0;
};
