// The program's two scroll offsets, in screen pixels: every tile is drawn
// ScrollX to the right and ScrollY down of where the map origin would put
// it. They have no bounds. The program's scrolling input changes them; the
// world map hands them to its engine on every draw.
#pragma once

#include <cstdint>

namespace kzm {

// Both start at the test bed's start scroll (render/TestBedView.h).
extern std::int32_t ScrollX;
extern std::int32_t ScrollY;

}  // namespace kzm
