#include "core/idobjects.h"

#include "platform/asciitext.h"

#include <algorithm>

int TChPosObj::VerticalPos()
{
    int y = 0;
    if (List && List->FindLineOfCharPos(ChPos, y))
        return y;
    return 0;
}

TIDNameList::~TIDNameList()
{
    Reset();
}

std::size_t TIDNameList::Locate(const std::string& name, bool& found) const
{
    std::size_t lo = 0;
    std::size_t hi = FEntries.size();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        int c = platform::CompareTextAscii(FEntries[mid].Name, name);
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    found = lo < FEntries.size() && platform::CompareTextAscii(FEntries[lo].Name, name) == 0;
    return lo;
}

int TIDNameList::IndexOf(const std::string& name) const
{
    bool found = false;
    std::size_t i = Locate(name, found);
    return found ? int(i) : -1;
}

int TIDNameList::AddName(const std::string& name, TIDObject* obj)
{
    bool found = false;
    std::size_t i = Locate(name, found);
    if (found)
        FEntries.erase(FEntries.begin() + std::ptrdiff_t(i));  // frees an owned position with it
    FEntries.insert(FEntries.begin() + std::ptrdiff_t(i), Entry{name, obj, nullptr});
    return int(i);
}

int TIDNameList::AddCharPos(const std::string& name, int pos)
{
    auto owned = std::make_unique<TChPosObj>(FList, pos);
    TChPosObj* p = owned.get();
    int i = AddName(name, p);
    FEntries[std::size_t(i)].Owned = std::move(owned);
    return i;
}

void TIDNameList::RemoveObject(const TIDObject* obj)
{
    FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(),
                                  [obj](const Entry& e) { return e.Obj == obj; }),
                   FEntries.end());
}

void TIDNameList::Reset()
{
    FEntries.clear();
}
