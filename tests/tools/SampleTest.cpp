#include <cmath>
#include <filesystem>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "mapdata/TKZMReader.h"
#include "sample/SampleArt.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"

namespace kzm {
namespace {

// The sample as the test bed would load it: the map read, resource0.png
// attached to tileset 0.
class SampleMap : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Dir = new test::TempDir;
        const test::ToolRun run = test::RunKzm("sample '" + Dir->Path() + "'");
        ASSERT_EQ(run.Status, 0) << run.Err;
        PrintLineCapture quiet;  // "Initialized KZM header"
        Result = TKZMReader::Read(FromUtf8(Dir->File("NewWorld.kzm")));
        ASSERT_FALSE(Result->GetErrored());
        ASSERT_TRUE(Result->GetLevel());
        for (const auto& entry : Result->GetLevel()->GetTilesets()->Entries())
            if (auto* tileset = As<TRKTileset>(entry))
                tileset->SetImage(FromUtf8(Dir->File("resource0.png")));
    }

    static void TearDownTestSuite()
    {
        Result.reset();
        delete Dir;
        Dir = nullptr;
    }

    static std::vector<TRKTile*> Tiles()
    {
        std::vector<TRKTile*> tiles;
        for (const auto& entry : Result->GetLevel()->GetTiles()->Entries())
            if (auto* tile = As<TRKTile>(entry))
                tiles.push_back(tile);
        return tiles;
    }

    static TRKTileset& Tileset() { return *As<TRKTileset>(Result->GetLevel()->GetTilesets()->Entries().at(0)); }

    // Whether any pixel of the frame is masked (alpha 0), or all are.
    static int MaskedPixels(int frame)
    {
        const Image& image = *Tileset().GetImage();
        const std::uint8_t* pixels = image.FramePixels(frame);
        int masked = 0;
        for (int i = 0; i < image.FrameWidth * image.FrameHeight; ++i)
            masked += pixels[i * 4 + 3] == 0;
        return masked;
    }

    static test::TempDir* Dir;
    static Ref<TRespReadKZM> Result;
};

test::TempDir* SampleMap::Dir = nullptr;
Ref<TRespReadKZM> SampleMap::Result;

TEST_F(SampleMap, HeaderAndTilesetAreWhatTheTestBedExpects)
{
    EXPECT_TRUE(Result->GetHeaderFound());
    EXPECT_TRUE(Result->GetVersionMatched());
    TRKMapDimensions& d = *Result->GetLevel()->GetDimensions();
    EXPECT_GE(d.GetColumns(), 64);
    EXPECT_GE(d.GetRows(), 64);
    EXPECT_EQ(d.GetTileWidth(), 32);
    EXPECT_EQ(d.GetTileHeight(), 32);
    EXPECT_EQ(d.GetLayerCount(), 3);

    ASSERT_EQ(Result->GetLevel()->TilesetCount(), 1);
    TRKTileset& tileset = Tileset();
    EXPECT_EQ(tileset.Id, 0);
    EXPECT_EQ(tileset.GetFrameWidth(), 32);
    EXPECT_EQ(tileset.GetFrameHeight(), 32);
    ASSERT_TRUE(tileset.GetImage());
    EXPECT_GE(tileset.GetFrameCount(), 16);

    // An RGB PNG: colour type 2 in the header chunk, no alpha channel.
    const std::vector<std::uint8_t> png = test::ReadFileBytes(Dir->File("resource0.png"));
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png[25], 2);
}

TEST_F(SampleMap, EveryTileIsDrawableFromTheTileset)
{
    const int frames = Tileset().GetFrameCount();
    std::set<int> layers;
    for (const TRKTile* tile : Tiles()) {
        EXPECT_EQ(tile->TilesetId, 0);
        EXPECT_GE(tile->Frame, 0);
        EXPECT_LT(tile->Frame, frames);
        EXPECT_EQ(tile->Width, 32);
        EXPECT_EQ(tile->Height, 32);
        EXPECT_NE(tile->ScaleX, 0.0f);
        EXPECT_NE(tile->ScaleY, 0.0f);
        layers.insert(tile->Layer);
    }
    EXPECT_EQ(layers, (std::set<int>{0, 1, 2}));
}

// Each ground tile covers one cell, mirrored ones included (they are placed
// one cell further on, since they extend to the left of or above their
// position), and together they cover the whole map once: no hole shows the
// black background, and no cell is drawn twice.
TEST_F(SampleMap, GroundCoversEveryCellExactlyOnce)
{
    TRKMapDimensions& d = *Result->GetLevel()->GetDimensions();
    std::vector<int> covered(static_cast<std::size_t>(d.GetColumns() * d.GetRows()), 0);
    for (const TRKTile* tile : Tiles()) {
        if (tile->Layer != 0)
            continue;
        ASSERT_EQ(std::abs(tile->ScaleX), 1.0f);
        ASSERT_EQ(std::abs(tile->ScaleY), 1.0f);
        const int left = tile->ScaleX < 0 ? tile->X - 32 : tile->X;
        const int top = tile->ScaleY < 0 ? tile->Y - 32 : tile->Y;
        ASSERT_EQ(left % 32, 0);
        ASSERT_EQ(top % 32, 0);
        const int column = left / 32;
        const int row = top / 32;
        ASSERT_TRUE(column >= 0 && column < d.GetColumns() && row >= 0 && row < d.GetRows())
            << "ground tile outside the map at " << tile->X << ", " << tile->Y;
        ++covered[static_cast<std::size_t>(row * d.GetColumns() + column)];
    }
    for (int row = 0; row < d.GetRows(); ++row)
        for (int column = 0; column < d.GetColumns(); ++column)
            EXPECT_EQ(covered[static_cast<std::size_t>(row * d.GetColumns() + column)], 1)
                << "cell " << column << ", " << row;
}

// Ground frames must be opaque (a stray pure-black pixel would be masked
// into a hole); the things drawn over them stand on masked black.
TEST_F(SampleMap, GroundFramesAreOpaqueAndOverlaysAreMasked)
{
    std::set<int> ground;
    std::set<int> overlays;
    for (const TRKTile* tile : Tiles())
        (tile->Layer == 0 ? ground : overlays).insert(tile->Frame);
    for (int frame : ground)
        EXPECT_EQ(MaskedPixels(frame), 0) << "ground frame " << frame;
    for (int frame : overlays) {
        if (frame != tool::FramePlanks) {  // bridges and the landing stage are whole floors
            EXPECT_GT(MaskedPixels(frame), 0) << "overlay frame " << frame;
        }
    }
}

// What the test bed shows at start (map pixels 200..1000 by 400..1000, from
// its scroll offset -300, -500 and view origin 100, 100) has something on
// every layer, and the map uses scaled and mirrored tiles.
TEST_F(SampleMap, StartViewShowsAllLayersAndScaledAndMirroredTiles)
{
    std::set<int> layersInView;
    int scaled = 0;
    int mirrored = 0;
    for (const TRKTile* tile : Tiles()) {
        if (tile->X >= 200 && tile->X < 1000 && tile->Y >= 400 && tile->Y < 1000)
            layersInView.insert(tile->Layer);
        scaled += std::abs(tile->ScaleX) == 2.0f && std::abs(tile->ScaleY) == 2.0f;
        mirrored += tile->ScaleX < 0 || tile->ScaleY < 0;
    }
    EXPECT_EQ(layersInView, (std::set<int>{0, 1, 2}));
    EXPECT_GE(scaled, 3);
    EXPECT_GE(mirrored, 3);
}

TEST(KzmSample, WritesTheSameBytesEveryTime)
{
    test::TempDir first;
    test::TempDir second;
    ASSERT_EQ(test::RunKzm("sample '" + first.Path() + "'").Status, 0);
    ASSERT_EQ(test::RunKzm("sample '" + second.Path() + "/made/on/the/way'").Status, 0);
    for (const char* name : {"NewWorld.kzm", "resource0.png"})
        EXPECT_EQ(test::ReadFileBytes(first.File(name)),
                  test::ReadFileBytes(second.Path() + "/made/on/the/way/" + name))
            << name;
}

TEST(KzmSample, UnwritableFolderAndUsageErrors)
{
    test::TempDir dir;
    dir.Write("file", {1, 2, 3});
    // A folder cannot be made inside a file (root may write anywhere else).
    const test::ToolRun blocked = test::RunKzm("sample '" + dir.File("file") + "/inside'");
    EXPECT_EQ(blocked.Status, 1);
    EXPECT_NE(blocked.Err.find("cannot"), std::string::npos) << blocked.Err;
    EXPECT_TRUE(blocked.Out.empty());

    EXPECT_EQ(test::RunKzm("sample").Status, 2);
    EXPECT_EQ(test::RunKzm("sample a b").Status, 2);
}

}  // namespace
}  // namespace kzm
