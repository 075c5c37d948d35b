// Addresses and programs handed to the desktop: one argument each, never through a shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/shell.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

struct Call {
    std::string kind;
    std::string target;
    std::vector<std::string> args;
};

class RecordingShell : public ShellService {
public:
    explicit RecordingShell(std::vector<Call>* calls) : calls_(calls) {}
    bool OpenAddress(const std::string& address) override
    {
        calls_->push_back({"open", address, {}});
        return true;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override
    {
        calls_->push_back({"start", program, args});
        return true;
    }

private:
    std::vector<Call>* calls_;
};

class ShellTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetShellService(std::make_unique<RecordingShell>(&calls_));
        old_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("vexa-shell-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        fs::current_path(old_);
        fs::remove_all(dir_);
        SetShellService(nullptr);
    }
    std::vector<Call> calls_;
    fs::path old_;
    fs::path dir_;
};

}  // namespace

TEST_F(ShellTest, HostileAddressReachesTheOpenerAsOneArgument)
{
    const std::string address = "http://example.invalid/$(touch pwned); 'q' \"dq\" a b`id`";
    EXPECT_TRUE(ShellExecuteA(address));
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].kind, "open");
    EXPECT_EQ(calls_[0].target, address);
    std::vector<std::string> command = OpenerCommand(address);
    ASSERT_EQ(command.size(), 2u);
    EXPECT_EQ(command[1], address);
    EXPECT_FALSE(fs::exists(dir_ / "pwned"));
}

TEST_F(ShellTest, MailAddressIsOpened)
{
    ShellExecuteA("mailto:info@example.invalid");
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].target, "mailto:info@example.invalid");
}

TEST_F(ShellTest, ProgramBesideIsStartedByItsPathWithoutExe)
{
    std::ofstream(dir_ / "VexaTest") << "#!/bin/sh\nexit 0\n";
    fs::permissions(dir_ / "VexaTest", fs::perms::owner_all);
    EXPECT_TRUE(ShellExecuteA("VexaTest.exe"));
    ASSERT_EQ(calls_.size(), 1u);
    EXPECT_EQ(calls_[0].kind, "start");
    EXPECT_EQ(calls_[0].target, (dir_ / "VexaTest").string());
    EXPECT_TRUE(calls_[0].args.empty());
}

TEST_F(ShellTest, MissingProgramDoesNothing)
{
    EXPECT_FALSE(ShellExecuteA("VexaTest.exe"));
    EXPECT_FALSE(ShellExecuteA("plain words"));
    EXPECT_TRUE(calls_.empty());
}

TEST_F(ShellTest, OnlyWebAndMailSchemesReachTheOpener)
{
    EXPECT_FALSE(ShellExecuteA("run.sh#http://x"));
    EXPECT_FALSE(ShellExecuteA("file:///etc/passwd"));
    EXPECT_FALSE(ShellExecuteA("see http://x"));
    EXPECT_TRUE(calls_.empty());
    EXPECT_TRUE(ShellExecuteA("HTTPS://example.invalid/"));
    EXPECT_TRUE(ShellExecuteA("http://example.invalid/mailto:x"));
    EXPECT_EQ(calls_.size(), 2u);
}
