// The print copy of a document: built, formatted at the printable width, cut into pages and drawn.

#include "print/printdoc.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "images/imagecache.h"
#include "layout/backgroundtile.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "platform/timer.h"

namespace {

constexpr double ScreenDpi = 96.0;
constexpr double MinScale = 0.25;
constexpr int MaxFitWidth = 6000;  // the widest document the viewer shows

// Bands drawn per sheet: their extent in 1/96 inch.
int ToPixels(double inches)
{
    return std::max(0, int(std::lround(inches * ScreenDpi)));
}

}  // namespace

TPrintDocument::TPrintDocument()
    : FRoot(std::make_unique<TSectionList>(nullptr, nullptr)),
      FCanvas(std::make_unique<platform::Canvas>(FMeasureBitmap))
{
}

TPrintDocument::~TPrintDocument() = default;

void TPrintDocument::Load(const std::string& source, bool plainText, const THtmlHost& host)
{
    FRoot->Clear();
    if (!ImageCache) {
        FOwnCache = std::make_unique<TStringBitmapList>();
        ImageCache = FOwnCache.get();
    }
    FRoot->ImageCache = ImageCache;
    FRoot->ShowImages = ShowImages;
    FRoot->SetFonts(FontName, PreFontName, FontSize, FontColor, HotSpotColor, VisitedColor, HotSpotColor,
                    Background, false, true, CharSet, host.MarginHeight, host.MarginWidth);
    // The copy is read quietly: the host's events were raised when the document itself was read.
    FHost = THtmlHost{};
    FHost.HtmlExpandFilename = host.HtmlExpandFilename;
    FHost.ExpandName = host.ExpandName;
    FHost.Include = host.Include;
    FHost.OnStreamRequest = host.OnStreamRequest;
    FHost.MarginWidth = host.MarginWidth;
    FHost.MarginHeight = host.MarginHeight;
    FHost.IsViewer = host.IsViewer;
    if (plainText)
        FBuilder.ParseText(source, *FRoot, FHost);
    else
        FBuilder.ParseHtml(source, *FRoot, FHost);
    FHeight = 0;
    FPages.assign(1, TPageSpan{});
}

int TPrintDocument::Paginate(const TPrintSettings& settings)
{
    FSettings = settings;
    FGeometry = ComputeGeometry(settings);
    FRoot->PrintTableBackground = settings.PrintTableBackground || settings.PrintBackground;
    FRoot->PrintMonoBlack = settings.PrintMonochromeBlack;
    int maxWidth = 0;
    int cursor = 0;
    FHeight = std::max(0, FRoot->Layout(FCanvas.get(), 0, FGeometry.Width, FGeometry.Height, 0, maxWidth, cursor));
    if (settings.ShrinkToFit && maxWidth > FGeometry.Width && FGeometry.Scale > MinScale) {
        // Content wider than the printable area (a wide table, a long preformatted line) is printed
        // smaller rather than cut off at the right margin.
        TPrintSettings smaller = settings;
        smaller.Scale = std::max(MinScale, FGeometry.Scale * FGeometry.Width / std::min(maxWidth, MaxFitWidth));
        FGeometry = ComputeGeometry(smaller);
        maxWidth = 0;
        cursor = 0;
        FHeight = std::max(0, FRoot->Layout(FCanvas.get(), 0, FGeometry.Width, FGeometry.Height, 0, maxWidth, cursor));
    }
    FPages = TPageBreaks(*FRoot, FGeometry.Height, ItemBreaks).Cut(FHeight);
    StopAnimation();
    return PageCount();
}

void TPrintDocument::PaintPage(platform::Canvas& canvas, int index)
{
    if (index < 0 || index >= PageCount())
        return;
    const TPageSpan span = FPages[std::size_t(index)];
    const int saved = canvas.SaveDC();
    // The background covers the whole printed area of the sheet; the document only its own rows.
    if (FSettings.PrintBackground)
        PaintBackground(canvas, platform::Rect{0, 0, FGeometry.Width, std::max(span.Height(), FGeometry.Height)},
                        span.Top - span.RepeatHeight());
    try {
        if (span.RepeatHeight() > 0)
            PaintRows(canvas, span.RepeatTop, span.RepeatBottom, 0);
        PaintRows(canvas, span.Top, span.Bottom, span.RepeatHeight());
    } catch (...) {
        canvas.RestoreDC(saved);
        throw;
    }
    canvas.RestoreDC(saved);
}

void TPrintDocument::PaintRows(platform::Canvas& canvas, int top, int bottom, int at)
{
    const platform::Rect area{0, 0, FGeometry.Width, std::max(0, bottom - top)};
    const int saved = canvas.SaveDC();
    const platform::Point origin = canvas.GetWindowOrg();
    canvas.SetWindowOrg(origin.X, origin.Y - at);
    canvas.IntersectClipRect(area);
    FRoot->Printing = true;
    FRoot->PageBottom = bottom;
    FRoot->ScrollTo(top);
    try {
        FRoot->PaintCell(&canvas, area, area.Width(), 0, 0, 0, 0);
    } catch (...) {
        FRoot->Printing = false;
        canvas.RestoreDC(saved);
        throw;
    }
    FRoot->Printing = false;
    StopAnimation();
    canvas.RestoreDC(saved);
}

void TPrintDocument::StopAnimation()
{
    // Printed pictures keep their first frame: the copy's animation timer never runs.
    if (platform::Timer* timer = FRoot->AnimationTimer())
        timer->SetEnabled(false);
}

void TPrintDocument::PaintBackground(platform::Canvas& canvas, const platform::Rect& area, int top)
{
    canvas.FillRect(area, platform::ColorToRGB(FRoot->Background));
    FRoot->LoadBackgroundImage();
    const platform::Bitmap* image = FRoot->BackgroundImage;
    if (!FRoot->ShowImages || !image || image->Empty())
        return;
    BackgroundPos position[2];
    if (FRoot->BackgroundPosition.size() == sizeof position) {
        std::memcpy(static_cast<void*>(position), FRoot->BackgroundPosition.data(), sizeof position);
    } else {
        position[0].PosType = BgLeft;
        position[1].PosType = BgTop;
    }
    const platform::Bitmap* mask = FRoot->BackgroundMask;
    if (mask && (mask->Empty() || mask->Width() != image->Width() || mask->Height() != image->Height()))
        mask = nullptr;
    // The picture lies on the whole document; the page shows its rows.
    const platform::Rect document{0, -top, area.Right, std::max(FHeight, top + area.Bottom) - top};
    TileBackground(canvas, document, area, *image, mask, position[0], position[1]);
}

std::unique_ptr<platform::Bitmap> TPrintDocument::RenderPage(int index)
{
    int height = 1;
    if (index >= 0 && index < PageCount())
        height = std::max(1, FPages[std::size_t(index)].Height());
    auto bitmap = std::make_unique<platform::Bitmap>(FGeometry.Width, height);
    platform::Canvas canvas(*bitmap);
    canvas.FillRect(platform::Rect{0, 0, FGeometry.Width, height}, platform::clWhite);
    PaintPage(canvas, index);
    return bitmap;
}

void TPrintDocument::DrawSheets(platform::PageDocument& doc, int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, PageCount() - 1);
    for (int i = from; i <= to; ++i)
        DrawSheet(doc, i);
}

void TPrintDocument::DrawSheet(platform::PageDocument& doc, int index)
{
    doc.NewPage();
    platform::SheetArea area;
    area.Left = FGeometry.Left;
    area.Top = FGeometry.Top;
    area.Scale = FGeometry.Scale;
    area.Width = FGeometry.Width;
    area.Height = FGeometry.Height;
    PaintPage(doc.AreaCanvas(area), index);
    DrawBand(doc, index, true);
    DrawBand(doc, index, false);
}

void TPrintDocument::DrawBand(platform::PageDocument& doc, int index, bool header)
{
    const auto& onCanvas = header ? OnHeader : OnFooter;
    const auto& onHtml = header ? OnHTMLHeader : OnHTMLFooter;
    if (!onCanvas && !onHtml)
        return;
    platform::SheetArea area;
    area.Left = FGeometry.Left;
    area.Top = header ? 0.0 : FGeometry.Paper.Height - FGeometry.Bottom;
    area.Width = ToPixels(FGeometry.Paper.Width - FGeometry.Left - FGeometry.Right);
    area.Height = ToPixels(header ? FGeometry.Top : FGeometry.Bottom);
    platform::Canvas& canvas = doc.AreaCanvas(area);
    if (onCanvas)
        onCanvas(&canvas, index + 1, area.Width, area.Height);
    if (onHtml) {
        const std::string html = onHtml(index + 1, PageCount());
        if (!html.empty())
            DrawHTMLBand(canvas, html, area.Width, area.Height);
    }
}

void TPrintDocument::DrawHTMLBand(platform::Canvas& canvas, const std::string& html, int width, int height)
{
    TSectionList band(nullptr, nullptr);
    band.ImageCache = ImageCache;
    band.ShowImages = ShowImages;
    band.SetFonts(FontName, PreFontName, FontSize, FontColor, HotSpotColor, VisitedColor, HotSpotColor,
                  platform::clWhite, false, true, CharSet, 0, 0);
    THtmlHost host;
    host.HtmlExpandFilename = FHost.HtmlExpandFilename;
    host.MarginWidth = 0;
    host.MarginHeight = 0;
    THtmlBuilder builder;
    builder.ParseHtml(html, band, host);
    int maxWidth = 0;
    int cursor = 0;
    band.Layout(FCanvas.get(), 0, std::max(1, width), height, 0, maxWidth, cursor);
    band.Printing = true;
    band.PrintTableBackground = FRoot->PrintTableBackground;
    band.PrintMonoBlack = FRoot->PrintMonoBlack;
    band.PageBottom = height;
    const platform::Rect area{0, 0, width, height};
    const int saved = canvas.SaveDC();
    canvas.IntersectClipRect(area);
    band.PaintCell(&canvas, area, width, 0, 0, 0, 0);
    canvas.RestoreDC(saved);
}

platform::Bitmap TPrintDocument::RenderSheet(int index, int pixelsPerInch)
{
    auto doc = platform::CreateImageDocument(FGeometry.Paper, pixelsPerInch);
    DrawSheet(*doc, index);
    doc->End();
    return doc->SheetBitmap(0);
}

bool TPrintDocument::ExportPdf(const std::string& fileName, std::string& error)
{
    auto doc = platform::CreatePdfDocument(fileName, FGeometry.Paper, Title(), error);
    if (!doc)
        return false;
    try {
        DrawSheets(*doc, 0, PageCount() - 1);
    } catch (...) {
        doc->Abort();
        throw;
    }
    if (!doc->End()) {
        error = doc->Error();
        return false;
    }
    return true;
}
