// Pictures in the page, through HTML: sizes from attributes, style and the picture; placeholders and their
// alternative text; floats; link borders; image maps; moving GIFs inline, as block backgrounds, list
// markers and the document background; hover frames; pictures shared through the cache; bad pictures.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/urltarget.h"
#include "images/imagecache.h"
#include "layout/imageobj.h"
#include "platform/font.h"
#include "platform/timer.h"
#include "tests/images/picture_helpers.h"
#include "tests/layout/htmllayout.h"

namespace {

using platform::Bitmap;
using platform::Rect;

constexpr platform::TColor White = 0xFFFFFF;
constexpr platform::TColor Red = 0x0000FF;
constexpr platform::TColor Green = 0x00FF00;
constexpr platform::TColor Blue = 0xFF0000;

// A GIF of one colour per frame; frames change after delay hundredths of a second.
std::vector<std::uint8_t> Gif(int w, int h, std::vector<platform::TColor> colours, int delay = 2, bool loop = true)
{
    std::vector<pictest::GifFrameDesc> frames;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        pictest::GifFrameDesc f;
        f.Width = w;
        f.Height = h;
        f.Indexes.assign(std::size_t(w * h), std::uint8_t(i));
        if (colours.size() > 1)
            f.Delay = delay;
        frames.push_back(f);
    }
    std::vector<std::uint32_t> palette(colours.begin(), colours.end());
    palette.resize(std::max<std::size_t>(palette.size(), 2), 0);
    return pictest::MakeGif(w, h, palette, frames, colours.size() > 1 && loop ? 0 : -1);
}

class PicturesTest : public HtmlLayoutTest {
protected:
    PicturesTest()
    {
        Root.ImageCache = &Cache;
        Root.OnImageRequest = [this](TSectionList*, const std::string& name, const TImageStream*& stream) {
            ++Requests;
            auto it = Files.find(name);
            stream = it != Files.end() ? &it->second : nullptr;
            if (!stream)
                stream = &Empty;  // no data: the picture cannot be had
        };
        Files["a.gif"] = Gif(200, 100, {Green});
        Files["red.gif"] = Gif(10, 10, {Red});
        Files["anim.gif"] = Gif(20, 20, {Red, Green});
    }
    ~PicturesTest() override { Root.Clear(); }  // the pictures go before the cache

    std::vector<TImageObj*> Images()
    {
        std::vector<TImageObj*> out;
        std::vector<TSection*> sections;
        Sections(Root, sections);
        for (TSection* s : sections)
            for (const auto& obj : s->Images)
                if (auto* image = dynamic_cast<TImageObj*>(obj.get()))
                    out.push_back(image);
        return out;
    }
    TImageObj* Image(int i)
    {
        auto all = Images();
        return i < int(all.size()) ? all[std::size_t(i)] : nullptr;
    }
    std::unique_ptr<Bitmap> Paint(int height, int yOffset = 0)
    {
        auto bitmap = std::make_unique<Bitmap>(Width, height);
        platform::Canvas canvas(*bitmap);
        canvas.FillRect(Rect{0, 0, Width, height}, White);
        Root.YOffset = yOffset;
        Root.PaintCell(&canvas, Rect{0, 0, Width, height}, Width, 0, 0, 0, 0);
        return bitmap;
    }
    static platform::TColor Pixel(Bitmap& bitmap, int x, int y)
    {
        platform::Canvas canvas(bitmap);
        return canvas.GetPixel(x, y) & 0xFFFFFF;
    }
    // Waits past the frame delay and lets the root's timer tick once.
    void Tick()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        Root.AnimationTick();
    }

    TStringBitmapList Cache;
    std::map<std::string, TImageStream> Files;
    TImageStream Empty;
    int Requests = 0;
};

}  // namespace

TEST_F(PicturesTest, SizesComeFromAttributesStyleAndThePicture)
{
    Format("<img src=a.gif><img src=a.gif width=50><img src=a.gif width='50%'><img src=a.gif height=20 width=10>"
           "<img src=a.gif style='width:50%'><img src=a.gif style='width:30px'>",
           400);
    ASSERT_EQ(Images().size(), 6u);
    EXPECT_EQ(Image(0)->ObjWidth, 200);
    EXPECT_EQ(Image(0)->ObjHeight, 100);
    EXPECT_TRUE(Image(0)->ImageKnown);
    EXPECT_EQ(Image(1)->ObjWidth, 50) << "the height follows in proportion";
    EXPECT_EQ(Image(1)->ObjHeight, 25);
    EXPECT_EQ(Image(2)->ObjWidth, 200) << "half of the 400-pixel column";
    EXPECT_EQ(Image(2)->ObjHeight, 100);
    EXPECT_EQ(Image(3)->ObjWidth, 10);
    EXPECT_EQ(Image(3)->ObjHeight, 20);
    EXPECT_TRUE(Image(4)->PercentWidth) << "a style percentage stays a percentage";
    EXPECT_EQ(Image(4)->SpecWidth, 50);
    EXPECT_EQ(Image(5)->ObjWidth, 30);
    EXPECT_EQ(Image(5)->ObjHeight, 15);
    EXPECT_EQ(Image(0)->Kind(), TImageObj::TPictureKind::Bitmap);
    // The line grows to hold the tallest picture.
    EXPECT_GE(Section(0)->Lines[0]->LineHeight(), 100);
}

TEST_F(PicturesTest, AttributeLimitsAndFloatSpaces)
{
    Format("<img src=red.gif hspace=100 vspace=-70 border=20><img src=red.gif align=left>"
           "<img src=red.gif align=right hspace=5><img src=red.gif border=0>",
           400);
    ASSERT_EQ(Images().size(), 4u);
    EXPECT_EQ(Image(0)->HSpaceL, 40);
    EXPECT_EQ(Image(0)->VSpaceT, 40);
    EXPECT_EQ(Image(0)->VSpaceB, 40);
    EXPECT_EQ(Image(0)->BorderSize, 10);
    EXPECT_EQ(Image(0)->ObjWidth, 30);
    EXPECT_EQ(Image(1)->HSpaceL, 3) << "a floating picture without HSPACE gets 3 pixels each side";
    EXPECT_EQ(Image(1)->HSpaceR, 3);
    EXPECT_EQ(Image(2)->HSpaceL, 5);
    EXPECT_TRUE(Image(3)->NoBorder);
    // Unusable sizes never make a picture larger than the bound, nor negative.
    Format("<img src=a.gif width=0><img src=a.gif width=-5><img src=a.gif width=1000000000 height=1000000000>"
           "<img src=a.gif width='5000%'><img src=a.gif height=0>",
           400);
    ASSERT_EQ(Images().size(), 5u);
    EXPECT_EQ(Image(0)->ObjWidth, 0);
    EXPECT_EQ(Image(1)->ObjWidth, 200) << "a negative width counts as none";
    EXPECT_EQ(Image(2)->ObjWidth, TImageObj::MaxSpecSize);
    EXPECT_EQ(Image(3)->ObjWidth, 200) << "a percentage above 100 is ignored";
    EXPECT_EQ(Image(4)->ObjHeight, 0);
    Paint(50);
}

TEST_F(PicturesTest, MissingPicturesShowBoxesAsWideAsTheirText)
{
    Format("<img src=none.gif><img src=none.gif alt='Three small words'><a href=x><img src=none.gif></a>"
           "<img src=none.gif width=40 height=30>",
           400);
    ASSERT_EQ(Images().size(), 4u);
    EXPECT_TRUE(Image(0)->Failed());
    EXPECT_EQ(Image(0)->ObjWidth, 24);
    EXPECT_EQ(Image(0)->ObjHeight, 24);
    platform::LogFont lf;
    lf.Name = "Arial";
    lf.Height = -11;
    platform::Canvas measure;
    measure.SetFont(platform::Font(lf));
    Rect r{0, 0, 0, 0};
    measure.DrawTextW(u"Three small words\r\n", r, platform::DT_CALCRECT | platform::DT_NOPREFIX);
    EXPECT_EQ(Image(1)->ObjWidth, r.Width() + 26);
    EXPECT_EQ(Image(1)->ObjHeight, std::max(24, r.Height()));
    EXPECT_EQ(Image(2)->ObjWidth, 26) << "a picture in a link gets a one-pixel border";
    EXPECT_EQ(Image(3)->ObjWidth, 40);
    EXPECT_EQ(Image(3)->ObjHeight, 30);
    // The box is framed and the error picture drawn inside it.
    auto picture = Paint(40);
    const int left = Image(0)->DrawXX, top = Image(0)->DrawYY;
    EXPECT_NE(Pixel(*picture, left, top + 5), White);
    EXPECT_EQ(Pixel(*picture, left + 2, top + 2), White);
    bool drawn = false;
    for (int y = top + 4; y < top + 20; ++y)
        for (int x = left + 4; x < left + 20; ++x)
            drawn = drawn || Pixel(*picture, x, y) != White;
    EXPECT_TRUE(drawn);
}

TEST_F(PicturesTest, FloatingPictureHasTextBesideAndBelowIt)
{
    Files["tall.gif"] = Gif(100, 60, {Green});
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "word ";
    const int height = Format("<img src=tall.gif align=left>" + words, 300);
    EXPECT_GT(height, 60);
    auto picture = Paint(height);
    EXPECT_EQ(Pixel(*picture, 50, 30), Green);
    TSection* s = Section(0);
    ASSERT_GT(s->Lines.Count(), 5);
    EXPECT_GE(s->Lines[0]->DrawXStart, 103) << "beside the picture and its 3-pixel space";
    const LineRec* last = s->Lines.Last();
    EXPECT_GT(last->DrawYTop, 60);
    EXPECT_EQ(last->DrawXStart, 0) << "below the picture the text takes the whole width";
    EXPECT_NE(Dump().find("float=left loaded"), std::string::npos);
}

TEST_F(PicturesTest, PictureInALinkIsFramedInTheLinkColour)
{
    Format("<a href=x><img src=red.gif></a> <a href=y><img src=red.gif border=0></a>", 200);
    auto picture = Paint(30);
    TImageObj* framed = Image(0);
    TImageObj* bare = Image(1);
    ASSERT_TRUE(framed && bare);
    EXPECT_EQ(framed->BorderSize, 1);
    EXPECT_EQ(bare->BorderSize, 0);
    const int x = framed->DrawXX - 1, y = framed->DrawYY - 1;
    EXPECT_EQ(Pixel(*picture, x, y + 5), Blue) << "the link colour of the test defaults";
    EXPECT_EQ(Pixel(*picture, x + 5, y + 5), Red);
    EXPECT_EQ(Pixel(*picture, bare->DrawXX + 5, bare->DrawYY + 5), Red);
    EXPECT_NE(Pixel(*picture, bare->DrawXX - 1, bare->DrawYY + 5), Blue);
}

TEST_F(PicturesTest, MapsAnswerWithTheFirstAreaAndServerMapsWithThePoint)
{
    Files["map.gif"] = Gif(100, 50, {Green});
    Format("<map name=m><area shape=rect coords='0,0,60,50' href=first title=One>"
           "<area shape=rect coords='40,0,100,50' href=second><area shape=default href=rest></map>"
           "<img src=map.gif usemap='#m'><br><a href=srv><img src=map.gif ismap border=0></a><br>"
           "<a href=plain><img src=map.gif usemap='#nomap' border=0></a>",
           300);
    Paint(200);
    auto ask = [&](TImageObj* image, int x, int y, std::string& title) {
        TUrlTarget* link = nullptr;
        TFormControlObj* control = nullptr;
        title.clear();
        Root.LinkAt(&Canvas, image->DrawXX + x, image->DrawYY + y, link, control, title);
        std::unique_ptr<TUrlTarget> owned(link);
        return owned ? owned->Url : std::string();
    };
    std::string title;
    EXPECT_EQ(ask(Image(0), 50, 10, title), "first") << "overlapping areas: the first wins";
    EXPECT_EQ(title, "One");
    EXPECT_EQ(ask(Image(0), 80, 10, title), "second");
    EXPECT_EQ(ask(Image(1), 5, 6, title), "srv?5,6");
    EXPECT_EQ(ask(Image(2), 5, 6, title), "plain") << "a map name no map has: the link of the picture";
    EXPECT_EQ(Root.HoverImage, static_cast<THoverImage*>(Image(2)));
}

TEST_F(PicturesTest, AnimatedPicturesMoveWhileInView)
{
    Format("<img src=anim.gif>", 100);
    TImageObj* image = Image(0);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Kind(), TImageObj::TPictureKind::Gif);
    ASSERT_EQ(Root.AnimatedImages.size(), 1u);
    ASSERT_TRUE(Root.AnimationTimer());
    EXPECT_TRUE(Root.AnimationTimer()->Enabled());
    auto before = Paint(30);
    const int x = image->DrawXX + 5, y = image->DrawYY + 5;
    EXPECT_EQ(Pixel(*before, x, y), Red);
    Tick();
    auto after = Paint(30);
    EXPECT_EQ(Pixel(*after, x, y), Green) << "the next frame after its delay";
    // Scrolled out of view, it stops; back in view, it goes on.
    Paint(30, 500);
    Tick();
    EXPECT_EQ(image->CurrentFrame(), 2);
    Paint(30);
    Tick();
    EXPECT_EQ(image->CurrentFrame(), 1);
}

TEST_F(PicturesTest, BackgroundsAndMarkersMove)
{
    Format("<div style='height:30px;background-image:url(anim.gif)'></div>"
           "<ul><li style='list-style-image:url(anim.gif)'>item</li></ul>",
           200);
    EXPECT_EQ(Root.AnimatedImages.size(), 2u);
    auto before = Paint(80);
    EXPECT_EQ(Pixel(*before, 10, 10), Red);
    Tick();
    auto after = Paint(80);
    EXPECT_EQ(Pixel(*after, 10, 10), Green) << "the block's background shows the next frame";
    bool markerMoved = false;
    for (int y = 30; y < 80; ++y)
        for (int x = 0; x < 60; ++x)
            markerMoved = markerMoved || (Pixel(*before, x, y) == Red && Pixel(*after, x, y) == Green);
    EXPECT_TRUE(markerMoved);

    // The document's own background.
    Format("<body background=anim.gif>text</body>", 200);
    Root.LoadBackgroundImage();
    ASSERT_TRUE(Root.BackgroundAnimation);
    const Bitmap* first = Root.BackgroundImage;
    ASSERT_TRUE(first);
    Relayout(200);
    Paint(20);
    Tick();
    EXPECT_NE(Root.BackgroundImage, first);
    EXPECT_EQ(Root.BackgroundAnimation->CurrentFrame(), 2);
}

TEST_F(PicturesTest, ActivePicturesShowHoverAndPressedFrames)
{
    Files["button.gif"] = Gif(20, 20, {Red, Green, Blue});
    Format("<img src=button.gif active>", 100);
    TImageObj* image = Image(0);
    ASSERT_TRUE(image && image->Gif());
    EXPECT_TRUE(Root.AnimatedImages.empty()) << "an active picture waits for the mouse";
    image->SetHover(1);
    EXPECT_EQ(image->CurrentFrame(), 2);
    image->SetHover(2);
    EXPECT_EQ(image->CurrentFrame(), 3);
    image->SetHover(0);
    EXPECT_EQ(image->CurrentFrame(), 1);
}

TEST_F(PicturesTest, RepeatedPicturesShareOneDecodedCopy)
{
    for (int i = 0; i < 5; ++i)
        Files["p" + std::to_string(i) + ".gif"] = Gif(8, 8, {platform::TColor(i * 40)});
    std::string page;
    for (int i = 0; i < 100; ++i)
        page += "<img src=p" + std::to_string(i % 5) + ".gif>";
    Format(page, 400);
    EXPECT_EQ(Cache.Count(), 5);
    EXPECT_EQ(Requests, 5) << "a repeat is found in the cache without asking for the data";
    EXPECT_EQ(Image(0)->GetBitmap(), Image(5)->GetBitmap());
    EXPECT_EQ(Cache.Objects(Cache.IndexOf("P0.GIF"))->UsageCount, 20);
    Root.Clear();
    EXPECT_EQ(Cache.Objects(Cache.IndexOf("P0.GIF"))->UsageCount, 0) << "each picture gives its use back";
}

TEST_F(PicturesTest, BadPicturesShowTheErrorPictureAndCostLittle)
{
    std::vector<std::uint8_t> truncated = Gif(50, 50, {Green});
    truncated.resize(truncated.size() / 2);
    Files["cut.gif"] = truncated;
    Files["page.gif"] = TImageStream{'<', 'h', 't', 'm', 'l', '>', 'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r',
                                     'e', '<', '/', 'h', 't', 'm', 'l', '>'};
    // Headers declaring huge pictures: the largest GIF screen, a PNG of 100,000 x 100,000.
    std::vector<std::uint8_t> huge = Gif(1, 1, {Green});
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;
    Files["huge.gif"] = huge;
    Files["huge.png"] = pictest::MakePNG(100000, 100000, 8, 2, std::vector<std::uint8_t>(301, 0));
    const std::string dir = testing::TempDir() + "vexa_pictures_dir";
    std::filesystem::create_directories(dir);
    Root.OnImageRequest = nullptr;  // read from files now: a folder is no picture
    Format("<img src=''><img src='" + dir + "'><img src=" + dir + "/missing.gif>", 300);
    for (TImageObj* image : Images())
        EXPECT_TRUE(image->Failed());
    Root.OnImageRequest = [this](TSectionList*, const std::string& name, const TImageStream*& stream) {
        auto it = Files.find(name);
        stream = it != Files.end() ? &it->second : &Empty;
    };
    Format("<img src=cut.gif><img src=page.gif><img src=huge.gif><img src=huge.png>", 300);
    for (TImageObj* image : Images()) {
        EXPECT_LE(image->ObjWidth, TImageObj::MaxSpecSize);
        if (image->Source == "page.gif" || image->Source == "huge.png") {
            EXPECT_TRUE(image->Failed()) << image->Source;
        }
    }
    Paint(100);

    // Ten thousand copies of one missing picture: one request, placeholders for all.
    int asked = 0;
    Root.OnImageRequest = [&asked, this](TSectionList*, const std::string&, const TImageStream*& stream) {
        ++asked;
        stream = &Empty;
    };
    std::string page;
    for (int i = 0; i < 10000; ++i)
        page += "<img src=gone.gif>";
    Format(page, 400);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Images().size(), 10000u);
    EXPECT_TRUE(Image(9999)->Failed());
}

TEST_F(PicturesTest, HugeMapsAndPolygonsStayBounded)
{
    Files["map.gif"] = Gif(100, 50, {Green});
    std::string page = "<map name=big>";
    for (int i = 0; i < 10000; ++i)
        page += "<area shape=rect coords='0,0,1,1' href=a" + std::to_string(i) + ">";
    page += "<area shape=poly coords='5'><area shape=poly coords='";
    for (int i = 0; i < 100000; ++i)
        page += std::to_string(i % 97) + ",";
    page += "0' href=poly></map><img src=map.gif usemap=#big border=0>";
    Format(page, 300);
    ASSERT_EQ(Root.Maps.Count(), 1);
    EXPECT_LE(Root.Maps[0]->AreaCount(), TMapItem::MaxAreas);
    Paint(60);
    TUrlTarget* link = nullptr;
    TFormControlObj* control = nullptr;
    std::string title;
    Root.LinkAt(&Canvas, Image(0)->DrawXX, Image(0)->DrawYY, link, control, title);
    std::unique_ptr<TUrlTarget> owned(link);
    ASSERT_TRUE(owned);
    EXPECT_EQ(owned->Url, "a0");
}

TEST_F(PicturesTest, PanelsTakeTheirSpacesWithinLimits)
{
    Format("<panel name=p width=40 height=20 hspace=500 vspace=7>", 200);
    std::vector<TSection*> sections;
    Sections(Root, sections);
    ASSERT_FALSE(sections.empty());
    ASSERT_EQ(sections[0]->Images.Count(), 1);
    TFloatingObj* panel = sections[0]->Images[0];
    EXPECT_TRUE(panel->IsPanel());
    EXPECT_EQ(panel->HSpaceL, 40);
    EXPECT_EQ(panel->VSpaceT, 7);
    EXPECT_EQ(panel->ObjWidth, 40);
}

TEST_F(PicturesTest, PicturesAlignInTheirLine)
{
    Files["tall.gif"] = Gif(10, 60, {Green});
    Format("x<img src=tall.gif><img src=red.gif align=top><img src=red.gif align=middle><img src=red.gif>"
           "<img src=red.gif align=baseline>",
           400);
    Paint(100);
    const LineRec* line = Section(0)->Lines[0];
    ASSERT_TRUE(line);
    EXPECT_GE(line->LineHeight(), 60) << "the line grows to hold the tall picture";
    const int baseline = line->DrawYTop + line->TextHeight - line->Descent;
    EXPECT_EQ(Image(0)->DrawYY + 60, baseline);
    EXPECT_EQ(Image(1)->DrawYY, line->DrawYTop) << "top";
    EXPECT_EQ(Image(3)->DrawYY + 10, baseline) << "bottom";
    EXPECT_EQ(Image(4)->DrawYY + 10, baseline) << "baseline";
    EXPECT_NEAR(Image(2)->DrawYY + 5, line->DrawYTop + line->TextHeight / 2, 1) << "middle: on the text's middle";
}

TEST_F(PicturesTest, AwaitedPicturesShowTheWaitPictureAndAreAskedForOnce)
{
    int asked = 0;
    Root.OnImageRequest = [&asked](TSectionList*, const std::string&, const TImageStream*& stream) {
        ++asked;
        stream = &WaitStream();
    };
    Format("<img src=later.gif><img src=later.gif width=30 height=30>", 300);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(Images().size(), 2u);
    EXPECT_EQ(Image(0)->Kind(), TImageObj::TPictureKind::Wait);
    EXPECT_TRUE(Image(1)->Delayed);
    EXPECT_FALSE(Image(0)->ImageKnown) << "sized again once the picture arrives";
    EXPECT_EQ(Root.MissingImages.size(), 1u);
    EXPECT_EQ(Image(1)->ObjWidth, 30);
    EXPECT_NE(Dump().find("placeholder awaited"), std::string::npos);
}
