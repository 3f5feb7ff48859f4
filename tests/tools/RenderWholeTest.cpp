// kzm render --whole: the whole map into an RGBA PNG, its options and errors.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "image/Image.h"
#include "image/internal/PngCodec.h"
#include "mapdata/KzmWriter.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/MapFixtures.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"
#include "tests/tools/WrittenPng.h"

namespace kzm {
namespace {

using test::kBlue;
using test::kClear;
using test::kGreen;
using test::kRed;
using test::MakeTile;
using test::Rgba;

// A 4 x 3 grid of 32-pixel cells: red at (0, 0), green on layer 1 at
// (32, 32), blue on layer 0 under it, and one tile left of the grid.
Ref<TRKLevel> Level()
{
    auto level = std::make_shared<TRKLevel>();
    TRKMapDimensions& d = *level->Dimensions;
    d.Columns = 4;
    d.Rows = 3;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 2;
    auto tileset = std::make_shared<TRKTileset>();
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level->AddTileset(tileset);
    level->AddTile(MakeTile(0, 0, 0));
    level->AddTile(MakeTile(32, 32, 1, 1));
    level->AddTile(MakeTile(32, 32, 2, 0));
    level->AddTile(MakeTile(-32, 64, 0));
    return level;
}

std::vector<std::uint8_t> TilesetPng()
{
    std::vector<std::uint8_t> rgba;
    const Rgba colours[] = {kRed, kGreen, kBlue};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 96; ++x) {
            const Rgba c = colours[x / 32];
            rgba.insert(rgba.end(), {c.R, c.G, c.B, 255});
        }
    return EncodePng(96, 32, rgba, false);
}

using Picture = test::WrittenPng;

class KzmRenderWhole : public testing::Test {
protected:
    KzmRenderWhole()
    {
        WriteKzmFile(Map, *Level());
        Dir.Write("resource0.png", TilesetPng());
    }
    test::ToolRun Run(const std::string& options)
    {
        return test::RunKzm("render '" + Map + "' -o '" + Out + "' --whole " + options);
    }
    test::TempDir Dir;
    const std::string Map = Dir.File("world.kzm");
    const std::string Out = Dir.File("whole.png");
};

TEST_F(KzmRenderWhole, DrawsTheGridWithTransparencyWhereNoTileIs)
{
    const test::ToolRun run = Run("");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Picture p = test::ReadWrittenPng(Out);
    ASSERT_EQ(p.Width, 128);
    ASSERT_EQ(p.Height, 96);
    EXPECT_EQ(p.ColourType, 6);  // RGBA
    EXPECT_EQ(p.At(0, 0), kRed);
    EXPECT_EQ(p.At(40, 40), kGreen);
    EXPECT_EQ(p.At(100, 10), kClear);
}

TEST_F(KzmRenderWhole, OptionsScaleFitHideAndFill)
{
    struct Case {
        const char* Options;
        int Width, Height;
        int X, Y;
        Rgba Expected;
    };
    const Case cases[] = {
        {"--scale 0.5 --no-smoothing", 64, 48, 20, 20, kGreen},
        {"--tilesize 64", 256, 192, 70, 70, kGreen},
        {"--size 64 --scale 3", 64, 48, 20, 20, kGreen},
        {"--hide-layer 1", 128, 96, 40, 40, kBlue},
        {"--show-layer 1", 128, 96, 0, 0, kClear},
        {"--fit-tiles", 96, 96, 0, 64, kRed},
        {"--background 0a141e", 128, 96, 100, 10, Rgba{10, 20, 30, 255}},
    };
    for (const Case& c : cases) {
        const test::ToolRun run = Run(c.Options);
        ASSERT_EQ(run.Status, 0) << c.Options << ": " << run.Err;
        const Picture p = test::ReadWrittenPng(Out);
        EXPECT_EQ(p.Width, c.Width) << c.Options;
        EXPECT_EQ(p.Height, c.Height) << c.Options;
        EXPECT_EQ(p.At(c.X, c.Y), c.Expected) << c.Options;
    }
}

TEST_F(KzmRenderWhole, UsageErrorsExitWithTwoAndWriteNothing)
{
    const char* wrong[] = {"--scale 0",    "--scale 16.5",   "--size 0",         "--size 32769",
                           "--size 10,10", "--tilesize 0",   "--background red", "--background 12345",
                           "--scroll 1,2", "--view 0,0,1,1", "--tilesize 600"};  // a scale of 600 / 32, above 16
    for (const char* options : wrong) {
        const test::ToolRun run = Run(options);
        EXPECT_EQ(run.Status, 2) << options << ": " << run.Err;
        EXPECT_FALSE(std::filesystem::exists(Out)) << options;
    }
    // Options of the whole picture without --whole.
    for (const char* options : {"--scale 2", "--fit-tiles", "--hide-layer 0", "--size 512"}) {
        const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Out + "' " + options);
        EXPECT_EQ(run.Status, 2) << options << ": " << run.Err;
    }
}

TEST_F(KzmRenderWhole, APictureOverTheLimitIsAUsageErrorNamingIt)
{
    auto wide = Level();
    wide->Dimensions->Columns = 1100;  // 35,200 pixels
    WriteKzmFile(Map, *wide);
    const test::ToolRun over = Run("");
    EXPECT_EQ(over.Status, 2) << over.Err;
    EXPECT_NE(over.Err.find("32768"), std::string::npos) << over.Err;
    EXPECT_FALSE(std::filesystem::exists(Out));
}

// A map that cannot be read, one with nothing to draw, and a picture that
// cannot be written: status 1 and no file, partial or whole.
TEST_F(KzmRenderWhole, FailuresExitWithOneAndLeaveNoFile)
{
    EXPECT_EQ(test::RunKzm("render '" + Dir.File("missing.kzm") + "' -o '" + Out + "' --whole").Status, 1);
    const test::ToolRun folder =
        test::RunKzm("render '" + Map + "' -o '" + Dir.File("no/such/folder/whole.png") + "' --whole");
    EXPECT_EQ(folder.Status, 1);
    EXPECT_NE(folder.Err.find("kzm render: cannot write"), std::string::npos) << folder.Err;
    auto empty = Level();
    empty->Dimensions->Columns = 0;
    WriteKzmFile(Map, *empty);
    const test::ToolRun nothing = Run("");
    EXPECT_EQ(nothing.Status, 1);
    EXPECT_NE(nothing.Err.find("grid is empty"), std::string::npos) << nothing.Err;
    EXPECT_EQ(Run("--fit-tiles").Status, 0);  // the tiles are there all the same
    std::filesystem::remove(Out);
    for (const auto& entry : std::filesystem::directory_iterator(Dir.Path()))
        EXPECT_EQ(entry.path().extension(), entry.path().filename() == "resource0.png" ? ".png" : ".kzm")
            << entry.path();
}

}  // namespace
}  // namespace kzm
