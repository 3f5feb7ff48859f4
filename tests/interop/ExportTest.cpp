// kzm export: Tiled opens what it writes and draws it as the engine does, and
// an export imported again draws as the map it came from, keeping its tiles'
// layers and extra values.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "image/Image.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"
#include "tests/interop/InteropSupport.h"
#include "tests/support/TestFiles.h"

namespace kzm::test {
namespace {

// 8 frames of 32 x 32 in an RGB picture: black is the engine's mask, and
// each frame has a black hole and an off-centre mark so flips show.
std::vector<std::uint8_t> MaskedTileset()
{
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) {
            const int frame = (y / 32) * 4 + x / 32, u = x % 32, v = y % 32;
            std::uint8_t r = static_cast<std::uint8_t>(40 + frame * 25),
                         g = static_cast<std::uint8_t>(200 - frame * 20),
                         b = static_cast<std::uint8_t>(60 + (frame % 3) * 70);
            if (u < 6 && v < 4)
                r = g = b = 250;
            if (u >= 12 && u < 20 && v >= 20 && v < 28)
                r = g = b = 0;
            rgb.insert(rgb.end(), {r, g, b, 255});
        }
    return EncodePng(128, 64, rgb, false);
}

// A random map of 12 x 10 cells of 32 pixels in three layers: tiles on the
// grid, off it, mirrored, scaled, overlapping, some with extra values.
Ref<TRKLevel> RandomLevel(unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto level = std::make_shared<TRKLevel>();
    TRKMapDimensions& d = *level->GetDimensions();
    d.Name = u"Random";
    d.Columns = 12;
    d.Rows = 10;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 3;
    auto tileset = std::make_shared<TRKTileset>();
    tileset->ImagePath = u"resource0.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level->AddTileset(tileset);
    for (int i = 0; i < 140; ++i) {
        auto tile = std::make_shared<TRKTile>();
        tile->Frame = pick(8);
        tile->Layer = pick(3);
        tile->Width = tile->Height = 32;
        tile->ScaleX = tile->ScaleY = 1.0f;
        tile->X = pick(12) * 32;
        tile->Y = pick(10) * 32;
        switch (pick(6)) {
        case 0:  // off the grid
            tile->X += pick(31) - 15;
            tile->Y += pick(31) - 15;
            break;
        case 1:  // mirrored, drawn to the left of or above its position
            tile->ScaleX = pick(2) ? -1.0f : 1.0f;
            tile->ScaleY = tile->ScaleX > 0 ? -1.0f : (pick(2) ? -1.0f : 1.0f);
            tile->X += 32;
            break;
        case 2:  // scaled
            tile->ScaleX = tile->ScaleY = 2.0f;
            break;
        case 3:  // extra values
            tile->PropA = static_cast<std::int32_t>(random());
            tile->PropB = -7;
            tile->PropF = 1 << 30;
            tile->PropG = 0.1f;
            tile->PropH = -3.5e-7f;
            break;
        default:
            break;
        }
        level->AddTile(tile);
    }
    return level;
}

bool Succeeds(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Layer and the eight extra values of every tile, sorted: what must survive.
using Extras = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t, float, float>;
std::vector<Extras> ExtrasOf(const std::string& map)
{
    const Ref<TRespReadKZM> read = TKZMReader::Read(FromUtf8(map));
    std::vector<Extras> extras;
    for (const auto& entry : read->GetLevel()->GetTiles()->Entries()) {
        const TRKTile& t = *As<TRKTile>(entry);
        extras.emplace_back(t.Layer, t.PropA, t.PropB, t.PropC, t.PropD, t.PropE, t.PropF, t.PropG, t.PropH);
    }
    std::sort(extras.begin(), extras.end());
    return extras;
}

class ExportRandomMap : public ::testing::TestWithParam<unsigned> {};

TEST_P(ExportRandomMap, TiledDrawsItAsTheEngineAndARoundTripKeepsEverything)
{
    TempDir dir;
    dir.Write("resource0.png", MaskedTileset());
    const Ref<TRKLevel> level = RandomLevel(GetParam());
    const std::string map = dir.File("map.kzm");
    ASSERT_TRUE(WriteKzmFile(map, *level));
    const Picture engine = RenderWhole(map);

    for (const std::string out : {"out.tmx", "out.tmj"}) {
        SCOPED_TRACE(out);
        const ToolRun run = RunKzm("export '" + map + "' -o '" + dir.File(out) + "'");
        ASSERT_EQ(run.Status, 0) << run.Err;
        EXPECT_TRUE(Succeeds("QT_QPA_PLATFORM=offscreen tiled --export-map '" + dir.File(out) + "' '" +
                             dir.File("check.tmj") + "'"));
        // Scaled tiles are smoothed differently at their edges.
        const PictureDifference tiled = Compare(Rasterize(dir.File(out)), engine, 24);
        ASSERT_TRUE(tiled.SameSize);
        EXPECT_LE(tiled.Pixels, 400) << "largest difference " << tiled.Largest;

        const std::string back = dir.File(out + ".back");
        const ToolRun import = Import(dir.File(out), back);
        ASSERT_EQ(import.Status, 0) << import.Err;
        const PictureDifference again = Compare(RenderWhole(back + "/NewWorld.kzm"), engine);
        ASSERT_TRUE(again.SameSize);
        EXPECT_EQ(again.Pixels, 0) << "largest difference " << again.Largest;
        EXPECT_EQ(ExtrasOf(back + "/NewWorld.kzm"), ExtrasOf(map));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ExportRandomMap, ::testing::Values(1u, 2u, 3u));

TEST(ExportSampleWorld, TiledOpensItAndDrawsItAsTheEngine)
{
    TempDir dir;
    ASSERT_EQ(RunKzm("sample '" + dir.Path() + "'").Status, 0);
    const ToolRun run = RunKzm("export '" + dir.File("NewWorld.kzm") + "' -o '" + dir.File("world.tmx") + "'");
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(Succeeds("QT_QPA_PLATFORM=offscreen tiled --export-map '" + dir.File("world.tmx") + "' '" +
                         dir.File("check.tmj") + "'"));
    const PictureDifference difference =
        Compare(Rasterize(dir.File("world.tmx")), RenderWhole(dir.File("NewWorld.kzm")), 24);
    ASSERT_TRUE(difference.SameSize);
    // The sample's scaled trees and bushes: edges smoothed differently.
    EXPECT_LE(difference.Pixels, 2000) << "largest difference " << difference.Largest;
}

// One map stored every way Tiled stores layer data imports to the same files.
TEST(ImportEncodings, TheSameMapInEveryEncodingImportsToIdenticalFiles)
{
    TempDir dir;
    dir.Write("resource0.png", MaskedTileset());
    const std::string map = dir.File("map.kzm");
    ASSERT_TRUE(WriteKzmFile(map, *RandomLevel(7)));
    std::string firstMap, firstAtlas;
    for (const std::string data : {"csv", "base64", "zlib", "gzip", "zstd"})
        for (const std::string extension : {".tmx", ".tmj"}) {
            SCOPED_TRACE(data + extension);
            const std::string out = dir.File(data + extension);
            ASSERT_EQ(RunKzm("export '" + map + "' -o '" + out + "' --data " + data).Status, 0);
            ASSERT_EQ(Import(out, out + ".in").Status, 0);
            const std::string kzm = ReadAll(out + ".in/NewWorld.kzm"), atlas = ReadAll(out + ".in/resource0.png");
            if (firstMap.empty()) {
                firstMap = kzm;
                firstAtlas = atlas;
            }
            EXPECT_EQ(kzm, firstMap);
            EXPECT_EQ(atlas, firstAtlas);
        }
    // And the old XML form, one element a tile, written here from the CSV.
    std::string tmx = ReadAll(dir.File("csv.tmx"));
    const auto open = tmx.find("<data encoding=\"csv\">");
    ASSERT_NE(open, std::string::npos);
    std::string rewritten = tmx.substr(0, open);
    for (std::size_t at = open; at != std::string::npos; at = tmx.find("<data encoding=\"csv\">", at)) {
        const std::size_t start = at + 21, end = tmx.find("</data>", start);
        rewritten += "<data>";
        std::string csv = tmx.substr(start, end - start);
        csv.erase(std::remove(csv.begin(), csv.end(), '\n'), csv.end());
        for (std::size_t i = 0; i < csv.size();) {
            const std::size_t comma = std::min(csv.find(',', i), csv.size());
            rewritten += "<tile gid=\"" + csv.substr(i, comma - i) + "\"/>";
            i = comma + 1;
        }
        rewritten += "</data>";
        at = end + 7;
        const std::size_t next = tmx.find("<data encoding=\"csv\">", at);
        rewritten += tmx.substr(at, next == std::string::npos ? std::string::npos : next - at);
    }
    WriteText(dir, "tiles.tmx", rewritten);
    std::filesystem::copy_file(dir.File("csv-tileset0.png"), dir.File("tiles-tileset0.png"));
    const ToolRun tiles = Import(dir.File("tiles.tmx"), dir.File("tiles.in"));
    ASSERT_EQ(tiles.Status, 0) << tiles.Err;
    EXPECT_EQ(ReadAll(dir.File("tiles.in/NewWorld.kzm")), firstMap);
}

}  // namespace
}  // namespace kzm::test
