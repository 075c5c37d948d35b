// rgba( ) colours: alpha 0 is no colour, any other alpha keeps the triple; where sheets and style
// attributes store them, and what a border colour makes of a transparent one.
#include <gtest/gtest.h>

#include "style/conversions.h"
#include "style/sheetparser.h"
#include "style/stylelist.h"

namespace {

constexpr TColor Flag = platform::PaletteRelative;

TColor Color(std::string_view text, bool needHash = false)
{
    TColor c = 0xDEADBEEF;
    EXPECT_TRUE(ParseColor(text, needHash, c)) << text;
    return c;
}

TEST(RgbaTest, AlphaZeroIsNoColourOtherAlphasKeepTheTriple)
{
    EXPECT_EQ(Color("rgba(255, 0, 0, 0)"), NoColor);
    EXPECT_EQ(Color("rgba(255,0,0,0.0)"), NoColor);
    EXPECT_EQ(Color("RGBA(10, 20, 30, 0%)"), NoColor);
    EXPECT_EQ(Color("rgba(255, 0, 0, 0.5)"), 0x0000FFu | Flag);
    EXPECT_EQ(Color("rgba(0, 128, 0, 1)"), 0x008000u | Flag);
    EXPECT_EQ(Color("rgba(100%, 0%, 50%, .25)"), 0x8000FFu | Flag);
    // The remembered last colour does not leak between the forms.
    EXPECT_EQ(Color("rgba(1, 2, 3, 0)"), NoColor);
    EXPECT_EQ(Color("rgb(1, 2, 3)"), 0x030201u | Flag);
    // Without an alpha it reads like rgb( ); an alpha that is no number keeps the colour; the hash test of
    // the shorthands lets it through like rgb( ).
    EXPECT_EQ(Color("rgba(1, 2, 3)"), 0x030201u | Flag);
    EXPECT_EQ(Color("rgba(1, 2, 3, x)"), 0x030201u | Flag);
    EXPECT_EQ(Color("rgba(1,2,3,0)", true), NoColor);
    TColor c;
    EXPECT_FALSE(ParseColor("rgba(1, 2, 3, 0", false, c));
    EXPECT_EQ(Color("transparent"), NoColor);
}

class RgbaSheetTest : public ::testing::Test {
protected:
    TPropValue Slot(std::string_view key, int index) { return styles.Find(key)->Values[std::size_t(index)]; }
    // A slot that holds no colour (side colours start as NotSet).
    static bool Missing(const TPropValue& v) { return v.IsEmpty() || (v.IsOrdinal() && v.Int() == NotSet); }
    TStyleList styles;
};

TEST_F(RgbaSheetTest, BackgroundsBecomeTransparentBordersLoseOnlyTheColour)
{
    ParseStyleSheetText(styles,
                        "p { background-color: rgba(255, 0, 0, 0); color: rgba(0, 0, 255, 0.5) }"
                        " div { background: rgba( 0 , 0 , 255 , 0 ) url(a.gif) no-repeat }"
                        " td { border: 2px solid rgba(0, 255, 0, 0) } th { border-color: rgba(0, 0, 255, 0.5) }"
                        " h1 { border-left-color: rgba(0,0,0,0); border-top-color: transparent }",
                        "");
    EXPECT_EQ(TColor(Slot("p", piBackgroundColor).Int()), NoColor);
    EXPECT_EQ(TColor(Slot("p", piColor).Int()), 0xFF0000u | Flag);
    EXPECT_EQ(TColor(Slot("div", piBackgroundColor).Int()), NoColor);
    EXPECT_EQ(Slot("div", piBackgroundImage).Text(), "url(a.gif)");
    // A transparent rgba border colour is as if none was given; the width and style stay.
    EXPECT_TRUE(Missing(Slot("td", piBorderTopColor)));
    EXPECT_TRUE(Slot("td", piBorderColor).IsEmpty());
    EXPECT_EQ(Slot("td", piBorderTopWidth).Text(), "2px");
    EXPECT_EQ(Slot("td", piBorderTopStyle).Text(), "solid");
    EXPECT_EQ(TColor(Slot("th", piBorderLeftColor).Int()), 0xFF0000u | Flag);
    EXPECT_TRUE(Missing(Slot("h1", piBorderLeftColor)));
    EXPECT_EQ(TColor(Slot("h1", piBorderTopColor).Int()), NoColor);

    TProperties inlineProps;
    ParseStyleAttribute("background-color: rgba(0,0,0,0); border-color: rgba(1,2,3,0)", inlineProps);
    EXPECT_EQ(TColor(inlineProps.Values[piBackgroundColor].Int()), NoColor);
    EXPECT_TRUE(inlineProps.Values[piBorderColor].IsEmpty());
}

}  // namespace
