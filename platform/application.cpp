#include "platform/application.h"

#include <QApplication>
#include <algorithm>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {
Application* g_instance = nullptr;
}

struct Application::Impl
{
    explicit Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
    bool terminated = false;
    int exitCode = 0;
    Form* mainForm = nullptr;
    int running = 0; // nesting of Run()
    std::vector<std::unique_ptr<Form>> forms;
};

Application::Application(int& argc, char** argv) : d(std::make_unique<Impl>(argc, argv))
{
    QApplication::setQuitOnLastWindowClosed(false);
    g_instance = this;
}

Application::~Application()
{
    while (!d->forms.empty()) {
        std::unique_ptr<Form> last = std::move(d->forms.back());
        d->forms.pop_back();
        last.reset();
    }
    d->mainForm = nullptr;
    FlushDeferredDeletes();
    if (g_instance == this)
        g_instance = nullptr;
}

Application* Application::Instance()
{
    return g_instance;
}

void Application::AddForm(std::unique_ptr<Form> form)
{
    Form* raw = form.get();
    d->forms.push_back(std::move(form));
    if (!d->mainForm)
        d->mainForm = raw;
    raw->DoCreate();
}

Form* Application::MainForm() const
{
    return d->mainForm;
}
void Application::SetMainForm(Form* form)
{
    d->mainForm = form;
}

bool Application::OwnsForm(const Form* form) const
{
    return std::any_of(d->forms.begin(), d->forms.end(), [form](const auto& f) { return f.get() == form; });
}

void Application::ReleaseForm(Form* form)
{
    for (auto it = d->forms.begin(); it != d->forms.end(); ++it) {
        if (it->get() == form) {
            std::unique_ptr<Form> owned = std::move(*it);
            d->forms.erase(it);
            DeferDelete(std::move(owned));
            return;
        }
    }
}

void Application::FormDestroyed(Form* form)
{
    if (d->mainForm == form)
        d->mainForm = nullptr;
}

int Application::Run()
{
    if (d->mainForm && !d->mainForm->Visible() && !d->terminated)
        d->mainForm->Show();
    if (d->terminated)
        return d->exitCode;
    ++d->running;
    const int code = QApplication::exec();
    --d->running;
    return d->terminated ? d->exitCode : code;
}

void Application::Terminate(int exitCode)
{
    d->terminated = true;
    d->exitCode = exitCode;
    // Only a running loop is told to stop: Qt would otherwise refuse every loop started later.
    if (d->running > 0)
        QApplication::exit(exitCode);
}

bool Application::Terminated() const
{
    return d->terminated;
}

void Application::CancelTerminate()
{
    d->terminated = false;
    d->exitCode = 0;
}

void Application::ProcessMessages()
{
    QApplication::processEvents();
}

void Application::Minimize()
{
    for (Form* form : AllForms())
        if (form->Visible())
            form->Minimize();
}

void Application::HandleException()
{
    platform::HandleException();
}

} // namespace platform
