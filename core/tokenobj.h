#pragma once
// TokenObj: the UTF-16 text of a run with, for each code unit, the source index of the document byte at
// which its character began.

#include <string>
#include <vector>

class TCharCollection;

class TokenObj {
public:
    TokenObj();

    void AppendChar(char16_t c, int sourceIndex)
    {
        if (FCount == FCapacity)
            Grow(FCount + 50);
        FChars[std::size_t(FCount)] = c;
        FIndices[std::size_t(FCount)] = sourceIndex;
        ++FCount;
        FCurrent = false;
    }
    // Converts the collection's bytes from the code page and appends them, each unit paired with the
    // source index of the first byte of its character.
    void AppendBytes(const TCharCollection& bytes, int codePage);
    void Reset()
    {
        FCount = 0;
        FCache.clear();
        FCurrent = true;
    }

    const std::u16string& Text();
    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    const char16_t* Chars() const { return FChars.data(); }
    const int* Indices() const { return FIndices.data(); }
    char16_t CharAt(int i) const { return FChars[std::size_t(i)]; }
    int IndexAt(int i) const { return FIndices[std::size_t(i)]; }

private:
    void Grow(int capacity);
    // Makes room for n more entries (several appends at once).
    void Ensure(int n)
    {
        if (FCount + n > FCapacity)
            Grow(FCapacity + (FCount + n - FCapacity + 49) / 50 * 50);
    }

    std::u16string FCache;
    bool FCurrent = true;
    std::vector<char16_t> FChars;
    std::vector<int> FIndices;
    int FCapacity = 0;  // the room as the growth steps give it (300, 350, 400 …)
    int FCount = 0;
};
