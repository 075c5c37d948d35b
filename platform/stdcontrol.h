#pragma once
// Controls that the window system draws and runs itself (edits, buttons, lists): the base that passes the
// control's colour and font on to the window, keeps mouse and focus events flowing from the window's inner
// parts, and draws a picture of the live control for printing.

#include "platform/control.h"

namespace platform {

class StdControl : public Control
{
public:
    ~StdControl() override;

    // Draws the control as it looks now onto canvas with its top left at (x, y).
    void PaintTo(Canvas& canvas, int x, int y);

    void FontChanged() override;
    void ColorChanged() override;
    // Clicks of buttons come from the window's own activation (mouse or keyboard), not from mouse-up.
    void Click() override;

protected:
    // widget: the window of this kind, made by the platform layer (owned from now on).
    StdControl(Control* parent, QWidget* widget);
    // Clicks are reported by the window's activation signal instead of by mouse-up over the control.
    void UseActivationClicks();
    // Raises Click as the window's activation does.
    void ActivationClick();
    // The window's parts that get the mouse (a list's viewport) report moves and clicks too.
    void WatchInnerWidget(QWidget* inner);

private:
    struct Data;
    std::unique_ptr<Data> std_;
};

} // namespace platform
