// A picture of a whole map: where tiles land, which layers show, scale and
// fit, mirroring, transparency, and bands that give the pixels one large
// display would.
#include "render/WholeMapPicture.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "render/TestBedView.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/MapFixtures.h"

namespace kzm {
namespace {

using test::kBlue;
using test::kClear;
using test::kGreen;
using test::kRed;
using test::kWhite;
using test::MakeTile;
using test::Rgba;

// Frames: 0 red, 1 green, 2 blue, 3 white with a transparent 16 x 16 hole.
Ref<TRKLevel> Level(int columns = 4, int rows = 3, int layers = 2)
{
    auto level = std::make_shared<TRKLevel>();
    TRKMapDimensions& d = *level->Dimensions;
    d.Columns = columns;
    d.Rows = rows;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = layers;
    auto tileset = std::make_shared<TRKTileset>();
    tileset->FrameWidth = tileset->FrameHeight = 32;
    tileset->Image = test::SolidFrames(32, 32, {kRed, kGreen, kBlue, kWhite});
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            test::SetFramePixel(*tileset->Image, 3, x, y, kClear);
    tileset->FrameCount = 4;
    level->AddTileset(tileset);
    return level;
}

struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Pixels;
    Rgba At(int x, int y) const { return test::PixelAt(Pixels, Width, x, y); }
};

Picture Draw(TRKLevel& level, const WholeMapOptions& options = {})
{
    const WholeMapPicture picture(level, options);
    EXPECT_EQ(picture.Problem(), WholeMapPicture::ProblemKind::None) << picture.ProblemText();
    Picture drawn{picture.Width(), picture.Height(), {}};
    int rows = 0;
    EXPECT_TRUE(picture.Draw([&](std::span<const std::uint8_t> row) {
        EXPECT_EQ(row.size(), static_cast<std::size_t>(drawn.Width) * 4);
        drawn.Pixels.insert(drawn.Pixels.end(), row.begin(), row.end());
        ++rows;
        return true;
    }));
    EXPECT_EQ(rows, drawn.Height);
    return drawn;
}

// Layer 0: blue at (0, 0) and (32, 32); layer 1: the holed white over the
// first and red at (64, 0); a green tile outside the grid.
Ref<TRKLevel> Layered()
{
    auto level = Level();
    level->AddTile(MakeTile(0, 0, 3, 1));
    level->AddTile(MakeTile(0, 0, 2, 0));
    level->AddTile(MakeTile(32, 32, 2, 0));
    level->AddTile(MakeTile(64, 0, 0, 1));
    level->AddTile(MakeTile(-40, 100, 1, 0));
    level->AddTile(MakeTile(96, 64, 1, 2));  // layer 2 of 2: never drawn
    return level;
}

TEST(WholeMapPicture, CoversTheGridWithTilesWhereTheEngineDrawsThem)
{
    auto level = Layered();
    const Picture p = Draw(*level);
    ASSERT_EQ(p.Width, 128);
    ASSERT_EQ(p.Height, 96);
    EXPECT_EQ(p.At(0, 0), kWhite);   // layer 1 over layer 0
    EXPECT_EQ(p.At(16, 16), kBlue);  // through the hole
    EXPECT_EQ(p.At(32, 32), kBlue);
    EXPECT_EQ(p.At(63, 63), kBlue);
    EXPECT_EQ(p.At(64, 0), kRed);
    EXPECT_EQ(p.At(95, 31), kRed);
    EXPECT_EQ(p.At(96, 0), kClear);    // nothing there: transparent
    EXPECT_EQ(p.At(100, 70), kClear);  // a layer at LayerCount is never drawn
}

struct LayerCase {
    const char* Name;
    std::vector<std::int32_t> Hidden;
    std::vector<std::int32_t> Shown;
    Rgba Corner;  // (0, 0): the white tile of layer 1 over blue
    Rgba Hole;    // (16, 16)
    Rgba Red;     // (64, 0), layer 1
    Rgba Lower;   // (32, 32), layer 0
};

class WholeMapLayers : public testing::TestWithParam<LayerCase> {};

TEST_P(WholeMapLayers, LeaveOutHiddenAndDrawOnlyShown)
{
    const LayerCase& c = GetParam();
    auto level = Layered();
    WholeMapOptions options;
    options.HiddenLayers = c.Hidden;
    options.ShownLayers = c.Shown;
    const Picture p = Draw(*level, options);
    EXPECT_EQ(p.At(0, 0), c.Corner);
    EXPECT_EQ(p.At(16, 16), c.Hole);
    EXPECT_EQ(p.At(64, 0), c.Red);
    EXPECT_EQ(p.At(32, 32), c.Lower);
    EXPECT_EQ(p.At(100, 70), kClear);
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeMapLayers,
                         testing::Values(LayerCase{"HideUpper", {1}, {}, kBlue, kBlue, kClear, kBlue},
                                         LayerCase{"HideLower", {0}, {}, kWhite, kClear, kRed, kClear},
                                         LayerCase{"ShowUpper", {}, {1}, kWhite, kClear, kRed, kClear},
                                         LayerCase{"ShowBothHideOne", {0}, {0, 1}, kWhite, kClear, kRed, kClear},
                                         LayerCase{"ShowBeyondLayerCount", {}, {2}, kClear, kClear, kClear, kClear}),
                         [](const testing::TestParamInfo<LayerCase>& info) { return info.param.Name; });

// Scale, tile size and size all give the half-size picture; fitting takes
// the tiles' own rectangle, the one outside the grid included.
TEST(WholeMapPicture, ScalesAndFits)
{
    auto level = Layered();
    for (WholeMapOptions options :
         {WholeMapOptions{.Scale = 0.5}, WholeMapOptions{.TileSize = 16}, WholeMapOptions{.Scale = 3, .Size = 64},
          WholeMapOptions{.TileSize = 64, .Size = 64}}) {
        options.Smoothing = false;
        const Picture p = Draw(*level, options);
        ASSERT_EQ(p.Width, 64);
        ASSERT_EQ(p.Height, 48);
        EXPECT_EQ(p.At(32, 0), kRed);
        EXPECT_EQ(p.At(47, 15), kRed);
        EXPECT_EQ(p.At(48, 0), kClear);
        EXPECT_EQ(p.At(8, 8), kBlue);
    }

    const WholeMapPicture fit(*level, WholeMapOptions{.FitTiles = true});
    EXPECT_EQ(fit.MapLeft(), -40);
    EXPECT_EQ(fit.MapTop(), 0);
    EXPECT_EQ(fit.MapRight(), 96);
    EXPECT_EQ(fit.MapBottom(), 132);
    const Picture p = Draw(*level, WholeMapOptions{.FitTiles = true});
    ASSERT_EQ(p.Width, 136);
    ASSERT_EQ(p.Height, 132);
    EXPECT_EQ(p.At(0, 100), kGreen);
    EXPECT_EQ(p.At(40, 0), kWhite);
}

TEST(WholeMapPicture, MirrorsNegativeScalesAndFillsTheBackground)
{
    auto level = Level(4, 1, 1);
    auto mirrored = MakeTile(64, 0, 3);
    mirrored->ScaleX = -1.0f;  // reaches left of its X: 32 to 64
    level->AddTile(mirrored);
    const Picture p = Draw(*level, WholeMapOptions{.Background = std::array<std::uint8_t, 3>{10, 20, 30}});
    const Rgba background{10, 20, 30, 255};
    EXPECT_EQ(p.At(31, 0), background);
    EXPECT_EQ(p.At(32, 0), kWhite);
    EXPECT_EQ(p.At(63, 31), kWhite);
    EXPECT_EQ(p.At(48, 16), background);  // the hole
    EXPECT_EQ(p.At(64, 0), background);
}

// A frame half covered by its own alpha keeps its colour and half its alpha,
// not the colour darkened by blending over nothing.
TEST(WholeMapPicture, PartlyTransparentPixelsKeepTheirColour)
{
    auto level = Level(1, 1, 1);
    auto* tileset = As<TRKTileset>(level->Tilesets->Entries()[0]);
    tileset->Image = test::SolidFrames(32, 32, {Rgba{200, 100, 50, 128}});
    tileset->FrameCount = 1;
    level->AddTile(MakeTile(0, 0, 0));
    const Rgba pixel = Draw(*level).At(5, 5);
    EXPECT_NEAR(pixel.R, 200, 2);
    EXPECT_NEAR(pixel.G, 100, 2);
    EXPECT_NEAR(pixel.B, 50, 2);
    EXPECT_NEAR(pixel.A, 128, 1);

    // Over a background the picture is opaque, as on the test bed's display.
    const Rgba over = Draw(*level, WholeMapOptions{.Background = std::array<std::uint8_t, 3>{0, 0, 0}}).At(5, 5);
    EXPECT_EQ(over.A, 255);
    EXPECT_NEAR(over.R, 100, 1);
    EXPECT_NEAR(over.G, 50, 1);
}

// Where every pixel is covered, the picture is what the engine draws on one
// plain display: partly transparent edges of a scaled, holed frame blended
// over the ground come out opaque and in the same colours.
TEST(WholeMapPicture, EqualsTheEngineOnOnePlainDisplay)
{
    auto level = Level(4, 3, 2);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            level->AddTile(MakeTile(x * 32, y * 32, (x + y) % 3, 0));
    auto scaled = MakeTile(10, 20, 3, 1);
    scaled->ScaleX = scaled->ScaleY = 2.0f;
    level->AddTile(scaled);
    auto mirrored = MakeTile(120, 40, 3, 1);
    mirrored->ScaleX = -1.0f;
    level->AddTile(mirrored);
    const Picture whole = Draw(*level);

    OffscreenDisplay display(128, 96);
    SetBlendMode(kBlendAlpha);
    TMapEngine engine;
    SetUpEngine(engine, *level, ViewRect{0, 0, 128, 96});
    engine.Draw();
    EXPECT_EQ(whole.Pixels, display.ReadPixels());
}

// Tiles scaled by odd amounts and mirrored, on a picture zoomed by an odd
// amount, drawn in bands a few rows tall whose edges cut through them: every
// pixel equals the picture drawn on one display.
TEST(WholeMapPicture, BandsGiveThePixelsOfOneDisplay)
{
    auto level = Level(12, 12, 2);
    // Every texel different, so that sampling one row off shows.
    Image& image = *As<TRKTileset>(level->Tilesets->Entries()[0])->Image;
    for (int frame = 0; frame < 4; ++frame)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                test::SetFramePixel(image, frame, x, y,
                                    Rgba{static_cast<std::uint8_t>(x * 8), static_cast<std::uint8_t>(y * 8),
                                         static_cast<std::uint8_t>(frame * 60 + (x ^ y)), 255});
    for (int i = 0; i < 60; ++i) {
        auto tile = MakeTile((i * 37) % 360, (i * 53) % 370, i % 4, i % 2);
        tile->ScaleX = (i % 3 == 0 ? -1.0f : 1.0f) * (0.75f + 0.25f * static_cast<float>(i % 5));
        tile->ScaleY = (i % 7 == 0 ? -1.0f : 1.0f) * (0.5f + 0.3f * static_cast<float>(i % 4));
        level->AddTile(tile);
    }
    for (bool smoothing : {true, false}) {
        WholeMapOptions options{.Scale = 0.73, .Smoothing = smoothing};
        const Picture whole = Draw(*level, options);
        ASSERT_EQ(whole.Height, 280);
        options.BandPixels = static_cast<std::int64_t>(whole.Width) * 37;  // the last band overlaps its neighbour
        const Picture banded = Draw(*level, options);
        ASSERT_EQ(banded.Pixels.size(), whole.Pixels.size());
        int differing = 0;
        for (std::size_t i = 0; i < whole.Pixels.size(); ++i)
            differing += whole.Pixels[i] != banded.Pixels[i];
        EXPECT_EQ(differing, 0) << "smoothing " << smoothing;
    }
}

TEST(WholeMapPicture, ProblemsAreFoundWhenPlanned)
{
    struct Case {
        const char* Name;
        int Columns;
        WholeMapOptions Options;
        WholeMapPicture::ProblemKind Kind;
    };
    using Kind = WholeMapPicture::ProblemKind;
    const Case cases[] = {
        {"EmptyGrid", 0, {}, Kind::Map},
        {"NothingToFit", 0, {.ShownLayers = {5}, .FitTiles = true}, Kind::Map},
        {"ScaleAbove16", 4, {.Scale = 16.5}, Kind::Usage},
        {"ScaleZero", 4, {.Scale = 0}, Kind::Usage},
        {"TileSizeAbove16Times", 4, {.TileSize = 32 * 17}, Kind::Usage},
        {"LargerThanTheLimit", 1100, {.Scale = 1}, Kind::Usage},
        {"FitOverAHugeScale", 4, {.FitTiles = true}, Kind::Map},
    };
    for (const Case& c : cases) {
        auto level = Level(c.Columns, 1, 1);
        level->AddTile(MakeTile(0, 0, 0));
        if (c.Options.FitTiles) {
            auto huge = MakeTile(0, 0, 0);
            huge->ScaleX = 1e30f;
            level->AddTile(huge);
        }
        const WholeMapPicture picture(*level, c.Options);
        EXPECT_EQ(picture.Problem(), c.Kind) << c.Name;
        EXPECT_FALSE(picture.ProblemText().empty()) << c.Name;
        EXPECT_FALSE(picture.Draw([](std::span<const std::uint8_t>) { return true; })) << c.Name;
    }
}

TEST(WholeMapPicture, ASinkThatRefusesARowStopsTheDrawing)
{
    auto level = Layered();
    const WholeMapPicture picture(*level, {});
    int rows = 0;
    EXPECT_FALSE(picture.Draw([&rows](std::span<const std::uint8_t>) { return ++rows < 10; }));
    EXPECT_EQ(rows, 10);
}

}  // namespace
}  // namespace kzm
