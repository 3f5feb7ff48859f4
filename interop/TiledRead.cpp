#include "interop/TiledRead.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kzm::interop {

const std::string* FindProperty(const Properties& properties, const std::string& name)
{
    for (const auto& [key, value] : properties)
        if (key == name)
            return &value;
    return nullptr;
}

void ReadContext::ChargeCells(std::int64_t cells, const std::string& where)
{
    Cells += cells;
    if (cells > kMaxLayerCells || Cells > kMaxMapCells)
        throw TiledError(where + ": too many tile cells (a layer may hold " + std::to_string(kMaxLayerCells) +
                         ", a map " + std::to_string(kMaxMapCells) + ")");
}

void ReadContext::ChargeObjects(std::int64_t count, const std::string& where)
{
    ObjectCount += count;
    if (ObjectCount > kMaxObjects)
        throw TiledError(where + ": more than " + std::to_string(kMaxObjects) + " objects in the map");
}

void PlaceChunks(const std::vector<TiledChunk>& chunks, TiledLayer& layer, const std::string& where)
{
    if (chunks.empty())
        return;
    std::int64_t left = chunks[0].X, top = chunks[0].Y, right = left, bottom = top;
    for (const TiledChunk& chunk : chunks) {
        left = std::min<std::int64_t>(left, chunk.X), top = std::min<std::int64_t>(top, chunk.Y);
        right = std::max<std::int64_t>(right, std::int64_t{chunk.X} + chunk.Width);
        bottom = std::max<std::int64_t>(bottom, std::int64_t{chunk.Y} + chunk.Height);
    }
    if ((right - left) * (bottom - top) > kMaxLayerCells)
        throw TiledError(where + ": the chunks span " + std::to_string(right - left) + " x " +
                         std::to_string(bottom - top) + " cells, more than a layer may hold");
    layer.CellX = static_cast<int>(left);
    layer.CellY = static_cast<int>(top);
    layer.Columns = static_cast<int>(right - left);
    layer.Rows = static_cast<int>(bottom - top);
    layer.Gids.assign(static_cast<std::size_t>(layer.Columns) * layer.Rows, 0);
    for (const TiledChunk& chunk : chunks)
        for (int y = 0; y < chunk.Height; ++y)
            std::copy_n(chunk.Gids.begin() + static_cast<std::ptrdiff_t>(y) * chunk.Width, chunk.Width,
                        layer.Gids.begin() + static_cast<std::ptrdiff_t>(chunk.Y - top + y) * layer.Columns +
                            (chunk.X - left));
}

void CheckMapSize(const TiledMap& map, const std::string& where)
{
    if (!map.Infinite && std::int64_t{map.Width} * map.Height > kMaxLayerCells)
        throw TiledError(where + ": a map of " + std::to_string(map.Width) + " x " + std::to_string(map.Height) +
                         " cells is larger than " + std::to_string(kMaxLayerCells) + " cells");
}

std::string ReadTextFile(const std::string& path, const std::string& what)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw TiledError("cannot read " + what + " " + path + ": no such file");
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        throw TiledError("cannot read " + what + " " + path + ": " + error.message());
    if (size > static_cast<std::uintmax_t>(kMaxTiledFileBytes))
        throw TiledError("cannot read " + what + " " + path + ": larger than " +
                         std::to_string(kMaxTiledFileBytes >> 20) + " MiB");
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(size)))
        throw TiledError("cannot read " + what + " " + path);
    return text;
}

std::string ResolvePath(const std::string& from, const std::string& relative)
{
    const std::filesystem::path target(relative);
    if (target.is_absolute())
        return target.lexically_normal().string();
    return (std::filesystem::path(from).parent_path() / target).lexically_normal().string();
}

std::string LineColumn(std::string_view text, std::size_t offset)
{
    offset = std::min(offset, text.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

std::uint32_t ParseColour(const std::string& text, const std::string& where)
{
    std::string digits = text;
    if (!digits.empty() && digits[0] == '#')
        digits.erase(0, 1);
    const bool ok = (digits.size() == 6 || digits.size() == 8) && std::all_of(digits.begin(), digits.end(), [](char c) {
                        return std::isxdigit(static_cast<unsigned char>(c));
                    });
    if (!ok)
        throw TiledError(where + ": \"" + text + "\" is not a colour (#RRGGBB or #AARRGGBB)");
    std::uint32_t value = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    if (digits.size() == 6)
        value |= 0xFF000000u;
    return value;
}

int CheckedInt(double value, int low, int high, const std::string& field, const std::string& where)
{
    if (!std::isfinite(value) || value != std::floor(value) || value < low || value > high)
        throw TiledError(where + ": " + field + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high));
    return static_cast<int>(value);
}

bool HasExtension(const std::string& path, std::string_view extension)
{
    std::string actual = std::filesystem::path(path).extension().string();
    std::transform(actual.begin(), actual.end(), actual.begin(), [](unsigned char c) { return std::tolower(c); });
    return actual == extension;
}

bool HasMapExtension(const std::string& path)
{
    return HasExtension(path, ".tmx") || HasExtension(path, ".tmj") || HasExtension(path, ".json");
}

void ReadTilesetFile(const std::string& path, TiledTileset& tileset, ReadContext& context)
{
    if (std::find(context.Chain.begin(), context.Chain.end(), path) != context.Chain.end()) {
        std::string chain;
        for (const std::string& file : context.Chain)
            chain += file + " -> ";
        throw TiledError("external references form a loop: " + chain + path);
    }
    if (static_cast<int>(context.Chain.size()) > kMaxReferenceDepth)
        throw TiledError(path + ": external references nested more than " + std::to_string(kMaxReferenceDepth) +
                         " deep");
    const std::string text = ReadTextFile(path, "tileset");
    context.Chain.push_back(path);
    tileset.File = path;
    if (HasExtension(path, ".tsj") || HasExtension(path, ".json"))
        ReadTsj(path, text, tileset, context);
    else
        ReadTsx(path, text, tileset, context);
    context.Chain.pop_back();
}

void CheckTileset(const TiledTileset& tileset, const std::string& where)
{
    CheckedInt(tileset.TileWidth, 1, kMaxTileSide, "tilewidth", where);
    CheckedInt(tileset.TileHeight, 1, kMaxTileSide, "tileheight", where);
    CheckedInt(tileset.Spacing, 0, kMaxTileSide, "spacing", where);
    CheckedInt(tileset.Margin, 0, kMaxTileSide, "margin", where);
    if (static_cast<std::int64_t>(tileset.Tiles.size()) > kMaxTilesetTiles)
        throw TiledError(where + ": more than " + std::to_string(kMaxTilesetTiles) + " tiles in one tileset");
}

TiledMap ReadTiledMap(const std::string& path)
{
    ReadContext context;
    const std::string text = ReadTextFile(path, "map");
    context.Chain.push_back(path);
    // XML by its name, or by its first character when the name says neither.
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const bool xml = HasExtension(path, ".tmx") || (!HasExtension(path, ".tmj") && !HasExtension(path, ".json") &&
                                                    first != std::string::npos && text[first] == '<');
    TiledMap map = xml ? ReadTmx(path, text, context) : ReadTmj(path, text, context);
    map.File = path;
    std::stable_sort(map.Tilesets.begin(), map.Tilesets.end(),
                     [](const TiledTileset& a, const TiledTileset& b) { return a.FirstGid < b.FirstGid; });
    return map;
}

}  // namespace kzm::interop
