// kzm dump MAP [--image ID=PNG]...: the read result as one JSON document.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <nlohmann/json.hpp>

#include "mapdata/TKZMReader.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

using Json = nlohmann::ordered_json;

// The shortest decimal that reads back to the same single-precision value;
// JSON has no NaN or infinities, so those become strings.
Json FloatJson(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

Json TilesetJson(TRKTileset& tileset)
{
    return Json{{"id", tileset.Id},
                {"image_path", ToUtf8(tileset.GetImagePath())},
                {"frame_width", tileset.GetFrameWidth()},
                {"frame_height", tileset.GetFrameHeight()},
                {"frame_count", tileset.GetFrameCount()},
                {"has_image", tileset.GetImage() != nullptr}};
}

Json TileJson(const TRKTile& t)
{
    return Json{{"tileset_id", t.TilesetId}, {"frame", t.Frame},   {"prop_a", t.PropA},
                {"prop_b", t.PropB},         {"x", t.X},           {"y", t.Y},
                {"width", t.Width},          {"height", t.Height}, {"scale_x", FloatJson(t.ScaleX)},
                {"scale_y", FloatJson(t.ScaleY)}, {"layer", t.Layer}, {"prop_c", t.PropC},
                {"prop_d", t.PropD},         {"prop_e", t.PropE},  {"prop_f", t.PropF},
                {"prop_g", FloatJson(t.PropG)}, {"prop_h", FloatJson(t.PropH)}};
}

Json LevelJson(TRKLevel& level)
{
    auto& d = *level.GetDimensions();
    Json tilesets = Json::array();
    for (const auto& entry : level.GetTilesets()->Entries())
        if (auto* tileset = dynamic_cast<TRKTileset*>(entry.get()))
            tilesets.push_back(TilesetJson(*tileset));
    Json tiles = Json::array();
    for (const auto& entry : level.GetTiles()->Entries())
        if (auto* tile = dynamic_cast<TRKTile*>(entry.get()))
            tiles.push_back(TileJson(*tile));
    return Json{{"name", ToUtf8(d.GetName())},
                {"source_path", ToUtf8(d.GetSourcePath())},
                {"columns", d.GetColumns()},
                {"rows", d.GetRows()},
                {"tile_width", d.GetTileWidth()},
                {"tile_height", d.GetTileHeight()},
                {"layer_count", d.GetLayerCount()},
                {"tilesets", std::move(tilesets)},
                {"tiles", std::move(tiles)}};
}

}  // namespace

Subcommand AddDumpCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("dump", "Print a map's read result as JSON");
    auto map = std::make_shared<std::string>();
    auto images = std::make_shared<std::vector<ImageOption>>();
    command->add_option("MAP", *map, "the .kzm file")->required();
    AddImageOption(*command, *images);
    return {command, [map, images] {
        Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(*map));
        ReportFailure("kzm dump", *map, *result);
        if (!result->GetErrored())
            AttachImages(*result->GetLevel(), *images);
        Json out{{"errored", result->GetErrored() != 0},
                 {"header_found", result->GetHeaderFound() != 0},
                 {"version_matched", result->GetVersionMatched() != 0},
                 {"version", ToUtf8(result->GetVersion())},
                 {"level", result->GetLevel() ? LevelJson(*result->GetLevel()) : Json(nullptr)}};
        std::cout << out.dump() << '\n';
        return result->GetErrored() ? 1 : 0;
    }};
}

}  // namespace kzm::tool
