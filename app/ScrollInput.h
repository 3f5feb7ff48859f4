// The arrow keys and the first joystick scroll the view.
#pragma once

#include <cstdint>

#include "render/ScrollOffsets.h"  // ScrollX, ScrollY: the offsets this moves

namespace kzm {

// Once per frame: moves the offsets 6 pixels along the axis asked for, 3 on
// each axis when both move. A key wins over the joystick, which counts only
// at the very ends of an axis; Down beats Up and Right beats Left when
// different devices ask for both, and only the two keys of one axis held
// together cancel it. The halving follows the cancelling. Returns 0.
std::int32_t UpdateScroll();

}  // namespace kzm
