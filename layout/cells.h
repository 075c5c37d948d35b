#pragma once
// Cells: ordered lists of document items, laid out top to bottom, drawn in order and asked item by item
// whether a point or a position is theirs. TCell is the root's and a table cell's kind (it owns its indent
// manager); TBlockCell is a block's content and uses the block's indent manager.

#include <memory>
#include <string>
#include <vector>

#include "layout/indentmanager.h"
#include "layout/sectionbase.h"
#include "platform/types.h"
#include "core/freelist.h"

// Cells nest through blocks and table cells. Passes deeper than this are refused (layout) or skipped
// (painting, hit tests) so hostile nesting cannot exhaust the stack; the document builder caps open
// block constructs well below it.
constexpr int MaxCellNesting = 1000;

class TCellBasic : public TFreeList<TSectionBase> {
public:
    explicit TCellBasic(TSectionList* root) : Root(root) {}
    ~TCellBasic() override = default;

    TSectionList* Root;              // not owned
    int CellY = 0;                   // the Y of the last LayoutCell
    IndentManager* IndentMgr = nullptr;
    int StartCursor = 0;
    int CharCount = 0;
    bool BkGnd = false;              // the cell has its own background (table cells)
    platform::TColor BkColor = 0;
    int ContentBottom = 0;           // extent of the items; kept by TBlockCell's layout only
    int DrawTop = 0;
    int DrawBottom = 0;
    std::string DuplicatedText;      // copied with the cell
    TBlock* OwnerBlock = nullptr;

    // Appends item (none: nothing) after closing its reading; a collapsed item is withdrawn and freed.
    void AddItem(std::unique_ptr<TSectionBase> item, int sourceIndex);

    virtual int LayoutCell(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight,
                           int& maxWidth, int& cursor);
    virtual void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth);
    // Paints every item; answers the bottom of the last one, or Y for an empty cell.
    virtual int PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int clipWidth, int X, int Y, int refX,
                          int refY);
    virtual bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                        std::string& title);

    bool ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY);
    // Painting and hit tests over the cell's items in a block's painting order (the block's DrawList):
    // painting goes forwards, so that later items lie on top; hit tests go backwards, top-most first.
    int PaintItems(platform::Canvas* canvas, const platform::Rect& clip, const std::vector<TSectionBase*>& items,
                   int X, int refX, int refY, IndentManager* indent);
    bool ObjectAtInOrder(const std::vector<TSectionBase*>& items, int X, int Y, TIDObject*& object, int& IX, int& IY);
    int CursorAtInOrder(const std::vector<TSectionBase*>& items, platform::Canvas* canvas, int X, int Y, int& XR,
                        int& YR, int& caretHeight, bool& inText);
    int CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText);
    int FindText(int fromPos, const std::u16string& text, bool matchCase);
    int FindTextBackward(int fromPos, const std::u16string& text, bool matchCase);
    int SourcePosOf(int docPos);
    int DocPosOf(int sourceIndex, bool previous);
    bool CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y);
    bool CharAt(int pos, char16_t& ch, TIDObject*& object);
    void CopySelection();
    void RegisterPositions();
    // Withdraws every item (and, through blocks, their content) from the root's lists: used when the cell
    // is dropped before the root is cleared.
    void WithdrawItems();
    bool DropLastBottomMargin();

protected:
    // The walk shared by the cell kinds: items get X, refX and refY; a failing item is reported and dropped.
    int LayoutItems(platform::Canvas* canvas, int X, int Y, int refX, int refY, int width, int availHeight,
                    int blockHeight, int& maxWidth, int& cursor, bool trackExtent);
    static bool Hit(const TSectionBase& item, int Y) { return item.DrawTop <= Y && Y < item.DrawBottom; }
};

class TCell : public TCellBasic {
public:
    explicit TCell(TSectionList* root);
    ~TCell() override;

    int DrawY = 0;  // the Y of the last PaintCell

    int LayoutCell(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight, int& maxWidth,
                   int& cursor) override;
    int PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int clipWidth, int X, int Y, int refX,
                  int refY) override;

private:
    std::unique_ptr<IndentManager> FOwnIndent;
};

class TBlockCell : public TCellBasic {
public:
    explicit TBlockCell(TSectionList* root) : TCellBasic(root) {}

    int CellHeight = 0;
    // Set by the owning block when its overflow is hidden: the cell then reports its width as its widest.
    bool HideOverflow = false;

    // Lays the items out at X with the block's reference origin; keeps ContentBottom, DrawTop, DrawBottom.
    int LayoutBlockCell(platform::Canvas* canvas, int X, int Y, int refX, int refY, int width, int availHeight,
                        int blockHeight, int& maxWidth, int& cursor);
};
