#include "style/styledump.h"

#include <cstdio>
#include <ostream>

#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

bool IsColourSlot(int i)
{
    return i == piColor || i == piBackgroundColor || i == piBorderColor || (i >= piBorderTopColor && i <= piBorderLeftColor);
}

std::string Describe(int index, const TPropValue& v)
{
    char buf[64];
    switch (v.GetKind()) {
    case TPropValue::Kind::Text:
        return "\"" + v.Text() + "\"";
    case TPropValue::Kind::Real:
        std::snprintf(buf, sizeof buf, "%gpt", v.Real());
        return buf;
    case TPropValue::Kind::Integer:
    case TPropValue::Kind::SmallInt:
        if (v.Int() == NotSet)
            return "NotSet";
        if (v.Int() == AutoValue)
            return "auto";
        if (v.Int() == ParaSpace)
            return "ParaSpace";
        if (IsColourSlot(index)) {
            if (TColor(v.Int()) == NoColor)
                return "none";
            std::snprintf(buf, sizeof buf, "colour 0x%08X", unsigned(v.Int()));
            return buf;
        }
        return std::to_string(v.Int());
    default:
        return "";
    }
}

}  // namespace

void DumpStyleList(const TStyleList& styles, std::ostream& out)
{
    styles.ForEach([&](const std::string& key, const TProperties& p) {
        out << key << '\n';
        for (int s = 0; s < MaxStyleProps; ++s) {
            const TPropValue& v = p.Values[std::size_t(s)];
            if (v.IsEmpty())
                continue;
            if (s >= piMarginTop && s <= piLeft && v.IsOrdinal() && v.Int() == NotSet)
                continue;
            if (s == piZIndex && v.GetKind() == TPropValue::Kind::SmallInt && v.Int() == 0)
                continue;  // every new rule holds it
            out << "  " << PropWords[s] << ": " << Describe(s, v) << '\n';
        }
    });
}

void DumpStyleSheet(const std::string& sheetText, std::ostream& out)
{
    TStyleList styles;
    ParseStyleSheetText(styles, sheetText, "");
    DumpStyleList(styles, out);
}
