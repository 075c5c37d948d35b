// Tables laid out and painted from HTML: the grid with its spans, the width algorithms, row heights,
// frames and spacing, captions, nesting, hit tests inside cells, the shipped pages with tables, and
// hostile tables.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "layout/tables.h"
#include "images/imagecache.h"
#include "tests/layout/htmllayout.h"

namespace {

namespace fs = std::filesystem;

void Tables(const TCellBasic& cell, std::vector<ThtmlTable*>& out)
{
    for (const auto& item : cell) {
        if (auto* t = dynamic_cast<ThtmlTable*>(item.get())) {
            out.push_back(t);
            for (const auto& row : t->Rows)
                for (const auto& c : row->Cells)
                    if (c && c->Cell)
                        Tables(*c->Cell, out);
        } else if (auto* b = dynamic_cast<TBlock*>(item.get())) {
            Tables(*b->MyCell, out);
        }
    }
}

class TableLayoutTest : public HtmlLayoutTest {
protected:
    TableLayoutTest() : Paint(Target) {}
    ~TableLayoutTest() override { Root.Clear(); }

    ThtmlTable* Table(int i = 0)
    {
        std::vector<ThtmlTable*> all;
        Tables(Root, all);
        return i < int(all.size()) ? all[std::size_t(i)] : nullptr;
    }
    int TableCount()
    {
        std::vector<ThtmlTable*> all;
        Tables(Root, all);
        return int(all.size());
    }
    TCellObj* Cell(int row, int col, int table = 0)
    {
        ThtmlTable* t = Table(table);
        return t && row < int(t->Rows.size()) && col < t->Rows[std::size_t(row)]->Count()
                   ? (*t->Rows[std::size_t(row)])[col]
                   : nullptr;
    }
    void PaintAll()
    {
        Paint.FillRect(platform::Rect{0, 0, Target.Width(), Target.Height()}, 0xFFFFFF);
        Root.PaintCell(&Paint, platform::Rect{0, 0, Target.Width(), Target.Height()}, Target.Width(), 0, 0, 0, 0);
    }
    platform::TColor Pixel(int x, int y) const { return Paint.GetPixel(x, y) & 0xFFFFFF; }

    platform::Bitmap Target{400, 300};
    platform::Canvas Paint;
};

TEST_F(TableLayoutTest, ATableWithoutRowsIsItsSpacingTallAndDrawsNothing)
{
    Format("<table></table>", 300);
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Table()->SectionHeight, 2);
    Format("<table cellspacing=7 bgcolor=red></table>", 300);
    EXPECT_EQ(Table()->SectionHeight, 7);
    Format("<table border=0></table>", 300);
    PaintAll();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(Pixel(x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(TableLayoutTest, ColumnSpansGrowTheGridAndTrailingDummiesAreTrimmed)
{
    Format("<table><tr><td colspan=3>a<tr><td>b<td>c</table>", 300);
    EXPECT_EQ(Table()->NumCols, 2);
    EXPECT_EQ(Cell(0, 0)->ColSpan, 2);
    EXPECT_EQ(Cell(0, 0)->SpanWidth, Table()->Widths[0] + Table()->Widths[1]);

    Format("<table><tr><td colspan=3>a<tr><td>b<td>c<td>d</table>", 300);
    EXPECT_EQ(Table()->NumCols, 3);
    EXPECT_EQ(Cell(0, 0)->ColSpan, 3);
    EXPECT_EQ(Table()->Rows[0]->Count(), 3);  // the cell and two dummies
    EXPECT_TRUE(Cell(0, 1)->IsDummy());
}

TEST_F(TableLayoutTest, RowSpansAreCutAtTheLastRowAndCoverTheirRows)
{
    Format("<table><tr><td>a<td>b<tr><td rowspan=5>c<td>d<tr><td>e</table>", 300);
    ASSERT_EQ(Table()->Rows.size(), 3u);
    EXPECT_EQ(Cell(1, 0)->RowSpan, 2);
    EXPECT_EQ(Cell(1, 0)->SpanHeight, Table()->Heights[1] + Table()->Heights[2]);
    // The row below holds a dummy where the spanning cell stands: "e" moves to the second column.
    EXPECT_TRUE(Cell(2, 0)->IsDummy());
    ASSERT_NE(Cell(2, 1), nullptr);
    EXPECT_EQ(Table()->NumCols, 2);

    // A tall spanning cell shares its height out over the rows it spans.
    Format("<table cellspacing=0 cellpadding=0><tr><td rowspan=2 height=100>x<td>y<tr><td>z</table>", 300);
    EXPECT_EQ(Table()->Heights[0] + Table()->Heights[1], 100);
}

TEST_F(TableLayoutTest, APixelWidthSwitchesTheTableToAbsoluteWidths)
{
    Format("<table cellspacing=2 cellpadding=1><tr><td width=100>a<td>b</table>", 500);
    EXPECT_TRUE(Table()->UseAbsoluteWidths);
    EXPECT_EQ(Table()->Widths[0], 100 + 2 + 2);  // the width, padding and spacing

    // Percentages in a table without a width: the table is as wide as its content, no wider.
    Format("<table cellspacing=0 cellpadding=0><tr><td width=50%>a<td>bbbbbbbb</table>", 400);
    EXPECT_FALSE(Table()->UseAbsoluteWidths);
    EXPECT_EQ(Table()->TableWidth, Table()->MaxWidths[0] + Table()->MaxWidths[1]);
    EXPECT_LT(Table()->TableWidth, 400);

    // A table of a set width shares it out: the percentage column takes its share.
    Format("<table width=400 cellspacing=0 cellpadding=0><tr><td width=25%>a<td>b<td>c</table>", 500);
    EXPECT_EQ(Table()->Widths[0], 100);
    EXPECT_EQ(Table()->TableWidth, 400);
    Format("<table width=50% cellspacing=0><tr><td>a<td>b</table>", 500);
    EXPECT_EQ(Table()->TableWidth, 250);
}

TEST_F(TableLayoutTest, ATableNarrowerThanItsMinimumOverflows)
{
    Format("<table><tr><td>Supercalifragilistic<td>Antidisestablishmentarianism</table>", 60);
    ThtmlTable* t = Table();
    EXPECT_EQ(t->Widths, t->MinWidths);
    EXPECT_GT(t->TableWidth, 60);
    int maxWidth = 0, cursor = 0;
    Root.Layout(&Canvas, 0, 60, 0, 0, maxWidth, cursor);
    EXPECT_GE(maxWidth, Table()->TableWidth);
}

TEST_F(TableLayoutTest, BorderFramesEveryCellAndTheTable)
{
    Format("<table border=1 cellspacing=0 cellpadding=2><tr><td>a<td>b</table>", 300);
    TCellObj* a = Cell(0, 0);
    EXPECT_EQ(a->BrdLeft, 1);
    EXPECT_EQ(a->BrdBottom, 1);
    EXPECT_EQ(a->HzSpace, 6);
    PaintAll();
    // The table's raised frame lies at x 0 (light on a white page: silver), the first cell's sunken frame
    // at x 1 (dark on its left and top).
    const int y = Table()->YPosition + 5;
    EXPECT_EQ(Pixel(0, y), 0xC0C0C0u);
    EXPECT_EQ(Pixel(1, y), platform::ColorToRGB(platform::clBtnShadow));
    const int right = 1 + a->SpanWidth - 1;
    EXPECT_EQ(Pixel(right, y), 0xC0C0C0u);

    // Style borders replace the 3-D frames.
    Format("<table border=1 cellspacing=0><tr><td style='border:2px solid red'>a</table>", 300);
    EXPECT_TRUE(Cell(0, 0)->HasBorderStyle);
    EXPECT_EQ(Cell(0, 0)->BrdLeft, 2);
    PaintAll();
    EXPECT_EQ(Pixel(2, Table()->YPosition + 5), 0x0000FFu);
}

TEST_F(TableLayoutTest, SpacingOfMinusOneOverlapsNeighbouringFrames)
{
    for (const char* html : {"<table border=1 cellspacing=-1><tr><td>a<td>b</table>",
                             "<table border=1 style='border-collapse:collapse'><tr><td>a<td>b</table>"}) {
        Format(html, 300);
        ThtmlTable* t = Table();
        EXPECT_EQ(t->CellSpacing, -1) << html;
        const int firstRight = t->LayoutX + Cell(0, 0)->SpanWidth;       // one past the first box
        const int secondLeft = t->LayoutX + t->Widths[0] + t->CellSpacing;  // the second box
        EXPECT_EQ(firstRight - 1, secondLeft) << html;
    }
}

TEST_F(TableLayoutTest, RowHeightsAndVerticalAlignment)
{
    Format("<table cellspacing=0 cellpadding=0><tr height=50><td valign=bottom>a<td valign=top>b<td>c</table>", 300);
    EXPECT_EQ(Table()->Heights[0], 50);
    TSection* a = dynamic_cast<TSection*>((*Cell(0, 0)->Cell)[0]);
    TSection* b = dynamic_cast<TSection*>((*Cell(0, 1)->Cell)[0]);
    TSection* c = dynamic_cast<TSection*>((*Cell(0, 2)->Cell)[0]);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(b->YPosition, Table()->YPosition);
    EXPECT_EQ(a->YPosition + a->SectionHeight, Table()->YPosition + 50);
    EXPECT_EQ(c->YPosition - Table()->YPosition, (50 - c->SectionHeight) / 2);

    // A table with a height gives its rows the room; percentage rows that come to nothing take what is
    // left in the last row instead of dividing by nothing.
    Format("<table height=100 cellspacing=0><tr><td>a<tr><td>b</table>", 300);
    EXPECT_EQ(Table()->Heights[0] + Table()->Heights[1], 100);
    Format("<table height=20 cellspacing=0 cellpadding=0><tr><td height=1%></td><tr><td height=1%></td></table>",
           300);
    EXPECT_EQ(Table()->Heights[0] + Table()->Heights[1], 20);
    for (int h : Table()->Heights)
        EXPECT_GE(h, 0);
}

TEST_F(TableLayoutTest, PercentageColumnsThatCannotFitEnd)
{
    std::string html = "<table cellspacing=-1 cellpadding=0><tr>";
    for (int i = 0; i < 60; ++i)
        html += "<td width=1%></td>";
    html += "<td>word word word</td><td width=90%></td></table>";
    Format(html, 40);
    int sum = 0;
    for (int w : Table()->Widths)
        sum += w;
    EXPECT_GE(sum, 0);
}

TEST_F(TableLayoutTest, CaptionsFootersAndNesting)
{
    Format("<table><caption align=bottom>Below</caption><tr><td>cell</table>", 300);
    std::vector<TSection*> sections;
    Sections(Root, sections);
    // Sections lists the caption's text; the table's cells are not blocks, so it finds only the caption.
    ASSERT_FALSE(sections.empty());
    TSection* caption = sections.back();
    EXPECT_GE(caption->YPosition, Table()->ContentBottom);

    Format("<table><tfoot><tr><td>foot</td></tr></tfoot><tr><td>body</table>", 300);
    EXPECT_GT(Table()->Rows[1]->RowY, Table()->Rows[0]->RowY);
    EXPECT_EQ(Table()->Rows[1]->RowPart, 2);

    Format("<table border=1><tr><td>x<td><table border=1><tr><td><table border=1><tr><td>deep</table>"
           "</table></table>",
           300);
    ASSERT_EQ(TableCount(), 3);
    ThtmlTable* outer = Table(0);
    ThtmlTable* inner = Table(2);
    EXPECT_GT(inner->YPosition, outer->YPosition);
    EXPECT_LT(inner->ContentBottom, outer->ContentBottom);
    EXPECT_GT(inner->LayoutX, 0);
    const std::string dump = Dump();
    EXPECT_NE(dump.find("table top="), std::string::npos);
    EXPECT_NE(dump.find("cell row=0 col=1 colspan=1 rowspan=1"), std::string::npos);
    EXPECT_NE(dump.find("\"deep \""), std::string::npos);
}

TEST_F(TableLayoutTest, HitTestsSearchAndSelectionReachIntoNestedCells)
{
    Format("<p>before</p><table><tr><td>one<td><table><tr><td>two<td><table><tr><td>x <a href='deep.html'>"
           "deeplink</a></table></table></table><p>after</p>",
           400);
    PaintAll();
    // The link's run, found through the layout dump's line for it.
    const std::string dump = Dump();
    const std::size_t at = dump.find("\"x deeplink \"");
    ASSERT_NE(at, std::string::npos);
    const std::size_t lineStart = dump.rfind("line baseline=", at);
    int baseline = 0, left = 0;
    ASSERT_EQ(std::sscanf(dump.c_str() + lineStart, "line baseline=%d left=%d", &baseline, &left), 2);
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    std::string title;
    const int x = left + 30, y = baseline - 3;
    ASSERT_TRUE(Root.LinkAt(&Paint, x, y, link, control, title));
    std::unique_ptr<TUrlTarget> owned(link);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Url, "deep.html");
    link = nullptr;
    Root.LinkAt(&Paint, left + 2, y, link, control, title);
    std::unique_ptr<TUrlTarget> none(link);
    EXPECT_EQ(link, nullptr);

    int XR = 0, YR = 0, caret = 0;
    bool inText = false;
    const int pos = Root.CursorAt(&Paint, x, y, XR, YR, caret, inText);
    EXPECT_GE(pos, 0);
    char16_t ch = 0;
    TIDObject* obj = nullptr;
    ASSERT_TRUE(Root.CharAt(pos, ch, obj));
    EXPECT_NE(std::u16string(u"deeplink").find(ch), std::u16string::npos);

    const int found = Root.FindText(0, u"deeplink", true);
    ASSERT_GE(found, 0);
    EXPECT_EQ(Root.FindTextBackward(Root.CharCount, u"deeplink", true), found);
    EXPECT_GT(found, Root.FindText(0, u"two", true));
    int px = 0, py = 0;
    ASSERT_TRUE(Root.CursorPoint(&Paint, found, px, py));
    EXPECT_NEAR(py, baseline, 20);

    Root.SelStart = Root.FindText(0, u"one", true);
    Root.SelEnd = Root.FindText(0, u"after", true);
    std::u16string text(std::size_t(Root.SelectedLength() + 1), u'\0');
    text.resize(std::size_t(std::max(0, Root.SelectedText(text.data(), int(text.size())) - 1)));
    for (const char16_t* word : {u"one", u"two", u"deeplink"})
        EXPECT_NE(text.find(word), std::u16string::npos);
}

TEST_F(TableLayoutTest, FloatingAndCentredTables)
{
    Format("<table align=right border=1><tr><td>float</table><p>text beside the table</p>", 400);
    TSection* text = Section(0);
    ASSERT_NE(text, nullptr);
    ASSERT_FALSE(text->Lines.Empty());
    EXPECT_LT(text->YPosition, Table()->ContentBottom);
    EXPECT_GT(Table()->LayoutX, 300);

    Format("<table align=center><tr><td>mid</table>", 400);
    EXPECT_NEAR(Table()->LayoutX + Table()->TableWidth / 2, 200, 3);
    Format("<div align=right><table><tr><td>right</table></div>", 400);
    EXPECT_NEAR(Table()->LayoutX + Table()->TableWidth, 400, 3);
}

TEST_F(TableLayoutTest, CellBackgroundsFromCellRowAndTable)
{
    TStringBitmapList cache;
    Root.ImageCache = &cache;
    Root.OnBitmapRequest = [](TSectionList*, const std::string& name, std::unique_ptr<platform::Bitmap>& bitmap,
                              platform::TColor& colour) {
        if (name.find("green") == std::string::npos)
            return;
        bitmap = std::make_unique<platform::Bitmap>(4, 4);
        platform::Canvas c(*bitmap);
        c.FillRect(platform::Rect{0, 0, 4, 4}, 0x00FF00);
        colour = platform::TColor(-1);
    };
    Format("<table cellspacing=0 cellpadding=0 bgcolor=#0000ff>"
           "<tr><td width=40 height=20 background=green.bmp></td><td width=40 bgcolor=red></td><td width=40></td>"
           "<tr background=green.bmp><td height=20></td><td background=missing.bmp></td><td></td></table>",
           300);
    PaintAll();
    const int top = Table()->YPosition;
    EXPECT_EQ(Pixel(10, top + 10), 0x00FF00u);        // the cell's picture
    EXPECT_EQ(Pixel(50, top + 10), 0x0000FFu);        // its own colour (red)
    EXPECT_EQ(Pixel(90, top + 10), 0xFF0000u);        // the table's colour (blue)
    EXPECT_EQ(Pixel(90, top + 30), 0x00FF00u);        // the row's picture
    EXPECT_EQ(Pixel(50, top + 30), 0xFF0000u);        // a picture that cannot be had is dropped
    Root.Clear();
    Root.ImageCache = nullptr;
}

// Random tables of every kind at several widths: the widths share out the room, every cell's middle
// answers a hit test (spans that contradict each other may make boxes overlap, as the grid lays them
// out), and document positions run through the cells in order.
TEST_F(TableLayoutTest, RandomTablesKeepTheirInvariants)
{
    std::mt19937 rng(2006);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    const char* const widths[] = {"", " width=30%", " width=60", " width=100%", " width=5", " width=250%"};
    for (int round = 0; round < 120; ++round) {
        std::string html = "<table cellspacing=" + std::to_string(pick(4) - 1) + " cellpadding=" +
                           std::to_string(pick(4)) + (pick(2) ? " border=1" : "") +
                           (pick(3) == 0 ? " width=" + std::to_string(100 + pick(400)) : std::string()) + ">";
        const int rows = 1 + pick(6);
        for (int r = 0; r < rows; ++r) {
            html += "<tr>";
            for (int c = 0, n = 1 + pick(5); c < n; ++c) {
                html += "<td";
                if (pick(6) == 0)
                    html += " colspan=" + std::to_string(2 + pick(3));
                if (pick(8) == 0)
                    html += " rowspan=" + std::to_string(2 + pick(3));
                html += widths[pick(6)];
                html += ">c" + std::to_string(r) + "_" + std::to_string(c) + std::string(std::size_t(pick(12)), 'x');
                if (pick(3) == 0)
                    html += " some words to wrap";
            }
        }
        html += "</table>";
        const int width = 60 + pick(500);
        Format(html, width);
        ThtmlTable* t = Table();
        ASSERT_NE(t, nullptr) << html;
        int totalMin = 0;
        for (int w : t->MinWidths)
            totalMin += w;
        const int sum = ThtmlTable::SumOf(t->Widths);
        EXPECT_GE(sum, std::min(totalMin, width - t->CellSpacing) - t->NumCols) << html << " at " << width;
        for (int h : t->Heights)
            EXPECT_GE(h, std::min(0, t->CellSpacing)) << html;
        PaintAll();
        int lastStart = -1;
        for (std::size_t r = 0; r < t->Rows.size(); ++r) {
            const TCellList& row = *t->Rows[r];
            int x = t->DrawX;
            for (int i = 0; i < row.Count(); ++i) {
                const TCellObj* c = row[i];
                if (c && c->Cell) {
                    EXPECT_GE(c->Cell->StartCursor, lastStart) << html;
                    lastStart = c->Cell->StartCursor;
                    if (c->SpanWidth > 2 && c->SpanHeight > 2) {
                        const TCellObj* hit = t->CellAtPoint(x + c->SpanWidth / 2, row.RowY + c->SpanHeight / 2);
                        EXPECT_NE(hit, nullptr) << html;
                    }
                }
                x += i < int(t->Widths.size()) ? t->Widths[std::size_t(i)] : 0;
            }
        }
    }
}

// Every shipped page with a table lays out with the columns its first row declares.
TEST_F(TableLayoutTest, ShippedPagesShowTheirTables)
{
    int pages = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(VEXA_SOURCE_DIR) / "content" / "Info")) {
        if (entry.path().extension() != ".html")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string html = ss.str();
        if (html.find("<TABLE") == std::string::npos && html.find("<table") == std::string::npos)
            continue;
        ++pages;
        Format(html, 551);
        ASSERT_GT(TableCount(), 0) << entry.path();
        ThtmlTable* t = Table();
        ASSERT_FALSE(t->Rows.empty()) << entry.path();
        int declared = 0;
        for (const auto& c : t->Rows[0]->Cells)
            if (c && c->Cell)
                declared += c->ColSpan;
        EXPECT_EQ(t->NumCols, declared) << entry.path();
        EXPECT_GE(t->NumCols, 2) << entry.path();
        EXPECT_GT(t->SectionHeight, 20 * int(t->Rows.size())) << entry.path();
        if (entry.path().filename() == "statistics.html") {
            EXPECT_EQ(t->NumCols, 3) << entry.path();
        } else if (entry.path().filename() == "best_results.html") {
            EXPECT_EQ(t->NumCols, 4) << entry.path();
        }
    }
    EXPECT_GE(pages, 14);
}

TEST_F(TableLayoutTest, HostileTablesStayBounded)
{
    auto timed = [&](const std::string& html, int width) {
        const auto start = std::chrono::steady_clock::now();
        Format(html, width);
        PaintAll();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%.3f s\n", s);
        return s;
    };
    std::string rows;
    for (int i = 0; i < 10000; ++i)
        rows += "<tr><td>" + std::to_string(i) + "<td>x";
    timed("<table>" + rows + "</table>", 500);
    EXPECT_EQ(Table()->Rows.size(), 10000u);

    std::string cols = "<table><tr>";
    for (int i = 0; i < 1000; ++i)
        cols += "<td>c";
    timed(cols + "</table>", 500);
    EXPECT_EQ(Table()->NumCols, 1000);

    // Spans of every size, on many rows: the grid is capped, nothing runs away.
    std::string spans = "<table>";
    for (const char* v : {"0", "-1", "65535", "1000000000", "2", "1e9"})
        spans += std::string("<tr><td colspan=") + v + " rowspan=" + v + ">s<td>t";
    for (int i = 0; i < 5000; ++i)
        spans += "<tr><td colspan=1000>w";
    timed(spans + "</table>", 500);
    long long slots = 0;
    for (const auto& r : Table()->Rows)
        slots += r->Count();
    EXPECT_LE(slots, MaxGridSlots + 2000);

    // Giant words in giant letters in many columns: the widths stay inside their bounds.
    std::string giant = "<table><tr>";
    for (int i = 0; i < 30; ++i)
        giant += "<td style='font-size:10000pt'>" + std::string(300, 'W');
    timed(giant + "</table>", 500);
    EXPECT_GT(Table()->TableWidth, 0);

    // A thousand nested tables: ten are built, and laying them out stays cheap.
    std::string nested;
    for (int i = 0; i < 1000; ++i)
        nested += "<table border=1><tr><td>a<td>";
    timed(nested, 500);
    EXPECT_EQ(TableCount(), 10);

    // Percentages over 100, a second caption, columns after rows, an unclosed table.
    timed("<table width=250%><caption>a<caption>b<tr><td width=300%>x<td width=150%>y<col width=5>"
          "<tr><td height=900%>z",
          300);
    EXPECT_EQ(TableCount(), 1);
}

}  // namespace
