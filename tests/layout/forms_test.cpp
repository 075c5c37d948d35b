// Forms built from pages: control sizes, radio groups, submission, reset, the history snapshot, keys,
// printed pictures and hostile pages.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "layout/formcontrols.h"
#include "layout/forms.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/buttons.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/editcontrols.h"
#include "platform/form.h"
#include "platform/listcontrols.h"
#include "platform/testing.h"
#include "reader/builder.h"

namespace test = platform::test;

namespace {

struct Submission {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
};

class FormsTest : public ::testing::Test {
protected:
    FormsTest() : Canvas(Measure)
    {
        Window.SetBorderless(true);
        Window.SetBounds(0, 0, 600, 400);
        Panel = &Window.Add<platform::PaintBox>();
        Panel->SetBounds(0, 0, 600, 400);
        Root = std::make_unique<TSectionList>(nullptr, Panel);
        test::ShowAndActivate(Window);
    }
    ~FormsTest() override
    {
        Root.reset();
        test::ProcessEvents();
    }

    void Build(const std::string& html, int width = 500)
    {
        Root->Clear();
        Root->SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                       platform::DEFAULT_CHARSET, 0, 0);
        Root->FormEvents.OnFormSubmit = [this](const std::string& action, const std::string& target,
                                               const std::string& encType, const std::string& method,
                                               const std::vector<std::string>& results) {
            Submitted.push_back({action, target, encType, method, results});
        };
        THtmlHost host;
        host.MarginWidth = 0;
        host.MarginHeight = 0;
        Builder.ParseHtml(html, *Root, host);
        int maxWidth = 0, cursor = 0;
        Root->Layout(&Canvas, 0, width, 0, 0, maxWidth, cursor);
    }
    void Paint()
    {
        platform::Bitmap target(600, 400);
        platform::Canvas c(target);
        Root->PaintCell(&c, platform::Rect{0, 0, 600, 400}, 600, 0, 0, 0, 0);
    }
    template <class T>
    T* Control(int index)
    {
        int n = 0;
        for (TFormControlObj* c : Root->FormControls)
            if (auto* t = dynamic_cast<T*>(c))
                if (n++ == index)
                    return t;
        return nullptr;
    }
    ThtmlForm* Form(int i) { return i < Root->Forms.Count() ? Root->Forms[i] : nullptr; }
    int AverageCharWidth()
    {
        Canvas.SetFont(platform::Font(Control<TEditFormControlObj>(0)->GetControl()->Font()));
        return Canvas.GetTextMetrics().tmAveCharWidth;
    }
    int TextHeight(TFormControlObj* c)
    {
        Canvas.SetFont(platform::Font(c->GetControl()->Font()));
        return Canvas.TextHeight(u"A");
    }

    platform::Form Window;
    platform::PaintBox* Panel = nullptr;
    platform::Bitmap Measure{1, 1};
    platform::Canvas Canvas;
    std::unique_ptr<TSectionList> Root;
    THtmlBuilder Builder;
    std::vector<Submission> Submitted;
};

TEST_F(FormsTest, EditSizeComesFromItsSizeAttribute)
{
    Build("<form><input size=\"20,1\"><input size=abc><input><input size=\"x,1\"><input size=0>"
          "<input size=1000000000></form>");
    const int average = AverageCharWidth();
    EXPECT_EQ(Control<TEditFormControlObj>(0)->Width(), average * 20 + 23);
    EXPECT_EQ(Control<TEditFormControlObj>(1)->Width(), average * 15 + 23);
    EXPECT_EQ(Control<TEditFormControlObj>(2)->Width(), average * 15 + 23);
    EXPECT_EQ(Control<TEditFormControlObj>(3)->SizeChars, 20);
    EXPECT_EQ(Control<TEditFormControlObj>(4)->SizeChars, 15);
    EXPECT_EQ(Control<TEditFormControlObj>(5)->SizeChars, MaxControlChars);
    // Controls stand in their lines like characters: the first starts the line.
    EXPECT_EQ(Control<TEditFormControlObj>(0)->Height(), std::max(10, TextHeight(Control<TEditFormControlObj>(0))));
}

TEST_F(FormsTest, SelectKindsAndListRows)
{
    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += "<option>item " + std::to_string(i);
    Build("<form><select name=a multiple>" + twelve + "</select><select name=b size=3>" + twelve +
          "</select><select name=c>" + twelve + "</select><select name=d size=1><option>x</select></form>");
    auto* list = Control<TListBoxFormControlObj>(0);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Options.Count(), 12);
    EXPECT_EQ(list->Rows(), 8);
    EXPECT_EQ(list->Height(), TextHeight(list) * 8);
    EXPECT_EQ(Control<TListBoxFormControlObj>(1)->Rows(), 3);
    EXPECT_NE(Control<TComboFormControlObj>(0), nullptr);
    EXPECT_NE(Control<TComboFormControlObj>(1), nullptr);
    EXPECT_EQ(Control<TComboFormControlObj>(2), nullptr);
}

TEST_F(FormsTest, OnlyTheLaterOfTwoCheckedRadiosStaysCheckedAndAClickMovesTheCheck)
{
    Build("<form><input type=radio name=r value=1 checked><input type=radio name=R value=2 checked>"
          "<input type=radio name=r value=3></form>");
    auto* r1 = Control<TRadioButtonFormControlObj>(0);
    auto* r2 = Control<TRadioButtonFormControlObj>(1);
    auto* r3 = Control<TRadioButtonFormControlObj>(2);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r3->Checked());
    // Only the checked radio of the group is a tab stop.
    EXPECT_FALSE(r1->GetControl()->TabStop());
    EXPECT_TRUE(r2->GetControl()->TabStop());
    EXPECT_FALSE(r3->GetControl()->TabStop());

    Paint();
    test::MouseClick(*r3->GetControl(), 5, 5);
    EXPECT_TRUE(r3->Checked());
    EXPECT_FALSE(r2->Checked());
    EXPECT_TRUE(r3->GetControl()->TabStop());
    EXPECT_FALSE(r2->GetControl()->TabStop());

    // Arrow keys move the check through the group and stop at its ends.
    r3->GetControl()->SetFocus();
    test::KeyStroke(*r3->GetControl(), platform::VK_LEFT);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r3->Checked());
    test::KeyStroke(*r2->GetControl(), platform::VK_UP);
    test::KeyStroke(*r1->GetControl(), platform::VK_UP);
    EXPECT_TRUE(r1->Checked());
    EXPECT_FALSE(r2->Checked());
    Form(0)->ResetControls();
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
}

TEST_F(FormsTest, RadioGroupsSplitAcrossTwoFormsAreIndependent)
{
    Build("<form><input type=radio name=r value=a checked></form>"
          "<form><input type=radio name=r value=b checked><input type=radio name=r value=c></form>");
    auto* a = Control<TRadioButtonFormControlObj>(0);
    auto* c = Control<TRadioButtonFormControlObj>(2);
    EXPECT_TRUE(a->Checked());
    Paint();
    test::MouseClick(*c->GetControl(), 5, 5);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(Control<TRadioButtonFormControlObj>(1)->Checked());
    ASSERT_EQ(Root->Forms.Count(), 2);
    EXPECT_EQ(Form(1)->RadioGroup("R").size(), 2u);
}

TEST_F(FormsTest, SubmissionTakesEnabledControlsInOrderAndTheButtonLast)
{
    Build("<form action=\"go.cgi\" method=\"POSTED\" target=t enctype=text/plain>"
          "<input type=submit name=go value=Send>"
          "<input name=t value=hello><input type=checkbox name=c><input type=hidden name=h value=v>"
          "<select name=s><option value=1>one<option selected>two</select>"
          "<input name=off value=x disabled><input type=checkbox name=on checked disabled=no>"
          "<input type=password name=p value=pw></form>");
    Paint();
    auto* button = Control<TButtonFormControlObj>(0);
    test::MouseClick(*button->GetControl(), 3, 3);
    ASSERT_EQ(Submitted.size(), 1u);
    const Submission& s = Submitted[0];
    EXPECT_EQ(s.Action, "go.cgi");
    EXPECT_EQ(s.Method, "POST");
    EXPECT_EQ(s.Target, "t");
    EXPECT_EQ(s.EncType, "text/plain");
    EXPECT_EQ(s.Results, (std::vector<std::string>{"t=hello", "h=v", "s=two", "on=on", "p=pw", "go=Send"}));

    // The disabled field is kept in the snapshot, with every other entry.
    const std::vector<std::string> data = Form(0)->GetFormData();
    EXPECT_NE(std::find(data.begin(), data.end(), "off=x"), data.end());

    // A form without a submit handler submits nothing; Enter in an edit submits without the button.
    auto* edit = Control<TEditFormControlObj>(0);
    edit->GetControl()->SetFocus();
    test::KeyStroke(*edit->GetControl(), platform::VK_RETURN, 0, u'\r');
    ASSERT_EQ(Submitted.size(), 2u);
    EXPECT_EQ(Submitted[1].Results.back(), "p=pw");
    EXPECT_EQ(edit->Text(), "hello");
}

TEST_F(FormsTest, EnterInATextAreaInsertsALineBreak)
{
    Build("<form><textarea name=ta rows=3 cols=10>a &lt; b\nsecond</textarea></form>");
    auto* area = Control<TTextAreaFormControlObj>(0);
    EXPECT_EQ(area->Text(), "a < b\r\nsecond");
    Paint();
    area->GetControl()->SetFocus();
    test::KeyStroke(*area->GetControl(), platform::VK_RETURN, 0, u'\r');
    EXPECT_TRUE(Submitted.empty());
    EXPECT_EQ(area->Text(), "\r\na < b\r\nsecond");
    area->TheMemo()->SetText(u"changed");
    Form(0)->ResetControls();
    EXPECT_EQ(area->Text(), "a < b\r\nsecond");
}

TEST_F(FormsTest, SnapshotsRestoreByNameInOrder)
{
    Build("<form><input name=a value=1><input name=b value=2><input type=checkbox name=c value=yes checked>"
          "<select name=m multiple><option value=x>X<option value=y selected>Y<option value=z>Z</select>"
          "<textarea name=t>text</textarea></form><form><input name=a value=other></form>");
    std::unique_ptr<TFormData> saved = Root->GetFormData();
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->size(), 2u);
    // A list box has one entry per option, empty for those not selected.
    EXPECT_EQ((*saved)[0], (std::vector<std::string>{"a=1", "b=2", "c=yes", "", "m=y", "", "t=text"}));

    Control<TEditFormControlObj>(0)->SetText("changed");
    Control<TCheckBoxFormControlObj>(0)->SetChecked(false);
    Control<TListBoxFormControlObj>(0)->TheList()->SetSelected(2, true);
    Control<TTextAreaFormControlObj>(0)->TheMemo()->SetText(u"gone");
    Root->SetFormData(*saved);
    EXPECT_EQ(Control<TEditFormControlObj>(0)->Text(), "1");
    EXPECT_EQ(Control<TEditFormControlObj>(1)->Text(), "2");
    EXPECT_TRUE(Control<TCheckBoxFormControlObj>(0)->Checked());
    EXPECT_FALSE(Control<TListBoxFormControlObj>(0)->TheList()->Selected(2));
    EXPECT_TRUE(Control<TListBoxFormControlObj>(0)->TheList()->Selected(1));
    EXPECT_EQ(Control<TTextAreaFormControlObj>(0)->Text(), "text");
    EXPECT_EQ(Control<TEditFormControlObj>(2)->Text(), "other");

    // A snapshot of fewer forms restores what it has; names match without regard to letter case.
    TFormData one{{"A=only"}};
    Root->SetFormData(one);
    EXPECT_EQ(Control<TEditFormControlObj>(0)->Text(), "only");
    EXPECT_EQ(Control<TEditFormControlObj>(1)->Text(), "");
    EXPECT_EQ(Control<TEditFormControlObj>(2)->Text(), "other");
}

TEST_F(FormsTest, TextInEveryCodePageIsSubmittedExactlyAsTyped)
{
    // A page in UTF-8 and one in windows-1251, each with a typed value beyond ASCII.
    Build("<meta http-equiv=content-type content=\"text/html; charset=utf-8\">"
          "<form><input name=\"\xd0\xb8\xd0\xbc\xd1\x8f\" value=\"\xd0\x90\xd0\xb1\"></form>");
    auto* edit = Control<TEditFormControlObj>(0);
    EXPECT_EQ(edit->TheEdit()->Text(), u"Аб");
    edit->TheEdit()->SetText(u"Жёлтый \u00e9");
    Form(0)->SubmitForm(std::string());
    ASSERT_EQ(Submitted.size(), 1u);
    EXPECT_EQ(Submitted[0].Results[0], "\xd0\xb8\xd0\xbc\xd1\x8f=" + platform::WideToMultiByte(65001, u"Жёлтый \u00e9"));

    Build("<meta http-equiv=content-type content=\"text/html; charset=windows-1251\">"
          "<form><input name=\"\xe8\xec\xff\" value=\"\xc0\xe1\"></form>");
    edit = Control<TEditFormControlObj>(0);
    EXPECT_EQ(edit->TheEdit()->Text(), u"Аб");
    edit->TheEdit()->SetText(u"Жёлтый");
    Form(0)->SubmitForm(std::string());
    ASSERT_EQ(Submitted.size(), 2u);
    EXPECT_EQ(Submitted[1].Results[0], "\xe8\xec\xff=\xc6\xb8\xeb\xf2\xfb\xe9");
}

TEST_F(FormsTest, FormsInTableCellsAndControlsOutsideForms)
{
    Build("<input name=loose value=1><table><tr><td><form action=a.cgi><input name=in value=2></td></tr>"
          "</table><input name=after value=3></form><input name=last value=4>");
    ASSERT_GE(Root->Forms.Count(), 2);
    // The controls outside every form share one form without attributes.
    ThtmlForm* loose = Control<TEditFormControlObj>(0)->MyForm;
    EXPECT_EQ(loose->Action, "");
    EXPECT_EQ(Control<TEditFormControlObj>(3)->MyForm, loose);
    ThtmlForm* cell = Control<TEditFormControlObj>(1)->MyForm;
    EXPECT_EQ(cell->Action, "a.cgi");
    cell->SubmitForm(std::string());
    ASSERT_FALSE(Submitted.empty());
    EXPECT_EQ(Submitted.back().Results.front(), "in=2");
}

TEST_F(FormsTest, ImageInputsSubmitThePointOnce)
{
    Build("<form><input type=image src=none.gif><input type=image name=pic></form>");
    auto* plain = Control<TImageFormControlObj>(0);
    auto* named = Control<TImageFormControlObj>(1);
    std::string text;
    EXPECT_FALSE(plain->GetSubmission(0, text)) << "no entries before a click";
    plain->ImageClicked(7, 9);
    ASSERT_EQ(Submitted.size(), 1u);
    EXPECT_EQ(Submitted[0].Results, (std::vector<std::string>{"x=7", "y=9"}));
    named->ImageClicked(1, 2);
    EXPECT_EQ(Submitted[1].Results, (std::vector<std::string>{"pic.x=1", "pic.y=2"}));
    EXPECT_EQ(Form(0)->GetFormData(), std::vector<std::string>{}) << "a click is not part of the snapshot";
}

TEST_F(FormsTest, PrintedControlsDrawTheirStateAndText)
{
    Build("<form><input type=checkbox checked><input type=checkbox><input type=radio checked name=r>"
          "<input type=radio name=q><input name=e value=Hi><input type=submit value=Go></form>");
    platform::Bitmap page(200, 60);
    platform::Canvas c(page);
    auto white = [&](int x, int y) { return (c.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF; };
    auto black = [&](int x, int y) { return (c.GetPixel(x, y) & 0xFFFFFF) == 0; };
    c.FillRect(platform::Rect{0, 0, 200, 60}, 0x808080);

    Control<TCheckBoxFormControlObj>(0)->DrawForPrint(&c, 0, 0);
    Control<TCheckBoxFormControlObj>(1)->DrawForPrint(&c, 20, 0);
    EXPECT_TRUE(black(0, 0));                       // the frame
    EXPECT_TRUE(black(5, 8)) << "the check mark";  // from (3, 6) down to (5, 8)
    EXPECT_TRUE(white(25, 8)) << "no mark when unchecked";
    EXPECT_TRUE(white(22, 2));

    Control<TRadioButtonFormControlObj>(0)->DrawForPrint(&c, 40, 0);
    Control<TRadioButtonFormControlObj>(1)->DrawForPrint(&c, 60, 0);
    EXPECT_TRUE(black(47, 7)) << "the dot of a checked radio";
    EXPECT_TRUE(white(67, 7));
    EXPECT_TRUE(black(60, 7)) << "the circle";
    EXPECT_EQ(c.GetPixel(40, 0) & 0xFFFFFF, 0x808080u) << "outside the circle";

    auto* edit = Control<TEditFormControlObj>(0);
    edit->DrawForPrint(&c, 0, 20);
    int dark = 0;
    for (int y = 22; y < 20 + edit->Height() - 2; ++y)
        for (int x = 3; x < 30; ++x)
            dark += black(x, y);
    EXPECT_GT(dark, 5) << "the edit's text";
    EXPECT_TRUE(white(edit->Width() - 5, 20 + edit->Height() / 2)) << "its background";

    auto* button = Control<TButtonFormControlObj>(0);
    c.FillRect(platform::Rect{0, 0, 200, 60}, 0x0000FF);
    button->DrawForPrint(&c, 100, 10);
    EXPECT_NE(c.GetPixel(100 + button->Width() / 2, 10 + 2) & 0xFFFFFF, 0x0000FFu) << "the button's picture";
    EXPECT_EQ(c.GetPixel(99, 9) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(FormsTest, ControlsTakeTheirLookAndSizeFromTheirStyle)
{
    Build("<form><input name=a style=\"width: 120px; height: 30px; margin: 4px 6px; background-color: yellow; "
          "color: red; font-size: 20px; vertical-align: top\"><input name=b style=\"width: 150%\">"
          "<input type=submit style=\"width: 40%\" value=Go><input name=d disabled></form>");
    auto* a = Control<TEditFormControlObj>(0);
    EXPECT_EQ(a->Width(), 120);
    EXPECT_EQ(a->Height(), 30);
    EXPECT_EQ(a->HSpaceL, 6);
    EXPECT_EQ(a->VSpaceT, 4);
    EXPECT_EQ(a->FormAlign, AlignTop);
    EXPECT_EQ(a->GetControl()->Color(), platform::TColor(0x00FFFF));
    EXPECT_EQ(a->GetControl()->FontColor(), platform::TColor(0x0000FF));
    EXPECT_EQ(platform::Font(a->GetControl()->Font()).PixelSize(), 20);
    // A width above 100 per cent is ignored; one below sizes the control from the room in its line.
    EXPECT_FALSE(Control<TEditFormControlObj>(1)->PercentWidth);
    auto* button = Control<TButtonFormControlObj>(0);
    EXPECT_TRUE(button->PercentWidth);
    EXPECT_EQ(button->Width(), 200) << "40 per cent of 500";
    EXPECT_FALSE(Control<TEditFormControlObj>(2)->GetControl()->Enabled());
    // The vertical spaces are 1 unless the style gives margins.
    EXPECT_EQ(Control<TEditFormControlObj>(1)->VSpaceT, 1);
    EXPECT_EQ(Control<TEditFormControlObj>(1)->VSpaceB, 1);
}

TEST_F(FormsTest, HardWrappedTextIsSubmittedAsShownLines)
{
    Build("<form><textarea name=h wrap=hard cols=8>one two three four five six</textarea>"
          "<textarea name=o wrap=off cols=8>one two three four five six</textarea></form>");
    Paint();
    test::ProcessEvents();
    auto* hard = Control<TTextAreaFormControlObj>(0);
    auto* off = Control<TTextAreaFormControlObj>(1);
    EXPECT_NE(hard->Text().find("\r\n"), std::string::npos) << hard->Text();
    EXPECT_EQ(off->Text(), "one two three four five six");
    EXPECT_EQ(off->TheMemo()->ScrollBars(), platform::msBoth);
    EXPECT_FALSE(off->TheMemo()->WordWrap());
}

TEST_F(FormsTest, TabIndexOrdersControlsFirst)
{
    Build("<form><input name=a><input name=b tabindex=2><input name=c tabindex=1></form>");
    Paint();
    platform::Control* a = Control<TEditFormControlObj>(0)->GetControl();
    platform::Control* b = Control<TEditFormControlObj>(1)->GetControl();
    platform::Control* c = Control<TEditFormControlObj>(2)->GetControl();
    EXPECT_LT(c->TabOrder(), b->TabOrder());
    EXPECT_LT(b->TabOrder(), a->TabOrder());
    EXPECT_TRUE(Root->TabOrder.empty()) << "the order is handed to the windows at layout";
}

TEST_F(FormsTest, PrintedListsShowTheirRowsAndSelection)
{
    Build("<form><select name=l size=3><option>alpha<option selected>beta<option>gamma</select>"
          "<select name=c><option>one<option selected>two</select>"
          "<textarea name=t rows=3 cols=20>print me</textarea></form>");
    platform::Bitmap page(300, 200);
    platform::Canvas c(page);
    c.FillRect(platform::Rect{0, 0, 300, 200}, 0x00FF00);
    auto* list = Control<TListBoxFormControlObj>(0);
    list->DrawForPrint(&c, 0, 0);
    int highlighted = 0, dark = 0;
    for (int y = 2; y < list->Height() - 2; ++y)
        for (int x = 2; x < list->Width() - 2; ++x) {
            const platform::TColor p = c.GetPixel(x, y) & 0xFFFFFF;
            highlighted += p == platform::ColorToRGB(platform::clHighlight);
            dark += p == 0;
        }
    EXPECT_GT(highlighted, 20) << "the selected row";
    EXPECT_GT(dark, 10) << "the texts of the other rows";
    EXPECT_EQ(c.GetPixel(list->Width() + 1, 5) & 0xFFFFFF, 0x00FF00u);

    auto* combo = Control<TComboFormControlObj>(0);
    combo->DrawForPrint(&c, 0, 100);
    dark = 0;
    for (int y = 102; y < 100 + combo->Height() - 2; ++y)
        for (int x = 3; x < 40; ++x)
            dark += (c.GetPixel(x, y) & 0xFFFFFF) == 0;
    EXPECT_GT(dark, 5) << "the chosen option";

    auto* area = Control<TTextAreaFormControlObj>(0);
    ASSERT_FALSE(area->TheMemo()->DisplayedLines().empty());
    area->DrawForPrint(&c, 150, 0);
    int ink = 0;
    for (int y = 3; y < area->Height() - 3; ++y)
        for (int x = 153; x < 150 + area->Width() - 3; ++x)
            ink += (c.GetPixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(ink, 20) << "the text";
}

TEST_F(FormsTest, APaintOfAStripAfterScrollingParksOnlyControlsOutOfView)
{
    std::string lines;
    for (int i = 0; i < 40; ++i)
        lines += "<p>line <input name=e" + std::to_string(i) + "></p>";
    Build(lines);
    Paint();
    auto* first = Control<TEditFormControlObj>(1);
    auto* far = Control<TEditFormControlObj>(39);
    ASSERT_GE(first->GetControl()->Left(), 0);
    ASSERT_EQ(far->GetControl()->Left(), -4000);
    // Scrolled by a line: the window system moved the pixels and the controls; only the strip at the
    // bottom is painted.
    Root->ScrollTo(16);
    platform::Bitmap strip(600, 16);
    platform::Canvas c(strip);
    c.SetWindowOrg(0, 384);
    Root->PaintCell(&c, platform::Rect{0, 384, 600, 400}, 600, 0, 0, 0, 0);
    EXPECT_GE(first->GetControl()->Left(), 0) << "still in view";
    EXPECT_EQ(far->GetControl()->Left(), -4000);
    // Scrolled far: the control that left the view goes out of it.
    Root->ScrollTo(2000);
    Root->PaintCell(&c, platform::Rect{0, 384, 600, 400}, 600, 0, 0, 0, 0);
    EXPECT_EQ(first->GetControl()->Left(), -4000);
}

TEST_F(FormsTest, HostilePagesStayBounded)
{
    const auto start = std::chrono::steady_clock::now();
    std::string options = "<select name=s>";
    for (int i = 0; i < 100000; ++i)
        options += "<option>o";
    Build("<form>" + options + "</select></form>");
    EXPECT_EQ(Control<TComboFormControlObj>(0)->Options.Count(), 100000);

    std::string inputs = "<form>";
    for (int i = 0; i < 10000; ++i)
        inputs += "<input type=hidden name=n value=v>";
    // A form closed inside a table cell it did not open in, then nested forms.
    Build("<form><table><tr><td></form><input name=x></td></tr></table><input name=y>");
    EXPECT_EQ(Root->FormControls.size(), 2u);
    Build(inputs + "<input maxlength=-1 name=m1><input maxlength=1000000000 name=m2 size=1000000000>"
                   "<form><form><input name=nested></form></form></form>");
    EXPECT_EQ(Root->FormControls.size(), 10003u);
    EXPECT_EQ(Control<TEditFormControlObj>(0)->MaxLength, 0);
    EXPECT_EQ(Control<TEditFormControlObj>(1)->MaxLength, 1000000) << "attribute numbers saturate";
    EXPECT_LE(Control<TEditFormControlObj>(1)->Width(), MaxControlPixels);

    Build("<form><select name=l size=1000000000><option>x</select><select name=z size=0><option>y</select>"
          "<textarea name=t rows=1000000000 cols=1000000000></textarea></form>");
    EXPECT_EQ(Control<TListBoxFormControlObj>(0)->Rows(), MaxTextAreaRows);
    EXPECT_LE(Control<TListBoxFormControlObj>(0)->Height(), MaxControlPixels);
    EXPECT_NE(Control<TComboFormControlObj>(0), nullptr) << "SIZE 0 is a drop-down list";
    EXPECT_LE(Control<TTextAreaFormControlObj>(0)->Width(), MaxControlPixels);
    EXPECT_LE(Control<TTextAreaFormControlObj>(0)->Height(), MaxControlPixels);

    std::string big(10u << 20, 'x');
    for (std::size_t i = 1000; i < big.size(); i += 1000)
        big[i] = '\n';
    Build("<form><textarea name=t>" + big + "</textarea><input name=after></form>");
    ASSERT_NE(Control<TTextAreaFormControlObj>(0), nullptr);
    EXPECT_LE(Control<TTextAreaFormControlObj>(0)->Text().size(), big.size());
    EXPECT_NE(Control<TEditFormControlObj>(0), nullptr) << "the reading goes on after the text area";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(120));
}

}  // namespace
