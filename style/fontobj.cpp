#include "style/fontobj.h"

#include <algorithm>
#include <cstdio>

#include "platform/controls.h"

TFontObj::TFontObj(TSection* section, int pos, std::unique_ptr<TMyFont> font)
    : Section(section), Pos(pos), TheFont(std::move(font)), UrlTarget(std::make_unique<TUrlTarget>())
{
    if (!TheFont)
        TheFont = std::make_unique<TMyFont>();
    UpdateMetrics();
}

TFontObj::TFontObj(TSection* section, const TFontObj& source)
    : Section(section), Pos(source.Pos), TheFont(std::make_unique<TMyFont>(*source.TheFont)),
      UrlTarget(std::make_unique<TUrlTarget>())
{
    SScript = source.SScript;
    Title = source.Title;
    if (source.LinkFonts) {
        // A copy never shows hover or visited.
        TheFont->ApplyInfo((*source.LinkFonts)[TFontInfoArray::LinkIndex]);
        TheFont->StoreMetrics();
        TheFont->Charset = TheFont->tmCharset;
    }
    if (source.UrlTarget)
        UrlTarget->CopyFrom(*source.UrlTarget);
    UpdateMetrics();
}

TFontObj::~TFontObj() = default;

void TFontObj::UpdateMetrics()
{
    FontHeight = TheFont->tmHeight + TheFont->tmExternalLeading;
    TmHeight = TheFont->tmHeight;
    TmMaxCharWidth = TheFont->tmMaxCharWidth;
    Overhang = (TheFont->Style & fsItalic) ? TheFont->tmHeight / 10 : 0;
    Descent = TheFont->tmDescent;
}

void TFontObj::PrepareLinkFonts()
{
    if (!LinkFonts)
        LinkFonts = std::make_unique<TFontInfoArray>();
}

void TFontObj::ReplaceFont(std::unique_ptr<TMyFont> font)
{
    if (!font)
        return;
    TheFont = std::move(font);
    UpdateMetrics();
}

void TFontObj::ApplyLook()
{
    if (!LinkFonts)
        return;
    int index = Visited && Hover ? TFontInfoArray::VisitedHoverIndex
                : Visited        ? TFontInfoArray::VisitedIndex
                : Hover          ? TFontInfoArray::HoverIndex
                                 : TFontInfoArray::LinkIndex;
    TheFont->ApplyInfo((*LinkFonts)[index]);
    // The look may change weight or face: measure the font as it now is.
    TheFont->StoreMetrics();
    TheFont->Charset = TheFont->tmCharset;
    UpdateMetrics();
}

void TFontObj::SetVisited(bool value)
{
    if (value == Visited)
        return;
    Visited = value;
    ApplyLook();
}

void TFontObj::SetHover(bool value)
{
    if (value == Hover)
        return;
    Hover = value;
    ApplyLook();
}

void TFontObj::SetAllHovers(const std::vector<TFontObj*>& runs, bool value)
{
    SetHover(value);
    int n = int(runs.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (runs[std::size_t(i)] == this) {
            at = i;
            break;
        }
    if (at < 0)
        return;
    int id = LinkId();
    for (int i = at - 1; i >= 0 && runs[std::size_t(i)]->LinkId() == id; --i)
        runs[std::size_t(i)]->SetHover(value);
    for (int i = at + 1; i < n && runs[std::size_t(i)]->LinkId() == id; ++i)
        runs[std::size_t(i)]->SetHover(value);
}

void TFontObj::AttachFocusHandlers(TFontRunOwner& owner)
{
    if (!TabControl)
        return;
    TFontRunOwner* o = &owner;
    // Every run of the link from this one onward shows the focus.
    auto markRuns = [this, o](bool active) {
        auto& runs = o->LinkRuns();
        bool seen = false;
        for (TFontObj* r : runs) {
            if (r == this)
                seen = true;
            else if (seen && r->LinkId() != LinkId())
                break;
            if (seen)
                r->Active = active;
        }
        Active = active;
    };
    TabControl->OnEnter = [this, o, markRuns](platform::Control*) {
        markRuns(true);
        o->LinkFocused(this);
    };
    TabControl->OnExit = [o, markRuns](platform::Control*) {
        markRuns(false);
        o->InvalidatePaintArea();
    };
    TabControl->OnKeyDown = [this, o](platform::Control*, int& key, platform::TShiftState shift) {
        o->LinkKeyDown(this, key, shift);
    };
}

void TFontObj::CreateFocusWindow(TFontRunOwner& owner, int tabIndex)
{
    if (TabControl)
        return;
    auto& runs = owner.LinkRuns();
    for (TFontObj* r : runs) {
        if (r == this)
            break;
        if (r->LinkId() == LinkId() && r->TabControl)
            return;
    }
    platform::Control* area = owner.PaintArea();
    if (!area)
        return;
    auto control = std::make_unique<platform::TabFocusControl>(area);
    control->SetBounds(platform::TabFocusParkLeft, 0, 1, 1);
    control->SetTabStop(true);
    TabControl = std::move(control);
    AttachFocusHandlers(owner);
    if (tabIndex > 0) {
        char key[32];
        std::snprintf(key, sizeof key, "%.5d%.3d", tabIndex, owner.TabOrderCount());
        owner.AddTabOrder(key, this);
    }
}

void TFontObj::SetLinkY(TFontRunOwner& owner, int y)
{
    if (!IsLink())
        return;
    if (TabControl) {
        LinkY = y;
        return;
    }
    auto& runs = owner.LinkRuns();
    // Searched from where the last run was found, wrapping round once.
    const int n = int(runs.size());
    int at = -1;
    const int from = std::clamp(owner.LinkRunHint, 0, std::max(0, n - 1));
    for (int k = 0; k < n; ++k) {
        const int i = (from + k) % n;
        if (runs[std::size_t(i)] == this) {
            at = i;
            owner.LinkRunHint = i;
            break;
        }
    }
    for (int i = at - 1; i >= 0 && runs[std::size_t(i)]->LinkId() == LinkId(); --i)
        if (runs[std::size_t(i)]->TabControl) {
            runs[std::size_t(i)]->LinkY = y;
            return;
        }
}

void TFontObj::GetFontHeight(int& fontHeight, int& descent) const
{
    fontHeight = FontHeight;
    descent = Descent;
}

// ---- TFontList ----

TFontList::TFontList(TSection* section, const TFontList& source)
{
    for (const auto& run : source)
        Add(std::make_unique<TFontObj>(section, *run));
}

TFontObj* TFontList::GetFontObjAt(int pos, int& index) const
{
    index = -1;
    TFontObj* found = nullptr;
    for (int i = 0; i < Count(); ++i) {
        TFontObj* r = (*this)[i];
        if (r->Pos > pos)
            break;
        found = r;
        index = i;
    }
    return found;
}

TMyFont* TFontList::GetFontAt(int pos, int& overhang) const
{
    int index;
    TFontObj* r = GetFontObjAt(pos, index);
    overhang = r ? r->Overhang : 0;
    return r ? r->TheFont.get() : nullptr;
}

int TFontList::GetFontCountAt(int pos, int length) const
{
    for (int i = 0; i < Count(); ++i) {
        TFontObj* r = (*this)[i];
        if (r->Pos > pos)
            return r->Pos - pos;
    }
    return length - pos;
}

void TFontList::Decrement(int pos, TFontRunOwner* owner)
{
    for (int i = 0; i < Count(); ++i) {
        TFontObj* r = (*this)[i];
        if (r->Pos > pos)
            --r->Pos;
    }
    for (int i = Count() - 1; i > 0; --i) {
        TFontObj* earlier = (*this)[i - 1];
        TFontObj* later = (*this)[i];
        if (earlier->Pos != later->Pos)
            continue;
        bool sameLink = earlier->IsLink() && later->IsLink() && earlier->LinkId() == later->LinkId();
        if (sameLink && earlier->TabControl && !later->TabControl) {
            // The link keeps its focus window and its place in the tab order.
            later->TabControl = std::move(earlier->TabControl);
            later->LinkY = earlier->LinkY;
            later->Active = earlier->Active;
            if (owner)
                later->AttachFocusHandlers(*owner);
        }
        if (owner)
            owner->RunRemoved(earlier, sameLink ? later : nullptr);
        Delete(i - 1);
    }
}
