// Pictures through the viewer control: picture documents, the image events and cursor, pictures switched
// off and on, pictures the host supplies, moving pictures driven by the real timer, and the shipped pages.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "layout/blocks.h"
#include "layout/imageobj.h"
#include "layout/section.h"
#include "layout/layoutdump.h"
#include "platform/cursors.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/testing.h"
#include "tests/images/picture_helpers.h"
#include "viewer/docrender.h"
#include "viewer/htmlviewer.h"

namespace {

namespace fs = std::filesystem;
namespace test = platform::test;

std::string OneColourGif(int w, int h, std::vector<std::uint32_t> colours, int delay = 2)
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
    colours.resize(std::max<std::size_t>(colours.size(), 2), 0);
    auto bytes = pictest::MakeGif(w, h, colours, frames, frames.size() > 1 ? 0 : -1);
    return std::string(bytes.begin(), bytes.end());
}

TImageObj* FirstPicture(TCellBasic& cell)
{
    for (const auto& item : cell) {
        if (auto* s = dynamic_cast<TSection*>(item.get())) {
            for (const auto& obj : s->Images)
                if (auto* image = dynamic_cast<TImageObj*>(obj.get()))
                    return image;
        } else if (auto* b = dynamic_cast<TBlock*>(item.get())) {
            if (TImageObj* image = FirstPicture(*b->MyCell))
                return image;
        }
    }
    return nullptr;
}

class ViewerPicturesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vexa-pictures-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        form_ = std::make_unique<platform::Form>();
        form_->SetBounds(0, 0, 420, 320);
        viewer_ = &form_->Add<THTMLViewer>();
        viewer_->SetBounds(0, 0, 400, 300);
        test::ShowAndActivate(*form_);
    }
    void TearDown() override
    {
        form_.reset();
        test::ProcessEvents();
        fs::remove_all(dir_);
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return (dir_ / name).string();
    }
    TImageObj* Picture() { return FirstPicture(viewer_->SectionList()); }

    fs::path dir_;
    std::unique_ptr<platform::Form> form_;
    THTMLViewer* viewer_ = nullptr;
};

}  // namespace

TEST_F(ViewerPicturesTest, PictureDocumentHoldsOnlyThePicture)
{
    const std::string name = Write("green & \"blue\".gif", OneColourGif(30, 20, {0x00FF00}));
    viewer_->OpenImageFile(name);
    EXPECT_EQ(viewer_->DocumentKind(), 2);
    TImageObj* image = Picture();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Kind(), TImageObj::TPictureKind::Bitmap) << "the name reaches the picture unchanged";
    EXPECT_EQ(image->ObjWidth, 30);
    platform::Bitmap shot = test::Grab(viewer_->PaintPanel());
    EXPECT_EQ(shot.Pixel(image->DrawXX + 15, image->DrawYY + 10) & 0xFFFFFF, platform::RGB(0, 255, 0));
}

TEST_F(ViewerPicturesTest, ImageEventsAndCursor)
{
    Write("p.gif", OneColourGif(60, 40, {0x0000FF}));
    const std::string page = Write("page.html", "<p>text before</p><img src=p.gif><p>text after</p>");
    TIDObject* over = nullptr;
    int overX = -1, overY = -1;
    viewer_->OnImageOver = [&](THTMLViewer*, TIDObject* obj, platform::TShiftState, int x, int y) {
        over = obj;
        overX = x;
        overY = y;
    };
    TIDObject* clicked = nullptr;
    viewer_->OnImageClick = [&](THTMLViewer*, TIDObject* obj, platform::TMouseButton, platform::TShiftState, int,
                                int) { clicked = obj; };
    viewer_->OpenFile(page);
    test::FlushPaint(viewer_->PaintPanel());
    TImageObj* image = Picture();
    ASSERT_TRUE(image);
    const int x = image->DrawXX + 7, y = image->DrawYY - viewer_->SectionList().YOffset + 9;
    test::MouseMove(viewer_->PaintPanel(), x, y);
    EXPECT_EQ(over, image);
    EXPECT_EQ(overX, 7);
    EXPECT_EQ(overY, 9);
    EXPECT_EQ(viewer_->PaintPanel().Cursor(), platform::crArrow) << "the arrow over a picture";
    test::MouseClick(viewer_->PaintPanel(), x, y);
    EXPECT_EQ(clicked, image);
}

TEST_F(ViewerPicturesTest, PicturesSwitchOffAndOnAndComeFromTheHost)
{
    Write("p.gif", OneColourGif(60, 40, {0x0000FF}));
    viewer_->OpenFile(Write("page.html", "<img src=p.gif alt=words>"));
    ASSERT_TRUE(Picture());
    EXPECT_EQ(Picture()->ObjWidth, 60);
    viewer_->SetViewImages(false);
    EXPECT_TRUE(Picture()->IsPlaceholder());
    EXPECT_NE(Picture()->ObjWidth, 60);
    viewer_->SetViewImages(true);
    EXPECT_EQ(Picture()->ObjWidth, 60);

    // A host that supplies pictures by name.
    viewer_->OnBitmapRequest = [](THTMLViewer*, const std::string& name, std::unique_ptr<platform::Bitmap>& bitmap,
                                  platform::TColor& colour) {
        if (name.find("host") == std::string::npos)
            return;
        bitmap = std::make_unique<platform::Bitmap>(33, 11);
        colour = platform::TColor(-1);
    };
    viewer_->OpenString("<img src=host.pic>", "");
    ASSERT_TRUE(Picture());
    EXPECT_EQ(Picture()->Kind(), TImageObj::TPictureKind::Bitmap);
    EXPECT_EQ(Picture()->ObjWidth, 33);
}

TEST_F(ViewerPicturesTest, TheTimerMovesAnimatedPictures)
{
    Write("anim.gif", OneColourGif(20, 20, {0x0000FF, 0x00FF00}, 3));
    viewer_->OpenFile(Write("page.html", "<img src=anim.gif>"));
    test::FlushPaint(viewer_->PaintPanel());
    TImageObj* image = Picture();
    ASSERT_TRUE(image);
    const int x = image->DrawXX + 10, y = image->DrawYY + 10;
    platform::Bitmap first = test::Grab(viewer_->PaintPanel());
    EXPECT_EQ(first.Pixel(x, y) & 0xFFFFFF, platform::RGB(255, 0, 0));
    ASSERT_TRUE(test::RunUntil([&] { return image->CurrentFrame() == 2; }, 2000));
    platform::Bitmap second = test::Grab(viewer_->PaintPanel());
    EXPECT_EQ(second.Pixel(x, y) & 0xFFFFFF, platform::RGB(0, 255, 0));
}

TEST(ShippedPages, ShowTheirPictures)
{
    const fs::path info = fs::path(VEXA_SOURCE_DIR) / "content" / "Info";
    int withPictures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(info)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".html" && ext != ".htm")
            continue;
        const std::string text = platform::ReadFileString(entry.path().string());
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.find("<img") == std::string::npos)
            continue;
        ++withPictures;
        DocumentRenderer doc;
        doc.BaseFolder = entry.path().parent_path().string();
        doc.Load(text);
        const int height = doc.Format(551);
        doc.Paint(0, std::min(height, 3000));
        const std::string dump = DumpLayout(doc.Root(), doc.MeasureCanvas());
        EXPECT_NE(dump.find("picture src="), std::string::npos) << entry.path();
        EXPECT_EQ(dump.find("placeholder"), std::string::npos) << entry.path() << "\n" << dump;
    }
    EXPECT_GE(withPictures, 10);
}
