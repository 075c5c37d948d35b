#pragma once
// What the controls of a document's forms tell the viewer that shows it. The viewer sets these on the
// section list; each is optional.

#include <functional>
#include <string>
#include <vector>

#include "platform/control.h"

class TFormControlObj;

// The saved values of a document's forms: one list of "name=value" lines per form, in document order.
using TFormData = std::vector<std::vector<std::string>>;

struct TFormEvents {
    // The host's script events: the control and its ONCLICK, ONFOCUS, ONBLUR or ONCHANGE text.
    std::function<void(TFormControlObj* control, const std::string& script)> OnObjectClick;
    std::function<void(TFormControlObj* control, const std::string& script)> OnObjectFocus;
    std::function<void(TFormControlObj* control, const std::string& script)> OnObjectBlur;
    std::function<void(TFormControlObj* control, const std::string& script)> OnObjectChange;
    // The browse button of a file input: the host may give a file name for the edit.
    std::function<void(TFormControlObj* edit, std::string& fileName)> OnFileBrowse;
    // A form was submitted (the viewer raises its event after the click has finished).
    std::function<void(const std::string& action, const std::string& target, const std::string& encType,
                       const std::string& method, const std::vector<std::string>& results)>
        OnFormSubmit;
    // A control got the keyboard focus (the viewer scrolls it into view).
    std::function<void(TFormControlObj* control)> OnControlEnter;
    // A key the control does not use for itself goes to the viewer's key handling.
    std::function<void(TFormControlObj* control, int& key, platform::TShiftState shift)> OnControlKeyDown;
    // The mouse moved over a control.
    std::function<void(TFormControlObj* control, platform::TShiftState shift, int X, int Y)> OnControlMouseMove;
};
