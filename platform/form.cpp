#include "platform/form.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/application.h"
#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {

std::vector<Form*>& FormRegistry()
{
    static std::vector<Form*> forms;
    return forms;
}

QWidget* MakeTopLevel()
{
    // Owned by the form (deleted through the deferred queue).
    return new QWidget(nullptr, Qt::Window);
}

class LoopModalService final : public ModalService
{
public:
    int RunModal(Form& form) override
    {
        // A handler inside the loop may free the form: watch for that rather than touch it.
        const std::weak_ptr<bool> alive = form.Internal().alive;
        QPointer<QWidget> w = WidgetOf(&form);
        if (w)
            w->setWindowModality(Qt::ApplicationModal);
        form.Show();
        Application* app = Application::Instance();
        int result = mrNone;
        while (!alive.expired() && (result = form.ModalResult()) == mrNone) {
            if (!app || app->Terminated() || !form.Visible()) {
                form.SetModalResult(mrCancel);
                result = mrCancel;
                break;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
        // Hidden before the modality goes: Qt keeps a visible window in its modal list otherwise, and
        // that would block every other window afterwards.
        if (!alive.expired())
            form.Hide();
        if (w)
            w->setWindowModality(Qt::NonModal);
        return alive.expired() ? mrCancel : result;
    }
};

std::unique_ptr<ModalService>& CustomModal()
{
    static std::unique_ptr<ModalService> service;
    return service;
}

} // namespace

struct Form::FormData
{
    std::u16string caption;
    TPosition position = poDesigned;
    bool placed = false;
    bool modal = false;
    int modalResult = mrNone;
    Control* active = nullptr;
    std::weak_ptr<bool> activeAlive;
};

Form::Form(Control* owner) : Control(nullptr, MakeTopLevel()), f(std::make_unique<FormData>())
{
    Internal().visible = false;
    Internal().closeRequest = [this] { Close(); };
    SetOwner(owner);
    FormRegistry().push_back(this);
}

Form::~Form()
{
    auto& forms = FormRegistry();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Application* app = Application::Instance())
        app->FormDestroyed(this);
}

const std::u16string& Form::Caption() const
{
    return f->caption;
}

void Form::SetCaption(const std::u16string& caption)
{
    f->caption = caption;
    if (QWidget* w = WidgetOf(this))
        w->setWindowTitle(QString::fromStdU16String(caption));
}

bool Form::Borderless() const
{
    QWidget* w = WidgetOf(this);
    return w && (w->windowFlags() & Qt::FramelessWindowHint);
}

void Form::SetBorderless(bool value)
{
    QWidget* w = WidgetOf(this);
    if (!w || Borderless() == value)
        return;
    const bool shown = w->isVisible();
    w->setWindowFlag(Qt::FramelessWindowHint, value);
    if (shown)
        w->show();
}

void Form::SetClientSize(int width, int height)
{
    SetBounds(Left(), Top(), width, height);
}
TPosition Form::Position() const
{
    return f->position;
}
void Form::SetPosition(TPosition position)
{
    f->position = position;
}

void Form::SetVisible(bool value)
{
    QWidget* w = WidgetOf(this);
    if (!w)
        return;
    if (value && !f->placed) {
        f->placed = true;
        QRect area;
        if (f->position == poScreenCenter) {
            if (QScreen* screen = QGuiApplication::primaryScreen())
                area = screen->availableGeometry();
        } else if (f->position == poMainFormCenter || f->position == poOwnerFormCenter) {
            Control* over = f->position == poOwnerFormCenter ? Owner() : nullptr;
            if (!over && Application::Instance())
                over = Application::Instance()->MainForm();
            if (over && over != this)
                area = QRect(over->Left(), over->Top(), over->Width(), over->Height());
            else if (QScreen* screen = QGuiApplication::primaryScreen())
                area = screen->availableGeometry();
        }
        if (!area.isEmpty())
            SetBounds(area.left() + (area.width() - Width()) / 2, area.top() + (area.height() - Height()) / 2,
                      Width(), Height());
    }
    const bool was = Visible();
    Control::SetVisible(value);
    if (value) {
        w->raise();
        w->activateWindow();
        if (!was && OnShow)
            OnShow(this);
    } else if (was && OnHide) {
        OnHide(this);
    }
}

bool Form::CanFocus() const
{
    return Visible() && Enabled();
}

void Form::Close()
{
    if (f->modal) {
        f->modalResult = mrCancel;
        return;
    }
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    Application* app = Application::Instance();
    if (app && app->MainForm() == this) {
        Hide();
        app->Terminate();
    } else if (action == caMinimize) {
        Minimize();
    } else if (action == caFree && app && app->OwnsForm(this)) {
        app->ReleaseForm(this);
    } else {
        Hide();
    }
}

int Form::ShowModal()
{
    AliveToken alive(*this);
    f->modal = true;
    f->modalResult = mrNone;
    int result = ModalForms().RunModal(*this);
    if (!alive)
        return result;
    f->modal = false;
    if (f->modalResult != mrNone)
        result = f->modalResult;
    Hide();
    return result;
}

bool Form::Modal() const
{
    return f->modal;
}
int Form::ModalResult() const
{
    return f->modalResult;
}
void Form::SetModalResult(int result)
{
    f->modalResult = result;
}

void Form::Minimize()
{
    if (QWidget* w = WidgetOf(this))
        if (w->isVisible())
            w->showMinimized();
}

bool Form::Minimized() const
{
    QWidget* w = WidgetOf(this);
    return w && (w->windowState() & Qt::WindowMinimized);
}

Control* Form::ActiveControl() const
{
    if (QWidget* w = WidgetOf(this)) {
        if (QWidget* focus = w->focusWidget())
            for (QWidget* x = focus; x && x != w; x = x->parentWidget())
                if (Control* c = ControlOfWidget(x))
                    return c;
    }
    return f->activeAlive.expired() ? nullptr : f->active;
}

void Form::SetActiveControl(Control* control)
{
    f->active = control;
    f->activeAlive = control ? control->Internal().alive : std::weak_ptr<bool>();
    if (control && Visible() && control->CanFocus())
        control->SetFocus();
}

void Form::DoCreate()
{
    CallGuarded([this] {
        if (OnCreate)
            OnCreate(this);
    });
}

ModalService& ModalForms()
{
    static LoopModalService standard;
    if (auto& custom = CustomModal())
        return *custom;
    return standard;
}

std::unique_ptr<ModalService> SetModalService(std::unique_ptr<ModalService> service)
{
    auto old = std::move(CustomModal());
    CustomModal() = std::move(service);
    return old;
}

std::vector<Form*> AllForms()
{
    return FormRegistry();
}

} // namespace platform
