// Text sections on screen: drawing the formatted lines (fonts, link looks, selection, the dummy caret)
// and the questions the viewer asks about them — which link or character lies under a point, where a
// position is drawn, where a text occurs, and what is selected.

#include <algorithm>

#include "layout/formcontrolobj.h"
#include "layout/indentmanager.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "reader/mapitem.h"
#include "reader/seltext.h"

namespace {

constexpr int Slack = 40;  // lines this far outside the clip are skipped

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

void TSection::PaintLine(platform::Canvas* canvas, const platform::Rect&, IndentManager* indent, int X, int& Y,
                         LineRec& line)
{
    Y += line.TextHeight + line.SpaceBefore;
    line.BordersPending = false;
    PaintRuns(canvas, indent, X, Y, line, false);
    Y += line.SpaceAfter;
    Root->FirstPaint = false;
}

void TSection::PaintRuns(platform::Canvas* canvas, IndentManager*, int X, int Y, LineRec& line, bool)
{
    int XX = X + line.LineIndent;
    line.DrawYTop = Y - line.TextHeight;
    line.DrawXStart = XX;
    if (line.CharsOnLine == 0)
        return;
    const int baseline = Y - line.Descent - Root->YOffset;
    const int lineEnd = line.Start + line.CharsOnLine;
    int i = line.Start;
    // A trailing blank or break that ends the line is not drawn.
    int drawEnd = lineEnd;
    while (drawEnd > line.Start && (Text[std::size_t(drawEnd - 1)] == u' ' || Text[std::size_t(drawEnd - 1)] == BrkCh))
        --drawEnd;
    const int selA = Root->SelStart - StartCursor;
    const bool caretHere = Root->ShowDummyCaret && Root->SelStart == Root->SelEnd;
    while (i < drawEnd) {
        const char16_t c = Text[std::size_t(i)];
        int index = 0;
        TFontObj* run = Fonts.GetFontObjAt(i, index);
        if (c == ImgPan) {
            if (TFloatingObj* obj = Images.FindObject(i)) {
                if (!obj->Floats()) {
                    canvas->SetTextJustification(0, 0);
                    obj->DrawXX = XX + obj->HSpaceL;
                    obj->Draw(canvas, XX + obj->HSpaceL, run, Y - line.Descent, Y - line.TextHeight);
                    XX += obj->ObjWidth + obj->HSpaceL + obj->HSpaceR;
                }
            }
            ++i;
            continue;
        }
        if (c == FmCtl) {
            for (TFormControlObj* ctl : Controls)
                if (ctl->Pos == i) {
                    ctl->ShowIt = true;
                    ctl->Place(canvas, XX + ctl->HSpaceL, Y - ctl->Height() - ctl->VSpaceB - line.Descent - Root->YOffset);
                    XX += ctl->Width() + ctl->HSpaceL + ctl->HSpaceR;
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
        int shift = 0;
        if (run && run->SScript == AlignSuper)
            shift = -(run->FontHeight / 3);
        else if (run && run->SScript == AlignSub)
            shift = run->Descent / 2 + 1;
        if (Justify == 4 && line.SpaceCount > 0)
            canvas->SetTextJustification(line.ExtraWidth, line.SpaceCount);
        else
            canvas->SetTextJustification(0, 0);
        std::u16string piece(Text.data() + i, std::size_t(n));
        if (line.EndsWithSoftHyphen && i + n == drawEnd)
            piece += u'-';
        if (caretHere && !selected && i == selA && run)
            canvas->FillRect(platform::Rect{XX, baseline + shift - run->FontHeight + run->Descent, XX + 1,
                                            baseline + shift + run->Descent},
                             textColour);
        const int width = canvas->GetTextExtentPoint32W(piece.data(), int(piece.size())).cx;
        canvas->TextOutW(XX, baseline + shift, piece.data(), int(piece.size()));
        if (run && run->Active) {
            canvas->DrawFocusRect(platform::Rect{XX, baseline + run->Descent + shift - run->FontHeight, XX + width + 1,
                                                 baseline + run->Descent + shift});
        }
        XX += width;
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

void TSection::BuildLineBorders(LineRec& line) { line.BordersPending = false; }

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
            for (TFormControlObj* ctl : Controls)
                if (ctl->Pos == i)
                    S += ctl->Width() + ctl->HSpaceL + ctl->HSpaceR;
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
        int c = TextWidth(canvas, hit->Start + f, 1, false);
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
        if (offset < line->CharsOnLine || (line->CharsOnLine == 0 && false)) {
            X = line->DrawXStart + (canvas ? TextWidth(canvas, line->Start, offset, false) : 0);
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
