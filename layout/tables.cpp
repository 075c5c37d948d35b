// ThtmlTable: the grid of rows and cells with its spans, the row heights, laying out and painting the
// cells, and the hit tests and position queries that reach into the cells' content (the column widths are
// in tablewidths.cpp).

#include <algorithm>
#include <cstdint>

#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/canvas.h"
#include "core/attributes.h"

namespace {

using platform::MulDiv;

// A bound that keeps the sums of heights inside 32 bits whatever the content measures.
constexpr long long MaxTableHeight = 1000000000LL;

// The table nesting depth of a layout, raised for its duration.
class NestLevel {
public:
    explicit NestLevel(TSectionList* root) : FRoot(root) { ++FRoot->TableNestLevel; }
    ~NestLevel() { --FRoot->TableNestLevel; }
    NestLevel(const NestLevel&) = delete;
    NestLevel& operator=(const NestLevel&) = delete;

private:
    TSectionList* FRoot;
};

}  // namespace

ThtmlTable::ThtmlTable(TSectionList* root, TAttributeList* attributes, TProperties& props)
{
    Root = root;
    if (attributes)
        for (const auto& a : *attributes) {
            TColor c = 0;
            switch (a->Sym) {
            case CellPaddingSy:
                if (a->NumValue >= 0)
                    CellPadding = std::min(a->NumValue, 50);
                break;
            case CellSpacingSy:
                if (a->NumValue >= -1)
                    CellSpacing = std::min(a->NumValue, 40);
                break;
            case BorderSy: Border = a->StrValue.empty() ? 1 : std::clamp(a->NumValue, 0, 100); break;
            case BorderColorSy:
                if (ParseColor(a->StrValue, false, c))
                    BorderColorLight = BorderColorDark = c;
                break;
            case BorderColorLightSy:
                if (ParseColor(a->StrValue, false, c))
                    BorderColorLight = c;
                break;
            case BorderColorDarkSy:
                if (ParseColor(a->StrValue, false, c))
                    BorderColorDark = c;
                break;
            default: break;
            }
        }
    if (props.IsCollapse())
        CellSpacing = -1;
}

ThtmlTable::~ThtmlTable() = default;

void ThtmlTable::AddColumnSpec(int width, bool isPercent, const std::string& align, std::uint8_t vAlign)
{
    if (!ColSpecs)
        ColSpecs = std::make_unique<std::vector<TColObj>>();
    ColSpecs->push_back(TColObj{width, isPercent, vAlign, align});
}

// ---------------------------------------------------------------- the grid

void ThtmlTable::InitializeGrid()
{
    if (Initialized)
        return;
    const int rowCount = int(Rows.size());
    long long slots = 0;
    for (const auto& row : Rows)
        slots += row->Count();

    // Cells: spaces, the width switch, inherited backgrounds, spans cut to the rows left, and a dummy
    // entry for every further column a cell spans.
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[std::size_t(r)];
        row.ApplyRowBackground();
        std::vector<TCellObj*> cells;
        cells.reserve(row.Cells.size());
        for (TCellObj* c : row.Cells) {
            cells.push_back(c);
            if (!c || !c->Cell)
                continue;
            c->PrepareSpaces(CellPadding, row.BkImage, Border > 0, row.BkPos);
            if (c->SpecWidth > 0 && !c->SpecWidthPercent)
                UseAbsoluteWidths = true;
            if (HasBkInherit && !c->Cell->BkGnd) {
                c->Cell->BkGnd = true;
                c->Cell->BkColor = BkInheritColor;
            }
            c->RowSpan = std::max(1, std::min(c->RowSpan, rowCount - r));
            if (c->ColSpan > 1) {
                const long long room = std::max(0LL, MaxGridSlots - slots);
                c->ColSpan = int(std::min<long long>(c->ColSpan, 1 + room));
                cells.insert(cells.end(), std::size_t(c->ColSpan - 1), TCellObj::Dummy());
                slots += c->ColSpan - 1;
            }
        }
        row.Cells = std::move(cells);
    }

    // Row spans: the slots a cell (with the columns it spans) covers in the rows below it hold dummies; a
    // row that is too short is padded up to the column. Rows are rebuilt top to bottom with the columns
    // still covered from above.
    std::vector<int> pending;        // rows still covered below, per column
    std::vector<TCellObj*> source;   // the cell covering the column
    std::vector<int> sourceRow;
    int pendingCount = 0;            // columns with pending > 0
    for (int r = 0; r < rowCount; ++r) {
        TCellList& row = *Rows[std::size_t(r)];
        if (pendingCount > 0) {
            std::vector<TCellObj*> cells;
            cells.reserve(row.Cells.size() + std::size_t(pendingCount));
            std::size_t next = 0;
            int lastPending = -1;
            for (std::size_t k = 0; k < pending.size(); ++k)
                if (pending[k] > 0)
                    lastPending = int(k);
            for (int c = 0;; ++c) {
                const bool covered = c < int(pending.size()) && pending[std::size_t(c)] > 0;
                if (covered) {
                    cells.push_back(TCellObj::Dummy());
                    if (--pending[std::size_t(c)] == 0)
                        --pendingCount;
                    ++slots;
                } else if (next < row.Cells.size()) {
                    cells.push_back(row.Cells[next++]);
                } else if (c < lastPending) {
                    cells.push_back(TCellObj::Dummy());
                    ++slots;
                } else {
                    break;
                }
                if (slots > MaxGridSlots && pendingCount > 0) {
                    // The grid is full: spans still open end in this row.
                    for (std::size_t k = 0; k < pending.size(); ++k)
                        if (pending[k] > 0) {
                            if (source[k])
                                source[k]->RowSpan = std::max(1, r - sourceRow[k] + 1);
                            pending[k] = 0;
                        }
                    pendingCount = 0;
                    lastPending = -1;
                }
            }
            row.Cells = std::move(cells);
        }
        for (int c = 0; c < row.Count(); ++c) {
            TCellObj* cell = row[c];
            if (!cell || !cell->Cell || cell->RowSpan <= 1)
                continue;
            const int last = std::min(c + std::max(1, cell->ColSpan), row.Count());
            if (int(pending.size()) < last) {
                pending.resize(std::size_t(last), 0);
                source.resize(std::size_t(last), nullptr);
                sourceRow.resize(std::size_t(last), 0);
            }
            for (int k = c; k < last; ++k) {
                if (pending[std::size_t(k)] == 0)
                    ++pendingCount;
                pending[std::size_t(k)] = std::max(pending[std::size_t(k)], cell->RowSpan - 1);
                source[std::size_t(k)] = cell;
                sourceRow[std::size_t(k)] = r;
            }
        }
    }

    NumCols = 0;
    for (const auto& row : Rows)
        NumCols = std::max(NumCols, row->Count());

    // Trimming: a column that every full row ends in a dummy for is taken off again.
    std::vector<int> hint(Rows.size(), -1);
    while (NumCols > 0) {
        bool any = false, allDummy = true;
        for (const auto& row : Rows)
            if (row->Count() == NumCols) {
                any = true;
                const TCellObj* last = (*row)[NumCols - 1];
                if (!last || last->ColSpan != 0) {
                    allDummy = false;
                    break;
                }
            }
        if (!any || !allDummy)
            break;
        for (std::size_t r = 0; r < Rows.size(); ++r) {
            TCellList& row = *Rows[r];
            if (row.Count() != NumCols)
                continue;
            row.Cells.pop_back();
            int i = hint[r] < 0 ? row.Count() - 1 : std::min(hint[r], row.Count() - 1);
            while (i >= 0 && !(row[i] && row[i]->ColSpan > 1))
                --i;
            hint[r] = i;
            if (i >= 0)
                --row[i]->ColSpan;
        }
        --NumCols;
    }
    NumCols = 0;
    for (const auto& row : Rows)
        NumCols = std::max(NumCols, row->Count());

    // Column specifications give cells their widths.
    if (ColSpecs) {
        bool anyFixed = false, visited = false;
        for (const auto& row : Rows) {
            const int n = std::min({row->Count(), NumCols, int(ColSpecs->size())});
            for (int i = 0; i < n; ++i) {
                const TColObj& column = (*ColSpecs)[std::size_t(i)];
                TCellObj* c = (*row)[i];
                if (!c || !c->Cell)
                    continue;
                if (column.Width > 0) {
                    c->SpecWidth = column.Width;
                    c->SpecWidthPercent = column.IsPercent;
                }
                visited = true;
                if (!c->SpecWidthPercent)
                    anyFixed = true;
            }
        }
        if (visited)
            UseAbsoluteWidths = anyFixed;
        ColSpecs.reset();
    }

    Widths.assign(std::size_t(NumCols), 0);
    MaxWidths.assign(std::size_t(NumCols), 0);
    MinWidths.assign(std::size_t(NumCols), 0);
    Percents.assign(std::size_t(NumCols), 0);
    BuildSpanOrders();
    Initialized = true;
}

void ThtmlTable::BuildSpanOrders()
{
    ColSpanOrder.clear();
    RowSpanOrder.clear();
    for (int r = 0; r < int(Rows.size()); ++r) {
        const TCellList& row = *Rows[std::size_t(r)];
        for (int c = 0; c < row.Count(); ++c)
            if (const TCellObj* cell = row[c]; cell && cell->Cell) {
                ColSpanOrder.push_back({std::max(1, cell->ColSpan), r, c});
                RowSpanOrder.push_back({std::max(1, cell->RowSpan), r, c});
            }
    }
    auto bySpan = [](const SpanRef& a, const SpanRef& b) { return a.Span < b.Span; };
    std::stable_sort(ColSpanOrder.begin(), ColSpanOrder.end(), bySpan);
    std::stable_sort(RowSpanOrder.begin(), RowSpanOrder.end(), bySpan);
}

// ---------------------------------------------------------------- row heights

void ThtmlTable::FindRowHeights(platform::Canvas* canvas, int availHeight)
{
    const int rows = int(Rows.size());
    if (rows == 0)
        return;
    const int H = availHeight - CellSpacing;
    Heights.assign(std::size_t(rows), 0);
    std::vector<int> minH(std::size_t(rows), 0), desH(std::size_t(rows), 0);
    std::vector<bool> heightGiven(std::size_t(rows), false);
    const int percentBase = std::max(0, H - rows * CellSpacing);

    // Round 1 measures every row; later rounds only the rows where cells spanning that many rows start.
    for (int r = 0; r < rows; ++r) {
        int d = 0;
        bool flag = false, more = false;
        const int a = Rows[std::size_t(r)]->MeasureRow(canvas, Widths, percentBase, CellSpacing, 1, d, flag, more);
        minH[std::size_t(r)] = a + CellSpacing;
        desH[std::size_t(r)] = d + CellSpacing;
        if (flag)
            heightGiven[std::size_t(r)] = true;
    }
    std::size_t k = 0;
    while (k < RowSpanOrder.size() && RowSpanOrder[k].Span <= 1)
        ++k;
    int lastRow = -1, lastSpan = 0;
    for (; k < RowSpanOrder.size(); ++k) {
        const int s = RowSpanOrder[k].Span;
        const int r = RowSpanOrder[k].Row;
        if (s == lastSpan && r == lastRow)
            continue;  // the row was measured for this span already
        lastSpan = s;
        lastRow = r;
        if (rows - r < s)
            continue;
        int d = 0;
        bool flag = false, more = false;
        int a = Rows[std::size_t(r)]->MeasureRow(canvas, Widths, percentBase, CellSpacing, s, d, flag, more);
        a += CellSpacing;
        d += CellSpacing;
        if (a <= CellSpacing)
            continue;
        auto grow = [&](std::vector<int>& v, int need) {
            long long m = 0;
            for (int i = r; i < r + s; ++i)
                m += v[std::size_t(i)];
            if (m >= need)
                return;
            const int extra = int(need - m);
            for (int i = r; i < r + s; ++i)
                v[std::size_t(i)] += extra / s;
            v[std::size_t(r + s - 1)] += extra - (extra / s) * s;
        };
        for (int i = r; i < r + s; ++i)
            if (flag)
                heightGiven[std::size_t(i)] = true;
        grow(minH, a);
        grow(desH, d);
    }

    const long long sumMin = [&] { long long s = 0; for (int v : minH) s += v; return s; }();
    const long long sumDes = [&] { long long s = 0; for (int v : desH) s += v; return s; }();
    int F = 0;
    for (bool b : heightGiven)
        F += b ? 0 : 1;
    auto lastTakesRest = [&] {
        long long used = 0;
        for (int i = 0; i + 1 < rows; ++i)
            used += Heights[std::size_t(i)];
        Heights[std::size_t(rows - 1)] = int(std::clamp<long long>(H - used, -1000000000LL, 1000000000LL));
    };
    if (sumMin >= H) {
        Heights = minH;
    } else if (sumDes < H) {
        if (F == 0) {
            if (sumDes <= 0) {
                // Nothing to share out in proportion: the rows keep their heights and the last takes the rest.
                Heights = desH;
            } else {
                for (int i = 0; i + 1 < rows; ++i)
                    Heights[std::size_t(i)] = platform::Round(double(desH[std::size_t(i)]) * H / double(sumDes));
            }
            lastTakesRest();
        } else {
            Heights = desH;
            const int extra = int(H - sumDes);
            int lastFree = -1, given = 0;
            for (int i = 0; i < rows; ++i)
                if (!heightGiven[std::size_t(i)]) {
                    Heights[std::size_t(i)] += extra / F;
                    given += extra / F;
                    lastFree = i;
                }
            if (lastFree >= 0)
                Heights[std::size_t(lastFree)] += extra - given;
        }
    } else {
        const double range = double(sumDes - sumMin);
        for (int i = 0; i + 1 < rows; ++i)
            Heights[std::size_t(i)] =
                minH[std::size_t(i)] +
                platform::Round(double(desH[std::size_t(i)] - minH[std::size_t(i)]) * double(H - sumMin) / range);
        lastTakesRest();
    }
}

// ---------------------------------------------------------------- layout and painting

void ThtmlTable::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    InitializeGrid();
    if (!UseAbsoluteWidths || SpecWidth > 0)
        MeasureColumns(canvas, SpecWidth, minWidth, maxWidth);
    else
        MeasureColumnsAbsolute(canvas, minWidth, maxWidth);
    minWidth = std::max(minWidth + CellSpacing, SpecWidth);
    maxWidth = std::max(maxWidth + CellSpacing, SpecWidth);
}

int ThtmlTable::Layout(platform::Canvas* canvas, int X, int Y, int, int, int availWidth, int availHeight, int,
                       IndentManager* indent, int& maxWidth, int& cursor)
{
    NestLevel nest(Root);
    YDraw = YPosition = DrawTop = Y;
    LayoutX = X;
    StartCursor = cursor;
    // A list item waiting for the baseline of its first line gets the table's bottom instead.
    int* slot = Root->FirstLineBaselineSlot && *Root->FirstLineBaselineSlot == 0 ? Root->FirstLineBaselineSlot
                                                                                  : nullptr;
    int* savedSlot = Root->FirstLineBaselineSlot;
    Root->FirstLineBaselineSlot = nullptr;
    struct SlotBack {
        TSectionList* root;
        int* saved;
        ~SlotBack() { root->FirstLineBaselineSlot = saved; }
    } slotBack{Root, savedSlot};

    InitializeGrid();
    const int left = indent ? indent->LeftIndent(Y) : X;
    const int right = indent ? indent->RightSide(Y) : X + availWidth;
    const int W = (SpecWidth > 0 ? SpecWidth : right - left) - CellSpacing;
    if (UseAbsoluteWidths && SpecWidth == 0) {
        DistributeAbsolute(canvas, W);
    } else {
        int totalMin = 0, totalMax = 0;
        MeasureColumns(canvas, W, totalMin, totalMax);
        if (totalMin < W) {
            if (SpecWidth > 0)
                DistributeFixed(W);
            else
                DistributeAuto(totalMin, totalMax, W);
        } else {
            Widths = MinWidths;
        }
    }
    TableWidth = CellSpacing + SumOf(Widths);

    if (Heights.size() != Rows.size() || (Root->RowHeightsPending && Root->TableNestLevel <= 5))
        FindRowHeights(canvas, availHeight);

    const int rows = int(Rows.size());
    int y = Y;
    SectionHeight = 0;
    for (int r = 0; r < rows; ++r) {
        TCellList& row = *Rows[std::size_t(r)];
        row.RowSpanHeight = 0;
        for (const auto& c : row.Cells)
            if (c && c->Cell) {
                long long h = 0;
                for (int k = r; k < std::min(rows, r + c->RowSpan); ++k)
                    h += Heights[std::size_t(k)];
                c->SpanHeight = int(std::clamp<long long>(h, -1000000000LL, 1000000000LL));
                row.RowSpanHeight = std::max(row.RowSpanHeight, c->SpanHeight);
            }
        row.RowHeight = Heights[std::size_t(r)];
        const bool outermost = Root->TableNestLevel == 1;
        if (outermost)
            Root->RowHeightsPending = true;
        try {
            row.LayoutRow(canvas, y, CellSpacing, cursor);
        } catch (...) {
            if (outermost)
                Root->RowHeightsPending = false;
            throw;
        }
        if (outermost)
            Root->RowHeightsPending = false;
        y = int(std::clamp<long long>(static_cast<long long>(y) + row.RowHeight, -MaxTableHeight, MaxTableHeight));
        SectionHeight = int(std::clamp<long long>(static_cast<long long>(SectionHeight) + row.RowHeight, 0,
                                                  MaxTableHeight));
    }
    SectionHeight += CellSpacing;
    TableHeight = SectionHeight;
    CharCount = cursor - StartCursor;
    maxWidth = TableWidth;
    DrawHeight = SectionHeight;
    ContentBottom = DrawBottom = Y + SectionHeight;
    if (slot)
        *slot = YDraw + SectionHeight;
    return SectionHeight;
}

int ThtmlTable::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager*, int X, int, int)
{
    const int bottom = YDraw + SectionHeight;
    if (bottom - Root->YOffset < clip.Top || YDraw - Root->YOffset >= clip.Bottom)
        return bottom;
    DrawX = X;
    DrawY = YDraw;
    for (const auto& row : Rows) {
        if (row->RowY + row->RowSpanHeight - Root->YOffset < clip.Top || row->RowY - Root->YOffset >= clip.Bottom)
            continue;
        row->PaintRow(canvas, clip, X, Widths, CellSpacing, Border > 0, BorderColorLight, BorderColorDark);
    }
    return bottom;
}

// ---------------------------------------------------------------- hit tests and positions

TCellObj* ThtmlTable::CellAtPoint(int X, int Y) const
{
    if (Y < YPosition || Y >= ContentBottom || X < DrawX || X > DrawX + TableWidth)
        return nullptr;
    for (const auto& row : Rows) {
        if (Y < row->RowY || Y >= row->RowY + std::max(row->RowSpanHeight, row->RowHeight))
            continue;
        int x = DrawX;
        for (int i = 0; i < row->Count() && i < int(Widths.size()); ++i) {
            const TCellObj* c = (*row)[i];
            if (c && c->Cell && X >= x && X < x + c->SpanWidth && Y < row->RowY + c->SpanHeight)
                return const_cast<TCellObj*>(c);
            x += Widths[std::size_t(i)];
        }
    }
    return nullptr;
}

bool ThtmlTable::LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                        std::string& title)
{
    TCellObj* c = CellAtPoint(X, Y);
    return c && c->Cell->LinkAt(canvas, X, Y, link, control, title);
}

bool ThtmlTable::ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY)
{
    TCellObj* c = CellAtPoint(X, Y);
    return c && c->Cell->ObjectAt(X, Y, object, IX, IY);
}

int ThtmlTable::CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText)
{
    TCellObj* c = CellAtPoint(X, Y);
    return c ? c->Cell->CursorAt(canvas, X, Y, XR, YR, caretHeight, inText) : NoPosition;
}

int ThtmlTable::FindText(int fromPos, const std::u16string& text, bool matchCase)
{
    if (fromPos >= StartCursor + CharCount)
        return NoPosition;
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell && c->Cell->StartCursor + c->Cell->CharCount > fromPos)
                if (const int pos = c->Cell->FindText(fromPos, text, matchCase); pos >= 0)
                    return pos;
    return NoPosition;
}

int ThtmlTable::FindTextBackward(int fromPos, const std::u16string& text, bool matchCase)
{
    if (fromPos < StartCursor)
        return NoPosition;
    for (auto r = Rows.rbegin(); r != Rows.rend(); ++r)
        for (auto c = (*r)->Cells.rbegin(); c != (*r)->Cells.rend(); ++c)
            if (*c && (*c)->Cell && (*c)->Cell->StartCursor < fromPos)
                if (const int pos = (*c)->Cell->FindTextBackward(fromPos, text, matchCase); pos >= 0)
                    return pos;
    return NoPosition;
}

int ThtmlTable::SourcePosOf(int docPos)
{
    if (docPos < StartCursor || docPos > StartCursor + CharCount)
        return NoPosition;
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell)
                if (const int pos = c->Cell->SourcePosOf(docPos); pos >= 0)
                    return pos;
    return NoPosition;
}

int ThtmlTable::DocPosOf(int sourceIndex, bool previous)
{
    if (previous) {
        for (auto r = Rows.rbegin(); r != Rows.rend(); ++r)
            for (auto c = (*r)->Cells.rbegin(); c != (*r)->Cells.rend(); ++c)
                if (*c && (*c)->Cell)
                    if (const int pos = (*c)->Cell->DocPosOf(sourceIndex, true); pos >= 0)
                        return pos;
        return NoPosition;
    }
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell)
                if (const int pos = c->Cell->DocPosOf(sourceIndex, false); pos >= 0)
                    return pos;
    return NoPosition;
}

bool ThtmlTable::CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y)
{
    if (pos < StartCursor || pos > StartCursor + CharCount)
        return false;
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell && c->Cell->CursorPoint(canvas, pos, X, Y))
                return true;
    return false;
}

bool ThtmlTable::CharAt(int pos, char16_t& ch, TIDObject*& object)
{
    if (pos < StartCursor || pos > StartCursor + CharCount)
        return false;
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell && c->Cell->CharAt(pos, ch, object))
                return true;
    return false;
}

void ThtmlTable::CopySelection()
{
    for (const auto& row : Rows)
        for (const auto& c : row->Cells)
            if (c && c->Cell)
                c->Cell->CopySelection();
}

void ThtmlTable::Withdraw()
{
    ForEachCell([](TCellObj& c) { c.Cell->WithdrawItems(); });
    TSectionBase::Withdraw();
}

void ThtmlTable::Duplicate(TSectionList* newRoot, const TSectionBase& source)
{
    TSectionBase::Duplicate(newRoot, source);
    const auto* from = dynamic_cast<const ThtmlTable*>(&source);
    if (!from)
        return;
    Initialized = from->Initialized;
    Border = from->Border;
    IsFloating = from->IsFloating;
    NumCols = from->NumCols;
    TableWidth = from->TableWidth;
    SpecWidth = from->SpecWidth;
    UseAbsoluteWidths = from->UseAbsoluteWidths;
    TableHeight = from->TableHeight;
    CellPadding = from->CellPadding;
    CellSpacing = from->CellSpacing;
    BorderColorLight = from->BorderColorLight;
    BorderColorDark = from->BorderColorDark;
    HasBkInherit = from->HasBkInherit;
    BkInheritColor = from->BkInheritColor;
    Widths = from->Widths;
    MaxWidths = from->MaxWidths;
    MinWidths = from->MinWidths;
    Percents = from->Percents;
    Heights = from->Heights;
    Rows.clear();
    for (const auto& row : from->Rows) {
        auto copy = std::make_unique<TCellList>(nullptr, nullptr);
        copy->RowHeight = row->RowHeight;
        copy->RowSpecHeight = row->RowSpecHeight;
        copy->RowSpecHeightPercent = row->RowSpecHeightPercent;
        copy->RowSpanHeight = row->RowSpanHeight;
        copy->RowPart = row->RowPart;
        for (TCellObj* c : row->Cells) {
            if (!c || !c->Cell) {
                copy->Cells.push_back(c);
                continue;
            }
            auto cell = TCellObj::Empty();
            cell->Duplicate(newRoot, *c);
            copy->Cells.push_back(cell.get());
            copy->OwnedCells.push_back(std::move(cell));
        }
        Rows.push_back(std::move(copy));
    }
    BuildSpanOrders();
}
