// The layout dump: items by nesting, with their rectangles, and the lines of text sections.

#include "layout/layoutdump.h"

#include <cstdarg>
#include <cstdio>

#include "layout/blocks.h"
#include "layout/imageobj.h"
#include "layout/rules.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
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
            const char* kind = dynamic_cast<TBodyBlock*>(block) ? "body"
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
                 block->DrawTop, block->DrawBottom, block->ContentLeft, block->ContentWidth, block->YPosition,
                 block->SectionHeight, extra.c_str());
            Cell(*block->MyCell, block->ContentLeft, depth + 1);
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
};

}  // namespace

std::string DumpLayout(TSectionList& root, platform::Canvas& canvas)
{
    Dumper d(canvas);
    d.Cell(root, 0, 0);
    return d.Out;
}
