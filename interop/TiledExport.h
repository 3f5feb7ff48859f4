// A level made into a Tiled map that Tiled draws as the engine does.
//
// Each tileset with a picture becomes a Tiled tileset of its frame size
// (a picture without an alpha channel gets trans="000000", the engine's black
// mask); its picture is copied beside the map. Tiles that sit exactly on a
// grid cell, unscaled and unmirrored, with the grid's tile size and no extra
// values, go into tile layers; the rest become tile objects (scale as size,
// mirroring as flip bits, PropA to PropH as properties). Draw order is kept:
// within one .kzm layer, a tile that must cover an earlier one lands in a
// later Tiled layer. Every Tiled layer carries its .kzm layer in the integer
// property "Layer", and the map its name and layer count ("Name",
// "LayerCount"), which the importer reads back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interop/TiledMap.h"
#include "mapdata/TRKLevel.h"

namespace kzm::interop {

struct ExportPicture {
    std::int32_t TilesetId = 0;
    std::string Path;  // a PNG
};

struct ExportResult {
    TiledMap Map;
    // Pictures to copy beside the map: from, to (a file name in the map's folder).
    std::vector<std::pair<std::string, std::string>> Copies;
    std::vector<std::string> Skipped;  // tiles Tiled cannot show, one line each with a count
};

// outPath names the map to be written (its stem names the copied pictures).
// Throws TiledError: an unreadable picture, a grid too large for a layer.
ExportResult ExportLevel(TRKLevel& level, const std::vector<ExportPicture>& pictures, const std::string& outPath);

// ExportLevel, then the map (TMX for .tmx, TMJ for .tmj and .json) and the
// pictures written; data as WriteTmx takes it.
ExportResult ExportTiledMap(TRKLevel& level, const std::vector<ExportPicture>& pictures, const std::string& outPath,
                            const std::string& data);

}  // namespace kzm::interop
