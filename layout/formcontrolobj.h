#pragma once
// A control of an HTML form: its place in the text, its size, spaces and alignment (what text layout
// needs), its attributes, its platform control and the operations a form runs on every control (submission
// entries, reset, history data, printing). The kinds are in formcontrols.h, the forms in forms.h.

#include <memory>
#include <string>
#include <vector>

#include "core/idobjects.h"
#include "platform/types.h"
#include "style/conversions.h"

namespace platform {
class Canvas;
class Control;
class StdControl;
}  // namespace platform

class TSectionList;
class ThtmlForm;
class TAttributeList;
class TProperties;

class TFormControlObj : public TIDObject {
public:
    // Adds the control to the root's controls and to its form and takes the attributes every kind has.
    TFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    // A control that belongs to no document (stand-ins).
    TFormControlObj();
    ~TFormControlObj() override;
    TFormControlObj(const TFormControlObj&) = delete;
    TFormControlObj& operator=(const TFormControlObj&) = delete;

    int Pos = 0;  // character position in the section's text
    int YValue = 0;
    AlignmentType FormAlign = AlignBottom;
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;  // 1 above and below for page controls
    bool PercentWidth = false;
    int Percent = 0;      // the width in percent when PercentWidth
    bool ShowIt = false;  // drawn in the current paint
    std::string Title;
    platform::TColor BkColor = NoColor;
    int ClickX = 0, ClickY = 0;  // where an image input was clicked

    TSectionList* Root = nullptr;  // not owned
    ThtmlForm* MyForm = nullptr;   // not owned
    std::string Value, Name, ControlId;
    std::string OnClickScript, OnFocusScript, OnBlurScript, OnChangeScript;
    bool Disabled = false;
    bool ReadOnly = false;
    bool Active = false;  // has the keyboard focus
    std::vector<std::string> AttributeText;  // the tag's attributes as NAME=value lines
    int CodePage = 0;                         // of the document, for texts shown in and read from the control
    int CSSWidth = 0, CSSHeight = 0;          // from the style; 0 when not given

    // ---- operations in slot order
    int VerticalPos() override { return YValue; }
    // The platform control (none for hidden fields).
    virtual platform::Control* GetControl() const;
    // Raises the change event when the value differs from the one saved when the control got the focus.
    virtual void DoOnChange() {}
    virtual void SaveContents() {}
    // Spaces, size, alignment and background from the element's style.
    virtual void ProcessProperties(TProperties& props);
    // Draws the control onto a printer canvas at (X, Y) (window coordinates of the canvas).
    virtual void DrawForPrint(platform::Canvas* /*canvas*/, int /*X*/, int /*Y*/) {}
    virtual void ResetToValue() {}
    // The index-th submission entry ("name=value"); false when there is none.
    virtual bool GetSubmission(int /*index*/, std::string& /*text*/) { return false; }
    virtual void SetData(int /*index*/, const std::string& /*value*/) {}
    virtual void SetDataInit() {}
    // Works out the control's size for the canvas's measures.
    virtual void SetHeightWidth(platform::Canvas* /*canvas*/) {}

    // ---- what text layout asks
    virtual int Width() const;
    // The room the control takes in its line: its width and the spaces on both sides.
    int TakenWidth() const { return Width() + HSpaceL + HSpaceR; }
    virtual int Height() const;
    virtual void SetWidth(int value);
    // Has a window of its own (hidden inputs have none).
    virtual bool HasWindow() const { return true; }
    virtual bool IsRadio() const { return false; }
    virtual bool IsCheckBox() const { return false; }
    virtual bool Focused() const { return Active; }
    // Moves the window to a position in the paint area and shows it; a copy root prints the control instead.
    virtual void Place(platform::Canvas* canvas, int X, int Y);
    virtual void SetYPos(int Y) { YValue = Y; }
    // A radio button's window colour.
    virtual void SetWindowColor(platform::TColor colour);
    // Moves the window out of view (x = -4000), keeping it visible for the keyboard.
    void Park();
    // The window was put in the view in this layout pass and its place there still lies inside the view
    // from document Y top to bottom (a paint of a strip after scrolling moved it with the pixels).
    bool PlacedWithin(int top, int bottom) const;

    // The control is activated by the mouse or the keyboard (after the host's click event).
    virtual void Clicked() {}

protected:
    // Takes over the platform control and wires its focus, click, key and mouse events.
    void SetPlatformControl(std::unique_ptr<platform::StdControl> control);
    platform::StdControl* Control() const { return FControl.get(); }
    // Text of the document's code page to the control's characters and back.
    std::u16string ToControlText(const std::string& text) const;
    std::string FromControlText(const std::u16string& text) const;
    // The control's font as the canvas measures it.
    void SelectControlFont(platform::Canvas* canvas) const;
    // A sunken frame in the control's colour with a line of text, for printing.
    void DrawFramedText(platform::Canvas* canvas, int X, int Y, const std::u16string& text) const;
    // Submission entry of a name and a value.
    static std::string Entry(const std::string& name, const std::string& value) { return name + "=" + value; }

    bool Printing() const;

private:
    void Entered();
    void Exited();

    std::unique_ptr<platform::StdControl> FControl;
    int FWidth = 0, FHeight = 0;  // for kinds without a window
    int FTabIndex = 0;
    int FPlacedPass = -1;   // the root's layout pass when the window was last placed
    int FPlacedDocTop = 0;  // document Y of its top then
};
