#pragma once
// Horizontal rules (HR) and page breaks (PAGE): two small items of the text flow.

#include "layout/sectionbase.h"
#include "platform/types.h"

class TProperties;
class TAttributeList;

class THorzLine : public TSectionBase {
public:
    // Reads ALIGN, WIDTH, SIZE, COLOR and NOSHADE; WIDTH, the thickness and COLOR go into the element's
    // properties (width, height and colour), where the rule block that holds the line finds them.
    THorzLine(TSectionList* root, TProperties& properties, const TAttributeList* attributes);

    int Thickness = 2;                       // 1..20
    platform::TColor Color = 0x1FFFFFFF;     // no colour: a shaded 3-D line
    int Alignment = 2;                       // 1 left, 2 center, 3 right
    bool NoShade = false;
    int LineWidth = 0;                       // set by Layout
    int Left = 0;                            // set by Layout

    void Duplicate(TSectionList* newRoot, const TSectionBase& source) override;
    void CopySelection() override;
    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
};

class TPage : public TSectionBase {
public:
    explicit TPage(TSectionList* root) { Root = root; }
    // While printing, ends the current page at this item.
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
};
