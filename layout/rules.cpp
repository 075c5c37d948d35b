#include "layout/rules.h"

#include <algorithm>

#include "layout/indentmanager.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "core/attributes.h"
#include "core/seltext.h"
#include "style/properties.h"

namespace {

constexpr platform::TColor NoLineColor = 0x1FFFFFFF;

}  // namespace

THorzLine::THorzLine(TSectionList* root, TProperties& properties, const TAttributeList* attributes)
{
    Root = root;
    if (attributes) {
        for (int i = 0; i < attributes->Count(); ++i) {
            const TAttribute& a = *(*attributes)[i];
            switch (a.Sym) {
            case AlignSy: {
                const std::string v = LowerCase(a.StrValue);
                if (v == "left")
                    Alignment = 1;
                else if (v == "right")
                    Alignment = 3;
                break;
            }
            case WidthSy:
                if (a.StrValue.find('%') != std::string::npos) {
                    if (a.NumValue > 0 && a.NumValue <= 100)
                        properties.Values[piWidth] = TPropValue::FromText(std::to_string(a.NumValue) + "%");
                } else if (a.NumValue > 0) {
                    properties.Values[piWidth] = TPropValue::FromInt(a.NumValue);
                }
                break;
            case SizeSy:
                if (a.NumValue >= 1 && a.NumValue <= 20)
                    Thickness = a.NumValue;
                break;
            case ColorSy: {
                platform::TColor c;
                if (ParseColor(a.StrValue, false, c)) {
                    properties.Values[piColor] = TPropValue::FromInt(std::int32_t(c));
                    properties.Explicit[piColor] = true;
                }
                break;
            }
            case NoShadeSy:
                NoShade = true;
                break;
            default:
                break;
            }
        }
    }
    properties.Values[piHeight] = TPropValue::FromInt(Thickness);
    if (properties.GetColor() != NoColor)
        Color = properties.GetColor();
    if (properties.Explicit[piTextAlign] && properties.Values[piTextAlign].IsText()) {
        const std::string& align = properties.Values[piTextAlign].Text();
        if (align == "left")
            Alignment = 1;
        else if (align == "right")
            Alignment = 3;
        else if (align == "center")
            Alignment = 2;
    }
}

void THorzLine::Duplicate(TSectionList* newRoot, const TSectionBase& source)
{
    TSectionBase::Duplicate(newRoot, source);
    const auto& line = static_cast<const THorzLine&>(source);
    Thickness = line.Thickness;
    Color = line.Color;
    Alignment = line.Alignment;
    NoShade = line.NoShade;
}

void THorzLine::CopySelection()
{
    // Copied text breaks at rules.
    if (Root && Root->SelectionSink)
        Root->SelectionSink->PutLine(nullptr, 0);
}

int THorzLine::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                      int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    TSectionBase::Layout(canvas, X, Y, refX, refY, availWidth, availHeight, blockHeight, indent, maxWidth, cursor);
    const int leftEdge = indent ? indent->LeftIndent(Y) : X;
    const int rightEdge = indent ? indent->RightSide(Y) : X + availWidth;
    Left = std::max(X, leftEdge);
    LineWidth = std::min(X + availWidth - Left, rightEdge - Left);
    maxWidth = LineWidth;
    SectionHeight = Thickness;
    DrawHeight = Thickness;
    ContentBottom = Y + Thickness;
    DrawBottom = Y + Thickness;
    return Thickness;
}

int THorzLine::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                     int refY)
{
    const int result = TSectionBase::Paint(canvas, clip, indent, X, refX, refY);
    if (!canvas || !Root)
        return result;
    const int y = YDraw - Root->YOffset;
    if (y + Thickness <= clip.Top || y >= clip.Bottom)
        return result;
    if (Root->Printing && YDraw >= Root->PageBottom)
        return result;
    const int right = X + LineWidth - 1;
    if (Color != NoLineColor) {
        canvas->FillRect(platform::Rect{X, y, right + 1, y + Thickness}, Color | platform::PaletteRelative);
        return result;
    }
    const platform::TColor background = Root->Background;
    const bool lightBackground = Root->Printing || (background & 0xFFFFFF) == 0xFFFFFF ||
                                 (background == platform::clWindow &&
                                  platform::ColorToRGB(platform::clWindow) == platform::clWhite);
    const bool monochrome = Root->Printing && canvas->Target() &&
                            canvas->Target()->Format() == platform::PixelFormat::pf1bit;
    const bool dark = NoShade || monochrome;
    const int saved = canvas->SaveDC();
    canvas->SetPen({dark ? platform::clBlack : (lightBackground ? platform::clSilver : platform::clBtnHighlight), 1,
                    platform::PenStyle::Solid});
    canvas->MoveTo(right, y);
    canvas->LineTo(right, y + Thickness - 1);
    canvas->LineTo(X, y + Thickness - 1);
    canvas->SetPen({dark ? platform::clBlack : platform::clBtnShadow, 1, platform::PenStyle::Solid});
    canvas->LineTo(X, y);
    canvas->LineTo(right, y);
    canvas->RestoreDC(saved);
    return result;
}

int TPage::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                 int refY)
{
    const int result = TSectionBase::Paint(canvas, clip, indent, X, refX, refY);
    if (Root && Root->Printing) {
        const int y = YDraw - Root->YOffset;
        if (y > clip.Top + 5 && y < clip.Bottom && YDraw < Root->PageBottom)
            Root->PageBottom = YDraw;
    }
    return result;
}
