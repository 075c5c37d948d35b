// TEMPORARY: minimal bodies so the engine links while the text section is written.
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "reader/tokenobj.h"

TSection::TSection(TSectionList* root, bool, TCellBasic* cell, TUrlTarget*, TProperties&, TAttributeList*)
    : FOwnerCell(cell) { Root = root; }
TSection::TSection(TSectionList* newRoot, const TSection&) { Root = newRoot; }
TSection::~TSection() = default;
void TSection::Duplicate(TSectionList* newRoot, const TSectionBase& source) { TSectionBase::Duplicate(newRoot, source); }
int TSection::Layout(platform::Canvas*, int, int Y, int, int, int, int, int, IndentManager*, int& maxWidth, int& cursor)
{
    YPosition = DrawTop = YDraw = Y; StartCursor = cursor; cursor += CharCount; maxWidth = 0;
    SectionHeight = DrawHeight = 0; ContentBottom = DrawBottom = Y; return 0;
}
void TSection::MeasureWidths(platform::Canvas*, int& minWidth, int& maxWidth) { minWidth = maxWidth = 0; }
void TSection::FinishReading(int sourceIndex) { if (!Closed) FinishText(sourceIndex); }
bool TSection::Collapsed() const { return CharCount == 0 && !AnchorName && ClearMode == 0; }
void TSection::Withdraw() { TSectionBase::Withdraw(); }
void TSection::AddChar(char16_t c, int) { Text += c; }
void TSection::AddTokens(const TokenObj& tokens) { Text.append(tokens.Chars(), std::size_t(tokens.Count())); }
void TSection::FinishText(int) { Closed = true; CharCount = int(Text.size()); }
void TSection::ChangeFont(TProperties&) {}
void TSection::ChangeLinkFont(bool, TProperties&, TUrlTarget*) {}
TFloatingObj* TSection::AddObject(std::unique_ptr<TFloatingObj> object, int) { return Images.Add(std::move(object)); }
void TSection::AddControl(TFormControlObj* control, int) { Controls.push_back(control); }
void TSection::SetBreakAfterLast() {}
int TSection::TextWidth(platform::Canvas*, int, int, bool) { return 0; }
int TPreFormated::Layout(platform::Canvas* c, int X, int Y, int rx, int ry, int aw, int ah, int bh, IndentManager* im, int& mw, int& cur)
{ return TSection::Layout(c, X, Y, rx, ry, aw, ah, bh, im, mw, cur); }
void TPreFormated::MeasureWidths(platform::Canvas* c, int& a, int& b) { TSection::MeasureWidths(c, a, b); }
void TPreFormated::FinishText(int s) { TSection::FinishText(s); }
