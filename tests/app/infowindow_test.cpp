// The info window and its dialog on a real runtime folder, driven with real mouse events: start-up,
// year and page selection, the links, web and mail addresses, the test program, the dialog, and a
// missing page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/infocloseunit.h"
#include "app/infounit.h"
#include "app/program.h"
#include "app/skin.h"
#include "platform/application.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "platform/testing.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

const fs::path kContent = fs::path(VEXA_SOURCE_DIR) / "content";

// Records what would go to the desktop.
class ShellRecorder final : public platform::ShellService {
public:
    bool OpenAddress(const std::string& address) override
    {
        addresses.push_back(address);
        return true;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override
    {
        programs.push_back(program);
        arguments.push_back(args);
        return true;
    }
    std::vector<std::string> addresses;
    std::vector<std::string> programs;
    std::vector<std::vector<std::string>> arguments;
};

bool SamePixels(const platform::Bitmap& a, const platform::Bitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y))
                return false;
    return true;
}

class InfoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int serial = 0;
        runtime_ = fs::temp_directory_path() /
                   ("vexa-app-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::remove_all(runtime_);
        fs::create_directories(runtime_);
        fs::copy(kContent / "Info", runtime_ / "Info", fs::copy_options::recursive);
        fs::copy(kContent / "skin", runtime_ / "skin", fs::copy_options::recursive);
        old_ = fs::current_path();
        fs::current_path(runtime_);
        auto shell = std::make_unique<ShellRecorder>();
        shell_ = shell.get();
        platform::SetShellService(std::move(shell));
    }

    void TearDown() override
    {
        dialog_.reset();
        form_.reset();
        test::ProcessEvents();
        platform::SetShellService(nullptr);
        fs::current_path(old_);
        fs::remove_all(runtime_);
    }

    // Creates both windows as the program's entry does and shows the info window.
    void Open()
    {
        form_ = std::make_unique<TInfoForm>();
        dialog_ = std::make_unique<TInfoCloseForm>(form_.get());
        form_->InfoCloseForm = dialog_.get();
        form_->DoCreate();
        test::ShowAndActivate(*form_);
        test::ProcessEvents();
    }

    void Click(platform::Control& c)
    {
        test::MouseMove(c, c.Width() / 2, c.Height() / 2);
        test::MouseClick(c, c.Width() / 2, c.Height() / 2);
        test::ProcessEvents();
    }

    // The viewer names the file it shows by its full path.
    static std::string Full(const std::string& name) { return platform::ExpandFileName(name); }

    std::string LastOpened() const
    {
        const auto& asked = form_->Viewer->OpenRequests();
        return asked.empty() ? "" : asked.back();
    }

    fs::path runtime_;
    fs::path old_;
    ShellRecorder* shell_ = nullptr;
    test::ErrorRecorder errors_;
    std::unique_ptr<TInfoForm> form_;
    std::unique_ptr<TInfoCloseForm> dialog_;
};

TEST_F(InfoWindowTest, StartsOnTheGeneralPagesWithTheirLinks)
{
    Open();
    EXPECT_EQ(form_->Viewer->OpenRequests(), std::vector<std::string>{"Info\\about_game.html"});
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\about_game.html"));
    EXPECT_EQ(form_->PageFolder, "Info\\");
    EXPECT_EQ(form_->BtnBuf->Tag(), 0);
    // The window description's captions never show.
    EXPECT_EQ(form_->SubLab1->Caption(), u"Об авторах");
    EXPECT_EQ(form_->SubLab2->Caption(), u"Контакты");
    for (platform::Label* l : {form_->SubLab1, form_->SubLab2}) {
        EXPECT_EQ(l->FontColor(), platform::clMaroon);
        EXPECT_EQ(l->Width(), 141);
        EXPECT_TRUE(l->Font().Bold());
        EXPECT_FALSE(l->Font().Underline);
    }
    // Btn0 shows its highlight; BtnBuf keeps its normal picture.
    EXPECT_TRUE(SamePixels(form_->Btn0->Picture(), form_->Btn0->PicUp()));
    EXPECT_TRUE(SamePixels(form_->Btn0->Pic(), form_->Btn0->PicUp()));
    EXPECT_FALSE(SamePixels(form_->BtnBuf->Picture(), form_->Btn0->PicUp()));
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(InfoWindowTest, FindBarOpensOnCtrlFAndSearchesThePage)
{
    Open();
    THTMLViewer* page = form_->Viewer->ViewerAt(0);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(form_->FindBar->Visible());
    test::KeyStroke(*page, 'F', platform::ssCtrl);
    ASSERT_TRUE(form_->FindBar->Visible());

    form_->FindBar->SetText(u"купец");
    test::KeyStroke(*form_->FindBar, platform::VK_RETURN);
    EXPECT_EQ(page->SelText(), u"купец");
    EXPECT_EQ(form_->FindBar->Color(), platform::clWindow);
    // F3 in the page searches again with the bar's text.
    test::KeyStroke(*page, platform::VK_F3);
    EXPECT_EQ(page->SelText(), u"купец");

    form_->FindBar->SetText(u"слов таких здесь нет");
    test::KeyStroke(*form_->FindBar, platform::VK_RETURN);
    EXPECT_NE(form_->FindBar->Color(), platform::clWindow);
    form_->FindBar->SetText(u"Векса");
    EXPECT_EQ(form_->FindBar->Color(), platform::clWindow);  // a new text clears the mark
    test::KeyStroke(*form_->FindBar, platform::VK_ESCAPE);
    EXPECT_FALSE(form_->FindBar->Visible());
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(InfoWindowTest, WindowsHaveTheirLayout)
{
    Open();
    EXPECT_EQ(form_->Caption(), u"Информация");
    EXPECT_TRUE(form_->Borderless());
    EXPECT_EQ(form_->ClientWidth(), 800);
    EXPECT_EQ(form_->ClientHeight(), 600);
    const struct {
        const char* Name;
        int Left, Top, Width, Height, Tag;
    } layout[] = {
        {"Back", 0, 0, 800, 600, 0},         {"Btn0", 26, 218, 158, 25, 0},     {"Btn2000", 26, 246, 158, 25, 2000},
        {"Btn2001", 26, 273, 158, 25, 2001}, {"Btn2002", 26, 301, 158, 25, 2002}, {"Btn2003", 26, 329, 158, 25, 2003},
        {"Btn2004", 26, 357, 158, 25, 2004}, {"Btn2005", 26, 385, 158, 25, 2005}, {"Btn2006", 26, 413, 158, 25, 2006},
        {"SubLab1", 36, 450, 141, 13, 1},    {"SubLab2", 36, 467, 141, 13, 2},    {"BtnMin", 639, 17, 45, 45, 0},
        {"BtnClose", 735, 16, 45, 45, 0},    {"BtnTest", 415, 541, 164, 35, 0},   {"BtnExit", 614, 542, 164, 35, 0},
        {"BtnBuf", 8, 192, 17, 17, 0},       {"Viewer", 216, 104, 551, 385, 0},
    };
    for (const auto& e : layout) {
        SCOPED_TRACE(e.Name);
        platform::Control* c = form_->FindComponent(e.Name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->BoundsRect(), platform::Bounds(e.Left, e.Top, e.Width, e.Height));
        EXPECT_EQ(c->Tag(), e.Tag);
        if (auto* b = dynamic_cast<TImgBtn*>(c)) {
            EXPECT_EQ(b->Cursor(), platform::crHandPoint);
            EXPECT_TRUE(b->Supported());
            EXPECT_FALSE(b->NeedDown() || b->NeedRight());
            EXPECT_TRUE(SamePixels(b->PicUp(), b->PicDown()));
        }
    }
    EXPECT_FALSE(form_->BtnBuf->Visible());
    EXPECT_EQ(form_->Viewer->DefFontName(), "Arial");
    EXPECT_EQ(form_->Viewer->DefFontSize(), 11);
    EXPECT_EQ(form_->Viewer->DefFontColor(), platform::clNavy);
    EXPECT_EQ(form_->Viewer->DefBackground(), platform::clWhite);
    EXPECT_EQ(form_->Viewer->MarginWidth(), 8);
    EXPECT_EQ(form_->Viewer->MarginHeight(), 0);
    EXPECT_EQ(form_->Viewer->HistoryMaxCount(), 0);
    EXPECT_TRUE(form_->Viewer->fvOptions().Contains(fvNoBorder));

    EXPECT_EQ(dialog_->Caption(), u"Вопрос");
    EXPECT_EQ(dialog_->ClientWidth(), 250);
    EXPECT_EQ(dialog_->ClientHeight(), 400);
    EXPECT_EQ(dialog_->BtnYes->BoundsRect(), platform::Bounds(16, 335, 101, 41));
    EXPECT_EQ(dialog_->BtnNo->BoundsRect(), platform::Bounds(133, 335, 101, 41));
    EXPECT_FALSE(dialog_->Visible());
}

TEST_F(InfoWindowTest, YearThenSecondLinkThenGeneralPages)
{
    Open();
    Click(*form_->Btn2004);
    EXPECT_EQ(LastOpened(), "Info\\2004\\about2004.html");
    EXPECT_EQ(form_->PageFolder, "Info\\2004\\");
    EXPECT_EQ(form_->SubLab1->Caption(), u"Статистика 2004 года");
    EXPECT_EQ(form_->SubLab2->Caption(), u"Победители 2004 года");

    Click(*form_->SubLab2);
    EXPECT_EQ(LastOpened(), "Info\\2004\\best_results\\best_results.html");
    EXPECT_EQ(form_->SubLab2->FontColor(), platform::clRed);
    EXPECT_EQ(form_->SubLab1->FontColor(), platform::clMaroon);
    Click(*form_->SubLab1);
    EXPECT_EQ(LastOpened(), "Info\\2004\\statistics\\statistics.html");
    EXPECT_EQ(form_->SubLab1->FontColor(), platform::clRed);
    EXPECT_EQ(form_->SubLab2->FontColor(), platform::clMaroon);

    Click(*form_->Btn0);
    EXPECT_EQ(LastOpened(), "Info\\about_game.html");
    EXPECT_EQ(form_->SubLab1->Caption(), u"Об авторах");
    EXPECT_EQ(form_->SubLab2->Caption(), u"Контакты");
    EXPECT_EQ(form_->SubLab1->FontColor(), platform::clMaroon);
    Click(*form_->SubLab1);
    EXPECT_EQ(LastOpened(), "Info\\about_autors.html");
    Click(*form_->SubLab2);
    EXPECT_EQ(LastOpened(), "Info\\contact.html");
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\contact.html"));
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(InfoWindowTest, EveryYearOpensItsOwnPages)
{
    Open();
    for (TImgBtn* b : form_->YearButtons()) {
        if (b == form_->Btn0)
            continue;
        std::string y = std::to_string(b->Tag());
        Click(*b);
        EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\" + y + "\\about" + y + ".html"));
        Click(*form_->SubLab1);
        EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\" + y + "\\statistics\\statistics.html"));
    }
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(InfoWindowTest, SelectedYearStaysHighlightedAndThePreviousGetsItsPictureBack)
{
    Open();
    const platform::Bitmap normal0 = form_->BtnBuf->Picture();
    const platform::Bitmap normal2001 = form_->Btn2001->Pic();
    Click(*form_->Btn2001);
    test::MouseMove(*form_->Back, 400, 580);  // away from every button
    EXPECT_TRUE(SamePixels(form_->Btn0->Picture(), normal0));
    EXPECT_TRUE(SamePixels(form_->Btn2001->Picture(), form_->Btn2001->PicUp()));
    EXPECT_TRUE(SamePixels(form_->BtnBuf->Picture(), normal2001));
    EXPECT_EQ(form_->BtnBuf->Tag(), 2001);

    Click(*form_->Btn2005);
    test::MouseMove(*form_->Back, 400, 580);
    EXPECT_TRUE(SamePixels(form_->Btn2001->Picture(), normal2001));
    EXPECT_TRUE(SamePixels(form_->Btn2005->Picture(), form_->Btn2005->PicUp()));

    // The selected button clicked again: the same state, the page loaded again.
    std::size_t before = form_->Viewer->OpenRequests().size();
    Click(*form_->Btn2005);
    test::MouseMove(*form_->Back, 400, 580);
    EXPECT_EQ(form_->Viewer->OpenRequests().size(), before + 1);
    EXPECT_EQ(LastOpened(), "Info\\2005\\about2005.html");
    EXPECT_TRUE(SamePixels(form_->Btn2005->Picture(), form_->Btn2005->PicUp()));
    Click(*form_->Btn2003);
    EXPECT_FALSE(SamePixels(form_->Btn2005->Picture(), form_->Btn2005->PicUp()));
}

TEST_F(InfoWindowTest, LinksUnderlineUnderTheMouse)
{
    Open();
    test::MouseMove(*form_->SubLab1, 70, 6);
    EXPECT_TRUE(form_->SubLab1->Font().Underline);
    EXPECT_TRUE(form_->SubLab1->Font().Bold());
    EXPECT_FALSE(form_->SubLab2->Font().Underline);
    test::MouseMove(*form_->SubLab2, 70, 6);
    EXPECT_FALSE(form_->SubLab1->Font().Underline);
    EXPECT_TRUE(form_->SubLab2->Font().Underline);
    test::MouseMove(*form_->Back, 400, 580);
    EXPECT_FALSE(form_->SubLab2->Font().Underline);
    EXPECT_EQ(form_->SubLab2->Width(), 141);
}

TEST_F(InfoWindowTest, WebAndMailAddressesGoToTheDesktopAsOneArgument)
{
    Open();
    EXPECT_TRUE(form_->Viewer->ClickLink("_blank", "mailto:info@example.org"));
    const std::string nasty = "http://x.example/a b;rm -rf ~;$(touch pwned)'\"`id`";
    EXPECT_TRUE(form_->Viewer->ClickLink("", nasty));
    // Addresses come from pages in the system code page and reach the desktop in UTF-8.
    EXPECT_TRUE(form_->Viewer->ClickLink("", platform::WideToMultiByte(1251, u"http://пример.example/игра")));
    ASSERT_EQ(shell_->addresses.size(), 3u) << testing::PrintToString(shell_->addresses);
    EXPECT_EQ(shell_->addresses[0], "mailto:info@example.org");
    EXPECT_EQ(shell_->addresses[1], nasty);
    EXPECT_EQ(shell_->addresses[2], "http://пример.example/игра");
    EXPECT_TRUE(shell_->programs.empty());
    EXPECT_FALSE(fs::exists(runtime_ / "pwned"));
    // The desktop's opener gets the address as one argument of its own.
    std::vector<std::string> command = platform::OpenerCommand(nasty);
    ASSERT_EQ(command.size(), 2u);
    EXPECT_EQ(command[1], nasty);
    // Nothing was followed in the viewer.
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\about_game.html"));
}

TEST_F(InfoWindowTest, WindowIsMinimisedBeforeAnAddressIsHandedOver)
{
    Open();
    EXPECT_FALSE(form_->Viewer->ClickLink("", "about_autors.html"));  // not the window's business
    EXPECT_FALSE(form_->Minimized());
    EXPECT_TRUE(form_->Viewer->ClickLink("", "http://example.org/"));
    EXPECT_TRUE(form_->Minimized());
}

// The scheme need not lead: an address holding "http://" anywhere is the desktop's business, not the
// viewer's. The desktop itself only takes addresses that start with a web or mail scheme.
TEST_F(InfoWindowTest, AddressWithTheSchemeInsideIsTakenFromTheViewer)
{
    Open();
    EXPECT_TRUE(form_->Viewer->ClickLink("", platform::WideToMultiByte(1251, u"Форум: http://forum.example/")));
    EXPECT_TRUE(form_->Viewer->ClickLink("", "about_autors.html?from=http://x.example/"));
    EXPECT_TRUE(shell_->addresses.empty());
    EXPECT_EQ(form_->Viewer->OpenRequests().size(), 1u);
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\about_game.html"));
}

TEST_F(InfoWindowTest, AddressWithBothSchemesIsHandedOverTwiceAndOthersStayInTheViewer)
{
    Open();
    EXPECT_TRUE(form_->Viewer->ClickLink("", "mailto:a@example.org?body=http://b.example/"));
    EXPECT_EQ(shell_->addresses.size(), 2u);
    // A local page is followed by the viewer.
    EXPECT_FALSE(form_->Viewer->ClickLink("", "2003/about2003.html#first"));
    EXPECT_EQ(shell_->addresses.size(), 2u);
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\2003\\about2003.html"));
    // The year state and the links do not follow pages reached inside the viewer.
    EXPECT_EQ(form_->BtnBuf->Tag(), 0);
    EXPECT_EQ(form_->SubLab1->Caption(), u"Об авторах");
}

TEST_F(InfoWindowTest, MissingPageReportsAndKeepsThePreviousPage)
{
    fs::remove_all(runtime_ / "Info" / "2005");
    Open();
    Click(*form_->Btn2005);
    ASSERT_EQ(errors_.Messages().size(), 1u);
    EXPECT_EQ(errors_.Messages()[0], "Can't locate file: Info\\2005\\about2005.html");
    // The handler got as far as selecting the year; the viewer still shows the page before.
    EXPECT_EQ(form_->BtnBuf->Tag(), 2005);
    EXPECT_EQ(form_->PageFolder, "Info\\2005\\");
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\about_game.html"));
    EXPECT_EQ(form_->LastPageRequested, "Info\\2005\\about2005.html");
    // The window goes on working.
    Click(*form_->Btn2003);
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\2003\\about2003.html"));
    EXPECT_EQ(form_->SubLab1->Caption(), u"Статистика 2003 года");
    Click(*form_->SubLab2);
    EXPECT_EQ(errors_.Messages().size(), 1u);
}

TEST_F(InfoWindowTest, MissingFirstPageAtStartIsReportedAndTheWindowStillComesUp)
{
    fs::remove(runtime_ / "Info" / "about_game.html");
    Open();
    ASSERT_EQ(errors_.Messages().size(), 1u);
    EXPECT_EQ(errors_.Messages()[0], "Can't locate file: Info\\about_game.html");
    EXPECT_EQ(form_->SubLab1->Caption(), u"Об авторах");
    EXPECT_TRUE(form_->Visible());
    Click(*form_->Btn2000);
    EXPECT_EQ(form_->Viewer->CurrentFile(), Full("Info\\2000\\about2000.html"));
    EXPECT_EQ(form_->LastPageRequested, "Info\\2000\\about2000.html");
}

TEST_F(InfoWindowTest, StandardErrorReportIsAMessageBoxWithTheMessage)
{
    fs::remove_all(runtime_ / "Info" / "2002");
    Open();
    test::MessageBoxRecorder boxes;
    // Without a recording error report, the default one shows a box.
    auto recorder = platform::SetErrorReportService(nullptr);
    Click(*form_->Btn2002);
    platform::SetErrorReportService(std::move(recorder));
    ASSERT_EQ(boxes.Requests().size(), 1u);
    EXPECT_NE(boxes.Requests()[0].Text.find(u"Can't locate file: Info\\2002\\about2002.html"), std::u16string::npos);
}

TEST_F(InfoWindowTest, DialogNoChangesNothingAndBothCloseButtonsAsk)
{
    Open();
    Click(*form_->Btn2006);
    Click(*form_->SubLab2);
    std::vector<std::string> before = form_->Viewer->OpenRequests();
    test::ModalRecorder modal([this](platform::Form& f) {
        EXPECT_EQ(&f, dialog_.get());
        EXPECT_TRUE(f.Visible());
        // Centred over the window.
        EXPECT_EQ(f.Left(), form_->Left() + (800 - 250) / 2);
        EXPECT_EQ(f.Top(), form_->Top() + (600 - 400) / 2);
        Click(*dialog_->BtnNo);
        return platform::mrNone;
    });
    Click(*form_->BtnExit);
    Click(*form_->BtnClose);
    EXPECT_EQ(modal.Forms().size(), 2u);
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_TRUE(form_->Visible());
    EXPECT_EQ(form_->Viewer->OpenRequests(), before);
    EXPECT_EQ(form_->BtnBuf->Tag(), 2006);
    EXPECT_EQ(form_->SubLab2->FontColor(), platform::clRed);
}

TEST_F(InfoWindowTest, TestButtonStartsTheProgramBesideItAndCloses)
{
    std::ofstream(runtime_ / "VexaTest.exe") << "#!/bin/sh\n";
    fs::permissions(runtime_ / "VexaTest.exe", fs::perms::owner_all);
    Open();
    int closes = 0;
    form_->OnClose = [&](platform::Control*, platform::TCloseAction&) { ++closes; };
    Click(*form_->BtnTest);
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(shell_->programs.size(), 1u);
    EXPECT_EQ(fs::path(shell_->programs[0]), fs::canonical(runtime_ / "VexaTest.exe"));
    EXPECT_TRUE(shell_->arguments[0].empty());
    EXPECT_FALSE(form_->Visible());
}

TEST_F(InfoWindowTest, TestButtonWithoutTheProgramStillClosesSilently)
{
    // A same-named program elsewhere must not be found through PATH.
    Open();
    Click(*form_->BtnTest);
    EXPECT_TRUE(shell_->programs.empty());
    EXPECT_TRUE(shell_->addresses.empty());
    EXPECT_TRUE(errors_.Messages().empty());
    EXPECT_FALSE(form_->Visible());
}

// The real start: a script beside the program leaves a mark.
TEST_F(InfoWindowTest, TestProgramReallyStarts)
{
    platform::SetShellService(nullptr);
    fs::path mark = runtime_ / "started.mark";
    std::ofstream(runtime_ / "VexaTest") << "#!/bin/sh\necho started > '" << mark.string() << "'\n";
    fs::permissions(runtime_ / "VexaTest", fs::perms::owner_all);
    Open();
    Click(*form_->BtnTest);
    EXPECT_TRUE(test::RunUntil([&] { return fs::exists(mark); }, 5000));
    EXPECT_FALSE(form_->Visible());
}

// A damaged skin never stops the window: unreadable or missing pictures become plain ones of the
// controls' sizes, and the selected button still looks different.
TEST_F(InfoWindowTest, DamagedSkinFallsBackToPlainPictures)
{
    std::ofstream(runtime_ / "skin" / "btn0_hi.jpg", std::ios::trunc) << "not a picture";
    std::ofstream(runtime_ / "skin" / "back.jpg", std::ios::trunc) << "\xFF\xD8\xFF\xE0 truncated";
    fs::remove(runtime_ / "skin" / "btnyes.jpg");
    Open();
    EXPECT_TRUE(errors_.Messages().empty());
    EXPECT_EQ(form_->Back->Picture().Width(), 800);
    EXPECT_EQ(form_->Back->Picture().Height(), 600);
    EXPECT_EQ(form_->Btn0->PicUp().Width(), 158);
    EXPECT_FALSE(SamePixels(form_->Btn0->PicUp(), form_->BtnBuf->Picture()));
    EXPECT_EQ(dialog_->BtnYes->Pic().Width(), 101);
    EXPECT_EQ(dialog_->BtnYes->Pic().Height(), 41);
    // Untouched pictures still come from the skin.
    EXPECT_TRUE(SamePixels(form_->Btn2000->Pic(), LoadSkinPicture("btn2000", 158, 25, platform::clBlack)));
    EXPECT_NE(form_->Btn2000->Pic().Pixel(0, 0), platform::clBlack);
}

TEST_F(InfoWindowTest, RuntimeFolderIsTheOneHoldingThePages)
{
    EXPECT_EQ(fs::path(ChooseRuntimeFolder()), fs::current_path());
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(runtime_));
}

TEST_F(InfoWindowTest, DialogYesClosesTheWindow)
{
    Open();
    int closes = 0;
    form_->OnClose = [&](platform::Control*, platform::TCloseAction&) { ++closes; };
    test::ModalRecorder modal([this](platform::Form&) {
        Click(*dialog_->BtnYes);
        return platform::mrNone;
    });
    Click(*form_->BtnExit);
    EXPECT_EQ(modal.Forms().size(), 1u);
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(form_->Visible());
}

}  // namespace
