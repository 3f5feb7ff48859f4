#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "mapdata/KzmWriter.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"

namespace kzm {
namespace {

using nlohmann::json;

// The 141-byte example map: one tileset, one tile showing frame 3 at (32, 0).
std::vector<std::uint8_t> ExampleMap()
{
    TRKLevel level;
    TRKMapDimensions& d = *level.GetDimensions();
    d.Name = u"Demo";
    d.Columns = 2;
    d.Rows = 1;
    d.TileWidth = d.TileHeight = 32;
    auto tileset = std::make_shared<TRKTileset>();
    tileset->ImagePath = u"resource0.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level.AddTileset(tileset);
    auto tile = std::make_shared<TRKTile>();
    tile->Frame = 3;
    tile->X = 32;
    tile->Width = tile->Height = 32;
    tile->ScaleX = tile->ScaleY = 1.0f;
    tile->Layer = 0;
    level.AddTile(tile);
    return EncodeKzm(level);
}

TEST(KzmDump, PrintsTheExampleMapAsJson)
{
    test::TempDir dir;
    const std::string path = dir.Write("demo.kzm", ExampleMap());
    ASSERT_EQ(std::filesystem::file_size(path), 141u);
    test::ToolRun run = test::RunKzm("dump '" + path + "'");
    EXPECT_EQ(run.Status, 0);
    const json expected = json::parse(R"({"errored": false, "header_found": true, "version_matched": true,
      "version": "1.0.0",
      "level": {"name": "Demo", "source_path": ")" + path + R"(", "columns": 2, "rows": 1,
        "tile_width": 32, "tile_height": 32, "layer_count": 1,
        "tilesets": [{"id": 0, "image_path": "resource0.png", "frame_width": 32, "frame_height": 32,
                      "frame_count": 0, "has_image": false}],
        "tiles": [{"tileset_id": 0, "frame": 3, "prop_a": 0, "prop_b": 0, "x": 32, "y": 0,
                   "width": 32, "height": 32, "scale_x": 1.0, "scale_y": 1.0, "layer": 0,
                   "prop_c": 0, "prop_d": 0, "prop_e": 0, "prop_f": 0, "prop_g": 0.0, "prop_h": 0.0}]}})");
    EXPECT_EQ(json::parse(run.Out), expected);
    // Key order is part of the format.
    EXPECT_LT(run.Out.find("\"errored\""), run.Out.find("\"header_found\""));
    EXPECT_LT(run.Out.find("\"prop_g\""), run.Out.find("\"prop_h\""));
    EXPECT_EQ(run.Err, "Initialized KZM header\r\n");
}

TEST(KzmDump, MissingFileIsAnErroredReadWithNoLevel)
{
    test::TempDir dir;
    test::ToolRun run = test::RunKzm("dump '" + dir.File("missing.kzm") + "'");
    EXPECT_EQ(run.Status, 1);
    const json out = json::parse(run.Out);
    EXPECT_EQ(out["errored"], true);
    EXPECT_TRUE(out["level"].is_null());
    EXPECT_EQ(run.Err, "It errored\r\nkzm dump: cannot read " + dir.File("missing.kzm") +
                           ": the map file cannot be opened\n");
}

TEST(KzmDump, FloatsAndNulCharactersSurviveJson)
{
    TRKLevel level;
    level.SetName(String{u'a', u'\0', u'\u00E9'});
    auto tile = std::make_shared<TRKTile>();
    tile->ScaleX = 0.1f;
    tile->ScaleY = -INFINITY;
    tile->PropG = NAN;
    tile->PropH = 3.4028235e38f;
    level.AddTile(tile);
    test::TempDir dir;
    const std::string path = dir.Write("f.kzm", EncodeKzm(level));
    test::ToolRun run = test::RunKzm("dump '" + path + "'");
    ASSERT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("\"a\\u0000\xC3\xA9\""), std::string::npos) << run.Out;
    const json t = json::parse(run.Out)["level"]["tiles"][0];
    EXPECT_EQ(t["scale_x"].get<double>(), 0.1);  // the shortest form that reads back to 0.1f
    EXPECT_EQ(static_cast<float>(t["scale_x"].get<double>()), 0.1f);
    EXPECT_EQ(t["scale_y"], "-inf");
    EXPECT_EQ(t["prop_g"], "nan");
    EXPECT_EQ(static_cast<float>(t["prop_h"].get<double>()), 3.4028235e38f);
}

TEST(KzmDump, UsageErrorsExitWithTwo)
{
    for (const char* arguments : {"dump", "dump a.kzm --image 0", "dump a.kzm --image x=a.png", "frobnicate"}) {
        SCOPED_TRACE(arguments);
        test::ToolRun run = test::RunKzm(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
    }
}

}  // namespace
}  // namespace kzm
