#include "mapdata/TRKTileset.h"

#include <string>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "core/String.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

using test::PngColour;
using test::PngSamples;

const char* const kFailureLine = "Threw an error in TRKTileset.SetImage()";

// Red and green give the coordinates; never black, except where asked.
String WritePicture(const test::TempDir& dir, const std::string& name, int width, int height, int blackX = -1,
                    int blackY = -1)
{
    const auto png = test::WritePng({width, height, PngColour::Rgb}, [=](int x, int y) {
        if (x == blackX && y == blackY)
            return PngSamples{};
        return PngSamples{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), 200};
    });
    return FromUtf8(dir.Write(name, png));
}

const std::uint8_t* FramePixel(const Image& image, int frame, int x, int y)
{
    return image.FramePixels(frame) + (static_cast<std::size_t>(y) * image.FrameWidth + x) * 4;
}

TRKTileset TilesetOf(int frameWidth, int frameHeight)
{
    TRKTileset tileset;
    tileset.SetFrameWidth(frameWidth);
    tileset.SetFrameHeight(frameHeight);
    return tileset;
}

TEST(TRKTilesetSetImage, CutsEveryWholeCellIntoAFrame)
{
    struct Case {
        int Width, Height, FrameWidth, FrameHeight, ExpectedCount;
    };
    const Case cases[] = {
        {256, 128, 32, 32, 32},  // 8 columns x 4 rows
        {100, 70, 32, 32, 6},    // 3 x 2; the leftover pixels are in no frame
        {20, 20, 32, 32, 0},     // smaller than a frame: an image with no frames
        {64, 64, 16, 32, 8},     // the width quotient times the height quotient
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.Width << "x" << c.Height << " in " << c.FrameWidth << "x" << c.FrameHeight);
        const String path = WritePicture(dir, "tiles.png", c.Width, c.Height);
        TRKTileset tileset = TilesetOf(c.FrameWidth, c.FrameHeight);
        PrintLineCapture lines;
        tileset.SetImage(path);
        EXPECT_EQ(tileset.GetImagePath(), path);
        EXPECT_EQ(tileset.GetFrameCount(), c.ExpectedCount);
        const Ref<Image> image = tileset.GetImage();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->FrameCount, c.ExpectedCount);
        EXPECT_EQ(image->FrameWidth, c.FrameWidth);
        EXPECT_EQ(image->FrameHeight, c.FrameHeight);
        EXPECT_EQ(image->Pixels.size(), static_cast<std::size_t>(c.ExpectedCount) * c.FrameWidth * c.FrameHeight * 4);
        EXPECT_EQ(lines.Raw(), "");
    }
}

TEST(TRKTilesetSetImage, FrameNineOf256By128IsTheCellAt32And32WithBlackMasked)
{
    test::TempDir dir;
    TRKTileset tileset = TilesetOf(32, 32);
    tileset.SetImage(WritePicture(dir, "tiles.png", 256, 128, 33, 32));
    const Ref<Image> image = tileset.GetImage();
    ASSERT_TRUE(image);
    ASSERT_EQ(image->FrameCount, 32);
    const std::uint8_t* corner = FramePixel(*image, 9, 0, 0);
    EXPECT_EQ(corner[0], 32);
    EXPECT_EQ(corner[1], 32);
    EXPECT_EQ(corner[3], 255);
    EXPECT_EQ(FramePixel(*image, 9, 1, 0)[3], 0);  // the black pixel at (33, 32): loaded with the default flags
}

TEST(TRKTilesetSetImage, MissingOrUndecodableFileChangesOnlyThePath)
{
    test::TempDir dir;
    const String good = WritePicture(dir, "tiles.png", 64, 32);
    const String missing = FromUtf8(dir.File("missing.png"));
    const String garbage = FromUtf8(dir.Write("garbage.png", {0x89, 'P', 'N', 'G', 1, 2, 3}));
    for (const String& path : {missing, garbage}) {
        SCOPED_TRACE(ToUtf8(path));
        TRKTileset tileset = TilesetOf(32, 32);
        tileset.SetImage(good);
        const Ref<Image> before = tileset.GetImage();
        ASSERT_TRUE(before);

        PrintLineCapture lines;
        tileset.SetImage(path);
        EXPECT_EQ(tileset.GetImagePath(), path);
        EXPECT_EQ(tileset.GetFrameCount(), 2);
        EXPECT_EQ(tileset.GetImage(), before);
        EXPECT_EQ(lines.Raw(), "");
    }
}

TEST(TRKTilesetSetImage, ZeroFrameSizeReportsOnceAndKeepsCountAndImage)
{
    test::TempDir dir;
    const String first = WritePicture(dir, "first.png", 64, 32);
    const String second = WritePicture(dir, "second.png", 128, 128);
    const std::pair<int, int> sizes[] = {{0, 32}, {32, 0}, {0, 0}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height);
        TRKTileset tileset = TilesetOf(32, 32);
        tileset.SetImage(first);
        const Ref<Image> before = tileset.GetImage();
        ASSERT_TRUE(before);
        tileset.SetFrameWidth(width);
        tileset.SetFrameHeight(height);

        PrintLineCapture lines;
        tileset.SetImage(second);
        EXPECT_EQ(lines.Lines(), std::vector<std::string>{kFailureLine});
        EXPECT_EQ(lines.Raw(), std::string(kFailureLine) + "\r\n");
        EXPECT_EQ(tileset.GetImagePath(), second);
        EXPECT_EQ(tileset.GetFrameCount(), 2);
        EXPECT_EQ(tileset.GetImage(), before);
    }
}

TEST(TRKTilesetSetImage, ZeroFrameSizeWithAMissingFileIsSilent)
{
    // The file is looked for before the frame size is divided by.
    test::TempDir dir;
    TRKTileset tileset;
    PrintLineCapture lines;
    tileset.SetImage(FromUtf8(dir.File("missing.png")));
    EXPECT_EQ(lines.Raw(), "");
    EXPECT_EQ(tileset.GetFrameCount(), 0);
    EXPECT_FALSE(tileset.GetImage());
}

TEST(TRKTilesetSetImage, FrameSizeSettersAfterwardsRecomputeNothing)
{
    test::TempDir dir;
    TRKTileset tileset = TilesetOf(32, 32);
    tileset.SetImage(WritePicture(dir, "tiles.png", 256, 128));
    const Ref<Image> image = tileset.GetImage();
    tileset.SetFrameWidth(16);
    tileset.SetFrameHeight(64);
    EXPECT_EQ(tileset.GetFrameWidth(), 16);
    EXPECT_EQ(tileset.GetFrameHeight(), 64);
    EXPECT_EQ(tileset.GetFrameCount(), 32);
    EXPECT_EQ(tileset.GetImage(), image);
    EXPECT_EQ(image->FrameWidth, 32);
}

}  // namespace
}  // namespace kzm
