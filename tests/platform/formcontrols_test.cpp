// The controls that forms use: edits, memos, buttons, check boxes, radio buttons, list boxes and drop-down
// lists, driven with real key and mouse events; their pictures for printing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/buttons.h"
#include "platform/canvas.h"
#include "platform/editcontrols.h"
#include "platform/form.h"
#include "platform/listcontrols.h"
#include "platform/testing.h"

using namespace platform;

namespace {

struct FormControlsFixture : ::testing::Test
{
    Form form;
    std::vector<std::string> log;

    void SetUp() override
    {
        form.SetBorderless(true);
        form.SetBounds(0, 0, 400, 300);
        test::ShowAndActivate(form);
    }

    void Type(Control& c, const std::u16string& text)
    {
        for (char16_t ch : text) {
            const int vk = ch >= u'a' && ch <= u'z' ? int(ch - u'a' + 'A') : ch == u' ' ? VK_SPACE : 0;
            test::KeyStroke(c, vk, 0, ch);
        }
    }
};

TEST_F(FormControlsFixture, EditTakesTypedTextWithinItsMaxLengthAndMasksPasswords)
{
    auto& edit = form.Add<Edit>();
    edit.SetBounds(10, 10, 120, 22);
    edit.SetFocus();
    test::ProcessEvents();
    Type(edit, u"hello");
    EXPECT_EQ(edit.Text(), u"hello");

    edit.SetText(u"");
    edit.SetMaxLength(3);
    Type(edit, u"abcdef");
    EXPECT_EQ(edit.Text(), u"abc");

    // Any text is kept as given by the program, Cyrillic and all.
    edit.SetMaxLength(0);
    edit.SetText(u"Имя \u00e9");
    EXPECT_EQ(edit.Text(), u"Имя \u00e9");

    edit.SetReadOnly(true);
    Type(edit, u"x");
    EXPECT_EQ(edit.Text(), u"Имя \u00e9");

    // A password edit keeps the real text.
    auto& pass = form.Add<Edit>();
    pass.SetPasswordChar(u'*');
    pass.SetText(u"secret");
    EXPECT_EQ(pass.Text(), u"secret");
    EXPECT_EQ(pass.PasswordChar(), u'*');
}

TEST_F(FormControlsFixture, KeysTakenByTheProgramDoNotReachTheEdit)
{
    auto& edit = form.Add<Edit>();
    edit.SetBounds(10, 10, 120, 22);
    int enters = 0;
    edit.OnKeyPress = [&](Control*, char16_t& key) {
        if (key == u'\r') {
            ++enters;
            key = 0;
        } else if (key == u'q') {
            key = 0;
        }
    };
    edit.SetFocus();
    Type(edit, u"aqb");
    test::KeyStroke(edit, VK_RETURN, 0, u'\r');
    EXPECT_EQ(edit.Text(), u"ab");
    EXPECT_EQ(enters, 1);
}

TEST_F(FormControlsFixture, MemoKeepsLinesAndReportsWrappedLines)
{
    auto& memo = form.Add<Memo>();
    memo.SetBounds(10, 10, 120, 100);
    memo.SetText(u"one\r\ntwo\rthree\nfour");
    EXPECT_EQ(memo.Text(), u"one\r\ntwo\r\nthree\r\nfour");
    memo.SetFocus();
    memo.CaretToStart();
    test::KeyStroke(memo, VK_RETURN, 0, u'\r');
    EXPECT_EQ(memo.Text().substr(0, 5), u"\r\none");

    // A long line shows as several lines when wrapping, as one without.
    memo.SetText(u"word word word word word word word word word word word word");
    test::ProcessEvents();
    EXPECT_GT(memo.DisplayedLines().size(), 1u);
    memo.SetWordWrap(false);
    memo.SetScrollBars(msBoth);
    test::ProcessEvents();
    EXPECT_EQ(memo.DisplayedLines().size(), 1u);
    EXPECT_FALSE(memo.WordWrap());
}

TEST_F(FormControlsFixture, ButtonsClickOnceByMouseAndKeyboard)
{
    auto& button = form.Add<Button>();
    button.SetBounds(10, 10, 80, 25);
    button.SetCaption(u"A & B");
    EXPECT_EQ(button.Caption(), u"A && B");
    button.OnClick = [&](Control*) { log.push_back("button"); };
    test::MouseClick(button, 5, 5);
    EXPECT_EQ(log, std::vector<std::string>{"button"});
    button.SetFocus();
    test::KeyStroke(button, VK_SPACE, 0, u' ');
    EXPECT_EQ(log.size(), 2u);

    auto& box = form.Add<CheckBox>();
    box.SetBounds(10, 50, 13, 13);
    box.OnClick = [&](Control*) { log.push_back(box.Checked() ? "checked" : "unchecked"); };
    test::MouseClick(box, 6, 6);
    test::MouseClick(box, 6, 6);
    box.SetChecked(true); // no click
    EXPECT_EQ(log, (std::vector<std::string>{"button", "button", "checked", "unchecked"}));
    EXPECT_TRUE(box.Checked());
}

TEST_F(FormControlsFixture, RadioButtonsStayCheckedAndAreNotGroupedByThePlatform)
{
    auto& a = form.Add<RadioButton>();
    a.SetBounds(10, 10, 13, 14);
    auto& b = form.Add<RadioButton>();
    b.SetBounds(40, 10, 13, 14);
    int clicks = 0;
    a.OnClick = [&](Control*) { ++clicks; };
    test::MouseClick(a, 6, 6);
    test::MouseClick(a, 6, 6);
    EXPECT_TRUE(a.Checked());
    EXPECT_EQ(clicks, 2);
    b.SetChecked(true);
    EXPECT_TRUE(a.Checked());
    EXPECT_TRUE(b.Checked());
}

TEST_F(FormControlsFixture, ListBoxSelectsOneOrMany)
{
    auto& list = form.Add<ListBox>();
    list.SetBounds(10, 10, 120, 100);
    list.AddItems({u"one", u"two", u"three"});
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(1), u"two");
    EXPECT_EQ(list.Item(7), u"");
    list.SetSelected(0, true);
    list.SetSelected(2, true);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_TRUE(list.Selected(2));
    list.SetMultiSelect(true);
    list.SetSelected(0, true);
    EXPECT_TRUE(list.Selected(0));
    EXPECT_TRUE(list.Selected(2));
    EXPECT_FALSE(list.Selected(-1));
    EXPECT_FALSE(list.Selected(99));
    list.SetItemIndex(-1);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_GT(list.ItemHeight(), 8);

    // A click on a row selects it and is reported.
    list.SetMultiSelect(false);
    list.OnClick = [&](Control*) { log.push_back("list"); };
    test::MouseClick(list, 10, list.ItemHeight() + 3);
    test::ProcessEvents();
    EXPECT_EQ(log, std::vector<std::string>{"list"});
}

TEST_F(FormControlsFixture, ComboBoxHoldsItsItems)
{
    auto& combo = form.Add<ComboBox>();
    combo.SetBounds(10, 10, 120, combo.NaturalHeight());
    combo.AddItems({u"Правила", u"Чемпионат"});
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), u"Чемпионат");
    combo.SetItemIndex(5);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_GT(combo.NaturalHeight(), 10);
}

TEST_F(FormControlsFixture, ControlsTakeColourEnablementAndPaintTheirPicture)
{
    auto& edit = form.Add<Edit>();
    edit.SetBounds(10, 10, 60, 22);
    edit.SetColor(0x00FFFF); // yellow
    edit.SetEnabled(false);
    EXPECT_FALSE(edit.Enabled());
    Bitmap page(100, 50);
    Canvas canvas(page);
    canvas.FillRect(Rect{0, 0, 100, 50}, 0x000000);
    edit.PaintTo(canvas, 20, 10);
    // The middle of the edit shows its background; outside it the page is untouched.
    EXPECT_EQ(canvas.GetPixel(50, 21), TColor(0x00FFFF));
    EXPECT_EQ(canvas.GetPixel(5, 5), TColor(0));
}

TEST_F(FormControlsFixture, FocusEnterAndExitAreReported)
{
    auto& a = form.Add<Edit>();
    auto& b = form.Add<CheckBox>();
    a.OnEnter = [&](Control*) { log.push_back("enter a"); };
    a.OnExit = [&](Control*) { log.push_back("exit a"); };
    b.OnEnter = [&](Control*) { log.push_back("enter b"); };
    a.SetFocus();
    b.SetFocus();
    test::ProcessEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"enter a", "exit a", "enter b"}));
    // A control that is no tab stop still takes the focus by a click.
    a.SetTabStop(false);
    a.SetFocus();
    EXPECT_TRUE(a.Focused());
}

} // namespace
