// The kinds of form controls: their windows, sizes, submission entries, reset, history data and printing.

#include "layout/formcontrols.h"

#include <algorithm>

#include "core/attributes.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/buttons.h"
#include "platform/canvas.h"
#include "platform/editcontrols.h"
#include "platform/listcontrols.h"
#include "platform/panel.h"
#include "platform/sysvalues.h"
#include "style/conversions.h"
#include "style/properties.h"

namespace {

platform::Control* PaintParent(TSectionList* root)
{
    return root ? root->PaintPanel : nullptr;
}

const TAttribute* Attr(const TAttributeList* attributes, Symbol sym)
{
    return attributes ? attributes->Find(sym) : nullptr;
}

int TextHeight(platform::Canvas* canvas)
{
    return canvas ? canvas->TextHeight(u"A") : 16;
}

// SIZE of an edit: a positive number, or the number before the first blank or comma of the text (20
// when that is no number); 15 when not given.
int EditSize(const TAttributeList* attributes)
{
    const TAttribute* a = Attr(attributes, SizeSy);
    if (!a)
        return 15;
    if (a->NumValue > 0)
        return std::min(a->NumValue, MaxControlChars);
    const std::size_t cut = a->StrValue.find_first_of(" ,");
    if (cut == std::string::npos)
        return 15;
    const int n = StrToIntDef(a->StrValue.substr(0, cut), -1);
    return n > 0 ? std::min(n, MaxControlChars) : 20;
}

// Draws a check mark or the dot of a radio button for printing.
void DrawCheckMark(platform::Canvas* canvas, int X, int middle)
{
    canvas->SetPenColor(0);
    canvas->SetPenWidth(1);
    for (int d = 0; d < 2; ++d) {
        canvas->MoveTo(X + 3, middle + d);
        canvas->LineTo(X + 5, middle + 2 + d);
        canvas->LineTo(X + 10, middle - 3 + d);
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Edit

TEditFormControlObj::TEditFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes,
                                         const std::string& typeText)
    : TFormControlObj(root, form, attributes)
{
    auto edit = std::make_unique<platform::Edit>(PaintParent(root));
    FEdit = edit.get();
    Password = typeText == "password";
    if (Password)
        FEdit->SetPasswordChar(u'*');
    if (const TAttribute* a = Attr(attributes, MaxLengthSy))
        MaxLength = std::clamp(a->NumValue, 0, 1 << 30);
    FEdit->SetMaxLength(MaxLength);
    SizeChars = EditSize(attributes);
    FEdit->SetReadOnly(ReadOnly);
    SetPlatformControl(std::move(edit));
    FEdit->SetText(ToControlText(Value));
}

std::string TEditFormControlObj::Text() const
{
    return FromControlText(FEdit->Text());
}

void TEditFormControlObj::SetText(const std::string& text)
{
    FEdit->SetText(ToControlText(text));
}

void TEditFormControlObj::ProcessProperties(TProperties& props)
{
    TFormControlObj::ProcessProperties(props);
    // The value is shown in the document's code page, known now.
    FEdit->SetText(ToControlText(Value));
}

void TEditFormControlObj::SaveContents()
{
    FSaved = Text();
}

void TEditFormControlObj::DoOnChange()
{
    if (Text() != FSaved && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TEditFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    std::u16string shown = FEdit->Text();
    if (Password)
        std::fill(shown.begin(), shown.end(), u'*');
    DrawFramedText(canvas, X, Y, shown);
}

void TEditFormControlObj::ResetToValue()
{
    SetText(Value);
}

bool TEditFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0)
        return false;
    text = Entry(Name, Text());
    return true;
}

void TEditFormControlObj::SetData(int, const std::string& value)
{
    SetText(value);
}

void TEditFormControlObj::SetDataInit()
{
    SetText(std::string());
}

void TEditFormControlObj::SetHeightWidth(platform::Canvas* canvas)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    SelectControlFont(canvas);
    const int average = canvas->GetTextMetrics().tmAveCharWidth;
    const int textHeight = TextHeight(canvas);
    canvas->RestoreDC();
    const int width = CSSWidth >= 10 ? CSSWidth : average * SizeChars + 23;
    const int height = std::max({CSSHeight, textHeight, 10});
    if (!PercentWidth)
        FEdit->SetBounds(FEdit->Left(), FEdit->Top(), width, height);
    else
        FEdit->SetBounds(FEdit->Left(), FEdit->Top(), FEdit->Width(), height);
}

// ---------------------------------------------------------------------------------------------------------
// Buttons

TButtonFormControlObj::TButtonFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes,
                                             TButtonKind kind)
    : TFormControlObj(root, form, attributes), Kind(kind)
{
    if (kind == bkBrowse) {
        // The browse button of a file input has no name, value or id of its own.
        Name.clear();
        Value.clear();
        ControlId.clear();
    }
    auto button = std::make_unique<platform::Button>(PaintParent(root));
    FButton = button.get();
    SetPlatformControl(std::move(button));
}

void TButtonFormControlObj::ProcessProperties(TProperties& props)
{
    TFormControlObj::ProcessProperties(props);
    if (Kind == bkBrowse)
        FCaption = u"Browse...";
    else if (!Value.empty())
        FCaption = ToControlText(Value);
    else
        FCaption = Kind == bkSubmit ? u"Submit" : Kind == bkReset ? u"Reset" : u"Button";
    FButton->SetCaption(FCaption);
}

void TButtonFormControlObj::SetHeightWidth(platform::Canvas* canvas)
{
    if (!canvas)
        return;
    if (FCaption.empty() && Kind != bkBrowse)
        FCaption = Value.empty() ? (Kind == bkSubmit ? u"Submit" : Kind == bkReset ? u"Reset" : u"Button")
                                 : ToControlText(Value);
    canvas->SaveDC();
    SelectControlFont(canvas);
    const int textHeight = TextHeight(canvas);
    const int captionWidth = canvas->TextWidth(FCaption);
    canvas->RestoreDC();
    const int height = std::max(CSSHeight, textHeight + 8);
    const int width = CSSWidth >= 10 && !PercentWidth ? CSSWidth : captionWidth + 20;
    FButton->SetBounds(FButton->Left(), FButton->Top(), PercentWidth ? FButton->Width() : width, height);
}

void TButtonFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    if (canvas->Target() && canvas->Target()->Format() == platform::PixelFormat::pf1bit) {
        // A one-bit page: a white frame with the caption in the middle.
        canvas->SaveDC();
        const platform::Rect r{X, Y, X + Width(), Y + Height()};
        canvas->FillRect(r, 0xFFFFFF);
        canvas->FrameRect(r, 0);
        SelectControlFont(canvas);
        canvas->SetBkMode(platform::TRANSPARENT);
        canvas->SetTextColor(0);
        const int w = canvas->TextWidth(FCaption);
        const int h = canvas->GetTextMetrics().tmHeight;
        canvas->SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
        canvas->TextOutW(X + (Width() - w) / 2, Y + (Height() - h) / 2, FCaption);
        canvas->RestoreDC();
        return;
    }
    FButton->PaintTo(*canvas, X, Y);
}

void TButtonFormControlObj::Clicked()
{
    if (!MyForm)
        return;
    switch (Kind) {
    case bkSubmit: MyForm->SubmitForm(Name.empty() ? std::string() : Entry(Name, Value)); break;
    case bkReset: MyForm->ResetControls(); break;
    case bkBrowse:
        if (MyEdit && Root && Root->FormEvents.OnFileBrowse) {
            std::string fileName = MyEdit->Text();
            Root->FormEvents.OnFileBrowse(MyEdit, fileName);
            MyEdit->SetText(fileName);
        }
        break;
    case bkButton: break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Image submit button

TImageFormControlObj::TImageFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
    if (const TAttribute* a = Attr(attributes, SrcSy))
        Source = a->StrValue;
    // A window of one pixel out of view takes the keyboard (Enter or Space submit).
    auto button = std::make_unique<platform::Button>(PaintParent(root));
    button->SetBounds(-4000, 0, 1, 1);
    SetPlatformControl(std::move(button));
}

bool TImageFormControlObj::GetSubmission(int index, std::string& text)
{
    if (!XYValid || index > 1)
        return false;
    const std::string prefix = Name.empty() ? std::string() : Name + ".";
    if (index == 0) {
        text = prefix + "x=" + std::to_string(ClickX);
    } else {
        text = prefix + "y=" + std::to_string(ClickY);
        XYValid = false;
    }
    return true;
}

void TImageFormControlObj::Clicked()
{
    XYValid = true;
    if (MyForm)
        MyForm->SubmitForm(std::string());
}

void TImageFormControlObj::ImageClicked(int X, int Y)
{
    ClickX = X;
    ClickY = Y;
    if (Root && Root->FormEvents.OnObjectClick)
        Root->FormEvents.OnObjectClick(this, OnClickScript);
    Clicked();
}

// ---------------------------------------------------------------------------------------------------------
// Hidden field

THiddenFormControlObj::THiddenFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
}

bool THiddenFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0)
        return false;
    text = Entry(Name, Value);
    return true;
}

void THiddenFormControlObj::SetData(int, const std::string& value)
{
    Value = value;
}

// ---------------------------------------------------------------------------------------------------------
// Check box

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* root, ThtmlForm* form,
                                                 const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
    FormAlign = AlignBaseline;
    if (Value.empty())
        Value = "on";
    FInitChecked = Attr(attributes, CheckedSy) != nullptr;
    auto box = std::make_unique<platform::CheckBox>(PaintParent(root));
    FBox = box.get();
    FBox->SetBounds(0, 0, 13, 13);
    FBox->SetChecked(FInitChecked);
    SetPlatformControl(std::move(box));
}

bool TCheckBoxFormControlObj::Checked() const
{
    return FBox->Checked();
}

void TCheckBoxFormControlObj::SetChecked(bool value)
{
    FBox->SetChecked(value);
}

void TCheckBoxFormControlObj::SaveContents()
{
    FSaved = Checked();
}

void TCheckBoxFormControlObj::DoOnChange()
{
    if (Checked() != FSaved && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TCheckBoxFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    const platform::Rect r{X, Y, X + 13, Y + 13};
    canvas->FillRect(r, 0xFFFFFF);
    canvas->FrameRect(r, 0);
    if (Checked())
        DrawCheckMark(canvas, X, Y + 6);
    canvas->RestoreDC();
}

void TCheckBoxFormControlObj::ResetToValue()
{
    SetChecked(FInitChecked);
}

bool TCheckBoxFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0 || !Checked())
        return false;
    text = Entry(Name, Value);
    return true;
}

void TCheckBoxFormControlObj::SetData(int, const std::string& value)
{
    if (platform::SameTextAscii(value, Value))
        SetChecked(true);
}

void TCheckBoxFormControlObj::SetDataInit()
{
    SetChecked(false);
}

// ---------------------------------------------------------------------------------------------------------
// Radio button

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* root, ThtmlForm* form,
                                                       const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
    FormAlign = AlignBaseline;
    FInitChecked = Attr(attributes, CheckedSy) != nullptr;
    auto radio = std::make_unique<platform::RadioButton>(PaintParent(root));
    FRadio = radio.get();
    if (platform::SysValues().PixelsPerInch < 101)
        FRadio->SetBounds(0, 0, 13, 14);
    else
        FRadio->SetBounds(0, 0, 16, 16);
    FRadio->SetChecked(FInitChecked);
    SetPlatformControl(std::move(radio));
    // The group as made so far: a checked radio unchecks the earlier ones and takes their tab stops; an
    // unchecked one is a tab stop only as the group's first.
    if (form) {
        const std::vector<TRadioButtonFormControlObj*> earlier = form->RadioGroup(Name);
        if (FInitChecked) {
            for (TRadioButtonFormControlObj* other : earlier) {
                other->SetChecked(false);
                other->FInitChecked = false;
                if (platform::Control* c = other->GetControl())
                    c->SetTabStop(false);
            }
        } else if (!earlier.empty()) {
            FRadio->SetTabStop(false);
        }
    }
}

bool TRadioButtonFormControlObj::Checked() const
{
    return FRadio->Checked();
}

void TRadioButtonFormControlObj::SetChecked(bool value)
{
    FRadio->SetChecked(value);
}

void TRadioButtonFormControlObj::SaveContents()
{
    FSaved = Checked();
}

void TRadioButtonFormControlObj::DoOnChange()
{
    if (Checked() != FSaved && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TRadioButtonFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    canvas->SetPenColor(0);
    canvas->SetPenWidth(1);
    canvas->SetBrushColor(0xFFFFFF);
    canvas->Ellipse(X, Y, X + 14, Y + 14);
    if (Checked()) {
        canvas->SetBrushColor(0);
        canvas->Ellipse(X + 5, Y + 5, X + 9, Y + 9);
    }
    canvas->RestoreDC();
}

void TRadioButtonFormControlObj::ResetToValue()
{
    SetChecked(FInitChecked);
}

bool TRadioButtonFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0 || !Checked())
        return false;
    text = Entry(Name, Value);
    return true;
}

void TRadioButtonFormControlObj::SetData(int, const std::string& value)
{
    if (platform::SameTextAscii(value, Value))
        SetChecked(true);
}

void TRadioButtonFormControlObj::SetDataInit()
{
    SetChecked(false);
}

void TRadioButtonFormControlObj::Clicked()
{
    if (MyForm)
        MyForm->RadioClicked(this);
}

// ---------------------------------------------------------------------------------------------------------
// SELECT: list box and drop-down list

TSelectFormControlObj::TSelectFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
}

void TSelectFormControlObj::AddOption(const std::u16string& text, bool selected, std::vector<std::string> attributes)
{
    auto option = std::make_unique<TOptionObj>();
    option->Selected = selected;
    bool hasValue = false;
    for (const std::string& line : attributes)
        if (line.size() >= 6 && platform::SameTextAscii(line.substr(0, 6), "VALUE=")) {
            option->Value = line.substr(6);
            hasValue = true;
            break;
        }
    if (!hasValue)
        option->Value = FromControlText(text);
    option->Attributes = std::move(attributes);
    Options.Add(text, std::move(option));
}

int TSelectFormControlObj::WidestOption(platform::Canvas* canvas)
{
    const platform::LogFont& f = canvas->GetFont().Description();
    const std::string key = f.Name + "/" + std::to_string(f.Height) + "/" + std::to_string(f.Weight) +
                            (f.Italic ? "i" : "") + "/" + std::to_string(Options.Count());
    if (FWidest >= 0 && key == FWidestFont)
        return FWidest;
    int widest = 0;
    for (const std::u16string& text : Options.Texts())
        widest = std::max(widest, canvas->TextWidth(text));
    FWidest = widest;
    FWidestFont = key;
    return widest;
}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* root, ThtmlForm* form,
                                               const TAttributeList* attributes)
    : TSelectFormControlObj(root, form, attributes)
{
    if (const TAttribute* a = Attr(attributes, SizeSy))
        SizeRows = std::clamp(a->NumValue, 0, MaxTextAreaRows);
    Multiple = Attr(attributes, MultipleSy) != nullptr;
    auto list = std::make_unique<platform::ListBox>(PaintParent(root));
    FList = list.get();
    FList->SetMultiSelect(Multiple);
    SetPlatformControl(std::move(list));
}

int TListBoxFormControlObj::Rows() const
{
    return SizeRows > 0 ? SizeRows : std::max(1, std::min(8, Options.Count()));
}

void TListBoxFormControlObj::AddOptionsDone()
{
    FList->Clear();
    FList->AddItems(Options.Texts());
    ResetToValue();
}

void TListBoxFormControlObj::SaveContents()
{
    FSaved.assign(std::size_t(Options.Count()), false);
    for (int i = 0; i < Options.Count(); ++i)
        FSaved[std::size_t(i)] = FList->Selected(i);
}

void TListBoxFormControlObj::DoOnChange()
{
    bool changed = int(FSaved.size()) != Options.Count();
    for (int i = 0; !changed && i < Options.Count(); ++i)
        changed = FList->Selected(i) != FSaved[std::size_t(i)];
    if (changed && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TListBoxFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    const platform::Rect box{X, Y, X + Width(), Y + Height()};
    DrawFramedText(canvas, X, Y, std::u16string());
    SelectControlFont(canvas);
    canvas->SetBkMode(platform::TRANSPARENT);
    canvas->SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    const int rowHeight = std::max(1, canvas->GetTextMetrics().tmHeight);
    platform::Rect inner{box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2};
    int y = inner.Top;
    for (int i = FList->TopIndex(); i < Options.Count() && y < inner.Bottom; ++i, y += rowHeight) {
        const bool selected = FList->Selected(i);
        if (selected)
            canvas->FillRect(platform::Rect{inner.Left, y, inner.Right, std::min(y + rowHeight, inner.Bottom)},
                             platform::clHighlight);
        canvas->SetTextColor(selected ? platform::clHighlightText : FList->FontColor());
        const std::u16string& text = Options.Text(i);
        canvas->ExtTextOutW(inner.Left + 1, y, platform::ETO_CLIPPED, &inner, text.data(), int(text.size()));
    }
    canvas->RestoreDC();
}

void TListBoxFormControlObj::ResetToValue()
{
    FList->SetItemIndex(-1);
    bool any = false;
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Selected(i)) {
            FList->SetSelected(i, true);
            any = true;
        }
    if (!any && Options.Count() > 0 && !Multiple)
        FList->SetItemIndex(0);
    FList->SetTopIndex(0);
}

bool TListBoxFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index < 0 || index >= Options.Count())
        return false;
    text = FList->Selected(index) ? Entry(Name, Options.Value(index)) : std::string();
    return true;
}

void TListBoxFormControlObj::SetData(int, const std::string& value)
{
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Value(i) == value)
            FList->SetSelected(i, true);
}

void TListBoxFormControlObj::SetDataInit()
{
    FList->SetItemIndex(-1);
    FList->SetTopIndex(0);
}

void TListBoxFormControlObj::SetHeightWidth(platform::Canvas* canvas)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    SelectControlFont(canvas);
    const int textHeight = TextHeight(canvas);
    const int widest = WidestOption(canvas);
    canvas->RestoreDC();
    const int height = CSSHeight >= 10 ? CSSHeight : std::min(textHeight * Rows(), MaxControlPixels);
    const int width = CSSWidth >= 10 ? CSSWidth : widest + platform::SysValues().ScrollBarThickness + 10;
    FList->SetBounds(FList->Left(), FList->Top(), PercentWidth ? FList->Width() : std::min(width, MaxControlPixels),
                     height);
}

TComboFormControlObj::TComboFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes)
    : TSelectFormControlObj(root, form, attributes)
{
    auto combo = std::make_unique<platform::ComboBox>(PaintParent(root));
    FCombo = combo.get();
    SetPlatformControl(std::move(combo));
}

void TComboFormControlObj::AddOptionsDone()
{
    FCombo->Clear();
    FCombo->AddItems(Options.Texts());
    ResetToValue();
}

void TComboFormControlObj::SaveContents()
{
    FSaved = FCombo->ItemIndex();
}

void TComboFormControlObj::DoOnChange()
{
    if (FCombo->ItemIndex() != FSaved && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TComboFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    DrawFramedText(canvas, X, Y, Options.Text(FCombo->ItemIndex()));
    // The drop-down button at the right.
    const int w = std::min(Width() - 4, platform::SysValues().ScrollBarThickness);
    if (w <= 0)
        return;
    platform::Rect button{X + Width() - 2 - w, Y + 2, X + Width() - 2, Y + Height() - 2};
    canvas->FillRect(button, platform::clBtnFace);
    const int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
    for (int i = 0; i < 4; ++i)
        canvas->FillRect(platform::Rect{cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i}, 0);
}

void TComboFormControlObj::ResetToValue()
{
    int index = Options.Count() > 0 ? 0 : -1;
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Selected(i))
            index = i;
    FCombo->SetItemIndex(index);
}

bool TComboFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0)
        return false;
    text = Entry(Name, Options.Value(FCombo->ItemIndex()));
    return true;
}

void TComboFormControlObj::SetData(int, const std::string& value)
{
    for (int i = 0; i < Options.Count(); ++i)
        if (Options.Value(i) == value) {
            FCombo->SetItemIndex(i);
            return;
        }
}

void TComboFormControlObj::SetDataInit()
{
    FCombo->SetItemIndex(Options.Count() > 0 ? 0 : -1);
}

void TComboFormControlObj::SetHeightWidth(platform::Canvas* canvas)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    SelectControlFont(canvas);
    const int widest = WidestOption(canvas);
    canvas->RestoreDC();
    const int height = CSSHeight > 9 ? CSSHeight : FCombo->NaturalHeight();
    const int width = CSSWidth >= 10 ? CSSWidth : widest + platform::SysValues().ScrollBarThickness + 10;
    FCombo->SetBounds(FCombo->Left(), FCombo->Top(),
                      PercentWidth ? FCombo->Width() : std::min(width, MaxControlPixels), height);
}

// ---------------------------------------------------------------------------------------------------------
// Text area

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* root, ThtmlForm* form,
                                                 const TAttributeList* attributes)
    : TFormControlObj(root, form, attributes)
{
    if (const TAttribute* a = Attr(attributes, RowsSy); a && a->NumValue > 0)
        Rows = std::min(a->NumValue, MaxTextAreaRows);
    if (const TAttribute* a = Attr(attributes, ColsSy); a && a->NumValue > 0)
        Cols = std::min(a->NumValue, MaxControlChars);
    if (const TAttribute* a = Attr(attributes, WrapSy)) {
        if (platform::SameTextAscii(a->StrValue, "off"))
            Wrap = wmOff;
        else if (platform::SameTextAscii(a->StrValue, "hard"))
            Wrap = wmHard;
    }
    auto memo = std::make_unique<platform::Memo>(PaintParent(root));
    FMemo = memo.get();
    FMemo->SetWordWrap(Wrap != wmOff);
    FMemo->SetScrollBars(Wrap == wmOff ? platform::msBoth : platform::msVertical);
    FMemo->SetReadOnly(ReadOnly);
    SetPlatformControl(std::move(memo));
}

std::string TTextAreaFormControlObj::Text() const
{
    if (Wrap != wmHard)
        return FromControlText(FMemo->Text());
    std::u16string joined;
    const std::vector<std::u16string> lines = FMemo->DisplayedLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += u"\r\n";
        joined += lines[i];
    }
    return FromControlText(joined);
}

void TTextAreaFormControlObj::AddLine(const std::u16string& text)
{
    FTheText += text;
}

void TTextAreaFormControlObj::ResetDone()
{
    ResetToValue();
}

void TTextAreaFormControlObj::ProcessProperties(TProperties& props)
{
    TFormControlObj::ProcessProperties(props);
    if (PercentWidth)
        FMemo->SetBounds(FMemo->Left(), FMemo->Top(), 50, FMemo->Height());
}

void TTextAreaFormControlObj::SaveContents()
{
    FSaved = FMemo->Text();
}

void TTextAreaFormControlObj::DoOnChange()
{
    if (FMemo->Text() != FSaved && Root && Root->FormEvents.OnObjectChange)
        Root->FormEvents.OnObjectChange(this, OnChangeScript);
}

void TTextAreaFormControlObj::DrawForPrint(platform::Canvas* canvas, int X, int Y)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    DrawFramedText(canvas, X, Y, std::u16string());
    SelectControlFont(canvas);
    canvas->SetBkMode(platform::TRANSPARENT);
    canvas->SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    canvas->SetTextColor(FMemo->FontColor());
    const int rowHeight = std::max(1, canvas->GetTextMetrics().tmHeight);
    platform::Rect inner{X + 2, Y + 2, X + Width() - 2, Y + Height() - 2};
    int y = inner.Top;
    for (const std::u16string& line : FMemo->DisplayedLines()) {
        if (y >= inner.Bottom)
            break;
        canvas->ExtTextOutW(inner.Left + 1, y, platform::ETO_CLIPPED, &inner, line.data(), int(line.size()));
        y += rowHeight;
    }
    canvas->RestoreDC();
}

void TTextAreaFormControlObj::ResetToValue()
{
    FMemo->SetText(FTheText);
    FMemo->CaretToStart();
}

bool TTextAreaFormControlObj::GetSubmission(int index, std::string& text)
{
    if (index != 0)
        return false;
    text = Entry(Name, Text());
    return true;
}

void TTextAreaFormControlObj::SetData(int, const std::string& value)
{
    FMemo->SetText(ToControlText(value));
}

void TTextAreaFormControlObj::SetDataInit()
{
    FMemo->SetText(std::u16string());
}

void TTextAreaFormControlObj::SetHeightWidth(platform::Canvas* canvas)
{
    if (!canvas)
        return;
    canvas->SaveDC();
    SelectControlFont(canvas);
    const int textHeight = TextHeight(canvas);
    const int sWidth = canvas->TextWidth(u"s");
    canvas->RestoreDC();
    const int height = CSSHeight >= 10 ? CSSHeight : std::min(textHeight * Rows + 5, MaxControlPixels);
    const int width = CSSWidth >= 10 ? CSSWidth : std::min(sWidth * Cols + 5, MaxControlPixels);
    FMemo->SetBounds(FMemo->Left(), FMemo->Top(), PercentWidth ? FMemo->Width() : width, height);
}

// ---------------------------------------------------------------------------------------------------------
// Making controls

std::vector<TFormControlObj*> MakeFormControls(TSectionList* root, ThtmlForm* form, Symbol kind,
                                               const TAttributeList* attributes)
{
    std::vector<TFormControlObj*> made;
    if (!form)
        return made;
    auto add = [&](std::unique_ptr<TFormControlObj> control) {
        TFormControlObj* c = control.get();
        form->AddControl(std::move(control));
        made.push_back(c);
        return c;
    };
    if (kind == SelectSy) {
        const TAttribute* size = Attr(attributes, SizeSy);
        if (Attr(attributes, MultipleSy) || (size && size->NumValue > 1))
            add(std::make_unique<TListBoxFormControlObj>(root, form, attributes));
        else
            add(std::make_unique<TComboFormControlObj>(root, form, attributes));
        return made;
    }
    if (kind == TextAreaSy) {
        add(std::make_unique<TTextAreaFormControlObj>(root, form, attributes));
        return made;
    }
    std::string type;
    if (const TAttribute* t = Attr(attributes, TypeSy))
        type = platform::LowerAscii(t->StrValue.substr(0, 20));
    if (type == "submit" || type == "reset" || type == "button") {
        add(std::make_unique<TButtonFormControlObj>(root, form, attributes,
                                                    type == "submit" ? bkSubmit : type == "reset" ? bkReset : bkButton));
    } else if (type == "image") {
        add(std::make_unique<TImageFormControlObj>(root, form, attributes));
    } else if (type == "hidden") {
        add(std::make_unique<THiddenFormControlObj>(root, form, attributes));
    } else if (type == "checkbox") {
        add(std::make_unique<TCheckBoxFormControlObj>(root, form, attributes));
    } else if (type == "radio") {
        add(std::make_unique<TRadioButtonFormControlObj>(root, form, attributes));
    } else {
        auto* edit = static_cast<TEditFormControlObj*>(
            add(std::make_unique<TEditFormControlObj>(root, form, attributes, type)));
        if (type == "file") {
            auto* browse = static_cast<TButtonFormControlObj*>(
                add(std::make_unique<TButtonFormControlObj>(root, form, attributes, bkBrowse)));
            browse->MyEdit = edit;
        }
    }
    return made;
}
