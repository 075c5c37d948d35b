// The page tree and the skin that ship with the program: every page the window opens exists, is stored
// in Windows-1251 and says so, and every local link, sheet and picture in it resolves to a file (and
// every "#name" to an anchor of its page).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/jpeg.h"

namespace {

namespace fs = std::filesystem;

const fs::path kContent = fs::path(VEXA_SOURCE_DIR) / "content";

std::string ReadAll(const fs::path& p) { return platform::ReadFileString(p.string()); }

std::vector<std::string> WindowPages()
{
    std::vector<std::string> pages = {"about_game.html", "about_autors.html", "contact.html"};
    for (int y = 2000; y <= 2006; ++y) {
        std::string year = std::to_string(y);
        pages.push_back(year + "/about" + year + ".html");
        pages.push_back(year + "/statistics/statistics.html");
        pages.push_back(year + "/best_results/best_results.html");
    }
    return pages;
}

bool IsValidUtf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (int k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return s;
}

TEST(PageTree, EveryPageTheWindowOpensIsThereIn1251WithItsCharset)
{
    for (const std::string& page : WindowPages()) {
        SCOPED_TRACE(page);
        fs::path p = kContent / "Info" / page;
        ASSERT_TRUE(fs::is_regular_file(p));
        std::string text = ReadAll(p);
        EXPECT_NE(Lower(text).find("charset=windows-1251"), std::string::npos);
        // Russian text in 1251 is never valid UTF-8, and it must read back as Cyrillic.
        EXPECT_FALSE(IsValidUtf8(text));
        std::u16string wide = platform::MultiByteToWide(1251, text);
        EXPECT_NE(wide.find(u"Векс"), std::u16string::npos);
    }
}

TEST(PageTree, WindowNamesWithBackslashesResolveInTheTree)
{
    std::error_code ec;
    fs::path old = fs::current_path();
    fs::current_path(kContent);
    EXPECT_TRUE(platform::FileExists("Info\\about_game.html"));
    EXPECT_TRUE(platform::FileExists("Info\\2003\\about2003.html"));
    EXPECT_TRUE(platform::FileExists("Info\\2004\\best_results\\best_results.html"));
    EXPECT_FALSE(platform::FileExists("Info\\2007\\about2007.html"));
    fs::current_path(old, ec);
}

// Every local reference of every page: links, frames, sheets and pictures exist; anchors are defined.
TEST(PageTree, LocalLinksPicturesAndAnchorsResolve)
{
    const std::regex ref(R"((href|src)\s*=\s*"([^"]*)\")", std::regex::icase);
    const std::regex anchor(R"(name\s*=\s*"([^"]*)\")", std::regex::icase);
    int checked = 0, anchors = 0;
    std::set<std::string> kinds;
    for (const auto& entry : fs::recursive_directory_iterator(kContent / "Info")) {
        if (entry.path().extension() != ".html")
            continue;
        std::string text = ReadAll(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), ref), end; it != end; ++it) {
            std::string url = (*it)[2];
            SCOPED_TRACE(entry.path().string() + " -> " + url);
            if (url.find("http://") != std::string::npos || url.find("mailto:") != std::string::npos)
                continue;
            std::string file = url.substr(0, url.find('#'));
            std::string name = url.find('#') == std::string::npos ? "" : url.substr(url.find('#') + 1);
            fs::path target = file.empty() ? entry.path() : entry.path().parent_path() / file;
            ASSERT_TRUE(fs::is_regular_file(target));
            kinds.insert(Lower(target.extension().string()));
            ++checked;
            if (!name.empty()) {
                std::string targetText = ReadAll(target);
                std::set<std::string> names;
                for (std::sregex_iterator a(targetText.begin(), targetText.end(), anchor), e; a != e; ++a)
                    names.insert((*a)[1]);
                EXPECT_TRUE(names.count(name)) << "no anchor " << name;
                ++anchors;
            }
        }
    }
    EXPECT_GT(checked, 100);
    EXPECT_GT(anchors, 5);
    for (const char* kind : {".html", ".css", ".gif", ".png", ".jpg"})
        EXPECT_TRUE(kinds.count(kind)) << kind;
}

TEST(PageTree, PagesCarryWebAndMailLinksAFrameSetAndAForm)
{
    std::string all;
    for (const auto& entry : fs::recursive_directory_iterator(kContent / "Info"))
        if (entry.path().extension() == ".html")
            all += Lower(ReadAll(entry.path()));
    EXPECT_NE(all.find("href=\"http://"), std::string::npos);
    EXPECT_NE(all.find("href=\"mailto:"), std::string::npos);
    EXPECT_NE(all.find("<frameset"), std::string::npos);
    EXPECT_NE(all.find("<form"), std::string::npos);
    EXPECT_NE(all.find("<style"), std::string::npos);
    EXPECT_NE(all.find("<pre>"), std::string::npos);
}

TEST(PageTree, AnimatedPictureHasSeveralFrames)
{
    std::string gif = ReadAll(kContent / "Info" / "images" / "star_anim.gif");
    ASSERT_EQ(gif.substr(0, 6), "GIF89a");
    EXPECT_NE(gif.find("NETSCAPE2.0"), std::string::npos);
    std::size_t frames = 0;
    for (std::size_t p = gif.find("\x21\xF9\x04"); p != std::string::npos; p = gif.find("\x21\xF9\x04", p + 1))
        ++frames;
    EXPECT_GE(frames, 2u);
}

// The skin pictures decode and have exactly the sizes of the controls that show them.
TEST(Skin, PicturesHaveTheSizesOfTheirControls)
{
    const struct {
        const char* Name;
        int Width, Height;
    } pictures[] = {
        {"back", 800, 600},    {"btn0", 158, 25},     {"btn2000", 158, 25},  {"btn2006", 158, 25},
        {"btnmin", 45, 45},    {"btnclose", 45, 45},  {"btntest", 164, 35},  {"btnexit", 164, 35},
        {"question", 250, 400}, {"btnyes", 101, 41},  {"btnno", 101, 41},
    };
    for (const auto& p : pictures)
        for (const char* suffix : {"", "_hi"}) {
            if (std::string(p.Name) == "back" || std::string(p.Name) == "question")
                if (*suffix)
                    continue;
            std::string name = std::string(p.Name) + suffix + ".jpg";
            SCOPED_TRACE(name);
            fs::path path = kContent / "skin" / name;
            ASSERT_TRUE(fs::is_regular_file(path));
            platform::Bitmap b = platform::LoadJPEG(platform::ReadFileBytes(path.string()));
            EXPECT_EQ(b.Width(), p.Width);
            EXPECT_EQ(b.Height(), p.Height);
        }
}

}  // namespace
