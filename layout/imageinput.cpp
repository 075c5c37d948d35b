#include "layout/imageinput.h"

#include <algorithm>

#include "core/attributes.h"
#include "images/gifimage.h"
#include "images/imagecache.h"
#include "layout/formcontrols.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"

namespace {

constexpr int DefaultSize = 20;     // an image input without a picture
constexpr int MaxSize = 4000;

int SizeAttribute(const TAttributeList* attributes, Symbol sym)
{
    const TAttribute* a = attributes ? attributes->Find(sym) : nullptr;
    return a && a->NumValue > 0 && a->StrValue.find('%') == std::string::npos ? std::min(a->NumValue, MaxSize) : -1;
}

}  // namespace

TImageInputObj::TImageInputObj(TSectionList* root, TImageFormControlObj* control, const TAttributeList* attributes)
    : Root(root), Control(control)
{
    if (control)
        Source = control->Source;
    SpecWidth = SizeAttribute(attributes, WidthSy);
    SpecHeight = SizeAttribute(attributes, HeightSy);
    if (const TAttribute* a = attributes ? attributes->Find(AltSy) : nullptr)
        AltText = a->StrValue;
    if (control)
        Title = control->Title;
}

TFormControlObj* TImageInputObj::FormControl() const
{
    return Control;
}

void TImageInputObj::FormatObject(TSectionList* root, platform::Canvas*, int, int, TFontObj*)
{
    if (!Requested && root && root->ShowImages && !Source.empty()) {
        Requested = true;
        TTranspType transp = LLCorner;
        bool delayed = false, fromCache = false;
        Picture = root->RequestImage(Source, transp, delayed, fromCache, Mask);
    }
    int w = DefaultSize, h = DefaultSize;
    if (Picture && Picture->Bitmap()) {
        w = Picture->Bitmap()->Width();
        h = Picture->Bitmap()->Height();
    } else if (Picture && Picture->Gif()) {
        w = Picture->Gif()->Width();
        h = Picture->Gif()->Height();
    }
    ObjWidth = std::clamp(SpecWidth > 0 ? SpecWidth : w, 1, MaxSize);
    ObjHeight = std::clamp(SpecHeight > 0 ? SpecHeight : h, 1, MaxSize);
}

void TImageInputObj::Draw(platform::Canvas* canvas, int X, TFontObj*, int baseline, int lineTop)
{
    if (!canvas)
        return;
    const int top = VertAlign == AlignTop ? lineTop + VSpaceT : baseline - ObjHeight - VSpaceB;
    DrawYY = top;
    const int y = top - (Root ? Root->YOffset : 0);
    const platform::Rect dest{X, y, X + ObjWidth, y + ObjHeight};
    if (Picture && Picture->Bitmap()) {
        const platform::Bitmap& bitmap = *Picture->Bitmap();
        if (Mask)
            canvas->MaskedDraw(dest, bitmap, *Mask, platform::Rect{0, 0, bitmap.Width(), bitmap.Height()});
        else
            canvas->StretchDraw(dest, bitmap);
    } else if (Picture && Picture->Gif()) {
        Picture->Gif()->Draw(*canvas, X, y, ObjWidth, ObjHeight);
    } else {
        canvas->FrameRect(dest, 0x808080);
    }
    if (Control && Control->Focused() && Root && !Root->IsCopy) {
        const platform::TColor oldText = canvas->SetTextColor(0);
        canvas->SetBrushColor(0xFFFFFF);
        canvas->DrawFocusRect(dest);
        canvas->SetTextColor(oldText);
    }
}

std::unique_ptr<TFloatingObj> TImageInputObj::Copy(TSectionList* newRoot) const
{
    auto copy = std::make_unique<TImageInputObj>(newRoot, Control, nullptr);
    copy->Pos = Pos;
    copy->ObjWidth = ObjWidth;
    copy->ObjHeight = ObjHeight;
    copy->VertAlign = VertAlign;
    copy->SpecWidth = SpecWidth;
    copy->SpecHeight = SpecHeight;
    copy->Picture = Picture;  // shared with the document it was copied from
    copy->Mask = Mask;
    copy->Requested = true;
    copy->Title = Title;
    copy->AltText = AltText;
    return copy;
}
