// Cutting a formatted document into pages at line boundaries.

#include "print/pagebreaks.h"

#include <algorithm>

#include "layout/blocks.h"
#include "layout/cells.h"
#include "layout/rules.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"

TPageBreaks::TPageBreaks(TSectionList& root, int pageHeight,
                         std::function<bool(TSectionBase& item, TPageBreaks& breaks)> itemHook)
    : ItemHook(std::move(itemHook)), FPageHeight(std::max(1, pageHeight))
{
    CollectCell(root, 0);
}

void TPageBreaks::AddBand(int top, int bottom)
{
    if (bottom - top > 1 && bottom - top <= FPageHeight) {
        FBands.push_back(TPageSpan{top, bottom});
        FNormalised = false;
    }
}

void TPageBreaks::AddForced(int y)
{
    FForced.push_back(y);
    FNormalised = false;
}

void TPageBreaks::AddRepeat(int top, int bottom, int itemBottom)
{
    // Rows taking half a page or more are not repeated: the pages would hold little else.
    if (top < bottom && bottom < itemBottom && 2 * (bottom - top) < FPageHeight)
        FRepeats.push_back(Repeat{top, bottom, itemBottom});
}

void TPageBreaks::CollectCell(const TCellBasic& cell, int depth)
{
    if (depth > MaxCellNesting)
        return;
    for (int i = 0; i < cell.Count(); ++i)
        CollectItem(*cell[i], depth);
}

void TPageBreaks::CollectItem(TSectionBase& item, int depth)
{
    if (item.YPosition == NotLaidOut)
        return;
    if (ItemHook && ItemHook(item, *this))
        return;
    if (dynamic_cast<TPage*>(&item)) {
        AddForced(item.YDraw);
        return;
    }
    if (auto* section = dynamic_cast<TSection*>(&item)) {
        int y = section->YDraw;
        for (const auto& line : section->Lines) {
            const int height = line->LineHeight();
            AddBand(y, y + height);
            // A floating picture that hangs below its line is kept with it.
            if (line->LineImageHeight > height)
                AddBand(y, y + line->LineImageHeight);
            y += height;
        }
        return;
    }
    if (auto* block = dynamic_cast<TBlock*>(&item)) {
        // Absolutely positioned blocks lie outside the flow and do not decide where pages end.
        if (block->IsAbsoluteBlock())
            return;
        const int top = block->YDraw, bottom = block->YDraw + block->SectionHeight;
        if (block->BreakBefore)
            AddForced(top);
        if (block->BreakAfter)
            AddForced(bottom);
        if (block->KeepIntact || block->IsFloating())
            AddBand(top, std::max(bottom, block->DrawBottom));
        if (block->MyCell)
            CollectCell(*block->MyCell, depth + 1);
        return;
    }
    if (auto* table = dynamic_cast<ThtmlTable*>(&item)) {
        CollectTable(*table, depth);
        return;
    }
    if (dynamic_cast<THorzLine*>(&item)) {
        AddBand(item.YDraw, item.YDraw + item.SectionHeight);
        return;
    }
    // Other items (kinds added later) are kept whole when they fit on a page.
    AddBand(item.YDraw, item.YDraw + std::max(item.SectionHeight, item.DrawBottom - item.YDraw));
}

// A table is cut between its rows: each row is a band (a row taller than a page is cut between the lines
// of its cells), and its head rows are repeated at the top of every page the table goes on to.
void TPageBreaks::CollectTable(ThtmlTable& table, int depth)
{
    const int tableBottom = table.YDraw + table.SectionHeight;
    int headTop = 0, headBottom = 0;
    bool inHead = true;
    for (const auto& row : table.Rows) {
        AddBand(row->RowY, row->RowY + row->RowHeight);
        if (inHead && row->RowPart == 1) {
            if (headBottom == headTop)
                headTop = row->RowY;
            headBottom = row->RowY + row->RowHeight;
        } else {
            inHead = false;
        }
        for (const TCellObj* cell : row->Cells)
            if (cell && cell->Cell)
                CollectCell(*cell->Cell, depth + 1);
    }
    AddRepeat(headTop, headBottom, tableBottom);
}

void TPageBreaks::Normalise()
{
    if (FNormalised)
        return;
    FNormalised = true;
    std::sort(FForced.begin(), FForced.end());
    FForced.erase(std::unique(FForced.begin(), FForced.end()), FForced.end());
    std::sort(FBands.begin(), FBands.end(), [](const TPageSpan& a, const TPageSpan& b) { return a.Top < b.Top; });
    // Overlapping bands join: a cut can go through none of them.
    std::vector<TPageSpan> merged;
    for (const TPageSpan& b : FBands) {
        if (!merged.empty() && b.Top < merged.back().Bottom)
            merged.back().Bottom = std::max(merged.back().Bottom, b.Bottom);
        else
            merged.push_back(b);
    }
    FBands = std::move(merged);
}

std::vector<TPageSpan> TPageBreaks::Cut(int documentHeight)
{
    Normalise();
    std::vector<TPageSpan> pages;
    int top = 0;
    auto forced = FForced.begin();
    while (top < documentHeight) {
        // A page that starts inside a table below its head rows shows them again first.
        const Repeat* repeat = nullptr;
        for (const Repeat& r : FRepeats)
            if (r.Bottom <= top && top < r.ItemBottom && (!repeat || r.Top > repeat->Top))
                repeat = &r;
        const int reserved = repeat ? repeat->Bottom - repeat->Top : 0;
        const long long limit = (long long)top + FPageHeight - reserved;
        forced = std::upper_bound(forced, FForced.end(), top);
        int cut;
        if (forced != FForced.end() && *forced < limit && *forced < documentHeight) {
            cut = *forced;
        } else if (limit >= documentHeight) {
            cut = documentHeight;
        } else {
            cut = int(limit);
            // The last band starting above the limit: when the limit falls inside it, the page ends at
            // its top (unless the band began on this page's first row).
            auto after = std::upper_bound(FBands.begin(), FBands.end(), cut,
                                          [](int y, const TPageSpan& b) { return y < b.Top; });
            if (after != FBands.begin()) {
                const TPageSpan& band = *(after - 1);
                if (band.Top < cut && cut < band.Bottom && band.Top > top)
                    cut = band.Top;
            }
        }
        TPageSpan page{top, cut};
        if (repeat) {
            page.RepeatTop = repeat->Top;
            page.RepeatBottom = repeat->Bottom;
        }
        pages.push_back(page);
        top = cut;
    }
    if (pages.empty())
        pages.push_back(TPageSpan{0, 0});
    return pages;
}
