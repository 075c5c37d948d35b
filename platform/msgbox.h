#pragma once
// Message boxes: text, caption and a button set in, the pressed button out. Every box goes through one
// replaceable service, so tests answer boxes instead of blocking on them. The layout error box and the
// default error report use the same service.

#include <memory>
#include <string>

namespace platform {

// Button sets and icons (combinable as on Windows).
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_YESNOCANCEL = 0x3;
constexpr int MB_YESNO = 0x4;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONWARNING = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;

// Results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest
{
    std::u16string Text;
    std::u16string Caption;
    int Flags = MB_OK;
};

class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    virtual int Show(const MessageBoxRequest& request) = 0;
};

MessageBoxService& MessageBoxes();
// Replaces the service; nullptr restores the default: a modal box, or on a headless (offscreen) run a line
// on standard error answered with the safe button (OK, No or Cancel). Returns the previous custom service.
std::unique_ptr<MessageBoxService> SetMessageBoxService(std::unique_ptr<MessageBoxService> service);

int MessageBox(const std::u16string& text, const std::u16string& caption, int flags = MB_OK);
// 8-bit text: UTF-8 when it is valid UTF-8, else system-code-page text.
int MessageBox(const std::string& text, const std::string& caption, int flags = MB_OK);

// The layout's error box: one OK button, modal.
void LayoutErrorBox(const std::string& message);

// 8-bit program text to UTF-16 as message boxes and captions take it (UTF-8 if valid, else code page).
std::u16string DisplayText(const std::string& text);

} // namespace platform
