// The viewer and the forms of its document: the controls' events passed to the host, keys and focus of
// controls, and the values of the controls kept with the history.

#include "layout/formcontrolobj.h"
#include "layout/sectionlist.h"
#include "viewer/htmlviewer.h"

using namespace platform;

void THTMLViewer::WireFormEvents()
{
    TFormEvents& events = FSectionList->FormEvents;
    // Each reads the viewer's event when raised, so the host may set or clear its events at any time.
    events.OnObjectClick = [this](TFormControlObj* control, const std::string& script) {
        if (OnObjectClick)
            OnObjectClick(this, control, script);
    };
    events.OnObjectFocus = [this](TFormControlObj* control, const std::string& script) {
        if (OnObjectFocus)
            OnObjectFocus(this, control, script);
    };
    events.OnObjectBlur = [this](TFormControlObj* control, const std::string& script) {
        if (OnObjectBlur)
            OnObjectBlur(this, control, script);
    };
    events.OnObjectChange = [this](TFormControlObj* control, const std::string& script) {
        if (OnObjectChange)
            OnObjectChange(this, control, script);
    };
    events.OnFileBrowse = [this](TFormControlObj* control, std::string& fileName) {
        if (OnFileBrowse)
            OnFileBrowse(this, control, fileName);
    };
    events.OnFormSubmit = [this](const std::string& action, const std::string& target, const std::string& encType,
                                 const std::string& method, const std::vector<std::string>& results) {
        SubmitForm(action, target, encType, method, results);
    };
    events.OnControlEnter = [this](TFormControlObj* control) { ScrollControlIntoView(control->YValue); };
    events.OnControlKeyDown = [this](TFormControlObj*, int& key, TShiftState shift) { KeyDown(key, shift); };
    events.OnControlMouseMove = [this](TFormControlObj* control, TShiftState, int, int) {
        ControlMouseMove(control);
    };
}

void THTMLViewer::ControlMouseMove(TFormControlObj*)
{
    // Over a control no link is covered any more.
    FSectionList->ClearHover();
    FTitleAttr.clear();
    if (!FHoverUrl.empty() || !FHoverTarget.empty()) {
        FHoverUrl.clear();
        FHoverTarget.clear();
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, FHoverUrl);
    }
}

std::unique_ptr<TFormData> THTMLViewer::FormData() const
{
    return FSectionList->GetFormData();
}

void THTMLViewer::SetFormData(const TFormData& data)
{
    FSectionList->SetFormData(data);
}
