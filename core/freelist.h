#pragma once
// TFreeList: a list that owns its items. Clearing or destroying it frees them, in index order.

#include <cstddef>
#include <memory>
#include <vector>

template <typename T>
class TFreeList {
public:
    TFreeList() = default;
    TFreeList(const TFreeList&) = delete;
    TFreeList& operator=(const TFreeList&) = delete;
    virtual ~TFreeList() { FreeAll(); }

    // Frees every item (first to last) and empties the list.
    void FreeAll()
    {
        for (auto& item : FItems)
            item.reset();
        FItems.clear();
    }

    int Count() const { return int(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    T* operator[](int i) const { return FItems[std::size_t(i)].get(); }
    T* Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }

    T* Add(std::unique_ptr<T> item)
    {
        FItems.push_back(std::move(item));
        return FItems.back().get();
    }
    void Insert(int index, std::unique_ptr<T> item) { FItems.insert(FItems.begin() + index, std::move(item)); }
    // Frees the item at the index.
    void Delete(int index) { FItems.erase(FItems.begin() + index); }
    // Takes the item out without freeing it.
    std::unique_ptr<T> Extract(int index)
    {
        std::unique_ptr<T> p = std::move(FItems[std::size_t(index)]);
        FItems.erase(FItems.begin() + index);
        return p;
    }

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

protected:
    std::vector<std::unique_ptr<T>> FItems;
};
