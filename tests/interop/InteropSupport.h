// What the interop tests share: tileset pictures drawn in code, Tiled's own
// rasterizer, the whole-map render of an import, and pictures compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"

namespace kzm::test {

struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgba;  // straight alpha
};

// A tileset picture of columns x rows tiles of tileWidth x tileHeight, with
// margin and spacing filled with a colour no tile has (so a wrong offset
// shows). Tile k is filled with a colour of its own, has a white 3 x 3 mark
// at its top-left and a black 2-pixel bar along its right edge (so every flip
// shows), and a fully transparent 4 x 4 hole in the middle of its bottom row.
std::vector<std::uint8_t> TilesetPng(int columns, int rows, int tileWidth, int tileHeight, int margin = 0,
                                     int spacing = 0, std::uint8_t alpha = 255);
// One opaque picture of width x height in a colour of its own (seeded by
// key), marked as TilesetPng marks a tile.
std::vector<std::uint8_t> MarkedPng(int width, int height, int key);

Picture LoadPicture(const std::string& path);
// The part of picture at (left, top) of width x height, what lies within it.
Picture Crop(const Picture& picture, int left, int top, int width, int height);
// Composited over opaque black: what the test bed shows of it.
Picture OverBlack(const Picture& picture);

struct PictureDifference {
    bool SameSize = false;
    std::int64_t Pixels = 0;  // pixels with a channel differing by more than the tolerance
    int Largest = 0;          // the largest channel difference
};
// Both composited over black first.
PictureDifference Compare(const Picture& a, const Picture& b, int tolerance = 0);

// tmxrasterizer's picture of a Tiled map (extra: its options). Fails the
// test when it cannot make one.
Picture Rasterize(const std::string& map, const std::string& extra = "");
// `kzm render --whole` of a .kzm map, its tileset 0 from resource0.png beside it.
Picture RenderWhole(const std::string& map);

// kzm import SOURCE -o DIR.
ToolRun Import(const std::string& source, const std::string& folder, const std::string& extra = "");

std::string WriteText(const TempDir& dir, const std::string& name, const std::string& text);
std::string ReadAll(const std::string& path);

}  // namespace kzm::test
