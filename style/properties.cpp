#include "style/properties.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/sysvalues.h"
#include "style/propstack.h"
#include "style/stylelist.h"

const char* const PropWords[MaxStyleProps] = {
    "font-family", "font-size", "font-style", "font-weight", "text-align", "text-decoration", "letter-spacing",
    "border-style", "color", "background-color", "border-color",
    "margin-top", "margin-right", "margin-bottom", "margin-left",
    "padding-top", "padding-right", "padding-bottom", "padding-left",
    "border-top-width", "border-right-width", "border-bottom-width", "border-left-width",
    "border-top-color", "border-right-color", "border-bottom-color", "border-left-color",
    "border-top-style", "border-right-style", "border-bottom-style", "border-left-style",
    "width", "height", "top", "left",
    "visibility", "line-height", "background-image", "background-position", "background-repeat",
    "background-attachment", "vertical-align", "position", "z-index", "list-style-type", "list-style-image",
    "float", "clear", "text-indent", "page-break-before", "page-break-after", "page-break-inside",
    "text-transform", "word-wrap", "font-variant", "border-collapse", "overflow", "display",
};

namespace {

int g_serial = 0;

struct NameIndex {
    std::string_view name;
    int index;
};

const std::array<NameIndex, MaxStyleProps>& SortedPropWords()
{
    static const std::array<NameIndex, MaxStyleProps> sorted = [] {
        std::array<NameIndex, MaxStyleProps> a;
        for (int i = 0; i < MaxStyleProps; ++i)
            a[std::size_t(i)] = {PropWords[i], i};
        std::sort(a.begin(), a.end(), [](const NameIndex& x, const NameIndex& y) { return x.name < y.name; });
        return a;
    }();
    return sorted;
}

bool IsNonInherited(int i)
{
    switch (i) {
    case piBorderStyle: case piBackgroundColor: case piBorderColor: case piBackgroundImage:
    case piBackgroundPosition: case piBackgroundRepeat: case piBackgroundAttachment: case piPosition:
    case piFloat: case piClear: case piPageBreakBefore: case piPageBreakAfter: case piPageBreakInside:
    case piBorderCollapse: case piOverflow: case piDisplay:
        return true;
    default:
        return false;
    }
}

bool IsBoxSlot(int i) { return i >= piMarginTop && i <= piLeft; }

bool IsFontSlot(int i)
{
    switch (i) {
    case piFontFamily: case piFontSize: case piFontStyle: case piFontWeight: case piTextDecoration:
    case piLetterSpacing: case piColor: case piBackgroundColor:
        return true;
    default:
        return false;
    }
}

TPropValue ColorValue(TColor c) { return TPropValue::FromInt(static_cast<std::int32_t>(c)); }

// Character set -> code page; the last row is the private value for ISO 8859-2.
struct CharsetRow {
    int charset;
    int codePage;
};
constexpr CharsetRow kCharsetTable[] = {
    {0, 1252}, {1, 0}, {2, 0}, {77, 2}, {128, 932}, {129, 949}, {130, 1361}, {134, 936}, {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
    {238, 1250}, {255, 1}, {31, 28592},
};

const char* const kBorderStyles[] = {"none", "solid", "inset", "outset", "groove", "ridge", "dashed", "dotted", "double"};
const char* const kListStyles[] = {"blank", "circle", "decimal", "disc", "lower-alpha",
                                    "lower-roman", "none", "square", "upper-alpha", "upper-roman"};

BorderStyleType BorderStyleFromText(std::string_view s)
{
    for (int i = 0; i < 9; ++i)
        if (s == kBorderStyles[i])
            return BorderStyleType(i);
    return bssNone;
}

// A length slot in pixels: text converts, integers are taken, NotSet and empty slots give notSet.
int SlotPixels(const TPropValue& v, int base, int em, int ex, int def, int notSet)
{
    if (v.IsText())
        return LengthToPixels(v.Text(), false, base, em, ex, def);
    if (v.IsOrdinal())
        return v.Int() == NotSet ? notSet : v.Int();
    return notSet;
}

// A border colour: an rgba( ) with alpha 0 leaves the side as if no colour had been given ("transparent"
// keeps its own meaning).
bool ParseBorderColor(std::string_view text, TColor& c)
{
    return ParseColor(text, false, c) && !(c == NoColor && Contains(text, "rgba"));
}

// The decorations a text-decoration value names. Every word must be one of underline, overline,
// line-through and blink ("none" stands alone); the drawn ones are underline and line-through. A value
// with any other word answers false and is ignored.
bool ReadDecorations(std::string_view text, bool& underline, bool& strike, bool& none)
{
    underline = strike = none = false;
    bool any = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view word = text.substr(start, end - start);
        start = end + 1;
        if (word.empty())
            continue;
        if (word == "underline")
            underline = true;
        else if (word == "line-through")
            strike = true;
        else if (word == "none")
            none = true;
        else if (word != "overline" && word != "blink")
            return false;
        if (none && any)
            return false;
        any = true;
    }
    return any && !(none && (underline || strike));
}

bool WeightIsBold(const TPropValue& v)
{
    if (v.IsText())
        return Contains(v.Text(), "bold") || StrToIntDef(v.Text(), 0) > 599;
    if (v.IsOrdinal() || v.IsReal())
        return v.Real() > 599;
    return false;
}

}  // namespace

int PropertyIndex(std::string_view name)
{
    const auto& a = SortedPropWords();
    auto it = std::lower_bound(a.begin(), a.end(), name, [](const NameIndex& x, std::string_view n) { return x.name < n; });
    if (it == a.end() || it->name != name)
        return -1;
    return it->index;
}

bool AssignPropertyText(TProperties& p, int index, std::string_view text, bool inlineAttr)
{
    auto& v = p.Values;
    TColor c;
    switch (index) {
    case piBorderStyle:
        v[piBorderStyle] = TPropValue::FromText(text);
        for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i)
            v[std::size_t(i)] = TPropValue::FromText(text);
        return true;
    case piColor:
        if (ParseColor(text, false, c))
            v[piColor] = ColorValue(c);
        else if (inlineAttr)
            v[piColor] = TPropValue::FromInt(0);
        else
            return false;
        return true;
    case piBackgroundColor:
        v[piBackgroundColor] = ColorValue(ParseColor(text, false, c) ? c : NoColor);
        return true;
    case piBorderColor:
        if (!ParseBorderColor(text, c))
            return false;
        v[piBorderColor] = ColorValue(c);
        for (int i = piBorderTopColor; i <= piBorderLeftColor; ++i)
            v[std::size_t(i)] = ColorValue(c);
        return true;
    case piBorderTopColor: case piBorderRightColor: case piBorderBottomColor: case piBorderLeftColor:
        if (!ParseBorderColor(text, c))
            return false;
        v[std::size_t(index)] = ColorValue(c);
        return true;
    case piBorderTopStyle: case piBorderRightStyle: case piBorderBottomStyle: case piBorderLeftStyle:
        v[std::size_t(index)] = TPropValue::FromText(text);
        if (text != "none")
            v[piBorderStyle] = TPropValue::FromText(text);
        return true;
    case piVisibility:
        if (text == "visible")
            v[piVisibility] = TPropValue::FromSmall(VisVisible);
        else if (text == "hidden")
            v[piVisibility] = TPropValue::FromSmall(VisHidden);
        else
            return false;
        return true;
    case piTextTransform:
        v[piTextTransform] = TPropValue::FromSmall(text == "uppercase" ? 1 : text == "lowercase" ? 2 : 0);
        return true;
    case piWordWrap:
        v[piWordWrap] = TPropValue::FromText(text == "break-word" ? "break-word" : "normal");
        return true;
    case piPaddingTop: case piPaddingRight: case piPaddingBottom: case piPaddingLeft:
        if (IsNegativeLength(text))
            return false;  // a negative padding is no padding: the earlier value stays
        v[std::size_t(index)] = TPropValue::FromText(text);
        return true;
    case piFontVariant:
        if (text != "small-caps" && text != "normal")
            return false;
        v[piFontVariant] = TPropValue::FromText(text);
        return true;
    default:
        if (index < 0 || index >= MaxStyleProps)
            return false;
        v[std::size_t(index)] = TPropValue::FromText(text);
        return true;
    }
}

TProperties::TProperties()
{
    for (int i = piMarginTop; i <= piLeft; ++i)
        Values[std::size_t(i)] = TPropValue::FromInt(NotSet);
    Values[piZIndex] = TPropValue::FromSmall(0);
    Serial = g_serial++;
}

void TProperties::Reset()
{
    FontCache.reset();
    HasLinkFonts = false;
    FallbackFont.clear();
    for (std::string* text : {&ElemTag, &ElemClass, &ElemId, &ElemPseudo, &ElemTitle})
        text->clear();
    InlineProps = nullptr;
    FontBackground = NoColor;
    Charset = 1;
    CodePage = 0;
    EmHeight = 0;
    ExHeight = 0;
    for (TPropValue& v : Values)
        v.Clear();
    for (int i = piMarginTop; i <= piLeft; ++i)
        Values[std::size_t(i)] = TPropValue::FromInt(NotSet);
    Values[piZIndex] = TPropValue::FromSmall(0);
    Explicit.fill(false);
    LinkFonts.reset();
    Serial = g_serial++;
}

TProperties::~TProperties() = default;

void TProperties::Inherit(std::string_view tag, const TProperties& parent)
{
    if (parent.ElemTag == "span") {
        Values = parent.Values;
        Values[piBorderStyle].Clear();
    } else if (parent.ElemTag == "thead" || parent.ElemTag == "tbody" || parent.ElemTag == "tfoot") {
        Values = parent.Values;
        Explicit = parent.Explicit;
    } else {
        for (int i = 0; i < MaxStyleProps; ++i) {
            auto& slot = Values[std::size_t(i)];
            if (IsNonInherited(i))
                slot.Clear();
            else if (IsBoxSlot(i))
                slot = TPropValue::FromInt(NotSet);
            else if (i == piWordWrap && tag == "table")
                slot = TPropValue::FromText("normal");
            else
                slot = parent.Values[std::size_t(i)];
        }
    }
    FallbackFont = parent.FallbackFont;
    FontBackground = parent.FontBackground;
    Charset = parent.Charset;
    CodePage = parent.CodePage;
    ElemTitle = parent.ElemTitle;
    if (parent.HasLinkFonts && parent.LinkFonts) {
        LinkFonts = std::make_unique<TFontInfoArray>(*parent.LinkFonts);
        HasLinkFonts = true;
    }
    EmHeight = parent.EmHeight;
    ExHeight = EmHeight / 2;
    FontCache.reset();
}

void TProperties::InitFromDefault(const TProperties& defaultProps)
{
    Values = defaultProps.Values;
    AssignCharset(defaultProps.Charset);
    FallbackFont = defaultProps.FallbackFont;
    ElemTag = "default";
    FontCache.reset();
}

void TProperties::Refresh(const TProperties& source, TStyleList& styles, int stackIndex)
{
    for (int i = 0; i < MaxStyleProps; ++i)
        if (!Explicit[std::size_t(i)])
            Values[std::size_t(i)] = source.Values[std::size_t(i)];
    FontCache.reset();
    if (LinkFonts) {
        if (source.LinkFonts) {
            LinkFonts->Assign(*source.LinkFonts);
        } else if (ElemPseudo == "link") {
            ComputeLinkFonts(styles, stackIndex);
        } else {
            LinkFonts.reset();
            HasLinkFonts = false;
        }
    }
}

void TProperties::SetUnlessExplicit(const TPropValue& value, int index)
{
    if (index < 0 || index >= MaxStyleProps || Explicit[std::size_t(index)])
        return;
    Values[std::size_t(index)] = value;
    Explicit[std::size_t(index)] = true;
    FontCache.reset();
    if (HasLinkFonts && LinkFonts) {
        for (auto& info : LinkFonts->Ar) {
            if (index == piFontFamily && value.IsText()) {
                std::string name = FirstInstalledFont(value.Text());
                if (!name.empty())
                    info.iName = name;
            } else if (index == piFontSize) {
                info.iSize = value.IsText() ? UsableSizeToPoints(value.Text(), info.iSize) : value.Real();
            } else if (index == piColor) {
                info.iColor = TColor(value.Int());
            }
        }
    }
}

void TProperties::AssignCharset(int cs)
{
    FontCache.reset();
    if (cs == 31) {  // private value: ISO 8859-2
        Charset = 238;
        CodePage = 28592;
        return;
    }
    // What a font asked for with this character set realises: the default set is the system's.
    int realised = cs == platform::DEFAULT_CHARSET ? platform::SysValues().DefaultCharset : cs;
    Charset = cs == platform::DEFAULT_CHARSET ? platform::DEFAULT_CHARSET : realised;
    if (LinkFonts)
        for (auto& info : LinkFonts->Ar)
            info.iCharset = std::uint8_t(Charset);
    for (std::size_t i = 0; i < 19; ++i)
        if (kCharsetTable[i].charset == realised) {
            CodePage = platform::ResolveCodePage(kCharsetTable[i].codePage);
            break;
        }
}

void TProperties::AssignUTF8()
{
    CodePage = platform::CP_UTF8;
    Charset = 0;
    FontCache.reset();
}

void TProperties::AddPropertyByIndex(int index, std::string_view text)
{
    AssignPropertyText(*this, index, text, true);
    FontCache.reset();
}

void TProperties::AddPropertyByName(std::string_view name, std::string_view text)
{
    int index = PropertyIndex(name);
    if (index >= 0)
        AddPropertyByIndex(index, text);
}

void TProperties::MergeRule(const TProperties& rule)
{
    for (int i = 0; i < MaxStyleProps; ++i) {
        const TPropValue& v = rule.Values[std::size_t(i)];
        if (v.IsEmpty())
            continue;
        if (IsBoxSlot(i) && !(v.IsText() || (v.IsOrdinal() && v.Int() != NotSet)))
            continue;
        Values[std::size_t(i)] = v;
        Explicit[std::size_t(i)] = true;
        if (HasLinkFonts && LinkFonts && IsFontSlot(i))
            UpdateLinkFonts(i, v);
    }
    FontCache.reset();
}

void TProperties::UpdateLinkFonts(int index, const TPropValue& v)
{
    const std::string& t = v.Text();
    std::string family = index == piFontFamily && v.IsText() ? FirstInstalledFont(t) : std::string();
    for (ThtFontInfo& info : LinkFonts->Ar) {
        switch (index) {
        case piFontFamily:
            if (!family.empty())
                info.iName = family;
            break;
        case piFontSize:
            info.iSize = v.IsText() ? UsableSizeToPoints(t, info.iSize) : std::clamp(v.Real(), -MaxPoints, MaxPoints);
            break;
        case piFontStyle:
            if (t == "italic" || t == "oblique")
                info.iStyle |= fsItalic;
            else if (t == "normal")
                info.iStyle &= ~fsItalic;
            break;
        case piFontWeight:
            if (v.IsText() && Contains(t, "normal"))
                info.iStyle &= ~fsBold;
            if (WeightIsBold(v))
                info.iStyle |= fsBold;
            break;
        case piTextDecoration: {
            bool underline = false, strike = false, none = false;
            if (!v.IsText() || !ReadDecorations(t, underline, strike, none))
                break;
            if (none)
                info.iStyle &= ~(fsUnderline | fsStrikeOut);
            if (underline)
                info.iStyle |= fsUnderline;
            if (strike)
                info.iStyle |= fsStrikeOut;
            break;
        }
        case piLetterSpacing:
            info.iCharExtra = v;
            break;
        case piColor:
            info.iColor = TColor(v.Int());
            break;
        case piBackgroundColor:
            info.ibgColor = TColor(v.Int());
            break;
        default:
            break;
        }
    }
}

// ---- accessors ----

bool TProperties::GetVertAlign(AlignmentType& align) const
{
    const TPropValue& v = Values[piVerticalAlign];
    if (!v.IsText())
        return false;
    const std::string& s = v.Text();
    if (s == "top" || s == "text-top")
        align = AlignTop;
    else if (s == "middle")
        align = AlignMiddle;
    else if (s == "baseline")
        align = AlignBaseline;
    else if (s == "bottom")
        align = AlignBottom;
    else if (s == "sub")
        align = AlignSub;
    else if (s == "super")
        align = AlignSuper;
    else
        return false;
    return true;
}

bool TProperties::GetFloat(AlignmentType& align) const
{
    const TPropValue& v = Values[piFloat];
    if (v.TextIs("left"))
        align = AlignLeft;
    else if (v.TextIs("right"))
        align = AlignRight;
    else if (v.TextIs("none"))
        align = AlignNone;
    else
        return false;
    return true;
}

bool TProperties::GetClear(ClearType& clear) const
{
    const TPropValue& v = Values[piClear];
    if (v.TextIs("left"))
        clear = ClearLeft;
    else if (v.TextIs("right"))
        clear = ClearRight;
    else if (v.TextIs("both"))
        clear = ClearBoth;
    else if (v.TextIs("none"))
        clear = ClearNone;
    else
        return false;
    return true;
}

PositionType TProperties::GetPosition() const
{
    const TPropValue& v = Values[piPosition];
    if (v.TextIs("absolute"))
        return PosAbsolute;
    if (v.TextIs("relative"))
        return PosRelative;
    return PosStatic;
}

VisibilityType TProperties::GetVisibility() const
{
    const TPropValue& v = Values[piVisibility];
    return v.IsOrdinal() && v.Int() == VisHidden ? VisHidden : VisVisible;
}

int TProperties::GetZIndex() const
{
    const TPropValue& v = Values[piZIndex];
    if (v.IsOrdinal())
        return v.Int();
    if (v.IsText())
        return StrToIntDef(Trim(v.Text()), 0);
    return 0;
}

ListStyleType TProperties::GetListStyleType() const
{
    const TPropValue& v = Values[piListStyleType];
    if (v.IsText())
        for (int i = 0; i < 10; ++i)
            if (v.Text() == kListStyles[i])
                return ListStyleType(i);
    return lbBlank;
}

std::string TProperties::GetListStyleImage() const { return UrlFromValue(Values[piListStyleImage].Text()); }

bool TProperties::GetBackgroundImage(std::string& image) const
{
    const TPropValue& v = Values[piBackgroundImage];
    if (!v.IsText())
        return false;
    if (v.Text() == "none") {
        image.clear();
        return true;
    }
    image = UrlFromValue(v.Text());
    return !image.empty();
}

void TProperties::GetBackgroundPos(int em, int ex, BackgroundPos& x, BackgroundPos& y) const
{
    BackgroundPos p[2];
    bool fixed = Values[piBackgroundAttachment].TextIs("fixed");
    const TPropValue& rep = Values[piBackgroundRepeat];
    for (auto& r : p) {
        r = BackgroundPos{};
        r.Fixed = fixed;
    }
    if (rep.TextIs("no-repeat")) {
        p[0].RepeatD = p[1].RepeatD = false;
    } else if (rep.TextIs("repeat-x")) {
        p[1].RepeatD = false;
    } else if (rep.TextIs("repeat-y")) {
        p[0].RepeatD = false;
    }
    const TPropValue& pos = Values[piBackgroundPosition];
    if (pos.IsText()) {
        std::string s = Trim(pos.Text());
        std::string words[2];
        int count = 1;
        std::size_t blank = s.find(' ');
        if (blank == std::string::npos) {
            words[0] = s;
        } else {
            words[0] = s.substr(0, blank);
            words[1] = Trim(s.substr(blank + 1));
            count = 2;
        }
        int next = 0;     // the axis the next plain word goes to
        int wentTo = 0;   // the axis of the last word
        for (int k = 0; k < count; ++k) {
            const std::string& w = words[k];
            if (w == "left" || w == "right") {
                if (k == 1 && wentTo == 0) {  // the first word described Y after all
                    p[1].PosType = p[0].PosType;
                    p[1].Value = p[0].Value;
                }
                p[0].PosType = w == "left" ? BgLeft : BgRight;
                p[0].Value = 0;
                wentTo = 0;
                next = 1;
            } else if (w == "top" || w == "bottom") {
                p[1].PosType = w == "top" ? BgTop : BgBottom;
                p[1].Value = 0;
                wentTo = 1;
                next = 0;
            } else {
                BackgroundPos& r = p[next];
                if (w == "center") {
                    r.PosType = BgCenter;
                    r.Value = 0;
                } else {
                    r.PosType = Contains(w, "%") ? BgPercent : BgLength;
                    r.Value = LengthToPixels(w, false, 100, em, ex, 0);
                }
                wentTo = next;
                next = 1;
            }
        }
        if (count == 1)
            p[1 - wentTo].PosType = BgCenter;
    }
    x = p[0];
    y = p[1];
}

TColor TProperties::GetBackgroundColor() const
{
    const TPropValue& v = Values[piBackgroundColor];
    return v.IsOrdinal() && Explicit[piBackgroundColor] ? TColor(v.Int()) : NoColor;
}

TColor TProperties::GetColor() const
{
    const TPropValue& v = Values[piColor];
    return v.IsOrdinal() && Explicit[piColor] ? TColor(v.Int()) : NoColor;
}

void TProperties::SetFontBackground()
{
    const TPropValue& v = Values[piBackgroundColor];
    if (v.IsOrdinal() && Explicit[piBackgroundColor])
        FontBackground = TColor(v.Int());
}

BorderStyleType TProperties::GetBorderStyle() const
{
    const TPropValue& v = Values[piBorderStyle];
    return v.IsText() ? BorderStyleFromText(v.Text()) : bssNone;
}

bool TProperties::HasBorderStyle() const { return Values[piBorderStyle].IsText(); }

int TProperties::GetLineHeight(int naturalHeight) const
{
    const TPropValue& v = Values[piLineHeight];
    if (!v.IsText())
        return -1;
    double number;
    if (TryStrToFloat(v.Text(), number))
        return platform::Round(std::clamp(double(naturalHeight) * number, -MaxPixels, MaxPixels));
    return LengthToPixels(v.Text(), true, EmHeight, EmHeight, ExHeight, -1);
}

int TProperties::GetTextIndent(bool& isPercent) const
{
    isPercent = false;
    const TPropValue& v = Values[piTextIndent];
    if (!v.IsText())
        return 0;
    if (!Contains(v.Text(), "%"))
        return LengthToPixels(v.Text(), false, 0, EmHeight, ExHeight, 0);
    isPercent = true;
    return LengthToPixels(v.Text(), true, 100, 0, 0, 0);
}

int TProperties::GetTextTransform() const
{
    const TPropValue& v = Values[piTextTransform];
    return v.IsOrdinal() ? v.Int() : 0;
}

std::string TProperties::GetFontVariant() const
{
    const TPropValue& v = Values[piFontVariant];
    return v.IsText() ? v.Text() : std::string("normal");
}

void TProperties::GetPageBreaks(bool& before, bool& after, bool& inside) const
{
    before = Values[piPageBreakBefore].TextIs("always");
    after = Values[piPageBreakAfter].TextIs("always");
    inside = Values[piPageBreakInside].TextIs("avoid");
}

bool TProperties::DisplayNone() const { return Values[piDisplay].TextIs("none"); }
bool TProperties::IsOverflowHidden() const { return Values[piOverflow].TextIs("hidden"); }
bool TProperties::IsCollapse() const { return Values[piBorderCollapse].TextIs("collapse"); }

namespace {
// Border widths 19..22 for side styles already in m[27..30].
void ConvBorderWidths(const std::array<TPropValue, MaxStyleProps>& values, int base, int em, int ex, MarginArray& m)
{
    for (int i = piBorderTopWidth; i <= piBorderLeftWidth; ++i) {
        const TPropValue& v = values[std::size_t(i)];
        int& r = m[std::size_t(i)];
        if (m[std::size_t(i + 8)] == bssNone)
            r = 0;
        else if (v.TextIs("thin"))
            r = 2;
        else if (v.TextIs("medium"))
            r = 4;
        else if (v.TextIs("thick"))
            r = 6;
        else
            r = SlotPixels(v, base, em, ex, 4, 4);
    }
}

void ConvSideStyles(const std::array<TPropValue, MaxStyleProps>& values, MarginArray& m)
{
    for (int i = piBorderTopStyle; i <= piBorderLeftStyle; ++i) {
        const TPropValue& v = values[std::size_t(i)];
        m[std::size_t(i)] = v.IsText() ? BorderStyleFromText(v.Text()) : bssNone;
    }
}
}  // namespace

void TProperties::ConvMargArray(int baseWidth, int baseHeight, int em, int ex, MarginArray& m, int& autoCount) const
{
    autoCount = 0;
    m.fill(0);
    for (int i = piBackgroundColor; i <= piLeft; ++i)
        m[std::size_t(i)] = Values[std::size_t(i)].Int();
    ConvSideStyles(Values, m);
    for (int i : {piBackgroundColor, piBorderColor})
        m[std::size_t(i)] = Values[std::size_t(i)].IsOrdinal() ? Values[std::size_t(i)].Int() : int(NoColor);
    for (int i : {piMarginRight, piMarginLeft}) {
        const TPropValue& v = Values[std::size_t(i)];
        if (v.TextIs("auto")) {
            m[std::size_t(i)] = AutoValue;
            ++autoCount;
        } else {
            m[std::size_t(i)] = SlotPixels(v, baseWidth, em, ex, 0, 0);
        }
    }
    for (int i = piPaddingTop; i <= piPaddingLeft; ++i)
        m[std::size_t(i)] = std::max(0, SlotPixels(Values[std::size_t(i)], baseWidth, em, ex, 0, 0));
    ConvBorderWidths(Values, baseWidth, em, ex, m);
    for (int i = piBorderTopColor; i <= piBorderLeftColor; ++i)
        m[std::size_t(i)] = SlotPixels(Values[std::size_t(i)], 0, 0, 0, 0, 0);
    m[piWidth] = SlotPixels(Values[piWidth], baseWidth, em, ex, AutoValue, AutoValue);
    if (m[piWidth] == AutoValue)
        ++autoCount;
    const TPropValue& h = Values[piHeight];
    m[piHeight] = SlotPixels(h, baseHeight, em, ex, 0, 0);
    if (h.IsText() && Contains(h.Text(), "%"))
        m[piHeight] -= m[piBorderTopWidth] + m[piBorderBottomWidth] + m[piPaddingTop] + m[piPaddingBottom];
    m[piTop] = SlotPixels(Values[piTop], baseWidth, em, ex, AutoValue, AutoValue);
    m[piLeft] = SlotPixels(Values[piLeft], baseWidth, em, ex, AutoValue, AutoValue);
}

void TProperties::ConvVertMargins(int baseWidth, int em, int ex, int& top, int& bottom, bool& topIsPara,
                                  bool& bottomIsPara) const
{
    auto conv = [&](const TPropValue& v, bool& isPara) {
        isPara = false;
        if (v.IsOrdinal() && v.Int() == ParaSpace) {
            isPara = true;
            return 14;
        }
        return SlotPixels(v, baseWidth, em, ex, 0, 0);
    };
    top = conv(Values[piMarginTop], topIsPara);
    bottom = conv(Values[piMarginBottom], bottomIsPara);
}

void TProperties::ConvCellPadding(int em, int ex, int& top, int& right, int& bottom, int& left) const
{
    int* out[4] = {&top, &right, &bottom, &left};
    for (int i = 0; i < 4; ++i) {
        const TPropValue& v = Values[std::size_t(piPaddingTop + i)];
        // A percentage comes out negative so that the caller can tell it from pixels.
        *out[i] = SlotPixels(v, -100, em, ex, 0, -1);
    }
}

void TProperties::ConvInlineMargArray(int baseWidth, int em, int ex, MarginArray& m) const
{
    m.fill(0);
    for (int i = piMarginTop; i <= piMarginLeft; ++i)
        m[std::size_t(i)] = SlotPixels(Values[std::size_t(i)], baseWidth, em, ex, 0, NotSet);
    ConvSideStyles(Values, m);
    ConvBorderWidths(Values, baseWidth, em, ex, m);
    m[piWidth] = SlotPixels(Values[piWidth], baseWidth, em, ex, AutoValue, NotSet);
    m[piHeight] = SlotPixels(Values[piHeight], baseWidth, em, ex, AutoValue, NotSet);
}

// ---- fonts ----

void TProperties::GetFontInfo(ThtFontInfo& info) const
{
    info.ibgColor = FontBackground;
    info.iColor = TColor(Values[piColor].Int());
    TFontStyles style = 0;
    if (WeightIsBold(Values[piFontWeight]))
        style |= fsBold;
    const TPropValue& fs = Values[piFontStyle];
    if (fs.TextIs("italic") || fs.TextIs("oblique"))
        style |= fsItalic;
    const TPropValue& deco = Values[piTextDecoration];
    bool underline = false, strike = false, none = false;
    if (deco.IsText() && ReadDecorations(deco.Text(), underline, strike, none)) {
        if (underline)
            style |= fsUnderline;
        if (strike)
            style |= fsStrikeOut;
    }
    info.iStyle = style;
    const TPropValue& size = Values[piFontSize];
    if (size.IsText())
        info.iSize = UsableSizeToPoints(size.Text(), DefaultPointSize);
    else if (size.IsEmpty())
        info.iSize = DefaultPointSize;
    else
        info.iSize = std::clamp(size.Real(), -MaxPoints, MaxPoints);
    info.iCharset = std::uint8_t(Charset);
    info.iCharExtra = Values[piLetterSpacing];
    std::string name = FirstInstalledFont(Values[piFontFamily].Text());
    info.iName = name.empty() ? FallbackFont : name;
}

std::unique_ptr<TMyFont> TProperties::GetFont()
{
    if (!FontCache) {
        ThtFontInfo info;
        GetFontInfo(info);
        auto f = std::make_unique<TMyFont>();
        f->ApplyInfo(info);
        // Measured with the default set first: a symbol font keeps the symbol set whatever was asked.
        int requested = f->Charset;
        f->Charset = platform::DEFAULT_CHARSET;
        platform::TextMetrics tm = f->Handle().Metrics();
        f->Charset = tm.tmCharSet == platform::SYMBOL_CHARSET ? platform::SYMBOL_CHARSET : requested;
        if (f->Charset != platform::DEFAULT_CHARSET)
            tm = f->Handle().Metrics();
        EmHeight = tm.tmHeight - tm.tmInternalLeading;
        ExHeight = EmHeight / 2;
        f->tmHeight = tm.tmHeight;
        f->tmDescent = tm.tmDescent;
        f->tmExternalLeading = tm.tmExternalLeading;
        f->tmAveCharWidth = tm.tmAveCharWidth;
        f->tmMaxCharWidth = tm.tmMaxCharWidth;
        f->tmCharset = tm.tmCharSet;
        const TPropValue& ls = Values[piLetterSpacing];
        if (ls.IsOrdinal())
            f->CharExtra = ls.Int();
        else if (ls.IsText() && ls.Text() != "normal")
            f->CharExtra = LengthToPixels(ls.Text(), false, EmHeight, EmHeight, ExHeight, 0);
        else
            f->CharExtra = 0;
        FontCache = std::move(f);
    }
    return std::make_unique<TMyFont>(*FontCache);
}

namespace {

void AppendKeyInt(std::string& key, std::int64_t v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); }

void AppendKeyText(std::string& key, const std::string& text)
{
    AppendKeyInt(key, std::int64_t(text.size()));
    key += text;
}

void AppendKeyValues(std::string& key, const std::array<TPropValue, MaxStyleProps>& values)
{
    for (const TPropValue& v : values) {
        key += char(v.GetKind());
        if (v.IsText())
            AppendKeyText(key, v.Text());
        else if (v.IsReal())
            AppendKeyInt(key, std::int64_t(v.Real() * 1048576.0));
        else if (v.IsOrdinal())
            AppendKeyInt(key, v.Int());
    }
}

}  // namespace

std::string TProperties::LinkFontKey(const TPropStack* stack, int a) const
{
    // Everything the derived states read: this element's values and identity, what it hands down to a
    // child, its inline style, and the selectors of its ancestors (contextual rules match against them).
    std::string key;
    key.reserve(1024);
    AppendKeyValues(key, Values);
    for (const std::string* text : {&ElemTag, &ElemClass, &ElemId, &ElemTitle, &FallbackFont})
        AppendKeyText(key, *text);
    for (std::int64_t v : {std::int64_t(FontBackground), std::int64_t(Charset), std::int64_t(CodePage),
                           std::int64_t(EmHeight)})
        AppendKeyInt(key, v);
    key += InlineProps ? '\1' : '\0';
    if (InlineProps)
        AppendKeyValues(key, InlineProps->Values);
    AppendKeyInt(key, stack ? a : -1);
    if (stack)
        for (int i = 0; i < a; ++i) {
            const TProperties& p = *(*stack)[i];
            for (const std::string* text : {&p.ElemTag, &p.ElemClass, &p.ElemId, &p.ElemPseudo, &p.ElemTitle})
                AppendKeyText(key, *text);
        }
    return key;
}

void TProperties::ComputeLinkFonts(TStyleList& styles, int a)
{
    if (!LinkFonts)
        LinkFonts = std::make_unique<TFontInfoArray>();
    SetFontBackground();
    GetFontInfo((*LinkFonts)[TFontInfoArray::LinkIndex]);

    TPropStack* stack = styles.PropStack;
    bool onStack = stack && a >= 0 && a < stack->Count() && (*stack)[a] == this;
    // Links of a page mostly look alike: the states derived for one element are remembered by what they
    // depend on, so that the next such link skips three full derivations.
    const std::string key = LinkFontKey(onStack ? stack : nullptr, a);
    if (const TFontInfoArray* known = styles.FindLinkFonts(key)) {
        for (int i : {int(TFontInfoArray::VisitedIndex), int(TFontInfoArray::HoverIndex),
                      int(TFontInfoArray::VisitedHoverIndex)})
            (*LinkFonts)[i] = (*known)[i];
        HasLinkFonts = true;
        return;
    }
    // Derives the look of a state from parent (on the stack at index parentIndex when onStack).
    auto derive = [&](const TProperties& parent, int index, const std::string& pseudo, ThtFontInfo& out) {
        auto p = std::make_unique<TProperties>();
        p->Inherit(ElemTag, parent);
        TProperties* raw = p.get();
        if (onStack)
            stack->Insert(index, std::move(p));
        raw->Combine(styles, ElemTag, ElemClass, ElemId, pseudo, ElemTitle, InlineProps, onStack ? index : NotOnStack);
        raw->SetFontBackground();
        raw->GetFontInfo(out);
        return onStack ? nullptr : std::move(p);
    };
    auto visited = derive(*this, a + 1, "visited", (*LinkFonts)[TFontInfoArray::VisitedIndex]);
    const TProperties& visitedProps = onStack ? *(*stack)[a + 1] : *visited;
    auto visitedHover = derive(visitedProps, a + 2, "hover", (*LinkFonts)[TFontInfoArray::VisitedHoverIndex]);
    if (onStack) {
        stack->Delete(a + 2);
        stack->Delete(a + 1);
    }
    auto hover = derive(*this, a + 1, "hover", (*LinkFonts)[TFontInfoArray::HoverIndex]);
    if (onStack)
        stack->Delete(a + 1);
    HasLinkFonts = true;
    styles.RememberLinkFonts(key, *LinkFonts);
}

void TProperties::CopyLinkFonts(TFontInfoArray& target) const
{
    if (LinkFonts)
        target.Assign(*LinkFonts);
}
