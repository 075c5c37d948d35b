// The layout dump: items by nesting, with their rectangles, and the lines of text sections.

#include "layout/layoutdump.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "layout/blocks.h"
#include "layout/imageobj.h"
#include "layout/rules.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/codepage.h"

namespace {

class Dumper {
public:
    Dumper(platform::Canvas& canvas) : FCanvas(canvas) {}

    void Cell(const TCellBasic& cell, int X, int depth)
    {
        if (depth > MaxCellNesting)
            return;
        for (const auto& itemPtr : cell)
            Item(*itemPtr, X, depth);
    }

    std::string Out;

private:
    void Line(int depth, const char* format, ...) __attribute__((format(printf, 3, 4)))
    {
        Out.append(std::size_t(depth) * 2, ' ');
        char buf[512];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buf, sizeof buf, format, args);
        va_end(args);
        Out += buf;
        Out += '\n';
    }

    void Item(TSectionBase& item, int X, int depth)
    {
        if (auto* block = dynamic_cast<TBlock*>(&item)) {
            const char* kind = dynamic_cast<TTableBlock*>(block)             ? "tableblock"
                               : dynamic_cast<TTableAndCaptionBlock*>(block) ? "tablecaption"
                               : dynamic_cast<TBodyBlock*>(block)            ? "body"
                               : dynamic_cast<TBlockLI*>(block) ? "li"
                               : dynamic_cast<THRBlock*>(block) ? "hr"
                                                                 : "block";
            std::string extra;
            if (block->FloatLR == AlignLeft || block->FloatLR == AlignRight)
                extra += block->FloatLR == AlignLeft ? " float=left" : " float=right";
            if (block->Positioning != PosStatic)
                extra += block->Positioning == PosAbsolute ? " absolute" : " relative";
            if (block->ZIndex != 0)
                extra += " z=" + std::to_string(block->ZIndex);
            Line(depth, "%s %s top=%d bottom=%d left=%d width=%d y=%d height=%d%s", kind, block->TagClass.c_str(),
                 block->DrawTop, block->DrawBottom, block->ContentLeft + FShift, block->ContentWidth, block->YPosition,
                 block->SectionHeight, extra.c_str());
            Cell(*block->MyCell, block->ContentLeft + FShift, depth + 1);
        } else if (auto* table = dynamic_cast<ThtmlTable*>(&item)) {
            Table(*table, depth);
        } else if (auto* section = dynamic_cast<TSection*>(&item)) {
            Section(*section, X, depth);
        } else if (auto* rule = dynamic_cast<THorzLine*>(&item)) {
            Line(depth, "rule top=%d bottom=%d left=%d width=%d thickness=%d", rule->DrawTop, rule->DrawBottom,
                 rule->Left, rule->LineWidth, rule->Thickness);
        } else if (dynamic_cast<TPage*>(&item)) {
            Line(depth, "page y=%d", item.YPosition);
        } else {
            Line(depth, "item top=%d bottom=%d y=%d height=%d", item.DrawTop, item.DrawBottom, item.YPosition,
                 item.SectionHeight);
        }
    }

    // The table box, each row, and each cell with its box, grid place and spans, then its content.
    void Table(ThtmlTable& table, int depth)
    {
        // Cell content is laid out from X 0; the dump shows it at the cell's place in the document.
        const int tableX = table.LayoutX + FShift;
        const int savedShift = FShift;
        Line(depth, "table top=%d bottom=%d left=%d width=%d y=%d height=%d cols=%d rows=%d spacing=%d padding=%d "
                    "border=%d",
             table.DrawTop, table.DrawBottom, tableX, table.TableWidth, table.YPosition, table.SectionHeight,
             table.NumCols, int(table.Rows.size()), table.CellSpacing, table.CellPadding, table.Border);
        static const char* const Parts[3] = {"body", "head", "foot"};
        for (std::size_t r = 0; r < table.Rows.size(); ++r) {
            const TCellList& row = *table.Rows[r];
            Line(depth + 1, "row %d y=%d height=%d part=%s", int(r), row.RowY, row.RowHeight,
                 Parts[std::clamp(row.RowPart, 0, 2)]);
            int x = tableX;
            for (int i = 0; i < row.Count() && i < int(table.Widths.size()); ++i) {
                const TCellObj* c = row[i];
                if (c && c->Cell) {
                    const int cs = table.CellSpacing;
                    Line(depth + 2, "cell row=%d col=%d colspan=%d rowspan=%d left=%d top=%d width=%d height=%d",
                         int(r), i, c->ColSpan, c->RowSpan, x + cs, row.RowY + cs, c->SpanWidth - cs,
                         c->SpanHeight - cs);
                    FShift = x + cs + c->PadLeft + c->BrdLeft;
                    Cell(*c->Cell, FShift, depth + 3);
                    FShift = savedShift;
                }
                x += table.Widths[std::size_t(i)];
            }
        }
    }

    void Section(TSection& section, int X, int depth)
    {
        Line(depth, "%s top=%d bottom=%d y=%d height=%d chars=%d", dynamic_cast<TPreFormated*>(&section) ? "pre" : "text",
             section.DrawTop, section.DrawBottom, section.YPosition, section.SectionHeight, section.CharCount);
        int y = section.YPosition;
        for (const auto& line : section.Lines) {
            const int baseline = y + line->SpaceBefore + line->TextHeight - line->Descent;
            int width = 0;
            if (line->CharsOnLine > 0)
                width = section.TextWidth(&FCanvas, line->Start, line->CharsOnLine, true);
            std::u16string text;
            for (int i = 0; i < line->CharsOnLine; ++i) {
                const char16_t c = section.Text[std::size_t(line->Start + i)];
                if (c == ImgPan)
                    text += u"[obj]";
                else if (c == FmCtl)
                    text += u"[ctl]";
                else if (c == BrkCh)
                    text += u"[br]";
                else
                    text += c;
            }
            if (line->EndsWithSoftHyphen)
                text += u'-';
            Line(depth + 1, "line baseline=%d left=%d width=%d height=%d \"%s\"", baseline, X + line->LineIndent,
                 width, line->LineHeight(), platform::WideToMultiByte(65001, text).c_str());
            y += line->LineHeight();
        }
        for (const auto& obj : section.Images)
            Object(*obj, depth + 1);
    }

    // A picture or panel: what it shows, where it was last drawn (document coordinates) and its float side.
    void Object(TFloatingObj& obj, int depth)
    {
        const char* side = obj.VertAlign == AlignLeft ? " float=left" : obj.VertAlign == AlignRight ? " float=right" : "";
        if (auto* image = dynamic_cast<TImageObj*>(&obj)) {
            const char* state = "not fetched";
            switch (image->Kind()) {
            case TImageObj::TPictureKind::Bitmap: state = "loaded"; break;
            case TImageObj::TPictureKind::Gif: state = "loaded animated"; break;
            case TImageObj::TPictureKind::Wait: state = "placeholder awaited"; break;
            case TImageObj::TPictureKind::Error: state = "placeholder missing"; break;
            default: break;
            }
            if (image->Root && !image->Root->ShowImages)
                state = "placeholder images off";
            // The drawn rectangle includes the border; DrawXX and DrawYY are inside it.
            Line(depth, "picture src=\"%s\" pos=%d drawn=%d,%d size=%dx%d image=%dx%d border=%d%s %s",
                 image->Source.substr(0, 200).c_str(), obj.Pos, obj.DrawXX - obj.BorderSize,
                 obj.DrawYY - obj.BorderSize, obj.ObjWidth, obj.ObjHeight,
                 image->ImageWidth, image->ImageHeight, obj.BorderSize, side, state);
        } else {
            Line(depth, "panel pos=%d drawn=%d,%d size=%dx%d%s", obj.Pos, obj.DrawXX, obj.DrawYY, obj.ObjWidth,
                 obj.ObjHeight, side);
        }
    }

    platform::Canvas& FCanvas;
    int FShift = 0;  // document X of the origin the items being dumped were laid out from
};

}  // namespace

std::string DumpLayout(TSectionList& root, platform::Canvas& canvas)
{
    Dumper d(canvas);
    d.Cell(root, 0, 0);
    return d.Out;
}
