#include "tests/support/MapFixtures.h"

namespace kzm::test {

Ref<TRKTile> MakeTile(std::int32_t x, std::int32_t y, std::int32_t frame, std::int32_t layer, std::int32_t tilesetId)
{
    auto tile = std::make_shared<TRKTile>();
    tile->TilesetId = tilesetId;
    tile->Frame = frame;
    tile->X = x;
    tile->Y = y;
    tile->Width = tile->Height = 32;
    tile->ScaleX = tile->ScaleY = 1.0f;
    tile->Layer = layer;
    return tile;
}

}  // namespace kzm::test
