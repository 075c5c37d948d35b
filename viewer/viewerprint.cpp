// Printing of the viewer's document: the print copy with the viewer's look and print settings, the print
// dialog, the print preview window and PDF export.

#include <algorithm>

#include "platform/printpreview.h"
#include "layout/sectionlist.h"
#include "print/printdoc.h"
#include "viewer/htmlviewer.h"

// The preview keeps its own print copy, so that paging through it never formats the document again.
struct TViewerPrintState {
    std::unique_ptr<TPrintDocument> PreviewDocument;
    std::unique_ptr<platform::PrintPreview> Preview;
};

namespace {

std::string ImageDocument(const std::string& file)
{
    std::string escaped;
    for (char c : file) {
        if (c == '"')
            escaped += "&quot;";
        else if (c == '&')
            escaped += "&amp;";
        else
            escaped += c;
    }
    return "<img src=\"" + escaped + "\">";
}

}  // namespace

std::unique_ptr<TPrintDocument> THTMLViewer::MakePrintDocument(const platform::PaperSize& paper)
{
    auto doc = std::make_unique<TPrintDocument>();
    doc->FontName = FDefFontName;
    doc->PreFontName = DefPreFontName();
    doc->FontSize = FDefFontSize;
    doc->FontColor = FDefFontColor;
    doc->Background = FDefBackground;
    doc->HotSpotColor = FDefHotSpotColor;
    doc->VisitedColor = FDefVisitedLinkColor;
    doc->CharSet = FCharSet;
    doc->ShowImages = FViewImages;
    doc->ImageCache = FImageCache;
    if (OnPrintHeader)
        doc->OnHeader = [this](platform::Canvas* canvas, int page, int w, int h) {
            if (OnPrintHeader)
                OnPrintHeader(this, canvas, page, w, h);
        };
    if (OnPrintFooter)
        doc->OnFooter = [this](platform::Canvas* canvas, int page, int w, int h) {
            if (OnPrintFooter)
                OnPrintFooter(this, canvas, page, w, h);
        };
    if (OnPrintHTMLHeader)
        doc->OnHTMLHeader = [this](int page, int count) {
            std::string html;
            if (OnPrintHTMLHeader)
                OnPrintHTMLHeader(this, page, count, html);
            return html;
        };
    if (OnPrintHTMLFooter)
        doc->OnHTMLFooter = [this](int page, int count) {
            std::string html;
            if (OnPrintHTMLFooter)
                OnPrintHTMLFooter(this, page, count, html);
            return html;
        };
    // A cleared viewer prints one empty page.
    if (FSectionList->Count() > 0) {
        if (FDocumentKind == 0)
            doc->Load(FDocumentSource, false, MakeHost(false));
        else if (FDocumentKind == 1)
            doc->Load(FDocumentSource, true, MakeHost(false));
        else
            doc->Load(ImageDocument(FCurrentFile), false, MakeHost(false));
    }
    TPrintSettings settings;
    settings.Paper = paper;
    settings.MarginLeft = PrintMarginLeft;
    settings.MarginRight = PrintMarginRight;
    settings.MarginTop = PrintMarginTop;
    settings.MarginBottom = PrintMarginBottom;
    settings.Scale = FPrintScale;
    settings.PrintBackground = FOptions.Contains(htPrintBackground);
    settings.PrintTableBackground = FOptions.Contains(htPrintTableBackground) || settings.PrintBackground;
    settings.PrintMonochromeBlack = FOptions.Contains(htPrintMonochromeBlack);
    doc->Paginate(settings);
    return doc;
}

int THTMLViewer::NumPrinterPages()
{
    return MakePrintDocument(PrintPaper)->PageCount();
}

void THTMLViewer::Print(int FromPage, int ToPage)
{
    std::unique_ptr<TPrintDocument> doc = MakePrintDocument(PrintPaper);
    platform::PrintRequest request;
    request.Title = FTitle.empty() ? FCurrentFile : FTitle;
    request.Paper = PrintPaper;
    request.MinPage = 1;
    request.MaxPage = doc->PageCount();
    request.FromPage = std::clamp(FromPage, 1, request.MaxPage);
    request.ToPage = std::clamp(ToPage, request.FromPage, request.MaxPage);
    std::unique_ptr<platform::PageDocument> sheets = platform::PrintDialogs().Run(request);
    if (!sheets)
        return;
    const platform::PaperSize chosen = sheets->Paper();
    if (chosen.Width != PrintPaper.Width || chosen.Height != PrintPaper.Height)
        doc = MakePrintDocument(chosen);
    try {
        doc->DrawSheets(*sheets, request.FromPage - 1, request.ToPage - 1);
    } catch (...) {
        sheets->Abort();
        throw;
    }
    if (!sheets->End())
        throw EPrintError(sheets->Error());
}

int THTMLViewer::PrintToPDF(const std::string& FileName)
{
    std::unique_ptr<TPrintDocument> doc = MakePrintDocument(PrintPaper);
    std::string error;
    if (!doc->ExportPdf(FileName, error))
        throw EPrintError(error);
    return doc->PageCount();
}

void THTMLViewer::PrintPreview()
{
    if (!FPrintState)
        FPrintState = std::make_shared<TViewerPrintState>();
    TViewerPrintState& state = *FPrintState;
    state.PreviewDocument = MakePrintDocument(PrintPaper);
    if (!state.Preview) {
        state.Preview = std::make_unique<platform::PrintPreview>();
        TViewerPrintState* raw = &state;
        state.Preview->RenderSheet = [raw](int index, int ppi) {
            return raw->PreviewDocument ? raw->PreviewDocument->RenderSheet(index, ppi) : platform::Bitmap();
        };
        state.Preview->OnPrint = [this] {
            const int count = FPrintState && FPrintState->PreviewDocument ? FPrintState->PreviewDocument->PageCount() : 1;
            Print(1, count);
        };
    }
    state.Preview->SetTitle(FTitle.empty() ? FCurrentFile : FTitle);
    state.Preview->SetPages(state.PreviewDocument->PageCount(), state.PreviewDocument->Geometry().Paper.Width);
    state.Preview->SetCurrentPage(0);
    state.Preview->Show();
}

platform::PrintPreview* THTMLViewer::PreviewWindow()
{
    return FPrintState ? FPrintState->Preview.get() : nullptr;
}
