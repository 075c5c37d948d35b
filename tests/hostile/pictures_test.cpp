// No picture crashes the engine: every picture of the test data (the PNG and GIF suites, valid and corrupt)
// and every picture crasher is read by both decoders — so each also meets input of the other kind —, loaded
// by the image loader in every transparency mode and drawn, under the sanitizers. The decoder tests compare
// the valid pictures with their references; this sweep only asks that nothing breaks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/hostile/datafiles.h"
#include "tests/support/exercise_picture.h"

namespace {

class HostilePicture : public testing::TestWithParam<std::string> {};

TEST_P(HostilePicture, DecodesLoadsAndDraws)
{
    const std::string bytes = hostile::ReadDataFile(GetParam());
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    EXPECT_EQ(vexatest::ExercisePicture(data, bytes.size()), "");
    // Cut short at every length class a reader meets: the signature, the header, the middle.
    for (std::size_t cut : {std::size_t(5), std::size_t(30), bytes.size() / 2})
        if (cut < bytes.size())
            EXPECT_EQ(vexatest::ExercisePicture(data, cut), "") << "cut at " << cut;
}

std::vector<std::string> Pictures()
{
    std::vector<std::string> files = hostile::DataFiles("images", {".png", ".gif"});
    for (std::string& crasher : hostile::DataFiles("crashers", {".png", ".gif"}))
        files.push_back(crasher);
    return files;
}

INSTANTIATE_TEST_SUITE_P(Suites, HostilePicture, testing::ValuesIn(Pictures()), hostile::CaseName);

}  // namespace
