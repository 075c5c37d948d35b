// The blocks around a table: TTableBlock gives the table its margins, width, alignment, background and
// border frame and moves it beside floats; TTableAndCaptionBlock stacks a caption with the table block.

#include <algorithm>

#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/canvas.h"
#include "core/attributes.h"

namespace {

constexpr TColor PaletteFlag = 0x02000000;

int Px(int v) { return v == AutoValue || v == NotSet ? 0 : v; }

bool SetsBorder(const TProperties& props)
{
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        const TPropValue& v = props.Values[std::size_t(i)];
        if (v.IsText() && !v.TextIs("none"))
            return true;
    }
    return props.Values[piBorderStyle].IsText() && !props.Values[piBorderStyle].TextIs("none");
}

}  // namespace

// ---------------------------------------------------------------- TTableBlock

TTableBlock::TTableBlock(TSectionList* root, TAttributeList* attributes, std::unique_ptr<ThtmlTable> table,
                         TCellBasic* ownerCell, TProperties& props)
    // Margins of a table block are not collapsed with the block before it: no owner cell while made.
    : TBlock(root, attributes, nullptr, props), Table(table.get())
{
    OwnerCell = ownerCell;
    if (attributes)
        for (const auto& a : *attributes) {
            switch (a->Sym) {
            case AlignSy:
                if (SameText(a->StrValue, "center")) {
                    TableAlign = 2;
                } else if (SameText(a->StrValue, "left") || SameText(a->StrValue, "right")) {
                    AlignmentType styled = AlignNone;
                    if (!props.GetFloat(styled) || styled == AlignNone)
                        FloatLR = SameText(a->StrValue, "left") ? AlignLeft : AlignRight;
                }
                break;
            case BGColorSy:
                if (ParseColor(a->StrValue, false, BgColor)) {
                    BgColor |= PaletteFlag;
                    HasBgColor = true;
                }
                break;
            case BackgroundSy:
                BGImageName = a->StrValue;
                BGPos[0] = BackgroundPos{BgLength, 0, false, false};
                BGPos[1] = BackgroundPos{BgLength, 0, false, false};
                break;
            case WidthSy:
                if (a->StrValue.find('%') != std::string::npos) {
                    if (a->NumValue >= 1 && a->NumValue <= 100) {
                        SpecWidth = a->NumValue * 10;
                        SpecWidthPercent = true;
                    }
                } else if (a->NumValue > 0) {
                    SpecWidth = std::min(a->NumValue, 1000000);
                }
                break;
            case HeightSy:
                if (FProps->Explicit[piHeight] || a->NumValue <= 0)
                    break;
                if (a->StrValue.find('%') == std::string::npos)
                    FProps->Values[piHeight] = TPropValue::FromInt(std::min(a->NumValue, 1000000));
                else
                    FProps->Values[piHeight] = TPropValue::FromText(std::to_string(std::min(a->NumValue, 100)) + "%");
                break;
            case HSpaceSy: HSpace = std::min(std::abs(a->NumValue), 40); break;
            case VSpaceSy: VSpace = std::min(std::abs(a->NumValue), 200); break;
            default: break;
            }
        }
    if (Table->Border > 0 && !SetsBorder(props)) {
        for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i)
            FProps->Values[std::size_t(i)] = TPropValue::FromInt(Table->Border);
        for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
            FProps->Values[std::size_t(i)] = TPropValue::FromText("outset");
        BorderStyle = bssOutset;
        HtmlBorder = true;
    }
    const TPropValue& w = props.Values[piWidth];
    if (w.IsText() && Contains(w.Text(), "%")) {
        double n = 0;
        std::string unit;
        SplitNumberUnit(w.Text(), n, unit);
        if (n > 0) {
            SpecWidth = std::min(1000, platform::Round(n * 10));
            SpecWidthPercent = true;
        }
    } else {
        MarginArray m{};
        int autoCount = 0;
        props.ConvMargArray(0, 0, EmSize, ExSize, m, autoCount);
        if (m[piWidth] > 0) {
            SpecWidth = m[piWidth];
            SpecWidthPercent = false;
        }
    }
    // The style's width is the table's width here, not the block's.
    FProps->Values[piWidth] = TPropValue::FromText("auto");
    Table->IsFloating = IsFloating();
    if (IsFloating() && ZIndex == 0)
        ZIndex = 1;
    // Cells without a background of their own take the table's colour (not over a background picture).
    const TColor styled = props.GetBackgroundColor();
    if (BGImageName.empty() && (styled != NoColor || HasBgColor)) {
        Table->HasBkInherit = true;
        Table->BkInheritColor = styled != NoColor ? TColor(styled | PaletteFlag) : BgColor;
    }
    MyCell->Add(std::move(table));
    (*MyCell)[0]->Root = root;
}

void TTableBlock::GiveVerticalMargins(int& top, int& bottom)
{
    top = FMarginTop;
    bottom = FMarginBottom;
    FMarginTop = FMarginBottom = 0;
}

int TTableBlock::ContentFor(platform::Canvas* canvas, int A, int L, int R)
{
    const int P = MargArray[piPaddingLeft] + MargArray[piPaddingRight] + MargArray[piBorderLeftWidth] +
                  MargArray[piBorderRightWidth];
    int mn = 0, mx = 0;
    if (SpecWidth <= 0) {
        Table->SpecWidth = 0;
        Table->MeasureWidths(canvas, mn, mx);
        return A - L - R < mx ? std::max(mn, A - L - R) : mx;
    }
    const int given = std::max(0, SpecWidthPercent ? platform::MulDiv(A, SpecWidth, 1000) - L - R : SpecWidth - P);
    Table->SpecWidth = given;
    Table->MeasureWidths(canvas, mn, mx);
    return std::max(mn, given);
}

int TTableBlock::WantedWidth(platform::Canvas* canvas, int A)
{
    int autoCount = 0;
    FProps->ConvMargArray(A, 0, EmSize, ExSize, MargArray, autoCount);
    const int L = Px(MargArray[piMarginLeft]) + MargArray[piPaddingLeft] + MargArray[piBorderLeftWidth];
    const int R = Px(MargArray[piMarginRight]) + MargArray[piPaddingRight] + MargArray[piBorderRightWidth];
    return L + ContentFor(canvas, A, L, R) + R;
}

int TTableBlock::FindWidth(platform::Canvas* canvas, int A, int, int)
{
    int& ml = MargArray[piMarginLeft];
    int& mr = MargArray[piMarginRight];
    if (!HasCaption) {
        ml = Px(ml);
        mr = Px(mr);
    }
    if (IsFloating() && ml == 0 && mr == 0 && (HSpace > 0 || VSpace > 0)) {
        ml = mr = HSpace;
        FMarginTop = FMarginBottom = VSpace;
        MargArray[piMarginTop] = MargArray[piMarginBottom] = VSpace;
    }
    if (TColor(MargArray[piBackgroundColor]) == NoColor && HasBgColor)
        MargArray[piBackgroundColor] = int(BgColor);
    if (BGImageName.empty() && TColor(MargArray[piBackgroundColor]) != NoColor) {
        Table->HasBkInherit = true;
        Table->BkInheritColor = TColor(MargArray[piBackgroundColor]);
    }
    ml = Px(ml);
    mr = Px(mr);
    const int L = ml + MargArray[piPaddingLeft] + MargArray[piBorderLeftWidth];
    const int R = mr + MargArray[piPaddingRight] + MargArray[piBorderRightWidth];
    int width = 0;
    if (HasCaption) {
        width = std::max(0, WrapperWidth - L - R);
        if (Table->SpecWidth > 0)
            Table->SpecWidth = width;
    } else {
        width = ContentFor(canvas, A, L, R);
    }
    if (ml == 0 && mr == 0 && width + L + R < A) {
        if (TableAlign == 2)
            ml = (A - width - L - R) / 2;
        else if (TableAlign == 3)
            ml = A - width - L - R;
    }
    return std::max(0, width);
}

int TTableBlock::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                        int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    XShift = 0;
    if (!IsFloating() && Positioning != PosAbsolute && indent) {
        const int x = std::max(X, indent->LeftIndent(Y));
        availWidth = std::max(0, std::min(X + availWidth, indent->RightSide(Y)) - x);
        XShift = x - X;
        X = x;
    }
    // A table fills only the height it is given: without a height of its own it takes its rows' heights
    // instead of stretching them to the room the view has.
    const TPropValue& h = FProps->Values[piHeight];
    const bool hasHeight = (h.IsText() && !h.TextIs("auto")) || (h.IsOrdinal() && h.Int() > 0);
    if (!hasHeight)
        availHeight = blockHeight = 0;
    return TBlock::Layout(canvas, X, Y, refX, refY, availWidth, availHeight, blockHeight, indent, maxWidth, cursor);
}

int TTableBlock::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                       int refY)
{
    return TBlock::Paint(canvas, clip, indent, X + XShift, refX, refY);
}

void TTableBlock::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayNone)
        return;
    MarginArray m{};
    int autoCount = 0;
    FProps->ConvMargArray(0, 400, EmSize, ExSize, m, autoCount);
    const int P = m[piPaddingLeft] + m[piPaddingRight] + m[piBorderLeftWidth] + m[piBorderRightWidth];
    const int margins = Px(m[piMarginLeft]) + Px(m[piMarginRight]);
    const int pixel = SpecWidth > 0 && !SpecWidthPercent ? SpecWidth : 0;
    Table->SpecWidth = pixel > 0 ? std::max(0, pixel - P) : 0;
    Table->MeasureWidths(canvas, minWidth, maxWidth);
    minWidth += P + margins;
    maxWidth += P + margins;
    if (pixel > 0)
        minWidth = maxWidth = std::max(minWidth, pixel + margins);
}

void TTableBlock::RegisterPosition() { Table->RegisterPosition(); }

void TTableBlock::DrawBorders(platform::Canvas* canvas, const platform::Rect& borderBox, const platform::Rect& pad)
{
    if (!HtmlBorder) {
        TBlock::DrawBorders(canvas, borderBox, pad);
        return;
    }
    TColor light = Table->BorderColorLight, dark = Table->BorderColorDark;
    if (light == platform::clBtnHighlight && dark == platform::clBtnShadow) {
        const T3DFrameColors c = Default3DFrameColors(Root->Printing, false, Root->Background);
        light = c.Light;
        dark = c.Dark;
    }
    Draw3DFrame(*canvas, pad.Left - 1, pad.Top - 1, pad.Right, pad.Bottom, Table->Border, true, dark, light);
}

// ---------------------------------------------------------------- TTableAndCaptionBlock

TTableAndCaptionBlock::TTableAndCaptionBlock(TSectionList* root, TAttributeList* attributes, TTableBlock* tableBlock,
                                             TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, nullptr, props), TableBlock(tableBlock)
{
    OwnerCell = ownerCell;
    TagClass = "TableAndCaption.";
    BGImageName.clear();
    BorderStyle = bssNone;
    TableAlign = tableBlock->TableAlign;
    if (attributes)
        for (const auto& a : *attributes) {
            if (a->Sym == AlignSy) {
                if (SameText(a->StrValue, "center")) {
                    TableAlign = 2;
                } else if (SameText(a->StrValue, "left") || SameText(a->StrValue, "right")) {
                    AlignmentType styled = AlignNone;
                    if (!props.GetFloat(styled) || styled == AlignNone)
                        FloatLR = SameText(a->StrValue, "left") ? AlignLeft : AlignRight;
                }
            } else if (a->Sym == IDSy) {
                TableID = a->StrValue;
                if (Root->IDNames)
                    Root->IDNames->AddName(TableID, tableBlock);
            }
        }
    if (IsFloating() && ZIndex == 0)
        ZIndex = 1;
    // The wrapper's own box is only a frame for the pair: no margins, padding, border or background.
    FProps->Values[piWidth] = TPropValue::FromText("auto");
    for (int i = piMarginRight; i <= piBorderLeftWidth; ++i)
        if (i != piMarginBottom)
            FProps->Values[std::size_t(i)] = TPropValue::FromInt(0);
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
        FProps->Values[std::size_t(i)] = TPropValue::FromText("none");
    FProps->Values[piBackgroundColor].Clear();
    FProps->Values[piBorderStyle].Clear();
}

void TTableAndCaptionBlock::SetCaption(TBlock* caption)
{
    CaptionBlock = caption;
    TableBlock->HasCaption = true;
    TableBlock->GiveVerticalMargins(FMarginTop, FMarginBottom);
}

int TTableAndCaptionBlock::FindWidth(platform::Canvas* canvas, int A, int, int)
{
    for (int i = piMarginRight; i <= piBorderLeftWidth; ++i)
        if (i != piMarginBottom && i != piMarginTop)
            MargArray[std::size_t(i)] = 0;
    MargArray[piBackgroundColor] = int(NoColor);
    TableBlock->FloatLR = AlignNone;
    TableBlock->Table->IsFloating = false;
    int capMin = 0, capMax = 0;
    if (CaptionBlock)
        CaptionBlock->MeasureWidths(canvas, capMin, capMax);
    const int width = std::max(TableBlock->WantedWidth(canvas, A), capMin);
    if (width < A && !IsFloating()) {
        if (TableAlign == 2)
            MargArray[piMarginLeft] = (A - width) / 2;
        else if (TableAlign == 3)
            MargArray[piMarginLeft] = A - width;
    }
    TableBlock->WrapperWidth = width;
    TableBlock->TableAlign = 2;
    return width;
}

void TTableAndCaptionBlock::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    TableBlock->MeasureWidths(canvas, minWidth, maxWidth);
    int capMin = 0, capMax = 0;
    if (CaptionBlock)
        CaptionBlock->MeasureWidths(canvas, capMin, capMax);
    minWidth = std::max(minWidth, capMin);
    maxWidth = std::max(maxWidth, capMin);
}

int TTableAndCaptionBlock::DocPosOf(int sourceIndex, bool previous)
{
    TSectionBase* first = previous ? static_cast<TSectionBase*>(TableBlock) : CaptionBlock;
    TSectionBase* second = previous ? static_cast<TSectionBase*>(CaptionBlock) : TableBlock;
    for (TSectionBase* item : {first, second})
        if (item)
            if (const int pos = item->DocPosOf(sourceIndex, previous); pos >= 0)
                return pos;
    return NoPosition;
}
