// The map engine's list operations and the drawing calls it makes, recorded
// through a draw sink.
#include "render/TMapEngine.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "tests/support/MapFixtures.h"
#include "tests/support/RecordingSink.h"

namespace kzm {
namespace {

// The drawing calls, recorded while a Recorder lives.
using Call = test::DrawCall;
using Recorder = test::RecordingSink;
using test::FrameCall;
using test::ScaleCall;

Ref<Image> FramesImage(int count)
{
    auto image = std::make_shared<Image>();
    image->FrameWidth = image->FrameHeight = 32;
    image->FrameCount = count;
    return image;
}

Ref<TRKTileset> Tileset(std::int32_t id, Ref<Image> image)
{
    auto tileset = std::make_shared<TRKTileset>();
    tileset->Id = id;
    tileset->Image = std::move(image);
    return tileset;
}

Ref<TRKTile> Tile(std::int32_t x, std::int32_t y, std::int32_t layer = 0, std::int32_t tilesetId = 0,
                  std::int32_t frame = 0)
{
    return test::MakeTile(x, y, frame, layer, tilesetId);
}

// An engine as the world map sets it up: view 100, 100, 800, 600, one tileset
// of id 0 with an image of four frames.
class EngineTest : public testing::Test {
protected:
    EngineTest()
    {
        Engine.SetViewport(100, 100, 800, 600);
        Engine.AddTileset(Tileset(0, Picture));
    }
    Ref<TRKTile> Add(Ref<TRKTile> tile)
    {
        Engine.GetTiles()->Append(tile);
        return tile;
    }
    Ref<Image> Picture = FramesImage(4);
    TMapEngine Engine;
    Recorder Record;
};

TEST_F(EngineTest, ANewEngineDrawsNothing)
{
    TMapEngine fresh;
    fresh.Draw();
    EXPECT_TRUE(Record.Calls.empty());
    EXPECT_EQ(fresh.GetLayerCount(), 1);
    EXPECT_EQ(fresh.GetTiles()->Count(), 0);
    EXPECT_EQ(fresh.GetTilesets()->Count(), 0);
}

// The program's own view and scroll: the tile's top-left corner lands at
// X + ScrollX + ViewLeft, Y + ScrollY + ViewTop.
TEST_F(EngineTest, DrawsAtTheScrolledPositionInStepOrder)
{
    auto tile = Add(Tile(320, 640, 0, 0, 3));
    tile->ScaleX = 2.0f;
    tile->ScaleY = -0.5f;
    Add(Tile(0, 0));  // right -168: culled
    Engine.SetScrollX(-300);
    Engine.SetScrollY(-500);
    Engine.Draw();
    EXPECT_EQ(Record.Calls, (std::vector<Call>{ScaleCall(2.0f, -0.5f), FrameCall(Picture, 120.0f, 240.0f, 3)}));
}

struct Cull {
    const char* Name;
    std::int32_t X, Y, Width, Height;
    std::int32_t ScrollX = 0;
    bool Drawn;
};

class CullBounds : public EngineTest, public testing::WithParamInterface<Cull> {};

// With view 100, 100, 800, 600 and no scroll, right = X + Width + 100 must lie
// in ViewLeft - 3 Width to ViewRight + 3 Width, both included; likewise
// bottom. All sums wrap in 32 bits.
TEST_P(CullBounds, InclusiveBoundsWithAThreeTileMargin)
{
    const Cull& c = GetParam();
    auto tile = Add(Tile(c.X, c.Y));
    tile->Width = c.Width;
    tile->Height = c.Height;
    Engine.SetScrollX(c.ScrollX);
    Engine.Draw();
    EXPECT_EQ(Record.Calls.size(), c.Drawn ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CullBounds,
    testing::Values(Cull{"LeftEdgeIn", -128, 0, 32, 32, 0, true}, Cull{"LeftEdgeOut", -129, 0, 32, 32, 0, false},
                    Cull{"RightEdgeIn", 764, 0, 32, 32, 0, true}, Cull{"RightEdgeOut", 765, 0, 32, 32, 0, false},
                    Cull{"TopEdgeIn", 0, -128, 32, 32, 0, true}, Cull{"TopEdgeOut", 0, -129, 32, 32, 0, false},
                    Cull{"BottomEdgeIn", 0, 564, 32, 32, 0, true}, Cull{"BottomEdgeOut", 0, 565, 32, 32, 0, false},
                    Cull{"MarginIsTheTilesOwnSize", -300, 0, 100, 32, 0, true},
                    Cull{"ZeroSizeAtTheViewCorner", 0, 0, 0, 0, 0, true},
                    Cull{"ZeroSizeAtTheFarCorner", 700, 500, 0, 0, 0, true},
                    Cull{"ZeroSizeJustLeft", -1, 0, 0, 0, 0, false}, Cull{"ZeroSizeJustBelow", 0, 501, 0, 0, 0, false},
                    // X + Width wraps to INT_MIN; adding ScrollX brings it back to 99.
                    Cull{"WrappedEdgeComesBack", INT_MAX, 0, 1, 32, INT_MAX, true},
                    // 3 x 2^30 wraps negative, so the right bound lies below the left.
                    Cull{"WrappedMarginShutsTheView", 0, 0, 1 << 30, 32, 0, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, WrappedPositionsReachThePlatformWrapped)
{
    Add(Tile(INT_MAX, 0))->Width = 1;
    Engine.SetScrollX(INT_MAX);
    Engine.Draw();
    ASSERT_EQ(Record.Calls.size(), 2u);
    EXPECT_EQ(Record.Calls[1], FrameCall(Picture, 98.0f, 100.0f, 0));  // right 99 - Width 1
}

struct Layering {
    const char* Name;
    std::int32_t LayerCount;
    std::vector<float> Xs;  // drawn tiles, named by their X
};

class LayerOrder : public EngineTest, public testing::WithParamInterface<Layering> {};

// Tiles, in list order: X 1 on layer 1, 2 on 0, 3 on 2, 4 on 0, 5 on -1,
// 6 on 1000000.
TEST_P(LayerOrder, LowerLayersFirstThenListOrder)
{
    for (auto [x, layer] : {std::pair{1, 1}, {2, 0}, {3, 2}, {4, 0}, {5, -1}, {6, 1000000}})
        Add(Tile(x, 0, layer));
    Engine.SetLayerCount(GetParam().LayerCount);
    Engine.Draw();
    std::vector<float> xs;
    for (float x : Record.FrameXs())
        xs.push_back(x - 100);
    EXPECT_EQ(xs, GetParam().Xs);
}

INSTANTIATE_TEST_SUITE_P(Table, LayerOrder,
                         testing::Values(Layering{"DefaultOne", 1, {2, 4}}, Layering{"Three", 3, {2, 4, 1, 3}},
                                         Layering{"Zero", 0, {}}, Layering{"Negative", -5, {}},
                                         Layering{"Smallest", INT_MIN, {}},
                                         Layering{"UpToTheHighLayer", 1000001, {2, 4, 1, 3, 6}},
                                         Layering{"Largest", INT_MAX, {2, 4, 1, 3, 6}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(EngineTest, DrawLayerIgnoresLayerCount)
{
    for (auto [x, layer] : {std::pair{1, -1}, {2, 0}, {3, -1}, {4, 7}})
        Add(Tile(x, 0, layer));
    Engine.SetLayerCount(0);
    Engine.DrawLayer(-1);
    EXPECT_EQ(Record.FrameXs(), (std::vector<float>{101, 103}));
    Record.Calls.clear();
    Engine.DrawLayer(0);
    Engine.DrawLayer(7);
    EXPECT_EQ(Record.FrameXs(), (std::vector<float>{102, 104}));
}

TEST_F(EngineTest, AnAbsentTilesetListDrawsNothing)
{
    Add(Tile(0, 0));
    Engine.SetTilesets(nullptr);
    Engine.Draw();
    Engine.DrawLayer(0);
    EXPECT_TRUE(Record.Calls.empty());
    // An absent tile list likewise.
    Engine.SetTilesets(std::make_shared<ObjectList>());
    Engine.SetTiles(nullptr);
    Engine.Draw();
    Engine.DrawLayer(0);
    EXPECT_TRUE(Record.Calls.empty());
}

// A tile that passes the cull always sets its scale, but only a tile whose
// tileset has an image holding its frame reaches DrawImageFrame.
TEST_F(EngineTest, TilesWithoutADrawableFrameSetTheirScaleOnly)
{
    auto withoutImage = Tileset(1, nullptr);
    Engine.AddTileset(withoutImage);
    auto noFrames = Tileset(2, FramesImage(0));
    Engine.AddTileset(noFrames);
    const struct {
        std::int32_t TilesetId, Frame;
    } undrawable[] = {{0, -1}, {0, 4}, {0, INT_MAX}, {1, 0}, {2, 0}, {99, 0}};
    for (const auto& u : undrawable) {
        auto tile = Add(Tile(0, 0, 0, u.TilesetId, u.Frame));
        tile->ScaleX = static_cast<float>(u.TilesetId);
    }
    Add(Tile(10, 0, 0, 0, 3))->ScaleX = 5.0f;
    Engine.Draw();
    std::vector<Call> expected;
    for (const auto& u : undrawable)
        expected.push_back(ScaleCall(static_cast<float>(u.TilesetId), 1.0f));
    expected.push_back(ScaleCall(5.0f, 1.0f));
    expected.push_back(FrameCall(Picture, 110.0f, 100.0f, 3));
    EXPECT_EQ(Record.Calls, expected);
}

// Nothing restores the scale after the last tile: it stays in force.
TEST_F(EngineTest, TheLastTilesScaleIsTheLastScaleSet)
{
    Add(Tile(0, 0))->ScaleX = 3.0f;
    auto last = Add(Tile(0, 0));
    last->ScaleX = 0.0f;
    last->ScaleY = -2.0f;
    Add(Tile(5000, 0))->ScaleX = 9.0f;  // culled: sets nothing
    Engine.Draw();
    ASSERT_FALSE(Record.Calls.empty());
    EXPECT_EQ(Record.Calls.back().What, Call::Frame);
    EXPECT_EQ(Record.Calls[Record.Calls.size() - 2], ScaleCall(0.0f, -2.0f));
}

TEST_F(EngineTest, TheFirstTilesetWithTheIdSuppliesTheImage)
{
    auto other = FramesImage(4);
    // Elements of other classes are passed over in either list.
    auto tilesets = std::make_shared<ObjectList>();
    tilesets->Append(std::make_shared<TRKTile>());
    tilesets->Append(Tileset(0, other));
    tilesets->Append(Tileset(0, Picture));
    Engine.SetTilesets(tilesets);
    Engine.GetTiles()->Append(std::make_shared<TRKTileset>());
    Engine.GetTiles()->Append(Tile(0, 0));
    Engine.Draw();
    ASSERT_EQ(Record.FrameXs().size(), 1u);
    EXPECT_EQ(Record.Calls[1].Picture, other.get());
    EXPECT_EQ(Engine.FindTilesetImage(tilesets, *Tile(0, 0, 0, 7)), nullptr);
}

// Draw and DrawLayer find images through the virtual slot.
class CountingEngine : public TMapEngine {
public:
    Ref<Image> FindTilesetImage(const Ref<ObjectList>&, const TRKTile& tile) override
    {
        Asked.push_back(tile.X);
        return Replacement;
    }
    std::vector<std::int32_t> Asked;
    Ref<Image> Replacement = FramesImage(1);
};

TEST_F(EngineTest, ADerivedEngineCanFindImagesItsOwnWay)
{
    CountingEngine engine;
    engine.SetViewport(100, 100, 800, 600);
    engine.GetTiles()->Append(Tile(1, 0));
    engine.GetTiles()->Append(Tile(2, 0, 0, 55));
    engine.GetTiles()->Append(Tile(5000, 0));  // culled before the search
    engine.Draw();
    engine.DrawLayer(0);
    EXPECT_EQ(engine.Asked, (std::vector<std::int32_t>{1, 2, 1, 2}));
    EXPECT_EQ(Record.FrameXs(), (std::vector<float>{101, 102, 101, 102}));
    EXPECT_EQ(Record.Calls[1].Picture, engine.Replacement.get());
}

// A pass that adds a tile of a higher layer, or moves one there, sees it drawn
// in that layer's pass, as a walk of every layer would.
TEST_F(EngineTest, TilesAddedWhileDrawingAreDrawnInTheirLayer)
{
    class Growing : public TMapEngine {
    public:
        Ref<Image> FindTilesetImage(const Ref<ObjectList>& tilesets, const TRKTile& tile) override
        {
            if (tile.X == 1) {
                GetTiles()->Append(Tile(2, 0, 3));
                Moved->Layer = 2;
            }
            return TMapEngine::FindTilesetImage(tilesets, tile);
        }
        Ref<TRKTile> Moved = Tile(4, 0, 9);
    } engine;
    engine.SetViewport(100, 100, 800, 600);
    engine.AddTileset(Tileset(0, Picture));
    engine.GetTiles()->Append(engine.Moved);
    engine.GetTiles()->Append(Tile(1, 0, 0));
    engine.SetLayerCount(5);
    engine.Draw();
    EXPECT_EQ(Record.FrameXs(), (std::vector<float>{101, 104, 102}));
}

TEST_F(EngineTest, RemoveTilesetTakesEveryTileOfItsIdAndItsFirstEntry)
{
    auto removed = Tileset(5, nullptr);
    auto sameId = Tileset(5, nullptr);
    auto kept = Tileset(6, nullptr);
    auto a = Tile(0, 0, 0, 5);
    auto b = Tile(0, 0, 0, 6);
    auto foreignTile = std::make_shared<TRKTileset>();
    foreignTile->Id = 5;  // a tileset in the tile list is not a tile
    auto foreignSet = std::make_shared<TRKTile>();
    foreignSet->TilesetId = 5;
    auto tiles = std::make_shared<ObjectList>();
    for (const Ref<Object>& entry : std::vector<Ref<Object>>{a, foreignTile, a, b, a, Tile(0, 0, 0, 5)})
        tiles->Append(entry);
    auto tilesets = std::make_shared<ObjectList>();
    for (const Ref<Object>& entry : std::vector<Ref<Object>>{foreignSet, removed, kept, sameId, removed})
        tilesets->Append(entry);
    Engine.SetTiles(tiles);
    Engine.SetTilesets(tilesets);

    Engine.RemoveTileset(removed);
    EXPECT_EQ(tiles->Entries(), (std::vector<Ref<Object>>{foreignTile, b}));
    EXPECT_EQ(tilesets->Entries(), (std::vector<Ref<Object>>{foreignSet, kept, sameId, removed}));

    // A tileset that is not in the list still takes its tiles with it.
    auto stranger = Tileset(6, nullptr);
    Engine.RemoveTileset(stranger);
    EXPECT_EQ(tiles->Entries(), (std::vector<Ref<Object>>{foreignTile}));
    EXPECT_EQ(tilesets->Count(), 4);
}

// The engine holds the very lists it is given, never copies.
TEST_F(EngineTest, ListsAreSharedNotCopied)
{
    auto tiles = std::make_shared<ObjectList>();
    std::weak_ptr<ObjectList> watch = tiles;
    Engine.SetTiles(tiles);
    tiles.reset();
    Engine.SetTiles(Engine.GetTiles());  // the list already held
    Engine.SetTilesets(Engine.GetTilesets());
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(Engine.GetTiles(), watch.lock());
    EXPECT_EQ(Engine.GetTilesets()->Count(), 1);
    // Added through the list after SetTiles: drawn.
    watch.lock()->Append(Tile(7, 0));
    Engine.Draw();
    EXPECT_EQ(Record.FrameXs(), (std::vector<float>{107}));
    Engine.SetTiles(std::make_shared<ObjectList>());
    EXPECT_TRUE(watch.expired());
}

TEST(TMapEngine, ReleasesTilesThenTilesets)
{
    static std::vector<std::string> released;
    struct NamedList : ObjectList {
        explicit NamedList(std::string name) : Name(std::move(name)) {}
        ~NamedList() override { released.push_back(Name); }
        std::string Name;
    };
    {
        TMapEngine engine;
        engine.SetTilesets(std::make_shared<NamedList>("tilesets"));
        engine.SetTiles(std::make_shared<NamedList>("tiles"));
    }
    EXPECT_EQ(released, (std::vector<std::string>{"tiles", "tilesets"}));
}

// The world map passes rows first, and the viewport's left and top first.
TEST(TMapEngine, SetMapSizeAndSetViewportTakeTheirArgumentsInOrder)
{
    TMapEngine engine;
    engine.SetMapSize(7, 9);
    engine.SetViewport(1, 2, 3, 4);
    EXPECT_EQ(engine.GetMapRows(), 7);
    EXPECT_EQ(engine.GetMapColumns(), 9);
    EXPECT_EQ((std::vector<int>{engine.ViewLeft, engine.ViewTop, engine.ViewRight, engine.ViewBottom}),
              (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace kzm
