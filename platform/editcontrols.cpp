#include "platform/editcontrols.h"

#include <QAbstractTextDocumentLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <limits>

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

// Qt's own limit for a line edit's length.
constexpr int QtMaxLength = 32767;

} // namespace

// ---------------------------------------------------------------------------------------------------
// Edit

struct Edit::Data
{
    QLineEdit* edit = nullptr;
    int maxLength = 0;
    char16_t passwordChar = 0;
};

Edit::Edit(Control* parent)
    : StdControl(parent, new QLineEdit(parent ? WidgetOf(parent) : nullptr)), e(std::make_unique<Data>())
{
    e->edit = static_cast<QLineEdit*>(WidgetOf(this));
    // Long texts (a page may give a value of any length) are kept whole: no length limit by default.
    e->edit->setMaxLength(std::numeric_limits<int>::max());
    SetColor(clWindow);
    QObject::connect(e->edit, &QLineEdit::textChanged, e->edit, [this](const QString&) {
        DispatchScope scope;
        CallGuarded([&] {
            if (OnChange)
                OnChange(this);
        });
    });
    SetBounds(0, 0, 121, 21);
}

Edit::~Edit()
{
    if (e->edit)
        QObject::disconnect(e->edit, nullptr, e->edit, nullptr);
}

std::u16string Edit::Text() const
{
    return FromQString(e->edit->text());
}

void Edit::SetText(const std::u16string& text)
{
    e->edit->setText(ToQString(text));
    e->edit->setCursorPosition(0);
}

int Edit::MaxLength() const
{
    return e->maxLength;
}

void Edit::SetMaxLength(int value)
{
    e->maxLength = std::max(0, value);
    e->edit->setMaxLength(e->maxLength > 0 ? e->maxLength : std::numeric_limits<int>::max());
}

char16_t Edit::PasswordChar() const
{
    return e->passwordChar;
}

void Edit::SetPasswordChar(char16_t value)
{
    e->passwordChar = value;
    e->edit->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal);
    // The mask character is the program's, not the style's.
    e->edit->setStyleSheet(value ? QStringLiteral("QLineEdit { lineedit-password-character: %1 }").arg(int(value))
                                 : QString());
}

bool Edit::ReadOnly() const
{
    return e->edit->isReadOnly();
}

void Edit::SetReadOnly(bool value)
{
    e->edit->setReadOnly(value);
}

int Edit::SelStart() const
{
    return e->edit->cursorPosition();
}

void Edit::SetSelStart(int value)
{
    e->edit->setCursorPosition(value);
}

void Edit::SelectAll()
{
    e->edit->selectAll();
}

// ---------------------------------------------------------------------------------------------------
// Memo

struct Memo::Data
{
    QPlainTextEdit* edit = nullptr;
    TMemoScrollBars bars = msVertical;
};

Memo::Memo(Control* parent)
    : StdControl(parent, new QPlainTextEdit(parent ? WidgetOf(parent) : nullptr)), m(std::make_unique<Data>())
{
    m->edit = static_cast<QPlainTextEdit*>(WidgetOf(this));
    m->edit->setTabChangesFocus(true);
    m->edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetColor(clWindow);
    SetScrollBars(msVertical);
    QObject::connect(m->edit, &QPlainTextEdit::textChanged, m->edit, [this] {
        DispatchScope scope;
        CallGuarded([&] {
            if (OnChange)
                OnChange(this);
        });
    });
    SetBounds(0, 0, 185, 89);
}

Memo::~Memo()
{
    if (m->edit)
        QObject::disconnect(m->edit, nullptr, m->edit, nullptr);
}

std::u16string Memo::Text() const
{
    // The document separates lines with U+2029 inside; toPlainText gives LF, which become CR LF here.
    const QString plain = m->edit->toPlainText();
    std::u16string out;
    out.reserve(std::size_t(plain.size()) + std::size_t(plain.count(QChar(u'\n'))));
    for (QChar c : plain) {
        if (c == u'\n')
            out += u'\r';
        out += char16_t(c.unicode());
    }
    return out;
}

void Memo::SetText(const std::u16string& text)
{
    // CR LF, a lone CR and a lone LF each end a line.
    QString q;
    q.reserve(qsizetype(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            q += QChar(u'\n');
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            q += QChar(c);
        }
    }
    m->edit->setPlainText(q);
}

void Memo::AddLine(const std::u16string& line)
{
    m->edit->appendPlainText(ToQString(line));
}

bool Memo::WordWrap() const
{
    return m->edit->lineWrapMode() != QPlainTextEdit::NoWrap;
}

void Memo::SetWordWrap(bool value)
{
    m->edit->setLineWrapMode(value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

TMemoScrollBars Memo::ScrollBars() const
{
    return m->bars;
}

void Memo::SetScrollBars(TMemoScrollBars value)
{
    m->bars = value;
    const bool h = value == msHorizontal || value == msBoth;
    const bool v = value == msVertical || value == msBoth;
    m->edit->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m->edit->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

bool Memo::ReadOnly() const
{
    return m->edit->isReadOnly();
}

void Memo::SetReadOnly(bool value)
{
    m->edit->setReadOnly(value);
}

void Memo::CaretToStart()
{
    QTextCursor cursor = m->edit->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m->edit->setTextCursor(cursor);
    m->edit->verticalScrollBar()->setValue(0);
    m->edit->horizontalScrollBar()->setValue(0);
}

std::vector<std::u16string> Memo::DisplayedLines() const
{
    std::vector<std::u16string> lines;
    // The layout of lines is made when the control has its size: make sure it is current.
    m->edit->document()->documentLayout();
    m->edit->ensurePolished();
    for (QTextBlock block = m->edit->document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) {
            lines.push_back(FromQString(text));
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.push_back(FromQString(text.mid(line.textStart(), line.textLength())));
        }
    }
    return lines;
}

} // namespace platform
