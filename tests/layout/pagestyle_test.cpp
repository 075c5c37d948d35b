// Layout of what pages write in their style sheets: the body's CSS margins, floats on both sides that
// would overlap, sub and super from a section's first character, ex in text-indent, several text
// decorations, unusable font sizes and paddings, and rgba( ) colours on the screen.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "layout/blocks.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "tests/layout/htmllayout.h"

namespace {

using platform::Bitmap;
using platform::Rect;

class PageStyleTest : public HtmlLayoutTest {
protected:
    TBlock* Body() { return dynamic_cast<TBlock*>(Root[0]); }
    TFontObj* FirstRun(int section) { return Section(section)->Fonts[0]; }

    // Paints the top of the document on white and answers the colour at (x, y).
    platform::TColor PixelAt(int height, int x, int y)
    {
        Bitmap bitmap(Width, height);
        platform::Canvas canvas(bitmap);
        canvas.FillRect(Rect{0, 0, Width, height}, 0xFFFFFF);
        Root.YOffset = 0;
        Root.PaintCell(&canvas, Rect{0, 0, Width, height}, Width, 0, 0, 0, 0);
        return canvas.GetPixel(x, y) & 0xFFFFFF;
    }
};

TEST_F(PageStyleTest, BodyVerticalMarginsFromStyleSheets)
{
    Format("<body style=\"margin-top:25px; margin-bottom:10px\"><p style=\"margin:0\">x", 300);
    const int lineHeight = Section(0)->SectionHeight;
    EXPECT_EQ(Body()->YPosition, 25);
    EXPECT_EQ(Section(0)->YPosition, 25);
    EXPECT_EQ(Body()->SectionHeight, 25 + lineHeight + 10);

    Format("<style>body { margin-top: 2em }</style><body><p style=\"margin:0\">x", 300);
    EXPECT_GT(Body()->YPosition, 20);
    EXPECT_EQ(Section(0)->YPosition, Body()->YPosition);

    // The margin attributes keep working, and no margin stays 0.
    Format("<body topmargin=7><p style=\"margin:0\">x", 300);
    EXPECT_EQ(Section(0)->YPosition, 7);
    Format("<body><p style=\"margin:0\">x", 300);
    EXPECT_EQ(Section(0)->YPosition, 0);
}

TEST_F(PageStyleTest, ARightFloatMovesBelowALeftFloatItWouldOverlap)
{
    Format("<div style=\"float:left;width:60%\">left words</div><div style=\"float:right;width:60%\">right"
           " words</div><p>after",
           500);
    TBlock* left = Block(0);
    TBlock* right = Block(1);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->ContentLeft, 0);
    EXPECT_EQ(left->YPosition, 0);
    EXPECT_GE(right->YPosition, left->DrawBottom);
    EXPECT_EQ(right->ContentLeft + right->ContentWidth, 500);

    // The other way round: the left float goes below the right one.
    Format("<div style=\"float:right;width:60%\">right</div><div style=\"float:left;width:60%\">left</div>", 500);
    EXPECT_EQ(Block(0)->YPosition, 0);
    EXPECT_GE(Block(1)->YPosition, Block(0)->DrawBottom);
    EXPECT_EQ(Block(1)->ContentLeft, 0);

    // Floats that fit side by side stay side by side.
    Format("<div style=\"float:left;width:30%\">left</div><div style=\"float:right;width:30%\">right</div>", 500);
    EXPECT_EQ(Block(0)->YPosition, 0);
    EXPECT_EQ(Block(1)->YPosition, 0);
    EXPECT_EQ(Block(1)->ContentLeft + Block(1)->ContentWidth, 500);
    // A right float wider than the room beside no float stays where it is.
    Format("<div style=\"float:right;width:120%\">wide</div>", 500);
    EXPECT_EQ(Block(0)->YPosition, 0);
}

TEST_F(PageStyleTest, SubAndSuperShiftTheFirstRunOfASection)
{
    Format("<p><span style=\"vertical-align:sub\">x</span> y</p><p><span style=\"vertical-align:super\">x</span>",
           300);
    EXPECT_EQ(FirstRun(0)->SScript, AlignSub);
    EXPECT_EQ(FirstRun(1)->SScript, AlignSuper);
    Format("<p>a <sub>x</sub></p><p>plain", 300);
    EXPECT_EQ(FirstRun(0)->SScript, AlignNone);
    EXPECT_EQ(Section(0)->Fonts[1]->SScript, AlignSub);
    EXPECT_EQ(FirstRun(1)->SScript, AlignNone);
}

TEST_F(PageStyleTest, TextIndentInExIsHalfAnEm)
{
    Format("<p style=\"text-indent:2ex\">x</p><p style=\"text-indent:1em\">x</p><p style=\"text-indent:2em\">x", 300);
    EXPECT_GT(Section(0)->TextIndent, 0);
    EXPECT_EQ(Section(0)->TextIndent, Section(1)->TextIndent);
    EXPECT_LT(Section(0)->TextIndent, Section(2)->TextIndent);
}

TEST_F(PageStyleTest, SeveralTextDecorationsAtOnce)
{
    Format("<p style=\"text-decoration: underline line-through\">a</p>"
           "<p style=\"text-decoration: line-through overline\">b</p>"
           "<p style=\"text-decoration: underline\">c</p>"
           "<p style=\"text-decoration: underline wavy\">d</p>"
           "<p style=\"text-decoration: none underline\">e</p>",
           300);
    auto style = [&](int i) { return FirstRun(i)->TheFont->Style; };
    EXPECT_EQ(style(0) & (fsUnderline | fsStrikeOut), fsUnderline | fsStrikeOut);
    EXPECT_EQ(style(1) & (fsUnderline | fsStrikeOut), fsStrikeOut);
    EXPECT_EQ(style(2) & (fsUnderline | fsStrikeOut), fsUnderline);
    EXPECT_EQ(style(3) & (fsUnderline | fsStrikeOut), 0);  // an unknown word: ignored as before
    EXPECT_EQ(style(4) & (fsUnderline | fsStrikeOut), 0);
}

TEST_F(PageStyleTest, UnusableFontSizesKeepTheParentSize)
{
    Format("<p>plain</p><p style=\"font-size:-0.5in\">minus</p><p style=\"font-size:0\">zero</p>"
           "<div style=\"font-size:20px\"><p style=\"font-size:-3em\">inner</p></div>",
           300);
    const int plain = FirstRun(0)->TheFont->Height;
    EXPECT_EQ(FirstRun(1)->TheFont->Height, plain);
    EXPECT_EQ(FirstRun(2)->TheFont->Height, plain);
    EXPECT_EQ(FirstRun(3)->TheFont->Height, -20);
    EXPECT_EQ(Section(1)->SectionHeight, Section(0)->SectionHeight);
}

TEST_F(PageStyleTest, NegativePaddingsAreNotApplied)
{
    Format("<div style=\"padding:-20px\">x</div><div style=\"padding:6px; padding-left:-10px\">y</div>", 300);
    EXPECT_EQ(Block(0)->ContentLeft, 0);
    EXPECT_EQ(Block(0)->YPosition, 0);
    EXPECT_GT(Block(0)->SectionHeight, 0);
    EXPECT_EQ(Block(1)->ContentLeft, 6);
}

TEST_F(PageStyleTest, RgbaBackgroundsAndBordersOnTheScreen)
{
    Format("<div style=\"height:20px;background-color:rgba(255,0,0,0)\"></div>"
           "<div style=\"height:20px;background-color:rgba(255,0,0,0.5)\"></div>"
           "<div style=\"height:20px;background:rgba(0,0,255,1)\"></div>",
           100);
    EXPECT_EQ(PixelAt(60, 50, 10), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(60, 50, 30), 0x0000FFu);
    EXPECT_EQ(PixelAt(60, 50, 50), 0xFF0000u);

    // A transparent rgba border colour draws like a border given no colour.
    Format("<div style=\"height:20px;border:4px solid\"></div>", 100);
    const platform::TColor plain = PixelAt(40, 1, 10);
    Format("<div style=\"height:20px;border:4px solid rgba(0, 255, 0, 0)\"></div>", 100);
    EXPECT_EQ(PixelAt(40, 1, 10), plain);
    Format("<div style=\"height:20px;border:4px solid rgba(0, 255, 0, 0.3)\"></div>", 100);
    EXPECT_EQ(PixelAt(40, 1, 10), 0x00FF00u);
}

}  // namespace
