// Text sections: collecting the characters and font runs while a document is read, closing the text
// (blank collapsing, soft hyphens), measuring, and breaking it into lines for a width.

#include <algorithm>
#include <cmath>

#include "layout/cells.h"
#include "layout/formcontrolobj.h"
#include "layout/indentmanager.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "core/attributes.h"
#include "core/tokenobj.h"
#include "style/propstack.h"
#include "style/stylelist.h"

namespace {

// Where a run stands among the last link runs, or -1. Only the section's last run can be listed when it is
// changed again, and the runs are listed in document order, so it stands at the very end if at all.
int RecentLinkRun(const std::vector<TFontObj*>& runs, const TFontObj* run)
{
    const int n = int(runs.size());
    for (int i = n - 1; i >= 0 && i >= n - 8; --i)
        if (runs[std::size_t(i)] == run)
            return i;
    return -1;
}

bool IsBreakChar(char16_t c) { return c == FmCtl || c == ImgPan || c == u' ' || c == u'-' || c == u'?'; }
bool IsWide(char16_t c) { return c > 0x2FFF; }

}  // namespace

// ---------------------------------------------------------------- construction

TSection::TSection(TSectionList* root, bool firstLineIndent, TCellBasic* cell, TUrlTarget* link, TProperties& props,
                   TAttributeList* attributes)
    : FOwnerCell(cell)
{
    Root = root;
    auto run = std::make_unique<TFontObj>(this, 0, props.GetFont());
    run->Title = props.ElemTitle;
    // The first run is shifted for sub and super like the runs ChangeFont starts later.
    AlignmentType vertical = AlignNone;
    run->SScript = props.GetVertAlign(vertical) && (vertical == AlignSub || vertical == AlignSuper) ? vertical
                                                                                                    : AlignNone;
    TFontObj* first = Fonts.Add(std::move(run));
    if (link && !link->Url.empty()) {
        first->PrepareLinkFonts();
        props.CopyLinkFonts(*first->LinkFonts);
        first->UrlTarget->CopyFrom(*link);
        Root->FLinkRuns.push_back(first);
        if (!Root->ManyLinks)
            first->CreateFocusWindow(*Root, link->TabIndex);
    }
    LineHeight = props.GetLineHeight(std::abs(first->TheFont->Height));
    if (firstLineIndent) {
        bool percent = false;
        int indent = props.GetTextIndent(percent);
        if (percent) {
            TextIndentPercent = std::clamp(indent, 0, 90);
        } else {
            TextIndent = indent;
        }
    }
    if (attributes) {
        if (TAttribute* clear = attributes->Find(ClearSy)) {
            std::string v = LowerCase(clear->StrValue);
            ClearMode = v == "left" ? 1 : v == "right" ? 2 : 3;
        }
        if (TAttribute* id = attributes->Find(IDSy); id && Root->IDNames) {
            FIDName = id->StrValue;
            Root->IDNames->AddName(FIDName, this);
        }
    }
    ClearType clear = ClearNone;
    if (props.GetClear(clear))
        ClearMode = std::uint8_t(clear);
    const TPropValue& align = props.Values[piTextAlign];
    Justify = align.TextIs("right") ? 3 : align.TextIs("center") ? 2 : align.TextIs("justify") ? 4 : 1;
    BreakWord = props.Values[piWordWrap].TextIs("break-word");
}

TSection::TSection(TSectionList* newRoot, const TSection& source)
    : Text(source.Text), BreakFlags(source.BreakFlags), Fonts(this, source.Fonts), Images(newRoot, source.Images),
      Controls(source.Controls), Justify(source.Justify), ClearMode(source.ClearMode), LineHeight(source.LineHeight),
      TextIndent(source.TextIndent), TextIndentPercent(source.TextIndentPercent), BreakWord(source.BreakWord),
      Closed(true)
{
    Root = newRoot;
    CharCount = source.CharCount;
    SectionHeight = source.SectionHeight;
}

TSection::~TSection() = default;

void TSection::Duplicate(TSectionList* newRoot, const TSectionBase& source)
{
    TSectionBase::Duplicate(newRoot, source);
}

bool TSection::Collapsed() const { return CharCount == 0 && !AnchorName && ClearMode == 0; }

void TSection::Withdraw()
{
    if (Root) {
        for (const auto& run : Fonts)
            Root->RunRemoved(run.get(), nullptr);
        if (Root->IDNames)
            Root->IDNames->RemoveObject(this);
        DropDeferred();
    }
    TSectionBase::Withdraw();
}

void TSection::FinishReading(int sourceIndex)
{
    if (!Closed)
        FinishText(sourceIndex);
}

// ---------------------------------------------------------------- reading

void TSection::AddChar(char16_t c, int sourceIndex)
{
    TokenObj t;
    t.AppendChar(c, sourceIndex);
    AddTokens(t);
}

void TSection::AddTokens(const TokenObj& tokens)
{
    const int n = tokens.Count();
    if (n == 0 || Closed)
        return;
    const int transform = Root && Root->PropStack ? Root->PropStack->Top().GetTextTransform() : 0;
    const char flag = (Root && Root->NoBreak) || dynamic_cast<TPreFormated*>(this) ? BreakNo : BreakYes;
    TPropStack* stack = Root ? Root->PropStack : nullptr;
    const bool smallCaps = stack && stack->Top().Values[piFontVariant].TextIs("small-caps");
    Text.reserve(Text.size() + std::size_t(n));
    BreakFlags.reserve(BreakFlags.size() + std::size_t(n));
    SourceMap.reserve(SourceMap.size() + std::size_t(n));
    // Small capitals: every letter is written in capitals; those that were lower case are set in the
    // smaller font of SMALL, each change of case starting a new font run.
    bool small = false;
    for (int i = 0; i < n; ++i) {
        char16_t c = tokens.CharAt(i);
        if (transform == 1)
            c = platform::WideUpper(c);
        else if (transform == 2)
            c = platform::WideLower(c);
        if (smallCaps) {
            const char16_t upper = platform::WideUpper(c);
            if (c != u' ' && !(c >= u'0' && c <= u'9')) {
                if (upper != c && !small) {
                    stack->PushProps("small", {}, {}, nullptr, {}, {});
                    ChangeFont(stack->Top());
                    small = true;
                } else if (upper == c && small) {
                    stack->PopTop();
                    ChangeFont(stack->Top());
                    small = false;
                }
            }
            c = upper;
        }
        Text += c;
        BreakFlags += flag;
        SourceMap.push_back(tokens.IndexAt(i));
    }
    if (small) {
        stack->PopTop();
        ChangeFont(stack->Top());
    }
    CharCount = int(Text.size());
}

void TSection::ChangeFont(TProperties& props)
{
    TFontObj* last = Fonts.Last();
    const int pos = int(Text.size());
    TFontObj* run = last;
    if (last && last->Pos == pos) {
        last->ReplaceFont(props.GetFont());
    } else {
        auto fresh = std::make_unique<TFontObj>(this, pos, props.GetFont());
        if (last)
            fresh->UrlTarget->CopyFrom(*last->UrlTarget);
        run = Fonts.Add(std::move(fresh));
    }
    run->Title = props.ElemTitle;
    if (run->IsLink()) {
        run->PrepareLinkFonts();
        props.CopyLinkFonts(*run->LinkFonts);
        auto& runs = Root->FLinkRuns;
        if (run != last || RecentLinkRun(runs, run) < 0)
            runs.push_back(run);
    }
    AlignmentType v = AlignNone;
    run->SScript = props.GetVertAlign(v) && (v == AlignSub || v == AlignSuper) ? v : AlignNone;
}

void TSection::ChangeLinkFont(bool linkStart, TProperties& props, TUrlTarget* link)
{
    TFontObj* last = Fonts.Last();
    const int pos = int(Text.size());
    TFontObj* run = last;
    if (last && last->Pos == pos) {
        last->ReplaceFont(props.GetFont());
    } else {
        run = Fonts.Add(std::make_unique<TFontObj>(this, pos, props.GetFont()));
    }
    run->Title = props.ElemTitle;
    if (link)
        run->UrlTarget->CopyFrom(*link);
    else
        run->UrlTarget->Reset();
    auto& runs = Root->FLinkRuns;
    if (linkStart && run->IsLink()) {
        run->PrepareLinkFonts();
        props.CopyLinkFonts(*run->LinkFonts);
        if (run != last || RecentLinkRun(runs, run) < 0)
            runs.push_back(run);
        if (!Root->ManyLinks)
            run->CreateFocusWindow(*Root, link->TabIndex);
    } else if (!linkStart) {
        run->LinkFonts.reset();
        if (const int at = run == last ? RecentLinkRun(runs, run) : -1; at >= 0)
            runs.erase(runs.begin() + at);
    }
    AlignmentType v = AlignNone;
    run->SScript = props.GetVertAlign(v) && (v == AlignSub || v == AlignSuper) ? v : AlignNone;
}

TFloatingObj* TSection::AddObject(std::unique_ptr<TFloatingObj> object, int sourceIndex)
{
    object->Pos = int(Text.size());
    TFloatingObj* obj = Images.Add(std::move(object));
    AddChar(ImgPan, sourceIndex);
    return obj;
}

void TSection::AddControl(TFormControlObj* control, int sourceIndex)
{
    control->Pos = int(Text.size());
    Controls.push_back(control);
    AddChar(FmCtl, sourceIndex);
}

void TSection::SetBreakAfterLast()
{
    if (!BreakFlags.empty())
        BreakFlags.back() = BreakAfter;
}

void TSection::DeleteChar(int i)
{
    Text.erase(std::size_t(i), 1);
    BreakFlags.erase(std::size_t(i), 1);
    if (i < int(SourceMap.size()))
        SourceMap.erase(SourceMap.begin() + i);
    Fonts.Decrement(i, Root);
    Images.Decrement(i);
    for (TFormControlObj* c : Controls)
        if (c->Pos > i)
            --c->Pos;
}

void TSection::AppendSpaceAtEnd(int sourceIndex)
{
    const int end = int(Text.size());
    TFontObj* last = Fonts.Last();
    if (last && last->Pos == end && Fonts.Count() > 1)
        ++last->Pos;  // the new blank keeps the style of the run before
    Text += u' ';
    BreakFlags += BreakYes;
    // The closing blank stands after the last character in the source too: an index given from an
    // earlier tag would send the source runs backwards and lose positions after it.
    if (!SourceMap.empty())
        sourceIndex = std::max(sourceIndex, SourceMap.back() + 1);
    SourceMap.push_back(sourceIndex);
}

void TSection::CloseText()
{
    BreakFlags += BreakYes;
    BuildSourceRuns();
    Closed = true;
    CharCount = int(Text.size());
    if (CharCount > 0 && Root) {
        ++Root->SectionCount;
        SectionNumber = Root->SectionCount;
    }
}

void TSection::BuildSourceRuns()
{
    SourceRuns.clear();
    for (int i = 0; i < int(SourceMap.size()); ++i)
        if (i == 0 || SourceMap[std::size_t(i)] != SourceMap[std::size_t(i - 1)] + 1)
            SourceRuns.push_back(IndexObj{i, SourceMap[std::size_t(i)]});
    SourceMap.clear();
    SourceMap.shrink_to_fit();
}

void TSection::FinishText(int sourceIndex)
{
    if (Closed)
        return;
    // 1. leading blanks
    while (!Text.empty() && Text[0] == u' ')
        DeleteChar(0);
    // 2. soft hyphens allow a break after the character before them
    for (int i = 0; i < int(Text.size());) {
        if (Text[std::size_t(i)] == u'\u00AD') {
            DeleteChar(i);
            if (i > 0 && BreakFlags[std::size_t(i - 1)] != BreakNo)
                BreakFlags[std::size_t(i - 1)] = BreakSoftHyphen;
        } else {
            ++i;
        }
    }
    // 3. runs of blanks collapse to one
    for (int i = 0; i + 1 < int(Text.size());) {
        if (Text[std::size_t(i)] == u' ' && Text[std::size_t(i + 1)] == u' ')
            DeleteChar(BreakFlags[std::size_t(i)] == BreakNo ? i : i + 1);
        else
            ++i;
    }
    // 4. a blank after a floating picture
    for (int i = int(Text.size()) - 1; i > 0; --i)
        if (Text[std::size_t(i)] == u' ' && Text[std::size_t(i - 1)] == ImgPan) {
            TFloatingObj* obj = Images.FindObject(i - 1);
            if (obj && obj->Floats())
                DeleteChar(i);
        }
    // 5. blanks around line breaks
    for (int i = 1; i < int(Text.size());) {
        if (Text[std::size_t(i)] == BrkCh && Text[std::size_t(i - 1)] == u' ') {
            DeleteChar(i - 1);
            i = std::max(1, i - 1);
        } else {
            ++i;
        }
    }
    for (int i = 0; i + 1 < int(Text.size());) {
        if (Text[std::size_t(i)] == BrkCh && Text[std::size_t(i + 1)] == u' ')
            DeleteChar(i + 1);
        else
            ++i;
    }
    // 6. a trailing break, then a trailing blank
    if (Text.size() > 1 && Text.back() == BrkCh)
        DeleteChar(int(Text.size()) - 1);
    if (Text.size() > 1 && Text.back() == u' ')
        DeleteChar(int(Text.size()) - 1);
    // 7. every section but a lone break ends with one blank
    if (!Text.empty() && !(Text.size() == 1 && Text[0] == BrkCh) && Text.back() != u' ')
        AppendSpaceAtEnd(sourceIndex);
    // 8. close
    CloseText();
}

// ---------------------------------------------------------------- measuring

int TSection::TextRunLength(int i, int limit) const
{
    int n = std::min(limit, Fonts.GetFontCountAt(i, int(Text.size())));
    for (int k = 0; k < n; ++k)
        if (Text[std::size_t(i + k)] == ImgPan || Text[std::size_t(i + k)] == FmCtl)
            return std::max(1, k);
    return std::max(1, n);
}

int TSection::ControlsWidthAt(int pos) const
{
    int width = 0;
    for (const TFormControlObj* ctl : Controls)
        if (ctl->Pos == pos)
            width += ctl->TakenWidth();
    return width;
}

int TSection::TextWidth(platform::Canvas* canvas, int start, int count, bool stripTrailing)
{
    if (!canvas)
        return 0;
    start = std::clamp(start, 0, int(Text.size()));
    count = std::clamp(count, 0, int(Text.size()) - start);
    if (stripTrailing)
        while (count > 0 && (Text[std::size_t(start + count - 1)] == u' ' || Text[std::size_t(start + count - 1)] == BrkCh))
            --count;
    int width = 0;
    int i = start;
    const int end = start + count;
    while (i < end) {
        const char16_t c = Text[std::size_t(i)];
        if (c == ImgPan) {
            if (TFloatingObj* obj = Images.FindObject(i); obj && !obj->Floats())
                width += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
            ++i;
            continue;
        }
        if (c == FmCtl) {
            width += ControlsWidthAt(i);
            ++i;
            continue;
        }
        int index = 0;
        TFontObj* run = Fonts.GetFontObjAt(i, index);
        int n = TextRunLength(i, end - i);
        if (run)
            run->TheFont->SelectInto(*canvas);
        width += canvas->GetTextExtentPoint32W(Text.data() + i, n).cx + (run ? run->Overhang : 0);
        i += n;
    }
    return width;
}

void TSection::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    if (CachedMinWidth >= 1 && Images.Empty()) {
        minWidth = CachedMinWidth;
        maxWidth = CachedMaxWidth;
        return;
    }
    minWidth = maxWidth = 0;
    if (Text.empty())
        return;
    int floatSum = 0;
    for (const auto& obj : Images) {
        int index = 0;
        obj->FormatObject(Root, canvas, 0, 0, Fonts.GetFontObjAt(obj->Pos, index));
        if (obj->PercentWidth)
            continue;
        if (obj->Floats()) {
            floatSum += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
            BreakFlags[std::size_t(obj->Pos)] = BreakYes;
        } else {
            minWidth = std::max(minWidth, obj->ObjWidth);
        }
    }
    for (TFormControlObj* ctl : Controls)
        if (!ctl->PercentWidth)
            minWidth = std::max(minWidth, ctl->TakenWidth());
    auto indented = [&](int w, bool first) {
        if (!first)
            return w;
        if (TextIndentPercent > 0)
            return w * 100 / (100 - TextIndentPercent);
        return w + TextIndent;
    };
    // Max: pieces between line breaks.
    int widest = 0;
    for (int i = 0; i < int(Text.size());) {
        int j = i;
        while (j < int(Text.size()) && Text[std::size_t(j)] != BrkCh)
            ++j;
        const bool last = j >= int(Text.size());
        int w = TextWidth(canvas, i, j - i, last);
        widest = std::max(widest, indented(w, i == 0));
        i = j + 1;
    }
    maxWidth = floatSum + widest;
    // Min: unbreakable pieces.
    const int n = int(Text.size());
    if (BreakWord) {
        for (int i = 0; i < n; ++i)
            minWidth = std::max(minWidth, TextWidth(canvas, i, 1, true));
    } else {
        int i = 0;
        while (i < n && Text[std::size_t(i)] == u' ')
            ++i;
        while (i < n) {
            int j = i;
            if (IsWide(Text[std::size_t(i)]) && BreakFlags[std::size_t(i)] == BreakYes) {
                j = i + 1;
            } else {
                while (j < n) {
                    const char16_t c = Text[std::size_t(j)];
                    const char f = BreakFlags[std::size_t(j)];
                    if (j > i && (IsBreakChar(c) || c == BrkCh || IsWide(c)) && f == BreakYes) {
                        if (c == u'-' || c == u'?')
                            ++j;
                        break;
                    }
                    ++j;
                    if (f == BreakAfter || f == BreakSoftHyphen)
                        break;
                }
            }
            int w = indented(TextWidth(canvas, i, j - i, true), i == 0);
            if (BreakFlags[std::size_t(j - 1)] == BreakSoftHyphen) {
                int index = 0;
                if (TFontObj* run = Fonts.GetFontObjAt(j - 1, index)) {
                    run->TheFont->SelectInto(*canvas);
                    w += canvas->GetTextExtentPoint32W(u"-", 1).cx;
                }
            }
            minWidth = std::max(minWidth, w);
            i = j;
            while (i < n && (Text[std::size_t(i)] == u' ' || Text[std::size_t(i)] == BrkCh ||
                             Text[std::size_t(i)] == ImgPan || Text[std::size_t(i)] == FmCtl))
                ++i;
        }
    }
    minWidth = std::max(floatSum, minWidth);
    CachedMinWidth = minWidth;
    CachedMaxWidth = maxWidth;
}

int TSection::ClearSpace(IndentManager* indent, int Y) const
{
    if (ClearMode == 0 || !indent)
        return 0;
    int cl = 0, cr = 0;
    indent->ClearY(cl, cr);
    const int l = std::max(0, cl - Y - 1), r = std::max(0, cr - Y - 1);
    return ClearMode == 1 ? l : ClearMode == 2 ? r : std::max(l, r);
}

// How many characters from P fit on a line at Y (floats at the line start are placed).
int TSection::CountThatFits(platform::Canvas* canvas, IndentManager* indent, int P, int R, int Y, int& floatHeight,
                            std::vector<TFloatingObj*>& deferred)
{
    int left = indent->LeftIndent(Y) + (P == 0 ? TextIndent : 0);
    const int W = indent->RightSide(Y) - left;
    int K = R;
    bool brk = false;
    for (int i = 0; i < R; ++i)
        if (Text[std::size_t(P + i)] == BrkCh) {
            if (i == 0)
                return 1;
            K = i;
            brk = true;
            break;
        }
    if (P == 0 && Images.Empty() && Controls.empty() && Fonts.Count() > 0 && W >= K * Fonts[0]->TmMaxCharWidth)
        return K + (brk ? 1 : 0);
    int S = 0;
    int count = 0;
    bool onlyFloats = true;
    while (count < K) {
        const int i = P + count;
        const char16_t c = Text[std::size_t(i)];
        if (c == ImgPan) {
            TFloatingObj* obj = Images.FindObject(i);
            if (obj && obj->Floats()) {
                if (onlyFloats) {
                    const int w = obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                    if (S + w > W && !(count == 0 && indent->NextWiderY(Y) <= Y))
                        break;
                    S += w;
                    obj->Indent = indent->AddFloatImage(Y, obj->VertAlign == AlignLeft, obj->ObjWidth, obj->ObjHeight,
                                                        obj->HSpaceL, obj->VSpaceT);
                    floatHeight = std::max(floatHeight, obj->ObjHeight + obj->VSpaceT + obj->VSpaceB);
                    if (count == 0 && S > W)
                        return 1;
                } else {
                    deferred.push_back(obj);
                }
            } else if (obj) {
                S += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                if (S > W)
                    break;
                onlyFloats = false;
            }
            ++count;
            continue;
        }
        if (c == FmCtl) {
            S += ControlsWidthAt(i);
            if (S > W)
                break;
            onlyFloats = false;
            ++count;
            continue;
        }
        int index = 0;
        TFontObj* run = Fonts.GetFontObjAt(i, index);
        int n = TextRunLength(i, K - count);
        if (run)
            run->TheFont->SelectInto(*canvas);
        int fit = 0;
        platform::Size size = canvas->GetTextExtentExPointW(Text.data() + i, n, std::max(0, W - S), &fit, nullptr);
        if (fit > 0 && fit < n && BreakFlags[std::size_t(i + fit - 1)] == BreakSoftHyphen) {
            const int hyphen = canvas->GetTextExtentPoint32W(u"-", 1).cx;
            if (canvas->GetTextExtentPoint32W(Text.data() + i, fit).cx + hyphen > W - S)
                --fit;
        }
        if (fit > 0)
            onlyFloats = false;
        count += fit;
        if (fit < n)
            break;
        S += size.cx;
    }
    if (count == K && brk)
        ++count;
    return count;
}

// ---------------------------------------------------------------- formatting

int TSection::Layout(platform::Canvas* canvas, int X, int Y, int, int, int availWidth, int availHeight,
                     int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    YDraw = YPosition = DrawTop = Y;
    StartCursor = cursor;
    SectionHeight = 0;
    Lines.FreeAll();
    IndentManager fallback;
    if (!indent) {
        fallback.Reset(X, X + availWidth);
        indent = &fallback;
    }
    if (Text.empty()) {
        const int h = ClearSpace(indent, Y);
        SectionHeight = DrawHeight = h;
        ContentBottom = DrawBottom = Y + h;
        maxWidth = 0;
        RightExtent = 0;
        return h;
    }
    if (TextIndentPercent > 0)
        TextIndent = availWidth * TextIndentPercent / 100;
    RightExtent = indent->RightSide(Y) - X;
    availWidth = std::min(indent->RightSide(Y) - indent->LeftIndent(Y), availWidth);
    maxWidth = availWidth;
    for (const auto& obj : Images) {
        int index = 0;
        obj->FormatObject(Root, canvas, availWidth, availHeight ? availHeight : blockHeight,
                          Fonts.GetFontObjAt(obj->Pos, index));
        maxWidth = std::max(maxWidth, obj->ObjWidth);
    }
    for (TFormControlObj* ctl : Controls) {
        if (!ctl->HasWindow())
            continue;
        if (ctl->PercentWidth)
            ctl->SetWidth(std::max(10, std::min(int(std::lround(ctl->Percent * availWidth / 100.0)),
                                                availWidth - ctl->HSpaceL - ctl->HSpaceR)));
        maxWidth = std::max(maxWidth, ctl->Width());
    }

    const int total = int(Text.size());
    const bool pre = dynamic_cast<TPreFormated*>(this) && !BreakWord;
    int P = 0;
    int curY = Y;
    int maxY = Y;
    std::vector<TFloatingObj*> deferred;
    int guard = 0;
    while (P < total && guard++ < 4 * total + 100) {
        const int R = total - P;
        if (Lines.Empty()) {
            if (int clear = ClearSpace(indent, curY); clear > 0) {
                auto blank = std::make_unique<LineRec>();
                blank->Start = P;
                blank->TextHeight = clear;
                blank->LineImageHeight = clear;
                Lines.Add(std::move(blank));
                SectionHeight += clear;
                curY += clear;
            }
        }
        int floatHeight = 0;
        int C = 0, N = R;
        if (!pre) {
            C = CountThatFits(canvas, indent, P, R, curY, floatHeight, deferred);
            N = std::max(C, 1);
        }
        maxY = std::max(maxY, curY + floatHeight);
        if (!pre && C == 0) {
            const int V = indent->NextWiderY(curY) - curY;
            if (V >= 1) {
                auto spacer = std::make_unique<LineRec>();
                spacer->Start = P;
                spacer->TextHeight = V;
                spacer->LineImageHeight = V;
                Lines.Add(std::move(spacer));
                SectionHeight += V;
                curY += V;
                continue;
            }
        }
        if (N < R) {
            const int L = P + N - 1;
            const int Q = L + 1;
            const char16_t lc = Text[std::size_t(L)];
            const char lf = BreakFlags[std::size_t(L)];
            auto takeSpaces = [&] {
                while (N < R && Text[std::size_t(P + N)] == u' ')
                    ++N;
            };
            if (lc == BrkCh || ((lc == FmCtl || lc == ImgPan || lc == u' ' || IsWide(lc)) && lf != BreakNo)) {
                takeSpaces();
            } else if (Text[std::size_t(Q)] == u' ' && BreakFlags[std::size_t(Q)] != BreakNo) {
                ++N;
                takeSpaces();
            } else if ((Text[std::size_t(Q)] == FmCtl || Text[std::size_t(Q)] == ImgPan) && lf != BreakNo) {
                // the object starts the next line
            } else {
                int B = L;
                auto mayEnd = [&](int b) {
                    const char16_t c = Text[std::size_t(b)];
                    const char f = BreakFlags[std::size_t(b)];
                    if (f == BreakNo)
                        return false;
                    return IsBreakChar(c) || IsWide(c) || (b + 1 < total && IsWide(Text[std::size_t(b + 1)])) ||
                           f == BreakAfter || f == BreakSoftHyphen;
                };
                while (B > P && !mayEnd(B))
                    --B;
                if (B > P || (B == P && (Text[std::size_t(P)] == FmCtl || Text[std::size_t(P)] == ImgPan) &&
                              BreakFlags[std::size_t(P)] != BreakNo)) {
                    N = B - P + 1;
                    takeSpaces();
                } else if (!BreakWord) {
                    // A word longer than the room: it goes whole onto the line, or further down.
                    const int V = indent->NextWiderY(curY) - curY;
                    if (V >= 1 && C > 0) {
                        auto spacer = std::make_unique<LineRec>();
                        spacer->Start = P;
                        spacer->TextHeight = V;
                        spacer->LineImageHeight = V;
                        Lines.Add(std::move(spacer));
                        SectionHeight += V;
                        curY += V;
                        continue;
                    }
                    int E = L;
                    while (E < total - 1) {
                        const char16_t c = Text[std::size_t(E)];
                        const char f = BreakFlags[std::size_t(E)];
                        const char16_t next = Text[std::size_t(E + 1)];
                        if (BreakFlags[std::size_t(E + 1)] != BreakNo &&
                            (c == u'-' || c == u'?' || f == BreakAfter || f == BreakSoftHyphen || next == FmCtl ||
                             next == ImgPan || next == BrkCh || next == u' ' || IsWide(next)))
                            break;
                        ++E;
                    }
                    N = E - P + 1;
                    takeSpaces();
                    if (N < R && Text[std::size_t(P + N)] == BrkCh)
                        ++N;
                    maxWidth = std::max(maxWidth, TextWidth(canvas, P, N, true));
                }
            }
        }
        N = std::clamp(N, 1, R);

        // Close the line.
        auto line = std::make_unique<LineRec>();
        LineRec& ln = *line;
        bool hasText = false;
        for (int i = P; i < P + N; ++i)
            if (Text[std::size_t(i)] != FmCtl && Text[std::size_t(i)] != ImgPan && Text[std::size_t(i)] != BrkCh)
                hasText = true;
        if (N == 1 && Text[std::size_t(P)] == BrkCh)
            hasText = true;
        if (hasText) {
            for (int i = 0; i < Fonts.Count(); ++i) {
                TFontObj* run = Fonts[i];
                const int runEnd = i + 1 < Fonts.Count() ? Fonts[i + 1]->Pos : total;
                if (run->Pos < P + N && runEnd > P) {
                    ln.TextHeight = std::max(ln.TextHeight, run->FontHeight);
                    ln.Descent = std::max(ln.Descent, run->Descent);
                }
            }
        }
        int above = 0, below = 0;
        if (LineHeight >= 0) {
            const int D = LineHeight - ln.TextHeight;
            above = D / 2;
            below = D - above;
        }
        int T = ln.TextHeight;
        for (const auto& obj : Images) {
            if (obj->Pos < P || obj->Pos >= P + N || obj->Floats())
                continue;
            obj->DrawYY = curY;
            if (TFormControlObj* ctl = obj->FormControl(); ctl && !Root->IsCopy)
                ctl->SetYPos(curY);
            const int H = obj->ObjHeight + obj->VSpaceT + obj->VSpaceB;
            switch (obj->VertAlign) {
            case AlignTop: below = std::max(below, H - T); break;
            case AlignMiddle: {
                // A line of objects only is centred on the font it starts in.
                int index = 0;
                if (T == 0)
                    if (TFontObj* run = Fonts.GetFontObjAt(P, index)) {
                        T = ln.TextHeight = run->FontHeight;
                        ln.Descent = run->Descent;
                    }
                const int G = H - T;
                below = std::max(below, G / 2);
                above = std::max(above, G - G / 2);
                break;
            }
            default: above = std::max(above, H + ln.Descent - T);
            }
        }
        for (TFormControlObj* ctl : Controls) {
            if (ctl->Pos < P || ctl->Pos >= P + N)
                continue;
            const int H = ctl->Height(), A = ctl->VSpaceT, Bm = ctl->VSpaceB;
            switch (ctl->FormAlign) {
            case AlignTop: below = std::max(below, H + A + Bm - T); break;
            case AlignMiddle: {
                const int G = H - T;
                below = std::max(below, G / 2 + Bm);
                above = std::max(above, G + A - G / 2);
                break;
            }
            case AlignBaseline: above = std::max(above, H + A + Bm + ln.Descent - T); break;
            default: above = std::max(above, H + A + Bm - T);
            }
            if (!Root->IsCopy)
                ctl->SetYPos(curY);
        }
        if (!Root->IsCopy)
            for (int i = 0; i < Fonts.Count(); ++i) {
                TFontObj* run = Fonts[i];
                const int runEnd = i + 1 < Fonts.Count() ? Fonts[i + 1]->Pos : total;
                if (run->Pos < P + N && runEnd > P)
                    run->SetLinkY(*Root, curY);
            }
        ln.Start = P;
        ln.CharsOnLine = N;
        ln.EndsWithSoftHyphen = BreakFlags[std::size_t(P + N - 1)] == BreakSoftHyphen;
        const int left = indent->LeftIndent(curY) + (P == 0 ? TextIndent : 0);
        const int right = indent->RightSide(curY);
        if (Justify == 1) {
            ln.LineIndent = left - X;
        } else {
            int w = TextWidth(canvas, P, N, true);
            if (ln.EndsWithSoftHyphen) {
                int index = 0;
                if (TFontObj* run = Fonts.GetFontObjAt(P + N - 1, index)) {
                    run->TheFont->SelectInto(*canvas);
                    w += canvas->GetTextExtentPoint32W(u"-", 1).cx;
                }
            }
            if (Justify == 2) {
                ln.LineIndent = (right + left - w) / 2 - X;
            } else if (Justify == 3) {
                ln.LineIndent = right - X - w;
            } else {
                ln.LineIndent = left - X;
                if (P + N < total) {
                    ln.ExtraWidth = right - left - w;
                    for (int i = P; i < P + N - 1; ++i)
                        if (Text[std::size_t(i)] == u' ' || Text[std::size_t(i)] == NbSpace)
                            ++ln.SpaceCount;
                    if (ln.ExtraWidth < 0 || ln.SpaceCount == 0)
                        ln.ExtraWidth = ln.SpaceCount = 0;
                }
            }
        }
        ln.AvailableWidth = right - left;
        ln.SpaceBefore = above;
        ln.SpaceAfter = below;
        ln.BordersPending = Root->Inlines && Root->Inlines->Count() > 0;
        const int height = ln.LineHeight();
        ln.LineImageHeight = std::max(height, floatHeight);
        Lines.Add(std::move(line));
        P += N;
        SectionHeight += height;
        curY += height;
        for (TFloatingObj* obj : deferred) {
            obj->Indent = indent->AddFloatImage(curY, obj->VertAlign == AlignLeft, obj->ObjWidth, obj->ObjHeight,
                                                obj->HSpaceL, obj->VSpaceT);
            const int fh = obj->ObjHeight + obj->VSpaceT + obj->VSpaceB;
            Lines.Last()->LineImageHeight = std::max(Lines.Last()->LineImageHeight, height + fh);
            maxY = std::max(maxY, curY + fh);
        }
        deferred.clear();
    }
    cursor = StartCursor + CharCount;
    if (Root->FirstLineBaselineSlot && *Root->FirstLineBaselineSlot == 0 && !Lines.Empty()) {
        LineRec* first = Lines[0];
        *Root->FirstLineBaselineSlot = YDraw + first->TextHeight - first->Descent + first->SpaceBefore;
    }
    DrawHeight = std::max(maxY - Y, SectionHeight);
    ContentBottom = Y + SectionHeight;
    DrawBottom = Y + DrawHeight;
    if (!Root->IsCopy && SectionNumber % 50 == 0 && ProgressPass != Root->LayoutPass && Root->SectionCount > 0 &&
        Root->OnLayoutProgress)
        Root->OnLayoutProgress(Root->ProgressBase + SectionNumber * (100 - Root->ProgressBase) / Root->SectionCount);
    ProgressPass = Root->LayoutPass;
    return SectionHeight;
}

// ---------------------------------------------------------------- preformatted text

void TPreFormated::FinishText(int sourceIndex)
{
    if (Closed)
        return;
    const int index = SourceMap.empty() ? sourceIndex : SourceMap.back() + 1;
    AppendSpaceAtEnd(index);
    CloseText();
}

void TPreFormated::MeasureWidths(platform::Canvas* canvas, int& minWidth, int& maxWidth)
{
    if (BreakWord) {
        TSection::MeasureWidths(canvas, minWidth, maxWidth);
        return;
    }
    if (Text.empty()) {
        minWidth = maxWidth = 0;
        return;
    }
    if (CachedMaxWidth <= 0)
        CachedMaxWidth = TextWidth(canvas, 0, int(Text.size()) - 1, false);
    maxWidth = CachedMaxWidth;
    minWidth = std::min(2000, maxWidth);
}

int TPreFormated::Layout(platform::Canvas* canvas, int X, int Y, int refX, int refY, int availWidth, int availHeight,
                         int blockHeight, IndentManager* indent, int& maxWidth, int& cursor)
{
    if (BreakWord)
        return TSection::Layout(canvas, X, Y, refX, refY, availWidth, availHeight, blockHeight, indent, maxWidth,
                                cursor);
    if (Text.empty()) {
        YDraw = YPosition = DrawTop = Y;
        StartCursor = cursor;
        SectionHeight = DrawHeight = Fonts.Count() ? Fonts[0]->FontHeight : 0;
        ContentBottom = DrawBottom = Y + SectionHeight;
        maxWidth = 0;
        return SectionHeight;
    }
    // No breaks but the text's own: the room is made wide for the duration of the call.
    IndentManager wide;
    const int left = indent ? indent->LeftIndent(Y) : X;
    wide.Reset(left, left + 32000);
    int h = TSection::Layout(canvas, X, Y, refX, refY, 32000, availHeight, blockHeight, &wide, maxWidth, cursor);
    int minW = 0;
    MeasureWidths(canvas, minW, maxWidth);
    return h;
}
