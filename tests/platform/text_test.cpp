// Fonts, metrics and text: what is measured is exactly what is drawn.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/font.h"

using namespace platform;

namespace {

Font MakeFont(const std::string& name, int height, bool bold = false, bool underline = false)
{
    LogFont lf;
    lf.Name = name;
    lf.Height = height;
    lf.Weight = bold ? FW_BOLD : FW_NORMAL;
    lf.Underline = underline;
    return Font(lf);
}

// Leftmost and rightmost columns holding a non-white pixel; (-1, -1) when none.
std::pair<int, int> InkColumns(const Bitmap& b)
{
    int left = -1, right = -1;
    for (int x = 0; x < b.Width(); ++x)
        for (int y = 0; y < b.Height(); ++y)
            if (b.Pixel(x, y) != clWhite) {
                if (left < 0)
                    left = x;
                right = x;
                break;
            }
    return {left, right};
}

std::pair<int, int> InkRows(const Bitmap& b)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != clWhite) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return {top, bottom};
}

Bitmap WhiteBitmap(int w, int h)
{
    Bitmap b(w, h);
    b.Fill(clWhite);
    return b;
}

} // namespace

TEST(Fonts, AliasesResolveAndCountAsInstalled)
{
    EXPECT_EQ(ResolveFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(ResolveFontFamily("times new roman"), "Liberation Serif");
    EXPECT_EQ(ResolveFontFamily(" COURIER NEW "), "Liberation Mono");
    EXPECT_EQ(ResolveFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(ResolveFontFamily("No Such Face 123"), "DejaVu Sans");
    EXPECT_TRUE(FontInstalled("arial"));
    EXPECT_TRUE(FontInstalled("Liberation Sans"));
    EXPECT_TRUE(FontInstalled("liberation serif"));
    EXPECT_FALSE(FontInstalled("No Such Face 123"));
    const std::vector<std::string> names = InstalledFontNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "Arial"), names.end());
    EXPECT_EQ(MakeFont("Arial", -16).FamilyName(), "Liberation Sans");
}

TEST(Fonts, MetricsOfLiberationSansAt16Pixels)
{
    // Windows rule: ascent and descent from the OS/2 table's usWinAscent/usWinDescent, scaled and rounded.
    const TextMetrics& tm = MakeFont("Arial", -16).Metrics();
    EXPECT_EQ(tm.tmAscent, 14);
    EXPECT_EQ(tm.tmDescent, 3);
    EXPECT_EQ(tm.tmHeight, 17);
    EXPECT_EQ(tm.tmInternalLeading, 1);
    EXPECT_EQ(tm.tmExternalLeading, 1);
    EXPECT_EQ(tm.tmAveCharWidth, 9); // xAvgCharWidth 1176 of 2048
    EXPECT_EQ(tm.tmMaxCharWidth, 21);
    EXPECT_EQ(tm.tmCharSet, 204); // the default set realises as Cyrillic

    // A positive height is the cell height.
    const TextMetrics& cell = MakeFont("Arial", 17).Metrics();
    EXPECT_EQ(cell.tmHeight, 17);
    EXPECT_EQ(MakeFont("Arial", 17).PixelSize(), 15); // 17 * 2048 / (1854 + 434)
}

TEST(Fonts, CharsetAndSharingAndHugeHeights)
{
    LogFont lf;
    lf.Name = "Arial";
    lf.Charset = 238;
    EXPECT_EQ(Font(lf).Metrics().tmCharSet, 238);
    lf.Name = "Symbol";
    lf.Charset = DEFAULT_CHARSET;
    EXPECT_EQ(Font(lf).Metrics().tmCharSet, 2);
    EXPECT_TRUE(Font(lf).IsSymbolFont());

    EXPECT_EQ(MakeFont("Arial", -16), MakeFont("Arial", -16)); // one realisation for one description
    EXPECT_FALSE(MakeFont("Arial", -16) == MakeFont("Arial", -16, true));
    // Absurd heights are clamped rather than realised.
    const Font huge = MakeFont("Arial", -2000000000);
    EXPECT_LE(huge.PixelSize(), 2048);
    EXPECT_GT(huge.Metrics().tmHeight, 0);
    EXPECT_EQ(PointsToHeight(12), -16);
}

TEST(TextMeasure, ExtentIsTheSumOfTheAdvances)
{
    Canvas c;
    c.SetFont(MakeFont("Arial", -16));
    const std::u16string text = u"Hello, Привет!";
    int sum = 0;
    for (char16_t ch : text)
        sum += c.GetFont().Advance(ch);
    const Size s = c.GetTextExtentPoint32W(text);
    EXPECT_EQ(s.cx, sum);
    EXPECT_EQ(s.cy, 17);
    EXPECT_EQ(c.GetFont().Width(text), sum);
    // Kerning never applies: a pair measures as its two characters.
    EXPECT_EQ(c.TextWidth(u"AV"), c.TextWidth(u"A") + c.TextWidth(u"V"));
    // Character extra adds after every character.
    c.SetTextCharacterExtra(2);
    EXPECT_EQ(c.GetTextExtentPoint32W(text).cx, sum + 2 * int(text.size()));
    EXPECT_EQ(c.GetTextExtentPoint32W(u"", 0).cx, 0);
}

TEST(TextMeasure, FitCountsAtExactBoundaries)
{
    Canvas c;
    c.SetFont(MakeFont("Arial", -16));
    const std::u16string text = u"abcdef";
    std::vector<int> dx(text.size());
    int fit = -1;
    const Size all = c.GetTextExtentExPointW(text.data(), int(text.size()), 100000, &fit, dx.data());
    EXPECT_EQ(fit, 6);
    EXPECT_EQ(all.cx, dx[5]);
    // Exactly the width of three characters fits three; one pixel less fits two.
    Size s = c.GetTextExtentExPointW(text.data(), 6, dx[2], &fit, nullptr);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(s.cx, dx[2]);
    s = c.GetTextExtentExPointW(text.data(), 6, dx[2] - 1, &fit, nullptr);
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(s.cx, dx[1]);
    // Nothing fits in zero or less, and nothing of an empty text.
    s = c.GetTextExtentExPointW(text.data(), 6, 0, &fit, nullptr);
    EXPECT_EQ(fit, 0);
    EXPECT_EQ(s, (Size{0, 0}));
    s = c.GetTextExtentExPointW(text.data(), 0, 100, &fit, nullptr);
    EXPECT_EQ(fit, 0);
    EXPECT_EQ(s, (Size{0, 0}));
}

TEST(TextMeasure, JustificationSpreadsOverSpacesAndCarriesAcrossCalls)
{
    Canvas c;
    c.SetFont(MakeFont("Arial", -16));
    const int plain = c.TextWidth(u"a b c d");
    c.SetTextJustification(7, 3); // shares 3, 2, 2
    EXPECT_EQ(c.TextWidth(u"a b c d"), plain + 7);
    const Font& f = c.GetFont();
    EXPECT_EQ(c.TextWidth(u"a b"),
              f.Advance(u'a') + f.Advance(u' ') + 3 + f.Advance(u'b')); // measuring consumes nothing
    // Output consumes shares: after drawing "a " the next space gets the second share (2).
    Bitmap b = WhiteBitmap(200, 30);
    Canvas d(b);
    d.SetFont(MakeFont("Arial", -16));
    const int space = d.TextWidth(u" ");
    d.SetTextJustification(7, 3);
    d.SetTextAlign(TA_UPDATECP | TA_BASELINE);
    d.MoveTo(0, 20);
    d.TextOutW(0, 0, u"a ");
    EXPECT_EQ(d.GetCurrentPosition().X, d.GetFont().Advance(u'a') + space + 3);
    EXPECT_EQ(d.TextWidth(u" "), space + 2);
    d.SetTextJustification(0, 0);
    EXPECT_EQ(d.TextWidth(u" "), space);
    // No-break spaces are not break characters.
    d.SetTextJustification(4, 1);
    EXPECT_EQ(d.TextWidth(u"\u00A0"), d.GetFont().Advance(u'\u00A0'));
}

TEST(TextOutput, DrawnWhereMeasuredWithUpdateCP)
{
    Bitmap b = WhiteBitmap(300, 30);
    Canvas c(b);
    c.SetFont(MakeFont("Arial", -16));
    c.SetBkMode(OPAQUE);
    c.SetBkColor(clRed);
    c.SetTextAlign(TA_BASELINE | TA_UPDATECP);
    c.MoveTo(10, 20);
    const std::u16string run = u"Texte текст";
    c.TextOutW(0, 0, run);
    const int extent = c.TextWidth(run);
    EXPECT_EQ(c.GetCurrentPosition(), (Point{10 + extent, 20}));
    // The opaque box covers exactly [x, x + extent) x [baseline - ascent, baseline + descent).
    EXPECT_EQ(b.Pixel(9, 10), clWhite);
    EXPECT_EQ(b.Pixel(10 + extent, 10), clWhite);
    EXPECT_NE(b.Pixel(10, 6), clWhite);
    EXPECT_EQ(b.Pixel(10, 5), clWhite); // above 20 - 14
    EXPECT_NE(b.Pixel(10 + extent - 1, 22), clWhite);
    EXPECT_EQ(b.Pixel(10, 23), clWhite); // below 20 + 3
    // A second run continues exactly at the pen.
    c.TextOutW(0, 0, u"!");
    EXPECT_EQ(c.GetCurrentPosition().X, 10 + extent + c.TextWidth(u"!"));
}

TEST(TextOutput, GlyphsSitAtTheTablePositions)
{
    // "l" drawn alone at x and as the second character of "ll" at x + advance: same ink columns.
    const Font f = MakeFont("Arial", -16);
    Bitmap one = WhiteBitmap(60, 24);
    Canvas c1(one);
    c1.SetFont(f);
    c1.SetBkMode(TRANSPARENT);
    c1.TextOutW(5 + f.Advance(u'l'), 2, u"l");
    Bitmap two = WhiteBitmap(60, 24);
    Canvas c2(two);
    c2.SetFont(f);
    c2.SetBkMode(TRANSPARENT);
    c2.TextOutW(5, 2, u"ll");
    EXPECT_EQ(InkColumns(one).second, InkColumns(two).second);
    // Character extra moves later glyphs by the extra.
    Bitmap three = WhiteBitmap(60, 24);
    Canvas c3(three);
    c3.SetFont(f);
    c3.SetBkMode(TRANSPARENT);
    c3.SetTextCharacterExtra(4);
    c3.TextOutW(5, 2, u"ll");
    EXPECT_EQ(InkColumns(three).second, InkColumns(two).second + 4);
}

TEST(TextOutput, AlignmentUnderlineAndClipping)
{
    const Font f = MakeFont("Arial", -16, false, true);
    Bitmap b = WhiteBitmap(100, 30);
    Canvas c(b);
    c.SetFont(f);
    c.SetBkMode(TRANSPARENT);
    c.SetTextColor(clBlack);
    c.SetTextAlign(TA_RIGHT | TA_TOP);
    c.TextOutW(90, 0, u"ab");
    const int extent = c.TextWidth(u"ab");
    // The underline spans the whole extent, right-aligned to x = 90.
    bool underline = false;
    for (int y = 14; y < 17 && !underline; ++y)
        underline = b.Pixel(90 - extent, y) == clBlack && b.Pixel(89, y) == clBlack;
    EXPECT_TRUE(underline);
    EXPECT_EQ(InkColumns(b).second, 89);
    EXPECT_GE(InkColumns(b).first, 90 - extent);

    // ExtTextOutW: opaque rectangle and clipping to it.
    Bitmap e = WhiteBitmap(100, 30);
    Canvas ce(e);
    ce.SetFont(MakeFont("Arial", -16));
    ce.SetBkColor(clBlue);
    ce.SetBkMode(TRANSPARENT);
    const Rect r = MakeRect(0, 0, 12, 30);
    ce.ExtTextOutW(0, 5, ETO_OPAQUE | ETO_CLIPPED, &r, u"WWWW", 4);
    EXPECT_EQ(e.Pixel(0, 0), clBlue);
    EXPECT_EQ(e.Pixel(11, 29), clBlue);
    EXPECT_LE(InkColumns(e).second, 11);
}

TEST(TextOutput, DrawTextBreaksAtBlanksAndCalculates)
{
    Canvas c;
    c.SetFont(MakeFont("Arial", -11));
    const int h = c.GetTextMetrics().tmHeight;
    Rect r = MakeRect(0, 0, 1000, 0);
    c.DrawTextW(u"one two three", r, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.Height(), h);
    EXPECT_EQ(r.Width(), c.TextWidth(u"one two three"));

    const int wOneTwo = c.TextWidth(u"one two");
    r = MakeRect(0, 0, wOneTwo, 0);
    EXPECT_EQ(c.DrawTextW(u"one two three", r, DT_CALCRECT | DT_WORDBREAK), 2 * h);
    EXPECT_EQ(r.Width(), wOneTwo);
    r = MakeRect(0, 0, wOneTwo - 1, 0);
    EXPECT_EQ(c.DrawTextW(u"one two three", r, DT_CALCRECT | DT_WORDBREAK), 3 * h);
    // A word wider than the box stays whole on its line; CR LF ends a line.
    r = MakeRect(0, 0, 5, 0);
    EXPECT_EQ(c.DrawTextW(u"unbreakable", r, DT_CALCRECT | DT_WORDBREAK), h);
    r = MakeRect(0, 0, 1000, 0);
    EXPECT_EQ(c.DrawTextW(u"a\r\nb\nc", r, DT_CALCRECT), 3 * h);
    // Prefix characters are removed unless DT_NOPREFIX.
    r = MakeRect(0, 0, 1000, 0);
    c.DrawTextW(u"&File", r, DT_CALCRECT);
    EXPECT_EQ(r.Width(), c.TextWidth(u"File"));

    Bitmap b = WhiteBitmap(100, 40);
    Canvas d(b);
    d.SetFont(MakeFont("Arial", -11));
    d.SetBkMode(TRANSPARENT);
    Rect box = MakeRect(0, 0, 100, 40);
    d.DrawTextW(u"Hi", box, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    const auto cols = InkColumns(b);
    const auto rows = InkRows(b);
    EXPECT_NEAR((cols.first + cols.second) / 2, 50, 3);
    EXPECT_NEAR((rows.first + rows.second) / 2, 20, 4);
}

TEST(TextOutput, CentreBottomAndExplicitAdvances)
{
    const Font f = MakeFont("Arial", -16);
    Bitmap b = WhiteBitmap(100, 40);
    Canvas c(b);
    c.SetFont(f);
    c.SetBkMode(OPAQUE);
    c.SetBkColor(clRed);
    c.SetTextAlign(TA_CENTER | TA_BOTTOM | TA_UPDATECP);
    c.MoveTo(50, 30);
    c.TextOutW(0, 0, u"mm");
    const int extent = c.TextWidth(u"mm");
    // The box: centred on x = 50, bottom edge at y = 30; a centred run leaves the pen where it was.
    EXPECT_EQ(c.GetCurrentPosition(), (Point{50, 30}));
    EXPECT_NE(b.Pixel(50 - extent / 2, 29), clWhite);
    EXPECT_EQ(b.Pixel(50 - extent / 2 - 1, 29), clWhite);
    EXPECT_EQ(b.Pixel(50, 30), clWhite);
    EXPECT_NE(b.Pixel(50, 30 - 17), clWhite);
    EXPECT_EQ(b.Pixel(50, 30 - 18), clWhite);

    // Explicit advances replace the table; the opaque box follows their sum.
    Bitmap e = WhiteBitmap(100, 20);
    Canvas ce(e);
    ce.SetFont(f);
    ce.SetBkColor(clBlue);
    ce.SetTextAlign(TA_LEFT | TA_TOP | TA_UPDATECP);
    const int dx[] = {20, 20, 20};
    ce.ExtTextOutW(0, 0, 0, nullptr, u"iii", 3, dx);
    EXPECT_EQ(ce.GetCurrentPosition().X, 60);
    EXPECT_EQ(e.Pixel(59, 1), clBlue);
    EXPECT_EQ(e.Pixel(60, 1), clWhite);
}

TEST(TextMeasure, SurrogatePairsAndControlCharacters)
{
    Canvas c;
    c.SetFont(MakeFont("Arial", -16));
    c.SetTextCharacterExtra(1);
    // A pair is one character: one advance, one extra; its low half adds nothing.
    const std::u16string pair = u"\U0001D400";
    std::vector<int> dx(2);
    c.GetTextExtentExPointW(pair.data(), 2, 100000, nullptr, dx.data());
    EXPECT_EQ(dx[0], dx[1]);
    EXPECT_EQ(c.TextWidth(pair), dx[1]);
    // Control characters take no room (line ends are never drawn).
    EXPECT_EQ(c.GetFont().Advance(u'\r'), 0);
    EXPECT_EQ(c.GetFont().Advance(u'\n'), 0);
    // Many different supplementary characters: extents stay the sum of the parts.
    std::u16string many;
    for (char32_t cp = 0x20000; cp < 0x20000 + 6000; ++cp) {
        many.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
        many.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    std::vector<int> adv(many.size());
    c.GetFont().Advances(many.data(), int(many.size()), adv.data());
    int sum = 0;
    for (int a : adv)
        sum += a;
    EXPECT_EQ(c.TextWidth(many), sum + int(many.size()) / 2);
}
