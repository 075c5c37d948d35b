// Sheets on a PDF file or a printer through a QPainter, the canvases over their areas, and the print dialog.

#include "platform/printer.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/qt/graphics_private.h"
#include "platform/codepage.h"
#include "platform/qt/pagecanvas_private.h"

namespace platform {

namespace {

// Names and titles are UTF-8 when they are valid UTF-8 (typed on a command line), else system-code-page text.
QString FromProgramText(const std::string& text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.toUtf8() == bytes)
        return utf8;
    return QString::fromUtf8(SystemToUtf8(text));
}

} // namespace

PaperSize PaperA4()
{
    return PaperSize{210.0 / 25.4, 297.0 / 25.4};
}

PaperSize PaperLetter()
{
    return PaperSize{8.5, 11.0};
}

bool PaperByName(const std::string& name, PaperSize& paper)
{
    const QString n = QString::fromUtf8(name).toLower();
    if (n == QLatin1String("a4")) {
        paper = PaperA4();
        return true;
    }
    if (n == QLatin1String("letter")) {
        paper = PaperLetter();
        return true;
    }
    return false;
}

struct PageDocument::Impl
{
    std::unique_ptr<QPdfWriter> pdf;
    std::unique_ptr<QPrinter> printer;
    std::vector<QImage> images;  // an image document's sheets
    int imageDpi = 0;
    QPagedPaintDevice* device = nullptr;
    QPainter painter;
    double dpi = 96;
    PaperSize paper;
    int pages = 0;
    bool ended = false;
    std::string error;
    QString tempName;  // a PDF being written
    QString finalName;
    PageTarget target;
    std::unique_ptr<Canvas> canvas;

    bool Begin()
    {
        if (!painter.begin(device))
            return false;
        dpi = std::max(1, device->logicalDpiX());
        return true;
    }
};

PageDocument::PageDocument(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

PageDocument::~PageDocument()
{
    // A document given up without End is not finished: no partial file stays.
    if (!d->ended)
        Abort();
}

PaperSize PageDocument::Paper() const
{
    return d->paper;
}

void PageDocument::NewPage()
{
    if (d->ended)
        return;
    d->canvas.reset();
    if (d->imageDpi > 0) {
        if (d->painter.isActive())
            d->painter.end();
        const int w = std::max(1, int(std::lround(d->paper.Width * d->imageDpi)));
        const int h = std::max(1, int(std::lround(d->paper.Height * d->imageDpi)));
        d->images.emplace_back(w, h, QImage::Format_RGB32);
        d->images.back().fill(Qt::white);
        d->painter.begin(&d->images.back());
        d->dpi = d->imageDpi;
    } else if (d->pages > 0) {
        d->device->newPage();
    }
    ++d->pages;
    d->target.stateValid = false;
}

int PageDocument::PageCount() const
{
    return d->pages;
}

Canvas& PageDocument::AreaCanvas(const SheetArea& area)
{
    if (d->pages == 0)
        NewPage();
    const double scale = std::isfinite(area.Scale) && area.Scale > 0 ? area.Scale : 1.0;
    const double unit = d->dpi / 96.0 * scale;
    QTransform base;
    base.translate(area.Left * d->dpi, area.Top * d->dpi);
    base.scale(unit, unit);
    d->target.painter = &d->painter;
    d->target.base = base;
    d->target.bounds = QRect(0, 0, std::max(0, area.Width), std::max(0, area.Height));
    d->target.stateValid = false;
    d->canvas = std::make_unique<Canvas>();
    d->canvas->Data().page = &d->target;
    return *d->canvas;
}

bool PageDocument::End()
{
    if (d->ended)
        return d->error.empty();
    d->ended = true;
    d->canvas.reset();
    if (d->painter.isActive())
        d->painter.end();
    if (d->imageDpi > 0)
        return true;
    d->pdf.reset();
    d->printer.reset();
    if (d->tempName.isEmpty())
        return d->error.empty();
    // The finished file replaces any file of that name; a failure leaves neither.
    if (QFile::exists(d->finalName))
        QFile::remove(d->finalName);
    if (!QFile::rename(d->tempName, d->finalName)) {
        QFile::remove(d->tempName);
        d->error = "Cannot create file \"" + d->finalName.toStdString() + "\"";
        return false;
    }
    return true;
}

void PageDocument::Abort()
{
    if (d->ended)
        return;
    d->ended = true;
    d->canvas.reset();
    if (d->painter.isActive())
        d->painter.end();
    d->pdf.reset();
    if (d->printer)
        d->printer->abort();
    d->printer.reset();
    if (!d->tempName.isEmpty())
        QFile::remove(d->tempName);
    if (d->error.empty())
        d->error = "Printing was stopped";
}

const std::string& PageDocument::Error() const
{
    return d->error;
}

Bitmap PageDocument::SheetBitmap(int index) const
{
    if (index < 0 || index >= int(d->images.size()))
        return Bitmap();
    if (index == int(d->images.size()) - 1 && d->painter.isActive())
        d->painter.end();
    return BitmapFromQImage(d->images[std::size_t(index)]);
}

std::unique_ptr<PageDocument> CreateImageDocument(const PaperSize& paper, int pixelsPerInch)
{
    auto d = std::make_unique<PageDocument::Impl>();
    d->paper = paper;
    if (!(d->paper.Width >= 0.1 && d->paper.Width <= 200 && d->paper.Height >= 0.1 && d->paper.Height <= 200))
        d->paper = PaperA4();
    d->imageDpi = std::clamp(pixelsPerInch, 1, 1200);
    // A sheet picture stays below 2^26 pixels (256 MB): larger ones are drawn at a lower resolution.
    while (d->imageDpi > 1 && d->paper.Width * d->imageDpi * d->paper.Height * d->imageDpi > double(1 << 26))
        d->imageDpi /= 2;
    d->images.reserve(16);
    return std::make_unique<PageDocument>(std::move(d));
}

std::unique_ptr<PageDocument> CreatePdfDocument(const std::string& fileName, const PaperSize& paper,
                                                const std::string& title, std::string& error)
{
    error.clear();
    const QString name = FromProgramText(fileName);
    auto d = std::make_unique<PageDocument::Impl>();
    d->finalName = name;
    d->tempName = name + QLatin1String(".part");
    d->paper = paper;
    if (name.isEmpty() || !(paper.Width > 0) || !(paper.Height > 0)) {
        error = "Cannot create file \"" + fileName + "\"";
        return nullptr;
    }
    {
        // Tried first, so that an unwritable place is reported plainly.
        QFile probe(d->tempName);
        if (!probe.open(QIODevice::WriteOnly)) {
            error = "Cannot create file \"" + fileName + "\"";
            return nullptr;
        }
    }
    d->pdf = std::make_unique<QPdfWriter>(d->tempName);
    d->pdf->setCreator(QStringLiteral("VexaInfo"));
    d->pdf->setTitle(FromProgramText(title));
    d->pdf->setResolution(1200);
    d->pdf->setPageLayout(QPageLayout(QPageSize(QSizeF(paper.Width, paper.Height), QPageSize::Inch),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    d->device = d->pdf.get();
    if (!d->Begin()) {
        d->pdf.reset();
        QFile::remove(d->tempName);
        error = "Cannot create file \"" + fileName + "\"";
        return nullptr;
    }
    return std::make_unique<PageDocument>(std::move(d));
}

namespace {

class SystemPrintDialog final : public PrintDialogService
{
public:
    std::unique_ptr<PageDocument> Run(PrintRequest& request) override
    {
        if (!QApplication::instance() || QGuiApplication::platformName() == QLatin1String("offscreen"))
            return nullptr;
        auto d = std::make_unique<PageDocument::Impl>();
        d->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        d->printer->setFullPage(true);
        d->printer->setDocName(FromProgramText(request.Title));
        d->printer->setPageSize(
            QPageSize(QSizeF(request.Paper.Width, request.Paper.Height), QPageSize::Inch));
        QPrintDialog dialog(d->printer.get());
        dialog.setMinMax(request.MinPage, request.MaxPage);
        dialog.setFromTo(request.FromPage, request.ToPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (dialog.exec() != QDialog::Accepted)
            return nullptr;
        if (d->printer->printRange() == QPrinter::PageRange && d->printer->fromPage() > 0) {
            request.FromPage = d->printer->fromPage();
            request.ToPage = d->printer->toPage();
        } else {
            request.FromPage = request.MinPage;
            request.ToPage = request.MaxPage;
        }
        const QSizeF paper = d->printer->pageLayout().fullRect(QPageLayout::Inch).size();
        d->paper = PaperSize{paper.width(), paper.height()};
        request.Paper = d->paper;
        d->device = d->printer.get();
        if (!d->Begin())
            return nullptr;
        return std::make_unique<PageDocument>(std::move(d));
    }
};

std::unique_ptr<PrintDialogService>& CustomService()
{
    static std::unique_ptr<PrintDialogService> service;
    return service;
}

} // namespace

PrintDialogService& PrintDialogs()
{
    static SystemPrintDialog system;
    if (auto& custom = CustomService())
        return *custom;
    return system;
}

std::unique_ptr<PrintDialogService> SetPrintDialogService(std::unique_ptr<PrintDialogService> service)
{
    std::unique_ptr<PrintDialogService> previous = std::move(CustomService());
    CustomService() = std::move(service);
    return previous;
}

} // namespace platform
