#include "render/TMapEngine.h"

#include <algorithm>
#include <typeinfo>
#include <vector>

#include "core/Wrapping.h"
#include "platform/Display.h"

namespace kzm {

namespace {

// How many entries ahead the one walk asks for a record's memory: the walk
// waits on memory, not on arithmetic, and the records lie in list order.
constexpr std::size_t kPrefetchAhead = 24;

// The cull test: true when the tile's right and bottom edges, which it
// leaves in right and bottom, lie in the view widened by three times the
// tile's own size. Integer arithmetic on the fields only, no call.
inline bool PassesCull(const TMapEngine& engine, const TRKTile& tile, std::int32_t& right, std::int32_t& bottom)
{
    // The engine's arithmetic is the system's int: sums and products wrap.
    right = WrappingAdd(WrappingAdd(WrappingAdd(tile.X, tile.Width), engine.ScrollX), engine.ViewLeft);
    bottom = WrappingAdd(WrappingAdd(WrappingAdd(tile.Y, tile.Height), engine.ScrollY), engine.ViewTop);
    const std::int32_t marginX = WrappingMul(tile.Width, 3);
    const std::int32_t marginY = WrappingMul(tile.Height, 3);
    return right >= WrappingSub(engine.ViewLeft, marginX) && right <= WrappingAdd(engine.ViewRight, marginX) &&
           bottom >= WrappingSub(engine.ViewTop, marginY) && bottom <= WrappingAdd(engine.ViewBottom, marginY);
}

}  // namespace

TMapEngine::~TMapEngine()
{
    Tiles.reset();
    Tilesets.reset();
}

void TMapEngine::SetViewport(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    ViewLeft = left;
    ViewTop = top;
    ViewRight = right;
    ViewBottom = bottom;
}

void TMapEngine::SetMapSize(std::int32_t rows, std::int32_t columns)
{
    MapRows = rows;
    MapColumns = columns;
}

void TMapEngine::DrawTile(const TRKTile& tile)
{
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    if (PassesCull(*this, tile, right, bottom))
        DrawVisibleTile(tile, right, bottom);
}

void TMapEngine::DrawVisibleTile(const TRKTile& tile, std::int32_t right, std::int32_t bottom)
{
    SetDrawScale(tile.ScaleX, tile.ScaleY);
    Ref<Image> image = FindTilesetImage(Tilesets, tile);
    // The display needs a real image and a frame it has: anything else is
    // passed over here, so no draw is attempted for it.
    if (!image || tile.Frame < 0 || tile.Frame >= image->FrameCount)
        return;
    const auto x = static_cast<float>(WrappingSub(right, tile.Width));
    const auto y = static_cast<float>(WrappingSub(bottom, tile.Height));
    DrawImageFrame(image.get(), x, y, tile.Frame);
}

void TMapEngine::Draw()
{
    if (!Tilesets || !Tiles)
        return;
    const std::int64_t last = std::int64_t{LayerCount} - 1;
    if (last < 0)
        return;
    if (DrawsOnItsOwn()) {
        DrawSorted(0, last);
        return;
    }
    // Layers 0 to last in ascending order, but only those that hold a tile:
    // a pass over an empty layer makes no call at all, so skipping it changes
    // nothing, and a layer count of two billion from a hostile file must not
    // mean two billion empty walks. The next layer is looked for after each
    // pass, so a tile that a pass added or moved is drawn where a walk of
    // every layer would draw it.
    for (std::int64_t layer = NextLayer(-1, last); layer <= last; layer = NextLayer(layer, last))
        DrawPass(static_cast<std::int32_t>(layer));
}

void TMapEngine::DrawLayer(std::int32_t layer)
{
    if (!Tilesets || !Tiles)
        return;
    if (DrawsOnItsOwn())
        DrawSorted(layer, layer);
    else
        DrawPass(layer);
}

bool TMapEngine::DrawsOnItsOwn() const
{
    if (typeid(*this) != typeid(TMapEngine))
        return false;
    for (const auto& entry : Tilesets->Entries())
        if (auto* tileset = As<TRKTileset>(entry); tileset && typeid(*tileset) != typeid(TRKTileset))
            return false;
    return true;
}

void TMapEngine::DrawSorted(std::int64_t first, std::int64_t last)
{
    struct Survivor {
        std::int32_t Layer;
        Ref<TRKTile> Tile;   // held while drawing, whatever happens to the list
        std::int32_t Right;  // screen edges from the cull, not computed twice
        std::int32_t Bottom;
    };
    std::vector<Survivor> survivors;
    // The one walk over the whole list: no call, so nothing can change the
    // list under it.
    const auto& entries = Tiles->Entries();
    const std::size_t count = entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        const auto& entry = entries[i];
        if (i + kPrefetchAhead < count)
            __builtin_prefetch(entries[i + kPrefetchAhead].get());
        TRKTile* const tile = As<TRKTile>(entry);
        std::int32_t right = 0;
        std::int32_t bottom = 0;
        if (tile && tile->Layer >= first && tile->Layer <= last && PassesCull(*this, *tile, right, bottom))
            survivors.push_back(Survivor{tile->Layer, Ref<TRKTile>(entry, tile), right, bottom});
    }
    // Layer by layer, and within a layer in list order.
    std::stable_sort(survivors.begin(), survivors.end(),
                     [](const Survivor& a, const Survivor& b) { return a.Layer < b.Layer; });
    for (const Survivor& survivor : survivors)
        DrawVisibleTile(*survivor.Tile, survivor.Right, survivor.Bottom);
}

std::int64_t TMapEngine::NextLayer(std::int64_t after, std::int64_t last) const
{
    std::int64_t next = last + 1;
    if (!Tiles)
        return next;  // let go of during a pass
    for (const auto& entry : Tiles->Entries())
        if (auto* tile = As<TRKTile>(entry); tile && tile->Layer > after && tile->Layer < next)
            next = tile->Layer;
    return next;
}

void TMapEngine::DrawPass(std::int32_t layer)
{
    // Tiles is held for the walk: a derived FindTilesetImage may replace it.
    Ref<ObjectList> tiles = Tiles;
    tiles->ForEach([&](const Ref<Object>& entry) {
        if (auto* tile = As<TRKTile>(entry); tile && tile->Layer == layer)
            DrawTile(*tile);
    });
}

Ref<Image> TMapEngine::FindTilesetImage(const Ref<ObjectList>& tilesets, const TRKTile& tile)
{
    if (!tilesets)
        return nullptr;
    const Ref<TRKTileset> tileset = FindTileset(*tilesets, tile.TilesetId);
    return tileset ? tileset->GetImage() : nullptr;
}

void TMapEngine::AddTileset(Ref<TRKTileset> tileset)
{
    Tilesets->Append(std::move(tileset));
}

void TMapEngine::RemoveTileset(const Ref<TRKTileset>& tileset)
{
    const std::int32_t id = tileset->Id;
    Tiles->ForEach([&](const Ref<Object>& entry) {
        if (auto* tile = As<TRKTile>(entry); tile && tile->TilesetId == id)
            Tiles->Remove(tile);
    });
    Tilesets->Remove(tileset.get());
}

Ref<ObjectList> TMapEngine::GetTilesets()
{
    return Tilesets;
}
void TMapEngine::SetScrollX(std::int32_t x)
{
    ScrollX = x;
}
void TMapEngine::SetScrollY(std::int32_t y)
{
    ScrollY = y;
}
std::int32_t TMapEngine::GetScrollX()
{
    return ScrollX;
}
std::int32_t TMapEngine::GetScrollY()
{
    return ScrollY;
}
std::int32_t TMapEngine::GetMapColumns()
{
    return MapColumns;
}
std::int32_t TMapEngine::GetMapRows()
{
    return MapRows;
}
std::int32_t TMapEngine::GetLayerCount()
{
    return LayerCount;
}
void TMapEngine::SetLayerCount(std::int32_t count)
{
    LayerCount = count;
}
Ref<ObjectList> TMapEngine::GetTiles()
{
    return Tiles;
}
void TMapEngine::SetTilesets(Ref<ObjectList> list)
{
    Tilesets = std::move(list);
}
void TMapEngine::SetTiles(Ref<ObjectList> list)
{
    Tiles = std::move(list);
}

}  // namespace kzm
