// The viewer control with tables: links, hover, clicks, selection and search inside a nested table work
// as they do in the flow.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "viewer/htmlviewer.h"

namespace {

namespace test = platform::test;

class TablesViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 520, 320);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 500, 300);
        test::ShowAndActivate(*form_);
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
    }
    // The document point just inside the first character of a text, after a paint.
    bool PointOf(const std::u16string& text, int& x, int& y)
    {
        const int pos = viewer_->SectionList().FindText(0, text, true);
        platform::Bitmap measure(1, 1);
        platform::Canvas canvas(measure);
        return pos >= 0 && viewer_->SectionList().CursorPoint(&canvas, pos, x, y);
    }

    std::unique_ptr<platform::Form> form_;
    THTMLViewer* viewer_ = nullptr;
};

const char* const NestedPage =
    "<p>Above</p>"
    "<table border=1><tr><td>one<td>"
    "<table border=1><tr><td>two<td>"
    "<table border=1 bgcolor=yellow><tr><td><a href=\"deep.html\">deeplink</a> deepword</table>"
    "</table></table><p>Below</p>";

TEST_F(TablesViewerTest, LinksInsideANestedTableHoverAndClick)
{
    viewer_->OpenString(NestedPage, "");
    viewer_->Repaint();
    test::ProcessEvents();
    int x = 0, y = 0;
    ASSERT_TRUE(PointOf(u"deeplink", x, y));
    std::vector<std::string> clicks;
    viewer_->OnHotSpotClick = [&](THTMLViewer*, const std::string& src, bool& handled) {
        clicks.push_back(src);
        handled = true;
    };
    auto& area = viewer_->PaintPanel();
    test::MouseMove(area, x + 12, y + 8);
    EXPECT_EQ(viewer_->HoverUrl(), "deep.html");
    EXPECT_EQ(area.Cursor(), platform::HandCursor);
    EXPECT_EQ(viewer_->LinkText(), u"deeplink");
    test::MouseClick(area, x + 12, y + 8);
    test::ProcessEvents();
    EXPECT_EQ(clicks, (std::vector<std::string>{"deep.html"}));

    // Off the link, in the same cell: no link, no hand.
    int wx = 0, wy = 0;
    ASSERT_TRUE(PointOf(u"deepword", wx, wy));
    test::MouseMove(area, wx + 12, wy + 8);
    EXPECT_EQ(viewer_->HoverUrl(), "");
    EXPECT_NE(area.Cursor(), platform::HandCursor);
}

TEST_F(TablesViewerTest, SelectionAndSearchReachIntoNestedCells)
{
    viewer_->OpenString(NestedPage, "");
    viewer_->Repaint();
    test::ProcessEvents();
    auto& area = viewer_->PaintPanel();

    // A double click selects a word inside the innermost table.
    int x = 0, y = 0;
    ASSERT_TRUE(PointOf(u"deepword", x, y));
    test::MouseDoubleClick(area, x + 10, y + 8);
    EXPECT_EQ(viewer_->SelText(), u"deepword");

    // Dragging from the first cell to below the table selects the nested cells' text in order.
    int ox = 0, oy = 0, bx = 0, by = 0;
    ASSERT_TRUE(PointOf(u"one", ox, oy));
    ASSERT_TRUE(PointOf(u"Below", bx, by));
    test::MousePress(area, ox + 1, oy + 8);
    test::MouseMove(area, bx + 20, by + 8, platform::ssLeft);
    test::MouseRelease(area, bx + 20, by + 8);
    test::ProcessEvents();
    const std::u16string text = viewer_->SelText();
    const auto one = text.find(u"one"), two = text.find(u"two"), deep = text.find(u"deeplink");
    ASSERT_NE(one, std::u16string::npos) << std::string(text.begin(), text.end());
    ASSERT_NE(two, std::u16string::npos);
    ASSERT_NE(deep, std::u16string::npos);
    EXPECT_LT(one, two);
    EXPECT_LT(two, deep);

    // Search forwards and backwards finds the same place.
    TSectionList& root = viewer_->SectionList();
    const int found = root.FindText(0, u"deepword", true);
    EXPECT_GE(found, 0);
    EXPECT_EQ(root.FindTextBackward(root.CharCount, u"deepword", true), found);
}

}  // namespace
