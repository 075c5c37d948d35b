// Find in page on the real viewer control: matches selected in order, in both directions, going round the
// end once, scrolled into view, in preformatted text, and the find keys handed to the host.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/form.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "viewer/htmlviewer.h"

namespace {

namespace test = platform::test;

class FindTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 420, 320);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 400, 300);
        test::ShowAndActivate(*form_);
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
    }
    void Open(const std::string& html)
    {
        viewer_->OpenString(html, "");
        test::ProcessEvents();
    }

    std::unique_ptr<platform::Form> form_;
    THTMLViewer* viewer_ = nullptr;
};

TEST_F(FindTest, ForwardSelectsEachMatchThenGoesRoundOnce)
{
    Open("<p>Apple one</p><p>two apple</p><pre>three\n  APPLE pre</pre>");
    std::vector<int> starts;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(viewer_->FindEx(u"apple", false, false), TFindResult::Found) << i;
        EXPECT_EQ(viewer_->SelLength(), 5);
        EXPECT_EQ(viewer_->SelText(), i == 0 ? u"Apple" : i == 1 ? u"apple" : u"APPLE");
        starts.push_back(viewer_->SelStart());
    }
    EXPECT_LT(starts[0], starts[1]);
    EXPECT_LT(starts[1], starts[2]);
    EXPECT_EQ(viewer_->FindEx(u"apple", false, false), TFindResult::Wrapped);
    EXPECT_EQ(viewer_->SelStart(), starts[0]);

    // Matching case finds only the lower-case word, and finds it again after going round.
    EXPECT_EQ(viewer_->FindEx(u"apple", true, false), TFindResult::Found);
    EXPECT_EQ(viewer_->SelStart(), starts[1]);
    EXPECT_EQ(viewer_->FindEx(u"apple", true, false), TFindResult::Wrapped);
    EXPECT_EQ(viewer_->SelStart(), starts[1]);
}

TEST_F(FindTest, BackwardWalksMatchesInReverseAndGoesRoundFromTheStart)
{
    Open("<p>x cat y cat z cat</p>");
    ASSERT_EQ(viewer_->FindEx(u"cat", false, true), TFindResult::Found);  // no selection: from the end
    const int last = viewer_->SelStart();
    ASSERT_EQ(viewer_->FindEx(u"cat", false, true), TFindResult::Found);
    const int middle = viewer_->SelStart();
    ASSERT_EQ(viewer_->FindEx(u"cat", false, true), TFindResult::Found);
    const int first = viewer_->SelStart();
    EXPECT_LT(first, middle);
    EXPECT_LT(middle, last);
    EXPECT_EQ(viewer_->FindEx(u"cat", false, true), TFindResult::Wrapped);
    EXPECT_EQ(viewer_->SelStart(), last);
    // Forward from the last match goes round to the first.
    EXPECT_EQ(viewer_->FindEx(u"cat", false, false), TFindResult::Wrapped);
    EXPECT_EQ(viewer_->SelStart(), first);
}

TEST_F(FindTest, MatchFarDownIsScrolledIntoView)
{
    std::string html;
    for (int i = 0; i < 200; ++i)
        html += "<p>line " + std::to_string(i) + "</p>";
    html += "<p>needle here</p>";
    Open(html);
    ASSERT_EQ(viewer_->VScrollBarPosition(), 0);
    ASSERT_EQ(viewer_->FindEx(u"needle", false, false), TFindResult::Found);
    const int top = viewer_->VScrollBarPosition();
    EXPECT_GT(top, 1000);
    EXPECT_EQ(viewer_->SelText(), u"needle");
    // Back at the top: going round to the first line scrolls up again.
    ASSERT_EQ(viewer_->FindEx(u"line 0", false, false), TFindResult::Wrapped);
    EXPECT_LT(viewer_->VScrollBarPosition(), top);
}

TEST_F(FindTest, NothingToFindLeavesTheSelectionAlone)
{
    Open("<p>some text</p>");
    ASSERT_EQ(viewer_->FindEx(u"text", false, false), TFindResult::Found);
    const int start = viewer_->SelStart();
    EXPECT_EQ(viewer_->FindEx(u"", false, false), TFindResult::NotFound);
    EXPECT_EQ(viewer_->FindEx(std::u16string(10000, u'x'), false, false), TFindResult::NotFound);
    EXPECT_EQ(viewer_->FindEx(u"absent", true, true), TFindResult::NotFound);
    EXPECT_EQ(viewer_->SelStart(), start);
    EXPECT_EQ(viewer_->SelLength(), 4);
    Open("");
    EXPECT_EQ(viewer_->FindEx(u"text", false, false), TFindResult::NotFound);
}

TEST_F(FindTest, FindKeysAskTheHost)
{
    Open("<p>text</p>");
    std::vector<TFindRequest> requests;
    viewer_->OnFindRequest = [&](THTMLViewer*, TFindRequest r) { requests.push_back(r); };
    test::KeyStroke(*viewer_, 'F', platform::ssCtrl);
    test::KeyStroke(*viewer_, platform::VK_F3);
    test::KeyStroke(*viewer_, platform::VK_F3, platform::ssShift);
    test::KeyStroke(*viewer_, 'F');  // plain F is not a find key
    EXPECT_EQ(requests, (std::vector<TFindRequest>{TFindRequest::Open, TFindRequest::Next, TFindRequest::Previous}));
}

}  // namespace
