// kzm info: the summary of a map and each reason a tile is never drawn.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "image/Image.h"
#include "mapdata/KzmWriter.h"
#include "tests/support/MapFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"

namespace kzm {
namespace {

using test::MakeTile;

// Three 32 x 32 frames in a row.
std::vector<std::uint8_t> ThreeFrames()
{
    return EncodePng(96, 32, std::vector<std::uint8_t>(96 * 32 * 4, 200), false);
}

Ref<TRKTileset> Tileset(std::int32_t id)
{
    auto tileset = std::make_shared<TRKTileset>();
    tileset->Id = id;
    tileset->ImagePath = u"art/tiles.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    return tileset;
}

// Tile i has problem i (tile 0 has none); the third tileset repeats Id 0.
Ref<TRKLevel> Faulty()
{
    auto level = std::make_shared<TRKLevel>();
    TRKMapDimensions& d = *level->Dimensions;
    d.Name = u"Faulty";
    d.Columns = d.Rows = 4;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 2;
    for (std::int32_t id : {0, 1, 0})
        level->AddTileset(Tileset(id));
    level->AddTile(MakeTile(0, 0));
    level->AddTile(MakeTile(32, 0, 0, 2));     // 1: layer at LayerCount
    level->AddTile(MakeTile(64, 0, 0, -1));    // 2: negative layer
    level->AddTile(MakeTile(96, 0, 0, 0, 9));  // 3: no tileset 9
    level->AddTile(MakeTile(0, 32, 3));        // 4: frame 3 of 3
    level->AddTile(MakeTile(32, 32, -1));      // 5: negative frame
    auto flat = MakeTile(64, 32);
    flat->ScaleX = 0.0f;  // 6
    level->AddTile(flat);
    auto nan = MakeTile(96, 32);
    nan->ScaleY = std::numeric_limits<float>::quiet_NaN();  // 7
    level->AddTile(nan);
    auto thin = MakeTile(-10, 200);
    thin->Width = 0;  // 8
    level->AddTile(thin);
    return level;
}

class KzmInfo : public testing::Test {
protected:
    KzmInfo()
    {
        WriteKzmFile(Map, *Faulty());
        Dir.Write("tiles.png", ThreeFrames());
    }
    std::string Run(const std::string& options, int status)
    {
        const test::ToolRun run = test::RunKzm("info '" + Map + "' " + options);
        EXPECT_EQ(run.Status, status) << options << "\n" << run.Err;
        return run.Out;
    }
    test::TempDir Dir;
    const std::string Map = Dir.File("faulty.kzm");
    const std::string Image = "--image '0=" + Dir.File("tiles.png") + "'";
};

TEST_F(KzmInfo, SummarisesTheMapAndNamesEachProblemWithItsFirstTiles)
{
    const std::string out = Run(Image, 0);
    for (const char* line : {
             "name: Faulty\n",
             "version: 1.0.0\n",
             "grid: 4 x 4 cells of 32 x 32 pixels (128 x 128 pixels)\n",
             "layers: 2\n",
             "tiles: 9\n",
             "  layer -1: 1\n  layer 0: 7\n  layer 2: 1\n",
             "tileset 0: \"art/tiles.png\", frames 32 x 32, 3 frames in the attached image\n",
             "tileset 1: \"art/tiles.png\", frames 32 x 32\n",
             "tile bounds: x -10 to 128, y 0 to 232\n",
             "problem: 1 tiles on a layer at or above LayerCount 2 (never drawn): tiles 1\n",
             "problem: 1 tiles on a negative layer (never drawn): tiles 2\n",
             "problem: 1 tiles whose TilesetId no tileset has (never drawn): tiles 3\n",
             "problem: 1 tiles whose Frame is at or beyond their image's frame count (never drawn): tiles 4\n",
             "problem: 1 tiles with a negative Frame (never drawn): tiles 5\n",
             "problem: 2 tiles with a scale of zero or not a finite number (cover nothing): tiles 6, 7\n",
             "problem: 1 tiles of zero Width or Height (drawn only while their corner is inside the view): tiles 8\n",
             "problem: 1 tilesets whose Id an earlier tileset has (never used): tilesets 2\n",
         })
        EXPECT_NE(out.find(line), std::string::npos) << line << "in:\n" << out;
    Run(Image + " --strict", 1);
}

TEST_F(KzmInfo, JsonHoldsTheSame)
{
    const auto json = nlohmann::json::parse(Run(Image + " --json", 0));
    EXPECT_EQ(json["name"], "Faulty");
    EXPECT_EQ(json["tile_count"], 9);
    EXPECT_EQ(json["tilesets"][0]["frame_count"], 3);
    EXPECT_TRUE(json["tilesets"][1]["frame_count"].is_null());
    EXPECT_EQ(json["tile_bounds"]["left"], -10);
    std::map<std::string, std::pair<int, std::vector<int>>> problems;
    for (const auto& problem : json["problems"])
        problems[problem["kind"]] = {problem["count"], problem["first"]};
    const std::map<std::string, std::pair<int, std::vector<int>>> expected{
        {"layer_at_or_above_layer_count", {1, {1}}},
        {"negative_layer", {1, {2}}},
        {"no_tileset", {1, {3}}},
        {"frame_beyond_image", {1, {4}}},
        {"negative_frame", {1, {5}}},
        {"zero_or_non_finite_scale", {2, {6, 7}}},
        {"zero_size", {1, {8}}},
        {"duplicate_tileset_id", {1, {2}}},
    };
    EXPECT_EQ(problems, expected);
}

// Without an image nothing says how many frames there are; with many tiles
// of one problem only the first few are listed.
TEST_F(KzmInfo, ListsTheFirstFiveAndChecksFramesOnlyAgainstAnImage)
{
    auto level = Faulty();
    for (int i = 0; i < 7; ++i)
        level->AddTile(MakeTile(0, 0, 0, 5));
    WriteKzmFile(Map, *level);
    const std::string out = Run("", 0);
    EXPECT_EQ(out.find("frame count"), std::string::npos) << out;
    EXPECT_NE(
        out.find("problem: 8 tiles on a layer at or above LayerCount 2 (never drawn): tiles 1, 9, 10, 11, 12, ...\n"),
        std::string::npos)
        << out;
}

TEST_F(KzmInfo, ACleanMapPassesStrictAndAnUnreadableOneFails)
{
    auto level = std::make_shared<TRKLevel>();
    level->Dimensions->Columns = level->Dimensions->Rows = 1;
    level->AddTileset(Tileset(0));
    level->AddTile(MakeTile(0, 0));
    WriteKzmFile(Map, *level);
    EXPECT_NE(Run("--strict", 0).find("problems: none\n"), std::string::npos);

    const test::ToolRun missing = test::RunKzm("info '" + Dir.File("missing.kzm") + "' --strict");
    EXPECT_EQ(missing.Status, 1);
    EXPECT_NE(missing.Err.find("kzm info: cannot read"), std::string::npos) << missing.Err;
    EXPECT_TRUE(missing.Out.empty());
    EXPECT_EQ(test::RunKzm("info '" + Map + "' --image 7='" + Dir.File("tiles.png") + "'").Status, 1);
    EXPECT_EQ(test::RunKzm("info").Status, 2);
}

}  // namespace
}  // namespace kzm
