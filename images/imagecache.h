#pragma once
// The image cache: decoded pictures by name, shared by every document of a viewer (and, in the frame
// viewer, by all frames). An unused picture survives a few sweeps (page changes) so that going back is
// fast.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"

class TGIFImage;

// Transparency modes of a picture.
enum TTranspType : std::uint8_t {
    NotTransp = 0,  // none
    LLCorner = 1,   // the colour of the lower-left pixel is transparent
    TrGif = 2,      // a transparent colour given by the picture (GIF) or by the host
    TrPng = 3,      // a transparent colour found in a PNG palette
};

// A picture of one of the kinds the engine draws: a bitmap or an animated GIF.
// Picture data a host hands over for a name.
using TImageStream = std::vector<std::uint8_t>;
// The shared empty answer of a host whose picture comes later.
const TImageStream& WaitStream();

class TPictureObject {
public:
    explicit TPictureObject(std::unique_ptr<platform::Bitmap> bitmap);
    explicit TPictureObject(std::unique_ptr<TGIFImage> gif);
    ~TPictureObject();
    TPictureObject(const TPictureObject&) = delete;
    TPictureObject& operator=(const TPictureObject&) = delete;

    platform::Bitmap* Bitmap() const { return FBitmap.get(); }
    TGIFImage* Gif() const { return FGif.get(); }

private:
    std::unique_ptr<platform::Bitmap> FBitmap;
    std::unique_ptr<TGIFImage> FGif;
};

// One cache entry.
class TBitmapItem {
public:
    TBitmapItem(std::unique_ptr<TPictureObject> image, TTranspType transp, std::unique_ptr<platform::Bitmap> mask);

    int AccessCount = 0;  // sweeps since the entry was last taken
    int UsageCount = 0;   // current users
    TTranspType Transp = NotTransp;
    std::unique_ptr<TPictureObject> MImage;
    std::unique_ptr<platform::Bitmap> Mask;  // white where transparent, or none
};

class TStringBitmapList {
public:
    TStringBitmapList() = default;
    TStringBitmapList(const TStringBitmapList&) = delete;
    TStringBitmapList& operator=(const TStringBitmapList&) = delete;

    int Count() const { return int(FItems.size()); }
    const std::string& Strings(int index) const { return FItems.at(size_t(index)).Key; }
    TBitmapItem* Objects(int index) const { return FItems.at(size_t(index)).Item.get(); }

    // A sorted list finds keys by binary search; keys compare ignoring ASCII letter case either way.
    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    int IndexOf(const std::string& key) const;

    // Adds the pair; a TBitmapItem gains one user. Answers the index.
    int AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item);
    // One user less for the key's item.
    void DecUsage(const std::string& key);
    // The number of sweeps an unused entry survives. Setting it removes at once every unused entry that
    // has been idle longer.
    int MaxCache() const { return FMaxCache; }
    void SetCacheCount(int n);
    // The picture at the index; the entry becomes fresh and gains one user.
    TPictureObject* GetImage(int index);
    // One sweep: every entry ages by one; unused entries older than the cache size are freed.
    void PurgeCache();
    void Clear() { FItems.clear(); }

private:
    struct Entry {
        std::string Key;
        std::unique_ptr<TBitmapItem> Item;
    };
    int Find(const std::string& key, bool& found) const;

    std::vector<Entry> FItems;
    bool FSorted = false;
    int FMaxCache = 4;
};
