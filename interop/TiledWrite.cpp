#include "interop/TiledWrite.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "interop/LayerData.h"

namespace kzm::interop {

namespace {

// The shortest text that reads back as the same number.
std::string Number(double value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// A property's type in Tiled, from its text: a whole number is an int, any
// other number a float, the rest (and the map's name) a string.
std::string PropertyType(const std::string& name, const std::string& value)
{
    if (name == "Name" || value.empty())
        return "string";
    char* end = nullptr;
    std::strtol(value.c_str(), &end, 10);
    if (*end == '\0')
        return "int";
    std::strtod(value.c_str(), &end);
    return *end == '\0' ? "float" : "string";
}

std::string Csv(const std::vector<std::uint32_t>& gids, int columns)
{
    std::string text;
    for (std::size_t i = 0; i < gids.size(); ++i) {
        if (i % static_cast<std::size_t>(columns) == 0)
            text += '\n';
        text += std::to_string(gids[i]);
        if (i + 1 < gids.size())
            text += ',';
    }
    return text + '\n';
}

std::string Base64Data(const std::vector<std::uint32_t>& gids, const std::string& data)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(gids.size() * 4);
    for (std::uint32_t gid : gids)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(gid >> shift));
    return EncodeBase64(data == "base64" ? bytes : Compress(bytes, data));
}

std::string Hex(std::uint32_t rgb)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06x", rgb & 0xFFFFFFu);
    return buffer;
}

void XmlProperties(pugi::xml_node node, const Properties& properties)
{
    if (properties.empty())
        return;
    pugi::xml_node list = node.append_child("properties");
    for (const auto& [name, value] : properties) {
        pugi::xml_node property = list.append_child("property");
        property.append_attribute("name") = name.c_str();
        if (const std::string type = PropertyType(name, value); type != "string")
            property.append_attribute("type") = type.c_str();
        property.append_attribute("value") = value.c_str();
    }
}

nlohmann::json JsonProperties(const Properties& properties)
{
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [name, value] : properties) {
        const std::string type = PropertyType(name, value);
        nlohmann::json property{{"name", name}, {"type", type}};
        if (type == "int")
            property["value"] = std::stoll(value);
        else if (type == "float")
            property["value"] = std::stod(value);
        else
            property["value"] = value;
        list.push_back(property);
    }
    return list;
}

}  // namespace

std::string WriteTmx(const TiledMap& map, const std::string& data)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    pugi::xml_node root = document.append_child("map");
    root.append_attribute("version") = "1.8";
    root.append_attribute("orientation") = "orthogonal";
    root.append_attribute("renderorder") = map.RenderOrder.c_str();
    root.append_attribute("width") = map.Width;
    root.append_attribute("height") = map.Height;
    root.append_attribute("tilewidth") = map.TileWidth;
    root.append_attribute("tileheight") = map.TileHeight;
    root.append_attribute("infinite") = 0;
    XmlProperties(root, map.Props);
    for (const TiledTileset& tileset : map.Tilesets) {
        pugi::xml_node node = root.append_child("tileset");
        node.append_attribute("firstgid") = tileset.FirstGid;
        node.append_attribute("name") = tileset.Name.c_str();
        node.append_attribute("tilewidth") = tileset.TileWidth;
        node.append_attribute("tileheight") = tileset.TileHeight;
        node.append_attribute("tilecount") = tileset.TileCount;
        node.append_attribute("columns") = tileset.Columns;
        if (tileset.Image) {
            pugi::xml_node image = node.append_child("image");
            image.append_attribute("source") = tileset.Image->Path.c_str();
            if (tileset.Image->Trans)
                image.append_attribute("trans") = Hex(*tileset.Image->Trans).c_str();
            image.append_attribute("width") = tileset.Image->Width;
            image.append_attribute("height") = tileset.Image->Height;
        }
    }
    int id = 1, objectId = 1;
    for (const TiledLayer& layer : map.Layers) {
        const bool tiles = layer.Type == TiledLayer::Kind::Tiles;
        pugi::xml_node node = root.append_child(tiles ? "layer" : "objectgroup");
        node.append_attribute("id") = id++;
        node.append_attribute("name") = layer.Name.c_str();
        if (tiles) {
            node.append_attribute("width") = layer.Columns;
            node.append_attribute("height") = layer.Rows;
        } else {
            node.append_attribute("draworder") = "index";  // the default sorts by y
        }
        XmlProperties(node, layer.Props);
        if (tiles) {
            pugi::xml_node dataNode = node.append_child("data");
            if (data == "csv") {
                dataNode.append_attribute("encoding") = "csv";
                dataNode.text() = Csv(layer.Gids, layer.Columns).c_str();
            } else {
                dataNode.append_attribute("encoding") = "base64";
                if (data != "base64")
                    dataNode.append_attribute("compression") = data.c_str();
                dataNode.text() = Base64Data(layer.Gids, data).c_str();
            }
            continue;
        }
        for (const TiledObject& object : layer.Objects) {
            pugi::xml_node objectNode = node.append_child("object");
            objectNode.append_attribute("id") = objectId++;
            objectNode.append_attribute("gid") = object.Gid;
            objectNode.append_attribute("x") = Number(object.X).c_str();
            objectNode.append_attribute("y") = Number(object.Y).c_str();
            objectNode.append_attribute("width") = Number(object.Width).c_str();
            objectNode.append_attribute("height") = Number(object.Height).c_str();
            XmlProperties(objectNode, object.Props);
        }
    }
    root.append_attribute("nextlayerid") = id;
    root.append_attribute("nextobjectid") = objectId;
    std::ostringstream out;
    document.save(out, " ");
    return out.str();
}

std::string WriteTmj(const TiledMap& map, const std::string& data)
{
    using Json = nlohmann::json;
    Json root{
        {"type", "map"},      {"version", "1.8"},     {"orientation", "orthogonal"}, {"renderorder", map.RenderOrder},
        {"width", map.Width}, {"height", map.Height}, {"tilewidth", map.TileWidth},  {"tileheight", map.TileHeight},
        {"infinite", false}};
    if (!map.Props.empty())
        root["properties"] = JsonProperties(map.Props);
    root["tilesets"] = Json::array();
    for (const TiledTileset& tileset : map.Tilesets) {
        Json entry{{"firstgid", tileset.FirstGid},
                   {"name", tileset.Name},
                   {"tilewidth", tileset.TileWidth},
                   {"tileheight", tileset.TileHeight},
                   {"tilecount", tileset.TileCount},
                   {"columns", tileset.Columns},
                   {"margin", 0},
                   {"spacing", 0}};
        if (tileset.Image) {
            entry["image"] = tileset.Image->Path;
            entry["imagewidth"] = tileset.Image->Width;
            entry["imageheight"] = tileset.Image->Height;
            if (tileset.Image->Trans)
                entry["transparentcolor"] = std::string("#").append(Hex(*tileset.Image->Trans));
        }
        root["tilesets"].push_back(entry);
    }
    root["layers"] = Json::array();
    int id = 1, objectId = 1;
    for (const TiledLayer& layer : map.Layers) {
        Json entry{{"id", id++}, {"name", layer.Name}, {"visible", true}, {"opacity", 1}, {"x", 0}, {"y", 0}};
        if (!layer.Props.empty())
            entry["properties"] = JsonProperties(layer.Props);
        if (layer.Type == TiledLayer::Kind::Tiles) {
            entry["type"] = "tilelayer";
            entry["width"] = layer.Columns;
            entry["height"] = layer.Rows;
            if (data == "csv") {
                entry["data"] = layer.Gids;
            } else {
                entry["encoding"] = "base64";
                if (data != "base64")
                    entry["compression"] = data;
                entry["data"] = Base64Data(layer.Gids, data);
            }
        } else {
            entry["type"] = "objectgroup";
            entry["draworder"] = "index";
            entry["objects"] = Json::array();
            for (const TiledObject& object : layer.Objects) {
                Json objectJson{{"id", objectId++}, {"gid", object.Gid},     {"x", object.X},
                                {"y", object.Y},    {"width", object.Width}, {"height", object.Height},
                                {"rotation", 0},    {"visible", true},       {"name", ""},
                                {"type", ""}};
                if (!object.Props.empty())
                    objectJson["properties"] = JsonProperties(object.Props);
                entry["objects"].push_back(objectJson);
            }
        }
        root["layers"].push_back(entry);
    }
    root["nextlayerid"] = id;
    root["nextobjectid"] = objectId;
    return root.dump(1) + "\n";
}

}  // namespace kzm::interop
