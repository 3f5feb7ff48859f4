// The program's life after start-up: the dialog, the display, the map, and
// the frame loop until Escape.
#pragma once

#include <cstdint>

namespace kzm {

// Asks for the display mode (ending the process on Quit), opens the
// 800 x 600 display, loads "NewWorld.kzm" and attaches "resource0.png" to
// tileset 0, both from the working directory, then runs one frame per
// display refresh until Escape is hit; that frame still completes. A map
// that does not load shows "Unable to load mapfile!" and returns without
// drawing. Returns 0.
std::int32_t MainLoop();

}  // namespace kzm
