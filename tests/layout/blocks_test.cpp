// Blocks laid out and painted from real HTML: floats with text beside and below them, clear, absolute and
// relative positioning with their painting order, hidden overflow, visibility, widths and auto margins,
// background pictures, titles, and deep nesting.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "layout/blocks.h"
#include "layout/layoutdump.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "reader/builder.h"
#include "images/imagecache.h"
#include "tests/layout/htmllayout.h"

namespace {

using platform::Bitmap;
using platform::Rect;

constexpr platform::TColor Red = 0x0000FF;    // colours as the canvas keeps them: 0x00BBGGRR
constexpr platform::TColor Blue = 0xFF0000;
constexpr platform::TColor Green = 0x00FF00;
constexpr platform::TColor White = 0xFFFFFF;

class BlocksTest : public HtmlLayoutTest {
protected:
    BlocksTest() { Root.ImageCache = &Cache; }
    ~BlocksTest() override { Root.Clear(); }  // the document's pictures go before the cache

    // Paints the top of the document on white; answers the picture.
    std::unique_ptr<Bitmap> Paint(int height)
    {
        auto bitmap = std::make_unique<Bitmap>(Width, height);
        platform::Canvas canvas(*bitmap);
        canvas.FillRect(Rect{0, 0, Width, height}, White);
        Root.YOffset = 0;
        Root.PaintCell(&canvas, Rect{0, 0, Width, height}, Width, 0, 0, 0, 0);
        return bitmap;
    }

    static platform::TColor Pixel(Bitmap& bitmap, int x, int y)
    {
        platform::Canvas canvas(bitmap);
        return canvas.GetPixel(x, y) & 0xFFFFFF;
    }

    TStringBitmapList Cache;
};

const std::string Words =
    "Some words that go on long enough to fill several lines of a narrow column of text, and then a few "
    "more so that the paragraph reaches well below any float beside it.";

TEST_F(BlocksTest, TextFlowsBesideAndBelowFloats)
{
    Format("<div style='float:left;width:100px;height:40px'>F</div><p style='margin:0'>" + Words + "</p>", 300);
    TBlock* floating = Block(0);
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(floating->FloatLR, AlignLeft);
    EXPECT_EQ(floating->SectionHeight, 0) << "a float takes no room in the flow";
    TSection* text = Section(1);
    ASSERT_NE(text, nullptr);
    ASSERT_GE(text->Lines.Count(), 4) << Dump();
    int y = text->YPosition;
    for (int i = 0; i < text->Lines.Count(); ++i) {
        const LineRec& line = *text->Lines[i];
        if (y < 40)
            EXPECT_GE(line.LineIndent, 100) << "line " << i << " beside the float\n" << Dump();
        else
            EXPECT_EQ(line.LineIndent, 0) << "line " << i << " below the float\n" << Dump();
        y += line.LineHeight();
    }

    // A right float narrows the lines from the right; an auto-width float shrinks to its content.
    Format("<div style='float:right;padding:0'>Short</div><p style='margin:0'>" + Words + "</p>", 300);
    floating = Block(0);
    ASSERT_NE(floating, nullptr);
    EXPECT_LT(floating->ContentWidth, 60) << Dump();
    EXPECT_EQ(floating->ContentLeft + floating->ContentWidth, 300) << Dump();
    text = Section(1);
    ASSERT_NE(text, nullptr);
    const LineRec& first = *text->Lines[0];
    EXPECT_LE(first.LineIndent + text->TextWidth(&Canvas, first.Start, first.CharsOnLine, false),
              300 - floating->ContentWidth)
        << Dump();

    // A float wider than its cell stays within the room, at every width down to 0.
    for (int width : {0, 1, 50, 300}) {
        Format("<div style='float:left'>" + std::string(2000, 'x') + "</div><p>after</p>", width);
        ASSERT_NE(Block(0), nullptr);
        EXPECT_GE(Block(0)->ContentWidth, 0);
    }
}

TEST_F(BlocksTest, ClearMovesABlockBelowTheFloatsOfItsSide)
{
    Format("<div style='float:left;width:50px;height:60px'></div>"
           "<div style='clear:right'>right</div><div style='clear:left'>left</div>",
           300);
    TBlock* clearRight = Block(1);
    TBlock* clearLeft = Block(2);
    ASSERT_NE(clearLeft, nullptr);
    EXPECT_LT(clearRight->YPosition, 60) << "nothing floats on the right\n" << Dump();
    EXPECT_GE(clearLeft->YPosition, 60) << Dump();

    Format("<div style='float:right;width:50px;height:30px'></div><div style='float:left;width:50px;height:80px'>"
           "</div><br clear=all><p style='clear:both;margin:0'>below</p>",
           300);
    std::vector<TBlock*> all;
    Blocks(Root, all);
    EXPECT_GE(all.back()->YPosition, 80) << Dump();
}

TEST_F(BlocksTest, PositionedBlocksTakeNoRoomAndPaintInZOrder)
{
    Format("<div style='height:25px;background:red'></div>"
           "<div style='position:absolute;top:10px;left:10px;width:30px;height:20px;background:blue'></div>"
           "<div style='position:absolute;top:15px;left:15px;width:30px;height:20px;background:lime;z-index:-1'>"
           "</div><p style='margin:0'>flow</p>",
           200);
    TBlock* statics = Block(0);
    TBlock* above = Block(1);
    TBlock* below = Block(2);
    ASSERT_NE(below, nullptr) << Dump();
    EXPECT_EQ(above->Positioning, PosAbsolute);
    EXPECT_EQ(above->ZIndex, 1) << "an absolute block with z-index 0 counts as 1";
    EXPECT_EQ(below->ZIndex, -10);
    EXPECT_EQ(above->SectionHeight, 0);
    TSection* flow = Section(0);
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->YPosition, 25) << "the paragraph follows the static block directly\n" << Dump();
    EXPECT_EQ(above->ContentLeft, 10);
    EXPECT_EQ(above->YPosition, 10);

    auto picture = Paint(60);
    EXPECT_EQ(Pixel(*picture, 12, 12), Blue) << "absolute above the static block";
    EXPECT_EQ(Pixel(*picture, 42, 20), Red) << "negative z below the static block";
    EXPECT_EQ(Pixel(*picture, 43, 32), Green) << "visible where nothing static covers it";
    EXPECT_EQ(Pixel(*picture, 100, 20), Red);

    // Painting order of a cell: negative orders, document order, then positive orders.
    const std::vector<TSectionBase*>& order = statics->OwnerBlock->DrawList;
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order.front(), below);
    EXPECT_EQ(order.back(), above);
}

TEST_F(BlocksTest, RelativeBlocksMoveWhenPaintedButKeepTheirPlaceInTheFlow)
{
    Format("<div style='position:relative;top:20px;left:30px;width:40px;height:10px;background:blue'></div>"
           "<div style='height:10px;background:red'></div>",
           200);
    TBlock* moved = Block(0);
    TBlock* next = Block(1);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->YPosition, 10) << "the flow does not see the offset\n" << Dump();
    auto picture = Paint(50);
    EXPECT_EQ(Pixel(*picture, 35, 25), Blue);
    EXPECT_EQ(Pixel(*picture, 5, 5), White) << "nothing left at the old place";
    EXPECT_EQ(Pixel(*picture, 100, 15), Red);
    EXPECT_EQ(moved->MyRect.Left, 30);
    EXPECT_EQ(moved->MyRect.Top, 20);
}

TEST_F(BlocksTest, HiddenOverflowVisibilityAndDisplay)
{
    const std::string tall = std::string(400, 'W') + " " + Words;
    Format("<div style='width:100px;height:20px;overflow:hidden;color:black;font-size:20px'>" + tall +
               "</div><div style='height:40px'></div>",
           200);
    TBlock* clipped = Block(0);
    ASSERT_NE(clipped, nullptr);
    EXPECT_TRUE(clipped->HideOverflow);
    EXPECT_EQ(clipped->ContentBot - clipped->YPosition, 20);
    auto picture = Paint(60);
    for (int y = 21; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(Pixel(*picture, x, y), White) << "drawn outside the clipped box at " << x << "," << y;
    bool inked = false;
    for (int y = 0; y < 20 && !inked; ++y)
        for (int x = 0; x < 100 && !inked; ++x)
            inked = Pixel(*picture, x, y) != White;
    EXPECT_TRUE(inked) << "the visible part is drawn";

    // A width of 20 or less does not clip.
    Format("<div style='width:20px;overflow:hidden'>" + Words + "</div>", 200);
    EXPECT_FALSE(Block(0)->HideOverflow);

    // Hidden blocks keep their room but draw nothing; display:none takes no room.
    Format("<div style='visibility:hidden;height:30px;background:red'></div>"
           "<div style='display:none;height:30px'></div><div style='height:10px;background:blue'></div>",
           100);
    EXPECT_EQ(Block(2)->YPosition, 30) << Dump();
    picture = Paint(50);
    EXPECT_EQ(Pixel(*picture, 50, 15), White);
    EXPECT_EQ(Pixel(*picture, 50, 35), Blue);
}

TEST_F(BlocksTest, WidthsAndAutoMargins)
{
    Format("<div style='width:100px;margin-left:auto;margin-right:auto'>c</div>"
           "<div style='width:100px;margin-left:auto'>r</div>"
           "<div style='margin-left:auto;margin-right:auto'>auto</div>"
           "<div style='width:50%;padding:0 10px'>half</div>"
           "<div style='width:1000px'>wide</div>",
           300);
    EXPECT_EQ(Block(0)->ContentLeft, 100) << Dump();
    EXPECT_EQ(Block(1)->ContentLeft, 200) << Dump();
    EXPECT_EQ(Block(2)->ContentLeft, 0) << "auto margins of an auto width are 0";
    EXPECT_EQ(Block(2)->ContentWidth, 300);
    EXPECT_EQ(Block(3)->ContentWidth, 150);
    EXPECT_EQ(Block(3)->ContentLeft, 10);
    EXPECT_EQ(Block(4)->ContentWidth, 1000) << "a set width is kept even when wider than the room";

    // Negative margins larger than the content lay out without harm.
    const int height = Format("<p style='margin-bottom:-500px'>a</p><p style='margin-top:-300px'>b</p>"
                              "<div style='margin:-1000px'>c</div>",
                              200);
    EXPECT_GE(height, 0);
    Paint(40);
}

TEST_F(BlocksTest, BackgroundPicturesTileThePaddingBox)
{
    Root.OnBitmapRequest = [](TSectionList*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                              platform::TColor& colour) {
        if (name.find("green") == std::string::npos)
            return;
        bitmap = std::make_unique<Bitmap>(4, 4);
        platform::Canvas c(*bitmap);
        c.FillRect(Rect{0, 0, 4, 4}, Green);
        colour = platform::TColor(-1);
    };
    Format("<div style='margin:5px;border:2px solid blue;height:20px;background-image:url(green.bmp)'></div>"
           "<div style='height:20px;background:url(green.bmp) no-repeat center'></div>"
           "<div style='height:20px;background:red url(missing.bmp)'></div>",
           100);
    auto picture = Paint(80);
    EXPECT_EQ(Pixel(*picture, 7, 7), Green) << "tiled from the padding box's corner";
    EXPECT_EQ(Pixel(*picture, 92, 26), Green);
    EXPECT_EQ(Pixel(*picture, 5, 15), Blue) << "the border is not covered";
    EXPECT_EQ(Pixel(*picture, 2, 2), White) << "the margin is not covered";
    // No repeat, centred: one 4 x 4 tile in the middle of the 100 x 20 box starting at y 34.
    EXPECT_EQ(Pixel(*picture, 49, 44), Green);
    EXPECT_EQ(Pixel(*picture, 10, 44), White);
    EXPECT_EQ(Pixel(*picture, 49, 36), White);
    // A missing picture leaves the colour.
    EXPECT_EQ(Pixel(*picture, 50, 64), Red);
}

TEST_F(BlocksTest, TitlesAndHitTestsFollowThePaintingOrder)
{
    Format("<div title='Box' style='height:30px'>text under</div>"
           "<div style='position:absolute;top:0;left:0;width:200px;height:30px'>over</div>",
           200);
    Paint(40);
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    std::string title;
    Root.LinkAt(&Canvas, 50, 10, link, control, title);
    EXPECT_EQ(title, "Box");
    int xr = 0, yr = 0, caret = 0;
    bool inText = false;
    const int pos = Root.CursorAt(&Canvas, 2, 8, xr, yr, caret, inText);
    // The absolute block's text ("over") starts after "text under " in document order.
    EXPECT_GE(pos, 10) << "the top-most block answers first";
}

TEST_F(BlocksTest, DeepNestingIsBoundedAndStillDrawn)
{
    std::string html;
    for (int i = 0; i < 10000; ++i)
        html += "<div style='margin-left:1px;border-left:1px solid red'>";
    html += "deep";
    const int height = Format(html, 400);
    EXPECT_GT(height, 0);
    EXPECT_NE(Dump().find("deep"), std::string::npos);
    Paint(40);
    for (int width : {0, 1, 30})
        Format(html, width);
}

}  // namespace

namespace {

TEST_F(BlocksTest, ListItemsShowTheirMarkerPictureOrFallBack)
{
    Root.OnBitmapRequest = [](TSectionList*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                              platform::TColor& colour) {
        if (name.find("dot") == std::string::npos)
            return;
        bitmap = std::make_unique<Bitmap>(6, 6);
        platform::Canvas c(*bitmap);
        c.FillRect(Rect{0, 0, 6, 6}, Green);
        colour = platform::TColor(-1);
    };
    Format("<ul style='margin:0;padding:0'><li style='list-style-image:url(dot.png)'>pictured</li>"
           "<li style='list-style-image:url(missing.png);color:black'>fallback</li></ul>",
           200);
    std::vector<TBlock*> all;
    Blocks(Root, all);
    TBlockLI* pictured = nullptr;
    TBlockLI* fallback = nullptr;
    for (TBlock* b : all)
        if (auto* li = dynamic_cast<TBlockLI*>(b))
            (pictured ? fallback : pictured) = li;
    ASSERT_NE(fallback, nullptr) << Dump();
    EXPECT_NE(pictured->MarkerBitmap, nullptr);
    EXPECT_EQ(fallback->MarkerBitmap, nullptr);
    EXPECT_EQ(fallback->MarkerImageName, "");
    auto picture = Paint(60);
    const int x = pictured->ContentLeft;
    const int y = pictured->FirstLineY;
    EXPECT_EQ(Pixel(*picture, x - 14, y - 3), Green) << "the picture stands left of the first line";
    // The missing picture leaves the disc bullet, drawn in the text colour.
    bool bullet = false;
    for (int yy = fallback->FirstLineY - 7; yy <= fallback->FirstLineY; ++yy)
        for (int xx = fallback->ContentLeft - 16; xx < fallback->ContentLeft - 8; ++xx)
            bullet = bullet || Pixel(*picture, xx, yy) == 0;
    EXPECT_TRUE(bullet);
}

}  // namespace

namespace {

TEST_F(BlocksTest, TinyBackgroundPicturesCoverLargeBoxes)
{
    Root.OnBitmapRequest = [](TSectionList*, const std::string&, std::unique_ptr<Bitmap>& bitmap,
                              platform::TColor& colour) {
        bitmap = std::make_unique<Bitmap>(1, 1);
        platform::Canvas c(*bitmap);
        c.FillRect(Rect{0, 0, 1, 1}, Green);
        colour = platform::TColor(-1);
    };
    Format("<div style='height:400px;background-image:url(dot.bmp)'></div>", 800);
    auto picture = Paint(400);
    platform::Canvas c(*picture);
    for (int y = 0; y < 400; y += 7)
        for (int x = 0; x < 800; x += 5)
            ASSERT_EQ(c.GetPixel(x, y) & 0xFFFFFF, Green) << x << "," << y;
    EXPECT_EQ(c.GetPixel(799, 399) & 0xFFFFFF, Green);
}

}  // namespace
