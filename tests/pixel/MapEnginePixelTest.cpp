// The map engine drawing into the offscreen display, set up as the test bed
// sets it up: where tiles land, what is culled, what covers what.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/MapFixtures.h"

namespace kzm {
namespace {

using test::kBlack;
using test::kBlue;
using test::kClear;
using test::kGreen;
using test::kRed;
using test::kWhite;
using test::Rgba;

// Frames of the tileset: 0 red, 1 green, 2 blue, 3 white with a transparent
// 16 x 16 hole in its middle (what black masking makes of a black square).
constexpr int kRedFrame = 0;
constexpr int kGreenFrame = 1;
constexpr int kBlueFrame = 2;
constexpr int kHoleFrame = 3;

Ref<Image> TilesetImage()
{
    auto image = test::SolidFrames(32, 32, {kRed, kGreen, kBlue, kWhite});
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            test::SetFramePixel(*image, kHoleFrame, x, y, kClear);
    return image;
}

class MapPixels : public testing::Test {
protected:
    explicit MapPixels(int width = 800, int height = 600) : Display(width, height)
    {
        Engine.SetViewport(100, 100, 800, 600);
        auto tileset = std::make_shared<TRKTileset>();
        tileset->Image = Picture;
        tileset->FrameWidth = tileset->FrameHeight = 32;
        Engine.AddTileset(tileset);
        Engine.SetScrollX(-300);
        Engine.SetScrollY(-500);
    }

    Ref<TRKTile> Add(std::int32_t x, std::int32_t y, std::int32_t frame, std::int32_t layer = 0)
    {
        auto tile = test::MakeTile(x, y, frame, layer);
        Engine.GetTiles()->Append(tile);
        return tile;
    }

    // One frame as the test bed draws it.
    void DrawFrame()
    {
        ClearFrame();
        SetBlendMode(kBlendAlpha);
        Engine.Draw();
        Pixels = Display.ReadPixels();
    }

    Rgba At(int x, int y) const { return test::PixelAt(Pixels, Display.Width(), x, y); }

    // Every pixel of the rectangle (right and bottom excluded) has the colour.
    testing::AssertionResult Filled(int left, int top, int right, int bottom, Rgba colour) const
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (At(x, y) != colour)
                    return testing::AssertionFailure() << At(x, y) << " at " << x << ", " << y;
        return testing::AssertionSuccess();
    }

    OffscreenDisplay Display;
    Ref<Image> Picture = TilesetImage();
    TMapEngine Engine;
    std::vector<std::uint8_t> Pixels;
};

// View left 100 and scroll -300 put X 320 at 120; top 100 and -500 put Y 640
// at 240.
TEST_F(MapPixels, ATileLandsAtItsScrolledPosition)
{
    Add(320, 640, kGreenFrame);
    Add(0, 0, kRedFrame);  // right edge -168: culled
    DrawFrame();
    EXPECT_TRUE(Filled(120, 240, 152, 272, kGreen));
    EXPECT_TRUE(Filled(119, 239, 153, 240, kBlack));
    EXPECT_TRUE(Filled(119, 272, 153, 273, kBlack));
    EXPECT_TRUE(Filled(119, 240, 120, 272, kBlack));
    EXPECT_TRUE(Filled(152, 240, 153, 272, kBlack));
    EXPECT_TRUE(Filled(0, 0, 800, 100, kBlack));  // nothing else drawn
}

struct Edge {
    const char* Name;
    std::int32_t X, Y;
    bool Drawn;
};

class CullEdges : public MapPixels, public testing::WithParamInterface<Edge> {
protected:
    CullEdges() : MapPixels(1000, 800) {}
};

// With no scroll a tile's right edge is X + 132 on screen, its left X + 100:
// the bounds 4 and 896 are both drawn, one pixel further is not. The display
// is larger than the view, so even the tiles at the margin show.
TEST_P(CullEdges, BoundsAreInclusive)
{
    const Edge& e = GetParam();
    Engine.SetScrollX(0);
    Engine.SetScrollY(0);
    Add(e.X, e.Y, kBlueFrame);
    DrawFrame();
    // A pixel the tile covers when drawn, clipped to the display.
    const int x = std::clamp(e.X + 100 + 16, 0, 999);
    const int y = std::clamp(e.Y + 100 + 16, 0, 799);
    const int px = e.X + 100 < 0 ? 1 : x;
    const int py = e.Y + 100 < 0 ? 1 : y;
    EXPECT_EQ(At(px, py), e.Drawn ? kBlue : kBlack);
}

INSTANTIATE_TEST_SUITE_P(Table, CullEdges,
                         testing::Values(Edge{"Left", -128, 0, true}, Edge{"PastLeft", -129, 0, false},
                                         Edge{"Right", 764, 0, true}, Edge{"PastRight", 765, 0, false},
                                         Edge{"Top", 0, -128, true}, Edge{"PastTop", 0, -129, false},
                                         Edge{"Bottom", 0, 564, true}, Edge{"PastBottom", 0, 565, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MapPixels, LaterTilesAndHigherLayersCoverEarlierOnes)
{
    Engine.SetLayerCount(2);
    Add(320, 640, kBlueFrame, 1);  // listed first, drawn last
    Add(320, 640, kRedFrame, 0);
    Add(336, 656, kGreenFrame, 0);  // overlaps the red tile's lower right quarter
    DrawFrame();
    EXPECT_TRUE(Filled(120, 240, 152, 272, kBlue));
    EXPECT_TRUE(Filled(152, 256, 168, 288, kGreen));
    EXPECT_TRUE(Filled(136, 272, 152, 288, kGreen));

    Engine.SetLayerCount(1);  // layer 1 no longer drawn
    DrawFrame();
    EXPECT_TRUE(Filled(120, 240, 152, 256, kRed));
    EXPECT_TRUE(Filled(136, 256, 168, 288, kGreen));
}

TEST_F(MapPixels, TransparentPixelsLetLowerLayersShowThrough)
{
    Engine.SetLayerCount(2);
    Add(320, 640, kHoleFrame, 1);
    Add(320, 640, kRedFrame, 0);
    DrawFrame();
    EXPECT_TRUE(Filled(128, 248, 144, 264, kRed));    // the hole
    EXPECT_TRUE(Filled(120, 240, 152, 248, kWhite));  // around it
    EXPECT_TRUE(Filled(120, 264, 152, 272, kWhite));
}

TEST_F(MapPixels, ScaleSetsTheDrawnSizeNotTheTileSize)
{
    Add(320, 640, kGreenFrame)->ScaleX = 2.0f;  // twice as wide
    auto mirrored = Add(420, 640, kBlueFrame);
    mirrored->ScaleX = -1.0f;  // reaches left of its position at 220
    mirrored->ScaleY = 2.0f;
    auto flat = Add(320, 700, kRedFrame);
    flat->ScaleX = flat->ScaleY = 0.0f;  // covers nothing
    DrawFrame();
    EXPECT_TRUE(Filled(120, 240, 184, 272, kGreen));
    EXPECT_TRUE(Filled(188, 240, 220, 304, kBlue));
    EXPECT_EQ(At(220, 240), kBlack);
    EXPECT_EQ(At(187, 240), kBlack);
    EXPECT_TRUE(Filled(110, 305, 160, 340, kBlack));
}

TEST_F(MapPixels, TheFirstTilesetWithTheIdWins)
{
    auto second = std::make_shared<TRKTileset>();
    second->Image = test::SolidFrames(32, 32, {kWhite, kWhite});
    Engine.GetTilesets()->Append(second);  // also Id 0, listed after
    Add(320, 640, kGreenFrame);
    DrawFrame();
    EXPECT_TRUE(Filled(120, 240, 152, 272, kGreen));
}

TEST_F(MapPixels, AnAbsentTilesetListDrawsNothing)
{
    Add(320, 640, kGreenFrame);
    Engine.SetTilesets(nullptr);
    DrawFrame();
    EXPECT_TRUE(Filled(0, 0, 800, 600, kBlack));
}

}  // namespace
}  // namespace kzm
