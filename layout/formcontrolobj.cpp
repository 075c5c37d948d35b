// What every form control does: attributes, registration with the document, the events of its window,
// its style, and the helpers its kinds share.

#include "layout/formcontrolobj.h"

#include <algorithm>
#include <cstdio>

#include "core/attributes.h"
#include "layout/forms.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "platform/font.h"
#include "platform/panel.h"
#include "platform/stdcontrol.h"
#include "style/fonts.h"
#include "style/properties.h"

namespace {

constexpr int OutOfView = -4000;
constexpr int MaxSpace = 10000;
constexpr int MaxSize = 100000;

std::string AttrText(const TAttributeList* attributes, Symbol sym)
{
    const TAttribute* a = attributes ? attributes->Find(sym) : nullptr;
    return a ? a->StrValue : std::string();
}

// A length of the style in pixels, 0 when not given.
int StyleLength(int v)
{
    return v == NotSet || v == AutoValue ? 0 : std::clamp(v, 0, MaxSize);
}

}  // namespace

TFormControlObj::TFormControlObj() = default;

TFormControlObj::TFormControlObj(TSectionList* root, ThtmlForm* form, const TAttributeList* attributes)
    : Root(root), MyForm(form)
{
    VSpaceT = VSpaceB = 1;
    if (attributes) {
        Title = AttrText(attributes, TitleSy);
        Value = AttrText(attributes, ValueSy);
        Name = AttrText(attributes, NameSy);
        ControlId = AttrText(attributes, IDSy);
        OnClickScript = AttrText(attributes, OnClickSy);
        OnFocusScript = AttrText(attributes, OnFocusSy);
        OnBlurScript = AttrText(attributes, OnBlurSy);
        OnChangeScript = AttrText(attributes, OnChangeSy);
        if (const TAttribute* d = attributes->Find(DisabledSy))
            Disabled = !platform::SameTextAscii(d->StrValue, "no") && d->StrValue != "0";
        ReadOnly = attributes->Find(ReadonlySy) != nullptr;
        if (const TAttribute* t = attributes->Find(TabIndexSy))
            FTabIndex = std::clamp(t->NumValue, 0, 99999);
        AttributeText = attributes->ToStringList();
        if (!attributes->Empty())
            CodePage = (*attributes)[0]->CodePage;
    }
    if (Root && Root->IDNames && !ControlId.empty() && !Root->IsCopy)
        Root->IDNames->AddName(ControlId, this);
}

TFormControlObj::~TFormControlObj()
{
    if (FControl) {
        // The window may be running one of its own handlers: it goes when control is back in the loop.
        FControl->OnEnter = nullptr;
        FControl->OnExit = nullptr;
        FControl->OnClick = nullptr;
        FControl->OnKeyDown = nullptr;
        FControl->OnKeyPress = nullptr;
        FControl->OnMouseMove = nullptr;
        platform::DeferDelete(std::unique_ptr<platform::Control>(FControl.release()));
    }
}

platform::Control* TFormControlObj::GetControl() const
{
    return FControl.get();
}

bool TFormControlObj::Printing() const
{
    return Root && (Root->IsCopy || Root->Printing);
}

void TFormControlObj::SetPlatformControl(std::unique_ptr<platform::StdControl> control)
{
    FControl = std::move(control);
    platform::StdControl* c = FControl.get();
    c->SetBounds(OutOfView, 0, c->Width(), c->Height());
    // Without a paint area (a document that is only measured) the window stays hidden, never a window of
    // its own on the desktop.
    c->SetVisible(Root && Root->PaintPanel);
    if (Disabled)
        c->SetEnabled(false);
    c->OnEnter = [this](platform::Control*) { Entered(); };
    c->OnExit = [this](platform::Control*) { Exited(); };
    c->OnClick = [this](platform::Control*) {
        if (!Root || Root->IsCopy)
            return;
        const int generation = Root->Generation;
        if (Root->FormEvents.OnObjectClick)
            Root->FormEvents.OnObjectClick(this, OnClickScript);
        // The host may have replaced the document (and this control with it).
        if (Root->Generation == generation)
            Clicked();
    };
    c->OnKeyDown = [this](platform::Control*, int& key, platform::TShiftState shift) {
        if (MyForm)
            MyForm->ControlKeyDown(this, key, shift);
    };
    c->OnKeyPress = [this](platform::Control*, char16_t& key) {
        if (MyForm)
            MyForm->EditKeyPress(this, key);
    };
    c->OnMouseMove = [this](platform::Control*, platform::TShiftState shift, int x, int y) {
        if (Root && Root->FormEvents.OnControlMouseMove)
            Root->FormEvents.OnControlMouseMove(this, shift, x, y);
    };
    if (FTabIndex >= 1 && Root && !Root->IsCopy) {
        char key[32];
        std::snprintf(key, sizeof key, "%.5d%.3d", FTabIndex, std::min(int(Root->TabOrder.size()), 999));
        Root->TabOrder.emplace(key, TTabStop{nullptr, c});
    }
}

void TFormControlObj::Entered()
{
    if (!Root || Root->IsCopy)
        return;
    Active = true;
    Root->InvalidatePaintArea();
    const int generation = Root->Generation;
    if (Root->FormEvents.OnControlEnter)
        Root->FormEvents.OnControlEnter(this);
    if (Root->Generation != generation)
        return;
    if (Root->FormEvents.OnObjectFocus && !OnFocusScript.empty())
        Root->FormEvents.OnObjectFocus(this, OnFocusScript);
    if (Root->Generation == generation && !OnChangeScript.empty())
        SaveContents();
}

void TFormControlObj::Exited()
{
    if (!Root || Root->IsCopy)
        return;
    Active = false;
    const int generation = Root->Generation;
    if (!OnChangeScript.empty())
        DoOnChange();
    if (Root->Generation != generation)
        return;
    if (Root->FormEvents.OnObjectBlur && !OnBlurScript.empty())
        Root->FormEvents.OnObjectBlur(this, OnBlurScript);
    if (Root->Generation == generation)
        Root->InvalidatePaintArea();
}

void TFormControlObj::ProcessProperties(TProperties& props)
{
    CodePage = props.CodePage;
    MarginArray m{};
    int autoCount = 0;
    props.ConvMargArray(100, 100, props.EmHeight, props.ExHeight, m, autoCount);
    auto px = [&](int index) { return StyleLength(m[std::size_t(index)]); };
    HSpaceL = std::min(MaxSpace, px(piMarginLeft) + px(piPaddingLeft) + px(piBorderLeftWidth));
    HSpaceR = std::min(MaxSpace, px(piMarginRight) + px(piPaddingRight) + px(piBorderRightWidth));
    int top = 0, bottom = 0;
    bool topIsPara = false, bottomIsPara = false;
    props.ConvVertMargins(100, props.EmHeight, props.ExHeight, top, bottom, topIsPara, bottomIsPara);
    if (props.Explicit[piMarginTop] && !topIsPara)
        VSpaceT = std::min(MaxSpace, StyleLength(top) + px(piPaddingTop) + px(piBorderTopWidth));
    if (props.Explicit[piMarginBottom] && !bottomIsPara)
        VSpaceB = std::min(MaxSpace, StyleLength(bottom) + px(piPaddingBottom) + px(piBorderBottomWidth));
    const TPropValue& width = props.Values[piWidth];
    if (width.IsText() && !width.Text().empty() && width.Text().back() == '%') {
        // A percentage of the room in the line, set by the text section; more than 100 is ignored.
        const int percent = px(piWidth);
        if (percent > 0 && percent <= 100) {
            PercentWidth = true;
            Percent = percent;
        }
    } else {
        CSSWidth = px(piWidth);
    }
    CSSHeight = std::max(0, px(piHeight) - px(piBorderTopWidth) - px(piBorderBottomWidth));
    AlignmentType align = AlignNone;
    if (props.GetVertAlign(align) && (align == AlignTop || align == AlignMiddle || align == AlignBaseline ||
                                      align == AlignBottom))
        FormAlign = align;
    BkColor = props.GetBackgroundColor();
    if (FControl) {
        if (std::unique_ptr<TMyFont> font = props.GetFont()) {
            FControl->SetFont(font->LogFont());
            FControl->SetFontColor(platform::ColorToRGB(font->Color));
        }
        if (BkColor != NoColor)
            FControl->SetColor(platform::ColorToRGB(BkColor));
        if (PercentWidth)
            FControl->SetBounds(OutOfView, FControl->Top(), 10, FControl->Height());
    }
}

int TFormControlObj::Width() const
{
    return FControl ? FControl->Width() : FWidth;
}

int TFormControlObj::Height() const
{
    return FControl ? FControl->Height() : FHeight;
}

void TFormControlObj::SetWidth(int value)
{
    value = std::clamp(value, 0, MaxSize);
    if (FControl)
        FControl->SetBounds(FControl->Left(), FControl->Top(), value, FControl->Height());
    else
        FWidth = value;
}

void TFormControlObj::Place(platform::Canvas* canvas, int X, int Y)
{
    if (Printing()) {
        DrawForPrint(canvas, X, Y);
        return;
    }
    if (!FControl || !Root || !Root->PaintPanel)
        return;
    FPlacedPass = Root->LayoutPass;
    FPlacedDocTop = Y + Root->YOffset;
    if (FControl->Left() != X || FControl->Top() != Y)
        FControl->SetBounds(X, Y, FControl->Width(), FControl->Height());
    if (!FControl->Visible())
        FControl->Show();
}

void TFormControlObj::SetWindowColor(platform::TColor colour)
{
    if (FControl && colour != NoColor && !Printing())
        FControl->SetColor(platform::ColorToRGB(colour));
}

void TFormControlObj::Park()
{
    if (!FControl || !Root || !Root->PaintPanel)
        return;
    if (FControl->Left() != OutOfView)
        FControl->SetBounds(OutOfView, FControl->Top(), FControl->Width(), FControl->Height());
    if (!FControl->Visible())
        FControl->Show();
}

bool TFormControlObj::PlacedWithin(int top, int bottom) const
{
    return FControl && Root && FPlacedPass == Root->LayoutPass && FControl->Left() != OutOfView &&
           FPlacedDocTop < bottom && FPlacedDocTop + FControl->Height() > top;
}

std::u16string TFormControlObj::ToControlText(const std::string& text) const
{
    return platform::MultiByteToWide(CodePage, text);
}

std::string TFormControlObj::FromControlText(const std::u16string& text) const
{
    return platform::WideToMultiByte(CodePage, text);
}

void TFormControlObj::SelectControlFont(platform::Canvas* canvas) const
{
    if (canvas)
        canvas->SetFont(platform::Font(FControl ? FControl->Font() : platform::LogFont()));
}

void TFormControlObj::DrawFramedText(platform::Canvas* canvas, int X, int Y, const std::u16string& text) const
{
    if (!canvas)
        return;
    canvas->SaveDC();
    platform::Rect r{X, Y, X + Width(), Y + Height()};
    const platform::TColor back = FControl ? FControl->Color() : platform::TColor(0xFFFFFF);
    canvas->FillRect(r, back);
    platform::Frame3D(*canvas, r, platform::clBtnShadow, platform::clBtnHighlight, 1);
    platform::Frame3D(*canvas, r, platform::clBlack, platform::clBtnFace, 1);
    SelectControlFont(canvas);
    canvas->SetTextColor(FControl ? FControl->FontColor() : platform::TColor(0));
    canvas->SetBkMode(platform::TRANSPARENT);
    canvas->SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    const int textTop = r.Top + std::max(0, (r.Height() - canvas->GetTextMetrics().tmHeight) / 2);
    canvas->ExtTextOutW(r.Left + 2, textTop, platform::ETO_CLIPPED, &r, text.data(), int(text.size()));
    canvas->RestoreDC();
}
