// File names written for Windows (backslashes, other letter case, 1251 bytes) found on Linux; only regular files
// count as documents.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/exception.h"
#include "platform/files.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

class FilesTest : public testing::Test {
protected:
    void SetUp() override
    {
        old_ = fs::current_path();
        root_ = fs::temp_directory_path() / ("vexa-files-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "info" / "sub");
        std::ofstream(root_ / "info" / "sub" / "page.html") << "<p>hello";
        std::ofstream(root_ / "Mixed.TXT") << "exact";
        std::ofstream(root_ / "mixed.txt") << "other";
        std::ofstream(root_ / "\xD0\x9F\xD1\x80\xD0\xB8.html") << "cyrillic";  // "При.html" in UTF-8
        fs::current_path(root_);
    }
    void TearDown() override
    {
        fs::current_path(old_);
        fs::remove_all(root_);
    }
    fs::path old_;
    fs::path root_;
};

}  // namespace

TEST_F(FilesTest, BackslashesAndLetterCaseAreResolved)
{
    EXPECT_TRUE(FileExists("Info\\Sub\\Page.HTML"));
    EXPECT_EQ(ResolvePath("Info\\Sub\\Page.HTML"), "info/sub/page.html");
    EXPECT_EQ(ReadFileString("INFO/sub/PAGE.html"), "<p>hello");
    EXPECT_FALSE(FileExists("Info\\Sub\\Missing.html"));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FilesTest, ExactMatchWinsAndAmbiguousCaseMatchesFail)
{
    EXPECT_EQ(ReadFileString("Mixed.TXT"), "exact");
    EXPECT_EQ(ReadFileString("mixed.txt"), "other");
    EXPECT_FALSE(FileExists("MIXED.txt"));  // two entries match ignoring case: neither is chosen
}

TEST_F(FilesTest, SystemCodePageNamesReachUtf8Files)
{
    EXPECT_TRUE(FileExists("\xCF\xF0\xE8.html"));       // 1251 bytes
    EXPECT_TRUE(FileExists("\xEF\xF0\xE8.HTML"));       // other case, still 1251
    EXPECT_TRUE(FileExists("\xD0\x9F\xD1\x80\xD0\xB8.html"));  // raw UTF-8 works as well
}

TEST_F(FilesTest, OnlyRegularFilesAreDocuments)
{
    EXPECT_FALSE(FileExists("info"));
    EXPECT_TRUE(DirectoryExists("INFO\\sub"));
    EXPECT_THROW(ReadFileBytes("info"), EFOpenError);
    EXPECT_FALSE(FileExists("/dev/zero"));
    EXPECT_THROW(ReadFileBytes("/dev/zero"), EFOpenError);
    EXPECT_THROW(ReadFileBytes("nothing.html"), EFOpenError);
}

TEST_F(FilesTest, ExpandFileNameFoldsDotsAndKeepsTheSeparatorStyle)
{
    std::string cwd = GetCurrentDir();
    EXPECT_EQ(ExpandFileName("info/./sub/../sub/page.html"), cwd + "/info/sub/page.html");
    std::string win = ExpandFileName("Info\\Sub\\..\\x.htm");
    EXPECT_EQ(win.find('/'), std::string::npos);
    EXPECT_EQ(win.substr(win.size() - 11), "\\Info\\x.htm");
    EXPECT_EQ(ExpandFileName("\\a\\..\\..\\b"), "\\b");
    EXPECT_EQ(ExpandFileName("/"), "/");
}

TEST(FileNames, PartsOfNames)
{
    EXPECT_EQ(ExtractFilePath("a\\b\\c.htm"), "a\\b\\");
    EXPECT_EQ(ExtractFilePath("c.htm"), "");
    EXPECT_EQ(ExtractFileName("a/b/c.htm"), "c.htm");
    EXPECT_EQ(ExtractFileExt("a.b\\c"), "");
    EXPECT_EQ(ExtractFileExt("a\\c.tar.GZ"), ".GZ");
}
