#include "platform/application.h"

#include <QApplication>

namespace platform {

namespace {
Application* g_instance = nullptr;
}

struct Application::Impl {
    explicit Impl(int& argc, char** argv) : app(argc, argv) {}
    QApplication app;
    bool terminated = false;
    int exitCode = 0;
};

Application::Application(int& argc, char** argv) : d(std::make_unique<Impl>(argc, argv))
{
    QApplication::setQuitOnLastWindowClosed(false);
    g_instance = this;
}

Application::~Application()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Application* Application::Instance() { return g_instance; }

int Application::Run()
{
    if (d->terminated)
        return d->exitCode;
    return QApplication::exec();
}

void Application::Terminate(int exitCode)
{
    d->terminated = true;
    d->exitCode = exitCode;
    QApplication::exit(exitCode);
}

bool Application::Terminated() const { return d->terminated; }

void Application::ProcessMessages() { QApplication::processEvents(); }

}  // namespace platform
