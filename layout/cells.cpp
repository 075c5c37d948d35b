// Cells: laying out, painting and asking their items in order.

#include "layout/cells.h"

#include <algorithm>

#include "layout/sectionlist.h"
#include "platform/msgbox.h"

namespace {

// Depth of cell passes on this thread: cells nest through blocks and table cells, and every pass recurses.
thread_local int CellNesting = 0;

class NestingGuard {
public:
    NestingGuard() { ++CellNesting; }
    ~NestingGuard() { --CellNesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
    bool TooDeep() const { return CellNesting > MaxCellNesting; }
};

}  // namespace

// ---------------------------------------------------------------- TCellBasic

void TCellBasic::AddItem(std::unique_ptr<TSectionBase> item, int sourceIndex)
{
    if (!item)
        return;
    item->FinishReading(sourceIndex);
    if (item->Collapsed()) {
        // Its link runs and names are in the root's lists already; take them out before freeing it.
        if (!item->Root)
            item->Root = Root;
        item->Withdraw();
        return;
    }
    item->Root = Root;
    Add(std::move(item));
}

int TCellBasic::LayoutItems(platform::Canvas* canvas, int X, int Y, int refX, int refY, int width, int availHeight,
                            int blockHeight, int& maxWidth, int& cursor, bool trackExtent)
{
    NestingGuard guard;
    if (guard.TooDeep())
        throw EProcessError("Document nesting too deep");
    CellY = Y;
    StartCursor = cursor;
    maxWidth = 0;
    if (trackExtent) {
        ContentBottom = 0;
        DrawTop = 990000;
        DrawBottom = 0;
    }
    int total = 0;
    int i = 0;
    while (i < Count()) {
        TSectionBase* item = (*this)[i];
        int w = 0;
        int h = 0;
        try {
            h = item->Layout(canvas, X, Y + total, refX, refY, width, availHeight, blockHeight, IndentMgr, w, cursor);
        } catch (const EProcessError& e) {
            platform::LayoutErrorBox(e.Message());
            item->Withdraw();
            Delete(i);
            continue;
        }
        total += h;
        maxWidth = std::max(maxWidth, w);
        if (trackExtent) {
            if (!item->IsAbsoluteBlock())
                ContentBottom = std::max(ContentBottom, item->ContentBottom);
            DrawTop = std::min(DrawTop, item->DrawTop);
            DrawBottom = std::max(DrawBottom, item->DrawBottom);
        }
        ++i;
    }
    CharCount = cursor - StartCursor;
    return total;
}

int TCellBasic::LayoutCell(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight,
                           int& maxWidth, int& cursor)
{
    return LayoutItems(canvas, 0, Y, 1000, 1000, width, availHeight, blockHeight, maxWidth, cursor, false);
}

void TCellBasic::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    minWidth = 0;
    maxWidth = 0;
    NestingGuard guard;
    if (guard.TooDeep())
        return;
    for (const auto& item : FItems) {
        int mn = 0;
        int mx = 0;
        item->MeasureWidths(canvas, mn, mx);
        minWidth = std::max(minWidth, mn);
        maxWidth = std::max(maxWidth, mx);
    }
}

int TCellBasic::PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int, int X, int Y, int refX,
                          int refY)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return Y;
    int bottom = Y;
    for (const auto& item : FItems)
        bottom = item->Paint(canvas, clip, IndentMgr, X, refX, refY);
    return bottom;
}

bool TCellBasic::LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                        std::string& title)
{
    link = nullptr;
    control = nullptr;
    NestingGuard guard;
    if (guard.TooDeep())
        return false;
    for (const auto& item : FItems)
        if (Hit(*item, Y) && item->LinkAt(canvas, X, Y, link, control, title))
            return true;
    return false;
}

bool TCellBasic::ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY)
{
    object = nullptr;
    NestingGuard guard;
    if (guard.TooDeep())
        return false;
    for (const auto& item : FItems)
        if (Hit(*item, Y) && item->ObjectAt(X, Y, object, IX, IY))
            return true;
    return false;
}

int TCellBasic::PaintItems(platform::Canvas* canvas, const platform::Rect& clip,
                           const std::vector<TSectionBase*>& items, int X, int refX, int refY, IndentManager* indent)
{
    NestingGuard guard;
    int bottom = CellY;
    if (guard.TooDeep())
        return bottom;
    for (TSectionBase* item : items)
        bottom = std::max(bottom, item->Paint(canvas, clip, indent, X, refX, refY));
    return bottom;
}

bool TCellBasic::ObjectAtInOrder(const std::vector<TSectionBase*>& items, int X, int Y, TIDObject*& object, int& IX,
                                 int& IY)
{
    object = nullptr;
    NestingGuard guard;
    if (guard.TooDeep())
        return false;
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (Hit(**it, Y) && (*it)->ObjectAt(X, Y, object, IX, IY))
            return true;
    return false;
}

int TCellBasic::CursorAtInOrder(const std::vector<TSectionBase*>& items, platform::Canvas* canvas, int X, int Y,
                                int& XR, int& YR, int& caretHeight, bool& inText)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (!Hit(**it, Y))
            continue;
        const int pos = (*it)->CursorAt(canvas, X, Y, XR, YR, caretHeight, inText);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

int TCellBasic::CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    for (const auto& item : FItems) {
        if (!Hit(*item, Y))
            continue;
        int pos = item->CursorAt(canvas, X, Y, XR, YR, caretHeight, inText);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

int TCellBasic::FindText(int fromPos, const std::u16string& text, bool matchCase)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    for (const auto& item : FItems) {
        int pos = item->FindText(fromPos, text, matchCase);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

int TCellBasic::FindTextBackward(int fromPos, const std::u16string& text, bool matchCase)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    for (int i = Count() - 1; i >= 0; --i) {
        int pos = (*this)[i]->FindTextBackward(fromPos, text, matchCase);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

int TCellBasic::SourcePosOf(int docPos)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    for (const auto& item : FItems) {
        int pos = item->SourcePosOf(docPos);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

int TCellBasic::DocPosOf(int sourceIndex, bool previous)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return NoPosition;
    const int n = Count();
    for (int k = 0; k < n; ++k) {
        TSectionBase* item = (*this)[previous ? n - 1 - k : k];
        int pos = item->DocPosOf(sourceIndex, previous);
        if (pos >= 0)
            return pos;
    }
    return NoPosition;
}

bool TCellBasic::CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y)
{
    NestingGuard guard;
    if (guard.TooDeep())
        return false;
    for (const auto& item : FItems)
        if (item->CursorPoint(canvas, pos, X, Y))
            return true;
    return false;
}

bool TCellBasic::CharAt(int pos, char16_t& ch, TIDObject*& object)
{
    if (pos < StartCursor || pos > StartCursor + CharCount)
        return false;
    NestingGuard guard;
    if (guard.TooDeep())
        return false;
    for (const auto& item : FItems)
        if (item->CharAt(pos, ch, object))
            return true;
    return false;
}

void TCellBasic::CopySelection()
{
    if (!Root || Root->SelStart >= Root->SelEnd)
        return;
    NestingGuard guard;
    if (guard.TooDeep())
        return;
    for (const auto& item : FItems) {
        if (item->StartCursor >= Root->SelEnd)
            break;
        if (item->StartCursor + item->CharCount > Root->SelStart)
            item->CopySelection();
    }
}

void TCellBasic::RegisterPositions()
{
    NestingGuard guard;
    if (guard.TooDeep())
        return;
    for (const auto& item : FItems)
        item->RegisterPosition();
}

void TCellBasic::WithdrawItems()
{
    NestingGuard guard;
    if (guard.TooDeep())
        return;
    for (const auto& item : FItems)
        item->Withdraw();
}

bool TCellBasic::DropLastBottomMargin()
{
    for (int i = Count() - 1; i >= 0; --i) {
        TSectionBase* item = (*this)[i];
        if (item->IsFlowBlock())
            return item->DropBottomMargin();
    }
    return false;
}

// ---------------------------------------------------------------- TCell

TCell::TCell(TSectionList* root) : TCellBasic(root), FOwnIndent(std::make_unique<IndentManager>())
{
    IndentMgr = FOwnIndent.get();
}

TCell::~TCell() = default;

int TCell::LayoutCell(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight, int& maxWidth,
                      int& cursor)
{
    // The cell's own edges are the manager's base edges (Reset); they need no records, which would
    // otherwise count as floats in ImageBottom and ClearY.
    IndentManager& im = *IndentMgr;
    im.Clear();
    im.Reset(0, width);
    im.Width = width;
    int total = TCellBasic::LayoutCell(canvas, Y, width, availHeight, blockHeight, maxWidth, cursor);
    int imageBottom = im.ImageBottom();
    return std::max(total, imageBottom - CellY);
}

int TCell::PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int clipWidth, int X, int Y, int refX,
                     int refY)
{
    IndentMgr->Reset(X, X + IndentMgr->Width);
    IndentMgr->PaintWidth = clipWidth;
    DrawY = Y;
    return TCellBasic::PaintCell(canvas, clip, clipWidth, X, Y, refX, refY);
}

// ---------------------------------------------------------------- TBlockCell

int TBlockCell::LayoutBlockCell(platform::Canvas* canvas, int X, int Y, int refX, int refY, int width,
                                int availHeight, int blockHeight, int& maxWidth, int& cursor)
{
    int total = LayoutItems(canvas, X, Y, refX, refY, width, availHeight, blockHeight, maxWidth, cursor, true);
    if (HideOverflow)
        maxWidth = width;
    CellHeight = total;
    return total;
}
