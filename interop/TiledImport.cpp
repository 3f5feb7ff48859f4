#include "interop/TiledImport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "image/Image.h"
#include "interop/Atlas.h"
#include "interop/TiledRead.h"

namespace kzm::interop {

namespace {

// The most tiles an import makes: a .kzm file of 512 MiB.
constexpr std::int64_t kMaxImportTiles = std::int64_t{1} << 23;
// Positions stay well inside 32 bits, so that the engine's sums of position,
// size and scroll do not wrap.
constexpr std::int64_t kMaxPosition = std::int64_t{1} << 30;

struct Pixels {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgba;
};

// Decoded images by path and transparent colour, each decoded once.
class ImageCache {
public:
    const Pixels& Get(const TiledImage& image, const std::string& user)
    {
        const auto key = std::make_pair(image.Path, image.Trans ? std::int64_t{*image.Trans} : -1);
        auto found = Cache.find(key);
        if (found != Cache.end())
            return found->second;
        return Cache.emplace(key, Load(image, user)).first->second;
    }

private:
    static Pixels Load(const TiledImage& image, const std::string& user)
    {
        std::error_code error;
        const auto size = std::filesystem::file_size(image.Path, error);
        if (error)
            throw TiledError("cannot read image " + image.Path + " (used by " + user + "): no such file");
        if (size > static_cast<std::uintmax_t>(kMaxImageFileBytes))
            throw TiledError("cannot read image " + image.Path + " (used by " + user + "): larger than " +
                             std::to_string(kMaxImageFileBytes >> 20) + " MiB");
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        std::ifstream in(image.Path, std::ios::binary);
        if (!in || !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
            throw TiledError("cannot read image " + image.Path + " (used by " + user + ")");
        // Black as the transparent colour is the engine's own mask: decoded
        // as the engine decodes it, transparent pixels take their
        // neighbours' colour, so that scaled tiles filter as they do there.
        const bool engineMask = image.Trans && *image.Trans == 0;
        const Ref<Image> decoded = DecodeImage(bytes, engineMask ? kImageMasked : 0);
        if (!decoded)
            throw TiledError("cannot read image " + image.Path + " (used by " + user +
                             "): not a PNG the loader accepts");
        Pixels pixels{decoded->Width, decoded->Height, std::move(decoded->Pixels)};
        if (image.Trans) {
            const std::uint8_t r = (*image.Trans >> 16) & 0xFF, g = (*image.Trans >> 8) & 0xFF, b = *image.Trans & 0xFF;
            for (std::size_t i = 0; i + 3 < pixels.Rgba.size(); i += 4)
                if (pixels.Rgba[i] == r && pixels.Rgba[i + 1] == g && pixels.Rgba[i + 2] == b)
                    pixels.Rgba[i] = pixels.Rgba[i + 1] = pixels.Rgba[i + 2] = pixels.Rgba[i + 3] = 0;
        }
        return pixels;
    }

    std::map<std::pair<std::string, std::int64_t>, Pixels> Cache;
};

// A picture to draw: a rectangle of a source image, flipped, tinted and
// faded as its layer says.
struct PictureKey {
    const Pixels* Source = nullptr;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::uint32_t Flips = 0;
    std::uint32_t Tint = 0xFFFFFFFFu;
    int Opacity = 256;  // in 256ths, as the painter applies it

    auto Tied() const { return std::tie(Source, Left, Top, Width, Height, Flips, Tint, Opacity); }
    bool operator<(const PictureKey& other) const { return Tied() < other.Tied(); }
    // The size drawn at scale 1: an anti-diagonal flip swaps the sides.
    int DrawnWidth() const { return (Flips & kFlipDiagonal) ? Height : Width; }
    int DrawnHeight() const { return (Flips & kFlipDiagonal) ? Width : Height; }
};

Pixels Materialize(const PictureKey& key)
{
    Pixels out;
    out.Width = key.DrawnWidth();
    out.Height = key.DrawnHeight();
    out.Rgba.resize(static_cast<std::size_t>(out.Width) * out.Height * 4);
    const bool diagonal = key.Flips & kFlipDiagonal;
    const bool horizontal = key.Flips & kFlipHorizontal;
    const bool vertical = key.Flips & kFlipVertical;
    const int tintA = static_cast<int>(key.Tint >> 24), tintR = (key.Tint >> 16) & 0xFF, tintG = (key.Tint >> 8) & 0xFF,
              tintB = key.Tint & 0xFF;
    (void)tintA;
    const bool tinted = (key.Tint & 0xFFFFFFu) != 0xFFFFFFu;
    for (int y = 0; y < out.Height; ++y)
        for (int x = 0; x < out.Width; ++x) {
            // The diagonal flip comes first, then the horizontal and vertical.
            int u = horizontal ? out.Width - 1 - x : x;
            int v = vertical ? out.Height - 1 - y : y;
            if (diagonal)
                std::swap(u, v);
            const std::uint8_t* source =
                key.Source->Rgba.data() +
                (static_cast<std::size_t>(key.Top + v) * key.Source->Width + static_cast<std::size_t>(key.Left + u)) *
                    4;
            std::uint8_t* target = out.Rgba.data() + (static_cast<std::size_t>(y) * out.Width + x) * 4;
            int r = source[0], g = source[1], b = source[2], a = source[3];
            if (tinted && a > 0) {
                // Multiplied by the tint where opaque; a partly transparent
                // pixel also takes the tint where it lets the backdrop through.
                const auto mix = [a](int c, int t) {
                    return (t * (c * a + 255 * (255 - a)) + 255 * 127) / (255 * 255);
                };
                r = mix(r, tintR), g = mix(g, tintG), b = mix(b, tintB);
            }
            a = (a * key.Opacity) >> 8;
            target[0] = static_cast<std::uint8_t>(r);
            target[1] = static_cast<std::uint8_t>(g);
            target[2] = static_cast<std::uint8_t>(b);
            target[3] = static_cast<std::uint8_t>(a);
        }
    return out;
}

std::uint32_t MultiplyColours(std::uint32_t a, std::uint32_t b)
{
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= ((((a >> shift) & 0xFF) * ((b >> shift) & 0xFF) + 127) / 255) << shift;
    return out;
}

// Every tile layer of the tree, groups' children included, hidden or not.
template <class Visit>
void ForEachTileLayer(const std::vector<TiledLayer>& layers, const Visit& visit)
{
    for (const TiledLayer& layer : layers) {
        if (layer.Type == TiledLayer::Kind::Group)
            ForEachTileLayer(layer.Children, visit);
        else if (layer.Type == TiledLayer::Kind::Tiles)
            visit(layer);
    }
}

// What is inherited down the layer tree.
struct Inherited {
    double OffsetX = 0, OffsetY = 0;
    double Opacity = 1;
    std::uint32_t Tint = 0xFFFFFFFFu;
};

struct Counts {
    std::int64_t Shapes = 0, Points = 0, Texts = 0, Templates = 0, Rotated = 0, Parallax = 0, Repeated = 0;
};

class Importer {
public:
    Importer(const TiledMap& map, const ImportOptions& options) : Map(map), Options(options) {}

    ImportResult Run();

private:
    const TiledMap& Map;
    const ImportOptions& Options;
    ImageCache Images;
    std::map<PictureKey, int> PictureIndex;
    std::vector<PictureKey> Pictures;
    ImportedTiles Tiles;
    std::map<std::pair<double, double>, std::int32_t> PlainLooks;  // looks without extra values, by scale
    Counts Dropped;
    std::set<std::pair<const TiledTileset*, int>> Animated;  // tiles shown as their first frame
    std::int64_t OriginX = 0, OriginY = 0;
    std::int32_t NextLayer = 0;
    std::int32_t Columns = 0, Rows = 0;

    void FindOrigin();
    void Walk(const std::vector<TiledLayer>& layers, const Inherited& above);
    void AddTileLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number);
    void AddObjectLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number);
    void AddImageLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number);
    // The picture of a gid (flip bits included), its tileset, and the size
    // Tiled draws it at unless told otherwise: the tile's own, even when an
    // animation shows another tile's picture in its place.
    int PictureOf(std::uint32_t gid, const Inherited& state, const TiledTileset*& tileset, double& width,
                  double& height);
    int AddPicture(const PictureKey& key);
    // The look of a tile of this scale, with a tile object's properties.
    std::int32_t LookOf(double scaleX, double scaleY, const Properties* props);
    void Place(int picture, double x, double y, std::int32_t look, std::int32_t layer);
    TiledError TooManyTiles() const
    {
        return TiledError(Map.File + ": more than " + std::to_string(kMaxImportTiles) + " tiles to import");
    }
};

void Importer::FindOrigin()
{
    if (!Map.Infinite) {
        Columns = Map.Width;
        Rows = Map.Height;
        return;
    }
    // The content in blocks of 16 cells, as Tiled keeps an infinite layer.
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    ForEachTileLayer(Map.Layers, [&](const TiledLayer& layer) {
        for (int y = 0; y < layer.Rows; ++y)
            for (int x = 0; x < layer.Columns; ++x) {
                if (layer.Gids[static_cast<std::size_t>(y) * layer.Columns + x] == 0)
                    continue;
                const std::int64_t cx = layer.CellX + x, cy = layer.CellY + y;
                const std::int64_t bx = cx - (cx & 15), by = cy - (cy & 15);
                if (!any) {
                    left = bx, top = by, right = bx + 16, bottom = by + 16, any = true;
                } else {
                    left = std::min(left, bx), top = std::min(top, by);
                    right = std::max(right, bx + 16), bottom = std::max(bottom, by + 16);
                }
            }
    });
    if (!any) {
        Columns = Rows = 1;
        return;
    }
    Columns = static_cast<std::int32_t>(right - left);
    Rows = static_cast<std::int32_t>(bottom - top);
    OriginX = -left * Map.TileWidth;
    OriginY = -top * Map.TileHeight;
}

int Importer::AddPicture(const PictureKey& key)
{
    const auto [found, added] = PictureIndex.emplace(key, static_cast<int>(Pictures.size()));
    if (added)
        Pictures.push_back(key);
    return found->second;
}

int Importer::PictureOf(std::uint32_t gid, const Inherited& state, const TiledTileset*& tileset, double& width,
                        double& height)
{
    const std::uint32_t id = gid & kGidMask;
    tileset = nullptr;
    for (const TiledTileset& candidate : Map.Tilesets)
        if (candidate.FirstGid <= id)
            tileset = &candidate;
    const auto beyond = [&] {
        return TiledError(Map.File + ": tile id " + std::to_string(id) + " is beyond every tileset");
    };
    if (!tileset)
        throw beyond();
    int local = static_cast<int>(id - tileset->FirstGid);
    const std::string user = "tileset \"" + tileset->Name + "\" of " + tileset->File;
    const auto entry = [&](int tileId) -> const TiledTile* {
        const auto found = std::lower_bound(tileset->Tiles.begin(), tileset->Tiles.end(), tileId,
                                            [](const TiledTile& tile, int value) { return tile.Id < value; });
        return found != tileset->Tiles.end() && found->Id == tileId ? &*found : nullptr;
    };
    // The tile's own size, before an animation puts its first frame in place.
    const auto ownSize = [&](int tileId, int& w, int& h) {
        if (tileset->Image) {
            w = tileset->TileWidth, h = tileset->TileHeight;
        } else if (const TiledTile* tile = entry(tileId); tile && tile->Image) {
            const Pixels& image = Images.Get(*tile->Image, user);
            w = image.Width, h = image.Height;
        } else {
            throw beyond();
        }
    };
    int ownWidth = 0, ownHeight = 0;
    ownSize(local, ownWidth, ownHeight);
    if (const TiledTile* tile = entry(local); tile && tile->FirstFrame >= 0) {
        Animated.emplace(tileset, local);
        local = tile->FirstFrame;
    }
    if (gid & kFlipDiagonal)
        std::swap(ownWidth, ownHeight);
    width = ownWidth;
    height = ownHeight;
    PictureKey key;
    key.Flips = gid & (kFlipHorizontal | kFlipVertical | kFlipDiagonal);
    key.Tint = state.Tint;
    key.Opacity = static_cast<int>(std::lround(state.Opacity * 256));
    if (tileset->Image) {
        const Pixels& image = Images.Get(*tileset->Image, user);
        const int stepX = tileset->TileWidth + tileset->Spacing, stepY = tileset->TileHeight + tileset->Spacing;
        const int columns = std::max(0, (image.Width - tileset->Margin + tileset->Spacing) / stepX);
        const int rows = std::max(0, (image.Height - tileset->Margin + tileset->Spacing) / stepY);
        if (local >= static_cast<std::int64_t>(columns) * rows)
            throw beyond();
        key.Source = &image;
        key.Left = tileset->Margin + (local % columns) * stepX;
        key.Top = tileset->Margin + (local / columns) * stepY;
        key.Width = std::min(tileset->TileWidth, image.Width - key.Left);
        key.Height = std::min(tileset->TileHeight, image.Height - key.Top);
    } else {
        const TiledTile* tile = entry(local);
        if (!tile || !tile->Image)
            throw beyond();
        const Pixels& image = Images.Get(*tile->Image, user);
        key.Source = &image;
        key.Width = image.Width;
        key.Height = image.Height;
    }
    return AddPicture(key);
}

std::int32_t IntProperty(const Properties* props, const char* name)
{
    const std::string* value = props ? FindProperty(*props, name) : nullptr;
    return value ? static_cast<std::int32_t>(std::strtol(value->c_str(), nullptr, 10)) : 0;
}

float FloatProperty(const Properties* props, const char* name)
{
    const std::string* value = props ? FindProperty(*props, name) : nullptr;
    return value ? std::strtof(value->c_str(), nullptr) : 0.0f;
}

std::int32_t Importer::LookOf(double scaleX, double scaleY, const Properties* props)
{
    const auto next = static_cast<std::int32_t>(Tiles.Looks.size());
    if (!props) {
        const auto [found, added] = PlainLooks.emplace(std::make_pair(scaleX, scaleY), next);
        if (!added)
            return found->second;
    }
    ImportedTiles::Look look;
    look.ScaleX = scaleX;
    look.ScaleY = scaleY;
    look.PropA = IntProperty(props, "PropA");
    look.PropB = IntProperty(props, "PropB");
    look.PropC = IntProperty(props, "PropC");
    look.PropD = IntProperty(props, "PropD");
    look.PropE = IntProperty(props, "PropE");
    look.PropF = IntProperty(props, "PropF");
    look.PropG = FloatProperty(props, "PropG");
    look.PropH = FloatProperty(props, "PropH");
    Tiles.Looks.push_back(look);
    return next;
}

void Importer::Place(int picture, double x, double y, std::int32_t look, std::int32_t layer)
{
    // Checked before rounding: offsets and objects may say anything.
    const double mapX = x + static_cast<double>(OriginX), mapY = y + static_cast<double>(OriginY);
    if (!(std::abs(mapX) <= static_cast<double>(kMaxPosition) && std::abs(mapY) <= static_cast<double>(kMaxPosition)))
        throw TiledError(Map.File + ": a tile lies at (" + std::to_string(mapX) + ", " + std::to_string(mapY) +
                         "), further than a .kzm map reaches");
    const ImportedTiles::Look& scale = Tiles.Looks[look];
    if (!(scale.ScaleX * Pictures[picture].DrawnWidth() <= static_cast<double>(kMaxPosition) &&
          scale.ScaleY * Pictures[picture].DrawnHeight() <= static_cast<double>(kMaxPosition)))
        throw TiledError(Map.File + ": a tile object of " +
                         std::to_string(scale.ScaleX * Pictures[picture].DrawnWidth()) + " x " +
                         std::to_string(scale.ScaleY * Pictures[picture].DrawnHeight()) +
                         " pixels is larger than a .kzm map reaches");
    if (static_cast<std::int64_t>(Tiles.Pieces.size()) >= kMaxImportTiles)
        throw TooManyTiles();
    Tiles.Pieces.push_back({picture, static_cast<std::int32_t>(std::llround(mapX)),
                            static_cast<std::int32_t>(std::llround(mapY)), layer, look});
}

void Importer::AddTileLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number)
{
    // A layer repeats few gids many times: each is looked up once, and a
    // cell finds it in a small table indexed by the gid's low bits.
    struct Known {
        std::uint32_t Gid = 0;  // 0: empty, as no cell with gid 0 is drawn
        int Picture = 0;
        std::int32_t Look = 0;
        double OffsetX = 0, OffsetY = 0;  // from the cell's bottom-left corner
    };
    std::vector<Known> recent(1024);
    std::unordered_map<std::uint32_t, Known> known;
    const auto lookUp = [&](std::uint32_t gid) -> const Known& {
        Known& slot = recent[(gid ^ (gid >> 22)) & 1023];
        if (slot.Gid == gid)
            return slot;
        auto found = known.find(gid);
        if (found == known.end()) {
            const TiledTileset* tileset = nullptr;
            double width = 0, height = 0;
            Known entry;
            entry.Gid = gid;
            entry.Picture = PictureOf(gid, state, tileset, width, height);
            const PictureKey& key = Pictures[entry.Picture];
            entry.Look = LookOf(width / key.DrawnWidth(), height / key.DrawnHeight(), nullptr);
            // Bottom-aligned on its cell, moved by the tileset's offset.
            entry.OffsetX = state.OffsetX + tileset->OffsetX;
            entry.OffsetY = -height + state.OffsetY + tileset->OffsetY;
            found = known.emplace(gid, entry).first;
        }
        return slot = found->second;
    };
    const bool up = Map.RenderOrder == "right-up" || Map.RenderOrder == "left-up";
    const bool left = Map.RenderOrder == "left-down" || Map.RenderOrder == "left-up";
    for (int row = 0; row < layer.Rows; ++row) {
        const int y = up ? layer.Rows - 1 - row : row;
        for (int column = 0; column < layer.Columns; ++column) {
            const int x = left ? layer.Columns - 1 - column : column;
            const std::uint32_t gid = layer.Gids[static_cast<std::size_t>(y) * layer.Columns + x];
            if ((gid & kGidMask) == 0)
                continue;
            const Known& entry = lookUp(gid);
            const double cellX = static_cast<double>(layer.CellX + x) * Map.TileWidth;
            const double cellBottom = static_cast<double>(layer.CellY + y + 1) * Map.TileHeight;
            Place(entry.Picture, cellX + entry.OffsetX, cellBottom + entry.OffsetY, entry.Look, number);
        }
    }
}

void Importer::AddObjectLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number)
{
    std::vector<const TiledObject*> order;
    for (const TiledObject& object : layer.Objects)
        order.push_back(&object);
    if (layer.TopDown)
        std::stable_sort(order.begin(), order.end(),
                         [](const TiledObject* a, const TiledObject* b) { return a->Y < b->Y; });
    for (const TiledObject* object : order) {
        switch (object->Type) {
        case TiledObject::Kind::Tile:
            break;
        case TiledObject::Kind::Point:
            ++Dropped.Points;
            continue;
        case TiledObject::Kind::Text:
            ++Dropped.Texts;
            continue;
        case TiledObject::Kind::Template:
            ++Dropped.Templates;
            continue;
        default:
            ++Dropped.Shapes;
            continue;
        }
        if (!object->Visible)
            continue;
        if (object->Rotation != 0) {
            ++Dropped.Rotated;
            continue;
        }
        const TiledTileset* tileset = nullptr;
        double width = 0, height = 0;
        const int picture = PictureOf(object->Gid, state, tileset, width, height);
        const PictureKey& key = Pictures[picture];
        if (object->Width > 0)
            width = object->Width;
        if (object->Height > 0)
            height = object->Height;
        const double scaleX = width / key.DrawnWidth(), scaleY = height / key.DrawnHeight();
        // Anchored at its bottom-left corner.
        Place(picture, object->X + state.OffsetX + tileset->OffsetX * scaleX,
              object->Y - height + state.OffsetY + tileset->OffsetY * scaleY, LookOf(scaleX, scaleY, &object->Props),
              number);
    }
}

void Importer::AddImageLayer(const TiledLayer& layer, const Inherited& state, std::int32_t number)
{
    if (!layer.Picture)
        return;
    if (layer.Repeat)
        ++Dropped.Repeated;
    PictureKey key;
    key.Source = &Images.Get(*layer.Picture, "image layer \"" + layer.Name + "\"");
    key.Width = key.Source->Width;
    key.Height = key.Source->Height;
    key.Tint = state.Tint;
    key.Opacity = static_cast<int>(std::lround(state.Opacity * 256));
    Place(AddPicture(key), state.OffsetX, state.OffsetY, LookOf(1, 1, nullptr), number);
}

void Importer::Walk(const std::vector<TiledLayer>& layers, const Inherited& above)
{
    for (const TiledLayer& layer : layers) {
        if (!layer.Visible && !Options.IgnoreVisibility)
            continue;
        Inherited state = above;
        state.OffsetX += layer.OffsetX;
        state.OffsetY += layer.OffsetY;
        state.Opacity *= layer.Opacity;
        if (layer.Tint)
            state.Tint = MultiplyColours(state.Tint, *layer.Tint);
        if (layer.ParallaxX != 1 || layer.ParallaxY != 1)
            ++Dropped.Parallax;
        if (layer.Type == TiledLayer::Kind::Group) {
            Walk(layer.Children, state);
            continue;
        }
        std::int32_t number = NextLayer;
        if (const std::string* given = FindProperty(layer.Props, "Layer")) {
            char* end = nullptr;
            const long value = std::strtol(given->c_str(), &end, 10);
            if (!given->empty() && *end == '\0' && value >= 0 && value < (1 << 20))
                number = static_cast<std::int32_t>(value);
        }
        NextLayer = std::max(NextLayer, number + 1);
        switch (layer.Type) {
        case TiledLayer::Kind::Tiles:
            AddTileLayer(layer, state, number);
            break;
        case TiledLayer::Kind::Objects:
            AddObjectLayer(layer, state, number);
            break;
        case TiledLayer::Kind::Image:
            AddImageLayer(layer, state, number);
            break;
        case TiledLayer::Kind::Group:
            break;
        }
    }
}

ImportResult Importer::Run()
{
    if (Map.Orientation != "orthogonal")
        throw TiledError("only orthogonal maps can be imported: this map is " + Map.Orientation);
    FindOrigin();
    // Room for every cell that may be drawn, made once: growing the list
    // layer by layer would copy it each time.
    std::int64_t cells = 0;
    ForEachTileLayer(Map.Layers, [&cells](const TiledLayer& layer) {
        cells += std::count_if(layer.Gids.begin(), layer.Gids.end(),
                               [](std::uint32_t gid) { return (gid & kGidMask) != 0; });
    });
    Tiles.Pieces.reserve(static_cast<std::size_t>(std::min(cells, kMaxImportTiles)));
    Walk(Map.Layers, Inherited{});

    // The frame size: the size most placements draw, the larger on a tie.
    std::vector<std::int64_t> uses(Pictures.size());
    for (const ImportedTiles::Piece& piece : Tiles.Pieces)
        ++uses[piece.Picture];
    std::map<std::pair<int, int>, std::int64_t> sizes;
    for (std::size_t index = 0; index < Pictures.size(); ++index)
        sizes[{Pictures[index].DrawnWidth(), Pictures[index].DrawnHeight()}] += uses[index];
    std::pair<int, int> frame{Map.TileWidth, Map.TileHeight};
    std::int64_t best = 0;
    for (const auto& [size, count] : sizes)
        if (count > best ||
            (count == best && std::int64_t{size.first} * size.second > std::int64_t{frame.first} * frame.second))
            frame = size, best = count;

    // Each picture cut into frames (padded at its right and bottom), each
    // frame a tile where the picture is drawn: counted before anything is cut.
    std::vector<ImportedTiles::Cut>& cuts = Tiles.Cuts;
    cuts.resize(Pictures.size());
    for (std::size_t index = 0; index < Pictures.size(); ++index) {
        ImportedTiles::Cut& cut = cuts[index];
        cut.Columns = (Pictures[index].DrawnWidth() + frame.first - 1) / frame.first;
        cut.Rows = (Pictures[index].DrawnHeight() + frame.second - 1) / frame.second;
        Tiles.Count += uses[index] * cut.Columns * cut.Rows;
        if (Tiles.Count > kMaxImportTiles)
            throw TooManyTiles();
    }
    // The frames into the atlas once each.
    Atlas atlas(frame.first, frame.second);
    std::vector<std::uint8_t> cell(static_cast<std::size_t>(frame.first) * frame.second * 4);
    for (std::size_t index = 0; index < Pictures.size(); ++index) {
        const Pixels picture = Materialize(Pictures[index]);
        ImportedTiles::Cut& cut = cuts[index];
        for (int row = 0; row < cut.Rows; ++row)
            for (int column = 0; column < cut.Columns; ++column) {
                std::fill(cell.begin(), cell.end(), 0);
                const int left = column * frame.first, top = row * frame.second;
                const int width = std::min(frame.first, picture.Width - left);
                const int height = std::min(frame.second, picture.Height - top);
                for (int y = 0; y < height; ++y)
                    std::copy_n(picture.Rgba.begin() +
                                    ((static_cast<std::ptrdiff_t>(top) + y) * picture.Width + left) * 4,
                                width * 4, cell.begin() + static_cast<std::ptrdiff_t>(y) * frame.first * 4);
                cut.Frames.push_back(atlas.Add(cell));
            }
    }

    ImportResult result;
    Atlas::Layout layout;
    result.AtlasRgba = atlas.Build(layout);
    result.AtlasWidth = static_cast<int>(layout.PixelWidth);
    result.AtlasHeight = static_cast<int>(layout.PixelHeight);

    result.Level = std::make_shared<TRKLevel>();
    TRKMapDimensions& dimensions = *result.Level->GetDimensions();
    const std::string* name = FindProperty(Map.Props, "Name");
    dimensions.SetName(FromUtf8(name ? *name : std::filesystem::path(Map.File).stem().string()));
    dimensions.SetColumns(Columns);
    dimensions.SetRows(Rows);
    dimensions.SetTileWidth(Map.TileWidth);
    dimensions.SetTileHeight(Map.TileHeight);
    std::int32_t layerCount = std::max(NextLayer, 1);
    if (const std::string* given = FindProperty(Map.Props, "LayerCount"))
        layerCount = std::max(layerCount, static_cast<std::int32_t>(std::strtol(given->c_str(), nullptr, 10)));
    dimensions.SetLayerCount(layerCount);
    auto tileset = std::make_shared<TRKTileset>();
    tileset->Id = 0;
    tileset->SetImagePath(FromUtf8(kAtlasFileName));
    tileset->SetFrameWidth(frame.first);
    tileset->SetFrameHeight(frame.second);
    result.Level->AddTileset(tileset);

    Tiles.FrameWidth = frame.first;
    Tiles.FrameHeight = frame.second;
    result.Tiles = std::move(Tiles);

    const auto report = [&](std::int64_t count, const std::string& what) {
        if (count > 0)
            result.Dropped.push_back(std::to_string(count) + " " + what);
    };
    report(Dropped.Shapes, "shape objects left out: a .kzm map holds only tiles");
    report(Dropped.Points, "point objects left out: a .kzm map holds only tiles");
    report(Dropped.Texts, "text objects left out: a .kzm map holds only tiles");
    report(Dropped.Templates, "template objects left out: templates are not read");
    report(Dropped.Rotated, "rotated tile objects left out: tiles cannot be rotated");
    report(Dropped.Parallax, "layers imported without their parallax factors");
    report(Dropped.Repeated, "repeated image layers imported once, not repeated");
    report(static_cast<std::int64_t>(Animated.size()), "animated tiles imported as their first frame");
    report(Map.HasBackground ? 1 : 0, "background colour left out: the test bed clears to black");
    return result;
}

}  // namespace

ImportResult ImportTiledMap(const TiledMap& map, const ImportOptions& options)
{
    return Importer(map, options).Run();
}

void ImportedTiles::ForEach(const std::function<void(const TRKTile&)>& visit) const
{
    TRKTile tile;
    tile.TilesetId = 0;
    for (const Piece& piece : Pieces) {
        const Cut& cut = Cuts[piece.Picture];
        const Look& look = Looks[piece.Look];
        tile.Width = static_cast<std::int32_t>(std::ceil(FrameWidth * look.ScaleX));
        tile.Height = static_cast<std::int32_t>(std::ceil(FrameHeight * look.ScaleY));
        tile.ScaleX = static_cast<float>(look.ScaleX);
        tile.ScaleY = static_cast<float>(look.ScaleY);
        tile.Layer = piece.Layer;
        tile.PropA = look.PropA;
        tile.PropB = look.PropB;
        tile.PropC = look.PropC;
        tile.PropD = look.PropD;
        tile.PropE = look.PropE;
        tile.PropF = look.PropF;
        tile.PropG = look.PropG;
        tile.PropH = look.PropH;
        for (int row = 0; row < cut.Rows; ++row)
            for (int column = 0; column < cut.Columns; ++column) {
                tile.Frame = cut.Frames[static_cast<std::size_t>(row) * cut.Columns + column];
                tile.X = static_cast<std::int32_t>(piece.X + std::llround(column * FrameWidth * look.ScaleX));
                tile.Y = static_cast<std::int32_t>(piece.Y + std::llround(row * FrameHeight * look.ScaleY));
                visit(tile);
            }
    }
}

}  // namespace kzm::interop
