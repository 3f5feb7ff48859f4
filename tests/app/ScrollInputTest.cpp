// The scrolling input driven through the real input layer: key messages and
// a virtual joystick go through the same event stream a user's would.
#include "app/ScrollInput.h"

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Input.h"
#include "platform/System.h"
#include "platform/testing/InputTesting.h"

namespace kzm {
namespace {

constexpr int kLow = -32768;  // reads -1.0
constexpr int kHigh = 32767;  // reads +1.0

struct ScrollCase {
    std::string Name;
    std::vector<int> Keys;      // held during the frame
    std::optional<int> StickX;  // raw axis; none: no joystick attached
    std::optional<int> StickY;
    std::int32_t Dx;
    std::int32_t Dy;
};

std::ostream& operator<<(std::ostream& out, const ScrollCase& row)
{
    return out << row.Name;
}

class ScrollInput : public ::testing::Test {
protected:
    void TearDown() override
    {
        DetachVirtualJoystick();
        ReleaseKeys();
    }

    static void ReleaseKeys()
    {
        PollSystemEvents();
        ResetKeys();
    }

    static void Hold(const std::vector<int>& keys)
    {
        for (int key : keys)
            ASSERT_TRUE(SimulateKey(key, true));
    }

    static void Stick(std::optional<int> x, std::optional<int> y)
    {
        if (!x && !y) {
            DetachVirtualJoystick();
            return;
        }
        ASSERT_TRUE(AttachVirtualJoystick());
        ASSERT_TRUE(SetVirtualJoystickAxis(0, x.value_or(0)));
        ASSERT_TRUE(SetVirtualJoystickAxis(1, y.value_or(0)));
    }
};

class ScrollTable : public ScrollInput, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollTable, MovesTheOffsetsByOneFrame)
{
    const ScrollCase& row = GetParam();
    ReleaseKeys();
    Stick(row.StickX, row.StickY);
    Hold(row.Keys);
    ScrollX = -300;
    ScrollY = -500;

    EXPECT_EQ(UpdateScroll(), 0);

    EXPECT_EQ(ScrollX, -300 + row.Dx);
    EXPECT_EQ(ScrollY, -500 + row.Dy);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ScrollTable,
    ::testing::Values(
        ScrollCase{"nothing, no joystick", {}, {}, {}, 0, 0}, ScrollCase{"joystick centred", {}, 0, 0, 0, 0},
        ScrollCase{"joystick just short of every end", {}, kHigh - 1, kLow + 1, 0, 0},
        ScrollCase{"joystick at 0.99", {}, 32440, -32440, 0, 0}, ScrollCase{"left key", {kKeyLeft}, 0, 0, -6, 0},
        ScrollCase{"right key", {kKeyRight}, {}, {}, 6, 0},
        ScrollCase{"up key moves the map up", {kKeyUp}, {}, {}, 0, -6}, ScrollCase{"down key", {kKeyDown}, 0, 0, 0, 6},
        ScrollCase{"joystick left end", {}, kLow, 0, -6, 0}, ScrollCase{"joystick right end", {}, kHigh, 0, 6, 0},
        ScrollCase{"joystick top end", {}, 0, kLow, 0, -6}, ScrollCase{"joystick bottom end", {}, 0, kHigh, 0, 6},
        ScrollCase{"left key against the joystick's right end: right wins", {kKeyLeft}, kHigh, 0, 6, 0},
        ScrollCase{"right key against the joystick's left end: right wins", {kKeyRight}, kLow, 0, 6, 0},
        ScrollCase{"up key against the joystick's bottom end: down wins", {kKeyUp}, 0, kHigh, 0, 6},
        ScrollCase{"down key against the joystick's top end: down wins", {kKeyDown}, 0, kLow, 0, 6},
        ScrollCase{"left and right keys cancel, joystick left", {kKeyLeft, kKeyRight}, kLow, 0, 0, 0},
        ScrollCase{"left and right keys cancel, joystick right", {kKeyLeft, kKeyRight}, kHigh, 0, 0, 0},
        ScrollCase{"up and down keys cancel the joystick's bottom end", {kKeyUp, kKeyDown}, 0, kHigh, 0, 0},
        ScrollCase{"right and down keys: 3 each", {kKeyRight, kKeyDown}, {}, {}, 3, 3},
        ScrollCase{"left and up keys: 3 each", {kKeyLeft, kKeyUp}, 0, 0, -3, -3},
        ScrollCase{"joystick corner: 3 each", {}, kLow, kLow, -3, -3},
        ScrollCase{"key on one axis, joystick on the other", {kKeyLeft}, 0, kHigh, -3, 3},
        ScrollCase{"left, right and up: no halving after the cancel", {kKeyLeft, kKeyRight, kKeyUp}, {}, {}, 0, -6},
        ScrollCase{"all four keys", {kKeyLeft, kKeyRight, kKeyUp, kKeyDown}, kLow, kLow, 0, 0}),
    [](const ::testing::TestParamInfo<ScrollCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(ScrollInput, RightHeldForFiftyFramesBringsScrollXToZero)
{
    ReleaseKeys();
    Hold({kKeyRight});
    ScrollX = -300;
    ScrollY = -500;
    for (int frame = 0; frame < 50; ++frame)
        UpdateScroll();
    EXPECT_EQ(ScrollX, 0);
    EXPECT_EQ(ScrollY, -500);
}

TEST_F(ScrollInput, OffsetsHaveNoBoundsAndWrap)
{
    ReleaseKeys();
    Hold({kKeyRight, kKeyUp});
    ScrollX = INT_MAX - 1;
    ScrollY = INT_MIN + 1;
    UpdateScroll();
    EXPECT_EQ(ScrollX, INT_MIN + 1);
    EXPECT_EQ(ScrollY, INT_MAX - 1);
}

TEST_F(ScrollInput, ReleasedKeyStopsTheScroll)
{
    ReleaseKeys();
    Hold({kKeyDown});
    ScrollY = 0;
    UpdateScroll();
    ASSERT_TRUE(SimulateKey(kKeyDown, false));
    UpdateScroll();
    EXPECT_EQ(ScrollY, 6);
}

}  // namespace
}  // namespace kzm
