// kzm import against Tiled's own picture: for small maps written here, the
// whole-map render of the import equals tmxrasterizer's picture of the source.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/interop/InteropSupport.h"
#include "tests/support/TestFiles.h"

namespace kzm::test {
namespace {

struct Case {
    std::string Name;
    std::string MapName;
    std::string Map;
    std::vector<std::pair<std::string, std::string>> OtherFiles{};
    // Scaled pictures are smoothed differently: this many pixels may differ
    // by more than Tolerance.
    int Tolerance = 0;
    std::int64_t Allowed = 0;
    // tmxrasterizer widens its picture by the largest layer offsets each
    // way; the grid starts this far into it.
    int GridLeft = 0;
    int GridTop = 0;
};

std::string Tmx(const std::string& attributes, const std::string& body)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" )" +
           attributes + ">\n" + body + "\n</map>\n";
}

// 4 x 2 tiles of 16 x 16 in tiles.png, gids 1 to 8.
const std::string kTiles =
    R"(<tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16" tilecount="8" columns="4">
  <image source="tiles.png" width="64" height="32"/>
 </tileset>)";

std::string Csv(const std::string& attributes, const std::string& csv)
{
    return "<layer " + attributes + R"(><data encoding="csv">)" + csv + "</data></layer>";
}

std::vector<Case> Cases()
{
    const std::string grid =
        R"(renderorder="right-down" width="4" height="3" tilewidth="16" tileheight="16" infinite="0")";
    std::vector<Case> cases;
    // Tile 3 in every combination of the three flips, and tiles of a second row.
    cases.push_back(
        {"Flips", "m.tmx",
         Tmx(grid, kTiles + Csv(R"(name="a" width="4" height="3")", "3,2147483651,1073741827,536870915,"
                                                                    "3221225475,2684354563,1610612739,3758096387,"
                                                                    "5,6,0,8"))});
    // Layers over layers, offsets, hidden layers and groups.
    cases.push_back(
        {"LayersGroupsOffsets",
         "m.tmx",
         Tmx(grid, kTiles + Csv(R"(name="ground" width="4" height="3")", "1,1,1,1,2,2,2,2,1,2,1,2") +
                       Csv(R"(name="over" width="4" height="3" offsetx="-4" offsety="7")", "0,3,0,4,0,0,5,0,6,0,0,0") +
                       Csv(R"(name="hidden" width="4" height="3" visible="0")", "7,7,7,7,7,7,7,7,7,7,7,7") +
                       R"(<group name="g" offsetx="5" offsety="3">)" +
                       Csv(R"(name="inner" width="4" height="3" offsetx="1" offsety="1")", "8,0,0,0,0,0,0,0,0,0,0,8") +
                       "</group>" + R"(<group name="hidden group" visible="0">)" +
                       Csv(R"(name="under hidden" width="4" height="3")", "7,7,7,7,7,7,7,7,7,7,7,7") + "</group>"),
         {},
         0,
         0,
         4,
         0});
    // Opacity and tint are baked into the atlas; the painter rounds them its
    // own way, so within a few levels.
    cases.push_back(
        {"OpacityAndTint",
         "m.tmx",
         Tmx(grid, kTiles + Csv(R"(name="ground" width="4" height="3")", "1,2,3,4,5,6,7,8,1,2,3,4") +
                       Csv(R"(name="faded" width="4" height="3" opacity="0.5")", "2,0,2,0,0,2,0,2,0,0,0,0") +
                       Csv(R"(name="tinted" width="4" height="3" tintcolor="#80c0ff")", "0,0,0,0,0,0,0,0,5,6,7,8") +
                       R"(<group name="g" opacity="0.5" tintcolor="#ffff00">)" +
                       Csv(R"(name="inner" width="4" height="3" tintcolor="#ff00ff")", "0,0,0,4,0,0,0,0,0,0,0,0") +
                       "</group>"),
         {},
         3,
         0});
    // An external tileset with margin, spacing, a transparent colour (the
    // tiles' dark bar) and a tile offset.
    cases.push_back({"ExternalTilesetMarginSpacingTransOffset",
                     "m.tmx",
                     Tmx(grid, R"(<tileset firstgid="1" source="sets/spaced.tsx"/>)" +
                                   Csv(R"(name="a" width="4" height="3")", "1,2,3,4,5,6,0,1,2,3,4,5")),
                     {{"sets/spaced.tsx", R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="spaced" tilewidth="16" tileheight="16" spacing="1" margin="2" tilecount="6" columns="3">
 <tileoffset x="3" y="-2"/>
 <image source="../spaced.png" trans="0a0a0a" width="54" height="37"/>
</tileset>)"}}});
    // Tiles taller and wider than the cell, bottom-aligned, overlapping in
    // each render order.
    for (const std::string order : {"right-down", "right-up", "left-down", "left-up"}) {
        std::string name = "BigTiles_" + order;
        name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
        cases.push_back(
            {name, "m.tmx",
             Tmx(R"(renderorder=")" + order + R"(" width="4" height="3" tilewidth="16" tileheight="16")",
                 R"(<tileset firstgid="1" name="big" tilewidth="24" tileheight="40" tilecount="2" columns="2">
  <image source="big.png" width="48" height="40"/>
 </tileset>)" + Csv(R"(name="a" width="4" height="3")", "1,2,1,2,2,1,2,1,1,2,2,1"))});
    }
    // An image collection of three sizes, flipped too, and an animation whose
    // first frame shows.
    cases.push_back(
        {"ImageCollection", "m.tmx",
         Tmx(grid, R"(<tileset firstgid="1" name="c" tilewidth="40" tileheight="30" tilecount="4" columns="0">
  <tile id="0"><image width="16" height="16" source="c1.png"/></tile>
  <tile id="1"><image width="40" height="24" source="c2.png"/></tile>
  <tile id="2"><image width="8" height="30" source="c3.png"/>
   <animation><frame tileid="3" duration="100"/><frame tileid="2" duration="100"/></animation></tile>
  <tile id="3"><image width="8" height="30" source="c4.png"/></tile>
 </tileset>)" + Csv(R"(name="a" width="4" height="3")", "1,0,2,0,3,536870913,0,2147483650,0,1610612738,0,3"))});
    // Tile objects in top-down order (the default) and index order,
    // flipped, unscaled; an image layer at an offset under them.
    cases.push_back(
        {"ObjectsAndImageLayer", "m.tmx",
         Tmx(grid,
             kTiles +
                 R"(<imagelayer name="back" offsetx="7" offsety="5"><image source="back.png" width="50" height="30"/></imagelayer>
 <objectgroup name="default order">
  <object id="1" gid="1" x="4" y="30" width="16" height="16"/>
  <object id="2" gid="2147483650" x="10" y="24" width="16" height="16"/>
  <object id="3" gid="1073741827" x="30" y="40" width="16" height="16"/>
 </objectgroup>
 <objectgroup name="topdown" draworder="topdown">
  <object id="4" gid="4" x="40" y="30" width="16" height="16"/>
  <object id="5" gid="5" x="46" y="20" width="16" height="16"/>
  <object id="6" gid="3758096390" x="50" y="36" width="16" height="16"/>
  <object id="7" gid="7" x="20" y="20" width="16" height="16" visible="0"/>
 </objectgroup>
 <objectgroup name="index" draworder="index">
  <object id="8" gid="8" x="44" y="48" width="16" height="16"/>
  <object id="9" gid="1" x="52" y="44" width="16" height="16"/>
 </objectgroup>)")});
    // Scaled tile objects: smoothing differs at their edges.
    cases.push_back({"ScaledObjects",
                     "m.tmx",
                     Tmx(grid, kTiles + R"(<objectgroup name="o">
  <object id="1" gid="2" x="2" y="40" width="32" height="32"/>
  <object id="2" gid="2147483651" x="36" y="20" width="24" height="16"/>
 </objectgroup>)"),
                     {},
                     48,
                     120});
    // An infinite JSON map: chunks at negative cells, base64 with zlib.
    cases.push_back({"InfiniteJson", "m.tmj", R"({"type":"map","orientation":"orthogonal","renderorder":"right-down",
 "infinite":true,"width":4,"height":3,"tilewidth":16,"tileheight":16,
 "tilesets":[{"firstgid":1,"name":"tiles","tilewidth":16,"tileheight":16,"tilecount":8,"columns":4,
   "image":"tiles.png","imagewidth":64,"imageheight":32}],
 "layers":[{"type":"tilelayer","name":"a","encoding":"base64","compression":"zlib","startx":-16,"starty":0,
   "width":32,"height":16,"visible":true,"opacity":1,"x":0,"y":0,
   "chunks":[{"x":-16,"y":0,"width":2,"height":2,"data":"eJxjZGBgYAJiZgYIAAAAUAAH"},
             {"x":3,"y":17,"width":2,"height":1,"data":"eJxjZWBgYANiAABIAAw="}]}]})"});
    // The same kinds of layer in JSON, with a group and an object layer.
    cases.push_back({"JsonLayers", "m.json", R"({"type":"map","orientation":"orthogonal","renderorder":"right-down",
 "infinite":false,"width":4,"height":3,"tilewidth":16,"tileheight":16,
 "tilesets":[{"firstgid":1,"name":"tiles","tilewidth":16,"tileheight":16,"tilecount":8,"columns":4,
   "image":"tiles.png","imagewidth":64,"imageheight":32}],
 "layers":[{"type":"tilelayer","name":"a","width":4,"height":3,"visible":true,"opacity":1,"x":0,"y":0,
    "data":[1,2,3,4,5,6,7,8,2147483649,1073741826,536870915,4]},
  {"type":"group","name":"g","offsetx":3,"offsety":2,"visible":true,"opacity":1,"layers":[
    {"type":"tilelayer","name":"b","width":4,"height":3,"visible":true,"opacity":1,"x":0,"y":0,
     "data":[0,0,0,0,0,7,7,0,0,0,0,0]},
    {"type":"objectgroup","name":"o","draworder":"index","visible":true,"opacity":1,"objects":[
      {"id":1,"gid":3221225474,"x":20,"y":44,"width":16,"height":16,"rotation":0,"visible":true}]}]}]})"});
    return cases;
}

class ImportMatchesTiled : public ::testing::TestWithParam<Case> {};

TEST_P(ImportMatchesTiled, WholeRenderOfTheImportEqualsTiledsPicture)
{
    const Case& c = GetParam();
    TempDir dir;
    std::filesystem::create_directories(dir.File("sets"));
    dir.Write("tiles.png", TilesetPng(4, 2, 16, 16));
    dir.Write("spaced.png", TilesetPng(3, 2, 16, 16, 2, 1));
    dir.Write("big.png", TilesetPng(2, 1, 24, 40));
    dir.Write("c1.png", MarkedPng(16, 16, 1));
    dir.Write("c2.png", MarkedPng(40, 24, 2));
    dir.Write("c3.png", MarkedPng(8, 30, 3));
    dir.Write("c4.png", MarkedPng(8, 30, 4));
    dir.Write("back.png", MarkedPng(50, 30, 5));
    for (const auto& [name, text] : c.OtherFiles)
        WriteText(dir, name, text);
    const std::string source = WriteText(dir, c.MapName, c.Map);

    const ToolRun run = Import(source, dir.File("out"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Picture ours = RenderWhole(dir.File("out/NewWorld.kzm"));
    const Picture tiled = Crop(Rasterize(source), c.GridLeft, c.GridTop, ours.Width, ours.Height);
    const PictureDifference difference = Compare(ours, tiled, c.Tolerance);
    ASSERT_TRUE(difference.SameSize) << ours.Width << " x " << ours.Height << " against Tiled's " << tiled.Width
                                     << " x " << tiled.Height;
    EXPECT_LE(difference.Pixels, c.Allowed) << "largest difference " << difference.Largest;
}

INSTANTIATE_TEST_SUITE_P(Maps, ImportMatchesTiled, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace kzm::test
