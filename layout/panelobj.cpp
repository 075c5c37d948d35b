#include "layout/panelobj.h"

#include <algorithm>
#include <cstdlib>

#include "layout/sectionlist.h"
#include "core/attributes.h"
#include "style/properties.h"

namespace {

constexpr int OutOfView = -4000;
constexpr int MaxSpace = 40;  // HSPACE and VSPACE

// A WIDTH or HEIGHT attribute: a percentage 1..100 (percent set) or pixels of at least 1; 0 when absent.
int SizeAttribute(const TAttributeList* attributes, Symbol sym, bool& percent)
{
    percent = false;
    const TAttribute* a = attributes ? attributes->Find(sym) : nullptr;
    if (!a)
        return 0;
    const int value = StrToIntDef(a->StrValue.substr(0, a->StrValue.find_first_not_of("+-0123456789")), 0);
    if (a->StrValue.find('%') != std::string::npos) {
        percent = true;
        return std::clamp(value, 1, 100);
    }
    return std::max(1, value);
}

}  // namespace

ThvPanel::ThvPanel(platform::Control* parent) : platform::Panel(parent) {}

TPanelObj::TPanelObj(TSectionList* root, bool isCopy, const TAttributeList* attributes)
    : Root(root), IsCopy(isCopy), Panel(std::make_unique<ThvPanel>(root ? root->PaintPanel : nullptr))
{
    SpecWidth = 0;
    SpecHeight = 0;
    Panel->SetVisible(false);
    Panel->SetBounds(OutOfView, OutOfView, 30, 20);
    Panel->SetBevelInner(platform::bvNone);
    Panel->SetBevelOuter(platform::bvNone);
    Panel->SetBorderStyle(platform::bsSingle);
    Panel->SetColor(platform::clWhite);
    std::string name;
    if (attributes) {
        if (const TAttribute* a = attributes->Find(NameSy))
            name = a->StrValue;
        if (const TAttribute* a = attributes->Find(SrcSy))
            Panel->Source = a->StrValue;
        if (const TAttribute* a = attributes->Find(TypeSy))
            Panel->Type = a->StrValue;
        if (const TAttribute* a = attributes->Find(AltSy)) {
            AltText = a->StrValue;
            Title = a->StrValue;
        }
        if (const TAttribute* a = attributes->Find(AlignSy)) {
            std::string v = a->StrValue;
            std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return char(std::toupper(c)); });
            if (v == "TOP")
                VertAlign = AlignTop;
            else if (v == "MIDDLE" || v == "ABSMIDDLE")
                VertAlign = AlignMiddle;
            else if (v == "LEFT")
                VertAlign = AlignLeft;
            else if (v == "RIGHT")
                VertAlign = AlignRight;
        }
        SpecWidth = SizeAttribute(attributes, WidthSy, PercentWidth);
        SpecHeight = SizeAttribute(attributes, HeightSy, PercentHeight);
        if (const TAttribute* a = attributes->Find(HSpaceSy))
            HSpaceL = HSpaceR = std::min(std::abs(std::max(a->NumValue, -MaxSpace)), MaxSpace);
        if (const TAttribute* a = attributes->Find(VSpaceSy))
            VSpaceT = VSpaceB = std::min(std::abs(std::max(a->NumValue, -MaxSpace)), MaxSpace);
    }
    if (!name.empty())
        Panel->SetName(name);
    if (SpecWidth > 0 && !PercentWidth)
        Panel->SetBounds(OutOfView, OutOfView, SpecWidth, Panel->Height());
    if (SpecHeight > 0 && !PercentHeight)
        Panel->SetBounds(OutOfView, OutOfView, Panel->Width(), SpecHeight);
    if (!IsCopy && Root) {
        if (Root->OnPanelCreate)
            Root->OnPanelCreate(Root, name, Panel.get(), Panel->Source, Panel->Type);
        Root->Panels.push_back(this);
    }
    NaturalWidth = std::max(1, Panel->Width());
    NaturalHeight = std::max(1, Panel->Height());
}

TPanelObj::~TPanelObj()
{
    if (IsCopy || !Root)
        return;
    auto& panels = Root->Panels;
    panels.erase(std::remove(panels.begin(), panels.end(), this), panels.end());
    if (Root->OnPanelDestroy)
        Root->OnPanelDestroy(Root, Panel->Name(), Panel.get());
}

void TPanelObj::FormatObject(TSectionList*, platform::Canvas*, int availWidth, int availHeight, TFontObj*)
{
    if (ImageKnown && !PercentWidth && !PercentHeight)
        return;
    const int w = NaturalWidth, h = NaturalHeight;
    availWidth = std::max(0, availWidth);
    availHeight = std::max(0, availHeight);
    int W = w, H = h;
    if (PercentWidth) {
        W = platform::MulDiv(availWidth, SpecWidth, 100);
        H = SpecHeight <= 0 ? platform::MulDiv(W, h, w)
            : PercentHeight ? platform::MulDiv(availHeight, SpecHeight, 100)
                            : SpecHeight;
    } else if (PercentHeight) {
        H = platform::MulDiv(availHeight, SpecHeight, 100);
        W = SpecWidth <= 0 ? platform::MulDiv(H, w, h) : SpecWidth;
    } else {
        if (SpecWidth > 0 && SpecHeight > 0) {
            W = SpecWidth;
            H = SpecHeight;
        } else if (SpecWidth > 0) {
            W = SpecWidth;
            H = platform::MulDiv(W, h, w);
        } else if (SpecHeight > 0) {
            H = SpecHeight;
            W = platform::MulDiv(H, w, h);
        }
        ImageKnown = true;
    }
    ObjWidth = std::max(0, W);
    ObjHeight = std::max(0, H);
    if (!IsCopy && ObjWidth > 0 && ObjHeight > 0)
        Panel->SetBounds(Panel->Left(), Panel->Top(), ObjWidth, ObjHeight);
}

void TPanelObj::TakeStyle(const TProperties& props)
{
    AlignmentType align = AlignNone;
    if (props.GetVertAlign(align))
        VertAlign = align;
    if (props.GetFloat(align) && (align == AlignLeft || align == AlignRight)) {
        if (HSpaceR == 0)
            HSpaceL = HSpaceR = 3;
        VertAlign = align;
    }
}

void TPanelObj::Draw(platform::Canvas*, int, TFontObj*, int, int) {}

std::unique_ptr<TFloatingObj> TPanelObj::Copy(TSectionList* newRoot) const
{
    auto copy = std::make_unique<TPanelObj>(newRoot, true, nullptr);
    copy->Pos = Pos;
    copy->ObjWidth = ObjWidth;
    copy->ObjHeight = ObjHeight;
    copy->VertAlign = VertAlign;
    copy->HSpaceL = HSpaceL;
    copy->HSpaceR = HSpaceR;
    copy->VSpaceT = VSpaceT;
    copy->VSpaceB = VSpaceB;
    copy->SpecWidth = SpecWidth;
    copy->SpecHeight = SpecHeight;
    copy->PercentWidth = PercentWidth;
    copy->PercentHeight = PercentHeight;
    copy->Title = Title;
    copy->AltText = AltText;
    copy->ImageKnown = ImageKnown;
    copy->NaturalWidth = NaturalWidth;
    copy->NaturalHeight = NaturalHeight;
    return copy;
}

void TPanelObj::PlacePanel(platform::Canvas*, int X, int Y)
{
    ShownInPaint = true;
    DrawXX = X;
    DrawYY = Y + (Root ? Root->YOffset : 0);
    if (IsCopy)
        return;
    Panel->SetBounds(X, Y, std::max(1, ObjWidth), std::max(1, ObjHeight));
    Panel->SetVisible(true);
}

void TPanelObj::HidePanel()
{
    if (IsCopy)
        return;
    Panel->SetVisible(false);
    Panel->SetBounds(OutOfView, OutOfView, Panel->Width(), Panel->Height());
}
