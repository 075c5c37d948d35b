// Text sections on a bitmap: the borders and backgrounds of inline elements, selection and the dummy
// caret, floating objects in a line, clearing below floats, line heights, small capitals and text
// transforms, and the character-under-a-point answer across documents.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layout/blocks.h"
#include "layout/formcontrolobj.h"
#include "layout/indentmanager.h"
#include "layout/section.h"
#include "layout/sectionlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "reader/builder.h"
#include "tests/layout/htmllayout.h"

namespace {

constexpr platform::TColor White = 0xFFFFFF;
constexpr platform::TColor Red = 0x0000FF;
constexpr platform::TColor Yellow = 0x00FFFF;
constexpr platform::TColor Green = 0x00FF00;

platform::TColor Rgb(platform::TColor c) { return c & 0xFFFFFF; }

// A picture stand-in: a green box of a fixed size that remembers where it was asked to draw.
class TestFloat : public TFloatingObj {
public:
    TestFloat(int width, int height, AlignmentType align) : FWidth(width), FHeight(height)
    {
        VertAlign = align;
        if (Floats())
            HSpaceL = HSpaceR = 3;
    }
    void FormatObject(TSectionList*, platform::Canvas*, int, int, TFontObj*) override
    {
        ObjWidth = FWidth;
        ObjHeight = FHeight;
    }
    void Draw(platform::Canvas* canvas, int X, TFontObj*, int baseline, int lineTop) override
    {
        Draws.push_back({X, baseline, lineTop});
        canvas->FillRect(platform::Rect{X, lineTop, X + ObjWidth, lineTop + ObjHeight}, Green);
    }
    std::unique_ptr<TFloatingObj> Copy(TSectionList*) const override
    {
        return std::make_unique<TestFloat>(FWidth, FHeight, VertAlign);
    }

    struct Call {
        int X, Baseline, LineTop;
    };
    std::vector<Call> Draws;

private:
    int FWidth, FHeight;
};

// A form control stand-in of a fixed size that remembers where its window was put.
class TestControl : public TFormControlObj {
public:
    TestControl(int width, int height, bool radio) : FWidth(width), FHeight(height), FRadio(radio)
    {
        HSpaceL = HSpaceR = 2;
    }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool IsRadio() const override { return FRadio; }
    void Place(platform::Canvas*, int X, int Y) override { Places.push_back({X, Y}); }
    void SetWindowColor(platform::TColor colour) override { WindowColor = colour; }

    std::vector<platform::Point> Places;
    platform::TColor WindowColor = 0;

private:
    int FWidth, FHeight;
    bool FRadio;
};

// A panel stand-in: moved, never drawn.
class TestPanel : public TestFloat {
public:
    TestPanel(int width, int height, AlignmentType align) : TestFloat(width, height, align) {}
    bool IsPanel() const override { return true; }
    void PlacePanel(platform::Canvas*, int X, int Y) override { Places.push_back({X, Y}); }
    std::vector<platform::Point> Places;
};

class SectionPaintTest : public HtmlLayoutTest {
protected:
    SectionPaintTest() : Paint(Target) {}
    // The document goes first: the controls it shows must outlive it.
    ~SectionPaintTest() override { Root.Clear(); }

    // Builds the page with no body margins, formats it at width and paints it.
    void Show(const std::string& html, int width) { Format(html, width); }
    int Relayout(int width) override
    {
        const int height = HtmlLayoutTest::Relayout(width);
        Repaint();
        return height;
    }
    void Repaint()
    {
        Paint.FillRect(platform::Rect{0, 0, Target.Width(), Target.Height()}, White);
        Root.PaintCell(&Paint, platform::Rect{0, 0, Target.Width(), Target.Height()}, Target.Width(), 0, 0, 0, 0);
    }
    platform::TColor Pixel(int x, int y) const { return Rgb(Paint.GetPixel(x, y)); }
    // How many pixels of the rectangle have the colour.
    int Count(const platform::Rect& r, platform::TColor colour) const
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += Pixel(x, y) == colour;
        return n;
    }

    // A section put together by hand: text with '#' where a test object stands and '%' for a control.
    TSection* AddSection(const std::u16string& text, std::vector<std::unique_ptr<TFloatingObj>> objects,
                         const std::vector<TFormControlObj*>& controls = {})
    {
        TProperties props;
        auto s = std::make_unique<TSection>(&Root, false, &Root, nullptr, props, nullptr);
        std::size_t next = 0, nextControl = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'#' && next < objects.size())
                s->AddObject(std::move(objects[next++]), int(i));
            else if (text[i] == u'%' && nextControl < controls.size())
                s->AddControl(controls[nextControl++], int(i));
            else
                s->AddChar(text[i], int(i));
        }
        s->FinishText(int(text.size()));
        TSection* raw = s.get();
        Root.AddItem(std::move(s), 0);
        return raw;
    }

    std::vector<std::unique_ptr<TFormControlObj>> Controls;  // outlive the document that shows them
    platform::Bitmap Target{400, 120};
    platform::Canvas Paint;
};

}  // namespace

TEST_F(SectionPaintTest, InlineBorderAroundBackground)
{
    Show("<span style='border:2px solid red;background:yellow'>xx</span> after", 400);
    TSection* s = Section(0);
    ASSERT_NE(s, nullptr);
    LineRec& line = *s->Lines[0];
    ASSERT_TRUE(line.BorderRecs);
    ASSERT_EQ(line.BorderRecs->Count(), 1);
    const BorderRec& box = *(*line.BorderRecs)[0];
    EXPECT_FALSE(box.OpenStart);
    EXPECT_FALSE(box.OpenEnd);
    const platform::Rect r = box.BRect;
    EXPECT_EQ(r.Left, 0);
    EXPECT_EQ(r.Right, s->TextWidth(&Canvas, 0, 2, false));
    EXPECT_GT(r.Bottom - r.Top, 8);
    const int midY = (r.Top + r.Bottom) / 2;
    // A red frame two pixels wide round the box on all four sides.
    EXPECT_EQ(Pixel(r.Right, midY), Red);
    EXPECT_EQ(Pixel(r.Right + 1, midY), Red);
    EXPECT_EQ(Pixel(r.Right + 2, midY), White);
    EXPECT_EQ(Pixel(r.Left + 2, r.Top - 1), Red);
    EXPECT_EQ(Pixel(r.Left + 2, r.Bottom + 1), Red);
    // Yellow behind the text: the row just inside the top lies above the letters.
    EXPECT_EQ(Count(platform::Rect{r.Left, r.Top, r.Right, r.Top + 1}, Yellow), r.Right - r.Left);
    const int boxArea = (r.Right - r.Left) * (r.Bottom - r.Top);
    EXPECT_LT(Count(platform::Rect{r.Left, r.Top, r.Right, r.Bottom}, Yellow), boxArea) << "the text is drawn over it";
    // The text after the element has neither.
    const int after = s->TextWidth(&Canvas, 0, 4, false);
    EXPECT_EQ(Count(platform::Rect{after, 0, 400, r.Top}, Red), 0);
    EXPECT_EQ(Count(platform::Rect{after, 0, 400, 40}, Yellow), 0);

    // Painting again at another scroll offset draws the same boxes, moved.
    Root.YOffset = 5;
    Repaint();
    EXPECT_EQ(Pixel(r.Right, midY - 5), Red);
    EXPECT_EQ(Pixel(r.Right + 2, midY - 5), White);

    // An element opened right inside another keeps its own colours; the outer one has no background.
    Show("<span style='border:1px solid red'><span style='border:1px solid blue;background:yellow'>x</span></span>",
         400);
    ASSERT_EQ(Root.Inlines->Count(), 2);
    const MarginArray& outer = (*Root.Inlines)[0]->MargArray;
    const MarginArray& inner = (*Root.Inlines)[1]->MargArray;
    EXPECT_EQ(TColor(outer[piBackgroundColor]), NoColor);
    EXPECT_EQ(Rgb(TColor(outer[piBorderLeftColor])), Red);
    EXPECT_EQ(Rgb(TColor(inner[piBackgroundColor])), Yellow);
    EXPECT_EQ(Rgb(TColor(inner[piBorderTopColor])), 0xFF0000u);
}

TEST_F(SectionPaintTest, InlineBorderBrokenOverTwoLines)
{
    const std::string html = "aaa <span style='border:2px solid red'>bbbbbb cccccc</span> ddd";
    Show(html, 400);
    TSection* s = Section(0);
    ASSERT_NE(s, nullptr);
    Relayout(s->TextWidth(&Canvas, 0, 10, true) + 2);  // "aaa bbbbbb" fits, "cccccc" goes on
    ASSERT_EQ(s->Lines.Count(), 2);
    const LineRec& one = *s->Lines[0];
    const LineRec& two = *s->Lines[1];
    ASSERT_TRUE(one.BorderRecs && two.BorderRecs);
    const BorderRec& first = *(*one.BorderRecs)[0];
    const BorderRec& second = *(*two.BorderRecs)[0];
    EXPECT_TRUE(!first.OpenStart && first.OpenEnd);
    EXPECT_TRUE(second.OpenStart && !second.OpenEnd);

    const int y1 = (first.BRect.Top + first.BRect.Bottom) / 2;
    const int y2 = (second.BRect.Top + second.BRect.Bottom) / 2;
    EXPECT_EQ(Pixel(first.BRect.Left - 1, y1), Red) << "left border on the first line";
    EXPECT_EQ(Pixel(first.BRect.Right, y1), White) << "no right border on the first line";
    EXPECT_EQ(second.BRect.Left, 0);
    EXPECT_EQ(Count(platform::Rect{0, y2 - 2, 1, y2 + 2}, Red), 0) << "no left border on the second line";
    EXPECT_EQ(Pixel(second.BRect.Right, y2), Red) << "right border on the second line";
    EXPECT_EQ(second.BRect.Right, s->TextWidth(&Canvas, two.Start, 6, false));

    // A new width builds new boxes: on one line again, the box is closed on both sides.
    Relayout(400);
    const BorderRec& whole = *(*s->Lines[0]->BorderRecs)[0];
    EXPECT_FALSE(whole.OpenStart || whole.OpenEnd);
    EXPECT_EQ(whole.BRect.Right - whole.BRect.Left, s->TextWidth(&Canvas, 4, 13, false));
}

TEST_F(SectionPaintTest, SelectionAndDummyCaret)
{
    Show("<p>MMMM MMMM</p>", 400);
    TSection* s = Section(0);
    const LineRec& line = *s->Lines[0];
    const int top = line.DrawYTop, bottom = line.DrawYTop + line.TextHeight;
    const int w2 = s->TextWidth(&Canvas, 0, 2, false), w4 = s->TextWidth(&Canvas, 0, 4, false);
    const platform::Rect selected{1, top, w2 - 1, bottom}, plain{w2 + 1, top, w4 - 1, bottom};

    // Selected characters: the text colour (black) behind, the text in its inverse (white).
    Root.SelStart = 0;
    Root.SelEnd = 2;
    Repaint();
    const int area = (selected.Right - selected.Left) * (bottom - top);
    EXPECT_GT(Count(selected, 0), area / 3);
    EXPECT_GT(Count(selected, White), 0);
    EXPECT_LT(Count(plain, 0), (plain.Right - plain.Left) * (bottom - top) / 3);

    // An empty selection with the dummy caret: a bar of the text's height before character 2, nothing
    // selected.
    Root.ShowDummyCaret = true;
    Root.SelEnd = 2;
    Root.SelStart = 2;
    Repaint();
    EXPECT_EQ(Pixel(w2, top + 1), 0u);
    EXPECT_EQ(Pixel(w2 + 2, top + 1), White);
    EXPECT_LT(Count(selected, 0), area / 3);

    // At the end of the document the bar stands after the text.
    Root.SelStart = Root.SelEnd = s->StartCursor + s->CharCount;
    Repaint();
    const int end = s->TextWidth(&Canvas, 0, s->CharCount, true);
    EXPECT_EQ(Pixel(end, top + 1), 0u);
    EXPECT_EQ(Pixel(w2, top + 1), White);
}

TEST_F(SectionPaintTest, RaisedRunsDoNotMoveTheTextAfterThem)
{
    Show("<p>x<sup>2</sup>y</p><p>xy</p>", 400);
    // The lowest and highest inked rows between two Xs, relative to the line's baseline.
    auto ink = [&](TSection* s, int from, int to, bool lowest) {
        const LineRec& line = *s->Lines[0];
        const int baseline = line.DrawYTop + line.TextHeight - line.Descent;
        const int left = s->TextWidth(&Canvas, 0, from, false), right = s->TextWidth(&Canvas, 0, to, false);
        for (int k = 0; k < line.TextHeight; ++k) {
            const int y = lowest ? line.DrawYTop + line.TextHeight - 1 - k : line.DrawYTop + k;
            if (Count(platform::Rect{left, y, right, y + 1}, White) < right - left)
                return y - baseline;
        }
        return 0;
    };
    TSection* raised = Section(0);
    TSection* plain = Section(1);
    EXPECT_EQ(ink(raised, 2, 3, true), ink(plain, 1, 2, true)) << "back on the baseline after the raised run";
    EXPECT_LT(ink(raised, 1, 2, true), ink(raised, 0, 1, true)) << "the raised run sits higher";
}

TEST_F(SectionPaintTest, FloatingObjectsInALine)
{
    Defaults();
    std::vector<std::unique_ptr<TFloatingObj>> first, second;
    first.push_back(std::make_unique<TestFloat>(50, 40, AlignLeft));
    second.push_back(std::make_unique<TestFloat>(30, 20, AlignLeft));
    auto* atStart = static_cast<TestFloat*>(first.front().get());
    auto* afterText = static_cast<TestFloat*>(second.front().get());
    TSection* a = AddSection(u"#text beside", std::move(first));
    TSection* b = AddSection(u"more #text", std::move(second));
    Relayout(400);
    EXPECT_EQ(a->Text, u"\4text beside ") << "the blank after a float goes";

    // At the line start the float is placed at once; the text moves right of it.
    EXPECT_EQ(a->Lines[0]->LineIndent, 56);
    EXPECT_GE(a->Lines[0]->LineImageHeight, 40);
    ASSERT_EQ(atStart->Draws.size(), 1u);
    EXPECT_EQ(atStart->Draws[0].X, 3);
    EXPECT_EQ(atStart->Draws[0].LineTop, a->Lines[0]->DrawYTop);
    EXPECT_EQ(Pixel(3 + 25, 20), Green) << "drawn after the text, over it";

    // After text on the line it goes below that line.
    const LineRec& line = *b->Lines[0];
    ASSERT_EQ(afterText->Draws.size(), 1u);
    EXPECT_EQ(afterText->Draws[0].LineTop, line.DrawYTop + line.TextHeight);
    EXPECT_EQ(line.LineImageHeight, line.LineHeight() + 20);

    // Each paint queues each float once.
    Repaint();
    EXPECT_EQ(atStart->Draws.size(), 2u);
    EXPECT_EQ(Root.DrawList.size(), 2u);
}

TEST_F(SectionPaintTest, ClearBelowFloats)
{
    Defaults();
    std::vector<std::unique_ptr<TFloatingObj>> objects;
    objects.push_back(std::make_unique<TestFloat>(50, 60, AlignLeft));
    AddSection(u"#beside", std::move(objects));
    TSection* cleared = AddSection(u"below", {});
    TSection* beside = AddSection(u"beside too", {});
    cleared->ClearMode = 1;
    Relayout(400);
    // The cleared section starts with a blank line that reaches just below the float.
    ASSERT_GE(cleared->Lines.Count(), 2);
    EXPECT_EQ(cleared->Lines[0]->CharsOnLine, 0);
    EXPECT_EQ(cleared->YPosition + cleared->Lines[0]->LineHeight(), 60);
    EXPECT_EQ(cleared->Lines[1]->LineIndent, 0);
    // Clearing the right side only leaves it beside the left float.
    cleared->ClearMode = 2;
    Relayout(400);
    EXPECT_GT(cleared->Lines[0]->CharsOnLine, 0);
    EXPECT_EQ(cleared->Lines[0]->LineIndent, 56);
    EXPECT_EQ(beside->Lines[0]->LineIndent, 56);
}

TEST_F(SectionPaintTest, LineHeights)
{
    Show("<p style='line-height:40px'>x</p><p style='line-height:41px'>x</p><p>x</p>", 400);
    const LineRec& even = *Section(0)->Lines[0];
    const LineRec& odd = *Section(1)->Lines[0];
    const LineRec& plain = *Section(2)->Lines[0];
    EXPECT_EQ(even.LineHeight(), 40);
    EXPECT_EQ(odd.LineHeight(), 41);
    EXPECT_EQ(even.SpaceBefore, (40 - even.TextHeight) / 2);
    EXPECT_EQ(odd.SpaceAfter - odd.SpaceBefore, (41 - odd.TextHeight) % 2);
    EXPECT_EQ(plain.SpaceBefore + plain.SpaceAfter, 0);
    const int fontHeight = plain.TextHeight;
    // The text is drawn in the middle of the taller line.
    EXPECT_EQ(even.DrawYTop, Section(0)->YPosition + even.SpaceBefore);

    // A break ends its section; a section of a lone break keeps a line of the font's height.
    Show("a<br><br>b", 400);
    ASSERT_NE(Section(2), nullptr);
    EXPECT_EQ(Section(1)->Text, u"\b");
    EXPECT_EQ(Section(1)->Lines[0]->LineHeight(), Section(0)->Lines[0]->LineHeight());
    EXPECT_EQ(Section(2)->YPosition, Section(1)->YPosition + Section(1)->SectionHeight);
    Show("<br>", 400);
    ASSERT_NE(Section(0), nullptr);
    EXPECT_EQ(Section(0)->Text, u"\b");
    EXPECT_EQ(Section(0)->Lines[0]->LineHeight(), fontHeight);
}

TEST_F(SectionPaintTest, SmallCapsAndTextTransform)
{
    Show("<span style='font-variant:small-caps'>Ab c1d</span> Ab", 400);
    TSection* s = Section(0);
    EXPECT_EQ(s->Text, u"AB C1D Ab ");
    int index = 0;
    TFontObj* capital = s->Fonts.GetFontObjAt(0, index);
    TFontObj* small = s->Fonts.GetFontObjAt(1, index);
    ASSERT_NE(capital, small);
    EXPECT_LT(small->FontHeight, capital->FontHeight) << "lower-case letters are set smaller";
    EXPECT_EQ(s->Fonts.GetFontObjAt(4, index), small) << "a blank or a digit does not change the run";
    EXPECT_EQ(s->Fonts.GetFontObjAt(5, index), small);
    EXPECT_EQ(s->Fonts.GetFontObjAt(8, index)->FontHeight, capital->FontHeight) << "the style ends with the element";
    // The small capitals are narrower than the same capitals in the full size.
    EXPECT_LT(s->TextWidth(&Canvas, 0, 2, false), s->TextWidth(&Canvas, 7, 2, false));

    Show("<span style='text-transform:uppercase'>stra&szlig;e</span> "
         "<span style='text-transform:lowercase'>MiXeD</span> "
         "<span style='text-transform:capitalize'>word</span>",
         400);
    // One code unit for one: a letter without a single capital stays as it is.
    EXPECT_EQ(Section(0)->Text, u"STRA\u00DFE mixed word ");
}

TEST_F(SectionPaintTest, CharacterUnderAPointAfterANewDocument)
{
    const std::string words = "one two three four five six seven eight nine ten eleven twelve";
    Show("<p>" + words + "</p>", 200);
    TSection* s = Section(0);
    ASSERT_GT(s->Lines.Count(), 1);
    const int X = s->TextWidth(&Canvas, 0, 9, false) + 1;
    const int Y = s->Lines[0]->DrawYTop + 2;
    int XR = 0, YR = 0, caret = 0;
    bool inText = false;
    const int plain = Root.CursorAt(&Canvas, X, Y, XR, YR, caret, inText);
    EXPECT_EQ(plain, 9);
    int plainX = 0, justifiedX = 0, PY = 0;
    ASSERT_TRUE(s->CursorPoint(&Canvas, 8, plainX, PY));

    // The same text justified at the same width: the first line starts with the same character and
    // holds as many, but the blanks are wider, so the same point is over an earlier character.
    Show("<p align=justify>" + words + "</p>", 200);
    const int justified = Root.CursorAt(&Canvas, X, Y, XR, YR, caret, inText);
    EXPECT_LT(justified, plain);
    ASSERT_TRUE(Section(0)->CursorPoint(&Canvas, 8, justifiedX, PY));
    EXPECT_GT(justifiedX, plainX) << "the caret of a justified line stands where the character is drawn";
    Root.CursorAt(&Canvas, 1, Y, XR, YR, caret, inText);
    EXPECT_EQ(Root.CursorAt(&Canvas, X, Y, XR, YR, caret, inText), justified);
}

TEST_F(SectionPaintTest, ControlsAndPanelsArePlacedInTheLine)
{
    Defaults();
    Controls.push_back(std::make_unique<TestControl>(20, 30, true));
    auto* radio = static_cast<TestControl*>(Controls.back().get());
    radio->BkColor = Green;
    std::vector<std::unique_ptr<TFloatingObj>> objects;
    objects.push_back(std::make_unique<TestPanel>(40, 10, AlignTop));
    auto* panel = static_cast<TestPanel*>(objects.back().get());
    TSection* s = AddSection(u"ab%cd#e", std::move(objects), {radio});
    Relayout(400);
    const LineRec& line = *s->Lines[0];
    const int bottom = line.DrawYTop + line.TextHeight;  // the bottom of the text
    EXPECT_EQ(line.SpaceBefore, 30 - line.TextHeight) << "the line grows to hold the control";

    // The control stands on the text's bottom, a radio button two pixels lower, after "ab" and its space.
    ASSERT_EQ(radio->Places.size(), 1u);
    const int ab = s->TextWidth(&Canvas, 0, 2, false);
    EXPECT_EQ(radio->Places[0].X, ab + 2);
    EXPECT_EQ(radio->Places[0].Y, bottom - 30 + 2);
    EXPECT_TRUE(radio->ShowIt);
    EXPECT_EQ(radio->WindowColor, Green);
    // The panel, aligned to the line's top, comes after the control and "cd".
    ASSERT_EQ(panel->Places.size(), 1u);
    EXPECT_EQ(panel->Places[0].X, s->TextWidth(&Canvas, 0, 5, false) + panel->HSpaceL);
    EXPECT_EQ(panel->Places[0].Y, line.DrawYTop);
    EXPECT_TRUE(panel->Draws.empty()) << "a panel is a window, not drawn";

    // Windows are placed in screen coordinates.
    Root.YOffset = 3;
    Repaint();
    EXPECT_EQ(radio->Places.back().Y, bottom - 30 + 2 - 3);
    EXPECT_EQ(panel->Places.back().Y, line.DrawYTop - 3);
}

TEST_F(SectionPaintTest, PreformattedLinesAreClippedAtThePaintWidth)
{
    const std::string line(100, 'm');
    Show("<pre>" + line + "</pre><p>" + line + "</p>", 400);
    TSection* pre = Section(0);
    TSection* text = Section(1);
    ASSERT_TRUE(dynamic_cast<TPreFormated*>(pre));
    // Each section painted alone into an area 100 pixels wide.
    IndentManager indent;
    indent.Reset(0, 400);
    indent.PaintWidth = 100;
    const platform::Rect all{0, 0, 400, 120};
    auto inked = [&](TSection* s, int left, int right) {
        Paint.FillRect(all, White);
        s->Paint(&Paint, all, &indent, 0, 0, 0);
        const LineRec& first = *s->Lines[0];
        return (right - left) * first.TextHeight -
               Count(platform::Rect{left, first.DrawYTop, right, first.DrawYTop + first.TextHeight}, White);
    };
    EXPECT_GT(inked(pre, 0, 100), 0);
    EXPECT_EQ(inked(pre, 100, 400), 0) << "nothing is drawn past the paint width";
    EXPECT_GT(inked(text, 100, 400), 0) << "flowing text is not clipped";
}
