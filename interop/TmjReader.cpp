// TMJ maps and TSJ tilesets, over nlohmann-json.
#include <algorithm>
#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "interop/LayerData.h"
#include "interop/TiledRead.h"

namespace kzm::interop {

namespace {

using Json = nlohmann::json;

Json Parse(const std::string& path, const std::string& text)
{
    try {
        Json json = Json::parse(text);
        if (!json.is_object())
            throw TiledError(path + ": not a Tiled JSON file (the top level is not an object)");
        return json;
    } catch (const Json::parse_error& error) {
        // The byte is one past the offending character.
        const std::size_t at = error.byte > 0 ? error.byte - 1 : 0;
        std::string reason = error.what();
        if (const auto colon = reason.rfind(": "); colon != std::string::npos)
            reason = reason.substr(colon + 2);
        throw TiledError(path + ": malformed JSON at " + LineColumn(text, at) + ": " + reason);
    } catch (const Json::exception& error) {
        // Well-formed text the parser still cannot hold, such as a number
        // past a double's range: no position comes with it.
        std::string reason = error.what();
        if (const auto bracket = reason.find("] "); bracket != std::string::npos)
            reason = reason.substr(bracket + 2);
        throw TiledError(path + ": unreadable JSON: " + reason);
    }
}

// Fields of one JSON object, named in messages by where.
struct Fields {
    const Json& Object;
    std::string Where;

    const Json* Find(const char* name) const
    {
        const auto found = Object.find(name);
        return found == Object.end() || found->is_null() ? nullptr : &*found;
    }

    double Number(const char* name, double fallback) const
    {
        const Json* value = Find(name);
        if (!value)
            return fallback;
        if (value->is_boolean())
            return value->get<bool>() ? 1 : 0;
        if (!value->is_number())
            throw TiledError(Where + ": \"" + name + "\" is not a number");
        const double number = value->get<double>();
        if (!std::isfinite(number))
            throw TiledError(Where + ": \"" + name + "\" is not a finite number");
        return number;
    }

    int Int(const char* name, int fallback, int low, int high) const
    {
        return CheckedInt(Number(name, fallback), low, high, name, Where);
    }

    std::string Text(const char* name, const std::string& fallback = "") const
    {
        const Json* value = Find(name);
        if (!value)
            return fallback;
        if (!value->is_string())
            throw TiledError(Where + ": \"" + name + "\" is not a string");
        return value->get<std::string>();
    }

    const Json* Array(const char* name) const
    {
        const Json* value = Find(name);
        if (value && !value->is_array())
            throw TiledError(Where + ": \"" + name + "\" is not an array");
        return value;
    }
};

std::uint32_t Gid(const Json& value, const std::string& where)
{
    if (!value.is_number_integer() || value.get<std::int64_t>() < 0 || value.get<std::int64_t>() > 0xFFFFFFFFll)
        throw TiledError(where + ": a tile id must be a whole number from 0 to 4294967295");
    return static_cast<std::uint32_t>(value.get<std::int64_t>());
}

Properties ReadProperties(const Fields& fields)
{
    Properties properties;
    if (const Json* list = fields.Array("properties"))
        for (const Json& property : *list) {
            if (!property.is_object())
                continue;
            const Fields entry{property, fields.Where};
            const Json* value = entry.Find("value");
            properties.emplace_back(entry.Text("name"), !value               ? ""
                                                        : value->is_string() ? value->get<std::string>()
                                                                             : value->dump());
        }
    return properties;
}

std::optional<TiledImage> ReadImage(const std::string& path, const Fields& fields, const char* name)
{
    const std::string source = fields.Text(name);
    if (source.empty())
        return std::nullopt;
    TiledImage image;
    image.Path = ResolvePath(path, source);
    if (const std::string trans = fields.Text("transparentcolor"); !trans.empty())
        image.Trans = ParseColour(trans, fields.Where) & 0xFFFFFFu;
    return image;
}

void ReadTilesetObject(const std::string& path, const Json& json, TiledTileset& tileset, ReadContext& context,
                       const std::string& where)
{
    const Fields fields{json, where};
    if (const std::string source = fields.Text("source"); !source.empty()) {
        ReadTilesetFile(ResolvePath(path, source), tileset, context);
        return;
    }
    tileset.Name = fields.Text("name");
    tileset.TileWidth = fields.Int("tilewidth", 0, 1, kMaxTileSide);
    tileset.TileHeight = fields.Int("tileheight", 0, 1, kMaxTileSide);
    tileset.Spacing = fields.Int("spacing", 0, 0, kMaxTileSide);
    tileset.Margin = fields.Int("margin", 0, 0, kMaxTileSide);
    if (const Json* offset = fields.Find("tileoffset"); offset && offset->is_object()) {
        const Fields offsetFields{*offset, where + " tileoffset"};
        tileset.OffsetX = offsetFields.Int("x", 0, -kMaxTileSide * 16, kMaxTileSide * 16);
        tileset.OffsetY = offsetFields.Int("y", 0, -kMaxTileSide * 16, kMaxTileSide * 16);
    }
    tileset.Image = ReadImage(path, fields, "image");
    if (const Json* tiles = fields.Array("tiles")) {
        if (static_cast<std::int64_t>(tiles->size()) > kMaxTilesetTiles)
            throw TiledError(where + ": more than " + std::to_string(kMaxTilesetTiles) + " tiles in one tileset");
        for (const Json& tileJson : *tiles) {
            if (!tileJson.is_object())
                throw TiledError(where + ": a tile that is not an object");
            const Fields tileFields{tileJson, where + " tile"};
            TiledTile tile;
            tile.Id = tileFields.Int("id", -1, 0, kMaxTilesetTiles - 1);
            tile.Image = ReadImage(path, tileFields, "image");
            if (const Json* frames = tileFields.Array("animation");
                frames && !frames->empty() && (*frames)[0].is_object())
                tile.FirstFrame = Fields{(*frames)[0], where + " animation"}.Int("tileid", 0, 0, kMaxTilesetTiles - 1);
            tileset.Tiles.push_back(std::move(tile));
        }
    }
    std::stable_sort(tileset.Tiles.begin(), tileset.Tiles.end(),
                     [](const TiledTile& a, const TiledTile& b) { return a.Id < b.Id; });
    CheckTileset(tileset, where);
}

std::vector<std::uint32_t> ReadData(const Fields& holder, const std::string& encoding, const std::string& compression,
                                    std::size_t cells)
{
    const Json* data = holder.Find("data");
    if (!data)
        throw TiledError(holder.Where + ": a tile layer without \"data\"");
    if (data->is_string())
        return DecodeLayerData(data->get_ref<const std::string&>(), encoding.empty() ? "csv" : encoding, compression,
                               cells, holder.Where);
    if (!data->is_array())
        throw TiledError(holder.Where + ": \"data\" is neither an array nor a string");
    if (data->size() != cells)
        throw TiledError(holder.Where + ": layer data holds " + std::to_string(data->size()) + " tiles, expected " +
                         std::to_string(cells));
    std::vector<std::uint32_t> gids;
    gids.reserve(cells);
    for (const Json& value : *data)
        gids.push_back(Gid(value, holder.Where));
    return gids;
}

void ReadTileLayer(const Fields& fields, TiledLayer& layer, const TiledMap& map, ReadContext& context)
{
    const std::string encoding = fields.Text("encoding");
    const std::string compression = fields.Text("compression");
    if (!map.Infinite) {
        layer.Columns = map.Width;
        layer.Rows = map.Height;
        context.ChargeCells(std::int64_t{map.Width} * map.Height, fields.Where);
        layer.Gids = ReadData(fields, encoding, compression, static_cast<std::size_t>(map.Width) * map.Height);
        return;
    }
    const Json* chunks = fields.Array("chunks");
    if (!chunks || chunks->empty())
        return;
    std::vector<TiledChunk> read;
    for (const Json& chunkJson : *chunks) {
        if (!chunkJson.is_object())
            throw TiledError(fields.Where + ": a chunk that is not an object");
        const Fields chunkFields{chunkJson, fields.Where + " chunk " + std::to_string(read.size())};
        TiledChunk chunk;
        chunk.X = chunkFields.Int("x", 0, -kMaxMapSide, kMaxMapSide);
        chunk.Y = chunkFields.Int("y", 0, -kMaxMapSide, kMaxMapSide);
        chunk.Width = chunkFields.Int("width", 0, 1, kMaxMapSide);
        chunk.Height = chunkFields.Int("height", 0, 1, kMaxMapSide);
        const std::int64_t cells = std::int64_t{chunk.Width} * chunk.Height;
        context.ChargeCells(cells, chunkFields.Where);
        chunk.Gids = ReadData(chunkFields, encoding, compression, static_cast<std::size_t>(cells));
        read.push_back(std::move(chunk));
    }
    PlaceChunks(read, layer, fields.Where);
}

void ReadObjects(const Fields& fields, TiledLayer& layer, ReadContext& context)
{
    // Top-down unless told otherwise, as Tiled reads it.
    layer.TopDown = fields.Text("draworder") != "index";
    const Json* objects = fields.Array("objects");
    if (!objects)
        return;
    context.ChargeObjects(static_cast<std::int64_t>(objects->size()), fields.Where);
    for (const Json& objectJson : *objects) {
        if (!objectJson.is_object())
            throw TiledError(fields.Where + ": an object that is not an object");
        const Fields objectFields{objectJson, fields.Where + " object " + std::to_string(layer.Objects.size())};
        TiledObject object;
        if (const Json* gid = objectFields.Find("gid"))
            object.Gid = Gid(*gid, objectFields.Where);
        object.X = objectFields.Number("x", 0);
        object.Y = objectFields.Number("y", 0);
        object.Width = objectFields.Number("width", 0);
        object.Height = objectFields.Number("height", 0);
        object.Rotation = objectFields.Number("rotation", 0);
        object.Visible = objectFields.Number("visible", 1) != 0;
        object.Props = ReadProperties(objectFields);
        const auto truthy = [&](const char* name) {
            const Json* value = objectFields.Find(name);
            return value && !(value->is_boolean() && !value->get<bool>());
        };
        if (object.Gid != 0)
            object.Type = TiledObject::Kind::Tile;
        else if (truthy("template"))
            object.Type = TiledObject::Kind::Template;
        else if (truthy("point"))
            object.Type = TiledObject::Kind::Point;
        else if (truthy("text"))
            object.Type = TiledObject::Kind::Text;
        else if (truthy("ellipse") || truthy("polygon") || truthy("polyline"))
            object.Type = TiledObject::Kind::Shape;
        layer.Objects.push_back(std::move(object));
    }
}

void ReadLayers(const std::string& path, const Fields& parent, std::vector<TiledLayer>& layers, const TiledMap& map,
                ReadContext& context, int depth)
{
    if (depth > kMaxLayerDepth)
        throw TiledError(parent.Where + ": groups nested more than " + std::to_string(kMaxLayerDepth) + " deep");
    const Json* list = parent.Array("layers");
    if (!list)
        return;
    for (const Json& layerJson : *list) {
        if (!layerJson.is_object())
            throw TiledError(parent.Where + ": a layer that is not an object");
        TiledLayer layer;
        const Fields fields{layerJson, path + ": layer \"" + Fields{layerJson, parent.Where}.Text("name") + "\""};
        layer.Name = fields.Text("name");
        const std::string type = fields.Text("type");
        if (type == "tilelayer")
            layer.Type = TiledLayer::Kind::Tiles;
        else if (type == "objectgroup")
            layer.Type = TiledLayer::Kind::Objects;
        else if (type == "imagelayer")
            layer.Type = TiledLayer::Kind::Image;
        else if (type == "group")
            layer.Type = TiledLayer::Kind::Group;
        else
            throw TiledError(fields.Where + ": unknown layer type \"" + type + "\"");
        layer.Visible = fields.Number("visible", 1) != 0;
        layer.Opacity = std::clamp(fields.Number("opacity", 1.0), 0.0, 1.0);
        if (const std::string tint = fields.Text("tintcolor"); !tint.empty())
            layer.Tint = ParseColour(tint, fields.Where);
        layer.OffsetX = fields.Number("offsetx", 0);
        layer.OffsetY = fields.Number("offsety", 0);
        layer.ParallaxX = fields.Number("parallaxx", 1);
        layer.ParallaxY = fields.Number("parallaxy", 1);
        layer.Props = ReadProperties(fields);
        switch (layer.Type) {
        case TiledLayer::Kind::Tiles:
            ReadTileLayer(fields, layer, map, context);
            break;
        case TiledLayer::Kind::Objects:
            ReadObjects(fields, layer, context);
            break;
        case TiledLayer::Kind::Image:
            layer.Picture = ReadImage(path, fields, "image");
            layer.Repeat = fields.Number("repeatx", 0) != 0 || fields.Number("repeaty", 0) != 0;
            break;
        case TiledLayer::Kind::Group:
            ReadLayers(path, fields, layer.Children, map, context, depth + 1);
            break;
        }
        layers.push_back(std::move(layer));
    }
}

}  // namespace

void ReadTsj(const std::string& path, const std::string& text, TiledTileset& tileset, ReadContext& context)
{
    const Json json = Parse(path, text);
    ReadTilesetObject(path, json, tileset, context, path);
}

TiledMap ReadTmj(const std::string& path, const std::string& text, ReadContext& context)
{
    const Json json = Parse(path, text);
    const Fields fields{json, path};
    if (const std::string type = fields.Text("type", "map"); type != "map")
        throw TiledError(path + ": not a Tiled map (type \"" + type + "\")");
    TiledMap map;
    map.Orientation = fields.Text("orientation", "orthogonal");
    map.RenderOrder = fields.Text("renderorder", "right-down");
    map.Infinite = fields.Number("infinite", 0) != 0;
    map.Width = fields.Int("width", 0, map.Infinite ? 0 : 1, kMaxMapSide);
    map.Height = fields.Int("height", 0, map.Infinite ? 0 : 1, kMaxMapSide);
    map.TileWidth = fields.Int("tilewidth", 0, 1, kMaxTileSide);
    map.TileHeight = fields.Int("tileheight", 0, 1, kMaxTileSide);
    map.HasBackground = !fields.Text("backgroundcolor").empty();
    map.Props = ReadProperties(fields);
    CheckMapSize(map, path);
    if (map.Orientation != "orthogonal")
        return map;
    if (const Json* tilesets = fields.Array("tilesets"))
        for (const Json& tilesetJson : *tilesets) {
            if (!tilesetJson.is_object())
                throw TiledError(path + ": a tileset that is not an object");
            const std::string where = path + ": tileset " + std::to_string(map.Tilesets.size());
            TiledTileset tileset;
            tileset.FirstGid = static_cast<std::uint32_t>(
                Fields{tilesetJson, where}.Int("firstgid", 1, 1, static_cast<int>(kGidMask)));
            tileset.File = path;
            ReadTilesetObject(path, tilesetJson, tileset, context, where);
            map.Tilesets.push_back(std::move(tileset));
        }
    ReadLayers(path, fields, map.Layers, map, context, 0);
    return map;
}

}  // namespace kzm::interop
