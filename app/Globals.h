// The program's global state. The scroll offsets ScrollX and ScrollY are the
// program's other globals (app/ScrollInput.h).
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "render/TWorldMap.h"

namespace kzm {

// The first three never change after start-up.
extern std::int32_t GraphicsWidth;   // 800: display width, also the view's right edge
extern std::int32_t GraphicsHeight;  // 600: display height, also the view's bottom edge
extern std::int32_t GraphicsDepth;   // 16: bits per pixel asked for in full screen
extern std::int32_t ModeChoice;      // the dialog's answer: 0 quit, 1 windowed, 2 full screen
extern std::uint8_t Running;         // the frame loop runs while it is 1
extern Ref<TWorldMap> World;         // made once during start-up, kept to the end

}  // namespace kzm
