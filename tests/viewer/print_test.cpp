// Printing from the viewer control: page counts with the print settings, PDF export and its failure, the
// print dialog's range, header and footer events, and the preview window's navigation and zoom.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/form.h"
#include "platform/printer.h"
#include "platform/printpreview.h"
#include "platform/testing.h"
#include "images/pngwrite.h"
#include "print/printdoc.h"
#include "viewer/htmlviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

const char* ThreePages = "<title>Three</title><p>Alpha words</p><page><p>Beta words</p>"
                         "<p style=\"page-break-before: always\">Gamma words</p>";

std::string Command(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

bool HavePoppler()
{
    return !Command("command -v pdftotext pdfinfo 2>/dev/null").empty();
}

// Answers the print dialog with a PDF file in place of a printer and remembers what it was asked.
class PdfPrinter final : public platform::PrintDialogService {
public:
    PdfPrinter(std::string file, int from, int to, bool cancel, std::vector<platform::PrintRequest>* asked)
        : file_(std::move(file)), from_(from), to_(to), cancel_(cancel), asked_(asked)
    {
    }
    std::unique_ptr<platform::PageDocument> Run(platform::PrintRequest& request) override
    {
        asked_->push_back(request);
        if (cancel_)
            return nullptr;
        request.FromPage = from_;
        request.ToPage = to_;
        std::string error;
        return platform::CreatePdfDocument(file_, request.Paper, request.Title, error);
    }

private:
    std::string file_;
    int from_, to_;
    bool cancel_;
    std::vector<platform::PrintRequest>* asked_;
};

class ViewerPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("viewer_print_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 420, 320);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 400, 300);
        test::ShowAndActivate(*form_);
        viewer_->PrintMarginLeft = viewer_->PrintMarginRight = 1.0;
        viewer_->PrintMarginTop = viewer_->PrintMarginBottom = 1.0;
    }
    void TearDown() override
    {
        platform::SetPrintDialogService(nullptr);
        form_.reset();
        test::ProcessEvents();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Open(const std::string& html)
    {
        viewer_->OpenString(html, "");
        test::ProcessEvents();
    }
    std::string File(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    std::unique_ptr<platform::Form> form_;
    THTMLViewer* viewer_ = nullptr;
};

}  // namespace

TEST_F(ViewerPrintTest, NumPrinterPagesFollowsThePrintSettings)
{
    Open(ThreePages);
    EXPECT_EQ(viewer_->NumPrinterPages(), 3);
    std::string long_;
    for (int i = 0; i < 150; ++i)
        long_ += "<p>Line of text number " + std::to_string(i) + "</p>";
    Open(long_);
    const int normal = viewer_->NumPrinterPages();
    viewer_->SetPrintScale(1000);
    EXPECT_DOUBLE_EQ(viewer_->PrintScale(), 4.0);
    EXPECT_GT(viewer_->NumPrinterPages(), normal);
    viewer_->SetPrintScale(1.0);
    viewer_->PrintMarginTop = viewer_->PrintMarginBottom = 100;  // larger than the paper: still pages
    EXPECT_GT(viewer_->NumPrinterPages(), normal);
    viewer_->ClearDocument();
    EXPECT_EQ(viewer_->NumPrinterPages(), 1);
}

TEST_F(ViewerPrintTest, PrintToPDFWritesEveryPageWithHeadersAndFooters)
{
    Open(ThreePages);
    std::vector<int> headers, footers;
    viewer_->OnPrintHeader = [&](THTMLViewer* sender, platform::Canvas* canvas, int page, int w, int h) {
        EXPECT_EQ(sender, viewer_);
        EXPECT_GT(w, 0);
        EXPECT_EQ(h, 96);
        headers.push_back(page);
        canvas->SetBkMode(platform::TRANSPARENT);
        canvas->TextOutW(0, 40, u"Header " + std::u16string(1, char16_t(u'0' + page)));
    };
    viewer_->OnPrintFooter = [&](THTMLViewer*, platform::Canvas*, int page, int, int) { footers.push_back(page); };
    const std::string file = File("viewer.pdf");
    EXPECT_EQ(viewer_->PrintToPDF(file), 3);
    EXPECT_EQ(headers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(footers, (std::vector<int>{1, 2, 3}));
    ASSERT_TRUE(fs::exists(file));
    if (!HavePoppler())
        GTEST_SKIP() << "poppler-utils is not installed";
    EXPECT_NE(Command("pdfinfo '" + file + "'").find("Pages:           3"), std::string::npos);
    const std::string third = Command("pdftotext -f 3 -l 3 '" + file + "' -");
    EXPECT_NE(third.find("Header 3"), std::string::npos) << third;
    EXPECT_NE(third.find("Gamma words"), std::string::npos) << third;
}

TEST_F(ViewerPrintTest, PrintToAnUnwritablePlaceThrowsAndLeavesNothing)
{
    Open(ThreePages);
    const std::string file = File("missing/folder/out.pdf");
    EXPECT_THROW(viewer_->PrintToPDF(file), EPrintError);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file + ".part"));
}

TEST_F(ViewerPrintTest, PrintAsksTheDialogAndPrintsTheRangeChosen)
{
    Open(ThreePages);
    std::vector<platform::PrintRequest> asked;
    const std::string file = File("printer.pdf");
    platform::SetPrintDialogService(std::make_unique<PdfPrinter>(file, 2, 3, false, &asked));
    viewer_->Print(1, 99);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].MinPage, 1);
    EXPECT_EQ(asked[0].MaxPage, 3);
    EXPECT_EQ(asked[0].FromPage, 1);
    EXPECT_EQ(asked[0].ToPage, 3);
    EXPECT_EQ(asked[0].Title, "Three");
    ASSERT_TRUE(fs::exists(file));
    if (HavePoppler()) {
        EXPECT_NE(Command("pdfinfo '" + file + "'").find("Pages:           2"), std::string::npos);
        const std::string text = Command("pdftotext '" + file + "' -");
        EXPECT_EQ(text.find("Alpha"), std::string::npos);
        EXPECT_NE(text.find("Beta words"), std::string::npos);
    }
    // A cancelled dialog prints nothing.
    const std::string other = File("cancelled.pdf");
    platform::SetPrintDialogService(std::make_unique<PdfPrinter>(other, 1, 1, true, &asked));
    viewer_->Print(1, 3);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_FALSE(fs::exists(other));
}

TEST_F(ViewerPrintTest, PreviewShowsSheetsWithNavigationAndZoom)
{
    Open(ThreePages);
    viewer_->PrintPreview();
    platform::PrintPreview* preview = viewer_->PreviewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->Visible());
    EXPECT_EQ(preview->PageCount(), 3);
    EXPECT_EQ(preview->CurrentPage(), 0);
    EXPECT_FALSE(preview->ShownSheet().Empty());
    const platform::Bitmap window = preview->Snapshot();
    ASSERT_FALSE(window.Empty());
    // The sheet fills most of the window's width: a long run of white across the middle.
    int white = 0;
    for (int x = 0; x < window.Width(); ++x)
        white += window.Pixel(x, window.Height() / 2) == platform::clWhite;
    EXPECT_GT(white, window.Width() / 2);
    if (const char* keep = std::getenv("VEXA_KEEP_PREVIEW"))
        SavePNG(window, nullptr, keep);
    preview->SetZoom(100);
    EXPECT_EQ(preview->ShownPixelsPerInch(), 96);
    EXPECT_EQ(preview->ShownSheet().Width(), 794);  // A4 at 96 pixels per inch
    preview->NextPage();
    preview->NextPage();
    preview->NextPage();
    EXPECT_EQ(preview->CurrentPage(), 2);
    preview->PreviousPage();
    EXPECT_EQ(preview->CurrentPage(), 1);
    preview->SetZoom(50);
    EXPECT_EQ(preview->ShownSheet().Width(), 397);
    preview->SetZoom(100000);
    EXPECT_EQ(preview->Zoom(), 400);
    preview->Close();
    EXPECT_FALSE(preview->Visible());
    // Reopened on another document: back at its first page.
    Open("<p>One page</p>");
    viewer_->PrintPreview();
    EXPECT_EQ(viewer_->PreviewWindow()->PageCount(), 1);
    EXPECT_EQ(viewer_->PreviewWindow()->CurrentPage(), 0);
}
