#include <gtest/gtest.h>

#include "mapdata/TRKLevel.h"

namespace kzm {
namespace {

TEST(TRKTile, DefaultsPutTheTileInNoLayer)
{
    TRKTile tile;
    EXPECT_EQ(tile.Layer, -1);
    EXPECT_EQ(tile.ScaleX, 0.0f);
    EXPECT_EQ(tile.ScaleY, 0.0f);
    for (std::int32_t field : {tile.TilesetId, tile.Frame, tile.PropA, tile.PropB, tile.X, tile.Y, tile.Width,
                               tile.Height, tile.PropC, tile.PropD, tile.PropE, tile.PropF})
        EXPECT_EQ(field, 0);
    EXPECT_EQ(tile.PropG, 0.0f);
    EXPECT_EQ(tile.PropH, 0.0f);
}

TEST(TRKTile, CopyIsAnotherObjectWithEveryFieldEqual)
{
    TRKTile tile;
    tile.TilesetId = 1;
    tile.Frame = 2;
    tile.PropA = 3;
    tile.PropB = 4;
    tile.X = 5;
    tile.Y = 6;
    tile.Width = 7;
    tile.Height = 8;
    tile.ScaleX = 9.5f;
    tile.ScaleY = -10.5f;
    tile.Layer = 11;
    tile.PropC = 12;
    tile.PropD = 13;
    tile.PropE = 14;
    tile.PropF = 15;
    tile.PropG = 16.25f;
    tile.PropH = 17.75f;
    Ref<TRKTile> copy = tile.Copy();
    ASSERT_NE(copy.get(), &tile);
    EXPECT_EQ(std::tie(copy->TilesetId, copy->Frame, copy->PropA, copy->PropB, copy->X, copy->Y, copy->Width,
                       copy->Height, copy->ScaleX, copy->ScaleY, copy->Layer, copy->PropC, copy->PropD, copy->PropE,
                       copy->PropF, copy->PropG, copy->PropH),
              std::tie(tile.TilesetId, tile.Frame, tile.PropA, tile.PropB, tile.X, tile.Y, tile.Width, tile.Height,
                       tile.ScaleX, tile.ScaleY, tile.Layer, tile.PropC, tile.PropD, tile.PropE, tile.PropF, tile.PropG,
                       tile.PropH));
    copy->X = 99;
    EXPECT_EQ(tile.X, 5);
}

TEST(TRKMapDimensions, DefaultsHaveOneLayer)
{
    TRKMapDimensions d;
    EXPECT_EQ(d.GetLayerCount(), 1);
    EXPECT_EQ(d.GetName(), u"");
    EXPECT_EQ(d.GetSourcePath(), u"");
    EXPECT_EQ(d.PixelWidth(), 0);
    EXPECT_EQ(d.PixelHeight(), 0);
}

TEST(TRKMapDimensions, PixelSizesAreWrappingProducts)
{
    struct Case {
        std::int32_t Count, Size, Expected;
    };
    for (const Case& c : {Case{25, 32, 800}, Case{65536, 65536, 0}, Case{-3, 32, -96}, Case{0x40000000, 4, 0},
                          Case{0x7FFFFFFF, 2, -2}}) {
        TRKMapDimensions d;
        d.SetColumns(c.Count);
        d.SetTileWidth(c.Size);
        d.SetRows(c.Count);
        d.SetTileHeight(c.Size);
        EXPECT_EQ(d.PixelWidth(), c.Expected) << c.Count << " x " << c.Size;
        EXPECT_EQ(d.PixelHeight(), c.Expected) << c.Count << " x " << c.Size;
    }
}

TEST(TRKTileset, FrameSizeSettersChangeNothingElse)
{
    TRKTileset tileset;
    tileset.FrameCount = 6;
    tileset.SetFrameWidth(16);
    tileset.SetFrameHeight(8);
    tileset.SetImagePath(u"a.png");
    EXPECT_EQ(tileset.GetFrameWidth(), 16);
    EXPECT_EQ(tileset.GetFrameHeight(), 8);
    EXPECT_EQ(tileset.GetFrameCount(), 6);
    EXPECT_EQ(tileset.GetImage(), nullptr);
    EXPECT_EQ(tileset.GetImagePath(), u"a.png");
}

TEST(TRKLevel, NewLevelHasItsOwnDimensionsAndEmptyLists)
{
    TRKLevel a, b;
    EXPECT_NE(a.GetDimensions(), nullptr);
    EXPECT_NE(a.GetDimensions(), b.GetDimensions());
    EXPECT_NE(a.GetTiles(), b.GetTiles());
    EXPECT_EQ(a.TileCount(), 0);
    EXPECT_EQ(a.TilesetCount(), 0);
    EXPECT_EQ(a.GetLayerCount(), 1);
}

TEST(TRKLevel, RemoveTilesetTakesTheFirstOccurrenceOnly)
{
    TRKLevel level;
    auto tileset = std::make_shared<TRKTileset>();
    auto other = std::make_shared<TRKTileset>();
    level.AddTileset(tileset);
    level.AddTileset(other);
    level.AddTileset(tileset);
    EXPECT_EQ(level.TilesetCount(), 3);
    level.RemoveTileset(tileset);
    ASSERT_EQ(level.TilesetCount(), 2);
    EXPECT_EQ(level.GetTilesets()->Entries()[0], other);
    EXPECT_EQ(level.GetTilesets()->Entries()[1], tileset);
    level.RemoveTileset(std::make_shared<TRKTileset>());  // not in the list
    EXPECT_EQ(level.TilesetCount(), 2);
}

TEST(TRKLevel, RemoveTileGoesByIdentityNotContents)
{
    TRKLevel level;
    auto tile = std::make_shared<TRKTile>();
    tile->X = 4;
    level.AddTile(tile);
    level.RemoveTile(tile->Copy());
    EXPECT_EQ(level.TileCount(), 1);
    level.RemoveTile(tile);
    EXPECT_EQ(level.TileCount(), 0);
}

TEST(TRKLevel, ForwardingMethodsActOnTheCurrentDimensions)
{
    TRKLevel level;
    auto original = level.GetDimensions();
    auto d = std::make_shared<TRKMapDimensions>();
    d->SetLayerCount(4);
    level.SetDimensions(d);
    level.SetName(u"Isle");
    level.SetSourcePath(u"maps/isle.kzm");
    EXPECT_EQ(d->GetName(), u"Isle");
    EXPECT_EQ(d->GetSourcePath(), u"maps/isle.kzm");
    EXPECT_EQ(level.GetName(), u"Isle");
    EXPECT_EQ(level.GetSourcePath(), u"maps/isle.kzm");
    EXPECT_EQ(level.GetLayerCount(), 4);
    EXPECT_EQ(original->GetName(), u"");
}

TEST(TRKLevel, SetContentsReplacesAllThree)
{
    TRKLevel level;
    auto d = std::make_shared<TRKMapDimensions>();
    auto tilesets = std::make_shared<ObjectList>();
    auto tiles = std::make_shared<ObjectList>();
    level.SetContents(d, tilesets, tiles);
    EXPECT_EQ(level.GetDimensions(), d);
    EXPECT_EQ(level.GetTilesets(), tilesets);
    EXPECT_EQ(level.GetTiles(), tiles);
}

}  // namespace
}  // namespace kzm
