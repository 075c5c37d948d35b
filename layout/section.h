#pragma once
// TSection: one run of flowing text (a paragraph, the text of a cell, the text between two blocks) with its
// font runs and the objects that stand among its characters. The builder fills it; FinishText closes it;
// Layout breaks it into lines; Paint draws them; the hit tests answer for the lines as last painted.
// TPreFormated is the text of a PRE element: it keeps its blanks and breaks only at its own line breaks.

#include <memory>
#include <string>
#include <vector>

#include "layout/floatingobj.h"
#include "layout/sectionbase.h"
#include "platform/types.h"
#include "core/freelist.h"
#include "style/conversions.h"
#include "style/fontobj.h"
#include "style/properties.h"

class TAttributeList;
class TCellBasic;
class TokenObj;
class TFormControlObj;
class TDeferredDraw;

// Placeholder characters the builder puts into the text.
constexpr char16_t FmCtl = 2;    // a form control (in Controls)
constexpr char16_t ImgPan = 4;   // an image or a panel (in Images)
constexpr char16_t BrkCh = 8;    // a forced line break
constexpr char16_t NbSpace = 160;

// Break flags, one per character.
constexpr char BreakYes = 'y';
constexpr char BreakNo = 'n';
constexpr char BreakSoftHyphen = 's';
constexpr char BreakAfter = 'a';

// One inline element's box on one line: its borders and background are drawn behind the line's text.
struct BorderRec {
    int BStart = 0;  // character positions, relative to the section
    int BEnd = 0;
    bool OpenStart = false;  // began on an earlier line: no left border
    bool OpenEnd = false;    // continues on a later line: no right border
    platform::Rect BRect{999999, 999999, -999999, -999999};  // document coordinates
    bool HasLeft = false;    // the left edge was found while recording
    bool HasRight = false;   // the right edge was found while recording
    MarginArray MargArray{};  // background colour, paddings, border widths, colours and styles
};

class TSection;

// One formatted line.
class LineRec {
public:
    LineRec() = default;
    LineRec(const LineRec&) = delete;
    LineRec& operator=(const LineRec&) = delete;

    int Start = 0;  // index into the section's text of the first character
    int SpaceBefore = 0;
    int SpaceAfter = 0;
    int TextHeight = 0;
    int LineImageHeight = 0;
    int CharsOnLine = 0;
    int Descent = 0;
    int LineIndent = 0;
    int DrawXStart = 0;
    int AvailableWidth = 0;
    int DrawYTop = 0;
    int SpaceCount = 0;
    int ExtraWidth = 0;
    std::unique_ptr<TFreeList<BorderRec>> BorderRecs;
    bool BordersPending = false;
    int BorderXRef = 0;
    bool EndsWithSoftHyphen = false;

    int LineHeight() const { return SpaceBefore + TextHeight + SpaceAfter; }
};

// A run of consecutive source indices: Pos is a character position, Index the source index there.
struct IndexObj {
    int Pos = 0;
    int Index = 0;
};

class TSection : public TSectionBase {
public:
    // firstLineIndent: the section starts its element's text (text-indent applies); link: the open link
    // or none; attributes: those of the tag that started the section, or none.
    TSection(TSectionList* root, bool firstLineIndent, TCellBasic* cell, TUrlTarget* link, TProperties& props,
             TAttributeList* attributes);
    // A copy for another root (printing); Lines start empty.
    TSection(TSectionList* newRoot, const TSection& source);
    ~TSection() override;

    int SectionNumber = 0;
    int ProgressPass = -1;
    std::u16string Text;
    std::string BreakFlags;  // one per character, plus a trailing 'y' once closed
    std::vector<int> SourceMap;  // while open: the source index of every character
    TFontList Fonts;
    TImageObjList Images;
    std::vector<TFormControlObj*> Controls;  // not owned
    std::vector<IndexObj> SourceRuns;
    TFreeList<LineRec> Lines;
    std::uint8_t Justify = 1;    // 1 left, 2 center, 3 right, 4 justify
    std::uint8_t ClearMode = 0;  // 0 none, 1 left, 2 right, 3 all
    int LineHeight = -1;
    int DrawX = 0;
    int RightExtent = 0;
    bool AnchorName = false;
    int CachedMinWidth = 0, CachedMaxWidth = 0;
    int TextIndent = 0;
    int TextIndentPercent = 0;
    bool BreakWord = false;
    bool Closed = false;

    // ---- TSectionBase
    void Duplicate(TSectionList* newRoot, const TSectionBase& source) override;
    void CopySelection() override;
    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    int Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int refX,
              int refY) override;
    bool LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                std::string& title) override;
    bool ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY) override;
    int CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText) override;
    int FindText(int fromPos, const std::u16string& text, bool matchCase) override;
    int FindTextBackward(int fromPos, const std::u16string& text, bool matchCase) override;
    int SourcePosOf(int docPos) override;
    int DocPosOf(int sourceIndex, bool previous) override;
    bool CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y) override;
    bool CharAt(int pos, char16_t& ch, TIDObject*& object) override;
    void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth) override;
    void FinishReading(int sourceIndex) override;
    bool Collapsed() const override;
    void Withdraw() override;

    // ---- Reading
    virtual void AddChar(char16_t c, int sourceIndex);
    virtual void AddTokens(const TokenObj& tokens);
    virtual void FinishText(int sourceIndex);
    void ChangeFont(TProperties& props);
    void ChangeLinkFont(bool linkStart, TProperties& props, TUrlTarget* link);
    // Puts an object (picture or panel) at the end of the text, with its placeholder.
    TFloatingObj* AddObject(std::unique_ptr<TFloatingObj> object, int sourceIndex);
    // Puts a form control (owned by its form) at the end of the text, with its placeholder.
    void AddControl(TFormControlObj* control, int sourceIndex);
    void SetBreakAfterLast();

    // Width of count characters from start with their fonts, pictures and controls.
    int TextWidth(platform::Canvas* canvas, int start, int count, bool stripTrailing);

protected:
    // ---- Formatting (sectiontext.cpp)
    // Characters from i in one font run up to the next picture or control, at most limit, at least 1.
    int TextRunLength(int i, int limit) const;
    int CountThatFits(platform::Canvas* canvas, IndentManager* indent, int P, int R, int Y, int& floatHeight,
                      std::vector<TFloatingObj*>& deferred);
    int ClearSpace(IndentManager* indent, int Y) const;
    void AppendSpaceAtEnd(int sourceIndex);
    void DeleteChar(int i);
    // The room the form controls standing at pos take in the line.
    int ControlsWidthAt(int pos) const;
    void BuildSourceRuns();
    // The last closing step: the trailing flag, the source runs, the section's number.
    void CloseText();

    // ---- Painting and hit tests (sectiondraw.cpp)
    void PaintLine(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int& Y,
                   LineRec& line);
    void PaintRuns(platform::Canvas* canvas, IndentManager* indent, int X, int Y, LineRec& line);
    // Takes the floating pictures queued by the last paint out of the root's draw list.
    void DropDeferred();
    bool SelectionState(int pos, int& count) const;
    int CountAtX(platform::Canvas* canvas, int W, int N, int lineStart);
    // Makes the line's border boxes from the root's inline records; true when the line has any.
    bool BuildLineBorders(LineRec& line);
    // Walks the line as PaintRuns draws it, without drawing, and records the border boxes' edges.
    void RecordBorderBoxes(platform::Canvas* canvas, int X, int Y, LineRec& line);
    void DrawBorderRec(platform::Canvas* canvas, const BorderRec& box, int shift);
    // Floating pictures of the last paint, drawn by the root after the whole document.
    std::vector<std::unique_ptr<TDeferredDraw>> FDeferred;

    TCellBasic* FOwnerCell = nullptr;
    std::string FIDName;  // the name registered in the root's IDNames, if any
};

class TPreFormated : public TSection {
public:
    using TSection::TSection;

    int Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
               int blockHeight, IndentManager* indent, int& maxWidth, int& cursor) override;
    void MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth) override;
    void FinishText(int sourceIndex) override;
    bool Collapsed() const override { return false; }
};
