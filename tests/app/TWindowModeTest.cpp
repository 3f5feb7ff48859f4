// The dialog's placement and its answers, without a screen; the dialog on a
// real screen is driven end to end under Xvfb.
#include "app/TWindowMode.h"

#include <cstdlib>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "platform/Gui.h"

namespace kzm {
namespace {

TEST(TWindowModePlace, CentresTheOuterFrameWithHalvesTakenSeparately)
{
    struct Row {
        std::int32_t Width, Height, X, Y;
    };
    for (const Row& row : {Row{1920, 1080, 810, 490}, Row{1367, 769, 533, 334}, Row{800, 600, 250, 250},
                           Row{0, 0, -150, -50}, Row{301, 101, 0, 0}}) {
        const WindowModePlace place = PlaceWindowMode(row.Width, row.Height);
        EXPECT_EQ(place.X, row.X) << row.Width;
        EXPECT_EQ(place.Y, row.Y) << row.Height;
    }
}

TEST(TWindowModeAnswer, ButtonsAndCloseRequestsDecide)
{
    const auto windowed = std::make_shared<Gadget>();
    const auto fullScreen = std::make_shared<Gadget>();
    const auto quit = std::make_shared<Gadget>();
    const auto window = std::make_shared<Gadget>();
    const auto label = std::make_shared<Gadget>();
    struct Row {
        const char* Name;
        int Event;
        const Gadget* Source;
        std::optional<std::int32_t> Answer;
    };
    const Row rows[] = {
        {"Windowed clicked", kEventGadgetAction, windowed.get(), 1},
        {"Full Screen clicked", kEventGadgetAction, fullScreen.get(), 2},
        {"Quit clicked", kEventGadgetAction, quit.get(), 0},
        {"window closed", kEventWindowClose, window.get(), 0},
        {"close request from another source", kEventWindowClose, label.get(), 0},
        {"close request with no source", kEventWindowClose, nullptr, 0},
        {"action from another element", kEventGadgetAction, label.get(), std::nullopt},
        {"action with no source", kEventGadgetAction, nullptr, std::nullopt},
        {"other event from a button", kEventGadgetAction + 1, windowed.get(), std::nullopt},
        {"no event yet", 0, nullptr, std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AnswerWindowMode(row.Event, row.Source, windowed.get(), fullScreen.get(), quit.get()), row.Answer)
            << row.Name;
}

TEST(TWindowModeChoose, WithoutAWindowSystemShowsTheNoticeAndAnswersQuit)
{
    // Neither the toolkit nor the message box can reach a screen: the notice
    // falls back to standard error.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    ::testing::internal::CaptureStderr();
    const std::int32_t answer = TWindowMode::Choose(u"KZM Test Game Engine");
    const std::string error = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, 0);
    EXPECT_NE(error.find("Unable to create window!"), std::string::npos) << error;
}

}  // namespace
}  // namespace kzm
