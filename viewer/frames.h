#pragma once
// The tree of panels through which the frame viewer shows a page: a master frame set filling the control,
// nested sets for nested FRAMESET elements, and frames as the leaves. A frame shows one HTML viewer or,
// when its own source is a frameset document, a nested set. A plain page is a master with one frame.
//
// Ownership: children are owned by their parent panel (the control tree); the lists here only point.
// Nothing of the tree is freed inside event handling: a replaced part is detached and hidden at once and
// freed when control returns to the event loop, since the click or timer that replaced it may still be
// running in one of its objects.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/panel.h"
#include "platform/timer.h"
#include "reader/framesetreader.h"
#include "viewer/htmlviewer.h"

class TFrameViewer;
class TFrameSet;
class TSubFrameSet;
class TfvFrame;

// A frame or a frame set: a panel that knows its master set and takes part in loading, sizing and the
// dragging of borders.
class TFrameBase : public platform::Panel {
public:
    TFrameBase(platform::Control* parent, TFrameSet* master);

    TFrameSet* LOwner;     // the master set (the master itself for the master)
    int LocalCharSet = 1;  // inherited from the parent

    // Appends every frame of this subtree to the master's frame list.
    virtual void RegisterFrames() = 0;
    // Mouse events in this panel's coordinates: a border drag, or passed up to the parent set.
    virtual void FrameMouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) = 0;
    virtual void FrameMouseMove(platform::TShiftState shift, int x, int y) = 0;
    virtual void FrameMouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) = 0;
    // Whether any frame of the subtree has NORESIZE; first / last: whether its first / last child has.
    virtual bool CollectNoResize(bool& first, bool& last) = 0;
    virtual void LoadFiles() = 0;
    // Loads again after UnloadFiles; position < 0 restores the saved positions.
    virtual void ReloadFiles(std::int64_t position) = 0;
    virtual void UnloadFiles() = 0;
    // Computes the pixel sizes of the children for that extent.
    virtual void SizeChildren(int left, int top, int height, int width) = 0;

    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

    // The set this panel is a child of (nullptr for the master).
    TFrameBase* ParentFrame() const;
    // The frame or set whose nested set or child this is, walking up; nullptr at the master.
    TFrameViewer* FrameViewer() const;
};

// A frame history entry: the source shown and where it stood.
struct TFrameHistoryEntry {
    std::string Source;
    std::unique_ptr<PositionObj> Position;
    std::uint64_t Sequence = 0;  // when this entry became the frame's current one (the viewer's counter)
};

class TfvFrame : public TFrameBase {
public:
    // attributes may be null (an empty frame added to match the size list).
    TfvFrame(platform::Control* parent, TFrameSet* master, TAttributeList* attributes, const std::string& fileName);
    ~TfvFrame() override;

    std::string FrameName;
    std::string Source;
    std::string OriginalSource;
    std::string Destination;
    bool NoResize = false;
    bool NoScroll = false;
    int FrameMarginWidth = 10;
    int FrameMarginHeight = 5;
    // Text handed in by the host's request events for this frame (the master's single frame).
    bool HasPrefetched = false;
    std::string Prefetched;

    THTMLViewer* DocViewer() const { return FViewer; }
    TSubFrameSet* SubSet() const { return FSubSet; }

    void RegisterFrames() override;
    void FrameMouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void FrameMouseMove(platform::TShiftState shift, int x, int y) override;
    void FrameMouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    bool CollectNoResize(bool& first, bool& last) override;
    void LoadFiles() override;
    void ReloadFiles(std::int64_t position) override;
    void UnloadFiles() override;
    void SizeChildren(int left, int top, int height, int width) override;
    void Resize() override;

    // Follows a link into this frame: a new source (or the current one when name is empty).
    void FrameLoad(const std::string& name, const std::string& destination, bool reload, bool addHistory);
    // The frame's history, newest first.
    const std::vector<TFrameHistoryEntry>& History() const { return FHistory; }
    int HistoryIndex() const { return FHistoryIndex; }
    // Shows the entry at index of the history (no new entry); false when there is none.
    bool GoToHistory(int index);
    void ClearHistory();
    // Drops the entries newer than the current one.
    void DiscardForward();
    bool Unloaded() const { return FUnloaded; }
    // A refresh is waiting (its delay in seconds, 0 when none).
    int PendingRefreshDelay() const { return FRefreshDelay; }

private:
    friend class TFrameViewer;
    THTMLViewer& CreateViewer();
    void LoadIntoViewer(const std::string& kindSource);
    void ShowError(const std::string& name);
    void MakeSubSet();
    void DropViewer();
    void DropSubSet();
    // oldForm: the values of the form controls of the page left, kept with its entry.
    void AddHistory(const std::string& source, std::int64_t newPos, std::int64_t oldPos, bool discardForward = true,
                    std::unique_ptr<TFormData> oldForm = nullptr);
    void ViewerMetaRefresh(int delay, const std::string& url);
    void RefreshTimerTick();
    void PlaceChild();
    int Border() const;

    THTMLViewer* FViewer = nullptr;
    TSubFrameSet* FSubSet = nullptr;
    std::vector<TFrameHistoryEntry> FHistory;
    int FHistoryIndex = 0;
    std::unique_ptr<platform::Timer> FRefreshTimer;
    std::string FRefreshUrl;
    int FRefreshDelay = 0;
    bool FUnloaded = false;
    std::int64_t FSavedPosition = 0;
    std::unique_ptr<TFormData> FSavedFormData;  // form values of the page while the frame is unloaded
};

class TSubFrameSet : public TFrameBase {
public:
    // At most this many ROWS or COLS entries are read.
    static constexpr int MaxSizeEntries = 20;

    TSubFrameSet(platform::Control* parent, TFrameSet* master);
    ~TSubFrameSet() override;

    bool Rows = false;
    // One entry per child: >= 0 pixels; -1 .. -99 a relative weight (n* is -n); <= -100 a percentage
    // (n% is -(n + 100)).
    std::vector<int> Dim;
    std::vector<int> ComputedSizes;
    int Total = 0;
    // The far edge of each placed child, along the split.
    std::vector<int> BorderPositions;
    // One flag per border position around and between the children (children + 1).
    std::vector<bool> NoResizeBorder;
    int FrameBorder = 2;  // the bevel width of the frames of this set
    int OuterBorder = 0;  // this set's own bevel width
    std::vector<TFrameBase*> List;  // children in document order
    std::string FBase;
    std::string FBaseTarget;
    int RefreshDelay = 0;  // seconds; 0 = none
    std::string RefreshUrl;
    bool Unloaded = false;

    virtual void RefreshTimerTick();
    virtual void ClearFrameSet();
    virtual void EndFrameSet();
    void ApplyFrameSetAttributes(TAttributeList& attributes);
    // Places the children in the client rectangle (less the outer bevel), scaled from the computed sizes.
    void PlaceChildren();
    // The reader's meta handler of a frameset document read into this set.
    void HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content);
    // Starts the refresh timer of a refresh found in the frameset document (after loading).
    void StartRefresh();
    void StopRefresh();
    // Adds a child frame / set in document order.
    TfvFrame& AddFrame(TAttributeList* attributes, const std::string& fileName);
    TSubFrameSet& AddSubSet();
    // The frameset document's source: reads it into this set.
    void ReadFrom(int sourceKind, const std::string& text, const std::string& fileName);

    // Reads a ROWS or COLS value into list (at most MaxSizeEntries entries).
    static void ReadSizeList(const std::string& value, std::vector<int>& list);
    // The sizes of the entries for an extent (every entry one child).
    static std::vector<int> ComputeSizes(const std::vector<int>& dim, int extent);

    void RegisterFrames() override;
    void FrameMouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void FrameMouseMove(platform::TShiftState shift, int x, int y) override;
    void FrameMouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    bool CollectNoResize(bool& first, bool& last) override;
    void LoadFiles() override;
    void ReloadFiles(std::int64_t position) override;
    void UnloadFiles() override;
    void SizeChildren(int left, int top, int height, int width) override;
    void Resize() override;

    // The set whose border is being dragged shows it here.
    bool Dragging() const { return FDragBorder >= 0; }

protected:
    void FreeChildren();
    platform::Rect InnerRect() const;
    void SetChildCursors(platform::TCursor cursor);

    std::unique_ptr<platform::Timer> FRefreshTimer;
    int FDragBorder = -1;          // index of the border being dragged
    int FDragMin = 0, FDragMax = 0;  // the strip the pointer may move in
    int FDragPos = 0;
    platform::Panel* FDragLine = nullptr;
    int FLastWidth = -1, FLastHeight = -1;
    int FGrabBorder = -1;         // the border the pointer is over, when it can be dragged
    std::string FDocumentFile;    // the frameset document read into this set
    std::string FRefreshFile;     // a refresh address made a file name, and its anchor part
    std::string FRefreshAnchor;

private:
    int NearestBorder(int coordinate, int& distance) const;
    void ShowDragLine(int pos);
};

// The master set: fills the frame viewer and keeps the lists of the whole tree.
class TFrameSet : public TSubFrameSet {
public:
    // Frames and sets one viewer may hold; more FRAME and FRAMESET tags are ignored.
    static constexpr int MaxItems = 1000;
    // Frame documents nested deeper than this stay empty.
    static constexpr int MaxNestLevel = 4;

    TFrameSet(platform::Control* parent, TFrameViewer* viewer);
    ~TFrameSet() override;

    TFrameViewer* Viewer;
    std::map<std::string, TfvFrame*> FrameNames;  // upper-case names; the first frame of a name wins
    std::vector<THTMLViewer*> Viewers;
    std::vector<TfvFrame*> Frames;
    TSubFrameSet* DraggedSet = nullptr;
    std::string CurrentFile;
    std::string FTitle;
    std::string FBaseName;
    int NestLevel = 0;
    int ItemCount = 0;
    THTMLViewer* FActive = nullptr;

    // Loads a top-level document (a frameset, or a page shown in one frame).
    void LoadTopLevel(const std::string& name, const std::string& destination);
    void ClearFrameSet() override;
    void EndFrameSet() override;
    void RefreshTimerTick() override;
    // Rebuilds the frame, viewer and name lists from the tree (after any change of its shape).
    void RebuildLists();
    void SetActive(THTMLViewer* viewer);
    THTMLViewer* ActiveViewer() const;
    // Discards every frame's forward history.
    void DiscardForwardHistory();
    void Resize() override;
};

// The document kinds a source name stands for.
enum class TSourceKind { Html, Image, Text };
TSourceKind SourceKindOf(const std::string& name);

// File names and addresses compare ignoring letter case, and "/" and "\" count as the same separator
// (names from pages and from the program mix them).
std::string FileNameKey(const std::string& name);
bool SameFileName(const std::string& a, const std::string& b);

// The page a frame shows when its document cannot be loaded.
std::string ErrorDocument(const std::string& name);
