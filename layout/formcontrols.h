#pragma once
// The kinds of form controls: single-line edits (text, password, the edit of a file input), push buttons
// (submit, reset, plain, the browse button of a file input), image submit buttons, hidden fields, check
// boxes, radio buttons, list boxes, drop-down lists and text areas.

#include <memory>
#include <string>
#include <vector>

#include "core/symbols.h"
#include "layout/formcontrolobj.h"
#include "layout/forms.h"

namespace platform {
class Edit;
class Memo;
class Button;
class CheckBox;
class RadioButton;
class ListBox;
class ComboBox;
}  // namespace platform

class TCellBasic;
class TProperties;

// Bounds on what a page can ask of a control.
constexpr int MaxControlChars = 1000;         // SIZE and COLS
constexpr int MaxTextAreaRows = 1000;         // ROWS
constexpr int MaxControlPixels = 100000;      // CSS widths and heights

class TEditFormControlObj : public TFormControlObj {
public:
    // typeText: the INPUT TYPE in lower case ("text", "password", "file" or any other).
    TEditFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes,
                        const std::string& typeText);
    platform::Edit* TheEdit() const { return FEdit; }
    std::string Text() const;
    void SetText(const std::string& text);

    void DoOnChange() override;
    void SaveContents() override;
    void ProcessProperties(TProperties& props) override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;
    void SetHeightWidth(platform::Canvas* canvas) override;

    int SizeChars = 15;
    int MaxLength = 0;
    bool Password = false;

private:
    platform::Edit* FEdit = nullptr;
    std::string FSaved;
};

enum TButtonKind { bkSubmit, bkReset, bkButton, bkBrowse };

class TButtonFormControlObj : public TFormControlObj {
public:
    TButtonFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes,
                          TButtonKind kind);
    TButtonKind Kind;
    TEditFormControlObj* MyEdit = nullptr;  // a browse button's file edit

    void ProcessProperties(TProperties& props) override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void SetHeightWidth(platform::Canvas* canvas) override;
    void Clicked() override;

private:
    platform::Button* FButton = nullptr;
    std::u16string FCaption;
};

// An image submit button: a 1 x 1 button out of view takes the keyboard, a picture on the page the mouse.
class TImageFormControlObj : public TFormControlObj {
public:
    TImageFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    std::string Source;  // SRC
    bool XYValid = false;  // a click was recorded at (ClickX, ClickY)

    bool GetSubmission(int index, std::string& text) override;
    void Clicked() override;
    // The picture was clicked at (X, Y) inside it: submits the form with that point.
    void ImageClicked(int X, int Y);
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    bool HasWindow() const override { return false; }
};

class THiddenFormControlObj : public TFormControlObj {
public:
    THiddenFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    bool HasWindow() const override { return false; }
};

class TCheckBoxFormControlObj : public TFormControlObj {
public:
    TCheckBoxFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    bool Checked() const;
    void SetChecked(bool value);
    bool IsCheckBox() const override { return true; }

    void DoOnChange() override;
    void SaveContents() override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;

private:
    platform::CheckBox* FBox = nullptr;
    bool FInitChecked = false;
    bool FSaved = false;
};

class TRadioButtonFormControlObj : public TFormControlObj {
public:
    TRadioButtonFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    bool Checked() const;
    void SetChecked(bool value);
    bool IsRadio() const override { return true; }

    void DoOnChange() override;
    void SaveContents() override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;
    void Clicked() override;

private:
    platform::RadioButton* FRadio = nullptr;
    bool FInitChecked = false;
    bool FSaved = false;
};

// What list boxes and drop-down lists share: the options and the SELECT's reading.
class TSelectFormControlObj : public TFormControlObj {
public:
    TSelectFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    ThtOptionStringList Options;
    // Reading: one option with its text, its SELECTED flag and attributes (in the document's code page).
    void AddOption(const std::u16string& text, bool selected, std::vector<std::string> attributes);
    // All options are read: the control is filled.
    virtual void AddOptionsDone() = 0;

protected:
    // The width of the widest option text in the canvas's font (measured once per font).
    int WidestOption(platform::Canvas* canvas);

private:
    int FWidest = -1;
    std::string FWidestFont;
};

class TListBoxFormControlObj : public TSelectFormControlObj {
public:
    TListBoxFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    int SizeRows = 0;  // SIZE (0: not given)
    bool Multiple = false;
    platform::ListBox* TheList() const { return FList; }
    int Rows() const;

    void AddOptionsDone() override;
    void DoOnChange() override;
    void SaveContents() override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;
    void SetHeightWidth(platform::Canvas* canvas) override;

private:
    platform::ListBox* FList = nullptr;
    std::vector<bool> FSaved;
};

class TComboFormControlObj : public TSelectFormControlObj {
public:
    TComboFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    platform::ComboBox* TheCombo() const { return FCombo; }

    void AddOptionsDone() override;
    void DoOnChange() override;
    void SaveContents() override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;
    void SetHeightWidth(platform::Canvas* canvas) override;

private:
    platform::ComboBox* FCombo = nullptr;
    int FSaved = -1;
};

enum TWrapMode { wmSoft, wmOff, wmHard };

class TTextAreaFormControlObj : public TFormControlObj {
public:
    TTextAreaFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes);
    int Rows = 5;
    int Cols = 30;
    TWrapMode Wrap = wmSoft;
    platform::Memo* TheMemo() const { return FMemo; }
    std::string Text() const;

    // Reading: the element's text, kept as written, and the end of it.
    void AddLine(const std::u16string& text);
    void ResetDone();

    void DoOnChange() override;
    void SaveContents() override;
    void ProcessProperties(TProperties& props) override;
    void DrawForPrint(platform::Canvas* canvas, int X, int Y) override;
    void ResetToValue() override;
    bool GetSubmission(int index, std::string& text) override;
    void SetData(int index, const std::string& value) override;
    void SetDataInit() override;
    void SetHeightWidth(platform::Canvas* canvas) override;

private:
    platform::Memo* FMemo = nullptr;
    std::u16string FTheText;  // the element's text, for reset
    std::u16string FSaved;
};

// Makes the control of an INPUT (with its TYPE), SELECT or TEXTAREA for a form, owned by the form. A file
// input answers its edit and adds the browse button as second. form must not be none.
std::vector<TFormControlObj*> MakeFormControls(TSectionList* root, ThtmlForm* form, Symbol kind,
                                               const TAttributeList* attributes);
