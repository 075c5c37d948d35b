// TEMPORARY: minimal bodies so the engine links while blocks are written.
#include "layout/blocks.h"
#include "layout/rules.h"
#include "layout/sectionlist.h"

TBlock::TBlock(TSectionList* root, TAttributeList*, TCellBasic* ownerCell, TProperties& props)
    : MyCell(std::make_unique<TBlockCell>(root)), OwnerCell(ownerCell), TagClass(props.ElemTag + ".")
{
    Root = root;
    MyCell->OwnerBlock = this;
}
TBlock::~TBlock() = default;
void TBlock::SetBottomMargin(int, bool) {}
void TBlock::Duplicate(TSectionList* newRoot, const TSectionBase& source) { TSectionBase::Duplicate(newRoot, source); }
void TBlock::CopySelection() { MyCell->CopySelection(); }
int TBlock::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                   int blockHeight, IndentManager*, int& maxWidth, int& cursor)
{
    YDraw = DrawTop = YPosition = Y;
    StartCursor = cursor;
    ContentLeft = X;
    ContentWidth = availWidth;
    int h = MyCell->LayoutBlockCell(canvas, X, Y, refX, refY, availWidth, availHeight, blockHeight, maxWidth, cursor);
    CharCount = cursor - StartCursor;
    SectionHeight = DrawHeight = h;
    ContentBottom = DrawBottom = Y + h;
    return h;
}
int TBlock::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager*, int X, int refX, int refY)
{
    MyCell->PaintCell(canvas, clip, ContentWidth, ContentLeft + (X - X), YDraw, refX, refY);
    return YDraw + SectionHeight;
}
bool TBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t) { return MyCell->LinkAt(c, X, Y, l, f, t); }
bool TBlock::ObjectAt(int X, int Y, TIDObject*& o, int& a, int& b) { return MyCell->ObjectAt(X, Y, o, a, b); }
int TBlock::CursorAt(platform::Canvas* c, int X, int Y, int& a, int& b, int& d, bool& e) { return MyCell->CursorAt(c, X, Y, a, b, d, e); }
int TBlock::FindText(int f, const std::u16string& t, bool m) { return MyCell->FindText(f, t, m); }
int TBlock::FindTextBackward(int f, const std::u16string& t, bool m) { return MyCell->FindTextBackward(f, t, m); }
int TBlock::SourcePosOf(int p) { return MyCell->SourcePosOf(p); }
int TBlock::DocPosOf(int i, bool p) { return MyCell->DocPosOf(i, p); }
bool TBlock::CursorPoint(platform::Canvas* c, int p, int& X, int& Y) { return MyCell->CursorPoint(c, p, X, Y); }
bool TBlock::CharAt(int p, char16_t& ch, TIDObject*& o) { return MyCell->CharAt(p, ch, o); }
void TBlock::MeasureWidths(platform::Canvas* c, int& a, int& b) { MyCell->MeasureWidths(c, a, b); }
void TBlock::RegisterPosition() { MyCell->RegisterPositions(); }
void TBlock::Withdraw() { MyCell->WithdrawItems(); TSectionBase::Withdraw(); }
bool TBlock::IsFlowBlock() const { return true; }
bool TBlock::IsAbsoluteBlock() const { return false; }
bool TBlock::DropBottomMargin() { return false; }
void TBlock::DrawBorders(platform::Canvas*, const platform::Rect&, const platform::Rect&) {}
int TBlock::FindWidth(platform::Canvas*, int availWidth, int, int) { return availWidth; }

THRBlock::THRBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props)
{
    auto line = std::make_unique<THorzLine>(root, props, attributes);
    Line = line.get();
    MyCell->Add(std::move(line));
}
void THRBlock::Duplicate(TSectionList* n, const TSectionBase& s) { TBlock::Duplicate(n, s); }
int THRBlock::FindWidth(platform::Canvas* c, int a, int b, int d) { return TBlock::FindWidth(c, a, b, d); }

TBlockLI::TBlockLI(TSectionList* root, TAttributeList* attributes, int, int number, char, bool, Symbol,
                   TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props), ListNumb(number)
{
    IsListItem = true;
}
TBlockLI::~TBlockLI() = default;
void TBlockLI::Duplicate(TSectionList* n, const TSectionBase& s) { TBlock::Duplicate(n, s); }
int TBlockLI::Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int aw, int ah, int bh, IndentManager* im, int& mw, int& cur)
{ return TBlock::Layout(c, X, Y, rx, ry, aw, ah, bh, im, mw, cur); }
int TBlockLI::Paint(platform::Canvas* c, const platform::Rect& r, IndentManager* im, int X, int rx, int ry) { return TBlock::Paint(c, r, im, X, rx, ry); }

TBodyBlock::TBodyBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props)
    : TBlock(root, attributes, ownerCell, props) {}
int TBodyBlock::Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int aw, int ah, int bh, IndentManager* im, int& mw, int& cur)
{ return TBlock::Layout(c, X, Y, rx, ry, aw, ah, bh, im, mw, cur); }
int TBodyBlock::Paint(platform::Canvas* c, const platform::Rect& r, IndentManager* im, int X, int rx, int ry) { return TBlock::Paint(c, r, im, X, rx, ry); }
bool TBodyBlock::LinkAt(platform::Canvas* c, int X, int Y, TUrlTarget*& l, TFormControlObj*& f, std::string& t) { return TBlock::LinkAt(c, X, Y, l, f, t); }
