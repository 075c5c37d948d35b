// Forms: their controls, radio groups, submission, reset, the history snapshot, and the document-wide
// walks over every form's controls.

#include "layout/forms.h"

#include <algorithm>

#include "core/attributes.h"
#include "layout/formcontrols.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/control.h"

// ---------------------------------------------------------------------------------------------------------
// Options

void ThtOptionStringList::Add(std::u16string text, std::unique_ptr<TOptionObj> option)
{
    FTexts.push_back(std::move(text));
    FOptions.push_back(std::move(option));
}

const std::u16string& ThtOptionStringList::Text(int index) const
{
    static const std::u16string empty;
    return index >= 0 && index < Count() ? FTexts[std::size_t(index)] : empty;
}

std::string ThtOptionStringList::Value(int index) const
{
    return index >= 0 && index < Count() ? FOptions[std::size_t(index)]->Value : std::string();
}

bool ThtOptionStringList::Selected(int index) const
{
    return index >= 0 && index < Count() && FOptions[std::size_t(index)]->Selected;
}

void ThtOptionStringList::Clear()
{
    FTexts.clear();
    FOptions.clear();
}

// ---------------------------------------------------------------------------------------------------------
// ThtmlForm

ThtmlForm* ThtmlForm::Create(TSectionList* root, const TAttributeList* attributes)
{
    if (!root)
        return nullptr;
    auto form = std::make_unique<ThtmlForm>(root, attributes);
    if (root->Forms.Empty()) {
        // The root sizes the controls before formatting and moves undrawn ones out of view.
        root->OnSizeFormControls = [root](platform::Canvas* canvas) { SetFormSizes(*root, canvas); };
        root->OnHideUnshownControls = [root] { HideUnshownControls(*root); };
        root->OnMarkControlsUnshown = [root] { MarkControlsUnshown(*root); };
    }
    return root->Forms.Add(std::move(form));
}

ThtmlForm::ThtmlForm(TSectionList* root, const TAttributeList* attributes) : MasterList(root)
{
    if (!attributes)
        return;
    for (const auto& a : *attributes) {
        switch (a->Sym) {
        case MethodSy: Method = a->StrValue.substr(0, 4); break;
        case ActionSy: Action = a->StrValue; break;
        case TargetSy: Target = a->StrValue; break;
        case EncTypeSy: EncType = a->StrValue; break;
        default: break;
        }
    }
}

ThtmlForm::~ThtmlForm() = default;

void ThtmlForm::AddControl(std::unique_ptr<TFormControlObj> control)
{
    if (!dynamic_cast<THiddenFormControlObj*>(control.get()))
        ++NonHiddenCount;
    TFormControlObj* c = FControlList.Add(std::move(control));
    if (MasterList)
        MasterList->FormControls.push_back(c);
}

std::vector<TRadioButtonFormControlObj*> ThtmlForm::RadioGroup(const std::string& name) const
{
    std::vector<TRadioButtonFormControlObj*> group;
    for (const auto& c : FControlList)
        if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(c.get()))
            if (platform::SameTextAscii(radio->Name, name))
                group.push_back(radio);
    return group;
}

void ThtmlForm::RadioClicked(TRadioButtonFormControlObj* radio)
{
    for (TRadioButtonFormControlObj* other : RadioGroup(radio->Name)) {
        if (other == radio)
            continue;
        other->SetChecked(false);
        if (platform::Control* c = other->GetControl())
            c->SetTabStop(false);
        if (!other->OnChangeScript.empty())
            other->DoOnChange();
    }
    if (platform::Control* c = radio->GetControl())
        c->SetTabStop(true);
}

void ThtmlForm::ControlKeyDown(TFormControlObj* control, int& key, platform::TShiftState shift)
{
    if (auto* radio = dynamic_cast<TRadioButtonFormControlObj*>(control);
        radio && (key == platform::VK_LEFT || key == platform::VK_UP || key == platform::VK_RIGHT ||
                  key == platform::VK_DOWN)) {
        const std::vector<TRadioButtonFormControlObj*> group = RadioGroup(radio->Name);
        const auto it = std::find(group.begin(), group.end(), radio);
        const bool back = key == platform::VK_LEFT || key == platform::VK_UP;
        key = 0;
        if (it == group.end())
            return;
        TRadioButtonFormControlObj* next = nullptr;
        if (back && it != group.begin())
            next = *(it - 1);
        else if (!back && it + 1 != group.end())
            next = *(it + 1);
        if (next && next->GetControl() && !next->Disabled) {
            next->GetControl()->SetFocus();
            next->SetChecked(true);
            next->Clicked();
        }
        return;
    }
    if (MasterList && MasterList->FormEvents.OnControlKeyDown)
        MasterList->FormEvents.OnControlKeyDown(control, key, shift);
}

void ThtmlForm::EditKeyPress(TFormControlObj* control, char16_t& key)
{
    if (key != u'\r' || !dynamic_cast<TEditFormControlObj*>(control))
        return;
    key = 0;
    SubmitForm(std::string());
}

void ThtmlForm::ResetControls()
{
    for (const auto& c : FControlList)
        c->ResetToValue();
}

void ThtmlForm::SubmitForm(const std::string& extra)
{
    if (!MasterList || !MasterList->FormEvents.OnFormSubmit)
        return;
    std::vector<std::string> results;
    for (const auto& c : FControlList) {
        if (c->Disabled)
            continue;
        std::string text;
        for (int index = 0; c->GetSubmission(index, text); ++index)
            if (!text.empty())
                results.push_back(std::move(text));
    }
    if (!extra.empty())
        results.push_back(extra);
    MasterList->FormEvents.OnFormSubmit(Action, Target, EncType, Method, results);
}

std::vector<std::string> ThtmlForm::GetFormData() const
{
    std::vector<std::string> data;
    for (const auto& c : FControlList) {
        // An image input's click is not part of what the page holds.
        if (dynamic_cast<TImageFormControlObj*>(c.get()))
            continue;
        std::string text;
        for (int index = 0; c->GetSubmission(index, text); ++index)
            data.push_back(std::move(text));
    }
    return data;
}

void ThtmlForm::SetFormData(const std::vector<std::string>& data)
{
    for (const auto& c : FControlList) {
        c->SetDataInit();
        int k = 0;
        for (const std::string& line : data) {
            const std::size_t eq = line.find('=');
            if (eq == std::string::npos || !platform::SameTextAscii(line.substr(0, eq), c->Name))
                continue;
            c->SetData(k++, line.substr(eq + 1));
        }
    }
}

void ThtmlForm::SetSizes(platform::Canvas* canvas)
{
    for (const auto& c : FControlList)
        c->SetHeightWidth(canvas);
}

// ---------------------------------------------------------------------------------------------------------
// The document's forms

std::unique_ptr<TFormData> TSectionList::GetFormData() const
{
    if (Forms.Empty())
        return nullptr;
    auto data = std::make_unique<TFormData>();
    for (const auto& form : Forms)
        data->push_back(form->GetFormData());
    return data;
}

void TSectionList::SetFormData(const TFormData& data)
{
    try {
        for (int i = 0; i < Forms.Count() && i < int(data.size()); ++i)
            Forms[i]->SetFormData(data[std::size_t(i)]);
    } catch (...) {
        // A form that cannot take its values back ends the restoring; the page stays as it is.
    }
}

void SetFormSizes(TSectionList& root, platform::Canvas* canvas)
{
    for (const auto& form : root.Forms)
        form->SetSizes(canvas);
}

void HideUnshownControls(TSectionList& root)
{
    if (root.IsCopy || root.FormControls.empty())
        return;
    // Only while the viewer and its parents are shown (a hidden viewer's layout says nothing of the view).
    if (root.PaintPanel && !root.PaintPanel->Showing())
        return;
    // A paint of part of the view reaches only some controls: one it did not reach keeps its place while
    // that place is still in the view.
    const int viewTop = root.YOffset;
    const int viewBottom = root.YOffset + (root.PaintPanel ? root.PaintPanel->Height() : 0);
    for (TFormControlObj* c : root.FormControls)
        if (!c->ShowIt && !c->PlacedWithin(viewTop, viewBottom))
            c->Park();
}

void MarkControlsUnshown(TSectionList& root)
{
    for (const auto& form : root.Forms)
        for (const auto& c : form->Controls())
            c->ShowIt = false;
}
