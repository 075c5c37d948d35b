// Pictures in the page: attributes and style, fetching through the root and the image cache, sizing,
// drawing (picture, placeholder box, alternative text, link border), hover frames of ACTIVE pictures and
// the animation steps of moving GIFs.

#include "layout/imageobj.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/attributes.h"
#include "images/gifimage.h"
#include "images/imageload.h"
#include "platform/asciitext.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "platform/control.h"
#include "platform/font.h"
#include "platform/sysvalues.h"
#include "style/properties.h"

namespace {

constexpr int MaxHSpace = 40;
constexpr int MaxBorder = 10;
constexpr int MinBox = 24;         // the smallest placeholder box
constexpr int PlaceholderInset = 4;  // the stock picture's place inside the box
constexpr int AltTextLeft = 24;    // where the alternative text starts inside the box
constexpr int AltTextExtra = 26;   // room the box needs beside the text

// A WIDTH or HEIGHT attribute: a percentage 0..100 (percent set), or pixels; -1 when absent or unusable.
int SizeAttribute(const TAttribute* a, bool& percent)
{
    percent = false;
    if (!a)
        return -1;
    const std::string& text = a->StrValue;
    if (text.find('%') != std::string::npos) {
        const std::string digits = platform::TrimBlanks(text.substr(0, text.find('%')));
        const int value = StrToIntDef(digits.substr(0, 9), -1);
        if (value < 0 || value > 100)
            return -1;
        percent = true;
        return value;
    }
    if (a->NumValue < 0)
        return -1;
    return std::min(a->NumValue, TImageObj::MaxSpecSize);
}

// The style's width or height over the attribute's: auto clears it, a percentage of the base of 200 the
// conversion used becomes a percentage again, a length gives pixels.
void StyleSize(const TPropValue& value, int pixels, int& size, bool& percent)
{
    if (value.IsEmpty() || pixels == NotSet)
        return;
    if (pixels == AutoValue) {
        size = -1;
        percent = false;
    } else if (value.IsText() && !value.Text().empty() && value.Text().back() == '%') {
        percent = true;
        size = std::clamp(pixels * 100 / 200, 0, 100);
    } else {
        percent = false;
        size = std::clamp(pixels, 0, TImageObj::MaxSpecSize);
    }
}

int Proportion(int value, int numerator, int denominator)
{
    if (denominator <= 0)
        return 0;
    return std::clamp(platform::MulDiv(value, numerator, denominator), 0, TImageObj::MaxSpecSize);
}

const platform::Font& PlaceholderFont()
{
    static const platform::Font font = [] {
        platform::LogFont lf;
        lf.Name = "Arial";
        lf.Height = -platform::MulDiv(8, platform::SysValues().PixelsPerInch, 72);
        return platform::Font(lf);
    }();
    return font;
}

}  // namespace

std::string ImageCacheKey(const std::string& name) { return platform::UpperAscii(platform::TrimBlanks(name)); }

// ---------------------------------------------------------------- construction

TImageObj::TImageObj(TSectionList* root, const TAttributeList* attributes, int position) : Root(root)
{
    Pos = position;
    VertAlign = AlignBottom;
    int hSpace = -1;
    if (attributes) {
        for (const auto& a : *attributes) {
            switch (a->Sym) {
            case NameSy:
            case IDSy:
                if (Root && Root->IDNames && !a->StrValue.empty())
                    Root->IDNames->AddName(a->StrValue, this);
                break;
            case SrcSy: Source = platform::TrimBlanks(a->StrValue); break;
            case AltSy: {
                std::string alt = a->StrValue;
                while (!alt.empty() && (alt.back() == '\r' || alt.back() == '\n'))
                    alt.pop_back();
                AltText = alt;
                if (Title.empty())
                    Title = alt;
                AltTextW = platform::MultiByteToWide(a->CodePage, alt);
                break;
            }
            case AlignSy: {
                const std::string v = platform::UpperAscii(platform::TrimBlanks(a->StrValue));
                if (v == "TOP")
                    VertAlign = AlignTop;
                else if (v == "MIDDLE" || v == "ABSMIDDLE")
                    VertAlign = AlignMiddle;
                else if (v == "LEFT")
                    VertAlign = AlignLeft;
                else if (v == "RIGHT")
                    VertAlign = AlignRight;
                break;
            }
            case BorderSy:
                NoBorder = a->NumValue == 0;
                BorderSize = std::clamp(a->NumValue, 0, MaxBorder);
                break;
            case WidthSy: SpecWidth = SizeAttribute(a.get(), PercentWidth); break;
            case HeightSy: SpecHeight = SizeAttribute(a.get(), PercentHeight); break;
            case HSpaceSy: hSpace = std::min(std::abs(std::max(a->NumValue, -MaxHSpace)), MaxHSpace); break;
            case VSpaceSy: VSpaceT = std::min(std::abs(std::max(a->NumValue, -MaxHSpace)), MaxHSpace); break;
            case TranspSy: Transparent = LLCorner; break;
            case IsMapSy: IsMap = true; break;
            case UseMapSy: {
                UseMap = true;
                std::string m = platform::UpperAscii(platform::TrimBlanks(a->StrValue));
                if (m.size() > 1 && m[0] == '#')
                    m.erase(0, 1);
                MapName = m;
                break;
            }
            case ActiveSy: IsActive = true; break;
            default: break;
            }
        }
        // A title replaces the alternative text as the tooltip.
        if (const TAttribute* t = attributes->Find(TitleSy))
            Title = t->StrValue;
    }
    HSpaceL = HSpaceR = hSpace >= 0 ? hSpace : Floats() ? 3 : 0;
    VSpaceB = VSpaceT;
}

TImageObj::TImageObj(TSectionList* root, const std::string& address) : Root(root)
{
    Source = platform::TrimBlanks(address);
    NoBorder = true;
    BorderSize = 0;
    VertAlign = AlignBottom;
}

TImageObj::TImageObj(TSectionList* newRoot, const TImageObj& source) : Root(newRoot)
{
    static_cast<TFloatingObj&>(*this) = static_cast<const TFloatingObj&>(source);
    Hover = source.Hover;
    IsActive = source.IsActive;
    BoxHeight = source.BoxHeight;
    BoxWidth = source.BoxWidth;
    ImageHeight = source.ImageHeight;
    ImageWidth = source.ImageWidth;
    Source = source.Source;
    Transparent = source.Transparent;
    IsMap = source.IsMap;
    UseMap = source.UseMap;
    MapName = source.MapName;
    MyFormControl = source.MyFormControl;
    MyCell = source.MyCell;
    Delayed = source.Delayed;
    FKind = source.FKind;
    FBitmap = source.FBitmap;
    FMask = source.FMask;
    FGif = source.FGif;
    FIsCopy = true;
}

TImageObj::~TImageObj()
{
    ReleasePicture();
    if (Root && !FIsCopy)
        Root->ObjectRemoved(this);
}

void TImageObj::ReleasePicture()
{
    if (FAnimating && Root) {
        auto& list = Root->AnimatedImages;
        list.erase(std::remove(list.begin(), list.end(), static_cast<TAnimationClient*>(this)), list.end());
    }
    FAnimating = false;
    if (!FIsCopy && !FCacheKey.empty() && Root && Root->ImageCache && !Root->IsCopy)
        Root->ImageCache->DecUsage(FCacheKey);
    FCacheKey.clear();
    FOwnGif.reset();
    FGif = nullptr;
    FBitmap = nullptr;
    FMask = nullptr;
    FKind = TPictureKind::None;
}

void TImageObj::Refetch()
{
    if (FIsCopy)
        return;
    ReleasePicture();
    Delayed = false;
    ImageKnown = false;
}

std::unique_ptr<TFloatingObj> TImageObj::Copy(TSectionList* newRoot) const
{
    return std::make_unique<TImageObj>(newRoot, *this);
}

// ---------------------------------------------------------------- style

void TImageObj::ApplyStyle(TProperties& props)
{
    AlignmentType align = AlignNone;
    auto alignAndFloat = [&] {
        if (props.GetVertAlign(align))
            VertAlign = align;
        if (props.GetFloat(align) && (align == AlignLeft || align == AlignRight)) {
            if (HSpaceR == 0)
                HSpaceL = HSpaceR = 3;
            VertAlign = align;
        }
    };
    alignAndFloat();
    if (Title.empty())
        Title = props.ElemTitle;
    MarginArray m{};
    props.ConvInlineMargArray(200, props.EmHeight, props.ExHeight, m);
    auto margin = [&m](int slot, int& space) {
        const int v = m[std::size_t(slot)];
        if (v != NotSet && v != AutoValue)
            space = std::clamp(v, 0, MaxSpecSize);
    };
    margin(piMarginLeft, HSpaceL);
    margin(piMarginRight, HSpaceR);
    margin(piMarginTop, VSpaceT);
    margin(piMarginBottom, VSpaceB);
    const bool borderStyle = props.HasBorderStyle();
    if (borderStyle) {
        auto add = [&m](int slot, int& space) {
            space = std::clamp(space + std::clamp(m[std::size_t(slot)], 0, MaxSpecSize), 0, MaxSpecSize);
        };
        add(piBorderLeftWidth, HSpaceL);
        add(piBorderRightWidth, HSpaceR);
        add(piBorderTopWidth, VSpaceT);
        add(piBorderBottomWidth, VSpaceB);
    }
    StyleSize(props.Values[piWidth], m[piWidth], SpecWidth, PercentWidth);
    StyleSize(props.Values[piHeight], m[piHeight], SpecHeight, PercentHeight);
    alignAndFloat();
    if (borderStyle) {
        NoBorder = true;
        BorderSize = 0;
    }
}

std::string TImageObj::ClientMapName() const
{
    if (!UseMap || MapName.empty() || !Root)
        return {};
    for (const auto& map : Root->Maps)
        if (map->MapName == MapName)
            return MapName;
    return {};
}

// ---------------------------------------------------------------- fetching and sizing

bool TImageObj::IsPlaceholder() const
{
    return !Root || !Root->ShowImages || FKind == TPictureKind::Wait || FKind == TPictureKind::Error ||
           FKind == TPictureKind::None;
}

void TImageObj::Fetch()
{
    const std::string name = Root->OnExpandName ? Root->OnExpandName(Source) : Source;
    const std::string key = ImageCacheKey(name);
    bool waiting = false;
    for (const auto& [missing, obj] : Root->MissingImages)
        if (platform::SameTextAscii(platform::TrimBlanks(missing), key)) {
            waiting = true;
            break;
        }
    TPictureObject* picture = nullptr;
    platform::Bitmap* mask = nullptr;
    TTranspType transp = Transparent;
    Delayed = waiting;
    if (!waiting && !key.empty() && !Root->FailedImages.count(key)) {
        bool fromCache = false;
        picture = Root->RequestImage(name, transp, Delayed, fromCache, mask);
    }
    if (picture) {
        FCacheKey = key;
        TGIFImage* gif = picture->Gif();
        const platform::Bitmap* bitmap = picture->Bitmap();
        if (gif && gif->Width() > 0 && gif->Height() > 0 && gif->NumFrames() > 0) {
            // Every use of a moving picture moves on its own; the copy shares the frames.
            FOwnGif = TGIFImage::Copy(*gif);
            FGif = FOwnGif.get();
            FKind = TPictureKind::Gif;
            if (IsActive) {
                FGif->SetAnimate(false);
            } else if (!Root->IsCopy) {
                Root->AnimatedImages.push_back(this);
                FAnimating = true;
            }
            return;
        }
        if (bitmap && !bitmap->Empty()) {
            FBitmap = bitmap;
            FMask = mask && !mask->Empty() ? mask : nullptr;
            Transparent = transp;
            FKind = TPictureKind::Bitmap;
            return;
        }
        ReleasePicture();  // an entry without a usable picture counts as missing
    }
    if (Delayed) {
        FKind = TPictureKind::Wait;
        FBitmap = &DefaultBitmap();
        if (!waiting)
            Root->MissingImages.emplace_back(key, this);
        return;
    }
    if (!key.empty())
        Root->FailedImages.insert(key);
    FKind = TPictureKind::Error;
    FBitmap = &ErrorBitmap();
    FMask = &ErrorBitmapMask();
    Transparent = LLCorner;
}

void TImageObj::FormatObject(TSectionList*, platform::Canvas* canvas, int availWidth, int availHeight,
                             TFontObj* run)
{
    if (!Root)
        return;
    if (Root->ShowImages && FKind == TPictureKind::None)
        Fetch();
    const bool placeholder = IsPlaceholder();
    int w = DefaultBitmap().Width(), h = DefaultBitmap().Height();
    if (Root->ShowImages) {
        if (FKind == TPictureKind::Gif) {
            w = FGif->Width();
            h = FGif->Height();
        } else if (FBitmap) {
            w = FBitmap->Width();
            h = FBitmap->Height();
        }
    }
    w = std::max(w, 1);
    h = std::max(h, 1);
    const int border2 = 2 * std::max(BorderSize, 0);
    availWidth = std::max(0, availWidth - border2);
    availHeight = std::max(0, availHeight - border2);
    if (!ImageKnown || PercentWidth || PercentHeight) {
        if (PercentWidth) {
            ImageWidth = Proportion(availWidth, SpecWidth, 100);
            ImageHeight = SpecHeight < 0   ? Proportion(ImageWidth, h, w)
                          : PercentHeight ? Proportion(availHeight, SpecHeight, 100)
                                          : SpecHeight;
        } else if (PercentHeight) {
            ImageHeight = Proportion(availHeight, SpecHeight, 100);
            ImageWidth = SpecWidth < 0 ? Proportion(ImageHeight, w, h) : SpecWidth;
        } else if (SpecWidth >= 0 && SpecHeight >= 0) {
            ImageWidth = SpecWidth;
            ImageHeight = SpecHeight;
            ImageKnown = true;
        } else {
            if (SpecHeight >= 0) {
                ImageHeight = SpecHeight;
                ImageWidth = Proportion(SpecHeight, w, h);
            } else if (SpecWidth >= 0) {
                ImageWidth = SpecWidth;
                ImageHeight = Proportion(SpecWidth, h, w);
            } else {
                ImageWidth = std::min(w, MaxSpecSize);
                ImageHeight = std::min(h, MaxSpecSize);
            }
            ImageKnown = !placeholder;
        }
    }
    if (placeholder) {
        if (SpecWidth >= 0 || SpecHeight >= 0) {
            BoxWidth = ImageWidth;
            BoxHeight = ImageHeight;
        } else if (!AltTextW.empty()) {
            platform::Canvas measure;
            platform::Canvas& c = canvas ? *canvas : measure;
            const platform::Font saved = c.GetFont();
            c.SetFont(PlaceholderFont());
            platform::Rect r{0, 0, 0, 0};
            const std::u16string text = AltTextW + u"\r\n";
            c.DrawTextW(text, r, platform::DT_CALCRECT | platform::DT_NOPREFIX);
            c.SetFont(saved);
            BoxWidth = std::min(r.Width() + AltTextExtra, MaxSpecSize);
            BoxHeight = std::clamp(r.Height(), MinBox, MaxSpecSize);
        } else {
            BoxWidth = std::max(ImageWidth, MinBox);
            BoxHeight = std::max(ImageHeight, MinBox);
        }
        ObjWidth = BoxWidth;
        ObjHeight = BoxHeight;
    } else {
        ObjWidth = ImageWidth;
        ObjHeight = ImageHeight;
    }
    if (run && run->IsLink() && !NoBorder)
        BorderSize = std::max(BorderSize, 1);
    if (BorderSize > 0) {
        ObjWidth += 2 * BorderSize;
        ObjHeight += 2 * BorderSize;
    }
}

// ---------------------------------------------------------------- drawing

const platform::Bitmap* TImageObj::GetBitmap() const
{
    switch (FKind) {
    case TPictureKind::Gif: return &FGif->FrameBitmap(FGif->CurrentFrame());
    case TPictureKind::Bitmap:
    case TPictureKind::Wait: return FBitmap;
    default: return nullptr;
    }
}

const platform::Bitmap* TImageObj::PaletteBitmap()
{
    // True-colour displays draw the picture itself; the palette copy only matters on 8-bit displays,
    // where pictures are reduced to the display palette as they are loaded.
    return GetBitmap();
}

void TImageObj::DrawPicture(platform::Canvas* canvas, int X, int Y)
{
    ShownInPass = true;
    switch (FKind) {
    case TPictureKind::Gif: FGif->Draw(*canvas, X, Y, ImageWidth, ImageHeight); break;
    case TPictureKind::Wait:
    case TPictureKind::Error: {
        const int w = FBitmap->Width(), h = FBitmap->Height();
        if (FMask)
            canvas->MaskedDraw(platform::Rect{X, Y, X + w, Y + h}, *FBitmap, *FMask, platform::Rect{0, 0, w, h});
        else
            canvas->BitBlt(X, Y, w, h, *FBitmap, 0, 0, platform::SRCCOPY);
        break;
    }
    case TPictureKind::Bitmap: {
        if (ImageWidth <= 0 || ImageHeight <= 0)
            break;
        const int w = FBitmap->Width(), h = FBitmap->Height();
        const platform::Rect dest{X, Y, X + ImageWidth, Y + ImageHeight};
        if (FMask && Transparent != NotTransp) {
            canvas->MaskedDraw(dest, *FBitmap, *FMask, platform::Rect{0, 0, w, h});
        } else {
            canvas->SetStretchBltMode(platform::COLORONCOLOR);
            canvas->StretchBlt(X, Y, ImageWidth, ImageHeight, *FBitmap, 0, 0, w, h, platform::SRCCOPY);
        }
        break;
    }
    default: break;
    }
}

void TImageObj::Draw(platform::Canvas* canvas, int X, TFontObj* run, int baseline, int lineTop)
{
    if (!canvas || !Root)
        return;
    const int yOff = Root->YOffset;
    baseline -= yOff;
    lineTop -= yOff;
    const bool placeholder = IsPlaceholder();
    canvas->SetBrushStyle(platform::BrushStyle::Clear);
    std::optional<platform::Font> savedFont;
    if (placeholder) {
        savedFont = canvas->GetFont();
        canvas->SetFont(PlaceholderFont());
    }

    int top = 0;
    switch (VertAlign) {
    case AlignTop:
    case AlignLeft:
    case AlignRight: top = lineTop + VSpaceT; break;
    case AlignMiddle:
        top = baseline + (run ? run->Descent - run->TmHeight / 2 : 0) - (ObjHeight + VSpaceB - VSpaceT) / 2;
        break;
    default: top = baseline - ObjHeight - VSpaceB; break;
    }
    const int objLeft = X, objTop = top;
    DrawXX = X + BorderSize;
    DrawYY = top + BorderSize;
    try {
        if (!placeholder)
            DrawPicture(canvas, DrawXX, DrawYY);
        else if (Root->ShowImages && BoxWidth >= MinBox && BoxHeight >= MinBox)
            DrawPicture(canvas, DrawXX + PlaceholderInset, DrawYY + PlaceholderInset);
    } catch (...) {
        // A picture that fails to draw is left undrawn.
    }
    DrawYY += yOff;

    const platform::TColor textColour = run ? platform::ColorToRGB(run->TheFont->Color) : 0;
    if (placeholder && !AltTextW.empty()) {
        const int inner = std::max(BorderSize, 0);
        platform::Rect r{objLeft + inner + AltTextLeft, objTop + inner, objLeft + ObjWidth - inner - 2,
                         objTop + ObjHeight - inner};
        if (r.Right > r.Left) {
            const platform::TColor old = canvas->SetTextColor(textColour);
            const int oldMode = canvas->SetBkMode(platform::TRANSPARENT);
            canvas->DrawTextW(AltTextW, r, platform::DT_WORDBREAK | platform::DT_NOPREFIX);
            canvas->SetBkMode(oldMode);
            canvas->SetTextColor(old);
        }
    }
    if (placeholder && BorderSize <= 0) {
        platform::TColor light = platform::clBtnHighlight;
        const platform::TColor back = platform::ColorToRGB(Root->Background) & 0xFFFFFF;
        if (Root->Printing || back == 0xFFFFFF)
            light = 0xC0C0C0;
        platform::TColor shadow = platform::ColorToRGB(platform::clBtnShadow);
        light = platform::ColorToRGB(light);
        if (Root->Printing && Root->PrintMonoBlack)
            shadow = light = 0;
        const int l = objLeft, t = objTop, r = objLeft + ObjWidth, b = objTop + ObjHeight;
        if (r > l && b > t) {
            canvas->FillRect(platform::Rect{l, t, r, t + 1}, shadow);
            canvas->FillRect(platform::Rect{l, t, l + 1, b}, shadow);
            canvas->FillRect(platform::Rect{l, b - 1, r, b}, light);
            canvas->FillRect(platform::Rect{r - 1, t, r, b}, light);
        }
    }
    if (BorderSize > 0) {
        for (int k = 0; k < BorderSize; ++k) {
            const platform::Rect frame{objLeft + k, objTop + k, objLeft + ObjWidth - k, objTop + ObjHeight - k};
            if (frame.Right > frame.Left && frame.Bottom > frame.Top)
                canvas->FrameRect(frame, textColour);
        }
    }
    const bool focused = (run && run->IsLink() && run->TabControl && run->TabControl->Focused());
    if (focused && !Root->IsCopy) {
        const platform::TColor oldText = canvas->SetTextColor(0);
        canvas->SetBrushColor(0xFFFFFF);
        canvas->DrawFocusRect(platform::Rect{objLeft - 2, objTop - 2, objLeft + ObjWidth + 2, objTop + ObjHeight + 2});
        canvas->SetTextColor(oldText);
    }
    if (savedFont)
        canvas->SetFont(*savedFont);
}

void TImageObj::TakeFrame(platform::Bitmap*& bitmap, platform::Bitmap*& mask, const platform::Rect* area)
{
    if (FKind == TPictureKind::Gif) {
        ThtBitmap& frame = const_cast<ThtBitmap&>(FGif->FrameBitmap(FGif->CurrentFrame()));
        bitmap = &frame;
        mask = frame.HasMask() ? const_cast<platform::Bitmap*>(&frame.Mask()) : nullptr;
    } else if (FKind == TPictureKind::Bitmap) {
        bitmap = const_cast<platform::Bitmap*>(FBitmap);
        mask = const_cast<platform::Bitmap*>(FMask);
    }
    if (area)
        SetDrawnArea(*area);
}

void TImageObj::SetDrawnArea(const platform::Rect& area)
{
    FArea = area;
    FHasArea = true;
    ShownInPass = true;
}

// ---------------------------------------------------------------- hover and animation

void TImageObj::SetHover(int state)
{
    if (state == Hover || !IsActive || FKind != TPictureKind::Gif || !Root)
        return;
    const int frames = FGif->NumFrames();
    auto& list = Root->AnimatedImages;
    if (state > 0) {
        if (frames == 2) {
            FGif->SetCurrentFrame(2);
        } else if (frames == 3) {
            FGif->SetCurrentFrame(state == 2 ? 3 : 2);
        } else {
            FGif->SetAnimate(true);
            if (!FAnimating && !Root->IsCopy) {
                list.push_back(this);
                FAnimating = true;
            }
        }
    } else {
        FGif->SetAnimate(false);
        if (frames <= 3)
            FGif->SetCurrentFrame(1);
        if (FAnimating) {
            list.erase(std::remove(list.begin(), list.end(), static_cast<TAnimationClient*>(this)), list.end());
            FAnimating = false;
        }
    }
    Hover = state;
    Root->InvalidatePaintArea();
}

void TImageObj::RestartAnimation(bool start)
{
    if (FKind != TPictureKind::Gif)
        return;
    FGif->SetAnimate(false);
    FGif->SetCurrentFrame(1);
    if (start)
        FGif->SetAnimate(true);
}

void TImageObj::AdvanceAnimation()
{
    if (FKind != TPictureKind::Gif || !Root)
        return;
    platform::Control* area = Root->PaintPanel;
    FGif->Step([this, area](const platform::Rect& r) {
        if (area)
            area->InvalidateRect(FHasArea ? FArea : r);
    });
}

int TImageObj::CurrentFrame() const { return FKind == TPictureKind::Gif ? FGif->CurrentFrame() : 0; }

// ---------------------------------------------------------------- the document's moving background

TBackgroundAnimation::TBackgroundAnimation(TSectionList* root, const TGIFImage& gif)
    : FRoot(root), FGif(TGIFImage::Copy(gif))
{
    ShownInPass = true;
}

TBackgroundAnimation::~TBackgroundAnimation() = default;

void TBackgroundAnimation::RestartAnimation(bool start)
{
    FGif->SetAnimate(false);
    FGif->SetCurrentFrame(1);
    if (start)
        FGif->SetAnimate(true);
    ShowFrame();
}

void TBackgroundAnimation::AdvanceAnimation()
{
    FGif->Step(std::function<void(const platform::Rect&)>());
    ShowFrame();
}

int TBackgroundAnimation::CurrentFrame() const { return FGif->CurrentFrame(); }

void TBackgroundAnimation::ShowFrame()
{
    if (FGif->NumFrames() == 0)
        return;
    const ThtBitmap& frame = FGif->FrameBitmap(FGif->CurrentFrame());
    FRoot->BackgroundImage = const_cast<ThtBitmap*>(&frame);
    FRoot->BackgroundMask = frame.HasMask() ? const_cast<platform::Bitmap*>(&frame.Mask()) : nullptr;
}
