// The window display on an accelerated renderer. Under the dummy video
// driver only the software renderer exists and these tests skip; the
// end-to-end script test_accelerated_display.sh runs them under X, where
// the renderer is OpenGL.
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "platform/internal/DisplayContext.h"
#include "tests/support/ImageFixtures.h"

namespace kzm {
namespace {

using test::Rgba;

class AcceleratedDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        OpenDisplay(800, 600, 0, 60, 0);
        SDL_RendererInfo info;
        ASSERT_EQ(SDL_GetRendererInfo(ActiveDisplay()->Renderer, &info), 0);
        if (info.flags & SDL_RENDERER_SOFTWARE)
            GTEST_SKIP() << "needs an accelerated renderer; the software one is " << info.name;
    }
    void TearDown() override { CloseDisplay(); }

    std::vector<std::uint8_t> Pixels()
    {
        std::vector<std::uint8_t> pixels(800 * 600 * 4);
        SDL_RenderReadPixels(ActiveDisplay()->Renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), 800 * 4);
        return pixels;
    }
};

// A GPU filters across the source rectangle's edge: only the atlas borders
// keep a frame's neighbour out of it.
TEST_F(AcceleratedDisplay, FilteredFramesDoNotBleedIntoTheirNeighbours)
{
    const std::vector<Rgba> colours{test::kRed, test::kBlue, test::kRed, test::kGreen};
    auto image = test::SolidFrames(4, 4, colours);
    for (int frame = 0; frame < 4; ++frame) {
        ClearFrame();
        SetBlendMode(kBlendAlpha);
        SetDrawScale(2.5f, 3.3f);
        DrawImageFrame(image.get(), 10.4f, 10.7f, frame);
        SetDrawScale(-7.7f, 5.3f);
        DrawImageFrame(image.get(), 150.2f, 30.1f, frame);
        const auto pixels = Pixels();
        const Rgba want = colours[static_cast<std::size_t>(frame)];
        int drawn = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const Rgba pixel = test::PixelAt(pixels, 800, x, y);
                if (pixel == test::kBlack)
                    continue;
                ++drawn;
                // Edges may fade towards black, never towards another colour.
                ASSERT_TRUE((want.R || !pixel.R) && (want.G || !pixel.G) && (want.B || !pixel.B))
                    << "frame " << frame << " at " << x << ", " << y << ": " << pixel;
            }
        EXPECT_GT(drawn, 700) << "frame " << frame;  // about 130 + 650 pixels
        PresentFrame(1);
    }
}

// Mirrored and scaled quads land where the offscreen display puts them.
TEST_F(AcceleratedDisplay, PlacesFramesAsTheOffscreenDisplayDoes)
{
    auto image = test::SolidFrames(8, 6, {test::kWhite});
    SetBlendMode(kBlendAlpha);
    SetDrawScale(-2, 3);
    DrawImageFrame(image.get(), 40, 20, 0);  // covers 24..39 across, 20..37 down
    const auto pixels = Pixels();
    EXPECT_EQ(test::PixelAt(pixels, 800, 24, 20), test::kWhite);
    EXPECT_EQ(test::PixelAt(pixels, 800, 39, 37), test::kWhite);
    EXPECT_EQ(test::PixelAt(pixels, 800, 23, 25), test::kBlack);
    EXPECT_EQ(test::PixelAt(pixels, 800, 40, 25), test::kBlack);
    EXPECT_EQ(test::PixelAt(pixels, 800, 30, 38), test::kBlack);
}

}  // namespace
}  // namespace kzm
