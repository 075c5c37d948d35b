#include "style/fonts.h"

#include <algorithm>
#include <vector>

#include "platform/canvas.h"
#include "platform/sysvalues.h"

namespace {

// Installed face names sorted case-insensitively, read once.
const std::vector<std::string>& InstalledNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v = platform::InstalledFontNames();
        std::stable_sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
        return v;
    }();
    return names;
}

// The installed spelling of a face name, or empty.
std::string InstalledName(std::string_view name)
{
    const auto& v = InstalledNames();
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const std::string& a, std::string_view n) { return CompareText(a, n) < 0; });
    if (it != v.end() && SameText(*it, name))
        return *it;
    return platform::FontInstalled(std::string(name)) ? std::string(name) : std::string();
}

}  // namespace

std::string FirstInstalledFont(std::string_view familyList)
{
    std::size_t start = 0;
    while (start <= familyList.size()) {
        std::size_t comma = familyList.find(',', start);
        std::string_view part = familyList.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        std::string name = Trim(part);
        if (SameText(name, "serif"))
            name = "Times New Roman";
        else if (SameText(name, "monospace"))
            name = "Courier New";
        else if (SameText(name, "sans-serif"))
            name = "Arial";
        else if (SameText(name, "cursive"))
            name = "Lucida Handwriting";
        if (!name.empty() && (name.back() == '"' || name.back() == '\''))
            name.pop_back();
        if (!name.empty() && (name.front() == '"' || name.front() == '\''))
            name.erase(0, 1);
        if (!name.empty()) {
            std::string found = InstalledName(name);
            if (!found.empty())
                return found;
        }
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return {};
}

platform::LogFont TMyFont::LogFont() const
{
    platform::LogFont lf;
    lf.Name = Name;
    lf.Height = Height;
    lf.Weight = (Style & fsBold) ? platform::FW_BOLD : platform::FW_NORMAL;
    lf.Italic = (Style & fsItalic) != 0;
    lf.Underline = (Style & fsUnderline) != 0;
    lf.StrikeOut = (Style & fsStrikeOut) != 0;
    lf.Charset = Charset;
    return lf;
}

platform::Font TMyFont::Handle() const
{
    if (FRealised) {
        const platform::LogFont& d = FRealised->Description();
        if (d.Height == Height && d.Charset == Charset && d.Bold() == ((Style & fsBold) != 0) &&
            d.Italic == ((Style & fsItalic) != 0) && d.Underline == ((Style & fsUnderline) != 0) &&
            d.StrikeOut == ((Style & fsStrikeOut) != 0) && d.Name == Name)
            return *FRealised;
    }
    FRealised.emplace(LogFont());
    return *FRealised;
}

void TMyFont::StoreMetrics()
{
    const platform::TextMetrics& tm = Handle().Metrics();
    tmHeight = tm.tmHeight;
    tmDescent = tm.tmDescent;
    tmExternalLeading = tm.tmExternalLeading;
    tmAveCharWidth = tm.tmAveCharWidth;
    tmMaxCharWidth = tm.tmMaxCharWidth;
    tmCharset = tm.tmCharSet;
}

void TMyFont::SelectInto(platform::Canvas& canvas) const
{
    canvas.SetFont(Handle());
    canvas.SetTextColor(Color);
    canvas.SetTextCharacterExtra(CharExtra);
}

void TMyFont::ApplyInfo(const ThtFontInfo& info)
{
    Name = info.iName;
    double px = double(platform::SysValues().PixelsPerInch) * info.iSize / 72.0;
    Height = -platform::Round(std::clamp(px, -MaxPixels, MaxPixels));
    Style = info.iStyle;
    bgColor = info.ibgColor;
    Color = info.iColor;
    Charset = info.iCharset;
}
