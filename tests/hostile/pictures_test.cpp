// No picture crashes the engine: every picture of the test data (the PNG and GIF suites, valid and corrupt)
// and every picture crasher is read by both decoders — so each also meets input of the other kind —, loaded
// by the image loader in every transparency mode and drawn, under the sanitizers. The decoder tests compare
// the valid pictures with their references; this sweep only asks that nothing breaks.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/exercise_picture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Pictures()
{
    std::vector<std::string> files;
    const fs::path data(VEXA_TESTDATA_DIR);
    for (const char* folder : {"images", "crashers"})
        for (const auto& entry : fs::recursive_directory_iterator(data / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext == ".png" || ext == ".gif")
                files.push_back(fs::relative(entry.path(), data).string());
        }
    std::sort(files.begin(), files.end());
    return files;
}

// "images/gif-suite/animated/ref/animated_loop-0.png" → "gif_suite_animated_ref_animated_loop_0_png"
std::string CaseName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param.substr(info.param.find('/') + 1);
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

class HostilePicture : public testing::TestWithParam<std::string> {};

TEST_P(HostilePicture, DecodesLoadsAndDraws)
{
    const std::string bytes = platform::ReadFileString((fs::path(VEXA_TESTDATA_DIR) / GetParam()).string());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(vexatest::ExercisePicture(data, bytes.size()), "");
    // Cut short at every length class a reader meets: the signature, the header, the middle.
    for (std::size_t cut : {std::size_t(5), std::size_t(30), bytes.size() / 2})
        if (cut < bytes.size())
            EXPECT_EQ(vexatest::ExercisePicture(data, cut), "") << "cut at " << cut;
}

INSTANTIATE_TEST_SUITE_P(Suites, HostilePicture, testing::ValuesIn(Pictures()), CaseName);

}  // namespace
