// Millions of sections read one after another, each announced. How the time
// grows with their number is measured by the BM_ReadSections benchmark; here
// a read whose steps grew with the sections before it would run into the
// test's time limit.
#include <gtest/gtest.h>

#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

TEST(KzmReaderLimits, TwoMillionSectionsAllRead)
{
    // 16 bytes a section: a header and an empty tile list. The first section
    // also has the map header, and the last one holds one tile, so the level
    // shows the reading got to the end.
    constexpr int kSections = 2'000'000;
    KzmByteWriter out;
    out.Header().Dimensions(TRKMapDimensions{}).Int32(0).Int32(0);
    out.Bytes.reserve(out.Bytes.size() + static_cast<std::size_t>(kSections) * 16 + 100);
    for (int i = 0; i < kSections - 2; ++i)
        out.Header().Int32(0);
    TRKTile last;
    last.Layer = 7;
    out.Header().Int32(1).Tile(last);
    test::TempDir dir;
    const std::string path = dir.Write("sections.kzm", out.Bytes);
    out.Bytes = {};

    // Two million "Initialized KZM header" lines: counted by their size, not
    // kept as strings.
    Ref<TRespReadKZM> result;
    long printed = 0;
    {
        PrintLineCapture lines;
        result = TKZMReader::Read(FromUtf8(path));
        printed = static_cast<long>(lines.Size());
    }

    ASSERT_EQ(result->GetErrored(), 0);
    EXPECT_EQ(printed, static_cast<long>(kSections) * static_cast<long>(sizeof("Initialized KZM header\r\n") - 1));
    ASSERT_EQ(result->GetLevel()->TileCount(), 1);
    EXPECT_EQ(As<TRKTile>(result->GetLevel()->GetTiles()->Entries().front())->Layer, 7);
}

// Records count as held only by the data left when each one starts: one long
// image path must not make the tilesets announced after it look held by the
// bytes it used up. 2,000,000 tilesets announced, the first path 32 MB long:
// the rest lie past the end, far more than the allowance pays for.
TEST(KzmReaderLimits, ALongPathDoesNotMakeLaterRecordsLookHeld)
{
    constexpr std::int32_t kPathBytes = 32 << 20;
    KzmByteWriter out;
    out.Header().Dimensions(TRKMapDimensions{}).Int32(2'000'000).Int32(kPathBytes);
    out.Bytes.resize(out.Bytes.size() + kPathBytes, 'p');
    test::TempDir dir;
    const std::string path = dir.Write("long-path.kzm", out.Bytes);
    const auto fileBytes = static_cast<std::int64_t>(out.Bytes.size());
    out.Bytes = {};

    PrintLineCapture lines;
    const test::AllocationMeter meter;
    const Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(path));
    // The copy of the file and the path (two bytes a character, and a copy
    // of it for the tileset): 5 x the file. Nothing for the phantom
    // tilesets, which would add some 190 MB.
    EXPECT_LT(meter.PeakGrowth(), 6 * fileBytes);
    EXPECT_EQ(result->GetErrored(), 1);
    EXPECT_EQ(lines.Lines().back(), "It errored");
}

}  // namespace
}  // namespace kzm
