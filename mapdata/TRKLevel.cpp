#include "mapdata/TRKLevel.h"

namespace kzm {

void TRKLevel::SetContents(Ref<TRKMapDimensions> dimensions, Ref<ObjectList> tilesets, Ref<ObjectList> tiles)
{
    Dimensions = std::move(dimensions);
    Tilesets = std::move(tilesets);
    Tiles = std::move(tiles);
}

}  // namespace kzm
