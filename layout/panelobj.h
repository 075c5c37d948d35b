#pragma once
// Panels: a child window in a line of text (or floating beside it) that the host application fills, made
// for OBJECT elements whose host wants one. The host hears of each panel when it is made and before it
// is freed.

#include <memory>
#include <string>

#include "layout/floatingobj.h"
#include "platform/panel.h"

class TAttributeList;
class TProperties;

// The window of a panel.
class ThvPanel : public platform::Panel {
public:
    explicit ThvPanel(platform::Control* parent);

    std::string Source;  // the element's SRC, kept for the host
    std::string Type;    // its TYPE
};

class TPanelObj : public TFloatingObj {
public:
    // Makes the window (a child of the root's paint area, hidden out of view) from the element's attributes
    // and tells the host, unless the object is a copy.
    TPanelObj(TSectionList* root, bool isCopy, const TAttributeList* attributes);
    ~TPanelObj() override;

    TSectionList* Root;  // not owned
    int NaturalWidth = 0;
    int NaturalHeight = 0;
    bool IsCopy = false;
    std::unique_ptr<ThvPanel> Panel;
    bool ShownInPaint = false;  // placed by the paint that is under way

    void FormatObject(TSectionList* root, platform::Canvas* canvas, int availWidth, int availHeight,
                      TFontObj* run) override;
    // The window draws itself; nothing is drawn onto the canvas.
    void Draw(platform::Canvas* canvas, int X, TFontObj* run, int baseline, int lineTop) override;
    std::unique_ptr<TFloatingObj> Copy(TSectionList* newRoot) const override;
    bool IsPanel() const override { return true; }
    // The element's style: its vertical alignment, and a float side (with 3 pixels of room each side).
    void TakeStyle(const TProperties& props);
    void PlacePanel(platform::Canvas* canvas, int X, int Y) override;
    // Moves the window out of view (a panel that the last paint did not reach).
    void HidePanel();
};
