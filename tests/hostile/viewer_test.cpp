// The crasher pages in the real viewer control, where links get focus windows and tab stops: each page is
// opened, tabbed through, hovered over and opened again, so a link run or section freed while the
// document still lists it shows up under the sanitizers.

#include <gtest/gtest.h>

#include <string>

#include "platform/form.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "tests/hostile/datafiles.h"
#include "viewer/htmlviewer.h"

namespace test = platform::test;

namespace {

class CrasherInViewer : public testing::TestWithParam<std::string> {};

TEST_P(CrasherInViewer, TabsHoversAndReopens)
{
    const std::string html = hostile::ReadDataFile(GetParam());
    platform::Form form;
    form.SetBounds(0, 0, 320, 240);
    THTMLViewer& viewer = form.Add<THTMLViewer>();
    viewer.SetBounds(0, 0, 300, 220);
    test::ShowAndActivate(form);
    for (int round = 0; round < 2; ++round) {
        viewer.OpenString(html, "");
        test::ProcessEvents();
        test::FlushPaint(viewer);
        for (int i = 0; i < 4; ++i)
            test::KeyStroke(viewer, platform::VK_TAB, i % 2 ? platform::ssShift : 0);
        for (int y = 2; y < 220; y += 15)
            for (int x = 2; x < 300; x += 40)
                test::MouseMove(viewer, x, y);
        test::ProcessEvents();
    }
}

INSTANTIATE_TEST_SUITE_P(Crashers, CrasherInViewer, testing::ValuesIn(hostile::DataFiles("crashers", {".html"})),
                         hostile::CaseName);

}  // namespace
