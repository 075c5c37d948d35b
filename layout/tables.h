#pragma once
// Tables: ThtmlTable owns the rows (TCellList) and their cells (TCellObj, each holding a TCell of content)
// and does the table work — the grid with its spans, column widths, row heights, painting and the hit
// tests. TTableBlock places the table in the flow (margins, width, alignment, border) and
// TTableAndCaptionBlock stacks a caption's block with the table block.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "layout/blocks.h"
#include "layout/borders.h"
#include "layout/cells.h"
#include "layout/sectionbase.h"
#include "platform/types.h"
#include "style/conversions.h"
#include "style/properties.h"

class TAttributeList;
class ThtmlTable;
namespace platform {
class Bitmap;
}

// Bounds on what a page can ask of one table. Spans beyond them are cut where the cell is made; the grid's
// size bounds the memory and time the spans can cost.
constexpr int MaxColSpan = 1000;
constexpr int MaxRowSpan = 65534;
constexpr long long MaxGridSlots = 4000000;  // rows x columns of one table
// The widest a column is measured: sums over the columns then stay inside 32 bits.
constexpr int MaxColumnWidth = 1000000;

// One COL specification.
class TColObj {
public:
    int Width = 0;  // pixels, or tenths of a percent with IsPercent
    bool IsPercent = false;
    std::uint8_t VAlign = AlignNone;
    std::string Align;
};

class TCellObj {
public:
    // A cell of content read from a TD or TH (props: the cell's computed style).
    TCellObj(TSectionList* root, TProperties& props, TAttributeList* attributes, AlignmentType vAlign);
    // The dummy entry: the grid slot of a column or row that a spanning cell covers. Every such slot of
    // every table points at this one object (ColSpan 0, RowSpan 0, no content), so covered slots cost
    // no more than a pointer.
    static TCellObj* Dummy();
    // A cell with no content of its own, for copies.
    static std::unique_ptr<TCellObj> Empty();
    TCellObj(const TCellObj&) = delete;
    TCellObj& operator=(const TCellObj&) = delete;
    ~TCellObj();

    int ColSpan = 1;  // 0 for a dummy
    int RowSpan = 1;
    int SpanWidth = 0;
    int SpanHeight = 0;
    int ContentHeight = 0;
    int SpecHeight = 0;
    int SpecHeightPercent = 0;
    int YIndent = 0;
    AlignmentType VAlign = AlignMiddle;
    int SpecWidth = 0;  // pixels, or tenths of a percent with SpecWidthPercent
    bool SpecWidthPercent = false;
    int EmSize = 0, ExSize = 0;
    BackgroundPos BGPos[2];
    int PadTop = -1, PadRight = -1, PadBottom = -1, PadLeft = -1;
    int BrdTop = 0, BrdRight = 0, BrdBottom = 0, BrdLeft = 0;
    int HzSpace = 0, VSpace = 0;
    bool HasBorderStyle = false;
    TBorderSides BorderSides;  // the style's border, for drawing it
    std::unique_ptr<TCell> Cell;  // none for a dummy
    std::string BkImageName;      // the background picture, or empty
    platform::Bitmap* BkBitmap = nullptr;  // not owned: the image cache holds it
    platform::Bitmap* BkMask = nullptr;
    bool BkLoaded = false;
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;

    bool IsDummy() const { return ColSpan == 0; }
    void Duplicate(TSectionList* newRoot, const TCellObj& source);
    // Completes paddings and borders from the table's and row's values.
    void PrepareSpaces(int cellPadding, const std::string& rowImage, bool tableHasBorder, const BackgroundPos* rowPos);
    void LayoutContent(platform::Canvas* canvas, int Y, int cellSpacing, int& cursor);
    void PaintCellBox(platform::Canvas* canvas, const platform::Rect& clip, int X, int Y, int cellSpacing,
                      bool tableHasBorder, TColor light, TColor dark);

private:
    TCellObj() = default;
};

class TCellList {
public:
    TCellList(TAttributeList* attributes, TProperties* props);
    TCellList(const TCellList&) = delete;
    TCellList& operator=(const TCellList&) = delete;

    std::vector<TCellObj*> Cells;  // in column order; an entry may be empty (none) or the shared dummy
    std::vector<std::unique_ptr<TCellObj>> OwnedCells;  // the row's own cells
    int RowHeight = 0;
    int RowSpecHeight = 0;
    int RowSpecHeightPercent = 0;
    int RowSpanHeight = 0;
    int RowY = 0;  // document Y of the row's top, from the last layout
    bool BkGnd = false;
    TColor BkColor = 0;
    std::string BkImage;
    BackgroundPos BkPos[2];
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;
    int RowPart = 0;  // 0 body, 1 head, 2 foot

    int Count() const { return int(Cells.size()); }
    TCellObj* operator[](int i) const { return Cells[std::size_t(i)]; }
    void AddCell(std::unique_ptr<TCellObj> cell);
    void ApplyRowBackground();
    // Lays out the cells that start in this row and span s rows; answers the row height, raises desired
    // and sets heightGiven when a cell gives a height; more is set when a cell spans more than s rows.
    int MeasureRow(platform::Canvas* canvas, const std::vector<int>& widths, int percentBase, int cellSpacing,
                   int s, int& desired, bool& heightGiven, bool& more);
    void LayoutRow(platform::Canvas* canvas, int Y, int cellSpacing, int& cursor);
    void PaintRow(platform::Canvas* canvas, const platform::Rect& clip, int X, const std::vector<int>& widths,
                  int cellSpacing, bool border, TColor light, TColor dark);
};

class ThtmlTable : public TSectionBase {
public:
    ThtmlTable(TSectionList* root, TAttributeList* attributes, TProperties& props);
    ~ThtmlTable() override;

    std::vector<std::unique_ptr<TCellList>> Rows;
    bool Initialized = false;
    int Border = 0;
    bool IsFloating = false;
    int NumCols = 0;
    int TableWidth = 0;
    int SpecWidth = 0;
    bool UseAbsoluteWidths = false;
    int TableHeight = 0;
    int CellPadding = 1;
    int CellSpacing = 2;
    TColor BorderColorLight = platform::clBtnHighlight;
    TColor BorderColorDark = platform::clBtnShadow;
    int LayoutX = 0;  // the X of the last layout
    int DrawX = 0;    // where the table was last painted
    int DrawY = 0;
    bool HasBkInherit = false;  // cells without a background take BkInheritColor
    TColor BkInheritColor = 0;
    std::unique_ptr<std::vector<TColObj>> ColSpecs;
    int WidthPass = -1;
    int AbsolutePass = -1;  // the pass MeasureColumnsAbsolute last measured for
    std::vector<int> Widths, MaxWidths, MinWidths, Percents;
    std::vector<int> Heights;

    void AddColumnSpec(int width, bool isPercent, const std::string& align, std::uint8_t vAlign);
    void InitializeGrid();
    void MeasureColumns(platform::Canvas* canvas, int W, int& totalMin, int& totalMax);
    void MeasureColumnsAbsolute(platform::Canvas* canvas, int& totalMin, int& totalMax);
    void DistributeAbsolute(platform::Canvas* canvas, int W);
    void DistributeFixed(int W);
    void DistributeAuto(int totalMin, int totalMax, int W);
    void FindRowHeights(platform::Canvas* canvas, int availHeight);

    // ---- TSectionBase
    void Duplicate(TSectionList* newRoot, const TSectionBase& source) override;
    void CopySelection() override;
    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
    bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                std::string& title) override;
    bool ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY) override;
    int CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText) override;
    int FindText(int fromPos, const std::u16string& text, bool matchCase) override;
    int FindTextBackward(int fromPos, const std::u16string& text, bool matchCase) override;
    int SourcePosOf(int docPos) override;
    int DocPosOf(int sourceIndex, bool previous) override;
    bool CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y) override;
    bool CharAt(int pos, char16_t& ch, TIDObject*& object) override;
    void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth) override;
    void Withdraw() override;

    // The real cells in row order (dummies left out).
    template <class F>
    void ForEachCell(F&& f) const
    {
        for (const auto& row : Rows)
            for (const auto& c : row->Cells)
                if (c && c->Cell)
                    f(*c);
    }
    // The cell whose box holds the document point, or none.
    TCellObj* CellAtPoint(int X, int Y) const;
    // The sum of widths or heights, held inside 32 bits.
    static int SumOf(const std::vector<int>& v);

private:
    // Cells grouped by span: (span, row, column), ordered by span, for the measuring rounds.
    struct SpanRef {
        int Span, Row, Col;
    };
    std::vector<SpanRef> ColSpanOrder, RowSpanOrder;
    void BuildSpanOrders();
    int CellPercent(const TCellObj& cell, int W) const;
};

class TTableBlock : public TBlock {
public:
    // The block owns the table as the only item of its cell.
    TTableBlock(TSectionList* root, TAttributeList* attributes, std::unique_ptr<ThtmlTable> table,
                TCellBasic* ownerCell, TProperties& props);

    ThtmlTable* Table;  // the block's only item (owned by MyCell)
    int SpecWidth = 0;  // pixels, or tenths of a percent with SpecWidthPercent; 0 for none
    bool SpecWidthPercent = false;
    bool HasBgColor = false;
    TColor BgColor = 0;
    int HSpace = 0, VSpace = 0;
    bool HasCaption = false;
    bool HtmlBorder = false;
    std::uint8_t TableAlign = 0;  // 2 center, 3 right
    int XShift = 0;
    int WrapperWidth = 0;  // with a caption: the border-box width the wrapper gives

    // The width the block wants in room A, margins, padding and border included (its table measured).
    int WantedWidth(platform::Canvas* canvas, int A);
    // Hands the block's vertical margins to a caption wrapper, which places the pair.
    void GiveVerticalMargins(int& top, int& bottom);

    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
    void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth) override;
    void RegisterPosition() override;
    void DrawBorders(platform::Canvas* canvas, const platform::Rect& borderBox,
                     const platform::Rect& paddingBox) override;
    int FindWidth(platform::Canvas* canvas, int availWidth, int autoCount, int availHeight) override;

private:
    // The content width for room A, given the left and right extras L and R (margin, padding, border).
    int ContentFor(platform::Canvas* canvas, int A, int L, int R);
};

class TTableAndCaptionBlock : public TBlock {
public:
    TTableAndCaptionBlock(TSectionList* root, TAttributeList* attributes, TTableBlock* tableBlock,
                          TCellBasic* ownerCell, TProperties& props);

    TTableBlock* TableBlock;
    TBlock* CaptionBlock = nullptr;
    int TableIndex = 0;  // the table block's index among the two items: 1 when the caption comes first
    std::uint8_t TableAlign = 0;
    std::string TableID;

    void SetCaption(TBlock* caption);
    void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth) override;
    int FindWidth(platform::Canvas* canvas, int availWidth, int autoCount, int availHeight) override;
    int DocPosOf(int sourceIndex, bool previous) override;
};
