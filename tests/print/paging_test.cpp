// Paging of the print copy: the printable width from paper, margins and scale, cuts at line boundaries,
// forced breaks (PAGE, page-break-before and -after), bands kept whole, and the hostile sizes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "layout/blocks.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "print/printdoc.h"

namespace {

TPrintSettings Settings(double paperW, double paperH, double margin, double scale = 1.0)
{
    TPrintSettings s;
    s.Paper = platform::PaperSize{paperW, paperH};
    s.MarginLeft = s.MarginRight = s.MarginTop = s.MarginBottom = margin;
    s.Scale = scale;
    return s;
}

std::unique_ptr<TPrintDocument> Printed(const std::string& html, const TPrintSettings& settings)
{
    auto doc = std::make_unique<TPrintDocument>();
    doc->Load(html, false, THtmlHost{});
    doc->Paginate(settings);
    return doc;
}

std::string Paragraphs(int count)
{
    std::string html;
    for (int i = 0; i < count; ++i)
        html += "<p>Paragraph " + std::to_string(i) + " with some words to fill its line.</p>";
    return html;
}

// Every text line of the copy, as document rows.
std::vector<TPageSpan> Lines(TPrintDocument& doc)
{
    std::vector<TPageSpan> lines;
    TSectionList& root = doc.Root();
    std::function<void(TCellBasic&)> walk = [&](TCellBasic& cell) {
        for (int i = 0; i < cell.Count(); ++i) {
            if (auto* s = dynamic_cast<TSection*>(cell[i])) {
                int y = s->YDraw;
                for (const auto& line : s->Lines) {
                    lines.push_back(TPageSpan{y, y + line->LineHeight()});
                    y += line->LineHeight();
                }
            } else if (auto* b = dynamic_cast<TBlock*>(cell[i]); b && b->MyCell) {
                walk(*b->MyCell);
            }
        }
    };
    walk(root);
    return lines;
}

}  // namespace

TEST(PrintGeometry, PrintableAreaFromPaperMarginsAndScale)
{
    TPageGeometry g = ComputeGeometry(Settings(8.5, 11, 1.0));
    EXPECT_EQ(g.Width, 624);   // 6.5 inches at 96
    EXPECT_EQ(g.Height, 864);  // 9 inches
    g = ComputeGeometry(Settings(8.5, 11, 1.0, 2.0));
    EXPECT_EQ(g.Width, 312);
    EXPECT_DOUBLE_EQ(g.Scale, 2.0);
    // Scales beyond the range are clamped; not-a-number is 1.
    EXPECT_DOUBLE_EQ(ComputeGeometry(Settings(8.5, 11, 1.0, 0)).Scale, 0.25);
    EXPECT_DOUBLE_EQ(ComputeGeometry(Settings(8.5, 11, 1.0, 1000)).Scale, 4.0);
    EXPECT_DOUBLE_EQ(ComputeGeometry(Settings(8.5, 11, 1.0, std::nan(""))).Scale, 1.0);
}

TEST(PrintGeometry, MarginsLargerThanThePaperLeaveAnInch)
{
    TPageGeometry g = ComputeGeometry(Settings(8.5, 11, 50.0));
    EXPECT_EQ(g.Width, 96);
    EXPECT_EQ(g.Height, 96);
    EXPECT_NEAR(g.Left, 3.75, 1e-9);
    g = ComputeGeometry(Settings(8.5, 11, -3.0));
    EXPECT_EQ(g.Width, 816);
    // An unusable sheet becomes A4.
    g = ComputeGeometry(Settings(0, -1, 1.0));
    EXPECT_NEAR(g.Paper.Width, 210 / 25.4, 1e-9);
}

TEST(Paging, ShortDocumentIsOnePageAndEmptyDocumentToo)
{
    auto doc = Printed("<p>Hello</p>", Settings(8.5, 11, 1.0));
    EXPECT_EQ(doc->PageCount(), 1);
    auto empty = Printed("", Settings(8.5, 11, 1.0));
    ASSERT_EQ(empty->PageCount(), 1);
    EXPECT_EQ(empty->RenderPage(0)->Width(), 624);
}

TEST(Paging, LongDocumentIsCutBetweenLines)
{
    auto doc = Printed(Paragraphs(200), Settings(8.5, 11, 1.0));
    ASSERT_GT(doc->PageCount(), 3);
    const auto lines = Lines(*doc);
    for (int i = 0; i < doc->PageCount(); ++i) {
        const TPageSpan& p = doc->Page(i);
        EXPECT_LE(p.Bottom - p.Top, doc->Geometry().Height);
        if (i + 1 < doc->PageCount()) {
            EXPECT_EQ(p.Bottom, doc->Page(i + 1).Top);
        }
        for (const TPageSpan& line : lines)
            EXPECT_FALSE(line.Top < p.Bottom && p.Bottom < line.Bottom) << "page " << i << " cuts a line";
    }
    EXPECT_EQ(doc->Page(doc->PageCount() - 1).Bottom, doc->DocumentHeight());
}

TEST(Paging, ForcedBreaksMakeThreePages)
{
    const std::string html = "<p>First page</p><page><p>Second page</p>"
                             "<p style=\"page-break-before: always\">Third page</p>";
    auto doc = Printed(html, Settings(8.5, 11, 1.0));
    ASSERT_EQ(doc->PageCount(), 3);
    // Each page shows ink, and the second starts where the PAGE element stands.
    for (int i = 0; i < 3; ++i) {
        auto bitmap = doc->RenderPage(i);
        bool ink = false;
        for (int y = 0; y < bitmap->Height() && !ink; ++y)
            for (int x = 0; x < bitmap->Width() && !ink; ++x)
                ink = bitmap->Pixel(x, y) != platform::clWhite;
        EXPECT_TRUE(ink) << "page " << i;
    }
}

TEST(Paging, BreakAfterEndsThePageAfterTheBlock)
{
    auto doc = Printed("<div style=\"page-break-after: always\">One</div><div>Two</div>", Settings(8.5, 11, 1.0));
    EXPECT_EQ(doc->PageCount(), 2);
}

TEST(Paging, KeepTogetherBlockMovesToTheNextPage)
{
    // A block that must not be split starts a new page when it would cross the end of one.
    const std::string html = "<div style=\"height: 800px\">Filler</div>"
                             "<div style=\"page-break-inside: avoid\">" + Paragraphs(5) + "</div>";
    auto doc = Printed(html, Settings(8.5, 11, 1.0));
    ASSERT_EQ(doc->PageCount(), 2);
    EXPECT_LT(doc->Page(0).Bottom, 864);
}

TEST(Paging, ContentTallerThanASheetIsCutWhereThePageEnds)
{
    auto picture = Printed("<div style=\"height: 5000px; page-break-inside: avoid\">tall</div>", Settings(8.5, 11, 1.0));
    EXPECT_GE(picture->PageCount(), 6);
    std::string pre = "<pre>";
    for (int i = 0; i < 700; ++i)
        pre += "line " + std::to_string(i) + "\n";
    pre += "</pre>";
    auto text = Printed(pre, Settings(8.5, 11, 1.0));
    EXPECT_GT(text->DocumentHeight(), 10000);
    EXPECT_GT(text->PageCount(), 10);
    for (int i = 0; i < text->PageCount(); ++i)
        EXPECT_GT(text->Page(i).Bottom, text->Page(i).Top);
}

TEST(Paging, ScaleChangesTheFormattedWidthAndThePageCount)
{
    auto normal = Printed(Paragraphs(100), Settings(8.5, 11, 1.0, 1.0));
    auto large = Printed(Paragraphs(100), Settings(8.5, 11, 1.0, 2.0));
    EXPECT_EQ(large->Geometry().Width, 312);
    EXPECT_GT(large->PageCount(), normal->PageCount());
    auto tiny = Printed(Paragraphs(100), Settings(8.5, 11, 1.0, 0));
    EXPECT_LE(tiny->PageCount(), normal->PageCount());
}

TEST(Paging, PagesShowTheirOwnRowsOnly)
{
    // Lines drawn in black on white: the first page's bitmap ends before the second page's first line.
    auto doc = Printed("<body text=black>" + Paragraphs(120), Settings(8.5, 11, 1.0));
    ASSERT_GE(doc->PageCount(), 2);
    auto second = doc->RenderPage(1);
    EXPECT_EQ(second->Height(), doc->Page(1).Bottom - doc->Page(1).Top);
    // The top row of a page is never the middle of a glyph: the first few rows above the first line's ink
    // are white in the left margin of the text.
    bool inkInTopRow = false;
    for (int x = 0; x < second->Width(); ++x)
        inkInTopRow |= second->Pixel(x, 0) != platform::clWhite;
    EXPECT_FALSE(inkInTopRow);
}

TEST(Paging, PrintedPagesMatchTheDocumentPaintedPlainly)
{
    // Nested blocks, floats and long paragraphs: every page shows exactly what a plain paint of its rows
    // shows (blocks outside a page are passed over while printing, never ones that reach into it).
    std::string html = "<body text=black>";
    for (int i = 0; i < 40; ++i) {
        html += "<div style=\"margin-left: 20px\"><div style=\"float: right; width: 80px; height: 120px; "
                "background-color: #C0C0FF\">float</div>" + Paragraphs(3) + "<div><p>Inner " +
                std::to_string(i) + "</p></div></div>";
    }
    auto doc = Printed(html, Settings(8.5, 11, 1.0));
    ASSERT_GT(doc->PageCount(), 3);
    for (int i = 0; i < doc->PageCount(); ++i) {
        auto printed = doc->RenderPage(i);
        const TPageSpan span = doc->Page(i);
        platform::Bitmap plain(printed->Width(), printed->Height());
        platform::Canvas canvas(plain);
        canvas.FillRect(platform::Rect{0, 0, plain.Width(), plain.Height()}, platform::clWhite);
        doc->Root().ScrollTo(span.Top);
        const platform::Rect area{0, 0, plain.Width(), plain.Height()};
        doc->Root().PaintCell(&canvas, area, area.Width(), 0, 0, 0, 0);
        int differences = 0;
        for (int y = 0; y < plain.Height(); ++y)
            for (int x = 0; x < plain.Width(); ++x)
                differences += printed->Pixel(x, y) != plain.Pixel(x, y);
        EXPECT_EQ(differences, 0) << "page " << i;
    }
}

TEST(Paging, HeadRowsRepeatOnThePagesTheirItemGoesOnTo)
{
    // A stand-in for a table: the hook marks the first child (40 rows) of the block as its head rows.
    const std::string html = "<body text=black><div><div style=\"height: 40px; background-color: black\"></div>" +
                             Paragraphs(120) + "</div><p>After the table</p>" + Paragraphs(60);
    auto doc = std::make_unique<TPrintDocument>();
    doc->Load(html, false, THtmlHost{});
    int hooked = 0;
    doc->ItemBreaks = [&](TSectionBase& item, TPageBreaks& breaks) {
        auto* block = dynamic_cast<TBlock*>(&item);
        if (!block || !block->MyCell || block->MyCell->Count() == 0)
            return false;
        auto* head = dynamic_cast<TBlock*>((*block->MyCell)[0]);
        if (!head || head->SectionHeight != 40)
            return false;
        ++hooked;
        breaks.AddRepeat(head->YDraw, head->YDraw + head->SectionHeight, block->YDraw + block->SectionHeight);
        return false;
    };
    doc->Paginate(Settings(8.5, 11, 1.0));
    EXPECT_EQ(hooked, 1);
    ASSERT_GT(doc->PageCount(), 3);
    EXPECT_EQ(doc->Page(0).RepeatHeight(), 0);
    bool sawEnd = false;
    for (int i = 0; i < doc->PageCount(); ++i) {
        const TPageSpan& p = doc->Page(i);
        EXPECT_LE(p.Height(), doc->Geometry().Height);
        if (i > 0) {
            EXPECT_EQ(p.Top, doc->Page(i - 1).Bottom);
        }
        auto bitmap = doc->RenderPage(i);
        ASSERT_EQ(bitmap->Height(), p.Height());
        if (p.RepeatHeight() > 0) {
            EXPECT_EQ(p.RepeatHeight(), 40);
            EXPECT_EQ(bitmap->Pixel(300, 20), platform::clBlack) << "page " << i;
            EXPECT_NE(bitmap->Pixel(300, 45), platform::clBlack) << "page " << i;
        } else if (i > 0) {
            sawEnd = true;  // pages after the table repeat nothing
        }
    }
    EXPECT_TRUE(sawEnd);
}

TEST(Paging, WideContentIsPrintedSmallerInsteadOfCutOff)
{
    const std::string html = "<pre>" + std::string(120, 'w') + "</pre>" + Paragraphs(5);
    auto fitted = Printed(html, Settings(8.5, 11, 1.0));
    EXPECT_GT(fitted->Geometry().Width, 624);
    EXPECT_LT(fitted->Geometry().Scale, 1.0);
    EXPECT_GT(fitted->Geometry().Scale, 0.25);
    // The widest line now fits: its last column is inked inside the printed area.
    auto page = fitted->RenderPage(0);
    bool inkAtRight = false;
    for (int y = 0; y < page->Height(); ++y)
        for (int x = page->Width() - 40; x < page->Width(); ++x)
            inkAtRight |= page->Pixel(x, y) != platform::clWhite;
    EXPECT_TRUE(inkAtRight);
    TPrintSettings plain = Settings(8.5, 11, 1.0);
    plain.ShrinkToFit = false;
    EXPECT_EQ(Printed(html, plain)->Geometry().Width, 624);
    // Ordinary pages keep the scale asked for.
    EXPECT_DOUBLE_EQ(Printed(Paragraphs(20), Settings(8.5, 11, 1.0))->Geometry().Scale, 1.0);
    // Never below the smallest scale.
    auto huge = Printed("<pre>" + std::string(3000, 'x') + "</pre>", Settings(8.5, 11, 1.0));
    EXPECT_DOUBLE_EQ(huge->Geometry().Scale, 0.25);
}

TEST(Paging, LongTableIsCutBetweenRowsAndRepeatsItsHeadRow)
{
    std::string html = "<table border=1 cellspacing=0 width=\"100%\"><thead><tr><th>Month<th>Games</tr></thead><tbody>";
    for (int i = 0; i < 150; ++i)
        html += "<tr><td>Row " + std::to_string(i) + "<td>" + std::to_string(i * 7) + "</tr>";
    html += "</tbody></table><p>After the table</p>";
    auto doc = Printed(html, Settings(8.5, 11, 1.0));
    ASSERT_GT(doc->PageCount(), 2);

    // The rows of the table as the copy laid them out.
    const ThtmlTable* table = nullptr;
    std::function<void(TCellBasic&)> find = [&](TCellBasic& cell) {
        for (int i = 0; i < cell.Count() && !table; ++i) {
            if (auto* t = dynamic_cast<ThtmlTable*>(cell[i]))
                table = t;
            else if (auto* b = dynamic_cast<TBlock*>(cell[i]); b && b->MyCell)
                find(*b->MyCell);
        }
    };
    find(doc->Root());
    ASSERT_NE(table, nullptr);
    const TCellList& head = *table->Rows.front();
    ASSERT_EQ(head.RowPart, 1);
    for (int i = 0; i < doc->PageCount(); ++i) {
        const TPageSpan& page = doc->Page(i);
        EXPECT_LE(page.Height(), doc->Geometry().Height) << "page " << i;
        // No cut goes through a row.
        for (const auto& row : table->Rows)
            EXPECT_FALSE(row->RowY < page.Bottom && page.Bottom < row->RowY + row->RowHeight)
                << "page " << i << " ends inside the row at " << row->RowY;
        // Every page the table goes on to starts with its head row again.
        if (i > 0 && page.Top < table->YDraw + table->SectionHeight) {
            EXPECT_EQ(page.RepeatTop, head.RowY) << "page " << i;
            EXPECT_EQ(page.RepeatBottom, head.RowY + head.RowHeight) << "page " << i;
        }
    }
    EXPECT_EQ(doc->Page(0).RepeatHeight(), 0);
}

TEST(Paging, FormControlsAreDrawnOnPaper)
{
    // The print copy has no windows to place: its controls must be drawn into the page.
    auto with = Printed("<body bgcolor=white><form><input type=checkbox checked> <input value=\"typed text\">"
                        "<select><option>first choice</select></form>",
                        Settings(8.5, 11, 1.0));
    auto without = Printed("<body bgcolor=white><form></form>", Settings(8.5, 11, 1.0));
    auto a = with->RenderPage(0);
    auto b = without->RenderPage(0);
    ASSERT_EQ(a->Width(), b->Width());
    int differing = 0;
    for (int y = 0; y < std::min({a->Height(), b->Height(), 60}); ++y)
        for (int x = 0; x < a->Width(); ++x)
            differing += a->Pixel(x, y) != b->Pixel(x, y);
    EXPECT_GT(differing, 200);
}
