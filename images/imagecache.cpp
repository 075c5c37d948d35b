// The image cache with its usage and idle counts.

#include "images/imagecache.h"

#include "platform/asciitext.h"

#include <algorithm>

#include "images/gifimage.h"

const TImageStream& WaitStream()
{
    static const TImageStream wait;
    return wait;
}

TPictureObject::TPictureObject(std::unique_ptr<platform::Bitmap> bitmap) : FBitmap(std::move(bitmap)) {}
TPictureObject::TPictureObject(std::unique_ptr<TGIFImage> gif) : FGif(std::move(gif)) {}
TPictureObject::~TPictureObject() = default;

TBitmapItem::TBitmapItem(std::unique_ptr<TPictureObject> image, TTranspType transp,
                         std::unique_ptr<platform::Bitmap> mask)
    : Transp(transp), MImage(std::move(image)), Mask(std::move(mask))
{
}

void TStringBitmapList::SetSorted(bool value)
{
    if (value && !FSorted)
        std::stable_sort(FItems.begin(), FItems.end(),
                         [](const Entry& a, const Entry& b) { return platform::CompareTextAscii(a.Key, b.Key) < 0; });
    FSorted = value;
}

int TStringBitmapList::Find(const std::string& key, bool& found) const
{
    found = false;
    if (!FSorted) {
        for (size_t i = 0; i < FItems.size(); ++i)
            if (platform::CompareTextAscii(FItems[i].Key, key) == 0) {
                found = true;
                return int(i);
            }
        return int(FItems.size());
    }
    int lo = 0, hi = int(FItems.size()) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = platform::CompareTextAscii(FItems[size_t(mid)].Key, key);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    return lo;
}

int TStringBitmapList::IndexOf(const std::string& key) const
{
    bool found;
    int i = Find(key, found);
    return found ? i : -1;
}

int TStringBitmapList::AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item)
{
    if (item)
        ++item->UsageCount;
    bool found;
    int at = FSorted ? Find(key, found) : int(FItems.size());
    FItems.insert(FItems.begin() + at, Entry{key, std::move(item)});
    return at;
}

void TStringBitmapList::DecUsage(const std::string& key)
{
    int i = IndexOf(key);
    if (i >= 0 && FItems[size_t(i)].Item)
        --FItems[size_t(i)].Item->UsageCount;
}

void TStringBitmapList::SetCacheCount(int n)
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TBitmapItem* item = FItems[size_t(i)].Item.get();
        if (item && item->AccessCount > n && item->UsageCount <= 0)
            FItems.erase(FItems.begin() + i);
    }
    FMaxCache = n;
}

TPictureObject* TStringBitmapList::GetImage(int index)
{
    TBitmapItem* item = FItems.at(size_t(index)).Item.get();
    if (!item)
        return nullptr;
    item->AccessCount = 0;
    ++item->UsageCount;
    return item->MImage.get();
}

void TStringBitmapList::PurgeCache()
{
    for (int i = Count() - 1; i >= 0; --i) {
        TBitmapItem* item = FItems[size_t(i)].Item.get();
        if (!item)
            continue;
        ++item->AccessCount;
        if (item->AccessCount > FMaxCache && item->UsageCount < 1)
            FItems.erase(FItems.begin() + i);
    }
}
