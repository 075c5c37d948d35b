#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

#include "platform/codepage.h"

namespace platform {

namespace {

bool IsValidUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        if (c < 0x80)
            extra = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            extra = 1;
        else if (c >= 0xE0 && c <= 0xEF)
            extra = 2;
        else if (c >= 0xF0 && c <= 0xF4)
            extra = 3;
        else
            return false;
        if (i + extra >= s.size() && extra > 0)
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

class DialogMessageBoxes final : public MessageBoxService
{
public:
    int Show(const MessageBoxRequest& request) override
    {
        if (!QApplication::instance())
            return IDCANCEL;
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            // Nobody can answer a box on a headless run: say what it showed and take the safe button.
            std::fprintf(stderr, "[message box] %s: %s\n",
                         QString::fromStdU16String(request.Caption).toUtf8().constData(),
                         QString::fromStdU16String(request.Text).toUtf8().constData());
            switch (request.Flags & 0xF) {
            case MB_OKCANCEL:
            case MB_YESNOCANCEL:
                return IDCANCEL;
            case MB_YESNO:
                return IDNO;
            default:
                return IDOK;
            }
        }
        QMessageBox box;
        box.setWindowTitle(QString::fromStdU16String(request.Caption));
        box.setText(QString::fromStdU16String(request.Text));
        switch (request.Flags & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        switch (request.Flags & 0xF) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNOCANCEL:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
        }
    }
};

std::unique_ptr<MessageBoxService>& CustomBoxes()
{
    static std::unique_ptr<MessageBoxService> service;
    return service;
}

} // namespace

std::u16string DisplayText(const std::string& text)
{
    return IsValidUtf8(text) ? Utf8ToWide(text) : MultiByteToWide(CP_ACP, text);
}

MessageBoxService& MessageBoxes()
{
    static DialogMessageBoxes standard;
    if (auto& custom = CustomBoxes())
        return *custom;
    return standard;
}

std::unique_ptr<MessageBoxService> SetMessageBoxService(std::unique_ptr<MessageBoxService> service)
{
    auto old = std::move(CustomBoxes());
    CustomBoxes() = std::move(service);
    return old;
}

int MessageBox(const std::u16string& text, const std::u16string& caption, int flags)
{
    return MessageBoxes().Show(MessageBoxRequest{text, caption, flags});
}

int MessageBox(const std::string& text, const std::string& caption, int flags)
{
    return MessageBox(DisplayText(text), DisplayText(caption), flags);
}

void LayoutErrorBox(const std::string& message)
{
    MessageBox(message, std::string("Error"), MB_OK | MB_ICONERROR);
}

} // namespace platform
