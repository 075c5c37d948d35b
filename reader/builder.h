#pragma once
// The document builder: reads the scanner's tokens and builds the document tree of a viewer — text
// sections in cells, blocks for paragraphs, headings, lists and divisions, rules and page breaks — keeping
// one computed style per open element on a stack. Each construct is read by a loop that returns, without
// consuming it, when a symbol of its terminator set arrives, so unclosed and misnested tags simply end
// the constructs they cannot stand in.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "reader/scanner.h"
#include "core/symbols.h"
#include "core/urltarget.h"
#include "style/propstack.h"

namespace platform {
class Control;
}

class TSectionList;
class TCellBasic;
class TSection;
class TBlock;
class TBodyBlock;
class ThtmlForm;
class TSelectFormControlObj;
class TTextAreaFormControlObj;

// The text section the builder is filling. From its construction on it is registered with the document's
// root: its font runs sit in the root's link-run list, its first link run may own the link's focus window
// and tab stop, and its anchor names sit in the root's name list. So it may leave the builder only in one of
// two ways: handed to a cell (Release), which keeps it or withdraws it, or discarded (Discard, or assigning
// a new section), which withdraws it from every root list before freeing it. Nothing else may free it, and
// plain pointers to it or its runs are valid only until one of these calls.
class TOpenSection {
public:
    TOpenSection();
    ~TOpenSection();
    TOpenSection(const TOpenSection&) = delete;
    TOpenSection& operator=(const TOpenSection&) = delete;
    // Discards the open section, if any, and opens s.
    TOpenSection& operator=(std::unique_ptr<TSection> s);
    void Discard();
    std::unique_ptr<TSection> Release();
    TSection* get() const { return FSection.get(); }
    TSection* operator->() const { return FSection.get(); }
    explicit operator bool() const { return bool(FSection); }

private:
    std::unique_ptr<TSection> FSection;
};

// A set of symbols: the terminators of a construct.
class SymbolSet {
public:
    SymbolSet() = default;
    SymbolSet(std::initializer_list<Symbol> symbols)
    {
        for (Symbol s : symbols)
            Bits[s] = true;
    }
    bool Has(Symbol s) const { return Bits[s]; }
    SymbolSet Plus(std::initializer_list<Symbol> symbols) const
    {
        SymbolSet r = *this;
        for (Symbol s : symbols)
            r.Bits[s] = true;
        return r;
    }

private:
    std::array<bool, MaxSymbol + 1> Bits{};
};

// What the builder asks of the viewer it builds for. Every handler is optional.
struct THtmlHost {
    TIncludeHandler Include;
    TProgressHandler OnProgress;
    std::function<void(const std::string& src, int loop, bool terminate)> OnSoundRequest;
    std::function<void(const std::string& httpEq, const std::string& name, const std::string& content)> OnMeta;
    std::function<void(const std::string& rel, const std::string& rev, const std::string& href)> OnLink;
    std::function<void(const std::string& name, const std::string& language, const std::string& script)> OnScript;
    // A host that fills panels of OBJECT elements; sets wantPanel to keep the panel.
    std::function<void(platform::Control* panel, const std::vector<std::string>& attributes,
                       const std::vector<std::string>& params, bool& wantPanel)>
        OnObjectTag;
    // The host hands over the content of a linked resource; false when it has none.
    std::function<bool(const std::string& src, std::string& content)> OnStreamRequest;
    // The viewer's name expansion event (rewrites a name before a stream request); unset: none.
    std::function<std::string(const std::string& name)> ExpandName;
    // The viewer's file-name expansion: a link or resource name to a file name.
    std::function<std::string(const std::string& name)> HtmlExpandFilename;
    // The parse belongs to an HTML viewer (META character sets apply).
    bool IsViewer = true;
    int MarginWidth = 10;
    int MarginHeight = 5;
};

// The font character set named in a charset text (a META content type or a FONT CHARSET); false when
// none of the known names occurs in it. 30 stands for EUC-JP.
bool CharsetLookup(const std::string& text, int& charset);

class THtmlBuilder {
public:
    // Open block-level constructs (divisions, lists, items, headings, paragraphs, table cells) beyond this
    // depth are read into the construct around them, so no page can nest the tree without bound.
    static constexpr int MaxOpenConstructs = 512;
    static constexpr int MaxTableDepth = 10;
    static constexpr int ManyLinksCount = 400;

    THtmlBuilder();
    ~THtmlBuilder();

    // Builds the document of an HTML text into list (which should be cleared first).
    void ParseHtml(std::string document, TSectionList& list, const THtmlHost& host);
    // Builds a plain-text document: preformatted sections, one per line.
    void ParseText(std::string document, TSectionList& list, const THtmlHost& host);

    std::string Title;
    std::string Base;
    std::string BaseTarget;

    // Point sizes of the seven FONT sizes for a default size (normal and preformatted text).
    static std::array<double, 8> FontSizes(int defaultSize, bool preformatted);

private:
    friend class TTableReader;  // reads TABLE elements (tablereader.cpp)

    // ---- entry and loops (builder.cpp)
    void Start(std::string document, TSectionList& list, const THtmlHost& host);
    void Finish();
    void DoBody(const SymbolSet& T);
    void DoInline();
    void DoParagraph(const SymbolSet& T);
    void DoHeading();
    void DoBlock(const SymbolSet& T);
    void DoLists(Symbol sy, const SymbolSet& T);
    void DoListItem(Symbol listKind, Symbol itemSy, int number, const SymbolSet& T, bool plain, char style);
    void DoPre();
    void DoTable(const SymbolSet& T);
    void DoBodyTag();
    void DoFont(bool pre);
    void DoAStart(bool readNext = true);
    void DoAEnd();
    void DoBr(bool pre);
    void DoHr();
    void DoPhrase(bool pre);
    void DoTitle();
    void DoBase();
    void DoStyle();
    void DoBgSound();
    // IMG and PANEL (imagereader.cpp); in preformatted text no next token is read.
    void DoImage(bool pre);
    // ---- forms (formreader.cpp)
    void DoFormControl(bool readNext = true);
    void StartForm();
    void EndForm();
    ThtmlForm* FormForControl();
    void ReadOptions(TSelectFormControlObj* control);
    void ReadTextAreaContent(TTextAreaFormControlObj* control);

    // ---- head and special elements (headelements.cpp)
    void DoMeta();
    // The character set a declaration names (a META content type or charset, an XML encoding) given to
    // the top properties and the scanner; false when the text names none.
    bool ApplyCharsetDeclaration(const std::string& text);
    // Before the counting pass: the XML declaration. After it: an undeclared page that is UTF-8.
    void ReadXmlDeclaration();
    void TakeUndeclaredUtf8(bool declaredBeforeText);
    // The META tag just read declares a character set.
    bool MetaDeclaresCharset() const;
    void DoLinkElement();
    void DoScript();
    void DoMap(bool readNext = true);
    void DoObject(bool inPre);

    // ---- helpers
    void Next() { Sc.Next(); }
    TProperties& Top() { return PropStack.Top(); }
    void Push(const std::string& tag, const std::string& pseudo = {});
    void PushPlain(const std::string& tag);  // no class, id, style or title
    void OpenInline(bool fontBackground = true);
    void PopTag(const std::string& tag);
    void SectionAdd();           // the current section goes to the current cell
    void NewSection(bool firstLine = true);
    void EnsureSection();
    void AddTokensToSection();
    void AddItem(std::unique_ptr<class TSectionBase> item);
    TBlock* AddBlock(std::unique_ptr<TBlock> block);  // added, and the cell becomes its content
    void CellBack(TBlock* block);                     // the cell returns to the block's owner
    void AddPage();
    void SkipBlanks();
    bool TakeAlign(std::string& align);
    void SetTextAlign(const std::string& align);
    void BottomMarginRule(TBlock* block);
    bool Unconstrained() const { return OpenConstructs < MaxOpenConstructs; }
    int CharPos() const { return Sc.CharPos; }

    THtmlScanner Sc;
    TPropStack PropStack;
    THtmlHost Host;
    TSectionList* MasterList = nullptr;
    TCellBasic* CurrentCell = nullptr;
    TOpenSection Section;
    TBodyBlock* BodyBlock = nullptr;
    std::unique_ptr<TUrlTarget> CurrentUrlTarget;
    bool InHref = false;
    bool NoBreak = false;
    int ListLevel = 0;
    int TableLevel = 0;
    int OpenConstructs = 0;
    int BaseFontSize = 3;
    ThtmlForm* CurrentForm = nullptr;   // the open FORM's form; owned by the section list
    ThtmlForm* FormlessForm = nullptr;  // made for the first control outside every FORM
    std::array<double, 8> FontConv{};
    std::array<double, 8> PreFontConv{};
};
