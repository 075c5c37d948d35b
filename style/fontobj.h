#pragma once
// Font runs: TFontObj styles a stretch of a text section from a character position onward and carries the
// link state (hover, visited, keyboard focus) of its link; TFontList holds the runs of one section.

#include <memory>
#include <string>
#include <vector>

#include "platform/control.h"
#include "core/freelist.h"
#include "core/urltarget.h"
#include "style/fonts.h"

class TSection;
class TFontObj;

// What font runs need from the document root that lists them. The root implements it; the focus windows
// of links need the viewer's paint area, which the root hands out.
class TFontRunOwner {
public:
    virtual ~TFontRunOwner() = default;
    // The runs of links in document order.
    virtual std::vector<TFontObj*>& LinkRuns() = 0;
    virtual int TabOrderCount() const = 0;
    virtual void AddTabOrder(const std::string& key, TFontObj* run) = 0;
    // The control focus windows are placed on; nullptr while there is none (no focus windows then).
    virtual platform::Control* PaintArea() = 0;
    // A link got the keyboard focus: the viewer scrolls it into view.
    virtual void LinkFocused(TFontObj* run) = 0;
    virtual void InvalidatePaintArea() = 0;
    // A key on a focused link: Enter follows the link as a click would, other keys go to the viewer.
    virtual void LinkKeyDown(TFontObj* run, int& key, platform::TShiftState shift) = 0;
    // A run is freed before the document is cleared: take it out of every document-wide list. When the
    // run merged into a survivor of the same link, entries that named it name the survivor instead.
    virtual void RunRemoved(TFontObj* run, TFontObj* survivor) = 0;

    // Where the last link run was found in LinkRuns: lines are laid out in document order, so the next
    // one asked about usually stands right after it.
    int LinkRunHint = 0;
};

class TFontObj {
public:
    TFontObj(TSection* section, int pos, std::unique_ptr<TMyFont> font);
    // A copy for another section: same position and shift, the plain link look, no focus window.
    TFontObj(TSection* section, const TFontObj& source);
    ~TFontObj();
    TFontObj(const TFontObj&) = delete;
    TFontObj& operator=(const TFontObj&) = delete;

    TSection* Section;
    bool Visited = false;
    bool Hover = false;
    std::string Title;
    int LinkY = 0;
    bool Active = false;
    int Pos = 0;
    std::unique_ptr<TMyFont> TheFont;
    std::unique_ptr<TFontInfoArray> LinkFonts;
    int FontHeight = 0;
    int TmHeight = 0;
    int TmMaxCharWidth = 0;
    int Overhang = 0;
    int Descent = 0;
    AlignmentType SScript = AlignNone;
    std::unique_ptr<TUrlTarget> UrlTarget;
    std::unique_ptr<platform::Control> TabControl;

    void PrepareLinkFonts();
    void ReplaceFont(std::unique_ptr<TMyFont> font);
    void SetVisited(bool value);
    void SetHover(bool value);
    // SetHover on this run and its neighbours of the same link in runs.
    void SetAllHovers(const std::vector<TFontObj*>& runs, bool value);
    void CreateFocusWindow(TFontRunOwner& owner, int tabIndex);
    void SetLinkY(TFontRunOwner& owner, int y);
    void GetFontHeight(int& fontHeight, int& descent) const;
    std::string URL() const { return UrlTarget ? UrlTarget->Url : std::string(); }
    bool IsLink() const { return UrlTarget && !UrlTarget->Url.empty(); }
    int LinkId() const { return UrlTarget ? UrlTarget->ID : 0; }

    // Re-attaches the focus handlers after the focus window moved to this run.
    void AttachFocusHandlers(TFontRunOwner& owner);

private:
    void UpdateMetrics();
    void ApplyLook();
};

class TFontList : public TFreeList<TFontObj> {
public:
    TFontList() = default;
    // Copies of every run of source, for section.
    TFontList(TSection* section, const TFontList& source);

    // The run with the greatest Pos not greater than pos (its font and overhang); nullptr when none.
    TMyFont* GetFontAt(int pos, int& overhang) const;
    TFontObj* GetFontObjAt(int pos, int& index) const;
    // Characters from pos to the next run's start, or to length when no later run exists.
    int GetFontCountAt(int pos, int length) const;
    // After the character at pos was deleted: later runs move down by one; of two runs that now start
    // at the same place the earlier is taken out of the owner's lists and freed.
    void Decrement(int pos, TFontRunOwner* owner);
};
