// The display's view: zoom, origin and whole-pixel shift applied to every
// frame; the transparent clear and the read-back that keeps alpha.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "tests/support/ImageFixtures.h"

namespace kzm {
namespace {

using test::kClear;
using test::kGreen;
using test::Rgba;

struct Covered {
    int Left = 64, Top = 64, Right = -1, Bottom = -1;  // right and bottom excluded
};

// Where a green 8 x 6 frame drawn at (x, y) lands on a transparent 64 x 48
// display under the view.
Covered Draw(const DisplayView* view, float x, float y, float scale = 1.0f)
{
    OffscreenDisplay display(64, 48);
    display.ClearTo(0, 0, 0, 0);
    SetBlendMode(kBlendAlpha);
    SetDrawSmoothing(false);
    if (view)
        SetDisplayView(*view);
    SetDrawScale(scale, scale);
    auto image = test::SolidFrames(8, 6, {kGreen});
    DrawImageFrame(image.get(), x, y, 0);
    const std::vector<std::uint8_t> pixels = display.ReadPixelsWithAlpha(0, 48);
    Covered c;
    for (int py = 0; py < 48; ++py)
        for (int px = 0; px < 64; ++px)
            if (test::PixelAt(pixels, 64, px, py) == kGreen) {
                c.Left = std::min(c.Left, px);
                c.Top = std::min(c.Top, py);
                c.Right = std::max(c.Right, px + 1);
                c.Bottom = std::max(c.Bottom, py + 1);
            } else {
                EXPECT_EQ(test::PixelAt(pixels, 64, px, py), kClear) << px << ", " << py;
            }
    return c;
}

TEST(DisplayView, ZoomsFromTheOriginAndShiftsByWholePixels)
{
    const DisplayView zoomed{2.0, 4.0, 1.0, 0, 0};
    const Covered a = Draw(&zoomed, 6.0f, 3.0f);  // (6 - 4) x 2, (3 - 1) x 2
    EXPECT_EQ(a.Left, 4);
    EXPECT_EQ(a.Top, 4);
    EXPECT_EQ(a.Right, 20);
    EXPECT_EQ(a.Bottom, 16);

    // Edges snap down in the plane before the shift, so a frame ending at
    // 0.75 x 10 = 7.5 covers 7 pixels whatever the shift.
    const DisplayView shifted{0.75, 0.0, 0.0, 0, 3};
    const Covered b = Draw(&shifted, 0.0f, 8.0f, 1.25f);  // 10 x 7.5 in the plane: 8 to 15.5 down
    EXPECT_EQ(b.Left, 0);
    EXPECT_EQ(b.Right, 7);
    EXPECT_EQ(b.Top, 6 - 3);      // floor(8 x 0.75) - 3
    EXPECT_EQ(b.Bottom, 11 - 3);  // floor(15.5 x 0.75) - 3
}

// A zoom that is not a finite number above 0 leaves frames where they are
// drawn, as no view does; so does a newly opened display.
TEST(DisplayView, ABadZoomOrANewDisplayClearsTheView)
{
    const double bad[] = {0.0, -1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    for (double zoom : bad) {
        const DisplayView view{zoom, 5.0, 5.0, 0, 0};
        const Covered c = Draw(&view, 10.0f, 10.0f);
        EXPECT_EQ(c.Left, 10) << zoom;
        EXPECT_EQ(c.Right, 18) << zoom;
    }
    const DisplayView view{3.0, 0.0, 0.0, 0, 0};
    SetDisplayView(view);
    const Covered c = Draw(nullptr, 10.0f, 10.0f);  // a new display in Draw
    EXPECT_EQ(c.Left, 10);
    EXPECT_EQ(c.Bottom, 16);
}

TEST(DisplayView, ReadingRowsWithAlphaRefusesRowsOutsideTheDisplay)
{
    OffscreenDisplay display(4, 4);
    display.ClearTo(10, 20, 30, 0);
    EXPECT_EQ(display.ReadPixelsWithAlpha(0, 4).size(), 64u);
    EXPECT_EQ(test::PixelAt(display.ReadPixelsWithAlpha(3, 1), 4, 0, 0), (Rgba{10, 20, 30, 0}));
    for (auto [top, count] : {std::pair{-1, 2}, {3, 2}, {0, 0}, {0, 5}})
        EXPECT_TRUE(display.ReadPixelsWithAlpha(top, count).empty()) << top << ", " << count;
}

}  // namespace
}  // namespace kzm
