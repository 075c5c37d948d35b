#pragma once
// TCharCollection: the raw bytes of a text run with the source index of each, gathered before the run
// is converted to UTF-16 in one call (so that multibyte code pages convert correctly).

#include <string>
#include <string_view>
#include <vector>

class TCharCollection {
public:
    TCharCollection();

    // Room grows in steps of 50 entries from 300 (the room reported by Capacity); the storage under it
    // grows geometrically, so long runs stay linear.
    void Append(char byte, int sourceIndex)
    {
        if (FCount == FCapacity)
            Grow(FCount + 50);
        FBytes[std::size_t(FCount)] = byte;
        FIndices[std::size_t(FCount)] = sourceIndex;
        ++FCount;
    }
    void AppendCollection(const TCharCollection& other);
    void Reset() { FCount = 0; }

    std::string Bytes() const { return std::string(FBytes.data(), std::size_t(FCount)); }
    std::string_view View() const { return std::string_view(FBytes.data(), std::size_t(FCount)); }
    const int* Indices() const { return FIndices.data(); }
    int Length() const { return FCount; }
    int Capacity() const { return FCapacity; }

private:
    void Grow(int capacity);

    std::vector<char> FBytes;
    std::vector<int> FIndices;
    int FCount = 0;
    int FCapacity = 0;
};
