#include "app/ScrollInput.h"

#include "core/Wrapping.h"
#include "platform/Input.h"

namespace kzm {

namespace {

constexpr std::int32_t kStep = 6;

}  // namespace

std::int32_t UpdateScroll()
{
    // Every test asks the platform afresh, in this order: keys change between
    // queries, and a later direction overwrites an earlier one.
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    if (KeyIsDown(kKeyUp) || JoystickY(0) == -1.0f)
        dy = -kStep;
    if (KeyIsDown(kKeyDown) || JoystickY(0) == 1.0f)
        dy = kStep;
    if (KeyIsDown(kKeyLeft) || JoystickX(0) == -1.0f)
        dx = -kStep;
    if (KeyIsDown(kKeyRight) || JoystickX(0) == 1.0f)
        dx = kStep;
    if (KeyIsDown(kKeyLeft) && KeyIsDown(kKeyRight))
        dx = 0;
    if (KeyIsDown(kKeyUp) && KeyIsDown(kKeyDown))
        dy = 0;
    if (dy != 0 && dx != 0) {
        dy /= 2;
        dx /= 2;
    }
    ScrollX = WrappingAdd(ScrollX, dx);
    ScrollY = WrappingAdd(ScrollY, dy);
    return 0;
}

}  // namespace kzm
