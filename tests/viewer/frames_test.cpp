// The frame viewer on the offscreen platform: framesets from a temp folder, sized and dragged with real
// mouse events, links routed to their targets, histories, error documents, refresh and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <unistd.h>

#include "platform/files.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "layout/sectionlist.h"
#include "style/fontobj.h"
#include "viewer/frames.h"
#include "viewer/frametree.h"
#include "viewer/frameviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

TEST(FrameSizeList, ReadsPixelsSharesAndPercentages)
{
    const struct {
        const char* Value;
        std::vector<int> Expected;
    } cases[] = {
        {"100,*,2*", {100, -1, -2}},
        {"25%,75%", {-125, -175}},
        {"10,,20", {10, -1, 20}},
        {"", {-1}},
        {"abc", {-1}},
        {"0,-1", {1, 1}},
        {"1000000000,99999999999999999999999%,500*", {5000, -1000, -99}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        std::vector<int> list;
        TSubFrameSet::ReadSizeList(c.Value, list);
        EXPECT_EQ(list, c.Expected);
    }
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += "1,";
    std::vector<int> list;
    TSubFrameSet::ReadSizeList(many, list);
    EXPECT_EQ(list.size(), 20u);
}

TEST(FrameSizeList, SizesForAnExtent)
{
    EXPECT_EQ(TSubFrameSet::ComputeSizes({-1, -2}, 300), (std::vector<int>{100, 200}));
    EXPECT_EQ(TSubFrameSet::ComputeSizes({50, -1}, 30), (std::vector<int>{30, 0}));
    EXPECT_EQ(TSubFrameSet::ComputeSizes({-130, -1}, 200), (std::vector<int>{60, 140}));
    EXPECT_EQ(TSubFrameSet::ComputeSizes({-125, -125}, 400), (std::vector<int>{100, 100}));
    EXPECT_EQ(TSubFrameSet::ComputeSizes({-125, -1, -2}, 400), (std::vector<int>{100, 100, 200}));
    // No room at all, and nothing to divide by.
    EXPECT_EQ(TSubFrameSet::ComputeSizes({0, -1}, 0), (std::vector<int>{0, 0}));
    EXPECT_EQ(TSubFrameSet::ComputeSizes({-1000, -1000}, -5), (std::vector<int>{0, 0}));
}

class FramesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int serial = 0;
        dir_ = fs::temp_directory_path() / ("vexa-frames-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        fs::create_directories(dir_);
        old_ = fs::current_path();
        fs::current_path(dir_);
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 820, 620);
        viewer_ = &form_->Add<TFrameViewer>();
        viewer_->SetBounds(0, 0, 400, 300);
        test::ShowAndActivate(*form_);
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
        fs::current_path(old_);
        fs::remove_all(dir_);
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name) << text; }
    std::string Full(const std::string& name) const { return platform::ExpandFileName((dir_ / name).string()); }
    platform::Rect RectOf(platform::Control& c) const
    {
        const platform::Point p = viewer_->ScreenToClient(c.ClientToScreen(platform::Point{0, 0}));
        return platform::Bounds(p.X, p.Y, c.Width(), c.Height());
    }
    TfvFrame& Frame(const std::string& name)
    {
        TfvFrame* f = viewer_->FrameByName(name);
        if (!f)
            throw std::runtime_error("no frame " + name);
        return *f;
    }
    std::string ShownFile(const std::string& frame) { return platform::ExtractFileName(Frame(frame).Source); }
    // Clicks on the first line of a frame's page (where the test pages put their one link).
    void ClickFirstLine(const std::string& frame)
    {
        platform::Control& p = Frame(frame).DocViewer()->PaintPanel();
        test::MouseMove(p, 20, 12);
        test::MouseClick(p, 20, 12);
        test::ProcessEvents();
    }

    fs::path dir_, old_;
    std::unique_ptr<platform::Form> form_;
    TFrameViewer* viewer_ = nullptr;
    test::ErrorRecorder errors_;
};

TEST_F(FramesTest, ThreeLevelsAreSizedAtTwoWindowSizes)
{
    viewer_->SetfvOptions({fvNoBorder});
    Write("top.html", "<frameset rows=\"100,*\"><frame name=a src=p.html>"
                      "<frameset cols=\"25%,*,2*\"><frame name=b src=p.html><frame name=c src=p.html>"
                      "<frameset rows=\"50%,50%\"><frame name=d src=p.html><frame name=e src=p.html>"
                      "</frameset></frameset></frameset>");
    Write("p.html", "<p>page");
    viewer_->OpenFile("top.html");
    EXPECT_EQ(viewer_->ViewerCount(), 5);
    EXPECT_EQ(RectOf(Frame("a")), platform::Bounds(0, 0, 400, 100));
    EXPECT_EQ(RectOf(Frame("b")), platform::Bounds(0, 100, 100, 200));
    EXPECT_EQ(RectOf(Frame("c")), platform::Bounds(100, 100, 100, 200));
    EXPECT_EQ(RectOf(Frame("d")), platform::Bounds(200, 100, 200, 100));
    EXPECT_EQ(RectOf(Frame("e")), platform::Bounds(200, 200, 200, 100));
    viewer_->SetBounds(0, 0, 800, 600);
    test::ProcessEvents();
    EXPECT_EQ(RectOf(Frame("a")), platform::Bounds(0, 0, 800, 100));
    EXPECT_EQ(RectOf(Frame("b")), platform::Bounds(0, 100, 200, 500));
    EXPECT_EQ(RectOf(Frame("c")), platform::Bounds(200, 100, 200, 500));
    EXPECT_EQ(RectOf(Frame("d")), platform::Bounds(400, 100, 400, 250));
    EXPECT_EQ(RectOf(Frame("e")), platform::Bounds(400, 350, 400, 250));
    // The tree as the tools print it.
    const std::string tree = FrameTreeText(*viewer_);
    EXPECT_NE(tree.find("frame \"e\" src=" + Full("p.html") + " rect=(400,350 400x250)"), std::string::npos) << tree;
}

TEST_F(FramesTest, BordersDragButNotNextToNoResize)
{
    Write("set.html", "<frameset cols=\"100,*\"><frame name=a src=p.html><frame name=b src=p.html></frameset>");
    Write("fixed.html", "<frameset cols=\"100,*\"><frame name=a src=p.html><frame name=b noresize src=p.html></frameset>");
    Write("p.html", "<p>page");
    viewer_->OpenFile("set.html");
    TfvFrame& a = Frame("a");
    ASSERT_EQ(RectOf(a), platform::Bounds(0, 0, 100, 300));
    test::MouseMove(a, 98, 50);  // on the frame's bevel, next to the border
    EXPECT_EQ(a.Cursor(), platform::crHSplit);
    test::MousePress(a, 98, 50);
    test::MouseMove(a, 150, 50);
    test::MouseRelease(a, 150, 50);
    test::ProcessEvents();
    EXPECT_EQ(RectOf(Frame("a")).Right, 150);
    EXPECT_EQ(RectOf(Frame("b")), platform::Bounds(150, 0, 250, 300));
    // Dragged beyond the far frame: kept inside the set.
    test::MouseMove(Frame("a"), 148, 50);
    test::MousePress(Frame("a"), 148, 50);
    test::MouseMove(Frame("a"), 2000, 50);
    test::MouseRelease(Frame("a"), 2000, 50);
    EXPECT_LT(RectOf(Frame("a")).Right, 400);

    viewer_->OpenFile("fixed.html");
    TfvFrame& fa = Frame("a");
    test::MouseMove(fa, 98, 50);
    EXPECT_NE(fa.Cursor(), platform::crHSplit);
    test::MousePress(fa, 98, 50);
    test::MouseMove(fa, 150, 50);
    test::MouseRelease(fa, 150, 50);
    EXPECT_EQ(RectOf(Frame("a")), platform::Bounds(0, 0, 100, 300));
    EXPECT_TRUE(errors_.Messages().empty());
}

class FrameLinksTest : public FramesTest {
protected:
    void SetUp() override
    {
        FramesTest::SetUp();
        Write("set.html", "<title>Set</title><frameset cols=\"150,*\"><frame name=menu src=menu.html>"
                          "<frame name=main src=p1.html></frameset>");
        Write("menu.html", "<a href=\"p2.html\" target=\"main\">GO GO GO GO</a>");
        Write("p1.html", "<title>One</title><a href=\"set.html\" target=\"_top\">TOP TOP TOP</a>");
        Write("p2.html", "<title>Two</title><a href=\"plain.html\" target=\"_top\">TOP TOP TOP</a>");
        Write("plain.html", "<title>Plain</title><a href=\"p1.html\">ONE ONE ONE</a>");
    }
};

TEST_F(FrameLinksTest, LinkInOneFrameLoadsAnother)
{
    viewer_->OpenFile("set.html");
    EXPECT_EQ(viewer_->DocumentTitle(), "Set");
    std::string covered;
    viewer_->OnHotSpotTargetCovered = [&](platform::Control* sender, const std::string& target,
                                          const std::string& url) {
        EXPECT_EQ(sender, Frame("menu").DocViewer());
        covered = target + " " + url;
    };
    std::string clicked;
    viewer_->OnHotSpotTargetClick = [&](platform::Control*, const std::string& target, const std::string& url,
                                        bool&) { clicked = target + " " + url; };
    ClickFirstLine("menu");
    EXPECT_EQ(covered, "main p2.html");
    EXPECT_EQ(clicked, "main p2.html");
    EXPECT_EQ(ShownFile("main"), "p2.html");
    EXPECT_EQ(ShownFile("menu"), "menu.html");
    EXPECT_EQ(Frame("main").DocViewer()->DocumentTitle(), "Two");
    EXPECT_EQ(viewer_->Visited().front(), Full("p2.html"));
    // A target that names no frame loads nothing (there is no blank-window handler).
    EXPECT_FALSE(viewer_->ClickLink("nowhere", "p1.html"));
    EXPECT_EQ(ShownFile("main"), "p2.html");
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FrameLinksTest, TopReplacesTheWholeSetAndBackAndForwardWalkTheSteps)
{
    viewer_->SetHistoryMaxCount(10);
    viewer_->OpenFile("set.html");
    EXPECT_FALSE(viewer_->BackButtonEnabled());
    ClickFirstLine("menu");  // main: p1 -> p2
    EXPECT_TRUE(viewer_->BackButtonEnabled());
    ClickFirstLine("main");  // _top: plain.html
    EXPECT_EQ(viewer_->ViewerCount(), 1);
    EXPECT_EQ(viewer_->CurrentFile(), Full("plain.html"));
    EXPECT_EQ(viewer_->DocumentTitle(), "Plain");
    EXPECT_EQ(viewer_->FrameByName("main"), nullptr);

    viewer_->GoBack();  // the frameset again, as it was left
    ASSERT_EQ(viewer_->ViewerCount(), 2);
    EXPECT_EQ(viewer_->CurrentFile(), Full("set.html"));
    EXPECT_EQ(ShownFile("main"), "p2.html");
    EXPECT_TRUE(viewer_->FwdButtonEnabled());
    viewer_->GoBack();  // the frame's own step
    EXPECT_EQ(ShownFile("main"), "p1.html");
    EXPECT_FALSE(viewer_->BackButtonEnabled());
    viewer_->GoFwd();
    EXPECT_EQ(ShownFile("main"), "p2.html");
    viewer_->GoFwd();
    EXPECT_EQ(viewer_->CurrentFile(), Full("plain.html"));
    EXPECT_FALSE(viewer_->FwdButtonEnabled());
    int changes = 0;
    viewer_->OnHistoryChange = [&](platform::Control*) { ++changes; };
    viewer_->ClearHistory();
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(viewer_->BackButtonEnabled());
    EXPECT_TRUE(viewer_->History().empty());
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FrameLinksTest, PlainPageLinkReplacesTheDocumentWithoutFreeingWhatIsRunning)
{
    viewer_->OpenFile("plain.html");
    THTMLViewer* before = viewer_->ViewerAt(0);
    ASSERT_NE(before, nullptr);
    test::MouseMove(before->PaintPanel(), 20, 12);
    test::MouseClick(before->PaintPanel(), 20, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), Full("p1.html"));
    EXPECT_NE(viewer_->ViewerAt(0), before);
    // p1's link leads to the frameset, which becomes the new tree.
    test::MouseMove(viewer_->ViewerAt(0)->PaintPanel(), 20, 12);
    test::MouseClick(viewer_->ViewerAt(0)->PaintPanel(), 20, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->ViewerCount(), 2);
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FramesTest, MissingFrameShowsTheErrorDocumentAndTheRestStays)
{
    Write("set.html", "<frameset rows=\"*,*,*,*,*\"><frame name=a src=missing.html><frame name=b src=p.html>"
                      "<frame name=c src=pic.gif><frame name=d src=folder><frame name=e src=notes.txt></frameset>");
    Write("p.html", "<p>fine");
    Write("notes.txt", "plain <b>text</b>");
    Write("pic.gif", "GIF89a broken");
    fs::create_directories(dir_ / "folder");
    viewer_->OpenFile("set.html");
    ASSERT_EQ(viewer_->ViewerCount(), 5);
    EXPECT_NE(Frame("a").DocViewer()->DocumentSource().find("Can't load " + Full("missing.html")), std::string::npos);
    EXPECT_EQ(Frame("b").DocViewer()->DocumentSource(), "<p>fine");
    EXPECT_EQ(Frame("c").DocViewer()->DocumentKind(), 2);
    EXPECT_NE(Frame("d").DocViewer()->DocumentSource().find("Can't load"), std::string::npos);
    EXPECT_EQ(Frame("e").DocViewer()->DocumentKind(), 1);
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FramesTest, FrameShowingItsOwnFramesetStopsAtTheDepthLimit)
{
    Write("self.html", "<frameset cols=\"*,*\"><frame src=\"self.html\"><frame src=\"leaf.html\"></frameset>");
    Write("leaf.html", "<p>leaf");
    viewer_->OpenFile("self.html");
    // Five sets of two frames: frame documents four deep, the frames of the deepest set left empty.
    EXPECT_EQ(viewer_->Master().Frames.size(), 10u);
    EXPECT_EQ(viewer_->ViewerCount(), 4);
}

TEST_F(FramesTest, MetaRefreshMovesBetweenTwoFramePages)
{
    viewer_->SetfvOptions({fvMetaRefresh});
    Write("set.html", "<frameset cols=\"*,*\"><frame name=side src=p.html><frame name=main src=r1.html></frameset>");
    Write("p.html", "<p>side");
    Write("r1.html", "<meta http-equiv=refresh content=\"0; url=r2.html\"><p>one");
    Write("r2.html", "<meta http-equiv=\"Refresh\" content=\"0;URL=r1.html\"><p>two");
    viewer_->OpenFile("set.html");
    EXPECT_EQ(ShownFile("main"), "r1.html");
    EXPECT_TRUE(test::RunUntil([&] { return ShownFile("main") == "r2.html"; }, 4000));
    EXPECT_TRUE(test::RunUntil([&] { return ShownFile("main") == "r1.html"; }, 4000));
    EXPECT_EQ(ShownFile("side"), "p.html");
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FramesTest, BadFramesetsStayBounded)
{
    // No ROWS or COLS and more frames than a size list holds: one share each.
    std::string many = "<frameset>";
    for (int i = 0; i < 25; ++i)
        many += "<frame name=same src=p.html>";
    Write("many.html", many + "</frameset>");
    Write("p.html", "<p>x");
    viewer_->SetfvOptions({fvNoBorder});
    viewer_->SetBounds(0, 0, 500, 300);
    viewer_->OpenFile("many.html");
    EXPECT_EQ(viewer_->ViewerCount(), 25);
    EXPECT_EQ(RectOf(*viewer_->ViewerAt(24)), platform::Bounds(480, 0, 20, 300));
    EXPECT_NE(viewer_->FrameByName("SAME"), nullptr);

    // Deeply nested sets and thousands of frames.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<frameset rows=\"-1,0,1000000000,abc\">";
    Write("deep.html", deep + "<frame>");
    viewer_->OpenFile("deep.html");
    EXPECT_LE(viewer_->Master().ItemCount, TFrameSet::MaxItems + 1);
    std::string wide = "<frameset cols=\"*\">";
    for (int i = 0; i < 5000; ++i)
        wide += "<frame>";
    Write("wide.html", wide);
    viewer_->OpenFile("wide.html");
    EXPECT_LE(viewer_->Master().Frames.size(), std::size_t(TFrameSet::MaxItems));

    // A frameset inside a table is page text, not a frameset.
    Write("table.html", "<table><tr><td><frameset cols=\"*,*\"><frame src=p.html></frameset></table>");
    viewer_->OpenFile("table.html");
    EXPECT_EQ(viewer_->ViewerCount(), 1);
    EXPECT_EQ(viewer_->ViewerAt(0)->CurrentFile(), Full("table.html"));
    EXPECT_TRUE(errors_.Messages().empty());
}

TEST_F(FramesTest, OpenFileChecksTheFilePartAndReloadsTheSameFileInPlace)
{
    Write("p.html", "<p>x<a name=end></a>");
    EXPECT_THROW(viewer_->OpenFile("nothing.html#x"), EfvLoadError);
    fs::create_directories(dir_ / "folder");
    try {
        viewer_->OpenFile("folder");
        FAIL();
    } catch (const EfvLoadError& e) {
        EXPECT_STREQ(e.what(), "Can't locate file: folder");
    }
    viewer_->OpenFile("p.html#end");
    TFrameSet* master = &viewer_->Master();
    viewer_->OpenFile("P.HTML");
    EXPECT_EQ(&viewer_->Master(), master);
    EXPECT_EQ(viewer_->OpenRequests().size(), 4u);
    // Busy: ignored.
    bool seen = false;
    viewer_->OnProcessing = [&](platform::Control*, bool on) {
        if (on && !seen) {
            seen = true;
            viewer_->OpenFile("p.html");  // re-entered while loading: dropped
        }
    };
    viewer_->OpenFile("p.html");
    EXPECT_TRUE(seen);
    EXPECT_FALSE(viewer_->Busy());
}

}  // namespace

namespace {

TEST_F(FrameLinksTest, BlankWindowsQueriesAndVisitedMarks)
{
    viewer_->OpenFile("plain.html");
    // "_blank" without a handler does nothing; with one, the host gets it.
    EXPECT_FALSE(viewer_->ClickLink("_blank", "p2.html"));
    EXPECT_EQ(viewer_->CurrentFile(), Full("plain.html"));
    std::vector<std::string> blank;
    viewer_->OnBlankWindowRequest = [&](platform::Control*, const std::string& target, const std::string& url) {
        blank.push_back(target + " " + url);
    };
    viewer_->ClickLink("_blank", "p2.html");
    EXPECT_EQ(blank, std::vector<std::string>{"_blank p2.html"});
    EXPECT_EQ(viewer_->CurrentFile(), Full("plain.html"));
    // The query is left out of the loaded name but kept in the visited list.
    viewer_->ClickLink("", "p1.html?x=1");
    EXPECT_EQ(viewer_->CurrentFile(), Full("p1.html"));
    EXPECT_EQ(viewer_->Visited().front(), Full("p1.html") + "?x=1");
    // Back on the plain page its link to p1.html shows as visited, until the list is switched off.
    viewer_->OpenFile("plain.html");
    ASSERT_FALSE(viewer_->ViewerAt(0)->SectionList().LinkRuns().empty());
    TFontObj* run = viewer_->ViewerAt(0)->SectionList().LinkRuns().front();
    EXPECT_TRUE(run->Visited);
    viewer_->SetVisitedMaxCount(0);
    EXPECT_FALSE(run->Visited);
    EXPECT_TRUE(viewer_->Visited().empty());
}

TEST_F(FrameLinksTest, ReloadReadsEveryFrameAgain)
{
    viewer_->OpenFile("set.html");
    TfvFrame* main = &Frame("main");
    Write("p1.html", "<title>New</title><p>changed");
    viewer_->Reload();
    EXPECT_EQ(&Frame("main"), main);
    EXPECT_EQ(Frame("main").DocViewer()->DocumentTitle(), "New");
    EXPECT_FALSE(viewer_->Busy());
}

TEST_F(FramesTest, RequestEventsSupplyTheDocuments)
{
    const std::map<std::string, std::string> pages = {
        {"set", "<frameset cols=\"*,*\"><frame name=a src=one><frame name=b src=two.txt></frameset>"},
        {"one", "<p>first"},
        {"two.txt", "<p>second"},
    };
    std::vector<std::string> asked;
    viewer_->OnStringsRequest = [&](platform::Control*, const std::string& src, std::vector<std::string>& lines) {
        asked.push_back(src);
        if (auto it = pages.find(src); it != pages.end())
            lines.push_back(it->second);
    };
    viewer_->LoadTopDocument("set");
    ASSERT_EQ(viewer_->ViewerCount(), 2);
    EXPECT_EQ(Frame("a").DocViewer()->DocumentSource(), "<p>first");
    // A ".txt" source is asked for like any other and shown as HTML.
    EXPECT_EQ(Frame("b").DocViewer()->DocumentKind(), 0);
    EXPECT_EQ(Frame("b").DocViewer()->DocumentSource(), "<p>second");
    EXPECT_EQ(asked, (std::vector<std::string>{"set", "one", "two.txt"}));
}

}  // namespace

namespace {

// Two pages that refresh to each other at once: one load a second at most, and nothing piles up.
TEST_F(FramesTest, RefreshLoopBetweenTwoPagesStaysBounded)
{
    viewer_->SetfvOptions({fvMetaRefresh});
    Write("ra.html", "<meta http-equiv=refresh content=\"0;url=rb.html\"><p>a");
    Write("rb.html", "<meta http-equiv=refresh content=\"0;url=ra.html\"><p>b");
    Write("fs.html", "<meta http-equiv=refresh content=\"1;url=ra.html\"><frameset><frame src=rb.html></frameset>");
    viewer_->OpenFile("fs.html");
    EXPECT_TRUE(test::RunUntil([&] { return viewer_->CurrentFile() == Full("ra.html"); }, 4000));
    EXPECT_TRUE(test::RunUntil([&] { return viewer_->CurrentFile() == Full("rb.html"); }, 4000));
    EXPECT_TRUE(test::RunUntil([&] { return viewer_->CurrentFile() == Full("ra.html"); }, 4000));
    EXPECT_EQ(viewer_->ViewerCount(), 1);
    // Without the option nothing refreshes.
    viewer_->SetfvOptions({});
    viewer_->OpenFile("rb.html");
    test::RunEventLoop(1500);
    EXPECT_EQ(viewer_->CurrentFile(), Full("rb.html"));
    EXPECT_TRUE(errors_.Messages().empty());
}

}  // namespace

namespace {

// A link in a frame that loads a frameset into that same frame: the viewer whose click is being handled
// is replaced by a nested set, and going back brings a viewer again.
TEST_F(FrameLinksTest, FramesetLoadedIntoTheClickedFrame)
{
    viewer_->SetHistoryMaxCount(10);
    Write("inner.html", "<a href=\"set2.html\">INNER INNER INNER</a>");
    Write("set2.html", "<frameset rows=\"*,*\"><frame name=up src=p1.html><frame name=down src=p2.html></frameset>");
    viewer_->OpenFile("set.html");
    ClickFirstLine("menu");
    viewer_->ClickLink("main", "inner.html");
    ASSERT_EQ(ShownFile("main"), "inner.html");
    ClickFirstLine("main");
    ASSERT_NE(Frame("main").SubSet(), nullptr);
    EXPECT_EQ(Frame("main").DocViewer(), nullptr);
    EXPECT_EQ(viewer_->ViewerCount(), 3);
    EXPECT_EQ(ShownFile("down"), "p2.html");
    viewer_->GoBack();
    EXPECT_EQ(ShownFile("main"), "inner.html");
    EXPECT_NE(Frame("main").DocViewer(), nullptr);
    EXPECT_EQ(viewer_->FrameByName("down"), nullptr);
    viewer_->GoBack();
    EXPECT_EQ(ShownFile("main"), "p2.html");
    viewer_->GoFwd();
    viewer_->GoFwd();
    EXPECT_NE(Frame("main").SubSet(), nullptr);
    EXPECT_FALSE(viewer_->FwdButtonEnabled());
    test::ProcessEvents();
    EXPECT_TRUE(errors_.Messages().empty());
}

}  // namespace

namespace {

TEST_F(FrameLinksTest, LinkToAMissingPageKeepsWhatIsShown)
{
    viewer_->OpenFile("plain.html");
    try {
        viewer_->ClickLink("", "gone.html");
        FAIL() << "no error";
    } catch (const EfvLoadError& e) {
        EXPECT_EQ(std::string(e.what()), "Can't load: " + Full("gone.html"));
    }
    EXPECT_EQ(viewer_->CurrentFile(), Full("plain.html"));
    EXPECT_EQ(viewer_->ViewerCount(), 1);
    viewer_->OpenFile("set.html");
    EXPECT_THROW(viewer_->ClickLink("main", "gone.html"), EfvLoadError);
    EXPECT_EQ(ShownFile("main"), "p1.html");
    EXPECT_FALSE(viewer_->Busy());
}

}  // namespace

namespace {

TEST_F(FramesTest, FrameAttributesAndBorders)
{
    std::string lines;
    for (int i = 0; i < 200; ++i)
        lines += "<p>line " + std::to_string(i) + "\n";
    Write("long.html", lines + "<a name=end>end</a>");
    Write("sub/p.html", "<p>sub");
    Write("set.html", "<frameset cols=\"*,*\" border=0><frame name=a src=\"long.html#end\" scrolling=NO "
                      "marginwidth=3 marginheight=4 noresize><frame name=b src=\"sub/p.html\"></frameset>");
    Write("plainborder.html", "<frameset cols=\"*,*\"><frame name=a src=long.html><frame src=long.html></frameset>");
    viewer_->OpenFile("set.html");
    TfvFrame& a = Frame("a");
    EXPECT_TRUE(a.NoResize);
    EXPECT_TRUE(a.NoScroll);
    EXPECT_EQ(a.Destination, "#end");
    EXPECT_EQ(a.Source, Full("long.html"));
    EXPECT_TRUE(SameFileName(Frame("b").Source, Full("sub/p.html")));
    EXPECT_EQ(a.DocViewer()->ScrollBars(), ssNone);
    EXPECT_EQ(a.DocViewer()->MarginWidth(), 3);
    EXPECT_EQ(a.DocViewer()->MarginHeight(), 4);
    EXPECT_GT(a.DocViewer()->VScrollBarPosition(), 0);  // scrolled to its anchor
    // BORDER=0: frames without bevels, the set with one of 2.
    EXPECT_EQ(a.BevelOuter(), platform::bvNone);
    EXPECT_EQ(viewer_->Master().OuterBorder, 2);
    // No BORDER: bevels of 2 on the frames, none around the set.
    viewer_->OpenFile("plainborder.html");
    EXPECT_EQ(Frame("a").BevelOuter(), platform::bvLowered);
    EXPECT_EQ(Frame("a").BevelWidth(), 2);
    EXPECT_EQ(viewer_->Master().OuterBorder, 0);
    // fvNoBorder: the attribute is ignored and the frames have none.
    viewer_->SetfvOptions({fvNoBorder});
    viewer_->OpenFile("set.html");
    EXPECT_EQ(Frame("a").BevelOuter(), platform::bvNone);
    EXPECT_EQ(viewer_->Master().OuterBorder, 0);
    EXPECT_EQ(viewer_->Master().FrameBorder, 0);
}

TEST_F(FramesTest, LinkToAnAnchorOfTheShownFileScrollsWithoutReloading)
{
    std::string lines;
    for (int i = 0; i < 200; ++i)
        lines += "<p>line " + std::to_string(i) + "\n";
    Write("long.html", lines + "<a name=end>end</a>");
    Write("set.html", "<frameset cols=\"*,*\"><frame name=a src=long.html><frame name=b src=long.html></frameset>");
    viewer_->OpenFile("set.html");
    THTMLViewer* v = Frame("b").DocViewer();
    int loads = 0;
    v->OnParseEnd = [&](THTMLViewer*) { ++loads; };
    EXPECT_FALSE(viewer_->ClickLink("b", Full("long.html") + "#end"));
    EXPECT_EQ(Frame("b").DocViewer(), v);
    EXPECT_EQ(loads, 0);
    EXPECT_GT(v->VScrollBarPosition(), 0);
}

}  // namespace

namespace {

TEST_F(FramesTest, FrameSourcesFollowTheBaseOfTheFramesetDocument)
{
    fs::create_directories(dir_ / "sub");
    Write("sub/q.html", "<p>q");
    Write("set.html", "<base href=\"sub/\" target=b><frameset cols=\"*,*\"><frame name=a src=q.html>"
                      "<frame name=b src=\"/nothing.html\"></frameset>");
    viewer_->OpenFile("set.html");
    EXPECT_TRUE(SameFileName(Frame("a").Source, Full("sub/q.html")));
    EXPECT_EQ(Frame("a").DocViewer()->DocumentSource(), "<p>q");
    // A rooted name stays rooted (and is missing here).
    EXPECT_TRUE(SameFileName(Frame("b").Source, "/nothing.html"));
    EXPECT_EQ(viewer_->Master().FBaseTarget, "b");
    // A link without a target of its own goes to the document's base target.
    EXPECT_FALSE(viewer_->ClickLink("", "q.html"));
    EXPECT_EQ(viewer_->CurrentTarget(), "b");
    EXPECT_EQ(ShownFile("b"), "q.html");
}

}  // namespace

namespace {

// What the user typed comes back with the page, through the top-level history and through a frame's own.
TEST_F(FrameLinksTest, FormValuesComeBackWithTheHistory)
{
    viewer_->SetHistoryMaxCount(10);
    Write("form.html", "<a href=\"plain.html\">NEXT NEXT NEXT</a><form><input name=q></form>");
    viewer_->OpenFile("form.html");
    ASSERT_EQ(viewer_->ViewerCount(), 1);
    viewer_->ViewerAt(0)->SetFormData(TFormData{{"q=typed"}});
    platform::Control& page = viewer_->ViewerAt(0)->PaintPanel();
    test::MouseMove(page, 20, 12);
    test::MouseClick(page, 20, 12);
    test::ProcessEvents();
    ASSERT_EQ(viewer_->DocumentTitle(), "Plain");
    viewer_->GoBack();
    ASSERT_EQ(viewer_->CurrentFile(), Full("form.html"));
    std::unique_ptr<TFormData> back = viewer_->ViewerAt(0)->FormData();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(*back, (TFormData{{"q=typed"}}));

    // In a frame: the main frame's page has a form and a link to another page of the same frame.
    Write("fset.html", "<frameset cols=\"150,*\"><frame name=menu src=menu.html>"
                       "<frame name=main src=fpage.html></frameset>");
    Write("fpage.html", "<a href=\"p1.html\">NEXT NEXT NEXT</a><form><input name=w></form>");
    viewer_->OpenFile("fset.html");
    ASSERT_EQ(viewer_->ViewerCount(), 2);
    Frame("main").DocViewer()->SetFormData(TFormData{{"w=in frame"}});
    ClickFirstLine("main");
    ASSERT_EQ(ShownFile("main"), "p1.html");
    viewer_->GoBack();
    ASSERT_EQ(ShownFile("main"), "fpage.html");
    back = Frame("main").DocViewer()->FormData();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(*back, (TFormData{{"w=in frame"}}));
    EXPECT_TRUE(errors_.Messages().empty());
}

}  // namespace

namespace {

TEST_F(FrameLinksTest, FindSearchesTheActiveFrameAndFindKeysReachTheHost)
{
    std::vector<TFindRequest> requests;
    viewer_->OnFindRequest = [&](THTMLViewer*, TFindRequest r) { requests.push_back(r); };
    viewer_->OpenFile("set.html");
    // No frame is active yet: the first viewer (the menu) is searched.
    EXPECT_EQ(viewer_->FindEx(u"go go", false, false), TFindResult::Found);
    EXPECT_EQ(Frame("menu").DocViewer()->SelText(), u"GO GO");
    THTMLViewer& main = *Frame("main").DocViewer();
    main.SetFocus();
    test::ProcessEvents();
    ASSERT_EQ(viewer_->ActiveViewer(), &main);
    EXPECT_EQ(viewer_->FindEx(u"TOP", true, false), TFindResult::Found);
    EXPECT_EQ(main.SelText(), u"TOP");
    EXPECT_EQ(viewer_->FindEx(u"go", false, false), TFindResult::NotFound);
    test::KeyStroke(main, 'F', platform::ssCtrl);
    EXPECT_EQ(requests, (std::vector<TFindRequest>{TFindRequest::Open}));
}

}  // namespace

namespace {

TEST_F(FrameLinksTest, PrintingGoesToTheActiveFrameWithTheHeaderEvents)
{
    std::vector<THTMLViewer*> senders;
    viewer_->OnPrintHeader = [&](THTMLViewer* sender, platform::Canvas*, int, int, int) { senders.push_back(sender); };
    viewer_->OpenFile("set.html");
    THTMLViewer& main = *Frame("main").DocViewer();
    main.SetFocus();
    test::ProcessEvents();
    ASSERT_EQ(viewer_->ActiveViewer(), &main);
    EXPECT_EQ(viewer_->NumPrinterPages(), 1);
    senders.clear();
    const fs::path pdf = dir_ / "frame.pdf";
    EXPECT_EQ(viewer_->PrintToPDF(pdf.string()), 1);
    EXPECT_TRUE(fs::exists(pdf));
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders.front(), &main);
}

}  // namespace
