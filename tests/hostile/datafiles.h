#pragma once
// The files of the hostile sweeps: listed from a folder of the test data, one test case each, named after
// the file so that a failure names what to replay.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/files.h"

namespace hostile {

// Paths relative to the test data folder, sorted, of the files below folder (recursively) whose extension
// is one of extensions.
inline std::vector<std::string> DataFiles(const std::string& folder, std::initializer_list<const char*> extensions)
{
    namespace fs = std::filesystem;
    const fs::path data(VEXA_TESTDATA_DIR);
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(data / folder)) {
        const std::string ext = entry.path().extension().string();
        if (std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
            files.push_back(fs::relative(entry.path(), data).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The bytes of a file of the test data.
inline std::string ReadDataFile(const std::string& relative)
{
    return platform::ReadFileString((std::filesystem::path(VEXA_TESTDATA_DIR) / relative).string());
}

// "images/gif-suite/valid/static_transparent.gif" → "gif_suite_valid_static_transparent_gif"
inline std::string CaseName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param.substr(info.param.find('/') + 1);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

}  // namespace hostile
