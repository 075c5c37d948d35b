#include "layout/texthelpers.h"

#include <vector>

#include "platform/canvas.h"
#include "platform/codepage.h"

int TextExtent(const platform::Canvas& canvas, const char16_t* chars, int n)
{
    if (n <= 0)
        return 0;
    return canvas.GetTextExtentPoint32W(chars, n).cx;
}

void TextFit(const platform::Canvas& canvas, const char16_t* chars, int n, int maxWidth, int& fit, int& width)
{
    fit = 0;
    width = 0;
    if (maxWidth <= 0 || n <= 0)
        return;
    thread_local std::vector<int> dx;  // reused: measuring runs on every layout
    if (dx.size() < std::size_t(n))
        dx.resize(std::size_t(n));
    canvas.GetTextExtentExPointW(chars, n, maxWidth, &fit, dx.data());
    width = fit > 0 ? dx[std::size_t(fit - 1)] : 0;
}

std::u16string WideUpperCase(const std::u16string& s)
{
    std::u16string r = s;
    platform::WideUpperInPlace(r);
    return r;
}

std::u16string WideLowerCase(const std::u16string& s)
{
    std::u16string r = s;
    platform::WideLowerInPlace(r);
    return r;
}

std::u16string WideTrim(const std::u16string& s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && s[b] < 33)
        ++b;
    while (e > b && s[e - 1] < 33)
        --e;
    return s.substr(b, e - b);
}
