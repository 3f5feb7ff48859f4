#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/TestFiles.h"

namespace kzm {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The complete 141-byte example map, byte for byte.
Bytes ExampleMap()
{
    Bytes b = {0x4B, 0x5A, 0x4D, 0x05, 0,    0,    0,    0x31, 0x2E, 0x30, 0x2E, 0x30,  // header
               0x04, 0,    0,    0,    0x44, 0x65, 0x6D, 0x6F,                          // "Demo"
               0x02, 0,    0,    0,    0x01, 0,    0,    0,    0x20, 0,    0,    0,    0x20, 0,    0,    0,   0x01,
               0,    0,    0,    0x01, 0,    0,    0,  // one tileset
               0x0D, 0,    0,    0,    'r',  'e',  's',  'o',  'u',  'r',  'c',  'e',  '0',  '.',  'p',  'n', 'g',
               0,    0,    0,    0,    0x20, 0,    0,    0,    0x20, 0,    0,    0,    0x01, 0,    0,    0,  // one tile
               0,    0,    0,    0,    0,    0,    0,    0,    0x03, 0,    0,    0,    0x20, 0,    0,    0,   0,
               0,    0,    0,    0x20, 0,    0,    0,    0x20, 0,    0,    0,    0,    0,    0x80, 0x3F, 0,   0,
               0x80, 0x3F, 0,    0,    0,    0};
    b.resize(141, 0);  // PropC to PropH: 24 zero bytes
    return b;
}

TRKTile& TileAt(TRKLevel& level, int index)
{
    return *As<TRKTile>(level.GetTiles()->Entries().at(static_cast<std::size_t>(index)));
}

TRKTileset& TilesetAt(TRKLevel& level, int index)
{
    return *As<TRKTileset>(level.GetTilesets()->Entries().at(static_cast<std::size_t>(index)));
}

struct Read {
    Ref<TRespReadKZM> Result;
    std::vector<std::string> Lines;
};

class KzmReader : public ::testing::Test {
protected:
    Read ReadBytes(const Bytes& bytes)
    {
        const std::string path = Dir.Write("map.kzm", bytes);
        return ReadPath(path);
    }
    Read ReadPath(const std::string& path)
    {
        PrintLineCapture captured;
        Read read{TKZMReader::Read(FromUtf8(path)), {}};
        read.Lines = captured.Lines();
        return read;
    }
    test::TempDir Dir;
};

TEST_F(KzmReader, ReadsTheExampleMap)
{
    const Bytes bytes = ExampleMap();
    ASSERT_EQ(bytes.size(), 141u);
    const std::string path = Dir.Write("demo.kzm", bytes);
    Read read = ReadPath(path);
    TRespReadKZM& r = *read.Result;
    EXPECT_EQ(r.GetErrored(), 0);
    EXPECT_EQ(r.GetHeaderFound(), 1);
    EXPECT_EQ(r.GetVersionMatched(), 1);
    EXPECT_EQ(r.GetVersion(), u"1.0.0");
    EXPECT_EQ(r.FailureText, u"");
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"Initialized KZM header"}));

    TRKLevel& level = *r.GetLevel();
    TRKMapDimensions& d = *level.GetDimensions();
    EXPECT_EQ(d.GetName(), u"Demo");
    EXPECT_EQ(d.GetSourcePath(), FromUtf8(path));
    EXPECT_EQ(d.GetColumns(), 2);
    EXPECT_EQ(d.GetRows(), 1);
    EXPECT_EQ(d.GetTileWidth(), 32);
    EXPECT_EQ(d.GetTileHeight(), 32);
    EXPECT_EQ(d.GetLayerCount(), 1);

    ASSERT_EQ(level.TilesetCount(), 1);
    TRKTileset& tileset = TilesetAt(level, 0);
    EXPECT_EQ(tileset.Id, 0);
    EXPECT_EQ(tileset.GetImagePath(), u"resource0.png");
    EXPECT_EQ(tileset.GetFrameWidth(), 32);
    EXPECT_EQ(tileset.GetFrameHeight(), 32);
    EXPECT_EQ(tileset.GetFrameCount(), 0);
    EXPECT_EQ(tileset.GetImage(), nullptr);

    ASSERT_EQ(level.TileCount(), 1);
    TRKTile& tile = TileAt(level, 0);
    EXPECT_EQ(tile.Layer, 0);
    EXPECT_EQ(tile.Frame, 3);
    EXPECT_EQ(tile.X, 32);
    EXPECT_EQ(tile.Y, 0);
    EXPECT_EQ(tile.Width, 32);
    EXPECT_EQ(tile.Height, 32);
    EXPECT_EQ(tile.ScaleX, 1.0f);
    EXPECT_EQ(tile.ScaleY, 1.0f);
    EXPECT_EQ(tile.PropA, 0);
}

// The file stores each width before its height, while the records declare
// FrameHeight first: written out byte by byte, with every width different
// from its height, so that a swap anywhere shows.
TEST_F(KzmReader, WidthsComeBeforeHeightsInTheFile)
{
    const Bytes bytes = {
        'K', 'Z', 'M', 5, 0,  0, 0, '1', '.', '0', '.', '0',  // header
        0,   0,   0,   0,                                     // name length 0
        3,   0,   0,   0, 5,  0, 0, 0,                        // Columns 3, Rows 5
        16,  0,   0,   0, 24, 0, 0, 0,                        // TileWidth 16, TileHeight 24
        1,   0,   0,   0,                                     // LayerCount 1
        1,   0,   0,   0,                                     // one tileset
        0,   0,   0,   0, 9,  0, 0, 0,                        // empty path, Id 9
        8,   0,   0,   0, 12, 0, 0, 0,                        // FrameWidth 8, FrameHeight 12
    };
    Read read = ReadBytes(bytes);
    ASSERT_EQ(read.Result->GetErrored(), 0);
    TRKLevel& level = *read.Result->GetLevel();
    TRKMapDimensions& d = *level.GetDimensions();
    EXPECT_EQ(d.GetColumns(), 3);
    EXPECT_EQ(d.GetRows(), 5);
    EXPECT_EQ(d.GetTileWidth(), 16);
    EXPECT_EQ(d.GetTileHeight(), 24);
    ASSERT_EQ(level.TilesetCount(), 1);
    EXPECT_EQ(TilesetAt(level, 0).Id, 9);
    EXPECT_EQ(TilesetAt(level, 0).GetFrameWidth(), 8);
    EXPECT_EQ(TilesetAt(level, 0).GetFrameHeight(), 12);
}

TEST_F(KzmReader, MissingFileErrorsAndLeavesEverythingElseAtItsDefault)
{
    Read read = ReadPath(Dir.File("absent.kzm"));
    EXPECT_EQ(read.Result->GetErrored(), 1);
    EXPECT_EQ(read.Result->GetLevel(), nullptr);
    EXPECT_EQ(read.Result->GetHeaderFound(), 0);
    EXPECT_EQ(read.Result->GetVersion(), u"");
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"It errored"}));
    EXPECT_EQ(read.Result->FailureText, u"the map file cannot be opened");
}

// Files that read without error but do not carry a map: the level keeps its
// default content, and SourcePath stays empty.
TEST_F(KzmReader, UnrecognisedFilesGiveADefaultLevel)
{
    struct Case {
        const char* Name;
        Bytes Data;
        std::uint8_t HeaderFound;
        String Version;
    };
    const Case cases[] = {
        {"empty", {}, 0, u""},
        {"shorter than a signature", {'K', 'Z'}, 0, u""},
        {"other signature", {'P', 'N', 'G', 5, 0, 0, 0, '1', '.', '0', '.', '0'}, 0, u""},
        {"lower-case signature", {'k', 'z', 'm', 5, 0, 0, 0, '1', '.', '0', '.', '0'}, 0, u""},
        {"signature alone", {'K', 'Z', 'M'}, 1, u""},
        {"version 1.0", {'K', 'Z', 'M', 3, 0, 0, 0, '1', '.', '0'}, 1, u"1.0"},
        {"version with a trailing space", {'K', 'Z', 'M', 6, 0, 0, 0, '1', '.', '0', '.', '0', ' '}, 1, u"1.0.0 "},
        {"version 2.0.0", {'K', 'Z', 'M', 5, 0, 0, 0, '2', '.', '0', '.', '0'}, 1, u"2.0.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Read read = ReadBytes(c.Data);
        TRespReadKZM& r = *read.Result;
        EXPECT_EQ(r.GetErrored(), 0);
        EXPECT_EQ(r.GetHeaderFound(), c.HeaderFound);
        EXPECT_EQ(r.GetVersionMatched(), 0);
        EXPECT_EQ(r.GetVersion(), c.Version);
        EXPECT_TRUE(read.Lines.empty());
        ASSERT_NE(r.GetLevel(), nullptr);
        TRKMapDimensions& d = *r.GetLevel()->GetDimensions();
        EXPECT_EQ(d.GetSourcePath(), u"");
        EXPECT_EQ(d.GetLayerCount(), 1);
        EXPECT_EQ(r.GetLevel()->TileCount(), 0);
    }
}

TEST_F(KzmReader, FileCutOffAfterTheHeaderReadsAsZeros)
{
    const std::string path = Dir.Write("cut.kzm", KzmByteWriter().Header().Bytes);
    Read read = ReadPath(path);
    EXPECT_EQ(read.Result->GetErrored(), 0);
    EXPECT_EQ(read.Result->GetVersionMatched(), 1);
    TRKMapDimensions& d = *read.Result->GetLevel()->GetDimensions();
    EXPECT_EQ(d.GetName(), u"");
    EXPECT_EQ(d.GetSourcePath(), FromUtf8(path));
    EXPECT_EQ(d.GetColumns(), 0);
    EXPECT_EQ(d.GetLayerCount(), 0);  // zero from the missing bytes, not the default 1
    EXPECT_EQ(read.Result->GetLevel()->TilesetCount(), 0);
    EXPECT_EQ(read.Result->GetLevel()->TileCount(), 0);
    EXPECT_EQ(read.Lines.size(), 1u);
}

KzmByteWriter FirstSection(int tileCount)
{
    TRKMapDimensions d;
    d.Name = u"Isle";
    d.LayerCount = 2;
    KzmByteWriter out;
    out.Header().Dimensions(d).Int32(0).Int32(tileCount);
    for (int i = 0; i < tileCount; ++i) {
        TRKTile tile;
        tile.X = i + 1;
        tile.Layer = 1;
        tile.ScaleX = 1.0f;
        out.Tile(tile);
    }
    return out;
}

TEST_F(KzmReader, RecordsAnnouncedPastTheEndAreZero)
{
    KzmByteWriter out = FirstSection(2);
    out.Bytes[out.Bytes.size() - 2 * 64 - 4] = 5;  // the tile count now says 5
    Read read = ReadBytes(out.Bytes);
    ASSERT_EQ(read.Result->GetErrored(), 0);
    TRKLevel& level = *read.Result->GetLevel();
    ASSERT_EQ(level.TileCount(), 5);
    EXPECT_EQ(TileAt(level, 1).X, 2);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(TileAt(level, i).X, 0);
        EXPECT_EQ(TileAt(level, i).Layer, 0);  // zero, not the default -1
        EXPECT_EQ(TileAt(level, i).ScaleX, 0.0f);
    }
}

TEST_F(KzmReader, PartialValuesTakeTheirRemainingBytesAsLowOrder)
{
    KzmByteWriter out = FirstSection(1);
    out.Bytes.resize(out.Bytes.size() - 64 + 14);  // X keeps two of its bytes
    out.Bytes[out.Bytes.size() - 2] = 0x34;
    out.Bytes[out.Bytes.size() - 1] = 0x12;
    Read read = ReadBytes(out.Bytes);
    EXPECT_EQ(TileAt(*read.Result->GetLevel(), 0).X, 0x1234);
}

TEST_F(KzmReader, StringsRunningPastTheEndKeepTheirLength)
{
    Bytes bytes = KzmByteWriter().Header().Int32(6).Raw("Ab").Bytes;
    Read read = ReadBytes(bytes);
    EXPECT_EQ(read.Result->GetLevel()->GetName(), (String{u'A', u'b', 0, 0, 0, 0}));
}

TEST_F(KzmReader, NameBytesAreLatin1)
{
    Bytes bytes = KzmByteWriter().Header().Int32(1).Raw("\xE9").Bytes;
    EXPECT_EQ(ReadBytes(bytes).Result->GetLevel()->GetName(), u"\u00E9");
}

TEST_F(KzmReader, NonPositiveCountsConsumeNothingMore)
{
    TRKMapDimensions d;
    TRKTile tile;
    tile.X = 77;
    Bytes bytes = KzmByteWriter().Header().Dimensions(d).Int32(-1).Int32(1).Tile(tile).Bytes;
    Read read = ReadBytes(bytes);
    TRKLevel& level = *read.Result->GetLevel();
    EXPECT_EQ(level.TilesetCount(), 0);
    ASSERT_EQ(level.TileCount(), 1);
    EXPECT_EQ(TileAt(level, 0).X, 77);
}

TEST_F(KzmReader, LaterSectionsAddTheirTilesOnly)
{
    KzmByteWriter out = FirstSection(1);
    TRKTile later;
    later.X = 50;
    TRKMapDimensions other;
    other.Name = u"Ignored";
    out.Header().Int32(2).Tile(later).Tile(later);
    Read read = ReadBytes(out.Bytes);
    TRKLevel& level = *read.Result->GetLevel();
    EXPECT_EQ(level.GetName(), u"Isle");
    ASSERT_EQ(level.TileCount(), 3);
    EXPECT_EQ(TileAt(level, 0).X, 1);
    EXPECT_EQ(TileAt(level, 2).X, 50);
    EXPECT_EQ(read.Lines, (std::vector<std::string>{"Initialized KZM header", "Initialized KZM header"}));
}

TEST_F(KzmReader, WhatFollowsTheFirstSectionDecidesTheVersionAndNothingElse)
{
    struct Case {
        const char* Name;
        std::string Trailing;
        String Version;
    };
    const Case cases[] = {
        {"bytes that are no header", std::string("KZX"), u"1.0.0"},
        {"a header of another version",
         std::string("KZM\x05\0\0\0"
                     "2.0.0",
                     12),
         u"2.0.0"},
        {"a signature and nothing else", std::string("KZM"), u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        KzmByteWriter out = FirstSection(1);
        out.Raw(c.Trailing);
        Read read = ReadBytes(out.Bytes);
        TRespReadKZM& r = *read.Result;
        EXPECT_EQ(r.GetErrored(), 0);
        EXPECT_EQ(r.GetVersionMatched(), 1);  // once set, never cleared
        EXPECT_EQ(r.GetVersion(), c.Version);
        EXPECT_EQ(r.GetLevel()->TileCount(), 1);
        EXPECT_EQ(read.Lines.size(), 1u);
    }
}

TEST_F(KzmReader, TwoReadsShareNothing)
{
    const std::string path = Dir.Write("demo.kzm", ExampleMap());
    Ref<TRespReadKZM> a = ReadPath(path).Result;
    Ref<TRespReadKZM> b = ReadPath(path).Result;
    EXPECT_NE(a, b);
    EXPECT_NE(a->GetLevel(), b->GetLevel());
    EXPECT_NE(a->GetLevel()->GetTiles(), b->GetLevel()->GetTiles());
}

TEST_F(KzmReader, WriterOutputReadsBackAsTheSameLevel)
{
    TRKLevel level;
    level.SetName(FromLatin1("R\xE9gion"));
    level.GetDimensions()->SetColumns(3);
    level.GetDimensions()->SetRows(-4);
    level.GetDimensions()->SetTileWidth(16);
    level.GetDimensions()->SetTileHeight(24);
    level.GetDimensions()->SetLayerCount(3);
    for (int id : {2, 9}) {
        auto tileset = std::make_shared<TRKTileset>();
        tileset->Id = id;
        tileset->SetImagePath(u"tiles" + FromUtf8(std::to_string(id)) + u".png");
        tileset->SetFrameWidth(16);
        tileset->SetFrameHeight(24);
        level.AddTileset(tileset);
    }
    level.GetTilesets()->Append(std::make_shared<TRKTile>());  // another class: not written
    for (int i = 0; i < 4; ++i) {
        auto tile = std::make_shared<TRKTile>();
        tile->TilesetId = i % 2 ? 9 : 2;
        tile->PropB = -i;
        tile->Frame = i;
        tile->X = i * 16;
        tile->Y = -i;
        tile->Width = 16;
        tile->Height = 24;
        tile->ScaleX = i - 1.5f;
        tile->ScaleY = NAN;
        tile->Layer = i % 3;
        tile->PropC = 1;
        tile->PropD = 2;
        tile->PropE = 3;
        tile->PropF = 4;
        tile->PropG = INFINITY;
        tile->PropH = 0.1f;
        level.AddTile(tile);
    }
    auto section = std::make_shared<ObjectList>();
    section->Append(As<TRKTile>(level.GetTiles()->Entries()[1])->Copy());
    KzmExtras extras{{section}, {'K', 'Z', 'X'}};

    Read read = ReadBytes(EncodeKzm(level, extras));
    TRKLevel& back = *read.Result->GetLevel();
    EXPECT_EQ(back.GetName(), level.GetName());
    EXPECT_EQ(back.GetDimensions()->GetRows(), -4);
    EXPECT_EQ(back.GetDimensions()->GetTileWidth(), 16);
    EXPECT_EQ(back.GetDimensions()->GetTileHeight(), 24);
    EXPECT_EQ(back.GetLayerCount(), 3);
    ASSERT_EQ(back.TilesetCount(), 2);
    EXPECT_EQ(TilesetAt(back, 1).Id, 9);
    EXPECT_EQ(TilesetAt(back, 1).GetFrameWidth(), 16);
    EXPECT_EQ(TilesetAt(back, 1).GetFrameHeight(), 24);
    EXPECT_EQ(TilesetAt(back, 1).GetImagePath(), u"tiles9.png");
    ASSERT_EQ(back.TileCount(), 5);
    for (int i = 0; i < 5; ++i) {
        const TRKTile& want = TileAt(level, i == 4 ? 1 : i);
        const TRKTile& got = TileAt(back, i);
        EXPECT_EQ(std::tie(got.TilesetId, got.PropB, got.Frame, got.X, got.Y, got.Width, got.Height, got.Layer,
                           got.PropC, got.PropD, got.PropE, got.PropF, got.ScaleX, got.PropG, got.PropH),
                  std::tie(want.TilesetId, want.PropB, want.Frame, want.X, want.Y, want.Width, want.Height, want.Layer,
                           want.PropC, want.PropD, want.PropE, want.PropF, want.ScaleX, want.PropG, want.PropH));
        EXPECT_TRUE(std::isnan(got.ScaleY));
    }
}

// The streaming writer gives the bytes of the whole-level encoding, across
// its buffer's flushes, and refuses a tile count other than the one announced.
TEST(KzmFileWriter, WritesWhatTheLevelEncodesToAndHoldsToItsCount)
{
    TRKLevel level;
    level.SetName(u"Streamed");
    level.GetDimensions()->SetColumns(100);
    level.GetDimensions()->SetLayerCount(2);
    auto tileset = std::make_shared<TRKTileset>();
    tileset->SetImagePath(u"resource0.png");
    level.AddTileset(tileset);
    for (int i = 0; i < 5000; ++i) {
        auto tile = std::make_shared<TRKTile>();
        tile->Frame = i % 7;
        tile->X = i * 32;
        tile->ScaleX = 0.5f * i;
        tile->PropH = -1.0f * i;
        level.AddTile(tile);
    }
    test::TempDir dir;
    const auto write = [&](const std::string& name, std::int32_t announced) {
        KzmFileWriter writer(dir.File(name), level, announced);
        for (const auto& entry : level.GetTiles()->Entries())
            writer.Tile(*As<TRKTile>(entry));
        return writer.Finish();
    };
    ASSERT_TRUE(write("map.kzm", 5000));
    EXPECT_EQ(test::ReadFileBytes(dir.File("map.kzm")), EncodeKzm(level));
    // A failed write leaves what had the name, and nothing beside it.
    dir.Write("fewer.kzm", {1, 2, 3});
    EXPECT_FALSE(write("fewer.kzm", 5001));
    EXPECT_EQ(test::ReadFileBytes(dir.File("fewer.kzm")), (Bytes{1, 2, 3}));
    EXPECT_FALSE(write("more.kzm", 4999));
    EXPECT_FALSE(write("missing-folder/map.kzm", 5000));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"fewer.kzm", "map.kzm"}));
}

TEST(KzmWriter, RefusesCharactersAFileCannotHold)
{
    EXPECT_THROW(KzmByteWriter().Text(u"\u20AC"), std::invalid_argument);
}

// Hostile files: whatever they announce, a read fails cleanly before it
// allocates anything that size.
TEST_F(KzmReader, AnnouncementsBeyondTheBudgetFailBeforeAllocating)
{
    const std::int32_t huge = 2147483647;
    struct Case {
        const char* Name;
        Bytes Data;
    };
    TRKMapDimensions d;
    const Case cases[] = {
        {"a name of 2^31-1 bytes", KzmByteWriter().Header().Int32(huge).Raw("abc").Bytes},
        {"a version of 2^31-1 bytes", KzmByteWriter().Raw("KZM").Int32(huge).Bytes},
        {"2^31-1 tilesets", KzmByteWriter().Header().Dimensions(d).Int32(huge).Bytes},
        {"an image path of 2^31-1 bytes", KzmByteWriter().Header().Dimensions(d).Int32(1).Int32(huge).Bytes},
        {"2^31-1 tiles", KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(huge).Bytes},
        {"2^31-1 tiles in a later section",
         KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(0).Header().Int32(huge).Bytes},
        {"10,000,000 phantom tiles", KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(10'000'000).Bytes},
        {"a negative name length", KzmByteWriter().Header().Int32(-1).Bytes},
        {"a negative version length", KzmByteWriter().Raw("KZM").Int32(-5).Bytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_LE(c.Data.size(), 100u);
        test::AllocationMeter meter;
        Read read = ReadBytes(c.Data);
        EXPECT_LT(meter.PeakGrowth(), 64 << 20);
        EXPECT_EQ(read.Result->GetErrored(), 1);
        EXPECT_EQ(read.Result->GetLevel(), nullptr);
        ASSERT_FALSE(read.Lines.empty());
        EXPECT_EQ(read.Lines.back(), "It errored");
        EXPECT_FALSE(read.Result->FailureText.empty());
    }
}

TEST_F(KzmReader, AMillionAnnouncedTilesReadEvenPastTheEnd)
{
    TRKMapDimensions d;
    Bytes bytes = KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(1'000'000).Bytes;
    Read read = ReadBytes(bytes);
    ASSERT_EQ(read.Result->GetErrored(), 0);
    EXPECT_EQ(read.Result->GetLevel()->TileCount(), 1'000'000);
    EXPECT_EQ(TileAt(*read.Result->GetLevel(), 999'999).Layer, 0);
}

TEST_F(KzmReader, ManyEmptySectionsReadOneAfterAnother)
{
    KzmByteWriter out = FirstSection(0);
    for (int i = 0; i < 20000; ++i)
        out.Header().Int32(0);
    Read read = ReadBytes(out.Bytes);
    EXPECT_EQ(read.Result->GetErrored(), 0);
    EXPECT_EQ(read.Lines.size(), 20001u);
}

}  // namespace
}  // namespace kzm
