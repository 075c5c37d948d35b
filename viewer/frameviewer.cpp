// The frame viewer control: loading top-level documents, routing link clicks to their targets, the visited
// list, the top-level history with back and forward, and the properties and events every frame's viewer
// takes from it.

#include "viewer/frameviewer.h"

#include <algorithm>

#include "core/attributes.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "style/fontobj.h"
#include "viewer/frames.h"
#include "viewer/urlsubs.h"

using namespace platform;

namespace {

void SplitAnchor(const std::string& name, std::string& file, std::string& anchor)
{
    const std::size_t hash = name.find('#');
    file = hash == std::string::npos ? name : name.substr(0, hash);
    anchor = hash == std::string::npos ? std::string() : name.substr(hash, 256);
}

}  // namespace

void TFVBase::SetFocus()
{
    if (THTMLViewer* v = ActiveViewer(); v && v->CanFocus()) {
        v->SetFocus();
        if (v->Focused())
            return;
    }
    TFrameViewerBase::SetFocus();
}

TFrameViewer::TFrameViewer(Control* parent) : TFVBase(parent)
{
    SetBounds(0, 0, 150, 150);
    SetTabStop(false);
    SetColor(FDefBackground);
    SetCursor(ThickIBeamCursor);
    FImageCache = std::make_unique<TStringBitmapList>();
    FImageCache->SetSorted(true);
    FImageCache->SetCacheCount(FImageCacheCount);
    FCurFrameSet = std::make_unique<TFrameSet>(this, this);
    FCurFrameSet->SetBounds(0, 0, Width(), Height());
}

TFrameViewer::~TFrameViewer()
{
    OnProcessing = nullptr;
    OnHistoryChange = nullptr;
    OnSoundRequest = nullptr;
    for (auto& s : FKeptSets)
        s->UnloadFiles();
    FKeptSets.clear();
    if (FCurFrameSet)
        FCurFrameSet->UnloadFiles();
    FCurFrameSet.reset();
    FImageCache->Clear();
}

void TFrameViewer::Resize()
{
    TFVBase::Resize();
    if (FCurFrameSet)
        FCurFrameSet->SetBounds(0, 0, Width(), Height());
}

// ---------------------------------------------------------------------------------------------------------
// Busy state

void TFrameViewer::SetProcessing(bool on)
{
    FProcessing = on;
    const bool busy = Busy();
    if (busy != FBusyReported) {
        FBusyReported = busy;
        if (OnProcessing)
            OnProcessing(this, busy);
    }
}

void TFrameViewer::ViewerProcessing(THTMLViewer* v, bool on)
{
    auto it = std::find(FBusyViewers.begin(), FBusyViewers.end(), v);
    if (on && it == FBusyViewers.end())
        FBusyViewers.push_back(v);
    else if (!on && it != FBusyViewers.end())
        FBusyViewers.erase(it);
    SetProcessing(FProcessing);
}

void TFrameViewer::ViewerGone(THTMLViewer* v)
{
    FBusyViewers.erase(std::remove(FBusyViewers.begin(), FBusyViewers.end(), v), FBusyViewers.end());
    if (FCurFrameSet && FCurFrameSet->FActive == v)
        FCurFrameSet->FActive = nullptr;
    SetProcessing(FProcessing);
}

// Sets the processing flag for a scope and clears it however the scope ends.
namespace {
struct ProcessingScope {
    TFrameViewer* Viewer;
    std::function<void(bool)> Set;
    ~ProcessingScope() { CallGuarded([this] { Set(false); }); }
};
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Loading

void TFrameViewer::OpenFile(const std::string& name)
{
    FRequests.push_back(name);
    if (Busy())
        return;
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    if (!FileExists(file))
        throw EfvLoadError("Can't locate file: " + file);
    LoadTopDocument(name);
}

std::int64_t TFrameViewer::OnlyViewerPosition()
{
    if (FCurFrameSet->Viewers.size() == 1)
        return FCurFrameSet->Viewers.front()->Position();
    return 0;
}

std::unique_ptr<TFormData> TFrameViewer::OnlyViewerFormData()
{
    if (FCurFrameSet->Viewers.size() == 1)
        return FCurFrameSet->Viewers.front()->FormData();
    return nullptr;
}

void TFrameViewer::LoadTopDocument(const std::string& name)
{
    SetProcessing(true);
    ProcessingScope scope{this, [this](bool on) { SetProcessing(on); }};
    std::string file, anchor;
    SplitAnchor(name, file, anchor);
    const std::string oldName = FCurFrameSet->CurrentFile;
    FBusyViewers.clear();
    if (OnSoundRequest)
        OnSoundRequest(nullptr, std::string(), 0, true);
    const std::string compared = RequestEventsInUse() ? file : ExpandFileName(file);
    if (!SameFileName(compared, oldName)) {
        auto master = std::make_unique<TFrameSet>(this, this);
        master->SetBounds(0, 0, Width(), Height());
        master->Hide();
        master->SendToBack();
        try {
            master->LoadTopLevel(file, anchor);
        } catch (...) {
            master->UnloadFiles();
            DeferDelete(std::move(master));
            throw;
        }
        const std::int64_t oldPos = OnlyViewerPosition();
        std::unique_ptr<TFormData> oldForm = OnlyViewerFormData();
        const std::string oldTitle = DocumentTitle();
        FCurFrameSet->UnloadFiles();
        master->Show();
        SetRedraw(false);
        master->BringToFront();
        SetRedraw(true);
        std::unique_ptr<TFrameSet> old = std::move(FCurFrameSet);
        FCurFrameSet = std::move(master);
        old->SetParent(nullptr);
        Invalidate();
        // The first history case: a new master replaced the old one.
        if (FHistoryMaxCount <= 0 || FCurFrameSet->CurrentFile.empty() || FHistory.empty()) {
            RetireMaster(std::move(old));
            if (FHistoryMaxCount > 0 && !FCurFrameSet->CurrentFile.empty())
                BumpHistory(std::string(), nullptr, std::string(), 0);
        } else {
            old->DiscardForwardHistory();
            TFrameSet* oldSet = old.get();
            const std::string oldFile = old->CurrentFile;
            FKeptSets.push_back(std::move(old));
            BumpHistory(oldFile, oldSet, oldTitle, oldPos, std::move(oldForm));
        }
    } else {
        const std::int64_t oldPos = OnlyViewerPosition();
        std::unique_ptr<TFormData> oldForm = OnlyViewerFormData();
        const std::string oldTitle = DocumentTitle();
        SetRedraw(false);
        try {
            FCurFrameSet->LoadTopLevel(file, anchor);
        } catch (...) {
            SetRedraw(true);
            throw;
        }
        SetRedraw(true);
        Invalidate();
        // The second history case: the same file again.
        if (FHistoryMaxCount > 0 && !FCurFrameSet->CurrentFile.empty())
            BumpHistory(FCurFrameSet->CurrentFile, FCurFrameSet.get(), oldTitle, oldPos, std::move(oldForm));
    }
    AddVisited(file + anchor);
    CheckVisitedLinks();
}

void TFrameViewer::Reload()
{
    SetProcessing(true);
    ProcessingScope scope{this, [this](bool on) { SetProcessing(on); }};
    FBusyViewers.clear();
    FCurFrameSet->UnloadFiles();
    FCurFrameSet->ReloadFiles(-1);
    CheckVisitedLinks();
}

void TFrameViewer::RefreshTopLevel(const std::string& name)
{
    // Loaded from the message queue: the timer tick that asks for it belongs to the tree it replaces.
    FPendingRefresh = name;
    PostMessage(this, WM_REFRESHLOAD);
}

void TFrameViewer::WndMessage(Message& msg)
{
    if (msg.Msg == WM_REFRESHLOAD) {
        const std::string name = FPendingRefresh;
        FPendingRefresh.clear();
        if (!name.empty() && !Busy())
            LoadTopDocument(name);
        return;
    }
    TFVBase::WndMessage(msg);
}

void TFrameViewer::RetireMaster(std::unique_ptr<TFrameSet> master)
{
    if (!master)
        return;
    master->UnloadFiles();
    for (THTMLViewer* v : master->Viewers)
        ViewerGone(v);
    DeferDelete(std::move(master));
}

// ---------------------------------------------------------------------------------------------------------
// The tree

int TFrameViewer::ViewerCount() { return int(FCurFrameSet->Viewers.size()); }

THTMLViewer* TFrameViewer::ViewerAt(int index)
{
    if (index < 0 || index >= ViewerCount())
        return nullptr;
    return FCurFrameSet->Viewers[std::size_t(index)];
}

THTMLViewer* TFrameViewer::ActiveViewer() { return FCurFrameSet->ActiveViewer(); }

THTMLViewer* TFrameViewer::ActiveOrFirstViewer()
{
    THTMLViewer* v = ActiveViewer();
    if (!v && ViewerCount() > 0)
        v = ViewerAt(0);
    return v;
}

TFindResult TFrameViewer::FindEx(const std::u16string& text, bool matchCase, bool reverse)
{
    THTMLViewer* v = ActiveOrFirstViewer();
    return v ? v->FindEx(text, matchCase, reverse) : TFindResult::NotFound;
}

int TFrameViewer::NumPrinterPages()
{
    THTMLViewer* v = ActiveOrFirstViewer();
    if (!v)
        return 0;
    v->PrintPaper = PrintPaper;
    return v->NumPrinterPages();
}

void TFrameViewer::Print(int FromPage, int ToPage)
{
    if (THTMLViewer* v = ActiveOrFirstViewer()) {
        v->PrintPaper = PrintPaper;
        v->Print(FromPage, ToPage);
    }
}

int TFrameViewer::PrintToPDF(const std::string& FileName)
{
    THTMLViewer* v = ActiveOrFirstViewer();
    if (!v)
        return 0;
    v->PrintPaper = PrintPaper;
    return v->PrintToPDF(FileName);
}

void TFrameViewer::PrintPreview()
{
    if (THTMLViewer* v = ActiveOrFirstViewer()) {
        v->PrintPaper = PrintPaper;
        v->PrintPreview();
    }
}

std::vector<std::pair<THTMLViewer*, std::string>> TFrameViewer::FrameEdgeList()
{
    std::vector<std::pair<THTMLViewer*, std::string>> edges;
    for (THTMLViewer* v : FCurFrameSet->Viewers) {
        const Point tl = ScreenToClient(v->ClientToScreen(Point{0, 0}));
        std::string e;
        if (tl.X <= 2)
            e += 'l';
        if (tl.Y <= 2)
            e += 't';
        if (tl.X + v->Width() >= Width() - 2)
            e += 'r';
        if (tl.Y + v->Height() >= Height() - 2)
            e += 'b';
        edges.emplace_back(v, e);
    }
    return edges;
}

TfvFrame* TFrameViewer::FrameByName(const std::string& name) const
{
    auto it = FCurFrameSet->FrameNames.find(UpperAscii(name));
    return it == FCurFrameSet->FrameNames.end() ? nullptr : it->second;
}

const std::string& TFrameViewer::CurrentFile() const { return FCurFrameSet->CurrentFile; }

std::string TFrameViewer::DocumentTitle() const
{
    if (FCurFrameSet->Viewers.size() == 1 && FCurFrameSet->List.size() == 1 &&
        dynamic_cast<TfvFrame*>(FCurFrameSet->List.front()))
        return FCurFrameSet->Viewers.front()->DocumentTitle();
    return FCurFrameSet->FTitle;
}

// ---------------------------------------------------------------------------------------------------------
// Reader callbacks

void TFrameViewer::AddFrame(TSubFrameSet* set, TAttributeList& attributes, const std::string& fileName)
{
    if (!set || set->LOwner->ItemCount >= TFrameSet::MaxItems)
        return;
    set->AddFrame(&attributes, fileName);
}

TSubFrameSet* TFrameViewer::AddSubFrameSet(TSubFrameSet* parent)
{
    if (!parent || parent->LOwner->ItemCount >= TFrameSet::MaxItems)
        return nullptr;
    return &parent->AddSubSet();
}

void TFrameViewer::ApplyFrameSetAttributes(TSubFrameSet* set, TAttributeList& attributes)
{
    if (set)
        set->ApplyFrameSetAttributes(attributes);
}

void TFrameViewer::EndFrameSet(TSubFrameSet* set)
{
    if (set)
        set->EndFrameSet();
}

// ---------------------------------------------------------------------------------------------------------
// Links

std::string TFrameViewer::ActiveTarget()
{
    THTMLViewer* v = ActiveViewer();
    if (!v)
        return std::string();
    if (!v->HoverTarget().empty())
        return v->HoverTarget();
    if (!v->BaseTarget().empty())
        return v->BaseTarget();
    for (Control* c = v->Parent(); c; c = c->Parent()) {
        if (auto* s = dynamic_cast<TSubFrameSet*>(c); s && !s->FBaseTarget.empty())
            return s->FBaseTarget;
        if (c == FCurFrameSet.get())
            break;
    }
    return std::string();
}

std::string TFrameViewer::ActiveBase()
{
    THTMLViewer* v = ActiveViewer();
    if (!v)
        return std::string();
    if (!v->Base().empty())
        return v->Base();
    for (Control* c = v->Parent(); c; c = c->Parent()) {
        if (auto* s = dynamic_cast<TSubFrameSet*>(c); s && !s->FBase.empty())
            return s->FBase;
        if (c == FCurFrameSet.get())
            break;
    }
    return std::string();
}

void TFrameViewer::FrameLinkCovered(THTMLViewer* V, const std::string& URL)
{
    if (!OnHotSpotTargetCovered)
        return;
    FLinkText = V->LinkText();
    FLinkAttributes = V->LinkAttributes();
    OnHotSpotTargetCovered(V, V->HoverTarget(), URL);
}

bool TFrameViewer::ClickLink(const std::string& target, const std::string& url)
{
    THTMLViewer* v = ActiveViewer();
    if (!v && !FCurFrameSet->Viewers.empty())
        v = FCurFrameSet->Viewers.front();
    if (Busy() || !v)
        return true;
    bool hostHandled = false;
    const THotSpotTargetClickEvent host = OnHotSpotTargetClick;
    OnHotSpotTargetClick = [&](Control* s, const std::string& t, const std::string& u, bool& handled) {
        if (host)
            host(s, t, u, handled);
        hostHandled = handled;
    };
    struct Restore {
        TFrameViewer* fv;
        THotSpotTargetClickEvent h;
        ~Restore() { fv->OnHotSpotTargetClick = std::move(h); }
    } restore{this, host};
    FForcedTarget = target;
    FHasForcedTarget = true;
    bool handled = false;
    try {
        FrameLinkClick(v, url, handled);
    } catch (...) {
        FHasForcedTarget = false;
        throw;
    }
    FHasForcedTarget = false;
    return hostHandled;
}

void TFrameViewer::FrameLinkClick(THTMLViewer* V, const std::string& URL, bool& Handled)
{
    if (Busy()) {
        Handled = true;
        return;
    }
    FCurrentURL = URL;
    // The clicked viewer is the active one: its link target, else its base target, else the sets'.
    FCurFrameSet->SetActive(V);
    FCurrentTarget = FHasForcedTarget && !FForcedTarget.empty() ? FForcedTarget : ActiveTarget();
    FLinkAttributes = V->LinkAttributes();
    FLinkText = V->LinkText();
    Handled = false;
    if (OnHotSpotTargetClick)
        OnHotSpotTargetClick(this, FCurrentTarget, FCurrentURL, Handled);
    if (Handled)
        return;
    Handled = true;
    std::string S = URL, D, Q;
    if (const std::size_t hash = S.find('#'); hash != std::string::npos) {
        D = S.substr(hash);
        S.erase(hash);
    }
    if (const std::size_t query = S.find('?'); query != std::string::npos) {
        Q = S.substr(query);
        S.erase(query);
    }
    if (!S.empty() && !RequestEventsInUse())
        S = V->ResolveFileName(S);

    auto* ownFrame = dynamic_cast<TfvFrame*>(V->Parent());
    TfvFrame* frame = nullptr;
    bool toMaster = false;
    const std::string& target = FCurrentTarget;
    if (target.empty() || SameTextAscii(target, "_self")) {
        if (!ownFrame)
            return;
        frame = ownFrame;
    } else if (TfvFrame* named = FrameByName(target)) {
        frame = named;
    } else if (SameTextAscii(target, "_top")) {
        toMaster = true;
    } else if (SameTextAscii(target, "_parent")) {
        for (Control* c = ownFrame ? ownFrame->Parent() : nullptr; c; c = c->Parent()) {
            if (auto* f = dynamic_cast<TfvFrame*>(c)) {
                frame = f;
                break;
            }
            if (c == FCurFrameSet.get()) {
                toMaster = true;
                break;
            }
        }
        if (!frame)
            toMaster = true;
    } else {
        if (OnBlankWindowRequest) {
            AddVisited(S + Q + D);
            CheckVisitedLinks();
            OnBlankWindowRequest(this, target, URL);
        }
        return;
    }

    SetProcessing(true);
    ProcessingScope scope{this, [this](bool on) { SetProcessing(on); }};
    if (frame && FCurFrameSet->Viewers.size() == 1 && !S.empty() && !SameFileName(S, FCurFrameSet->CurrentFile))
        toMaster = true;
    if (toMaster) {
        // A link to an anchor alone stays with the document shown.
        LoadTopDocument((S.empty() ? FCurFrameSet->CurrentFile : S) + D);
    } else if (frame) {
        frame->FrameLoad(S, D, false, true);
    }
    if (!Q.empty())
        AddVisited(S + Q + D);
    CheckVisitedLinks();
}

std::string TFrameViewer::ResolveFileName(const std::string& name)
{
    std::string n = ServerFileName(TrimBlanks(name), FServerRoot);
    if ((n.size() > 1 && n[1] == ':') || n.rfind("\\\\", 0) == 0)
        return n;
    const std::string base = ActiveBase();
    if (SameTextAscii(base, "DosPath"))
        return n;
    if (!base.empty())
        return DosFileName(base) + n;
    if (THTMLViewer* v = ActiveViewer())
        return v->ResolveFileName(n);
    return ExtractFilePath(FCurFrameSet->CurrentFile) + n;
}

// ---------------------------------------------------------------------------------------------------------
// Request events

bool TFrameViewer::RequestEventsInUse() const
{
    return OnStringsRequest || OnStreamRequest || OnBufferRequest || OnFileRequest;
}

bool TFrameViewer::RequestSource(const std::string& src, std::string& text, std::string& fileName)
{
    fileName.clear();
    if (OnStringsRequest) {
        std::vector<std::string> lines;
        OnStringsRequest(this, src, lines);
        if (lines.empty())
            return false;
        text = JoinLines(lines);
        return true;
    }
    if (OnStreamRequest) {
        std::string stream;
        OnStreamRequest(this, src, stream);
        if (stream.empty())
            return false;
        text = std::move(stream);
        return true;
    }
    if (OnBufferRequest) {
        const char* buffer = nullptr;
        int size = 0;
        OnBufferRequest(this, src, buffer, size);
        if (!buffer || size < 1)
            return false;
        text.assign(buffer, std::size_t(size));
        return true;
    }
    if (OnFileRequest) {
        std::string name;
        OnFileRequest(this, src, name);
        if (name.empty())
            return false;
        fileName = name;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------------
// Visited links

void TFrameViewer::AddVisited(const std::string& url)
{
    if (FVisitedMaxCount <= 0 || url.empty())
        return;
    if (!FVisited.empty() && FVisited.front() == url)
        return;
    auto it = std::find_if(FVisited.begin(), FVisited.end(),
                           [&](const std::string& v) { return SameFileName(v, url); });
    if (it != FVisited.end())
        FVisited.erase(it);
    FVisited.insert(FVisited.begin(), url);
    if (int(FVisited.size()) > FVisitedMaxCount)
        FVisited.resize(std::size_t(FVisitedMaxCount));
}

std::string TFrameViewer::FullLinkAddress(THTMLViewer& v, const std::string& url)
{
    if (RequestEventsInUse()) {
        if (!url.empty() && url[0] == '#')
            if (auto* f = dynamic_cast<TfvFrame*>(v.Parent()))
                return f->Source + url;
        return url;
    }
    if (!url.empty() && url[0] == '#')
        return v.CurrentFile() + url;
    return v.ResolveFileName(url);
}

void TFrameViewer::CheckVisitedLinks()
{
    if (FVisitedMaxCount <= 0 || FVisited.empty())
        return;
    std::vector<std::string> upper;
    upper.reserve(FVisited.size());
    for (const std::string& v : FVisited)
        upper.push_back(FileNameKey(v));
    for (THTMLViewer* v : FCurFrameSet->Viewers) {
        for (TFontObj* run : v->SectionList().LinkRuns()) {
            if (!run->IsLink())
                continue;
            const std::string full = FileNameKey(FullLinkAddress(*v, run->URL()));
            if (std::find(upper.begin(), upper.end(), full) != upper.end())
                run->SetVisited(true);
        }
        v->PaintPanel().Invalidate();
    }
}

void TFrameViewer::SetVisitedMaxCount(int value)
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
    for (THTMLViewer* v : FCurFrameSet->Viewers) {
        for (TFontObj* run : v->SectionList().LinkRuns())
            run->SetVisited(false);
        v->PaintPanel().Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------------------
// History

void TFrameViewer::BumpHistory(const std::string& oldFile, TFrameSet* oldSet, const std::string& oldTitle,
                               std::int64_t oldPos, std::unique_ptr<TFormData> oldForm)
{
    if (!FHistory.empty() && FHistoryIndex < int(FHistory.size())) {
        const std::size_t i = std::size_t(FHistoryIndex);
        FHistory[i] = oldFile;
        FHistorySets[i] = oldSet;
        FTitleHistory[i] = oldTitle;
        FPosHistory[i] = oldPos;
        FFormHistory[i] = std::move(oldForm);
    }
    const auto newer = std::ptrdiff_t(std::min<std::size_t>(std::size_t(FHistoryIndex), FHistory.size()));
    FHistory.erase(FHistory.begin(), FHistory.begin() + newer);
    FHistorySets.erase(FHistorySets.begin(), FHistorySets.begin() + newer);
    FTitleHistory.erase(FTitleHistory.begin(), FTitleHistory.begin() + newer);
    FPosHistory.erase(FPosHistory.begin(), FPosHistory.begin() + newer);
    FFormHistory.erase(FFormHistory.begin(), FFormHistory.begin() + newer);
    FSeqHistory.erase(FSeqHistory.begin(), FSeqHistory.begin() + newer);
    FHistoryIndex = 0;
    FHistory.insert(FHistory.begin(), FCurFrameSet->CurrentFile);
    FHistorySets.insert(FHistorySets.begin(), FCurFrameSet.get());
    FTitleHistory.insert(FTitleHistory.begin(), DocumentTitle());
    FPosHistory.insert(FPosHistory.begin(), 0);
    FFormHistory.insert(FFormHistory.begin(), nullptr);
    FSeqHistory.insert(FSeqHistory.begin(), NextSequence());
    if (int(FHistory.size()) > FHistoryMaxCount) {
        const std::size_t n = std::size_t(std::max(0, FHistoryMaxCount));
        FHistory.resize(n);
        FHistorySets.resize(n);
        FTitleHistory.resize(n);
        FPosHistory.resize(n);
        FFormHistory.resize(n);
        FSeqHistory.resize(n);
    }
    FreeUnusedMasters();
    if (OnHistoryChange)
        OnHistoryChange(this);
}

void TFrameViewer::RecordFrameNavigation(const std::string& oldName, const std::string& oldTitle,
                                         std::int64_t oldPos, std::unique_ptr<TFormData> oldForm)
{
    if (FHistoryMaxCount <= 0 || oldName.empty())
        return;
    BumpHistory(oldName, FCurFrameSet.get(), oldTitle, oldPos, std::move(oldForm));
}

void TFrameViewer::FreeUnusedMasters()
{
    for (std::size_t i = 0; i < FKeptSets.size();) {
        TFrameSet* s = FKeptSets[i].get();
        if (std::find(FHistorySets.begin(), FHistorySets.end(), s) == FHistorySets.end()) {
            std::unique_ptr<TFrameSet> gone = std::move(FKeptSets[i]);
            FKeptSets.erase(FKeptSets.begin() + std::ptrdiff_t(i));
            RetireMaster(std::move(gone));
        } else {
            ++i;
        }
    }
}

void TFrameViewer::ClearHistory()
{
    const bool hadTop = !FHistory.empty();
    FHistory.clear();
    FHistorySets.clear();
    FTitleHistory.clear();
    FPosHistory.clear();
    FFormHistory.clear();
    FSeqHistory.clear();
    FHistoryIndex = 0;
    FreeUnusedMasters();
    bool hadFrames = false;
    for (TfvFrame* f : FCurFrameSet->Frames) {
        hadFrames = hadFrames || !f->History().empty();
        f->ClearHistory();
    }
    if ((hadTop || hadFrames) && OnHistoryChange)
        OnHistoryChange(this);
}

bool TFrameViewer::FwdButtonEnabled() const
{
    if (FHistoryIndex > 0)
        return true;
    for (TfvFrame* f : FCurFrameSet->Frames)
        if (f->HistoryIndex() > 0)
            return true;
    return false;
}

bool TFrameViewer::BackButtonEnabled() const
{
    if (FHistoryIndex <= int(FHistory.size()) - 2)
        return true;
    for (TfvFrame* f : FCurFrameSet->Frames)
        if (f->HistoryIndex() <= int(f->History().size()) - 2)
            return true;
    return false;
}

// Going back takes the most recent step first: of the top-level entry and every frame's current entry
// that have an older one, the one that became current last.
void TFrameViewer::GoBack()
{
    if (Busy())
        return;
    std::uint64_t best = 0;
    TfvFrame* frame = nullptr;
    bool top = false;
    if (FHistoryIndex + 1 < int(FHistory.size())) {
        best = FSeqHistory[std::size_t(FHistoryIndex)];
        top = true;
    }
    for (TfvFrame* f : FCurFrameSet->Frames) {
        const int i = f->HistoryIndex();
        if (i + 1 < int(f->History().size()) && (!top && !frame ? true : f->History()[std::size_t(i)].Sequence > best)) {
            best = f->History()[std::size_t(i)].Sequence;
            frame = f;
            top = false;
        }
    }
    SetProcessing(true);
    ProcessingScope scope{this, [this](bool on) { SetProcessing(on); }};
    if (frame)
        frame->GoToHistory(frame->HistoryIndex() + 1);
    else if (top)
        ShowHistoryEntry(FHistoryIndex + 1);
}

// Going forward takes the oldest of the newer steps first.
void TFrameViewer::GoFwd()
{
    if (Busy())
        return;
    std::uint64_t best = 0;
    TfvFrame* frame = nullptr;
    bool top = false;
    if (FHistoryIndex > 0) {
        best = FSeqHistory[std::size_t(FHistoryIndex - 1)];
        top = true;
    }
    for (TfvFrame* f : FCurFrameSet->Frames) {
        const int i = f->HistoryIndex();
        if (i > 0 && (!top && !frame ? true : f->History()[std::size_t(i - 1)].Sequence < best)) {
            best = f->History()[std::size_t(i - 1)].Sequence;
            frame = f;
            top = false;
        }
    }
    SetProcessing(true);
    ProcessingScope scope{this, [this](bool on) { SetProcessing(on); }};
    if (frame)
        frame->GoToHistory(frame->HistoryIndex() - 1);
    else if (top)
        ShowHistoryEntry(FHistoryIndex - 1);
}

void TFrameViewer::ShowHistoryEntry(int index)
{
    if (index < 0 || index >= int(FHistory.size()))
        return;
    const std::size_t cur = std::size_t(FHistoryIndex);
    if (cur < FHistory.size()) {
        FHistory[cur] = FCurFrameSet->CurrentFile;
        FHistorySets[cur] = FCurFrameSet.get();
        FTitleHistory[cur] = DocumentTitle();
        FPosHistory[cur] = OnlyViewerPosition();
        FFormHistory[cur] = OnlyViewerFormData();
    }
    TFrameSet* target = FHistorySets[std::size_t(index)];
    const std::string file = FHistory[std::size_t(index)];
    const std::int64_t pos = FPosHistory[std::size_t(index)];
    auto kept = std::find_if(FKeptSets.begin(), FKeptSets.end(), [&](const auto& s) { return s.get() == target; });
    if (target && target != FCurFrameSet.get() && kept != FKeptSets.end()) {
        // A kept frame set comes back without reading its frameset again.
        std::unique_ptr<TFrameSet> next = std::move(*kept);
        FKeptSets.erase(kept);
        FCurFrameSet->UnloadFiles();
        FCurFrameSet->SetParent(nullptr);
        FKeptSets.push_back(std::move(FCurFrameSet));
        FCurFrameSet = std::move(next);
        FCurFrameSet->SetParent(this);
        FCurFrameSet->SetBounds(0, 0, Width(), Height());
        FCurFrameSet->Show();
        FCurFrameSet->BringToFront();
        FCurFrameSet->ReloadFiles(FCurFrameSet->Viewers.size() == 1 ? pos : -1);
    } else if (FCurFrameSet->Viewers.size() == 1 && FCurFrameSet->Frames.size() == 1) {
        TfvFrame* f = FCurFrameSet->Frames.front();
        f->FrameLoad(file, std::string(), false, false);
        FCurFrameSet->CurrentFile = file;
        if (f->DocViewer())
            f->DocViewer()->SetPosition(pos);
    } else {
        FCurFrameSet->LoadTopLevel(file, std::string());
    }
    // A one-viewer page gets back the values its form controls had when it was left.
    if (std::size_t(index) < FFormHistory.size() && FFormHistory[std::size_t(index)] &&
        FCurFrameSet->Viewers.size() == 1)
        FCurFrameSet->Viewers.front()->SetFormData(*FFormHistory[std::size_t(index)]);
    FHistoryIndex = index;
    FreeUnusedMasters();
    CheckVisitedLinks();
    Invalidate();
    if (OnHistoryChange)
        OnHistoryChange(this);
}

// ---------------------------------------------------------------------------------------------------------
// The frames' viewers

void TFrameViewer::ForEachViewer(const std::function<void(THTMLViewer&)>& f)
{
    for (THTMLViewer* v : FCurFrameSet->Viewers)
        f(*v);
}

void TFrameViewer::ApplyOptions(THTMLViewer& v)
{
    ThtmlViewerOptions o = v.htOptions();
    auto set = [&](htOptionEnum h, fvOptionEnum f) {
        if (FOptions.Contains(f))
            o.Include(h);
        else
            o.Exclude(h);
    };
    set(htOverLinksActive, fvOverLinksActive);
    set(htNoLinkUnderline, fvNoLinkUnderline);
    set(htPrintTableBackground, fvPrintTableBackground);
    set(htPrintBackground, fvPrintBackground);
    set(htPrintMonochromeBlack, fvPrintMonochromeBlack);
    set(htShowVScroll, fvShowVScroll);
    set(htNoWheelMouse, fvNoWheelMouse);
    set(htShowDummyCaret, fvShowDummyCaret);
    v.SethtOptions(o);
    v.SetBorderStyle(FOptions.Contains(fvNoFocusRect) || FOptions.Contains(fvNoBorder) ? htNone : htFocused);
}

void TFrameViewer::SetupViewer(THTMLViewer& v, TfvFrame& frame)
{
    v.SetSharedImageCache(FImageCache.get());
    v.SetViewImages(FViewImages);
    v.SetImageCacheCount(FImageCacheCount);
    v.SetNoSelect(FNoSelect);
    v.SetDefBackground(FDefBackground);
    v.SetDefFontName(FDefFontName);
    v.SetDefPreFontName(FDefPreFontName);
    v.SetDefFontSize(FDefFontSize);
    v.SetDefFontColor(FDefFontColor);
    v.SetDefHotSpotColor(FDefHotSpotColor);
    v.SetDefVisitedLinkColor(FDefVisitedLinkColor);
    v.SetDefOverLinkColor(FDefOverLinkColor);
    v.SetHistoryMaxCount(FHistoryMaxCount);
    v.SetCursor(Cursor());
    v.SetServerRoot(FServerRoot);
    v.PrintMarginLeft = FPrintMargins[0];
    v.PrintMarginRight = FPrintMargins[1];
    v.PrintMarginTop = FPrintMargins[2];
    v.PrintMarginBottom = FPrintMargins[3];
    v.SetPrintScale(FPrintScale);
    ApplyOptions(v);

    v.OnHotSpotClick = [this](THTMLViewer* s, const std::string& url, bool& handled) {
        FrameLinkClick(s, url, handled);
    };
    v.OnHotSpotCovered = [this](THTMLViewer* s, const std::string& url) { FrameLinkCovered(s, url); };
    v.OnProcessing = [this](THTMLViewer* s, bool on) { ViewerProcessing(s, on); };
    v.OnMetaRefresh = [&frame](THTMLViewer*, int delay, const std::string& url) {
        frame.ViewerMetaRefresh(delay, url);
    };
    v.OnEnter = [this, &frame, &v](Control* s) {
        frame.LOwner->SetActive(&v);
        if (OnEnter)
            OnEnter(s);
    };
    v.OnExit = OnExit;
    v.OnProgress = OnProgress;
    v.OnFormSubmit = OnFormSubmit;
    v.OnImageRequest = OnImageRequest;
    v.OnBitmapRequest = OnBitmapRequest;
    v.OnScript = OnScript;
    v.OnImageClick = OnImageClick;
    v.OnImageOver = OnImageOver;
    v.OnRightClick = OnRightClick;
    v.OnMouseDouble = OnMouseDouble;
    v.OnPanelCreate = OnPanelCreate;
    v.OnPanelDestroy = OnPanelDestroy;
    v.OnParseBegin = OnParseBegin;
    v.OnParseEnd = OnParseEnd;
    v.OnObjectTag = OnObjectTag;
    v.OnMeta = OnMeta;
    v.OnLink = OnLink;
    v.OnInclude = OnInclude;
    v.OnSoundRequest = OnSoundRequest;
    v.OnObjectClick = OnObjectClick;
    v.OnObjectFocus = OnObjectFocus;
    v.OnObjectBlur = OnObjectBlur;
    v.OnObjectChange = OnObjectChange;
    v.OnFileBrowse = OnFileBrowse;
    v.OnFindRequest = OnFindRequest;
    v.OnPrintHeader = OnPrintHeader;
    v.OnPrintFooter = OnPrintFooter;
    v.OnPrintHTMLHeader = OnPrintHTMLHeader;
    v.OnPrintHTMLFooter = OnPrintHTMLFooter;
    v.OnMouseDown = OnMouseDown;
    v.OnMouseMove = OnMouseMove;
    v.OnMouseUp = OnMouseUp;
    v.OnKeyDown = OnKeyDown;
    v.OnKeyUp = OnKeyUp;
    v.OnKeyPress = OnKeyPress;
    if (RequestEventsInUse())
        v.OnhtStreamRequest = [this](THTMLViewer*, const std::string& src, std::string& content) {
            std::string text, file;
            if (!RequestSource(src, text, file))
                return false;
            content = file.empty() ? std::move(text) : ReadFileString(file);
            return true;
        };
}

// ---------------------------------------------------------------------------------------------------------
// Properties

void TFrameViewer::SetViewImages(bool value)
{
    if (Busy())
        return;
    FViewImages = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetViewImages(value); });
}

void TFrameViewer::SetImageCacheCount(int value)
{
    if (Busy())
        return;
    FImageCacheCount = std::clamp(value, 0, 20);
    FImageCache->SetCacheCount(FImageCacheCount);
    ForEachViewer([&](THTMLViewer& v) { v.SetImageCacheCount(FImageCacheCount); });
}

void TFrameViewer::SetNoSelect(bool value)
{
    FNoSelect = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetNoSelect(value); });
}

void TFrameViewer::SetDefBackground(TColor value)
{
    FDefBackground = value;
    SetColor(value);
    FCurFrameSet->SetColor(value);
    ForEachViewer([&](THTMLViewer& v) { v.SetDefBackground(value); });
}

void TFrameViewer::SetDefFontName(const std::string& value)
{
    if (!SameTextAscii(value, FDefFontName))
        FDefFontName = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefFontName(FDefFontName); });
}

void TFrameViewer::SetDefPreFontName(const std::string& value)
{
    FDefPreFontName = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefPreFontName(value); });
}

void TFrameViewer::SetDefFontSize(int value)
{
    FDefFontSize = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefFontSize(value); });
}

void TFrameViewer::SetDefFontColor(TColor value)
{
    FDefFontColor = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefFontColor(value); });
}

void TFrameViewer::SetDefHotSpotColor(TColor value)
{
    FDefHotSpotColor = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefHotSpotColor(value); });
}

void TFrameViewer::SetDefVisitedLinkColor(TColor value)
{
    FDefVisitedLinkColor = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefVisitedLinkColor(value); });
}

void TFrameViewer::SetDefOverLinkColor(TColor value)
{
    FDefOverLinkColor = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetDefOverLinkColor(value); });
}

void TFrameViewer::SetHistoryMaxCount(int value)
{
    if (value < 0 || value == FHistoryMaxCount)
        return;
    FHistoryMaxCount = value;
    ClearHistory();
    ForEachViewer([&](THTMLViewer& v) {
        v.ClearHistory();
        v.SetHistoryMaxCount(value);
    });
}

void TFrameViewer::SetCharSet(int value)
{
    FCharSet = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetCharSet(value); });
}

void TFrameViewer::SetMarginWidth(int value)
{
    FMarginWidth = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetMarginWidth(value); });
}

void TFrameViewer::SetMarginHeight(int value)
{
    FMarginHeight = value;
    ForEachViewer([&](THTMLViewer& v) { v.SetMarginHeight(value); });
}

void TFrameViewer::SetServerRoot(const std::string& value)
{
    FServerRoot = TrimBlanks(value);
    if (!FServerRoot.empty() && FServerRoot.back() == '\\')
        FServerRoot.pop_back();
}

void TFrameViewer::SetPrintMarginLeft(double v)
{
    FPrintMargins[0] = v;
    ForEachViewer([&](THTMLViewer& h) { h.PrintMarginLeft = v; });
}
void TFrameViewer::SetPrintMarginRight(double v)
{
    FPrintMargins[1] = v;
    ForEachViewer([&](THTMLViewer& h) { h.PrintMarginRight = v; });
}
void TFrameViewer::SetPrintMarginTop(double v)
{
    FPrintMargins[2] = v;
    ForEachViewer([&](THTMLViewer& h) { h.PrintMarginTop = v; });
}
void TFrameViewer::SetPrintMarginBottom(double v)
{
    FPrintMargins[3] = v;
    ForEachViewer([&](THTMLViewer& h) { h.PrintMarginBottom = v; });
}
void TFrameViewer::SetPrintScale(double v)
{
    FPrintScale = v;
    ForEachViewer([&](THTMLViewer& h) { h.SetPrintScale(v); });
}

void TFrameViewer::SetViewerCursor(TCursor cursor)
{
    SetCursor(cursor);
    ForEachViewer([&](THTMLViewer& v) { v.SetCursor(cursor); });
}

void TFrameViewer::SetfvOptions(const TFrameViewerOptions& value)
{
    TFrameSet& m = *FCurFrameSet;
    if (value.Contains(fvNoBorder) != FOptions.Contains(fvNoBorder)) {
        if (value.Contains(fvNoBorder)) {
            m.OuterBorder = 0;
            m.SetBevelOuter(bvNone);
            m.FrameBorder = 0;
        } else {
            m.SetBevelOuter(bvLowered);
            m.SetBevelWidth(2);
            m.FrameBorder = 2;
        }
    }
    FOptions = value;
    ForEachViewer([&](THTMLViewer& v) { ApplyOptions(v); });
}
