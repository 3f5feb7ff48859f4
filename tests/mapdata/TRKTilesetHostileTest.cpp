// SetImage on tileset images and frame sizes that come from an untrusted map:
// broken files change nothing but the path, and frame sizes at the edges of
// the int range end in a count and an image (or none) without a crash.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "core/String.h"
#include "mapdata/TRKTileset.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::PngColour;
using test::PngSamples;

Bytes Picture(int width, int height)
{
    return test::WritePng({width, height, PngColour::Rgb}, [](int x, int y) {
        return PngSamples{static_cast<std::uint16_t>(x + 1), static_cast<std::uint16_t>(y), 90};
    });
}

// The picture with its header announcing another size, CRC made good again.
Bytes Announcing(Bytes png, std::uint32_t width, std::uint32_t height)
{
    Bytes header;
    test::PutU32(header, width);
    test::PutU32(header, height);
    std::copy(header.begin(), header.end(), png.begin() + 16);
    Bytes crc;
    test::PutU32(crc, test::Crc32(std::span(png).subspan(12, 17)));
    std::copy(crc.begin(), crc.end(), png.begin() + 29);
    return png;
}

TEST(TRKTilesetHostile, BrokenFilesChangeOnlyThePathQuietlyAndAllocateLittle)
{
    const Bytes good = Picture(64, 32);
    Bytes badCrc = good;
    badCrc[badCrc.size() - 13] ^= 0x01;  // the IDAT chunk's CRC, just before the 12-byte IEND
    struct Case {
        const char* Name;
        Bytes File;
    };
    const Case cases[] = {
        {"zero bytes", {}},
        {"truncated", Bytes(good.begin(), good.begin() + static_cast<long>(good.size()) / 2)},
        {"bad CRC", badCrc},
        {"1,000,000 x 1,000,000 announced", Announcing(good, 1'000'000, 1'000'000)},
        {"2^31-1 x 2^31-1 announced", Announcing(good, 0x7FFFFFFF, 0x7FFFFFFF)},
    };
    test::TempDir dir;
    const String first = FromUtf8(dir.Write("first.png", good));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TRKTileset tileset;
        tileset.SetFrameWidth(32);
        tileset.SetFrameHeight(32);
        tileset.SetImage(first);
        const Ref<Image> before = tileset.GetImage();
        ASSERT_TRUE(before);

        const String hostile = FromUtf8(dir.Write("hostile.png", c.File));
        PrintLineCapture lines;
        const test::AllocationMeter meter;
        tileset.SetImage(hostile);
        EXPECT_LT(meter.PeakGrowth(), 1 << 20);
        EXPECT_EQ(lines.Raw(), "");
        EXPECT_EQ(tileset.GetImagePath(), hostile);
        EXPECT_EQ(tileset.GetFrameCount(), 2);
        EXPECT_EQ(tileset.GetImage(), before);
    }
}

// Only a zero frame size is a failure of SetImage. Negative sizes divide like
// any others and the strip loader then refuses them, so the tileset keeps the
// quotient as its count and gets no image; a frame larger than the picture
// gives a count of 0 and an image with no frames.
TEST(TRKTilesetHostile, FrameSizesAtTheEdgesOfTheIntRange)
{
    struct Case {
        int FrameWidth, FrameHeight;
        int ExpectedCount;
        bool ExpectImage;
        bool ExpectFailureLine;
    };
    // The picture is 64 x 32.
    const Case cases[] = {
        {0, 32, 7, false, true},          // the count and the image from before stay
        {-1, -1, 64 * 32, false, false},  // (64 / -1) x (32 / -1)
        {-1, 32, -64, false, false},
        {32, -1, -64, false, false},
        {INT_MAX, INT_MAX, 0, true, false},
        {INT_MAX, 32, 0, true, false},
        {INT_MIN, 32, 0, false, false},  // 64 / INT_MIN is 0; the strip refuses the size
        {INT_MIN, INT_MIN, 0, false, false},
    };
    test::TempDir dir;
    const String path = FromUtf8(dir.Write("tiles.png", Picture(64, 32)));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.FrameWidth << " x " << c.FrameHeight);
        TRKTileset tileset;
        tileset.FrameCount = 7;  // a value SetImage would not compute, to see whether it is replaced
        tileset.SetFrameWidth(c.FrameWidth);
        tileset.SetFrameHeight(c.FrameHeight);
        PrintLineCapture lines;
        tileset.SetImage(path);
        EXPECT_EQ(lines.Lines(), c.ExpectFailureLine
                                     ? std::vector<std::string>{"Threw an error in TRKTileset.SetImage()"}
                                     : std::vector<std::string>{});
        EXPECT_EQ(tileset.GetImagePath(), path);
        EXPECT_EQ(tileset.GetFrameCount(), c.ExpectedCount);
        const Ref<Image> image = tileset.GetImage();
        ASSERT_EQ(image != nullptr, c.ExpectImage);
        if (image) {
            EXPECT_EQ(image->FrameCount, 0);
            EXPECT_TRUE(image->Pixels.empty());
            EXPECT_EQ(image->Width, 64);
            EXPECT_EQ(image->FrameWidth, c.FrameWidth);
        }
    }
}

// Memory running out while the picture is loaded or cut is a failure of
// SetImage, reported by its line, not a missing file: each allocation of the
// two loads is made to fail in turn. Fields set before the failure keep
// their new values, later ones their old.
TEST(TRKTilesetHostile, MemoryRunningOutIsReportedByTheGuard)
{
    test::TempDir dir;
    const String path = FromUtf8(dir.Write("tiles.png", Picture(64, 32)));
    const auto before = std::make_shared<Image>();
    int inWholeLoad = 0, inStrip = 0;
    for (std::int64_t skip = 0;; ++skip) {
        ASSERT_LT(skip, 1000);
        TRKTileset tileset;
        tileset.SetFrameWidth(32);
        tileset.SetFrameHeight(32);
        tileset.FrameCount = 7;
        tileset.Image = before;
        PrintLineCapture lines;
        bool failed = false;
        {
            const test::AllocationFailure failure(skip);
            tileset.SetImage(path);
            failed = failure.Happened();
        }
        if (!failed) {
            EXPECT_EQ(lines.Lines(), std::vector<std::string>{});
            EXPECT_EQ(tileset.GetFrameCount(), 2);
            ASSERT_TRUE(tileset.GetImage());
            EXPECT_EQ(tileset.GetImage()->FrameCount, 2);
            break;
        }
        SCOPED_TRACE(::testing::Message() << "allocation " << skip);
        EXPECT_EQ(lines.Lines(), std::vector<std::string>{"Threw an error in TRKTileset.SetImage()"});
        EXPECT_EQ(tileset.GetImage(), before);
        if (tileset.GetFrameCount() == 7)
            ++inWholeLoad;
        else if (tileset.GetFrameCount() == 2)
            ++inStrip;
        else
            ADD_FAILURE() << "frame count " << tileset.GetFrameCount();
    }
    EXPECT_GT(inWholeLoad, 5);
    EXPECT_GT(inStrip, 5);
}

}  // namespace
}  // namespace kzm
