// Reading TABLE markup: rows and cells as written and as implied, groups, captions, columns, content
// between cells, nesting, and the column occupancy record.

#include <gtest/gtest.h>

#include <string>

#include "layout/section.h"
#include "layout/sectionlist.h"
#include "layout/tables.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/codepage.h"
#include "reader/builder.h"
#include "reader/tablereader.h"

namespace {

std::string Utf8(const std::u16string& text) { return platform::WideToMultiByte(platform::CP_UTF8, text); }

// The text of a cell's sections, trimmed, blocks included.
std::string TextOf(const TCellBasic& cell)
{
    std::string out;
    for (const auto& item : cell) {
        if (auto* s = dynamic_cast<TSection*>(item.get()))
            out += Utf8(s->Text);
        else if (auto* b = dynamic_cast<TBlock*>(item.get()))
            out += TextOf(*b->MyCell);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// The i-th table found depth-first through blocks and cells.
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

// Rows as "[a|b][c]": each cell's text.
std::string Grid(const ThtmlTable& t)
{
    std::string out;
    for (const auto& row : t.Rows) {
        out += '[';
        bool first = true;
        for (const auto& c : row->Cells) {
            if (!c || !c->Cell)
                continue;
            if (!first)
                out += '|';
            first = false;
            out += TextOf(*c->Cell);
        }
        out += ']';
    }
    return out;
}

class TableReaderTest : public ::testing::Test {
protected:
    TableReaderTest() : Root(nullptr, nullptr) {}

    void Build(const std::string& html)
    {
        Root.Clear();
        Root.SetFonts("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF0000, 0xFFFFFF, false, true,
                      platform::DEFAULT_CHARSET, 0, 0);
        THtmlHost host;
        host.Include = Include;
        Builder.ParseHtml(html, Root, host);
    }
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
    TSection* FirstSection(TCellObj* c)
    {
        return c && c->Cell->Count() ? dynamic_cast<TSection*>((*c->Cell)[0]) : nullptr;
    }
    // The body's items: "table" for a table block, "caption+table"/"table+caption" for a wrapper, text.
    std::string Flow()
    {
        auto* body = dynamic_cast<TBlock*>(Root[0]);
        std::string out;
        for (const auto& item : *body->MyCell) {
            if (!out.empty())
                out += ' ';
            if (auto* w = dynamic_cast<TTableAndCaptionBlock*>(item.get()))
                out += w->TableIndex == 1 ? "caption+table" : "table+caption";
            else if (dynamic_cast<TTableBlock*>(item.get()))
                out += "table";
            else if (auto* s = dynamic_cast<TSection*>(item.get()))
                out += "'" + Utf8(s->Text) + "'";
            else
                out += "?";
        }
        return out;
    }

    TSectionList Root;
    THtmlBuilder Builder;
    TIncludeHandler Include;
};

TEST_F(TableReaderTest, RowsAndCellsAsWrittenAndImplied)
{
    Build("<TABLE><TD>a<TD>b</TABLE>");
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Grid(*Table()), "[a|b]");

    // Unclosed rows and cells; the bold pushed in the first row ends with it.
    Build("<TABLE><TR><TD><b>a<TR><TD>b");
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Grid(*Table()), "[a][b]");
    ASSERT_NE(FirstSection(Cell(1, 0)), nullptr);
    EXPECT_EQ(FirstSection(Cell(1, 0))->Fonts[0]->TheFont->Style & fsBold, 0);
    EXPECT_NE(FirstSection(Cell(0, 0))->Fonts[0]->TheFont->Style & fsBold, 0);

    // A table with no rows at all, and one left open at the end of the file.
    Build("<table></table>x");
    ASSERT_NE(Table(), nullptr);
    EXPECT_TRUE(Table()->Rows.empty());
    Build("<table><tr><td>open");
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Grid(*Table()), "[open]");
}

TEST_F(TableReaderTest, GroupsPutTheFooterLastAndLateHeadsInTheBody)
{
    Build("<table><tfoot><tr><td>f</td></tr></tfoot><tbody><tr><td>b1<tr><td>b2</td></tr></tbody>"
          "<thead><tr><td>h</table>");
    ASSERT_NE(Table(), nullptr);
    EXPECT_EQ(Grid(*Table()), "[b1][b2][h][f]");
    EXPECT_EQ(Table()->Rows[3]->RowPart, 2);
    EXPECT_EQ(Table()->Rows[2]->RowPart, 0);  // a THEAD after rows is a body group

    Build("<table><thead><tr><td>h</td></tr></thead><tbody><tr><td>b</table>");
    EXPECT_EQ(Table()->Rows[0]->RowPart, 1);
    EXPECT_EQ(Table()->Rows[1]->RowPart, 0);
}

TEST_F(TableReaderTest, ContentBetweenCellsGoesBeforeTheTable)
{
    Build("<table><tr><td>a</td> <td>b</td>stray<td>c</table>after");
    EXPECT_EQ(Grid(*Table()), "[a|b|c]");
    EXPECT_EQ(Flow(), "'stray ' table 'after '");
}

TEST_F(TableReaderTest, CaptionsAtTopOrBottomShareOneBlock)
{
    Build("<table><caption>one</caption><tr><td>a</table>");
    EXPECT_EQ(Flow(), "caption+table");
    Build("<table><caption align=bottom>one</caption><caption>two</caption><tr><td>a</table>");
    EXPECT_EQ(Flow(), "table+caption");
    auto* wrapper = dynamic_cast<TTableAndCaptionBlock*>((*dynamic_cast<TBlock*>(Root[0])->MyCell)[0]);
    ASSERT_NE(wrapper, nullptr);
    ASSERT_NE(wrapper->CaptionBlock, nullptr);
    EXPECT_EQ(TextOf(*wrapper->CaptionBlock->MyCell), "one two");
    EXPECT_EQ(wrapper->TagClass, "TableAndCaption.");
}

TEST_F(TableReaderTest, HeaderCellsAreCentredAndDataCellsLeft)
{
    Build("<table><tr><th>h<td>d<td align=right>r<th style='text-align:right'>s</table>");
    EXPECT_EQ(FirstSection(Cell(0, 0))->Justify, 2);
    EXPECT_EQ(FirstSection(Cell(0, 1))->Justify, 1);
    EXPECT_EQ(FirstSection(Cell(0, 2))->Justify, 3);
    EXPECT_EQ(FirstSection(Cell(0, 3))->Justify, 3);
    EXPECT_NE(FirstSection(Cell(0, 0))->Fonts[0]->TheFont->Style & fsBold, 0);
}

TEST_F(TableReaderTest, CellAttributes)
{
    Build("<table><tr valign=bottom height=30><td>a<td valign=top width=40% height=50% bgcolor=red>b"
          "<td width=100 height=10 style='width:100%'>c<td colspan=0 rowspan=-1>d</table>");
    TCellObj* a = Cell(0, 0);
    TCellObj* b = Cell(0, 1);
    TCellObj* c = Cell(0, 2);
    TCellObj* d = Cell(0, 3);
    ASSERT_TRUE(a && b && c && d);
    EXPECT_EQ(a->VAlign, AlignBottom);
    EXPECT_EQ(a->SpecHeight, 30);  // the row's height
    EXPECT_EQ(b->VAlign, AlignTop);
    EXPECT_TRUE(b->SpecWidthPercent);
    EXPECT_EQ(b->SpecWidth, 400);
    EXPECT_EQ(b->SpecHeightPercent, 50);
    EXPECT_TRUE(b->Cell->BkGnd);
    // A style width of 100% is ignored; the WIDTH attribute stays.
    EXPECT_FALSE(c->SpecWidthPercent);
    EXPECT_EQ(c->SpecWidth, 100);
    EXPECT_EQ(d->ColSpan, 1);
    EXPECT_EQ(d->RowSpan, 1);
}

TEST_F(TableReaderTest, SpansAreCappedWhereTheCellIsMade)
{
    Build("<table><tr><td colspan=65535 rowspan=1000000000>a<td colspan=1000000000>b</table>");
    EXPECT_EQ(Cell(0, 0)->ColSpan, MaxColSpan);
    EXPECT_EQ(Cell(0, 0)->RowSpan, MaxRowSpan);
    EXPECT_EQ(Cell(0, 1)->ColSpan, MaxColSpan);
}

TEST_F(TableReaderTest, NoWrapUnlessThePixelWidthDecides)
{
    const std::string words = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda";
    auto lines = [&](const std::string& attrs) {
        Build("<table width=200><tr><td " + attrs + ">" + words + "</td><td>x</td></table>");
        int maxWidth = 0, cursor = 0;
        platform::Bitmap measure(1, 1);
        platform::Canvas canvas(measure);
        Root.Layout(&canvas, 0, 300, 0, 0, maxWidth, cursor);
        TSection* s = FirstSection(Cell(0, 0));
        return s ? s->Lines.Count() : 0;
    };
    EXPECT_GT(lines(""), 1);
    EXPECT_EQ(lines("nowrap width=50%"), 1);
    EXPECT_GT(lines("nowrap width=100"), 1);
}

TEST_F(TableReaderTest, ColumnSpecifications)
{
    Build("<table><col span=500 width=20><tr><td>a</table>");
    ASSERT_NE(Table(), nullptr);
    ASSERT_TRUE(Table()->ColSpecs);
    EXPECT_EQ(Table()->ColSpecs->size(), 100u);
    EXPECT_EQ((*Table()->ColSpecs)[0].Width, 20);

    // Group defaults, percentages, alignments; a COL after the first cell adds nothing.
    Build("<table><colgroup width=10% align=right valign=bottom><col><col span=2 align=center></colgroup>"
          "<tr><td>a<col width=99></table>");
    ASSERT_TRUE(Table()->ColSpecs);
    ASSERT_EQ(Table()->ColSpecs->size(), 3u);
    const TColObj& first = (*Table()->ColSpecs)[0];
    EXPECT_TRUE(first.IsPercent);
    EXPECT_EQ(first.Width, 100);
    EXPECT_EQ(first.Align, "right");
    EXPECT_EQ(first.VAlign, AlignBottom);
    EXPECT_EQ((*Table()->ColSpecs)[2].Align, "center");
    // A COLGROUP alone adds no columns.
    Build("<table><colgroup span=3></colgroup><tr><td>a</table>");
    EXPECT_FALSE(Table()->ColSpecs);

    // A cell spanning two rows in column 1 pushes the next row's first cell into column 2 for its COL.
    Build("<table><col align=left><col align=right><col align=center>"
          "<tr><td rowspan=2>a<td>b<td>c<tr><td>d<td>e</table>");
    EXPECT_EQ(FirstSection(Cell(1, 0))->Justify, 3);
    EXPECT_EQ(FirstSection(Cell(1, 1))->Justify, 2);
}

TEST_F(TableReaderTest, NestingStopsAtTenLevels)
{
    std::string html;
    for (int i = 0; i < 11; ++i)
        html += "<table><tr><td>";
    html += "deep";
    Build(html);
    EXPECT_EQ(TableCount(), 10);

    // A thousand nested tables, and cells and rows with no table at all.
    html.clear();
    for (int i = 0; i < 1000; ++i)
        html += "<table><tr><td>x";
    Build(html + "</td></tr><td>loose<tr><caption>c</caption>");
    EXPECT_EQ(TableCount(), 10);
    Build("<td>cell</td><tr>row</tr><caption>cap</caption><col>");
    EXPECT_EQ(TableCount(), 0);
}

TEST_F(TableReaderTest, AFailureInsideATableKeepsWhatWasRead)
{
    // An included text opens a comment that is never closed: the parse ends with an error in the middle
    // of the cells.
    Include = [](const std::string&, std::vector<std::string>, std::string& text) { text = "<!-- open"; };
    Build("<table><tr><td><a href=x.html>link</a> one<td><table><tr><td><a href=y.html>deep</a><div>in a "
          "block<!--#include file=x -->");
    ASSERT_EQ(TableCount(), 2);
    EXPECT_EQ(Grid(*Table(1)), "[deep in a block]");
    ASSERT_EQ(Root.LinkRuns().size(), 2u);
    int maxWidth = 0, cursor = 0;
    platform::Bitmap measure(1, 1);
    platform::Canvas canvas(measure);
    Root.Layout(&canvas, 0, 300, 0, 0, maxWidth, cursor);
    for (TFontObj* run : Root.LinkRuns())
        EXPECT_FALSE(run->URL().empty());
    EXPECT_GE(Root.FindText(0, u"deep", true), 0);
}

TEST(TableCellManager, FindsFreeColumnsAndCutsSpans)
{
    TSectionList root(nullptr, nullptr);
    TProperties props;
    auto cell = [&](int colSpan, int rowSpan) {
        auto c = std::make_unique<TCellObj>(&root, props, nullptr, AlignMiddle);
        c->ColSpan = colSpan;
        c->RowSpan = rowSpan;
        return c;
    };
    TCellManager m(3);
    EXPECT_EQ(m.FindColNum(0), 0);
    auto a = cell(1, 2);
    m.AddCell(0, *a);
    EXPECT_EQ(m.FindColNum(0), 1);
    auto b = cell(5, 1);  // runs past the declared columns
    m.AddCell(0, *b);
    EXPECT_EQ(b->ColSpan, 2);
    EXPECT_EQ(m.FindColNum(0), -1);
    EXPECT_EQ(m.FindColNum(1), 1);  // column 0 is still taken by the row span
    EXPECT_EQ(m.FindColNum(2), 0);
    auto huge = cell(1, MaxRowSpan);
    m.AddCell(2, *huge);
    EXPECT_EQ(m.FindColNum(60000), 1);
}

}  // namespace
