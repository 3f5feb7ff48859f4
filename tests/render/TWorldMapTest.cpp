#include "render/TWorldMap.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "platform/Display.h"
#include "render/ScrollOffsets.h"
#include "tests/support/PngWriter.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

const char* const kPathFailure = "Error occured in TWorldMap.SetTilesetPath()";
const char* const kImageFailure = "Threw an error in TRKTileset.SetImage()";

Ref<TRKTileset> MakeTileset(std::int32_t id, std::int32_t frameWidth, std::int32_t frameHeight)
{
    auto tileset = std::make_shared<TRKTileset>();
    tileset->Id = id;
    tileset->SetFrameWidth(frameWidth);
    tileset->SetFrameHeight(frameHeight);
    return tileset;
}

Ref<TRKTile> MakeTile(std::int32_t x, std::int32_t y, std::int32_t layer)
{
    auto tile = std::make_shared<TRKTile>();
    tile->X = x;
    tile->Y = y;
    tile->Width = 16;
    tile->Height = 16;
    tile->ScaleX = 1.0f;
    tile->ScaleY = 1.0f;
    tile->Layer = layer;
    return tile;
}

// A 9 x 5 grid (rows differ from columns, so a swap shows) with two layers,
// one tileset and one tile.
TRKLevel SampleLevel()
{
    TRKLevel level;
    level.GetDimensions()->SetColumns(9);
    level.GetDimensions()->SetRows(5);
    level.GetDimensions()->SetTileWidth(16);
    level.GetDimensions()->SetTileHeight(16);
    level.GetDimensions()->SetLayerCount(2);
    level.AddTileset(MakeTileset(0, 16, 16));
    level.AddTile(MakeTile(400, 500, 0));
    return level;
}

// A 32 x 16 picture: two 16 x 16 frames.
String WriteTilesetPicture(const test::TempDir& dir, const std::string& name)
{
    return FromUtf8(dir.Write(
        name, test::WritePng({32, 16, test::PngColour::Rgb}, [](int x, int y) {
            return test::PngSamples{static_cast<std::uint16_t>(x * 4 + 1), static_cast<std::uint16_t>(y * 8 + 1), 90};
        })));
}

using test::RecordingSink;

class TWorldMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScrollX = -300;
        ScrollY = -500;
    }
    void TearDown() override { SetUp(); }

    String WriteMap(const TRKLevel& level, const std::string& name = "map.kzm")
    {
        const std::string path = Dir.File(name);
        EXPECT_TRUE(WriteKzmFile(path, level));
        return FromUtf8(path);
    }

    test::TempDir Dir;
    TWorldMap World;
};

TEST_F(TWorldMapTest, LoadConfiguresTheEngineWithTheLevelsOwnLists)
{
    const String path = WriteMap(SampleLevel());
    EXPECT_EQ(World.LoadMap(path, 800, 600, 100, 100), 1);

    const TMapEngine& engine = *World.Engine;
    EXPECT_EQ(engine.ViewLeft, 100);
    EXPECT_EQ(engine.ViewTop, 100);
    EXPECT_EQ(engine.ViewRight, 800);
    EXPECT_EQ(engine.ViewBottom, 600);
    EXPECT_EQ(engine.MapRows, 5);
    EXPECT_EQ(engine.MapColumns, 9);
    EXPECT_EQ(engine.LayerCount, 2);
    ASSERT_TRUE(World.ReadResult);
    const Ref<TRKLevel> level = World.ReadResult->GetLevel();
    ASSERT_TRUE(level);
    EXPECT_EQ(engine.Tilesets, level->GetTilesets());
    EXPECT_EQ(engine.Tiles, level->GetTiles());
}

TEST_F(TWorldMapTest, AFailedReadLeavesTheEngineAsItWas)
{
    ASSERT_EQ(World.LoadMap(WriteMap(SampleLevel()), 800, 600, 100, 100), 1);
    const Ref<ObjectList> tilesets = World.Engine->Tilesets;
    const Ref<ObjectList> tiles = World.Engine->Tiles;
    PrintLineCapture lines;

    EXPECT_EQ(World.LoadMap(FromUtf8(Dir.File("missing.kzm")), 1, 2, 3, 4), 0);

    ASSERT_TRUE(World.ReadResult);
    EXPECT_EQ(World.ReadResult->GetErrored(), 1);
    EXPECT_EQ(lines.Lines(), std::vector<std::string>{"It errored"});  // the reader's line, none of its own
    EXPECT_EQ(World.Engine->Tilesets, tilesets);
    EXPECT_EQ(World.Engine->Tiles, tiles);
    EXPECT_EQ(World.Engine->ViewLeft, 100);
    EXPECT_EQ(World.Engine->ViewBottom, 600);
    EXPECT_EQ(World.Engine->MapRows, 5);
    EXPECT_EQ(World.Engine->LayerCount, 2);
}

TEST_F(TWorldMapTest, AnUnrecognisedFileStillLoadsAnEmptyLevel)
{
    const String path = FromUtf8(Dir.Write("junk.kzm", KzmByteWriter().Raw("NOT A MAP AT ALL").Bytes));
    EXPECT_EQ(World.LoadMap(path, 800, 600, 100, 100), 1);
    EXPECT_EQ(World.ReadResult->GetHeaderFound(), 0);
    EXPECT_EQ(World.Engine->MapRows, 0);
    EXPECT_EQ(World.Engine->MapColumns, 0);
    EXPECT_EQ(World.Engine->LayerCount, 1);
    EXPECT_EQ(World.Engine->Tilesets->Count(), 0);
    EXPECT_EQ(World.Engine->Tiles->Count(), 0);
}

TEST_F(TWorldMapTest, DrawUsesTheGlobalOffsetsAndSeesTilesAddedToTheLevel)
{
    ASSERT_EQ(World.LoadMap(WriteMap(SampleLevel()), 800, 600, 100, 100), 1);
    World.SetTilesetPath(0, WriteTilesetPicture(Dir, "tiles.png"));
    RecordingSink sink;

    World.Draw();
    std::vector<test::DrawCall> draws = sink.Frames();
    ASSERT_EQ(draws.size(), 1u);
    // X + ScrollX + view left: 400 - 300 + 100.
    EXPECT_EQ(draws[0].X, 200.0f);
    EXPECT_EQ(draws[0].Y, 100.0f);
    EXPECT_EQ(World.Engine->ScrollX, -300);
    EXPECT_EQ(World.Engine->ScrollY, -500);

    auto added = MakeTile(420, 520, 1);
    added->Frame = 1;
    World.ReadResult->GetLevel()->AddTile(added);
    ScrollX = -294;
    sink.Calls.clear();
    World.Draw();
    draws = sink.Frames();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].X, 206.0f);  // the whole map moved 6 pixels right
    EXPECT_EQ(draws[1].X, 226.0f);
    EXPECT_EQ(draws[1].FrameIndex, 1);
}

TEST_F(TWorldMapTest, TheImageGoesToTheFirstMatchingTilesetOnly)
{
    TRKLevel level = SampleLevel();
    level.AddTileset(MakeTileset(0, 16, 16));
    level.AddTileset(MakeTileset(7, 16, 16));
    ASSERT_EQ(World.LoadMap(WriteMap(level), 800, 600, 100, 100), 1);
    // Entries of other classes, and absent ones, are passed over.
    World.Engine->Tilesets->Append(nullptr);
    World.Engine->Tilesets->Append(std::make_shared<TRKTile>());
    const auto& entries = World.Engine->Tilesets->Entries();
    PrintLineCapture lines;

    const String picture = WriteTilesetPicture(Dir, "tiles.png");
    World.SetTilesetPath(0, picture);
    World.SetTilesetPath(7, picture);
    World.SetTilesetPath(3, picture);  // no such tileset: nothing at all

    EXPECT_EQ(As<TRKTileset>(entries[0])->GetImagePath(), picture);
    EXPECT_TRUE(As<TRKTileset>(entries[0])->GetImage());
    EXPECT_EQ(As<TRKTileset>(entries[0])->GetFrameCount(), 2);
    EXPECT_EQ(As<TRKTileset>(entries[1])->GetImagePath(), u"");
    EXPECT_FALSE(As<TRKTileset>(entries[1])->GetImage());
    EXPECT_TRUE(As<TRKTileset>(entries[2])->GetImage());
    EXPECT_TRUE(lines.Lines().empty());
}

TEST_F(TWorldMapTest, SetTilesetPathReportsOnlyWhatItMust)
{
    struct Row {
        const char* Name;
        bool Load;
        std::int32_t FrameWidth;
        bool PictureExists;
        std::vector<std::string> Printed;
    };
    const Row rows[] = {
        {"before any load: the engine's own empty list", false, 16, true, {}},
        {"missing image file", true, 16, false, {}},
        {"frame width 0: the tileset's own line only", true, 0, true, {kImageFailure}},
    };
    const String picture = WriteTilesetPicture(Dir, "tiles.png");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        TWorldMap world;
        TRKLevel level = SampleLevel();
        As<TRKTileset>(level.GetTilesets()->Entries()[0])->SetFrameWidth(row.FrameWidth);
        if (row.Load) {
            ASSERT_EQ(world.LoadMap(WriteMap(level), 800, 600, 100, 100), 1);
        }
        PrintLineCapture lines;
        world.SetTilesetPath(0, row.PictureExists ? picture : FromUtf8(Dir.File("none.png")));
        EXPECT_EQ(lines.Lines(), row.Printed);
    }
}

TEST_F(TWorldMapTest, AnAbsentTilesetListIsAFailureOfSetTilesetPath)
{
    World.Engine->SetTilesets(nullptr);
    PrintLineCapture lines;
    World.SetTilesetPath(0, u"anything.png");
    EXPECT_EQ(lines.Lines(), std::vector<std::string>{kPathFailure});
}

}  // namespace
}  // namespace kzm
