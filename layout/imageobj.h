#pragma once
// Pictures in the page: TImageObj is an IMG element (or an image input, a block's background picture or a
// list item's marker picture) standing in a line of text or floating beside it. It fetches its picture
// through the document root and the image cache on its first formatting, sizes itself from its attributes,
// its style and the picture, draws the picture or a placeholder box with the alternative text, animates a
// moving GIF from the root's timer and changes frame under the mouse when it is ACTIVE.
// TBackgroundAnimation moves the document's own background picture.

#include <cstdint>
#include <memory>
#include <string>

#include "images/imagecache.h"
#include "layout/floatingobj.h"
#include "layout/sectionlist.h"
#include "platform/types.h"

namespace platform {
class Bitmap;
class Canvas;
}  // namespace platform

class TAttributeList;
class TCellBasic;
class TFormControlObj;
class TGIFImage;
class TProperties;

class TImageObj : public TFloatingObj, public TAnimationClient, public THoverImage {
public:
    // Pixel sizes from attributes and style are kept within this bound (larger ones are taken as it).
    static constexpr int MaxSpecSize = 10000;

    // From the attributes of an IMG element (or an image input) at a character position.
    TImageObj(TSectionList* root, const TAttributeList* attributes, int position);
    // A background or marker picture by its address: no border, aligned to the bottom.
    TImageObj(TSectionList* root, const std::string& address);
    // A copy for another root (printing): it shares the source's pictures and never frees them.
    TImageObj(TSectionList* newRoot, const TImageObj& source);
    ~TImageObj() override;
    TImageObj(const TImageObj&) = delete;
    TImageObj& operator=(const TImageObj&) = delete;

    // What is shown.
    enum class TPictureKind : std::uint8_t { None, Wait, Error, Bitmap, Gif };

    int Hover = 0;  // 0 at rest, 1 under the mouse, 2 pressed (ACTIVE pictures)
    bool IsActive = false;
    int BoxHeight = 0, BoxWidth = 0;      // the placeholder box
    int ImageHeight = 0, ImageWidth = 0;  // the size the picture is drawn at, border excluded
    std::string Source;
    TSectionList* Root;  // not owned
    TTranspType Transparent = NotTransp;
    bool IsMap = false;
    bool UseMap = false;
    std::string MapName;  // upper case, without the leading '#'
    TFormControlObj* MyFormControl = nullptr;  // the image input this picture belongs to
    TCellBasic* MyCell = nullptr;
    bool Delayed = false;  // requested and still awaited from the host

    // Lays the element's style over the attribute values.
    void ApplyStyle(TProperties& props);

    void FormatObject(TSectionList* root, platform::Canvas* canvas, int availWidth, int availHeight,
                      TFontObj* run) override;
    void Draw(platform::Canvas* canvas, int X, TFontObj* run, int baseline, int lineTop) override;
    // The bare picture at (X, Y), screen coordinates, at ImageWidth x ImageHeight (the stock pictures at
    // their own size).
    void DrawPicture(platform::Canvas* canvas, int X, int Y);
    // The picture as a bitmap: the current frame of a GIF, the bitmap itself, none for the error
    // picture or before fetching.
    const platform::Bitmap* GetBitmap() const;
    // The bitmap to draw on palette displays; on true-colour displays the picture itself.
    const platform::Bitmap* PaletteBitmap();
    const platform::Bitmap* Mask() const { return FMask; }
    TPictureKind Kind() const { return FKind; }
    TGIFImage* Gif() const { return FGif; }
    // Placeholder: pictures are off, or the wait or error picture stands in.
    bool IsPlaceholder() const;
    // Whether the picture could not be had (the error picture shows).
    bool Failed() const { return FKind == TPictureKind::Error; }
    // The host has supplied an awaited picture (or the stock ones changed): fetch again at the next
    // formatting.
    void Refetch();

    // ACTIVE GIF pictures: frame 2 under the mouse, frame 3 pressed (3-frame pictures), or animation.
    void SetHover(int state);

    // The picture to draw as a bitmap with its mask (the current frame of a GIF); unchanged when there is
    // none. With area, the rectangle it is drawn over (screen coordinates) is repainted at each step.
    void TakeFrame(platform::Bitmap*& bitmap, platform::Bitmap*& mask, const platform::Rect* area = nullptr);
    // Where a background or marker picture was last drawn, screen coordinates: an animation step
    // repaints this rectangle.
    void SetDrawnArea(const platform::Rect& area);

    std::unique_ptr<TFloatingObj> Copy(TSectionList* newRoot) const override;
    TFormControlObj* FormControl() const override { return MyFormControl; }
    // The map name when the root holds a map of that name (else the picture is no client-side map).
    std::string ClientMapName() const override;
    bool IsServerMap() const override { return IsMap; }

    // TAnimationClient
    void RestartAnimation(bool start) override;
    void AdvanceAnimation() override;
    int CurrentFrame() const override;
    // THoverImage
    void SetHoverState(int state) override { SetHover(state); }

private:
    void Fetch();
    void ReleasePicture();

    TPictureKind FKind = TPictureKind::None;
    const platform::Bitmap* FBitmap = nullptr;  // the bitmap shown (cache-owned, or a stock picture)
    const platform::Bitmap* FMask = nullptr;    // its mask, or none
    TGIFImage* FGif = nullptr;                  // the GIF shown
    std::unique_ptr<TGIFImage> FOwnGif;         // this picture's own copy of a moving GIF
    std::string FCacheKey;                      // the cache entry this picture uses; empty: none
    bool FIsCopy = false;                       // made for another root: frees nothing it shares
    bool FAnimating = false;                    // listed in the root's AnimatedImages
    bool FHasArea = false;
    platform::Rect FArea{};
};

// The document's background picture when it moves: a copy of the cached GIF whose current frame the root
// shows as BackgroundImage; each step that changes frame repaints the view.
class TBackgroundAnimation : public TAnimationClient {
public:
    TBackgroundAnimation(TSectionList* root, const TGIFImage& gif);
    ~TBackgroundAnimation() override;

    void RestartAnimation(bool start) override;
    void AdvanceAnimation() override;
    int CurrentFrame() const override;
    // Points the root's background picture and mask at the current frame.
    void ShowFrame();

private:
    TSectionList* FRoot;
    std::unique_ptr<TGIFImage> FGif;
};

// The cache key of a picture name: trimmed and upper-cased.
std::string ImageCacheKey(const std::string& name);
