// The frame viewer as the info window relies on it: the file part of a name must exist, an anchor is not
// part of the file, nothing happens while busy, a link click asks the host first; and the archive page of
// the shipped content shows as a frameset whose menu loads its main frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "app/infounit.h"
#include "app/infocloseunit.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "viewer/frames.h"
#include "viewer/frameviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

class FrameViewerContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vexa-viewer-contract-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "Info" / "2003");
        std::ofstream(dir_ / "Info" / "page.html") << "<html><head><title>Page</title></head></html>";
        std::ofstream(dir_ / "Info" / "2003" / "About2003.html") << "<title>\xC3\xEE\xE4</title>";  // 1251
        old_ = fs::current_path();
        fs::current_path(dir_);
        form_ = std::make_unique<platform::Form>();
        viewer_ = &form_->Add<TFrameViewer>();
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    fs::path dir_, old_;
    std::unique_ptr<platform::Form> form_;
    TFrameViewer* viewer_ = nullptr;
};

TEST_F(FrameViewerContract, MissingFileRaisesWithItsFilePartAndChangesNothing)
{
    viewer_->OpenFile("Info\\page.html");
    try {
        viewer_->OpenFile("Info\\nothing.html#top");
        FAIL() << "no error raised";
    } catch (const EfvLoadError& e) {
        EXPECT_STREQ(e.what(), "Can't locate file: Info\\nothing.html");
    }
    EXPECT_EQ(viewer_->CurrentFile(), platform::ExpandFileName("Info\\page.html"));
    // A folder is no document.
    EXPECT_THROW(viewer_->OpenFile("Info\\2003"), EfvLoadError);
}

TEST_F(FrameViewerContract, AnchorIsNotPartOfTheFileAndLetterCaseIsForgiven)
{
    viewer_->OpenFile("Info\\page.html#middle");
    EXPECT_EQ(viewer_->CurrentFile(), platform::ExpandFileName("Info\\page.html"));
    EXPECT_EQ(viewer_->DocumentTitle(), "Page");
    viewer_->OpenFile("info\\2003\\about2003.html");
    EXPECT_EQ(viewer_->DocumentTitle(), "\xC3\xEE\xE4");
}

TEST_F(FrameViewerContract, BusyViewerIgnoresLoadsAndClicks)
{
    viewer_->OpenFile("Info\\page.html");
    int raised = 0;
    viewer_->OnHotSpotTargetClick = [&](platform::Control*, const std::string&, const std::string&, bool&) {
        ++raised;
    };
    // A load that the host's processing handler interrupts with its own requests.
    viewer_->OnProcessing = [&](platform::Control*, bool on) {
        if (!on)
            return;
        viewer_->OpenFile("Info\\nothing.html");  // not even checked
        EXPECT_TRUE(viewer_->ClickLink("", "http://example.org/"));
    };
    viewer_->OpenFile("Info\\2003\\About2003.html");
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(viewer_->CurrentFile(), platform::ExpandFileName("Info\\2003\\About2003.html"));
    EXPECT_FALSE(viewer_->Busy());
}

TEST_F(FrameViewerContract, HandledClickIsNotFollowed)
{
    viewer_->OpenFile("Info\\page.html");
    std::string target, url;
    viewer_->OnHotSpotTargetClick = [&](platform::Control* sender, const std::string& t, const std::string& u,
                                        bool& handled) {
        EXPECT_EQ(sender, viewer_);
        EXPECT_FALSE(handled);
        target = t;
        url = u;
        handled = u == "2003/about2003.html";
    };
    EXPECT_TRUE(viewer_->ClickLink("main", "2003/about2003.html"));
    EXPECT_EQ(target, "main");
    EXPECT_EQ(viewer_->CurrentFile(), platform::ExpandFileName("Info\\page.html"));
    EXPECT_FALSE(viewer_->ClickLink("", "2003/About2003.html"));
    EXPECT_EQ(viewer_->CurrentFile(), platform::ExpandFileName("Info\\2003\\About2003.html"));
}

// The shipped archive page in the info window: a frameset of a menu and a main frame, where the menu's
// links load the main frame and the window's own state does not follow.
TEST(InfoWindowArchive, ShowsAsAFramesetWhoseMenuTargetsItsMainFrame)
{
    const fs::path runtime = fs::temp_directory_path() / ("vexa-archive-" + std::to_string(::getpid()));
    fs::remove_all(runtime);
    fs::create_directories(runtime);
    fs::copy(fs::path(VEXA_SOURCE_DIR) / "content" / "Info", runtime / "Info", fs::copy_options::recursive);
    const fs::path old = fs::current_path();
    fs::current_path(runtime);
    {
        test::ErrorRecorder errors;
        auto form = std::make_unique<TInfoForm>();
        auto dialog = std::make_unique<TInfoCloseForm>(form.get());
        form->InfoCloseForm = dialog.get();
        form->DoCreate();
        test::ShowAndActivate(*form);
        test::ProcessEvents();
        TFrameViewer& v = *form->Viewer;
        EXPECT_FALSE(v.ClickLink("", "archive.html"));
        ASSERT_EQ(v.ViewerCount(), 2);
        TfvFrame* menu = v.FrameByName("menu");
        TfvFrame* main = v.FrameByName("main");
        ASSERT_TRUE(menu && main);
        EXPECT_EQ(platform::ExtractFileName(main->Source), "archive_main.html");
        // The menu's first link, clicked with the mouse.
        platform::Control& p = menu->DocViewer()->PaintPanel();
        test::MouseMove(p, 80, 60);
        test::MouseClick(p, 80, 60);
        test::ProcessEvents();
        EXPECT_EQ(platform::ExtractFileName(main->Source), "about2000.html");
        EXPECT_EQ(platform::ExtractFileName(menu->Source), "archive_menu.html");
        EXPECT_EQ(form->BtnBuf->Tag(), 0);
        EXPECT_EQ(form->LastPageRequested, "Info\\about_game.html");
        // Back to the general pages through the menu's "_top" link.
        const std::string folder = platform::ExtractFilePath(menu->Source);
        EXPECT_FALSE(v.ClickLink("_top", "about_game.html"));
        EXPECT_EQ(v.ViewerCount(), 1);
        EXPECT_EQ(v.CurrentFile(), platform::ExpandFileName(folder + "about_game.html"));
        EXPECT_TRUE(errors.Messages().empty());
        dialog.reset();
        form.reset();
        test::ProcessEvents();
    }
    fs::current_path(old);
    fs::remove_all(runtime);
}

}  // namespace
