// The canvas on a vector page: the same primitives drawn on a bitmap and on a sheet picture at 96 pixels
// per inch give the same pixels (fills, frames, lines, regions, clipping, window origin, pictures and
// masks); areas are placed and clipped on the sheet; text is drawn where the bitmap canvas draws it.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/printer.h"
#include "platform/region.h"

namespace {

using namespace platform;

constexpr int W = 120, H = 90;

// A one-inch-square sheet area drawn by draw, and the same drawing on a bitmap.
void Compare(const std::function<void(Canvas&)>& draw)
{
    Bitmap bitmap(W, H);
    Canvas canvas(bitmap);
    canvas.FillRect(Rect{0, 0, W, H}, clWhite);
    draw(canvas);

    auto sheets = CreateImageDocument(PaperSize{2.0, 1.5}, 96);
    SheetArea area;
    area.Width = W;
    area.Height = H;
    draw(sheets->AreaCanvas(area));
    ASSERT_TRUE(sheets->End());
    const Bitmap sheet = sheets->SheetBitmap(0);
    ASSERT_EQ(sheet.Width(), 192);
    int differences = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (sheet.Pixel(x, y) != bitmap.Pixel(x, y) && ++differences < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": page " << std::hex << sheet.Pixel(x, y)
                              << " bitmap " << bitmap.Pixel(x, y);
    EXPECT_EQ(differences, 0);
}

}  // namespace

TEST(PageCanvas, FillsFramesAndRectanglesMatchTheBitmap)
{
    Compare([](Canvas& c) {
        c.FillRect(Rect{5, 5, 40, 20}, RGB(200, 0, 0));
        c.FrameRect(Rect{50, 5, 80, 30}, clBlack);
        c.SetBrushColor(RGB(0, 0, 255));
        c.SetPen(Pen{RGB(0, 128, 0), 1, PenStyle::Solid});
        c.Rectangle(10, 40, 50, 70);
        c.SetPen(Pen{RGB(0, 128, 0), 3, PenStyle::Solid});
        c.Rectangle(60, 40, 100, 80);
        c.SetPen(Pen{clBlack, 1, PenStyle::Clear});
        c.Rectangle(105, 5, 115, 15);
        c.SetPixel(2, 85, clBlack);
    });
}

TEST(PageCanvas, StraightLinesLeaveOutTheEndPoint)
{
    Compare([](Canvas& c) {
        c.SetPen(Pen{clBlack, 1, PenStyle::Solid});
        c.MoveTo(5, 10);
        c.LineTo(60, 10);
        c.LineTo(60, 50);
        c.SetPen(Pen{RGB(128, 0, 0), 4, PenStyle::Solid});
        c.MoveTo(100, 80);
        c.LineTo(70, 80);
        c.LineTo(70, 60);
    });
}

TEST(PageCanvas, ClipOriginAndRegionsMatchTheBitmap)
{
    Compare([](Canvas& c) {
        c.IntersectClipRect(Rect{10, 10, 100, 70});
        c.FillRect(Rect{0, 0, W, H}, RGB(0, 200, 0));
        c.ExcludeClipRect(Rect{20, 20, 40, 40});
        c.FillRect(Rect{0, 0, 60, 60}, RGB(0, 0, 200));
        c.SelectClipRgn(nullptr);
        c.SetWindowOrg(-30, -5);
        c.FillRegion(Region::CreateRect(50, 50, 70, 60), clBlack);
    });
}

TEST(PageCanvas, PicturesAndMasksMatchTheBitmap)
{
    Bitmap picture(10, 8);
    Bitmap mask(10, 8, PixelFormat::pf1bit);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            picture.SetPixel(x, y, RGB(x * 20, y * 30, 100));
            mask.SetPixel(x, y, (x + y) % 3 == 0 ? clWhite : clBlack);
        }
    Compare([&](Canvas& c) {
        c.FillRect(Rect{0, 0, W, H}, RGB(250, 250, 0));
        c.BitBlt(5, 5, 10, 8, picture, 0, 0, SRCCOPY);
        c.StretchBlt(20, 5, 20, 16, picture, 0, 0, 10, 8, SRCCOPY);
        c.MaskedDraw(Rect{50, 5, 60, 13}, picture, mask, Rect{0, 0, 10, 8});
    });
}

TEST(PageCanvas, AreasArePlacedScaledAndClippedOnTheSheet)
{
    auto sheets = CreateImageDocument(PaperSize{4.0, 3.0}, 96);
    SheetArea area;
    area.Left = 1.0;
    area.Top = 0.5;
    area.Scale = 2.0;
    area.Width = 40;
    area.Height = 20;
    sheets->AreaCanvas(area).FillRect(Rect{0, 0, 100, 100}, clBlack);  // beyond the area: clipped
    sheets->NewPage();
    ASSERT_TRUE(sheets->End());
    EXPECT_EQ(sheets->PageCount(), 2);
    const Bitmap sheet = sheets->SheetBitmap(0);
    EXPECT_EQ(sheet.Pixel(96, 48), clBlack);
    EXPECT_EQ(sheet.Pixel(96 + 79, 48 + 39), clBlack);
    EXPECT_EQ(sheet.Pixel(96 + 80, 48), clWhite);
    EXPECT_EQ(sheet.Pixel(96, 48 + 40), clWhite);
    EXPECT_EQ(sheet.Pixel(95, 48), clWhite);
    EXPECT_EQ(sheets->SheetBitmap(1).Pixel(100, 50), clWhite);
    EXPECT_TRUE(sheets->SheetBitmap(2).Empty());
    // A huge resolution is lowered until the sheet stays within bounds.
    auto huge = CreateImageDocument(PaperSize{200, 200}, 1200);
    huge->NewPage();
    huge->End();
    const Bitmap big = huge->SheetBitmap(0);
    EXPECT_LE(double(big.Width()) * big.Height(), double(1 << 26));
    EXPECT_GT(big.Width(), 1000);
}

TEST(PageCanvas, TextIsDrawnWhereTheBitmapCanvasDrawsIt)
{
    LogFont lf;
    lf.Name = "Arial";
    lf.Height = -20;
    const Font font(lf);
    auto inkColumns = [](const Bitmap& b, int& first, int& last) {
        first = -1;
        last = -1;
        for (int x = 0; x < b.Width(); ++x)
            for (int y = 0; y < b.Height(); ++y)
                if (b.Pixel(x, y) != clWhite) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
    };
    Bitmap bitmap(W * 2, H);
    Canvas canvas(bitmap);
    canvas.FillRect(Rect{0, 0, W * 2, H}, clWhite);
    canvas.SetFont(font);
    canvas.SetBkMode(TRANSPARENT);
    canvas.TextOutW(10, 10, u"Hello, pages");
    auto sheets = CreateImageDocument(PaperSize{3.0, 1.0}, 96);
    SheetArea area;
    area.Width = W * 2;
    area.Height = H;
    Canvas& page = sheets->AreaCanvas(area);
    page.SetFont(font);
    page.SetBkMode(TRANSPARENT);
    page.TextOutW(10, 10, u"Hello, pages");
    // Outside the area: not drawn at all.
    page.TextOutW(10, 500, u"Hidden");
    ASSERT_TRUE(sheets->End());
    int a0, a1, b0, b1;
    inkColumns(bitmap, a0, a1);
    Bitmap sheet = sheets->SheetBitmap(0);
    inkColumns(sheet, b0, b1);
    ASSERT_GE(a0, 0);
    EXPECT_NEAR(b0, a0, 1);
    EXPECT_NEAR(b1, a1, 2);
}

TEST(PdfDocument, UnfinishedOrUnwritableDocumentsLeaveNoFile)
{
    const std::string folder = "/tmp/pagecanvas_pdf_" + std::to_string(::getpid());
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::string error;
    EXPECT_EQ(CreatePdfDocument(folder + "/none/x.pdf", PaperA4(), "t", error), nullptr);
    EXPECT_NE(error.find("Cannot create file"), std::string::npos);
    {
        auto doc = CreatePdfDocument(folder + "/given_up.pdf", PaperA4(), "t", error);
        ASSERT_NE(doc, nullptr);
        doc->AreaCanvas(SheetArea{0, 0, 1, 100, 100}).FillRect(Rect{0, 0, 10, 10}, clBlack);
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/given_up.pdf"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/given_up.pdf.part"));
    auto doc = CreatePdfDocument(folder + "/done.pdf", PaperLetter(), "t", error);
    ASSERT_NE(doc, nullptr);
    doc->NewPage();
    doc->NewPage();
    EXPECT_TRUE(doc->End());
    EXPECT_EQ(doc->PageCount(), 2);
    EXPECT_TRUE(std::filesystem::exists(folder + "/done.pdf"));
    PaperSize paper;
    EXPECT_TRUE(PaperByName("letter", paper));
    EXPECT_DOUBLE_EQ(paper.Width, 8.5);
    EXPECT_FALSE(PaperByName("A5", paper));
    std::filesystem::remove_all(folder, ec);
}
