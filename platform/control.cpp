#include "platform/control.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

#include "platform/canvas.h"
#include "platform/form.h"
#include "platform/qt/widget_control.h"
#include "platform/qt/widget_cursors.h"

namespace platform {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 32);
        if (y >= 'a' && y <= 'z')
            y = char(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

template <class T>
void EraseValue(std::vector<T*>& list, const T* value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Switches event delivery for a control and its descendants (controls handed to DeferDelete stay off).
void SetDispatch(Control* c, bool on)
{
    Control::Impl& d = c->Internal();
    if (d.bridge && d.widget && !d.deferred)
        d.bridge->control = on ? c : nullptr;
    for (Control* child : d.children)
        SetDispatch(child, on);
}

QWidget* MakePlainWidget(Control* parent)
{
    // Owned by the control (deleted through the deferred queue), parented to the parent's window.
    return new QWidget(parent ? WidgetOf(parent) : nullptr);
}

} // namespace

Control::AliveToken::AliveToken(const Control& c) : flag_(c.d->alive) {}

Control::Control(Control* parent) : Control(parent, MakePlainWidget(parent)) {}

Control::Control(Control* parent, QWidget* widget) : d(std::make_unique<Impl>())
{
    d->self = this;
    d->widget = widget;
    d->bridge = new ControlBridge(widget, this); // a child of the widget
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
    widget->setAutoFillBackground(false);
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setMouseTracking(true);
    d->topLevel = widget->isWindow() && !parent;
    if (!d->topLevel)
        widget->setGeometry(0, 0, 0, 0);
    d->lastWidth = widget->width();
    d->lastHeight = widget->height();
    d->parent = parent;
    d->owner = parent;
    if (parent) {
        d->tabOrder = int(parent->d->children.size()); // after the siblings made before it
        parent->d->children.push_back(this);
        parent->d->components.push_back(this);
        d->font = parent->d->font;
        d->fontColor = parent->d->fontColor;
        widget->setVisible(true);
    }
}

Control::~Control()
{
    d->alive.reset();
    // Nothing reaches this control or its descendants while they are taken down (hiding one window
    // makes the window system report enter and leave to its neighbours).
    SetDispatch(this, false);
    if (QWidget* w = d->widget)
        w->hide();
    while (!d->owned.empty()) {
        std::unique_ptr<Control> last = std::move(d->owned.back());
        d->owned.pop_back();
        last.reset();
    }
    // Children held elsewhere outlive this window: take them out of it.
    for (Control* child : std::vector<Control*>(d->children)) {
        child->d->parent = nullptr;
        if (QWidget* w = child->d->widget) {
            w->hide();
            w->setParent(nullptr);
        }
        SetDispatch(child, true);
    }
    for (Control* component : d->components)
        if (component->d->owner == this)
            component->d->owner = nullptr;
    if (d->parent)
        EraseValue(d->parent->d->children, this);
    if (d->owner)
        EraseValue(d->owner->d->components, this);
    if (d->bridge && d->widget)
        d->bridge->control = nullptr;
    if (QWidget* w = d->widget) {
        if (d->explicitCapture && QWidget::mouseGrabber() == w)
            w->releaseMouse();
        w->hide();
        DeferDeleteObject(w);
    }
}

void Control::AdoptOwned(std::unique_ptr<Control> control)
{
    if (control)
        d->owned.push_back(std::move(control));
}

std::unique_ptr<Control> Control::ReleaseOwned(Control* control)
{
    for (auto it = d->owned.begin(); it != d->owned.end(); ++it) {
        if (it->get() == control) {
            std::unique_ptr<Control> result = std::move(*it);
            d->owned.erase(it);
            return result;
        }
    }
    return nullptr;
}

// ---- names

const std::string& Control::Name() const
{
    return d->name;
}
void Control::SetName(const std::string& name)
{
    d->name = name;
}
int Control::Tag() const
{
    return d->tag;
}
void Control::SetTag(int tag)
{
    d->tag = tag;
}
Control* Control::Owner() const
{
    return d->owner;
}

void Control::SetOwner(Control* owner)
{
    if (d->owner == owner)
        return;
    if (d->owner)
        EraseValue(d->owner->d->components, this);
    d->owner = owner;
    if (owner)
        owner->d->components.push_back(this);
}

Control* Control::FindComponent(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    for (Control* c : d->components)
        if (SameNameIgnoringCase(c->d->name, name))
            return c;
    return nullptr;
}

// ---- tree

Control* Control::Parent() const
{
    return d->parent;
}

void Control::SetParent(Control* parent)
{
    if (parent == d->parent || parent == this || (parent && parent->HasParent(this)))
        return;
    if (d->parent)
        EraseValue(d->parent->d->children, this);
    d->parent = parent;
    if (parent)
        parent->d->children.push_back(this);
    if (QWidget* w = d->widget) {
        const QRect geometry = w->geometry();
        w->setParent(parent ? WidgetOf(parent) : nullptr);
        w->setGeometry(geometry);
        if (parent && d->visible)
            w->show();
    }
}

int Control::ControlCount() const
{
    return int(d->children.size());
}

Control* Control::Controls(int index) const
{
    if (index < 0 || index >= int(d->children.size()))
        return nullptr;
    return d->children[index];
}

Form* Control::ParentForm() const
{
    for (const Control* c = this; c; c = c->d->parent)
        if (auto* form = dynamic_cast<const Form*>(c))
            return const_cast<Form*>(form);
    return nullptr;
}

bool Control::HasParent(const Control* ancestor) const
{
    for (const Control* c = d->parent; c; c = c->d->parent)
        if (c == ancestor)
            return true;
    return false;
}

// ---- geometry

int Control::Left() const
{
    return d->widget ? d->widget->x() : 0;
}
int Control::Top() const
{
    return d->widget ? d->widget->y() : 0;
}
int Control::Width() const
{
    return d->widget ? d->widget->width() : 0;
}
int Control::Height() const
{
    return d->widget ? d->widget->height() : 0;
}
void Control::SetLeft(int value)
{
    SetBounds(value, Top(), Width(), Height());
}
void Control::SetTop(int value)
{
    SetBounds(Left(), value, Width(), Height());
}
void Control::SetWidth(int value)
{
    SetBounds(Left(), Top(), value, Height());
}
void Control::SetHeight(int value)
{
    SetBounds(Left(), Top(), Width(), value);
}

void Control::SetBounds(int left, int top, int width, int height)
{
    QWidget* w = d->widget;
    if (!w)
        return;
    width = std::max(0, width);
    height = std::max(0, height);
    if (w->geometry() != QRect(left, top, width, height))
        w->setGeometry(left, top, width, height);
    // Windows reports a size change at once, shown or not; Qt waits for the show.
    if (width != d->lastWidth || height != d->lastHeight) {
        d->lastWidth = width;
        d->lastHeight = height;
        Resize();
    }
}

Rect Control::BoundsRect() const
{
    return Bounds(Left(), Top(), Width(), Height());
}
Rect Control::ClientRect() const
{
    return Rect{0, 0, Width(), Height()};
}
int Control::ClientWidth() const
{
    return ClientRect().Width();
}
int Control::ClientHeight() const
{
    return ClientRect().Height();
}

Point Control::ClientToScreen(Point p) const
{
    if (!d->widget)
        return p;
    const QPoint g = d->widget->mapToGlobal(QPoint(p.X, p.Y));
    return Point{g.x(), g.y()};
}

Point Control::ScreenToClient(Point p) const
{
    if (!d->widget)
        return p;
    const QPoint l = d->widget->mapFromGlobal(QPoint(p.X, p.Y));
    return Point{l.x(), l.y()};
}

// ---- state

bool Control::Visible() const
{
    return d->visible;
}

void Control::SetVisible(bool value)
{
    d->visible = value;
    if (QWidget* w = d->widget)
        w->setVisible(value);
}

void Control::Show()
{
    SetVisible(true);
}
void Control::Hide()
{
    SetVisible(false);
}
bool Control::Showing() const
{
    return d->widget && d->widget->isVisible();
}
bool Control::Enabled() const
{
    return d->widget && !d->widget->testAttribute(Qt::WA_ForceDisabled);
}

void Control::SetEnabled(bool value)
{
    if (QWidget* w = d->widget)
        w->setEnabled(value);
}

TColor Control::Color() const
{
    return d->color;
}

void Control::SetColor(TColor value)
{
    if (d->color == value)
        return;
    d->color = value;
    ColorChanged();
    Invalidate();
}

const LogFont& Control::Font() const
{
    return d->font;
}

void Control::SetFont(const LogFont& font)
{
    d->font = font;
    FontChanged();
    Invalidate();
}

TColor Control::FontColor() const
{
    return d->fontColor;
}

void Control::SetFontColor(TColor colour)
{
    if (d->fontColor == colour)
        return;
    d->fontColor = colour;
    FontChanged();
    Invalidate();
}

TCursor Control::Cursor() const
{
    return d->cursor;
}

void Control::SetCursor(TCursor cursor)
{
    d->cursor = cursor;
    if (QWidget* w = d->widget) {
        if (cursor == crDefault)
            w->unsetCursor();
        else
            w->setCursor(QtCursor(cursor));
    }
}

// ---- z-order

void Control::BringToFront()
{
    if (QWidget* w = d->widget)
        w->raise();
}

void Control::SendToBack()
{
    if (QWidget* w = d->widget)
        w->lower();
}

// ---- painting

void Control::Invalidate()
{
    if (QWidget* w = d->widget)
        w->update();
}

void Control::InvalidateRect(const Rect& r)
{
    if (QWidget* w = d->widget)
        if (!r.IsEmpty())
            w->update(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void Control::Update()
{
    QWidget* w = d->widget;
    if (!w)
        return;
    // Pending paints of a window are requested from its top level; deliver that request now.
    QWidget* top = w->window();
    QCoreApplication::sendPostedEvents(top, QEvent::UpdateLater);
    QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
}

void Control::Repaint()
{
    if (QWidget* w = d->widget)
        w->repaint();
}

void Control::SetRedraw(bool on)
{
    if (QWidget* w = d->widget)
        w->setUpdatesEnabled(on);
}

void Control::ScrollWindow(int dx, int dy)
{
    if (QWidget* w = d->widget)
        if (dx != 0 || dy != 0)
            w->scroll(dx, dy);
}

// ---- focus

void Control::SetFocus()
{
    QWidget* w = d->widget;
    if (!w)
        return;
    QWidget* top = w->window();
    if (top->isVisible() && !top->isActiveWindow()) {
        top->activateWindow();
        QApplication::setActiveWindow(top);
    }
    w->setFocus(Qt::OtherFocusReason);
}

bool Control::CanFocus() const
{
    QWidget* w = d->widget;
    return w && w->isVisible() && w->isEnabled();
}

bool Control::Focused() const
{
    return d->widget && d->widget->hasFocus();
}
bool Control::TabStop() const
{
    return d->tabStop;
}

void Control::SetTabStop(bool value)
{
    d->tabStop = value;
    // Windows that take the focus by a click keep doing so without a tab stop.
    if (QWidget* w = d->widget) {
        const bool byClick = w->focusPolicy() & Qt::ClickFocus;
        w->setFocusPolicy(value ? (byClick ? Qt::StrongFocus : Qt::TabFocus) : (byClick ? Qt::ClickFocus : Qt::NoFocus));
    }
}

int Control::TabOrder() const
{
    return d->tabOrder;
}

void Control::SetTabOrder(int value)
{
    Control* parent = d->parent;
    if (!parent) {
        d->tabOrder = value;
        return;
    }
    // Siblings keep a dense order 0..n-1; this one moves to value, the others shift.
    std::vector<Control*> order(parent->d->children);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->d->tabOrder < b->d->tabOrder; });
    order.erase(std::remove(order.begin(), order.end(), this), order.end());
    value = std::clamp(value, 0, int(order.size()));
    order.insert(order.begin() + value, this);
    QWidget* previous = nullptr;
    for (int i = 0; i < int(order.size()); ++i) {
        order[i]->d->tabOrder = i;
        QWidget* w = order[i]->d->widget;
        if (w && previous)
            QWidget::setTabOrder(previous, w);
        if (w)
            previous = w;
    }
}

// ---- capture

bool Control::MouseCapture() const
{
    return d->explicitCapture || d->leftPressed;
}

void Control::SetMouseCapture(bool value)
{
    QWidget* w = d->widget;
    if (!w)
        return;
    if (value && !d->explicitCapture) {
        d->explicitCapture = true;
        // During a press the window system's own grab already holds the mouse.
        if (QGuiApplication::mouseButtons() == Qt::NoButton && w->isVisible())
            w->grabMouse();
    } else if (!value && d->explicitCapture) {
        d->explicitCapture = false;
        if (QWidget::mouseGrabber() == w)
            w->releaseMouse();
    }
}

bool Control::MouseInside() const
{
    return d->mouseInside;
}

// ---- the platform's handling of events

void Control::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        d->leftPressed = true;
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void Control::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void Control::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    AliveToken alive(*this);
    bool click = false;
    if (button == mbLeft) {
        click = d->leftPressed && x >= 0 && y >= 0 && x < Width() && y < Height();
        d->leftPressed = false;
        SetMouseCapture(false);
    }
    if (click) {
        Click();
        if (!alive)
            return;
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void Control::DoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    AliveToken alive(*this);
    if (button == mbLeft) {
        DblClick();
        if (!alive)
            return;
    }
    // As on Windows, the second press is not a click press: only the event sees it, marked ssDouble.
    if (OnMouseDown)
        OnMouseDown(this, button, shift | ssDouble, x, y);
}

void Control::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void Control::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave(this);
}

bool Control::MouseWheel(TShiftState shift, int wheelDelta, Point mousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    return handled;
}

void Control::Click()
{
    if (OnClick)
        OnClick(this);
}

void Control::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void Control::KeyDown(int& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void Control::KeyUp(int& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void Control::KeyPress(char16_t& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void Control::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void Control::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void Control::Resize()
{
    if (OnResize)
        OnResize(this);
}

void Control::WndMessage(Message& msg)
{
    if (OnMessage)
        OnMessage(this, msg);
}

void Control::Paint(Canvas& canvas, const Rect& updateRect)
{
    if (d->color != clNone)
        canvas.FillRect(updateRect, d->color);
    if (OnPaint)
        OnPaint(this, canvas, updateRect);
}

// ---- free functions

void DeferDelete(std::unique_ptr<Control> control)
{
    if (!control)
        return;
    SetDispatch(control.get(), false); // no further events reach it or its children
    control->Internal().deferred = true;
    control->Hide();
    struct Holder final : QObject
    {
        std::unique_ptr<Control> control;
    };
    auto* holder = new Holder; // freed by the deferred queue
    holder->control = std::move(control);
    DeferDeleteObject(holder);
}

Control* FindControlAt(Point screenPoint)
{
    for (QWidget* w = QApplication::widgetAt(QPoint(screenPoint.X, screenPoint.Y)); w; w = w->parentWidget())
        if (Control* c = ControlOfWidget(w))
            return c;
    return nullptr;
}

Control* ControlAtCursor()
{
    return FindControlAt(GetCursorPos());
}

} // namespace platform
