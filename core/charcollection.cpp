#include "core/charcollection.h"

#include <algorithm>
#include <cstring>

namespace {

// Geometric growth of the storage under the stepped room.
void Reserve(std::vector<char>& bytes, std::vector<int>& indices, std::size_t n)
{
    if (bytes.size() < n) {
        std::size_t size = std::max(n, bytes.size() * 2);
        bytes.resize(size);
        indices.resize(size);
    }
}

}  // namespace

TCharCollection::TCharCollection()
{
    Grow(300);
}

void TCharCollection::Grow(int capacity)
{
    Reserve(FBytes, FIndices, std::size_t(capacity));
    FCapacity = capacity;
}

void TCharCollection::AppendCollection(const TCharCollection& other)
{
    const int total = FCount + other.FCount;
    if (total >= FCapacity)
        Grow(total + 50);
    if (other.FCount > 0) {
        std::memcpy(FBytes.data() + FCount, other.FBytes.data(), std::size_t(other.FCount));
        std::memcpy(FIndices.data() + FCount, other.FIndices.data(), std::size_t(other.FCount) * sizeof(int));
    }
    FCount = total;
}
