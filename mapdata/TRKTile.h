// One placed tile.
//
// Error policy of the map records: none of them checks its input. Failures
// are caught only by the guarded operations, TRKTileset::SetImage here and
// TKZMReader::Read.
#pragma once

#include <cstdint>

#include "core/Object.h"

namespace kzm {

class TRKTile : public Object {
public:
    std::int32_t TilesetId = 0;  // Id of the tileset the tile is drawn from
    std::int32_t Frame = 0;      // frame index in that tileset's image
    std::int32_t PropA = 0;      // not stored in map files; only carried and copied
    std::int32_t PropB = 0;
    std::int32_t X = 0;  // left edge in map pixels
    std::int32_t Y = 0;  // top edge in map pixels
    // The engine culls with Width and Height; the drawn size is frame size x scale.
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    float ScaleX = 0.0f;  // 0.0, not 1.0, by default
    float ScaleY = 0.0f;
    std::int32_t Layer = -1;  // -1: no layer, never drawn by Draw
    std::int32_t PropC = 0;
    std::int32_t PropD = 0;
    std::int32_t PropE = 0;
    std::int32_t PropF = 0;
    float PropG = 0.0f;
    float PropH = 0.0f;

    // A new tile with the same 17 field values; the two share nothing.
    virtual Ref<TRKTile> Copy();
};

}  // namespace kzm
