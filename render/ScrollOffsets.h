// The program's two scroll offsets, in screen pixels: every tile is drawn
// ScrollX to the right and ScrollY down of where the map origin would put
// it. They have no bounds. The program's scrolling input changes them; the
// world map hands them to its engine on every draw.
#pragma once

#include <cstdint>

namespace kzm {

extern std::int32_t ScrollX;  // starts at -300
extern std::int32_t ScrollY;  // starts at -500

}  // namespace kzm
