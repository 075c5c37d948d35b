#pragma once
// The application object: one per process, created first in main(), owning the platform underneath and
// the forms made with CreateForm. The first form so made is the main form: closing it ends the loop.

#include <memory>
#include <utility>
#include <vector>

#include "platform/form.h"

namespace platform {

class Application
{
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    // Makes a form owned by the application, raises its OnCreate (errors go to the standard error
    // report) and, for the first one, makes it the main form.
    template <class T, class... Args>
    T& CreateForm(Args&&... args)
    {
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *form;
        AddForm(std::move(form));
        return result;
    }

    Form* MainForm() const;
    void SetMainForm(Form* form);
    bool OwnsForm(const Form* form) const;
    // Frees an owned form when control is back in the loop (a form closing with caFree).
    void ReleaseForm(Form* form);
    // Called by every form as it goes.
    void FormDestroyed(Form* form);

    // Shows the main form and runs the message loop until Terminate() (or the main form closes);
    // returns the exit code.
    int Run();
    void Terminate(int exitCode = 0);
    bool Terminated() const;
    // Withdraws a Terminate() that no loop has acted on (many windows run one after another in tests).
    void CancelTerminate();
    // Handles every pending message, then returns.
    void ProcessMessages();
    // Minimises every visible top-level window.
    void Minimize();
    // Shows the exception being handled through the standard error report (use in a catch block).
    void HandleException();

private:
    void AddForm(std::unique_ptr<Form> form);

    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace platform
