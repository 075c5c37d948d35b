#pragma once
// The question dialog of the info window: "Закрыть программу?" with Yes and No image buttons, shown
// modally and centred over the window.

#include "app/imgbtn.h"
#include "platform/form.h"
#include "platform/image_control.h"

class TInfoForm;

class TInfoCloseForm : public platform::Form {
public:
    // owner: the info window, over which the dialog is centred and which Yes closes.
    explicit TInfoCloseForm(TInfoForm* owner);
    ~TInfoCloseForm() override;

    TInfoForm* InfoForm = nullptr;

    platform::Image* Back = nullptr;
    TImgBtn* BtnYes = nullptr;
    TImgBtn* BtnNo = nullptr;

    // Yes closes the info window (which ends the program); No closes the dialog.
    void BtnYesClick(platform::Control* Sender);
};
