// Forms in the viewer: the shipped contact form submitted to the host, script events, the keyboard (Tab
// through links and controls), controls scrolled out of view, and form values kept with the history.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "layout/formcontrols.h"
#include "layout/sectionlist.h"
#include "platform/buttons.h"
#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/editcontrols.h"
#include "platform/form.h"
#include "platform/listcontrols.h"
#include "platform/testing.h"
#include "style/fontobj.h"
#include "viewer/htmlviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

struct Submission {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
};

class ViewerFormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vexa-viewerforms-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 620, 420);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 600, 400);
        viewer_->OnFormSubmit = [this](THTMLViewer*, const std::string& action, const std::string& target,
                                       const std::string& encType, const std::string& method,
                                       const std::vector<std::string>& results) {
            submitted_.push_back({action, target, encType, method, results});
        };
        test::ShowAndActivate(*form_);
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }
    template <class T>
    T* Control(int index)
    {
        int n = 0;
        for (TFormControlObj* c : viewer_->SectionList().FormControls)
            if (auto* t = dynamic_cast<T*>(c))
                if (n++ == index)
                    return t;
        return nullptr;
    }
    void Show()
    {
        viewer_->Invalidate();
        test::FlushPaint(*viewer_);
        test::ProcessEvents();
    }
    void Type(platform::Control& c, const std::u16string& text)
    {
        for (char16_t ch : text)
            test::KeyStroke(c, ch >= u'a' && ch <= u'z' ? int(ch - u'a' + 'A') : 0, 0, ch);
    }
    TFontObj* Run(const std::string& url)
    {
        for (TFontObj* r : viewer_->SectionList().LinkRuns())
            if (r->URL() == url)
                return r;
        return nullptr;
    }

    fs::path dir_;
    std::unique_ptr<platform::Form> form_;
    THTMLViewer* viewer_ = nullptr;
    std::vector<Submission> submitted_;
};

TEST_F(ViewerFormsTest, TheShippedContactFormReachesTheHost)
{
    viewer_->OpenFile((fs::path(VEXA_SOURCE_DIR) / "content" / "Info" / "contact.html").string());
    Show();
    auto* name = Control<TEditFormControlObj>(0);
    auto* text = Control<TTextAreaFormControlObj>(0);
    auto* send = Control<TButtonFormControlObj>(0);
    ASSERT_NE(name, nullptr);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(send, nullptr);
    ASSERT_EQ(Control<TComboFormControlObj>(0)->Options.Count(), 3);
    // Every control was placed inside the view.
    for (TFormControlObj* c : viewer_->SectionList().FormControls)
        if (c->HasWindow()) {
            EXPECT_GE(c->GetControl()->Left(), 0);
            EXPECT_TRUE(c->GetControl()->Visible());
        }

    name->GetControl()->SetFocus();
    Type(*name->GetControl(), u"ivan");
    text->GetControl()->SetFocus();
    Type(*text->GetControl(), u"when");
    test::MouseClick(*send->GetControl(), 5, 5);
    EXPECT_TRUE(submitted_.empty()) << "the event comes after the click";
    test::ProcessEvents();
    ASSERT_EQ(submitted_.size(), 1u);
    const Submission& s = submitted_[0];
    // What the host received, for whoever runs the test.
    std::printf("host received: %s %s %s:", s.Method.c_str(), s.Action.c_str(), s.EncType.c_str());
    for (const std::string& entry : s.Results)
        std::printf(" [%s]", platform::SystemToUtf8(entry).c_str());
    std::printf("\n");
    EXPECT_EQ(s.Action, "mailto:info@vexa-game.ru");
    EXPECT_EQ(s.Method, "post");
    EXPECT_EQ(s.EncType, "text/plain");
    EXPECT_EQ(s.Target, "");
    // The page is in windows-1251: the chosen topic comes as the page wrote it.
    EXPECT_EQ(s.Results, (std::vector<std::string>{
                             "name=ivan", "topic=" + platform::WideToMultiByte(1251, u"Правила игры"),
                             "text=when", "copy=on"}));

    // Reset brings back what the page says.
    test::MouseClick(*Control<TButtonFormControlObj>(1)->GetControl(), 5, 5);
    EXPECT_EQ(name->Text(), "");
    EXPECT_EQ(text->Text(), "");
}

TEST_F(ViewerFormsTest, ScriptEventsCarryTheControlAndItsScript)
{
    std::vector<std::string> log;
    viewer_->OnObjectClick = [&](THTMLViewer*, TFormControlObj* c, const std::string& s) {
        log.push_back("click " + c->Name + " " + s);
    };
    viewer_->OnObjectFocus = [&](THTMLViewer*, TFormControlObj* c, const std::string& s) {
        log.push_back("focus " + c->Name + " " + s);
    };
    viewer_->OnObjectBlur = [&](THTMLViewer*, TFormControlObj* c, const std::string& s) {
        log.push_back("blur " + c->Name + " " + s);
    };
    viewer_->OnObjectChange = [&](THTMLViewer*, TFormControlObj* c, const std::string& s) {
        log.push_back("change " + c->Name + " " + s);
    };
    viewer_->OnFileBrowse = [&](THTMLViewer*, TFormControlObj* c, std::string& fileName) {
        log.push_back("browse " + c->Name + " " + fileName);
        fileName = "/tmp/picked.txt";
    };
    const std::string page = Write("s.html", "<form><input name=e onfocus=F() onblur=B() onchange=C()>"
                                             "<input type=checkbox name=c onclick=K()>"
                                             "<input type=file name=f value=old></form>");
    viewer_->OpenFile(page);
    Show();
    auto* edit = Control<TEditFormControlObj>(0);
    edit->GetControl()->SetFocus();
    Type(*edit->GetControl(), u"x");
    Control<TCheckBoxFormControlObj>(0)->GetControl()->SetFocus();
    test::MouseClick(*Control<TCheckBoxFormControlObj>(0)->GetControl(), 5, 5);
    test::MouseClick(*Control<TButtonFormControlObj>(0)->GetControl(), 3, 3);
    EXPECT_EQ(log, (std::vector<std::string>{"focus e F()", "change e C()", "blur e B()", "click c K()",
                                             "click  ", "browse f old"}));
    EXPECT_EQ(Control<TEditFormControlObj>(1)->Text(), "/tmp/picked.txt");
}

TEST_F(ViewerFormsTest, AClickOnAnImageInputSubmitsThePointClicked)
{
    const std::string page = Write("i.html", "<form action=go.cgi><input name=t value=v>"
                                             "<input type=image name=go width=40 height=30></form>");
    viewer_->OpenFile(page);
    Show();
    auto* image = Control<TImageFormControlObj>(0);
    ASSERT_NE(image, nullptr);
    auto* edit = Control<TEditFormControlObj>(0);
    // The picture stands after the edit, on the line's bottom.
    const int x = edit->GetControl()->Left() + edit->Width() + 10;
    const int y = edit->GetControl()->Top() + edit->Height() - 10;
    auto& area = viewer_->PaintPanel();
    test::MouseMove(area, x, y);
    EXPECT_EQ(area.Cursor(), platform::HandCursor);
    test::MouseClick(area, x, y);
    test::ProcessEvents();
    ASSERT_EQ(submitted_.size(), 1u);
    const std::vector<std::string>& r = submitted_[0].Results;
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "t=v");
    EXPECT_EQ(r[1].substr(0, 5), "go.x=");
    EXPECT_EQ(r[2].substr(0, 5), "go.y=");
    // The point is forgotten after it was submitted.
    std::string text;
    EXPECT_FALSE(image->GetSubmission(0, text));
}

TEST_F(ViewerFormsTest, TabMovesThroughLinksAndControlsInDocumentOrder)
{
    const std::string page = Write("t.html", "<a href=\"one.html\">one</a> <input name=a> "
                                             "<a href=\"two.html\">two</a> <input type=checkbox name=b>");
    viewer_->OpenFile(page);
    Show();
    platform::Control* one = Run("one.html")->TabControl.get();
    platform::Control* two = Run("two.html")->TabControl.get();
    platform::Control* a = Control<TEditFormControlObj>(0)->GetControl();
    platform::Control* b = Control<TCheckBoxFormControlObj>(0)->GetControl();
    viewer_->SetFocus();
    std::vector<platform::Control*> order;
    for (int i = 0; i < 4; ++i) {
        test::KeyStroke(i == 0 ? static_cast<platform::Control&>(*viewer_) : *order.back(), platform::VK_TAB);
        test::ProcessEvents();
        for (platform::Control* c : {one, a, two, b})
            if (c->Focused())
                order.push_back(c);
        ASSERT_EQ(order.size(), std::size_t(i + 1)) << "step " << i;
    }
    EXPECT_EQ(order, (std::vector<platform::Control*>{one, a, two, b}));
    test::KeyStroke(*b, platform::VK_TAB, platform::ssShift);
    test::ProcessEvents();
    EXPECT_TRUE(two->Focused());
}

TEST_F(ViewerFormsTest, ControlsScrolledAwayLeaveTheViewAndFocusBringsThemBack)
{
    std::string lines;
    for (int i = 0; i < 80; ++i)
        lines += "<p>line " + std::to_string(i) + "</p>";
    const std::string page = Write("l.html", "<form><input name=top>" + lines + "<input name=bottom></form>");
    viewer_->OpenFile(page);
    Show();
    auto* top = Control<TEditFormControlObj>(0);
    auto* bottom = Control<TEditFormControlObj>(1);
    EXPECT_GE(top->GetControl()->Left(), 0);
    EXPECT_EQ(bottom->GetControl()->Left(), -4000) << "not drawn: out of view, still there for the keyboard";
    EXPECT_TRUE(bottom->GetControl()->Visible());

    bottom->GetControl()->SetFocus();
    test::ProcessEvents();
    EXPECT_GT(viewer_->VScrollBarPosition(), 0) << "the focused control is scrolled into view";
    Show();
    EXPECT_GE(bottom->GetControl()->Left(), 0);
    EXPECT_EQ(top->GetControl()->Left(), -4000);
}

TEST_F(ViewerFormsTest, ALineScrollKeepsTheControlsStillInView)
{
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "<p>line " + std::to_string(i) + " <input name=e" + std::to_string(i) + "></p>";
    viewer_->OpenFile(Write("s.html", lines));
    Show();
    auto* second = Control<TEditFormControlObj>(3);
    ASSERT_GE(second->GetControl()->Left(), 0);
    const int top = second->GetControl()->Top();
    // Down arrow: the pixels move and only the uncovered strip is painted.
    viewer_->SetFocus();
    test::KeyStroke(*viewer_, platform::VK_DOWN);
    test::FlushPaint(*viewer_);
    test::ProcessEvents();
    ASSERT_GT(viewer_->VScrollBarPosition(), 0);
    EXPECT_GE(second->GetControl()->Left(), 0) << "moved with the pixels, not put out of view";
    EXPECT_EQ(second->GetControl()->Top(), top - viewer_->VScrollBarPosition());
}

TEST_F(ViewerFormsTest, TypedTextIsKeptWithTheHistoryAndComesBack)
{
    viewer_->SetHistoryMaxCount(10);
    const std::string b = Write("b.html", "<title>B</title>page b");
    const std::string a = Write("a.html", "<title>A</title><form><input name=q><select name=s>"
                                          "<option>x<option>y</select></form><a href=\"b.html\">to b</a>");
    viewer_->OpenFile(a);
    Show();
    auto* edit = Control<TEditFormControlObj>(0);
    edit->GetControl()->SetFocus();
    Type(*edit->GetControl(), u"kept");
    Control<TComboFormControlObj>(0)->TheCombo()->SetItemIndex(1);

    // Follow the link to b.
    TFontObj* run = Run("b.html");
    ASSERT_NE(run, nullptr);
    run->TabControl->SetFocus();
    test::KeyStroke(*run->TabControl, platform::VK_RETURN);
    test::ProcessEvents();
    ASSERT_EQ(viewer_->CurrentFile(), b);
    ASSERT_EQ(viewer_->PositionHistory().size(), 2u);
    const PositionObj& entry = *viewer_->PositionHistory()[1];
    ASSERT_TRUE(entry.SavedFormData);
    EXPECT_EQ(*entry.SavedFormData, (TFormData{{"q=kept", "s=y"}}));

    // Back to a: the page is read again and its values are given back.
    const TFormData saved = *entry.SavedFormData;
    viewer_->OpenFile(a);
    viewer_->SetFormData(saved);
    EXPECT_EQ(Control<TEditFormControlObj>(0)->Text(), "kept");
    EXPECT_EQ(Control<TComboFormControlObj>(0)->TheCombo()->ItemIndex(), 1);
    // A page without forms has no values to keep.
    viewer_->OpenFile(b);
    EXPECT_EQ(viewer_->FormData(), nullptr);
}

}  // namespace
