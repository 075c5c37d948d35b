#include "platform/label.h"

#include <QPainter>

#include "platform/qt/graphics_private.h"
#include "platform/qt/widget_control.h"

namespace platform {

Label::Label(Control* parent) : Control(parent)
{
    if (parent)
        SetColor(parent->Color());
    Impl& d = Internal();
    d.directPaint = [this](QPainter& painter, const QRect& area) {
        if (!transparent_ && Color() != clNone)
            painter.fillRect(area, QtColor(Color()));
        if (caption_.empty())
            return;
        // The realised font leaves underline and strike-out to the canvas; a label draws them through Qt.
        QFont qfont = QFontOf(platform::Font(Font()));
        qfont.setUnderline(Font().Underline);
        qfont.setStrikeOut(Font().StrikeOut);
        painter.setFont(qfont);
        painter.setPen(QtColor(FontColor()));
        int flags = Qt::AlignTop | Qt::TextExpandTabs;
        flags |= alignment_ == taCenter         ? Qt::AlignHCenter
                 : alignment_ == taRightJustify ? Qt::AlignRight
                                                : Qt::AlignLeft;
        QString text = QString::fromStdU16String(caption_);
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        painter.drawText(QRect(0, 0, Width(), Height()), flags, text);
    };
}

const std::u16string& Label::Caption() const
{
    return caption_;
}

void Label::SetCaption(const std::u16string& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    Invalidate();
}

TAlignment Label::Alignment() const
{
    return alignment_;
}

void Label::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Invalidate();
}

bool Label::Transparent() const
{
    return transparent_;
}

void Label::SetTransparent(bool value)
{
    transparent_ = value;
    Internal().opaque = !value;
    Internal().widget->setAttribute(Qt::WA_OpaquePaintEvent, !value);
    Invalidate();
}

bool Label::CanFocus() const
{
    return false;
}

} // namespace platform
