#include "platform/listcontrols.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "platform/errors.h"
#include "platform/qt/widget_control.h"

namespace platform {

namespace {

QString ToQString(const std::u16string& s)
{
    return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size()));
}

std::u16string FromQString(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

QStringList ToQStringList(const std::vector<std::u16string>& texts)
{
    QStringList list;
    list.reserve(qsizetype(texts.size()));
    for (const auto& t : texts)
        list.append(ToQString(t));
    return list;
}

// Rows exactly one line of text high, as list boxes are measured (text height x rows).
class LineRowDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(option.fontMetrics.height());
        return s;
    }
};

} // namespace

// ---------------------------------------------------------------------------------------------------
// ListBox

struct ListBox::Data
{
    QListWidget* list = nullptr;
};

ListBox::ListBox(Control* parent)
    : StdControl(parent, new QListWidget(parent ? WidgetOf(parent) : nullptr)), l(std::make_unique<Data>())
{
    l->list = static_cast<QListWidget*>(WidgetOf(this));
    l->list->setUniformItemSizes(true);
    l->list->setItemDelegate(new LineRowDelegate(l->list)); // a child of the list
    l->list->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->list->setLineWidth(1);
    l->list->setSelectionMode(QAbstractItemView::SingleSelection);
    l->list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

ListBox::~ListBox() = default;

void ListBox::Clear()
{
    l->list->clear();
}

void ListBox::AddItem(const std::u16string& text)
{
    l->list->addItem(ToQString(text));
}

void ListBox::AddItems(const std::vector<std::u16string>& texts)
{
    l->list->addItems(ToQStringList(texts));
}

int ListBox::Count() const
{
    return l->list->count();
}

std::u16string ListBox::Item(int index) const
{
    QListWidgetItem* item = l->list->item(index);
    return item ? FromQString(item->text()) : std::u16string();
}

bool ListBox::MultiSelect() const
{
    return l->list->selectionMode() == QAbstractItemView::MultiSelection;
}

void ListBox::SetMultiSelect(bool value)
{
    l->list->setSelectionMode(value ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
}

bool ListBox::Selected(int index) const
{
    QListWidgetItem* item = l->list->item(index);
    return item && item->isSelected();
}

void ListBox::SetSelected(int index, bool value)
{
    QListWidgetItem* item = l->list->item(index);
    if (!item)
        return;
    QSignalBlocker block(l->list);
    if (!MultiSelect() && value)
        l->list->clearSelection();
    item->setSelected(value);
}

int ListBox::ItemIndex() const
{
    return l->list->currentRow();
}

void ListBox::SetItemIndex(int index)
{
    QSignalBlocker block(l->list);
    if (index < 0 || index >= Count()) {
        l->list->setCurrentRow(-1);
        l->list->clearSelection();
        return;
    }
    l->list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

int ListBox::TopIndex() const
{
    QListWidgetItem* item = l->list->itemAt(2, 2);
    return item ? l->list->row(item) : 0;
}

void ListBox::SetTopIndex(int index)
{
    if (QListWidgetItem* item = l->list->item(index))
        l->list->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

int ListBox::ItemHeight() const
{
    if (l->list->count() > 0) {
        const int h = l->list->sizeHintForRow(0);
        if (h > 0)
            return h;
    }
    return l->list->fontMetrics().height();
}

// ---------------------------------------------------------------------------------------------------
// ComboBox

struct ComboBox::Data
{
    QComboBox* combo = nullptr;
};

ComboBox::ComboBox(Control* parent)
    : StdControl(parent, new QComboBox(parent ? WidgetOf(parent) : nullptr)), c(std::make_unique<Data>())
{
    c->combo = static_cast<QComboBox*>(WidgetOf(this));
    c->combo->setEditable(false);
    c->combo->setMaxVisibleItems(8);
    SetColor(clWindow);
    QObject::connect(c->combo, &QComboBox::activated, c->combo, [this](int) {
        DispatchScope scope;
        CallGuarded([&] {
            if (OnChange)
                OnChange(this);
        });
    });
    SetBounds(0, 0, 145, NaturalHeight());
}

ComboBox::~ComboBox()
{
    if (c->combo)
        QObject::disconnect(c->combo, nullptr, c->combo, nullptr);
}

void ComboBox::Clear()
{
    QSignalBlocker block(c->combo);
    c->combo->clear();
}

void ComboBox::AddItem(const std::u16string& text)
{
    QSignalBlocker block(c->combo);
    c->combo->addItem(ToQString(text));
}

void ComboBox::AddItems(const std::vector<std::u16string>& texts)
{
    QSignalBlocker block(c->combo);
    c->combo->addItems(ToQStringList(texts));
}

int ComboBox::Count() const
{
    return c->combo->count();
}

std::u16string ComboBox::Item(int index) const
{
    return index >= 0 && index < Count() ? FromQString(c->combo->itemText(index)) : std::u16string();
}

int ComboBox::ItemIndex() const
{
    return c->combo->currentIndex();
}

void ComboBox::SetItemIndex(int index)
{
    QSignalBlocker block(c->combo);
    c->combo->setCurrentIndex(index >= 0 && index < Count() ? index : -1);
}

std::u16string ComboBox::Text() const
{
    return FromQString(c->combo->currentText());
}

int ComboBox::NaturalHeight() const
{
    return c->combo->sizeHint().height();
}

} // namespace platform
