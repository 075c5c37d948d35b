// Frames: making a frame from its FRAME tag, loading, reloading and unloading its document, following a
// link into it, its history and the meta refresh of its page.

#include <algorithm>
#include <climits>

#include "core/attributes.h"
#include "platform/asciitext.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "viewer/frames.h"
#include "viewer/frameviewer.h"
#include "viewer/urlsubs.h"

using namespace platform;

namespace {

constexpr long long MaxRefreshSeconds = INT_MAX / 1000;

void SplitAt(const std::string& s, char c, std::string& before, std::string& from)
{
    const std::size_t at = s.find(c);
    before = at == std::string::npos ? s : s.substr(0, at);
    from = at == std::string::npos ? std::string() : s.substr(at);
}

bool Rooted(const std::string& name)
{
    return !name.empty() && (name[0] == '\\' || name[0] == '/' || (name.size() > 1 && name[1] == ':'));
}

// Raises the nesting depth of frame loads for as long as it lives.
struct NestGuard {
    TFrameSet* Master;
    explicit NestGuard(TFrameSet* m) : Master(m) { ++Master->NestLevel; }
    ~NestGuard() { --Master->NestLevel; }
};

}  // namespace

TfvFrame::TfvFrame(Control* parent, TFrameSet* master, TAttributeList* attributes, const std::string& fileName)
    : TFrameBase(parent, master)
{
    TFrameViewer* fv = master->Viewer;
    const auto* set = dynamic_cast<TSubFrameSet*>(parent);
    const int border = set ? set->FrameBorder : master->FrameBorder;
    SetBevelInner(bvNone);
    SetBevelOuter(border > 0 ? bvLowered : bvNone);
    SetBevelWidth(std::max(1, border));
    FrameMarginWidth = fv->MarginWidth();
    FrameMarginHeight = fv->MarginHeight();
    if (!attributes)
        return;
    for (const auto& item : *attributes) {
        const TAttribute& a = *item;
        switch (a.Sym) {
        case NameSy: FrameName = a.StrValue; break;
        case SrcSy: {
            std::string name;
            SplitAt(TrimBlanks(a.StrValue), '#', name, Destination);
            if (!name.empty() && !fv->RequestEventsInUse()) {
                name = ServerFileName(name, fv->ServerRoot());
                if (Rooted(name)) {
                    if (name[0] == '\\' || name[0] == '/')
                        name = ExpandFileName(name);
                } else if (name.find(':') == std::string::npos) {
                    const std::string& base = fv->Reader().Base;
                    if (!base.empty() && SameTextAscii(base, "DosPath"))
                        name = ExpandFileName(name);
                    else if (!base.empty())
                        name = ExpandFileName(ExtractFilePath(DosFileName(base)) + name);
                    else
                        name = ExpandFileName(ExtractFilePath(fileName) + name);
                }
            }
            Source = name;
            OriginalSource = name;
            break;
        }
        case NoResizeSy: NoResize = true; break;
        case ScrollingSy: NoScroll = SameTextAscii(a.StrValue, "NO"); break;
        case MarginWidthSy: FrameMarginWidth = std::clamp(a.NumValue, 0, 1000); break;
        case MarginHeightSy: FrameMarginHeight = std::clamp(a.NumValue, 0, 1000); break;
        default: break;
        }
    }
}

TfvFrame::~TfvFrame()
{
    if (FRefreshTimer)
        FRefreshTimer->SetEnabled(false);
}

int TfvFrame::Border() const { return BevelOuter() == bvNone ? 0 : BevelWidth(); }

void TfvFrame::PlaceChild()
{
    if (FSubSet) {
        FSubSet->SetBounds(0, 0, Width(), Height());
    } else if (FViewer) {
        const int b = Border();
        FViewer->SetBounds(b, b, std::max(0, Width() - 2 * b), std::max(0, Height() - 2 * b));
    }
}

void TfvFrame::Resize()
{
    TFrameBase::Resize();
    PlaceChild();
}

void TfvFrame::RegisterFrames()
{
    LOwner->Frames.push_back(this);
    if (FSubSet)
        FSubSet->RegisterFrames();
}

// An empty frame raises the frame viewer's own mouse events, as the viewers do for their pages.
void TfvFrame::FrameMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FViewer && !FSubSet && LOwner->Viewer->OnMouseDown)
        LOwner->Viewer->OnMouseDown(this, button, shift, x, y);
    if (TFrameBase* p = ParentFrame())
        p->FrameMouseDown(button, shift, x + Left(), y + Top());
}

void TfvFrame::FrameMouseMove(TShiftState shift, int x, int y)
{
    if (!FViewer && !FSubSet && LOwner->Viewer->OnMouseMove)
        LOwner->Viewer->OnMouseMove(this, shift, x, y);
    if (NoResize && !LOwner->DraggedSet)
        return;
    if (TFrameBase* p = ParentFrame())
        p->FrameMouseMove(shift, x + Left(), y + Top());
}

void TfvFrame::FrameMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!FViewer && !FSubSet && LOwner->Viewer->OnMouseUp)
        LOwner->Viewer->OnMouseUp(this, button, shift, x, y);
    if (TFrameBase* p = ParentFrame())
        p->FrameMouseUp(button, shift, x + Left(), y + Top());
}

bool TfvFrame::CollectNoResize(bool& first, bool& last)
{
    if (FSubSet) {
        bool f, l;
        FSubSet->CollectNoResize(f, l);
    }
    first = last = NoResize;
    return NoResize;
}

void TfvFrame::SizeChildren(int left, int top, int height, int width)
{
    if (FSubSet)
        FSubSet->SizeChildren(left, top, height, width);
}

// ---------------------------------------------------------------------------------------------------------
// The frame's viewer and nested set

THTMLViewer& TfvFrame::CreateViewer()
{
    THTMLViewer& v = Add<THTMLViewer>();
    FViewer = &v;
    v.InFrame = true;
    TFrameViewer* fv = LOwner->Viewer;
    fv->SetupViewer(v, *this);
    v.SetCharSet(LocalCharSet);
    if (LOwner->FrameBorder == 0 || fv->fvOptions().Contains(fvNoBorder))
        v.SetBorderStyle(htNone);
    if (NoScroll)
        v.SetScrollBars(ssNone);
    v.SetMarginWidth(FrameMarginWidth);
    v.SetMarginHeight(FrameMarginHeight);
    PlaceChild();
    v.SendToBack();
    v.Show();
    LOwner->RebuildLists();
    return v;
}

void TfvFrame::MakeSubSet()
{
    FSubSet = &Add<TSubFrameSet>(LOwner);
    FSubSet->LocalCharSet = LocalCharSet;
    FSubSet->SetBounds(0, 0, Width(), Height());
    FSubSet->SendToBack();
    ++LOwner->ItemCount;
}

void TfvFrame::DropViewer()
{
    if (!FViewer)
        return;
    THTMLViewer* v = FViewer;
    FViewer = nullptr;
    LOwner->Viewer->ViewerGone(v);
    v->ClearDocument();
    DeferDelete(ReleaseOwned(v));
    LOwner->RebuildLists();
}

void TfvFrame::DropSubSet()
{
    if (!FSubSet)
        return;
    TSubFrameSet* s = FSubSet;
    FSubSet = nullptr;
    if (LOwner->DraggedSet && (LOwner->DraggedSet == s || LOwner->DraggedSet->HasParent(s)))
        LOwner->DraggedSet = nullptr;
    s->UnloadFiles();
    for (TfvFrame* f : LOwner->Frames)
        if (f->DocViewer() && f->HasParent(s))
            LOwner->Viewer->ViewerGone(f->DocViewer());
    DeferDelete(ReleaseOwned(s));
    LOwner->RebuildLists();
}

void TfvFrame::ShowError(const std::string& name)
{
    DropSubSet();
    if (!FViewer)
        CreateViewer();
    SetBevelOuter(Border() > 0 || LOwner->FrameBorder > 0 ? bvLowered : bvNone);
    FViewer->OpenString(ErrorDocument(name), std::string());
}

// Loads Source (with Destination) into the frame's viewer, by its kind; text is the host's text when it
// supplied one.
void TfvFrame::LoadIntoViewer(const std::string& text)
{
    TFrameViewer* fv = LOwner->Viewer;
    const TSourceKind kind = fv->RequestEventsInUse() ? TSourceKind::Html : SourceKindOf(Source);
    FViewer->SetBase(LOwner->FBase);
    if (kind == TSourceKind::Image) {
        FViewer->OpenImageFile(Source);
    } else if (kind == TSourceKind::Text) {
        FViewer->OpenTextFile(Source);
    } else if (HasPrefetched || fv->RequestEventsInUse()) {
        FViewer->OpenString(text, Source);
        FViewer->ScrollToAnchor(Destination);
    } else {
        FViewer->OpenFile(Source + Destination);
    }
}

void TfvFrame::LoadFiles()
{
    TFrameViewer* fv = LOwner->Viewer;
    if ((Source.empty() && !HasPrefetched) || LOwner->NestLevel >= TFrameSet::MaxNestLevel ||
        LOwner->ItemCount > TFrameSet::MaxItems)
        return;
    NestGuard nest(LOwner);
    try {
        const bool requests = fv->RequestEventsInUse();
        const TSourceKind kind = requests ? TSourceKind::Html : SourceKindOf(Source);
        std::string text = Prefetched, answered;
        bool supplied = HasPrefetched;
        if (!supplied && kind == TSourceKind::Html && requests) {
            supplied = fv->RequestSource(Source, text, answered);
            if (supplied && !answered.empty())
                text = ReadFileString(answered);
        }
        const bool frameset =
            kind == TSourceKind::Html &&
            (supplied ? fv->Reader().IsFrameSet(TFrameSetReader::FromText, std::string(), text)
                      : (!requests && fv->Reader().IsFrameSet(TFrameSetReader::FromFile, Source, std::string())));
        if (frameset) {
            MakeSubSet();
            FSubSet->ReadFrom(supplied ? TFrameSetReader::FromText : TFrameSetReader::FromFile, text, Source);
            SetBevelOuter(bvNone);
            PlaceChild();
            LOwner->RebuildLists();
            AddHistory(Source, 0, 0, false);
            FSubSet->LoadFiles();
            bool f, l;
            FSubSet->CollectNoResize(f, l);
            FSubSet->StartRefresh();
        } else {
            CreateViewer();
            LoadIntoViewer(text);
            AddHistory(Source, FViewer->Position(), 0, false);
        }
    } catch (const std::exception&) {
        ShowError(Source);
    }
}

void TfvFrame::ReloadFiles(std::int64_t position)
{
    if (FSubSet) {
        FSubSet->ReloadFiles(position);
    } else if (FViewer) {
        NestGuard nest(LOwner);
        try {
            std::string text = Prefetched, answered;
            if (!HasPrefetched && LOwner->Viewer->RequestEventsInUse() &&
                LOwner->Viewer->RequestSource(Source, text, answered) && !answered.empty())
                text = ReadFileString(answered);
            LoadIntoViewer(text);
            FViewer->SetPosition(position >= 0 ? position : FSavedPosition);
            if (FSavedFormData)
                FViewer->SetFormData(*FSavedFormData);
        } catch (const std::exception&) {
            ShowError(Source);
        }
    }
    FUnloaded = false;
}

void TfvFrame::UnloadFiles()
{
    if (FRefreshTimer)
        FRefreshTimer->SetEnabled(false);
    if (FSubSet)
        FSubSet->UnloadFiles();
    if (FViewer) {
        FSavedPosition = FViewer->Position();
        FSavedFormData = FViewer->FormData();
        FViewer->ClearDocument();
        if (LOwner->FActive == FViewer)
            LOwner->FActive = nullptr;
    }
    FUnloaded = true;
}

// ---------------------------------------------------------------------------------------------------------
// Following a link into the frame

void TfvFrame::FrameLoad(const std::string& name, const std::string& destination, bool reload, bool addHistory)
{
    TFrameViewer* fv = LOwner->Viewer;
    if (FRefreshTimer)
        FRefreshTimer->SetEnabled(false);
    const std::string oldSource = Source;
    const std::string newSource = name.empty() ? Source : name;
    Source = newSource;
    Destination = destination;
    if (SameFileName(oldSource, newSource)) {
        if (FViewer) {
            if (reload) {
                const std::int64_t pos = FViewer->Position();
                try {
                    LoadIntoViewer(Prefetched);
                    FViewer->SetPosition(pos);
                } catch (const std::exception&) {
                    ShowError(Source);
                }
            } else {
                const std::int64_t oldPos = FViewer->Position();
                FViewer->ScrollToAnchor(destination);
                if (addHistory && FViewer->Position() != oldPos)
                    AddHistory(Source, FViewer->Position(), oldPos);
            }
            fv->AddVisited(Source + destination);
        } else if (FSubSet) {
            std::vector<TfvFrame*> inside;
            for (TfvFrame* f : LOwner->Frames)
                if (f != this && f->HasParent(FSubSet) && !SameFileName(f->Source, f->OriginalSource))
                    inside.push_back(f);
            for (TfvFrame* f : inside)
                if (std::find(LOwner->Frames.begin(), LOwner->Frames.end(), f) != LOwner->Frames.end())
                    f->FrameLoad(f->OriginalSource, std::string(), false, true);
        }
        return;
    }

    const bool requests = fv->RequestEventsInUse();
    const TSourceKind kind = requests ? TSourceKind::Html : SourceKindOf(newSource);
    std::string text, answered;
    bool supplied = false;
    bool frameset = false;
    if (kind == TSourceKind::Html) {
        try {
            if (requests) {
                supplied = fv->RequestSource(newSource, text, answered);
                if (supplied && !answered.empty())
                    text = ReadFileString(answered);
            }
            frameset = supplied ? fv->Reader().IsFrameSet(TFrameSetReader::FromText, std::string(), text)
                                : (!requests && fv->Reader().IsFrameSet(TFrameSetReader::FromFile, newSource,
                                                                        std::string()));
        } catch (const std::exception&) {
            Source = oldSource;
            throw EfvLoadError("Can't load: " + name);
        }
    }
    HasPrefetched = supplied;
    Prefetched = supplied ? text : std::string();

    if (!FViewer || frameset) {
        const std::int64_t oldPos = FViewer ? FViewer->Position() : 0;
        // The old viewer and nested set go once the event that got here has returned.
        DropViewer();
        DropSubSet();
        NestGuard nest(LOwner);
        if (frameset && LOwner->NestLevel <= TFrameSet::MaxNestLevel) {
            try {
                MakeSubSet();
                FSubSet->ReadFrom(supplied ? TFrameSetReader::FromText : TFrameSetReader::FromFile, text, newSource);
                SetBevelOuter(bvNone);
                PlaceChild();
                LOwner->RebuildLists();
                FSubSet->LoadFiles();
                bool f, l;
                FSubSet->CollectNoResize(f, l);
                FSubSet->StartRefresh();
            } catch (const std::exception&) {
                ShowError(newSource);
            }
        } else {
            SetBevelOuter(LOwner->FrameBorder > 0 ? bvLowered : bvNone);
            CreateViewer();
            try {
                LoadIntoViewer(text);
            } catch (const std::exception&) {
                ShowError(newSource);
            }
        }
        fv->AddVisited(newSource + destination);
        if (addHistory)
            AddHistory(newSource, FViewer ? FViewer->Position() : 0, oldPos);
        LOwner->RebuildLists();
        return;
    }

    // Another document into the same viewer.
    const std::int64_t oldPos = FViewer->Position();
    std::unique_ptr<TFormData> oldForm = FViewer->FormData();
    const std::string oldName = FViewer->CurrentFile();
    const std::string oldTitle = FViewer->DocumentTitle();
    try {
        LoadIntoViewer(text);
    } catch (const std::exception&) {
        ShowError(newSource);
    }
    fv->AddVisited(newSource + destination);
    if (LOwner->Viewers.size() >= 2 && addHistory)
        AddHistory(newSource, FViewer->Position(), oldPos, true, std::move(oldForm));
    if (LOwner->Viewers.size() == 1 && addHistory) {
        LOwner->FBase = FViewer->Base();
        LOwner->FBaseTarget = FViewer->BaseTarget();
        LOwner->CurrentFile = FViewer->CurrentFile().empty() ? newSource : FViewer->CurrentFile();
        fv->RecordFrameNavigation(oldName, oldTitle, oldPos, std::move(oldForm));
    }
}

// ---------------------------------------------------------------------------------------------------------
// History

void TfvFrame::AddHistory(const std::string& source, std::int64_t newPos, std::int64_t oldPos, bool discardForward,
                          std::unique_ptr<TFormData> oldForm)
{
    TFrameViewer* fv = LOwner->Viewer;
    if (!FHistory.empty() && FHistoryIndex < int(FHistory.size())) {
        FHistory[std::size_t(FHistoryIndex)].Position->ScrollPos = oldPos;
        FHistory[std::size_t(FHistoryIndex)].Position->SavedFormData = std::move(oldForm);
    }
    // A navigation drops every frame's forward steps; the first entry of a frame just made drops nothing.
    if (discardForward)
        LOwner->DiscardForwardHistory();
    else
        DiscardForward();
    TFrameHistoryEntry entry;
    entry.Source = source;
    entry.Position = std::make_unique<PositionObj>();
    entry.Position->ScrollPos = newPos;
    entry.Sequence = fv->NextSequence();
    FHistory.insert(FHistory.begin(), std::move(entry));
    // Without a history only the entry shown is kept.
    const std::size_t max = std::size_t(std::max(1, fv->HistoryMaxCount()));
    if (FHistory.size() > max)
        FHistory.resize(max);
    FHistoryIndex = 0;
    LOwner->RebuildLists();
    if (fv->OnHistoryChange)
        fv->OnHistoryChange(fv);
}

void TfvFrame::DiscardForward()
{
    if (FHistoryIndex > 0 && FHistoryIndex <= int(FHistory.size()))
        FHistory.erase(FHistory.begin(), FHistory.begin() + FHistoryIndex);
    FHistoryIndex = 0;
}

void TfvFrame::ClearHistory()
{
    FHistory.clear();
    FHistoryIndex = 0;
}

bool TfvFrame::GoToHistory(int index)
{
    if (index < 0 || index >= int(FHistory.size()) || index == FHistoryIndex)
        return false;
    if (FViewer && FHistoryIndex < int(FHistory.size())) {
        FHistory[std::size_t(FHistoryIndex)].Position->ScrollPos = FViewer->Position();
        FHistory[std::size_t(FHistoryIndex)].Position->SavedFormData = FViewer->FormData();
    }
    const std::string source = FHistory[std::size_t(index)].Source;
    const std::int64_t pos = FHistory[std::size_t(index)].Position->ScrollPos;
    // Loaded without a new entry: the list and its order stay as they are.
    FrameLoad(source, std::string(), false, false);
    FHistoryIndex = std::min(index, int(FHistory.size()) - 1);
    if (FViewer) {
        FViewer->SetPosition(pos);
        if (const TFormData* form = FHistory[std::size_t(FHistoryIndex)].Position->SavedFormData.get())
            FViewer->SetFormData(*form);
    }
    TFrameViewer* fv = LOwner->Viewer;
    fv->CheckVisitedLinks();
    if (fv->OnHistoryChange)
        fv->OnHistoryChange(fv);
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Meta refresh of the frame's page

void TfvFrame::ViewerMetaRefresh(int delay, const std::string& url)
{
    TFrameViewer* fv = LOwner->Viewer;
    if (!fv->fvOptions().Contains(fvMetaRefresh) || delay <= 0)
        return;
    std::string file, anchor;
    SplitAt(TrimBlanks(url), '#', file, anchor);
    if (file.empty())
        file = Source;
    else if (!fv->RequestEventsInUse() && FViewer)
        file = FViewer->ResolveFileName(file);
    if (!fv->RequestEventsInUse() && !FileExists(file))
        return;
    FRefreshUrl = file + anchor;
    FRefreshDelay = int(std::min<long long>(delay, MaxRefreshSeconds));
    if (!FRefreshTimer) {
        FRefreshTimer = std::make_unique<Timer>();
        FRefreshTimer->OnTimer = [this](Timer*) { RefreshTimerTick(); };
    }
    FRefreshTimer->SetInterval(int(std::min<long long>(1000LL * FRefreshDelay, INT_MAX)));
    FRefreshTimer->SetEnabled(true);
}

void TfvFrame::RefreshTimerTick()
{
    FRefreshTimer->SetEnabled(false);
    FRefreshDelay = 0;
    if (FUnloaded)
        return;
    TFrameViewer* fv = LOwner->Viewer;
    if (&fv->Master() != LOwner)
        return;
    if (LOwner->Viewers.size() > 1) {
        std::string file, anchor;
        SplitAt(FRefreshUrl, '#', file, anchor);
        FrameLoad(file, anchor, SameFileName(file, Source), true);
    } else {
        fv->RefreshTopLevel(FRefreshUrl);
    }
}
