#pragma once
// A document made ready for printing: its own copy of the document built from the source, formatted at the
// printable width of the sheet, cut into pages, and drawn page by page onto bitmaps (preview pictures) or
// onto the sheets of a PDF file or a printer. Headers and footers are drawn into the top and bottom
// margins by the host's handlers, either on a canvas or as a small HTML document per page.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/exception.h"
#include "platform/printer.h"
#include "platform/types.h"
#include "print/pagebreaks.h"
#include "print/printsettings.h"
#include "reader/builder.h"

namespace platform {
class Canvas;
}  // namespace platform

class TSectionList;
class TSectionBase;
class TStringBitmapList;

// Printing or writing a PDF file failed; the message says why.
VEXA_DECLARE_EXCEPTION(EPrintError, platform::Exception)

class TPrintDocument {
public:
    TPrintDocument();
    ~TPrintDocument();
    TPrintDocument(const TPrintDocument&) = delete;
    TPrintDocument& operator=(const TPrintDocument&) = delete;

    // Look of the document when it sets none (the viewer's defaults).
    std::string FontName = "Times New Roman";
    std::string PreFontName = "Courier New";
    int FontSize = 12;
    platform::TColor FontColor = platform::clBtnText;
    platform::TColor Background = platform::clWhite;
    platform::TColor HotSpotColor = 0xFF0000;
    platform::TColor VisitedColor = 0x800080;
    int CharSet = 1;
    bool ShowImages = true;
    // Shared with the viewer: pictures are read once. None: the copy reads pictures without a cache.
    TStringBitmapList* ImageCache = nullptr;

    // Header and footer handlers, called once per printed sheet. The canvas covers the margin above
    // (below) the printed area: width is the printed area's width and height the margin's, in 1/96 inch.
    std::function<void(platform::Canvas* canvas, int pageNumber, int width, int height)> OnHeader;
    std::function<void(platform::Canvas* canvas, int pageNumber, int width, int height)> OnFooter;
    // HTML headers and footers: the handler answers a small HTML document for the page (empty: none), which
    // is laid out across the margin's width and drawn at the top of the margin.
    std::function<std::string(int pageNumber, int pageCount)> OnHTMLHeader;
    std::function<std::string(int pageNumber, int pageCount)> OnHTMLFooter;

    // Where pages may end inside items the paging does not know (tables hook in here until they tell their
    // rows and head rows themselves): answer true when the item was handled.
    std::function<bool(TSectionBase& item, TPageBreaks& breaks)> ItemBreaks;

    // Builds the copy from a document's source (plainText: a text file), reading linked files through host.
    void Load(const std::string& source, bool plainText, const THtmlHost& host);
    // Formats the copy for the settings and cuts it into pages; answers the number of pages (at least 1).
    int Paginate(const TPrintSettings& settings);

    int PageCount() const { return int(FPages.size()); }
    const TPageSpan& Page(int index) const { return FPages[std::size_t(index)]; }
    const TPageGeometry& Geometry() const { return FGeometry; }
    int DocumentHeight() const { return FHeight; }
    TSectionList& Root() { return *FRoot; }
    const std::string& Title() const { return FBuilder.Title; }

    // Draws a page's part of the document onto canvas, whose origin is the top-left of the printed area
    // (document pixels); nothing is drawn outside the page's rows.
    void PaintPage(platform::Canvas& canvas, int index);
    // The page's printed area as a bitmap of Geometry().Width x the page's height, drawn as on screen.
    std::unique_ptr<platform::Bitmap> RenderPage(int index);
    // Draws the pages from .. to (0-based, inclusive; clamped to the pages there are) onto sheets of doc,
    // one sheet each, with their headers and footers.
    void DrawSheets(platform::PageDocument& doc, int from, int to);
    // The whole sheet of a page as a picture at pixelsPerInch, as it will be printed.
    platform::Bitmap RenderSheet(int index, int pixelsPerInch);
    // Writes every page to a PDF file of the settings' paper. False with error set when the file could not
    // be written (no file is left then).
    bool ExportPdf(const std::string& fileName, std::string& error);

private:
    void StopAnimation();
    void PaintBackground(platform::Canvas& canvas, const platform::Rect& area, int top);
    // Paints document rows [top, bottom) at canvas row at.
    void PaintRows(platform::Canvas& canvas, int top, int bottom, int at);
    void DrawSheet(platform::PageDocument& doc, int index);
    void DrawBand(platform::PageDocument& doc, int index, bool header);
    void DrawHTMLBand(platform::Canvas& canvas, const std::string& html, int width, int height);

    std::unique_ptr<TStringBitmapList> FOwnCache;
    std::unique_ptr<TSectionList> FRoot;
    THtmlBuilder FBuilder;
    THtmlHost FHost;
    platform::Bitmap FMeasureBitmap{1, 1};
    std::unique_ptr<platform::Canvas> FCanvas;
    TPrintSettings FSettings;
    TPageGeometry FGeometry;
    std::vector<TPageSpan> FPages{TPageSpan{}};
    int FHeight = 0;
};
