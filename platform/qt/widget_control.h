#pragma once
// The window behind a Control (private to the platform layer): the QWidget, the event bridge that turns
// Qt events into the control's handlers, and the deferred-deletion queue.

#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/control.h"

namespace platform {

class ControlBridge;

struct Control::Impl
{
    Control* self = nullptr;
    QPointer<QWidget> widget;
    ControlBridge* bridge = nullptr;

    Control* parent = nullptr;
    Control* owner = nullptr;
    std::vector<Control*> children;   // in creation order
    std::vector<Control*> components; // controls whose owner this is
    std::vector<std::unique_ptr<Control>> owned;

    std::string name;
    int tag = 0;
    TColor color = clBtnFace;
    LogFont font;
    TColor fontColor = clWindowText;
    TCursor cursor = crDefault;
    bool visible = true;
    bool tabStop = false;
    int tabOrder = 0;

    bool mouseInside = false;
    bool leftPressed = false; // a left press over the control, waiting for its release
    bool explicitCapture = false;
    int wheelRemainder = 0;
    int lastWidth = 0;
    int lastHeight = 0;
    bool paintsItself = true; // false: the widget draws itself (scroll bars)
    bool opaque = true;       // paints its whole rectangle
    bool topLevel = false;
    bool deferred = false; // handed to DeferDelete: no events any more

    // Platform controls that draw with Qt directly (pictures, labels) set this instead of using Paint().
    std::function<void(QPainter&, const QRect&)> directPaint;
    // Top-level windows: what a close request from the window system does.
    std::function<void()> closeRequest;

    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

// Installed on the widget of a control; every event reaching program code passes through here.
class ControlBridge final : public QObject
{
public:
    ControlBridge(QWidget* widget, Control* control);
    Control* control = nullptr; // cleared when the control goes away before its widget

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Dispatch(QEvent* event);
    void Paint(QEvent* event);
    QWidget* widget_;
};

// The event type of posted private messages.
constexpr int PostedMessageEventType = 1000 + 0x2A; // QEvent::User + 42

// The control of a widget (the one its bridge serves), or nullptr.
Control* ControlOfWidget(const QWidget* widget);
QWidget* WidgetOf(const Control* control);

// Counts nested entries from the event loop into program code; deferred deletions wait until it is 0.
class DispatchScope
{
public:
    DispatchScope();
    ~DispatchScope();
    static int Depth();
};

// Frees an object when control is back in the event loop with no handler on the stack.
void DeferDeleteObject(QObject* object);
// Frees everything queued now (application shutdown).
void FlushDeferredDeletes();

// Mouse state as the program last saw it (tests deliver events without moving the real pointer).
void NoteMouseState(Qt::MouseButtons buttons, QPoint globalPos);
Qt::MouseButtons LastMouseButtons();
QPoint LastCursorPos();

// Windows virtual-key code of a Qt key (0 for keys without one) and back.
int VirtualKeyOfQtKey(int qtKey);
int QtKeyOfVirtualKey(int virtualKey);
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// The QColor of a colour reference (system colours resolved).
QColor QtColor(TColor colour);

} // namespace platform
