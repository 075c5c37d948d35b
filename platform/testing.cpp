#include "platform/testing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include "platform/errors.h"
#include "platform/qt/graphics_private.h"
#include "platform/qt/widget_control.h"

namespace platform::test {

namespace {

Qt::MouseButtons g_held = Qt::NoButton;
QPointer<QWidget> g_directGrabber; // emulated grab for windows that are not shown

Qt::MouseButton QtButton(TMouseButton b)
{
    switch (b) {
    case mbRight:
        return Qt::RightButton;
    case mbMiddle:
        return Qt::MiddleButton;
    default:
        return Qt::LeftButton;
    }
}

Qt::KeyboardModifiers QtModifiers(TShiftState s)
{
    Qt::KeyboardModifiers m;
    if (s & ssShift)
        m |= Qt::ShiftModifier;
    if (s & ssCtrl)
        m |= Qt::ControlModifier;
    if (s & ssAlt)
        m |= Qt::AltModifier;
    return m;
}

QWindow* ShownWindowOf(QWidget* w)
{
    QWidget* top = w->window();
    if (!top->isVisible())
        return nullptr;
    return top->windowHandle();
}

void SendMouse(Control& control, QEvent::Type type, int x, int y, Qt::MouseButton button, TShiftState shift)
{
    QWidget* w = WidgetOf(&control);
    if (!w)
        return;
    const QPoint local(x, y);
    const QPoint global = w->mapToGlobal(local);
    const Qt::KeyboardModifiers mods = QtModifiers(shift);
    if (QWindow* window = ShownWindowOf(w)) {
        const QPointF inWindow(w->mapTo(w->window(), local));
        QMouseEvent event(type, inWindow, inWindow, QPointF(global), button, g_held, mods);
        QApplication::sendEvent(window, &event);
    } else {
        QWidget* target = g_directGrabber ? g_directGrabber.data() : w;
        const QPointF at(target->mapFromGlobal(global));
        if (type == QEvent::MouseButtonPress)
            g_directGrabber = target;
        QMouseEvent event(type, at, at, QPointF(global), button, g_held, mods);
        QApplication::sendEvent(target, &event);
        if (g_held == Qt::NoButton)
            g_directGrabber = nullptr;
    }
}

} // namespace

void MousePress(Control& control, int x, int y, TMouseButton button, TShiftState shift)
{
    g_held |= QtButton(button);
    SendMouse(control, QEvent::MouseButtonPress, x, y, QtButton(button), shift);
}

void MouseMove(Control& control, int x, int y, TShiftState shift)
{
    SendMouse(control, QEvent::MouseMove, x, y, Qt::NoButton, shift);
}

void MouseRelease(Control& control, int x, int y, TMouseButton button, TShiftState shift)
{
    g_held &= ~QtButton(button);
    SendMouse(control, QEvent::MouseButtonRelease, x, y, QtButton(button), shift);
}

void MouseClick(Control& control, int x, int y, TMouseButton button, TShiftState shift)
{
    MousePress(control, x, y, button, shift);
    MouseRelease(control, x, y, button, shift);
}

void MouseDoubleClick(Control& control, int x, int y)
{
    MousePress(control, x, y);
    MouseRelease(control, x, y);
    g_held |= Qt::LeftButton;
    SendMouse(control, QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, 0);
    g_held &= ~Qt::LeftButton;
    // The window system's release after a double click goes to the widget that took it.
    if (QWidget* w = WidgetOf(&control)) {
        const QPointF local(x, y);
        QMouseEvent release(QEvent::MouseButtonRelease, local, local, QPointF(w->mapToGlobal(QPoint(x, y))),
                            Qt::LeftButton, g_held, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }
}

void MouseWheel(Control& control, int x, int y, int delta, TShiftState shift)
{
    QWidget* w = WidgetOf(&control);
    if (!w)
        return;
    const QPoint local(x, y);
    const QPointF global(w->mapToGlobal(local));
    if (QWindow* window = ShownWindowOf(w)) {
        const QPointF inWindow(w->mapTo(w->window(), local));
        QWheelEvent event(inWindow, global, QPoint(), QPoint(0, delta), g_held, QtModifiers(shift),
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window, &event);
    } else {
        QWheelEvent event(QPointF(local), global, QPoint(), QPoint(0, delta), g_held, QtModifiers(shift),
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &event);
    }
}

void MouseEnter(Control& control)
{
    MouseMove(control, control.Width() / 2, control.Height() / 2);
}

void MouseLeave(Control& control)
{
    if (QWidget* w = WidgetOf(&control)) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(w, &leave);
    }
}

void KeyDown(Control& control, int virtualKey, TShiftState shift, char16_t text)
{
    if (QWidget* w = WidgetOf(&control)) {
        const QString typed = text ? QString(QChar(text)) : QString();
        QKeyEvent event(QEvent::KeyPress, QtKeyOfVirtualKey(virtualKey), QtModifiers(shift), typed);
        QApplication::sendEvent(w, &event);
    }
}

void KeyUp(Control& control, int virtualKey, TShiftState shift)
{
    if (QWidget* w = WidgetOf(&control)) {
        QKeyEvent event(QEvent::KeyRelease, QtKeyOfVirtualKey(virtualKey), QtModifiers(shift));
        QApplication::sendEvent(w, &event);
    }
}

void KeyStroke(Control& control, int virtualKey, TShiftState shift, char16_t text)
{
    KeyDown(control, virtualKey, shift, text);
    KeyUp(control, virtualKey, shift);
}

void ShowAndActivate(Form& form)
{
    form.Show();
    if (QWidget* w = WidgetOf(&form)) {
        w->activateWindow();
        QApplication::setActiveWindow(w);
    }
    ProcessEvents();
}

void ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RunUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() >= timeoutMs)
            return condition();
        RunEventLoop(5);
    }
    return true;
}

void FlushPaint(Control& control)
{
    control.Update();
    ProcessEvents();
}

Bitmap Grab(Control& control)
{
    QWidget* w = WidgetOf(&control);
    if (!w)
        return Bitmap();
    // What the window shows (its back buffer, pending paints done) when it is on screen; else the
    // control drawn afresh.
    control.Update();
    QWidget* top = w->window();
    QImage image;
    if (top->isVisible() && top->screen()) {
        const QPoint at = w->mapTo(top, QPoint(0, 0));
        image = top->screen()->grabWindow(top->winId(), at.x(), at.y(), w->width(), w->height()).toImage();
    }
    if (image.isNull() || image.size() != w->size())
        image = w->grab().toImage();
    return BitmapFromQImage(image.convertToFormat(QImage::Format_RGB32));
}

bool GrabToPng(Control& control, const std::string& fileName)
{
    QWidget* w = WidgetOf(&control);
    return w && w->grab().toImage().save(QString::fromStdString(fileName), "PNG");
}

// ---- recorders

struct ErrorRecorder::Impl
{
    std::vector<std::string> messages;
    std::unique_ptr<ErrorReportService> previous;
};

namespace {

class ForwardingErrorReport final : public ErrorReportService
{
public:
    explicit ForwardingErrorReport(std::shared_ptr<std::vector<std::string>*> sink) : sink_(std::move(sink))
    {
    }
    void Report(const std::string& message) override
    {
        if (*sink_)
            (*sink_)->push_back(message);
    }

private:
    std::shared_ptr<std::vector<std::string>*> sink_;
};

} // namespace

ErrorRecorder::ErrorRecorder() : d(std::make_shared<Impl>())
{
    auto sink = std::make_shared<std::vector<std::string>*>(&d->messages);
    d->previous = SetErrorReportService(std::make_unique<ForwardingErrorReport>(sink));
}

ErrorRecorder::~ErrorRecorder()
{
    SetErrorReportService(std::move(d->previous));
}

const std::vector<std::string>& ErrorRecorder::Messages() const
{
    return d->messages;
}

struct MessageBoxRecorder::Impl
{
    std::vector<MessageBoxRequest> requests;
    int answer = IDOK;
    std::unique_ptr<MessageBoxService> previous;
};

namespace {

class RecordingBoxes final : public MessageBoxService
{
public:
    RecordingBoxes(std::vector<MessageBoxRequest>* requests, int* answer)
        : requests_(requests), answer_(answer)
    {
    }
    int Show(const MessageBoxRequest& request) override
    {
        requests_->push_back(request);
        return *answer_;
    }

private:
    std::vector<MessageBoxRequest>* requests_;
    int* answer_;
};

} // namespace

MessageBoxRecorder::MessageBoxRecorder() : d(std::make_shared<Impl>())
{
    d->previous = SetMessageBoxService(std::make_unique<RecordingBoxes>(&d->requests, &d->answer));
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxService(std::move(d->previous));
}

const std::vector<MessageBoxRequest>& MessageBoxRecorder::Requests() const
{
    return d->requests;
}
void MessageBoxRecorder::SetAnswer(int answer)
{
    d->answer = answer;
}

struct ModalRecorder::Impl
{
    std::vector<Form*> forms;
    std::function<int(Form&)> answer;
    std::unique_ptr<ModalService> previous;
};

namespace {

class AnsweringModal final : public ModalService
{
public:
    explicit AnsweringModal(ModalRecorder::Impl* impl) : impl_(impl) {}
    int RunModal(Form& form) override;

private:
    ModalRecorder::Impl* impl_;
};

} // namespace

int AnsweringModal::RunModal(Form& form)
{
    impl_->forms.push_back(&form);
    form.Show();
    int result = mrCancel;
    if (impl_->answer)
        result = impl_->answer(form);
    return form.ModalResult() != mrNone ? form.ModalResult() : result;
}

ModalRecorder::ModalRecorder(std::function<int(Form&)> answer) : d(std::make_shared<Impl>())
{
    d->answer = std::move(answer);
    d->previous = SetModalService(std::make_unique<AnsweringModal>(d.get()));
}

ModalRecorder::~ModalRecorder()
{
    SetModalService(std::move(d->previous));
}

const std::vector<Form*>& ModalRecorder::Forms() const
{
    return d->forms;
}
void ModalRecorder::SetAnswer(std::function<int(Form&)> answer)
{
    d->answer = std::move(answer);
}

} // namespace platform::test
