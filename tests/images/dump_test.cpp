// The picture dump: its report, its errors, and the frames it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "images/imagedump.h"
#include "picture_helpers.h"

using namespace pictest;

TEST(PictureDump, ReportsAnimationAndWritesFramesAfterDisposal)
{
    const std::string gif = DataDir() + "/gif-suite/animated/animated_transparent_frame_restorebackground_loop.gif";
    const std::string dir = testing::TempDir() + "dump_frames";
    std::filesystem::create_directories(dir);
    std::ostringstream out;
    ASSERT_EQ(DumpPicture(gif, out, dir), 0);
    const std::string text = out.str();
    EXPECT_NE(text.find("kind: GIF 89a\n"), std::string::npos) << text;
    EXPECT_NE(text.find("size: 100 x 100\n"), std::string::npos);
    EXPECT_NE(text.find("frames: 4\n"), std::string::npos);
    EXPECT_NE(text.find("loop count: 0 (endless)\n"), std::string::npos);
    EXPECT_NE(text.find("disposal 2"), std::string::npos);
    for (int f = 0; f < 4; ++f) {
        RGBAImage got, ref;
        ASSERT_TRUE(ReadPNGWithLibpng(dir + "/frame-" + std::to_string(f + 1) + ".png", got));
        ASSERT_TRUE(ReadPNGWithLibpng(DataDir() + "/gif-suite/animated/ref/"
                                          "animated_transparent_frame_restorebackground_loop-" +
                                          std::to_string(f) + ".png",
                                      ref));
        ASSERT_EQ(got.Width, ref.Width);
        int differ = 0;
        for (int y = 0; y < got.Height; ++y)
            for (int x = 0; x < got.Width; ++x) {
                const std::uint8_t* a = got.At(x, y);
                const std::uint8_t* b = ref.At(x, y);
                if (a[3] != b[3] || (b[3] && (a[0] != b[0] || a[1] != b[1] || a[2] != b[2])))
                    ++differ;
            }
        EXPECT_EQ(differ, 0) << "frame " << f;
    }
}

TEST(PictureDump, ReportsDecoderErrorsAndOtherKinds)
{
    std::ostringstream bad;
    EXPECT_EQ(DumpPicture(DataDir() + "/pngsuite/xcsn0g01.png", bad), 1);
    EXPECT_EQ(bad.str(),
              "error: Portable Network Graphics format handler error Can't read the PNG image, it has corrupted "
              "data. \n");
    std::ostringstream png;
    EXPECT_EQ(DumpPicture(DataDir() + "/pngsuite/basi3p02.png", png), 0);
    EXPECT_NE(png.str().find("colour type: 3 (palette)\ninterlaced: yes\npixel format: 4 bits\n"), std::string::npos)
        << png.str();
    std::ostringstream missing;
    EXPECT_EQ(DumpPicture("/nonexistent/none.gif", missing), 2);
}
