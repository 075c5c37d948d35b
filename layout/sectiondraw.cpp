// Text sections on screen: drawing the formatted lines (fonts, link looks, selection, the dummy caret)
// and the questions the viewer asks about them — which link or character lies under a point, where a
// position is drawn, where a text occurs, and what is selected.

#include <algorithm>

#include "layout/borders.h"
#include "layout/cells.h"
#include "layout/formcontrolobj.h"
#include "layout/indentmanager.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "platform/sysvalues.h"
#include "core/mapitem.h"
#include "core/seltext.h"

namespace {

constexpr int Slack = 40;  // lines this far outside the clip are skipped
constexpr int MaxBorderWidth = 1000;  // wider inline borders from a page are drawn this wide

// The last CountAtX question and its answer, keyed so that a new layout or another document never
// answers from it.
struct CountCache {
    const TSection* Section = nullptr;
    int LineStart = -1;
    int W = 0;
    int N = 0;
    int Pass = -1;
    int Generation = -1;
    int Answer = 0;
} g_countCache;

}  // namespace

// ---------------------------------------------------------------- painting

bool TSection::SelectionState(int pos, int& count) const
{
    count = 32000;
    if (Root->IsCopy)
        return false;
    const int selA = Root->SelStart - StartCursor, selB = Root->SelEnd - StartCursor;
    if (selB < selA || (selB == selA && !Root->ShowDummyCaret))
        return false;
    if (pos < selA) {
        count = std::min(32000, selA - pos);
        return false;
    }
    if (pos >= selB)
        return false;
    count = std::min(32000, selB - pos);
    return true;
}

int TSection::Paint(platform::Canvas* canvas, const platform::Rect& clip, IndentManager* indent, int X, int, int)
{
    int Y = YDraw;
    DrawX = X;
    const int result = YDraw + SectionHeight;
    DropDeferred();
    if (Text.empty() || YDraw + DrawHeight - Root->YOffset + Slack < clip.Top ||
        YDraw - Root->YOffset - Slack >= clip.Bottom)
        return result;
    canvas->SetTextAlign(platform::TA_BASELINE);
    for (const auto& line : Lines) {
        if (Y + line->LineImageHeight - Root->YOffset + Slack < clip.Top || Y - Root->YOffset - Slack >= clip.Bottom) {
            Y += line->LineHeight();
            continue;
        }
        PaintLine(canvas, clip, indent, X, Y, *line);
    }
    canvas->SetTextAlign(platform::TA_LEFT);
    return result;
}

void TSection::DropDeferred()
{
    if (FDeferred.empty())
        return;
    if (Root) {
        auto& list = Root->DrawList;
        list.erase(std::remove_if(list.begin(), list.end(),
                                  [this](TDeferredDraw* d) {
                                      return std::any_of(FDeferred.begin(), FDeferred.end(),
                                                         [d](const auto& own) { return own.get() == d; });
                                  }),
                   list.end());
    }
    FDeferred.clear();
}

void TSection::PaintLine(platform::Canvas* canvas, const platform::Rect&, IndentManager* indent, int X, int& Y,
                         LineRec& line)
{
    Y += line.TextHeight + line.SpaceBefore;
    if (line.BordersPending) {
        if (BuildLineBorders(line)) {
            line.BorderXRef = X;
            RecordBorderBoxes(canvas, X, Y, line);
        }
        line.BordersPending = false;
    }
    if (line.BorderRecs)
        for (const auto& box : *line.BorderRecs)
            DrawBorderRec(canvas, *box, X - line.BorderXRef);
    PaintRuns(canvas, indent, X, Y, line);
    Y += line.SpaceAfter;
    Root->FirstPaint = false;
}

namespace {

// A floating picture met while a line was drawn: drawn by the root once the whole document is drawn, so
// that it lies over the text drawn before it.
class TDeferredFloat : public TDeferredDraw {
public:
    TDeferredFloat(TFloatingObj* obj, TFontObj* run, int X, int baseline, int Y)
        : FObj(obj), FRun(run), FX(X), FBaseline(baseline), FY(Y)
    {
    }
    void DrawDeferred(platform::Canvas* canvas) override { FObj->Draw(canvas, FX, FRun, FBaseline, FY); }

private:
    TFloatingObj* FObj;
    TFontObj* FRun;
    int FX, FBaseline, FY;
};

// Top of an object of height H with vertical spaces above and below, standing in a line by its alignment.
int ObjectTop(AlignmentType align, int H, int spaceAbove, int spaceBelow, int lineTop, int baseline,
              const TFontObj* run)
{
    switch (align) {
    case AlignTop: return lineTop + spaceAbove;
    case AlignMiddle:
        return baseline + (run ? run->Descent - run->TmHeight / 2 : 0) - (H + spaceBelow - spaceAbove) / 2;
    default: return baseline - H - spaceBelow;
    }
}

// Document Y of the top of a control standing in a line whose text ends at bottom (a document Y).
int ControlTop(const TFormControlObj& ctl, const LineRec& line, int bottom)
{
    const int H = ctl.Height();
    int top = bottom;
    switch (ctl.FormAlign) {
    case AlignTop: top = bottom - line.TextHeight + ctl.VSpaceT; break;
    case AlignMiddle: top = bottom - (line.TextHeight + H) / 2; break;
    case AlignBaseline: top = bottom - H - ctl.VSpaceB - line.Descent; break;
    case AlignBottom: top = bottom - H - ctl.VSpaceB; break;
    default: break;
    }
    // Radio buttons and check boxes draw a little high in their windows.
    return top + (ctl.IsRadio() ? 2 : ctl.IsCheckBox() ? 1 : 0);
}

// The line's characters that are drawn: a closing blank or break is not.
int DrawEnd(const std::u16string& text, const LineRec& line)
{
    int end = line.Start + line.CharsOnLine;
    while (end > line.Start && (text[std::size_t(end - 1)] == u' ' || text[std::size_t(end - 1)] == BrkCh))
        --end;
    return end;
}

void WidenBoxes(TFreeList<BorderRec>* boxes, int pos, int top, int bottom)
{
    if (!boxes)
        return;
    for (const auto& box : *boxes)
        if (box->BStart <= pos && pos < box->BEnd) {
            box->BRect.Top = std::min(box->BRect.Top, top);
            box->BRect.Bottom = std::max(box->BRect.Bottom, bottom);
        }
}

}  // namespace

void TSection::PaintRuns(platform::Canvas* canvas, IndentManager* indent, int X, int Y, LineRec& line)
{
    int XX = X + line.LineIndent;
    line.DrawYTop = Y - line.TextHeight;
    line.DrawXStart = XX;
    if (line.CharsOnLine == 0)
        return;
    const int yOff = Root->YOffset;
    const int baselineDoc = Y - line.Descent;  // document Y of the baseline
    const int baseline = baselineDoc - yOff;
    const int lineEnd = line.Start + line.CharsOnLine;
    const int drawEnd = DrawEnd(Text, line);
    const int selA = Root->SelStart - StartCursor;
    const bool caretHere = Root->ShowDummyCaret && Root->SelStart == Root->SelEnd;
    // Preformatted text runs on past the right edge unless its block hides the overflow: it is clipped
    // to the paint area.
    bool clipPre = false;
    platform::Rect preClip{};
    if (indent && dynamic_cast<TPreFormated*>(this)) {
        auto* cell = dynamic_cast<TBlockCell*>(FOwnerCell);
        if (!cell || !cell->HideOverflow) {
            clipPre = true;
            preClip = platform::Rect{indent->LfEdge, line.DrawYTop - yOff, X + indent->PaintWidth, Y - yOff};
        }
    }
    bool movePen = true;
    bool atLineStart = true;
    int i = line.Start;
    while (i < drawEnd) {
        const char16_t c = Text[std::size_t(i)];
        int index = 0;
        TFontObj* run = Fonts.GetFontObjAt(i, index);
        if (c == ImgPan) {
            if (TFloatingObj* obj = Images.FindObject(i)) {
                if (obj->IsPanel()) {
                    if (!obj->Floats()) {
                        int top = 0;
                        switch (obj->VertAlign) {
                        case AlignTop: top = Y + obj->VSpaceT - line.TextHeight - yOff; break;
                        case AlignMiddle:
                            top = ObjectTop(AlignMiddle, obj->ObjHeight, obj->VSpaceT, obj->VSpaceB, 0, baselineDoc,
                                            run) -
                                  yOff;
                            break;
                        case AlignBaseline:
                        case AlignBottom: top = Y - obj->ObjHeight - obj->VSpaceB - line.Descent - yOff; break;
                        default: break;
                        }
                        obj->DrawXX = XX + obj->HSpaceL;
                        obj->PlacePanel(canvas, XX + obj->HSpaceL, top);
                        XX += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                        movePen = true;
                        atLineStart = false;
                    } else if (indent) {
                        obj->PlacePanel(canvas, indent->LfEdge + obj->Indent,
                                        (atLineStart ? line.DrawYTop : Y) + obj->VSpaceT - yOff);
                    }
                } else if (!obj->Floats()) {
                    canvas->SetTextJustification(0, 0);
                    obj->DrawXX = XX + obj->HSpaceL;
                    obj->Draw(canvas, XX + obj->HSpaceL, run, baselineDoc, line.DrawYTop);
                    XX += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                    movePen = true;
                    atLineStart = false;
                } else if (indent) {
                    FDeferred.push_back(std::make_unique<TDeferredFloat>(obj, run, indent->LfEdge + obj->Indent,
                                                                         baselineDoc,
                                                                         atLineStart ? line.DrawYTop : Y));
                    Root->DrawList.push_back(FDeferred.back().get());
                    if (line.BorderRecs)  // a box round the float alone has nothing in the line to frame
                        for (int k = line.BorderRecs->Count() - 1; k >= 0; --k)
                            if ((*line.BorderRecs)[k]->BStart == i && (*line.BorderRecs)[k]->BEnd == i + 1)
                                line.BorderRecs->Delete(k);
                }
            }
            ++i;
            continue;
        }
        if (c == FmCtl) {
            for (TFormControlObj* ctl : Controls) {
                if (ctl->Pos != i || !ctl->HasWindow())
                    continue;
                ctl->ShowIt = true;
                const int top = ControlTop(*ctl, line, Y) - yOff;
                const int left = XX + ctl->HSpaceL;
                // On paper (a print copy, or a document being printed) the control is drawn, not placed.
                const bool onPaper = Root->IsCopy || Root->Printing;
                if (onPaper)
                    ctl->DrawForPrint(canvas, left, top);
                else
                    ctl->Place(canvas, left, top);
                if (ctl->IsRadio())
                    ctl->SetWindowColor(ctl->BkColor != NoColor ? ctl->BkColor : Root->Background);
                if ((ctl->IsRadio() || ctl->IsCheckBox()) && ctl->Focused() && !onPaper) {
                    platform::Rect r{left - 3, top - 3, left + 16, top + 16};
                    if (ctl->IsRadio() && platform::SysValues().PixelsPerInch < 101)
                        r = platform::Rect{left - 3, top - 2, left + 16, top + 16};
                    else if (ctl->IsRadio())
                        r = platform::Rect{left - 2, top - 2, left + 18, top + 18};
                    const platform::TColor oldText = canvas->SetTextColor(0);
                    canvas->SetBrushColor(0xFFFFFF);
                    canvas->DrawFocusRect(r);
                    canvas->SetTextColor(oldText);
                }
                XX += ctl->TakenWidth();
                movePen = true;
                atLineStart = false;
            }
            ++i;
            continue;
        }
        int n = TextRunLength(i, drawEnd - i);
        int selCount = 32000;
        const bool selected = SelectionState(i, selCount);
        n = std::max(1, std::min(n, selCount));
        if (run)
            run->TheFont->SelectInto(*canvas);
        const platform::TColor textColour = run ? run->TheFont->Color : 0;
        const platform::TColor back = run ? run->TheFont->bgColor : NoColor;
        if (selected) {
            canvas->SetBkMode(platform::OPAQUE);
            canvas->SetBkColor(textColour);
            canvas->SetTextColor(back != NoColor ? back : (platform::ColorToRGB(textColour) ^ 0xFFFFFF));
        } else if (back == NoColor) {
            canvas->SetBkMode(platform::TRANSPARENT);
        } else {
            canvas->SetBkMode(platform::OPAQUE);
            canvas->SetBkColor(back);
        }
        if (run && run->Active)
            canvas->SetTextColor(0);
        int shift = 0;
        if (run && run->SScript == AlignSuper)
            shift = -(run->FontHeight / 3);
        else if (run && run->SScript == AlignSub)
            shift = run->Descent / 2 + 1;
        canvas->SetTextAlign(platform::TA_BASELINE | platform::TA_UPDATECP);
        if (movePen || shift != 0) {
            canvas->MoveTo(XX, baseline + shift);
            movePen = shift != 0;
        }
        if (Justify == 4 && line.SpaceCount > 0)
            canvas->SetTextJustification(line.ExtraWidth, line.SpaceCount);
        else
            canvas->SetTextJustification(0, 0);
        if (caretHere && !selected && i == selA && run)
            canvas->FillRect(platform::Rect{XX, baseline + shift - run->FontHeight + run->Descent, XX + 1,
                                            baseline + shift + run->Descent},
                             textColour);
        const bool hyphen = line.EndsWithSoftHyphen && i + n == drawEnd;
        if (clipPre) {
            canvas->ExtTextOutW(0, 0, platform::ETO_CLIPPED, &preClip, Text.data() + i, n);
            if (hyphen)
                canvas->ExtTextOutW(0, 0, platform::ETO_CLIPPED, &preClip, u"-", 1);
        } else {
            canvas->TextOutW(0, 0, Text.data() + i, n);
            if (hyphen)
                canvas->TextOutW(0, 0, u"-", 1);
        }
        const int penX = canvas->GetCurrentPosition().X;
        if (run && run->Active)
            canvas->DrawFocusRect(platform::Rect{XX, baseline + run->Descent + shift - run->FontHeight, penX + 1,
                                                 baseline + run->Descent + shift});
        canvas->SetTextAlign(platform::TA_BASELINE);
        XX = penX;
        atLineStart = false;
        i += n;
    }
    if (caretHere && selA == CharCount && Root->SelStart == Root->CharCount && &line == Lines.Last()) {
        int index = 0;
        if (TFontObj* run = Fonts.GetFontObjAt(std::max(0, lineEnd - 1), index))
            canvas->FillRect(platform::Rect{XX, baseline - run->FontHeight + run->Descent, XX + 1, baseline + run->Descent},
                             run->TheFont->Color);
    }
    canvas->SetTextJustification(0, 0);
    canvas->SetBkMode(platform::TRANSPARENT);
}

// ---------------------------------------------------------------- inline border boxes

bool TSection::BuildLineBorders(LineRec& line)
{
    line.BorderRecs.reset();
    TInlineList* list = Root ? Root->Inlines : nullptr;
    if (!list || line.CharsOnLine == 0)
        return false;
    const int L = StartCursor + line.Start;
    const int lineEnd = L + line.CharsOnLine;
    for (int k = 0; k < list->Count(); ++k) {
        const int S = list->InlineStart(k), E = list->InlineEnd(k);
        if (!(S < lineEnd && L < E))
            continue;
        if (!line.BorderRecs)
            line.BorderRecs = std::make_unique<TFreeList<BorderRec>>();
        auto box = std::make_unique<BorderRec>();
        box->OpenStart = S < L;
        box->BStart = box->OpenStart ? line.Start : S - StartCursor;
        box->OpenEnd = lineEnd < E;
        box->BEnd = box->OpenEnd ? line.Start + line.CharsOnLine : E - StartCursor;
        box->MargArray = (*list)[k]->MargArray;
        line.BorderRecs->Add(std::move(box));
    }
    return line.BorderRecs != nullptr;
}

void TSection::RecordBorderBoxes(platform::Canvas* canvas, int X, int Y, LineRec& line)
{
    TFreeList<BorderRec>* boxes = line.BorderRecs.get();
    if (!boxes)
        return;
    const int B = Y - line.Descent;  // the baseline, document Y
    const int lineTop = Y - line.TextHeight;
    int XX = X + line.LineIndent;
    // Every box edge met at pos: a box starting here gets its left edge and the text band of the run
    // there, one ending here its right edge; boxes going on across pos grow to the run's band.
    auto mark = [&](int pos, const TFontObj* run) {
        const int h = run ? run->FontHeight : line.TextHeight;
        const int d = run ? run->Descent : line.Descent;
        for (const auto& box : *boxes) {
            if (box->BStart == pos) {
                box->BRect.Left = XX;
                box->BRect.Top = B + d - h + 1;
                box->BRect.Bottom = B + d;
                box->HasLeft = true;
            } else if (box->BStart < pos && pos < box->BEnd) {
                box->BRect.Top = std::min(box->BRect.Top, B + d - h + 1);
                box->BRect.Bottom = std::max(box->BRect.Bottom, B + d);
            }
            if (box->BEnd == pos && !box->HasRight) {
                box->BRect.Right = XX;
                box->HasRight = true;
            }
        }
    };
    const int drawEnd = DrawEnd(Text, line);
    if (Justify == 4 && line.SpaceCount > 0)
        canvas->SetTextJustification(line.ExtraWidth, line.SpaceCount);
    else
        canvas->SetTextJustification(0, 0);
    int i = line.Start;
    TFontObj* run = nullptr;
    while (i < drawEnd) {
        int index = 0;
        run = Fonts.GetFontObjAt(i, index);
        mark(i, run);
        const char16_t c = Text[std::size_t(i)];
        if (c == ImgPan) {
            TFloatingObj* obj = Images.FindObject(i);
            if (obj && !obj->Floats()) {
                const int top = ObjectTop(obj->VertAlign, obj->ObjHeight, obj->VSpaceT, obj->VSpaceB, lineTop, B, run);
                WidenBoxes(boxes, i, top, top + obj->ObjHeight);
                XX += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
            }
            ++i;
            continue;
        }
        if (c == FmCtl) {
            for (TFormControlObj* ctl : Controls)
                if (ctl->Pos == i && ctl->HasWindow()) {
                    const int top = ControlTop(*ctl, line, Y);
                    WidenBoxes(boxes, i, top, top + ctl->Height());
                    XX += ctl->TakenWidth();
                }
            ++i;
            continue;
        }
        int n = TextRunLength(i, drawEnd - i);
        for (const auto& box : *boxes)  // a run ends at every box edge
            for (int edge : {box->BStart, box->BEnd})
                if (edge > i && edge < i + n)
                    n = edge - i;
        if (run)
            run->TheFont->SelectInto(*canvas);
        XX += canvas->GetTextExtentPoint32W(Text.data() + i, n).cx;
        i += n;
    }
    if (line.EndsWithSoftHyphen && run)
        XX += canvas->GetTextExtentPoint32W(u"-", 1).cx;
    canvas->SetTextJustification(0, 0);
    for (const auto& box : *boxes) {
        if (!box->HasLeft) {  // starts at the line's undrawn closing blank
            box->BRect.Left = XX;
            box->BRect.Top = std::min(box->BRect.Top, lineTop + 1);
            box->BRect.Bottom = std::max(box->BRect.Bottom, Y);
        }
        if (box->OpenEnd || !box->HasRight)
            box->BRect.Right = XX;
    }
}

void TSection::DrawBorderRec(platform::Canvas* canvas, const BorderRec& box, int shift)
{
    const int yOff = Root->YOffset;
    const platform::Rect r{box.BRect.Left + shift, box.BRect.Top - yOff, box.BRect.Right + shift,
                           box.BRect.Bottom - yOff};
    if (r.Left > r.Right || r.Top > r.Bottom)
        return;
    const MarginArray& m = box.MargArray;
    const TColor background = TColor(m[piBackgroundColor]);
    if (background != NoColor)
        canvas->FillRect(r, platform::ColorToRGB(background));
    auto width = [&m](int slot) { return std::clamp(m[std::size_t(slot)], 0, MaxBorderWidth); };
    const int wl = box.OpenStart ? 0 : width(piBorderLeftWidth);
    const int wr = box.OpenEnd ? 0 : width(piBorderRightWidth);
    const platform::Rect outer{r.Left - wl, r.Top - width(piBorderTopWidth), r.Right + wr,
                               r.Bottom + width(piBorderBottomWidth)};
    TBorderSides sides;
    const int styles[4] = {piBorderLeftStyle, piBorderTopStyle, piBorderRightStyle, piBorderBottomStyle};
    const int colours[4] = {piBorderLeftColor, piBorderTopColor, piBorderRightColor, piBorderBottomColor};
    for (int k = 0; k < 4; ++k) {
        sides.Style[k] = BorderStyleType(m[std::size_t(styles[k])]);
        sides.Color[k] = TColor(m[std::size_t(colours[k])]);
    }
    if (box.OpenStart)
        sides.Style[0] = bssNone;
    if (box.OpenEnd)
        sides.Style[2] = bssNone;
    DrawBorder(*canvas, outer, r, Root->Printing, background, sides);
}

// ---------------------------------------------------------------- hit tests

int TSection::CountAtX(platform::Canvas* canvas, int W, int N, int lineStart)
{
    CountCache& c = g_countCache;
    if (c.Section == this && c.LineStart == lineStart && c.W == W && c.N == N && c.Pass == Root->LayoutPass &&
        c.Generation == Root->Generation)
        return c.Answer;
    int S = 0;
    int count = 0;
    const int total = int(Text.size());
    while (count < N) {
        const int i = lineStart + count;
        if (i >= total)
            break;
        const char16_t ch = Text[std::size_t(i)];
        if (ch == ImgPan) {
            TFloatingObj* obj = Images.FindObject(i);
            if (obj && !obj->Floats()) {
                S += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                if (W < S)
                    break;
            }
            ++count;
            continue;
        }
        if (ch == FmCtl) {
            S += ControlsWidthAt(i);
            if (W < S)
                break;
            ++count;
            continue;
        }
        int index = 0;
        TFontObj* run = Fonts.GetFontObjAt(i, index);
        int n = TextRunLength(i, N - count);
        if (run)
            run->TheFont->SelectInto(*canvas);
        int fit = 0;
        platform::Size size = canvas->GetTextExtentExPointW(Text.data() + i, n, std::max(0, W - S), &fit, nullptr);
        count += fit;
        if (fit < n)
            break;
        S += size.cx;
    }
    count = std::min(count, N);
    c = CountCache{this, lineStart, W, N, Root->LayoutPass, Root->Generation, count};
    return count;
}

bool TSection::LinkAt(platform::Canvas* canvas, int X, int Y, TUrlTarget*& link, TFormControlObj*& control,
                      std::string& title)
{
    link = nullptr;
    control = nullptr;
    int IX = 0, IY = 0, pos = 0;
    if (TFloatingObj* obj = Images.PointInImage(X, Y, IX, IY, pos)) {
        bool found = false;
        title = !obj->Title.empty() ? obj->Title : obj->AltText;
        if (auto* hover = dynamic_cast<THoverImage*>(obj))
            Root->HoverImage = hover;
        if (TFormControlObj* ctl = obj->FormControl()) {
            ctl->ClickX = IX;
            ctl->ClickY = IY;
            control = ctl;
            return true;
        }
        const std::string mapName = obj->ClientMapName();
        if (mapName.empty()) {
            int index = 0;
            if (TFontObj* run = Fonts.GetFontObjAt(pos, index); run && run->IsLink()) {
                link = new TUrlTarget;
                link->CopyFrom(*run->UrlTarget);
                if (obj->IsServerMap())
                    link->Url += "?" + std::to_string(IX) + "," + std::to_string(IY);
                Root->HoverLink = run;
                found = true;
            }
        } else {
            for (const auto& map : Root->Maps)
                if (map->MapName == mapName) {
                    std::unique_ptr<TUrlTarget> url;
                    std::string areaTitle;
                    if (map->HitTest(IX, IY, url, areaTitle)) {
                        link = url.release();
                        if (!areaTitle.empty())
                            title = areaTitle;
                        found = true;
                    }
                    break;
                }
        }
        return found || !title.empty();
    }
    for (const auto& line : Lines) {
        if (line->DrawYTop < Y && Y <= line->DrawYTop + line->TextHeight) {
            if (X < line->DrawXStart)
                return false;
            if (Justify == 4 && line->SpaceCount > 0)
                canvas->SetTextJustification(line->ExtraWidth, line->SpaceCount);
            const int n = CountAtX(canvas, X - line->DrawXStart, line->CharsOnLine, line->Start);
            canvas->SetTextJustification(0, 0);
            if (n < line->CharsOnLine && Text[std::size_t(line->Start + n)] != ImgPan) {
                int index = 0;
                TFontObj* run = Fonts.GetFontObjAt(line->Start + n, index);
                bool found = false;
                if (run && run->IsLink()) {
                    link = new TUrlTarget;
                    link->CopyFrom(*run->UrlTarget);
                    Root->HoverLink = run;
                    found = true;
                }
                if (run && !run->Title.empty()) {
                    title = run->Title;
                    found = true;
                }
                return found;
            }
            return false;
        }
    }
    return false;
}

bool TSection::ObjectAt(int X, int Y, TIDObject*& object, int& IX, int& IY)
{
    int pos = 0;
    TFloatingObj* obj = Images.PointInImage(X, Y, IX, IY, pos);
    object = obj;
    return obj != nullptr;
}

int TSection::CursorAt(platform::Canvas* canvas, int X, int Y, int& XR, int& YR, int& caretHeight, bool& inText)
{
    if (X < DrawX || Lines.Empty())
        return -1;
    int top = YPosition;
    int before = 0;
    LineRec* hit = nullptr;
    for (const auto& line : Lines) {
        if (top + line->LineHeight() > Y) {
            hit = line.get();
            break;
        }
        top += line->LineHeight();
        before += line->CharsOnLine;
    }
    if (!hit || X > hit->DrawXStart + hit->AvailableWidth)
        return -1;
    inText = true;
    caretHeight = hit->TextHeight;
    YR = top + hit->SpaceBefore;
    if (X < hit->DrawXStart) {
        inText = false;
        XR = hit->DrawXStart;
        return StartCursor + before;
    }
    if (Justify == 4 && hit->SpaceCount > 0)
        canvas->SetTextJustification(hit->ExtraWidth, hit->SpaceCount);
    int f = CountAtX(canvas, X - hit->DrawXStart, hit->CharsOnLine, hit->Start);
    const int w = TextWidth(canvas, hit->Start, f, false);
    XR = hit->DrawXStart + w;
    if (f < hit->CharsOnLine) {
        int index = 0;
        const TFontObj* run = Fonts.GetFontObjAt(hit->Start + f, index);
        const int c = TextWidth(canvas, hit->Start + f, 1, false) - (run ? run->Overhang : 0);
        if (w + c / 2 < X - hit->DrawXStart) {
            XR += c;
            ++f;
        }
    }
    canvas->SetTextJustification(0, 0);
    if (f >= hit->CharsOnLine)
        inText = false;
    return StartCursor + before + f;
}

bool TSection::CursorPoint(platform::Canvas* canvas, int pos, int& X, int& Y)
{
    if (Text.empty() || pos < StartCursor || pos > StartCursor + CharCount)
        return false;
    int offset = pos - StartCursor;
    Y = YPosition;
    for (const auto& line : Lines) {
        if (offset < line->CharsOnLine) {
            X = line->DrawXStart;
            if (canvas) {
                if (Justify == 4 && line->SpaceCount > 0)
                    canvas->SetTextJustification(line->ExtraWidth, line->SpaceCount);
                X += TextWidth(canvas, line->Start, offset, false);
                canvas->SetTextJustification(0, 0);
            }
            return true;
        }
        offset -= line->CharsOnLine;
        Y += line->LineHeight();
    }
    return false;
}

bool TSection::CharAt(int pos, char16_t& ch, TIDObject*& object)
{
    if (pos < StartCursor || pos >= StartCursor + CharCount)
        return false;
    ch = Text[std::size_t(pos - StartCursor)];
    object = this;
    return true;
}

int TSection::FindText(int fromPos, const std::u16string& text, bool matchCase)
{
    if (Text.empty() || text.empty() || fromPos >= StartCursor + CharCount)
        return -1;
    std::u16string hay = Text;
    if (!matchCase)
        platform::WideLowerInPlace(hay);
    const std::size_t at = hay.find(text, std::size_t(std::max(0, fromPos - StartCursor)));
    return at == std::u16string::npos ? -1 : StartCursor + int(at);
}

int TSection::FindTextBackward(int fromPos, const std::u16string& text, bool matchCase)
{
    if (text.empty() || CharCount < int(text.size()) || fromPos - StartCursor + 1 < int(text.size()))
        return -1;
    std::u16string hay = Text.substr(0, std::size_t(std::min(CharCount, fromPos - StartCursor)));
    if (!matchCase)
        platform::WideLowerInPlace(hay);
    const std::size_t at = hay.rfind(text);
    return at == std::u16string::npos ? -1 : StartCursor + int(at);
}

int TSection::SourcePosOf(int docPos)
{
    if (Text.empty() || SourceRuns.empty() || docPos < StartCursor || docPos >= StartCursor + CharCount)
        return -1;
    const int P = docPos - StartCursor;
    for (int k = int(SourceRuns.size()) - 1; k >= 0; --k)
        if (SourceRuns[std::size_t(k)].Pos <= P)
            return P + SourceRuns[std::size_t(k)].Index - SourceRuns[std::size_t(k)].Pos;
    return -1;
}

int TSection::DocPosOf(int I, bool previous)
{
    if (Text.empty() || SourceRuns.empty())
        return -1;
    const IndexObj& last = SourceRuns.back();
    const int M = CharCount + last.Index - last.Pos - 1;
    if (I >= last.Index && I <= M)
        return StartCursor + last.Pos + I - last.Index;
    if (previous) {
        if (I < SourceRuns.front().Index)
            return -1;
        if (I > M)
            return StartCursor + CharCount - 1;
    } else {
        if (I > M)
            return -1;
        if (I <= SourceRuns.front().Index)
            return StartCursor;
    }
    for (std::size_t k = 0; k + 1 < SourceRuns.size(); ++k) {
        const IndexObj& a = SourceRuns[k];
        const IndexObj& b = SourceRuns[k + 1];
        if (a.Index <= I && I < b.Index) {
            const int f = I + a.Pos - a.Index;
            if (f < b.Pos)
                return StartCursor + f;
            return StartCursor + (previous ? b.Pos - 1 : b.Pos);
        }
    }
    return -1;
}

void TSection::CopySelection()
{
    SelTextCount* sink = Root->SelectionSink;
    if (!sink)
        return;
    const int A = Root->SelStart - StartCursor, E = Root->SelEnd - StartCursor;
    for (const auto& line : Lines) {
        const int ls = line->Start;
        if (line->CharsOnLine == 0 || ls >= E || ls + line->CharsOnLine < A)
            continue;
        const int from = std::max(0, A - ls);
        int to = std::min(line->CharsOnLine, E - ls);
        if (line.get() == Lines.Last() && to == line->CharsOnLine)
            --to;  // the section's closing blank
        if (to > from)
            sink->Put(Text.data() + ls + from, to - from);
    }
    if (CharCount < E)
        sink->PutLine(nullptr, 0);
}
