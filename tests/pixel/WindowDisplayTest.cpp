// The window and full-screen display under SDL's dummy video driver: what
// OpenDisplay makes, how it fails, and what it leaves to other SDL users.
#include <csignal>
#include <cstdlib>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "platform/Display.h"
#include "platform/internal/Application.h"
#include "platform/internal/DisplayContext.h"
#include "tests/support/ImageFixtures.h"

namespace kzm {
namespace {

class WindowDisplay : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }
    void TearDown() override { CloseDisplay(); }
};

TEST_F(WindowDisplay, WindowedIsAFixedSizeWindowAt32And32TitledWithTheApplication)
{
    ASSERT_NE(OpenDisplay(800, 600, 0, 60, 0), nullptr);
    DisplayContext* display = ActiveDisplay();
    ASSERT_NE(display, nullptr);
    ASSERT_NE(display->Window, nullptr);
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(display->Window, &x, &y);
    SDL_GetWindowSize(display->Window, &w, &h);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    const Uint32 flags = SDL_GetWindowFlags(display->Window);
    EXPECT_EQ(flags & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_EQ(flags & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(SDL_GetWindowTitle(display->Window), ToUtf8(ApplicationTitle()));
    EXPECT_EQ(ToUtf8(ApplicationTitle()), "kzm-tests-pixel");
}

// The dummy driver offers one mode, 1024 x 768 at 24 bits per pixel: asked
// for 16, the display falls back on it.
TEST_F(WindowDisplay, FullScreenFallsBackOn24BitsPerPixel)
{
    ASSERT_NE(OpenDisplay(1024, 768, 16, 60, 0), nullptr);
    DisplayContext* display = ActiveDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(display->Window) & SDL_WINDOW_FULLSCREEN, 0u);
    SDL_DisplayMode mode;
    ASSERT_EQ(SDL_GetWindowDisplayMode(display->Window, &mode), 0);
    EXPECT_EQ(mode.w, 1024);
    EXPECT_EQ(SDL_BITSPERPIXEL(mode.format), 24u);
}

// A screen with no mode of the size still gets full screen: the desktop's own
// mode, drawing in the asked-for coordinates, scaled to fit.
TEST_F(WindowDisplay, NoModeOfTheSizeScalesToTheDesktop)
{
    ASSERT_NE(OpenDisplay(800, 600, 16, 60, 0), nullptr);
    DisplayContext* display = ActiveDisplay();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(SDL_GetWindowFlags(display->Window) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
    int w = 0, h = 0;
    SDL_RenderGetLogicalSize(display->Renderer, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(WindowDisplay, AFailingVideoDriverEndsTheProcessQuietlyNamingTheStep)
{
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            SetPrintLineStream(stderr);
            OpenDisplay(800, 600, 0, 60, 0);
            std::exit(3);
        },
        testing::ExitedWithCode(0), "OpenDisplay: SDL_InitSubSystem\\(SDL_INIT_VIDEO\\) failed: .+");
}

// SDL's own handlers would turn Ctrl+C into a quit event nobody reads.
TEST_F(WindowDisplay, InterruptStillEndsTheProgram)
{
    EXPECT_EXIT(
        {
            OpenDisplay(800, 600, 0, 60, 0);
            std::raise(SIGINT);
            std::exit(3);
        },
        testing::KilledBySignal(SIGINT), "");
}

// Other parts of the platform hold SDL subsystems of their own; the display
// lets go of video only, and only its own hold on it.
TEST_F(WindowDisplay, ClosingLeavesOtherSubsystemsRunning)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    OpenDisplay(800, 600, 0, 60, 0);
    OpenDisplay(800, 600, 0, 60, 0);  // reopening closes the first
    CloseDisplay();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    EXPECT_NE(SDL_WasInit(SDL_INIT_EVENTS), 0u);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Textures made for one window's renderer must not be touched once that
// renderer is gone (the sanitizer build checks it), and the image draws on
// the next window.
TEST_F(WindowDisplay, ImagesDrawAcrossReopenedDisplays)
{
    auto image = test::SolidFrames(4, 4, {test::kRed, test::kBlue});
    for (int round = 0; round < 3; ++round) {
        OpenDisplay(800, 600, 0, 60, 0);
        SetBlendMode(kBlendAlpha);
        SetDrawScale(2, -2);
        DrawImageFrame(image.get(), 10, 10, round % 2);
        PresentFrame(1);
        ClearFrame();
    }
    DisplayContext* display = ActiveDisplay();
    ASSERT_NE(display, nullptr);
    SetDrawScale(1, 1);
    DrawImageFrame(image.get(), 0, 0, 1);
    std::vector<std::uint8_t> pixels(800 * 600 * 4);
    ASSERT_EQ(SDL_RenderReadPixels(display->Renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), 800 * 4), 0);
    EXPECT_EQ(test::PixelAt(pixels, 800, 1, 1), test::kBlue);
    CloseDisplay();
    image.reset();
}

}  // namespace
}  // namespace kzm
