// Horizontal rules from their attributes, their layout and drawing, and page breaks while printing.
#include <gtest/gtest.h>

#include <memory>

#include "layout/indentmanager.h"
#include "layout/rules.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "core/attributes.h"
#include "core/seltext.h"
#include "style/properties.h"

using namespace platform;

namespace {

struct Attr {
    Symbol sym;
    const char* value;
    int num;
};

std::unique_ptr<TAttributeList> Attributes(std::initializer_list<Attr> attrs)
{
    auto list = std::make_unique<TAttributeList>();
    for (const Attr& a : attrs)
        list->Add(std::make_unique<TAttribute>(a.sym, 1251, a.value, "", a.num));
    return list;
}

class RuleTest : public testing::Test {
protected:
    TSectionList Root{nullptr, nullptr};
    TProperties Props;
};

}  // namespace

TEST_F(RuleTest, SizeWidthAlignAndShadeFromAttributes)
{
    EXPECT_EQ(THorzLine(&Root, Props, Attributes({{SizeSy, "0", 0}}).get()).Thickness, 2);
    EXPECT_EQ(THorzLine(&Root, Props, Attributes({{SizeSy, "25", 25}}).get()).Thickness, 2);
    THorzLine five(&Root, Props, Attributes({{SizeSy, "5", 5}, {AlignSy, "LEFT", 0}, {NoShadeSy, "", 0}}).get());
    EXPECT_EQ(five.Thickness, 5);
    EXPECT_EQ(five.Alignment, 1);
    EXPECT_TRUE(five.NoShade);
    EXPECT_EQ(Props.Values[piHeight].Int(), 5);
    EXPECT_EQ(five.Color, NoColor);

    TProperties half;
    THorzLine(&Root, half, Attributes({{WidthSy, "50%", 50}}).get());
    EXPECT_EQ(half.Values[piWidth].Text(), "50%");
    TProperties tooWide;
    THorzLine(&Root, tooWide, Attributes({{WidthSy, "150%", 150}}).get());
    EXPECT_TRUE(tooWide.Values[piWidth] == TProperties().Values[piWidth]);  // left as it was
    TProperties pixels;
    THorzLine(&Root, pixels, Attributes({{WidthSy, "300", 300}}).get());
    EXPECT_EQ(pixels.Values[piWidth].Int(), 300);

    TProperties coloured;
    THorzLine red(&Root, coloured, Attributes({{ColorSy, "red", 0}}).get());
    EXPECT_EQ(red.Color & 0xFFFFFF, clRed);
    EXPECT_EQ(THorzLine(&Root, Props, nullptr).Alignment, 2);
}

TEST_F(RuleTest, LayoutTakesTheRoomBesideFloats)
{
    IndentManager m;
    m.Reset(0, 500);
    m.AddFloatImage(0, true, 100, 40, 0, 0);
    THorzLine line(&Root, Props, nullptr);
    int maxWidth = 0;
    int cursor = 7;
    EXPECT_EQ(line.Layout(nullptr, 10, 20, 0, 0, 400, 0, 0, &m, maxWidth, cursor), 2);
    EXPECT_EQ(line.Left, 100);
    EXPECT_EQ(line.LineWidth, 310);
    EXPECT_EQ(maxWidth, 310);
    EXPECT_EQ(line.DrawBottom, 22);
    EXPECT_EQ(line.StartCursor, 7);
}

TEST_F(RuleTest, ShadedNoShadeAndColouredRules)
{
    auto draw = [&](THorzLine& line) {
        auto bitmap = std::make_unique<Bitmap>(60, 20);
        Canvas canvas(*bitmap);
        canvas.FillRect(Rect{0, 0, 60, 20}, clWhite);
        int maxWidth = 0;
        int cursor = 0;
        line.Layout(nullptr, 10, 5, 0, 0, 40, 0, 0, nullptr, maxWidth, cursor);
        line.Paint(&canvas, Rect{0, 0, 60, 20}, nullptr, 10, 0, 0);
        return bitmap;
    };
    Root.Background = clWhite;
    THorzLine shaded(&Root, Props, Attributes({{SizeSy, "3", 3}}).get());
    auto a = draw(shaded);
    Canvas ca(*a);
    EXPECT_EQ(ca.GetPixel(10, 5) & 0xFFFFFF, RGB(128, 128, 128));  // top and left in the shadow colour
    EXPECT_EQ(ca.GetPixel(49, 7) & 0xFFFFFF, clSilver);            // right and bottom silver on white
    EXPECT_EQ(ca.GetPixel(30, 7) & 0xFFFFFF, clSilver);
    EXPECT_EQ(ca.GetPixel(30, 6) & 0xFFFFFF, clWhite);              // the inside stays
    EXPECT_EQ(ca.GetPixel(50, 6) & 0xFFFFFF, clWhite);

    THorzLine flat(&Root, Props, Attributes({{SizeSy, "3", 3}, {NoShadeSy, "", 0}}).get());
    auto b = draw(flat);
    Canvas cb(*b);
    EXPECT_EQ(cb.GetPixel(10, 5) & 0xFFFFFF, clBlack);
    EXPECT_EQ(cb.GetPixel(30, 7) & 0xFFFFFF, clBlack);

    TProperties colouredProps;
    THorzLine bar(&Root, colouredProps, Attributes({{SizeSy, "4", 4}, {ColorSy, "#00ff00", 0}}).get());
    auto c = draw(bar);
    Canvas cc(*c);
    for (int y = 5; y < 9; ++y)
        EXPECT_EQ(cc.GetPixel(30, y) & 0xFFFFFF, RGB(0, 255, 0)) << y;
    EXPECT_EQ(cc.GetPixel(30, 9) & 0xFFFFFF, clWhite);
    EXPECT_EQ(cc.GetPixel(50, 6) & 0xFFFFFF, clWhite);
}

TEST_F(RuleTest, RuleBreaksCopiedText)
{
    SelTextCount count;
    Root.SelectionSink = &count;
    THorzLine line(&Root, Props, nullptr);
    line.CopySelection();
    EXPECT_EQ(count.Finish(), 2);  // CR LF
}

TEST_F(RuleTest, PageItemEndsThePrintedPage)
{
    TPage page(&Root);
    int maxWidth = 0;
    int cursor = 0;
    page.Layout(nullptr, 0, 300, 0, 0, 100, 0, 0, nullptr, maxWidth, cursor);
    Root.PageBottom = 1000;
    page.Paint(nullptr, Rect{0, 0, 100, 1000}, nullptr, 0, 0, 0);
    EXPECT_EQ(Root.PageBottom, 1000);  // only while printing
    Root.Printing = true;
    page.Paint(nullptr, Rect{0, 0, 100, 1000}, nullptr, 0, 0, 0);
    EXPECT_EQ(Root.PageBottom, 300);
    Root.PageBottom = 1000;
    page.Paint(nullptr, Rect{0, 298, 100, 1000}, nullptr, 0, 0, 0);  // too close to the clip's top
    EXPECT_EQ(Root.PageBottom, 1000);
}
