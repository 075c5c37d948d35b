// File names as pages write them, mapped onto the Linux file system: "\" separators, Windows letter case and
// 8-bit names in the system code page are translated here and nowhere else.

#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/exception.h"

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string ToSlashes(std::string name)
{
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

bool StatPath(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    std::u16string wa = Utf8ToWide(a);
    std::u16string wb = Utf8ToWide(b);
    if (wa.size() != wb.size())
        return false;
    for (std::size_t i = 0; i < wa.size(); ++i)
        if (WideLower(wa[i]) != WideLower(wb[i]))
            return false;
    return true;
}

// Walks the path component by component; where a component is missing, a unique entry of the folder that
// matches it ignoring letter case is taken instead (an exact match always wins).
std::string ResolveCaseInsensitive(const std::string& path)
{
    std::string result;
    std::size_t i = 0;
    if (!path.empty() && path[0] == '/') {
        result = "/";
        i = 1;
    }
    while (i <= path.size()) {
        std::size_t next = path.find('/', i);
        if (next == std::string::npos)
            next = path.size();
        std::string part = path.substr(i, next - i);
        i = next + 1;
        if (part.empty() || part == ".") {
            if (next >= path.size())
                break;
            continue;
        }
        std::string folder = result.empty() ? "." : result;
        std::string candidate = result + part;
        struct stat st;
        if (part != ".." && !StatPath(candidate, st)) {
            DIR* dir = ::opendir(folder.c_str());
            if (!dir)
                return {};
            std::string found;
            int matches = 0;
            while (dirent* entry = ::readdir(dir)) {
                if (EqualIgnoringCase(entry->d_name, part)) {
                    found = entry->d_name;
                    ++matches;
                }
            }
            ::closedir(dir);
            if (matches != 1)
                return {};
            candidate = result + found;
        }
        result = candidate;
        if (next < path.size())
            result += '/';
    }
    return result;
}

std::string ResolveOne(const std::string& utf8Name)
{
    if (utf8Name.empty())
        return {};
    std::string path = ToSlashes(utf8Name);
    struct stat st;
    if (StatPath(path, st))
        return path;
    return ResolveCaseInsensitive(path);
}

}  // namespace

std::string ResolvePath(const std::string& name)
{
    // The program's names are system-code-page text; a name that does not resolve that way may already be
    // UTF-8 (typed on a command line), so its raw bytes are tried as well.
    std::string utf8 = SystemToUtf8(name);
    std::string found = ResolveOne(utf8);
    if (found.empty() && utf8 != name)
        found = ResolveOne(name);
    return found;
}

bool FileExists(const std::string& name)
{
    std::string path = ResolvePath(name);
    struct stat st;
    return !path.empty() && StatPath(path, st) && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& name)
{
    std::string path = ResolvePath(name);
    struct stat st;
    return !path.empty() && StatPath(path, st) && S_ISDIR(st.st_mode);
}

std::string ExpandFileName(const std::string& name)
{
    const bool backslashes = name.find('\\') != std::string::npos;
    const char sep = backslashes ? '\\' : '/';
    std::string full;
    if (!name.empty() && IsSeparator(name[0])) {
        full = name;
    } else {
        std::string cwd = GetCurrentDir();
        if (backslashes)
            for (char& c : cwd)
                if (c == '/')
                    c = '\\';
        full = cwd + sep + name;
    }
    // Fold "." and ".." components.
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= full.size()) {
        std::size_t next = i;
        while (next < full.size() && !IsSeparator(full[next]))
            ++next;
        std::string part = full.substr(i, next - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = next + 1;
    }
    std::string out;
    for (const std::string& part : parts)
        out += sep + part;
    if (out.empty())
        out = std::string(1, sep);
    if (!full.empty() && IsSeparator(full.back()) && out.back() != sep)
        out += sep;
    return out;
}

std::string ExtractFilePath(const std::string& name)
{
    std::size_t pos = name.find_last_of("\\/:");
    return pos == std::string::npos ? std::string() : name.substr(0, pos + 1);
}

std::string ExtractFileName(const std::string& name)
{
    std::size_t pos = name.find_last_of("\\/:");
    return pos == std::string::npos ? name : name.substr(pos + 1);
}

std::string ExtractFileExt(const std::string& name)
{
    std::size_t pos = name.find_last_of(".\\/:");
    if (pos == std::string::npos || name[pos] != '.')
        return {};
    return name.substr(pos);
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& name)
{
    std::string path = ResolvePath(name);
    struct stat st;
    if (path.empty() || !StatPath(path, st) || !S_ISREG(st.st_mode))
        throw EFOpenError("Cannot open file \"" + name + "\"");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError("Cannot open file \"" + name + "\". " + std::strerror(errno));
    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int err = errno;
            ::close(fd);
            throw EInOutError("Read error on \"" + name + "\": " + std::strerror(err));
        }
        if (n == 0)
            break;
        data.insert(data.end(), buffer, buffer + n);
    }
    ::close(fd);
    return data;
}

std::string ReadFileString(const std::string& name)
{
    std::vector<std::uint8_t> bytes = ReadFileBytes(name);
    return std::string(bytes.begin(), bytes.end());
}

std::string GetCurrentDir()
{
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer))
        return "/";
    return Utf8ToSystem(buffer);
}

bool SetCurrentDir(const std::string& name)
{
    std::string path = ResolvePath(name);
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string ProgramDir()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return GetCurrentDir();
    buffer[n] = 0;
    std::string exe = Utf8ToSystem(buffer);
    std::size_t pos = exe.find_last_of('/');
    return pos == std::string::npos ? GetCurrentDir() : exe.substr(0, pos);
}

}  // namespace platform
