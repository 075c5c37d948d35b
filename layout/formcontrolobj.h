#pragma once
// The part of a form control that text layout needs: its place in the text, its size and spaces, its
// alignment, and its window. Forms provide the controls themselves.

#include <string>

#include "platform/types.h"
#include "core/idobjects.h"
#include "style/conversions.h"

namespace platform {
class Canvas;
}

class TFormControlObj : public TIDObject {
public:
    ~TFormControlObj() override = default;

    int Pos = 0;  // character position in the section's text
    int YValue = 0;
    AlignmentType FormAlign = AlignBottom;
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
    bool PercentWidth = false;
    int Percent = 0;      // the width in percent when PercentWidth
    bool ShowIt = false;  // drawn in the current paint
    std::string Title;
    platform::TColor BkColor = NoColor;
    int ClickX = 0, ClickY = 0;  // where an image input was clicked

    int VerticalPos() override { return YValue; }

    virtual int Width() const = 0;
    // The room the control takes in its line: its width and the spaces on both sides.
    int TakenWidth() const { return Width() + HSpaceL + HSpaceR; }
    virtual int Height() const = 0;
    virtual void SetWidth(int /*value*/) {}
    // Has a window of its own (hidden inputs have none).
    virtual bool HasWindow() const { return true; }
    virtual bool IsRadio() const { return false; }
    virtual bool IsCheckBox() const { return false; }
    virtual bool Focused() const { return false; }
    // Moves the window to a screen position and shows it; a copy root prints the control instead.
    virtual void Place(platform::Canvas* /*canvas*/, int /*X*/, int /*Y*/) {}
    virtual void SetYPos(int Y) { YValue = Y; }
    // A radio button's window colour.
    virtual void SetWindowColor(platform::TColor) {}
};
