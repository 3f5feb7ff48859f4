#include "image/Image.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/PngWriter.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

using test::PngColour;
using test::PngLayout;
using test::PngSamples;
using test::WritePng;
using Rgba = std::array<int, 4>;

constexpr int kNoMask = 0;

Rgba PixelOf(const Image& image, int frame, int x, int y)
{
    const std::uint8_t* p = image.FramePixels(frame) + (static_cast<std::size_t>(y) * image.FrameWidth + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

// A colour that tells every pixel of pictures up to 4096 wide and high apart,
// and is never black.
PngSamples CoordinateColour(int x, int y)
{
    return {static_cast<std::uint16_t>(x & 255), static_cast<std::uint16_t>(y & 255),
            static_cast<std::uint16_t>(128 | (x >> 8) << 4 | y >> 8), 0};
}

std::vector<std::uint8_t> CoordinatePng(int width, int height)
{
    return WritePng({width, height, PngColour::Rgb}, CoordinateColour);
}

// ---- Decoding: every colour type and bit depth ends as 8-bit RGBA ----------

struct DecodeCase {
    std::string Name;
    PngLayout Layout;
    std::function<PngSamples(int, int)> Samples;
    std::function<Rgba(int, int)> Expected;
};

std::vector<std::uint8_t> PaletteOf(int entries)
{
    std::vector<std::uint8_t> palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back(static_cast<std::uint8_t>(i * 37));
        palette.push_back(static_cast<std::uint8_t>(255 - i));
        palette.push_back(static_cast<std::uint8_t>(i * 11 + 3));
    }
    return palette;
}

Rgba PaletteColour(int index, int alpha = 255)
{
    return {(index * 37) & 255, 255 - index, (index * 11 + 3) & 255, alpha};
}

std::vector<DecodeCase> DecodeCases()
{
    // Pictures of 7 x 5 and 13 x 11: rows that end inside a byte at low
    // depths, and interlace passes of uneven sizes.
    const auto grey = [](int depth, int scale) {
        const int levels = 1 << depth;
        return DecodeCase{"Grey" + std::to_string(depth),
                          {7, 5, PngColour::Grey, depth},
                          [=](int x, int y) { return PngSamples{static_cast<std::uint16_t>((x * 3 + y) % levels)}; },
                          [=](int x, int y) {
                              const int v = (x * 3 + y) % levels * scale;
                              return Rgba{v, v, v, 255};
                          }};
    };
    const auto palette = [](int depth) {
        const int entries = depth == 8 ? 256 : 1 << depth;
        return DecodeCase{"Palette" + std::to_string(depth),
                          {7, 5, PngColour::Palette, depth, false, PaletteOf(entries)},
                          [=](int x, int y) { return PngSamples{static_cast<std::uint16_t>((x * 5 + y) % entries)}; },
                          [=](int x, int y) { return PaletteColour((x * 5 + y) % entries); }};
    };
    const auto wide = [](int v) { return static_cast<std::uint16_t>(v * 257); };  // 8-bit v at 16 bits
    std::vector<DecodeCase> cases = {
        grey(1, 255),
        grey(2, 85),
        grey(4, 17),
        grey(8, 1),
        {"Grey16",
         {7, 5, PngColour::Grey, 16},
         [=](int x, int y) { return PngSamples{wide(x * 30 + y)}; },
         [](int x, int y) {
             return Rgba{x * 30 + y, x * 30 + y, x * 30 + y, 255};
         }},
        {"GreyAlpha8",
         {7, 5, PngColour::GreyAlpha, 8},
         [](int x, int y) {
             return PngSamples{static_cast<std::uint16_t>(x * 30), static_cast<std::uint16_t>(y * 50)};
         },
         [](int x, int y) {
             return Rgba{x * 30, x * 30, x * 30, y * 50};
         }},
        {"GreyAlpha16",
         {7, 5, PngColour::GreyAlpha, 16},
         [=](int x, int y) {
             return PngSamples{wide(x * 30), wide(y * 50)};
         },
         [](int x, int y) {
             return Rgba{x * 30, x * 30, x * 30, y * 50};
         }},
        {"Rgb8",
         {7, 5, PngColour::Rgb, 8},
         [](int x, int y) { return CoordinateColour(x, y); },
         [](int x, int y) {
             return Rgba{x, y, 128, 255};
         }},
        {"Rgb16",
         {7, 5, PngColour::Rgb, 16},
         [=](int x, int y) {
             return PngSamples{wide(x * 30), wide(y * 50), wide(x + y)};
         },
         [](int x, int y) {
             return Rgba{x * 30, y * 50, x + y, 255};
         }},
        {"Rgba8",
         {7, 5, PngColour::Rgba, 8},
         [](int x, int y) {
             return PngSamples{static_cast<std::uint16_t>(x * 30), static_cast<std::uint16_t>(y * 50),
                               static_cast<std::uint16_t>(x + y), static_cast<std::uint16_t>(255 - x * 10)};
         },
         [](int x, int y) {
             return Rgba{x * 30, y * 50, x + y, 255 - x * 10};
         }},
        {"Rgba16",
         {7, 5, PngColour::Rgba, 16},
         [=](int x, int y) {
             return PngSamples{wide(x * 30), wide(y * 50), wide(x + y), wide(255 - x * 10)};
         },
         [](int x, int y) {
             return Rgba{x * 30, y * 50, x + y, 255 - x * 10};
         }},
        palette(1),
        palette(2),
        palette(4),
        palette(8),
        // tRNS: per palette entry, or one transparent colour for grey and RGB.
        {"Palette4Transparency",
         {7, 5, PngColour::Palette, 4, false, PaletteOf(16), {0, 128}},
         [](int x, int y) { return PngSamples{static_cast<std::uint16_t>((x + y) % 16)}; },
         [](int x, int y) {
             const int index = (x + y) % 16;
             return PaletteColour(index, index == 0 ? 0 : index == 1 ? 128 : 255);
         }},
        {"Grey8Transparency",
         {7, 5, PngColour::Grey, 8, false, {}, {0, 40}},
         [](int x, int y) { return PngSamples{static_cast<std::uint16_t>((x + y) * 10)}; },
         [](int x, int y) {
             const int v = (x + y) * 10;
             return Rgba{v, v, v, v == 40 ? 0 : 255};
         }},
        {"Rgb8Transparency",
         {7, 5, PngColour::Rgb, 8, false, {}, {0, 3, 0, 2, 0, 128}},
         [](int x, int y) { return CoordinateColour(x, y); },
         [](int x, int y) {
             return Rgba{x, y, 128, x == 3 && y == 2 ? 0 : 255};
         }},
        {"Rgb16Transparency",
         {7, 5, PngColour::Rgb, 16, false, {}, {0x0C, 0x0C, 0x0D, 0x0D, 0x0E, 0x0E}},
         [=](int x, int y) {
             return PngSamples{wide(12 + x), wide(13 + y), wide(14)};
         },
         [](int x, int y) {
             return Rgba{12 + x, 13 + y, 14, x == 0 && y == 0 ? 0 : 255};
         }},
        // Interlaced: each pass's pixels must land in their own places.
        {"Rgb8Interlaced",
         {13, 11, PngColour::Rgb, 8, true},
         [](int x, int y) { return CoordinateColour(x, y); },
         [](int x, int y) {
             return Rgba{x, y, 128, 255};
         }},
        {"Grey1Interlaced",
         {13, 11, PngColour::Grey, 1, true},
         [](int x, int y) { return PngSamples{static_cast<std::uint16_t>((x * x + y) % 3 == 0)}; },
         [](int x, int y) {
             const int v = (x * x + y) % 3 == 0 ? 255 : 0;
             return Rgba{v, v, v, 255};
         }},
        // 16-bit samples that are no multiples of 257 round to the nearest
        // 8-bit value, in every pass.
        {"Rgb16Interlaced",
         {13, 11, PngColour::Rgb, 16, true},
         [](int x, int y) {
             return PngSamples{static_cast<std::uint16_t>(x * 5003 + y), static_cast<std::uint16_t>(y * 5953 + 128),
                               static_cast<std::uint16_t>(65535 - x * y * 401)};
         },
         [](int x, int y) {
             const auto scaled = [](int v) { return static_cast<int>(std::lround(v * 255.0 / 65535.0)); };
             return Rgba{scaled(x * 5003 + y), scaled(y * 5953 + 128), scaled(65535 - x * y * 401), 255};
         }},
        {"Rgba16Interlaced",
         {13, 11, PngColour::Rgba, 16, true},
         [=](int x, int y) {
             return PngSamples{wide(x * 19), wide(y * 23), wide(200), wide(x * 10 + y)};
         },
         [](int x, int y) {
             return Rgba{x * 19, y * 23, 200, x * 10 + y};
         }},
    };
    return cases;
}

class DecodeFormat : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFormat, GivesEightBitRgba)
{
    const DecodeCase& c = GetParam();
    const auto png = WritePng(c.Layout, c.Samples);
    const Ref<Image> image = DecodeImage(png, kNoMask);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width, c.Layout.Width);
    EXPECT_EQ(image->Height, c.Layout.Height);
    ASSERT_EQ(image->Pixels.size(), static_cast<std::size_t>(c.Layout.Width * c.Layout.Height * 4));
    for (int y = 0; y < c.Layout.Height; ++y)
        for (int x = 0; x < c.Layout.Width; ++x)
            ASSERT_EQ(PixelOf(*image, 0, x, y), c.Expected(x, y)) << "at (" << x << ", " << y << ")";
}

INSTANTIATE_TEST_SUITE_P(Image, DecodeFormat, ::testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return info.param.Name; });

// ---- Masking black ----------------------------------------------------------

TEST(ImageMasking, BlackBecomesTransparentWithItsNeighboursAverageColour)
{
    // Columns 0-2 with a black centre; column 3 all black, next to fewer
    // coloured pixels. (1, 0, 0) is nearly black and stays as it is.
    const Rgba picture[3][4] = {
        {{10, 0, 0}, {20, 0, 0}, {30, 0, 0}, {0, 0, 0}},
        {{40, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}},
        {{50, 0, 0}, {60, 3, 0}, {70, 0, 255}, {0, 0, 0}},
    };
    const auto png = WritePng({4, 3, PngColour::Rgb}, [&](int x, int y) {
        const Rgba& p = picture[y][x];
        return PngSamples{static_cast<std::uint16_t>(p[0]), static_cast<std::uint16_t>(p[1]),
                          static_cast<std::uint16_t>(p[2])};
    });
    const Ref<Image> image = DecodeImage(png, kDefaultImageFlags);
    ASSERT_TRUE(image);

    // Averages of the non-black neighbours, rounded to nearest.
    EXPECT_EQ(PixelOf(*image, 0, 1, 1), (Rgba{35, 0, 32, 0}));   // 281/8, 3/8, 255/8
    EXPECT_EQ(PixelOf(*image, 0, 3, 0), (Rgba{16, 0, 0, 0}));    // 31/2
    EXPECT_EQ(PixelOf(*image, 0, 3, 1), (Rgba{34, 0, 85, 0}));   // 101/3, 255/3
    EXPECT_EQ(PixelOf(*image, 0, 3, 2), (Rgba{36, 0, 128, 0}));  // 71/2, 255/2
    EXPECT_EQ(PixelOf(*image, 0, 2, 1), (Rgba{1, 0, 0, 255}));
    EXPECT_EQ(PixelOf(*image, 0, 0, 0), (Rgba{10, 0, 0, 255}));
    EXPECT_EQ(PixelOf(*image, 0, 2, 2), (Rgba{70, 0, 255, 255}));
}

TEST(ImageMasking, SixteenBitBlackIsTheStoredSamplesBeingZero)
{
    // Up to 128 in 65535 scales to 0, yet only 0 itself is the mask colour.
    struct Case {
        std::string Name;
        PngLayout Layout;
        std::vector<PngSamples> Row;
        std::vector<Rgba> Expected;
    };
    const std::vector<PngSamples> rgb = {{0, 0, 0}, {1, 0, 0}, {0, 0, 128}, {0, 129, 0}, {0, 0, 0}};
    // The last pixel, masked, takes the colour of its one neighbour.
    const std::vector<Rgba> rgbExpected = {{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 0, 255}, {0, 1, 0, 255}, {0, 1, 0, 0}};
    const Case cases[] = {
        {"Rgb16", {5, 1, PngColour::Rgb, 16}, rgb, rgbExpected},
        {"Rgb16Interlaced", {5, 1, PngColour::Rgb, 16, true}, rgb, rgbExpected},
        {"Grey16", {3, 1, PngColour::Grey, 16}, {{0}, {1}, {128}}, {{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 0, 255}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto png = WritePng(c.Layout, [&](int x, int) { return c.Row[static_cast<std::size_t>(x)]; });
        const Ref<Image> image = DecodeImage(png, kDefaultImageFlags);
        ASSERT_TRUE(image);
        for (int x = 0; x < c.Layout.Width; ++x)
            EXPECT_EQ(PixelOf(*image, 0, x, 0), c.Expected[static_cast<std::size_t>(x)]) << "at " << x;
    }
}

TEST(ImageMasking, AllBlackPictureStaysBlackAndTransparent)
{
    const auto png = WritePng({3, 2, PngColour::Rgb}, [](int, int) { return PngSamples{}; });
    const Ref<Image> image = DecodeImage(png, kDefaultImageFlags);
    ASSERT_TRUE(image);
    for (std::size_t i = 0; i < image->Pixels.size(); ++i)
        EXPECT_EQ(image->Pixels[i], 0) << i;
}

TEST(ImageMasking, OnlyPicturesWithoutAlphaChannelAreMasked)
{
    // Two pixels: black first (alpha 200 where the format has alpha), then a
    // colour. A tRNS chunk counts as an alpha channel even when it leaves the
    // black pixel opaque.
    struct Case {
        std::string Name;
        PngLayout Layout;
        PngSamples Black;
        PngSamples Colour;
        int ExpectedBlackAlpha;
    };
    const Case cases[] = {
        {"Rgb", {2, 1, PngColour::Rgb}, {0, 0, 0}, {9, 9, 9}, 0},
        {"Rgb16", {2, 1, PngColour::Rgb, 16}, {0, 0, 0}, {900, 9, 9}, 0},
        {"Grey", {2, 1, PngColour::Grey}, {0}, {9}, 0},
        {"Grey1", {2, 1, PngColour::Grey, 1}, {0}, {1}, 0},
        {"Palette", {2, 1, PngColour::Palette, 8, false, {0, 0, 0, 9, 9, 9}}, {0}, {1}, 0},
        {"Rgba", {2, 1, PngColour::Rgba}, {0, 0, 0, 200}, {9, 9, 9, 255}, 200},
        {"GreyAlpha", {2, 1, PngColour::GreyAlpha}, {0, 200}, {9, 255}, 200},
        {"RgbTransparency", {2, 1, PngColour::Rgb, 8, false, {}, {0, 9, 0, 9, 0, 9}}, {0, 0, 0}, {9, 9, 9}, 255},
        {"GreyTransparency", {2, 1, PngColour::Grey, 8, false, {}, {0, 9}}, {0}, {9}, 255},
        {"PaletteTransparency", {2, 1, PngColour::Palette, 8, false, {0, 0, 0, 9, 9, 9}, {255, 0}}, {0}, {1}, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto png = WritePng(c.Layout, [&](int x, int) { return x == 0 ? c.Black : c.Colour; });
        const Ref<Image> image = DecodeImage(png, kDefaultImageFlags);
        ASSERT_TRUE(image);
        EXPECT_EQ(PixelOf(*image, 0, 0, 0)[3], c.ExpectedBlackAlpha);
        const bool masked = c.ExpectedBlackAlpha == 0;
        // The second pixel keeps its alpha: 255, or 0 where tRNS names it.
        EXPECT_EQ(PixelOf(*image, 0, 1, 0)[3], masked || c.Layout.Transparency.empty() ? 255 : 0);
        // Without the flag nothing is masked.
        const Ref<Image> unmasked = DecodeImage(png, kNoMask);
        ASSERT_TRUE(unmasked);
        EXPECT_EQ(PixelOf(*unmasked, 0, 0, 0)[3], masked ? 255 : c.ExpectedBlackAlpha);
    }
}

TEST(ImageMasking, NeighboursComeFromTheWholePictureBeforeCutting)
{
    // Two 2 x 1 cells: the black pixel opening the second cell takes its
    // colour from the last pixel of the first.
    const auto png = WritePng({4, 1, PngColour::Rgb}, [](int x, int) {
        return x == 1 ? PngSamples{200, 100, 50} : x == 2 ? PngSamples{} : PngSamples{0, 0, 255};
    });
    const Ref<Image> strip = DecodeImageStrip(png, 2, 1, 0, 2, kDefaultImageFlags);
    ASSERT_TRUE(strip);
    EXPECT_EQ(PixelOf(*strip, 1, 0, 0), (Rgba{100, 50, 153, 0}));  // (200,100,50) and (0,0,255)
}

// ---- Cutting into frames ------------------------------------------------------

// Every pixel of every frame is the copy of its cell in the picture.
void ExpectFramesAreCells(const Image& strip, int firstFrame)
{
    const int columns = strip.Width / strip.FrameWidth;
    for (int k = 0; k < strip.FrameCount; ++k) {
        const int cell = firstFrame + k;
        const int left = cell % columns * strip.FrameWidth;
        const int top = cell / columns * strip.FrameHeight;
        for (int y = 0; y < strip.FrameHeight; ++y)
            for (int x = 0; x < strip.FrameWidth; ++x) {
                const PngSamples c = CoordinateColour(left + x, top + y);
                ASSERT_EQ(PixelOf(strip, k, x, y), (Rgba{c[0], c[1], c[2], 255}))
                    << "frame " << k << " at (" << x << ", " << y << ")";
            }
    }
}

TEST(ImageStrip, CellsAreNumberedLeftToRightThenTopToBottom)
{
    struct Case {
        int Width, Height, FrameWidth, FrameHeight, First, Count;
    };
    const Case cases[] = {
        {256, 128, 32, 32, 0, 32},  // 8 x 4 cells, all of them
        {100, 70, 32, 32, 0, 6},    // 3 x 2 cells; 4 columns and 6 rows of no frame
        {100, 70, 32, 32, 4, 2},    // the last two cells
        {100, 70, 32, 32, 6, 0},    // none, from just past the end
        {20, 20, 32, 32, 0, 0},     // smaller than one cell
        {30, 9, 10, 3, 1, 7},       // cells that are not square
        {40, 10, 41, 1, 0, 0},      // wider than the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Width << "x" << c.Height << " in " << c.FrameWidth << "x"
                                          << c.FrameHeight << " from " << c.First << " count " << c.Count);
        const auto png = CoordinatePng(c.Width, c.Height);
        const Ref<Image> strip = DecodeImageStrip(png, c.FrameWidth, c.FrameHeight, c.First, c.Count, kNoMask);
        ASSERT_TRUE(strip);
        EXPECT_EQ(strip->Width, c.Width);
        EXPECT_EQ(strip->Height, c.Height);
        EXPECT_EQ(strip->FrameWidth, c.FrameWidth);
        EXPECT_EQ(strip->FrameHeight, c.FrameHeight);
        EXPECT_EQ(strip->FrameCount, c.Count);
        ASSERT_EQ(strip->Pixels.size(), static_cast<std::size_t>(c.Count * c.FrameWidth * c.FrameHeight * 4));
        ExpectFramesAreCells(*strip, c.First);
    }
}

TEST(ImageStrip, FrameNineOf256By128StartsAt32And32)
{
    const Ref<Image> strip = DecodeImageStrip(CoordinatePng(256, 128), 32, 32, 0, 32, kDefaultImageFlags);
    ASSERT_TRUE(strip);
    EXPECT_EQ(PixelOf(*strip, 9, 0, 0), (Rgba{32, 32, 128, 255}));
    EXPECT_EQ(PixelOf(*strip, 9, 31, 31), (Rgba{63, 63, 128, 255}));
}

TEST(ImageStrip, RefusesImpossibleRequests)
{
    struct Case {
        const char* Name;
        int FrameWidth, FrameHeight, First, Count;
    };
    // The picture is 100 x 70: six whole 32 x 32 cells.
    const Case cases[] = {
        {"one frame too many", 32, 32, 0, 7},
        {"first past the last cell", 32, 32, 5, 2},
        {"a frame from a picture smaller than a cell", 101, 32, 0, 1},
        {"zero frame width", 0, 32, 0, 0},
        {"zero frame height", 32, 0, 0, 0},
        {"negative frame width", -32, 32, 0, 0},
        {"negative first frame", 32, 32, -1, 1},
        {"negative count", 32, 32, 0, -1},
        {"first + count past 32 bits", 32, 32, INT_MAX, INT_MAX},
        {"first + count wrapping to a small number", 1, 1, INT_MAX, 2},
    };
    const auto png = CoordinatePng(100, 70);
    for (const Case& c : cases)
        EXPECT_FALSE(DecodeImageStrip(png, c.FrameWidth, c.FrameHeight, c.First, c.Count, kDefaultImageFlags))
            << c.Name;
}

// ---- Files -----------------------------------------------------------------

TEST(ImageFile, WholePictureIsOneFrame)
{
    test::TempDir dir;
    const std::string path = dir.Write("tiles.png", CoordinatePng(5, 3));
    const Ref<Image> image = LoadImageFile(FromUtf8(path), kDefaultImageFlags);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width, 5);
    EXPECT_EQ(image->Height, 3);
    EXPECT_EQ(image->FrameWidth, 5);
    EXPECT_EQ(image->FrameHeight, 3);
    EXPECT_EQ(image->FrameCount, 1);
    EXPECT_EQ(PixelOf(*image, 0, 4, 2), (Rgba{4, 2, 128, 255}));
}

TEST(ImageFile, BackslashesCountAsSlashes)
{
    test::TempDir dir;
    const std::string path = dir.Write("tiles.png", CoordinatePng(64, 32));
    String windows = FromUtf8(path);
    std::replace(windows.begin(), windows.end(), u'/', u'\\');
    EXPECT_TRUE(LoadImageFile(windows, kDefaultImageFlags));
    const Ref<Image> strip = LoadImageStrip(windows, 32, 32, 0, 2, kDefaultImageFlags);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->FrameCount, 2);
    EXPECT_EQ(PixelOf(*strip, 1, 0, 0), (Rgba{32, 0, 128, 255}));
}

TEST(ImageFile, MissingOrUnreadableGivesNoImage)
{
    test::TempDir dir;
    const String missing = FromUtf8(dir.File("missing.png"));
    const String folder = FromUtf8(dir.Path());
    const String text = FromUtf8(dir.Write("text.png", {'h', 'e', 'l', 'l', 'o'}));
    for (const String& path : {missing, folder, text, String()}) {
        EXPECT_FALSE(LoadImageFile(path, kDefaultImageFlags)) << ToUtf8(path);
        EXPECT_FALSE(LoadImageStrip(path, 1, 1, 0, 0, kDefaultImageFlags)) << ToUtf8(path);
    }
}

// ---- Encoding ----------------------------------------------------------------

TEST(ImageEncode, RoundTripsRgbAndRgba)
{
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 6 * 4; ++i)
        rgba.push_back(static_cast<std::uint8_t>(i * 10 + 1));
    for (bool alpha : {true, false}) {
        SCOPED_TRACE(alpha ? "RGBA" : "RGB");
        const auto png = EncodePng(3, 2, rgba, alpha);
        const Ref<Image> image = DecodeImage(png, kNoMask);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->Width, 3);
        ASSERT_EQ(image->Height, 2);
        for (std::size_t i = 0; i < rgba.size(); ++i)
            EXPECT_EQ(image->Pixels[i], i % 4 == 3 && !alpha ? 255 : rgba[i]) << i;
    }
}

TEST(ImageEncode, SavesAFileTheLoaderReads)
{
    test::TempDir dir;
    const std::vector<std::uint8_t> rgba = {0, 0, 0, 255, 200, 10, 20, 255};
    const String path = FromUtf8(dir.File("saved.png"));
    ASSERT_TRUE(SavePng(path, 2, 1, rgba, false));
    const Ref<Image> image = LoadImageFile(path, kDefaultImageFlags);
    ASSERT_TRUE(image);
    EXPECT_EQ(PixelOf(*image, 0, 0, 0), (Rgba{200, 10, 20, 0}));  // saved without alpha, so masked
    EXPECT_FALSE(SavePng(FromUtf8(dir.File("no/such/folder.png")), 2, 1, rgba, false));
}

TEST(ImageEncode, RefusesSizesItCannotWrite)
{
    const std::vector<std::uint8_t> rgba(16, 7);
    EXPECT_TRUE(EncodePng(0, 1, rgba, true).empty());
    EXPECT_TRUE(EncodePng(1, -1, rgba, true).empty());
    EXPECT_TRUE(EncodePng(3, 2, rgba, true).empty());  // 16 bytes hold 4 pixels, not 6
    EXPECT_FALSE(EncodePng(2, 2, rgba, true).empty());
}

}  // namespace
}  // namespace kzm
