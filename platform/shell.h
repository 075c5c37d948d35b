#pragma once
// Handing addresses to the desktop and starting programs. Nothing here goes through a shell command line:
// an address is one argument to the desktop's opener, a program is started from an argument vector.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens a web or mail address (as written) with the desktop's opener. Returns false when it could not.
    virtual bool OpenAddress(const std::string& address) = 0;
    // Starts a program (absolute path) with the given arguments, detached. Returns false when it could not.
    virtual bool StartProgram(const std::string& program, const std::vector<std::string>& args) = 0;
};

// The service in force; the default one uses xdg-open and direct process start.
ShellService& Shell();
// Replaces the service (tests record calls instead of starting programs); nullptr restores the default.
void SetShellService(std::unique_ptr<ShellService> service);

// The default opener's command: argv[0] of what OpenAddress runs ("xdg-open").
std::vector<std::string> OpenerCommand(const std::string& address);

// ShellExecute's "open" as the program uses it: a name that resolves to an executable file (relative names
// against the current folder; a ".exe" name also finds the same name without it) is started; anything else
// is handed to the desktop's opener. Results are not examined by callers; returns whether something started.
bool ShellExecuteA(const std::string& file);

}  // namespace platform
