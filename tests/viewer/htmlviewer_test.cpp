// The viewer control on the offscreen platform: real pages from a temp folder, real mouse and key events.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <unistd.h>

#include "layout/sectionlist.h"
#include "platform/clipboard.h"
#include "platform/errors.h"
#include "platform/exception.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "platform/timer.h"
#include "style/fontobj.h"
#include "style/fonts.h"
#include "viewer/htmlviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

// A 24-bit BMP file of w x h pixels; colour(x, y) gives each pixel (top row first).
template <typename ColourOf>
std::string Bmp(int w, int h, ColourOf colour)
{
    const int row = (w * 3 + 3) / 4 * 4;
    const int size = 54 + row * h;
    std::string b(std::size_t(size), '\0');
    auto put32 = [&](int at, int v) {
        for (int i = 0; i < 4; ++i)
            b[std::size_t(at + i)] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    put32(34, row * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const platform::TColor c = colour(x, y);
            const std::size_t at = std::size_t(54 + (h - 1 - y) * row + x * 3);
            b[at] = char((c >> 16) & 0xFF);
            b[at + 1] = char((c >> 8) & 0xFF);
            b[at + 2] = char(c & 0xFF);
        }
    return b;
}

std::string Lines(int n, const std::string& prefix = "line")
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "<p>" + prefix + " " + std::to_string(i) + "</p>\n";
    return s;
}

class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vexa-htmlviewer-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 420, 320);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 400, 300);
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
    // The link run of a URL, or nullptr.
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
};

TEST_F(ViewerTest, LoadsFileWithTitleAndRejectsMissingFilesAndFolders)
{
    const std::string page =
        Write("page.html", "<html><head><title>Hello page</title></head><body>Text</body>");
    std::vector<bool> processing;
    int progressEnds = 0;
    viewer_->OnProcessing = [&](THTMLViewer*, bool on) { processing.push_back(on); };
    viewer_->OnProgress = [&](THTMLViewer*, ThtProgressStage s, int pct) {
        if (s == psEnding && pct == 100)
            ++progressEnds;
    };
    viewer_->OpenFile(page);
    EXPECT_EQ(viewer_->DocumentTitle(), "Hello page");
    EXPECT_EQ(viewer_->CurrentFile(), page);
    EXPECT_EQ(viewer_->DocumentKind(), 0);
    EXPECT_GT(viewer_->DocumentHeight(), 0);
    EXPECT_EQ(processing, (std::vector<bool>{true, false}));

    const std::string missing = (dir_ / "nothing.html").string();
    try {
        viewer_->OpenFile(missing + "#top");
        FAIL() << "no error raised";
    } catch (const platform::EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Can't locate file: " + missing);
    }
    EXPECT_FALSE(viewer_->Processing());
    EXPECT_EQ(progressEnds, 2);
    EXPECT_EQ(viewer_->CurrentFile(), page);
    EXPECT_EQ(viewer_->DocumentTitle(), "Hello page");
    // A folder is no document.
    EXPECT_THROW(viewer_->OpenFile(dir_.string()), platform::EInOutError);
}

TEST_F(ViewerTest, AnchorsIgnoreLetterCase)
{
    const std::string page =
        Write("long.html", Lines(60) + "<a name=\"Middle\">here</a>" + Lines(60, "more"));
    viewer_->OpenFile(page + "#middle");
    const int y = viewer_->VScrollBarPosition();
    EXPECT_GT(y, 500);
    viewer_->ScrollTo(0);
    EXPECT_TRUE(viewer_->ScrollToAnchor("#MIDDLE"));
    EXPECT_EQ(viewer_->VScrollBarPosition(), y);
    EXPECT_FALSE(viewer_->ScrollToAnchor("#nowhere"));
    EXPECT_FALSE(viewer_->ScrollToAnchor(""));
    EXPECT_EQ(viewer_->VScrollBarPosition(), y);
}

TEST_F(ViewerTest, PositionSurvivesReformatAndReloadButNotAnotherFile)
{
    const std::string a = Write("a.html", Lines(100));
    const std::string b = Write("b.html", Lines(100, "other"));
    viewer_->OpenFile(a);
    viewer_->ScrollTo(700);
    const int y = viewer_->VScrollBarPosition();
    ASSERT_GT(y, 0);
    viewer_->Reformat();
    EXPECT_EQ(viewer_->VScrollBarPosition(), y);
    viewer_->OpenFile(a);
    EXPECT_EQ(viewer_->VScrollBarPosition(), y);
    viewer_->OpenFile(b);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);

    // An encoded position whose item is beyond the document does not scroll.
    viewer_->ScrollTo(300);
    const int before = viewer_->VScrollBarPosition();
    viewer_->SetPosition((std::int64_t(0xFFFF) << 16) | 5);
    EXPECT_EQ(viewer_->VScrollBarPosition(), before);
    viewer_->SetPosition((std::int64_t(100000) << 32) | 5);
    EXPECT_EQ(viewer_->VScrollBarPosition(), before);
    // Clamped to the scrollable range.
    viewer_->ScrollTo(1 << 30);
    EXPECT_EQ(viewer_->VScrollBarPosition(), viewer_->DocumentHeight() - viewer_->PaintPanel().Height());
}

TEST_F(ViewerTest, VerticalBarAppearsExactlyWhenTheDocumentIsTallerThanTheArea)
{
    viewer_->SetScrollBars(ssVertical);
    bool sawBoth[2] = {false, false};
    for (int n = 1; n <= 24; ++n) {
        viewer_->OpenString("<body>" + std::string(n == 0 ? "" : Lines(n)) + "</body>", "");
        const bool taller = viewer_->DocumentHeight() > viewer_->Height() - 2;
        sawBoth[taller] = true;
        EXPECT_EQ(viewer_->VScrollBar().Visible(), taller)
            << n << " lines, height " << viewer_->DocumentHeight();
        EXPECT_EQ(viewer_->PaintPanel().Width(), taller ? 400 - 17 - 2 : 400 - 2);
    }
    EXPECT_TRUE(sawBoth[0] && sawBoth[1]);
    // A block sized so that the document fits the area exactly: no bar; one pixel more: the bar.
    auto page = [](int h) { return "<div style=\"height:" + std::to_string(h) + "px\"></div>"; };
    viewer_->OpenString(page(100), "");
    const int extra = viewer_->DocumentHeight() - 100;
    const int fitting = viewer_->Height() - 2 - extra;
    viewer_->OpenString(page(fitting), "");
    ASSERT_EQ(viewer_->DocumentHeight(), viewer_->Height() - 2);
    EXPECT_FALSE(viewer_->VScrollBar().Visible());
    viewer_->OpenString(page(fitting + 1), "");
    EXPECT_TRUE(viewer_->VScrollBar().Visible());
    // Always shown: disabled while the document fits exactly.
    viewer_->SethtOptions({htShowVScroll});
    viewer_->OpenString(page(fitting), "");
    EXPECT_TRUE(viewer_->VScrollBar().Visible());
    EXPECT_FALSE(viewer_->VScrollBar().Enabled());
    viewer_->OpenString(page(fitting + 1), "");
    EXPECT_TRUE(viewer_->VScrollBar().Enabled());
    viewer_->SethtOptions({});
    // Always shown with the option, disabled when nothing scrolls.
    viewer_->SethtOptions({htShowVScroll});
    viewer_->OpenString("<p>short</p>", "");
    EXPECT_TRUE(viewer_->VScrollBar().Visible());
    EXPECT_FALSE(viewer_->VScrollBar().Enabled());
}

TEST_F(ViewerTest, MetaRefreshIsReported)
{
    std::vector<std::pair<int, std::string>> refreshes;
    std::vector<std::string> metas;
    viewer_->OnMetaRefresh = [&](THTMLViewer*, int delay, const std::string& url) {
        refreshes.emplace_back(delay, url);
    };
    viewer_->OnMeta = [&](THTMLViewer*, const std::string& eq, const std::string&, const std::string&) {
        metas.push_back(eq);
    };
    viewer_->OpenString("<head><meta http-equiv=\"Refresh\" content=\"0; URL=Next.html\"></head>", "");
    ASSERT_EQ(refreshes.size(), 1u);
    EXPECT_EQ(refreshes[0].first, 1);
    EXPECT_EQ(refreshes[0].second, "Next.html");
    EXPECT_EQ(viewer_->RefreshDelay(), 1);
    EXPECT_EQ(metas, (std::vector<std::string>{"Refresh"}));

    // Delays that are no number, or negative, report nothing.
    for (const char* content : {"soon; url=x.html", "-5; url=x.html", "; url=x.html", "", "1e3; url=x.html"}) {
        viewer_->OpenString(std::string("<meta http-equiv=\"refresh\" content=\"") + content + "\">", "");
        EXPECT_EQ(refreshes.size(), 1u) << content;
        EXPECT_EQ(viewer_->RefreshDelay(), 0) << content;
    }
    // A huge delay is cut to the longest one whose milliseconds fit a timer, not wrapped around.
    viewer_->OpenString("<meta http-equiv=\"refresh\" content=\"99999999999999999999999;url=Far.html\">", "");
    ASSERT_EQ(refreshes.size(), 2u);
    EXPECT_EQ(refreshes[1].first, 2147483);
    EXPECT_EQ(refreshes[1].second, "Far.html");
    EXPECT_LE(std::int64_t(refreshes[1].first) * 1000, std::int64_t(INT32_MAX));
    // A plain number with blanks, and no address.
    viewer_->OpenString("<meta http-equiv=\"REFRESH\" content=\" 7 \">", "");
    ASSERT_EQ(refreshes.size(), 3u);
    EXPECT_EQ(refreshes[2], (std::pair<int, std::string>{7, ""}));
}

TEST_F(ViewerTest, ClickOnLinkRaisesEventLoadsTargetAndMarksItVisited)
{
    const std::string a = Write("a.html", "<title>A</title><a href=\"b.html\">Go to b</a>" + Lines(3));
    const std::string b = Write("b.html", "<title>B</title><p>Page b</p>");
    std::vector<std::string> clicks, covered;
    viewer_->OnHotSpotClick = [&](THTMLViewer*, const std::string& src, bool&) { clicks.push_back(src); };
    viewer_->OnHotSpotCovered = [&](THTMLViewer*, const std::string& src) { covered.push_back(src); };
    viewer_->OpenFile(a);
    ASSERT_NE(Run("b.html"), nullptr);
    EXPECT_FALSE(Run("b.html")->Visited);

    auto& area = viewer_->PaintPanel();
    test::MouseMove(area, 20, 12);
    EXPECT_EQ(viewer_->HoverUrl(), "b.html");
    EXPECT_EQ(area.Cursor(), platform::HandCursor);
    EXPECT_EQ(viewer_->LinkText(), u"Go to b");
    test::MouseClick(area, 20, 12);
    test::ProcessEvents();
    EXPECT_EQ(clicks, (std::vector<std::string>{"b.html"}));
    EXPECT_EQ(viewer_->CurrentFile(), b);
    EXPECT_EQ(viewer_->DocumentTitle(), "B");
    ASSERT_FALSE(viewer_->VisitedList().empty());
    EXPECT_EQ(viewer_->VisitedList().front(), b);
    ASSERT_FALSE(covered.empty());
    EXPECT_EQ(covered.front(), "b.html");

    // Back on the first page the link shows as visited.
    viewer_->OpenFile(a);
    ASSERT_NE(Run("b.html"), nullptr);
    EXPECT_TRUE(Run("b.html")->Visited);
    EXPECT_EQ(platform::ColorToRGB(Run("b.html")->TheFont->Color),
              platform::ColorToRGB(viewer_->DefVisitedLinkColor()));

    // A link to a missing page reports the error and keeps the page shown.
    {
        Write("c.html", "<a href=\"gone.html\">gone</a>");
        viewer_->OpenFile((dir_ / "c.html").string());
        const std::string shown = viewer_->CurrentFile();
        test::ErrorRecorder errors;
        test::MouseClick(area, 15, 12);
        test::ProcessEvents();
        ASSERT_EQ(errors.Messages().size(), 1u);
        EXPECT_EQ(errors.Messages()[0], "Can't locate file: " + (dir_ / "gone.html").string());
        EXPECT_EQ(viewer_->CurrentFile(), shown);
        EXPECT_FALSE(viewer_->Processing());
        viewer_->OpenFile(a);
    }

    // A host that handles the click keeps the viewer where it is.
    viewer_->OnHotSpotClick = [&](THTMLViewer*, const std::string&, bool& handled) { handled = true; };
    test::MouseClick(area, 20, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), a);
}

// The link is hit before the page was ever painted: the hit tests must not depend on a paint having come first.
TEST_F(ViewerTest, LinksToAnchorsPicturesAndOtherFiles)
{
    const std::string a = Write("a.html", "<a href=\"#End\">down</a>" + Lines(80) +
                                              "<a name=\"end\">end</a>" + Lines(10, "after"));
    viewer_->SetHistoryMaxCount(5);
    int historyChanges = 0;
    viewer_->OnHistoryChange = [&](THTMLViewer*) { ++historyChanges; };
    viewer_->OpenFile(a);
    EXPECT_EQ(viewer_->History().size(), 1u);
    EXPECT_EQ(historyChanges, 1);
    test::MouseClick(viewer_->PaintPanel(), 15, 12);
    test::ProcessEvents();
    EXPECT_GT(viewer_->VScrollBarPosition(), 500);
    EXPECT_EQ(viewer_->History().size(), 2u);
    EXPECT_EQ(historyChanges, 2);
    EXPECT_EQ(viewer_->History()[0], a);
    ASSERT_FALSE(viewer_->VisitedList().empty());
    EXPECT_EQ(viewer_->VisitedList().front(), a + "#End");

    // Same link clicked again: recorded once, at the front.
    viewer_->ScrollTo(0);
    test::MouseClick(viewer_->PaintPanel(), 15, 12);
    test::ProcessEvents();
    EXPECT_EQ(std::count(viewer_->VisitedList().begin(), viewer_->VisitedList().end(), a + "#End"), 1);

    // Links to pictures open them as documents; an extension that begins with ".html" counts as ".html".
    const std::string picture = Write("pic.gif", "GIF89a broken");
    const std::string longExt = Write("page.htmlxy", "<title>Long</title>long extension");
    const std::string pictures =
        Write("p.html", "<p><a href=\"pic.gif\">picture</a></p><p><a href=\"page.htmlxy\">page</a></p>");
    viewer_->OpenFile(pictures);
    test::MouseClick(viewer_->PaintPanel(), 15, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), picture);
    EXPECT_EQ(viewer_->DocumentKind(), 2);
    viewer_->OpenFile(pictures);
    test::FlushPaint(viewer_->PaintPanel());
    test::MouseClick(viewer_->PaintPanel(), 15, 12 + 32);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), longExt);
    EXPECT_EQ(viewer_->DocumentTitle(), "Long");

    // A link to an unknown kind of file changes nothing.
    Write("c.html", "<a href=\"notes.txt\">notes</a>");
    Write("notes.txt", "plain");
    viewer_->OpenFile((dir_ / "c.html").string());
    const std::string shown = viewer_->CurrentFile();
    test::MouseClick(viewer_->PaintPanel(), 15, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), shown);
}

TEST_F(ViewerTest, DragSelectsTextWithoutSoftHyphensOrFollowingLinks)
{
    viewer_->OpenString("<p>abc&shy;def <a href=\"x.html\">ghi</a> jkl</p><p>second line</p>", "");
    int clicks = 0;
    viewer_->OnHotSpotClick = [&](THTMLViewer*, const std::string&, bool&) { ++clicks; };
    auto& area = viewer_->PaintPanel();
    // Through the gap between the paragraphs (no text there) to the end of the second one.
    test::MousePress(area, 11, 12);
    test::MouseMove(area, 200, 30, platform::ssLeft);
    test::MouseMove(area, 300, 45, platform::ssLeft);
    test::MouseRelease(area, 300, 45);
    test::ProcessEvents();
    const std::u16string text = viewer_->SelText();
    EXPECT_NE(text.find(u"abcdef"), std::u16string::npos) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(u"second"), std::u16string::npos);
    EXPECT_EQ(text.find(u'-'), std::u16string::npos);
    EXPECT_EQ(text.find(u'\u00AD'), std::u16string::npos);
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
    EXPECT_EQ(clicks, 0);

    viewer_->CopyToClipboard();
    EXPECT_EQ(platform::GetClipboardText(), text);

    // A double click selects the word under the mouse.
    viewer_->OpenString("<p>hello world</p>", "");
    test::MouseDoubleClick(area, 14, 12);
    EXPECT_EQ(viewer_->SelText(), u"hello");
    // ... but not right after a link click.
    viewer_->OpenString("<p><a href=\"notes.txt\">linkword</a></p>", "");
    test::MouseDoubleClick(area, 14, 12);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->SelText(), u"");
    EXPECT_EQ(clicks, 1);
}

TEST_F(ViewerTest, SelectedTextAcrossLineBreaksHasNoTerminatorsInside)
{
    viewer_->OpenString("<p>one<br>two<br><br>three</p>", "");
    viewer_->SelectAll();
    const std::u16string text = viewer_->SelText();
    EXPECT_NE(text.find(u"three"), std::u16string::npos);
    EXPECT_EQ(text.find(u'\0'), std::u16string::npos);
}

TEST_F(ViewerTest, RightClickReportsTheWordAndSurvivesAThrowingHandler)
{
    viewer_->OpenString("<p>hello world</p>", "");
    std::u16string word;
    std::string link = "unset";
    viewer_->OnRightClick = [&](THTMLViewer*, TRightClickParameters& p) {
        word = p.WordAtPoint;
        link = p.LinkUrl;
        throw platform::Exception("handler failed");
    };
    test::ErrorRecorder errors;
    test::MouseClick(viewer_->PaintPanel(), 14, 12, platform::mbRight);
    EXPECT_EQ(word, u"hello");
    EXPECT_EQ(link, "");
    ASSERT_EQ(errors.Messages().size(), 1u);
    EXPECT_EQ(errors.Messages()[0], "handler failed");
}

TEST_F(ViewerTest, TabReachesLinkAndEnterFollowsIt)
{
    const std::string b = Write("b.html", "<title>B</title>B");
    const std::string a = Write("a.html", "<p>no link here</p><a href=\"b.html\">to b</a>");
    viewer_->OpenFile(a);
    viewer_->SetFocus();
    TFontObj* run = Run("b.html");
    ASSERT_NE(run, nullptr);
    ASSERT_NE(run->TabControl, nullptr);
    test::KeyStroke(*viewer_, platform::VK_TAB);
    test::ProcessEvents();
    EXPECT_TRUE(run->TabControl->Focused());
    test::KeyStroke(*run->TabControl, platform::VK_RETURN);
    test::ProcessEvents();
    EXPECT_EQ(viewer_->CurrentFile(), b);
}

TEST_F(ViewerTest, PaintsDefaultAndDocumentBackgrounds)
{
    viewer_->SetDefBackground(platform::clWhite);
    viewer_->OpenString("<p>text</p>", "");
    platform::Bitmap shot = test::Grab(viewer_->PaintPanel());
    EXPECT_EQ(shot.Pixel(300, 250), platform::clWhite);
    viewer_->OpenString("<body bgcolor=\"#00FF00\"><p>text</p></body>", "");
    shot = test::Grab(viewer_->PaintPanel());
    EXPECT_EQ(shot.Pixel(300, 8), platform::RGB(0, 255, 0));
    // Scrolling by a line moves the pixels and paints the strip: the result equals a full paint.
    viewer_->OpenString(Lines(100), "");
    test::FlushPaint(viewer_->PaintPanel());
    test::KeyStroke(*viewer_, platform::VK_DOWN);
    test::KeyStroke(*viewer_, platform::VK_DOWN);
    platform::Bitmap scrolled = test::Grab(viewer_->PaintPanel());
    viewer_->PaintPanel().Invalidate();
    platform::Bitmap full = test::Grab(viewer_->PaintPanel());
    int differing = 0;
    for (int y = 0; y < full.Height(); ++y)
        for (int x = 0; x < full.Width(); ++x)
            differing += full.Pixel(x, y) != scrolled.Pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(ViewerTest, TinyBackgroundPicturesCoverTheWholeArea)
{
    // A large view: a one-pixel picture tiled one copy at a time would need about a million copies.
    form_->SetBounds(0, 0, 1300, 900);
    viewer_->SetBounds(0, 0, 1280, 880);
    Write("dot.bmp", Bmp(1, 1, [](int, int) { return platform::RGB(10, 200, 30); }));
    Write("stripes.bmp", Bmp(1, 2, [](int, int y) { return y == 0 ? platform::RGB(255, 0, 0) : platform::RGB(0, 0, 255); }));
    auto showWithBackground = [&](const std::string& picture) {
        viewer_->OpenString("<body background=\"" + picture + "\"></body>", (dir_ / "page.html").string());
        ASSERT_NE(viewer_->SectionList().BackgroundImage, nullptr);
    };
    showWithBackground("dot.bmp");
    platform::Bitmap shot = test::Grab(viewer_->PaintPanel());
    ASSERT_GT(shot.Width(), 1200);
    ASSERT_GT(shot.Height(), 800);
    int wrong = 0;
    for (int y = 0; y < shot.Height(); y += 7)
        for (int x = 0; x < shot.Width(); x += 7)
            wrong += shot.Pixel(x, y) != platform::RGB(10, 200, 30);
    EXPECT_EQ(wrong, 0);

    showWithBackground("stripes.bmp");
    shot = test::Grab(viewer_->PaintPanel());
    wrong = 0;
    for (int y = 0; y < shot.Height(); y += 3)
        for (int x = 0; x < shot.Width(); x += 11)
            wrong += shot.Pixel(x, y) != (y % 2 == 0 ? platform::RGB(255, 0, 0) : platform::RGB(0, 0, 255));
    EXPECT_EQ(wrong, 0);
}

TEST_F(ViewerTest, DragBelowTheViewAutoScrollsUntilReleaseOrANewDocument)
{
    viewer_->OpenString(Lines(200), "");
    auto& area = viewer_->PaintPanel();
    platform::Timer release;
    release.SetInterval(350);
    release.OnTimer = [&](platform::Timer* t) {
        t->SetEnabled(false);
        test::MouseRelease(area, 20, area.Height() + 100);
    };
    test::MousePress(area, 20, 12);
    test::MouseMove(area, 20, area.Height() + 100, platform::ssLeft);
    EXPECT_TRUE(test::RunUntil([&] { return !release.Enabled(); }, 5000));
    test::ProcessEvents();
    EXPECT_GT(viewer_->VScrollBarPosition(), 100);
    EXPECT_GT(viewer_->SelLength(), 0);

    // A document loaded while the loop runs ends it, though the button is still held.
    viewer_->ScrollTo(0);
    platform::Timer reload;
    reload.SetInterval(250);
    bool reloaded = false;
    reload.OnTimer = [&](platform::Timer* t) {
        t->SetEnabled(false);
        viewer_->OpenString(Lines(3, "new"), "");
        reloaded = true;
    };
    test::MousePress(area, 20, 12);
    test::MouseMove(area, 20, area.Height() + 100, platform::ssLeft);
    EXPECT_TRUE(test::RunUntil([&] { return reloaded; }, 5000));
    test::ProcessEvents();
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
    test::MouseRelease(area, 20, 12);
}

TEST_F(ViewerTest, KeysAndWheelScroll)
{
    viewer_->OpenString(Lines(100), "");
    test::KeyStroke(*viewer_, platform::VK_DOWN);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 16);
    test::KeyStroke(*viewer_, platform::VK_END);
    EXPECT_EQ(viewer_->VScrollBarPosition(), viewer_->DocumentHeight() - viewer_->PaintPanel().Height());
    test::KeyStroke(*viewer_, platform::VK_HOME);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 0);
    test::MouseWheel(viewer_->PaintPanel(), 50, 50, -120);
    EXPECT_EQ(viewer_->VScrollBarPosition(), 48);
    // Middle button: scroll mode until the next press; a motionless release keeps it.
    test::MousePress(viewer_->PaintPanel(), 50, 50, platform::mbMiddle);
    test::MouseRelease(viewer_->PaintPanel(), 50, 50, platform::mbMiddle);
    EXPECT_TRUE(viewer_->WheelScrollMode());
    test::MouseClick(viewer_->PaintPanel(), 50, 50);
    EXPECT_FALSE(viewer_->WheelScrollMode());
}

TEST_F(ViewerTest, PropertySetterRules)
{
    viewer_->SetImageCacheCount(50);
    EXPECT_EQ(viewer_->ImageCacheCount(), 20);
    viewer_->SetImageCacheCount(-3);
    EXPECT_EQ(viewer_->ImageCacheCount(), 0);
    viewer_->SetServerRoot("  C:\\root\\\\ ");
    EXPECT_EQ(viewer_->ServerRoot(), "C:\\root\\");
    viewer_->SetPrintScale(9);
    EXPECT_EQ(viewer_->PrintScale(), 4.0);
    viewer_->SetVisitedMaxCount(-1);
    EXPECT_EQ(viewer_->VisitedMaxCount(), 0);

    // No history is kept with a maximum of 0.
    int changes = 0;
    viewer_->OnHistoryChange = [&](THTMLViewer*) { ++changes; };
    viewer_->OpenFile(Write("h1.html", "one"));
    viewer_->OpenFile(Write("h2.html", "two"));
    EXPECT_TRUE(viewer_->History().empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(ViewerTest, ClearDocumentEmptiesTheViewAndStopsTheSound)
{
    viewer_->OpenString("<title>T</title>" + Lines(100), "");
    ASSERT_TRUE(viewer_->VScrollBar().Visible());
    std::vector<std::pair<std::string, bool>> sounds;
    viewer_->OnSoundRequest = [&](THTMLViewer*, const std::string& src, int, bool terminate) {
        sounds.emplace_back(src, terminate);
    };
    viewer_->ClearDocument();
    EXPECT_EQ(viewer_->DocumentTitle(), "");
    EXPECT_EQ(viewer_->DocumentHeight(), 0);
    EXPECT_FALSE(viewer_->VScrollBar().Visible());
    EXPECT_EQ(viewer_->SectionList().Count(), 0);
    EXPECT_EQ(sounds, (std::vector<std::pair<std::string, bool>>{{"", true}}));
    // Nothing while a load is under way.
    viewer_->OnProcessing = [&](THTMLViewer* v, bool on) {
        if (on)
            v->ClearDocument();
    };
    viewer_->OpenString("<p>kept</p>", "");
    EXPECT_GT(viewer_->SectionList().Count(), 0);
}

TEST_F(ViewerTest, ImageDocumentNameIsEscaped)
{
    const std::string name = Write("a&copy\"<b>.gif", "GIF89a not really");
    viewer_->OpenImageFile(name);
    EXPECT_EQ(viewer_->DocumentKind(), 2);
    EXPECT_TRUE(viewer_->DocumentSource().empty());
    EXPECT_EQ(viewer_->CurrentFile(), name);
}

TEST_F(ViewerTest, BadInputNeitherCrashesNorHangs)
{
    std::mt19937 random(12345);
    std::string bytes(200000, '\0');
    for (char& c : bytes)
        c = char(random());
    viewer_->OpenString(bytes, "");
    test::FlushPaint(viewer_->PaintPanel());

    // Unclosed tags of every kind, interleaved, and a long run of the deepest-nesting ones.
    static const char* const kinds[] = {
        "<div>", "<p>", "<ul>", "<ol>", "<li>", "<dl>", "<dd>", "<dt>", "<blockquote>", "<center>",
        "<form>", "<address>", "<h1>", "<h3>", "<pre>", "<table>", "<tr>", "<td>", "<th>", "<caption>",
        "<b>", "<i>", "<u>", "<s>", "<font size=7>", "<span style=\"border:1px solid red\">",
        "<a href=\"x.html\">", "<a name=\"n\">", "<sub>", "<sup>", "<big>", "<small>", "<nobr>",
        "<select><option>", "<textarea>", "<map name=m>", "<object>", "<frameset>", "<noframes>",
        "<title>", "<style>", "<script>", "<!--"};
    std::string tags;
    for (int i = 0; i < 100000; ++i)
        tags += std::string(kinds[i % std::size(kinds)]) + "x";
    viewer_->OpenString(tags, "");
    test::FlushPaint(viewer_->PaintPanel());
    for (const char* deep : {"<div>", "<ul><li>", "<blockquote>", "<table><tr><td>", "<font color=red>"}) {
        std::string nested;
        for (int i = 0; i < 100000; ++i)
            nested += deep;
        viewer_->OpenString(nested + "end", "");
        test::FlushPaint(viewer_->PaintPanel());
        test::MouseMove(viewer_->PaintPanel(), 30, 30);
    }
    EXPECT_FALSE(viewer_->Processing());
}

TEST_F(ViewerTest, TwentyMegabytePageOpensAndStaysUsable)
{
    std::string page;
    page.reserve(21 * 1024 * 1024);
    std::string paragraph = "<p>";
    while (paragraph.size() < 2000)
        paragraph += "Some words of a long archive page, again and again. ";
    paragraph += "</p>\n";
    while (page.size() < 20u * 1024 * 1024)
        page += paragraph;
    page += "<p><a name=\"last\">last paragraph</a></p>";
    // How fast it opens is the page benchmark's business; here it must open, format and stay usable.
    viewer_->OpenString(page, (dir_ / "big.html").string());
    test::FlushPaint(viewer_->PaintPanel());
    const int height = viewer_->DocumentHeight();
    EXPECT_GT(height, 1000000);
    EXPECT_TRUE(viewer_->VScrollBar().Visible());

    // Scrolling to the end, to the anchor at the very end, and a click there still work.
    test::KeyStroke(*viewer_, platform::VK_END);
    EXPECT_EQ(viewer_->VScrollBarPosition(), height - viewer_->PaintPanel().Height());
    viewer_->ScrollTo(0);
    EXPECT_TRUE(viewer_->ScrollToAnchor("last"));
    EXPECT_GT(viewer_->VScrollBarPosition(), height - 2 * viewer_->PaintPanel().Height());
    test::MouseClick(viewer_->PaintPanel(), 20, 20);
    test::ProcessEvents();
    EXPECT_FALSE(viewer_->Processing());
}

TEST_F(ViewerTest, PlacesBeyondSixteenBitsOfItemsSurviveReformat)
{
    std::string page;
    for (int i = 0; i < 70000; ++i)
        page += "<p>x</p>";
    viewer_->OpenString(page, "");
    ASSERT_GT(viewer_->SectionList().PositionList.size(), 0x10000u);
    viewer_->ScrollTo(viewer_->DocumentHeight() - 500);
    const int y = viewer_->VScrollBarPosition();
    ASSERT_GT(y, 0);
    viewer_->Reformat();
    EXPECT_EQ(viewer_->VScrollBarPosition(), y);
    // The same with an offset inside one tall item.
    viewer_->OpenString("<pre>" + std::string(5000, '\n') + "</pre><p>after</p>", "");
    viewer_->ScrollTo(70000);
    const int inside = viewer_->VScrollBarPosition();
    ASSERT_GT(inside, 0xFFFF);
    viewer_->Reformat();
    EXPECT_EQ(viewer_->VScrollBarPosition(), inside);
}

TEST_F(ViewerTest, StyleSheetsThatLinkThemselvesLoadOnce)
{
    Write("self.css", "@import url(self.css); @import \"self.css\"; p { color: red }");
    const std::string page = Write("self.html", "<link rel=\"stylesheet\" href=\"self.html\">"
                                                "<link rel=\"stylesheet\" href=\"self.css\">"
                                                "<style>@import url(self.css);</style><p>styled</p>");
    viewer_->OpenFile(page);
    test::FlushPaint(viewer_->PaintPanel());
    EXPECT_EQ(viewer_->CurrentFile(), page);
    EXPECT_GT(viewer_->DocumentHeight(), 0);
}

} // namespace

namespace {

TEST_F(ViewerTest, ObjectPanelsStandInTheTextAndLeaveWhenScrolledAway)
{
    std::vector<std::string> created, destroyed;
    platform::Control* kept = nullptr;
    viewer_->OnObjectTag = [&](THTMLViewer*, platform::Control* panel, const std::vector<std::string>&,
                               const std::vector<std::string>&, bool& want) {
        kept = panel;
        want = true;
    };
    viewer_->OnPanelCreate = [&](THTMLViewer*, const std::string& name, platform::Control*, const std::string&,
                                 const std::string&) { created.push_back(name); };
    viewer_->OnPanelDestroy = [&](THTMLViewer*, const std::string& name, platform::Control*) {
        destroyed.push_back(name);
    };
    std::string page = "<body>before <object name=Clip width=80 height=30></object> after";
    for (int i = 0; i < 200; ++i)
        page += "<p>line " + std::to_string(i) + "</p>";
    viewer_->OpenString(page, "");
    test::ProcessEvents();
    viewer_->Repaint();
    test::ProcessEvents();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(created, (std::vector<std::string>{"Clip"}));
    EXPECT_TRUE(kept->Visible());
    EXPECT_EQ(kept->Parent(), &viewer_->PaintPanel());
    EXPECT_EQ(kept->Width(), 80);
    EXPECT_EQ(kept->Height(), 30);
    EXPECT_GE(kept->Left(), 0);
    EXPECT_LT(kept->Top(), 60);

    viewer_->ScrollTo(2000);
    viewer_->Repaint();
    test::ProcessEvents();
    EXPECT_TRUE(!kept->Visible() || kept->Top() + kept->Height() <= 0) << "scrolled out of view";

    viewer_->OpenString("<p>other</p>", "");
    test::ProcessEvents();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"Clip"}));
    viewer_->OnPanelDestroy = nullptr;
}

}  // namespace
