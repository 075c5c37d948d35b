// Blocks: margins collapsed against the block before, borders, padding, a set width, background colour,
// clear, list markers and the body, around a cell of content.

#include "layout/blocks.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "layout/backgroundtile.h"
#include "layout/borders.h"
#include "layout/imageobj.h"
#include "layout/rules.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "platform/region.h"
#include "core/attributes.h"
#include "images/imagecache.h"
#include "core/seltext.h"

namespace {

std::unique_ptr<TProperties> CopyProps(const TProperties& props)
{
    auto copy = std::make_unique<TProperties>();
    copy->CopySlots(props);
    copy->Explicit = props.Explicit;
    copy->EmHeight = props.EmHeight;
    copy->ExHeight = props.ExHeight;
    copy->ElemTag = props.ElemTag;
    copy->ElemClass = props.ElemClass;
    return copy;
}

int Collapse(int a, int b)
{
    if (a >= 0 && b >= 0)
        return std::max(a, b);
    if (a < 0 && b < 0)
        return std::min(a, b);
    return a + b;
}

int Pixels(int v) { return v == AutoValue || v == NotSet ? 0 : v; }

// How far the floats of one side reach at Y: the rightmost edge of the left floats, the leftmost edge of
// the right ones (document X); without a float there, a value no box can cross.
int FloatReach(const IndentManager& im, bool leftSide, int Y)
{
    constexpr int OpenBottom = 9999999;  // block edges stay open downwards; floats end
    int reach = leftSide ? INT_MIN : INT_MAX;
    for (const auto& r : leftSide ? im.LeftList : im.RightList)
        if (r->Block == nullptr && r->YBottom < OpenBottom && r->YTop <= Y && Y < r->YBottom)
            reach = leftSide ? std::max(reach, r->Edge + im.LfEdge) : std::min(reach, r->Edge + im.LfEdge);
    return reach;
}

}  // namespace

// ---------------------------------------------------------------- TBlock

TBlock::TBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props)
    : MyCell(std::make_unique<TBlockCell>(root)), OwnerCell(ownerCell), TagClass(props.ElemTag + "." + props.ElemClass),
      FProps(CopyProps(props))
{
    Root = root;
    MyCell->OwnerBlock = this;
    EmSize = props.EmHeight;
    ExSize = props.ExHeight;
    props.GetClear(ClearAttr);
    AlignmentType floatSide = AlignNone;
    if (props.GetFloat(floatSide) && (floatSide == AlignLeft || floatSide == AlignRight))
        FloatLR = floatSide;
    BorderStyle = props.GetBorderStyle();
    DisplayNone = props.DisplayNone();
    if (attributes)
        if (TAttribute* title = attributes->Find(TitleSy))
            Title = title->StrValue;
    std::string image;
    if (props.GetBackgroundImage(image) && !image.empty()) {
        BGImageName = image;
        props.GetBackgroundPos(EmSize, ExSize, BGPos[0], BGPos[1]);
    }
    Positioning = props.GetPosition();
    if (Positioning == PosAbsolute)
        FloatLR = AlignNone;
    Visibility = props.GetVisibility();
    props.GetPageBreaks(BreakBefore, BreakAfter, KeepIntact);
    if (Positioning != PosStatic) {
        // Scaled by ten so that the implicit orders below (1) stay under every explicit positive one.
        ZIndex = 10 * std::clamp(props.GetZIndex(), -100000000, 100000000);
        if (Positioning == PosAbsolute) {
            if (ZIndex == 0)
                ZIndex = 1;
            FOwnIMgr = std::make_unique<IndentManager>();
        }
    }
    if (IsFloating() && ZIndex == 0)
        ZIndex = 1;
    HideOverflow = props.IsOverflowHidden();
    const TPropValue& align = props.Values[piTextAlign];
    BlockAlign = align.TextIs("center") ? 2 : align.TextIs("right") ? 3 : 1;
    if (attributes && Root->IDNames)
        if (TAttribute* id = attributes->Find(IDSy))
            Root->IDNames->AddName(id->StrValue, this);

    bool topPara = false;
    props.ConvVertMargins(400, EmSize, ExSize, FMarginTop, FMarginBottom, topPara, FBottomParaSpace);
    if (Positioning == PosAbsolute) {
        if (topPara)
            FMarginTop = 0;
        return;
    }
    if (IsFloating() || !ownerCell)
        return;
    TSectionBase* previous = nullptr;
    for (int i = ownerCell->Count() - 1; i >= 0; --i)
        if (!(*ownerCell)[i]->IsAbsoluteBlock()) {
            previous = (*ownerCell)[i];
            break;
        }
    const std::string ownerTag = ownerCell->OwnerBlock ? ownerCell->OwnerBlock->TagClass.substr(
                                                             0, ownerCell->OwnerBlock->TagClass.find('.'))
                                                       : std::string("default");
    if (auto* table = dynamic_cast<TBlock*>(previous);
        table && topPara && table->IsFloating() && table->TagClass.rfind("table.", 0) == 0) {
        FMarginTop = 0;  // text beside a floating table starts at its top
    } else if (auto* before = dynamic_cast<TBlock*>(previous)) {
        FMarginTop = Collapse(before->FMarginBottom, FMarginTop);
        before->FMarginBottom = 0;
    } else if (previous) {
        if (ownerTag == "li" && topPara && (props.ElemTag == "ul" || props.ElemTag == "ol"))
            FMarginTop = 0;
    } else if (topPara) {
        FMarginTop = 0;
    } else if ((ownerTag == "default" || ownerTag == "body") && ownerCell->OwnerBlock) {
        FMarginTop = std::max(0, FMarginTop - ownerCell->OwnerBlock->FMarginTop);
    }
}

TBlock::~TBlock() = default;

void TBlock::SetBottomMargin(int pixels, bool paraSpace)
{
    FMarginBottom = pixels;
    FBottomParaSpace = paraSpace;
}

bool TBlock::IsFlowBlock() const { return Positioning != PosAbsolute; }
bool TBlock::IsAbsoluteBlock() const { return Positioning == PosAbsolute; }

bool TBlock::DropBottomMargin()
{
    if (!FBottomParaSpace)
        return false;
    FMarginBottom = 0;
    FBottomParaSpace = false;
    return true;
}

void TBlock::Duplicate(TSectionList* newRoot, const TSectionBase& source)
{
    TSectionBase::Duplicate(newRoot, source);
    const auto* from = dynamic_cast<const TBlock*>(&source);
    if (!from)
        return;
    MargArray = from->MargArray;
    EmSize = from->EmSize;
    ExSize = from->ExSize;
    BorderStyle = from->BorderStyle;
    FloatLR = from->FloatLR;
    ClearAttr = from->ClearAttr;
    IsListItem = from->IsListItem;
    IsListBlock = from->IsListBlock;
    BGPos[0] = from->BGPos[0];
    BGPos[1] = from->BGPos[1];
    Positioning = from->Positioning;
    Visibility = from->Visibility;
    FBottomParaSpace = from->FBottomParaSpace;
    BreakBefore = from->BreakBefore;
    BreakAfter = from->BreakAfter;
    KeepIntact = from->KeepIntact;
    DisplayNone = from->DisplayNone;
    HideOverflow = from->HideOverflow;
    BlockAlign = from->BlockAlign;
    FMarginTop = from->FMarginTop;
    FMarginBottom = from->FMarginBottom;
    TagClass = from->TagClass;
    Title = from->Title;
    FProps = CopyProps(*from->FProps);
    if (newRoot && newRoot->PrintTableBackground)
        BGImageName = from->BGImageName;
    if (Positioning == PosAbsolute)
        FOwnIMgr = std::make_unique<IndentManager>();
    MyCell->Root = newRoot;
    DrawList.clear();
}

void TBlock::CopySelection()
{
    if (DisplayNone)
        return;
    MyCell->CopySelection();
    if (TagClass.rfind("p.", 0) == 0 && Root->SelectionSink && MyCell->StartCursor + MyCell->CharCount < Root->SelEnd)
        Root->SelectionSink->PutLine(nullptr, 0);
}

int TBlock::FindWidth(platform::Canvas* canvas, int availWidth, int autoCount, int)
{
    int& ml = MargArray[piMarginLeft];
    int& mr = MargArray[piMarginRight];
    int& width = MargArray[piWidth];
    const int BP = MargArray[piBorderLeftWidth] + MargArray[piBorderRightWidth] + MargArray[piPaddingLeft] +
                   MargArray[piPaddingRight];
    // A hidden overflow clips only a box of a set width wider than 20 pixels.
    if (HideOverflow && (width == AutoValue || width <= 20))
        HideOverflow = false;
    // The content's widths are needed by floats, positioned blocks and set widths. A block in the flow
    // with an auto width takes the room; Layout widens its box afterwards when the content is wider, which
    // spares measuring every paragraph before laying it out.
    int minW = 0, maxW = 0;
    if (width != AutoValue || IsFloating() || Positioning == PosAbsolute)
        MyCell->MeasureWidths(canvas, minW, maxW);
    auto fromRoom = [&]() {
        const int room = availWidth - BP - Pixels(ml) - Pixels(mr);
        if (Positioning == PosAbsolute)
            return std::max(minW, room - Pixels(LeftP));
        if (IsFloating())
            return std::max(0, std::min(maxW, room));
        return std::max(minW, room);
    };
    auto atLeastMin = [&]() {
        if (!HideOverflow)
            width = std::max(width, minW);
    };
    switch (autoCount) {
    case 0: atLeastMin(); break;
    case 1:
        if (width == AutoValue) {
            width = fromRoom();
        } else {
            atLeastMin();
            if (mr != AutoValue)
                ml = std::max(0, availWidth - BP - mr - width);
            else if (!IsFloating())
                mr = std::max(0, availWidth - BP - Pixels(ml) - width);
            else
                mr = 0;
        }
        break;
    case 2:
        if (width == AutoValue) {
            (ml == AutoValue ? ml : mr) = 0;
            width = fromRoom();
        } else {
            atLeastMin();
            ml = mr = std::max(0, availWidth - width - BP) / 2;
        }
        break;
    default:
        ml = mr = 0;
        width = fromRoom();
        break;
    }
    ml = Pixels(ml);
    mr = Pixels(mr);
    return std::max(0, width);
}

int TBlock::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                   int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    StartCursor = cursor;
    YDraw = Y;
    FLayoutX = X;
    if (DisplayNone) {
        SectionHeight = DrawHeight = 0;
        ContentBottom = DrawBottom = DrawTop = YPosition = ContentBot = Y;
        maxWidth = 0;
        CharCount = 0;
        return 0;
    }
    const int givenX = X;
    ClearAddon = 0;
    if (indent && ClearAttr != ClearNone) {
        int l = 0, r = 0;
        indent->ClearY(l, r);
        const int cl = std::max(0, l - Y - 1), cr = std::max(0, r - Y - 1);
        ClearAddon = ClearAttr == ClearLeft ? cl : ClearAttr == ClearRight ? cr : std::max(cl, cr);
    }
    int autoCount = 0;
    FProps->ConvMargArray(availWidth, availHeight, EmSize, ExSize, MargArray, autoCount);
    MargArray[piMarginTop] = FMarginTop;
    MargArray[piMarginBottom] = FMarginBottom;
    HideOverflow = FProps->IsOverflowHidden();
    TopP = MargArray[piTop];
    LeftP = MargArray[piLeft];
    if (Positioning == PosRelative) {
        TopP = Pixels(TopP);
        LeftP = Pixels(LeftP);
    } else if (Positioning == PosAbsolute) {
        // Offsets are taken from the containing positioned box (the document for none).
        TopP = Pixels(TopP);
        LeftP = LeftP == AutoValue || LeftP == NotSet ? X - refX : LeftP;
        X = refX + LeftP;
        Y = refY + TopP;
        YDraw = Y;
    } else {
        TopP = LeftP = 0;
    }
    const bool autoWidth = MargArray[piWidth] == AutoValue && !IsFloating() && Positioning != PosAbsolute;
    ContentWidth = FindWidth(canvas, availWidth, autoCount, availHeight);
    const int ml = MargArray[piMarginLeft], mr = MargArray[piMarginRight];
    const int bl = MargArray[piBorderLeftWidth], br = MargArray[piBorderRightWidth];
    const int pl = MargArray[piPaddingLeft], pr = MargArray[piPaddingRight];
    const int E = ml + mr + bl + br + pl + pr;
    if (FProps->Values[piWidth].IsText() && Contains(FProps->Values[piWidth].Text(), "%"))
        ContentWidth = std::max(0, std::min(ContentWidth, availWidth - E));

    IndentManager* im = indent;
    if (Positioning == PosAbsolute) {
        im = FOwnIMgr.get();
        im->Clear();
        im->Reset(0, 1000000);
        im->Width = ContentWidth;
    }
    TBlock* savedBlock = im ? im->CurrentBlock : nullptr;
    if (im)
        im->CurrentBlock = this;

    int top = Y + ClearAddon;
    int floatDrop = 0;  // how far a float went down beside floats on the other side
    if (IsFloating() && im) {
        // A float whose margin box would overlap a float on the other side at its top goes down to the
        // next height where the floats end, as floating pictures do.
        const int boxWidth = E + ContentWidth;
        for (int steps = 0; steps < 10000; ++steps) {
            bool overlaps;
            if (FloatLR == AlignLeft) {
                const int right = std::max(X, im->LeftIndent(top)) + boxWidth;
                overlaps = FloatReach(*im, false, top) < right;
            } else {
                const int left = X + std::min(availWidth, im->RightSide(top) - X) - boxWidth;
                overlaps = FloatReach(*im, true, top) > left;
            }
            const int next = overlaps ? im->NextWiderY(top) : top;
            if (next <= top)
                break;
            floatDrop += next - top;
            top = next;
        }
        ClearAddon += floatDrop;
    }
    DrawTop = FMarginTop <= 0 ? top + FMarginTop : top;
    if (FloatLR == AlignLeft && im)
        IndentOffset = std::max(X, im->LeftIndent(top)) + ml + pl + bl - X;
    else if (FloatLR == AlignRight && im)
        IndentOffset = std::min(availWidth, im->RightSide(top) - X) - mr - pr - br - ContentWidth;
    else
        IndentOffset = ml + pl + bl;
    FBoxLeft = X + (IsFloating() ? IndentOffset - pl - bl : ml);
    FBoxTop = top + FMarginTop;
    X += IndentOffset;
    if (IsListItem && im && X < im->LeftIndent(top) + 35) {
        const int d = im->LeftIndent(top) + 35 - X;
        IndentOffset += d;
        ContentWidth = std::max(0, ContentWidth - d);
        X += d;
    }
    YPosition = top + FMarginTop + MargArray[piPaddingTop] + MargArray[piBorderTopWidth];
    ContentLeft = X;
    int leftRec = -1, rightRec = -1;
    if (im) {
        leftRec = im->SetLeft(X - im->LfEdge, YPosition);
        rightRec = im->SetRight(X + ContentWidth - im->LfEdge, YPosition);
    }
    MyCell->IndentMgr = im;
    MyCell->HideOverflow = HideOverflow;
    const int setHeight = MargArray[piHeight];
    const int height = setHeight > 0 ? setHeight : availHeight > 0 ? availHeight : blockHeight;
    // Absolutely positioned descendants are placed from the nearest positioned box's padding box.
    int cellRefX = refX, cellRefY = refY;
    if (Positioning != PosStatic) {
        cellRefX = X - pl;
        cellRefY = YPosition - MargArray[piPaddingTop];
    }
    int cellWidth = 0;
    MyCell->LayoutBlockCell(canvas, X, YPosition, cellRefX, cellRefY, ContentWidth, height, blockHeight, cellWidth,
                            cursor);
    CharCount = cursor - StartCursor;
    if (autoWidth && cellWidth > ContentWidth && !HideOverflow)
        ContentWidth = cellWidth;
    maxWidth = E + cellWidth;
    if (Positioning != PosStatic)
        maxWidth = std::max(0, maxWidth + (Positioning == PosAbsolute ? X - IndentOffset - givenX : LeftP) - mr);
    ContentBot = std::max(YPosition, MyCell->ContentBottom);
    if (setHeight > 0 && ((HideOverflow && setHeight > 3) || ContentBot < YPosition + setHeight))
        ContentBot = YPosition + setHeight;
    if (Positioning == PosAbsolute)
        ContentBot = std::max(ContentBot, im->ImageBottom());
    ContentBottom = ContentBot + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth] + FMarginBottom;
    DrawBottom = std::max(ContentBot, MyCell->DrawBottom) + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth];
    if (HideOverflow)
        DrawBottom = ContentBot + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth];
    const int result = ContentBottom - Y;
    LoadBackground();
    SectionHeight = result;
    if (im) {
        im->FreeRight(rightRec);
        im->FreeLeft(leftRec);
        im->CurrentBlock = savedBlock;
    }
    BuildDrawList();
    if (IsFloating() || Positioning == PosAbsolute) {
        DrawHeight = Positioning == PosAbsolute ? 0 : SectionHeight;
        // A float moved down below the floats on the other side takes its room from there on.
        const int floatTop = Y + floatDrop;
        if (indent && FloatLR == AlignLeft)
            indent->AddFloatBlock(floatTop, X + ContentWidth + mr + pr + br, true, DrawBottom - floatTop);
        else if (indent && FloatLR == AlignRight)
            indent->AddFloatBlock(floatTop, E + ContentWidth, false, DrawBottom - floatTop);
        SectionHeight = 0;
        return 0;
    }
    DrawHeight = indent ? std::max(SectionHeight, indent->ImageBottom() - Y) : SectionHeight;
    return result;
}

namespace {

// A picture of the document by name, from the image cache or loaded into it; none when it cannot be had.
// The picture object stays with the block: a moving GIF is stepped by the root's animation timer.
platform::Bitmap* RequestPicture(TSectionList& root, const std::string& name, platform::Bitmap*& mask,
                                 std::unique_ptr<TImageObj>& holder)
{
    mask = nullptr;
    holder = std::make_unique<TImageObj>(&root, name);
    holder->FormatObject(&root, nullptr, 0, 0, nullptr);
    platform::Bitmap* bitmap = nullptr;
    if (!holder->IsPlaceholder())
        holder->TakeFrame(bitmap, mask);
    if (!bitmap || bitmap->Empty()) {
        holder.reset();
        return nullptr;
    }
    return bitmap;
}

}  // namespace

void TBlock::LoadBackground()
{
    NeedImageStuff = false;
    if (BGImageName.empty() || !Root->ShowImages)
        return;
    if (!BGBitmap) {
        BGBitmap = RequestPicture(*Root, BGImageName, BGMask, BGImage);
        if (!BGBitmap) {
            BGImageName.clear();  // a picture that cannot be had is dropped; the block paints without it
            return;
        }
    }
    NeedImageStuff = true;
}

void TBlock::BuildDrawList()
{
    DrawList.clear();
    DrawList.reserve(std::size_t(MyCell->Count()));
    for (int i = 0; i < MyCell->Count(); ++i) {
        TSectionBase* item = (*MyCell)[i];
        item->OwnerBlock = this;
        DrawList.push_back(item);
    }
    // Negative orders first, then document order, then positive orders; equal orders keep document order.
    std::stable_sort(DrawList.begin(), DrawList.end(),
                     [](const TSectionBase* a, const TSectionBase* b) { return a->ZIndex < b->ZIndex; });
}

void TBlock::DrawBorders(platform::Canvas* canvas, const platform::Rect& borderBox, const platform::Rect& paddingBox)
{
    if (BorderStyle == bssNone)
        return;
    TBorderSides sides;
    const int styles[4] = {piBorderLeftStyle, piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle};
    const int colours[4] = {piBorderLeftColor, piBorderTopColor, piBorderRightColor, piBorderBottomColor};
    for (int i = 0; i < 4; ++i) {
        sides.Style[i] = BorderStyleType(MargArray[std::size_t(styles[i])]);
        sides.Color[i] = TColor(MargArray[std::size_t(colours[i])]);
    }
    DrawBorder(*canvas, borderBox, paddingBox, Root->Printing, TColor(MargArray[piBackgroundColor]), sides);
}

namespace {

// Moves the root's view by a relative block's vertical offset while its content is drawn.
class YOffsetShift {
public:
    YOffsetShift(TSectionList* root, int dy) : FRoot(root), FDy(dy) { FRoot->YOffset -= dy; }
    ~YOffsetShift() { FRoot->YOffset += FDy; }
    YOffsetShift(const YOffsetShift&) = delete;
    YOffsetShift& operator=(const YOffsetShift&) = delete;

private:
    TSectionList* FRoot;
    int FDy;
};

// Limits drawing to a rectangle and puts the previous clip back afterwards.
class ClipScope {
public:
    ClipScope(platform::Canvas* canvas, const platform::Rect& r) : FCanvas(canvas), FHad(canvas->HasClip())
    {
        if (FHad)
            FSaved = canvas->GetClipRegion();
        canvas->IntersectClipRect(r);
    }
    ~ClipScope() { FCanvas->SelectClipRgn(FHad ? &FSaved : nullptr); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    platform::Canvas* FCanvas;
    bool FHad;
    platform::Region FSaved;
};

}  // namespace

int TBlock::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                  int refY)
{
    if (DisplayNone)
        return 0;
    const int result = YDraw + SectionHeight;
    if (Visibility == VisHidden)
        return result;
    // The block's document coordinates to screen: the cell's own shift, plus a relative block's offset.
    int dx = X - FLayoutX;
    int dy = 0;
    if (Positioning == PosRelative) {
        dx += LeftP;
        dy = TopP;
    }
    // A printed page paints the document once per page: blocks wholly above or below it are passed over.
    if (Root->Printing && (DrawBottom + dy - Root->YOffset + 40 < clip.Top || DrawTop + dy - Root->YOffset - 40 >= clip.Bottom))
        return result;
    YOffsetShift shift(Root, dy);
    const int left = FBoxLeft + dx;
    const int top = FBoxTop - Root->YOffset;
    const int right = left + MargArray[piBorderLeftWidth] + MargArray[piPaddingLeft] + ContentWidth +
                      MargArray[piPaddingRight] + MargArray[piBorderRightWidth];
    const int bottom = (IsFloating() ? DrawBottom : ContentBottom - FMarginBottom) - Root->YOffset;
    const platform::Rect border{left, top, right, bottom};
    const platform::Rect padding{left + MargArray[piBorderLeftWidth], top + MargArray[piBorderTopWidth],
                                 right - MargArray[piBorderRightWidth], bottom - MargArray[piBorderBottomWidth]};
    MyRect = border;
    const bool visible = border.Left < clip.Right && border.Right > clip.Left && border.Top < clip.Bottom &&
                         border.Bottom > clip.Top;
    const bool backgrounds = !(Root->Printing && !Root->PrintTableBackground);
    if (visible && backgrounds && TColor(MargArray[piBackgroundColor]) != NoColor) {
        platform::Rect fill{std::max(padding.Left, clip.Left), std::max(padding.Top, clip.Top),
                            std::min(padding.Right, clip.Right), std::min(padding.Bottom, clip.Bottom)};
        if (fill.Left < fill.Right && fill.Top < fill.Bottom)
            canvas->FillRect(fill, platform::ColorToRGB(TColor(MargArray[piBackgroundColor]) & 0xFFFFFF));
    }
    if (visible && backgrounds && NeedImageStuff && BGBitmap && Root->ShowImages && BGImage)
        BGImage->TakeFrame(BGBitmap, BGMask, &padding);
    if (visible && backgrounds && NeedImageStuff && BGBitmap && Root->ShowImages)
        TileBackground(*canvas, padding, clip, *BGBitmap, BGMask, BGPos[0], BGPos[1]);

    FPaintContentX = ContentLeft + dx;
    IndentManager* im = Positioning == PosAbsolute ? FOwnIMgr.get() : indent;
    if (Positioning == PosAbsolute && indent) {
        im->Reset(indent->LfEdge, indent->LfEdge + im->Width);
        im->PaintWidth = ContentWidth;
    }
    TBlock* saved = im ? im->CurrentBlock : nullptr;
    if (im) {
        im->CurrentBlock = this;
        im->PaintWidth = ContentWidth;
    }
    {
        std::optional<ClipScope> overflowClip;
        if (HideOverflow)
            overflowClip.emplace(canvas, padding);
        MyCell->PaintItems(canvas, clip, DrawList, FPaintContentX, refX, refY, im);
    }
    if (im)
        im->CurrentBlock = saved;
    if (visible)
        DrawBorders(canvas, border, padding);
    return result;
}

bool TBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t)
{
    if (DisplayNone)
        return false;
    if (!Title.empty()) {
        const int y = Y - Root->YOffset;
        if (X >= MyRect.Left && X < MyRect.Right && y >= MyRect.Top && y < MyRect.Bottom)
            t = Title;
    }
    return MyCell->LinkAt(c, X, HitY(Y), l, f, t);
}

bool TBlock::ObjectAt(int X, int Y, TIDObject*& o, int& a, int& b)
{
    o = nullptr;
    if (DisplayNone)
        return false;
    return MyCell->ObjectAtInOrder(DrawList, X, HitY(Y), o, a, b);
}

int TBlock::CursorAt(platform::Canvas* c, int X, int Y, int& a, int& b, int& d, bool& e)
{
    if (DisplayNone)
        return -1;
    const int pos = MyCell->CursorAtInOrder(DrawList, c, X, HitY(Y), a, b, d, e);
    if (pos >= 0 && Positioning == PosRelative)
        b += TopP;
    return pos;
}

int TBlock::FindText(int f, const std::u16string& t, bool m) { return DisplayNone ? -1 : MyCell->FindText(f, t, m); }
int TBlock::FindTextBackward(int f, const std::u16string& t, bool m)
{
    return DisplayNone ? -1 : MyCell->FindTextBackward(f, t, m);
}
int TBlock::SourcePosOf(int p) { return DisplayNone ? -1 : MyCell->SourcePosOf(p); }
int TBlock::DocPosOf(int i, bool p) { return DisplayNone ? -1 : MyCell->DocPosOf(i, p); }
bool TBlock::CursorPoint(platform::Canvas* c, int p, int& X, int& Y)
{
    if (DisplayNone || !MyCell->CursorPoint(c, p, X, Y))
        return false;
    if (Positioning == PosRelative)
        Y += TopP;
    return true;
}
bool TBlock::CharAt(int p, char16_t& ch, TIDObject*& o) { return !DisplayNone && MyCell->CharAt(p, ch, o); }

void TBlock::MeasureWidths(platform::Canvas* c, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayNone)
        return;
    int autoCount = 0;
    FProps->ConvMargArray(0, 400, EmSize, ExSize, MargArray, autoCount);
    const int width = Pixels(MargArray[piWidth]);
    const bool clips = FProps->IsOverflowHidden() && width > 20;
    const int E = Pixels(MargArray[piMarginLeft]) + Pixels(MargArray[piMarginRight]) + MargArray[piBorderLeftWidth] +
                  MargArray[piBorderRightWidth] + MargArray[piPaddingLeft] + MargArray[piPaddingRight];
    if (clips) {
        minWidth = maxWidth = E + width;
        return;
    }
    MyCell->MeasureWidths(c, minWidth, maxWidth);
    minWidth = E + std::max(minWidth, width);
    maxWidth = width <= 0 ? E + std::max(maxWidth, width) : minWidth;
}

void TBlock::RegisterPosition() { MyCell->RegisterPositions(); }

void TBlock::Withdraw()
{
    MyCell->WithdrawItems();
    TSectionBase::Withdraw();
}

// ---------------------------------------------------------------- THRBlock

THRBlock::THRBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props)
{
    auto line = std::make_unique<THorzLine>(root, props, attributes);
    Line = line.get();
    Align = std::uint8_t(Line->Alignment);
    FProps = CopyProps(props);  // the rule wrote its width and height into the properties
    MyCell->Add(std::move(line));
}

void THRBlock::Duplicate(TSectionList* n, const TSectionBase& s)
{
    TBlock::Duplicate(n, s);
    if (const auto* from = dynamic_cast<const THRBlock*>(&s))
        Align = from->Align;
}

int THRBlock::FindWidth(platform::Canvas*, int availWidth, int, int)
{
    const int E = Pixels(MargArray[piMarginLeft]) + Pixels(MargArray[piMarginRight]) + MargArray[piBorderLeftWidth] +
                  MargArray[piBorderRightWidth] + MargArray[piPaddingLeft] + MargArray[piPaddingRight];
    int width = MargArray[piWidth];
    width = width == AutoValue || width <= 0 ? std::max(15, availWidth - E) : std::min(width, availWidth - E);
    const int room = availWidth - width - E;
    if (room > 0 && Align != 1)
        MargArray[piMarginLeft] = Pixels(MargArray[piMarginLeft]) + (Align == 2 ? room / 2 : room);
    return std::max(0, width);
}

// ---------------------------------------------------------------- TBlockLI

TBlockLI::TBlockLI(TSectionList* root, TAttributeList* attributes, int level, int number, char typeLetter, bool plain,
                   Symbol listSymbol, TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props), ListNumb(number)
{
    IsListItem = true;
    switch (listSymbol) {
    case OLSy:
        ListType = 1;
        ListStyle = typeLetter == 'A'   ? lbUpperAlpha
                    : typeLetter == 'I' ? lbUpperRoman
                    : typeLetter == 'a' ? lbLowerAlpha
                    : typeLetter == 'i' ? lbLowerRoman
                                        : lbDecimal;
        break;
    case ULSy:
    case DirSy:
    case MenuSy:
        ListType = 2;
        ListStyle = plain ? lbNone : level % 3 == 0 ? lbSquare : level % 3 == 1 ? lbDisc : lbCircle;
        break;
    case DLSy: ListType = 3; break;
    default:
        ListType = 4;
        ListStyle = lbDisc;
        break;
    }
    const ListStyleType styled = props.GetListStyleType();
    if (props.Values[piListStyleType].IsText() && styled != lbBlank)
        ListStyle = styled;
    if (props.Values[piListStyleImage].IsText())
        MarkerImageName = props.GetListStyleImage();
}

TBlockLI::~TBlockLI() = default;

void TBlockLI::Duplicate(TSectionList* n, const TSectionBase& s)
{
    TBlock::Duplicate(n, s);
    if (const auto* from = dynamic_cast<const TBlockLI*>(&s)) {
        ListType = from->ListType;
        ListNumb = from->ListNumb;
        ListStyle = from->ListStyle;
        MarkerImageName = from->MarkerImageName;
    }
}

int TBlockLI::Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int aw, int ah, int bh, IndentManager* im,
                     int& mw, int& cur)
{
    // A marker picture that cannot be had is dropped: the item shows its bullet or number instead.
    if (!MarkerImageName.empty() && !MarkerBitmap && Root->ShowImages) {
        MarkerBitmap = RequestPicture(*Root, MarkerImageName, MarkerMask, MarkerImage);
        if (!MarkerBitmap)
            MarkerImageName.clear();
    }
    FirstLineY = 0;
    int* saved = Root->FirstLineBaselineSlot;
    Root->FirstLineBaselineSlot = &FirstLineY;
    int h = 0;
    try {
        h = TBlock::Layout(c, X, Y, rx, ry, aw, ah, bh, im, mw, cur);
    } catch (...) {
        Root->FirstLineBaselineSlot = saved;
        throw;
    }
    Root->FirstLineBaselineSlot = saved;
    return h;
}

std::u16string TBlockLI::MarkerText() const
{
    static const char16_t* const Roman[20] = {u"i",   u"ii",   u"iii", u"iv",  u"v",    u"vi",  u"vii",
                                              u"viii", u"ix",  u"x",   u"xi",  u"xii",  u"xiii", u"xiv",
                                              u"xv",  u"xvi",  u"xvii", u"xviii", u"xix", u"xx"};
    std::u16string text;
    const bool low = ListNumb < 1;  // roman and alphabetic markers need a number from 1
    switch (ListStyle) {
    case lbLowerAlpha:
    case lbUpperAlpha:
        if (!low) {
            text = char16_t((ListStyle == lbUpperAlpha ? u'A' : u'a') + std::min(ListNumb - 1, 25));
            break;
        }
        [[fallthrough]];
    case lbDecimal:
        for (char c : std::to_string(ListNumb))
            text += char16_t(c);
        break;
    case lbLowerRoman:
    case lbUpperRoman:
        if (low) {
            for (char c : std::to_string(ListNumb))
                text += char16_t(c);
            break;
        }
        text = Roman[std::min(ListNumb, 20) - 1];
        if (ListStyle == lbUpperRoman)
            for (char16_t& c : text)
                c = char16_t(c - u'a' + u'A');
        break;
    default: return {};
    }
    text += u'.';
    if (text.size() > 7)
        text = text.substr(text.size() - 7);
    return text;
}

int TBlockLI::Paint(platform::Canvas* c, const platform::Rect& clip, IndentManager* im, int X, int rx, int ry)
{
    const int result = TBlock::Paint(c, clip, im, X, rx, ry);
    if (FirstLineY <= 0 || DisplayNone || ListType == 3)
        return result;
    if (Visibility == VisHidden)
        return result;
    const int y = FirstLineY - Root->YOffset + (Positioning == PosRelative ? TopP : 0);
    if (y < clip.Top - 50 || y > clip.Bottom + 50)
        return result;
    const int x = FPaintContentX;
    if (MarkerBitmap && Root->ShowImages && ListStyle != lbNone) {
        if (MarkerImage)
            MarkerImage->TakeFrame(MarkerBitmap, MarkerMask);
        const int w = MarkerBitmap->Width(), h = MarkerBitmap->Height();
        const platform::Rect dest{x - 16, y - h, x - 16 + w, y};
        if (MarkerImage)
            MarkerImage->SetDrawnArea(dest);
        if (MarkerMask && !MarkerMask->Empty())
            c->MaskedDraw(dest, *MarkerBitmap, *MarkerMask, platform::Rect{0, 0, w, h});
        else
            c->BitBlt(dest.Left, dest.Top, w, h, *MarkerBitmap, 0, 0, platform::SRCCOPY);
        return result;
    }
    auto font = FProps->GetFont();
    const TColor colour = platform::ColorToRGB(font->Color);
    switch (ListStyle) {
    case lbCircle:
        c->SetPen(platform::Pen{colour, 1, platform::PenStyle::Solid});
        c->SetBrush(platform::Brush{colour, platform::BrushStyle::Clear});
        c->Ellipse(x - 16, y - 7, x - 9, y);
        break;
    case lbDisc:
        c->SetPen(platform::Pen{colour, 1, platform::PenStyle::Solid});
        c->SetBrush(platform::Brush{colour, platform::BrushStyle::Solid});
        c->Ellipse(x - 15, y - 6, x - 10, y - 1);
        break;
    case lbSquare: c->FillRect(platform::Rect{x - 15, y - 6, x - 10, y - 1}, colour); break;
    case lbNone:
    case lbBlank: break;
    default: {
        const std::u16string text = MarkerText();
        font->SelectInto(*c);
        c->SetBkMode(platform::TRANSPARENT);
        const unsigned align = c->SetTextAlign(platform::TA_BASELINE);
        const int w = c->GetTextExtentPoint32W(text.data(), int(text.size())).cx;
        c->TextOutW(x - 10 - w, y, text.data(), int(text.size()));
        c->SetTextAlign(align);
    }
    }
    return result;
}

// ---------------------------------------------------------------- TBodyBlock

TBodyBlock::TBodyBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props)
{
    FMarginTop = 0;
    FMarginBottom = 0;
    Positioning = PosStatic;
    FloatLR = AlignNone;
    ZIndex = 0;
    FOwnIMgr.reset();
    // The document's background picture belongs to the root, which draws it under everything.
    if (!BGImageName.empty()) {
        BackgroundPos position[2];
        props.GetBackgroundPos(0, 0, position[0], position[1]);
        std::vector<unsigned char> record(sizeof position);
        std::memcpy(record.data(), static_cast<const void*>(position), sizeof position);
        root->SetBackgroundImage(BGImageName, record);
        BGImageName.clear();
    }
    if (props.Explicit[piBackgroundColor] || props.Values[piBackgroundColor].IsOrdinal()) {
        const TColor c = props.GetBackgroundColor();
        if (c != NoColor)
            root->SetBackground(c | 0x02000000);
    }
}

int TBodyBlock::Layout(platform::Canvas* canvas, int, int Y, int, int, int availWidth, int availHeight, int blockHeight,
                       IndentManager* indent, int& maxWidth, int& cursor)
{
    StartCursor = cursor;
    YDraw = Y;
    int autoCount = 0;
    FProps->ConvMargArray(availWidth, availHeight, EmSize, ExSize, MargArray, autoCount);
    // The vertical margins convert like those of any block (a CSS length as well as the pixels of the
    // margin attributes).
    int mt = 0, mb = 0;
    bool topPara = false, bottomPara = false;
    FProps->ConvVertMargins(400, EmSize, ExSize, mt, mb, topPara, bottomPara);
    const int x = Pixels(MargArray[piMarginLeft]) + MargArray[piPaddingLeft] + MargArray[piBorderLeftWidth];
    const int width = indent ? indent->Width : availWidth;
    ContentWidth = std::max(0, width - x - Pixels(MargArray[piMarginRight]) - MargArray[piPaddingRight] -
                                   MargArray[piBorderRightWidth]);
    ContentLeft = x;
    IndentOffset = x;
    DrawTop = mt;
    FMarginTop = mt;
    FMarginBottom = mb;
    YPosition = Y + mt + MargArray[piPaddingTop] + MargArray[piBorderTopWidth];
    int leftRec = -1, rightRec = -1;
    TBlock* saved = indent ? indent->CurrentBlock : nullptr;
    if (indent) {
        indent->CurrentBlock = this;
        leftRec = indent->SetLeft(x, Y);
        rightRec = indent->SetRight(x + ContentWidth, Y);
    }
    MyCell->IndentMgr = indent;
    int cellWidth = 0;
    MyCell->LayoutBlockCell(canvas, x, YPosition, 0, 0, ContentWidth, availHeight - mt - mb, blockHeight, cellWidth,
                            cursor);
    CharCount = cursor - StartCursor;
    const int contentBot = std::max(YPosition, MyCell->ContentBottom);
    ContentBottom = contentBot + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth] + mb;
    DrawBottom = std::max(contentBot, MyCell->DrawBottom) + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth];
    MyCell->DrawTop = 0;
    MyCell->ContentBottom = 999000;
    BuildDrawList();
    SectionHeight = DrawBottom + mb - Y;
    if (indent) {
        indent->FreeRight(rightRec);
        indent->FreeLeft(leftRec);
        indent->CurrentBlock = saved;
        DrawHeight = std::max(SectionHeight, indent->ImageBottom() - Y);
    } else {
        DrawHeight = SectionHeight;
    }
    maxWidth = std::max(width, std::max(cellWidth, ContentWidth) + Pixels(MargArray[piMarginLeft]) +
                                   Pixels(MargArray[piMarginRight]));
    return SectionHeight;
}

int TBodyBlock::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                      int refY)
{
    TBlock* saved = indent ? indent->CurrentBlock : nullptr;
    if (indent) {
        indent->CurrentBlock = this;
        indent->PaintWidth = ContentWidth;
    }
    FLayoutX = 0;
    FPaintContentX = X + IndentOffset;
    MyCell->PaintItems(canvas, clip, DrawList, FPaintContentX, refX, refY, indent);
    if (indent)
        indent->CurrentBlock = saved;
    return YDraw + SectionHeight;
}

bool TBodyBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t)
{
    return MyCell->LinkAt(c, X, Y, l, f, t);
}
