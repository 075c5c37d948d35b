// The HTML viewer control: loading, formatting, scroll bars, painting and the keyboard.

#include "viewer/htmlviewer.h"

#include <algorithm>
#include <cstring>

#include "layout/backgroundtile.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/cursors.h"
#include "platform/errors.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/sysvalues.h"
#include "images/imagecache.h"
#include "style/conversions.h"
#include "style/properties.h"
#include "viewer/urlsubs.h"

using namespace platform;

namespace {

std::string LowerCase(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string TrimBlanks(const std::string& s)
{
    std::size_t a = 0;
    std::size_t b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ')
        ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ')
        --b;
    return s.substr(a, b - a);
}

void SplitAnchor(const std::string& name, std::string& file, std::string& anchor)
{
    std::size_t hash = name.find('#');
    if (hash == std::string::npos) {
        file = name;
        anchor.clear();
    } else {
        file = name.substr(0, hash);
        anchor = name.substr(hash + 1);
    }
}

// The characters that would end or change an attribute value, as references.
std::string EscapeAttribute(const std::string& s)
{
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '&':
            r += "&amp;";
            break;
        case '"':
            r += "&quot;";
            break;
        case '<':
            r += "&lt;";
            break;
        case '>':
            r += "&gt;";
            break;
        default:
            r += c;
        }
    }
    return r;
}

// The longest refresh delay reported, in seconds: its milliseconds still fit a timer's 32-bit interval.
constexpr long long MaxRefreshDelay = 2147483;

// A refresh delay as the page writes it: the integer before the first ";", -1 when it is none; larger
// numbers are cut to the longest delay.
int RefreshDelayOf(const std::string& content)
{
    std::size_t semi = content.find(';');
    std::string num = TrimBlanks(semi == std::string::npos ? content : content.substr(0, semi));
    if (num.empty())
        return -1;
    long long value = 0;
    std::size_t i = 0;
    if (num[0] == '+')
        ++i;
    if (i >= num.size())
        return -1;
    for (; i < num.size(); ++i) {
        if (num[i] < '0' || num[i] > '9')
            return -1;
        value = std::min<long long>(value * 10 + (num[i] - '0'), MaxRefreshDelay);
    }
    return int(value);
}

} // namespace

// A small background picture repeated into a larger one, so that tiling the clip rectangle takes a bounded
// number of copies however small the picture (a one-pixel strip becomes a band).
struct THTMLViewer::TBackgroundTile
{
    const Bitmap* Source = nullptr;
    const Bitmap* SourceMask = nullptr;
    int SourceWidth = 0;
    int SourceHeight = 0;
    int Load = -1;
    int Kx = 1;
    int Ky = 1;
    Bitmap Picture;
    Bitmap Mask;
};

// ---------------------------------------------------------------------------------------------------------
// TPaintPanel

TPaintPanel::TPaintPanel(Control* parent, THTMLViewer* viewer) : Panel(parent), FViewer(viewer)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
}

void TPaintPanel::Paint(Canvas& canvas, const Rect& updateRect)
{
    if (FViewer->FFormatting || FPainting)
        return;
    FPainting = true;
    try {
        FViewer->UpdateBorder();
        Rect clip = updateRect;
        const int w = std::max(0, clip.Right - clip.Left);
        const int h = std::max(0, clip.Bottom - clip.Top);
        if (w > 0 && h > 0) {
            Bitmap offscreen(w, h);
            if (offscreen.Empty())
                throw EOutOfResources("Out of Resources");
            Canvas mem(offscreen);
            mem.SetWindowOrg(clip.Left, clip.Top);
            mem.SetBrushColor(Color());
            FViewer->DrawBackground(mem, clip);
            const bool stale = FViewer->FPositionsStale;
            FViewer->PaintDocument(mem);
            // Only a paint of the whole area brings every visible line's hit-test positions up to date.
            if (stale && (clip.Left > 0 || clip.Top > 0 || clip.Right < ClientWidth() || clip.Bottom < ClientHeight()))
                FViewer->FPositionsStale = true;
            canvas.BitBlt(clip.Left, clip.Top, w, h, offscreen, 0, 0, SRCCOPY);
        }
    } catch (...) {
        // A failed paint leaves the area as it was; the error goes to the standard report.
        FPainting = false;
        HandleException();
        return;
    }
    FPainting = false;
}

void TPaintPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    Control::MouseDown(button, shift, x, y); // capture; the panel's own event is not used
    if (shift & ssDouble)
        return; // the double click is handled in DoubleClick
    CallGuarded([&] { FViewer->DocMouseDown(button, shift, x, y); });
}

void TPaintPanel::MouseMove(TShiftState shift, int x, int y)
{
    Control::MouseMove(shift, x, y);
    CallGuarded([&] { FViewer->DocMouseMove(shift, x, y); });
}

void TPaintPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Control::MouseUp(button, shift, x, y);
    CallGuarded([&] { FViewer->DocMouseUp(button, shift, x, y); });
}

void TPaintPanel::DoubleClick(TMouseButton button, TShiftState shift, int x, int y)
{
    Control::DoubleClick(button, shift, x, y);
    if (button == mbLeft)
        CallGuarded([&] { FViewer->DocDoubleClick(shift, x, y); });
}

// ---------------------------------------------------------------------------------------------------------
// Creation

THTMLViewer::THTMLViewer(Control* parent) : Control(parent)
{
    SetTabStop(true);
    SetCursor(crIBeam);
    FBorderPanel = &Add<Panel>();
    FBorderPanel->SetBevelInner(bvNone);
    FBorderPanel->SetBevelOuter(bvNone);
    FPaintPanel = &Add<TPaintPanel>(this);
    FPaintPanel->SetColor(FDefBackground);
    FVScrollBar = &Add<TViewerScrollBar>(sbVertical);
    FVScrollBar->SetSmallChange(16);
    FVScrollBar->SetTabStop(false);
    FVScrollBar->Hide();
    FScrollWidth = FVScrollBar->Width() > 0 ? FVScrollBar->Width() : SysValues().ScrollBarThickness;
    FHScrollBar = &Add<TViewerScrollBar>(sbHorizontal);
    FHScrollBar->SetSmallChange(15);
    FHScrollBar->SetTabStop(false);
    FHScrollBar->Hide();
    FVScrollBar->OnScrollMessage = [this](int code, int track) { VScrollMessage(code, track); };
    FHScrollBar->OnScrollMessage = [this](int code, int track) { HScrollMessage(code, track); };

    FMeasureCanvas = std::make_unique<Canvas>(FMeasureBitmap);
    FSectionList = std::make_unique<TSectionList>(this, FPaintPanel);
    FSectionList->ShowImages = FViewImages;
    FSectionList->OnExpandName = [this](const std::string& name) { return ResolveFileName(name); };
    FSectionList->OnBackgroundChange = [this](TSectionList*, TColor colour) {
        FPaintPanel->SetColor(colour | PaletteRelative);
    };
    FSectionList->OnLinkFocused = [this](TFontObj* run) { ScrollIntoViewLink(run); };
    FSectionList->OnLinkKeyDown = [this](TFontObj* run, int& key, TShiftState shift) {
        LinkKeyDown(run, key, shift);
    };
    WireFormEvents();
    SethtOptions(FOptions);

    FHoverTimer = std::make_unique<Timer>();
    FHoverTimer->SetEnabled(false);
    FHoverTimer->SetInterval(200);
    FHoverTimer->OnTimer = [this](Timer*) { HoverTimerTick(); };

    SetBounds(Left(), Top(), 150, 150);
    FCreating = false;
    ArrangeScrollBars();
}

THTMLViewer::~THTMLViewer()
{
    FHoverTimer->SetEnabled(false);
    FHoverTimer->OnTimer = nullptr;
    // The document goes before the cache that holds its pictures and before the paint area its focus
    // windows sit on.
    FSectionList.reset();
    if (FOwnImageCache)
        FOwnImageCache->Clear();
}

void THTMLViewer::SetProcessing(bool value)
{
    if (FProcessing == value)
        return;
    FProcessing = value;
    if (OnProcessing)
        OnProcessing(this, value);
}

void THTMLViewer::Progress(ThtProgressStage stage, int percent)
{
    if (OnProgress)
        OnProgress(this, stage, percent);
}

// ---------------------------------------------------------------------------------------------------------
// Loading

THtmlHost THTMLViewer::MakeHost(bool withHandlers)
{
    THtmlHost host;
    host.MarginWidth = FMarginWidth;
    host.MarginHeight = FMarginHeight;
    host.HtmlExpandFilename = [this](const std::string& name) { return ResolveFileName(name); };
    if (!withHandlers)
        return host;
    host.Include = OnInclude;
    if (OnLink)
        host.OnLink = [this](const std::string& rel, const std::string& rev, const std::string& href) {
            if (OnLink)
                OnLink(this, rel, rev, href);
        };
    if (OnScript)
        host.OnScript = [this](const std::string& name, const std::string& language,
                               const std::string& script) {
            if (OnScript)
                OnScript(this, name, language, script);
        };
    if (OnhtStreamRequest)
        host.OnStreamRequest = [this](const std::string& src, std::string& content) {
            return OnhtStreamRequest && OnhtStreamRequest(this, src, content);
        };
    if (OnObjectTag)
        host.OnObjectTag = [this](Control* panel, const std::vector<std::string>& attributes,
                                  const std::vector<std::string>& params, bool& wantPanel) {
            if (OnObjectTag)
                OnObjectTag(this, panel, attributes, params, wantPanel);
        };
    host.OnMeta = [this](const std::string& httpEq, const std::string& name, const std::string& content) {
        HandleMeta(httpEq, name, content);
    };
    if (OnSoundRequest)
        host.OnSoundRequest = [this](const std::string& src, int loop, bool terminate) {
            if (OnSoundRequest)
                OnSoundRequest(this, src, loop, terminate);
        };
    return host;
}

void THTMLViewer::HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content)
{
    if (OnMeta)
        OnMeta(this, httpEq, name, content);
    if (!OnMetaRefresh || LowerCase(httpEq) != "refresh")
        return;
    int delay = RefreshDelayOf(content);
    if (delay < 0)
        return;
    if (delay == 0)
        delay = 1;
    std::string lower = LowerCase(content);
    std::size_t at = lower.find("url=");
    FRefreshUrl = at == std::string::npos ? std::string() : content.substr(at + 4);
    FRefreshDelay = delay;
}

void THTMLViewer::PrepareNewDocument()
{
    if (!FImageCache) {
        FOwnImageCache = std::make_unique<TStringBitmapList>();
        FOwnImageCache->SetSorted(true);
        FOwnImageCache->SetCacheCount(FImageCacheCount);
        FImageCache = FOwnImageCache.get();
    }
    FSectionList->ImageCache = FImageCache;
    FSectionList->Clear();
    if (OnBitmapRequest)
        FSectionList->OnBitmapRequest = [this](TSectionList*, const std::string& name,
                                               std::unique_ptr<Bitmap>& bitmap, TColor& colour) {
            if (OnBitmapRequest)
                OnBitmapRequest(this, name, bitmap, colour);
        };
    else
        FSectionList->OnBitmapRequest = nullptr;
    FSectionList->OnPanelCreate = [this](TSectionList*, const std::string& name, Control* panel,
                                         const std::string& source, const std::string& type) {
        if (OnPanelCreate)
            OnPanelCreate(this, name, panel, source, type);
    };
    FSectionList->OnPanelDestroy = [this](TSectionList*, const std::string& name, Control* panel) {
        if (OnPanelDestroy)
            OnPanelDestroy(this, name, panel);
    };
    if (OnImageRequest)
        FSectionList->OnImageRequest = [this](TSectionList*, const std::string& name, const TImageStream*& stream) {
            if (OnImageRequest)
                OnImageRequest(this, name, stream);
        };
    else
        FSectionList->OnImageRequest = nullptr;
    FImageCache->PurgeCache();
    FSectionList->DefaultFontSize = FDefFontSize;
    FSectionList->SetFonts(FDefFontName,
                           FSectionList->PreFontName.empty() ? "Courier New" : FSectionList->PreFontName,
                           FDefFontSize, FDefFontColor, FDefHotSpotColor, FDefVisitedLinkColor,
                           FDefOverLinkColor, FDefBackground, FOptions.Contains(htOverLinksActive),
                           !FOptions.Contains(htNoLinkUnderline), FCharSet, FMarginHeight, FMarginWidth);
    FPaintPanel->SetColor(FDefBackground);
    FCaretPos = 0;
    FSelectionAnchor = -1;
    ++FLoadCount;
}

void THTMLViewer::FinishParse()
{
    FTitle = FBuilder.Title;
    FBase = FBuilder.Base.empty() ? FHostBase : FBuilder.Base;
    FBaseTarget = FBuilder.BaseTarget;
    if (OnParseEnd)
        OnParseEnd(this);
    FFormatting = true;
    FSectionList->LoadBackgroundImage();
    DoLayout();
    FFormatting = false;
    MarkVisitedLinks();
}

void THTMLViewer::LoadDocument(const std::string& name, int kind)
{
    ScreenCursor hourglass(crHourGlass);
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    FRefreshDelay = 0;
    if (FProcessing)
        return;
    struct Ending
    {
        THTMLViewer* v;
        ~Ending()
        {
            v->FFormatting = false;
            CallGuarded([this] { v->Progress(psEnding, 100); });
            CallGuarded([this] { v->SetProcessing(false); });
        }
    };
    SetProcessing(true);
    {
        Ending ending{this};
        if (!FileExists(file))
            throw EInOutError("Can't locate file: " + file);
        FSectionList->ProgressBase = 75;
        Progress(psStarting, 0);
        FFormatting = true;
        PrepareNewDocument();
        std::string oldFile = FCurrentFile;
        FCurrentFile = ExpandFileName(file);
        FDocumentKind = kind;
        FDocumentSource = kind == 2 ? std::string() : ReadFileString(file);
        if (OnParseBegin)
            OnParseBegin(this, FDocumentSource);
        std::exception_ptr parseError;
        try {
            if (kind == 0) {
                if (OnSoundRequest)
                    OnSoundRequest(this, std::string(), 0, true);
                FBuilder.ParseHtml(FDocumentSource, *FSectionList, MakeHost(true));
            } else if (kind == 1) {
                FBuilder.ParseText(FDocumentSource, *FSectionList, MakeHost(false));
            } else {
                FBuilder.ParseHtml("<img src=\"" + EscapeAttribute(file) + "\">", *FSectionList,
                                   MakeHost(false));
            }
        } catch (...) {
            parseError = std::current_exception();
        }
        FinishParse();
        if (anchor.empty() || !ScrollToAnchor(anchor)) {
            if (FCurrentFile != oldFile) {
                ScrollTo(0);
                SetHPosition(0);
            } else {
                ScrollTo(FVScrollBar->Position());
            }
        }
        FFormatting = false;
        FPaintPanel->Invalidate();
        if (parseError)
            std::rethrow_exception(parseError);
    }
    if (FRefreshDelay > 0 && OnMetaRefresh)
        OnMetaRefresh(this, FRefreshDelay, FRefreshUrl);
}

void THTMLViewer::OpenKind(const std::string& name, int kind)
{
    if (FProcessing || name.empty())
        return;
    std::string oldFile = FCurrentFile;
    std::string oldTitle = FTitle;
    int oldKind = FDocumentKind;
    const std::int64_t oldPos = Position();
    std::unique_ptr<TFormData> formData = FormData();
    LoadDocument(name, kind);
    if (FCurrentFile != oldFile || FDocumentKind != oldKind)
        PushHistory(oldFile, oldTitle, oldKind, std::move(formData), oldPos);
}

void THTMLViewer::OpenFile(const std::string& name)
{
    OpenKind(name, 0);
}
void THTMLViewer::OpenTextFile(const std::string& name)
{
    OpenKind(name, 1);
}
void THTMLViewer::OpenImageFile(const std::string& name)
{
    OpenKind(name, 2);
}

void THTMLViewer::OpenString(const std::string& source, const std::string& reference)
{
    if (FProcessing)
        return;
    SetProcessing(true);
    FRefreshDelay = 0;
    std::string file, anchor;
    SplitAnchor(reference, file, anchor);
    std::exception_ptr parseError;
    {
        struct Ending
        {
            THTMLViewer* v;
            ~Ending()
            {
                v->FFormatting = false;
                CallGuarded([this] { v->Progress(psEnding, 100); });
                CallGuarded([this] { v->SetProcessing(false); });
            }
        } ending{this};
        FFormatting = true;
        std::string oldFile = FCurrentFile;
        FCurrentFile = file.empty() ? std::string() : ExpandFileName(file);
        FDocumentKind = 0;
        FSectionList->ProgressBase = 75;
        Progress(psStarting, 0);
        PrepareNewDocument();
        if (OnSoundRequest)
            OnSoundRequest(this, std::string(), 0, true);
        FDocumentSource = source;
        if (OnParseBegin)
            OnParseBegin(this, FDocumentSource);
        try {
            FBuilder.ParseHtml(FDocumentSource, *FSectionList, MakeHost(true));
        } catch (...) {
            parseError = std::current_exception();
        }
        FinishParse();
        if (anchor.empty() || !ScrollToAnchor(anchor)) {
            if (FCurrentFile != oldFile || FCurrentFile.empty()) {
                ScrollTo(0);
                SetHPosition(0);
            } else {
                ScrollTo(FVScrollBar->Position());
            }
        }
        FPaintPanel->Invalidate();
    }
    if (parseError)
        std::rethrow_exception(parseError);
    if (FRefreshDelay > 0 && OnMetaRefresh)
        OnMetaRefresh(this, FRefreshDelay, FRefreshUrl);
}

void THTMLViewer::OpenBuffer(const char* buffer, int length, const std::string& reference)
{
    if (!buffer || length <= 0)
        OpenString(std::string(), reference);
    else
        OpenString(std::string(buffer, std::size_t(length)), reference);
}

void THTMLViewer::ClearDocument()
{
    if (FProcessing)
        return;
    FHoverTimer->SetEnabled(false);
    FSectionList->Clear();
    ++FLoadCount;
    if (FOwnImageCache)
        FOwnImageCache->Clear();
    FSectionList->SetFonts(FDefFontName,
                           FSectionList->PreFontName.empty() ? "Courier New" : FSectionList->PreFontName,
                           FDefFontSize, FDefFontColor, FDefHotSpotColor, FDefVisitedLinkColor,
                           FDefOverLinkColor, FDefBackground, FOptions.Contains(htOverLinksActive),
                           !FOptions.Contains(htNoLinkUnderline), FCharSet, FMarginHeight, FMarginWidth);
    FBase.clear();
    FHostBase.clear();
    FBaseTarget.clear();
    FTitle.clear();
    FDocHeight = 0;
    FDocWidth = 0;
    FVScrollBar->SetScrollInfo(0, 0, 0, 0);
    FVScrollBar->Hide();
    FVScrollBar->SetHeight(FPaintPanel->Height());
    FHScrollBar->Hide();
    FCaretPos = 0;
    FSelectionAnchor = -1;
    if (OnSoundRequest)
        OnSoundRequest(this, std::string(), 0, true);
    FPaintPanel->Invalidate();
}

std::string THTMLViewer::ResolveFileName(const std::string& name)
{
    std::size_t sep = name.find("://");
    if (sep != std::string::npos && sep > 0 && LowerCase(name).find("file://") == std::string::npos)
        return name;
    std::string result = ServerFileName(name, FServerRoot);
    if (!result.empty() && (result[0] == '\\' || result[0] == '/'))
        return ExpandFileName(result);
    if ((result.size() > 1 && result[1] == ':') || result.rfind("\\\\", 0) == 0 ||
        LowerCase(FBase) == "dospath")
        return result;
    if (!FBase.empty())
        return ExpandFileName(ExtractFilePath(DosFileName(FBase)) + result);
    return ExpandFileName(ExtractFilePath(FCurrentFile) + result);
}

bool THTMLViewer::ScrollToAnchor(const std::string& name)
{
    std::string s = name;
    if (!s.empty() && s[0] == '#')
        s.erase(0, 1);
    if (s.empty() || !FSectionList->IDNames)
        return false;
    TIDObject* obj = FSectionList->IDNames->Find(UpperAscii(s));
    if (!obj)
        obj = FSectionList->IDNames->Find(s);
    if (!obj)
        return false;
    ScrollTo(obj->VerticalPos());
    SetHPosition(0);
    AddVisited(FCurrentFile + "#" + s);
    return true;
}

void THTMLViewer::SetBase(const std::string& value)
{
    FHostBase = value;
    FBase = value;
}

void THTMLViewer::SetSharedImageCache(TStringBitmapList* cache)
{
    if (!cache)
        return;
    FImageCache = cache;
    FOwnImageCache.reset();
    FSectionList->ImageCache = cache;
}

// ---------------------------------------------------------------------------------------------------------
// Formatting and scroll bars

int THTMLViewer::FormatAt(int width)
{
    int maxWidth = 0;
    int cursor = 0;
    const int b = FBorderStyle == htNone ? 0 : 2;
    int height = FSectionList->Layout(FMeasureCanvas.get(), 0, std::max(1, width), std::max(0, Height() - b),
                                      0, maxWidth, cursor);
    FDocWidth = std::min(maxWidth, MaxDocWidth);
    return height;
}

void THTMLViewer::DoLayout()
{
    const bool wasFormatting = FFormatting;
    FFormatting = true;
    try {
        const int b = FBorderStyle == htNone ? 0 : 2;
        const int W = Width() - b;
        const int S = FScrollWidth;
        const int H = Height();
        auto needsBar = [&](int against) {
            return FDocHeight > H - b ||
                   (FScrollBars == ssBoth && FDocHeight >= H - b - S && FDocWidth > against);
        };
        if (FScrollBars == ssNone || FScrollBars == ssHorizontal) {
            FDocHeight = FormatAt(W);
        } else if (FOptions.Contains(htShowVScroll) || FDocumentSource.size() > 9999) {
            FDocHeight = FormatAt(W - S);
        } else {
            FDocHeight = FormatAt(W);
            if (needsBar(W - S)) {
                FDocHeight = FormatAt(W - S);
                if (!needsBar(W))
                    FDocHeight = FormatAt(W);
            }
        }
        ArrangeScrollBars();
        FPositionsStale = true;
    } catch (...) {
        FFormatting = wasFormatting;
        throw;
    }
    FFormatting = wasFormatting;
    if (Cursor() == crIBeam)
        SetCursor(ThickIBeamCursor);
}

void THTMLViewer::ArrangeScrollBars()
{
    FDocWidth = std::min(FDocWidth, MaxDocWidth);
    const bool bordered = FBorderStyle != htNone;
    const int b = bordered ? 2 : 0;
    const int b1 = bordered ? 1 : 0;
    const int S = FScrollWidth;
    const int H = Height();
    const int CW = Width();
    const bool showV = FOptions.Contains(htShowVScroll);
    FBorderPanel->SetBounds(0, 0, CW, H);
    if (bordered) {
        FPaintPanel->SetLeft(1);
        FPaintPanel->SetTop(1);
        FBorderPanel->Hide();
        FBorderPanel->Show();
    } else {
        FPaintPanel->SetLeft(0);
        FPaintPanel->SetTop(0);
        FBorderPanel->Hide();
    }
    bool V = false, VE = false, Hz = false;
    if ((!showV && H - b >= FDocHeight && CW - b >= FDocWidth) || FScrollBars == ssNone) {
    } else if (FScrollBars == ssHorizontal) {
        Hz = CW - b < FDocWidth;
    } else {
        // A document that fits the area exactly has nothing to scroll: the always-shown bar stays disabled.
        VE = FDocHeight > H - b ||
             (FScrollBars == ssBoth && FDocHeight >= H - b - S && CW - S - b < FDocWidth);
        Hz = FScrollBars == ssBoth && (CW - b < FDocWidth || ((VE || showV) && CW - S - b < FDocWidth));
        V = VE || showV;
    }
    const bool vAllowed = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const int AW = (V || (showV && vAllowed)) ? CW - S : CW;
    const int paintW = std::max(0, AW - b);
    const int paintH = std::max(0, Hz ? H - b - S : H - b);
    FPaintPanel->SetWidth(paintW);
    FPaintPanel->SetHeight(paintH);

    FHScrollBar->SetVisible(Hz);
    FHScrollBar->SetLargeChange(std::max(1, AW - 20));
    FHScrollBar->SetBounds(b1, H - S - b1, std::max(0, AW - b1), S);
    const int hMax = std::max(0, std::max(FDocWidth, AW - b));
    FHScrollBar->SetScrollInfo(0, hMax, AW, std::min(FHScrollBar->Position(), std::max(0, hMax - paintW)));

    FVScrollBar->SetBounds(CW - S - b1, b1, S, paintH);
    FVScrollBar->SetLargeChange(std::max(1, paintH - 16));
    const int vMax = std::max(0, FDocHeight - paintH);
    FVScrollBar->SetScrollInfo(0, FDocHeight, paintH + 1, std::min(FVScrollBar->Position(), vMax), showV);
    if (showV) {
        FVScrollBar->SetVisible(vAllowed);
        FVScrollBar->SetEnabled(VE);
    } else {
        FVScrollBar->SetVisible(V);
        FVScrollBar->SetEnabled(true);
    }
    FVScrollBar->BringToFront();
    FHScrollBar->BringToFront();
}

// Sets the vertical bar's position in one SetScrollInfo that keeps the always-shown bar's disabled state.
void THTMLViewer::SetVPosition(int y)
{
    const ScrollInfo i = FVScrollBar->GetScrollInfo();
    if (i.nPos != y)
        FPositionsStale = true;
    FVScrollBar->SetScrollInfo(i.nMin, i.nMax, i.nPage, y, FOptions.Contains(htShowVScroll));
}

void THTMLViewer::SetHPosition(int x)
{
    if (FHScrollBar->Position() != x)
        FPositionsStale = true;
    FHScrollBar->SetPosition(x);
}

int THTMLViewer::VMax() const
{
    return std::max(0, FDocHeight - FPaintPanel->Height());
}

int THTMLViewer::HMax() const
{
    return std::max(0, FHScrollBar->Max() - FPaintPanel->Width());
}

int THTMLViewer::VScrollBarPosition() const
{
    return FVScrollBar->Position();
}
int THTMLViewer::HScrollBarPosition() const
{
    return FHScrollBar->Position();
}

void THTMLViewer::ScrollTo(int y)
{
    y = std::clamp(y, 0, VMax());
    SetVPosition(y);
    FSectionList->ScrollTo(y);
    FPaintPanel->Invalidate();
}

std::int64_t THTMLViewer::Position()
{
    const int y = FVScrollBar->Position();
    int itemY = 0;
    int index = 0;
    if (!FSectionList->FindItemAtY(y, itemY, index))
        return y;
    const std::int64_t item = std::int64_t(index) + 1;
    const std::int64_t offset = std::int64_t(y) - itemY;
    // Item number and offset in 16 bits each when both fit; in 32 bits each (the value then lies above
    // 32 bits) for long documents, so that the place is not lost.
    if (item <= 0xFFFF && offset >= 0 && offset <= 0xFFFF)
        return (item << 16) | offset;
    return (item << 32) | (offset & 0xFFFFFFFF);
}

void THTMLViewer::SetPosition(std::int64_t value)
{
    const bool wide = value > 0xFFFFFFFFLL || value < 0;
    const std::int64_t high = wide ? (std::uint64_t(value) >> 32) : (std::uint64_t(value) >> 16) & 0xFFFF;
    const int low = wide ? int(std::uint32_t(value)) : int(value & 0xFFFF);
    if (high != 0) {
        const std::int64_t index = high - 1;
        if (index >= std::int64_t(FSectionList->PositionList.size()))
            return;
        ScrollTo(FSectionList->PositionList[std::size_t(index)]->VerticalPos() + low);
    } else {
        ScrollTo(low);
    }
}

void THTMLViewer::Reformat()
{
    if (FProcessing)
        return;
    SetProcessing(true);
    struct Ending
    {
        THTMLViewer* v;
        ~Ending()
        {
            CallGuarded([this] { v->Progress(psEnding, 100); });
            CallGuarded([this] { v->SetProcessing(false); });
        }
    } ending{this};
    const std::int64_t pos = Position();
    FSectionList->ProgressBase = 0;
    Progress(psStarting, 0);
    DoLayout();
    SetPosition(pos);
}

void THTMLViewer::Resize()
{
    Control::Resize();
    if (FCreating || !FSectionList)
        return;
    if (FProcessing)
        ArrangeScrollBars();
    else
        Reformat();
    if (FDocHeight < FPaintPanel->Height())
        SetPosition(0);
    else
        ScrollTo(FVScrollBar->Position());
    SetHPosition(std::min(FHScrollBar->Position(), HMax()));
}

namespace {

// The position a scroll-bar notification asks for; line and page steps are the bar's small and large
// changes, and the far end is last.
int RequestedScrollPos(int code, int trackPos, int pos, int small, int large, int last)
{
    switch (code) {
    case SB_LINEUP: return pos - small;
    case SB_LINEDOWN: return pos + small;
    case SB_PAGEUP: return pos - large;
    case SB_PAGEDOWN: return pos + large;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return trackPos;
    case SB_TOP: return 0;
    case SB_BOTTOM: return last;
    default: return pos;
    }
}

}  // namespace

void THTMLViewer::VScrollMessage(int code, int trackPos)
{
    const int pos = RequestedScrollPos(code, trackPos, FVScrollBar->GetScrollInfo().nPos, FVScrollBar->SmallChange(),
                                       FVScrollBar->LargeChange(), FDocHeight - FPaintPanel->Height());
    ScrollVerticalBy(pos, true);
}

// Moves the view to a new vertical position: the existing pixels move and only the uncovered strip is
// painted when the background scrolls with the text, otherwise everything is painted again.
void THTMLViewer::ScrollVerticalBy(int newPos, bool moveContents)
{
    const int old = FVScrollBar->Position();
    newPos = std::clamp(newPos, 0, VMax());
    SetVPosition(newPos);
    FSectionList->ScrollTo(newPos);
    if (FBackgroundFixed || !moveContents) {
        FPaintPanel->Invalidate();
    } else if (old != newPos) {
        FPaintPanel->ScrollWindow(0, old - newPos);
        FPaintPanel->Update();
    }
}

void THTMLViewer::HScrollMessage(int code, int trackPos)
{
    const int pos = RequestedScrollPos(code, trackPos, FHScrollBar->Position(), FHScrollBar->SmallChange(),
                                       FHScrollBar->LargeChange(), HMax());
    SetHPosition(std::clamp(pos, 0, HMax()));
    FPaintPanel->Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// Painting

void THTMLViewer::UpdateBorder()
{
    const bool line = (Focused() && FBorderStyle == htFocused) || FBorderStyle == htSingle;
    const TBorderStyle style = line ? bsSingle : bsNone;
    if (FBorderPanel->BorderStyle() != style)
        FBorderPanel->SetBorderStyle(style);
}

void THTMLViewer::Repaint()
{
    if (FSectionList->OnHideUnshownControls)
        FSectionList->OnHideUnshownControls();
    FBorderPanel->SetBorderStyle(bsNone);
    Control::Repaint();
}

void THTMLViewer::PaintDocument(Canvas& canvas)
{
    if (FFormatting)
        return;
    FSectionList->PaintCell(&canvas, Rect{0, 1, FPaintPanel->Width(), FPaintPanel->Height()}, MaxDocWidth,
                            -FHScrollBar->Position(), 0, 0, 0);
    FPositionsStale = false;
}

void THTMLViewer::EnsurePaintedPositions()
{
    if (!FPositionsStale || FFormatting || FPaintPanel->IsPainting())
        return;
    Bitmap scratch(1, 1);
    Canvas canvas(scratch);
    PaintDocument(canvas);
}

namespace {

// The start of a picture on one axis, as the position record places it.
int PlaceOnAxis(const BackgroundPos& rec, int area, int picture, int offset)
{
    switch (rec.PosType) {
    case BgTop:
    case BgLeft:
        return -offset;
    case BgCenter:
        return (area / 2 - picture / 2) - offset;
    case BgBottom:
    case BgRight:
        return area - picture - offset;
    case BgPercent:
        return int((long long)rec.Value * (area - picture) / 100) - offset;
    default:
        return rec.Value - offset;
    }
}

// Start and end of the tiling on one axis for a clip span; a picture size of 0 or less draws nothing.
void TileRange(bool repeat, int size, int clipStart, int clipEnd, int& start, int& end)
{
    if (size <= 0) {
        end = start;
        return;
    }
    if (repeat) {
        if (start < clipStart)
            start += size * ((clipStart - start) / size);
        else if (start > clipStart)
            start -= size * ((start - clipStart) / size) + size;
        end = clipEnd;
    } else {
        end = (clipEnd >= start && start + size >= clipStart) ? start + 1 : start;
    }
}

} // namespace

void THTMLViewer::DrawBackground(Canvas& canvas, const Rect& clip)
{
    const TColor fill = ColorToRGB(FPaintPanel->Color());
    Bitmap* image = FSectionList->BackgroundImage;
    if (!FViewImages || !image || image->Empty()) {
        canvas.FillRect(clip, fill);
        FBackgroundFixed = false;
        FBackgroundTile.reset();
        return;
    }
    BackgroundPos rec[2];
    if (FSectionList->BackgroundPosition.size() == sizeof rec)
        std::memcpy(static_cast<void*>(rec), FSectionList->BackgroundPosition.data(), sizeof rec);
    else {
        rec[0].PosType = BgLeft;
        rec[1].PosType = BgTop;
    }
    int xOff, yOff, areaW, areaH;
    FBackgroundFixed = rec[0].Fixed;
    if (FBackgroundFixed) {
        xOff = yOff = 0;
        areaW = FPaintPanel->ClientWidth();
        areaH = FPaintPanel->ClientHeight();
    } else {
        xOff = FHScrollBar->Position();
        yOff = FSectionList->YOffset;
        areaW = FHScrollBar->Max();
        areaH = std::max(FDocHeight, FPaintPanel->ClientHeight());
    }
    const int pw = image->Width();
    const int ph = image->Height();
    int x = PlaceOnAxis(rec[0], areaW, pw, xOff);
    int y = PlaceOnAxis(rec[1], areaH, ph, yOff);
    canvas.FillRect(clip, fill);
    if (pw <= 0 || ph <= 0)
        return;
    Bitmap* mask = FSectionList->BackgroundMask;
    if (mask && (mask->Empty() || mask->Width() != pw || mask->Height() != ph))
        mask = nullptr;
    // Along a repeating axis a picture narrower than MinTile is drawn as a band of whole copies of it:
    // the tiles start where the picture's own copies would, so the result is the same.
    constexpr int MinTile = 64;
    const int kx = rec[0].RepeatD && pw < MinTile ? (MinTile + pw - 1) / pw : 1;
    const int ky = rec[1].RepeatD && ph < MinTile ? (MinTile + ph - 1) / ph : 1;
    const Bitmap* picture = image;
    const Bitmap* pictureMask = mask;
    if (kx > 1 || ky > 1) {
        if (!FBackgroundTile)
            FBackgroundTile = std::make_unique<TBackgroundTile>();
        TBackgroundTile& t = *FBackgroundTile;
        if (t.Source != image || t.SourceMask != mask || t.SourceWidth != pw || t.SourceHeight != ph ||
            t.Load != FLoadCount || t.Kx != kx || t.Ky != ky) {
            t.Picture = RepeatedPicture(*image, kx, ky);
            t.Mask = mask ? RepeatedPicture(*mask, kx, ky) : Bitmap();
            t.Source = image;
            t.SourceMask = mask;
            t.SourceWidth = pw;
            t.SourceHeight = ph;
            t.Load = FLoadCount;
            t.Kx = kx;
            t.Ky = ky;
        }
        picture = &t.Picture;
        pictureMask = mask ? &t.Mask : nullptr;
    }
    const int tw = pw * kx;
    const int th = ph * ky;
    int xEnd, yEnd;
    TileRange(rec[0].RepeatD, tw, clip.Left, clip.Right, x, xEnd);
    TileRange(rec[1].RepeatD, th, clip.Top, clip.Bottom, y, yEnd);
    for (int ty = y; ty < yEnd; ty += th)
        for (int tx = x; tx < xEnd; tx += tw) {
            if (pictureMask)
                canvas.MaskedDraw(Rect{tx, ty, tx + tw, ty + th}, *picture, *pictureMask, Rect{0, 0, tw, th});
            else
                canvas.BitBlt(tx, ty, tw, th, *picture, 0, 0, SRCCOPY);
        }
}

// ---------------------------------------------------------------------------------------------------------
// Keyboard, wheel, focus, messages

void THTMLViewer::KeyDown(int& key, TShiftState shift)
{
    Control::KeyDown(key, shift);
    if (FWheelScrollMode) {
        FWheelScrollMode = false;
        FPaintPanel->SetCursor(Cursor());
        return;
    }
    if (FindKey(key, shift))
        return;
    if (shift & (ssShift | ssCtrl | ssAlt))
        return;
    const int small = FVScrollBar->SmallChange();
    int pos = FVScrollBar->Position();
    bool vertical = true;
    switch (key) {
    case VK_PRIOR:
        pos -= FVScrollBar->LargeChange();
        break;
    case VK_NEXT:
        pos += FVScrollBar->LargeChange();
        break;
    case VK_END:
        pos = FDocHeight;
        break;
    case VK_HOME:
        pos = 0;
        break;
    case VK_UP:
        pos -= small;
        break;
    case VK_DOWN:
        pos += small;
        break;
    default:
        vertical = false;
    }
    if (vertical) {
        const int old = FVScrollBar->Position();
        pos = std::max(0, pos);
        ScrollVerticalBy(pos, std::abs(std::clamp(pos, 0, VMax()) - old) == small);
        return;
    }
    if (key == VK_LEFT || key == VK_RIGHT) {
        int h = FHScrollBar->Position() +
                (key == VK_LEFT ? -FHScrollBar->SmallChange() : FHScrollBar->SmallChange());
        SetHPosition(std::clamp(h, 0, HMax()));
        FPaintPanel->Invalidate();
    }
}

bool THTMLViewer::MouseWheel(TShiftState shift, int wheelDelta, Point mousePos)
{
    if (Control::MouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (FOptions.Contains(htNoWheelMouse))
        return false;
    const int lines = SysValues().WheelScrollLines;
    int pos = FVScrollBar->Position();
    if (lines > 0)
        pos += wheelDelta > 0 ? -16 * lines : 16 * lines;
    else
        pos -= wheelDelta / 2;
    pos = std::clamp(pos, 0, VMax());
    if (pos != FVScrollBar->Position())
        ScrollTo(pos);
    return true;
}

void THTMLViewer::DoEnter()
{
    Control::DoEnter();
    UpdateBorder();
}

void THTMLViewer::DoExit()
{
    Control::DoExit();
    UpdateBorder();
}

void THTMLViewer::SubmitForm(const std::string& action, const std::string& target, const std::string& encType,
                             const std::string& method, const std::vector<std::string>& results)
{
    if (!OnFormSubmit)
        return;
    FSubmitAction = action;
    FSubmitTarget = target;
    FSubmitEncType = encType;
    FSubmitMethod = method;
    FSubmitResults = results;
    PostMessage(this, WM_FORMSUBMIT);
}

void THTMLViewer::WndMessage(Message& msg)
{
    switch (msg.Msg) {
    case WM_FORMSUBMIT:
        if (OnFormSubmit)
            OnFormSubmit(this, FSubmitAction, FSubmitTarget, FSubmitEncType, FSubmitMethod, FSubmitResults);
        return;
    case WM_MOUSESCROLL:
        AutoScrollLoop();
        return;
    case WM_URLACTION:
        FollowLink();
        return;
    default:
        Control::WndMessage(msg);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Property setters

void THTMLViewer::SetDefBackground(TColor value)
{
    if (FProcessing)
        return;
    FDefBackground = value;
    FSectionList->SetBackground(value);
    FPaintPanel->SetColor(value);
    FPaintPanel->Invalidate();
}

const std::string& THTMLViewer::DefPreFontName() const
{
    static const std::string fallback = "Courier New";
    return FSectionList->PreFontName.empty() ? fallback : FSectionList->PreFontName;
}

void THTMLViewer::SetDefPreFontName(const std::string& value)
{
    if (LowerCase(value) != LowerCase(FSectionList->PreFontName))
        FSectionList->PreFontName = value.substr(0, 32);
}

void THTMLViewer::SetImageCacheCount(int value)
{
    value = std::clamp(value, 0, 20);
    if (value == FImageCacheCount)
        return;
    FImageCacheCount = value;
    if (FImageCache)
        FImageCache->SetCacheCount(value);
}

void THTMLViewer::SetViewImages(bool value)
{
    if (value == FViewImages || FProcessing)
        return;
    ScreenCursor hourglass(crHourGlass);
    SetProcessing(true);
    struct Ending
    {
        THTMLViewer* v;
        ~Ending()
        {
            CallGuarded([this] { v->SetProcessing(false); });
        }
    } ending{this};
    FViewImages = value;
    FSectionList->ShowImages = value;
    if (FSectionList->Count() > 0) {
        FSectionList->LoadBackgroundImage();
        const std::int64_t pos = Position();
        DoLayout();
        SetPosition(pos);
        FPaintPanel->Invalidate();
    }
}

void THTMLViewer::SetScrollBars(TScrollStyle value)
{
    FScrollBars = value;
    if (FCreating || FProcessing)
        return;
    SetProcessing(true);
    struct Ending
    {
        THTMLViewer* v;
        ~Ending()
        {
            CallGuarded([this] { v->SetProcessing(false); });
        }
    } ending{this};
    DoLayout();
    FPaintPanel->Invalidate();
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle value)
{
    FBorderStyle = value;
    UpdateBorder();
    if (!FCreating && !FProcessing)
        Reformat();
}

void THTMLViewer::SetServerRoot(const std::string& value)
{
    std::string s = TrimBlanks(value);
    if (!s.empty() && s.back() == '\\')
        s.pop_back();
    FServerRoot = s;
}

void THTMLViewer::SethtOptions(const ThtmlViewerOptions& value)
{
    FOptions = value;
    FSectionList->LinkHover = value.Contains(htOverLinksActive);
    FSectionList->PrintTableBackground =
        value.Contains(htPrintTableBackground) || value.Contains(htPrintBackground);
    FSectionList->PrintMonoBlack = value.Contains(htPrintMonochromeBlack);
    FSectionList->ShowDummyCaret = value.Contains(htShowDummyCaret);
}

void THTMLViewer::SetPrintScale(double value)
{
    FPrintScale = std::clamp(value, 0.25, 4.0);
}
