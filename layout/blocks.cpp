// Blocks: margins collapsed against the block before, borders, padding, a set width, background colour,
// clear, list markers and the body, around a cell of content.

#include "layout/blocks.h"

#include <algorithm>

#include "layout/borders.h"
#include "layout/rules.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "reader/attributes.h"
#include "reader/seltext.h"

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
    BorderStyle = props.GetBorderStyle();
    DisplayNone = props.DisplayNone();
    Positioned = props.GetPosition() == PosAbsolute;
    bool topPara = false;
    props.ConvVertMargins(400, EmSize, ExSize, FMarginTop, FMarginBottom, topPara, FBottomParaSpace);
    if (attributes && Root->IDNames)
        if (TAttribute* id = attributes->Find(IDSy))
            Root->IDNames->AddName(id->StrValue, this);
    if (Positioned || !ownerCell)
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
    if (auto* before = dynamic_cast<TBlock*>(previous)) {
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

bool TBlock::IsFlowBlock() const { return !Positioned; }
bool TBlock::IsAbsoluteBlock() const { return Positioned; }

bool TBlock::DropBottomMargin()
{
    if (!FBottomParaSpace)
        return false;
    FMarginBottom = 0;
    FBottomParaSpace = false;
    return true;
}

void TBlock::Duplicate(TSectionList* newRoot, const TSectionBase& source) { TSectionBase::Duplicate(newRoot, source); }

void TBlock::CopySelection()
{
    if (DisplayNone)
        return;
    MyCell->CopySelection();
    if (TagClass.rfind("p.", 0) == 0 && Root->SelectionSink && MyCell->StartCursor + MyCell->CharCount < Root->SelEnd)
        Root->SelectionSink->PutLine(nullptr, 0);
}

int TBlock::FindWidth(platform::Canvas*, int availWidth, int, int)
{
    const int E = Pixels(MargArray[piMarginLeft]) + Pixels(MargArray[piMarginRight]) + MargArray[piBorderLeftWidth] +
                  MargArray[piBorderRightWidth] + MargArray[piPaddingLeft] + MargArray[piPaddingRight];
    int width = availWidth - E;
    const int set = MargArray[piWidth];
    if (set != AutoValue && set > 0) {
        width = std::min(set, std::max(0, availWidth - E));
        // Auto side margins centre a block of a set width.
        if (MargArray[piMarginLeft] == AutoValue && MargArray[piMarginRight] == AutoValue)
            MargArray[piMarginLeft] = std::max(0, availWidth - width - E) / 2;
        else if (MargArray[piMarginLeft] == AutoValue)
            MargArray[piMarginLeft] = std::max(0, availWidth - width - E);
    }
    return std::max(0, width);
}

int TBlock::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                   int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    StartCursor = cursor;
    YDraw = Y;
    if (DisplayNone) {
        SectionHeight = DrawHeight = 0;
        ContentBottom = DrawBottom = DrawTop = YPosition = Y;
        maxWidth = 0;
        return 0;
    }
    int autoCount = 0;
    FProps->ConvMargArray(availWidth, availHeight, EmSize, ExSize, MargArray, autoCount);
    MargArray[piMarginTop] = FMarginTop;
    MargArray[piMarginBottom] = FMarginBottom;
    ClearAddon = 0;
    if (indent && ClearAttr != ClearNone) {
        int l = 0, r = 0;
        indent->ClearY(l, r);
        const int cl = std::max(0, l - Y - 1), cr = std::max(0, r - Y - 1);
        ClearAddon = ClearAttr == ClearLeft ? cl : ClearAttr == ClearRight ? cr : std::max(cl, cr);
    }
    ContentWidth = FindWidth(canvas, availWidth, autoCount, availHeight);
    const int ml = Pixels(MargArray[piMarginLeft]);
    const int top = Y + ClearAddon;
    DrawTop = FMarginTop <= 0 ? top + FMarginTop : top;
    IndentOffset = ml + MargArray[piPaddingLeft] + MargArray[piBorderLeftWidth];
    int x = X + IndentOffset;
    if (IsListItem && indent && x < indent->LeftIndent(top) + 35) {
        const int d = indent->LeftIndent(top) + 35 - x;
        IndentOffset += d;
        ContentWidth = std::max(0, ContentWidth - d);
        x += d;
    }
    YPosition = top + FMarginTop + MargArray[piPaddingTop] + MargArray[piBorderTopWidth];
    ContentLeft = x;
    TBlock* savedBlock = indent ? indent->CurrentBlock : nullptr;
    int leftRec = -1, rightRec = -1;
    if (indent) {
        indent->CurrentBlock = this;
        leftRec = indent->SetLeft(x - indent->LfEdge, YPosition);
        rightRec = indent->SetRight(x + ContentWidth - indent->LfEdge, YPosition);
    }
    MyCell->IndentMgr = indent;
    const int height = MargArray[piHeight] > 0 ? MargArray[piHeight] : availHeight > 0 ? availHeight : blockHeight;
    int cellWidth = 0;
    MyCell->LayoutBlockCell(canvas, x, YPosition, refX, refY, ContentWidth, height, blockHeight, cellWidth, cursor);
    CharCount = cursor - StartCursor;
    const int E = ml + Pixels(MargArray[piMarginRight]) + MargArray[piBorderLeftWidth] + MargArray[piBorderRightWidth] +
                  MargArray[piPaddingLeft] + MargArray[piPaddingRight];
    maxWidth = E + cellWidth;
    int contentBot = std::max(YPosition, MyCell->ContentBottom);
    if (MargArray[piHeight] > 0 && contentBot < YPosition + MargArray[piHeight])
        contentBot = YPosition + MargArray[piHeight];
    ContentBottom = contentBot + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth] + FMarginBottom;
    DrawBottom = std::max(contentBot, MyCell->DrawBottom) + MargArray[piPaddingBottom] + MargArray[piBorderBottomWidth];
    const int result = ContentBottom - Y;
    SectionHeight = result;
    if (indent) {
        if (rightRec >= 0)
            indent->FreeRight(rightRec);
        if (leftRec >= 0)
            indent->FreeLeft(leftRec);
        indent->CurrentBlock = savedBlock;
        DrawHeight = std::max(SectionHeight, indent->ImageBottom() - Y);
    } else {
        DrawHeight = SectionHeight;
    }
    if (Positioned) {
        SectionHeight = 0;
        return 0;
    }
    return result;
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

int TBlock::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                  int refY)
{
    if (DisplayNone)
        return 0;
    const int result = YDraw + SectionHeight;
    const int left = X + Pixels(MargArray[piMarginLeft]);
    const int top = YDraw + ClearAddon + FMarginTop - Root->YOffset;
    const int right = left + MargArray[piBorderLeftWidth] + MargArray[piPaddingLeft] + ContentWidth +
                      MargArray[piPaddingRight] + MargArray[piBorderRightWidth];
    const int bottom = ContentBottom - FMarginBottom - Root->YOffset;
    const platform::Rect border{left, top, right, bottom};
    const platform::Rect padding{left + MargArray[piBorderLeftWidth], top + MargArray[piBorderTopWidth],
                                 right - MargArray[piBorderRightWidth], bottom - MargArray[piBorderBottomWidth]};
    const bool visible = border.Left < clip.Right && border.Right > clip.Left && border.Top < clip.Bottom &&
                         border.Bottom > clip.Top;
    if (visible && TColor(MargArray[piBackgroundColor]) != NoColor && !(Root->Printing && !Root->PrintTableBackground)) {
        platform::Rect fill{std::max(padding.Left, clip.Left), std::max(padding.Top, clip.Top),
                            std::min(padding.Right, clip.Right), std::min(padding.Bottom, clip.Bottom)};
        if (fill.Left < fill.Right && fill.Top < fill.Bottom)
            canvas->FillRect(fill, platform::ColorToRGB(TColor(MargArray[piBackgroundColor]) & 0xFFFFFF));
    }
    TBlock* saved = indent ? indent->CurrentBlock : nullptr;
    if (indent) {
        indent->CurrentBlock = this;
        indent->PaintWidth = ContentWidth;
    }
    MyCell->PaintCell(canvas, clip, ContentWidth, X + IndentOffset, YPosition, refX, refY);
    if (indent)
        indent->CurrentBlock = saved;
    if (visible)
        DrawBorders(canvas, border, padding);
    return result;
}

bool TBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t)
{
    return !DisplayNone && MyCell->LinkAt(c, X, Y, l, f, t);
}
bool TBlock::ObjectAt(int X, int Y, TIDObject*& o, int& a, int& b) { return !DisplayNone && MyCell->ObjectAt(X, Y, o, a, b); }
int TBlock::CursorAt(platform::Canvas* c, int X, int Y, int& a, int& b, int& d, bool& e)
{
    return DisplayNone ? -1 : MyCell->CursorAt(c, X, Y, a, b, d, e);
}
int TBlock::FindText(int f, const std::u16string& t, bool m) { return DisplayNone ? -1 : MyCell->FindText(f, t, m); }
int TBlock::FindTextBackward(int f, const std::u16string& t, bool m)
{
    return DisplayNone ? -1 : MyCell->FindTextBackward(f, t, m);
}
int TBlock::SourcePosOf(int p) { return DisplayNone ? -1 : MyCell->SourcePosOf(p); }
int TBlock::DocPosOf(int i, bool p) { return DisplayNone ? -1 : MyCell->DocPosOf(i, p); }
bool TBlock::CursorPoint(platform::Canvas* c, int p, int& X, int& Y) { return !DisplayNone && MyCell->CursorPoint(c, p, X, Y); }
bool TBlock::CharAt(int p, char16_t& ch, TIDObject*& o) { return !DisplayNone && MyCell->CharAt(p, ch, o); }

void TBlock::MeasureWidths(platform::Canvas* c, int& minWidth, int& maxWidth)
{
    minWidth = maxWidth = 0;
    if (DisplayNone)
        return;
    int autoCount = 0;
    FProps->ConvMargArray(0, 400, EmSize, ExSize, MargArray, autoCount);
    MyCell->MeasureWidths(c, minWidth, maxWidth);
    const int E = Pixels(MargArray[piMarginLeft]) + Pixels(MargArray[piMarginRight]) + MargArray[piBorderLeftWidth] +
                  MargArray[piBorderRightWidth] + MargArray[piPaddingLeft] + MargArray[piPaddingRight];
    const int width = Pixels(MargArray[piWidth]);
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

void THRBlock::Duplicate(TSectionList* n, const TSectionBase& s) { TBlock::Duplicate(n, s); }

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
}

TBlockLI::~TBlockLI() = default;

void TBlockLI::Duplicate(TSectionList* n, const TSectionBase& s) { TBlock::Duplicate(n, s); }

int TBlockLI::Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int aw, int ah, int bh, IndentManager* im,
                     int& mw, int& cur)
{
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
    const int y = FirstLineY - Root->YOffset;
    if (y < clip.Top - 50 || y > clip.Bottom + 50)
        return result;
    const int x = X + IndentOffset;
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
    const int mt = Pixels(MargArray[piMarginTop]), mb = Pixels(MargArray[piMarginBottom]);
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
    if (indent)
        indent->CurrentBlock = this;
    MyCell->PaintCell(canvas, clip, ContentWidth, X + IndentOffset, YPosition, refX, refY);
    if (indent)
        indent->CurrentBlock = saved;
    return YDraw + SectionHeight;
}

bool TBodyBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t)
{
    return MyCell->LinkAt(c, X, Y, l, f, t);
}
