// TMX maps and TSX tilesets, over pugixml.
#include <algorithm>
#include <cmath>
#include <string>

#include <pugixml.hpp>

#include "interop/LayerData.h"
#include "interop/TiledRead.h"

namespace kzm::interop {

namespace {

// A parsed XML file and where its nodes are, for messages.
struct XmlFile {
    std::string Path;
    const std::string& Text;

    std::string At(const pugi::xml_node& node) const
    {
        return Path + " (" +
               LineColumn(Text, static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, node.offset_debug()))) + ", <" +
               node.name() + ">)";
    }

    double Number(const pugi::xml_node& node, const char* name, double fallback) const
    {
        const pugi::xml_attribute attribute = node.attribute(name);
        if (!attribute)
            return fallback;
        const std::string value = attribute.value();
        char* end = nullptr;
        const double number = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0' || !std::isfinite(number))
            throw TiledError(At(node) + ": " + name + "=\"" + value + "\" is not a number");
        return number;
    }

    int Int(const pugi::xml_node& node, const char* name, int fallback, int low, int high) const
    {
        return CheckedInt(Number(node, name, fallback), low, high, name, At(node));
    }

    bool Flag(const pugi::xml_node& node, const char* name, bool fallback) const
    {
        return Int(node, name, fallback ? 1 : 0, 0, 1) == 1;
    }
};

pugi::xml_document Parse(const XmlFile& file, const char* root)
{
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(file.Text.data(), file.Text.size());
    if (!result)
        throw TiledError(file.Path + ": malformed XML at " +
                         LineColumn(file.Text, static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, result.offset))) +
                         ": " + result.description());
    if (!document.child(root))
        throw TiledError(file.Path + ": not a " + (std::string(root) == "map" ? "TMX map" : "TSX tileset") + " (no <" +
                         root + "> element)");
    return document;
}

Properties ReadProperties(const pugi::xml_node& node)
{
    Properties properties;
    for (const pugi::xml_node& property : node.child("properties").children("property")) {
        const pugi::xml_attribute value = property.attribute("value");
        properties.emplace_back(property.attribute("name").value(), value ? value.value() : property.child_value());
    }
    return properties;
}

TiledImage ReadImage(const XmlFile& file, const pugi::xml_node& image)
{
    TiledImage result;
    const std::string source = image.attribute("source").value();
    if (source.empty())
        throw TiledError(file.At(image) + ": an image without a source file (embedded image data is not supported)");
    result.Path = ResolvePath(file.Path, source);
    if (const pugi::xml_attribute trans = image.attribute("trans"))
        result.Trans = ParseColour(trans.value(), file.At(image)) & 0xFFFFFFu;
    return result;
}

void ReadTilesetElement(const XmlFile& file, const pugi::xml_node& node, TiledTileset& tileset, ReadContext& context)
{
    if (const pugi::xml_attribute source = node.attribute("source")) {
        ReadTilesetFile(ResolvePath(file.Path, source.value()), tileset, context);
        return;
    }
    const std::string where = file.At(node);
    tileset.Name = node.attribute("name").value();
    tileset.TileWidth = file.Int(node, "tilewidth", 0, 1, kMaxTileSide);
    tileset.TileHeight = file.Int(node, "tileheight", 0, 1, kMaxTileSide);
    tileset.Spacing = file.Int(node, "spacing", 0, 0, kMaxTileSide);
    tileset.Margin = file.Int(node, "margin", 0, 0, kMaxTileSide);
    if (const pugi::xml_node offset = node.child("tileoffset")) {
        tileset.OffsetX = file.Int(offset, "x", 0, -kMaxTileSide * 16, kMaxTileSide * 16);
        tileset.OffsetY = file.Int(offset, "y", 0, -kMaxTileSide * 16, kMaxTileSide * 16);
    }
    if (const pugi::xml_node image = node.child("image"))
        tileset.Image = ReadImage(file, image);
    for (const pugi::xml_node& tileNode : node.children("tile")) {
        if (static_cast<std::int64_t>(tileset.Tiles.size()) >= kMaxTilesetTiles)
            throw TiledError(where + ": more than " + std::to_string(kMaxTilesetTiles) + " tiles in one tileset");
        TiledTile tile;
        tile.Id = file.Int(tileNode, "id", -1, 0, kMaxTilesetTiles - 1);
        if (const pugi::xml_node image = tileNode.child("image"))
            tile.Image = ReadImage(file, image);
        if (const pugi::xml_node frame = tileNode.child("animation").child("frame"))
            tile.FirstFrame = file.Int(frame, "tileid", 0, 0, kMaxTilesetTiles - 1);
        tileset.Tiles.push_back(std::move(tile));
    }
    std::stable_sort(tileset.Tiles.begin(), tileset.Tiles.end(),
                     [](const TiledTile& a, const TiledTile& b) { return a.Id < b.Id; });
    CheckTileset(tileset, where);
}

// The gids of one <data> element (or chunk) of cells cells.
std::vector<std::uint32_t> ReadData(const XmlFile& file, const pugi::xml_node& data, const pugi::xml_node& holder,
                                    std::size_t cells)
{
    const std::string encoding = data.attribute("encoding").value();
    const std::string where = file.At(holder);
    if (!encoding.empty())
        return DecodeLayerData(holder.child_value(), encoding, data.attribute("compression").value(), cells, where);
    if (data.attribute("compression"))
        throw TiledError(where + ": XML tile data cannot be compressed");
    std::vector<std::uint32_t> gids;
    gids.reserve(cells);
    for (const pugi::xml_node& tile : holder.children("tile")) {
        if (gids.size() == cells)
            throw TiledError(where + ": layer data holds more than the " + std::to_string(cells) + " tiles expected");
        const double gid = file.Number(tile, "gid", 0);
        if (gid < 0 || gid > 4294967295.0 || gid != std::floor(gid))
            throw TiledError(file.At(tile) + ": gid must be a whole number from 0 to 4294967295");
        gids.push_back(static_cast<std::uint32_t>(gid));
    }
    if (gids.size() != cells)
        throw TiledError(where + ": layer data holds " + std::to_string(gids.size()) + " tiles, expected " +
                         std::to_string(cells));
    return gids;
}

void ReadTileLayer(const XmlFile& file, const pugi::xml_node& node, TiledLayer& layer, const TiledMap& map,
                   ReadContext& context)
{
    const pugi::xml_node data = node.child("data");
    if (!data)
        throw TiledError(file.At(node) + ": a tile layer without <data>");
    if (!map.Infinite) {
        layer.Columns = map.Width;
        layer.Rows = map.Height;
        context.ChargeCells(std::int64_t{map.Width} * map.Height, file.At(node));
        layer.Gids = ReadData(file, data, data, static_cast<std::size_t>(map.Width) * map.Height);
        return;
    }
    std::vector<TiledChunk> chunks;
    for (const pugi::xml_node& chunkNode : data.children("chunk")) {
        TiledChunk chunk;
        chunk.X = file.Int(chunkNode, "x", 0, -kMaxMapSide, kMaxMapSide);
        chunk.Y = file.Int(chunkNode, "y", 0, -kMaxMapSide, kMaxMapSide);
        chunk.Width = file.Int(chunkNode, "width", 0, 1, kMaxMapSide);
        chunk.Height = file.Int(chunkNode, "height", 0, 1, kMaxMapSide);
        const std::int64_t cells = std::int64_t{chunk.Width} * chunk.Height;
        context.ChargeCells(cells, file.At(chunkNode));
        chunk.Gids = ReadData(file, data, chunkNode, static_cast<std::size_t>(cells));
        chunks.push_back(std::move(chunk));
    }
    PlaceChunks(chunks, layer, file.At(node));
}

void ReadObjects(const XmlFile& file, const pugi::xml_node& node, TiledLayer& layer, ReadContext& context)
{
    // Top-down unless told otherwise, as Tiled reads it.
    layer.TopDown = std::string(node.attribute("draworder").value()) != "index";
    for (const pugi::xml_node& objectNode : node.children("object")) {
        context.ChargeObjects(1, file.At(objectNode));
        TiledObject object;
        const double gid = file.Number(objectNode, "gid", 0);
        if (gid < 0 || gid > 4294967295.0 || gid != std::floor(gid))
            throw TiledError(file.At(objectNode) + ": gid must be a whole number from 0 to 4294967295");
        object.Gid = static_cast<std::uint32_t>(gid);
        object.X = file.Number(objectNode, "x", 0);
        object.Y = file.Number(objectNode, "y", 0);
        object.Width = file.Number(objectNode, "width", 0);
        object.Height = file.Number(objectNode, "height", 0);
        object.Rotation = file.Number(objectNode, "rotation", 0);
        object.Visible = file.Flag(objectNode, "visible", true);
        object.Props = ReadProperties(objectNode);
        if (object.Gid != 0)
            object.Type = TiledObject::Kind::Tile;
        else if (objectNode.attribute("template"))
            object.Type = TiledObject::Kind::Template;
        else if (objectNode.child("point"))
            object.Type = TiledObject::Kind::Point;
        else if (objectNode.child("text"))
            object.Type = TiledObject::Kind::Text;
        else if (objectNode.child("ellipse") || objectNode.child("polygon") || objectNode.child("polyline"))
            object.Type = TiledObject::Kind::Shape;
        layer.Objects.push_back(std::move(object));
    }
}

void ReadLayers(const XmlFile& file, const pugi::xml_node& parent, std::vector<TiledLayer>& layers, const TiledMap& map,
                ReadContext& context, int depth)
{
    if (depth > kMaxLayerDepth)
        throw TiledError(file.At(parent) + ": groups nested more than " + std::to_string(kMaxLayerDepth) + " deep");
    for (const pugi::xml_node& node : parent.children()) {
        const std::string name = node.name();
        TiledLayer layer;
        if (name == "layer")
            layer.Type = TiledLayer::Kind::Tiles;
        else if (name == "objectgroup")
            layer.Type = TiledLayer::Kind::Objects;
        else if (name == "imagelayer")
            layer.Type = TiledLayer::Kind::Image;
        else if (name == "group")
            layer.Type = TiledLayer::Kind::Group;
        else
            continue;
        layer.Name = node.attribute("name").value();
        layer.Visible = file.Flag(node, "visible", true);
        layer.Opacity = std::clamp(file.Number(node, "opacity", 1.0), 0.0, 1.0);
        if (const pugi::xml_attribute tint = node.attribute("tintcolor"))
            layer.Tint = ParseColour(tint.value(), file.At(node));
        layer.OffsetX = file.Number(node, "offsetx", 0);
        layer.OffsetY = file.Number(node, "offsety", 0);
        layer.ParallaxX = file.Number(node, "parallaxx", 1);
        layer.ParallaxY = file.Number(node, "parallaxy", 1);
        layer.Props = ReadProperties(node);
        switch (layer.Type) {
        case TiledLayer::Kind::Tiles:
            ReadTileLayer(file, node, layer, map, context);
            break;
        case TiledLayer::Kind::Objects:
            ReadObjects(file, node, layer, context);
            break;
        case TiledLayer::Kind::Image:
            if (const pugi::xml_node image = node.child("image"); image && image.attribute("source").value()[0])
                layer.Picture = ReadImage(file, image);
            layer.Repeat = file.Flag(node, "repeatx", false) || file.Flag(node, "repeaty", false);
            break;
        case TiledLayer::Kind::Group:
            ReadLayers(file, node, layer.Children, map, context, depth + 1);
            break;
        }
        layers.push_back(std::move(layer));
    }
}

}  // namespace

void ReadTsx(const std::string& path, const std::string& text, TiledTileset& tileset, ReadContext& context)
{
    const XmlFile file{path, text};
    const pugi::xml_document document = Parse(file, "tileset");
    ReadTilesetElement(file, document.child("tileset"), tileset, context);
}

TiledMap ReadTmx(const std::string& path, const std::string& text, ReadContext& context)
{
    const XmlFile file{path, text};
    const pugi::xml_document document = Parse(file, "map");
    const pugi::xml_node node = document.child("map");
    TiledMap map;
    map.Orientation = node.attribute("orientation").as_string("orthogonal");
    map.RenderOrder = node.attribute("renderorder").as_string("right-down");
    map.Infinite = file.Flag(node, "infinite", false);
    map.Width = file.Int(node, "width", 0, map.Infinite ? 0 : 1, kMaxMapSide);
    map.Height = file.Int(node, "height", 0, map.Infinite ? 0 : 1, kMaxMapSide);
    map.TileWidth = file.Int(node, "tilewidth", 0, 1, kMaxTileSide);
    map.TileHeight = file.Int(node, "tileheight", 0, 1, kMaxTileSide);
    map.HasBackground = static_cast<bool>(node.attribute("backgroundcolor"));
    map.Props = ReadProperties(node);
    CheckMapSize(map, file.At(node));
    if (map.Orientation != "orthogonal")
        return map;  // the importer refuses it by name; nothing more is needed
    for (const pugi::xml_node& tilesetNode : node.children("tileset")) {
        TiledTileset tileset;
        const double firstGid = file.Number(tilesetNode, "firstgid", 1);
        tileset.FirstGid = static_cast<std::uint32_t>(
            CheckedInt(firstGid, 1, static_cast<int>(kGidMask), "firstgid", file.At(tilesetNode)));
        tileset.File = path;
        ReadTilesetElement(file, tilesetNode, tileset, context);
        map.Tilesets.push_back(std::move(tileset));
    }
    ReadLayers(file, node, map.Layers, map, context, 0);
    return map;
}

}  // namespace kzm::interop
