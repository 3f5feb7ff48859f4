// Writes the seed corpora of the fuzz targets, made by our own writer and PNG
// encoder: kzm-fuzz-seeds DIR writes DIR/<target>/<seed> files.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "image/Image.h"
#include "mapdata/KzmWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

kzm::TRKLevel SmallLevel(int tiles)
{
    kzm::TRKLevel level;
    level.SetName(u"Seed");
    auto& d = *level.GetDimensions();
    d.Columns = d.Rows = 8;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 2;
    auto tileset = std::make_shared<kzm::TRKTileset>();
    tileset->ImagePath = u"resource0.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level.AddTileset(tileset);
    for (int i = 0; i < tiles; ++i) {
        auto tile = std::make_shared<kzm::TRKTile>();
        tile->Frame = i % 4;
        tile->X = (i % 8) * 32;
        tile->Y = (i / 8) * 32;
        tile->Width = tile->Height = 32;
        tile->ScaleX = tile->ScaleY = i % 5 == 0 ? -1.0f : 1.0f;
        tile->Layer = i % 2;
        level.AddTile(tile);
    }
    return level;
}

std::vector<std::pair<std::string, Bytes>> ReaderSeeds()
{
    kzm::TRKLevel level = SmallLevel(6);
    Bytes whole = kzm::EncodeKzm(level);
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
    auto section = std::make_shared<kzm::ObjectList>();
    section->Append(std::make_shared<kzm::TRKTile>());
    Bytes sections = kzm::EncodeKzm(level, {{section, section}, {'K', 'Z', 'M', 9}});
    kzm::TRKMapDimensions d;
    // One long path, then tilesets that lie past the end: the path's bytes
    // must not count for them.
    Bytes longPath = kzm::KzmByteWriter().Header().Dimensions(d).Int32(2000).Int32(32000).Bytes;
    longPath.resize(longPath.size() + 32000, 'p');
    return {
        {"map", whole},
        {"cut", cut},
        {"sections", sections},
        {"signature", {'K', 'Z', 'M'}},
        {"phantom-tiles", kzm::KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(1000).Bytes},
        {"huge-name", kzm::KzmByteWriter().Header().Int32(0x7FFFFFFF).Bytes},
        {"negative-counts", kzm::KzmByteWriter().Header().Dimensions(d).Int32(-1).Int32(-7).Bytes},
        {"long-path-then-phantom-tilesets", longPath},
    };
}

// PNG chunks end in a CRC-32 of their type and data; a seed that changes a
// header must write it anew, or the loader stops at the CRC.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// The IHDR chunk is the first: its data (width, height, ...) starts at 16 and
// its CRC at 29.
Bytes WithSize(Bytes png, std::uint32_t width, std::uint32_t height)
{
    PutBigEndian(png, 16, width);
    PutBigEndian(png, 20, height);
    PutBigEndian(png, 29, Crc32(&png[12], 17));
    return png;
}

Bytes Picture(int width, int height, bool alpha)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const auto pixel = static_cast<std::uint8_t>(i / 4);
        const bool black = pixel % 5 == 0;
        rgba[i] = black ? 0 : pixel;
        rgba[i + 1] = black ? 0 : static_cast<std::uint8_t>(pixel * 3);
        rgba[i + 2] = black ? 0 : 90;
        rgba[i + 3] = static_cast<std::uint8_t>(255 - pixel % 7);
    }
    return kzm::EncodePng(width, height, rgba, alpha);
}

// The PNG target's input: frame width and height (16-bit; 0x7FFF stands for
// 2^31 - 1), first frame, count (255: every whole cell), flags, then the file.
Bytes PngInput(std::int16_t frameWidth, std::int16_t frameHeight, std::uint8_t first, std::uint8_t count, bool masked,
               const Bytes& file)
{
    Bytes input = {static_cast<std::uint8_t>(frameWidth),
                   static_cast<std::uint8_t>(frameWidth >> 8),
                   static_cast<std::uint8_t>(frameHeight),
                   static_cast<std::uint8_t>(frameHeight >> 8),
                   first,
                   count,
                   static_cast<std::uint8_t>(masked ? 1 : 0)};
    input.insert(input.end(), file.begin(), file.end());
    return input;
}

std::vector<std::pair<std::string, Bytes>> PngSeeds()
{
    const Bytes rgb = Picture(64, 48, false);
    const Bytes rgba = Picture(20, 12, true);
    Bytes badCrc = rgb;
    badCrc[badCrc.size() - 13] ^= 0x01;  // the last byte of the IDAT CRC, before IEND's 12 bytes
    const Bytes cut(rgb.begin(), rgb.begin() + static_cast<long>(rgb.size() / 2));
    return {
        {"tiles-16", PngInput(16, 16, 0, 255, true, rgb)},
        {"tiles-from-5", PngInput(16, 16, 5, 3, true, rgb)},
        {"alpha-unmasked", PngInput(4, 3, 0, 255, false, rgba)},
        {"frame-size-0", PngInput(0, 16, 0, 255, true, rgb)},
        {"frame-size-minus-1", PngInput(-1, -1, 0, 255, true, rgb)},
        {"frame-size-max", PngInput(0x7FFF, 0x7FFF, 0, 255, true, rgb)},
        {"too-many-frames", PngInput(16, 16, 10, 10, true, rgb)},
        {"million-by-million", PngInput(16, 16, 0, 255, true, WithSize(rgb, 1'000'000, 1'000'000))},
        {"largest-side", PngInput(16, 16, 0, 255, true, WithSize(rgb, 32768, 1))},
        {"truncated", PngInput(16, 16, 0, 255, true, cut)},
        {"bad-crc", PngInput(16, 16, 0, 255, true, badCrc)},
        {"zero-bytes", PngInput(16, 16, 0, 255, true, {})},
    };
}

// Maps that reach the drawing code's corners: frames outside the image,
// mirrored and scaled tiles, huge scales and positions, many layers, and
// tilesets whose frame sizes do not fit the picture.
std::vector<std::pair<std::string, Bytes>> DrawSeeds()
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Placed {
        std::int32_t TilesetId, Frame, X, Y;
        float ScaleX, ScaleY;
        std::int32_t Layer;
    };
    const auto level = [](std::int32_t layers, std::vector<std::pair<std::int32_t, std::int32_t>> frameSizes,
                          std::vector<Placed> tiles) {
        kzm::TRKLevel made;
        auto& d = *made.GetDimensions();
        d.Columns = 12;
        d.Rows = 9;
        d.TileWidth = d.TileHeight = 16;
        d.LayerCount = layers;
        for (std::size_t i = 0; i < frameSizes.size(); ++i) {
            auto tileset = std::make_shared<kzm::TRKTileset>();
            tileset->Id = static_cast<std::int32_t>(i);
            tileset->ImagePath = u"resource0.png";
            tileset->FrameWidth = frameSizes[i].first;
            tileset->FrameHeight = frameSizes[i].second;
            made.AddTileset(tileset);
        }
        for (const Placed& p : tiles) {
            auto tile = std::make_shared<kzm::TRKTile>();
            tile->TilesetId = p.TilesetId;
            tile->Frame = p.Frame;
            tile->X = p.X;
            tile->Y = p.Y;
            tile->Width = tile->Height = 16;
            tile->ScaleX = p.ScaleX;
            tile->ScaleY = p.ScaleY;
            tile->Layer = p.Layer;
            made.AddTile(tile);
        }
        return kzm::EncodeKzm(made);
    };
    const std::int32_t big = std::numeric_limits<std::int32_t>::max();
    const std::int32_t small = std::numeric_limits<std::int32_t>::min();
    std::vector<Placed> grid;
    for (int i = 0; i < 24; ++i)
        grid.push_back({0, i % 12, (i % 6) * 32, (i / 6) * 32, 1.0f, 1.0f, i % 3});
    return {
        {"grid", level(3, {{16, 16}}, grid)},
        {"scaled-and-mirrored", level(1, {{16, 16}},
                                      {{0, 1, 40, 40, 2.0f, 2.0f, 0},
                                       {0, 2, 80, 40, -1.0f, 1.0f, 0},
                                       {0, 3, 80, 80, 1.0f, -1.0f, 0},
                                       {0, 4, 120, 80, -2.5f, -0.5f, 0},
                                       {0, 5, 10, 10, 0.0f, 0.0f, 0},
                                       {0, 6, 0, 0, 1e-6f, 3e4f, 0}})},
        {"out-of-range-frames", level(1, {{16, 16}},
                                      {{0, 12, 0, 0, 1, 1, 0},
                                       {0, -1, 16, 0, 1, 1, 0},
                                       {0, big, 32, 0, 1, 1, 0},
                                       {0, small, 48, 0, 1, 1, 0},
                                       {7, 0, 64, 0, 1, 1, 0}})},
        {"odd-scales-and-places", level(1, {{16, 16}},
                                        {{0, 0, 0, 0, inf, 1, 0},
                                         {0, 1, 0, 0, nan, nan, 0},
                                         {0, 2, big, big, 1, 1, 0},
                                         {0, 3, small, small, -1, -1, 0},
                                         {0, 4, 100, 75, 1e30f, -1e30f, 0},
                                         {0, 5, -8, -8, -inf, 2, 0}})},
        {"many-layers", level(big, {{16, 16}},
                              {{0, 0, 0, 0, 1, 1, big - 1},
                               {0, 1, 16, 0, 1, 1, 0},
                               {0, 2, 32, 0, 1, 1, -1},
                               {0, 3, 48, 0, 1, 1, 5000},
                               {0, 4, 64, 0, 1, 1, small}})},
        {"odd-frame-sizes", level(2, {{0, 16}, {-1, -1}, {big, big}, {64, 48}, {1, 1}, {small, 3}},
                                  {{0, 0, 0, 0, 1, 1, 0},
                                   {1, 0, 20, 0, 1, 1, 0},
                                   {2, 0, 40, 0, 1, 1, 0},
                                   {3, 0, 60, 0, 1, 1, 1},
                                   {4, 3000, 80, 0, 8, 8, 1},
                                   {5, 0, 100, 0, 1, 1, 0}})},
    };
}

// Small Tiled maps for the importer: each encoding, groups, objects, an
// infinite map. They name "tiles.png", which the target writes beside them.
std::vector<std::pair<std::string, Bytes>> ImportSeeds()
{
    const std::string tileset =
        R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"><image source="tiles.png"/></tileset>)";
    const auto tmx = [&](const std::string& attributes, const std::string& body) {
        const std::string text =
            R"(<?xml version="1.0"?><map orientation="orthogonal" width="2" height="2" tilewidth="16" tileheight="16" )" +
            attributes + ">" + tileset + body + "</map>";
        return Bytes(text.begin(), text.end());
    };
    const auto text = [](const std::string& t) { return Bytes(t.begin(), t.end()); };
    return {
        {"csv.tmx",
         tmx("",
             R"(<layer name="a" width="2" height="2" offsetx="3" opacity="0.5"><data encoding="csv">1,2147483650,3,536870916</data></layer>)")},
        {"zlib.tmx",
         tmx("",
             R"(<layer name="a" width="2" height="2"><data encoding="base64" compression="zlib">eJxjZGBgYAJiZgYIAAAAUAAH</data></layer>)")},
        {"xml.tmx",
         tmx(R"(renderorder="left-up")",
             R"(<group offsetx="2"><layer name="a" width="2" height="2" tintcolor="#ff8000"><data><tile gid="1"/><tile/><tile gid="8"/><tile gid="2"/></data></layer></group>)")},
        {"objects.tmx",
         tmx("",
             R"(<objectgroup draworder="index"><object id="1" gid="3" x="4" y="20" width="32" height="8"/><object id="2" x="1" y="1"><ellipse/></object></objectgroup><imagelayer offsetx="5"><image source="tiles.png"/></imagelayer>)")},
        {"infinite.tmx",
         tmx(R"(infinite="1")",
             R"(<layer name="a" width="2" height="2"><data encoding="csv"><chunk x="-16" y="0" width="2" height="1">1,2</chunk><chunk x="16" y="16" width="1" height="1">3</chunk></data></layer>)")},
        {"map.tmj",
         text(
             R"({"type":"map","orientation":"orthogonal","width":2,"height":2,"tilewidth":16,"tileheight":16,"tilesets":[{"firstgid":1,"name":"t","tilewidth":16,"tileheight":16,"image":"tiles.png","tiles":[{"id":0,"animation":[{"tileid":1,"duration":10}]}]}],"layers":[{"type":"tilelayer","name":"a","width":2,"height":2,"data":[1,2,3,4]},{"type":"group","layers":[{"type":"objectgroup","objects":[{"gid":2,"x":3,"y":30,"width":16,"height":16}]}]}]})")},
        {"infinite.tmj",
         text(
             R"({"type":"map","orientation":"orthogonal","infinite":true,"width":2,"height":2,"tilewidth":16,"tileheight":16,"tilesets":[{"firstgid":1,"name":"t","tilewidth":16,"tileheight":16,"image":"tiles.png"}],"layers":[{"type":"tilelayer","encoding":"base64","compression":"zstd","chunks":[{"x":0,"y":0,"width":1,"height":1,"data":"KLUv/QRYIQAAAQAAAFFTyx8="}]}]})")},
    };
}

void WriteAll(const fs::path& dir, const std::vector<std::pair<std::string, Bytes>>& seeds)
{
    fs::create_directories(dir);
    for (const auto& [name, bytes] : seeds)
        kzm::WriteBytesFile((dir / name).string(), bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kzm-fuzz-seeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    WriteAll(root / "reader", ReaderSeeds());
    WriteAll(root / "png", PngSeeds());
    WriteAll(root / "draw", DrawSeeds());
    WriteAll(root / "import", ImportSeeds());
    return 0;
}
