#include "core/seltext.h"

#include <algorithm>

void SelTextCount::Put(const char16_t* chars, int n)
{
    for (int i = 0; i < n; ++i)
        if (chars[i] != 2 && chars[i] != 4)
            ++Leng;
}

void SelTextCount::PutLine(const char16_t* chars, int n)
{
    static const char16_t crlf[2] = {13, 10};
    Put(chars, n);
    Put(crlf, 2);
}

int SelTextCount::Finish()
{
    return Leng;
}

SelTextBuf::SelTextBuf(char16_t* buffer, int size)
{
    Buffer = buffer;
    BufferSize = std::max(size, 0);
    if (Buffer)
        std::fill(Buffer, Buffer + BufferSize, char16_t(0));
}

void SelTextBuf::Put(const char16_t* chars, int n)
{
    for (int i = 0; i < n; ++i) {
        char16_t c = chars[i];
        if (c == 2 || c == 4 || c == 8)
            continue;
        if (Leng < BufferSize - 1)
            Buffer[Leng++] = c;
    }
}

int SelTextBuf::Finish()
{
    if (Buffer && Leng < BufferSize)
        Buffer[Leng] = 0;
    return Leng + 1;
}
