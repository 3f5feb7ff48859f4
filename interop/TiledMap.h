// A thin model of a Tiled map as its files describe it, and the readers that
// fill it from TMX/TSX (XML) and TMJ/TSJ (JSON).
//
// Error policy of interop: a file that cannot be used throws TiledError with
// a message that names the file (and, for XML and JSON syntax, the line and
// column); nothing is half-read and returned. Every size, count and length
// from a file is checked against the bounds below before anything is
// allocated for it, and compressed layer data is never inflated past the
// bytes its layer can hold.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kzm::interop {

class TiledError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest map, tileset or template file read, and the largest image.
constexpr std::int64_t kMaxTiledFileBytes = std::int64_t{128} << 20;
// Map size in cells, either direction, and the cells of one layer (a finite
// map's, or an infinite layer's content rectangle).
constexpr std::int64_t kMaxMapSide = 1 << 20;
constexpr std::int64_t kMaxLayerCells = std::int64_t{1} << 24;
// All layers' cells together, all objects together.
constexpr std::int64_t kMaxMapCells = std::int64_t{1} << 26;
constexpr std::int64_t kMaxObjects = std::int64_t{1} << 22;
// Tile size, a tileset's spacing and margin, and one tileset's tile count.
constexpr int kMaxTileSide = 4096;
constexpr std::int64_t kMaxTilesetTiles = std::int64_t{1} << 20;
constexpr int kMaxLayerDepth = 64;      // groups within groups
constexpr int kMaxReferenceDepth = 16;  // a tileset file that names another

using Properties = std::vector<std::pair<std::string, std::string>>;
const std::string* FindProperty(const Properties& properties, const std::string& name);

// Tile ids in layer data and objects carry their flips in the top bits.
constexpr std::uint32_t kFlipHorizontal = 0x80000000u;
constexpr std::uint32_t kFlipVertical = 0x40000000u;
constexpr std::uint32_t kFlipDiagonal = 0x20000000u;
constexpr std::uint32_t kRotateHexagonal = 0x10000000u;  // hexagonal maps only; never imported
constexpr std::uint32_t kGidMask = 0x0FFFFFFFu;

struct TiledImage {
    std::string Path;                    // resolved against the file that names it
    std::optional<std::uint32_t> Trans;  // 0xRRGGBB shown as transparent
    int Width = 0, Height = 0;           // as the file says; written, never trusted
};

struct TiledTile {
    int Id = 0;
    std::optional<TiledImage> Image;  // image-collection tilesets
    int FirstFrame = -1;              // an animation's first frame, a tile id
};

struct TiledTileset {
    std::uint32_t FirstGid = 1;
    std::string Name;
    std::string File;  // where it was read from, for messages
    int TileWidth = 0;
    int TileHeight = 0;
    int Spacing = 0;
    int Margin = 0;
    int OffsetX = 0;  // the tile offset, in pixels
    int OffsetY = 0;
    std::optional<TiledImage> Image;  // absent for an image collection
    std::vector<TiledTile> Tiles;     // sorted by Id
    int TileCount = 0, Columns = 0;   // written; reading works them out from the image
};

struct TiledObject {
    enum class Kind { Tile, Rectangle, Shape, Point, Text, Template };
    Kind Type = Kind::Rectangle;
    std::uint32_t Gid = 0;  // with its flip bits
    double X = 0, Y = 0, Width = 0, Height = 0, Rotation = 0;
    bool Visible = true;
    Properties Props;
};

struct TiledLayer {
    enum class Kind { Tiles, Objects, Image, Group };
    Kind Type = Kind::Tiles;
    std::string Name;
    bool Visible = true;
    double Opacity = 1.0;
    std::optional<std::uint32_t> Tint;  // 0xAARRGGBB
    double OffsetX = 0, OffsetY = 0;
    double ParallaxX = 1.0, ParallaxY = 1.0;
    Properties Props;

    // Tile layers: a rectangle of cells in map cells, row after row; an
    // infinite layer's rectangle covers its chunks, cells outside them 0.
    int CellX = 0, CellY = 0, Columns = 0, Rows = 0;
    std::vector<std::uint32_t> Gids;

    bool TopDown = true;  // object draw order by y, unless "index" says by the file's order
    std::vector<TiledObject> Objects;

    std::optional<TiledImage> Picture;  // image layers
    bool Repeat = false;

    std::vector<TiledLayer> Children;  // groups
};

struct TiledMap {
    std::string File;
    std::string Orientation = "orthogonal";
    std::string RenderOrder = "right-down";
    int Width = 0, Height = 0;  // cells; for an infinite map, what the file says
    int TileWidth = 0, TileHeight = 0;
    bool Infinite = false;
    bool HasBackground = false;
    std::vector<TiledTileset> Tilesets;  // sorted by FirstGid
    std::vector<TiledLayer> Layers;
    Properties Props;
};

// Reads a map: .tmx as XML, .tmj and .json as JSON, any other name as XML
// when it starts with '<'. External tilesets (.tsx, .tsj, .json) are read
// too, relative to the file that names them.
TiledMap ReadTiledMap(const std::string& path);
// True for the names a map is written and read under: .tmx, .tmj, .json.
bool HasMapExtension(const std::string& path);

}  // namespace kzm::interop
