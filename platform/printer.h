#pragma once
// Sheets of paper on a vector device: a PDF file or the system's printer. Each sheet is drawn through
// canvases that cover areas of it (the printed page inside the margins, a header, a footer); the canvas
// primitives go to the device as vectors, images and real text with the fonts embedded. The print dialog
// is a replaceable service, so tests choose a printer (or a PDF file) without a window.

#include <memory>
#include <string>

namespace platform {

class Bitmap;
class Canvas;

// A sheet's size in inches.
struct PaperSize
{
    double Width = 8.27;
    double Height = 11.69;
};

PaperSize PaperA4();
PaperSize PaperLetter();
// "A4" or "Letter", in any letter case; false for any other name.
bool PaperByName(const std::string& name, PaperSize& paper);

// A part of a sheet: its top-left corner in inches from the sheet's, the size of one logical unit (1/96
// inch times Scale) and the logical width and height drawn (drawing outside is clipped).
struct SheetArea
{
    double Left = 0;
    double Top = 0;
    double Scale = 1;
    int Width = 0;
    int Height = 0;
};

class PageDocument
{
public:
    ~PageDocument();
    PageDocument(const PageDocument&) = delete;
    PageDocument& operator=(const PageDocument&) = delete;

    PaperSize Paper() const;
    // Starts the next sheet; the first call starts the first one.
    void NewPage();
    int PageCount() const;
    // A canvas drawing into an area of the current sheet (a sheet is started when none is). It stays
    // valid until the next AreaCanvas, NewPage or End.
    Canvas& AreaCanvas(const SheetArea& area);
    // Ends the document. False, with Error() telling why, when it could not be written; a PDF file is
    // then not left behind (nor when the document is destroyed without End).
    bool End();
    // Gives the document up after a failure while drawing: a PDF file is not left behind.
    void Abort();
    const std::string& Error() const;
    // The picture of a sheet of an image document (an empty bitmap for other documents or other indexes).
    Bitmap SheetBitmap(int index) const;

    struct Impl;
    explicit PageDocument(std::unique_ptr<Impl> impl);

private:
    std::unique_ptr<Impl> d;
};

// A PDF file of sheets of the given paper. It is written beside the file under a temporary name and
// renamed by End, so that a failed export leaves no partial file. None, with error set, when the file
// cannot be written.
std::unique_ptr<PageDocument> CreatePdfDocument(const std::string& fileName, const PaperSize& paper,
                                                const std::string& title, std::string& error);

// Sheets drawn as pictures, pixelsPerInch pixels to the inch (1 .. 1200, lowered for a sheet that would
// exceed 2^26 pixels), white at the start: the print preview shows what the printer gets through the same
// drawing.
std::unique_ptr<PageDocument> CreateImageDocument(const PaperSize& paper, int pixelsPerInch);

// What the print dialog is asked and answers: the pages there are and the range chosen (1-based,
// inclusive).
struct PrintRequest
{
    std::string Title;
    PaperSize Paper;
    int MinPage = 1;
    int MaxPage = 1;
    int FromPage = 1;
    int ToPage = 1;
};

class PrintDialogService
{
public:
    virtual ~PrintDialogService() = default;
    // Asks where and what to print. Answers the document to draw the sheets on (its paper is the one
    // chosen), with the request's range updated, or none when the user cancels.
    virtual std::unique_ptr<PageDocument> Run(PrintRequest& request) = 0;
};

PrintDialogService& PrintDialogs();
// Replaces the service; nullptr restores the default: the system's print dialog, or on a headless
// (offscreen) run an answer of cancel. Returns the previous custom service.
std::unique_ptr<PrintDialogService> SetPrintDialogService(std::unique_ptr<PrintDialogService> service);

} // namespace platform
