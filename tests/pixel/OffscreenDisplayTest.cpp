// What DrawImageFrame puts on the offscreen display: placement, size,
// mirroring, blending, filtering without bleeding, and the draws it refuses.
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "platform/internal/DisplayContext.h"
#include "platform/internal/ImageTextures.h"
#include "tests/support/ImageFixtures.h"

namespace kzm {
namespace {

using test::kBlack;
using test::kBlue;
using test::kClear;
using test::kGreen;
using test::kRed;
using test::kWhite;
using test::PixelAt;
using test::Rgba;
using test::SolidFrames;

bool Near(Rgba a, Rgba b, int tolerance)
{
    return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance && std::abs(a.B - b.B) <= tolerance;
}

bool AllBlack(const std::vector<std::uint8_t>& pixels)
{
    for (std::size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] != (i % 4 == 3 ? 255 : 0))
            return false;
    return !pixels.empty();
}

// Draws on a fresh display of the given size with blend mode 3 and returns
// the pixels.
class Canvas {
public:
    Canvas(int width = 64, int height = 48) : Display(width, height) { SetBlendMode(kBlendAlpha); }
    Rgba At(int x, int y) { return PixelAt(Pixels(), Display.Width(), x, y); }
    const std::vector<std::uint8_t>& Pixels()
    {
        Cached = Display.ReadPixels();
        return Cached;
    }
    OffscreenDisplay Display;

private:
    std::vector<std::uint8_t> Cached;
};

struct Placement {
    const char* Name;
    float ScaleX, ScaleY;
    float X, Y;
    int Left, Top, Right, Bottom;  // covered pixels, right and bottom excluded
};

class FramePlacement : public testing::TestWithParam<Placement> {};

// The frame covers frame size x scale from its position, and a negative
// scale makes it reach left of (above) the position instead.
TEST_P(FramePlacement, CoversFrameSizeTimesScale)
{
    const Placement& p = GetParam();
    Canvas canvas;
    auto image = SolidFrames(8, 6, {kGreen});
    SetDrawScale(p.ScaleX, p.ScaleY);
    DrawImageFrame(image.get(), p.X, p.Y, 0);
    const auto& pixels = canvas.Pixels();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool inside = x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom;
            ASSERT_EQ(PixelAt(pixels, 64, x, y), inside ? kGreen : kBlack) << "at " << x << ", " << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Scales, FramePlacement,
                         testing::Values(Placement{"One", 1, 1, 10, 20, 10, 20, 18, 26},
                                         Placement{"Two", 2, 2, 10, 20, 10, 20, 26, 32},
                                         Placement{"Half", 0.5f, 0.5f, 10, 20, 10, 20, 14, 23},
                                         Placement{"Unequal", 3, 1, 10, 20, 10, 20, 34, 26},
                                         Placement{"MirroredAcross", -1, 1, 10, 20, 2, 20, 10, 26},
                                         Placement{"MirroredDown", 1, -1, 10, 20, 10, 14, 18, 20},
                                         Placement{"MirroredTwiceAtTwo", -2, -2, 30, 30, 14, 18, 30, 30},
                                         Placement{"PartlyOffTheTopLeft", 1, 1, -4, -3, 0, 0, 4, 3},
                                         Placement{"ZeroCoversNothing", 0, 0, 10, 20, 0, 0, 0, 0},
                                         Placement{"ZeroOneWayCoversNothing", 0, 1, 10, 20, 0, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(OffscreenDisplay, MirroringFlipsTheFrameAboutItsPosition)
{
    Canvas canvas;
    // Left half red, right half blue; top half of the right half green.
    auto image = SolidFrames(8, 8, {kRed});
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            test::SetFramePixel(*image, 0, x, y, y < 4 ? kGreen : kBlue);
    SetDrawScale(-1, 1);
    DrawImageFrame(image.get(), 20, 10, 0);  // covers 12..19 across
    SetDrawScale(1, -1);
    DrawImageFrame(image.get(), 40, 30, 0);  // covers 22..29 down
    EXPECT_EQ(canvas.At(12, 10), kGreen);
    EXPECT_EQ(canvas.At(12, 17), kBlue);
    EXPECT_EQ(canvas.At(19, 10), kRed);
    EXPECT_EQ(canvas.At(47, 22), kBlue);
    EXPECT_EQ(canvas.At(47, 29), kGreen);
    EXPECT_EQ(canvas.At(40, 25), kRed);
}

// Neighbouring frames of one image share textures: filtered at a scale that
// is not a whole number, a frame must still show none of its neighbour's
// colour, at its edges least of all.
TEST(OffscreenDisplay, FilteredFramesDoNotBleedIntoTheirNeighbours)
{
    const std::vector<Rgba> colours{kRed, kBlue, kRed, kGreen};
    auto image = SolidFrames(4, 4, colours);
    for (int frame = 0; frame < 4; ++frame) {
        Canvas canvas;
        SetDrawScale(2.5f, 3.3f);
        DrawImageFrame(image.get(), 10.4f, 10.7f, frame);
        SetDrawScale(-1.7f, 1.3f);
        DrawImageFrame(image.get(), 50.2f, 30.1f, frame);
        const auto& pixels = canvas.Pixels();
        int drawn = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const Rgba pixel = PixelAt(pixels, 64, x, y);
                if (pixel == kBlack)
                    continue;
                ++drawn;
                ASSERT_EQ(pixel, colours[frame]) << "frame " << frame << " at " << x << ", " << y;
            }
        EXPECT_GT(drawn, 100) << "frame " << frame;
    }
}

// The software renderer never samples outside the source rectangle, so the
// test above cannot fail on it; a GPU samples across it when filtering. What
// keeps the GPU from bleeding is the border around each frame in the atlas:
// copy a whole atlas page out and look at it.
TEST(OffscreenDisplay, AtlasBordersRepeatEachFramesEdges)
{
    auto image = SolidFrames(3, 2, {kRed, kBlue, kGreen});
    test::SetFramePixel(*image, 1, 0, 0, kWhite);
    Canvas canvas(32, 16);
    DisplayContext* display = ActiveDisplay();
    ASSERT_NE(display, nullptr);
    ImageTextures* textures = ImageTextures::For(*image, *display);
    ASSERT_NE(textures, nullptr);
    SDL_Rect source[3];
    SDL_Texture* page = nullptr;
    for (int frame = 0; frame < 3; ++frame) {
        page = textures->Frame(*image, frame, false, source[frame]);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(source[frame].w, 3);
        EXPECT_EQ(source[frame].h, 2);
    }
    int width = 0, height = 0;
    SDL_QueryTexture(page, nullptr, nullptr, &width, &height);
    ASSERT_LE(width, 32);
    ASSERT_LE(height, 16);
    SDL_SetTextureBlendMode(page, SDL_BLENDMODE_NONE);
    SDL_Rect whole{0, 0, width, height};
    SDL_RenderCopy(display->Renderer, page, nullptr, &whole);
    const auto& pixels = canvas.Pixels();
    const Rgba colours[] = {kRed, kBlue, kGreen};
    for (int frame = 0; frame < 3; ++frame) {
        const SDL_Rect& r = source[frame];
        // The ring of pixels around the frame is the frame's own edge.
        for (int y = r.y - 1; y <= r.y + r.h; ++y)
            for (int x = r.x - 1; x <= r.x + r.w; ++x) {
                const bool whiteCorner = frame == 1 && x <= r.x && y <= r.y;
                EXPECT_EQ(PixelAt(pixels, 32, x, y), whiteCorner ? kWhite : colours[frame])
                    << "frame " << frame << " at " << x << ", " << y;
            }
    }
}

TEST(OffscreenDisplay, FilteringInterpolatesWithinAFrame)
{
    Canvas canvas;
    auto image = SolidFrames(2, 1, {kBlack});
    test::SetFramePixel(*image, 0, 1, 0, kWhite);
    SetDrawScale(16, 1);
    DrawImageFrame(image.get(), 0, 0, 0);
    // Between the two texel centres (8 and 24) the grey rises gradually.
    EXPECT_EQ(canvas.At(2, 0), kBlack);
    EXPECT_EQ(canvas.At(30, 0), kWhite);
    const Rgba middle = canvas.At(16, 0);
    EXPECT_GT(middle.R, 60);
    EXPECT_LT(middle.R, 200);
}

struct Blending {
    const char* Name;
    int Mode;
    std::uint8_t Alpha;
    Rgba Expected;
};

class BlendModes : public testing::TestWithParam<Blending> {};

// A red frame of the given alpha over white.
TEST_P(BlendModes, CombineSourceAndDestinationAsNamed)
{
    const Blending& b = GetParam();
    Canvas canvas;
    auto white = SolidFrames(4, 4, {kWhite});
    auto red = SolidFrames(4, 4, {Rgba{255, 0, 0, b.Alpha}});
    SetBlendMode(kBlendSolid);
    DrawImageFrame(white.get(), 0, 0, 0);
    SetBlendMode(b.Mode);
    DrawImageFrame(red.get(), 0, 0, 0);
    EXPECT_PRED3(Near, canvas.At(1, 1), b.Expected, 2) << canvas.At(1, 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, BlendModes,
                         testing::Values(Blending{"AlphaOpaque", kBlendAlpha, 255, kRed},
                                         Blending{"AlphaHalf", kBlendAlpha, 128, Rgba{255, 127, 127}},
                                         Blending{"AlphaClear", kBlendAlpha, 0, kWhite},
                                         Blending{"MaskedBelowHalf", kBlendMask, 127, kWhite},
                                         Blending{"MaskedAtHalf", kBlendMask, 128, kRed},
                                         Blending{"MaskedClear", kBlendMask, 0, kWhite},
                                         Blending{"SolidIgnoresAlpha", kBlendSolid, 0, kRed}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A new display draws masked at scale 1 x 1, whatever was set before.
TEST(OffscreenDisplay, OpensWithTheDefaultDrawingState)
{
    auto image = SolidFrames(2, 2, {Rgba{255, 0, 0, 100}, Rgba{0, 0, 255, 200}});
    {
        Canvas earlier;
        SetDrawScale(5, 5);
    }
    OffscreenDisplay display(16, 16);
    DrawImageFrame(image.get(), 0, 0, 0);
    DrawImageFrame(image.get(), 4, 4, 1);
    const auto pixels = display.ReadPixels();
    EXPECT_EQ(PixelAt(pixels, 16, 0, 0), kBlack);  // alpha below one half: masked out
    EXPECT_EQ(PixelAt(pixels, 16, 5, 5), kBlue);   // above: drawn whole
    EXPECT_EQ(PixelAt(pixels, 16, 6, 6), kBlack);  // scale 1
}

TEST(OffscreenDisplay, ClearFrameBlackensTheBuffer)
{
    Canvas canvas(8, 8);
    auto image = SolidFrames(8, 8, {kWhite});
    DrawImageFrame(image.get(), 0, 0, 0);
    ASSERT_EQ(canvas.At(3, 3), kWhite);
    PresentFrame(1);
    EXPECT_EQ(canvas.At(3, 3), kWhite);  // the offscreen display keeps its one buffer
    ClearFrame();
    EXPECT_EQ(canvas.At(3, 3), kBlack);
}

// Draws the display must refuse without reading outside the image.
TEST(OffscreenDisplay, DrawsNothingForFramesTheImageCannotSupply)
{
    Canvas canvas(16, 16);
    auto image = SolidFrames(4, 4, {kWhite, kWhite});
    auto shortPixels = SolidFrames(4, 4, {kWhite, kWhite});
    shortPixels->FrameCount = 3;  // claims a frame its pixels do not hold
    auto noFrames = SolidFrames(4, 4, {});
    auto zeroSize = SolidFrames(4, 4, {kWhite});
    zeroSize->FrameWidth = 0;
    const struct {
        const Image* Picture;
        int Frame;
    } refused[] = {{nullptr, 0},           {image.get(), -1},   {image.get(), 2},   {image.get(), 1 << 30},
                   {shortPixels.get(), 2}, {noFrames.get(), 0}, {zeroSize.get(), 0}};
    for (const auto& draw : refused)
        DrawImageFrame(draw.Picture, 2, 2, draw.Frame);
    EXPECT_TRUE(AllBlack(canvas.Pixels()));
    EXPECT_EQ(canvas.At(3, 3), kBlack);
    DrawImageFrame(shortPixels.get(), 2, 2, 1);  // frames it does hold still draw
    EXPECT_EQ(canvas.At(3, 3), kWhite);
}

TEST(OffscreenDisplay, DrawsNothingForScalesThatAreNotNumbers)
{
    Canvas canvas(16, 16);
    auto image = SolidFrames(4, 4, {kWhite});
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (auto [sx, sy] : {std::pair{inf, 1.0f}, {1.0f, -inf}, {nan, 1.0f}, {1.0f, nan}}) {
        SetDrawScale(sx, sy);
        DrawImageFrame(image.get(), 2, 2, 0);
    }
    SetDrawScale(1, 1);
    DrawImageFrame(image.get(), nan, 2, 0);
    EXPECT_TRUE(AllBlack(canvas.Pixels()));
}

// A quad far larger than the display is cut down to the texels that show;
// what shows must match the uncut quad drawn on a display big enough to hold
// it whole.
TEST(OffscreenDisplay, HugeQuadsShowWhatTheWholeQuadWould)
{
    auto image = SolidFrames(8, 8, {kRed});
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            test::SetFramePixel(*image, 0, x, y,
                                Rgba{std::uint8_t(x * 30), std::uint8_t(y * 30), std::uint8_t(x < 4 ? 200 : 0)});
    for (float scale : {100.0f, -100.0f}) {
        const float x = scale > 0 ? -350.0f : 450.0f;  // covers -350 to 449 either way
        std::vector<Rgba> cut, whole;
        {
            Canvas small(200, 4);
            SetDrawScale(scale, 1);
            DrawImageFrame(image.get(), x, 0, 0);
            for (int i = 0; i < 200; ++i)
                cut.push_back(small.At(i, 2));
        }
        {
            Canvas large(800, 4);  // -350 is within one display width: drawn uncut
            SetDrawScale(scale, 1);
            DrawImageFrame(image.get(), x + 400, 0, 0);
            for (int i = 0; i < 200; ++i)
                whole.push_back(large.At(i + 400, 2));
        }
        for (int i = 0; i < 200; ++i)
            ASSERT_PRED3(Near, cut[i], whole[i], 3)
                << "scale " << scale << " at " << i << ": " << cut[i] << " vs " << whole[i];
    }
}

TEST(OffscreenDisplay, EnormousScalesEndQuickly)
{
    Canvas canvas(32, 32);
    auto image = SolidFrames(8, 8, {kWhite});
    for (float scale : {1e4f, -1e6f, 3e38f}) {
        SetDrawScale(scale, scale);
        DrawImageFrame(image.get(), 5, 5, 0);
        DrawImageFrame(image.get(), -2e9f, -2e9f, 0);
    }
    EXPECT_EQ(canvas.Pixels().size(), 32u * 32u * 4u);
}

// Frames beyond the first atlas page come from later pages.
TEST(OffscreenDisplay, DrawsFramesFromEveryAtlasPage)
{
    constexpr int kFrames = 700000;  // 1 x 1 frames fill more than one 2048 x 2048 page
    auto image = SolidFrames(1, 1, std::vector<Rgba>(kFrames, kBlack));
    const int probes[] = {0, 465123, 465124, kFrames - 1};
    const Rgba colours[] = {kRed, kGreen, kBlue, kWhite};
    for (int i = 0; i < 4; ++i)
        test::SetFramePixel(*image, probes[i], 0, 0, colours[i]);
    Canvas canvas(8, 1);
    for (int i = 0; i < 4; ++i)
        DrawImageFrame(image.get(), static_cast<float>(i), 0, probes[i]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(canvas.At(i, 0), colours[i]) << "frame " << probes[i];
}

// Textures belong to one renderer: an image drawn on a display that is gone
// must draw again on the next one, and letting go of it afterwards must not
// touch the old renderer's textures (the sanitizer build checks that).
TEST(OffscreenDisplay, ImagesOutliveTheDisplaysTheyWereDrawnOn)
{
    auto image = SolidFrames(4, 4, {kRed, kBlue});
    for (int round = 0; round < 3; ++round) {
        Canvas canvas(8, 8);
        DrawImageFrame(image.get(), 0, 0, round % 2);
        EXPECT_EQ(canvas.At(1, 1), round % 2 ? kBlue : kRed) << "round " << round;
    }
    auto second = SolidFrames(4, 4, {kGreen});
    {
        Canvas canvas(8, 8);
        DrawImageFrame(second.get(), 0, 0, 0);
    }
    second.reset();
    // With no display at all, drawing does nothing.
    DrawImageFrame(image.get(), 0, 0, 0);
    image.reset();
}

TEST(OffscreenDisplay, TheLatestDisplayTakesTheDrawing)
{
    auto image = SolidFrames(4, 4, {kRed});
    OffscreenDisplay first(8, 8);
    SetBlendMode(kBlendAlpha);
    DrawImageFrame(image.get(), 0, 0, 0);
    {
        OffscreenDisplay second(8, 8);
        DrawImageFrame(image.get(), 4, 4, 0);
        EXPECT_EQ(PixelAt(second.ReadPixels(), 8, 5, 5), kRed);
        EXPECT_EQ(PixelAt(second.ReadPixels(), 8, 1, 1), kBlack);
    }
    // The first keeps its picture but no longer receives draws.
    DrawImageFrame(image.get(), 4, 4, 0);
    const auto pixels = first.ReadPixels();
    EXPECT_EQ(PixelAt(pixels, 8, 1, 1), kRed);
    EXPECT_EQ(PixelAt(pixels, 8, 5, 5), kBlack);
}

TEST(OffscreenDisplay, RefusesSizesOutsideItsBounds)
{
    for (auto [w, h] : {std::pair{0, 10}, {10, -1}, {kMaxOffscreenSide + 1, 10}}) {
        OffscreenDisplay display(w, h);
        EXPECT_FALSE(display.IsOpen());
        EXPECT_EQ(display.Width(), 0);
        EXPECT_TRUE(display.ReadPixels().empty());
        EXPECT_FALSE(display.SavePng(u"unused.png"));
    }
    OffscreenDisplay display(3, 2);
    EXPECT_TRUE(display.IsOpen());
    EXPECT_EQ(display.ReadPixels(), (std::vector<std::uint8_t>{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255,
                                                               0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

}  // namespace
}  // namespace kzm
