// The sample map: a 64 x 64 world of 32 x 32 cells in three layers (ground,
// decorations, tall things), laid out in code over the sample tileset.
//
// The view the test bed opens on (map pixels x 200 to 1000, y 400 to 1000,
// cells 6 to 31 by 12 to 31) shows the village, the lake with its landing
// stage and the first trees; scrolling finds the forest and its ruin to the
// north, the river, fields and orchard to the south and the sea to the east.
#pragma once

#include "mapdata/TRKLevel.h"

namespace kzm::tool {

constexpr int kSampleColumns = 64;
constexpr int kSampleRows = 64;
constexpr int kSampleLayers = 3;

// The map's tileset record: Id 0, image "resource0.png", 32 x 32 frames.
Ref<TRKLevel> BuildSampleWorld();

}  // namespace kzm::tool
