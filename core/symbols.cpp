// Name tables of the reader: tags with their start and end symbols, attribute names, and the
// readable names of every symbol.

#include "core/symbols.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

struct TagEntry {
    std::string_view Name;
    Symbol Start;
    Symbol End;  // OtherSy for tags without an end tag
};

// The first 57 entries have end tags, the rest are start tags only.
constexpr TagEntry TagTable[] = {
    {"HTML", HtmlSy, HtmlEndSy}, {"TITLE", TitleSy, TitleEndSy}, {"BODY", BodySy, BodyEndSy},
    {"HEAD", HeadSy, HeadEndSy}, {"B", BSy, BEndSy}, {"I", ISy, IEndSy}, {"H", HeadingSy, HeadingEndSy},
    {"EM", EmSy, EmEndSy}, {"STRONG", StrongSy, StrongEndSy}, {"U", USy, UEndSy},
    {"CITE", CiteSy, CiteEndSy}, {"VAR", VarSy, VarEndSy}, {"TT", TTSy, TTEndSy},
    {"CODE", CodeSy, CodeEndSy}, {"KBD", KbdSy, KbdEndSy}, {"SAMP", SampSy, SampEndSy},
    {"OL", OLSy, OLEndSy}, {"UL", ULSy, ULEndSy}, {"DIR", DirSy, DirEndSy}, {"MENU", MenuSy, MenuEndSy},
    {"DL", DLSy, DLEndSy}, {"A", ASy, AEndSy}, {"ADDRESS", AddressSy, AddressEndSy},
    {"BLOCKQUOTE", BlockQuoteSy, BlockQuoteEndSy}, {"PRE", PreSy, PreEndSy},
    {"CENTER", CenterSy, CenterEndSy}, {"TABLE", TableSy, TableEndSy}, {"TD", TDSy, TDEndSy},
    {"TH", THSy, THEndSy}, {"CAPTION", CaptionSy, CaptionEndSy}, {"FORM", FormSy, FormEndSy},
    {"TEXTAREA", TextAreaSy, TextAreaEndSy}, {"SELECT", SelectSy, SelectEndSy},
    {"OPTION", OptionSy, OptionEndSy}, {"FONT", FontSy, FontEndSy}, {"SUB", SubSy, SubEndSy},
    {"SUP", SupSy, SupEndSy}, {"BIG", BigSy, BigEndSy}, {"SMALL", SmallSy, SmallEndSy}, {"P", PSy, PEndSy},
    {"MAP", MapSy, MapEndSy}, {"FRAMESET", FrameSetSy, FrameSetEndSy},
    {"NOFRAMES", NoFramesSy, NoFramesEndSy}, {"SCRIPT", ScriptSy, ScriptEndSy}, {"DIV", DivSy, DivEndSy},
    {"S", SSy, SEndSy}, {"STRIKE", StrikeSy, StrikeEndSy}, {"TR", TRSy, TREndSy},
    {"NOBR", NoBrSy, NoBrEndSy}, {"STYLE", StyleSy, StyleEndSy}, {"SPAN", SpanSy, SpanEndSy},
    {"COLGROUP", ColGroupSy, ColGroupEndSy}, {"LABEL", LabelSy, LabelEndSy},
    {"THEAD", THeadSy, THeadEndSy}, {"TBODY", TBodySy, TBodyEndSy}, {"TFOOT", TFootSy, TFootEndSy},
    {"OBJECT", ObjectSy, ObjectEndSy},
    {"LI", LISy, OtherSy}, {"BR", BRSy, OtherSy}, {"HR", HRSy, OtherSy}, {"DD", DDSy, OtherSy},
    {"DT", DTSy, OtherSy}, {"IMG", ImageSy, OtherSy}, {"BASE", BaseSy, OtherSy},
    {"BUTTON", ButtonSy, OtherSy}, {"INPUT", InputSy, OtherSy}, {"SELECTED", SelectedSy, OtherSy},
    {"BASEFONT", BaseFontSy, OtherSy}, {"AREA", AreaSy, OtherSy}, {"FRAME", FrameSy, OtherSy},
    {"PAGE", PageSy, OtherSy}, {"BGSOUND", BGSoundSy, OtherSy}, {"WRAP", WrapSy, OtherSy},
    {"META", MetaSy, OtherSy}, {"PANEL", PanelSy, OtherSy}, {"WBR", WbrSy, OtherSy},
    {"LINK", LinkSy, OtherSy}, {"COL", ColSy, OtherSy}, {"PARAM", ParamSy, OtherSy},
    {"READONLY", ReadonlySy, OtherSy},
};
static_assert(std::size(TagTable) == 80);

struct AttrEntry {
    std::string_view Name;
    Symbol Sym;
};

constexpr AttrEntry AttrTable[] = {
    {"HREF", HrefSy}, {"NAME", NameSy}, {"SRC", SrcSy}, {"ALT", AltSy}, {"ALIGN", AlignSy},
    {"TEXT", TextSy}, {"BGCOLOR", BGColorSy}, {"LINK", LinkSy}, {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy}, {"ROWSPAN", RowSpanSy}, {"BORDER", BorderSy}, {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy}, {"VALIGN", VAlignSy}, {"WIDTH", WidthSy}, {"START", StartSy},
    {"VALUE", ValueSy}, {"TYPE", TypeSy}, {"CHECKBOX", CheckBoxSy}, {"RADIO", RadioSy},
    {"METHOD", MethodSy}, {"ACTION", ActionSy}, {"CHECKED", CheckedSy}, {"SIZE", SizeSy},
    {"MAXLENGTH", MaxLengthSy}, {"COLS", ColsSy}, {"ROWS", RowsSy}, {"MULTIPLE", MultipleSy},
    {"VALUE", ValueSy}, {"SELECTED", SelectedSy}, {"FACE", FaceSy}, {"COLOR", ColorSy},
    {"TRANSP", TranspSy}, {"CLEAR", ClearSy}, {"ISMAP", IsMapSy}, {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy}, {"SHAPE", ShapeSy}, {"COORDS", CoordsSy}, {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy}, {"PLAIN", PlainSy}, {"TARGET", TargetSy}, {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy}, {"HSPACE", HSpaceSy}, {"LANGUAGE", LanguageSy},
    {"FRAMEBORDER", FrameBorderSy}, {"MARGINWIDTH", MarginWidthSy}, {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy}, {"ONCLICK", OnClickSy}, {"WRAP", WrapSy}, {"NOSHADE", NoShadeSy},
    {"HTTP-EQUIV", HttpEqSy}, {"CONTENT", ContentSy}, {"ENCTYPE", EncTypeSy}, {"VLINK", VLinkSy},
    {"OLINK", OLinkSy}, {"ACTIVE", ActiveSy}, {"VSPACE", VSpaceSy}, {"CLASS", ClassSy}, {"ID", IDSy},
    {"STYLE", StyleSy}, {"REL", RelSy}, {"REV", RevSy}, {"NOWRAP", NoWrapSy},
    {"BORDERCOLORLIGHT", BorderColorLightSy}, {"BORDERCOLORDARK", BorderColorDarkSy},
    {"CHARSET", CharSetSy}, {"RATIO", RatioSy}, {"TITLE", TitleSy}, {"ONFOCUS", OnFocusSy},
    {"ONBLUR", OnBlurSy}, {"ONCHANGE", OnChangeSy}, {"SPAN", SpanSy}, {"TABINDEX", TabIndexSy},
    {"BGPROPERTIES", BGPropertiesSy}, {"DISABLED", DisabledSy}, {"TOPMARGIN", TopMarginSy},
    {"LEFTMARGIN", LeftMarginSy}, {"LABEL", LabelSy}, {"READONLY", ReadonlySy},
};
static_assert(std::size(AttrTable) == 84);

// Sorted copies for binary search, made once.
template <typename Entry>
std::vector<Entry> Sorted(const Entry* first, std::size_t count)
{
    std::vector<Entry> v(first, first + count);
    std::stable_sort(v.begin(), v.end(), [](const Entry& a, const Entry& b) { return a.Name < b.Name; });
    return v;
}

const std::vector<TagEntry>& SortedTags()
{
    static const std::vector<TagEntry> v = Sorted(TagTable, std::size(TagTable));
    return v;
}

const std::vector<AttrEntry>& SortedAttrs()
{
    static const std::vector<AttrEntry> v = Sorted(AttrTable, std::size(AttrTable));
    return v;
}

template <typename Entry>
const Entry* Find(const std::vector<Entry>& v, std::string_view name)
{
    auto it = std::lower_bound(v.begin(), v.end(), name,
                               [](const Entry& e, std::string_view n) { return e.Name < n; });
    return (it != v.end() && it->Name == name) ? &*it : nullptr;
}

std::array<std::string, MaxSymbol + 1> BuildNames()
{
    std::array<std::string, MaxSymbol + 1> names;
    for (int i = 0; i <= MaxSymbol; ++i)
        names[std::size_t(i)] = "(unused " + std::to_string(i) + ")";
    for (const AttrEntry& e : AttrTable)
        names[e.Sym] = std::string(e.Name) + "=";
    for (const TagEntry& e : TagTable) {
        names[e.Start] = std::string(e.Name);  // tags win over attributes of the same name
        if (e.End != OtherSy)
            names[e.End] = "/" + std::string(e.Name);
    }
    names[OtherAttribute] = "(unknown attribute)";
    names[OtherChar] = "(character)";
    names[OtherSy] = "(unknown tag)";
    names[TextSy] = "(text)";
    names[EofSy] = "(end of input)";
    names[EolSy] = "(line break)";
    return names;
}

}  // namespace

std::string_view SymbolName(Symbol sy)
{
    static const std::array<std::string, MaxSymbol + 1> names = BuildNames();
    if (sy > MaxSymbol)
        return "(out of range)";
    return names[sy];
}

Symbol LookupStartTag(std::string_view name)
{
    const TagEntry* e = Find(SortedTags(), name);
    return e ? e->Start : OtherSy;
}

Symbol LookupEndTag(std::string_view name)
{
    const TagEntry* e = Find(SortedTags(), name);
    return e ? e->End : OtherSy;
}

Symbol LookupAttribute(std::string_view name)
{
    const AttrEntry* e = Find(SortedAttrs(), name);
    return e ? e->Sym : OtherAttribute;
}
