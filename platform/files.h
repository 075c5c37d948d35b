#pragma once
// Files named the way pages name them: "\" or "/" separators and Windows letter case.
// Names are 8-bit strings in the system code page (see codepage.h); they are converted to UTF-8 before
// they reach the file system. When a name does not exist exactly, each path component is matched
// ignoring letter case, so that page trees written on Windows work unchanged.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The real path (UTF-8, "/" separators) of an existing regular file or folder for the name, found with the
// case-insensitive fallback; empty when there is none.
std::string ResolvePath(const std::string& name);

// True for an existing regular file (folders and devices are not documents).
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);

// An absolute name: relative names against the current folder, "." and ".." folded, "\" kept as the
// separator style of the input (names with "\" stay with "\"). A leading "\" means the root.
std::string ExpandFileName(const std::string& name);
// The folder part of a name including its trailing separator ("a\b\c.htm" -> "a\b\"); "" when none.
std::string ExtractFilePath(const std::string& name);
std::string ExtractFileName(const std::string& name);
// The extension including its dot, "" when none.
std::string ExtractFileExt(const std::string& name);

// The whole file; throws EFOpenError ("Cannot open file \"name\"") when it does not exist or is no
// regular file, EInOutError when reading fails.
std::vector<std::uint8_t> ReadFileBytes(const std::string& name);
std::string ReadFileString(const std::string& name);

// The current folder, as an 8-bit system-code-page name with "/" separators.
std::string GetCurrentDir();
bool SetCurrentDir(const std::string& name);
// The folder the running program lies in.
std::string ProgramDir();

}  // namespace platform
