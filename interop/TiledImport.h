// A Tiled map made into a level and one atlas picture.
//
// Every tile picture the map draws goes into one atlas of equal frames
// (tileset 0, "resource0.png"); each Tiled layer becomes its own Layer (a
// layer carrying an integer property "Layer" keeps that number), and each
// drawn piece one tile at the pixels where Tiled draws it. What a .kzm map
// cannot hold is counted in Dropped, one line each, and left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interop/TiledMap.h"
#include "mapdata/TRKLevel.h"

namespace kzm::interop {

struct ImportOptions {
    bool IgnoreVisibility = false;  // take hidden layers in too
};

struct ImportResult {
    Ref<TRKLevel> Level;
    int AtlasWidth = 0;
    int AtlasHeight = 0;
    std::vector<std::uint8_t> AtlasRgba;
    std::vector<std::string> Dropped;  // "3 shape objects: ...", one line each
};

// Throws TiledError: an orientation other than orthogonal, a gid beyond every
// tileset, a missing or undecodable image, an atlas larger than allowed.
ImportResult ImportTiledMap(const TiledMap& map, const ImportOptions& options = {});

// The name of the atlas an import writes beside its map.
inline const char* const kAtlasFileName = "resource0.png";

}  // namespace kzm::interop
