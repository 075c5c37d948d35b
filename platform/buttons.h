#pragma once
// Buttons: the push button with a caption, the check box and the radio button. Radio buttons are not
// grouped by the platform: whoever shows them unchecks the others of a group. Click is raised when the
// button is activated, by the mouse or by the keyboard, after a check box or radio button changed.

#include <string>

#include "platform/stdcontrol.h"

namespace platform {

class Button : public StdControl
{
public:
    explicit Button(Control* parent);
    ~Button() override;
    std::u16string Caption() const;
    void SetCaption(const std::u16string& caption);

private:
    struct Data;
    std::unique_ptr<Data> b;
};

class CheckBox : public StdControl
{
public:
    explicit CheckBox(Control* parent);
    ~CheckBox() override;
    bool Checked() const;
    // Does not raise Click.
    void SetChecked(bool value);

private:
    struct Data;
    std::unique_ptr<Data> b;
};

class RadioButton : public StdControl
{
public:
    explicit RadioButton(Control* parent);
    ~RadioButton() override;
    bool Checked() const;
    // Does not raise Click and leaves other radio buttons alone.
    void SetChecked(bool value);

private:
    struct Data;
    std::unique_ptr<Data> b;
};

} // namespace platform
