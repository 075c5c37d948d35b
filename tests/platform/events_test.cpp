// Mouse, keyboard and focus events on real controls, delivered through the window as the window system
// delivers them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/control.h"
#include "platform/controls.h"
#include "platform/form.h"
#include "platform/image_control.h"
#include "platform/messages.h"
#include "platform/testing.h"

using namespace platform;

namespace {

// A form with two sibling controls side by side, shown and active.
struct EventsFixture : ::testing::Test
{
    std::vector<std::string> log;
    Form form;
    PaintBox* left = nullptr;
    PaintBox* right = nullptr;

    void SetUp() override
    {
        form.SetBorderless(true);
        form.SetBounds(0, 0, 300, 200);
        left = &form.Add<PaintBox>();
        left->SetBounds(10, 10, 100, 50);
        right = &form.Add<PaintBox>();
        right->SetBounds(150, 10, 100, 50);
        test::ShowAndActivate(form);
        // The pointer starts over the form, outside both controls.
        test::MouseMove(form, 280, 180);
        test::MouseLeave(*left);
        test::MouseLeave(*right);
    }

    void Record(Control& c, const std::string& prefix)
    {
        c.OnMouseDown = [this, prefix](Control*, TMouseButton, TShiftState s, int x, int y) {
            log.push_back(prefix + "down" + ((s & ssDouble) ? "2" : "") + " " + std::to_string(x) + "," +
                          std::to_string(y));
        };
        c.OnMouseUp = [this, prefix](Control*, TMouseButton, TShiftState, int x, int y) {
            log.push_back(prefix + "up " + std::to_string(x) + "," + std::to_string(y));
        };
        c.OnClick = [this, prefix](Control*) { log.push_back(prefix + "click"); };
        c.OnDblClick = [this, prefix](Control*) { log.push_back(prefix + "dblclick"); };
        c.OnMouseEnter = [this, prefix](Control*) { log.push_back(prefix + "enter"); };
        c.OnMouseLeave = [this, prefix](Control*) { log.push_back(prefix + "leave"); };
    }

    int Count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
};

TEST_F(EventsFixture, ClickOnlyWhenReleasedOverTheControl)
{
    Record(*left, "");
    test::MouseClick(*left, 5, 6);
    EXPECT_EQ(Count("click"), 1);
    // Click comes inside the up-handling, before OnMouseUp.
    const auto click = std::find(log.begin(), log.end(), "click");
    const auto up = std::find(log.begin(), log.end(), "up 5,6");
    ASSERT_NE(up, log.end());
    EXPECT_LT(click - log.begin(), up - log.begin());

    log.clear();
    test::MousePress(*left, 5, 6);
    test::MouseMove(*left, 150, 6); // over the sibling
    test::MouseRelease(*left, 150, 6);
    EXPECT_EQ(Count("click"), 0);
    EXPECT_EQ(Count("up 150,6"), 1) << "the pressed control keeps the mouse and sees the release";

    // A press that began on another control does not click this one.
    log.clear();
    Record(*right, "r-");
    test::MousePress(*right, 5, 5);
    test::MouseMove(*right, -100, 5);
    test::MouseRelease(*right, -100, 5);
    EXPECT_EQ(Count("click"), 0);
    EXPECT_EQ(Count("r-click"), 0);
}

TEST_F(EventsFixture, CaptureReportsPositionsOutsideTheControl)
{
    std::vector<Point> moves;
    left->OnMouseMove = [&](Control*, TShiftState s, int x, int y) {
        if (s & ssLeft)
            moves.push_back(Point{x, y});
    };
    test::MousePress(*left, 50, 25);
    test::MouseMove(*left, 50, -30);
    test::MouseMove(*left, 50, 120);
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    test::MouseRelease(*left, 50, 120);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0], (Point{50, -30}));
    EXPECT_EQ(moves[1], (Point{50, 120}));
}

TEST_F(EventsFixture, EnterAndLeaveAreReportedWhileTheButtonIsHeld)
{
    Record(*left, "");
    test::MouseMove(*left, 20, 20);
    EXPECT_EQ(log, (std::vector<std::string>{"enter"}));
    test::MousePress(*left, 20, 20);
    test::MouseMove(*left, 20, 70); // out, button held
    test::MouseMove(*left, 20, 80);
    test::MouseMove(*left, 20, 30);  // back in
    test::MouseMove(*left, 200, 30); // out again
    test::MouseRelease(*left, 200, 30);
    test::ProcessEvents();
    EXPECT_EQ(Count("enter"), 2);
    EXPECT_EQ(Count("leave"), 2) << "no second leave after the release outside";
    EXPECT_EQ(Count("click"), 0);
    const std::vector<std::string> order(log.begin(), log.begin() + 4);
    EXPECT_EQ(order, (std::vector<std::string>{"enter", "down 20,20", "leave", "enter"}));
}

TEST_F(EventsFixture, DoubleClickIsOneClickThenADoubleMarkedPress)
{
    Record(*left, "");
    test::MouseDoubleClick(*left, 7, 8);
    const std::vector<std::string> expected{"enter",    "down 7,8",  "click", "up 7,8",
                                            "dblclick", "down2 7,8", "up 7,8"};
    EXPECT_EQ(log, expected);
}

TEST_F(EventsFixture, WheelGoesToTheParentWhenNotHandledAndCountsWholeNotches)
{
    std::vector<int> childDeltas, parentDeltas;
    bool handle = false;
    left->OnMouseWheel = [&](Control*, TShiftState, int delta, Point, bool& handled) {
        childDeltas.push_back(delta);
        handled = handle;
    };
    form.OnMouseWheel = [&](Control*, TShiftState, int delta, Point, bool& handled) {
        parentDeltas.push_back(delta);
        handled = true;
    };
    test::MouseWheel(*left, 10, 10, 120);
    EXPECT_EQ(childDeltas, std::vector<int>{120});
    EXPECT_EQ(parentDeltas, std::vector<int>{120});

    handle = true;
    childDeltas.clear();
    parentDeltas.clear();
    test::MouseWheel(*left, 10, 10, -240);
    // A touch pad's small steps add up to notches.
    test::MouseWheel(*left, 10, 10, 50);
    test::MouseWheel(*left, 10, 10, 50);
    EXPECT_EQ(childDeltas, std::vector<int>{-240});
    test::MouseWheel(*left, 10, 10, 50);
    EXPECT_EQ(childDeltas, (std::vector<int>{-240, 120}));
    EXPECT_TRUE(parentDeltas.empty());
}

TEST_F(EventsFixture, KeysArriveAsVirtualKeyCodesWithTheirCharacters)
{
    left->SetTabStop(true);
    left->SetFocus();
    std::vector<int> downs;
    std::u16string typed;
    TShiftState lastShift = 0;
    left->OnKeyDown = [&](Control*, int& key, TShiftState s) {
        downs.push_back(key);
        lastShift = s;
    };
    left->OnKeyPress = [&](Control*, char16_t& c) { typed += c; };
    test::KeyStroke(*left, VK_PRIOR);
    test::KeyStroke(*left, VK_NEXT);
    test::KeyStroke(*left, VK_END);
    test::KeyStroke(*left, VK_HOME);
    test::KeyStroke(*left, VK_LEFT);
    test::KeyStroke(*left, VK_UP);
    test::KeyStroke(*left, VK_RIGHT);
    test::KeyStroke(*left, VK_DOWN);
    test::KeyStroke(*left, VK_RETURN, 0, u'\r');
    test::KeyStroke(*left, 'A', ssShift, u'A');
    EXPECT_EQ(downs, (std::vector<int>{33, 34, 35, 36, 37, 38, 39, 40, 13, 'A'}));
    EXPECT_EQ(lastShift, ssShift);
    EXPECT_EQ(typed, u"\rA");
}

TEST_F(EventsFixture, EnterAndExitFollowTheFocusBetweenControls)
{
    auto& a = form.Add<TabFocusControl>();
    auto& b = form.Add<TabFocusControl>();
    EXPECT_EQ(a.Left(), -4000);
    EXPECT_TRUE(a.CanFocus()) << "parked out of view, still focusable";
    std::vector<std::string> events;
    a.OnEnter = [&](Control*) { events.push_back("a enter"); };
    a.OnExit = [&](Control*) { events.push_back("a exit"); };
    b.OnEnter = [&](Control*) { events.push_back("b enter"); };
    a.SetFocus();
    EXPECT_TRUE(a.Focused());
    b.SetFocus();
    test::ProcessEvents();
    EXPECT_EQ(events, (std::vector<std::string>{"a enter", "a exit", "b enter"}));
    EXPECT_EQ(form.ActiveControl(), &b);
}

TEST_F(EventsFixture, AnExceptionInAHandlerIsReportedAndTheNextEventIsHandled)
{
    test::ErrorRecorder errors;
    int clicks = 0;
    left->OnClick = [&](Control*) {
        ++clicks;
        if (clicks == 1)
            throw std::runtime_error("Can't locate file: Info\\2001\\about2001.html");
    };
    left->OnMouseDown = [&](Control*, TMouseButton, TShiftState, int, int) {
        if (clicks == 1)
            throw std::logic_error("second");
    };
    test::MouseClick(*left, 5, 5);
    ASSERT_EQ(errors.Messages().size(), 1u);
    EXPECT_EQ(errors.Messages()[0], "Can't locate file: Info\\2001\\about2001.html");
    test::MouseClick(*left, 5, 5);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(errors.Messages().size(), 2u);
    EXPECT_EQ(errors.Messages()[1], "second");
}

// A control that notes its destruction.
struct Tracked : PaintBox
{
    Tracked(Control* parent, bool* destroyed) : PaintBox(parent), destroyed_(destroyed) {}
    ~Tracked() override { *destroyed_ = true; }
    bool* destroyed_;
};

TEST_F(EventsFixture, AClickHandlerMayHandItsOwnControlOverForDeletion)
{
    bool destroyed = false;
    auto victim = std::make_unique<Tracked>(&form, &destroyed);
    victim->SetBounds(10, 100, 50, 50);
    Control* raw = victim.get();
    int ups = 0;
    raw->OnMouseUp = [&](Control*, TMouseButton, TShiftState, int, int) { ++ups; };
    raw->OnClick = [&](Control*) { DeferDelete(std::move(victim)); };
    test::MouseClick(*raw, 5, 5);
    EXPECT_FALSE(destroyed) << "kept until control returns to the loop";
    EXPECT_EQ(ups, 1);
    test::ProcessEvents();
    EXPECT_TRUE(destroyed);
    // The place where it was takes events again without touching it.
    test::MouseClick(form, 20, 110);
}

TEST_F(EventsFixture, AMessagePumpInsideTheHandlerDoesNotFreeTheControlYet)
{
    bool destroyed = false;
    auto victim = std::make_unique<Tracked>(&form, &destroyed);
    victim->SetBounds(10, 100, 50, 50);
    Control* raw = victim.get();
    bool aliveAfterPump = false;
    raw->OnClick = [&](Control* sender) {
        DeferDelete(std::move(victim));
        test::ProcessEvents(); // an auto-scroll loop pumps messages like this
        aliveAfterPump = !destroyed;
        sender->SetLeft(20); // the handler still uses its control
    };
    test::MouseClick(*raw, 5, 5);
    EXPECT_TRUE(aliveAfterPump);
    test::ProcessEvents();
    EXPECT_TRUE(destroyed);
}

TEST_F(EventsFixture, TabMovesTheFocusInTabOrder)
{
    auto& a = form.Add<TabFocusControl>();
    auto& b = form.Add<TabFocusControl>();
    auto& c = form.Add<TabFocusControl>();
    EXPECT_LT(a.TabOrder(), b.TabOrder()) << "new controls come last";
    EXPECT_LT(b.TabOrder(), c.TabOrder());
    c.SetTabOrder(0); // c, ..., a, b
    EXPECT_EQ(c.TabOrder(), 0);
    EXPECT_EQ(a.TabOrder() + 1, b.TabOrder());
    c.SetFocus();
    test::KeyStroke(c, VK_TAB);
    EXPECT_TRUE(a.Focused());
    test::KeyStroke(a, VK_TAB);
    EXPECT_TRUE(b.Focused());
}

TEST_F(EventsFixture, AControlFreedOutrightInItsClickHandlerIsNotTouchedAfterwards)
{
    bool destroyed = false;
    auto victim = std::make_unique<Tracked>(&form, &destroyed);
    victim->SetBounds(10, 100, 50, 50);
    Control* raw = victim.get();
    bool upRaised = false;
    raw->OnMouseUp = [&](Control*, TMouseButton, TShiftState, int, int) { upRaised = true; };
    raw->OnClick = [&](Control*) { victim.reset(); };
    test::MouseClick(*raw, 5, 5);
    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(upRaised);
    test::ProcessEvents();
}

// A skinned push button in the way the program builds one on the picture control: it follows enter,
// leave, press and release, and nudges itself while pressed.
struct SkinButton : Image
{
    explicit SkinButton(Control* parent) : Image(parent) {}
    void MouseEnter() override
    {
        hovering = true;
        shown = pressed ? "down" : "up";
        Image::MouseEnter();
    }
    void MouseLeave() override
    {
        hovering = false;
        shown = "normal";
        Image::MouseLeave();
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override
    {
        Image::MouseDown(b, s, x, y);
        pressed = true;
        if (hovering)
            shown = "down";
        savedLeft = Left();
        savedTop = Top();
        SetBounds(savedLeft + 1, savedTop + 1, Width(), Height());
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override
    {
        Image::MouseUp(b, s, x, y); // the click comes in here
        pressed = false;
        SetBounds(savedLeft, savedTop, Width(), Height());
        if (hovering)
            shown = "up";
    }
    bool hovering = false;
    bool pressed = false;
    int savedLeft = 0, savedTop = 0;
    std::string shown = "normal";
};

TEST_F(EventsFixture, AButtonOnThePictureControlFollowsHoverPressAndRelease)
{
    auto& button = form.Add<SkinButton>();
    button.SetBounds(26, 100, 158, 25);
    std::string shownAtClick;
    int clicks = 0;
    button.OnClick = [&](Control*) {
        ++clicks;
        shownAtClick = button.shown;
    };
    test::MouseMove(button, 10, 10);
    EXPECT_EQ(button.shown, "up");
    test::MousePress(button, 10, 10);
    EXPECT_EQ(button.shown, "down");
    EXPECT_EQ(button.Left(), 27);
    EXPECT_EQ(button.Top(), 101);
    // Coordinates now count from the moved button.
    test::MouseMove(button, 9, 60);
    EXPECT_EQ(button.shown, "normal") << "leaving while pressed shows the normal picture";
    test::MouseMove(button, 9, 9);
    EXPECT_EQ(button.shown, "down") << "coming back while pressed shows the pressed picture";
    test::MouseRelease(button, 9, 9);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(shownAtClick, "down") << "the click runs before the button's own release handling";
    EXPECT_EQ(button.shown, "up");
    EXPECT_EQ(button.Left(), 26);
    EXPECT_EQ(button.Top(), 100);
}

TEST_F(EventsFixture, TheTopmostOfOverlappingControlsGetsTheMouse)
{
    auto& under = form.Add<PaintBox>();
    under.SetBounds(10, 100, 60, 60);
    auto& over = form.Add<PaintBox>();
    over.SetBounds(40, 100, 60, 60);
    int underClicks = 0, overClicks = 0;
    under.OnClick = [&](Control*) { ++underClicks; };
    over.OnClick = [&](Control*) { ++overClicks; };
    test::MouseClick(under, 45, 10); // in the overlap
    EXPECT_EQ(overClicks, 1);
    EXPECT_EQ(underClicks, 0);
    over.SendToBack();
    test::MouseClick(under, 45, 10);
    EXPECT_EQ(underClicks, 1);
    over.BringToFront();
    test::MouseClick(under, 45, 10);
    EXPECT_EQ(overClicks, 2);
    over.Hide();
    test::MouseClick(under, 45, 10);
    EXPECT_EQ(underClicks, 2);
    EXPECT_TRUE(under.Showing());
    EXPECT_FALSE(over.Showing());
}

TEST_F(EventsFixture, PictureControlTakesClicksButNotTheFocus)
{
    auto& image = form.Add<Image>();
    image.SetBounds(10, 100, 30, 30);
    int clicks = 0;
    image.OnClick = [&](Control*) { ++clicks; };
    test::MouseClick(image, 3, 3);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(image.CanFocus());
    EXPECT_FALSE(image.Focused());
}

} // namespace
