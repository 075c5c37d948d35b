#pragma once
// The frame viewer: the control the application places in its window. It shows a top-level document,
// a plain page or a frameset, through a tree of frame sets and frames (frames.h), each frame holding its
// own HTML viewer. It decides for every clicked link which frame (or the whole view, or the host) gets it,
// keeps one visited list and one top-level history for all frames, shares one image cache among the
// frames' viewers and hands its properties and events down to every one of them.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "images/imagecache.h"
#include "platform/exception.h"
#include "reader/framesetreader.h"
#include "viewer/htmlviewer.h"

class TFrameSet;
class TSubFrameSet;
class TfvFrame;

// Raised by OpenFile for a file that is not there ("Can't locate file: " + the file part), and when a
// link's target cannot be read ("Can't load: " + the name).
VEXA_DECLARE_EXCEPTION(EfvLoadError, platform::Exception)

enum fvOptionEnum {
    fvMetaRefresh,
    fvNoBorder,
    fvNoLinkUnderline,
    fvOverLinksActive,
    fvPrintMonochromeBlack,
    fvPrintTableBackground,
    fvPrintBackground,
    fvShowVScroll,
    fvNoFocusRect,
    fvShowDummyCaret,
    fvNoWheelMouse,
};

// A set of fvOptionEnum members.
class TFrameViewerOptions {
public:
    TFrameViewerOptions() = default;
    TFrameViewerOptions(std::initializer_list<fvOptionEnum> members)
    {
        for (fvOptionEnum m : members)
            Include(m);
    }
    bool Contains(fvOptionEnum m) const { return (bits_ >> m) & 1u; }
    void Include(fvOptionEnum m) { bits_ |= 1u << m; }
    void Exclude(fvOptionEnum m) { bits_ &= ~(1u << m); }
    friend bool operator==(const TFrameViewerOptions&, const TFrameViewerOptions&) = default;

private:
    std::uint32_t bits_ = 0;
};

using THotSpotTargetClickEvent =
    std::function<void(platform::Control* Sender, const std::string& Target, const std::string& URL, bool& Handled)>;
using THotSpotTargetEvent =
    std::function<void(platform::Control* Sender, const std::string& Target, const std::string& URL)>;
using TWindowRequestEvent =
    std::function<void(platform::Control* Sender, const std::string& Target, const std::string& URL)>;
using TProcessingEvent = std::function<void(platform::Control* Sender, bool ProcessingOn)>;
using TFrameNotifyEvent = std::function<void(platform::Control* Sender)>;
// The request events: the host supplies a document instead of a file. Each leaves its output alone when
// it has nothing for the address.
using TStringsRequestEvent =
    std::function<void(platform::Control* Sender, const std::string& SRC, std::vector<std::string>& Strings)>;
using TStreamRequestEvent =
    std::function<void(platform::Control* Sender, const std::string& SRC, std::string& Stream)>;
using TBufferRequestEvent =
    std::function<void(platform::Control* Sender, const std::string& SRC, const char*& Buffer, int& BuffSize)>;
using TFileRequestEvent =
    std::function<void(platform::Control* Sender, const std::string& SRC, std::string& NewName)>;

// The part of the frame viewer the printing code and the focus handling use.
class TFVBase : public TFrameViewerBase {
public:
    explicit TFVBase(platform::Control* parent) : TFrameViewerBase(parent) {}
    virtual int ViewerCount() = 0;
    virtual THTMLViewer* ViewerAt(int index) = 0;
    virtual THTMLViewer* ActiveViewer() = 0;
    // Every viewer with the edges of the view it touches ("l", "t", "r", "b").
    virtual std::vector<std::pair<THTMLViewer*, std::string>> FrameEdgeList() = 0;
    virtual void ClearHistory() = 0;
    // The focus goes to the active viewer when it can take it.
    void SetFocus() override;
};

class TFrameViewer : public TFVBase {
public:
    static constexpr unsigned WM_REFRESHLOAD = platform::WM_USER + 110;

    explicit TFrameViewer(platform::Control* parent);
    ~TFrameViewer() override;

    // ---- loading
    // Loads a file as the top-level document; name is relative to the current folder and may end in
    // "#" and an anchor. Ignored while busy; a missing file part raises EfvLoadError before anything
    // changes.
    void OpenFile(const std::string& name);
    void LoadTopDocument(const std::string& name);
    // Unloads and reloads every frame.
    void Reload();
    std::string ResolveFileName(const std::string& name);
    bool Busy() const { return FProcessing || !FBusyViewers.empty(); }

    // ---- the tree
    int ViewerCount() override;
    THTMLViewer* ViewerAt(int index) override;
    THTMLViewer* ActiveViewer() override;
    // Find in page in the active frame's viewer (the first viewer when none is active).
    TFindResult FindEx(const std::u16string& text, bool matchCase, bool reverse);
    // Printing prints the active frame's page (the first frame's when none is active), as that page alone
    // would print, on PrintPaper with the frame viewer's margins, scale and print options.
    platform::PaperSize PrintPaper = platform::PaperA4();
    int NumPrinterPages();
    void Print(int FromPage, int ToPage);
    int PrintToPDF(const std::string& FileName);
    void PrintPreview();
    std::vector<std::pair<THTMLViewer*, std::string>> FrameEdgeList() override;
    TFrameSet& Master() const { return *FCurFrameSet; }
    // The frame of that name (letter case ignored), or nullptr.
    TfvFrame* FrameByName(const std::string& name) const;
    // The top-level file shown (an absolute name), "" before the first load.
    const std::string& CurrentFile() const;
    // The title of the top-level document: the frameset's, or the only page's.
    std::string DocumentTitle() const;

    // ---- links
    // A link click in the viewer V (routed here from every frame's viewer); Handled is always true
    // afterwards, so that V itself never follows the link.
    void FrameLinkClick(THTMLViewer* V, const std::string& URL, bool& Handled);
    void FrameLinkCovered(THTMLViewer* V, const std::string& URL);
    // Acts as a click on a link with this target and address in the active viewer (a target of "" takes
    // the usual target). Returns true when the click was dropped or the host handled it.
    bool ClickLink(const std::string& target, const std::string& url);
    const std::string& CurrentURL() const { return FCurrentURL; }
    const std::string& CurrentTarget() const { return FCurrentTarget; }
    const std::u16string& LinkText() const { return FLinkText; }
    const std::string& LinkAttributes() const { return FLinkAttributes; }

    // ---- visited links
    void AddVisited(const std::string& url);
    void CheckVisitedLinks();
    const std::vector<std::string>& Visited() const { return FVisited; }
    int VisitedMaxCount() const { return FVisitedMaxCount; }
    void SetVisitedMaxCount(int value);

    // ---- history
    void ClearHistory() override;
    bool FwdButtonEnabled() const;
    bool BackButtonEnabled() const;
    // One step back / forward through the frames' and the top-level history, the most recent step first.
    void GoBack();
    void GoFwd();
    const std::vector<std::string>& History() const { return FHistory; }
    const std::vector<std::string>& TitleHistory() const { return FTitleHistory; }
    int HistoryIndex() const { return FHistoryIndex; }
    // Where a frame history entry or a top-level one counts in the order of navigation.
    std::uint64_t NextSequence() { return ++FSequence; }
    // A frame of a one-viewer master followed a link to another document (third history case).
    // oldForm: the values of the page's form controls, given back when the history returns to it.
    void RecordFrameNavigation(const std::string& oldName, const std::string& oldTitle, std::int64_t oldPos,
                               std::unique_ptr<TFormData> oldForm = nullptr);

    // ---- what the tree asks of the viewer
    TStringBitmapList& ImageCache() { return *FImageCache; }
    // Gives a new frame's viewer the viewer's defaults and events.
    void SetupViewer(THTMLViewer& v, TfvFrame& frame);
    void ViewerProcessing(THTMLViewer* v, bool on);
    // Forgets a viewer that is about to go (busy list, active viewer).
    void ViewerGone(THTMLViewer* v);
    bool RequestEventsInUse() const;
    // The host's text for an address: true when an event supplied it (text set, or fileName for a file
    // answer).
    bool RequestSource(const std::string& src, std::string& text, std::string& fileName);
    // Loads a refresh address as the new top-level document (or reloads the same one), after the
    // timer tick that asked for it has returned.
    void RefreshTopLevel(const std::string& name);
    // The frameset reader of this viewer.
    TFrameSetReader& Reader() { return FReader; }
    // Every name OpenFile was asked to load, in order (also those that failed or were ignored).
    const std::vector<std::string>& OpenRequests() const { return FRequests; }

    // ---- reader callbacks
    void AddFrame(TSubFrameSet* set, TAttributeList& attributes, const std::string& fileName) override;
    TSubFrameSet* AddSubFrameSet(TSubFrameSet* parent) override;
    void ApplyFrameSetAttributes(TSubFrameSet* set, TAttributeList& attributes) override;
    void EndFrameSet(TSubFrameSet* set) override;

    // ---- published properties
    bool ViewImages() const { return FViewImages; }
    void SetViewImages(bool value);
    int ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int value);
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool value);
    platform::TColor DefBackground() const { return FDefBackground; }
    void SetDefBackground(platform::TColor value);
    const std::string& DefFontName() const { return FDefFontName; }
    void SetDefFontName(const std::string& value);
    const std::string& DefPreFontName() const { return FDefPreFontName; }
    void SetDefPreFontName(const std::string& value);
    int DefFontSize() const { return FDefFontSize; }
    void SetDefFontSize(int value);
    platform::TColor DefFontColor() const { return FDefFontColor; }
    void SetDefFontColor(platform::TColor value);
    platform::TColor DefHotSpotColor() const { return FDefHotSpotColor; }
    void SetDefHotSpotColor(platform::TColor value);
    platform::TColor DefVisitedLinkColor() const { return FDefVisitedLinkColor; }
    void SetDefVisitedLinkColor(platform::TColor value);
    platform::TColor DefOverLinkColor() const { return FDefOverLinkColor; }
    void SetDefOverLinkColor(platform::TColor value);
    int HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int value);
    int CharSet() const { return FCharSet; }
    void SetCharSet(int value);
    int MarginWidth() const { return FMarginWidth; }
    void SetMarginWidth(int value);
    int MarginHeight() const { return FMarginHeight; }
    void SetMarginHeight(int value);
    const std::string& ServerRoot() const { return FServerRoot; }
    void SetServerRoot(const std::string& value);
    double PrintMarginLeft() const { return FPrintMargins[0]; }
    double PrintMarginRight() const { return FPrintMargins[1]; }
    double PrintMarginTop() const { return FPrintMargins[2]; }
    double PrintMarginBottom() const { return FPrintMargins[3]; }
    void SetPrintMarginLeft(double v);
    void SetPrintMarginRight(double v);
    void SetPrintMarginTop(double v);
    void SetPrintMarginBottom(double v);
    double PrintScale() const { return FPrintScale; }
    void SetPrintScale(double v);
    const TFrameViewerOptions& fvOptions() const { return FOptions; }
    void SetfvOptions(const TFrameViewerOptions& value);
    // The cursor every frame's viewer shows over text (the control's own Cursor).
    void SetViewerCursor(platform::TCursor cursor);

    // ---- events of the frame viewer
    THotSpotTargetClickEvent OnHotSpotTargetClick;
    THotSpotTargetEvent OnHotSpotTargetCovered;
    TWindowRequestEvent OnBlankWindowRequest;
    TStringsRequestEvent OnStringsRequest;
    TStreamRequestEvent OnStreamRequest;
    TBufferRequestEvent OnBufferRequest;
    TFileRequestEvent OnFileRequest;
    TFrameNotifyEvent OnHistoryChange;
    TProcessingEvent OnProcessing;
    // ---- events passed to every frame's viewer (set them before loading)
    ThtProgressEvent OnProgress;
    TFormSubmitEvent OnFormSubmit;
    decltype(THTMLViewer::OnImageRequest) OnImageRequest;
    decltype(THTMLViewer::OnBitmapRequest) OnBitmapRequest;
    decltype(THTMLViewer::OnScript) OnScript;
    TImageClickEvent OnImageClick;
    TImageOverEvent OnImageOver;
    TRightClickEvent OnRightClick;
    TViewerMouseEvent OnMouseDouble;
    decltype(THTMLViewer::OnPanelCreate) OnPanelCreate;
    decltype(THTMLViewer::OnPanelDestroy) OnPanelDestroy;
    TParseEvent OnParseBegin;
    TViewerNotifyEvent OnParseEnd;
    decltype(THTMLViewer::OnObjectTag) OnObjectTag;
    TMetaType OnMeta;
    TLinkType OnLink;
    TIncludeHandler OnInclude;
    TSoundType OnSoundRequest;
    TObjectClickEvent OnObjectClick;
    TObjectClickEvent OnObjectFocus;
    TObjectClickEvent OnObjectBlur;
    TObjectClickEvent OnObjectChange;
    TFileBrowseEvent OnFileBrowse;
    // Ctrl+F, F3 and Shift+F3 in any frame's viewer.
    decltype(THTMLViewer::OnFindRequest) OnFindRequest;
    decltype(THTMLViewer::OnPrintHeader) OnPrintHeader;
    decltype(THTMLViewer::OnPrintFooter) OnPrintFooter;
    decltype(THTMLViewer::OnPrintHTMLHeader) OnPrintHTMLHeader;
    decltype(THTMLViewer::OnPrintHTMLFooter) OnPrintHTMLFooter;

    void Resize() override;
    void WndMessage(platform::Message& msg) override;

private:
    friend class TFrameSet;
    void SetProcessing(bool on);
    void ForEachViewer(const std::function<void(THTMLViewer&)>& f);
    void ApplyOptions(THTMLViewer& v);
    std::string ActiveTarget();
    std::string ActiveBase();
    void BumpHistory(const std::string& oldFile, TFrameSet* oldSet, const std::string& oldTitle,
                     std::int64_t oldPos, std::unique_ptr<TFormData> oldForm = nullptr);
    void RetireMaster(std::unique_ptr<TFrameSet> master);
    void FreeUnusedMasters();
    void ShowHistoryEntry(int index);
    std::int64_t OnlyViewerPosition();
    std::unique_ptr<TFormData> OnlyViewerFormData();
    THTMLViewer* ActiveOrFirstViewer();
    std::string FullLinkAddress(THTMLViewer& v, const std::string& url);

    // The image cache goes after the masters (declared before them), whose viewers hold its pictures.
    std::unique_ptr<TStringBitmapList> FImageCache;
    std::unique_ptr<TFrameSet> FCurFrameSet;
    // Masters kept for the history (not current), freed when no entry names them.
    std::vector<std::unique_ptr<TFrameSet>> FKeptSets;
    TFrameSetReader FReader;

    bool FProcessing = false;
    bool FBusyReported = false;
    std::vector<THTMLViewer*> FBusyViewers;
    std::string FCurrentURL;
    std::string FCurrentTarget;
    std::u16string FLinkText;
    std::string FLinkAttributes;
    std::vector<std::string> FVisited;
    std::vector<std::string> FHistory;
    std::vector<TFrameSet*> FHistorySets;
    std::vector<std::string> FTitleHistory;
    std::vector<std::int64_t> FPosHistory;
    std::vector<std::unique_ptr<TFormData>> FFormHistory;  // beside FHistory: form values of one-viewer entries
    std::vector<std::uint64_t> FSeqHistory;
    int FHistoryIndex = 0;
    std::uint64_t FSequence = 0;
    std::vector<std::string> FRequests;
    std::string FPendingRefresh;
    std::string FForcedTarget;  // the target ClickLink acts with
    bool FHasForcedTarget = false;

    bool FViewImages = true;
    int FImageCacheCount = 5;
    bool FNoSelect = false;
    platform::TColor FDefBackground = platform::clBtnFace;
    std::string FDefFontName = "Times New Roman";
    std::string FDefPreFontName = "Courier New";
    int FDefFontSize = 12;
    platform::TColor FDefFontColor = platform::clBtnText;
    platform::TColor FDefHotSpotColor = 0xFF0000;
    platform::TColor FDefVisitedLinkColor = 0x800080;
    platform::TColor FDefOverLinkColor = 0xFF0000;
    int FVisitedMaxCount = 50;
    int FHistoryMaxCount = 0;
    int FCharSet = 1;
    int FMarginWidth = 10;
    int FMarginHeight = 5;
    std::string FServerRoot;
    double FPrintMargins[4] = {2, 2, 2, 2};
    double FPrintScale = 1;
    TFrameViewerOptions FOptions{fvPrintMonochromeBlack, fvPrintTableBackground};
};
