#include "platform/shell.h"

#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/files.h"

namespace platform {

namespace {

QString ToQString(const std::string& utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

class DesktopShell : public ShellService {
public:
    bool OpenAddress(const std::string& address) override
    {
        // xdg-open takes a leading "-" for an option: such an address is not handed over at all.
        if (address.empty() || address[0] == '-')
            return false;
        std::vector<std::string> command = OpenerCommand(address);
        QStringList args;
        for (std::size_t i = 1; i < command.size(); ++i)
            args << ToQString(command[i]);
        return QProcess::startDetached(ToQString(command[0]), args);
    }

    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override
    {
        QStringList list;
        for (const std::string& a : args)
            list << ToQString(a);
        return QProcess::startDetached(ToQString(program), list);
    }
};

std::unique_ptr<ShellService>& Current()
{
    static std::unique_ptr<ShellService> service = std::make_unique<DesktopShell>();
    return service;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool EndsWithExe(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".exe";
}

// The absolute UTF-8 path of a file name relative to the current folder, "" when there is no such file.
std::string AbsoluteExisting(const std::string& name)
{
    if (!FileExists(name))
        return {};
    std::string path = ResolvePath(name);
    if (!path.empty() && path[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd))
            path = std::string(cwd) + "/" + path;
    }
    return path;
}

}  // namespace

ShellService& Shell() { return *Current(); }

void SetShellService(std::unique_ptr<ShellService> service)
{
    Current() = service ? std::move(service) : std::make_unique<DesktopShell>();
}

std::vector<std::string> OpenerCommand(const std::string& address) { return {"xdg-open", address}; }

bool ShellExecuteA(const std::string& file)
{
    if (file.empty())
        return false;
    std::string path = AbsoluteExisting(file);
    if (path.empty() && EndsWithExe(file))
        path = AbsoluteExisting(file.substr(0, file.size() - 4));
    if (!path.empty()) {
        if (IsExecutableFile(path))
            return Shell().StartProgram(path, {});
        return false;  // documents are shown by the viewer, never handed to other programs
    }
    if (EndsWithExe(file))
        return false;  // a program that is not there: nothing happens
    // Only web and mail addresses go to the desktop's opener; anything else is dropped like a failing call.
    std::size_t colon = file.find(':');
    if (colon == std::string::npos)
        return false;
    std::string scheme = file.substr(0, colon);
    for (char& c : scheme)
        c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (scheme != "http" && scheme != "https" && scheme != "mailto")
        return false;
    return Shell().OpenAddress(SystemToUtf8(file));
}

}  // namespace platform
