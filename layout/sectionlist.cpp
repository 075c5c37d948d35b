// The document root: layout and paint of the whole document, the document-wide lists and their upkeep.

#include "layout/sectionlist.h"

#include <algorithm>

#include "images/gifimage.h"
#include "layout/imageobj.h"
#include "layout/forms.h"
#include "layout/panelobj.h"
#include "platform/asciitext.h"
#include "platform/canvas.h"
#include "platform/control.h"
#include "platform/messages.h"
#include "platform/timer.h"
#include "images/imageload.h"
#include "core/seltext.h"
#include "style/stylelist.h"

namespace {

constexpr int FirstTickMs = 50;
constexpr int LaterTickMs = 40;
constexpr int NotInList = 99999999;

template <typename T, typename U>
void EraseValue(std::vector<T*>& list, const U* value)
{
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

// Cache keys: the name trimmed and upper-cased.
std::string ImageKey(const std::string& name)
{
    std::size_t from = name.find_first_not_of(" \t\r\n");
    if (from == std::string::npos)
        return {};
    std::size_t to = name.find_last_not_of(" \t\r\n");
    return platform::UpperAscii(name.substr(from, to - from + 1));
}

}  // namespace

// ---------------------------------------------------------------- TInlineList

void TInlineList::Convert()
{
    for (const auto& rec : FItems) {
        rec->StartDoc = FOwner->DocPosOf(rec->StartSource, false);
        rec->EndDoc = FOwner->DocPosOf(rec->EndSource, false);
        if (rec->StartDoc == rec->EndDoc)
            --rec->StartDoc;
    }
    NeedsConverting = false;
}

int TInlineList::InlineStart(int i)
{
    if (i < 0 || i >= Count())
        return NotInList;
    if (NeedsConverting)
        Convert();
    return (*this)[i]->StartDoc;
}

int TInlineList::InlineEnd(int i)
{
    if (i < 0 || i >= Count())
        return NotInList;
    if (NeedsConverting)
        Convert();
    return (*this)[i]->EndDoc;
}

// ---------------------------------------------------------------- TSectionList

TSectionList::TSectionList(platform::Control* owner, platform::Control* paintPanel)
    : TCell(this),
      Owner(owner),
      PaintPanel(paintPanel),
      FOwnStyles(std::make_unique<TStyleList>()),
      FOwnIDNames(std::make_unique<TIDNameList>(this)),
      FOwnInlines(std::make_unique<TInlineList>(this))
{
    Styles = FOwnStyles.get();
    IDNames = FOwnIDNames.get();
    Inlines = FOwnInlines.get();
    Styles->OnLinkHover = [this] { LinkHover = true; };
}

TSectionList::~TSectionList()
{
    Clear();
}

void TSectionList::Clear()
{
    if (!IsCopy) {
        IDNames->Reset();
        PositionList.clear();
        Inlines->Clear();
    }
    BackgroundAnimation = nullptr;
    BackgroundImage = nullptr;
    BackgroundMask = nullptr;
    if (BackgroundLoaded && !BackgroundName.empty() && ImageCache && !IsCopy)
        ImageCache->DecUsage(ImageKey(BackgroundName));
    BackgroundName.clear();
    BackgroundLoaded = false;
    AnimatedImages.clear();
    FBackgroundAnimator.reset();
    FailedImages.clear();
    FTimer.reset();
    SelStart = SelEnd = 0;
    Maps.FreeAll();
    MissingImages.clear();
    FLinkRuns.clear();
    HoverLink = nullptr;
    HoverImage = nullptr;
    Panels.clear();
    DrawList.clear();
    if (!IsCopy)
        Styles->Clear();
    TabOrder.clear();
    // Items go last: nothing in the lists above may outlive them.
    FreeAll();
    FormControls.clear();
    Forms.FreeAll();
    ++Generation;
}

void TSectionList::SetFonts(const std::string& fontName, const std::string& preFontName, int size,
                            platform::TColor colour, platform::TColor hotSpot, platform::TColor visited,
                            platform::TColor over, platform::TColor background, bool overLinksActive,
                            bool underlineLinks, int charset, int marginHeight, int marginWidth)
{
    Styles->LoadDefaults(fontName, preFontName, size, colour, hotSpot, visited, over, underlineLinks, charset,
                         marginHeight, marginWidth);
    DefaultFontSize = size;
    PreFontName = preFontName.substr(0, 32);
    HotSpotColor = hotSpot;
    VisitedColor = visited;
    OverColor = over;
    LinkHover = overLinksActive;
    SetBackground(background);
}

void TSectionList::SetBackground(platform::TColor colour)
{
    Background = colour;
    if (OnBackgroundChange)
        OnBackgroundChange(this, colour);
}

void TSectionList::SetBackgroundImage(const std::string& name, const std::vector<unsigned char>& position)
{
    if (BackgroundAnimation)
        EraseValue(AnimatedImages, BackgroundAnimation);
    BackgroundAnimation = nullptr;
    FBackgroundAnimator.reset();
    BackgroundName = name;
    BackgroundPosition = position;
    BackgroundLoaded = false;
}

TPictureObject* TSectionList::RequestImage(const std::string& name, TTranspType& transp, bool& delayed,
                                          bool& fromCache, platform::Bitmap*& mask)
{
    delayed = false;
    fromCache = false;
    mask = nullptr;
    if (name.empty() || !ImageCache)
        return nullptr;
    const std::string key = ImageKey(name);
    int index = ImageCache->IndexOf(key);
    if (index >= 0) {
        TPictureObject* image = ImageCache->GetImage(index);
        TBitmapItem* entry = ImageCache->Objects(index);
        fromCache = true;
        if (image && image->Bitmap()) {
            if (entry->Transp == TrGif || entry->Transp == TrPng) {
                transp = entry->Transp;
            } else if (transp == LLCorner && !entry->Mask) {
                entry->Mask = GetImageMask(*image->Bitmap(), false, 0);
                entry->Transp = LLCorner;
            }
            mask = entry->Mask.get();
        }
        return image;
    }

    std::unique_ptr<TPictureObject> picture;
    std::unique_ptr<platform::Bitmap> ownMask;
    if (OnBitmapRequest) {
        std::unique_ptr<platform::Bitmap> bitmap;
        platform::TColor colour = platform::TColor(-1);
        OnBitmapRequest(this, name, bitmap, colour);
        if (bitmap) {
            if (colour != platform::TColor(-1)) {
                ownMask = GetImageMask(*bitmap, true, colour);
                transp = TrGif;
            } else if (transp == LLCorner) {
                ownMask = GetImageMask(*bitmap, false, 0);
            }
            picture = std::make_unique<TPictureObject>(std::move(bitmap));
        }
    }
    if (!picture && OnImageRequest) {
        const TImageStream* stream = nullptr;
        OnImageRequest(this, name, stream);
        if (stream == &WaitStream()) {
            delayed = true;
            return nullptr;
        }
        if (!stream)
            picture = LoadImageFile(OnExpandName ? OnExpandName(name) : name, transp, ownMask);
        else if (!stream->empty())
            picture = LoadImageData(*stream, transp, ownMask);
    } else if (!picture && !OnBitmapRequest) {
        picture = LoadImageFile(name, transp, ownMask);
    }
    if (!picture)
        return nullptr;
    TTranspType mode = ownMask ? transp : NotTransp;
    auto entry = std::make_unique<TBitmapItem>(std::move(picture), mode, std::move(ownMask));
    TBitmapItem* stored = entry.get();
    ImageCache->AddObject(key, std::move(entry));
    mask = stored->Mask.get();
    return stored->MImage.get();
}

namespace {

// A GIF read as it is when it moves; a still one becomes a plain bitmap with its own mask when it is
// transparent, else a corner mask on request.
std::unique_ptr<TPictureObject> PictureOfGif(std::unique_ptr<TGIFImage> gif, bool still, TTranspType& transp,
                                             std::unique_ptr<platform::Bitmap>& mask)
{
    if (!gif)
        return nullptr;
    if (!still)
        return std::make_unique<TPictureObject>(std::move(gif));
    // A still GIF becomes a plain bitmap: its own mask when it is transparent, else a corner mask on request.
    auto bitmap = std::make_unique<platform::Bitmap>(gif->StillBitmap());
    if (gif->IsTransparent()) {
        mask = std::make_unique<platform::Bitmap>(gif->StillMask());
        transp = TrGif;
    } else if (transp == LLCorner) {
        mask = GetImageMask(*bitmap, false, 0);
    }
    return std::make_unique<TPictureObject>(std::move(bitmap));
}

}  // namespace

std::unique_ptr<TPictureObject> TSectionList::LoadImageFile(const std::string& name, TTranspType& transp,
                                                            std::unique_ptr<platform::Bitmap>& mask)
{
    const TImageType kind = KindOfImageFile(name);
    if (kind != itGIF && kind != itGIF89) {
        std::unique_ptr<platform::Bitmap> bitmap = LoadImageFromFile(name, transp, mask);
        return bitmap ? std::make_unique<TPictureObject>(std::move(bitmap)) : nullptr;
    }
    bool still = false;
    std::unique_ptr<TGIFImage> gif = TGIFImage::CreateFromFile(name, still);
    return PictureOfGif(std::move(gif), still, transp, mask);
}

std::unique_ptr<TPictureObject> TSectionList::LoadImageData(const TImageStream& data, TTranspType& transp,
                                                            std::unique_ptr<platform::Bitmap>& mask)
{
    const TImageType kind = KindOfImage(data.data(), data.size());
    if (kind != itGIF && kind != itGIF89) {
        std::unique_ptr<platform::Bitmap> bitmap = LoadImageFromStream(data.data(), data.size(), transp, mask);
        return bitmap ? std::make_unique<TPictureObject>(std::move(bitmap)) : nullptr;
    }
    bool still = false;
    std::unique_ptr<TGIFImage> gif = TGIFImage::CreateFromStream(data, still);
    return PictureOfGif(std::move(gif), still, transp, mask);
}

void TSectionList::LoadBackgroundImage()
{
    if (!ShowImages || BackgroundLoaded || BackgroundName.empty() || BackgroundImage)
        return;
    std::string name = BackgroundName;
    if (OnExpandName)
        name = OnExpandName(name);
    TTranspType transp = NotTransp;
    bool delayed = false;
    bool fromCache = false;
    platform::Bitmap* mask = nullptr;
    TPictureObject* image = RequestImage(name, transp, delayed, fromCache, mask);
    if (image && image->Bitmap()) {
        BackgroundImage = image->Bitmap();
        BackgroundMask = mask;
    } else if (image && image->Gif() && image->Gif()->NumFrames() > 0) {
        // A moving background: its own copy steps through the frames, the root shows the current one.
        auto animation = std::make_unique<TBackgroundAnimation>(this, *image->Gif());
        animation->ShowFrame();
        if (!IsCopy) {
            BackgroundAnimation = animation.get();
            AnimatedImages.push_back(BackgroundAnimation);
            animation->RestartAnimation(true);
        }
        FBackgroundAnimator = std::move(animation);
    } else if (!image && delayed) {
        MissingImages.emplace_back(name, nullptr);
    }
    BackgroundName = name;
    BackgroundLoaded = true;
}

void TSectionList::SetTimerEnabled(bool value)
{
    if (FTimer)
        FTimer->SetEnabled(value);
}

void TSectionList::AssignTabOrder()
{
    int order = 0;
    for (auto& [key, stop] : TabOrder) {
        platform::Control* window = stop.Window;
        if (!window && stop.Run)
            window = stop.Run->TabControl.get();
        if (window)
            window->SetTabOrder(order++);
    }
    TabOrder.clear();
}

int TSectionList::Layout(platform::Canvas* canvas, int Y, int width, int availHeight, int blockHeight,
                         int& maxWidth, int& cursor)
{
    ++LayoutPass;
    TableNestLevel = 0;
    RowHeightsPending = false;
    SetTimerEnabled(false);
    if (OnSizeFormControls)
        OnSizeFormControls(canvas);
    Inlines->NeedsConverting = true;
    if (canvas)
        canvas->SetTextJustification(0, 0);
    if (!TabOrder.empty())
        AssignTabOrder();

    int height = TCell::LayoutCell(canvas, Y, width, availHeight, blockHeight, maxWidth, cursor);

    for (TAnimationClient* a : AnimatedImages)
        a->RestartAnimation(!IsCopy);
    if (!IsCopy) {
        if (!FTimer) {
            FTimer = std::make_unique<platform::Timer>();
            FTimer->SetEnabled(false);
            FTimer->SetInterval(FirstTickMs);
            FTimer->OnTimer = [this](platform::Timer*) { AnimationTick(); };
        }
        FTimer->SetEnabled(!AnimatedImages.empty());
    }
    if (OnHideUnshownControls && !IsCopy)
        OnHideUnshownControls();
    if (!IsCopy && PositionList.empty())
        RegisterPositions();
    return height;
}

int TSectionList::PaintCell(platform::Canvas* canvas, const platform::Rect& clip, int clipWidth, int X, int Y,
                            int refX, int refY)
{
    FirstPaint = true;
    SetTimerEnabled(false);
    for (TAnimationClient* a : AnimatedImages)
        a->ShownInPass = false;
    if (BackgroundAnimation && !IsCopy)
        BackgroundAnimation->ShownInPass = true;

    DrawList.clear();
    for (TPanelObj* panel : Panels)
        panel->ShownInPaint = false;
    int result = 0;
    try {
        result = TCell::PaintCell(canvas, clip, clipWidth, X, Y, refX, refY);
        for (TDeferredDraw* d : DrawList)
            d->DrawDeferred(canvas);
    } catch (...) {
        SetTimerEnabled(!AnimatedImages.empty());
        throw;
    }
    // A panel that the paint did not reach and that was last put outside the view is scrolled away: its
    // window must not stay where it was. (A paint of part of the view does not reach every visible panel.)
    if (!IsCopy) {
        const int viewTop = YOffset;
        const int viewBottom = YOffset + (PaintPanel ? PaintPanel->Height() : clip.Bottom);
        for (TPanelObj* panel : Panels)
            if (!panel->ShownInPaint && (panel->DrawYY + panel->ObjHeight <= viewTop || panel->DrawYY >= viewBottom))
                panel->HidePanel();
    }
    if (YOffsetChanged) {
        if (OnHideUnshownControls && !IsCopy)
            OnHideUnshownControls();
        YOffsetChanged = false;
    }
    SetTimerEnabled(!AnimatedImages.empty());
    return result;
}

void TSectionList::AnimationTick()
{
    if (IsCopy)
        return;
    int frame = BackgroundAnimation ? BackgroundAnimation->CurrentFrame() : 0;
    for (TAnimationClient* a : AnimatedImages)
        if (a->ShownInPass)
            a->AdvanceAnimation();
    if (BackgroundAnimation && BackgroundAnimation->CurrentFrame() != frame)
        InvalidatePaintArea();
    if (FTimer)
        FTimer->SetInterval(LaterTickMs);
}

bool TSectionList::LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                          std::string& title)
{
    TFontObj* oldLink = HoverLink;
    THoverImage* oldImage = HoverImage;
    HoverLink = nullptr;
    HoverImage = nullptr;
    bool result = TCell::LinkAt(canvas, X, Y, link, control, title);
    if (LinkHover && HoverLink != oldLink) {
        if (oldLink)
            oldLink->SetAllHovers(FLinkRuns, false);
        if (HoverLink)
            HoverLink->SetAllHovers(FLinkRuns, true);
        InvalidatePaintArea();
    }
    if (HoverImage != oldImage && oldImage)
        oldImage->SetHoverState(0);
    if (HoverImage)
        HoverImage->SetHoverState(platform::GetKeyState(platform::VK_LBUTTON) < 0 ? 2 : 1);
    return result;
}

void TSectionList::AddInline(int sourceIndex, TProperties& props, bool isStart)
{
    if (!Inlines)
        return;
    if (isStart) {
        auto rec = std::make_unique<InlineRec>();
        rec->StartSource = sourceIndex;
        rec->EndSource = sourceIndex;
        rec->Ident = props.Serial;
        rec->EndDoc = 999999;
        MarginArray& m = rec->MargArray;
        props.ConvInlineMargArray(200, props.EmHeight, props.ExHeight, m);
        // Colours: the background only when the element sets one; a border side without a colour of its
        // own takes the element's border colour, else its text colour.
        const TPropValue& back = props.Values[piBackgroundColor];
        m[piBackgroundColor] = back.IsOrdinal() && props.Explicit[piBackgroundColor] ? back.Int() : int(NoColor);
        const TPropValue& all = props.Values[piBorderColor];
        m[piBorderColor] = all.IsOrdinal() ? all.Int() : props.Values[piColor].Int();
        for (int k = piBorderTopColor; k <= piBorderLeftColor; ++k) {
            const TPropValue& v = props.Values[std::size_t(k)];
            m[std::size_t(k)] = v.IsOrdinal() && v.Int() != NotSet ? v.Int() : m[piBorderColor];
        }
        Inlines->Add(std::move(rec));
    } else {
        for (int i = Inlines->Count() - 1; i >= 0; --i) {
            InlineRec* rec = (*Inlines)[i];
            if (rec->Ident == props.Serial) {
                rec->EndSource = sourceIndex;
                break;
            }
        }
    }
    Inlines->NeedsConverting = true;
}

void TSectionList::ClearHover()
{
    if (HoverLink || HoverImage)
        InvalidatePaintArea();
    if (HoverLink)
        HoverLink->SetAllHovers(FLinkRuns, false);
    if (HoverImage)
        HoverImage->SetHoverState(0);
    HoverLink = nullptr;
    HoverImage = nullptr;
}

void TSectionList::PressHoverImage(bool pressed)
{
    if (!HoverImage)
        return;
    HoverImage->SetHoverState(pressed ? 2 : 1);
    InvalidatePaintArea();
}

void TSectionList::ScrollTo(int offset)
{
    YOffset = offset;
    YOffsetChanged = true;
    if (OnMarkControlsUnshown)
        OnMarkControlsUnshown();
}

int TSectionList::SelectedLength()
{
    if (SelStart >= SelEnd)
        return 0;
    SelTextCount sink;
    SelectionSink = &sink;
    try {
        CopySelection();
    } catch (...) {
        SelectionSink = nullptr;
        throw;
    }
    SelectionSink = nullptr;
    return sink.Finish();
}

int TSectionList::SelectedText(char16_t* buffer, int size)
{
    if (size > 0 && buffer)
        buffer[0] = 0;
    if (SelStart >= SelEnd || !buffer)
        return size > 0 ? 1 : 0;
    SelTextBuf sink(buffer, size);
    SelectionSink = &sink;
    try {
        CopySelection();
    } catch (...) {
        SelectionSink = nullptr;
        throw;
    }
    SelectionSink = nullptr;
    return sink.Finish();
}

int TSectionList::DocPosOf(int sourceIndex, bool previous)
{
    int pos = TCell::DocPosOf(sourceIndex, previous);
    return pos < 0 ? CharCount : pos;
}

bool TSectionList::CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y)
{
    bool atEnd = pos >= CharCount;
    int asked = std::min(pos, CharCount - 1);
    bool result = TCell::CursorPoint(canvas, asked, X, Y);
    if (result && atEnd)
        X += 15;
    return result;
}

TSectionBase* TSectionList::FindItemAtY(int Y, int& itemY, int& index)
{
    for (int i = int(PositionList.size()) - 1; i >= 0; --i) {
        int top = PositionList[std::size_t(i)]->VerticalPos();
        if (top <= Y) {
            itemY = top;
            index = i;
            return PositionList[std::size_t(i)];
        }
    }
    return nullptr;
}

bool TSectionList::FindLineOfCharPos(int charPos, int& y)
{
    // Named places keep the source index the reader was at; the lines count document positions.
    int x = 0;
    return CharCount > 0 && CursorPoint(nullptr, DocPosOf(charPos, false), x, y);
}

void TSectionList::ObjectRemoved(TIDObject* obj)
{
    if (!obj)
        return;
    if (IDNames && !IsCopy)
        IDNames->RemoveObject(obj);
    EraseValue(PositionList, obj);
    MissingImages.erase(std::remove_if(MissingImages.begin(), MissingImages.end(),
                                       [obj](const auto& m) { return m.second == obj; }),
                        MissingImages.end());
    if (auto* image = dynamic_cast<THoverImage*>(obj); image && image == HoverImage)
        HoverImage = nullptr;
    if (auto* anim = dynamic_cast<TAnimationClient*>(obj)) {
        EraseValue(AnimatedImages, anim);
        if (BackgroundAnimation == anim)
            BackgroundAnimation = nullptr;
    }
    if (auto* d = dynamic_cast<TDeferredDraw*>(obj))
        EraseValue(DrawList, d);
}

void TSectionList::AddTabOrder(const std::string& key, TFontObj* run)
{
    TabOrder.emplace(key, TTabStop{run, nullptr});
}

void TSectionList::LinkFocused(TFontObj* run)
{
    if (OnLinkFocused)
        OnLinkFocused(run);
}

void TSectionList::InvalidatePaintArea()
{
    if (PaintPanel)
        PaintPanel->Invalidate();
}

void TSectionList::LinkKeyDown(TFontObj* run, int& key, platform::TShiftState shift)
{
    if (OnLinkKeyDown)
        OnLinkKeyDown(run, key, shift);
}

void TSectionList::RunRemoved(TFontObj* run, TFontObj* survivor)
{
    EraseValue(FLinkRuns, run);
    if (HoverLink == run)
        HoverLink = survivor;
    for (auto it = TabOrder.begin(); it != TabOrder.end();) {
        if (it->second.Run != run) {
            ++it;
        } else if (survivor) {
            it->second.Run = survivor;
            ++it;
        } else {
            it = TabOrder.erase(it);
        }
    }
}
