#include "core/attributes.h"

#include "platform/asciitext.h"

#include <algorithm>

namespace {

void NoDelete(TProperties*) {}

}  // namespace

TAttributeList::TAttributeList() : FProps(nullptr, NoDelete) {}

TAttributeList::~TAttributeList() = default;

void TAttributeList::Reset()
{
    FIdKey.clear();
    FreeAll();
}

TAttribute* TAttributeList::Find(Symbol sym) const
{
    for (const auto& a : FItems)
        if (a->Sym == sym)
            return a.get();
    return nullptr;
}

std::vector<std::string> TAttributeList::ToStringList() const
{
    std::vector<std::string> lines;
    lines.reserve(FItems.size());
    for (const auto& a : FItems)
        lines.push_back(a->AttrName + "=" + a->StrValue);
    return lines;
}

std::string TAttributeList::ClassKey() const
{
    const TAttribute* a = Find(ClassSy);
    if (!a)
        return {};
    std::string value = platform::LowerAscii(platform::TrimBlanks(a->StrValue));
    if (value.find(' ') == std::string::npos)
        return value;
    std::vector<std::string> pieces;
    std::size_t i = 0;
    while (i < value.size()) {
        std::size_t j = value.find(' ', i);
        if (j == std::string::npos)
            j = value.size();
        std::string piece = platform::TrimBlanks(value.substr(i, j - i));
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        i = j + 1;
    }
    // The order the style sheet gives the classes of a selector: sorted, each class once.
    std::sort(pieces.begin(), pieces.end());
    pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
    std::string key;
    for (const std::string& p : pieces) {
        if (!key.empty())
            key += '.';
        key += p;
    }
    return key;
}

std::string TAttributeList::IdKey()
{
    if (!FIdKey.empty())
        return FIdKey;
    if (const TAttribute* a = Find(IDSy))
        FIdKey = platform::LowerAscii(a->StrValue);
    return FIdKey;
}

std::string TAttributeList::TitleText() const
{
    const TAttribute* a = Find(TitleSy);
    return a ? a->StrValue : std::string();
}

TProperties* TAttributeList::InlineStyle()
{
    const TAttribute* a = Find(StyleSy);
    if (!a)
        return nullptr;
    FProps.reset();
    if (StyleParser)
        FProps = StyleParser(a->StrValue);
    return FProps.get();
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            s += "\r\n";
        s += lines[i];
    }
    return s;
}
