// Broken and hostile PNGs: the loader gives no image, never crashes, and
// never allocates what a header merely announces.
#include <string>

#include <gtest/gtest.h>

#include "image/Image.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/PngWriter.h"

namespace kzm {
namespace {

using test::PngChunk;
using test::PngColour;
using test::PngSamples;

std::vector<std::uint8_t> SmallPng()
{
    return test::WritePng({6, 4, PngColour::Rgb}, [](int x, int y) {
        return PngSamples{static_cast<std::uint16_t>(x * 40), static_cast<std::uint16_t>(y * 60), 7};
    });
}

// Offset of the first chunk of the given type (its length field).
std::size_t ChunkAt(const std::vector<std::uint8_t>& png, std::string_view type)
{
    std::size_t at = 8;
    while (at + 8 <= png.size()) {
        const std::size_t length =
            static_cast<std::size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::string_view(reinterpret_cast<const char*>(&png[at + 4]), 4) == type)
            return at;
        at += 12 + length;
    }
    ADD_FAILURE() << "no chunk " << type;
    return 0;
}

std::size_t ChunkLength(const std::vector<std::uint8_t>& png, std::size_t at)
{
    return static_cast<std::size_t>(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
}

TEST(ImageHostile, EveryTruncationGivesNoImage)
{
    const auto png = SmallPng();
    ASSERT_TRUE(DecodeImage(png, kDefaultImageFlags));
    for (std::size_t length = 0; length < png.size(); ++length)
        EXPECT_FALSE(DecodeImage(std::span(png).first(length), kDefaultImageFlags)) << "first " << length << " bytes";
}

TEST(ImageHostile, DamagedChunksGiveNoImage)
{
    const auto good = SmallPng();
    struct Case {
        const char* Name;
        std::string_view Chunk;
        int FromDataEnd;  // the byte to flip, counted from the end of the chunk's data
    };
    const Case cases[] = {
        {"IHDR CRC", "IHDR", 0},        {"IDAT CRC", "IDAT", 3},
        {"IEND CRC", "IEND", 1},        {"pixel byte in IDAT", "IDAT", -10},
        {"width in IHDR", "IHDR", -13},
    };
    for (const Case& c : cases) {
        auto png = good;
        const std::size_t at = ChunkAt(png, c.Chunk);
        png[at + 8 + ChunkLength(png, at) + static_cast<std::size_t>(c.FromDataEnd)] ^= 0x40;
        EXPECT_FALSE(DecodeImage(png, kDefaultImageFlags)) << c.Name;
    }
}

// A file of the given chunks after the signature, each with a correct CRC.
std::vector<std::uint8_t> PngOf(std::initializer_list<std::vector<std::uint8_t>> chunks)
{
    std::vector<std::uint8_t> png = test::PngSignature();
    for (const auto& chunk : chunks)
        png.insert(png.end(), chunk.begin(), chunk.end());
    return png;
}

std::vector<std::uint8_t> Header(std::uint32_t width, std::uint32_t height, PngColour colour = PngColour::Rgb,
                                 int depth = 8)
{
    return PngChunk("IHDR", test::PngHeaderData(width, height, depth, colour, false));
}

// Filtered scanlines of zeros, as a zlib stream.
std::vector<std::uint8_t> ZeroRows(std::size_t bytes)
{
    return test::ZlibStored(std::vector<std::uint8_t>(bytes, 0));
}

TEST(ImageHostile, WellFormedChunksWithBrokenContentGiveNoImage)
{
    const std::vector<std::uint8_t> end = PngChunk("IEND", {});
    const std::vector<std::uint8_t> rows = ZeroRows(4 * (1 + 4 * 3));  // 4 x 4 RGB
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Png;
    };
    const Case cases[] = {
        {"zero bytes", {}},
        {"signature only", test::PngSignature()},
        {"not a PNG", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}},
        {"no IDAT", PngOf({Header(4, 4), end})},
        {"too few rows", PngOf({Header(4, 4), PngChunk("IDAT", ZeroRows(3 * 13)), end})},
        {"not zlib", PngOf({Header(4, 4), PngChunk("IDAT", std::vector<std::uint8_t>(20, 0xAB)), end})},
        {"unknown filter type",
         PngOf({Header(4, 1),
                PngChunk("IDAT", test::ZlibStored(std::vector<std::uint8_t>{9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})),
                end})},
        {"palette without PLTE", PngOf({Header(4, 4, PngColour::Palette), PngChunk("IDAT", ZeroRows(4 * 5)), end})},
        {"zero width", PngOf({Header(0, 4), PngChunk("IDAT", rows), end})},
        {"bit depth 3", PngOf({Header(4, 4, PngColour::Grey, 3), PngChunk("IDAT", rows), end})},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(DecodeImage(c.Png, kDefaultImageFlags)) << c.Name;
        EXPECT_FALSE(DecodeImageStrip(c.Png, 1, 1, 0, 0, kDefaultImageFlags)) << c.Name;
    }
}

TEST(ImageHostile, PaletteIndexPastThePaletteReadsNothingOutside)
{
    // Two entries, indices up to 255: decoded or refused, but never a read
    // past the palette (the sanitizer build watches).
    const auto png = test::WritePng({16, 16, PngColour::Palette, 8, false, {1, 2, 3, 4, 5, 6}},
                                    [](int x, int y) { return PngSamples{static_cast<std::uint16_t>(x * 16 + y)}; });
    if (const Ref<Image> image = DecodeImage(png, kDefaultImageFlags)) {
        EXPECT_EQ(image->Pixels.size(), 16u * 16u * 4u);
        EXPECT_EQ(image->Pixels[16 * 4], 4);  // (0, 1) holds index 1, the second entry
    }
}

TEST(ImageHostile, OversizedHeadersAreRefusedBeforeAllocating)
{
    struct Case {
        std::uint32_t Width, Height;
    };
    const Case cases[] = {
        {1000000, 1000000},
        {static_cast<std::uint32_t>(kMaxImageSide) + 1, 1},
        {1, static_cast<std::uint32_t>(kMaxImageSide) + 1},
        {30000, 30000},  // each side allowed, too many pixels in all
        {8193, 8192},    // one column past kMaxImagePixels
        {8192, 8192},    // within every bound, but more than a file this small can hold
        {2000, 2000},
        {0x7FFFFFFF, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.Width << " x " << c.Height);
        // A few real rows follow, so a loader that trusted the header would
        // get as far as allocating the picture.
        const auto png = PngOf({Header(c.Width, c.Height), PngChunk("IDAT", ZeroRows(4096)), PngChunk("IEND", {})});
        const test::AllocationMeter meter;
        EXPECT_FALSE(DecodeImage(png, kDefaultImageFlags));
        EXPECT_FALSE(DecodeImageStrip(png, 32, 32, 0, 0, kDefaultImageFlags));
        EXPECT_LT(meter.PeakGrowth(), 1 << 20);
    }
}

TEST(ImageHostile, LargestAllowedSideDecodes)
{
    const auto png = test::WritePng({kMaxImageSide, 1, PngColour::Grey},
                                    [](int x, int) { return PngSamples{static_cast<std::uint16_t>(x & 255)}; });
    const Ref<Image> image = DecodeImage(png, kDefaultImageFlags);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width, kMaxImageSide);
    EXPECT_EQ(image->Pixels[(kMaxImageSide - 1) * 4], 255);
}

// Memory running out is no broken file: every allocation of a decode, libpng's
// own included, made to fail in turn, reaches the caller as std::bad_alloc;
// none of them turns into "no image".
TEST(ImageHostile, MemoryRunningOutIsRaisedNotTakenForABrokenFile)
{
    const std::vector<std::uint8_t> pngs[] = {
        SmallPng(),
        test::WritePng({5, 3, PngColour::Rgb, 16, true},
                       [](int x, int y) {
                           return PngSamples{static_cast<std::uint16_t>(x * 999), static_cast<std::uint16_t>(y), 0};
                       }),
    };
    for (const auto& png : pngs) {
        int failures = 0;
        for (std::int64_t skip = 0;; ++skip) {
            ASSERT_LT(skip, 1000);
            Ref<Image> image;
            bool raised = false;
            bool failed = false;
            {
                const test::AllocationFailure failure(skip);
                try {
                    image = DecodeImageStrip(png, 1, 1, 0, 3, kDefaultImageFlags);
                } catch (const std::bad_alloc&) {
                    raised = true;
                }
                failed = failure.Happened();
            }
            EXPECT_EQ(raised, failed) << "allocation " << skip;
            if (!failed) {
                EXPECT_TRUE(image);
                break;
            }
            ++failures;
        }
        EXPECT_GT(failures, 5);  // libpng's and zlib's allocations among them
    }
}

}  // namespace
}  // namespace kzm
