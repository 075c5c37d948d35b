// Frame sets: the ROWS and COLS size lists, sizing and placing the children, dragging the borders between
// them, meta refresh of frameset documents, and the master set's lists.

#include <algorithm>
#include <climits>

#include "core/attributes.h"
#include "platform/asciitext.h"
#include "platform/errors.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/types.h"
#include "reader/builder.h"
#include "viewer/frames.h"
#include "viewer/frameviewer.h"
#include "viewer/urlsubs.h"

using namespace platform;

namespace {

// Pixel and percentage sizes above these mean nothing on any screen.
constexpr int MaxPixelEntry = 5000;
constexpr int MaxDigitValue = 1000000000;
// The longest refresh delay in seconds whose milliseconds still fit a timer interval.
constexpr long long MaxRefreshSeconds = INT_MAX / 1000;
// Pointer distance from a border within which it can be dragged.
constexpr int GrabDistance = 4;
constexpr int EdgeDistance = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TFrameBase

TFrameBase::TFrameBase(Control* parent, TFrameSet* master) : Panel(parent), LOwner(master)
{
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    if (auto* p = dynamic_cast<TFrameBase*>(parent)) {
        LocalCharSet = p->LocalCharSet;
        SetColor(p->Color());
    }
}

TFrameBase* TFrameBase::ParentFrame() const { return dynamic_cast<TFrameBase*>(Parent()); }

TFrameViewer* TFrameBase::FrameViewer() const { return LOwner ? LOwner->Viewer : nullptr; }

void TFrameBase::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    Panel::MouseDown(button, shift, x, y);
    CallGuarded([&] { FrameMouseDown(button, shift, x, y); });
}

void TFrameBase::MouseMove(TShiftState shift, int x, int y)
{
    Panel::MouseMove(shift, x, y);
    CallGuarded([&] { FrameMouseMove(shift, x, y); });
}

void TFrameBase::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    Panel::MouseUp(button, shift, x, y);
    CallGuarded([&] { FrameMouseUp(button, shift, x, y); });
}

// ---------------------------------------------------------------------------------------------------------
// Size lists

void TSubFrameSet::ReadSizeList(const std::string& value, std::vector<int>& list)
{
    list.clear();
    const std::size_t n = value.size();
    std::size_t i = 0;
    for (;;) {
        while (i < n && !IsDigit(value[i]) && value[i] != '*' && value[i] != ',')
            ++i;
        int entry = -1;
        if (i < n && IsDigit(value[i])) {
            long long v = 0;
            int digits = 0;
            for (; i < n && IsDigit(value[i]); ++i)
                if (++digits <= 20)
                    v = std::min<long long>(v * 10 + (value[i] - '0'), MaxDigitValue);
            const int num = int(std::max<long long>(1, v));
            while (i < n && value[i] != '%' && value[i] != '*' && value[i] != ',')
                ++i;
            if (i < n && value[i] == '*')
                entry = -std::min(99, num);
            else if (i < n && value[i] == '%')
                entry = -std::min(1000, num + 100);
            else
                entry = std::min(num, MaxPixelEntry);
        } else if (i < n && value[i] == '*') {
            ++i;
        }
        list.push_back(entry);
        while (i < n && value[i] != ',')
            ++i;
        if (i >= n || int(list.size()) >= MaxSizeEntries)
            return;
        ++i;
    }
}

std::vector<int> TSubFrameSet::ComputeSizes(const std::vector<int>& dim, int extent)
{
    int F = 0, W = 0, P = 0;
    for (int d : dim) {
        if (d >= 0)
            F += d;
        else if (d > -100)
            W += -d;
        else
            P += -d - 100;
    }
    std::vector<int> sizes(dim.size(), 0);
    if (extent - F > 0) {
        const int percentSpace = std::min(extent - F, std::max(0, MulDiv(extent, P, 100)));
        const int share = W > 0 ? (extent - F - percentSpace) / W : 0;
        for (std::size_t i = 0; i < dim.size(); ++i) {
            const int d = dim[i];
            if (d >= 0)
                sizes[i] = d;
            else if (d > -100)
                sizes[i] = -d * share;
            else
                sizes[i] = P > 0 ? std::max(0, MulDiv(-d - 100, percentSpace, P)) : 0;
        }
    } else {
        for (std::size_t i = 0; i < dim.size(); ++i)
            sizes[i] = dim[i] >= 0 && F > 0 ? std::max(0, MulDiv(dim[i], std::max(0, extent), F)) : 0;
    }
    return sizes;
}

// ---------------------------------------------------------------------------------------------------------
// TSubFrameSet

TSubFrameSet::TSubFrameSet(Control* parent, TFrameSet* master) : TFrameBase(parent, master)
{
    if (auto* p = dynamic_cast<TSubFrameSet*>(parent))
        FrameBorder = p->FrameBorder;
    else if (master)
        FrameBorder = master->FrameBorder;
}

TSubFrameSet::~TSubFrameSet() { StopRefresh(); }

Rect TSubFrameSet::InnerRect() const
{
    const int b = OuterBorder;
    Rect r{b, b, Width() - b, Height() - b};
    if (r.Right < r.Left)
        r.Right = r.Left;
    if (r.Bottom < r.Top)
        r.Bottom = r.Top;
    return r;
}

TfvFrame& TSubFrameSet::AddFrame(TAttributeList* attributes, const std::string& fileName)
{
    TfvFrame& f = Add<TfvFrame>(LOwner, attributes, fileName);
    const Rect r = InnerRect();
    f.SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    List.push_back(&f);
    ++LOwner->ItemCount;
    return f;
}

TSubFrameSet& TSubFrameSet::AddSubSet()
{
    TSubFrameSet& s = Add<TSubFrameSet>(LOwner);
    const Rect r = InnerRect();
    s.SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    List.push_back(&s);
    ++LOwner->ItemCount;
    return s;
}

void TSubFrameSet::ApplyFrameSetAttributes(TAttributeList& attributes)
{
    if (const TAttribute* rows = attributes.Find(RowsSy)) {
        Rows = true;
        ReadSizeList(rows->StrValue, Dim);
    }
    if (const TAttribute* cols = attributes.Find(ColsSy); cols && Dim.size() <= 1) {
        Rows = false;
        ReadSizeList(cols->StrValue, Dim);
    }
    if (this != LOwner || FrameViewer()->fvOptions().Contains(fvNoBorder))
        return;
    const TAttribute* border = attributes.Find(BorderSy);
    if (!border)
        border = attributes.Find(FrameBorderSy);
    if (border) {
        FrameBorder = std::clamp(border->NumValue, 0, 100);
        OuterBorder = std::max(2 - FrameBorder, 0);
    } else {
        FrameBorder = 2;
        OuterBorder = 0;
    }
    SetBevelOuter(OuterBorder > 0 ? bvLowered : bvNone);
    SetBevelWidth(std::max(1, OuterBorder));
}

void TSubFrameSet::EndFrameSet()
{
    while (Dim.size() < List.size())
        Dim.push_back(-1);
    while (List.size() < Dim.size())
        AddFrame(nullptr, std::string());
    TFrameViewer* fv = FrameViewer();
    const TFrameSetReader& reader = fv->Reader();
    FBase = reader.Base.empty() ? LOwner->FBase : reader.Base;
    FBaseTarget = reader.BaseTarget.empty() ? LOwner->FBaseTarget : reader.BaseTarget;
}

void TSubFrameSet::ReadFrom(int sourceKind, const std::string& text, const std::string& fileName)
{
    TFrameViewer* fv = FrameViewer();
    TFrameSetHost host;
    host.Include = fv->OnInclude;
    if (fv->OnSoundRequest)
        host.OnSoundRequest = [fv](const std::string& src, int loop, bool terminate) {
            if (fv->OnSoundRequest)
                fv->OnSoundRequest(nullptr, src, loop, terminate);
        };
    if (fv->OnScript)
        host.OnScript = [fv](const std::string& name, const std::string& language, const std::string& script) {
            if (fv->OnScript)
                fv->OnScript(nullptr, name, language, script);
        };
    host.OnMeta = [this](const std::string& httpEq, const std::string& name, const std::string& content) {
        HandleMeta(httpEq, name, content);
    };
    FDocumentFile = fileName;
    fv->Reader().Read(*fv, this, sourceKind, host, text, fileName);
    // BASE and TITLE may follow the FRAMESET.
    if (!fv->Reader().Base.empty())
        FBase = fv->Reader().Base;
    if (!fv->Reader().BaseTarget.empty())
        FBaseTarget = fv->Reader().BaseTarget;
    if (List.empty())
        EndFrameSet();  // a FRAMESET that never came: one empty frame, as for a set without FRAME tags
}

void TSubFrameSet::SizeChildren(int left, int top, int height, int width)
{
    std::vector<int> dim = Dim;
    dim.resize(List.size(), -1);
    ComputedSizes = ComputeSizes(dim, Rows ? height : width);
    Total = 0;
    for (int s : ComputedSizes)
        Total += s;
    int sum = 0;
    for (std::size_t i = 0; i < List.size(); ++i) {
        const int s = ComputedSizes[i];
        if (Rows)
            List[i]->SizeChildren(left, top + sum, s, width);
        else
            List[i]->SizeChildren(left + sum, top, height, s);
        sum += s;
    }
}

void TSubFrameSet::PlaceChildren()
{
    const Rect r = InnerRect();
    const int extent = Rows ? r.Bottom - r.Top : r.Right - r.Left;
    const int start = Rows ? r.Top : r.Left;
    BorderPositions.assign(List.size(), start);
    if (ComputedSizes.size() != List.size())
        SizeChildren(r.Left, r.Top, r.Bottom - r.Top, r.Right - r.Left);
    // Each edge is placed from the running sum of the computed sizes, so the rounding never leaves a gap.
    long long running = 0;
    int previous = 0;
    for (std::size_t i = 0; i < List.size(); ++i) {
        running += ComputedSizes[i];
        const int edge = Total > 0 ? std::max(0, MulDiv(int(std::min<long long>(running, INT_MAX)), extent, Total)) : 0;
        const int size = std::max(0, edge - previous);
        if (Rows)
            List[i]->SetBounds(r.Left, r.Top + previous, r.Right - r.Left, size);
        else
            List[i]->SetBounds(r.Left + previous, r.Top, size, r.Bottom - r.Top);
        previous = std::max(previous, edge);
        BorderPositions[i] = start + previous;
    }
}

void TSubFrameSet::Resize()
{
    TFrameBase::Resize();
    if (Width() == FLastWidth && Height() == FLastHeight)
        return;
    FLastWidth = Width();
    FLastHeight = Height();
    const Rect r = InnerRect();
    SizeChildren(r.Left, r.Top, r.Bottom - r.Top, r.Right - r.Left);
    PlaceChildren();
}

void TSubFrameSet::RegisterFrames()
{
    for (TFrameBase* c : List)
        c->RegisterFrames();
}

bool TSubFrameSet::CollectNoResize(bool& first, bool& last)
{
    const std::size_t n = List.size();
    NoResizeBorder.assign(n + 1, false);
    bool any = false;
    first = last = false;
    for (std::size_t i = 0; i < n; ++i) {
        bool f = false, l = false;
        if (List[i]->CollectNoResize(f, l))
            any = true;
        if (f)
            NoResizeBorder[i] = true;
        if (l)
            NoResizeBorder[i + 1] = true;
        if (i == 0)
            first = f;
        if (i + 1 == n)
            last = l;
    }
    return any;
}

void TSubFrameSet::LoadFiles()
{
    for (TFrameBase* c : List)
        c->LoadFiles();
}

void TSubFrameSet::ReloadFiles(std::int64_t position)
{
    for (TFrameBase* c : List)
        c->ReloadFiles(position);
    bool f, l;
    CollectNoResize(f, l);
    Unloaded = false;
    if (RefreshDelay > 0)
        StartRefresh();
}

void TSubFrameSet::UnloadFiles()
{
    StopRefresh();
    for (TFrameBase* c : List)
        c->UnloadFiles();
    if (TFrameViewer* fv = FrameViewer(); fv && fv->OnSoundRequest)
        fv->OnSoundRequest(nullptr, std::string(), 0, true);
    Unloaded = true;
}

void TSubFrameSet::FreeChildren()
{
    // Detached and hidden now, freed once the event that got here has returned.
    for (TFrameBase* c : List) {
        c->UnloadFiles();
        DeferDelete(ReleaseOwned(c));
    }
    List.clear();
}

void TSubFrameSet::ClearFrameSet()
{
    StopRefresh();
    FreeChildren();
    Dim.clear();
    ComputedSizes.clear();
    Total = 0;
    BorderPositions.clear();
    NoResizeBorder.clear();
    FBase.clear();
    FBaseTarget.clear();
    FDragBorder = -1;
}

// ---------------------------------------------------------------------------------------------------------
// Meta refresh of frameset documents

void TSubFrameSet::HandleMeta(const std::string& httpEq, const std::string& name, const std::string& content)
{
    TFrameViewer* fv = FrameViewer();
    if (SameTextAscii(httpEq, "content-type")) {
        int charset = 0;
        if (CharsetLookup(content, charset))
            LocalCharSet = charset == 30 ? 128 : charset;
    }
    if (fv->OnMeta)
        fv->OnMeta(nullptr, httpEq, name, content);
    if (!fv->fvOptions().Contains(fvMetaRefresh) || !SameTextAscii(httpEq, "refresh"))
        return;
    const std::size_t semi = content.find(';');
    const std::string num = TrimBlanks(semi == std::string::npos ? content : content.substr(0, semi));
    if (num.empty())
        return;
    long long delay = 0;
    for (char c : num) {
        if (!IsDigit(c))
            return;
        delay = std::min<long long>(delay * 10 + (c - '0'), MaxRefreshSeconds);
    }
    const std::size_t at = LowerAscii(content).find("url=");
    if (at != std::string::npos)
        RefreshUrl = TrimBlanks(content.substr(at + 4));
    else if (auto* frame = dynamic_cast<TfvFrame*>(Parent()))
        RefreshUrl = frame->Source;
    else
        RefreshUrl = LOwner->CurrentFile;
    RefreshDelay = int(std::max<long long>(1, delay));
}

void TSubFrameSet::StopRefresh()
{
    if (FRefreshTimer)
        FRefreshTimer->SetEnabled(false);
}

void TSubFrameSet::StartRefresh()
{
    TFrameViewer* fv = FrameViewer();
    if (RefreshDelay <= 0 || !fv || !fv->fvOptions().Contains(fvMetaRefresh))
        return;
    std::string url = RefreshUrl;
    const std::size_t hash = url.find('#');
    std::string file = hash == std::string::npos ? url : url.substr(0, hash);
    file = ServerFileName(file, fv->ServerRoot());
    const bool rooted = !file.empty() && (file[0] == '\\' || file[0] == '/' || (file.size() > 1 && file[1] == ':'));
    if (!rooted)
        file = ExtractFilePath(FDocumentFile) + file;
    if (!fv->RequestEventsInUse() && !FileExists(file))
        return;
    FRefreshFile = (fv->RequestEventsInUse() || rooted) ? file : ExpandFileName(file);
    FRefreshAnchor = hash == std::string::npos ? std::string() : url.substr(hash);
    if (!FRefreshTimer) {
        FRefreshTimer = std::make_unique<Timer>();
        FRefreshTimer->OnTimer = [this](Timer*) { RefreshTimerTick(); };
    }
    FRefreshTimer->SetInterval(int(std::min<long long>(1000LL * RefreshDelay, INT_MAX)));
    FRefreshTimer->SetEnabled(true);
}

void TSubFrameSet::RefreshTimerTick()
{
    StopRefresh();
    if (Unloaded)
        return;
    if (auto* frame = dynamic_cast<TfvFrame*>(Parent()))
        frame->FrameLoad(FRefreshFile, FRefreshAnchor, SameFileName(frame->Source, FRefreshFile), true);
}

// ---------------------------------------------------------------------------------------------------------
// Border dragging

int TSubFrameSet::NearestBorder(int coordinate, int& distance) const
{
    int best = -1;
    distance = INT_MAX;
    // Only the borders between children can move.
    for (std::size_t i = 0; i + 1 < BorderPositions.size(); ++i) {
        const int d = std::abs(BorderPositions[i] - coordinate);
        if (d <= distance) {
            distance = d;
            best = int(i);
        }
    }
    return best;
}

// The split cursor shows on the set and on the two children beside the border; the others keep the
// viewer's cursor (a NORESIZE frame passes no moves up, so it must never be left with the split one).
void TSubFrameSet::SetChildCursors(TCursor cursor)
{
    const TCursor normal = FrameViewer()->Cursor();
    SetCursor(cursor);
    for (std::size_t i = 0; i < List.size(); ++i) {
        const bool beside = FGrabBorder >= 0 && (int(i) == FGrabBorder || int(i) == FGrabBorder + 1);
        List[i]->SetCursor(beside ? cursor : normal);
    }
}

void TSubFrameSet::ShowDragLine(int pos)
{
    if (!FDragLine) {
        FDragLine = &Add<Panel>();
        FDragLine->SetBevelOuter(bvNone);
        FDragLine->SetColor(clGray);
    }
    if (Rows)
        FDragLine->SetBounds(0, pos - 1, Width(), 2);
    else
        FDragLine->SetBounds(pos - 1, 0, 2, Height());
    FDragLine->Show();
    FDragLine->BringToFront();
}

void TSubFrameSet::FrameMouseMove(TShiftState shift, int x, int y)
{
    TFrameBase* parent = ParentFrame();
    if (LOwner->DraggedSet && LOwner->DraggedSet != this) {
        if (parent)
            parent->FrameMouseMove(shift, x + Left(), y + Top());
        return;
    }
    if (Dragging()) {
        FDragPos = std::clamp(Rows ? y : x, FDragMin, std::max(FDragMin, FDragMax));
        ShowDragLine(FDragPos);
        return;
    }
    if (parent && this != LOwner &&
        (x <= EdgeDistance || y <= EdgeDistance || x >= Width() - EdgeDistance || y >= Height() - EdgeDistance)) {
        parent->FrameMouseMove(shift, x + Left(), y + Top());
        return;
    }
    int distance = 0;
    const int border = NearestBorder(Rows ? y : x, distance);
    const bool movable = border >= 0 && distance <= GrabDistance &&
                         !(std::size_t(border + 1) < NoResizeBorder.size() && NoResizeBorder[std::size_t(border + 1)]);
    FGrabBorder = movable ? border : -1;
    SetChildCursors(movable ? (Rows ? crVSplit : crHSplit) : FrameViewer()->Cursor());
}

void TSubFrameSet::FrameMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TFrameBase* parent = ParentFrame();
    if (button == mbLeft && FGrabBorder >= 0 && !LOwner->DraggedSet) {
        const int i = FGrabBorder;
        const Rect r = InnerRect();
        const int start = Rows ? r.Top : r.Left;
        FDragBorder = i;
        LOwner->DraggedSet = this;
        FDragMin = (i == 0 ? start : BorderPositions[std::size_t(i - 1)]) + 1;
        FDragMax = BorderPositions[std::size_t(i + 1)] - 1;
        FDragPos = std::clamp(Rows ? y : x, FDragMin, std::max(FDragMin, FDragMax));
        ShowDragLine(FDragPos);
        return;
    }
    if (parent)
        parent->FrameMouseDown(button, shift, x + Left(), y + Top());
}

void TSubFrameSet::FrameMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Dragging()) {
        if (TFrameBase* parent = ParentFrame(); parent && LOwner->DraggedSet && LOwner->DraggedSet != this)
            parent->FrameMouseUp(button, shift, x + Left(), y + Top());
        return;
    }
    LOwner->DraggedSet = nullptr;
    if (FDragLine)
        FDragLine->Hide();
    const std::size_t border = std::size_t(FDragBorder);
    FDragBorder = -1;
    FGrabBorder = -1;
    if (border >= BorderPositions.size())
        return;
    BorderPositions[border] = FDragPos;
    const Rect r = InnerRect();
    const int start = Rows ? r.Top : r.Left;
    const int last = BorderPositions.back() - start;
    if (last > 0) {
        int near = start;
        for (std::size_t i = 0; i < List.size() && i < ComputedSizes.size(); ++i) {
            ComputedSizes[i] = std::max(0, MulDiv(BorderPositions[i] - near, Total, last));
            near = BorderPositions[i];
        }
        Total = 0;
        for (int s : ComputedSizes)
            Total += s;
    }
    PlaceChildren();
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// TFrameSet: the master

TFrameSet::TFrameSet(Control* parent, TFrameViewer* viewer) : TSubFrameSet(parent, this), Viewer(viewer)
{
    LOwner = this;
    LocalCharSet = viewer->CharSet();
    SetColor(viewer->DefBackground());
    if (viewer->fvOptions().Contains(fvNoBorder)) {
        OuterBorder = 0;
        FrameBorder = 0;
    } else {
        OuterBorder = 2;
        FrameBorder = 2;
        SetBevelOuter(bvLowered);
        SetBevelWidth(2);
    }
}

TFrameSet::~TFrameSet()
{
    // The viewers go with the tree; nothing may point at them any more.
    Viewers.clear();
    FActive = nullptr;
}

void TFrameSet::ClearFrameSet()
{
    TSubFrameSet::ClearFrameSet();
    FrameNames.clear();
    for (THTMLViewer* v : Viewers)
        Viewer->ViewerGone(v);
    Viewers.clear();
    Frames.clear();
    DraggedSet = nullptr;
    CurrentFile.clear();
    FTitle.clear();
    FBaseName.clear();
    FLastWidth = FLastHeight = -1;
    FActive = nullptr;
    ItemCount = 0;
}

void TFrameSet::EndFrameSet()
{
    TSubFrameSet::EndFrameSet();
    FBaseName = Viewer->Reader().Base;
    const Rect r = InnerRect();
    SizeChildren(r.Left, r.Top, r.Bottom - r.Top, r.Right - r.Left);
}

void TFrameSet::Resize()
{
    TSubFrameSet::Resize();
}

void TFrameSet::RebuildLists()
{
    Frames.clear();
    RegisterFrames();
    FrameNames.clear();
    std::vector<THTMLViewer*> viewers;
    for (TfvFrame* f : Frames) {
        if (!f->FrameName.empty())
            FrameNames.emplace(UpperAscii(f->FrameName), f);
        if (f->DocViewer())
            viewers.push_back(f->DocViewer());
    }
    Viewers = std::move(viewers);
    if (FActive && std::find(Viewers.begin(), Viewers.end(), FActive) == Viewers.end())
        FActive = nullptr;
}

void TFrameSet::SetActive(THTMLViewer* viewer)
{
    if (std::find(Viewers.begin(), Viewers.end(), viewer) != Viewers.end())
        FActive = viewer;
}

THTMLViewer* TFrameSet::ActiveViewer() const
{
    if (Viewers.size() == 1)
        return Viewers.front();
    return FActive;
}

void TFrameSet::DiscardForwardHistory()
{
    for (TfvFrame* f : Frames)
        f->DiscardForward();
}

void TFrameSet::RefreshTimerTick()
{
    StopRefresh();
    if (Unloaded || &Viewer->Master() != this)
        return;
    Viewer->RefreshTopLevel(FRefreshFile + FRefreshAnchor);
}

void TFrameSet::LoadTopLevel(const std::string& name, const std::string& destination)
{
    ClearFrameSet();
    NestLevel = 0;
    RefreshDelay = 0;
    RefreshUrl.clear();
    Dim.clear();
    Rows = false;
    const bool requests = Viewer->RequestEventsInUse();
    const TSourceKind kind = requests ? TSourceKind::Html : SourceKindOf(name);
    std::string text, answeredFile;
    bool supplied = false;
    if (kind == TSourceKind::Html && requests) {
        supplied = Viewer->RequestSource(name, text, answeredFile);
        if (supplied && !answeredFile.empty())
            text = ReadFileString(answeredFile);
    }
    CurrentFile = supplied ? name : ExpandFileName(name);
    bool frameset = false;
    try {
        frameset = kind == TSourceKind::Html &&
                   (supplied ? Viewer->Reader().IsFrameSet(TFrameSetReader::FromText, std::string(), text)
                             : Viewer->Reader().IsFrameSet(TFrameSetReader::FromFile, name, std::string()));
    } catch (const Exception&) {
        throw EfvLoadError("Can't load: " + name);
    }
    if (frameset) {
        ReadFrom(supplied ? TFrameSetReader::FromText : TFrameSetReader::FromFile, text,
                 supplied ? name : CurrentFile);
        FTitle = Viewer->Reader().Title;
        RebuildLists();
        // Placed before loading, so that every page is formatted once, at its frame's width.
        FLastWidth = FLastHeight = -1;
        Resize();
        LoadFiles();
        FLastWidth = FLastHeight = -1;
        Resize();
        bool f, l;
        CollectNoResize(f, l);
        StartRefresh();
    } else {
        TfvFrame& frame = AddFrame(nullptr, std::string());
        frame.Source = supplied ? name : CurrentFile;
        frame.OriginalSource = frame.Source;
        frame.Destination = destination;
        if (supplied) {
            frame.HasPrefetched = true;
            frame.Prefetched = text;
        }
        EndFrameSet();
        FLastWidth = FLastHeight = -1;
        Resize();
        RebuildLists();
        frame.LoadFiles();
    }
    RebuildLists();
}

// ---------------------------------------------------------------------------------------------------------

TSourceKind SourceKindOf(const std::string& name)
{
    const std::string ext = UpperAscii(ExtractFileExt(name));
    if (ext == ".GIF" || ext == ".JPG" || ext == ".JPEG" || ext == ".BMP" || ext == ".PNG")
        return TSourceKind::Image;
    if (ext == ".TXT")
        return TSourceKind::Text;
    return TSourceKind::Html;
}

std::string FileNameKey(const std::string& name)
{
    std::string key = UpperAscii(name);
    for (char& c : key)
        if (c == '/')
            c = '\\';
    return key;
}

bool SameFileName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && FileNameKey(a) == FileNameKey(b);
}

std::string ErrorDocument(const std::string& name)
{
    std::string escaped;
    for (char c : name) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return "<p><img src=\"qw%&.bmp\" alt=\"Error\"> Can't load " + escaped;
}
