// Map records for tests, with the values most tests want.
#pragma once

#include <cstdint>

#include "mapdata/TRKTile.h"

namespace kzm::test {

// A 32 x 32 tile at scale 1.
Ref<TRKTile> MakeTile(std::int32_t x, std::int32_t y, std::int32_t frame = 0, std::int32_t layer = 0,
                      std::int32_t tilesetId = 0);

}  // namespace kzm::test
