// What the TMX and TMJ readers share: bounded file reading, paths relative to
// the file that names them, checked numbers, colours, and the chain of files
// being read (to tell a loop of references from a deep one).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interop/TiledMap.h"

namespace kzm::interop {

struct ReadContext {
    std::vector<std::string> Chain;  // files being read, outermost first
    std::int64_t Cells = 0;          // tile cells read so far, all layers
    std::int64_t ObjectCount = 0;

    // Adds cells (or objects) to the running totals, or throws past the bounds.
    void ChargeCells(std::int64_t cells, const std::string& where);
    void ChargeObjects(std::int64_t count, const std::string& where);
};

// The whole file, or TiledError when it is missing, unreadable or larger
// than kMaxTiledFileBytes. what names it in the message ("tileset", "map").
std::string ReadTextFile(const std::string& path, const std::string& what);
// relative resolved against the folder of the file that names it.
std::string ResolvePath(const std::string& from, const std::string& relative);
// "line L, column C" of a byte offset (both from 1).
std::string LineColumn(std::string_view text, std::size_t offset);
// "#RRGGBB", "#AARRGGBB", with or without '#': 0xAARRGGBB (alpha 255 when
// absent), or TiledError.
std::uint32_t ParseColour(const std::string& text, const std::string& where);
// An integer within [low, high], or TiledError naming the field.
int CheckedInt(double value, int low, int high, const std::string& field, const std::string& where);
bool HasExtension(const std::string& path, std::string_view extension);

// The readers of each format. A tileset file is read with the chain of files
// above it; one that names a file already on the chain is a loop.
TiledMap ReadTmx(const std::string& path, const std::string& text, ReadContext& context);
TiledMap ReadTmj(const std::string& path, const std::string& text, ReadContext& context);
// A tileset from its own file (TSX or TSJ by extension), into tileset (whose
// FirstGid the map gave).
void ReadTilesetFile(const std::string& path, TiledTileset& tileset, ReadContext& context);
void ReadTsx(const std::string& path, const std::string& text, TiledTileset& tileset, ReadContext& context);
void ReadTsj(const std::string& path, const std::string& text, TiledTileset& tileset, ReadContext& context);

// One chunk of an infinite layer's data, as read.
struct TiledChunk {
    int X = 0, Y = 0, Width = 0, Height = 0;
    std::vector<std::uint32_t> Gids;
};
// Makes an infinite layer's chunks into one rectangle of cells that holds
// them all (empty cells 0); TiledError when that rectangle is larger than a
// layer may hold. No chunks leave the layer empty.
void PlaceChunks(const std::vector<TiledChunk>& chunks, TiledLayer& layer, const std::string& where);
// TiledError when a finite map has more cells than a layer may hold.
void CheckMapSize(const TiledMap& map, const std::string& where);

// Checks a tileset's sizes once read, whatever the format.
void CheckTileset(const TiledTileset& tileset, const std::string& where);

}  // namespace kzm::interop
