// kzm import on bad input: a clear error naming the problem and exit 1,
// never a crash, a hang or unbounded memory.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "interop/Atlas.h"
#include "interop/LayerData.h"
#include "interop/TiledMap.h"
#include "tests/interop/InteropSupport.h"
#include "tests/support/TestFiles.h"

namespace kzm::test {
namespace {

const std::string kTileset =
    R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16" tilecount="8" columns="4"><image source="tiles.png" width="64" height="32"/></tileset>)";

std::string Map(const std::string& body, const std::string& attributes = R"(width="2" height="2")")
{
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" orientation="orthogonal" )" +
           attributes + R"( tilewidth="16" tileheight="16">
)" + body + "\n</map>\n";
}

std::string Layer(const std::string& data)
{
    return R"(<layer name="a" width="2" height="2">)" + data + "</layer>";
}

// 2 x 2 cells of tile 1, with the given compression.
std::string Compressed(const std::string& compression, std::size_t bytes)
{
    std::vector<std::uint8_t> raw(bytes, 0);
    raw[0] = 1;
    return R"(<data encoding="base64" compression=")" + compression + R"(">)" +
           interop::EncodeBase64(interop::Compress(raw, compression)) + "</data>";
}

struct BadInput {
    std::string Name;
    std::string MapName;
    std::string Map;
    std::string Expected;  // in the error
    std::vector<std::pair<std::string, std::string>> OtherFiles{};
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> OtherPictures{};
};

// 64 x 64 cells of tile 1 and `objects` tile objects of a 1024 x 1024
// picture, which the import cuts into 4096 tiles of the grid's size each.
std::string ManyCutPictures(int objects)
{
    std::string cells;
    for (int i = 0; i < 64 * 64; ++i)
        cells += i ? ",1" : "1";
    std::string group = "<objectgroup>";
    for (int i = 0; i < objects; ++i)
        group += R"(<object gid="9" x="0" y="1024"/>)";
    return Map(
        kTileset +
            R"(<tileset firstgid="9" name="c" tilewidth="1024" tileheight="1024" tilecount="1" columns="0"><tile id="0"><image source="big.png" width="1024" height="1024"/></tile></tileset>)" +
            R"(<layer name="a" width="64" height="64"><data encoding="csv">)" + cells + "</data></layer>" + group +
            "</objectgroup>",
        R"(width="64" height="64")");
}

std::vector<BadInput> Cases()
{
    const std::string csv = Layer(R"(<data encoding="csv">1,2,3,4</data>)");
    return {
        {"MalformedXml", "m.tmx", "<?xml version=\"1.0\"?>\n<map width=\"2\">\n  <layer name=\"a\">\n</map>\n",
         "m.tmx: malformed XML at line 4, column"},
        {"MalformedJson", "m.tmj", "{\"type\": \"map\",\n  \"width\": 2,,\n}",
         "m.tmj: malformed JSON at line 2, column 14"},
        {"JsonNumberTooLarge", "m.tmj", "{\"type\": \"map\", \"width\": 4e444444444}",
         "m.tmj: unreadable JSON: number overflow parsing '4e444444444'"},
        {"NotAMap", "m.tmx", "<?xml version=\"1.0\"?><tileset/>", "not a TMX map"},
        {"UnknownEncoding", "m.tmx", Map(kTileset + Layer(R"(<data encoding="hex">01</data>)")),
         "unknown layer data encoding \"hex\""},
        {"UnknownCompression", "m.tmx",
         Map(kTileset + Layer(R"(<data encoding="base64" compression="lzma">AAAA</data>)")),
         "unknown layer data compression \"lzma\""},
        {"CsvTooShort", "m.tmx", Map(kTileset + Layer(R"(<data encoding="csv">1,2,3</data>)")),
         "holds 3 tiles, expected 4"},
        {"Base64WrongLength", "m.tmx", Map(kTileset + Layer(R"(<data encoding="base64">AQAAAAEAAAA=</data>)")),
         "holds 8 bytes, expected 16"},
        {"XmlTilesTooMany", "m.tmx",
         Map(kTileset + Layer(R"(<data><tile gid="1"/><tile/><tile/><tile/><tile/></data>)")),
         "more than the 4 tiles expected"},
        {"JsonDataWrongLength", "m.tmj",
         R"({"type":"map","orientation":"orthogonal","width":2,"height":2,"tilewidth":16,"tileheight":16,"layers":[{"type":"tilelayer","name":"a","data":[1,2,3]}]})",
         "holds 3 tiles, expected 4"},
        // A quarter megabyte of zeros behind a 2 x 2 layer: inflating stops at 16 bytes.
        {"ZlibBomb", "m.tmx", Map(kTileset + Layer(Compressed("zlib", 1 << 18))), "inflates past the 16 bytes"},
        {"GzipBomb", "m.tmx", Map(kTileset + Layer(Compressed("gzip", 1 << 18))), "inflates past the 16 bytes"},
        {"ZstdBomb", "m.tmx", Map(kTileset + Layer(Compressed("zstd", 1 << 18))), "inflates past the 16 bytes"},
        {"ZlibCutShort", "m.tmx",
         Map(kTileset + Layer(R"(<data encoding="base64" compression="zlib">eJxjZGBg</data>)")),
         "damaged or cut short"},
        {"HugeMap", "m.tmx", Map(kTileset + csv, R"(width="100000" height="100000")"),
         "a map of 100000 x 100000 cells is larger than 16777216 cells"},
        {"HugeTile", "m.tmx", Map(kTileset, R"(width="2" height="2" tilewidth="1000000")"), "tilewidth must be"},
        {"HugeChunks", "m.tmx",
         Map(kTileset +
                 R"(<layer name="a" width="2" height="2"><data encoding="csv"><chunk x="-1000000" y="0" width="1" height="1">1</chunk><chunk x="1000000" y="1000" width="1" height="1">1</chunk></data></layer>)",
             R"(width="2" height="2" infinite="1")"),
         "the chunks span"},
        {"MissingTileset", "m.tmx", Map(R"(<tileset firstgid="1" source="missing.tsx"/>)" + csv),
         "cannot read tileset missing.tsx: no such file"},
        {"MissingImage", "m.tmx",
         Map(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"><image source="gone.png"/></tileset>)" +
             csv),
         "cannot read image gone.png"},
        {"UnreadableImage", "m.tmx",
         Map(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"><image source="m.tmx"/></tileset>)" +
             csv),
         "m.tmx (used by tileset \"t\""},
        {"GidBeyondEveryTileset", "m.tmx", Map(kTileset + Layer(R"(<data encoding="csv">1,2,3,9</data>)")),
         "tile id 9 is beyond every tileset"},
        {"ObjectFarAway", "m.tmx",
         Map(kTileset +
             R"(<objectgroup><object id="1" gid="1" x="1e300" y="16" width="16" height="16"/></objectgroup>)"),
         "further than a .kzm map reaches"},
        {"ObjectHuge", "m.tmx",
         Map(kTileset +
             R"(<objectgroup><object id="1" gid="1" x="0" y="16" width="1e300" height="16"/></objectgroup>)"),
         "larger than a .kzm map reaches"},
        {"ReferenceLoop",
         "m.tmx",
         Map(R"(<tileset firstgid="1" source="a.tsx"/>)" + csv),
         "external references form a loop: m.tmx -> a.tsx -> b.tsx -> a.tsx",
         {{"a.tsx", R"(<tileset source="b.tsx"/>)"}, {"b.tsx", R"(<tileset source="a.tsx"/>)"}}},
        {"Isometric", "m.tmx", R"(<map orientation="isometric" width="2" height="2" tilewidth="16" tileheight="8"/>)",
         "only orthogonal maps can be imported: this map is isometric"},
        {"Staggered", "m.tmj",
         R"({"type":"map","orientation":"staggered","width":2,"height":2,"tilewidth":16,"tileheight":16})",
         "only orthogonal maps can be imported: this map is staggered"},
        // 4096 + 2049 x 4096 tiles, past the bound only once the pictures are cut.
        {"TilesPastTheBoundOnceCut",
         "m.tmx",
         ManyCutPictures(2049),
         "m.tmx: more than 8388608 tiles to import",
         {},
         {{"big.png", TilesetPng(64, 64, 16, 16)}}},
    };
}

class ImportRefuses : public ::testing::TestWithParam<BadInput> {};

TEST_P(ImportRefuses, WithAClearErrorAndStatus1)
{
    const BadInput& c = GetParam();
    TempDir dir;
    dir.Write("tiles.png", TilesetPng(4, 2, 16, 16));
    for (const auto& [name, text] : c.OtherFiles)
        WriteText(dir, name, text);
    for (const auto& [name, bytes] : c.OtherPictures)
        dir.Write(name, bytes);
    WriteText(dir, c.MapName, c.Map);
    // Relative names, so that the messages are short and predictable.
    const std::string command = "cd '" + dir.Path() + "' && " + std::string(KZM_BIN_DIR) + "/kzm import " + c.MapName +
                                " -o out 2>err >/dev/null; echo $? >status";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadAll(dir.File("status")), "1\n");
    const std::string error = ReadAll(dir.File("err"));
    EXPECT_NE(error.find("kzm import: "), std::string::npos) << error;
    EXPECT_NE(error.find(c.Expected), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out/NewWorld.kzm")));
}

INSTANTIATE_TEST_SUITE_P(Inputs, ImportRefuses, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.Name; });

// An atlas past its bound says how large it would have been.
TEST(Atlas, PastItsBoundSaysHowLargeItWouldBe)
{
    interop::Atlas atlas(2, 2, 16);
    std::vector<std::uint8_t> frame(16, 0);
    for (std::uint8_t i = 0; i < 6; ++i) {
        frame[0] = i;
        EXPECT_EQ(atlas.Add(frame), i);
    }
    frame[0] = 3;
    EXPECT_EQ(atlas.Add(frame), 3) << "an identical frame is stored once, even past the bound";
    EXPECT_FALSE(atlas.Fits());
    interop::Atlas::Layout layout;
    try {
        atlas.Build(layout);
        FAIL() << "built an atlas past its bound";
    } catch (const interop::TiledError& error) {
        EXPECT_NE(std::string(error.what()).find("would be 6 x 4 pixels (6 frames of 2 x 2)"), std::string::npos)
            << error.what();
    }
}

TEST(Atlas, LaysFramesOutAsTheEngineCutsThem)
{
    interop::Atlas atlas(2, 1);
    for (std::uint8_t i = 1; i <= 5; ++i)
        atlas.Add(std::vector<std::uint8_t>(8, i));
    interop::Atlas::Layout layout;
    const std::vector<std::uint8_t> pixels = atlas.Build(layout);
    ASSERT_EQ(layout.Columns, 2);
    ASSERT_EQ(layout.Rows, 3);
    // Frame k at column k mod 2, row k / 2; the unused cell transparent.
    for (int k = 0; k < 6; ++k) {
        const std::size_t at = (static_cast<std::size_t>(k / 2) * 4 + static_cast<std::size_t>(k % 2) * 2) * 4;
        EXPECT_EQ(pixels[at], k < 5 ? k + 1 : 0) << "frame " << k;
    }
}

}  // namespace
}  // namespace kzm::test

namespace kzm::test {
namespace {

// What a .kzm map cannot hold is said, one line with a count each, and the
// rest imported.
TEST(ImportReports, WhatAKzmMapCannotHoldAndImportsTheRest)
{
    TempDir dir;
    dir.Write("tiles.png", TilesetPng(4, 2, 16, 16));
    dir.Write("back.png", MarkedPng(8, 8, 1));
    const std::string map =
        WriteText(dir, "m.tmx",
                  Map(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"><image source="tiles.png"/>
  <tile id="1"><animation><frame tileid="2" duration="10"/></animation></tile></tileset>
 <layer name="a" width="2" height="2" parallaxx="0.5"><data encoding="csv">1,2,2,0</data></layer>
 <imagelayer name="sky" repeatx="1"><image source="back.png"/></imagelayer>
 <objectgroup name="o">
  <object id="1" x="1" y="1" width="4" height="4"/>
  <object id="2" x="1" y="1"><ellipse/></object>
  <object id="3" x="1" y="1"><polygon points="0,0 1,1 0,1"/></object>
  <object id="4" x="1" y="1"><point/></object>
  <object id="5" x="1" y="1"><text>hi</text></object>
  <object id="6" gid="1" x="1" y="17" width="16" height="16" rotation="45"/>
  <object id="7" gid="1" x="1" y="17" width="16" height="16"/>
 </objectgroup>)",
                      R"(width="2" height="2" backgroundcolor="#102030")"));
    const ToolRun run = Import(map, dir.File("out"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    for (const std::string line :
         {"kzm import: 3 shape objects left out", "kzm import: 1 point objects left out",
          "kzm import: 1 text objects left out", "kzm import: 1 rotated tile objects left out",
          "kzm import: 1 layers imported without their parallax factors",
          "kzm import: 1 repeated image layers imported once",
          "kzm import: 1 animated tiles imported as their first frame", "kzm import: 1 background colour left out"})
        EXPECT_NE(run.Err.find(line), std::string::npos) << line << " in\n" << run.Err;
    // Three tiles, the image layer and the one unrotated tile object.
    EXPECT_NE(run.Out.find("3 layers, 5 tiles"), std::string::npos) << run.Out;
}

}  // namespace
}  // namespace kzm::test
