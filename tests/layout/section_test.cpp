// Text sections and blocks laid out from real HTML: line breaking at exact widths, long words, narrow
// widths, text-indent, alignment, margins and their collapsing, list markers, soft hyphens, preformatted
// text, and the hit tests on known text.

#include <gtest/gtest.h>

#include <string>

#include "layout/blocks.h"
#include "layout/layoutdump.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "reader/builder.h"
#include "tests/layout/htmllayout.h"

namespace {

class SectionTest : public HtmlLayoutTest {
protected:
    int WidthOf(TSection* s) { return s->TextWidth(&Canvas, 0, s->CharCount, true); }
};

}  // namespace

TEST_F(SectionTest, LinesBreakAtExactWidths)
{
    Format("<p>alpha beta gamma</p>", 2000);
    TSection* s = Section(0);
    ASSERT_NE(s, nullptr);
    const int full = WidthOf(s);
    ASSERT_GT(full, 0);
    Relayout(full);
    EXPECT_EQ(s->Lines.Count(), 1) << Dump();
    Relayout(full - 1);
    EXPECT_EQ(s->Lines.Count(), 2) << Dump();
    EXPECT_EQ(s->Lines[0]->CharsOnLine, 11);  // "alpha beta " — the blank stays on the line it ends
    // Every character is on exactly one line.
    int total = 0;
    for (const auto& line : s->Lines)
        total += line->CharsOnLine;
    EXPECT_EQ(total, s->CharCount);
}

TEST_F(SectionTest, LongWordsAndNarrowWidths)
{
    const std::string word(100000, 'w');
    Format("<p>a " + word + " b</p>", 551);
    TSection* s = Section(0);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->Lines.Count(), 3) << "the word stays whole on its own line";
    EXPECT_EQ(s->Lines[1]->CharsOnLine, 100001);

    Format("<p style='word-wrap: break-word'>" + word.substr(0, 500) + "</p>", 100);
    EXPECT_GT(Section(0)->Lines.Count(), 3) << "with break-word the word is cut";

    for (int width : {0, 1}) {
        EXPECT_GT(Format("<p>some words <b>in</b> a paragraph</p><ul><li>item</ul>", width), 0);
        for (int i = 0; Section(i); ++i)
            EXPECT_GT(Section(i)->Lines.Count(), 0);
    }
}

TEST_F(SectionTest, IndentAndAlignment)
{
    Format("<p style='text-indent: 20%'>x</p>", 500);
    EXPECT_EQ(Section(0)->Lines[0]->LineIndent, 100);
    Format("<p style='text-indent: 95%'>x</p>", 500);
    EXPECT_EQ(Section(0)->Lines[0]->LineIndent, 450);

    Format("<p align=right>abc</p><p align=center>abc</p>", 300);
    TSection* right = Section(0);
    TSection* centre = Section(1);
    const int w = WidthOf(right);
    EXPECT_EQ(right->Lines[0]->LineIndent, 300 - w);
    EXPECT_EQ(centre->Lines[0]->LineIndent, (300 - w) / 2);

    Format("<p align=justify>one two three four five six seven eight nine ten eleven twelve</p>", 150);
    TSection* j = Section(0);
    ASSERT_GT(j->Lines.Count(), 1);
    EXPECT_GT(j->Lines[0]->SpaceCount, 0);
    EXPECT_GE(j->Lines[0]->ExtraWidth, 0);
    EXPECT_EQ(j->Lines.Last()->ExtraWidth, 0) << "the last line is not spread";
}

TEST_F(SectionTest, MarginsCollapse)
{
    auto gap = [&](const std::string& first, const std::string& second) {
        Format("<p style='" + first + "'>a</p><p style='" + second + "'>b</p>", 300);
        TSection* a = Section(0);
        TSection* b = Section(1);
        return b->YPosition - (a->YPosition + a->SectionHeight);
    };
    EXPECT_EQ(gap("margin-bottom: 20px", "margin-top: 30px"), 30);
    EXPECT_EQ(gap("margin-bottom: -10px", "margin-top: 30px"), 20);
    EXPECT_EQ(gap("margin-bottom: -10px", "margin-top: -30px"), -30);
    // The first paragraph of the body loses its default spacing.
    Format("<p>a</p>", 300);
    EXPECT_EQ(Section(0)->YPosition, 0);
    // Negative margins larger than the content lay out without harm.
    EXPECT_GE(Format("<div style='margin-top:-500px; margin-bottom:-900px'>x</div>y", 300), 0);
}

TEST_F(SectionTest, SoftHyphensAndBlanks)
{
    Format("<p>a  b&shy;c</p>", 300);
    TSection* s = Section(0);
    EXPECT_EQ(s->Text, u"a bc ");
    EXPECT_EQ(s->BreakFlags[2], BreakSoftHyphen);
    int minW = 0, maxW = 0;
    s->MeasureWidths(&Canvas, minW, maxW);
    const int b = s->TextWidth(&Canvas, 2, 1, true);
    EXPECT_GT(minW, b) << "the piece that ends at the soft hyphen includes the hyphen";
    // A section of blanks only is dropped.
    Format("<p>   </p>", 300);
    EXPECT_EQ(Section(0), nullptr);
    // NOBR: no break inside.
    Format("<nobr>one two three four five six</nobr>", 40);
    EXPECT_EQ(Section(0)->Lines.Count(), 1);
}

TEST_F(SectionTest, PreformattedText)
{
    std::string line(400, 'm');
    Format("<pre>" + line + "\n  two  blanks</pre>", 300);
    TSection* first = Section(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Lines.Count(), 1);
    int minW = 0, maxW = 0;
    first->MeasureWidths(&Canvas, minW, maxW);
    EXPECT_GT(maxW, 2000);
    EXPECT_EQ(minW, 2000);
    EXPECT_EQ(Section(1)->Text, u"  two  blanks ");
    Format("<pre></pre>x", 300);
    EXPECT_GT(Root.Count(), 0);
}

TEST_F(SectionTest, ListMarkers)
{
    Format("<ol type=a start=25><li>y<li>z<li>beyond</ol><ol type=i start=19><li>a<li>b<li>c</ol>"
           "<ol type=I start=0><li>zero</ol>",
           300);
    std::vector<std::u16string> markers;
    std::function<void(const TCellBasic&)> walk = [&](const TCellBasic& cell) {
        for (const auto& item : cell)
            if (auto* li = dynamic_cast<TBlockLI*>(item.get()))
                markers.push_back(li->MarkerText());
            else if (auto* b = dynamic_cast<TBlock*>(item.get()))
                walk(*b->MyCell);
    };
    walk(Root);
    EXPECT_EQ(markers, (std::vector<std::u16string>{u"y.", u"z.", u"z.", u"xix.", u"xx.", u"xx.", u"0."}));
}

TEST_F(SectionTest, HitTestsOnKnownText)
{
    Format("<p>hello world</p>", 300);
    platform::Bitmap target(300, 50);
    platform::Canvas paint(target);
    Root.PaintCell(&paint, platform::Rect{0, 0, 300, 50}, 300, 0, 0, 0, 0);
    TSection* s = Section(0);
    const int h = s->TextWidth(&Canvas, 0, 1, false);
    int XR = 0, YR = 0, caret = 0;
    bool inText = false;
    // The right half of the first character puts the caret after it.
    EXPECT_EQ(Root.CursorAt(&Canvas, h - 1, 5, XR, YR, caret, inText), 1);
    EXPECT_EQ(Root.CursorAt(&Canvas, 1, 5, XR, YR, caret, inText), 0);
    EXPECT_TRUE(inText);
    int X = 0, Y = 0;
    EXPECT_TRUE(s->CursorPoint(&Canvas, 6, X, Y));
    EXPECT_EQ(X, s->TextWidth(&Canvas, 0, 6, false));
    EXPECT_EQ(s->FindText(0, u"world", true), 6);
    EXPECT_EQ(s->FindText(0, u"world", false), 6);
    EXPECT_EQ(s->FindTextBackward(11, u"o", true), 7);
    EXPECT_EQ(Root.CursorAt(&Canvas, 1, 500, XR, YR, caret, inText), -1);

    Root.SelStart = 2;
    Root.SelEnd = 9;
    std::u16string text(64, u'\0');
    const int n = Root.SelectedText(text.data(), int(text.size()));
    EXPECT_EQ(text.substr(0, std::size_t(n - 1)), u"llo wor");
}
