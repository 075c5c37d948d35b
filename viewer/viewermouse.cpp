// The interactive side of the viewer: hot spots and cursors, link following, selection by mouse with
// auto-scroll, the middle-button scroll mode, double-click words, link focus and Tab navigation, the
// visited list and the history.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "layout/formcontrols.h"
#include "layout/sectionlist.h"
#include "platform/application.h"
#include "platform/asciitext.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/cursors.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/messages.h"
#include "viewer/htmlviewer.h"

using namespace platform;

namespace {

bool IsWordChar(char16_t ch)
{
    return (ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z') ||
           ch >= 192;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Selection text

int THTMLViewer::SelStart() const
{
    return std::min(FSectionList->SelStart, FSectionList->SelEnd);
}

int THTMLViewer::SelLength() const
{
    return std::max(0, FSectionList->SelEnd - FSectionList->SelStart);
}

std::u16string THTMLViewer::SelText()
{
    const int length = FSectionList->SelectedLength();
    if (length <= 0)
        return {};
    // Zero-filled and cut to what was really copied: markers the counter counts but the copier drops
    // must not leave a terminator or stale characters in the text.
    std::u16string buffer(std::size_t(length) + 1, u'\0');
    const int copied = FSectionList->SelectedText(buffer.data(), length + 1) - 1;
    buffer.resize(std::size_t(std::clamp(copied, 0, length)));
    return buffer;
}

void THTMLViewer::SelectAll()
{
    FSectionList->SelStart = 0;
    FSectionList->SelEnd = 999999999;
    FPaintPanel->Invalidate();
}

void THTMLViewer::CopyToClipboard()
{
    std::u16string text = SelText();
    if (!text.empty())
        SetClipboardText(text);
}

std::u16string THTMLViewer::TextBetween(int startSource, int endSource)
{
    if (startSource < 0 || endSource < 0 || startSource >= endSource)
        return {};
    const int saveStart = FSectionList->SelStart;
    const int saveEnd = FSectionList->SelEnd;
    FSectionList->SelStart = FSectionList->DocPosOf(startSource, false);
    FSectionList->SelEnd = FSectionList->DocPosOf(endSource, true);
    std::u16string text;
    try {
        text = SelText();
    } catch (...) {
        FSectionList->SelStart = saveStart;
        FSectionList->SelEnd = saveEnd;
        throw;
    }
    FSectionList->SelStart = saveStart;
    FSectionList->SelEnd = saveEnd;
    return text;
}

std::u16string THTMLViewer::GetWordAtPoint(int X, int Y, int& start, int& end)
{
    start = end = -1;
    EnsurePaintedPositions();
    int xr = 0, yr = 0, caretHeight = 0;
    bool inText = false;
    const int pos = FSectionList->CursorAt(FMeasureCanvas.get(), X, Y + FSectionList->YOffset, xr, yr,
                                           caretHeight, inText);
    if (pos < 0)
        return {};
    FCaretPos = pos;
    if (!inText)
        return {};
    char16_t ch = 0;
    TIDObject* obj = nullptr;
    if (!FSectionList->CharAt(pos, ch, obj) || !IsWordChar(ch))
        return {};
    // The word runs over word characters of the same document object; a bounded walk keeps a huge
    // run of letters from costing more than a word ever needs.
    constexpr int MaxWord = 4096;
    auto wordCharAt = [&](int p) {
        char16_t c = 0;
        TIDObject* o = nullptr;
        return FSectionList->CharAt(p, c, o) && o == obj && IsWordChar(c);
    };
    int first = pos;
    while (first > 0 && pos - first < MaxWord && wordCharAt(first - 1))
        --first;
    int last = pos;
    while (last - pos < MaxWord && wordCharAt(last + 1))
        ++last;
    std::u16string word;
    for (int p = first; p <= last; ++p) {
        char16_t c = 0;
        TIDObject* o = nullptr;
        FSectionList->CharAt(p, c, o);
        word += c;
    }
    start = first;
    end = last + 1;
    return word;
}

// ---------------------------------------------------------------------------------------------------------
// Mouse

void THTMLViewer::DocMouseMove(TShiftState shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, X, Y);
    if (FWheelScrollMode) {
        if (!FAutoScrolling && std::abs(Y - FWheelStartY) > 20) {
            FAutoScrolling = true;
            PostMessage(this, WM_MOUSESCROLL);
        }
        return;
    }
    EnsurePaintedPositions();
    std::string url, target, title;
    TCursor cursor = crArrow;
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    const int docY = Y + FSectionList->YOffset;
    const bool hit = FSectionList->LinkAt(FMeasureCanvas.get(), X, docY, link, control, title);
    std::unique_ptr<TUrlTarget> linkOwner(link);  // the answer is a copy for the caller
    if (hit) {
        if (link) {
            cursor = HandCursor;
            url = link->Url;
            target = link->Target;
            FLinkAttributes = link->Attr;
            // The text of the link is measured over the whole document: only when another link is met.
            if (link->ID != FLinkTextOf || FLinkTextLoad != FLoadCount) {
                FLinkText = TextBetween(link->StartPos(), link->EndPos());
                FLinkTextOf = link->ID;
                FLinkTextLoad = FLoadCount;
            }
        } else if (control) {
            cursor = HandCursor;
        }
    }
    FTitleAttr = title;
    TIDObject* image = nullptr;
    int ix = 0, iy = 0;
    if ((OnImageClick || OnImageOver) && FSectionList->ObjectAt(X, docY, image, ix, iy)) {
        if (cursor != HandCursor)
            cursor = crArrow;
        if (OnImageOver)
            OnImageOver(this, image, shift, ix, iy);
    } else {
        int xr = 0, yr = 0, caretHeight = 0;
        bool inText = false;
        if (cursor != HandCursor &&
            FSectionList->CursorAt(FMeasureCanvas.get(), X, docY, xr, yr, caretHeight, inText) >= 0 && inText)
            cursor = ThickIBeamCursor;
    }
    FPaintPanel->SetCursor(cursor);
    FHoverTimer->SetEnabled(cursor == HandCursor || FSectionList->HoverLink);
    if (url != FHoverUrl || target != FHoverTarget) {
        FHoverUrl = url;
        FHoverTarget = target;
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, FHoverUrl);
    }
    if (shift & ssLeft) {
        if (!FAutoScrolling && (Y <= 0 || Y >= Height())) {
            FAutoScrolling = true;
            PostMessage(this, WM_MOUSESCROLL);
        }
        if (!FNoSelect)
            ExtendSelection(X, Y);
    }
}

void THTMLViewer::HoverTimerTick()
{
    if (ControlAtCursor() == FPaintPanel)
        return;
    FSectionList->ClearHover();
    FHoverTimer->SetEnabled(false);
    if (!FHoverUrl.empty()) {
        FHoverUrl.clear();
        FHoverTarget.clear();
        if (OnHotSpotCovered)
            OnHotSpotCovered(this, std::string());
    }
}

void THTMLViewer::DocMouseDown(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, X, Y);
    if (CanFocus() && !Focused())
        SetFocus();
    FLinkJustClicked = false;
    if (FWheelScrollMode) {
        FWheelScrollMode = false;
        FPaintPanel->SetCursor(Cursor());
        FAutoScrolling = false;
        return;
    }
    if (button == mbMiddle && !FOptions.Contains(htNoWheelMouse)) {
        FWheelScrollMode = true;
        FWheelStartY = Y;
        FPaintPanel->SetCursor(UpDownCursor);
        return;
    }
    if (button != mbLeft)
        return;
    FLeftButtonDown = true;
    FSelecting = true;
    EnsurePaintedPositions();
    int xr = 0, yr = 0, caretHeight = 0;
    bool inText = false;
    FSelectionAnchor = FSectionList->CursorAt(FMeasureCanvas.get(), X, Y + FSectionList->YOffset, xr, yr,
                                              caretHeight, inText);
    if (FSelectionAnchor >= 0) {
        if (FSectionList->SelStart < FSectionList->SelEnd || (shift & ssShift))
            FPaintPanel->Invalidate();
        if (shift & ssShift) {
            FSectionList->SelStart = std::min(FCaretPos, FSelectionAnchor);
            FSectionList->SelEnd = std::max(FCaretPos, FSelectionAnchor);
        } else {
            FSectionList->SelStart = FSectionList->SelEnd = FSelectionAnchor;
            FCaretPos = FSelectionAnchor;
        }
    }
    FSectionList->PressHoverImage(true);
}

void THTMLViewer::ExtendSelection(int X, int Y)
{
    if (!FSelecting || FSelectionAnchor < 0)
        return;
    Y = std::clamp(Y, 0, Height());
    EnsurePaintedPositions();
    int xr = 0, yr = 0, caretHeight = 0;
    bool inText = false;
    const int p = FSectionList->CursorAt(FMeasureCanvas.get(), X, Y + FSectionList->YOffset, xr, yr,
                                         caretHeight, inText);
    if (p >= 0 && !FNoSelect) {
        FSectionList->SelStart = std::min(FSelectionAnchor, p);
        FSectionList->SelEnd = std::max(FSelectionAnchor, p);
        FPaintPanel->Invalidate();
    }
    if (p >= 0)
        FCaretPos = p;
}

void THTMLViewer::DocMouseUp(TMouseButton button, TShiftState shift, int X, int Y)
{
    if (FWheelScrollMode) {
        if (button != mbMiddle || Y != FWheelStartY) {
            FWheelScrollMode = false;
            FPaintPanel->SetCursor(Cursor());
        }
        return;
    }
    if (OnMouseUp)
        OnMouseUp(this, button, shift, X, Y);
    EnsurePaintedPositions();
    const int docY = Y + FSectionList->YOffset;
    TIDObject* image = nullptr;
    int ix = 0, iy = 0;
    bool overImage = false;
    if (OnImageClick || OnRightClick) {
        overImage = FSectionList->ObjectAt(X, docY, image, ix, iy);
        if (overImage && OnImageClick)
            OnImageClick(this, image, button, shift, ix, iy);
    }
    if (button == mbRight && OnRightClick) {
        TRightClickParameters params;
        if (overImage) {
            params.ClickedImage = image;
            params.ImageOffsetX = ix;
            params.ImageOffsetY = iy;
        }
        TUrlTarget* link = nullptr;
        TFormControlObj* control = nullptr;
        std::string title;
        const bool hit = FSectionList->LinkAt(FMeasureCanvas.get(), X, docY, link, control, title);
        std::unique_ptr<TUrlTarget> linkOwner(link);
        if (hit && link) {
            params.LinkUrl = link->Url;
            params.LinkTarget = link->Target;
        }
        int ws = 0, we = 0;
        params.WordAtPoint = GetWordAtPoint(X, Y, ws, we);
        FHoverTimer->SetEnabled(false);
        struct Restart
        {
            Timer* t;
            ~Restart() { t->SetEnabled(true); }
        } restart{FHoverTimer.get()};
        OnRightClick(this, params);
        return;
    }
    if (button != mbLeft)
        return;
    // Any release of the left button ends the auto-scroll, also one with Shift held.
    FAutoScrolling = false;
    if (shift & ssShift)
        return;
    ExtendSelection(X, Y);
    FSelecting = false;
    FSectionList->PressHoverImage(false);
    if (!FLeftButtonDown)
        return;
    FLeftButtonDown = false;
    if (FSectionList->SelStart < FSectionList->SelEnd)
        return;
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    std::string title;
    const bool hit = FSectionList->LinkAt(FMeasureCanvas.get(), X, docY, link, control, title);
    std::unique_ptr<TUrlTarget> linkOwner(link);
    if (hit && !link && control) {
        // The picture of an image input: submits its form with the point clicked.
        if (auto* image = dynamic_cast<TImageFormControlObj*>(control))
            image->ImageClicked(image->ClickX, image->ClickY);
        return;
    }
    if (!hit || !link)
        return;
    FHoverUrl = link->Url;
    FHoverTarget = link->Target;
    FLinkAttributes = link->Attr;
    FLinkText = TextBetween(link->StartPos(), link->EndPos());
    // The link's focus window takes the keyboard focus, without scrolling the view.
    const int id = link->ID;
    for (TFontObj* run : FSectionList->LinkRuns())
        if (run->LinkId() == id && run->TabControl) {
            Form* form = run->TabControl->ParentForm();
            if (form && run->TabControl->CanFocus()) {
                FFocusByClick = true;
                form->SetActiveControl(run->TabControl.get());
                FFocusByClick = false;
            }
            break;
        }
    FLinkJustClicked = true;
    // Followed from the message queue: the load may free objects whose handlers are still running.
    PostMessage(this, WM_URLACTION);
}

void THTMLViewer::DocDoubleClick(TShiftState shift, int X, int Y)
{
    FSectionList->PressHoverImage(true);
    if (FProcessing || FLinkJustClicked)
        return;
    if (!FNoSelect) {
        int start = 0, end = 0;
        std::u16string word = GetWordAtPoint(X, Y, start, end);
        if (!word.empty()) {
            FSectionList->SelStart = start;
            FSectionList->SelEnd = end;
            FCaretPos = start;
            FPaintPanel->Invalidate();
        }
    }
    if (OnMouseDouble)
        OnMouseDouble(this, mbLeft, shift, X, Y);
}

// ---------------------------------------------------------------------------------------------------------
// Auto-scroll

bool THTMLViewer::AutoScrollStillValid(int generation)
{
    return !FProcessing && generation == FLoadCount;
}

void THTMLViewer::AutoScrollLoop()
{
    if (FInAutoScroll)
        return;
    FInAutoScroll = true;
    AliveToken alive(*this);
    const int generation = FLoadCount;
    const int rootGeneration = FSectionList->Generation;
    std::uint32_t last = GetTickCount() - 1000;
    auto mouseY = [this] { return FPaintPanel->ScreenToClient(GetCursorPos()).Y; };
    auto running = [&] {
        const int y = mouseY();
        return (FAutoScrolling && FLeftButtonDown && (y <= 0 || y > Height())) ||
               (FWheelScrollMode && std::abs(y - FWheelStartY) > 20);
    };
    while (running()) {
        const std::uint32_t now = GetTickCount();
        if (now - last > 100) {
            last = now;
            const int y = mouseY();
            const int small = FVScrollBar->SmallChange();
            int pos = FVScrollBar->Position();
            if (FWheelScrollMode) {
                const int d = y - FWheelStartY;
                int step = d < -60 ? -32 : d < -20 ? -8 : d > 60 ? 32 : d <= 20 ? 0 : 8;
                pos += step;
                FPaintPanel->SetCursor(step < 0 ? UpOnlyCursor : step > 0 ? DownOnlyCursor : UpDownCursor);
            } else {
                pos += y < -15 ? -8 * small : y <= 0 ? -small : y > Height() + 15 ? 8 * small : small;
            }
            pos = std::clamp(pos, 0, VMax());
            FSectionList->ScrollTo(pos);
            SetVPosition(pos);
            ExtendSelection(FPaintPanel->ScreenToClient(GetCursorPos()).X, y);
            FPaintPanel->Invalidate();
        }
        for (int i = 0; i < 4; ++i) {
            if (Application* app = Application::Instance())
                app->ProcessMessages();
            // Events run inside the pump may load, clear or destroy: stop on the old state.
            if (!alive || !AutoScrollStillValid(generation) || FSectionList->Generation != rootGeneration) {
                if (alive) {
                    FAutoScrolling = false;
                    FInAutoScroll = false;
                }
                return;
            }
        }
        // The step comes every 100 ms; between steps the loop only waits for input.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    FAutoScrolling = false;
    if (FWheelScrollMode)
        FPaintPanel->SetCursor(UpDownCursor);
    FInAutoScroll = false;
}

// ---------------------------------------------------------------------------------------------------------
// Links

bool THTMLViewer::HotSpotClickHandled()
{
    bool handled = false;
    if (OnHotSpotClick)
        OnHotSpotClick(this, FHoverUrl, handled);
    return handled;
}

void THTMLViewer::FollowLink()
{
    if (HotSpotClickHandled())
        return;
    const std::int64_t p = Position();
    const std::string u = FHoverUrl;
    if (!u.empty() && u[0] == '#') {
        if (ScrollToAnchor(u)) {
            PushHistory(FCurrentFile, FTitle, FDocumentKind, nullptr, p);
            AddVisited(FCurrentFile + u);
        }
        return;
    }
    std::size_t hash = u.find('#');
    std::string address = hash == std::string::npos ? u : u.substr(0, hash);
    const std::string anchorPart = hash == std::string::npos ? std::string() : u.substr(hash);
    address = ResolveFileName(address);
    std::string ext = UpperAscii(ExtractFileExt(address)).substr(0, 5);
    if (ext == ".HTM" || ext == ".HTML") {
        if (address != FCurrentFile) {
            OpenFile(address + anchorPart);
            AddVisited(address + anchorPart);
        } else if (ScrollToAnchor(anchorPart)) {
            PushHistory(FCurrentFile, FTitle, 0, nullptr, p);
            AddVisited(address + anchorPart);
        }
    } else if (ext == ".BMP" || ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".PNG") {
        OpenImageFile(address);
    }
}

void THTMLViewer::SetLinkFromRun(TFontObj* run)
{
    if (!run || !run->UrlTarget)
        return;
    FHoverUrl = run->UrlTarget->Url;
    FHoverTarget = run->UrlTarget->Target;
    FLinkAttributes = run->UrlTarget->Attr;
    FLinkText = TextBetween(run->UrlTarget->StartPos(), run->UrlTarget->EndPos());
}

void THTMLViewer::LinkKeyDown(TFontObj* run, int& key, TShiftState shift)
{
    if (key == VK_RETURN) {
        SetLinkFromRun(run);
        PostMessage(this, WM_URLACTION);
        key = 0;
        return;
    }
    KeyDown(key, shift);
}

void THTMLViewer::ScrollControlIntoView(int y)
{
    const int pos = FVScrollBar->Position();
    const int h = FPaintPanel->ClientHeight();
    if (y >= pos && y <= pos + h - 20)
        return;
    ScrollTo(y - h / 2);
    FPaintPanel->Invalidate();
}

void THTMLViewer::ScrollIntoViewLink(TFontObj* run)
{
    if (FFocusByClick || !run)
        return;
    const int y = run->LinkY;
    const int pos = FVScrollBar->Position();
    const int h = FPaintPanel->ClientHeight();
    if (y < pos)
        ScrollTo(y);
    else if (y > pos + h - 30)
        ScrollTo(y - h / 2);
    FPaintPanel->Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// Visited links

namespace {

// The full address of a link as the visited list records it.
std::string FullAddress(THTMLViewer& viewer, const std::string& url)
{
    if (!url.empty() && url[0] == '#')
        return viewer.CurrentFile() + url;
    return viewer.ResolveFileName(url);
}

} // namespace

void THTMLViewer::AddVisited(const std::string& url)
{
    if (InFrame || FVisitedMaxCount == 0)
        return;
    if (!FVisited.empty() && FVisited.front() == url)
        return;
    auto it = std::find(FVisited.begin(), FVisited.end(), url);
    if (it != FVisited.end()) {
        FVisited.erase(it);
    } else {
        bool changed = false;
        for (TFontObj* run : FSectionList->LinkRuns())
            if (run->IsLink() && SameTextAscii(FullAddress(*this, run->URL()), url)) {
                run->SetVisited(true);
                changed = true;
            }
        if (changed)
            FPaintPanel->Invalidate();
    }
    FVisited.insert(FVisited.begin(), url);
    if (int(FVisited.size()) > FVisitedMaxCount)
        FVisited.resize(std::size_t(FVisitedMaxCount));
}

void THTMLViewer::MarkVisitedLinks()
{
    if (FVisitedMaxCount <= 0 || FVisited.empty())
        return;
    std::vector<std::string> upper;
    upper.reserve(FVisited.size());
    for (const std::string& v : FVisited)
        upper.push_back(UpperAscii(v));
    for (TFontObj* run : FSectionList->LinkRuns()) {
        if (!run->IsLink())
            continue;
        const std::string full = UpperAscii(FullAddress(*this, run->URL()));
        if (std::find(upper.begin(), upper.end(), full) != upper.end())
            run->SetVisited(true);
    }
}

void THTMLViewer::SetVisitedMaxCount(int value)
{
    value = std::max(0, value);
    if (value == FVisitedMaxCount)
        return;
    FVisitedMaxCount = value;
    if (value > 0) {
        if (int(FVisited.size()) > value)
            FVisited.resize(std::size_t(value));
        return;
    }
    FVisited.clear();
    for (TFontObj* run : FSectionList->LinkRuns())
        run->SetVisited(false);
    FPaintPanel->Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// History

void THTMLViewer::PushHistory(const std::string& oldFile, const std::string& oldTitle, int oldKind,
                              std::unique_ptr<TFormData> formData, std::int64_t oldPos)
{
    if (FHistoryMaxCount < 1 || FCurrentFile.empty() ||
        (oldFile == FCurrentFile && oldKind == FDocumentKind && oldPos == Position()))
        return;
    if (!FHistory.empty() && !oldFile.empty() && FHistoryIndex < int(FHistory.size())) {
        const std::size_t i = std::size_t(FHistoryIndex);
        const bool fileChanged = oldFile != FCurrentFile;
        FHistory[i] = oldFile;
        PositionObj& entry = *FPositionHistory[i];
        entry.ScrollPos = oldPos;
        entry.DocKind = std::uint8_t(oldKind);
        if (fileChanged)
            entry.SavedFormData = std::move(formData);
        FTitleHistory[i] = oldTitle;
        FHistory.erase(FHistory.begin(), FHistory.begin() + FHistoryIndex);
        FPositionHistory.erase(FPositionHistory.begin(), FPositionHistory.begin() + FHistoryIndex);
        FTitleHistory.erase(FTitleHistory.begin(), FTitleHistory.begin() + FHistoryIndex);
    }
    FHistoryIndex = 0;
    auto obj = std::make_unique<PositionObj>();
    obj->ScrollPos = Position();
    obj->DocKind = std::uint8_t(FDocumentKind);
    FHistory.insert(FHistory.begin(), FCurrentFile);
    FPositionHistory.insert(FPositionHistory.begin(), std::move(obj));
    FTitleHistory.insert(FTitleHistory.begin(), FTitle);
    if (int(FHistory.size()) > FHistoryMaxCount) {
        const std::size_t i = std::size_t(FHistoryMaxCount);
        FHistory.erase(FHistory.begin() + std::ptrdiff_t(i));
        FPositionHistory.erase(FPositionHistory.begin() + std::ptrdiff_t(i));
        FTitleHistory.erase(FTitleHistory.begin() + std::ptrdiff_t(i));
    }
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void THTMLViewer::ClearHistory()
{
    const bool had = !FHistory.empty();
    FHistory.clear();
    FPositionHistory.clear();
    FTitleHistory.clear();
    FHistoryIndex = 0;
    FCurrentFile.clear();
    if (had && OnHistoryChange)
        OnHistoryChange(this);
}

void THTMLViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == FHistoryMaxCount)
        return;
    if (value < FHistoryMaxCount)
        ClearHistory();
    FHistoryMaxCount = value;
}
