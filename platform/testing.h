#pragma once
// Support for GUI tests: real mouse and key events delivered to controls at control coordinates, the
// event loop run for a while, windows grabbed to bitmaps, and recorders that stand in for the message
// box, error report and modal services. Qt-free, like every public header.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/control.h"
#include "platform/form.h"
#include "platform/msgbox.h"

namespace platform::test {

// Mouse events go through the control's window as the window system's events do: the window picks the
// control under the point (or the one holding the mouse since a press), reports enter and leave, and
// passes the event on. A control on a window that is not shown gets the event directly.
void MousePress(Control& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
void MouseMove(Control& control, int x, int y, TShiftState shift = 0);
void MouseRelease(Control& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
// Press and release at one point.
void MouseClick(Control& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
// Press, release, double click, release at one point.
void MouseDoubleClick(Control& control, int x, int y);
// delta: 120 per notch, positive away from the user.
void MouseWheel(Control& control, int x, int y, int delta, TShiftState shift = 0);
// The pointer enters / leaves the control with no button held.
void MouseEnter(Control& control);
void MouseLeave(Control& control);

// Key events go to the control itself. text: the character the key types (0 for none).
void KeyDown(Control& control, int virtualKey, TShiftState shift = 0, char16_t text = 0);
void KeyUp(Control& control, int virtualKey, TShiftState shift = 0);
void KeyStroke(Control& control, int virtualKey, TShiftState shift = 0, char16_t text = 0);

// Shows the form and makes it the active window (focus events need an active window).
void ShowAndActivate(Form& form);

// Handles pending events (also deferred deletions, when no handler is running).
void ProcessEvents();
// Runs the event loop for about milliseconds.
void RunEventLoop(int milliseconds);
// Runs the event loop until condition() is true or timeoutMs passed; returns condition().
bool RunUntil(const std::function<bool()>& condition, int timeoutMs);
// Paints now whatever is invalid in the control's window.
void FlushPaint(Control& control);

// The control's pixels as they are on screen once pending paints are done (32 bits).
Bitmap Grab(Control& control);
bool GrabToPng(Control& control, const std::string& fileName);

// Records every error report while it lives.
class ErrorRecorder
{
public:
    ErrorRecorder();
    ~ErrorRecorder();
    ErrorRecorder(const ErrorRecorder&) = delete;
    ErrorRecorder& operator=(const ErrorRecorder&) = delete;
    const std::vector<std::string>& Messages() const;

private:
    struct Impl;
    std::shared_ptr<Impl> d;
};

// Records message boxes and answers them with Answer (IDOK unless set) while it lives.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;
    const std::vector<MessageBoxRequest>& Requests() const;
    void SetAnswer(int answer);

private:
    struct Impl;
    std::shared_ptr<Impl> d;
};

// Answers modal forms while it lives: the form is shown, Answer runs (it may click the form's buttons)
// and the form's ModalResult, or Answer's result when that stays mrNone, is what ShowModal returns.
class ModalRecorder
{
public:
    explicit ModalRecorder(std::function<int(Form&)> answer = nullptr);
    ~ModalRecorder();
    ModalRecorder(const ModalRecorder&) = delete;
    ModalRecorder& operator=(const ModalRecorder&) = delete;
    // The forms shown modally, in order (pointers are only for comparison).
    const std::vector<Form*>& Forms() const;
    void SetAnswer(std::function<int(Form&)> answer);

    struct Impl;

private:
    std::shared_ptr<Impl> d;
};

} // namespace platform::test
