#pragma once
// Objects that stand in a line of text like one big character, or float to a side with the text flowing
// round them: pictures and panels derive from TFloatingObj. A text section holds them in a TImageObjList,
// ordered by their character position.

#include <memory>
#include <string>

#include "platform/types.h"
#include "core/freelist.h"
#include "core/idobjects.h"
#include "style/conversions.h"

namespace platform {
class Canvas;
}

class TSectionList;
class TFontObj;
class TFormControlObj;

class TFloatingObj : public TIDObject {
public:
    ~TFloatingObj() override = default;

    int Pos = 0;               // character position in the section's text
    int ObjHeight = 0;         // size taken, border included
    int ObjWidth = 0;
    AlignmentType VertAlign = AlignBottom;
    int Indent = 0;            // X when floating, relative to the indent manager's LfEdge
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
    int SpecWidth = -1, SpecHeight = -1;
    bool PercentWidth = false, PercentHeight = false;
    std::string Title;
    std::string AltText;
    std::u16string AltTextW;
    bool ImageKnown = false;
    int DrawYY = 0, DrawXX = 0;  // document position of the top left as last drawn
    bool NoBorder = false;
    int BorderSize = 0;

    int VerticalPos() override { return DrawYY; }

    bool Floats() const { return VertAlign == AlignLeft || VertAlign == AlignRight; }

    // Sizes the object for the available room; run is the font run the object stands in.
    virtual void FormatObject(TSectionList* root, platform::Canvas* canvas, int availWidth, int availHeight,
                              TFontObj* run) = 0;
    // Draws the object with its left edge at X; baseline and line top are document Ys.
    virtual void Draw(platform::Canvas* canvas, int X, TFontObj* run, int baseline, int lineTop) = 0;
    // A copy belonging to another root (printing).
    virtual std::unique_ptr<TFloatingObj> Copy(TSectionList* newRoot) const = 0;

    // Kinds the text section treats specially.
    virtual bool IsPanel() const { return false; }
    // The form control an image input belongs to, or none.
    virtual TFormControlObj* FormControl() const { return nullptr; }
    // Client-side map name (empty: none) and server-side map flag.
    virtual std::string ClientMapName() const { return {}; }
    virtual bool IsServerMap() const { return false; }
    // Panels: move the window to a screen position and show it (a copy root prints it instead).
    virtual void PlacePanel(platform::Canvas* /*canvas*/, int /*X*/, int /*Y*/) {}
    // Whether the block holding the object is out of the flow (positioned): animated pictures draw then.
    virtual void SetOutOfFlow(bool) {}
};

class TImageObjList : public TFreeList<TFloatingObj> {
public:
    TImageObjList() = default;
    // Copies of every object of source for newRoot.
    TImageObjList(TSectionList* newRoot, const TImageObjList& source);

    TFloatingObj* FindObject(int pos) const;
    // ObjHeight plus both vertical spaces, and the alignment; -1 when no object stands at pos.
    int GetHeightAt(int pos, AlignmentType& align) const;
    // ObjWidth, alignment and horizontal spaces; -1 when no object stands at pos.
    int GetWidthAt(int pos, AlignmentType& align, int& hSpaceL, int& hSpaceR) const;
    // Distance from pos to the first object at or after it; 99999999 when none.
    int GetObjectCountAt(int pos) const;
    // A character before pos was deleted: later objects move down by one.
    void Decrement(int pos);
    // The picture (not panel) under a document point, the point inside it and its position.
    TFloatingObj* PointInImage(int X, int Y, int& IX, int& IY, int& pos) const;
};
