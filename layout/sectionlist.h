#pragma once
// The document root: the top cell of a formatted document and the owner of every document-wide list (style
// sheet, anchor names, link runs, maps, animated pictures and their timer, background, selection, inline
// records). The viewer lays it out when the width changes or a document is loaded, paints it with the
// visible rectangle and asks it what lies under the mouse.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "layout/cells.h"
#include "layout/formevents.h"
#include "platform/types.h"
#include "core/freelist.h"
#include "core/idobjects.h"
#include "images/imagecache.h"
#include "core/mapitem.h"
#include "style/fontobj.h"
#include "style/properties.h"

namespace platform {
class Control;
class Timer;
}  // namespace platform

class TStyleList;
class TPropStack;
class TPictureObject;
class TStringBitmapList;
class TPanelObj;
class ThtmlForm;
class SelTextCount;

// A picture that takes part in animation. Animated pictures implement it; the root drives them.
class TAnimationClient {
public:
    virtual ~TAnimationClient() = default;
    bool ShownInPass = false;  // drawn in the current paint; only shown pictures advance
    // Back to the first frame; started too when start is set.
    virtual void RestartAnimation(bool start) = 0;
    // Advances by the time passed since the last step, drawing onto the paint area.
    virtual void AdvanceAnimation() = 0;
    virtual int CurrentFrame() const = 0;
};

// A picture that changes look under the mouse: 0 normal, 1 hover, 2 pressed.
class THoverImage {
public:
    virtual ~THoverImage() = default;
    virtual void SetHoverState(int state) = 0;
};

// Something drawn after the cells of a paint (floating pictures lie over the text drawn before them).
class TDeferredDraw {
public:
    virtual ~TDeferredDraw() = default;
    virtual void DrawDeferred(platform::Canvas* canvas) = 0;
};

// A tab-order entry: a link run's focus window or a form control's own window.
struct TTabStop {
    TFontObj* Run = nullptr;
    platform::Control* Window = nullptr;
};

// A record of an inline element with borders or a background, by source index and document position.
struct InlineRec {
    int StartSource = 0;
    int EndSource = 0;
    int StartDoc = 0;
    int EndDoc = 999999;
    int Ident = 0;  // identity of the element's computed style
    // The element's background colour (piBackgroundColor), paddings, border widths, colours and styles
    // (piBorderStyle .. piBorderLeftStyle), in pixels, as the element's properties give them.
    MarginArray MargArray{};
};

class TInlineList : public TFreeList<InlineRec> {
public:
    explicit TInlineList(TSectionList* owner) : FOwner(owner) {}
    void Clear()
    {
        FreeAll();
        NeedsConverting = true;
    }
    // Document positions of record i; 99999999 for an index outside the list.
    int InlineStart(int i);
    int InlineEnd(int i);
    bool NeedsConverting = true;

private:
    void Convert();
    TSectionList* FOwner;
};

class TSectionList : public TCell, public TFontRunOwner, public TLineLocator {
public:
    // owner: the viewer; paintPanel: its drawing surface. Neither is owned; both may be none.
    TSectionList(platform::Control* owner, platform::Control* paintPanel);
    ~TSectionList() override;

    bool ShowImages = true;
    bool Printing = false;
    int PageBottom = 0;  // while printing: the document Y where the current page ends
    int YOffset = 0;
    bool YOffsetChanged = false;
    int SelStart = 0;
    int SelEnd = 0;
    std::string PreFontName;
    platform::TColor VisitedColor = 0;
    platform::TColor OverColor = 0;
    platform::TColor HotSpotColor = 0;
    bool PrintMonoBlack = false;
    bool PrintTableBackground = false;
    platform::Control* Owner;       // not owned
    platform::Control* PaintPanel;  // not owned

    platform::TColor Background = 0;
    std::function<void(TSectionList* Sender, platform::TColor colour)> OnBackgroundChange;
    platform::Bitmap* BackgroundImage = nullptr;  // not owned: the image cache holds it
    platform::Bitmap* BackgroundMask = nullptr;
    std::string BackgroundName;
    bool BackgroundLoaded = false;
    std::vector<unsigned char> BackgroundPosition;  // the builder's position record, as given

    std::vector<TAnimationClient*> AnimatedImages;  // not owned
    TAnimationClient* BackgroundAnimation = nullptr;
    SelTextCount* SelectionSink = nullptr;
    TFreeList<TMapItem> Maps;
    std::vector<TFormControlObj*> FormControls;   // not owned
    // The document's forms (forms.h), which own their controls, and what the controls tell the viewer.
    TFreeList<ThtmlForm> Forms;
    TFormEvents FormEvents;
    // The values of every form's controls (none when there are no forms), and back (forms.cpp).
    std::unique_ptr<TFormData> GetFormData() const;
    void SetFormData(const TFormData& data);
    std::vector<TPanelObj*> Panels;                // not owned
    // Image names waiting for a delayed picture, with the object that needs it (none: the background).
    std::vector<std::pair<std::string, TIDObject*>> MissingImages;
    // Picture names (cache keys) that could not be had for this document: asked for once only.
    std::unordered_set<std::string> FailedImages;
    std::vector<TFontObj*> FLinkRuns;
    TFontObj* HoverLink = nullptr;
    bool LinkHover = false;
    THoverImage* HoverImage = nullptr;
    bool ShowDummyCaret = false;
    TStyleList* Styles = nullptr;                  // owned unless IsCopy
    std::vector<TDeferredDraw*> DrawList;
    int* FirstLineBaselineSlot = nullptr;
    TIDNameList* IDNames = nullptr;                // owned unless IsCopy
    std::vector<TSectionBase*> PositionList;       // not owned
    TStringBitmapList* ImageCache = nullptr;       // shared with the viewer
    int SectionCount = 0;
    int LayoutPass = 0;
    int ProgressBase = 0;
    bool IsCopy = false;
    std::multimap<std::string, TTabStop> TabOrder;
    bool FirstPaint = false;
    bool ManyLinks = false;
    TInlineList* Inlines = nullptr;                // owned unless IsCopy
    int TableNestLevel = 0;
    bool RowHeightsPending = false;
    float ScaleX = 1.0f;
    float ScaleY = 1.0f;

    // Hooks for parts of the document that other layers provide.
    std::function<void(platform::Canvas*)> OnSizeFormControls;   // forms measure their controls
    std::function<void()> OnHideUnshownControls;                 // move undrawn controls out of view
    std::function<void()> OnMarkControlsUnshown;                 // clear the shown flag of controls and panels

    // The host supplies a picture by name (colour: a transparent colour, or -1 for none).
    std::function<void(TSectionList* Sender, const std::string& name, std::unique_ptr<platform::Bitmap>& bitmap,
                       platform::TColor& colour)>
        OnBitmapRequest;
    // The host's panels (OBJECT elements): told when a panel is made (its name, window, source and type) and
    // before its window is freed.
    std::function<void(TSectionList* Sender, const std::string& name, platform::Control* panel,
                       const std::string& source, const std::string& type)>
        OnPanelCreate;
    std::function<void(TSectionList* Sender, const std::string& name, platform::Control* panel)> OnPanelDestroy;
    // The host supplies a picture's data by name: none (the picture is read from its file), the shared
    // WaitStream (the picture comes later: the name joins MissingImages), or the picture's bytes.
    std::function<void(TSectionList* Sender, const std::string& name, const TImageStream*& stream)> OnImageRequest;
    // Turns a picture name into a full file name.
    std::function<std::string(const std::string& name)> OnExpandName;

    int DefaultFontSize = 12;  // for the document builder
    // While a document is read: the builder's no-break state (NOBR) and its style stack (a small-caps
    // run pushes and pops the style of SMALL on it). Not owned; none outside reading.
    bool NoBreak = false;
    TPropStack* PropStack = nullptr;
    // Told the percentage of layout done (text sections report every 50th section).
    std::function<void(int percent)> OnLayoutProgress;
    // Raised by every Clear: a loop that lets events run (auto-scroll) compares it to know that the
    // document it worked on is gone.
    int Generation = 0;

    void Clear();
    // The picture of a name, from the cache or loaded and cached. transp is in/out (TTranspType); mask is
    // the cache entry's. None when there is no picture; delayed when the host will supply it later.
    TPictureObject* RequestImage(const std::string& name, TTranspType& transp, bool& delayed, bool& fromCache,
                                 platform::Bitmap*& mask);
    // A picture file read as its kind asks: an animated GIF as it is, anything else as a bitmap with its mask.
    std::unique_ptr<TPictureObject> LoadImageFile(const std::string& name, TTranspType& transp,
                                                  std::unique_ptr<platform::Bitmap>& mask);
    // The same for picture data in memory.
    std::unique_ptr<TPictureObject> LoadImageData(const TImageStream& data, TTranspType& transp,
                                                  std::unique_ptr<platform::Bitmap>& mask);
    void LoadBackgroundImage();
    // The viewer's defaults: the style sheet's defaults, the link colours and look, the background.
    void SetFonts(const std::string& fontName, const std::string& preFontName, int size, platform::TColor colour,
                  platform::TColor hotSpot, platform::TColor visited, platform::TColor over,
                  platform::TColor background, bool overLinksActive, bool underlineLinks, int charset,
                  int marginHeight, int marginWidth);
    void SetBackground(platform::TColor colour);
    void SetBackgroundImage(const std::string& name, const std::vector<unsigned char>& position);

    int Layout(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight, int& maxWidth,
               int& cursor);
    int PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int clipWidth, int X, int Y, int refX,
                  int refY) override;
    bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                std::string& title) override;
    // Opens (isStart) or closes the record of an inline element with borders or a background.
    void AddInline(int sourceIndex, TProperties& props, bool isStart);
    void ClearHover();
    void PressHoverImage(bool pressed);

    void ScrollTo(int offset);
    int SelectedLength();
    int SelectedText(char16_t* buffer, int size);
    int DocPosOf(int sourceIndex, bool previous);
    bool CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y);
    // The last registered item whose top is at or above Y, with that top and its index; none when all lie below.
    TSectionBase* FindItemAtY(int Y, int& itemY, int& index);
    void AnimationTick();
    platform::Timer* AnimationTimer() const { return FTimer.get(); }

    // An object is freed before the document is cleared: take it out of every document-wide list.
    void ObjectRemoved(TIDObject* obj);

    // TFontRunOwner
    std::vector<TFontObj*>& LinkRuns() override { return FLinkRuns; }
    int TabOrderCount() const override { return int(TabOrder.size()); }
    void AddTabOrder(const std::string& key, TFontObj* run) override;
    platform::Control* PaintArea() override { return PaintPanel; }
    void LinkFocused(TFontObj* run) override;
    void InvalidatePaintArea() override;
    void LinkKeyDown(TFontObj* run, int& key, platform::TShiftState shift) override;
    void RunRemoved(TFontObj* run, TFontObj* survivor) override;
    std::function<void(TFontObj*)> OnLinkFocused;
    std::function<void(TFontObj*, int&, platform::TShiftState)> OnLinkKeyDown;

    // TLineLocator
    bool FindLineOfCharPos(int charPos, int& y) override;

private:
    void SetTimerEnabled(bool value);
    void AssignTabOrder();

    std::unique_ptr<platform::Timer> FTimer;
    std::unique_ptr<TAnimationClient> FBackgroundAnimator;  // a moving document background
    std::unique_ptr<TStyleList> FOwnStyles;
    std::unique_ptr<TIDNameList> FOwnIDNames;
    std::unique_ptr<TInlineList> FOwnInlines;
};
