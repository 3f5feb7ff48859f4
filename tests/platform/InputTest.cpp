// Key hit counts and states, and joystick 0, fed through the event stream.
#include "platform/Input.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/System.h"
#include "platform/testing/InputTesting.h"

namespace kzm {
namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override
    {
        PollSystemEvents();
        ResetKeys();
    }
    void TearDown() override
    {
        DetachVirtualJoystick();
        SetUp();
    }

    static void Press(int code)
    {
        ASSERT_TRUE(SimulateKey(code, true));
        ASSERT_TRUE(SimulateKey(code, false));
    }
};

TEST_F(Input, APressCountsOnceAndTheQueryResetsIt)
{
    Press(kKeyEscape);
    EXPECT_EQ(KeyWasHit(kKeyEscape), 1);
    EXPECT_EQ(KeyWasHit(kKeyEscape), 0);
}

TEST_F(Input, PressesBetweenQueriesAddUp)
{
    Press(kKeyEscape);
    Press(kKeyEscape);
    Press(kKeyEscape);
    EXPECT_EQ(KeyWasHit(kKeyEscape), 3);
    EXPECT_EQ(KeyIsDown(kKeyEscape), 0);
}

TEST_F(Input, AutoRepeatCountsNothing)
{
    ASSERT_TRUE(SimulateKey(kKeyEscape, true));
    for (int repeat = 0; repeat < 5; ++repeat)
        ASSERT_TRUE(SimulateKey(kKeyEscape, true, true));
    EXPECT_EQ(KeyWasHit(kKeyEscape), 1);
    EXPECT_EQ(KeyIsDown(kKeyEscape), 1);
    ASSERT_TRUE(SimulateKey(kKeyEscape, true, true));
    EXPECT_EQ(KeyWasHit(kKeyEscape), 0);
}

TEST_F(Input, KeysAreCountedSeparately)
{
    Press(kKeyEscape);
    ASSERT_TRUE(SimulateKey(kKeyLeft, true));
    EXPECT_EQ(KeyWasHit(kKeyLeft), 1);
    EXPECT_EQ(KeyIsDown(kKeyLeft), 1);
    EXPECT_EQ(KeyIsDown(kKeyEscape), 0);
    EXPECT_EQ(KeyWasHit(kKeyEscape), 1);
}

TEST_F(Input, AFocusChangeReleasesEveryKeyAndClearsEveryCount)
{
    for (bool gained : {false, true}) {
        ASSERT_TRUE(SimulateKey(kKeyLeft, true));
        Press(kKeyEscape);
        SimulateFocusChange(gained);
        EXPECT_EQ(KeyIsDown(kKeyLeft), 0) << gained;
        EXPECT_EQ(KeyWasHit(kKeyLeft), 0) << gained;
        EXPECT_EQ(KeyWasHit(kKeyEscape), 0) << gained;
        // The key still held after the change repeats: that brings nothing back.
        ASSERT_TRUE(SimulateKey(kKeyLeft, true, true));
        EXPECT_EQ(KeyIsDown(kKeyLeft), 0) << gained;
        ASSERT_TRUE(SimulateKey(kKeyLeft, false));
    }
}

TEST_F(Input, LettersDigitsAndUnknownCodes)
{
    Press('A');
    Press('7');
    EXPECT_EQ(KeyWasHit('A'), 1);
    EXPECT_EQ(KeyWasHit('7'), 1);
    EXPECT_FALSE(SimulateKey(255, true));
    for (int code : {0, -1, 255, 256, 100000})
        EXPECT_EQ(KeyWasHit(code) + KeyIsDown(code), 0) << code;
}

TEST_F(Input, JoystickEndsReadExactlyOne)
{
    ASSERT_TRUE(AttachVirtualJoystick());
    struct Row {
        int Raw;
        float Value;
    };
    for (const Row& row : {Row{-32768, -1.0f}, Row{32767, 1.0f}, Row{0, 0.0f}, Row{-16384, -0.5f}}) {
        ASSERT_TRUE(SetVirtualJoystickAxis(0, row.Raw));
        ASSERT_TRUE(SetVirtualJoystickAxis(1, -row.Raw - 1));
        PollSystemEvents();
        EXPECT_EQ(JoystickX(0), row.Value) << row.Raw;
        EXPECT_EQ(JoystickY(0), (-row.Raw - 1) < 0 ? (-row.Raw - 1) / 32768.0f : (-row.Raw - 1) / 32767.0f);
    }
    EXPECT_EQ(JoystickX(1), 0.0f);  // only the first joystick is served
}

TEST_F(Input, AJoystickComesAndGoesWhileRunning)
{
    EXPECT_EQ(JoystickX(0), 0.0f);
    ASSERT_TRUE(AttachVirtualJoystick());
    ASSERT_TRUE(SetVirtualJoystickAxis(0, 32767));
    PollSystemEvents();
    EXPECT_EQ(JoystickX(0), 1.0f);
    DetachVirtualJoystick();
    PollSystemEvents();
    EXPECT_EQ(JoystickX(0), 0.0f);
    EXPECT_EQ(JoystickY(0), 0.0f);
    ASSERT_TRUE(AttachVirtualJoystick());
    ASSERT_TRUE(SetVirtualJoystickAxis(1, -32768));
    PollSystemEvents();
    EXPECT_EQ(JoystickY(0), -1.0f);
}

// Window-system messages are handled only by the polling call and the key
// queries: a joystick read leaves a pending key press pending.
TEST_F(Input, JoystickReadsHandleNoMessages)
{
    ASSERT_TRUE(AttachVirtualJoystick());
    PollSystemEvents();
    ASSERT_TRUE(SimulateKey(kKeyEscape, true));
    ASSERT_TRUE(SetVirtualJoystickAxis(0, 32767));
    EXPECT_EQ(JoystickX(0), 0.0f);  // the motion is not brought in either
    EXPECT_EQ(JoystickY(0), 0.0f);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 1);
    EXPECT_EQ(KeyIsDown(kKeyEscape), 1);
    EXPECT_EQ(JoystickX(0), 1.0f);
}

}  // namespace
}  // namespace kzm
