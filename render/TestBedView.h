// What the test bed draws, in one place: its display size, view rectangle
// and start scroll, the engine set up from a loaded level, and one frame's
// drawing. The program, `kzm render`, the benchmarks and the draw fuzz target
// all draw through here, so that a picture `kzm render` saves is what the
// window shows, not a copy of it kept in step by hand.
//
// Error policy: nothing here guards. The engine set-up throws when a level
// has no dimensions record; the frame lets the engine's failures pass.
#pragma once

#include <cstdint>

#include "mapdata/TRKLevel.h"
#include "render/TMapEngine.h"

namespace kzm {

class TWorldMap;

// The display the test bed opens, in pixels.
inline constexpr std::int32_t kTestBedWidth = 800;
inline constexpr std::int32_t kTestBedHeight = 600;

// A view rectangle in screen pixels.
struct ViewRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
};

// The test bed's view: from (100, 100) to the display's right and bottom
// edges. Tiles are culled against it and the map origin sits at its
// left-top corner, shifted by the scroll.
inline constexpr ViewRect kTestBedView{100, 100, kTestBedWidth, kTestBedHeight};

// The scroll offsets the test bed starts with, in screen pixels.
inline constexpr std::int32_t kStartScrollX = -300;
inline constexpr std::int32_t kStartScrollY = -500;

// Sets the engine up on the level as a map load does: map size (rows
// first), the view, the level's own two lists (the very objects, not copies:
// what is added to the level later is drawn) and its layer count, in that
// order and unchecked. A failure midway leaves the steps already done.
void SetUpEngine(TMapEngine& engine, TRKLevel& level, const ViewRect& view);

// One frame as the test bed's loop draws it before presenting: the back
// buffer cleared to black, alpha blending, and the world map drawn at the
// global scroll offsets. Draws on whatever display is open.
void DrawTestBedFrame(TWorldMap& world);

}  // namespace kzm
