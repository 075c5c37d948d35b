// The document builder's entry and its construct loops: body, inline items, paragraphs, headings,
// divisions, lists and list items and preformatted text (tables are read in tablereader.cpp).

#include "reader/builder.h"

#include <algorithm>
#include <climits>

#include "layout/blocks.h"
#include "layout/rules.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/asciitext.h"
#include "platform/codepage.h"
#include "style/conversions.h"
#include "style/fonts.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

constexpr TColor PaletteFlag = 0x02000000;

bool IsIn(Symbol s, std::initializer_list<Symbol> list)
{
    return std::find(list.begin(), list.end(), s) != list.end();
}

// The lower-case element name of a tag symbol (an end tag gives its start tag's name).
std::string TagName(Symbol sy)
{
    std::string_view name = SymbolName(sy);
    if (!name.empty() && name.front() == '/')
        name.remove_prefix(1);
    return LowerCase(name);
}

bool IsEndTag(Symbol sy)
{
    std::string_view name = SymbolName(sy);
    return !name.empty() && name.front() == '/';
}

bool IsPhrase(Symbol sy)
{
    return IsIn(sy, {BSy, BEndSy, ISy, IEndSy, EmSy, EmEndSy, StrongSy, StrongEndSy, USy, UEndSy, CiteSy,
                     CiteEndSy, VarSy, VarEndSy, SSy, SEndSy, StrikeSy, StrikeEndSy, TTSy, TTEndSy, CodeSy,
                     CodeEndSy, KbdSy, KbdEndSy, SampSy, SampEndSy, SpanSy, SpanEndSy, LabelSy, LabelEndSy, SubSy,
                     SubEndSy, SupSy, SupEndSy, BigSy, BigEndSy, SmallSy, SmallEndSy});
}

// The set plus every phrase and font element with its end tag.
SymbolSet WithPhrases(SymbolSet s)
{
    for (int i = 0; i <= MaxSymbol; ++i)
        if (IsPhrase(Symbol(i)))
            s = s.Plus({Symbol(i)});
    return s;
}

// Symbols the body loop hands to the inline item.
const SymbolSet& BodyInlineRow()
{
    static const SymbolSet set = [] {
        SymbolSet s{BRSy,     HeadingSy,   HeadingEndSy, HRSy,     PreSy,       PreEndSy,    ImageSy,
                    ASy,      AEndSy,      TextSy,       TableSy,  InputSy,     TextAreaSy,  TextAreaEndSy,
                    SelectSy, MapSy,       PageSy,       ScriptSy, PanelSy,     NoBrSy,      NoBrEndSy,
                    WbrSy,    ObjectSy,    ObjectEndSy,  FontSy,   FontEndSy,   BaseFontSy};
        return WithPhrases(s);
    }();
    return set;
}

const SymbolSet& ParagraphSymbols()
{
    static const SymbolSet set = [] {
        SymbolSet s{BRSy,     ImageSy,   ASy,       AEndSy,        OtherSy,  TextSy,   InputSy,     TextAreaSy,
                    TextAreaEndSy, SelectSy, FontSy, FontEndSy, BaseFontSy, MapSy, PageSy, ScriptSy, ScriptEndSy,
                    PanelSy,  NoBrSy,    NoBrEndSy, WbrSy,         ObjectSy, ObjectEndSy};
        return WithPhrases(s);
    }();
    return set;
}

const SymbolSet& HeadingSymbols()
{
    static const SymbolSet set = [] {
        SymbolSet s{BRSy,     HRSy,      ImageSy,   ASy,       AEndSy,    TextSy,   InputSy,     TextAreaSy,
                    TextAreaEndSy, SelectSy, FontSy, FontEndSy, BaseFontSy, ScriptSy, ScriptEndSy, PanelSy,
                    NoBrSy,   NoBrEndSy, WbrSy,     ObjectSy,  ObjectEndSy};
        return WithPhrases(s);
    }();
    return set;
}

const SymbolSet& ItemSymbols()
{
    static const SymbolSet set = [] {
        SymbolSet s{BRSy,     HeadingSy, ImageSy,   ASy,      AEndSy,   TextSy,      InputSy,   TextAreaSy,
                    TextAreaEndSy, SelectSy, FontSy, FontEndSy, BaseFontSy, MapSy, PageSy, ScriptSy, ScriptEndSy,
                    PanelSy,  NoBrSy,    NoBrEndSy, WbrSy,    ObjectSy, ObjectEndSy};
        return WithPhrases(s);
    }();
    return set;
}

Symbol ListEnd(Symbol sy)
{
    switch (sy) {
    case OLSy: return OLEndSy;
    case ULSy: return ULEndSy;
    case DirSy: return DirEndSy;
    case MenuSy: return MenuEndSy;
    case DLSy: return DLEndSy;
    case AddressSy: return AddressEndSy;
    case BlockQuoteSy: return BlockQuoteEndSy;
    default: return EofSy;
    }
}

// A copy of the attributes of the tag just read, for an object made after later tags were read.
std::unique_ptr<TAttributeList> CopyAttributes(const TAttributeList& source)
{
    auto copy = std::make_unique<TAttributeList>();
    copy->StyleParser = source.StyleParser;
    for (const auto& a : source)
        copy->Add(std::make_unique<TAttribute>(a->Sym, a->CodePage, a->StrValue, a->AttrName, a->NumValue));
    return copy;
}

// The style attribute of a tag, kept beyond the tag (the attribute list replaces it with a later one).
std::unique_ptr<TProperties> CopyInlineStyle(TProperties* style)
{
    if (!style)
        return nullptr;
    auto copy = std::make_unique<TProperties>();
    copy->CopySlots(*style);
    copy->Explicit = style->Explicit;
    return copy;
}

// RAII count of open block-level constructs.
class ConstructGuard {
public:
    explicit ConstructGuard(int& counter) : FCounter(counter) { ++FCounter; }
    ~ConstructGuard() { --FCounter; }
    ConstructGuard(const ConstructGuard&) = delete;
    ConstructGuard& operator=(const ConstructGuard&) = delete;

private:
    int& FCounter;
};

}  // namespace

// ---------------------------------------------------------------- set-up

TOpenSection::TOpenSection() = default;

// Finish discards the open section while the root is alive; by now there is none left to withdraw.
TOpenSection::~TOpenSection() = default;

TOpenSection& TOpenSection::operator=(std::unique_ptr<TSection> s)
{
    Discard();
    FSection = std::move(s);
    return *this;
}

void TOpenSection::Discard()
{
    if (!FSection)
        return;
    FSection->Withdraw();
    FSection.reset();
}

std::unique_ptr<TSection> TOpenSection::Release() { return std::move(FSection); }

THtmlBuilder::THtmlBuilder() = default;
THtmlBuilder::~THtmlBuilder() = default;

std::array<double, 8> THtmlBuilder::FontSizes(int defaultSize, bool preformatted)
{
    static constexpr double Normal[8] = {0, 8, 10, 12, 14, 18, 24, 36};
    static constexpr double Pre[8] = {0, 7, 8, 10, 12, 15, 20, 30};
    std::array<double, 8> sizes{};
    for (int i = 1; i <= 7; ++i)
        sizes[std::size_t(i)] = defaultSize * (preformatted ? Pre[i] : Normal[i]) / 12.0;
    return sizes;
}

void THtmlBuilder::Start(std::string document, TSectionList& list, const THtmlHost& host)
{
    Host = host;
    MasterList = &list;
    Title.clear();
    Base.clear();
    BaseTarget.clear();
    FontConv = FontSizes(list.DefaultFontSize, false);
    PreFontConv = FontSizes(list.DefaultFontSize, true);
    BaseFontSize = 3;
    CurrentForm = FormlessForm = nullptr;
    NoBreak = false;
    ListLevel = 0;
    TableLevel = 0;
    OpenConstructs = 0;
    InHref = false;

    PropStack.FreeAll();
    PropStack.Styles = list.Styles;
    PropStack.OnCloseInline = [this](TProperties& props) { MasterList->AddInline(CharPos(), props, false); };
    list.Styles->PropStack = &PropStack;
    list.PropStack = &PropStack;
    list.NoBreak = false;
    auto base = std::make_unique<TProperties>();
    if (list.Styles->DefaultProps)
        base->InitFromDefault(*list.Styles->DefaultProps);
    PropStack.Add(std::move(base));

    Sc.IDNames = list.IDNames;
    Sc.TextCodePage = [this] { return Top().CodePage; };
    Sc.Include = nullptr;
    Sc.OnProgress = nullptr;
    Sc.StartParse(std::move(document), Top().CodePage);
    Sc.Attributes()->StyleParser = [](const std::string& text) { return ParseInlineStyle(text); };
    if (Sc.Utf8Fixed)
        Top().AssignUTF8();

    CurrentCell = &list;
    auto body = std::make_unique<TBodyBlock>(MasterList, nullptr, CurrentCell, Top());
    BodyBlock = body.get();
    list.AddItem(std::move(body), 0);
    CurrentCell = BodyBlock->MyCell.get();
    CurrentUrlTarget = std::make_unique<TUrlTarget>();
    Section.Discard();
    NewSection();
}

void THtmlBuilder::Finish()
{
    try {
        SectionAdd();
    } catch (const std::exception&) {
        Section.Discard();
    }
    Sc.EndParse();
    PropStack.FreeAll();
    if (MasterList) {
        MasterList->Styles->PropStack = nullptr;
        MasterList->PropStack = nullptr;
        MasterList->NoBreak = false;
    }
    CurrentUrlTarget.reset();
    CurrentCell = nullptr;
    BodyBlock = nullptr;
}

void THtmlBuilder::ParseHtml(std::string document, TSectionList& list, const THtmlHost& host)
{
    Start(std::move(document), list, host);
    try {
        ReadXmlDeclaration();
        // Counting pass: many links make the root skip the focus windows of links. It also notes a
        // character-set declaration that comes before any text.
        Sc.Counting = true;
        Sc.ReadChar();
        int links = 0;
        bool declaredBeforeText = false;
        try {
            for (Sc.Next(); Sc.Sy != EofSy; Sc.Next()) {
                if (Sc.Sy == MetaSy && !Sc.TextSeen && MetaDeclaresCharset())
                    declaredBeforeText = true;
                if (Sc.Sy == ASy && Sc.Attributes()->Find(HrefSy) && ++links > ManyLinksCount)
                    break;
            }
        } catch (const EParseError&) {
            // A comment left open at the end: the real pass reads the page up to it.
        }
        list.ManyLinks = links > ManyLinksCount;
        Sc.Counting = false;
        Sc.Rewind();
        TakeUndeclaredUtf8(declaredBeforeText);

        Sc.Include = Host.Include;
        Sc.OnProgress = Host.OnProgress;
        Sc.ReadChar();
        Next();
        DoBody(SymbolSet{});
    } catch (const std::exception&) {
        // What was read stays; a bad page ends the reading, not the program.
    }
    Finish();
}

void THtmlBuilder::ParseText(std::string document, TSectionList& list, const THtmlHost& host)
{
    Start(std::move(document), list, host);
    try {
        Sc.RawMode = true;
        PushPlain("pre");
        Section = std::make_unique<TPreFormated>(MasterList, false, CurrentCell, nullptr, Top(), nullptr);
        TokenObj buffer;
        Sc.ReadChar();
        while (Sc.Ch != 0) {
            if (Sc.Ch == '\r') {
                if (buffer.Count()) {
                    Section->AddTokens(buffer);
                    buffer.Reset();
                }
                SectionAdd();
                Section = std::make_unique<TPreFormated>(MasterList, false, CurrentCell, nullptr, Top(), nullptr);
            } else {
                buffer.AppendChar(char16_t(Sc.Ch), Sc.CharPos);
                if (buffer.Count() > 200) {
                    Section->AddTokens(buffer);
                    buffer.Reset();
                }
            }
            Sc.RawChar();
        }
        if (buffer.Count())
            Section->AddTokens(buffer);
        SectionAdd();
        PopTag("pre");
        Sc.RawMode = false;
    } catch (const std::exception&) {
    }
    Finish();
}

// ---------------------------------------------------------------- helpers

void THtmlBuilder::Push(const std::string& tag, const std::string& pseudo)
{
    TAttributeList& a = *Sc.Attributes();
    PropStack.PushProps(tag, a.ClassKey(), a.IdKey(), a.InlineStyle(), a.TitleText(), pseudo);
}

void THtmlBuilder::PushPlain(const std::string& tag)
{
    PropStack.PushProps(tag, {}, {}, nullptr, {}, {});
}

void THtmlBuilder::OpenInline(bool fontBackground)
{
    if (fontBackground)
        Top().SetFontBackground();
    if (Top().GetBorderStyle() != bssNone)
        MasterList->AddInline(CharPos(), Top(), true);
}

void THtmlBuilder::PopTag(const std::string& tag) { PropStack.PopTag(tag); }

void THtmlBuilder::SectionAdd()
{
    if (Section && CurrentCell)
        CurrentCell->AddItem(Section.Release(), Sc.TagStartPos);
    Section.Discard();
}

void THtmlBuilder::NewSection(bool firstLine)
{
    SectionAdd();
    Section = std::make_unique<TSection>(MasterList, firstLine, CurrentCell, InHref ? CurrentUrlTarget.get() : nullptr,
                                         Top(), nullptr);
}

void THtmlBuilder::EnsureSection()
{
    if (!Section)
        NewSection();
}

void THtmlBuilder::AddTokensToSection()
{
    if (Section)
        Section->AddTokens(Sc.Token);
}

void THtmlBuilder::AddItem(std::unique_ptr<TSectionBase> item)
{
    if (CurrentCell)
        CurrentCell->AddItem(std::move(item), Sc.TagStartPos);
}

TBlock* THtmlBuilder::AddBlock(std::unique_ptr<TBlock> block)
{
    TBlock* b = block.get();
    CurrentCell->AddItem(std::move(block), Sc.TagStartPos);
    CurrentCell = b->MyCell.get();
    return b;
}

void THtmlBuilder::CellBack(TBlock* block) { CurrentCell = block->OwnerCell; }

void THtmlBuilder::AddPage()
{
    AddItem(std::make_unique<TPage>(MasterList));
}

void THtmlBuilder::SkipBlanks() { Sc.SkipBlanks(); }

bool THtmlBuilder::TakeAlign(std::string& align)
{
    TAttribute* a = Sc.Attributes()->Find(AlignSy);
    if (!a)
        return false;
    std::string v = LowerCase(a->StrValue);
    if (v == "middle")
        v = "center";
    if (v != "left" && v != "center" && v != "right" && v != "justify")
        return false;
    align = v;
    return true;
}

void THtmlBuilder::SetTextAlign(const std::string& align)
{
    Top().SetUnlessExplicit(TPropValue::FromText(align), piTextAlign);
}

void THtmlBuilder::BottomMarginRule(TBlock* block)
{
    if (block->MyCell->DropLastBottomMargin())
        block->SetBottomMargin(14, true);
}

// ---------------------------------------------------------------- body loop

void THtmlBuilder::DoBody(const SymbolSet& T)
{
    for (;;) {
        const Symbol sy = Sc.Sy;
        if (T.Has(sy))
            return;
        switch (sy) {
        case EofSy: return;
        case TitleSy: DoTitle(); break;
        case BodySy: DoBodyTag(); break;
        case PSy: DoParagraph(T); break;
        case BaseSy: DoBase(); break;
        case OLSy:
        case ULSy:
        case DirSy:
        case MenuSy:
        case DLSy:
            DoLists(sy, T);
            if (!T.Has(Sc.Sy))
                Next();
            break;
        case LISy: DoListItem(LISy, LISy, 1, T, false, '1'); break;
        case DDSy:
        case DTSy: DoListItem(DLSy, sy, 1, T, false, '1'); break;
        case AddressSy:
        case BlockQuoteSy:
        case CenterSy:
        case FormSy:
        case DivSy: DoBlock(T); break;
        case LinkSy: DoLinkElement(); break;
        case FormEndSy:
            EndForm();
            Next();
            break;
        case BGSoundSy: DoBgSound(); break;
        case MetaSy: DoMeta(); break;
        case StyleSy: DoStyle(); break;
        default:
            if (BodyInlineRow().Has(sy))
                DoInline();
            else
                Next();
        }
    }
}

void THtmlBuilder::DoTitle()
{
    Title.clear();
    Next();
    while (Sc.Sy == TextSy) {
        Title += platform::WideToMultiByte(platform::CP_ACP, Sc.Token.Text());
        Next();
    }
}

void THtmlBuilder::DoBase()
{
    TAttributeList& a = *Sc.Attributes();
    if (TAttribute* h = a.Find(HrefSy))
        Base = h->StrValue;
    if (TAttribute* t = a.Find(TargetSy))
        BaseTarget = t->StrValue;
    Next();
}

void THtmlBuilder::DoBgSound()
{
    TAttributeList& a = *Sc.Attributes();
    TAttribute* src = a.Find(SrcSy);
    if (Host.OnSoundRequest && src) {
        TAttribute* loop = a.Find(LoopSy);
        Host.OnSoundRequest(src->StrValue, loop ? loop->NumValue : 1, false);
    }
    Next();
}

void THtmlBuilder::DoStyle()
{
    char ch = char(Sc.Ch);
    TStyleReader reader = [this]() -> char {
        Sc.RawChar();
        return char(Sc.Ch);
    };
    TStylePeek peek = [this]() -> char { return char(Sc.Peek()); };
    ParseStyleSheet(*MasterList->Styles, ch, reader, std::string(), false, peek);
    // The parser stopped at the "<" of the closing tag; the scanner's current character is that "<".
    Sc.UCh = (Sc.Ch >= 'a' && Sc.Ch <= 'z') ? char(Sc.Ch - 'a' + 'A') : Sc.Ch;
    Next();
}

void THtmlBuilder::DoBodyTag()
{
    if (BodyBlock && BodyBlock->MyCell->Count() == 0 && TableLevel == 0) {
        Section.Discard();
        MasterList->FormControls.clear();
        MasterList->Panels.clear();
        Push("body");
        TProperties& top = Top();
        int mw = Host.MarginWidth, mh = Host.MarginHeight;
        TAttributeList& attrs = *Sc.Attributes();
        auto colour = [](const TAttribute& a, TColor& c) { return ParseColor(a.StrValue, false, c); };
        for (const auto& a : attrs) {
            TColor c = 0;
            switch (a->Sym) {
            case TextSy:
                if (colour(*a, c))
                    top.SetUnlessExplicit(TPropValue::FromInt(std::int32_t(c | PaletteFlag)), piColor);
                break;
            case BGColorSy:
                if (colour(*a, c))
                    top.SetUnlessExplicit(TPropValue::FromInt(std::int32_t(c | PaletteFlag)), piBackgroundColor);
                break;
            case BackgroundSy:
                top.SetUnlessExplicit(TPropValue::FromText("url(" + a->StrValue + ")"), piBackgroundImage);
                break;
            case LinkSy:
                if (colour(*a, c))
                    MasterList->Styles->SetLinkStateColor("link", c | PaletteFlag);
                break;
            case VLinkSy:
                if (colour(*a, c))
                    MasterList->Styles->SetLinkStateColor("visited", c | PaletteFlag);
                break;
            case OLinkSy:
                if (colour(*a, c)) {
                    MasterList->Styles->SetLinkStateColor("hover", c | PaletteFlag);
                    MasterList->LinkHover = true;
                }
                break;
            case MarginWidthSy:
            case LeftMarginSy: mw = std::clamp(a->NumValue, 0, 200); break;
            case MarginHeightSy:
            case TopMarginSy: mh = std::clamp(a->NumValue, 0, 200); break;
            case BGPropertiesSy:
                if (SameText(a->StrValue, "fixed"))
                    top.SetUnlessExplicit(TPropValue::FromText("fixed"), piBackgroundAttachment);
                break;
            default: break;
            }
        }
        top.SetUnlessExplicit(TPropValue::FromInt(mw), piMarginLeft);
        top.SetUnlessExplicit(TPropValue::FromInt(mw), piMarginRight);
        top.SetUnlessExplicit(TPropValue::FromInt(mh), piMarginTop);
        top.SetUnlessExplicit(TPropValue::FromInt(mh), piMarginBottom);

        for (int i = 0; i < MasterList->Count(); ++i)
            if ((*MasterList)[i] == BodyBlock) {
                std::unique_ptr<TSectionBase> old = MasterList->Extract(i);
                old->Withdraw();
                break;
            }
        auto body = std::make_unique<TBodyBlock>(MasterList, &attrs, MasterList, top);
        BodyBlock = body.get();
        MasterList->AddItem(std::move(body), Sc.TagStartPos);
        CurrentCell = BodyBlock->MyCell.get();
        NewSection();
    }
    Next();
}

// ---------------------------------------------------------------- inline items

void THtmlBuilder::DoInline()
{
    const Symbol sy = Sc.Sy;
    if (IsPhrase(sy)) {
        DoPhrase(false);
        return;
    }
    switch (sy) {
    case FontSy:
    case BaseFontSy:
        DoFont(false);
        if (Section)
            Section->ChangeFont(Top());
        Next();
        break;
    case FontEndSy:
        PopTag("font");
        if (Section)
            Section->ChangeFont(Top());
        Next();
        break;
    case BRSy: DoBr(false); break;
    case HeadingSy: DoHeading(); break;
    case HeadingEndSy: Next(); break;
    case HRSy: DoHr(); break;
    case PreSy:
        if (Sc.Attributes()->Find(WrapSy)) {
            SectionAdd();
            Push("pre");
            Next();
        } else {
            DoPre();
        }
        break;
    case PreEndSy:
        PopTag("pre");
        Next();
        break;
    case ASy: DoAStart(); break;
    case AEndSy:
        DoAEnd();
        Next();
        break;
    case TextSy:
        if (Section) {
            Section->AddTokens(Sc.Token);
        } else if (Sc.Token.Count() > 0 && !(Sc.Token.Count() == 1 && Sc.Token.CharAt(0) == u' ')) {
            NewSection();
            Section->AddTokens(Sc.Token);
        }
        Next();
        break;
    case TableSy: DoTable(SymbolSet{}); break;
    case InputSy:
    case SelectSy:
    case TextAreaSy: DoFormControl(); break;
    case MapSy: DoMap(); break;
    case PageSy:
        SectionAdd();
        AddPage();
        Next();
        break;
    case ScriptSy:
        DoScript();
        Next();
        break;
    case NoBrSy:
    case NoBrEndSy:
        NoBreak = sy == NoBrSy;
        MasterList->NoBreak = NoBreak;
        Next();
        break;
    case WbrSy:
        if (Section)
            Section->SetBreakAfterLast();
        Next();
        break;
    case ObjectSy: DoObject(false); break;
    case ImageSy:
    case PanelSy: DoImage(false); break;
    default: Next();  // the end tags of controls come with their own readers
    }
}

void THtmlBuilder::DoPhrase(bool pre)
{
    const Symbol sy = Sc.Sy;
    const std::string tag = TagName(sy);
    if (!IsEndTag(sy)) {
        if (IsIn(sy, {SubSy, SupSy, BigSy, SmallSy}))
            EnsureSection();
        Push(tag);
        OpenInline();
    } else {
        PopTag(tag);
    }
    if (Section)
        Section->ChangeFont(Top());
    if (!pre)
        Next();
}

void THtmlBuilder::DoFont(bool pre)
{
    TAttributeList& attrs = *Sc.Attributes();
    const bool baseFont = Sc.Sy == BaseFontSy;
    int size = 0;
    if (TAttribute* a = attrs.Find(SizeSy)) {
        size = a->NumValue;
        if (a->StrValue.size() > 1 && (a->StrValue[0] == '+' || a->StrValue[0] == '-'))
            size += BaseFontSize;
        size = std::clamp(size, 1, 7);
        if (baseFont)
            BaseFontSize = size;
    }
    TColor colour = 0;
    bool haveColour = false;
    if (TAttribute* a = attrs.Find(ColorSy))
        haveColour = ParseColor(a->StrValue, false, colour);
    std::string face;
    bool haveFace = false;
    if (!baseFont)
        if (TAttribute* a = attrs.Find(FaceSy)) {
            face = FirstInstalledFont(a->StrValue);
            haveFace = true;
        }
    int charset = 0;
    bool haveCharset = false;
    if (TAttribute* a = attrs.Find(CharSetSy); a && !Sc.Utf8Fixed)
        haveCharset = CharsetLookup(a->StrValue, charset);

    Push("font");
    OpenInline();
    TProperties& top = Top();
    if (haveColour)
        top.SetUnlessExplicit(TPropValue::FromInt(std::int32_t(colour | PaletteFlag)), piColor);
    if (size > 0)
        top.SetUnlessExplicit(TPropValue::FromReal((pre ? PreFontConv : FontConv)[std::size_t(size)]), piFontSize);
    if (haveFace && !face.empty())
        top.SetUnlessExplicit(TPropValue::FromText(face), piFontFamily);
    if (haveCharset)
        top.AssignCharset(charset);
}

void THtmlBuilder::DoAStart(bool readNext)
{
    TAttributeList& attrs = *Sc.Attributes();
    TAttribute* href = attrs.Find(HrefSy);
    std::string pseudo;
    if (href) {
        if (InHref)
            DoAEnd();
        InHref = true;
        TAttribute* target = attrs.Find(TargetSy);
        CurrentUrlTarget->SetLink(href->StrValue, target ? target->StrValue : std::string(), attrs, CharPos());
        if (TAttribute* tab = attrs.Find(TabIndexSy))
            CurrentUrlTarget->TabIndex = tab->NumValue;
        pseudo = "link";
    }
    Push("a", pseudo);
    OpenInline();
    if (Section)
        Section->ChangeFont(Top());
    else
        NewSection();
    if (TAttribute* name = attrs.Find(NameSy)) {
        std::string n = platform::UpperAscii(name->StrValue);
        if (!n.empty() && n.front() == '#')
            n.erase(0, 1);
        MasterList->IDNames->AddCharPos(n, CharPos());
        Section->AnchorName = true;
    }
    if (href)
        Section->ChangeLinkFont(true, Top(), CurrentUrlTarget.get());
    if (readNext)
        Next();
}

void THtmlBuilder::DoAEnd()
{
    if (InHref) {
        CurrentUrlTarget->SetEndPos(MasterList->FLinkRuns, [](TFontObj* run) { return run->UrlTarget.get(); },
                                    CharPos());
        CurrentUrlTarget->Reset();
        InHref = false;
    }
    PopTag("a");
    if (Section)
        Section->ChangeLinkFont(false, Top(), nullptr);
}

void THtmlBuilder::DoBr(bool pre)
{
    TAttributeList& attrs = *Sc.Attributes();
    auto pushBr = [&] {
        PropStack.PushProps("br", attrs.ClassKey(), {}, attrs.InlineStyle(), {}, {});
    };
    auto pageBreak = [&] {
        bool before = false, after = false, inside = false;
        Top().GetPageBreaks(before, after, inside);
        return before || after;
    };
    if (pre) {
        SectionAdd();
        pushBr();
        if (pageBreak())
            AddPage();
        PopTag("br");
        return;
    }
    if (attrs.Find(ClearSy)) {
        SectionAdd();
        Section = std::make_unique<TSection>(MasterList, false, CurrentCell,
                                             InHref ? CurrentUrlTarget.get() : nullptr, Top(), &attrs);
        pushBr();
        if (pageBreak()) {
            SectionAdd();
            AddPage();
            Section = std::make_unique<TSection>(MasterList, false, CurrentCell,
                                                 InHref ? CurrentUrlTarget.get() : nullptr, Top(), &attrs);
        }
        PopTag("br");
    } else {
        EnsureSection();
        Section->AddChar(BrkCh, Sc.TagStartPos);
        SectionAdd();
        pushBr();
        if (pageBreak())
            AddPage();
        PopTag("br");
        Section = std::make_unique<TSection>(MasterList, false, CurrentCell,
                                             InHref ? CurrentUrlTarget.get() : nullptr, Top(), &attrs);
    }
    Next();
}

void THtmlBuilder::DoHr()
{
    SectionAdd();
    Push("hr");
    AddItem(std::make_unique<THRBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
    PopTag("hr");
    Next();
}

// ---------------------------------------------------------------- paragraphs and headings

void THtmlBuilder::DoParagraph(const SymbolSet& T)
{
    if (T.Has(PSy))
        return;
    if (!Unconstrained()) {
        Next();
        return;
    }
    ConstructGuard guard(OpenConstructs);
    SectionAdd();
    SkipBlanks();
    std::string align;
    bool hasAlign = TakeAlign(align);
    auto remember = [&](std::unique_ptr<TAttributeList>& attrs, std::unique_ptr<TProperties>& style) {
        attrs = CopyAttributes(*Sc.Attributes());
        style = CopyInlineStyle(Sc.Attributes()->InlineStyle());
    };
    std::unique_ptr<TAttributeList> attrs;
    std::unique_ptr<TProperties> style;
    remember(attrs, style);
    Next();
    while (Sc.Sy == PSy || Sc.Sy == PEndSy) {
        if (Sc.Sy == PSy) {
            std::string a;
            hasAlign = TakeAlign(a);
            align = a;
            remember(attrs, style);
        }
        SkipBlanks();
        Next();
    }
    PropStack.PushProps("p", attrs->ClassKey(), attrs->IdKey(), style.get(), attrs->TitleText(), {});
    if (hasAlign)
        SetTextAlign(align);
    TBlock* block = AddBlock(std::make_unique<TBlock>(MasterList, attrs.get(), CurrentCell, Top()));
    while (!T.Has(Sc.Sy) && ParagraphSymbols().Has(Sc.Sy)) {
        if (Sc.Sy == OtherSy)
            Next();
        else
            DoInline();
    }
    if (Sc.Sy == TableSy)
        block->SetBottomMargin(0, false);
    SectionAdd();
    PopTag("p");
    CellBack(block);
    if (Sc.Sy == PEndSy)
        Next();
}

void THtmlBuilder::DoHeading()
{
    const int level = Sc.HeadingLevel;
    if (level < 1 || level > 6 || !Unconstrained()) {
        Next();
        return;
    }
    ConstructGuard guard(OpenConstructs);
    const std::string tag = "h" + std::to_string(level);
    SectionAdd();
    Push(tag);
    std::string align;
    if (TakeAlign(align))
        SetTextAlign(align);
    SkipBlanks();
    std::unique_ptr<TAttributeList> attrs = CopyAttributes(*Sc.Attributes());
    Next();
    if (Sc.Sy == CenterSy) {
        SetTextAlign("center");
        Next();
    }
    TBlock* block = AddBlock(std::make_unique<TBlock>(MasterList, attrs.get(), CurrentCell, Top()));
    Section = std::make_unique<TSection>(MasterList, true, CurrentCell, InHref ? CurrentUrlTarget.get() : nullptr,
                                         Top(), attrs.get());
    for (bool done = false; !done;) {
        const Symbol sy = Sc.Sy;
        if (sy == PSy)
            DoParagraph(SymbolSet{});
        else if (HeadingSymbols().Has(sy))
            DoInline();
        else if (sy == OtherSy)
            Next();
        else if (sy == DivSy)
            DoBlock(SymbolSet{HeadingEndSy});
        else
            done = true;
    }
    SectionAdd();
    PopTag(tag);
    CellBack(block);
    if (Sc.Sy == HeadingEndSy)
        Next();
}

// ---------------------------------------------------------------- divisions and lists

void THtmlBuilder::DoBlock(const SymbolSet& T)
{
    const Symbol sy = Sc.Sy;
    if (!Unconstrained()) {
        Next();
        return;
    }
    ConstructGuard guard(OpenConstructs);
    switch (sy) {
    case AddressSy:
    case BlockQuoteSy:
        SectionAdd();
        DoLists(sy, T.Plus({AddressEndSy, BlockQuoteEndSy}));
        if (Sc.Sy == AddressEndSy || Sc.Sy == BlockQuoteEndSy)
            Next();
        break;
    case CenterSy:
        SectionAdd();
        PushPlain("center");
        Next();
        DoBody(T.Plus({CenterEndSy}));
        SectionAdd();
        PopTag("center");
        if (Sc.Sy == CenterEndSy)
            Next();
        break;
    case FormSy:
        while (Sc.Sy == FormSy) {
            SectionAdd();
            Push("form");
            TBlock* block = AddBlock(std::make_unique<TBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
            StartForm();
            Next();
            DoBody(T.Plus({FormSy, FormEndSy}));
            SectionAdd();
            PopTag("form");
            BottomMarginRule(block);
            CellBack(block);
            if (Sc.Sy == FormEndSy) {
                EndForm();
                Next();
                break;
            }
            if (T.Has(Sc.Sy))
                break;
        }
        break;
    case DivSy: {
        SectionAdd();
        Push("div");
        std::string align;
        if (TakeAlign(align))
            SetTextAlign(align);
        TBlock* block = AddBlock(std::make_unique<TBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
        NewSection();
        Next();
        DoBody(T.Plus({DivEndSy}));
        SectionAdd();
        PopTag("div");
        BottomMarginRule(block);
        CellBack(block);
        NewSection();
        if (Sc.Sy == DivEndSy)
            Next();
        break;
    }
    default: Next();
    }
}

void THtmlBuilder::DoLists(Symbol sy, const SymbolSet& T)
{
    if (!Unconstrained())
        return;  // the caller skips the tag
    ConstructGuard guard(OpenConstructs);
    TAttributeList& attrs = *Sc.Attributes();
    int number = 1;
    char style = '1';
    bool plain = false;
    if (sy == OLSy) {
        if (TAttribute* a = attrs.Find(StartSy); a && a->NumValue >= 0)
            number = a->NumValue;
        if (TAttribute* a = attrs.Find(TypeSy); a && !a->StrValue.empty())
            style = a->StrValue[0];
    } else if (sy == ULSy) {
        TAttribute* type = attrs.Find(TypeSy);
        plain = attrs.Find(PlainSy) || (type && (SameText(type->StrValue, "none") || SameText(type->StrValue, "plain")));
    }
    const std::string name = TagName(sy);
    const bool isList = IsIn(sy, {OLSy, ULSy, DirSy, MenuSy});
    SectionAdd();
    Push(name);
    TBlock* block = AddBlock(std::make_unique<TBlock>(MasterList, &attrs, CurrentCell, Top()));
    block->IsListBlock = isList;
    Next();
    if (IsIn(Sc.Sy, {OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy})) {
        PopTag(name);
        CellBack(block);
        return;
    }
    if (isList)
        ++ListLevel;
    const Symbol own = ListEnd(sy);
    for (;;) {
        const Symbol s = Sc.Sy;
        if (s == PSy) {
            DoParagraph(T);
        } else if (IsIn(s, {OLSy, ULSy, DirSy, MenuSy, DLSy})) {
            DoLists(s, T);
            if (!T.Has(Sc.Sy))
                Next();
        } else if (IsIn(s, {LISy, DDSy, DTSy})) {
            if (s == LISy)
                if (TAttribute* v = Sc.Attributes()->Find(ValueSy); v && v->NumValue != 0)
                    number = v->NumValue;
            DoListItem(sy, s, number, T, plain, style);
            if (number < INT_MAX)
                ++number;
        } else if (IsIn(s, {AddressSy, BlockQuoteSy})) {
            DoBlock(T);
        } else if (IsIn(s, {CenterSy, FormSy, DivSy})) {
            DoBlock(T.Plus({OLEndSy, LISy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, DDSy, DTSy, EofSy}));
        } else if (BodyInlineRow().Has(s)) {
            DoInline();
        } else if (T.Has(s)) {
            break;
        } else if (s != own && s != EofSy) {
            Next();
        }
        if (Sc.Sy == own || Sc.Sy == EofSy || T.Has(Sc.Sy))
            break;
    }
    if (isList)
        --ListLevel;
    SectionAdd();
    BottomMarginRule(block);
    PopTag(name);
    CellBack(block);
}

void THtmlBuilder::DoListItem(Symbol listKind, Symbol itemSy, int number, const SymbolSet& T, bool plain, char style)
{
    if (!Unconstrained()) {
        Next();
        return;
    }
    ConstructGuard guard(OpenConstructs);
    const std::string name = TagName(itemSy);
    const int tagStart = Sc.TagStartPos;
    SectionAdd();
    Push(name);
    TBlock* block = AddBlock(std::make_unique<TBlockLI>(MasterList, Sc.Attributes(), ListLevel, number, style, plain,
                                                        listKind, CurrentCell, Top()));
    NewSection();
    TSection* first = Section.get();
    SkipBlanks();
    Next();
    const bool inList = IsIn(listKind, {OLSy, ULSy, DirSy, MenuSy, DLSy});
    for (bool done = false; !done;) {
        const Symbol sy = Sc.Sy;
        if (sy == PSy) {
            if (inList)
                DoParagraph(SymbolSet{});
            else
                done = true;
        } else if (sy == PEndSy || sy == OtherSy) {
            Next();
        } else if (ItemSymbols().Has(sy)) {
            DoInline();
        } else if (IsIn(sy, {OLSy, ULSy, DirSy, MenuSy, DLSy})) {
            DoLists(sy, T);
            block->MyCell->DropLastBottomMargin();
            if (!T.Has(Sc.Sy))
                Next();
        } else if (IsIn(sy, {AddressSy, BlockQuoteSy, CenterSy, FormSy, DivSy})) {
            DoBlock(T);
        } else if (sy == TableSy) {
            DoTable(T);
        } else {
            done = true;
        }
    }
    if (Section && Section.get() == first && Section->Text.empty())
        Section->AddChar(NbSpace, tagStart);
    SectionAdd();
    block->MyCell->DropLastBottomMargin();
    PopTag(name);
    CellBack(block);
}

// ---------------------------------------------------------------- preformatted text

void THtmlBuilder::DoPre()
{
    SectionAdd();
    Push("pre");
    const int preIndex = PropStack.Count() - 1;
    TBlock* preBlock = AddBlock(std::make_unique<TBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
    auto newPre = [this] {
        SectionAdd();
        Section = std::make_unique<TPreFormated>(MasterList, false, CurrentCell,
                                                 InHref ? CurrentUrlTarget.get() : nullptr, Top(), nullptr);
    };
    newPre();
    TokenObj buffer;
    auto flush = [&] {
        if (buffer.Count() == 0)
            return;
        if (!Section)
            newPre();
        Section->AddTokens(buffer);
        buffer.Reset();
    };
    auto addOrDiscard = [&] {
        flush();
        if (Section && Section->Text.empty())
            Section.Discard();
        else
            SectionAdd();
    };
    TBlock* paraBlock = nullptr;
    TBlock* formBlock = nullptr;
    auto closePara = [&] {
        addOrDiscard();
        PopTag("p");
        CellBack(paraBlock);
        paraBlock = nullptr;
    };
    auto closeForm = [&] {
        EndForm();
        flush();
        SectionAdd();
        PopTag("form");
        CellBack(formBlock);
        formBlock = nullptr;
    };
    auto skipCR = [&] {
        if (Sc.Ch == '\r')
            Sc.ReadChar();
    };

    for (bool done = false; !done;) {
        const unsigned char ch = Sc.Ch;
        if (ch == 0)
            break;
        if (ch == '\r') {
            flush();
            newPre();
            Sc.ReadChar();
            continue;
        }
        if (ch != '<') {
            if (ch <= 8) {
                Sc.ReadChar();
                continue;
            }
            Sc.ReadPreText(Top().CodePage);
            for (int i = 0; i < Sc.Token.Count(); ++i)
                buffer.AppendChar(Sc.Token.CharAt(i), Sc.Token.IndexAt(i));
            continue;
        }
        Next();
        const Symbol sy = Sc.Sy;
        switch (sy) {
        case PSy:
            if (paraBlock)
                closePara();
            else
                addOrDiscard();
            skipCR();
            Push("p");
            paraBlock = AddBlock(std::make_unique<TBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
            newPre();
            break;
        case PEndSy:
            if (paraBlock) {
                closePara();
                newPre();
            }
            break;
        case TTSy: case TTEndSy: case CodeSy: case CodeEndSy: case KbdSy: case KbdEndSy: case SampSy:
        case SampEndSy: case WbrSy:
            break;
        case BRSy:
            flush();
            DoBr(true);
            newPre();
            skipCR();
            break;
        case PreEndSy:
        case TDEndSy:
        case THEndSy: done = true; break;
        case ASy:
            flush();
            DoAStart(false);
            break;
        case AEndSy:
            flush();
            DoAEnd();
            break;
        case ImageSy:
        case PanelSy:
            flush();
            DoImage(true);
            break;
        case InputSy:
        case SelectSy:
        case TextAreaSy:
            flush();
            DoFormControl(false);
            break;
        case FontSy:
        case BaseFontSy:
            flush();
            DoFont(true);
            if (Section)
                Section->ChangeFont(Top());
            break;
        case FontEndSy:
            if (PropStack.Count() - 1 > preIndex) {
                flush();
                PopTag("font");
                if (Section)
                    Section->ChangeFont(Top());
            }
            break;
        case FormSy:
            if (paraBlock)
                closePara();
            if (formBlock) {
                closeForm();
            } else {
                flush();
                SectionAdd();
            }
            Push("form");
            formBlock = AddBlock(std::make_unique<TBlock>(MasterList, Sc.Attributes(), CurrentCell, Top()));
            StartForm();
            newPre();
            break;
        case FormEndSy:
            if (paraBlock)
                closePara();
            if (formBlock)
                closeForm();
            if (!Section)
                newPre();
            break;
        case MapSy:
            flush();
            DoMap(false);
            break;
        case PageSy:
            flush();
            SectionAdd();
            AddPage();
            newPre();
            break;
        case ScriptSy: DoScript(); break;
        case ObjectSy:
            flush();
            DoObject(true);
            skipCR();
            break;
        case TextSy:
            for (int i = 0; i < Sc.Token.Count(); ++i)
                buffer.AppendChar(Sc.Token.CharAt(i), Sc.Token.IndexAt(i));
            break;
        default:
            if (IsPhrase(sy)) {
                flush();
                DoPhrase(true);
            }
            break;
        }
    }
    if (formBlock) {
        closeForm();
    } else {
        flush();
        SectionAdd();
    }
    Section.Discard();
    while (PropStack.Count() > preIndex)
        PropStack.PopTop();
    CurrentCell = preBlock->OwnerCell;
    Next();
}
