#pragma once
// The abstract document item. Text sections, blocks, tables, rules and page breaks derive from it; a cell
// drives its items only through the virtual operations declared here.

#include <string>

#include "platform/exception.h"
#include "core/idobjects.h"

namespace platform {
class Canvas;
struct Rect;
}  // namespace platform

class TSectionList;
class TBlock;
class TUrlTarget;
class TFormControlObj;
class IndentManager;

// Raised by an item whose layout cannot go on; the cell reports it and drops the item.
VEXA_DECLARE_EXCEPTION(EProcessError, platform::Exception)

// Positions that no item holds.
constexpr int NoPosition = -1;
// YPosition of an item that was never laid out.
constexpr int NotLaidOut = 999999999;

class TSectionBase : public TIDObject {
public:
    TSectionBase() = default;
    ~TSectionBase() override = default;
    TSectionBase(const TSectionBase&) = delete;
    TSectionBase& operator=(const TSectionBase&) = delete;

    TBlock* OwnerBlock = nullptr;  // the block that contains the item, or none
    TSectionList* Root = nullptr;  // not owned
    int SectionHeight = 0;         // height of the item's own flow
    int DrawHeight = 0;            // including what hangs below the flow; never below SectionHeight
    int StartCursor = 0;           // document position of the first character
    int CharCount = 0;             // document positions held
    int YPosition = NotLaidOut;    // document Y of the top
    int ContentBottom = 0;         // YPosition + SectionHeight
    int DrawTop = 0;               // vertical extent with overhangs: hit tests ask an item only when
    int DrawBottom = 0;            //   DrawTop <= Y < DrawBottom
    int YDraw = 0;                 // the Y of the last Layout; Paint draws from here
    int ZIndex = 0;                // painting order within the owner block: higher lies on top (blocks set it)

    // ---- The operations every item implements (in this order in every item class).

    int VerticalPos() override { return YPosition; }
    // A copy of source belonging to newRoot (used for printing). The base copies the root and the height.
    virtual void Duplicate(TSectionList* newRoot, const TSectionBase& source);
    // Hands the selected part of the item to the root's selection sink.
    virtual void CopySelection() {}
    virtual int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                       int blockHeight, IndentManager* indent, int& maxWidth, int& cursor);
    // Draws the item when it meets clip; answers the bottom Y.
    virtual int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
                      int refY);
    virtual bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                        std::string& title);
    virtual bool ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY);
    virtual int CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText);
    virtual int FindText(int fromPos, const std::u16string& text, bool matchCase);
    virtual int FindTextBackward(int fromPos, const std::u16string& text, bool matchCase);
    virtual int SourcePosOf(int docPos);
    virtual int DocPosOf(int sourceIndex, bool previous);
    virtual bool CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y);
    virtual bool CharAt(int pos, char16_t& ch, TIDObject*& object);
    virtual void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth);
    // Appends the item to the root's position list.
    virtual void RegisterPosition();

    // ---- Hooks for the cells; item kinds that need them override.

    // Called by AddItem before the item joins a cell (a text section still being read closes its text here).
    virtual void FinishReading(int /*sourceIndex*/) {}
    // True for an item that is worthless in a cell (a text section that collapsed to nothing); AddItem then
    // frees it instead of adding it.
    virtual bool Collapsed() const { return false; }
    // Takes the item's entries (link runs, names, tab stops) out of the root's lists before it is freed
    // ahead of the root being cleared. Items that hold a cell also withdraw its items (WithdrawItems).
    virtual void Withdraw();
    // A block in the flow (not absolutely positioned)?
    virtual bool IsFlowBlock() const { return false; }
    // An absolutely positioned block?
    virtual bool IsAbsoluteBlock() const { return false; }
    // For a flow block: drops a bottom margin that came from the default paragraph spacing; true if it did.
    virtual bool DropBottomMargin() { return false; }
};
