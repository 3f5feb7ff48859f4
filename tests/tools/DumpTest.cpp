#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TestFiles.h"
#include "tests/tools/RunTool.h"

namespace kzm {
namespace {

using nlohmann::json;

// The 141-byte example map: one tileset, one tile showing frame 3 at (32, 0).
std::vector<std::uint8_t> ExampleMap()
{
    TRKLevel level;
    TRKMapDimensions& d = *level.GetDimensions();
    d.Name = u"Demo";
    d.Columns = 2;
    d.Rows = 1;
    d.TileWidth = d.TileHeight = 32;
    auto tileset = std::make_shared<TRKTileset>();
    tileset->ImagePath = u"resource0.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level.AddTileset(tileset);
    auto tile = std::make_shared<TRKTile>();
    tile->Frame = 3;
    tile->X = 32;
    tile->Width = tile->Height = 32;
    tile->ScaleX = tile->ScaleY = 1.0f;
    tile->Layer = 0;
    level.AddTile(tile);
    return EncodeKzm(level);
}

TEST(KzmDump, PrintsTheExampleMapAsJson)
{
    test::TempDir dir;
    const std::string path = dir.Write("demo.kzm", ExampleMap());
    ASSERT_EQ(std::filesystem::file_size(path), 141u);
    test::ToolRun run = test::RunKzm("dump '" + path + "'");
    EXPECT_EQ(run.Status, 0);
    const json expected = json::parse(R"({"errored": false, "header_found": true, "version_matched": true,
      "version": "1.0.0",
      "level": {"name": "Demo", "source_path": ")" +
                                      path + R"(", "columns": 2, "rows": 1,
        "tile_width": 32, "tile_height": 32, "layer_count": 1,
        "tilesets": [{"id": 0, "image_path": "resource0.png", "frame_width": 32, "frame_height": 32,
                      "frame_count": 0, "has_image": false}],
        "tiles": [{"tileset_id": 0, "frame": 3, "prop_a": 0, "prop_b": 0, "x": 32, "y": 0,
                   "width": 32, "height": 32, "scale_x": 1.0, "scale_y": 1.0, "layer": 0,
                   "prop_c": 0, "prop_d": 0, "prop_e": 0, "prop_f": 0, "prop_g": 0.0, "prop_h": 0.0}]}})");
    EXPECT_EQ(json::parse(run.Out), expected);
    // Key order is part of the format.
    EXPECT_LT(run.Out.find("\"errored\""), run.Out.find("\"header_found\""));
    EXPECT_LT(run.Out.find("\"prop_g\""), run.Out.find("\"prop_h\""));
    EXPECT_EQ(run.Err, "Initialized KZM header\r\n");
}

TEST(KzmDump, MissingFileIsAnErroredReadWithNoLevel)
{
    test::TempDir dir;
    test::ToolRun run = test::RunKzm("dump '" + dir.File("missing.kzm") + "'");
    EXPECT_EQ(run.Status, 1);
    const json out = json::parse(run.Out);
    EXPECT_EQ(out["errored"], true);
    EXPECT_TRUE(out["level"].is_null());
    EXPECT_EQ(run.Err,
              "It errored\r\nkzm dump: cannot read " + dir.File("missing.kzm") + ": the map file cannot be opened\n");
}

TEST(KzmDump, FloatsAndNulCharactersSurviveJson)
{
    TRKLevel level;
    level.SetName(String{u'a', u'\0', u'\u00E9'});
    auto tile = std::make_shared<TRKTile>();
    tile->ScaleX = 0.1f;
    tile->ScaleY = -INFINITY;
    tile->PropG = NAN;
    tile->PropH = 3.4028235e38f;
    level.AddTile(tile);
    test::TempDir dir;
    const std::string path = dir.Write("f.kzm", EncodeKzm(level));
    test::ToolRun run = test::RunKzm("dump '" + path + "'");
    ASSERT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("\"a\\u0000\xC3\xA9\""), std::string::npos) << run.Out;
    const json t = json::parse(run.Out)["level"]["tiles"][0];
    EXPECT_EQ(t["scale_x"].get<double>(), 0.1);  // the shortest form that reads back to 0.1f
    EXPECT_EQ(static_cast<float>(t["scale_x"].get<double>()), 0.1f);
    EXPECT_EQ(t["scale_y"], "-inf");
    EXPECT_EQ(t["prop_g"], "nan");
    EXPECT_EQ(static_cast<float>(t["prop_h"].get<double>()), 3.4028235e38f);
}

// The document as the JSON library makes it when it holds all of it: the
// plain form that the tool's streamed output must equal byte for byte.
namespace reference {

using Json = nlohmann::ordered_json;

Json Float(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[32];
    *std::to_chars(text, text + sizeof text, value).ptr = '\0';
    return std::strtod(text, nullptr);
}

Json Level(TRKLevel& level)
{
    auto& d = *level.GetDimensions();
    Json tilesets = Json::array();
    for (const auto& entry : level.GetTilesets()->Entries())
        if (auto* t = dynamic_cast<TRKTileset*>(entry.get()))
            tilesets.push_back(Json{{"id", t->Id},
                                    {"image_path", ToUtf8(t->GetImagePath())},
                                    {"frame_width", t->GetFrameWidth()},
                                    {"frame_height", t->GetFrameHeight()},
                                    {"frame_count", t->GetFrameCount()},
                                    {"has_image", t->GetImage() != nullptr}});
    Json tiles = Json::array();
    for (const auto& entry : level.GetTiles()->Entries())
        if (auto* t = dynamic_cast<TRKTile*>(entry.get()))
            tiles.push_back(Json{{"tileset_id", t->TilesetId},
                                 {"frame", t->Frame},
                                 {"prop_a", t->PropA},
                                 {"prop_b", t->PropB},
                                 {"x", t->X},
                                 {"y", t->Y},
                                 {"width", t->Width},
                                 {"height", t->Height},
                                 {"scale_x", Float(t->ScaleX)},
                                 {"scale_y", Float(t->ScaleY)},
                                 {"layer", t->Layer},
                                 {"prop_c", t->PropC},
                                 {"prop_d", t->PropD},
                                 {"prop_e", t->PropE},
                                 {"prop_f", t->PropF},
                                 {"prop_g", Float(t->PropG)},
                                 {"prop_h", Float(t->PropH)}});
    return Json{{"name", ToUtf8(d.GetName())},      {"source_path", ToUtf8(d.GetSourcePath())},
                {"columns", d.GetColumns()},        {"rows", d.GetRows()},
                {"tile_width", d.GetTileWidth()},   {"tile_height", d.GetTileHeight()},
                {"layer_count", d.GetLayerCount()}, {"tilesets", std::move(tilesets)},
                {"tiles", std::move(tiles)}};
}

std::string Document(const std::string& path)
{
    PrintLineCapture quiet;
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(path));
    return Json{{"errored", result->GetErrored() != 0},
                {"header_found", result->GetHeaderFound() != 0},
                {"version_matched", result->GetVersionMatched() != 0},
                {"version", ToUtf8(result->GetVersion())},
                {"level", result->GetLevel() ? Level(*result->GetLevel()) : Json(nullptr)}}
               .dump() +
           "\n";
}

}  // namespace reference

float RandomFloat(std::mt19937& random)
{
    const std::uint32_t bits = random();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The tool writes its document record by record; what it writes must be the
// very bytes the JSON library makes of the whole. Floats of every kind (far
// more distinct ones than the tool keeps texts for), names with quotes,
// backslashes, control and Latin-1 characters, long paths, an empty level
// and no level at all.
TEST(KzmDump, StreamedOutputIsTheJsonLibrarysDocument)
{
    std::mt19937 random(7);
    TRKLevel level;
    level.SetName(String{u'"', u'\\', u'\n', u'\x01', u'\u00FF', u'/', u'x'});
    level.GetDimensions()->SetColumns(-5);
    level.GetDimensions()->SetTileWidth(2147483647);
    level.GetDimensions()->SetTileHeight(-2147483647 - 1);
    for (int i = 0; i < 3; ++i) {
        auto tileset = std::make_shared<TRKTileset>();
        tileset->Id = i * 1000 - 1;
        tileset->ImagePath = String(static_cast<std::size_t>(i) * 700, u'\u00E9');
        tileset->FrameWidth = i;
        tileset->FrameHeight = -i;
        level.AddTileset(tileset);
    }
    const float special[] = {0.0f,  -0.0f, 1.0f,  -1.0f, 0.1f,        1e-45f, 1.17549435e-38f, 3.4028235e38f, 1e7f,
                             1e15f, 1e16f, 1e-4f, 1e-5f, 123456.789f, NAN,    INFINITY,        -INFINITY};
    for (int i = 0; i < 3000; ++i) {
        auto tile = std::make_shared<TRKTile>();
        tile->TilesetId = static_cast<std::int32_t>(random());
        tile->Frame = i;
        tile->X = static_cast<std::int32_t>(random());
        tile->Layer = i % 3 - 1;
        tile->ScaleX = special[static_cast<std::size_t>(i) % std::size(special)];
        tile->ScaleY = RandomFloat(random);
        tile->PropG = RandomFloat(random);
        tile->PropH = static_cast<float>(i) / 7.0f;
        level.AddTile(tile);
    }
    test::TempDir dir;
    const std::vector<std::pair<std::string, std::string>> maps = {
        {"varied", dir.Write("varied.kzm", EncodeKzm(level))},
        {"empty level", dir.Write("empty.kzm", {'K', 'Z', 'M'})},
        {"no level", dir.File("missing.kzm")},
    };
    for (const auto& [name, path] : maps) {
        SCOPED_TRACE(name);
        const test::ToolRun run = test::RunKzm("dump '" + path + "'");
        const std::string expected = reference::Document(path);
        ASSERT_EQ(run.Out.size(), expected.size());
        EXPECT_TRUE(run.Out == expected);
    }
}

TEST(KzmDump, UsageErrorsExitWithTwo)
{
    for (const char* arguments : {"dump", "dump a.kzm --image 0", "dump a.kzm --image x=a.png", "frobnicate"}) {
        SCOPED_TRACE(arguments);
        test::ToolRun run = test::RunKzm(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Out, "");
    }
}

}  // namespace
}  // namespace kzm
