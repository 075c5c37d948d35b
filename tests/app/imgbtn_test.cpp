// The image button under real mouse events: which picture shows in each state, nudging, the click, and
// the plain-picture mode.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/imgbtn.h"
#include "platform/form.h"
#include "platform/testing.h"

namespace {

namespace test = platform::test;
using platform::Bitmap;
using platform::TColor;

const TColor kNormal = platform::RGB(200, 0, 0);
const TColor kHover = platform::RGB(0, 200, 0);
const TColor kDown = platform::RGB(0, 0, 200);

Bitmap Solid(TColor c)
{
    Bitmap b(40, 20, platform::PixelFormat::pf32bit);
    b.Fill(c);
    return b;
}

class ImgBtnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = std::make_unique<platform::Form>();
        form_->SetClientSize(200, 100);
        btn_ = &form_->Add<TImgBtn>();
        btn_->SetBounds(50, 30, 40, 20);
        btn_->SetPic(Solid(kNormal));
        btn_->SetPicUp(Solid(kHover));
        btn_->SetPicDown(Solid(kDown));
        btn_->OnClick = [this](platform::Control*) { ++clicks_; };
        for (TOnMouseEvent* e : {&btn_->OnMouseEnter, &btn_->OnMouseLeave, &btn_->OnMouseDown, &btn_->OnMouseUp})
            *e = [this](const TMouseMessage& m) { messages_.push_back(m.Msg); };
        test::ShowAndActivate(*form_);
        test::ProcessEvents();
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
    }
    // The colour the button shows now.
    TColor Shown() const { return btn_->Picture().Pixel(5, 5); }
    // Moves the mouse to a point of the form (form coordinates).
    void MoveOnForm(int x, int y, bool pressed = false)
    {
        test::MouseMove(*btn_, x - btn_->Left(), y - btn_->Top(), pressed ? platform::ssLeft : 0);
    }

    std::unique_ptr<platform::Form> form_;
    TImgBtn* btn_ = nullptr;
    int clicks_ = 0;
    std::vector<unsigned> messages_;
};

TEST_F(ImgBtnTest, HoverPressReleaseAndLeaveWalkThroughThePictures)
{
    EXPECT_EQ(Shown(), kNormal);
    MoveOnForm(60, 40);
    EXPECT_TRUE(btn_->Hovering());
    EXPECT_EQ(Shown(), kHover);
    test::MousePress(*btn_, 10, 10);
    EXPECT_TRUE(btn_->Pressed());
    EXPECT_EQ(Shown(), kDown);
    test::MouseRelease(*btn_, 10, 10);
    EXPECT_FALSE(btn_->Pressed());
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(Shown(), kHover);  // still over it
    MoveOnForm(5, 5);
    EXPECT_FALSE(btn_->Hovering());
    EXPECT_EQ(Shown(), kNormal);
    EXPECT_EQ(clicks_, 1);
    EXPECT_EQ(messages_, (std::vector<unsigned>{CM_MOUSEENTER, WM_LBUTTONDOWN, WM_LBUTTONUP, CM_MOUSELEAVE}));
}

TEST_F(ImgBtnTest, LeavingWhilePressedShowsNormalAndReenteringShowsPressed)
{
    MoveOnForm(60, 40);
    test::MousePress(*btn_, 10, 10);
    MoveOnForm(150, 80, true);
    EXPECT_TRUE(btn_->Pressed());
    EXPECT_FALSE(btn_->Hovering());
    EXPECT_EQ(Shown(), kNormal);
    MoveOnForm(60, 40, true);
    EXPECT_EQ(Shown(), kDown);
    // Released outside: no click, and the normal picture stays.
    MoveOnForm(150, 80, true);
    test::MouseRelease(*btn_, 100, 50);
    EXPECT_EQ(clicks_, 0);
    EXPECT_FALSE(btn_->Pressed());
    EXPECT_EQ(Shown(), kNormal);
}

TEST_F(ImgBtnTest, NudgesWhilePressedAndReturnsExactly)
{
    btn_->SetNeedDown(true);
    btn_->SetNeedRight(true);
    MoveOnForm(60, 40);
    test::MousePress(*btn_, 10, 10);
    EXPECT_EQ(btn_->Left(), 51);
    EXPECT_EQ(btn_->Top(), 31);
    test::MouseRelease(*btn_, 9, 9);  // the same screen point, one pixel in from the moved button
    EXPECT_EQ(btn_->Left(), 50);
    EXPECT_EQ(btn_->Top(), 30);
    EXPECT_EQ(clicks_, 1);
    // Pressing twice in a row does not walk the button away.
    test::MousePress(*btn_, 10, 10);
    test::MouseRelease(*btn_, 9, 9);
    EXPECT_EQ(btn_->Left(), 50);
    EXPECT_EQ(btn_->Top(), 30);
}

TEST_F(ImgBtnTest, UnsupportedButtonIsAPlainPictureThatStillClicks)
{
    btn_->SetSupported(false);
    btn_->SetNeedDown(true);
    MoveOnForm(60, 40);
    EXPECT_EQ(Shown(), kNormal);
    test::MousePress(*btn_, 10, 10);
    EXPECT_EQ(Shown(), kNormal);
    EXPECT_EQ(btn_->Top(), 30);
    test::MouseRelease(*btn_, 10, 10);
    EXPECT_EQ(Shown(), kNormal);
    EXPECT_EQ(clicks_, 1);
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(btn_->Pressed());
}

TEST_F(ImgBtnTest, NewHoverPictureShowsOnlyAtTheNextTransition)
{
    MoveOnForm(60, 40);
    const TColor other = platform::RGB(90, 90, 0);
    btn_->SetPicUp(Solid(other));
    EXPECT_EQ(Shown(), kHover);
    test::MousePress(*btn_, 10, 10);
    test::MouseRelease(*btn_, 10, 10);
    EXPECT_EQ(Shown(), other);
}

// A click handler that makes the hover picture the normal one keeps it after the mouse has gone:
// the window marks its selected year that way.
TEST_F(ImgBtnTest, ClickHandlerReplacingPicSurvivesTheRelease)
{
    btn_->OnClick = [this](platform::Control*) { btn_->SetPic(btn_->PicUp()); };
    MoveOnForm(60, 40);
    test::MousePress(*btn_, 10, 10);
    test::MouseRelease(*btn_, 10, 10);
    EXPECT_EQ(Shown(), kHover);
    MoveOnForm(5, 5);
    EXPECT_EQ(Shown(), kHover);
    EXPECT_EQ(btn_->Pic().Pixel(5, 5), kHover);
}

TEST_F(ImgBtnTest, SettingPicShowsItAndKeepsACopy)
{
    Bitmap p = Solid(platform::RGB(1, 2, 3));
    btn_->SetPic(p);
    p.Fill(platform::RGB(9, 9, 9));
    EXPECT_EQ(Shown(), platform::RGB(1, 2, 3));
    EXPECT_EQ(btn_->Pic().Pixel(0, 0), platform::RGB(1, 2, 3));
    // The pressed and hover pictures do not show when set.
    btn_->SetPicDown(Solid(platform::RGB(4, 4, 4)));
    EXPECT_EQ(Shown(), platform::RGB(1, 2, 3));
}

}  // namespace
