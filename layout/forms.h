#pragma once
// HTML forms: ThtmlForm groups the controls of one FORM element, keeps radio groups, and builds the data of
// a submission and of a history snapshot. The options of a SELECT are kept in a ThtOptionStringList.

#include <memory>
#include <string>
#include <vector>

#include "core/freelist.h"
#include "layout/formevents.h"

namespace platform {
class Canvas;
}

class TSectionList;
class TAttributeList;
class TFormControlObj;
class TRadioButtonFormControlObj;

// One OPTION of a SELECT.
class TOptionObj {
public:
    std::string Value;  // the VALUE attribute, or the option's text when there is none
    bool Selected = false;
    std::vector<std::string> Attributes;
};

// The option texts of a SELECT, each with its option.
class ThtOptionStringList {
public:
    void Add(std::u16string text, std::unique_ptr<TOptionObj> option);
    int Count() const { return int(FTexts.size()); }
    const std::u16string& Text(int index) const;
    const std::vector<std::u16string>& Texts() const { return FTexts; }
    // Out of range: empty, false.
    std::string Value(int index) const;
    bool Selected(int index) const;
    void Clear();

private:
    std::vector<std::u16string> FTexts;
    std::vector<std::unique_ptr<TOptionObj>> FOptions;
};

class ThtmlForm {
public:
    // Takes METHOD (first 4 characters), ACTION, TARGET and ENCTYPE; attributes may be none. The form is
    // added to the root's forms, which own it; none without a root.
    static ThtmlForm* Create(TSectionList* root, const TAttributeList* attributes);
    ThtmlForm(TSectionList* root, const TAttributeList* attributes);
    ~ThtmlForm();
    ThtmlForm(const ThtmlForm&) = delete;
    ThtmlForm& operator=(const ThtmlForm&) = delete;

    TSectionList* MasterList;  // not owned
    std::string Method = "Get";
    std::string Action;
    std::string Target;
    std::string EncType;
    int NonHiddenCount = 0;

    void AddControl(std::unique_ptr<TFormControlObj> control);
    // The controls in creation order.
    const TFreeList<TFormControlObj>& Controls() const { return FControlList; }

    // A radio button was clicked: the others of its group are unchecked.
    void RadioClicked(TRadioButtonFormControlObj* radio);
    // Arrow keys move between the radio buttons of a group; other keys go to the viewer.
    void ControlKeyDown(TFormControlObj* control, int& key, platform::TShiftState shift);
    // Enter in a single-line edit submits the form (and is consumed).
    void EditKeyPress(TFormControlObj* control, char16_t& key);
    void ResetControls();
    // Collects the entries of every enabled control, then extra when given, and hands them to the viewer.
    void SubmitForm(const std::string& extra);
    // The submission entries of every control, disabled ones too.
    std::vector<std::string> GetFormData() const;
    void SetFormData(const std::vector<std::string>& data);
    void SetSizes(platform::Canvas* canvas);

    // The radio buttons of this form with the name (letter case ignored), in creation order.
    std::vector<TRadioButtonFormControlObj*> RadioGroup(const std::string& name) const;

private:
    TFreeList<TFormControlObj> FControlList;
};

// Sizes every form's controls (run before each formatting pass); hides windows of controls a paint did
// not reach; forgets which controls were drawn.
void SetFormSizes(TSectionList& root, platform::Canvas* canvas);
void HideUnshownControls(TSectionList& root);
void MarkControlsUnshown(TSectionList& root);
