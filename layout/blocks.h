#pragma once
// Blocks: the box of a block-level element around a cell of content, with margins (collapsed against the
// block before), borders, padding, width and height, background colour and picture, floats, clear,
// relative and absolute positioning, z-order, visibility and hidden overflow. Rule blocks, list items and
// the body specialise it.

#include <memory>
#include <string>
#include <vector>

#include "layout/cells.h"
#include "layout/sectionbase.h"
#include "platform/types.h"
#include "core/symbols.h"
#include "style/conversions.h"
#include "style/properties.h"

class TAttributeList;
class THorzLine;
class TImageObj;
namespace platform {
class Bitmap;
}  // namespace platform

class TBlock : public TSectionBase {
public:
    TBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props);
    ~TBlock() override;

    std::unique_ptr<TBlockCell> MyCell;
    TCellBasic* OwnerCell = nullptr;  // not owned
    int ContentLeft = 0;              // document X of the content box
    int ContentWidth = 0;
    MarginArray MargArray{};
    bool IsListItem = false;
    bool IsListBlock = false;  // the block of an OL, UL, DIR or MENU
    std::string TagClass;
    AlignmentType FloatLR = AlignNone;  // AlignLeft, AlignRight or AlignNone
    PositionType Positioning = PosStatic;
    VisibilityType Visibility = VisInherit;
    bool HideOverflow = false;
    bool BreakBefore = false, BreakAfter = false, KeepIntact = false;
    std::uint8_t BlockAlign = 1;  // 1 left (or justify), 2 centre, 3 right
    int TopP = 0, LeftP = 0;      // the converted "top" and "left"
    int ContentBot = 0;           // document Y of the bottom of the content box
    std::string Title;
    platform::Rect MyRect{};      // the border box as last painted, screen coordinates
    // The cell's items in painting order: by ZIndex, document order among equals.
    std::vector<TSectionBase*> DrawList;

    // Sets the bottom margin in pixels; paraSpace marks it as the default paragraph spacing, which a
    // following construct may drop.
    void SetBottomMargin(int pixels, bool paraSpace);

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
    void RegisterPosition() override;
    void Withdraw() override;
    bool IsFlowBlock() const override;
    bool IsAbsoluteBlock() const override;
    bool DropBottomMargin() override;

    virtual void DrawBorders(platform::Canvas* canvas, const platform::Rect& borderBox,
                             const platform::Rect& paddingBox);
    virtual int FindWidth(platform::Canvas* canvas, int availWidth, int autoCount, int availHeight);

    int MarginTop() const { return FMarginTop; }
    int MarginBottom() const { return FMarginBottom; }
    bool IsFloating() const { return FloatLR == AlignLeft || FloatLR == AlignRight; }
    // The X at which the content was last painted (screen coordinates).
    int PaintedContentX() const { return FPaintContentX; }

protected:
    std::unique_ptr<TProperties> FProps;  // the element's computed values, converted at each layout
    int FMarginTop = 0, FMarginBottom = 0;
    bool FBottomParaSpace = false;
    int EmSize = 0, ExSize = 0;
    int IndentOffset = 0;
    int ClearAddon = 0;
    ClearType ClearAttr = ClearNone;
    BorderStyleType BorderStyle = bssNone;
    bool DisplayNone = false;
    // The background picture: its name (none: no picture), placement, and the cached picture once loaded.
    std::string BGImageName;
    BackgroundPos BGPos[2];
    bool NeedImageStuff = false;
    platform::Bitmap* BGBitmap = nullptr;  // not owned: the image cache holds it
    platform::Bitmap* BGMask = nullptr;
    std::unique_ptr<TImageObj> BGImage;    // the picture object behind BGBitmap (moving GIFs step it)
    // An absolutely positioned block lays its content out with its own indent manager.
    std::unique_ptr<IndentManager> FOwnIMgr;
    int FLayoutX = 0;       // the X the last Layout was given
    int FBoxLeft = 0;       // document X of the border box's left edge
    int FBoxTop = 0;        // document Y of its top
    int FPaintContentX = 0;

    void LoadBackground();
    void BuildDrawList();
    // Applies the relative offset to a document Y asked about by a hit test.
    int HitY(int Y) const { return Positioning == PosRelative ? Y - TopP : Y; }
};

class THRBlock : public TBlock {
public:
    THRBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props);

    std::uint8_t Align = 2;       // 1 left, 2 centre, 3 right
    THorzLine* Line = nullptr;    // the rule inside MyCell

    void Duplicate(TSectionList* newRoot, const TSectionBase& source) override;
    int FindWidth(platform::Canvas* canvas, int availWidth, int autoCount, int availHeight) override;
};

class TBlockLI : public TBlock {
public:
    // level: list depth; number: the item's number; typeLetter: the OL TYPE character ('1', 'a', 'A', 'i',
    // 'I'); plain: the list has no markers; listSymbol: the enclosing list (OLSy, ULSy, DirSy, MenuSy,
    // DLSy; anything else: an item outside any list).
    TBlockLI(TSectionList* root, TAttributeList* attributes, int level, int number, char typeLetter, bool plain,
             Symbol listSymbol, TCellBasic* ownerCell, TProperties& props);
    ~TBlockLI() override;

    std::uint8_t ListType = 4;
    int ListNumb = 1;
    ListStyleType ListStyle{};
    int FirstLineY = 0;
    // The "list-style-image" picture, drawn instead of the bullet or number once it could be had.
    std::string MarkerImageName;
    platform::Bitmap* MarkerBitmap = nullptr;  // not owned: the image cache holds it
    platform::Bitmap* MarkerMask = nullptr;
    std::unique_ptr<TImageObj> MarkerImage;  // the picture object behind MarkerBitmap
    // The marker text of a numbered item ("3.", "c.", "iv."); empty for bullets.
    std::u16string MarkerText() const;

    void Duplicate(TSectionList* newRoot, const TSectionBase& source) override;
    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
};

class TBodyBlock : public TBlock {
public:
    TBodyBlock(TSectionList* root, TAttributeList* attributes, TCellBasic* ownerCell, TProperties& props);

    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
    bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                std::string& title) override;
};
