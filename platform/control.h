#pragma once
// The control tree. A Control is a rectangle in its parent with a name, a tag, colours, a font, a cursor,
// mouse/keyboard/focus/paint events and the window operations the program uses (invalidate, scroll, redraw
// off, capture, focus, z-order). Forms, panels, pictures, labels and scroll bars derive from it.
//
// Ownership: a control is owned either by whoever holds its std::unique_ptr or by its parent (Add<T>()).
// The parent link itself does not own. Destroying a control inside one of its own event handlers is not
// allowed; hand it to DeferDelete() instead, which hides it at once and frees it when control returns to
// the event loop.
//
// Events are std::function members raised only when set. The virtual operations (MouseDown, Click, Paint,
// ...) are the platform's own handling of each event: a descendant overrides one and calls the base first
// where it wants the standard behaviour (capture, Click on release, the event) to come before its own.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cursors.h"
#include "platform/font.h"
#include "platform/messages.h"
#include "platform/types.h"

class QWidget;

namespace platform {

class Canvas;
class Control;
class Form;

enum TMouseButton
{
    mbLeft,
    mbRight,
    mbMiddle
};

using TShiftState = unsigned;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;
constexpr TShiftState ssLeft = 0x08;
constexpr TShiftState ssRight = 0x10;
constexpr TShiftState ssMiddle = 0x20;
constexpr TShiftState ssDouble = 0x40;

// One wheel notch.
constexpr int WHEEL_DELTA = 120;

using TNotifyEvent = std::function<void(Control* Sender)>;
using TMouseEvent =
    std::function<void(Control* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(Control* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(Control* Sender, TShiftState Shift, int WheelDelta, Point MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(Control* Sender, int& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(Control* Sender, char16_t& Key)>;
using TPaintEvent = std::function<void(Control* Sender, Canvas& Canvas, const Rect& UpdateRect)>;
using TMessageEvent = std::function<void(Control* Sender, Message& Msg)>;

class Control
{
public:
    explicit Control(Control* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Creates a child owned by this control (freed with it, before its window).
    template <class T, class... Args>
    T& Add(Args&&... args)
    {
        auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& result = *child;
        AdoptOwned(std::move(child));
        return result;
    }
    // Takes ownership of a control (normally a child).
    void AdoptOwned(std::unique_ptr<Control> control);
    // Gives up ownership of an owned control (nullptr when this control does not own it).
    std::unique_ptr<Control> ReleaseOwned(Control* control);

    // ---- names and lookup
    const std::string& Name() const;
    void SetName(const std::string& name);
    int Tag() const;
    void SetTag(int tag);
    // The control whose FindComponent finds this one: the parent at creation, unless set otherwise.
    Control* Owner() const;
    void SetOwner(Control* owner);
    // The owned control of that name (letter case ignored), or nullptr.
    Control* FindComponent(std::string_view name) const;

    // ---- tree
    Control* Parent() const;
    // Moves the control into another parent (nullptr: out of every parent, hidden from view).
    void SetParent(Control* parent);
    int ControlCount() const;
    Control* Controls(int index) const; // in creation order
    // The form this control sits on (itself for a form), or nullptr.
    Form* ParentForm() const;
    bool HasParent(const Control* ancestor) const;

    // ---- geometry (parent's client coordinates)
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int value);
    void SetTop(int value);
    void SetWidth(int value);
    void SetHeight(int value);
    void SetBounds(int left, int top, int width, int height);
    Rect BoundsRect() const;
    virtual Rect ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;

    // ---- state
    bool Visible() const;
    virtual void SetVisible(bool value);
    void Show();
    void Hide();
    // Visible together with every parent.
    bool Showing() const;
    bool Enabled() const;
    void SetEnabled(bool value);
    TColor Color() const;
    void SetColor(TColor value);
    const LogFont& Font() const;
    void SetFont(const LogFont& font);
    TColor FontColor() const;
    void SetFontColor(TColor colour);
    TCursor Cursor() const;
    void SetCursor(TCursor cursor);

    // ---- z-order
    void BringToFront();
    void SendToBack();

    // ---- painting
    void Invalidate();
    void InvalidateRect(const Rect& r);
    // Paints what is invalid now.
    void Update();
    // Invalidates and paints at once.
    virtual void Repaint();
    // Drawing off (false) or on again (true), as WM_SETREDRAW.
    void SetRedraw(bool on);
    // Moves the client pixels and the child controls by (dx, dy) and repaints only the uncovered strip
    // (when the control is painted later with Update()).
    void ScrollWindow(int dx, int dy);

    // Every control has its window from creation on: these exist for code written against lazily
    // created windows.
    bool HandleAllocated() const { return true; }
    void HandleNeeded() {}

    // ---- focus and keyboard
    virtual void SetFocus();
    virtual bool CanFocus() const;
    bool Focused() const;
    bool TabStop() const;
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);

    // ---- mouse capture
    bool MouseCapture() const;
    void SetMouseCapture(bool value);
    // True while the mouse is over the control (as last reported by enter/leave).
    bool MouseInside() const;

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TMouseWheelEvent OnMouseWheel;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TPaintEvent OnPaint;
    TNotifyEvent OnResize;
    TMessageEvent OnMessage;

    // ---- the platform's handling of each event (override and call the base where wanted)
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Releases the capture; a left release after a left press over the control raises Click first.
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A double click: DblClick, then MouseDown with ssDouble.
    virtual void DoubleClick(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // Returns true when the wheel was handled; otherwise the parent gets it.
    virtual bool MouseWheel(TShiftState shift, int wheelDelta, Point mousePos);
    virtual void Click();
    virtual void DblClick();
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void KeyPress(char16_t& key);
    virtual void DoEnter();
    virtual void DoExit();
    virtual void Resize();
    // A message posted with PostMessage.
    virtual void WndMessage(Message& msg);
    // Paints the update rectangle (control coordinates; the canvas's origin is the control's top-left).
    // The base fills with Color, then raises OnPaint.
    virtual void Paint(Canvas& canvas, const Rect& updateRect);
    virtual void FontChanged() {}
    virtual void ColorChanged() {}

    // Private implementation (the window behind the control).
    struct Impl;
    Impl& Internal() const { return *d; }

protected:
    // For kinds with a window of their own type (created by the platform layer).
    Control(Control* parent, QWidget* widget);

    // A live-check for code that raises events which may destroy this control synchronously.
    class AliveToken
    {
    public:
        explicit AliveToken(const Control& c);
        explicit operator bool() const { return !flag_.expired(); }

    private:
        std::weak_ptr<bool> flag_;
    };

private:
    std::unique_ptr<Impl> d;
};

// Hands a control over for deletion when control returns to the event loop: it is hidden now and no
// event reaches it any more; its handlers still on the stack may finish, and message pumps inside them
// (ProcessMessages) do not free it. A control owned by its parent is handed over with
// DeferDelete(parent->ReleaseOwned(control)).
void DeferDelete(std::unique_ptr<Control> control);
// The control under a screen point (the topmost one), or nullptr.
Control* FindControlAt(Point screenPoint);
// The control under the mouse now.
Control* ControlAtCursor();

} // namespace platform
