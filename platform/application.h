#pragma once
// The application object: one per process, created first in main(), owning the platform underneath.

#include <memory>

namespace platform {

class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    // Runs the message loop until Terminate() (or the main form closes); returns the exit code.
    int Run();
    void Terminate(int exitCode = 0);
    bool Terminated() const;
    // Handles every pending message, then returns.
    void ProcessMessages();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace platform
