// The control tree: names and ownership, forms (placement, modal runs, closing), sizes, painting
// (ScrollWindow's strip, panels, pictures, labels), cursors and the error boundary around creation and
// paint.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/cursors.h"
#include "platform/form.h"
#include "platform/image_control.h"
#include "platform/label.h"
#include "platform/panel.h"
#include "platform/testing.h"
#include "platform/timer.h"

using namespace platform;

namespace {

struct Tracked : PaintBox
{
    Tracked(Control* parent, int* destroyed) : PaintBox(parent), destroyed_(destroyed) {}
    ~Tracked() override { ++*destroyed_; }
    int* destroyed_;
};

TEST(ControlTree, FindsOwnedControlsByNameIgnoringCase)
{
    Form form;
    for (int year : {0, 2000, 2006}) {
        auto& b = form.Add<PaintBox>();
        b.SetName("Btn" + std::to_string(year));
        b.SetTag(year);
    }
    ASSERT_NE(form.FindComponent("btn2000"), nullptr);
    EXPECT_EQ(form.FindComponent("Btn2000")->Tag(), 2000);
    EXPECT_EQ(form.FindComponent("Btn2001"), nullptr);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    // A control placed on a panel is the panel's, unless its owner is set to the form.
    auto& panel = form.Add<Panel>();
    auto& inner = panel.Add<PaintBox>();
    inner.SetName("Inner");
    EXPECT_EQ(form.FindComponent("Inner"), nullptr);
    inner.SetOwner(&form);
    EXPECT_EQ(form.FindComponent("Inner"), &inner);
    EXPECT_EQ(inner.ParentForm(), &form);
    EXPECT_TRUE(inner.HasParent(&form));
}

TEST(ControlTree, OwnedChildrenGoWithTheParentOthersSurviveIt)
{
    int destroyed = 0;
    std::unique_ptr<Tracked> survivor;
    {
        auto form = std::make_unique<Form>();
        auto& panel = form->Add<Panel>();
        panel.Add<Tracked>(&destroyed);
        survivor = std::make_unique<Tracked>(&panel, &destroyed);
        EXPECT_EQ(panel.ControlCount(), 2);
        form.reset();
    }
    EXPECT_EQ(destroyed, 1);
    ASSERT_TRUE(survivor);
    EXPECT_EQ(survivor->Parent(), nullptr);
    survivor->SetBounds(1, 2, 3, 4); // still usable
    EXPECT_EQ(survivor->Width(), 3);
    // Moving into another parent.
    Form other;
    survivor->SetParent(&other);
    EXPECT_EQ(other.ControlCount(), 1);
    EXPECT_EQ(survivor->Left(), 1);
    survivor.reset();
    EXPECT_EQ(other.ControlCount(), 0);
    test::ProcessEvents();
}

TEST(ControlTree, ResizeIsReportedForSizeChangesOnly)
{
    Form form;
    struct Sized : PaintBox
    {
        explicit Sized(Control* p) : PaintBox(p) { SetBounds(0, 0, 50, 50); }
    };
    auto& box = form.Add<Sized>();
    int resizes = 0;
    box.OnResize = [&](Control*) { ++resizes; };
    box.SetBounds(10, 10, 50, 50); // a move
    EXPECT_EQ(resizes, 0);
    box.SetWidth(60); // hidden form: reported at once all the same
    EXPECT_EQ(resizes, 1);
    form.Show();
    test::ProcessEvents();
    EXPECT_EQ(resizes, 1) << "showing is no size change";
    box.SetBounds(0, 0, 60, 70);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(box.ClientRect(), (Rect{0, 0, 60, 70}));
}

TEST(Forms, PlacedAtTheScreenCentreOrOverTheMainFormWhenFirstShown)
{
    Form main;
    main.SetBorderless(true);
    main.SetClientSize(400, 300);
    main.SetPosition(poScreenCenter);
    main.Show();
    const Point centre = main.ClientToScreen(Point{200, 150});
    Form dialog(&main);
    dialog.SetBorderless(true);
    dialog.SetClientSize(100, 80);
    dialog.SetPosition(poOwnerFormCenter);
    dialog.Show();
    EXPECT_EQ(dialog.ClientToScreen(Point{50, 40}), centre);
    EXPECT_EQ(main.Width(), 400);
    EXPECT_TRUE(main.Borderless());
    main.Hide();
    dialog.Hide();
}

TEST(Forms, ShowModalIsAnsweredThroughTheModalService)
{
    Form dialog;
    dialog.SetCaption(u"Вопрос");
    auto& yes = dialog.Add<PaintBox>();
    yes.SetBounds(16, 335, 101, 41);
    auto& no = dialog.Add<PaintBox>();
    no.SetBounds(133, 335, 101, 41);
    yes.OnClick = [&](Control*) { dialog.SetModalResult(mrYes); };
    no.OnClick = [&](Control*) { dialog.Close(); };
    dialog.SetClientSize(250, 400);
    {
        test::ModalRecorder modal([&](Form& f) {
            EXPECT_TRUE(f.Modal());
            EXPECT_TRUE(f.Visible());
            test::MouseClick(no, 10, 10);
            return mrNone;
        });
        EXPECT_EQ(dialog.ShowModal(), mrCancel) << "closing a modal form cancels it";
        ASSERT_EQ(modal.Forms().size(), 1u);
        EXPECT_EQ(modal.Forms()[0]->Caption(), u"Вопрос");
        EXPECT_FALSE(dialog.Visible()) << "hidden when the modal run ends";
        EXPECT_FALSE(dialog.Modal());

        modal.SetAnswer([&](Form&) {
            test::MouseClick(yes, 10, 10);
            return mrNone;
        });
        EXPECT_EQ(dialog.ShowModal(), mrYes);
        modal.SetAnswer([](Form&) { return mrNo; });
        EXPECT_EQ(dialog.ShowModal(), mrNo);
    }
}

TEST(Forms, TheStandardModalRunIsANestedLoopEndedByTheModalResult)
{
    Form dialog;
    Timer answer;
    answer.OnTimer = [&](Timer* t) {
        t->SetEnabled(false);
        EXPECT_TRUE(dialog.Visible());
        dialog.SetModalResult(mrNo);
    };
    answer.SetInterval(20);
    EXPECT_EQ(dialog.ShowModal(), mrNo);
    EXPECT_FALSE(dialog.Visible());
}

TEST(Forms, OnCloseDecidesAndCreationErrorsAreReported)
{
    test::ErrorRecorder errors;
    Form form;
    form.Show();
    TCloseAction answer = caNone;
    form.OnClose = [&](Control*, TCloseAction& action) {
        EXPECT_EQ(action, caHide);
        action = answer;
    };
    form.Close();
    EXPECT_TRUE(form.Visible());
    answer = caHide;
    form.Close();
    EXPECT_FALSE(form.Visible());

    Form broken;
    broken.OnCreate = [](Control*) { throw std::runtime_error("Can't locate file: Info\\about_game.html"); };
    broken.DoCreate();
    EXPECT_EQ(errors.Messages(), std::vector<std::string>{"Can't locate file: Info\\about_game.html"});
}

// Records the rectangles it is asked to paint; fills them with one colour.
struct Recorder : Control
{
    explicit Recorder(Control* parent) : Control(parent) {}
    void Paint(Canvas& canvas, const Rect& r) override
    {
        painted.push_back(r);
        canvas.FillRect(r, fill);
        if (OnPaint)
            OnPaint(this, canvas, r);
        if (fail)
            throw std::runtime_error("paint failed");
    }
    std::vector<Rect> painted;
    TColor fill = clWhite;
    bool fail = false;
};

struct PaintFixture : ::testing::Test
{
    Form form;
    Recorder* area = nullptr;
    void SetUp() override
    {
        form.SetBorderless(true);
        form.SetBounds(0, 0, 200, 200);
        area = &form.Add<Recorder>();
        area->SetBounds(10, 10, 120, 100);
        test::ShowAndActivate(form);
        test::FlushPaint(form);
        area->painted.clear();
    }
};

TEST_F(PaintFixture, ScrollWindowRepaintsOnlyTheUncoveredStrip)
{
    area->fill = clRed;
    area->Repaint();
    area->painted.clear();
    area->fill = clBlue;
    area->ScrollWindow(0, -30); // content moves up: the bottom 30 rows are new
    area->Update();
    test::ProcessEvents();
    ASSERT_FALSE(area->painted.empty());
    Rect all{};
    for (const Rect& r : area->painted)
        all = UnionRect(all, r);
    EXPECT_EQ(all, (Rect{0, 70, 120, 100}));
    const Bitmap shot = test::Grab(*area);
    EXPECT_EQ(shot.Pixel(60, 10), clRed) << "moved pixels are kept";
    EXPECT_EQ(shot.Pixel(60, 85), clBlue);
}

TEST_F(PaintFixture, RedrawOffHoldsPaintsUntilSwitchedOn)
{
    area->SetRedraw(false);
    area->Invalidate();
    test::FlushPaint(*area);
    EXPECT_TRUE(area->painted.empty());
    area->SetRedraw(true);
    test::FlushPaint(*area);
    EXPECT_FALSE(area->painted.empty());
}

TEST_F(PaintFixture, PaintGetsCanvasCoordinatesOfTheControlAndErrorsAreReported)
{
    test::ErrorRecorder errors;
    area->InvalidateRect(Rect{50, 40, 70, 60});
    test::FlushPaint(*area);
    ASSERT_EQ(area->painted.size(), 1u);
    EXPECT_EQ(area->painted[0], (Rect{50, 40, 70, 60}));
    area->fail = true;
    area->Invalidate();
    test::FlushPaint(*area);
    EXPECT_EQ(errors.Messages().size(), 1u);
    area->fail = false;
    area->Invalidate();
    test::FlushPaint(*area);
    EXPECT_EQ(errors.Messages().size(), 1u) << "later paints go on";
}

TEST_F(PaintFixture, ChildrenPlacedAndShownDuringPaintAppear)
{
    // Form controls of a page are placed while the page paints.
    auto& child = area->Add<Recorder>();
    child.fill = clRed;
    child.Hide();
    int passes = 0;
    area->OnPaint = [&](Control*, Canvas&, const Rect&) {
        ++passes;
        child.SetBounds(40, 30, 20, 20);
        child.Show();
    };
    area->fill = clWhite;
    area->Invalidate();
    test::FlushPaint(*area);
    test::FlushPaint(*area);
    const Bitmap shot = test::Grab(*area);
    EXPECT_EQ(shot.Pixel(child.Left() + 5, 35), clRed);
    EXPECT_LE(passes, 4) << "moving a child must not make painting run away";
}

TEST_F(PaintFixture, PanelsDrawBordersAndBevels)
{
    auto& panel = form.Add<Panel>();
    panel.SetBounds(140, 10, 40, 40);
    panel.SetColor(clWhite);
    panel.SetBevelOuter(bvLowered);
    panel.SetBevelWidth(2);
    Bitmap shot = test::Grab(panel);
    EXPECT_EQ(shot.Pixel(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(shot.Pixel(1, 20), ColorToRGB(clBtnShadow));
    EXPECT_EQ(shot.Pixel(39, 20), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(shot.Pixel(20, 38), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(shot.Pixel(20, 20), clWhite);

    panel.SetBevelOuter(bvNone);
    panel.SetBorderStyle(bsSingle);
    shot = test::Grab(panel);
    EXPECT_EQ(shot.Pixel(0, 20), clBlack);
    EXPECT_EQ(shot.Pixel(39, 39), clBlack);
    EXPECT_EQ(shot.Pixel(1, 1), clWhite);
    EXPECT_EQ(panel.ClientRect(), (Rect{0, 0, 38, 38}));
}

TEST_F(PaintFixture, PicturesShowAtNaturalSizeOverTheirParent)
{
    area->fill = clGreen;
    area->Repaint();
    auto& image = area->Add<Image>();
    image.SetBounds(10, 10, 40, 40);
    Bitmap picture(20, 10);
    picture.Fill(clRed);
    image.SetPicture(picture);
    test::FlushPaint(*area);
    const Bitmap shot = test::Grab(*area);
    EXPECT_EQ(shot.Pixel(15, 15), clRed);
    EXPECT_EQ(shot.Pixel(29, 19), clRed);
    EXPECT_EQ(shot.Pixel(31, 15), clGreen) << "outside the picture the parent shows";
    EXPECT_EQ(shot.Pixel(15, 25), clGreen);
}

TEST_F(PaintFixture, TransparentLabelsDrawTextOverTheirParent)
{
    area->fill = clWhite;
    area->Repaint();
    auto& label = area->Add<Label>();
    label.SetBounds(0, 0, 120, 20);
    LogFont font;
    font.Weight = FW_BOLD;
    label.SetFont(font);
    label.SetFontColor(RGB(128, 0, 0));
    label.SetAlignment(taCenter);
    label.SetTransparent(true);
    label.SetCaption(u"Об авторах");
    test::FlushPaint(*area);
    const Bitmap shot = test::Grab(*area);
    int textPixels = 0, otherPixels = 0, firstX = 1000, lastX = -1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) {
            const TColor c = shot.Pixel(x, y);
            if (c == clWhite)
                continue;
            if (GetGValue(c) < 0x80 && GetBValue(c) < 0x80 && GetRValue(c) >= 0x80 - 8) {
                ++textPixels;
                firstX = std::min(firstX, x);
                lastX = std::max(lastX, x);
            } else if (GetRValue(c) < 0x80) {
                ++otherPixels;
            }
        }
    EXPECT_GT(textPixels, 20);
    // Centred: about as much room left as right.
    EXPECT_NEAR(firstX, 119 - lastX, 3);
    EXPECT_EQ(shot.Pixel(1, 1), clWhite) << "no background of its own";
}

TEST_F(PaintFixture, FocusRectOverlayDrawsAgainToEraseAndLetsTheMouseThrough)
{
    area->fill = clWhite;
    area->Repaint();
    auto& overlay = form.Add<FocusRectOverlay>();
    EXPECT_EQ(overlay.Width(), form.ClientWidth());
    const Rect line{60, 12, 62, 100}; // a 2-pixel drag line across the area
    overlay.XorFocusRect(line);
    Bitmap shot = test::Grab(form);
    EXPECT_TRUE(shot.Pixel(60, 50) != clWhite || shot.Pixel(61, 50) != clWhite) << "the line shows";
    overlay.XorFocusRect(line);
    shot = test::Grab(form);
    EXPECT_EQ(shot.Pixel(60, 50), clWhite);
    EXPECT_EQ(shot.Pixel(61, 51), clWhite);
    EXPECT_TRUE(overlay.Shown().empty());
    int clicks = 0;
    area->OnClick = [&](Control*) { ++clicks; };
    test::MouseClick(*area, 51, 40);
    EXPECT_EQ(clicks, 1);
}

TEST(Cursors, ScreenCursorsNestAndRestoreInPairs)
{
    EXPECT_EQ(CurrentScreenCursor(), crDefault);
    {
        ScreenCursor wait;
        EXPECT_EQ(CurrentScreenCursor(), crHourGlass);
        {
            ScreenCursor hand(HandCursor);
            EXPECT_EQ(CurrentScreenCursor(), HandCursor);
        }
        EXPECT_EQ(CurrentScreenCursor(), crHourGlass);
    }
    EXPECT_EQ(CurrentScreenCursor(), crDefault);
    for (TCursor c = HandCursor; c <= DownOnlyCursor; ++c)
        EXPECT_TRUE(IsKnownCursor(c));
    EXPECT_FALSE(IsKnownCursor(6));
    Form form;
    auto& box = form.Add<PaintBox>();
    box.SetCursor(ThickIBeamCursor);
    EXPECT_EQ(box.Cursor(), ThickIBeamCursor);
}

TEST(Cursors, TheControlUnderTheCursorIsFound)
{
    Form form;
    form.SetBorderless(true);
    form.SetBounds(0, 0, 100, 100);
    auto& box = form.Add<PaintBox>();
    box.SetBounds(20, 20, 30, 30);
    test::ShowAndActivate(form);
    test::MouseMove(box, 5, 5);
    EXPECT_EQ(ControlAtCursor(), &box);
    EXPECT_EQ(GetCursorPos(), box.ClientToScreen(Point{5, 5}));
    test::MouseMove(box, -10, -10);
    EXPECT_EQ(ControlAtCursor(), &form);
}

TEST(ApplicationObject, CreateFormRunsOnCreateBehindTheErrorReportAndFirstFormIsMain)
{
    struct Failing : Form
    {
        Failing()
        {
            OnCreate = [](Control*) { throw std::runtime_error("Can't locate file: Info\\about_game.html"); };
        }
    };
    Application* app = Application::Instance();
    Form* previous = app->MainForm();
    app->SetMainForm(nullptr);
    test::ErrorRecorder errors;
    Failing& main = app->CreateForm<Failing>();
    Form& second = app->CreateForm<Form>();
    EXPECT_EQ(errors.Messages(), std::vector<std::string>{"Can't locate file: Info\\about_game.html"});
    EXPECT_EQ(app->MainForm(), &main);
    EXPECT_TRUE(app->OwnsForm(&second));
    // A form closing with caFree goes when control is back in the loop.
    second.OnClose = [](Control*, TCloseAction& action) { action = caFree; };
    second.Show();
    second.Close();
    EXPECT_FALSE(app->OwnsForm(&second));
    test::ProcessEvents();
    const std::vector<Form*> forms = AllForms();
    EXPECT_EQ(std::count(forms.begin(), forms.end(), &second), 0);
    app->SetMainForm(previous);
    main.OnClose = [](Control*, TCloseAction& action) { action = caFree; };
    main.Close();
    test::ProcessEvents();
}

TEST(ApplicationObject, MinimizeMinimisesEveryShownForm)
{
    Form a, b, hidden;
    a.Show();
    b.Show();
    Application::Instance()->Minimize();
    test::ProcessEvents();
    EXPECT_TRUE(a.Minimized());
    EXPECT_TRUE(b.Minimized());
    EXPECT_FALSE(hidden.Minimized());
}

TEST(ApplicationObject, ClosingTheMainFormEndsTheApplication)
{
    Application* app = Application::Instance();
    ASSERT_NE(app, nullptr);
    Form* previous = app->MainForm();
    Form main;
    app->SetMainForm(&main);
    main.Show();
    main.Close();
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(main.Visible());
    app->SetMainForm(previous);
    app->CancelTerminate();
}

} // namespace
