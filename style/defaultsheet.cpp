// The built-in default sheet: what every document starts from before its own style elements and linked
// sheets are read.

#include "platform/sysvalues.h"
#include "style/stylelist.h"

namespace {

TPropValue Text(const char* s) { return TPropValue::FromText(s); }
TPropValue Int(int i) { return TPropValue::FromInt(i); }
TPropValue Real(double r) { return TPropValue::FromReal(r); }
TPropValue Colour(TColor c) { return TPropValue::FromInt(static_cast<std::int32_t>(c)); }

// Link-state colours are palette-relative unless they name a system colour.
TColor LinkColour(TColor c) { return (c & platform::SystemColorFlag) || c == NoColor ? c : c | platform::PaletteRelative; }

}  // namespace

void TStyleList::LoadDefaults(const std::string& fontName, const std::string& preFontName, double pointSize,
                              TColor textColour, TColor linkColour, TColor visitedColour, TColor hoverColour,
                              bool linkUnderline, int charset, int marginHeight, int marginWidth)
{
    Clear();
    DefaultPointSize = pointSize;
    const double P = pointSize;

    auto add = [this](const char* key) -> TProperties& { return AddObject(key, std::make_unique<TProperties>()); };

    TProperties& def = add("default");
    def.FallbackFont = fontName;
    auto& d = def.Values;
    d[piFontFamily] = TPropValue::FromText(fontName);
    d[piFontSize] = Real(P);
    d[piFontStyle] = Text("none");
    d[piFontWeight] = Text("normal");
    d[piTextAlign] = Text("left");
    d[piTextDecoration] = Text("none");
    d[piTextTransform] = TPropValue::FromSmall(0);
    d[piWordWrap] = Text("normal");
    d[piFontVariant] = Text("normal");
    d[piColor] = Colour(textColour);
    d[piMarginTop] = d[piMarginBottom] = Int(marginHeight);
    d[piMarginLeft] = d[piMarginRight] = Int(marginWidth);
    d[piVisibility] = TPropValue::FromSmall(VisVisible);
    d[piLetterSpacing] = Int(0);
    def.Charset = charset;
    DefaultProps = &def;

    TProperties& link = add("::link");
    link.Values[piColor] = Colour(LinkColour(linkColour));
    link.Values[piTextDecoration] = Text(linkUnderline ? "underline" : "none");
    add("::visited").Values[piColor] = Colour(LinkColour(visitedColour));
    add("::hover").Values[piColor] = Colour(LinkColour(hoverColour));
    add("null");

    TProperties& pre = add("pre");
    pre.Values[piFontFamily] = TPropValue::FromText(preFontName);
    pre.Values[piFontSize] = Real(P * 10.0 / 12.0);
    pre.Values[piFontStyle] = Text("none");
    pre.Values[piFontWeight] = Text("normal");
    pre.Values[piTextDecoration] = Text("none");

    TProperties& p = add("p");
    p.Values[piMarginTop] = p.Values[piMarginBottom] = Int(ParaSpace);
    add("p 11pre").Values[piMarginTop] = Int(0);

    // Lists and quotations share one template.
    auto block = [&](const char* key) -> TProperties& {
        TProperties& b = add(key);
        b.Values[piMarginLeft] = Int(35);
        b.Values[piMarginTop] = Int(0);
        b.Values[piMarginBottom] = Int(0);
        return b;
    };
    for (const char* key : {"ul", "ol", "menu", "dir"}) {
        TProperties& l = block(key);
        l.Values[piMarginTop] = l.Values[piMarginBottom] = Int(ParaSpace);
        l.Values[piListStyleType] = Text("blank");
    }
    TProperties& dl = block("dl");
    dl.Values[piMarginLeft] = Int(0);
    dl.Values[piListStyleType] = Text("none");
    block("dd").Values[piMarginLeft] = Int(40);
    TProperties& bq = block("blockquote");
    bq.Values[piMarginTop] = Int(ParaSpace);
    bq.Values[piMarginBottom] = Int(14);

    TProperties& code = add("code");
    code.Values[piFontFamily] = TPropValue::FromText(preFontName);
    code.Values[piFontSize] = Text("0.833em");
    for (const char* key : {"tt", "kbd", "samp"})
        AddDuplicate(key, code);

    TProperties& b = add("b");
    b.Values[piFontWeight] = Text("bold");
    for (const char* key : {"strong", "th"})
        AddDuplicate(key, b);

    TProperties& sup = add("sup");
    sup.Values[piFontSize] = Text("75%");
    sup.Values[piVerticalAlign] = Text("super");
    TProperties& sub = add("sub");
    sub.Values[piFontSize] = Text("75%");
    sub.Values[piVerticalAlign] = Text("sub");
    add("big").Values[piFontSize] = Text("1.25em");
    add("small").Values[piFontSize] = Text("0.75em");
    add("table").Values[piTextAlign] = Text("none");

    TProperties& i = add("i");
    i.Values[piFontStyle] = Text("italic");
    for (const char* key : {"em", "cite", "var", "address"})
        AddDuplicate(key, i);
    add("u").Values[piTextDecoration] = Text("underline");
    TProperties& s = add("s");
    s.Values[piTextDecoration] = Text("line-through");
    AddDuplicate("strike", s);
    TProperties& center = add("center");
    center.Values[piTextAlign] = Text("center");
    AddDuplicate("caption", center);

    TProperties& input = add("input");
    auto& in = input.Values;
    in[piFontFamily] = Text("Arial Unicode MS, Arial");
    in[piFontSize] = Text("10pt");
    in[piFontStyle] = Text("none");
    in[piFontWeight] = Text("normal");
    in[piTextAlign] = Text("left");
    in[piTextDecoration] = Text("none");
    in[piColor] = Colour(textColour);
    AddDuplicate("select", input);
    TProperties& textarea = AddDuplicate("textarea", input);
    if (!platform::SysValues().IsWin95)
        textarea.Values[piFontFamily] = TPropValue::FromText(preFontName);

    TProperties& hr = add("hr");
    hr.Values[piMarginLeft] = hr.Values[piMarginRight] = Int(0);
    hr.Values[piMarginTop] = hr.Values[piMarginBottom] = Int(10);

    const double headingSizes[6] = {24, 18, 14, 12, 10, 8};
    const char* headings[6] = {"h1", "h2", "h3", "h4", "h5", "h6"};
    for (int k = 0; k < 6; ++k) {
        TProperties& h = add(headings[k]);
        h.Values[piFontSize] = Real(P / 12.0 * headingSizes[k]);
        h.Values[piMarginTop] = h.Values[piMarginBottom] = Int(19);
        h.Values[piFontWeight] = Text("bold");
    }
}
