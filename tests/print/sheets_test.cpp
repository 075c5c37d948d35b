// Sheets: the preview picture of a sheet (margins, scale, headers and footers), PDF export read back with
// the system's PDF tools, and a PDF that cannot be written.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "print/printdoc.h"

namespace {

namespace fs = std::filesystem;

TPrintSettings Letter(double margin = 1.0, double scale = 1.0)
{
    TPrintSettings s;
    s.Paper = platform::PaperLetter();
    s.MarginLeft = s.MarginRight = s.MarginTop = s.MarginBottom = margin;
    s.Scale = scale;
    return s;
}

std::unique_ptr<TPrintDocument> Printed(const std::string& html, const TPrintSettings& settings)
{
    auto doc = std::make_unique<TPrintDocument>();
    doc->Load(html, false, THtmlHost{});
    doc->Paginate(settings);
    return doc;
}

// The output of a command, or nothing with ok false when it could not run.
std::string RunCommand(const std::string& command, bool& ok)
{
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    ok = pipe != nullptr;
    if (!pipe)
        return out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    ok = pclose(pipe) == 0;
    return out;
}

bool HaveTool(const char* name)
{
    bool ok = false;
    RunCommand(std::string("command -v ") + name + " >/dev/null 2>&1", ok);
    return ok;
}

class TempDir {
public:
    TempDir() : path_(fs::temp_directory_path() / ("print_test_" + std::to_string(::getpid())))
    {
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

const char* ThreePages = "<body text=black><p>First page words</p><page><p>Second page words</p>"
                         "<p style=\"page-break-before: always\">Third page words</p>";

}  // namespace

TEST(Sheets, PreviewPlacesThePageInsideTheMargins)
{
    auto doc = Printed("<body style=\"margin: 0\"><div style=\"background-color: black; height: 50px\"></div>", Letter(1.0));
    const platform::Bitmap sheet = doc->RenderSheet(0, 96);
    ASSERT_EQ(sheet.Width(), 816);
    ASSERT_EQ(sheet.Height(), 1056);
    EXPECT_EQ(sheet.Pixel(50, 50), platform::clWhite);       // top margin
    EXPECT_EQ(sheet.Pixel(120, 120), platform::clBlack);     // the block, one inch in
    EXPECT_EQ(sheet.Pixel(120, 200), platform::clWhite);     // below it
    EXPECT_EQ(sheet.Pixel(800, 120), platform::clWhite);     // right margin
}

TEST(Sheets, ScaleEnlargesThePrintedPage)
{
    auto doc = Printed("<body style=\"margin: 0\"><div style=\"background-color: black; height: 50px\"></div>",
                       Letter(1.0, 2.0));
    const platform::Bitmap sheet = doc->RenderSheet(0, 96);
    EXPECT_EQ(sheet.Pixel(120, 180), platform::clBlack);  // 50 document pixels are 100 on the sheet
    EXPECT_EQ(sheet.Pixel(120, 210), platform::clWhite);
}

TEST(Sheets, HeadersAndFootersAreRaisedOncePerSheetWithTheirNumbers)
{
    auto doc = Printed(ThreePages, Letter(1.0));
    std::vector<int> headers, footers;
    int width = 0, height = 0;
    doc->OnHeader = [&](platform::Canvas* canvas, int page, int w, int h) {
        headers.push_back(page);
        width = w;
        height = h;
        canvas->FillRect(platform::Rect{0, 0, 20, 20}, platform::clBlack);
        canvas->FillRect(platform::Rect{0, 200, 20, 220}, platform::clBlack);  // outside the margin: clipped
    };
    doc->OnFooter = [&](platform::Canvas*, int page, int, int) { footers.push_back(page); };
    auto sheets = platform::CreateImageDocument(platform::PaperLetter(), 96);
    doc->DrawSheets(*sheets, 0, 99);
    sheets->End();
    EXPECT_EQ(headers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(footers, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(width, 624);
    EXPECT_EQ(height, 96);
    const platform::Bitmap first = sheets->SheetBitmap(0);
    EXPECT_EQ(first.Pixel(100, 10), platform::clBlack);   // header square at the margin's left edge
    EXPECT_EQ(first.Pixel(100, 210), platform::clWhite);  // clipped to the header band
}

TEST(Sheets, HTMLHeaderIsLaidOutInTheMargin)
{
    auto doc = Printed(ThreePages, Letter(1.0));
    std::vector<int> asked;
    doc->OnHTMLFooter = [&](int page, int count) {
        asked.push_back(page * 10 + count);
        return "<div style=\"background-color: black; height: 30px\">Page " + std::to_string(page) + "</div>";
    };
    const platform::Bitmap sheet = doc->RenderSheet(1, 96);
    EXPECT_EQ(asked, (std::vector<int>{23}));
    EXPECT_EQ(sheet.Pixel(500, 1056 - 96 + 10), platform::clBlack);
}

TEST(Sheets, PdfHasThePagesAndSelectableText)
{
    if (!HaveTool("pdftotext") || !HaveTool("pdfinfo"))
        GTEST_SKIP() << "poppler-utils is not installed";
    TempDir dir;
    auto doc = Printed(ThreePages, Letter(1.0));
    std::string error;
    const std::string file = dir.File("out.pdf");
    ASSERT_TRUE(doc->ExportPdf(file, error)) << error;
    EXPECT_FALSE(fs::exists(file + ".part"));
    bool ok = false;
    const std::string info = RunCommand("pdfinfo '" + file + "'", ok);
    ASSERT_TRUE(ok);
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_NE(info.find("612 x 792"), std::string::npos) << info;
    const std::string second = RunCommand("pdftotext -f 2 -l 2 '" + file + "' -", ok);
    ASSERT_TRUE(ok);
    EXPECT_NE(second.find("Second page words"), std::string::npos) << second;
    EXPECT_EQ(second.find("First"), std::string::npos);
    const std::string fonts = RunCommand("pdffonts '" + file + "'", ok);
    EXPECT_NE(fonts.find("yes"), std::string::npos) << fonts;  // embedded
}

TEST(Sheets, UnwritablePdfPathFailsAndLeavesNoFile)
{
    TempDir dir;
    auto doc = Printed(ThreePages, Letter(1.0));
    std::string error;
    const std::string missingFolder = dir.File("no/such/folder/out.pdf");
    EXPECT_FALSE(doc->ExportPdf(missingFolder, error));
    EXPECT_NE(error.find("Cannot create file"), std::string::npos);
    EXPECT_FALSE(fs::exists(missingFolder));
    // A folder in the way of the file.
    fs::create_directories(dir.File("taken.pdf"));
    error.clear();
    EXPECT_FALSE(doc->ExportPdf(dir.File("taken.pdf"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir.File("taken.pdf.part")));
    EXPECT_FALSE(doc->ExportPdf("", error));
}

TEST(Sheets, DocumentBackgroundIsPrintedOnlyWhenAskedFor)
{
    const std::string html = "<body bgcolor=\"#00FF00\" background=\"" VEXA_TESTDATA_DIR
                             "/images/pngsuite/basn2c08.png\"><p>Text</p>";
    auto plain = Printed(html, Letter(1.0));
    EXPECT_EQ(plain->RenderSheet(0, 96).Pixel(600, 900), platform::clWhite);
    TPrintSettings settings = Letter(1.0);
    settings.PrintBackground = true;
    auto coloured = Printed("<body bgcolor=\"#00FF00\"><p>Text</p>", settings);
    EXPECT_EQ(coloured->RenderSheet(0, 96).Pixel(600, 900), platform::RGB(0, 255, 0));
    auto pictured = Printed(html, settings);
    const platform::TColor c = pictured->RenderSheet(0, 96).Pixel(600, 900);
    EXPECT_NE(c, platform::clWhite);
    EXPECT_NE(c, platform::RGB(0, 255, 0));  // the picture covers the colour
}

TEST(Sheets, AFailingHeaderHandlerLeavesNoPdf)
{
    TempDir dir;
    auto doc = Printed(ThreePages, Letter(1.0));
    doc->OnHeader = [](platform::Canvas*, int page, int, int) {
        if (page == 2)
            throw std::runtime_error("header failed");
    };
    std::string error;
    const std::string file = dir.File("failed.pdf");
    EXPECT_THROW(doc->ExportPdf(file, error), std::runtime_error);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file + ".part"));
    // The document prints again afterwards.
    doc->OnHeader = nullptr;
    EXPECT_TRUE(doc->ExportPdf(file, error)) << error;
}
