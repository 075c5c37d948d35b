// Scroll bars keep the Windows model: 32-bit values, largest position Max - Page + 1, one update for all
// four values, change notification only on real change, disabled-not-hidden on request.
#include <gtest/gtest.h>

#include <vector>

#include "platform/form.h"
#include "platform/scrollbar.h"
#include "platform/sysvalues.h"
#include "platform/testing.h"

using namespace platform;

namespace {

struct ScrollBarFixture : ::testing::Test
{
    Form form;
    ScrollBar* bar = nullptr;
    int changes = 0;
    void SetUp() override
    {
        form.SetBounds(0, 0, 200, 300);
        bar = &form.Add<ScrollBar>(sbVertical);
        bar->SetBounds(180, 0, bar->Width(), 300);
        bar->OnChange = [this](Control*) { ++changes; };
    }
};

TEST_F(ScrollBarFixture, LargestPositionIsMaxMinusPagePlusOne)
{
    // A document 5,000,000 pixels high in a 400-pixel view: positions beyond 16 bits.
    ASSERT_TRUE(bar->SetScrollInfo(0, 5000000, 401, 4999999));
    EXPECT_EQ(bar->MaxPosition(), 5000000 - 401 + 1);
    EXPECT_EQ(bar->Position(), 4999600) << "clamped to the largest position";
    bar->SetPosition(-5);
    EXPECT_EQ(bar->Position(), 0);
    bar->SetPosition(3000000);
    EXPECT_EQ(bar->GetScrollInfo().nPos, 3000000);

    // No page: the largest position is Max itself; a page beyond the range is cut to it.
    bar->SetScrollInfo(10, 20, 0, 99);
    EXPECT_EQ(bar->Position(), 20);
    bar->SetScrollInfo(10, 20, 50, 15);
    EXPECT_EQ(bar->PageSize(), 11);
    EXPECT_EQ(bar->Position(), 10);
    // Max below Min is taken as Min.
    bar->SetScrollInfo(5, 1, 0, 3);
    EXPECT_EQ(bar->Max(), 5);
    EXPECT_EQ(bar->Position(), 5);
}

TEST_F(ScrollBarFixture, UnchangedValuesAreNotSetAgainAndOnlyRealMovesNotify)
{
    ASSERT_TRUE(bar->SetScrollInfo(0, 1000, 101, 50));
    const int updates = bar->ScrollInfoUpdates();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(bar->SetScrollInfo(0, 1000, 101, 50));
    EXPECT_EQ(bar->ScrollInfoUpdates(), updates);
    // A new range with the same position: one update, no change notification.
    EXPECT_TRUE(bar->SetScrollInfo(0, 2000, 101, 50));
    EXPECT_EQ(changes, 1);
    bar->SetPosition(50);
    EXPECT_EQ(changes, 1);
    bar->SetPosition(60);
    EXPECT_EQ(changes, 2);
    // A range that shrinks under the position moves it: that is a change.
    bar->SetScrollInfo(0, 100, 101, 60);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(changes, 3);
}

TEST_F(ScrollBarFixture, DisableNoScrollShowsADisabledBarWhenNothingCanScroll)
{
    form.Show();
    bar->SetScrollInfo(0, 300, 301, 0, true);
    EXPECT_TRUE(bar->Visible());
    EXPECT_FALSE(bar->Enabled());
    bar->SetScrollInfo(0, 900, 301, 0, true);
    EXPECT_TRUE(bar->Enabled());
    // Without the flag a bar that cannot scroll stays as it is.
    bar->SetScrollInfo(0, 300, 301, 0, false);
    EXPECT_TRUE(bar->Enabled());
    // Only the flag changes: that is still an update.
    EXPECT_TRUE(bar->SetScrollInfo(0, 300, 301, 0, true));
    EXPECT_FALSE(bar->Enabled());
}

TEST_F(ScrollBarFixture, ScrollCodesMoveByLinesPagesTrackAndEnds)
{
    bar->SetScrollInfo(0, 1000000, 201, 500000);
    bar->SetSmallChange(16);
    bar->SetLargeChange(184);
    std::vector<int> codes;
    bar->OnScroll = [&](Control*, int code, int&) { codes.push_back(code); };
    bar->ScrollMessage(SB_LINEDOWN, 0);
    EXPECT_EQ(bar->Position(), 500016);
    bar->ScrollMessage(SB_LINEUP, 0);
    bar->ScrollMessage(SB_LINEUP, 0);
    EXPECT_EQ(bar->Position(), 499984);
    bar->ScrollMessage(SB_PAGEDOWN, 0);
    EXPECT_EQ(bar->Position(), 500168);
    bar->ScrollMessage(SB_PAGEUP, 0);
    EXPECT_EQ(bar->Position(), 499984);
    bar->ScrollMessage(SB_THUMBTRACK, 987654);
    EXPECT_EQ(bar->Position(), 987654);
    EXPECT_EQ(bar->GetScrollInfo().nTrackPos, 987654);
    bar->ScrollMessage(SB_BOTTOM, 0);
    EXPECT_EQ(bar->Position(), 1000000 - 200);
    bar->ScrollMessage(SB_LINEDOWN, 0);
    EXPECT_EQ(bar->Position(), 1000000 - 200) << "clamped at the end";
    bar->ScrollMessage(SB_ENDSCROLL, 0);
    EXPECT_EQ(bar->Position(), 1000000 - 200);
    bar->ScrollMessage(SB_TOP, 0);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(codes.size(), 10u);

    // The handler may change where the bar goes.
    bar->OnScroll = [](Control*, int, int& pos) { pos = 42; };
    bar->ScrollMessage(SB_PAGEDOWN, 0);
    EXPECT_EQ(bar->Position(), 42);
}

TEST_F(ScrollBarFixture, AClickOnTheTrackIsAPageStepDecidedByTheProgram)
{
    test::ShowAndActivate(form);
    bar->SetScrollInfo(0, 10000, 300, 0);
    bar->SetLargeChange(284);
    std::vector<int> codes;
    bar->OnScroll = [&](Control*, int code, int&) { codes.push_back(code); };
    test::MouseClick(*bar, bar->Width() / 2, 200);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes[0], SB_PAGEDOWN);
    EXPECT_EQ(bar->Position(), 284) << "moved by LargeChange, not by the widget's page";
}

TEST_F(ScrollBarFixture, ThicknessComesFromTheSystemValues)
{
    EXPECT_EQ(bar->Width(), 17);
    auto& horizontal = form.Add<ScrollBar>();
    EXPECT_EQ(horizontal.Height(), 17);
    SystemValues wide = SysValues();
    wide.ScrollBarThickness = 21;
    const SystemValues old = SetSysValues(wide);
    auto& another = form.Add<ScrollBar>(sbVertical);
    SetSysValues(old);
    EXPECT_EQ(another.Width(), 21);
    // Turning a bar exchanges its sides.
    horizontal.SetKind(sbVertical);
    EXPECT_EQ(horizontal.Width(), 17);
}

} // namespace
