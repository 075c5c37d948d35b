// The event bridge between Qt widgets and controls, the deferred-deletion queue and the key tables.

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>
#include <unordered_map>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/widget_control.h"

namespace platform {

// ---------------------------------------------------------------------------------------------------
// Dispatch depth and deferred deletion

namespace {

int g_dispatchDepth = 0;

class DeferredDeleter final : public QObject
{
public:
    static DeferredDeleter& Instance()
    {
        static DeferredDeleter* instance = nullptr;
        if (!instance)
            instance = new DeferredDeleter; // lives as long as the process; owns nothing but the queue
        return *instance;
    }

    void Queue(QObject* object)
    {
        queue_.emplace_back(object);
        Schedule();
    }

    void Schedule()
    {
        if (scheduled_ || !QCoreApplication::instance())
            return;
        scheduled_ = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }

    void Flush()
    {
        // Deleting a widget may queue more (its children's controls): loop until empty.
        while (!queue_.empty()) {
            std::vector<QPointer<QObject>> batch;
            batch.swap(queue_);
            for (auto& object : batch)
                delete object.data();
        }
    }

    bool Pending() const { return !queue_.empty(); }

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        scheduled_ = false;
        if (g_dispatchDepth > 0)
            return true; // the outermost dispatch schedules again when it ends
        Flush();
        return true;
    }

private:
    std::vector<QPointer<QObject>> queue_;
    bool scheduled_ = false;
};

Qt::MouseButtons g_lastButtons = Qt::NoButton;
QPoint g_lastCursorPos;
bool g_haveCursorPos = false;

} // namespace

DispatchScope::DispatchScope()
{
    ++g_dispatchDepth;
}

DispatchScope::~DispatchScope()
{
    if (--g_dispatchDepth == 0 && DeferredDeleter::Instance().Pending())
        DeferredDeleter::Instance().Schedule();
}

int DispatchScope::Depth()
{
    return g_dispatchDepth;
}

void DeferDeleteObject(QObject* object)
{
    if (object)
        DeferredDeleter::Instance().Queue(object);
}

void FlushDeferredDeletes()
{
    DeferredDeleter::Instance().Flush();
}

void NoteMouseState(Qt::MouseButtons buttons, QPoint globalPos)
{
    g_lastButtons = buttons;
    g_lastCursorPos = globalPos;
    g_haveCursorPos = true;
}

Qt::MouseButtons LastMouseButtons()
{
    return g_lastButtons;
}

QPoint LastCursorPos()
{
    // The offscreen platform has no pointer of its own: the last event's position is the truth there.
    if (g_haveCursorPos && QGuiApplication::platformName() == QLatin1String("offscreen"))
        return g_lastCursorPos;
    return QCursor::pos();
}

// ---------------------------------------------------------------------------------------------------
// Keys

namespace {

struct KeyPair
{
    int qt;
    int vk;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},    {Qt::Key_Tab, VK_TAB},           {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},     {Qt::Key_Enter, VK_RETURN},      {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},   {Qt::Key_Alt, VK_MENU},          {Qt::Key_Pause, VK_PAUSE},
    {Qt::Key_CapsLock, VK_CAPITAL},  {Qt::Key_Escape, VK_ESCAPE},     {Qt::Key_Space, VK_SPACE},
    {Qt::Key_PageUp, VK_PRIOR},      {Qt::Key_PageDown, VK_NEXT},     {Qt::Key_End, VK_END},
    {Qt::Key_Home, VK_HOME},         {Qt::Key_Left, VK_LEFT},         {Qt::Key_Up, VK_UP},
    {Qt::Key_Right, VK_RIGHT},       {Qt::Key_Down, VK_DOWN},         {Qt::Key_Insert, VK_INSERT},
    {Qt::Key_Delete, VK_DELETE},     {Qt::Key_NumLock, VK_NUMLOCK},   {Qt::Key_ScrollLock, VK_SCROLL},
    {Qt::Key_multiply, VK_MULTIPLY}, {Qt::Key_Asterisk, VK_MULTIPLY}, {Qt::Key_Plus, VK_ADD},
    {Qt::Key_Minus, VK_SUBTRACT},    {Qt::Key_Period, 0xBE},          {Qt::Key_Slash, VK_DIVIDE},
    {Qt::Key_Comma, 0xBC},           {Qt::Key_Semicolon, 0xBA},       {Qt::Key_Equal, 0xBB},
};

} // namespace

int VirtualKeyOfQtKey(int qtKey)
{
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // same codes as ASCII
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK_F1 + (qtKey - Qt::Key_F1);
    for (const auto& k : kKeys)
        if (k.qt == qtKey)
            return k.vk;
    return 0;
}

int QtKeyOfVirtualKey(int vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return vk;
    if (vk >= VK_F1 && vk <= VK_F1 + 23)
        return Qt::Key_F1 + (vk - VK_F1);
    for (const auto& k : kKeys)
        if (k.vk == vk)
            return k.qt;
    return Qt::Key_unknown;
}

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier)
        s |= ssShift;
    if (modifiers & Qt::AltModifier)
        s |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

QColor QtColor(TColor colour)
{
    return QColor::fromRgb(ToQRgb(colour));
}

// ---------------------------------------------------------------------------------------------------
// The bridge

ControlBridge::ControlBridge(QWidget* widget, Control* c) : QObject(widget), control(c), widget_(widget)
{
    widget->installEventFilter(this);
}

Control* ControlOfWidget(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    for (QObject* child : widget->children())
        if (auto* bridge = dynamic_cast<ControlBridge*>(child))
            return bridge->control;
    return nullptr;
}

QWidget* WidgetOf(const Control* control)
{
    return control ? control->Internal().widget.data() : nullptr;
}

namespace {

bool MouseButtonOf(Qt::MouseButton b, TMouseButton& out)
{
    switch (b) {
    case Qt::LeftButton:
        out = mbLeft;
        return true;
    case Qt::RightButton:
        out = mbRight;
        return true;
    case Qt::MiddleButton:
        out = mbMiddle;
        return true;
    default:
        return false;
    }
}

bool IsPostedMessage(QEvent* e)
{
    return int(e->type()) == PostedMessageEventType;
}

} // namespace

class PostedMessageEvent final : public QEvent
{
public:
    explicit PostedMessageEvent(const Message& m) : QEvent(QEvent::Type(PostedMessageEventType)), msg(m) {}
    Message msg;
};

void PostMessage(Control* control, unsigned msg, std::intptr_t wParam, std::intptr_t lParam)
{
    QWidget* widget = WidgetOf(control);
    if (!widget)
        return;
    Message m;
    m.Msg = msg;
    m.WParam = wParam;
    m.LParam = lParam;
    // Qt takes the event over and frees it after delivery (or with the widget).
    QCoreApplication::postEvent(widget, new PostedMessageEvent(m));
}

bool ControlBridge::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != widget_ || !control)
        return IsPostedMessage(event); // a message for a control that is gone is dropped
    DispatchScope scope;
    try {
        return Dispatch(event);
    } catch (...) {
        HandleException();
        return true;
    }
}

void ControlBridge::Paint(QEvent* event)
{
    auto* pe = static_cast<QPaintEvent*>(event);
    const QRect r = pe->rect().intersected(widget_->rect());
    if (r.isEmpty())
        return;
    if (auto& direct = control->Internal().directPaint) {
        QPainter painter(widget_);
        painter.setClipRect(r);
        direct(painter, r);
        return;
    }
    Bitmap buffer(r.width(), r.height(), PixelFormat::pf32bit);
    QImage& image = QImageOf(buffer);
    {
        Canvas canvas(buffer);
        canvas.SetWindowOrg(r.left(), r.top());
        Control* c = control;
        c->Paint(canvas, Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    }
    if (!control)
        return;
    QPainter painter(widget_);
    painter.drawImage(r.topLeft(), image);
}

bool ControlBridge::Dispatch(QEvent* event)
{
    Control* c = control;
    Control::Impl& d = c->Internal();
    // Whether the widget's own handling is replaced (read now: a handler may free the control).
    const bool own = d.paintsItself;
    switch (event->type()) {
    case QEvent::Paint:
        if (!d.paintsItself)
            return false;
        Paint(event);
        return true;

    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        NoteMouseState(me->buttons(), me->globalPosition().toPoint());
        TMouseButton button;
        if (!MouseButtonOf(me->button(), button))
            return true;
        const QPoint p = me->position().toPoint();
        const TShiftState shift = ShiftStateOf(me->modifiers(), me->buttons());
        if (!d.mouseInside && widget_->rect().contains(p)) {
            d.mouseInside = true;
            c->MouseEnter();
            if (!control)
                return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick)
            c->DoubleClick(button, shift | ssDouble, p.x(), p.y());
        else
            c->MouseDown(button, shift, p.x(), p.y());
        return own;
    }

    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(event);
        NoteMouseState(me->buttons(), me->globalPosition().toPoint());
        const QPoint p = me->position().toPoint();
        // While a button is held the window system reports no enter or leave: decide from the position.
        if (me->buttons() != Qt::NoButton) {
            const bool inside = widget_->rect().contains(p);
            if (inside != d.mouseInside) {
                d.mouseInside = inside;
                if (inside)
                    c->MouseEnter();
                else
                    c->MouseLeave();
                if (!control)
                    return true;
            }
        } else if (!d.mouseInside && widget_->rect().contains(p)) {
            d.mouseInside = true;
            c->MouseEnter();
            if (!control)
                return true;
        }
        c->MouseMove(ShiftStateOf(me->modifiers(), me->buttons()), p.x(), p.y());
        return own;
    }

    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        NoteMouseState(me->buttons(), me->globalPosition().toPoint());
        TMouseButton button;
        if (!MouseButtonOf(me->button(), button))
            return true;
        const QPoint p = me->position().toPoint();
        const bool inside = widget_->rect().contains(p);
        if (inside != d.mouseInside) {
            d.mouseInside = inside;
            if (inside)
                c->MouseEnter();
            else
                c->MouseLeave();
            if (!control)
                return true;
        }
        c->MouseUp(button, ShiftStateOf(me->modifiers(), me->buttons()), p.x(), p.y());
        return own;
    }

    case QEvent::Enter:
        if (!d.mouseInside) {
            d.mouseInside = true;
            c->MouseEnter();
        }
        return false;

    case QEvent::Leave:
        // After a release outside, the leave was reported already.
        if (d.mouseInside && LastMouseButtons() == Qt::NoButton) {
            d.mouseInside = false;
            c->MouseLeave();
        }
        return false;

    case QEvent::Wheel: {
        auto* we = static_cast<QWheelEvent*>(event);
        // Touch pads send small steps; the program scrolls per notch, so whole notches are passed on.
        d.wheelRemainder += we->angleDelta().y();
        const int notches = d.wheelRemainder / WHEEL_DELTA;
        if (notches == 0) {
            we->accept();
            return true;
        }
        d.wheelRemainder -= notches * WHEEL_DELTA;
        const QPoint global = we->globalPosition().toPoint();
        const TShiftState shift = ShiftStateOf(we->modifiers(), we->buttons());
        const int delta = notches * WHEEL_DELTA;
        const bool handled = c->MouseWheel(shift, delta, Point{global.x(), global.y()});
        if (!control)
            return true;
        if (handled) {
            we->accept();
            return true;
        }
        d.wheelRemainder = 0;
        if (!own)
            return false;
        // As on Windows, a wheel message nobody handles goes to the parent windows in turn.
        for (QWidget* up = widget_->parentWidget(); up; up = up->parentWidget()) {
            Control* parent = ControlOfWidget(up);
            if (!parent)
                continue;
            if (parent->MouseWheel(shift, delta, Point{global.x(), global.y()}))
                break;
            if (!control)
                break;
        }
        we->accept();
        return true;
    }

    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab)
            return false; // focus movement belongs to the form
        int key = VirtualKeyOfQtKey(ke->key());
        const TShiftState shift = ShiftStateOf(ke->modifiers(), Qt::NoButton);
        if (key != 0) {
            c->KeyDown(key, shift);
            if (!control)
                return true;
            // A window that handles keys itself does not see a key the program took (set to 0).
            if (key == 0 && !own)
                return true;
        }
        const QString text = ke->text();
        char16_t ch = 0;
        if (!text.isEmpty() && (text.at(0).unicode() >= 0x20 || text.at(0).unicode() == 0x0D ||
                                text.at(0).unicode() == 0x08 || text.at(0).unicode() == 0x1B)) {
            ch = text.at(0).unicode();
            c->KeyPress(ch);
        } else if (key == VK_RETURN) {
            ch = u'\r';
            c->KeyPress(ch);
        } else {
            return own;
        }
        if (!control)
            return true;
        return own || ch == 0;
    }

    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(event);
        int key = VirtualKeyOfQtKey(ke->key());
        if (key != 0)
            c->KeyUp(key, ShiftStateOf(ke->modifiers(), Qt::NoButton));
        return own;
    }

    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            c->DoEnter();
        return false;
    }

    case QEvent::FocusOut: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            c->DoExit();
        return false;
    }

    case QEvent::Resize: {
        const QSize s = static_cast<QResizeEvent*>(event)->size();
        if (s.width() != d.lastWidth || s.height() != d.lastHeight) {
            d.lastWidth = s.width();
            d.lastHeight = s.height();
            c->Resize();
        }
        return false;
    }

    case QEvent::Close:
        if (d.topLevel) {
            // The window system asked: the form decides (Close() may keep it open).
            event->ignore();
            if (d.closeRequest)
                d.closeRequest();
            return true;
        }
        return false;

    default:
        if (IsPostedMessage(event)) {
            Message m = static_cast<PostedMessageEvent*>(event)->msg;
            c->WndMessage(m);
            return true;
        }
        return false;
    }
}

} // namespace platform
