// No page crashes the engine: every hostile input of the seed collection and every crasher found so far is
// built, formatted at the widths 0, 1, 200 and 800, painted, hit-tested, searched and copied under the
// sanitizers. One test case per file, named after it, so a failure names the file to replay.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/exercise_page.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> PagesIn(const std::string& folder)
{
    std::vector<std::string> files;
    const fs::path dir = fs::path(VEXA_TESTDATA_DIR) / folder;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".html")
            files.push_back((fs::path(folder) / entry.path().filename()).string());
    std::sort(files.begin(), files.end());
    return files;
}

// "html-seeds/tables01-003.html" → "tables01_003"
std::string CaseName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = fs::path(info.param).stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class HostilePage : public testing::TestWithParam<std::string> {};

TEST_P(HostilePage, BuildsFormatsPaintsAndAnswersHitTests)
{
    const std::string html = platform::ReadFileString((fs::path(VEXA_TESTDATA_DIR) / GetParam()).string());
    vexatest::ExercisePage(html, {0, 1, 200, 800});
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostilePage, testing::ValuesIn(PagesIn("html-seeds")), CaseName);
INSTANTIATE_TEST_SUITE_P(Crashers, HostilePage, testing::ValuesIn(PagesIn("crashers")), CaseName);

}  // namespace
