// Start-up, the working directory, notices without a screen, and how the
// process ends.
#include "platform/System.h"

#include <csignal>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/internal/Application.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

class WorkingDirectory {
public:
    WorkingDirectory() : Saved(std::filesystem::current_path()) {}
    ~WorkingDirectory() { std::filesystem::current_path(Saved); }

private:
    std::filesystem::path Saved;
};

TEST(CurrentDirectory, IsTheWorkingDirectoryWithoutATrailingSeparator)
{
    WorkingDirectory restore;
    test::TempDir dir;
    std::filesystem::current_path(dir.Path());
    const std::string expected = std::filesystem::canonical(dir.Path()).string();
    EXPECT_EQ(ToUtf8(CurrentDirectory()), expected);
    EXPECT_NE(ToUtf8(CurrentDirectory()).back(), '/');
}

TEST(StartPlatform, MakesTheExecutablesFolderTheWorkingDirectory)
{
    WorkingDirectory restore;
    test::TempDir dir;
    std::filesystem::current_path(dir.Path());
    const std::terminate_handler previous = std::get_terminate();
    StartPlatform();
    std::set_terminate(previous);
    EXPECT_EQ(CurrentDirectory(), ExecutableFolder());
}

TEST(ShowNotice, WithoutAScreenTheTextGoesToStandardError)
{
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::internal::CaptureStderr();
    ShowNotice(u"Unable to load mapfile!", false);
    ShowNotice(u"Gr\u00fc\u00dfe", true);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Unable to load mapfile!\nGr\xC3\xBC\xC3\x9F"
                                                        "e\n");
}

// A fresh process for each: the platform starts once per process.
class ProcessEnd : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void Fail()
{
    throw std::runtime_error("the map engine ran out of road");
}

// The death test's own handler would catch a plain throw; a failure that
// leaves a noexcept function goes straight to the terminate handler.
void ThrowPastEveryGuard() noexcept
{
    void (*volatile fail)() = Fail;
    fail();
}

TEST_F(ProcessEnd, AnUncaughtFailurePrintsItsTextAndEndsWithStatusMinusOne)
{
    EXPECT_EXIT(
        {
            StartPlatform();
            ThrowPastEveryGuard();
        },
        ::testing::ExitedWithCode(255), "the map engine ran out of road");
}

TEST_F(ProcessEnd, EndProgramRunsTheExitHandlersAndEndsWithStatusZero)
{
    EXPECT_EXIT(
        {
            StartPlatform();
            std::atexit([] { std::fputs("exit handler ran\n", stderr); });
            EndProgram();
        },
        ::testing::ExitedWithCode(0), "exit handler ran");
}

TEST_F(ProcessEnd, InterruptAndTerminateStillEndTheProcess)
{
    for (int signal : {SIGINT, SIGTERM}) {
        EXPECT_EXIT(
            {
                StartPlatform();
                PollSystemEvents();
                std::raise(signal);
                PollSystemEvents();
                std::exit(0);
            },
            ::testing::KilledBySignal(signal), "")
            << signal;
    }
}

}  // namespace
}  // namespace kzm
