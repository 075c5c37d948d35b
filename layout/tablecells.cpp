// Table cells and rows: what a TD, TH or TR carries, how a cell's content is laid out inside its box and
// aligned vertically, and how a cell's box is drawn (background, content clipped to the box, border).

#include <algorithm>

#include "layout/backgroundtile.h"
#include "layout/borders.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/canvas.h"
#include "platform/region.h"
#include "core/attributes.h"
#include "images/imagecache.h"

namespace {

constexpr TColor PaletteFlag = 0x02000000;

bool HasPercent(const TAttribute& a) { return a.StrValue.find('%') != std::string::npos; }

// The picture of a name through the root's image cache; none when it cannot be had.
platform::Bitmap* CellPicture(TSectionList& root, const std::string& name, platform::Bitmap*& mask)
{
    const std::string file = root.OnExpandName ? root.OnExpandName(name) : name;
    TTranspType transp = NotTransp;
    bool delayed = false, fromCache = false;
    mask = nullptr;
    TPictureObject* picture = root.RequestImage(file, transp, delayed, fromCache, mask);
    if (!picture || !picture->Bitmap() || picture->Bitmap()->Empty())
        return nullptr;
    return picture->Bitmap();
}

// Limits drawing to a rectangle and puts the previous clip back afterwards, also when drawing fails.
class CellClip {
public:
    CellClip(platform::Canvas* canvas, const platform::Rect& r) : FCanvas(canvas), FHad(canvas->HasClip())
    {
        if (FHad)
            FSaved = canvas->GetClipRegion();
        canvas->IntersectClipRect(r);
    }
    ~CellClip() { FCanvas->SelectClipRgn(FHad ? &FSaved : nullptr); }
    CellClip(const CellClip&) = delete;
    CellClip& operator=(const CellClip&) = delete;

private:
    platform::Canvas* FCanvas;
    bool FHad;
    platform::Region FSaved;
};

int ClampCoord(int v) { return std::clamp(v, -32000, 32000); }

}  // namespace

// ---------------------------------------------------------------- TCellObj

TCellObj::TCellObj(TSectionList* root, TProperties& props, TAttributeList* attributes, AlignmentType vAlign)
    : VAlign(vAlign), Cell(std::make_unique<TCell>(root))
{
    EmSize = props.EmHeight;
    ExSize = props.ExHeight;
    if (attributes)
        for (const auto& a : *attributes) {
            switch (a->Sym) {
            case ColSpanSy:
                if (a->NumValue > 1)
                    ColSpan = std::min(a->NumValue, MaxColSpan);
                break;
            case RowSpanSy:
                if (a->NumValue > 1)
                    RowSpan = std::min(a->NumValue, MaxRowSpan);
                break;
            case WidthSy:
                if (HasPercent(*a)) {
                    if (a->NumValue >= 1 && a->NumValue <= 100) {
                        SpecWidth = a->NumValue * 10;
                        SpecWidthPercent = true;
                    }
                } else if (a->NumValue > 0) {
                    SpecWidth = std::min(a->NumValue, 1000000);
                }
                break;
            case HeightSy:
                if (HasPercent(*a))
                    SpecHeightPercent = std::clamp(a->NumValue, 0, 100);
                else if (a->NumValue > 0)
                    SpecHeight = std::min(a->NumValue, 1000000);
                break;
            case BGColorSy: {
                TColor c = 0;
                if (ParseColor(a->StrValue, false, c)) {
                    Cell->BkGnd = true;
                    Cell->BkColor = c | PaletteFlag;
                }
                break;
            }
            case BackgroundSy: BkImageName = a->StrValue; break;
            default: break;
            }
        }

    MarginArray m{};
    int autoCount = 0;
    props.ConvMargArray(0, 0, EmSize, ExSize, m, autoCount);
    if (m[piHeight] > 0)
        SpecHeight = m[piHeight];
    const TPropValue& w = props.Values[piWidth];
    if (w.IsText() && Contains(w.Text(), "%")) {
        double n = 0;
        std::string unit;
        SplitNumberUnit(w.Text(), n, unit);
        if (n > 0 && n < 100) {
            SpecWidth = platform::Round(n * 10);
            SpecWidthPercent = true;
        }
    } else if (m[piWidth] > 0) {
        SpecWidth = m[piWidth];
        SpecWidthPercent = false;
    }
    AlignmentType styled = AlignNone;
    if (props.GetVertAlign(styled) && (styled == AlignTop || styled == AlignMiddle || styled == AlignBottom))
        VAlign = styled;
    const TColor bk = props.GetBackgroundColor();
    if (bk != NoColor) {
        Cell->BkGnd = true;
        Cell->BkColor = bk | PaletteFlag;
    }
    std::string image;
    if (props.GetBackgroundImage(image))
        BkImageName = image;
    props.GetBackgroundPos(EmSize, ExSize, BGPos[0], BGPos[1]);

    props.ConvCellPadding(EmSize, ExSize, PadTop, PadRight, PadBottom, PadLeft);
    const int styles[4] = {piBorderLeftStyle, piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle};
    const int colours[4] = {piBorderLeftColor, piBorderTopColor, piBorderRightColor, piBorderBottomColor};
    const TColor text = props.Values[piColor].IsOrdinal() ? TColor(props.Values[piColor].Int()) : 0;
    for (int i = 0; i < 4; ++i) {
        BorderSides.Style[i] = BorderStyleType(m[std::size_t(styles[i])]);
        const TPropValue& v = props.Values[std::size_t(colours[i])];
        BorderSides.Color[i] = v.IsOrdinal() && v.Int() != NotSet ? TColor(v.Int()) : text;
        if (BorderSides.Style[i] != bssNone)
            HasBorderStyle = true;
    }
    BrdTop = std::max(0, m[piBorderTopWidth]);
    BrdRight = std::max(0, m[piBorderRightWidth]);
    BrdBottom = std::max(0, m[piBorderBottomWidth]);
    BrdLeft = std::max(0, m[piBorderLeftWidth]);
    props.GetPageBreaks(BreakBefore, BreakAfter, KeepIntact);
}

TCellObj* TCellObj::Dummy()
{
    static TCellObj* const dummy = [] {
        auto* d = new TCellObj();  // lives as long as the program: rows of every table point at it
        d->ColSpan = 0;
        d->RowSpan = 0;
        return d;
    }();
    return dummy;
}

std::unique_ptr<TCellObj> TCellObj::Empty() { return std::unique_ptr<TCellObj>(new TCellObj()); }

TCellObj::~TCellObj() = default;

void TCellObj::Duplicate(TSectionList* newRoot, const TCellObj& s)
{
    ColSpan = s.ColSpan;
    RowSpan = s.RowSpan;
    SpanWidth = s.SpanWidth;
    SpanHeight = s.SpanHeight;
    ContentHeight = s.ContentHeight;
    SpecHeight = s.SpecHeight;
    SpecHeightPercent = s.SpecHeightPercent;
    YIndent = s.YIndent;
    VAlign = s.VAlign;
    SpecWidth = s.SpecWidth;
    SpecWidthPercent = s.SpecWidthPercent;
    EmSize = s.EmSize;
    ExSize = s.ExSize;
    BGPos[0] = s.BGPos[0];
    BGPos[1] = s.BGPos[1];
    PadTop = s.PadTop, PadRight = s.PadRight, PadBottom = s.PadBottom, PadLeft = s.PadLeft;
    BrdTop = s.BrdTop, BrdRight = s.BrdRight, BrdBottom = s.BrdBottom, BrdLeft = s.BrdLeft;
    HzSpace = s.HzSpace;
    VSpace = s.VSpace;
    HasBorderStyle = s.HasBorderStyle;
    BorderSides = s.BorderSides;
    if (newRoot && newRoot->PrintTableBackground)
        BkImageName = s.BkImageName;
    if (s.Cell) {
        Cell = std::make_unique<TCell>(newRoot);
        Cell->BkGnd = s.Cell->BkGnd;
        Cell->BkColor = s.Cell->BkColor;
        // The content is copied item by item by the kinds that know how; items without a copy stay out.
        Cell->StartCursor = s.Cell->StartCursor;
        Cell->CharCount = s.Cell->CharCount;
    }
}

void TCellObj::PrepareSpaces(int cellPadding, const std::string& rowImage, bool tableHasBorder,
                             const BackgroundPos* rowPos)
{
    for (int* p : {&PadTop, &PadRight, &PadBottom, &PadLeft})
        if (*p < 0)
            *p = cellPadding;
    if (tableHasBorder && !HasBorderStyle)
        for (int* b : {&BrdTop, &BrdRight, &BrdBottom, &BrdLeft})
            *b = std::max(1, *b);
    HzSpace = PadLeft + BrdLeft + BrdRight + PadRight;
    VSpace = PadTop + BrdTop + BrdBottom + PadBottom;
    if (BkImageName.empty() && !rowImage.empty()) {
        BkImageName = rowImage;
        if (rowPos) {
            BGPos[0] = rowPos[0];
            BGPos[1] = rowPos[1];
        }
    }
}

void TCellObj::LayoutContent(platform::Canvas* canvas, int Y, int cellSpacing, int& cursor)
{
    if (!Cell)
        return;
    // The background picture is had for empty cells too: they show it like their colour.
    if (!BkImageName.empty() && Cell->Root && Cell->Root->ShowImages && !BkLoaded) {
        BkBitmap = CellPicture(*Cell->Root, BkImageName, BkMask);
        if (!BkBitmap)
            BkImageName.clear();  // a picture that cannot be had is dropped; the cell is drawn without it
        else
            BkLoaded = true;
    }
    if (Cell->Count() == 0) {
        Cell->StartCursor = cursor;
        Cell->CharCount = 0;
        YIndent = 0;
        return;
    }
    const int D = SpanHeight - ContentHeight - (VSpace + cellSpacing);
    switch (VAlign) {
    case AlignTop: YIndent = 0; break;
    case AlignMiddle: YIndent = D / 2; break;
    case AlignBaseline:
    case AlignBottom: YIndent = D; break;
    default: break;
    }
    int maxWidth = 0;
    Cell->LayoutCell(canvas, Y + cellSpacing + PadTop + BrdTop + YIndent, std::max(0, SpanWidth - HzSpace - cellSpacing),
                     std::max(0, SpanHeight - VSpace - cellSpacing), 0, maxWidth, cursor);
}

void TCellObj::PaintCellBox(platform::Canvas* canvas, const platform::Rect& clip, int X, int Y, int cs,
                            bool tableHasBorder, TColor light, TColor dark)
{
    if (!Cell)
        return;
    TSectionList* root = Cell->Root;
    const int sy = Y - root->YOffset;
    const platform::Rect box{X + cs, sy + cs, X + SpanWidth, sy + SpanHeight};
    const platform::Rect padding{box.Left + BrdLeft, box.Top + BrdTop, box.Right - BrdRight, box.Bottom - BrdBottom};
    const bool backgrounds = !(root->Printing && !root->PrintTableBackground);
    if (Cell->BkGnd && backgrounds) {
        platform::Rect fill = padding;
        if (tableHasBorder && !HasBorderStyle) {
            fill.Left -= 1;
            fill.Top -= 1;
        }
        fill.Left = std::max(fill.Left, clip.Left);
        fill.Top = std::max(fill.Top, clip.Top - 2);
        fill.Right = std::min(fill.Right, clip.Right);
        fill.Bottom = std::min(fill.Bottom, clip.Bottom);
        if (fill.Left < fill.Right && fill.Top < fill.Bottom)
            canvas->FillRect(fill, platform::ColorToRGB(Cell->BkColor & 0xFFFFFF));
    }
    if (BkLoaded && BkBitmap && backgrounds && root->ShowImages && padding.Left < padding.Right &&
        padding.Top < padding.Bottom)
        TileBackground(*canvas, padding, clip, *BkBitmap, BkMask, BGPos[0], BGPos[1]);

    if (Cell->Count() > 0 && box.Top < clip.Bottom + 200 && box.Bottom > clip.Top - 200) {
        CellClip scope(canvas, platform::Rect{ClampCoord(box.Left), ClampCoord(box.Top), ClampCoord(box.Right),
                                              ClampCoord(box.Bottom)});
        Cell->PaintCell(canvas, clip, std::max(0, SpanWidth - HzSpace - cs), X + cs + PadLeft + BrdLeft,
                        Y + PadTop + BrdTop + YIndent, 1000, 1000);
    }

    if (HasBorderStyle) {
        const TBorderSides& s = BorderSides;
        const bool thinSolid = BrdTop == 1 && BrdRight == 1 && BrdBottom == 1 && BrdLeft == 1 &&
                               s.Style[0] == bssSolid && s.Style[1] == bssSolid && s.Style[2] == bssSolid &&
                               s.Style[3] == bssSolid && s.Color[0] == s.Color[1] && s.Color[1] == s.Color[2] &&
                               s.Color[2] == s.Color[3];
        if (thinSolid)
            Draw3DFrame(*canvas, box.Left, box.Top, box.Right - 1, box.Bottom - 1, 1, false, s.Color[0], s.Color[0]);
        else
            DrawBorder(*canvas, box, padding, root->Printing, Cell->BkGnd ? Cell->BkColor : NoColor, s);
    } else if (tableHasBorder) {
        if (light == platform::clBtnHighlight && dark == platform::clBtnShadow) {
            const T3DFrameColors c = Default3DFrameColors(root->Printing, false, root->Background);
            light = c.Light;
            dark = c.Dark;
        }
        Draw3DFrame(*canvas, box.Left, box.Top, box.Right - 1, box.Bottom - 1, 1, false, dark, light);
    }
}

// ---------------------------------------------------------------- TCellList

TCellList::TCellList(TAttributeList* attributes, TProperties* props)
{
    if (attributes)
        for (const auto& a : *attributes) {
            switch (a->Sym) {
            case HeightSy:
                if (HasPercent(*a))
                    RowSpecHeightPercent = std::clamp(a->NumValue, 0, 100);
                else if (a->NumValue > 0)
                    RowSpecHeight = std::min(a->NumValue, 1000000);
                break;
            case BGColorSy: {
                TColor c = 0;
                if (ParseColor(a->StrValue, false, c)) {
                    BkGnd = true;
                    BkColor = c | PaletteFlag;
                }
                break;
            }
            case BackgroundSy: BkImage = a->StrValue; break;
            default: break;
            }
        }
    if (props) {
        const TColor bk = props->GetBackgroundColor();
        if (bk != NoColor) {
            BkGnd = true;
            BkColor = bk | PaletteFlag;
        }
        std::string image;
        if (props->GetBackgroundImage(image))
            BkImage = image;
        props->GetBackgroundPos(props->EmHeight, props->ExHeight, BkPos[0], BkPos[1]);
        props->GetPageBreaks(BreakBefore, BreakAfter, KeepIntact);
    }
}

void TCellList::AddCell(std::unique_ptr<TCellObj> cell)
{
    if (cell) {
        BreakBefore = BreakBefore || cell->BreakBefore;
        BreakAfter = BreakAfter || cell->BreakAfter;
        KeepIntact = KeepIntact || cell->KeepIntact;
        if (RowSpecHeight > 0)
            cell->SpecHeight = std::max(RowSpecHeight, cell->SpecHeight);
        else if (RowSpecHeightPercent > 0)
            cell->SpecHeightPercent = std::max(RowSpecHeightPercent, cell->SpecHeightPercent);
    }
    Cells.push_back(cell.get());
    if (cell)
        OwnedCells.push_back(std::move(cell));
}

void TCellList::ApplyRowBackground()
{
    if (!BkGnd)
        return;
    for (const auto& c : Cells)
        if (c && c->Cell && !c->Cell->BkGnd) {
            c->Cell->BkGnd = true;
            c->Cell->BkColor = BkColor;
        }
}

int TCellList::MeasureRow(platform::Canvas* canvas, const std::vector<int>& widths, int percentBase, int cs, int s,
                          int& desired, bool& heightGiven, bool& more)
{
    int height = 0;
    const int n = int(widths.size());
    for (int i = 0; i < Count(); ++i) {
        TCellObj* c = (*this)[i];
        if (!c || !c->Cell)
            continue;
        int w = 0;
        for (int k = i; k < std::min(n, i + c->ColSpan); ++k)
            w += widths[std::size_t(k)];
        c->SpanWidth = w;
        if (c->RowSpan == s) {
            const int d = c->SpecHeight > 0         ? c->SpecHeight
                          : c->SpecHeightPercent > 0 ? platform::MulDiv(c->SpecHeightPercent, percentBase, 100)
                                                     : 0;
            int maxWidth = 0, cursor = 0;
            c->ContentHeight = std::clamp(c->Cell->LayoutCell(canvas, 0, std::max(0, w - c->HzSpace - cs),
                                                              std::max(0, d - c->VSpace), 0, maxWidth, cursor),
                                          0, 100000000);
            height = std::max(height, c->ContentHeight + c->VSpace);
            if (c->SpecHeight > 0) {
                height = std::max(height, std::max(c->ContentHeight, c->SpecHeight));
                heightGiven = true;
            } else if (c->SpecHeightPercent > 0) {
                heightGiven = true;
                desired = std::max(desired, d);
            }
        } else if (c->RowSpan > s) {
            more = true;
        }
    }
    desired = std::max(height, desired);
    return height;
}

void TCellList::LayoutRow(platform::Canvas* canvas, int Y, int cs, int& cursor)
{
    RowY = Y;
    for (const auto& c : Cells)
        if (c && c->Cell)
            c->LayoutContent(canvas, Y, cs, cursor);
}

void TCellList::PaintRow(platform::Canvas* canvas, const platform::Rect& clip, int X, const std::vector<int>& widths,
                         int cs, bool border, TColor light, TColor dark)
{
    for (int i = 0; i < Count() && i < int(widths.size()); ++i) {
        if (TCellObj* c = (*this)[i]; c && c->Cell)
            c->PaintCellBox(canvas, clip, X, RowY, cs, border, light, dark);
        X += widths[std::size_t(i)];
    }
}
