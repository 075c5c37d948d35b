#include "app/skin.h"

#include "platform/canvas.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/jpeg.h"

std::string SkinFolder()
{
    if (platform::DirectoryExists("skin"))
        return "skin/";
    std::string beside = platform::ProgramDir();
    if (!beside.empty() && beside.back() != '/')
        beside += '/';
    if (platform::DirectoryExists(beside + "skin"))
        return beside + "skin/";
    return {};
}

namespace {

platform::Bitmap PlainPicture(int width, int height, platform::TColor colour, const std::u16string& caption)
{
    platform::Bitmap b(width, height, platform::PixelFormat::pf32bit);
    platform::Canvas& c = b.GetCanvas();
    c.FillRect(platform::MakeRect(0, 0, width, height), colour);
    if (!caption.empty()) {
        platform::LogFont lf;
        lf.Name = "Arial";
        lf.Height = -12;
        lf.Weight = platform::FW_BOLD;
        c.SetFont(platform::Font(lf));
        c.SetBkMode(platform::TRANSPARENT);
        c.SetTextColor(platform::clWhite);
        platform::Rect r = platform::MakeRect(0, 0, width, height);
        c.DrawTextW(caption, r, platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE);
    }
    return b;
}

}  // namespace

platform::Bitmap LoadSkinPicture(const std::string& name, int width, int height, platform::TColor fallback,
                                 const std::u16string& caption)
{
    std::string folder = SkinFolder();
    if (!folder.empty()) {
        std::string path = folder + name + ".jpg";
        try {
            if (platform::FileExists(path)) {
                platform::Bitmap b = platform::LoadJPEG(platform::ReadFileBytes(path));
                if (b.Width() == width && b.Height() == height)
                    return b;
            }
        } catch (const platform::Exception&) {
            // A damaged picture: the plain one below serves.
        }
    }
    return PlainPicture(width, height, fallback, caption);
}
