// A Tiled map made into a level and one atlas picture.
//
// Every tile picture the map draws goes into one atlas of equal frames
// (tileset 0, "resource0.png"); each Tiled layer becomes its own Layer (a
// layer carrying an integer property "Layer" keeps that number), and each
// drawn piece one tile at the pixels where Tiled draws it. What a .kzm map
// cannot hold is counted in Dropped, one line each, and left out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "interop/TiledMap.h"
#include "mapdata/TRKLevel.h"

namespace kzm::interop {

struct ImportOptions {
    bool IgnoreVisibility = false;  // take hidden layers in too
};

// The tiles of an import, made one at a time when they are written: a map
// of millions of tiles goes to its file without a record in memory for each.
struct ImportedTiles {
    // What a tile carries beside its picture: its scale, and for a tile
    // object the values Tiled has no place for, from its custom properties.
    struct Look {
        double ScaleX = 1, ScaleY = 1;
        std::int32_t PropA = 0, PropB = 0, PropC = 0, PropD = 0, PropE = 0, PropF = 0;
        float PropG = 0, PropH = 0;
    };
    // One picture drawn at one place: as many tiles as its cut has frames.
    struct Piece {
        std::int32_t Picture = 0;
        std::int32_t X = 0, Y = 0;  // map pixels of the picture's top-left corner
        std::int32_t Layer = 0;
        std::int32_t Look = 0;
    };
    // A picture's frames in the atlas, row by row.
    struct Cut {
        int Columns = 0, Rows = 0;
        std::vector<int> Frames;
    };

    int FrameWidth = 0, FrameHeight = 0;
    std::vector<Piece> Pieces;  // in draw order
    std::vector<Look> Looks;
    std::vector<Cut> Cuts;  // by picture
    std::int64_t Count = 0;

    // Hands every tile to visit in draw order, each in the same record
    // refilled: copy what is kept.
    void ForEach(const std::function<void(const TRKTile&)>& visit) const;
};

struct ImportResult {
    Ref<TRKLevel> Level;  // the dimensions and the atlas's tileset; the tiles are in Tiles
    ImportedTiles Tiles;
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
