#pragma once
// The HTML viewer control: a scrolling window that shows one document. It reads the document from a file
// or from memory, has the builder turn it into a section list, formats that to its width, sets up its two
// scroll bars from the formatted size and paints through an off-screen bitmap of the update rectangle.
// The interactive side (hot spots, link following, selection, auto-scroll, visited links, history) lives
// in viewermouse.cpp.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/control.h"
#include "platform/panel.h"
#include "platform/printer.h"
#include "platform/scrollbar.h"
#include "platform/timer.h"
#include "platform/types.h"
#include "reader/builder.h"
#include "images/imagecache.h"
#include "layout/formevents.h"

class TSectionList;
class TStringBitmapList;
class TFontObj;
class TIDObject;
class TUrlTarget;
class TFormControlObj;
class THTMLViewer;
class TPrintDocument;
namespace platform {
class PrintPreview;
}

enum THTMLBorderStyle
{
    htFocused,
    htNone,
    htSingle
};
enum TScrollStyle
{
    ssNone,
    ssHorizontal,
    ssVertical,
    ssBoth
};
enum ThtProgressStage
{
    psStarting,
    psRunning,
    psEnding
};

enum htOptionEnum
{
    htOverLinksActive,
    htNoLinkUnderline,
    htPrintTableBackground,
    htPrintBackground,
    htPrintMonochromeBlack,
    htShowDummyCaret,
    htShowVScroll,
    htNoWheelMouse,
};

// A set of htOptionEnum members.
class ThtmlViewerOptions
{
public:
    ThtmlViewerOptions() = default;
    ThtmlViewerOptions(std::initializer_list<htOptionEnum> members)
    {
        for (htOptionEnum m : members)
            Include(m);
    }
    bool Contains(htOptionEnum m) const { return (bits_ >> m) & 1u; }
    void Include(htOptionEnum m) { bits_ |= 1u << m; }
    void Exclude(htOptionEnum m) { bits_ &= ~(1u << m); }
    friend bool operator==(const ThtmlViewerOptions&, const ThtmlViewerOptions&) = default;

private:
    std::uint32_t bits_ = 0;
};


// A history entry's place in its document.
class PositionObj
{
public:
    std::int64_t ScrollPos = 0; // an encoded Position
    std::uint8_t DocKind = 0;
    std::unique_ptr<TFormData> SavedFormData;
};

// What a right click found under the mouse; lives for one OnRightClick.
struct TRightClickParameters
{
    std::string LinkUrl;
    std::string LinkTarget;
    TIDObject* ClickedImage = nullptr;
    int ImageOffsetX = 0;
    int ImageOffsetY = 0;
    std::u16string WordAtPoint;
};

using THotSpotEvent = std::function<void(THTMLViewer* Sender, const std::string& SRC)>;
using THotSpotClickEvent = std::function<void(THTMLViewer* Sender, const std::string& SRC, bool& Handled)>;
using TViewerProcessingEvent = std::function<void(THTMLViewer* Sender, bool ProcessingOn)>;
using ThtProgressEvent = std::function<void(THTMLViewer* Sender, ThtProgressStage Stage, int PercentDone)>;
using TParseEvent = std::function<void(THTMLViewer* Sender, std::string& Source)>;
using TViewerNotifyEvent = std::function<void(THTMLViewer* Sender)>;
using TMetaRefreshType = std::function<void(THTMLViewer* Sender, int Delay, const std::string& URL)>;
using TMetaType = std::function<void(THTMLViewer* Sender, const std::string& HttpEq, const std::string& Name,
                                     const std::string& Content)>;
using TLinkType = std::function<void(THTMLViewer* Sender, const std::string& Rel, const std::string& Rev,
                                     const std::string& Href)>;
using TSoundType = std::function<void(THTMLViewer* Sender, const std::string& SRC, int Loop, bool Terminate)>;
using TImageOverEvent =
    std::function<void(THTMLViewer* Sender, TIDObject* Obj, platform::TShiftState Shift, int X, int Y)>;
using TImageClickEvent =
    std::function<void(THTMLViewer* Sender, TIDObject* Obj, platform::TMouseButton Button,
                       platform::TShiftState Shift, int X, int Y)>;
using TRightClickEvent = std::function<void(THTMLViewer* Sender, TRightClickParameters& Parameters)>;
using TViewerMouseEvent = std::function<void(THTMLViewer* Sender, platform::TMouseButton Button,
                                             platform::TShiftState Shift, int X, int Y)>;
// A form control's script event: the control and its ONCLICK, ONFOCUS, ONBLUR or ONCHANGE text.
using TObjectClickEvent = std::function<void(THTMLViewer* Sender, TFormControlObj* Obj, const std::string& Script)>;
// The browse button of a file input: FileName starts as the edit's text; the edit takes what it becomes.
using TFileBrowseEvent = std::function<void(THTMLViewer* Sender, TFormControlObj* Obj, std::string& FileName)>;
using TFormSubmitEvent = std::function<void(
    THTMLViewer* Sender, const std::string& Action, const std::string& Target, const std::string& EncType,
    const std::string& Method, const std::vector<std::string>& Results)>;

// Find in page: the answer of a search (no match, the next match, or a match found by going round the end
// of the document), and what the find keys ask of the host (Ctrl+F, F3, Shift+F3).
enum class TFindResult { NotFound, Found, Wrapped };
enum class TFindRequest { Open, Next, Previous };

// The drawing surface of the viewer: all document painting and mouse input happen here.
class TPaintPanel : public platform::Panel
{
public:
    TPaintPanel(platform::Control* parent, THTMLViewer* viewer);
    void Paint(platform::Canvas& canvas, const platform::Rect& updateRect) override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void DoubleClick(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    bool IsPainting() const { return FPainting; }

private:
    THTMLViewer* FViewer;
    bool FPainting = false;
};

// A scroll bar whose user actions go to a handler of the viewer instead of the standard handling.
class TViewerScrollBar : public platform::ScrollBar
{
public:
    TViewerScrollBar(platform::Control* parent, platform::TScrollBarKind kind) : ScrollBar(parent, kind) {}
    std::function<void(int code, int trackPos)> OnScrollMessage;
    void ScrollMessage(int code, int trackPos) override
    {
        if (OnScrollMessage)
            OnScrollMessage(code, trackPos);
        else
            ScrollBar::ScrollMessage(code, trackPos);
    }
};

class THTMLViewer : public platform::Control
{
public:
    static constexpr unsigned WM_FORMSUBMIT = platform::WM_USER + 100;
    static constexpr unsigned WM_MOUSESCROLL = platform::WM_USER + 102;
    static constexpr unsigned WM_URLACTION = platform::WM_USER + 103;
    static constexpr int MaxDocWidth = 6000;

    explicit THTMLViewer(platform::Control* parent);
    ~THTMLViewer() override;

    // ---- loading
    void OpenFile(const std::string& name);
    void OpenTextFile(const std::string& name);
    void OpenImageFile(const std::string& name);
    void OpenString(const std::string& source, const std::string& reference);
    void OpenBuffer(const char* buffer, int length, const std::string& reference);
    virtual void LoadDocument(const std::string& name, int kind);
    virtual std::string ResolveFileName(const std::string& name);
    virtual void ClearDocument();
    bool ScrollToAnchor(const std::string& name);

    // ---- formatting and scrolling
    void Reformat();
    // The vertical position as an item number and an offset into it, so that it survives reformatting.
    std::int64_t Position();
    void SetPosition(std::int64_t value);
    void ScrollTo(int y);
    int VScrollBarPosition() const;
    int HScrollBarPosition() const;
    int DocumentHeight() const { return FDocHeight; }
    int DocumentWidth() const { return FDocWidth; }
    void Repaint() override;

    // ---- selection
    int SelStart() const;
    int SelLength() const;
    std::u16string SelText();
    void SelectAll();
    void CopyToClipboard();
    int CaretPos() const { return FCaretPos; }

    // ---- find in page
    // Selects the next (or, reverse, the previous) occurrence of text after (before) the selection or the
    // caret and scrolls it into view; at the end of the document the search goes round once.
    TFindResult FindEx(const std::u16string& text, bool matchCase, bool reverse);
    // Ctrl+F, F3 and Shift+F3 in the viewer: the host answers with its find bar.
    std::function<void(THTMLViewer* Sender, TFindRequest Request)> OnFindRequest;

    // ---- printing, print preview and PDF export (viewerprint.cpp)
    // The pages print on a copy of the document formatted at the printable width of PrintPaper with the
    // print margins (inches), PrintScale and the print options of htOptions.
    platform::PaperSize PrintPaper = platform::PaperA4();
    int NumPrinterPages();
    // Asks the platform's print dialog (the range offered is FromPage .. ToPage, 1-based) and prints the
    // pages chosen; nothing happens when the dialog is cancelled. Throws EPrintError when printing fails.
    void Print(int FromPage, int ToPage);
    // Writes every page to a PDF file and answers the number of pages; throws EPrintError ("Cannot create
    // file ...") when it cannot be written, and then no file is left.
    int PrintToPDF(const std::string& FileName);
    // Opens (or brings back) the print preview window of the current document.
    void PrintPreview();
    platform::PrintPreview* PreviewWindow();
    // Raised for every printed sheet: a canvas over the top (bottom) margin, the page number and the size
    // of the margin's area in 1/96 inch.
    std::function<void(THTMLViewer* Sender, platform::Canvas* Canvas, int NumPage, int W, int H)> OnPrintHeader;
    std::function<void(THTMLViewer* Sender, platform::Canvas* Canvas, int NumPage, int W, int H)> OnPrintFooter;
    // A small HTML document for the top (bottom) margin of a sheet; left empty: none.
    std::function<void(THTMLViewer* Sender, int NumPage, int PageCount, std::string& HTML)> OnPrintHTMLHeader;
    std::function<void(THTMLViewer* Sender, int NumPage, int PageCount, std::string& HTML)> OnPrintHTMLFooter;
private:
    std::unique_ptr<TPrintDocument> MakePrintDocument(const platform::PaperSize& paper);
    std::shared_ptr<struct TViewerPrintState> FPrintState;
public:

    // ---- document state
    const std::string& CurrentFile() const { return FCurrentFile; }
    int DocumentKind() const { return FDocumentKind; }
    const std::string& DocumentSource() const { return FDocumentSource; }
    const std::string& DocumentTitle() const { return FTitle; }
    const std::string& Base() const { return FBase; }
    void SetBase(const std::string& value);
    const std::string& BaseTarget() const { return FBaseTarget; }
    int RefreshDelay() const { return FRefreshDelay; }
    const std::string& RefreshUrl() const { return FRefreshUrl; }
    bool Processing() const { return FProcessing; }
    bool Formatting() const { return FFormatting; }
    TSectionList& SectionList() { return *FSectionList; }
    TPaintPanel& PaintPanel() { return *FPaintPanel; }
    TViewerScrollBar& VScrollBar() { return *FVScrollBar; }
    TViewerScrollBar& HScrollBar() { return *FHScrollBar; }
    platform::Panel& BorderPanel() { return *FBorderPanel; }
    // The image cache; a shared one is not owned (set before the first load).
    TStringBitmapList* ImageCache() const { return FImageCache; }
    void SetSharedImageCache(TStringBitmapList* cache);

    // ---- link and mouse state (viewermouse.cpp)
    const std::string& HoverUrl() const { return FHoverUrl; }
    const std::string& HoverTarget() const { return FHoverTarget; }
    const std::u16string& LinkText() const { return FLinkText; }
    const std::string& LinkAttributes() const { return FLinkAttributes; }
    const std::string& TitleAttr() const { return FTitleAttr; }
    bool WheelScrollMode() const { return FWheelScrollMode; }
    virtual void ExtendSelection(int X, int Y);
    virtual void DocMouseDown(platform::TMouseButton button, platform::TShiftState shift, int X, int Y);
    virtual void DocMouseMove(platform::TShiftState shift, int X, int Y);
    virtual void DocMouseUp(platform::TMouseButton button, platform::TShiftState shift, int X, int Y);
    void DocDoubleClick(platform::TShiftState shift, int X, int Y);
    virtual void PaintDocument(platform::Canvas& canvas);
    // The link click decision: raises OnHotSpotClick; true stops the link from being followed.
    virtual bool HotSpotClickHandled();
    void FollowLink();
    void AddVisited(const std::string& url);
    void MarkVisitedLinks();
    const std::vector<std::string>& VisitedList() const { return FVisited; }
    // The word at a paint-area point; moves CaretPos to the nearest character.
    std::u16string GetWordAtPoint(int X, int Y, int& start, int& end);
    // The text between two source indexes (a link's text), the selection untouched.
    std::u16string TextBetween(int startSource, int endSource);
    void PushHistory(const std::string& oldFile, const std::string& oldTitle, int oldKind,
                     std::unique_ptr<TFormData> formData, std::int64_t oldPos);
    void ClearHistory();
    const std::vector<std::string>& History() const { return FHistory; }
    const std::vector<std::string>& TitleHistory() const { return FTitleHistory; }
    const std::vector<std::unique_ptr<PositionObj>>& PositionHistory() const { return FPositionHistory; }
    int HistoryIndex() const { return FHistoryIndex; }
    // Belongs to a frame of a frame viewer (which keeps the visited list for all frames).
    bool InFrame = false;

    // ---- published properties
    platform::TColor DefBackground() const { return FDefBackground; }
    void SetDefBackground(platform::TColor value);
    const std::string& DefFontName() const { return FDefFontName; }
    void SetDefFontName(const std::string& value) { FDefFontName = value; }
    const std::string& DefPreFontName() const;
    void SetDefPreFontName(const std::string& value);
    int DefFontSize() const { return FDefFontSize; }
    void SetDefFontSize(int value) { FDefFontSize = value; }
    platform::TColor DefFontColor() const { return FDefFontColor; }
    void SetDefFontColor(platform::TColor value) { FDefFontColor = value; }
    platform::TColor DefHotSpotColor() const { return FDefHotSpotColor; }
    void SetDefHotSpotColor(platform::TColor value) { FDefHotSpotColor = value; }
    platform::TColor DefVisitedLinkColor() const { return FDefVisitedLinkColor; }
    void SetDefVisitedLinkColor(platform::TColor value) { FDefVisitedLinkColor = value; }
    platform::TColor DefOverLinkColor() const { return FDefOverLinkColor; }
    void SetDefOverLinkColor(platform::TColor value) { FDefOverLinkColor = value; }
    int VisitedMaxCount() const { return FVisitedMaxCount; }
    void SetVisitedMaxCount(int value);
    int HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int value);
    int ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int value);
    bool ViewImages() const { return FViewImages; }
    void SetViewImages(bool value);
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool value) { FNoSelect = value; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    THTMLBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(THTMLBorderStyle value);
    int CharSet() const { return FCharSet; }
    void SetCharSet(int value) { FCharSet = value; }
    int MarginWidth() const { return FMarginWidth; }
    void SetMarginWidth(int value) { FMarginWidth = value; }
    int MarginHeight() const { return FMarginHeight; }
    void SetMarginHeight(int value) { FMarginHeight = value; }
    const std::string& ServerRoot() const { return FServerRoot; }
    void SetServerRoot(const std::string& value);
    const ThtmlViewerOptions& htOptions() const { return FOptions; }
    void SethtOptions(const ThtmlViewerOptions& value);
    double PrintMarginLeft = 2.0;
    double PrintMarginRight = 2.0;
    double PrintMarginTop = 2.0;
    double PrintMarginBottom = 2.0;
    double PrintScale() const { return FPrintScale; }
    void SetPrintScale(double value);

    // ---- events (raised only when set)
    THotSpotEvent OnHotSpotCovered;
    THotSpotClickEvent OnHotSpotClick;
    TViewerProcessingEvent OnProcessing;
    ThtProgressEvent OnProgress;
    TParseEvent OnParseBegin;
    TViewerNotifyEvent OnParseEnd;
    TMetaRefreshType OnMetaRefresh;
    TMetaType OnMeta;
    TLinkType OnLink;
    TIncludeHandler OnInclude;
    TSoundType OnSoundRequest;
    TViewerNotifyEvent OnHistoryChange;
    TImageClickEvent OnImageClick;
    TImageOverEvent OnImageOver;
    TRightClickEvent OnRightClick;
    TViewerMouseEvent OnMouseDouble;
    TFormSubmitEvent OnFormSubmit;
    TObjectClickEvent OnObjectClick;
    TObjectClickEvent OnObjectFocus;
    TObjectClickEvent OnObjectBlur;
    TObjectClickEvent OnObjectChange;
    TFileBrowseEvent OnFileBrowse;
    // Passed on to the section list and the builder at each load.
    std::function<void(THTMLViewer* Sender, const std::string& SRC, std::unique_ptr<platform::Bitmap>& Bitmap,
                       platform::TColor& Color)>
        OnBitmapRequest;
    // Asked for a picture's data when no bitmap was supplied: leave Stream none (the file is read), point it
    // at WaitStream() (the picture comes later), or at the picture's bytes (kept alive by the host until the
    // call returns).
    std::function<void(THTMLViewer* Sender, const std::string& SRC, const TImageStream*& Stream)> OnImageRequest;
    std::function<void(THTMLViewer* Sender, const std::string& Name, const std::string& Language,
                       const std::string& Script)>
        OnScript;
    std::function<bool(THTMLViewer* Sender, const std::string& SRC, std::string& Content)> OnhtStreamRequest;
    std::function<void(THTMLViewer* Sender, platform::Control* Panel,
                       const std::vector<std::string>& Attributes, const std::vector<std::string>& Params,
                       bool& WantPanel)>
        OnObjectTag;
    // A panel for an OBJECT was made (its name, window, source and type), or is about to be freed.
    std::function<void(THTMLViewer* Sender, const std::string& Name, platform::Control* Panel,
                       const std::string& Source, const std::string& Type)>
        OnPanelCreate;
    std::function<void(THTMLViewer* Sender, const std::string& Name, platform::Control* Panel)> OnPanelDestroy;

    // ---- platform handling
    void Resize() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    bool MouseWheel(platform::TShiftState shift, int wheelDelta, platform::Point mousePos) override;
    void DoEnter() override;
    void DoExit() override;
    void WndMessage(platform::Message& msg) override;

    // A form control at document y got the keyboard focus: scrolls it into view when it is outside.
    void ScrollControlIntoView(int y);

    // The values of the document's form controls (none when it has no forms), and back (viewerforms.cpp).
    std::unique_ptr<TFormData> FormData() const;
    void SetFormData(const TFormData& data);

    // The section list's relay for a submitted form: runs OnFormSubmit after the click has finished.
    void SubmitForm(const std::string& action, const std::string& target, const std::string& encType,
                    const std::string& method, const std::vector<std::string>& results);

private:
    friend class TPaintPanel;

    void SetProcessing(bool value);
    void Progress(ThtProgressStage stage, int percent);
    void PrepareNewDocument();
    void FinishParse();
    void DoLayout();
    int FormatAt(int width);
    void ArrangeScrollBars();
    void UpdateBorder();
    void DrawBackground(platform::Canvas& canvas, const platform::Rect& clip);
    struct TBackgroundTile;
    std::unique_ptr<TBackgroundTile> FBackgroundTile;
    void VScrollMessage(int code, int trackPos);
    void HScrollMessage(int code, int trackPos);
    void ScrollVerticalBy(int newPos, bool exactLine);
    int VMax() const;
    void SetVPosition(int y);
    int HMax() const;
    void HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content);
    THtmlHost MakeHost(bool withHandlers);
    void OpenKind(const std::string& name, int kind);
    void ScrollIntoViewLink(TFontObj* run);
    void LinkKeyDown(TFontObj* run, int& key, platform::TShiftState shift);
    void SetLinkFromRun(TFontObj* run);
    void WireFormEvents();
    void ControlMouseMove(TFormControlObj* control);
    void HoverTimerTick();
    void AutoScrollLoop();
    bool AutoScrollStillValid(int generation);
    // The hit tests answer for the lines as last painted: when the layout or the scroll position changed
    // since the last full paint, the visible part is painted once into a throwaway bitmap first.
    void EnsurePaintedPositions();
    void SetHPosition(int x);
    // Ctrl+F, F3 and Shift+F3 become a find request to the host (key cleared); false for other keys.
    bool FindKey(int& key, platform::TShiftState shift);

    // children
    platform::Panel* FBorderPanel = nullptr;
    TPaintPanel* FPaintPanel = nullptr;
    TViewerScrollBar* FVScrollBar = nullptr;
    TViewerScrollBar* FHScrollBar = nullptr;
    int FScrollWidth = 17;

    std::unique_ptr<TSectionList> FSectionList;
    THtmlBuilder FBuilder;
    std::unique_ptr<TStringBitmapList> FOwnImageCache;
    TStringBitmapList* FImageCache = nullptr;
    platform::Bitmap FMeasureBitmap{1, 1};
    std::unique_ptr<platform::Canvas> FMeasureCanvas;
    std::unique_ptr<platform::Timer> FHoverTimer;

    // document
    std::string FCurrentFile;
    int FDocumentKind = 0;
    std::string FDocumentSource;
    std::string FTitle;
    std::string FBase;
    std::string FBaseTarget;
    std::string FHostBase;
    int FRefreshDelay = 0;
    std::string FRefreshUrl;
    bool FProcessing = false;
    bool FFormatting = false;
    bool FCreating = true;
    bool FBackgroundFixed = false;
    bool FPositionsStale = true; // layout or scrolling changed since the last full paint
    int FDocHeight = 0;
    int FDocWidth = 0;
    int FLoadCount = 0; // raised by every load and clear

    // mouse and links
    std::string FHoverUrl;
    std::string FHoverTarget;
    std::u16string FLinkText;
    int FLinkTextOf = -1; // the number of the link FLinkText was taken from
    int FLinkTextLoad = -1;
    std::string FLinkAttributes;
    std::string FTitleAttr;
    int FCaretPos = 0;
    int FSelectionAnchor = -1;
    bool FLeftButtonDown = false;
    bool FSelecting = false;
    bool FAutoScrolling = false;
    bool FWheelScrollMode = false;
    int FWheelStartY = 0;
    bool FLinkJustClicked = false;
    bool FFocusByClick = false;
    bool FInAutoScroll = false;
    std::vector<std::string> FVisited;
    std::vector<std::string> FHistory;
    std::vector<std::unique_ptr<PositionObj>> FPositionHistory;
    std::vector<std::string> FTitleHistory;
    int FHistoryIndex = 0;

    // form submit waiting for its posted message
    std::string FSubmitAction, FSubmitTarget, FSubmitEncType, FSubmitMethod;
    std::vector<std::string> FSubmitResults;

    // properties
    platform::TColor FDefBackground = platform::clBtnFace;
    std::string FDefFontName = "Times New Roman";
    int FDefFontSize = 12;
    platform::TColor FDefFontColor = platform::clBtnText;
    platform::TColor FDefHotSpotColor = 0xFF0000;
    platform::TColor FDefVisitedLinkColor = 0x800080;
    platform::TColor FDefOverLinkColor = 0xFF0000;
    int FVisitedMaxCount = 50;
    int FHistoryMaxCount = 0;
    int FImageCacheCount = 5;
    bool FViewImages = true;
    bool FNoSelect = false;
    TScrollStyle FScrollBars = ssBoth;
    THTMLBorderStyle FBorderStyle = htFocused;
    int FCharSet = 1; // DEFAULT_CHARSET
    int FMarginWidth = 10;
    int FMarginHeight = 5;
    std::string FServerRoot;
    ThtmlViewerOptions FOptions{htPrintTableBackground, htPrintMonochromeBlack};
    double FPrintScale = 1.0;
};
