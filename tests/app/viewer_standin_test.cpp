// The frame viewer's contract as the info window relies on it: the file part of a name must exist,
// an anchor is not part of the file, nothing happens while busy, and a link click asks the host first.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <memory>

#include "platform/form.h"
#include "viewer/frameviewer_standin.h"

namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(viewer_->CurrentFile(), "Info\\page.html");
    // A folder is no document.
    EXPECT_THROW(viewer_->OpenFile("Info\\2003"), EfvLoadError);
}

TEST_F(FrameViewerContract, AnchorIsNotPartOfTheFileAndLetterCaseIsForgiven)
{
    viewer_->OpenFile("Info\\page.html#middle");
    EXPECT_EQ(viewer_->CurrentFile(), "Info\\page.html#middle");
    EXPECT_EQ(viewer_->DocumentTitle(), u"Page");
    viewer_->OpenFile("info\\2003\\about2003.html");
    EXPECT_EQ(viewer_->DocumentTitle(), u"Год");
}

TEST_F(FrameViewerContract, BusyViewerIgnoresLoadsAndClicks)
{
    viewer_->OpenFile("Info\\page.html");
    int raised = 0;
    viewer_->OnHotSpotTargetClick = [&](platform::Control*, const std::string&, const std::string&, bool&) {
        ++raised;
    };
    viewer_->SetProcessing(true);
    viewer_->OpenFile("Info\\nothing.html");  // not even checked
    EXPECT_TRUE(viewer_->ClickLink("", "http://example.org/"));
    EXPECT_EQ(raised, 0);
    viewer_->SetProcessing(false);
    EXPECT_EQ(viewer_->CurrentFile(), "Info\\page.html");
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
    EXPECT_EQ(viewer_->CurrentFile(), "Info\\page.html");
    EXPECT_FALSE(viewer_->ClickLink("", "2003/About2003.html"));
    EXPECT_EQ(viewer_->CurrentFile(), "Info\\2003/About2003.html");
}

}  // namespace
