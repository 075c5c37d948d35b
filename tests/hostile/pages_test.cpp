// No page crashes the engine: every hostile input of the seed collection and every crasher found so far is
// built, formatted at the widths 0, 1, 200 and 800, painted, hit-tested, searched and copied under the
// sanitizers. One test case per file, named after it, so a failure names the file to replay.

#include <gtest/gtest.h>

#include "tests/hostile/datafiles.h"
#include "tests/support/exercise_page.h"

namespace {

class HostilePage : public testing::TestWithParam<std::string> {};

TEST_P(HostilePage, BuildsFormatsPaintsAndAnswersHitTests)
{
    vexatest::ExercisePage(hostile::ReadDataFile(GetParam()), {0, 1, 200, 800});
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostilePage, testing::ValuesIn(hostile::DataFiles("html-seeds", {".html"})),
                         hostile::CaseName);
INSTANTIATE_TEST_SUITE_P(Crashers, HostilePage, testing::ValuesIn(hostile::DataFiles("crashers", {".html"})),
                         hostile::CaseName);

}  // namespace
