// The print preview window over Qt widgets.

#include "platform/printpreview.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "platform/qt/graphics_private.h"

namespace platform {

namespace {

constexpr int kZooms[] = {0, 25, 50, 75, 100, 150, 200, 400};

// The window: forwards page keys to the preview.
class PreviewWindow final : public QWidget
{
public:
    std::function<void(int key)> OnKey;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (OnKey)
            OnKey(event->key());
        QWidget::keyPressEvent(event);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (OnResize)
            OnResize();
    }

public:
    std::function<void()> OnResize;
};

} // namespace

struct PrintPreview::Impl
{
    PrintPreview* owner = nullptr;
    QPointer<PreviewWindow> window;
    QLabel* sheet = nullptr;
    QLabel* pageLabel = nullptr;
    QScrollArea* scroll = nullptr;
    QComboBox* zoomBox = nullptr;
    QPushButton* first = nullptr;
    QPushButton* previous = nullptr;
    QPushButton* next = nullptr;
    QPushButton* last = nullptr;
    int pages = 1;
    double sheetWidth = 8.27;
    int current = 0;
    int zoom = 0;
    int shownPpi = 0;
    int shownWidth = -1;
    Bitmap shown;

    int PixelsPerInch() const
    {
        if (zoom > 0)
            return std::max(1, int(std::lround(96.0 * zoom / 100.0)));
        const int room = scroll ? scroll->viewport()->width() - 16 : 600;
        return std::clamp(int(room / sheetWidth), 8, 384);
    }

    void Refresh()
    {
        if (!window)
            return;
        pageLabel->setText(QStringLiteral("Page %1 of %2").arg(current + 1).arg(pages));
        first->setEnabled(current > 0);
        previous->setEnabled(current > 0);
        next->setEnabled(current + 1 < pages);
        last->setEnabled(current + 1 < pages);
        const int ppi = PixelsPerInch();
        shownPpi = ppi;
        shown = owner->RenderSheet ? owner->RenderSheet(current, ppi) : Bitmap();
        if (shown.Empty()) {
            sheet->clear();
            return;
        }
        sheet->setPixmap(QPixmap::fromImage(ToDrawableImage(shown)));
        sheet->adjustSize();
        scroll->verticalScrollBar()->setValue(0);
    }

    void Build()
    {
        window = new PreviewWindow;
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->resize(720, 800);
        auto* layout = new QVBoxLayout(window);
        auto* bar = new QHBoxLayout;
        auto* print = new QPushButton(QStringLiteral("Print..."), window);
        first = new QPushButton(QStringLiteral("|<"), window);
        previous = new QPushButton(QStringLiteral("<"), window);
        next = new QPushButton(QStringLiteral(">"), window);
        last = new QPushButton(QStringLiteral(">|"), window);
        pageLabel = new QLabel(window);
        zoomBox = new QComboBox(window);
        for (int z : kZooms)
            zoomBox->addItem(z == 0 ? QStringLiteral("Fit width") : QStringLiteral("%1%").arg(z), z);
        auto* closeButton = new QPushButton(QStringLiteral("Close"), window);
        for (QWidget* w : {static_cast<QWidget*>(print), static_cast<QWidget*>(first),
                           static_cast<QWidget*>(previous), static_cast<QWidget*>(pageLabel),
                           static_cast<QWidget*>(next), static_cast<QWidget*>(last),
                           static_cast<QWidget*>(zoomBox), static_cast<QWidget*>(closeButton)})
            bar->addWidget(w);
        bar->addStretch();
        layout->addLayout(bar);
        scroll = new QScrollArea(window);
        scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        scroll->setBackgroundRole(QPalette::Dark);
        sheet = new QLabel;
        scroll->setWidget(sheet);
        layout->addWidget(scroll);
        QObject::connect(print, &QPushButton::clicked, window, [this] {
            if (owner->OnPrint)
                owner->OnPrint();
        });
        QObject::connect(first, &QPushButton::clicked, window, [this] { owner->SetCurrentPage(0); });
        QObject::connect(previous, &QPushButton::clicked, window, [this] { owner->PreviousPage(); });
        QObject::connect(next, &QPushButton::clicked, window, [this] { owner->NextPage(); });
        QObject::connect(last, &QPushButton::clicked, window, [this] { owner->SetCurrentPage(pages - 1); });
        QObject::connect(closeButton, &QPushButton::clicked, window, [this] { owner->Close(); });
        QObject::connect(zoomBox, &QComboBox::activated, window,
                         [this](int index) { owner->SetZoom(zoomBox->itemData(index).toInt()); });
        window->OnKey = [this](int key) {
            switch (key) {
            case Qt::Key_PageDown:
                owner->NextPage();
                break;
            case Qt::Key_PageUp:
                owner->PreviousPage();
                break;
            case Qt::Key_Home:
                owner->SetCurrentPage(0);
                break;
            case Qt::Key_End:
                owner->SetCurrentPage(pages - 1);
                break;
            default:
                break;
            }
        };
        window->OnResize = [this] {
            // Fitting follows the window's width.
            if (zoom == 0 && scroll && scroll->viewport()->width() != shownWidth) {
                shownWidth = scroll->viewport()->width();
                Refresh();
            }
        };
    }
};

PrintPreview::PrintPreview() : d(std::make_unique<Impl>())
{
    d->owner = this;
    d->Build();
}

PrintPreview::~PrintPreview()
{
    delete d->window.data();
}

void PrintPreview::SetTitle(const std::string& title)
{
    if (d->window)
        d->window->setWindowTitle(QString::fromUtf8(title));
}

void PrintPreview::SetPages(int count, double sheetWidthInches)
{
    d->pages = std::max(1, count);
    d->sheetWidth = std::isfinite(sheetWidthInches) && sheetWidthInches > 0.1 ? sheetWidthInches : 8.27;
    d->current = std::clamp(d->current, 0, d->pages - 1);
    if (Visible())
        d->Refresh();
}

int PrintPreview::PageCount() const
{
    return d->pages;
}

void PrintPreview::Show()
{
    if (!d->window)
        return;
    d->window->show();
    d->window->raise();
    d->shownWidth = d->scroll->viewport()->width();
    d->Refresh();
}

void PrintPreview::Close()
{
    if (d->window)
        d->window->hide();
}

bool PrintPreview::Visible() const
{
    return d->window && d->window->isVisible();
}

int PrintPreview::CurrentPage() const
{
    return d->current;
}

void PrintPreview::SetCurrentPage(int index)
{
    index = std::clamp(index, 0, d->pages - 1);
    if (index == d->current && !d->shown.Empty())
        return;
    d->current = index;
    d->Refresh();
}

void PrintPreview::NextPage()
{
    SetCurrentPage(d->current + 1);
}

void PrintPreview::PreviousPage()
{
    SetCurrentPage(d->current - 1);
}

int PrintPreview::Zoom() const
{
    return d->zoom;
}

void PrintPreview::SetZoom(int percent)
{
    d->zoom = percent <= 0 ? 0 : std::clamp(percent, 10, 400);
    if (d->zoomBox) {
        const int index = d->zoomBox->findData(d->zoom);
        if (index >= 0)
            d->zoomBox->setCurrentIndex(index);
    }
    d->Refresh();
}

const Bitmap& PrintPreview::ShownSheet() const
{
    return d->shown;
}

int PrintPreview::ShownPixelsPerInch() const
{
    return d->shownPpi;
}

Bitmap PrintPreview::Snapshot() const
{
    if (!d->window)
        return Bitmap();
    return BitmapFromQImage(d->window->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

} // namespace platform
