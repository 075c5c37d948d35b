#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

void SetClipboardText(const std::u16string& text)
{
    if (auto* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdU16String(text));
}

std::u16string GetClipboardText()
{
    if (auto* clipboard = QGuiApplication::clipboard())
        return clipboard->text().toStdU16String();
    return {};
}

} // namespace platform
