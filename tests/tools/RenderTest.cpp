// kzm render: a map drawn as the test bed's first frame, into a PNG.
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

using test::kBlack;
using test::kBlue;
using test::kGreen;
using test::kRed;
using test::Rgba;

// A tileset picture of 32 x 32 frames in one row, each filled with its colour;
// frame 1 gets a black (so, once masked, transparent) 8 x 8 hole at 12, 12.
std::vector<std::uint8_t> TilesetPng(const std::vector<Rgba>& colours)
{
    const int width = 32 * static_cast<int>(colours.size());
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < width; ++x) {
            const int frame = x / 32;
            const bool hole = frame == 1 && x % 32 >= 12 && x % 32 < 20 && y >= 12 && y < 20;
            const Rgba c = hole ? kBlack : colours[static_cast<std::size_t>(frame)];
            rgba.insert(rgba.end(), {c.R, c.G, c.B, 255});
        }
    return EncodePng(width, 32, rgba, false);
}

using test::MakeTile;

// Two layers: a red tile at the test bed's worked example (320, 640), under a
// layer-1 tile with a hole; a blue tile scaled 2 beside them.
Ref<TRKLevel> Level()
{
    auto level = std::make_shared<TRKLevel>();
    TRKMapDimensions& d = *level->GetDimensions();
    d.Columns = d.Rows = 40;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 2;
    for (std::int32_t id : {0, 1}) {
        auto tileset = std::make_shared<TRKTileset>();
        tileset->Id = id;
        tileset->FrameWidth = tileset->FrameHeight = 32;
        level->AddTileset(tileset);
    }
    level->AddTile(MakeTile(320, 640, 1, 1));  // layer 1: drawn over the red tile
    level->AddTile(MakeTile(320, 640, 0));
    auto big = MakeTile(400, 640, 2);
    big->ScaleX = big->ScaleY = 2.0f;
    level->AddTile(big);
    level->AddTile(MakeTile(320, 700, 0, 0, 1));  // tileset 1
    return level;
}

using Picture = test::WrittenPng;

class KzmRender : public testing::Test {
protected:
    KzmRender()
    {
        WriteKzmFile(Map, *Level());
        Dir.Write("resource0.png", TilesetPng({kRed, kGreen, kBlue}));
    }
    test::TempDir Dir;
    const std::string Map = Dir.File("world.kzm");
    const std::string Out = Dir.File("out.png");
};

// With the test bed's settings and resource0.png beside the map: X 320,
// Y 640 lands at 120, 240.
TEST_F(KzmRender, DrawsTheFirstFrameAsTheTestBedDoes)
{
    const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Out + "'");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Picture picture = test::ReadWrittenPng(Out);
    ASSERT_EQ(picture.Width, 800);
    ASSERT_EQ(picture.Height, 600);
    EXPECT_EQ(picture.ColourType, 2);  // RGB
    EXPECT_EQ(picture.BitDepth, 8);
    EXPECT_EQ(picture.At(120, 240), kGreen);  // the layer-1 tile
    EXPECT_EQ(picture.At(151, 271), kGreen);
    EXPECT_EQ(picture.At(135, 255), kRed);  // through its masked hole
    EXPECT_EQ(picture.At(119, 240), kBlack);
    EXPECT_EQ(picture.At(152, 240), kBlack);
    EXPECT_EQ(picture.At(200, 240), kBlue);  // scaled 2: 64 x 64
    EXPECT_EQ(picture.At(263, 303), kBlue);
    EXPECT_EQ(picture.At(264, 303), kBlack);
    EXPECT_EQ(picture.At(130, 310), kBlack);  // tileset 1 has no image
}

TEST_F(KzmRender, OptionsSetScrollViewSizeAndImages)
{
    const std::string other = Dir.Write("other.png", TilesetPng({kBlue, kRed}));
    const test::ToolRun run =
        test::RunKzm("render '" + Map + "' -o '" + Out + "' --scroll=-310,-640 --view 0,0,100,80 " +
                     "--size 120,90 --image '1=" + other + "'");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Picture picture = test::ReadWrittenPng(Out);
    ASSERT_EQ(picture.Width, 120);
    ASSERT_EQ(picture.Height, 90);
    EXPECT_EQ(picture.At(10, 0), kGreen);  // 320 - 310 + 0
    EXPECT_EQ(picture.At(10, 60), kBlue);  // tileset 1, frame 0 of other.png
    EXPECT_EQ(picture.At(9, 60), kBlack);
}

// An image given for id 0 replaces the map folder's resource0.png.
TEST_F(KzmRender, AnImageForIdZeroTakesThePlaceOfResource0)
{
    const std::string other = Dir.Write("other.png", TilesetPng({kBlue, kRed, kGreen}));
    const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Out + "' --image '0=" + other + "'");
    ASSERT_EQ(run.Status, 0) << run.Err;
    const Picture picture = test::ReadWrittenPng(Out);
    EXPECT_EQ(picture.At(120, 240), kRed);
    EXPECT_EQ(picture.At(135, 255), kBlue);
}

TEST_F(KzmRender, AMapThatFailsToReadWritesNothing)
{
    const test::ToolRun run = test::RunKzm("render '" + Dir.File("missing.kzm") + "' -o '" + Out + "'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("Unable to load mapfile!\n"), std::string::npos) << run.Err;
    EXPECT_FALSE(std::filesystem::exists(Out));
}

// An image asked for by name must show: a picture without it would mislead.
TEST_F(KzmRender, AnImageThatCannotBeAttachedFailsAndWritesNothing)
{
    const std::string good = Dir.Write("good.png", TilesetPng({kBlue, kRed, kGreen}));
    const std::string wrong[] = {"0='" + Dir.File("missing.png") + "'", "7='" + good + "'"};
    for (const std::string& image : wrong) {
        const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Out + "' --image " + image);
        EXPECT_EQ(run.Status, 1) << image;
        EXPECT_NE(run.Err.find("kzm render: no image from"), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(Out)) << image;
    }
}

TEST_F(KzmRender, AnUnwritableOutputFails)
{
    const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Dir.File("no/such/folder/out.png") + "'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("kzm render: cannot write"), std::string::npos) << run.Err;
}

TEST_F(KzmRender, UsageErrorsExitWithTwo)
{
    const char* wrong[] = {"--scroll 1",    "--scroll 1,2,3",        "--scroll a,b",    "--scroll 1,",
                           "--scroll 1,2x", "--scroll 9999999999,0", "--view 1,2,3",    "--size 0,10",
                           "--size 10,-1",  "--size 16385,10",       "--size 10,10,10", "--image 0"};
    for (const char* options : wrong) {
        const test::ToolRun run = test::RunKzm("render '" + Map + "' -o '" + Out + "' " + options);
        EXPECT_EQ(run.Status, 2) << options << ": " << run.Err;
        EXPECT_FALSE(std::filesystem::exists(Out)) << options;
    }
    EXPECT_EQ(test::RunKzm("render '" + Map + "'").Status, 2);  // no output named
}

}  // namespace
}  // namespace kzm
