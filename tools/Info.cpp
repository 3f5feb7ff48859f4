// kzm info MAP [--image ID=PNG]... [--json] [--strict]
//
// What a map maker wants to know at a glance: the header, the grid, tiles per
// layer, the tilesets, where the tiles lie, and every reason a tile in the
// file will silently never appear.
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "mapdata/TKZMReader.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

using Json = nlohmann::ordered_json;

// Tile indices listed with a problem: enough to find the first cases.
constexpr std::size_t kListedIndices = 5;

struct InfoOptions {
    std::string Map;
    std::vector<ImageOption> Images;
    bool AsJson = false;
    bool Strict = false;
};

// One kind of fault that keeps records from being drawn.
struct Problem {
    const char* Kind;  // the JSON key
    std::string What;  // a plural noun phrase: "tiles whose ..."
    std::int64_t Count = 0;
    std::vector<std::int64_t> First{};  // list indices, at most kListedIndices

    void Add(std::int64_t index)
    {
        if (Count++ < static_cast<std::int64_t>(kListedIndices))
            First.push_back(index);
    }
};

struct Bounds {
    std::int64_t Left = std::numeric_limits<std::int64_t>::max();
    std::int64_t Top = std::numeric_limits<std::int64_t>::max();
    std::int64_t Right = std::numeric_limits<std::int64_t>::min();
    std::int64_t Bottom = std::numeric_limits<std::int64_t>::min();
    bool Empty() const { return Left > Right; }
};

struct MapInfo {
    std::int64_t TileCount = 0;
    std::map<std::int32_t, std::int64_t> TilesPerLayer;
    Bounds TileBounds;  // of the tiles' own rectangles (X, Y, Width, Height)
    std::vector<Problem> Problems;
};

MapInfo Inspect(TRKLevel& level)
{
    const TRKMapDimensions& dimensions = *level.Dimensions;
    MapInfo info;
    Problem aboveLayers{"layer_at_or_above_layer_count", "tiles on a layer at or above LayerCount " +
                                                             std::to_string(dimensions.LayerCount) + " (never drawn)"};
    Problem negativeLayer{"negative_layer", "tiles on a negative layer (never drawn)"};
    Problem noTileset{"no_tileset", "tiles whose TilesetId no tileset has (never drawn)"};
    Problem beyondImage{"frame_beyond_image",
                        "tiles whose Frame is at or beyond their image's frame count (never drawn)"};
    Problem negativeFrame{"negative_frame", "tiles with a negative Frame (never drawn)"};
    Problem badScale{"zero_or_non_finite_scale", "tiles with a scale of zero or not a finite number (cover nothing)"};
    Problem zeroSize{"zero_size", "tiles of zero Width or Height (drawn only while their corner is inside the view)"};
    Problem duplicateId{"duplicate_tileset_id", "tilesets whose Id an earlier tileset has (never used)"};

    // The first tileset of each Id is the one the engine uses.
    std::map<std::int32_t, const TRKTileset*> tilesets;
    std::int64_t index = 0;
    for (const Ref<Object>& entry : level.Tilesets->Entries()) {
        if (const auto* tileset = As<TRKTileset>(entry))
            if (!tilesets.emplace(tileset->Id, tileset).second)
                duplicateId.Add(index);
        ++index;
    }

    index = 0;
    for (const Ref<Object>& entry : level.Tiles->Entries()) {
        const auto* tile = As<TRKTile>(entry);
        if (!tile) {
            ++index;
            continue;
        }
        ++info.TileCount;
        ++info.TilesPerLayer[tile->Layer];
        Bounds& b = info.TileBounds;
        b.Left = std::min<std::int64_t>(b.Left, tile->X);
        b.Top = std::min<std::int64_t>(b.Top, tile->Y);
        b.Right = std::max<std::int64_t>(b.Right, std::int64_t{tile->X} + tile->Width);
        b.Bottom = std::max<std::int64_t>(b.Bottom, std::int64_t{tile->Y} + tile->Height);

        if (tile->Layer < 0)
            negativeLayer.Add(index);
        else if (tile->Layer >= dimensions.LayerCount)
            aboveLayers.Add(index);
        const auto tileset = tilesets.find(tile->TilesetId);
        if (tileset == tilesets.end())
            noTileset.Add(index);
        if (tile->Frame < 0)
            negativeFrame.Add(index);
        else if (tileset != tilesets.end() && tileset->second->Image &&
                 tile->Frame >= tileset->second->Image->FrameCount)
            beyondImage.Add(index);
        if (tile->ScaleX == 0.0f || tile->ScaleY == 0.0f || !std::isfinite(tile->ScaleX) ||
            !std::isfinite(tile->ScaleY))
            badScale.Add(index);
        if (tile->Width == 0 || tile->Height == 0)
            zeroSize.Add(index);
        ++index;
    }
    for (Problem* problem :
         {&aboveLayers, &negativeLayer, &noTileset, &beyondImage, &negativeFrame, &badScale, &zeroSize, &duplicateId})
        if (problem->Count > 0)
            info.Problems.push_back(std::move(*problem));
    return info;
}

std::string IndexList(const Problem& problem)
{
    std::string text;
    for (std::int64_t index : problem.First)
        text += (text.empty() ? "" : ", ") + std::to_string(index);
    if (problem.Count > static_cast<std::int64_t>(problem.First.size()))
        text += ", ...";
    return text;
}

// The image paths the map gives its tilesets, before --image replaces them.
std::vector<std::string> StoredImagePaths(TRKLevel& level)
{
    std::vector<std::string> paths;
    for (const Ref<Object>& entry : level.Tilesets->Entries())
        if (const auto* tileset = As<TRKTileset>(entry))
            paths.push_back(ToUtf8(tileset->ImagePath));
    return paths;
}

void PrintText(TRespReadKZM& result, TRKLevel& level, const MapInfo& info, const std::vector<std::string>& paths)
{
    const TRKMapDimensions& d = *level.Dimensions;
    std::cout << "name: " << ToUtf8(d.Name) << '\n';
    std::cout << "version: " << ToUtf8(result.Version)
              << (result.HeaderFound == 0      ? " (no KZM header found)"
                  : result.VersionMatched == 0 ? " (not the version 1.0.0 this reader knows)"
                                               : "")
              << '\n';
    std::cout << "grid: " << d.Columns << " x " << d.Rows << " cells of " << d.TileWidth << " x " << d.TileHeight
              << " pixels (" << std::int64_t{d.Columns} * d.TileWidth << " x " << std::int64_t{d.Rows} * d.TileHeight
              << " pixels)\n";
    std::cout << "layers: " << d.LayerCount << '\n';
    std::cout << "tiles: " << info.TileCount << '\n';
    for (const auto& [layer, count] : info.TilesPerLayer)
        std::cout << "  layer " << layer << ": " << count << '\n';
    std::size_t index = 0;
    for (const Ref<Object>& entry : level.Tilesets->Entries())
        if (const auto* tileset = As<TRKTileset>(entry)) {
            std::cout << "tileset " << tileset->Id << ": \"" << paths[index++] << "\", frames " << tileset->FrameWidth
                      << " x " << tileset->FrameHeight;
            if (tileset->Image)
                std::cout << ", " << tileset->Image->FrameCount << " frames in the attached image";
            std::cout << '\n';
        }
    const Bounds& b = info.TileBounds;
    if (b.Empty())
        std::cout << "tile bounds: none\n";
    else
        std::cout << "tile bounds: x " << b.Left << " to " << b.Right << ", y " << b.Top << " to " << b.Bottom << '\n';
    if (info.Problems.empty())
        std::cout << "problems: none\n";
    for (const Problem& problem : info.Problems)
        std::cout << "problem: " << problem.Count << ' ' << problem.What << ": "
                  << (std::string(problem.Kind) == "duplicate_tileset_id" ? "tilesets " : "tiles ")
                  << IndexList(problem) << '\n';
}

void PrintJson(TRespReadKZM& result, TRKLevel& level, const MapInfo& info, const std::vector<std::string>& paths)
{
    const TRKMapDimensions& d = *level.Dimensions;
    Json layers = Json::array();
    for (const auto& [layer, count] : info.TilesPerLayer)
        layers.push_back(Json{{"layer", layer}, {"tiles", count}});
    Json tilesets = Json::array();
    std::size_t index = 0;
    for (const Ref<Object>& entry : level.Tilesets->Entries())
        if (const auto* tileset = As<TRKTileset>(entry))
            tilesets.push_back(Json{{"id", tileset->Id},
                                    {"image_path", paths[index++]},
                                    {"frame_width", tileset->FrameWidth},
                                    {"frame_height", tileset->FrameHeight},
                                    {"frame_count", tileset->Image ? Json(tileset->Image->FrameCount) : Json()}});
    const Bounds& b = info.TileBounds;
    Json problems = Json::array();
    for (const Problem& problem : info.Problems)
        problems.push_back(
            Json{{"kind", problem.Kind}, {"count", problem.Count}, {"first", problem.First}, {"text", problem.What}});
    const Json out{
        {"name", ToUtf8(d.Name)},
        {"version", ToUtf8(result.Version)},
        {"header_found", result.HeaderFound != 0},
        {"version_matched", result.VersionMatched != 0},
        {"columns", d.Columns},
        {"rows", d.Rows},
        {"tile_width", d.TileWidth},
        {"tile_height", d.TileHeight},
        {"layer_count", d.LayerCount},
        {"tile_count", info.TileCount},
        {"tiles_per_layer", std::move(layers)},
        {"tilesets", std::move(tilesets)},
        {"tile_bounds",
         b.Empty() ? Json() : Json{{"left", b.Left}, {"top", b.Top}, {"right", b.Right}, {"bottom", b.Bottom}}},
        {"problems", std::move(problems)}};
    std::cout << out.dump(2) << '\n';
}

int Info(const InfoOptions& options)
{
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(options.Map));
    if (result->GetErrored()) {
        ReportFailure("kzm info", options.Map, *result);
        return 1;
    }
    const Ref<TRKLevel> level = result->GetLevel();
    const std::vector<std::string> paths = StoredImagePaths(*level);
    const std::vector<ImageOption> failed = AttachImages(*level, options.Images);
    for (const ImageOption& image : failed)
        std::cerr << "kzm info: no image from " << image.Path << " for tileset " << image.Id
                  << " (no tileset with that Id, or the file cannot be loaded and cut into frames)\n";
    if (!failed.empty())
        return 1;
    const MapInfo info = Inspect(*level);
    if (options.AsJson)
        PrintJson(*result, *level, info, paths);
    else
        PrintText(*result, *level, info, paths);
    return options.Strict && !info.Problems.empty() ? 1 : 0;
}

}  // namespace

Subcommand AddInfoCommand(CLI::App& app)
{
    auto* command = app.add_subcommand(
        "info", "Summarise a map and list what in it will never be drawn (tiles on missing layers or tilesets, "
                "bad frames, zero scales or sizes, duplicate tileset Ids)");
    auto options = std::make_shared<InfoOptions>();
    command->add_option("MAP", options->Map, "the .kzm file")->required();
    AddImageOption(*command, options->Images);
    command->add_flag("--json", options->AsJson, "print one JSON document instead of lines");
    command->add_flag("--strict", options->Strict, "exit with status 1 when any problem is found");
    return {command, [options] { return Info(*options); }};
}

}  // namespace kzm::tool
