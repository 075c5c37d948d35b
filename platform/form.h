#pragma once
// Top-level windows. A form starts hidden; it is placed by its Position when first shown. Closing the
// application's main form ends the message loop. ShowModal runs through the modal service, so tests can
// answer a modal form instead of blocking on it.

#include <memory>
#include <string>

#include "platform/control.h"

namespace platform {

enum TPosition
{
    poDesigned,
    poScreenCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction
{
    caNone,
    caHide,
    caFree,
    caMinimize
};

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;

using TCloseEvent = std::function<void(Control* Sender, TCloseAction& Action)>;

class Form : public Control
{
public:
    // owner: the form this one is centred over (poOwnerFormCenter) and whose FindComponent sees it.
    explicit Form(Control* owner = nullptr);
    ~Form() override;

    const std::u16string& Caption() const;
    void SetCaption(const std::u16string& caption);
    // No border or title bar.
    bool Borderless() const;
    void SetBorderless(bool value);
    void SetClientSize(int width, int height);
    TPosition Position() const;
    void SetPosition(TPosition position);

    void SetVisible(bool value) override;
    bool CanFocus() const override;
    // As the close button: OnClose decides; a modal form ends its loop with mrCancel; the main form ends
    // the application.
    void Close();
    // Shows the form modally and returns its modal result.
    int ShowModal();
    bool Modal() const;
    int ModalResult() const;
    // A non-zero result ends the modal loop.
    void SetModalResult(int result);
    void Minimize();
    bool Minimized() const;

    // The focused control of this form, or the one chosen for it.
    Control* ActiveControl() const;
    void SetActiveControl(Control* control);

    // Raises OnCreate; anything it throws goes to the standard error report and the form stays.
    virtual void DoCreate();

    TNotifyEvent OnCreate;
    TCloseEvent OnClose;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    struct FormData;
    std::unique_ptr<FormData> f;
};

class ModalService
{
public:
    virtual ~ModalService() = default;
    // Runs form modally (shown) until its ModalResult is set, and returns it.
    virtual int RunModal(Form& form) = 0;
};

ModalService& ModalForms();
// Replaces the service; nullptr restores the default (a nested message loop).
std::unique_ptr<ModalService> SetModalService(std::unique_ptr<ModalService> service);

// Every form that exists, oldest first.
std::vector<Form*> AllForms();

} // namespace platform
