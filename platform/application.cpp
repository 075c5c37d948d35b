#include "platform/application.h"

#include <QApplication>
#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {
Application* g_instance = nullptr;

// Qt wants a private runtime folder and names its default on every start when the session has none (as
// on a headless machine or under a service). Give it one of our own: /tmp/vexa-runtime-UID, owned by us
// and closed to others, or a fresh one when that name is taken by someone else.
void EnsureRuntimeFolder()
{
    const char* set = std::getenv("XDG_RUNTIME_DIR");
    if (set && *set)
        return;
    const uid_t uid = getuid();
    std::string folder = "/tmp/vexa-runtime-" + std::to_string(uid);
    struct stat st {};
    bool usable = false;
    if (mkdir(folder.c_str(), 0700) == 0)
        usable = true;
    else if (lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
        usable = chmod(folder.c_str(), 0700) == 0;
    if (!usable) {
        std::string pattern = "/tmp/vexa-runtime-XXXXXX";
        if (!mkdtemp(pattern.data()))
            return;  // Qt falls back to its own default and says so
        folder = pattern;
    }
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

QtMessageHandler g_previousHandler = nullptr;

// The headless platforms report every window operation they cannot carry out ("This plugin does not
// support raise()"): notices about the missing screen, not faults. They are dropped; every other message
// goes on to Qt's own handler.
void FilterHeadlessNotices(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support"))) {
        const QString platform = QGuiApplication::platformName();
        if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
            return;
    }
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

bool PrepareEnvironment()
{
    EnsureRuntimeFolder();
    static const bool installed = [] {
        g_previousHandler = qInstallMessageHandler(FilterHeadlessNotices);
        return true;
    }();
    return installed;
}
}

struct Application::Impl
{
    explicit Impl(int& argc, char** argv) : prepared(PrepareEnvironment()), app(argc, argv) {}
    bool prepared;
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
