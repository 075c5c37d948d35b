#pragma once
// The fixture the layout tests share: a document root built from HTML with no body margins, laid out with
// a measuring canvas, and the ways the tests find its sections and blocks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/blocks.h"
#include "layout/layoutdump.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "reader/builder.h"

class HtmlLayoutTest : public ::testing::Test {
protected:
    HtmlLayoutTest() : Root(nullptr, nullptr), Canvas(Measure) {}

    // An empty document with the test defaults (Arial 12, white background).
    void Defaults()
    {
        Root.Clear();
        Root.SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                      platform::DEFAULT_CHARSET, 0, 0);
    }
    // Builds the page with no body margins and formats it at width; answers the height.
    int Format(const std::string& html, int width)
    {
        Defaults();
        THtmlHost host;
        host.MarginWidth = 0;
        host.MarginHeight = 0;
        Builder.ParseHtml(html, Root, host);
        return Relayout(width);
    }
    virtual int Relayout(int width)
    {
        Width = width;
        int maxWidth = 0, cursor = 0;
        return Root.Layout(&Canvas, 0, width, 0, 0, maxWidth, cursor);
    }
    std::string Dump() { return DumpLayout(Root, Canvas); }

    // Text sections and blocks depth-first, in document order.
    static void Sections(const TCellBasic& cell, std::vector<TSection*>& out)
    {
        for (const auto& item : cell) {
            if (auto* s = dynamic_cast<TSection*>(item.get()))
                out.push_back(s);
            else if (auto* b = dynamic_cast<TBlock*>(item.get()))
                Sections(*b->MyCell, out);
        }
    }
    static void Blocks(const TCellBasic& cell, std::vector<TBlock*>& out)
    {
        for (const auto& item : cell)
            if (auto* b = dynamic_cast<TBlock*>(item.get())) {
                out.push_back(b);
                Blocks(*b->MyCell, out);
            }
    }
    TSection* Section(int i)
    {
        std::vector<TSection*> all;
        Sections(Root, all);
        return i < int(all.size()) ? all[std::size_t(i)] : nullptr;
    }
    // The i-th block below the body.
    TBlock* Block(int i)
    {
        std::vector<TBlock*> all;
        Blocks(Root, all);
        return i + 1 < int(all.size()) ? all[std::size_t(i + 1)] : nullptr;
    }

    TSectionList Root;
    THtmlBuilder Builder;
    platform::Bitmap Measure{1, 1};
    platform::Canvas Canvas;
    int Width = 0;
};
