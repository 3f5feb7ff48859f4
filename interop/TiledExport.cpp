#include "interop/TiledExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <type_traits>

#include "core/ReplacingFile.h"
#include "image/Image.h"
#include "interop/TiledRead.h"
#include "interop/TiledWrite.h"

namespace kzm::interop {

namespace {

struct TilesetOut {
    std::uint32_t FirstGid = 0;
    std::int32_t FrameCount = 0;
    std::int32_t FrameWidth = 0, FrameHeight = 0;
};

// A rectangle in map pixels, for the overlap test that keeps draw order.
struct Box {
    double Left, Top, Right, Bottom;
    bool Overlaps(const Box& other) const
    {
        return Left < other.Right && other.Left < Right && Top < other.Bottom && other.Top < Bottom;
    }
};

// The shortest text that reads back as the same float.
std::string FloatText(float value)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw TiledError("cannot read picture " + path + ": no such file");
    if (size > static_cast<std::uintmax_t>(kMaxImageFileBytes))
        throw TiledError("cannot read picture " + path + ": larger than " + std::to_string(kMaxImageFileBytes >> 20) +
                         " MiB");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        throw TiledError("cannot read picture " + path);
    return bytes;
}

// One Tiled layer being filled: a tile layer (a grid) or an object layer.
struct LayerOut {
    bool Tiles = true;
    std::vector<std::uint32_t> Gids;
    std::vector<TiledObject> Objects;
    std::vector<Box> Boxes;  // of the objects
};

}  // namespace

ExportResult ExportLevel(TRKLevel& level, const std::vector<ExportPicture>& pictures, const std::string& outPath)
{
    ExportResult result;
    TiledMap& map = result.Map;
    const TRKMapDimensions& dimensions = *level.GetDimensions();
    map.Width = std::max(1, dimensions.Columns);
    map.Height = std::max(1, dimensions.Rows);
    map.TileWidth = dimensions.TileWidth;
    map.TileHeight = dimensions.TileHeight;
    if (map.TileWidth < 1 || map.TileWidth > kMaxTileSide || map.TileHeight < 1 || map.TileHeight > kMaxTileSide)
        throw TiledError("a tile size of " + std::to_string(map.TileWidth) + " x " + std::to_string(map.TileHeight) +
                         " cannot be a Tiled map's (1 to " + std::to_string(kMaxTileSide) + ")");
    if (std::int64_t{map.Width} * map.Height > kMaxLayerCells)
        throw TiledError("a grid of " + std::to_string(map.Width) + " x " + std::to_string(map.Height) +
                         " cells is larger than the " + std::to_string(kMaxLayerCells) + " cells a layer may hold");
    map.Props.emplace_back("Name", ToUtf8(dimensions.Name));
    map.Props.emplace_back("LayerCount", std::to_string(dimensions.LayerCount));

    // The tilesets the engine would use: the first of each Id, with a picture.
    const std::string stem = std::filesystem::path(outPath).stem().string();
    std::map<std::int32_t, TilesetOut> tilesets;
    std::uint32_t nextGid = 1;
    for (const Ref<Object>& entry : level.GetTilesets()->Entries()) {
        const TRKTileset* tileset = As<TRKTileset>(entry);
        if (!tileset || tilesets.count(tileset->Id))
            continue;
        const auto picture = std::find_if(pictures.begin(), pictures.end(),
                                          [&](const ExportPicture& p) { return p.TilesetId == tileset->Id; });
        if (picture == pictures.end() || tileset->FrameWidth < 1 || tileset->FrameHeight < 1 ||
            tileset->FrameWidth > kMaxTileSide || tileset->FrameHeight > kMaxTileSide)
            continue;
        const std::vector<std::uint8_t> bytes = ReadBytes(picture->Path);
        const Ref<Image> plain = DecodeImage(bytes, 0);
        if (!plain)
            throw TiledError("cannot read picture " + picture->Path + ": not a PNG the loader accepts");
        // Masking changes a picture only where it has no alpha of its own.
        const Ref<Image> masked = DecodeImage(bytes, kImageMasked);
        bool maskChanges = false;
        for (std::size_t i = 3; i < plain->Pixels.size() && !maskChanges; i += 4)
            maskChanges = plain->Pixels[i] != masked->Pixels[i];
        TilesetOut out;
        out.FrameWidth = tileset->FrameWidth;
        out.FrameHeight = tileset->FrameHeight;
        const int columns = plain->Width / tileset->FrameWidth;
        out.FrameCount = columns * (plain->Height / tileset->FrameHeight);
        if (out.FrameCount == 0)
            continue;
        out.FirstGid = nextGid;
        nextGid += static_cast<std::uint32_t>(out.FrameCount);
        TiledTileset tiled;
        tiled.FirstGid = out.FirstGid;
        tiled.Name = "tileset" + std::to_string(tileset->Id);
        tiled.TileWidth = tileset->FrameWidth;
        tiled.TileHeight = tileset->FrameHeight;
        tiled.TileCount = out.FrameCount;
        tiled.Columns = columns;
        TiledImage image;
        image.Path = stem + "-tileset" + std::to_string(tileset->Id) + ".png";
        image.Width = plain->Width;
        image.Height = plain->Height;
        if (maskChanges)
            image.Trans = 0;
        tiled.Image = image;
        result.Copies.emplace_back(picture->Path, image.Path);
        map.Tilesets.push_back(std::move(tiled));
        tilesets.emplace(tileset->Id, out);
    }

    // Tiles by layer, in list order.
    std::map<std::int32_t, std::vector<const TRKTile*>> byLayer;
    std::int64_t unknown = 0, unseen = 0, unscaled = 0;
    for (const Ref<Object>& entry : level.GetTiles()->Entries()) {
        const TRKTile* tile = As<TRKTile>(entry);
        if (!tile)
            continue;
        if (tile->Layer < 0 || tile->Layer >= dimensions.LayerCount) {
            ++unseen;
            continue;
        }
        const auto found = tilesets.find(tile->TilesetId);
        if (found == tilesets.end() || tile->Frame < 0 || tile->Frame >= found->second.FrameCount) {
            ++unknown;
            continue;
        }
        if (!std::isfinite(tile->ScaleX) || !std::isfinite(tile->ScaleY) || tile->ScaleX == 0 || tile->ScaleY == 0) {
            ++unscaled;
            continue;
        }
        byLayer[tile->Layer].push_back(tile);
    }

    for (const auto& [number, tiles] : byLayer) {
        std::vector<LayerOut> layers;
        const std::size_t cells = static_cast<std::size_t>(map.Width) * map.Height;
        for (const TRKTile* tile : tiles) {
            const TilesetOut& tileset = tilesets.at(tile->TilesetId);
            const std::uint32_t gid = tileset.FirstGid + static_cast<std::uint32_t>(tile->Frame);
            const bool onGrid = tile->ScaleX == 1.0f && tile->ScaleY == 1.0f && tileset.FrameWidth == map.TileWidth &&
                                tileset.FrameHeight == map.TileHeight && tile->X >= 0 && tile->Y >= 0 &&
                                tile->X % map.TileWidth == 0 && tile->Y % map.TileHeight == 0 &&
                                tile->X / map.TileWidth < map.Width && tile->Y / map.TileHeight < map.Height &&
                                tile->PropA == 0 && tile->PropB == 0 && tile->PropC == 0 && tile->PropD == 0 &&
                                tile->PropE == 0 && tile->PropF == 0 && tile->PropG == 0.0f && tile->PropH == 0.0f &&
                                !std::signbit(tile->PropG) && !std::signbit(tile->PropH);
            const double width = tileset.FrameWidth * std::abs(static_cast<double>(tile->ScaleX));
            const double height = tileset.FrameHeight * std::abs(static_cast<double>(tile->ScaleY));
            // A negative scale draws to the left of (or above) the position.
            const double left = tile->ScaleX < 0 ? tile->X - width : tile->X;
            const double top = tile->ScaleY < 0 ? tile->Y - height : tile->Y;
            const Box box{left, top, left + width, top + height};
            if (onGrid) {
                const std::size_t cell = static_cast<std::size_t>(tile->Y / map.TileHeight) * map.Width +
                                         static_cast<std::size_t>(tile->X / map.TileWidth);
                LayerOut* target = nullptr;
                if (!layers.empty() && layers.back().Tiles && layers.back().Gids[cell] == 0) {
                    target = &layers.back();
                } else if (layers.size() >= 2 && !layers.back().Tiles && layers[layers.size() - 2].Gids[cell] == 0 &&
                           std::none_of(layers.back().Boxes.begin(), layers.back().Boxes.end(),
                                        [&](const Box& other) { return other.Overlaps(box); })) {
                    // Under the objects drawn since, which it does not touch.
                    target = &layers[layers.size() - 2];
                }
                if (!target) {
                    layers.push_back(LayerOut{});
                    layers.back().Gids.assign(cells, 0);
                    target = &layers.back();
                }
                target->Gids[cell] = gid;
                continue;
            }
            if (layers.empty() || layers.back().Tiles)
                layers.push_back(LayerOut{false, {}, {}, {}});
            TiledObject object;
            object.Type = TiledObject::Kind::Tile;
            object.Gid = gid | (tile->ScaleX < 0 ? kFlipHorizontal : 0) | (tile->ScaleY < 0 ? kFlipVertical : 0);
            object.X = left;
            object.Y = top + height;  // Tiled anchors tile objects at their bottom-left corner
            object.Width = width;
            object.Height = height;
            const auto add = [&](const char* name, auto value) {
                if (value != 0 || std::signbit(static_cast<double>(value)))
                    object.Props.emplace_back(name, std::is_floating_point_v<decltype(value)>
                                                        ? FloatText(static_cast<float>(value))
                                                        : std::to_string(value));
            };
            add("PropA", tile->PropA);
            add("PropB", tile->PropB);
            add("PropC", tile->PropC);
            add("PropD", tile->PropD);
            add("PropE", tile->PropE);
            add("PropF", tile->PropF);
            add("PropG", tile->PropG);
            add("PropH", tile->PropH);
            layers.back().Objects.push_back(std::move(object));
            layers.back().Boxes.push_back(box);
        }
        int tileLayers = 0, objectLayers = 0;
        for (LayerOut& out : layers) {
            TiledLayer layer;
            layer.Type = out.Tiles ? TiledLayer::Kind::Tiles : TiledLayer::Kind::Objects;
            layer.Name = "layer " + std::to_string(number) +
                         (out.Tiles ? (tileLayers++ ? " tiles " + std::to_string(tileLayers) : "")
                                    : " objects" + (objectLayers++ ? " " + std::to_string(objectLayers) : ""));
            layer.Props.emplace_back("Layer", std::to_string(number));
            layer.Columns = map.Width;
            layer.Rows = map.Height;
            layer.Gids = std::move(out.Gids);
            layer.Objects = std::move(out.Objects);
            map.Layers.push_back(std::move(layer));
        }
    }
    const auto report = [&](std::int64_t count, const std::string& what) {
        if (count > 0)
            result.Skipped.push_back(std::to_string(count) + " " + what);
    };
    report(unseen, "tiles left out: their layer is outside 0 to LayerCount - 1, so the engine never draws them");
    report(unknown, "tiles left out: no tileset with a picture for their TilesetId, or a frame outside it");
    report(unscaled, "tiles left out: a scale of 0 or not a number draws nothing");
    return result;
}

ExportResult ExportTiledMap(TRKLevel& level, const std::vector<ExportPicture>& pictures, const std::string& outPath,
                            const std::string& data)
{
    ExportResult result = ExportLevel(level, pictures, outPath);
    const bool xml = HasExtension(outPath, ".tmx");
    const std::string text = xml ? WriteTmx(result.Map, data) : WriteTmj(result.Map, data);
    const std::filesystem::path folder = std::filesystem::path(outPath).parent_path();
    for (const auto& [from, to] : result.Copies) {
        std::error_code error;
        const std::filesystem::path target = folder / to;
        if (std::filesystem::exists(target, error) && std::filesystem::equivalent(from, target, error))
            continue;
        std::filesystem::copy_file(from, target, std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            throw TiledError("cannot write " + target.string() + ": " + error.message());
    }
    ReplacingFile out(outPath);
    std::string error;
    if (!out.Handle() || std::fwrite(text.data(), 1, text.size(), out.Handle()) != text.size() || !out.Commit(error))
        throw TiledError("cannot write " + outPath);
    return result;
}

}  // namespace kzm::interop
