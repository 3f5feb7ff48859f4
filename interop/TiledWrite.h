// Writes the Tiled file model as a TMX or TMJ map with embedded tilesets.
//
// Only what export fills is written: tilesets of one image each, tile layers
// of a finite map, tile objects, and properties (typed int, float or string
// by their text). Image paths are written as they are in the model.
#pragma once

#include <string>

#include "interop/TiledMap.h"

namespace kzm::interop {

// data: how tile layer data is stored: "csv", "base64", or base64 compressed
// with "zlib", "gzip" or "zstd".
std::string WriteTmx(const TiledMap& map, const std::string& data);
std::string WriteTmj(const TiledMap& map, const std::string& data);

}  // namespace kzm::interop
