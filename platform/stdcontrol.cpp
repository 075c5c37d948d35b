#include "platform/stdcontrol.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/errors.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {

// Passes mouse moves and left clicks on an inner part of a window to the control.
class InnerFilter final : public QObject
{
public:
    InnerFilter(QWidget* inner, Control* control, std::shared_ptr<bool> alive)
        : QObject(inner), control_(control), alive_(std::move(alive))
    {
        inner->installEventFilter(this);
        inner->setMouseTracking(true);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!*alive_)
            return false;
        const auto type = event->type();
        if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
            return false;
        auto* me = static_cast<QMouseEvent*>(event);
        QWidget* outer = WidgetOf(control_);
        auto* inner = static_cast<QWidget*>(parent());
        if (!outer)
            return false;
        const QPoint p = inner->mapTo(outer, me->position().toPoint());
        DispatchScope scope;
        CallGuarded([&] {
            if (type == QEvent::MouseMove) {
                control_->MouseMove(ShiftStateOf(me->modifiers(), me->buttons()), p.x(), p.y());
            } else if (me->button() == Qt::LeftButton) {
                if (type == QEvent::MouseButtonPress)
                    control_->MouseDown(mbLeft, ShiftStateOf(me->modifiers(), me->buttons()), p.x(), p.y());
                else
                    control_->MouseUp(mbLeft, ShiftStateOf(me->modifiers(), me->buttons()), p.x(), p.y());
            }
        });
        return false;
    }

private:
    Control* control_;
    std::shared_ptr<bool> alive_;
};

} // namespace

struct StdControl::Data
{
    bool activationClicks = false;
    bool inActivation = false;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

StdControl::StdControl(Control* parent, QWidget* widget) : Control(parent, widget), std_(std::make_unique<Data>())
{
    Impl& d = Internal();
    d.paintsItself = false;
    widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    widget->setFocusPolicy(Qt::StrongFocus);
    SetTabStop(true);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        WatchInnerWidget(area->viewport());
    FontChanged();
}

StdControl::~StdControl()
{
    *std_->alive = false;
}

void StdControl::UseActivationClicks()
{
    std_->activationClicks = true;
}

void StdControl::ActivationClick()
{
    std_->inActivation = true;
    struct Reset
    {
        bool& flag;
        std::shared_ptr<bool> alive;
        ~Reset()
        {
            if (*alive)
                flag = false;
        }
    } reset{std_->inActivation, std_->alive};
    Click();
}

void StdControl::Click()
{
    if (std_->activationClicks && !std_->inActivation)
        return;
    Control::Click();
}

void StdControl::WatchInnerWidget(QWidget* inner)
{
    if (inner)
        new InnerFilter(inner, this, std_->alive); // a child of inner
}

void StdControl::FontChanged()
{
    QWidget* w = WidgetOf(this);
    if (!w)
        return;
    w->setFont(QFontOf(platform::Font(Font())));
    ColorChanged();
}

void StdControl::ColorChanged()
{
    QWidget* w = WidgetOf(this);
    if (!w)
        return;
    QPalette p = w->palette();
    const QColor back = QtColor(Color());
    const QColor text = QtColor(FontColor());
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, back);
        p.setColor(group, QPalette::Window, back);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::ButtonText, text);
    }
    p.setColor(QPalette::Disabled, QPalette::Base, back);
    p.setColor(QPalette::Disabled, QPalette::Window, back);
    w->setPalette(p);
    w->update();
}

void StdControl::PaintTo(Canvas& canvas, int x, int y)
{
    QWidget* w = WidgetOf(this);
    if (!w || Width() <= 0 || Height() <= 0)
        return;
    Bitmap picture(Width(), Height(), PixelFormat::pf32bit);
    QImage& image = QImageOf(picture);
    image.fill(QtColor(Color()));
    w->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    canvas.Draw(x, y, picture);
}

} // namespace platform
