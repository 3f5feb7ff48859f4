#include "render/TMapEngine.h"

#include <algorithm>
#include <vector>

#include "platform/Display.h"

namespace kzm {

namespace {

// The engine's arithmetic is 32-bit two's complement: sums and products wrap.
std::int32_t Wrap(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int32_t Add(std::int32_t a, std::int32_t b)
{
    return Wrap(std::int64_t{a} + b);
}

std::int32_t Sub(std::int32_t a, std::int32_t b)
{
    return Wrap(std::int64_t{a} - b);
}

std::int32_t Times3(std::int32_t a)
{
    return Wrap(std::int64_t{a} * 3);
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
    const std::int32_t right = Add(Add(Add(tile.X, tile.Width), ScrollX), ViewLeft);
    const std::int32_t bottom = Add(Add(Add(tile.Y, tile.Height), ScrollY), ViewTop);
    if (right < Sub(ViewLeft, Times3(tile.Width)) || right > Add(ViewRight, Times3(tile.Width)) ||
        bottom < Sub(ViewTop, Times3(tile.Height)) || bottom > Add(ViewBottom, Times3(tile.Height)))
        return;
    SetDrawScale(tile.ScaleX, tile.ScaleY);
    Ref<Image> image = FindTilesetImage(Tilesets, tile);
    // The display needs a real image and a frame it has: anything else is
    // passed over here, so no draw is attempted for it.
    if (!image || tile.Frame < 0 || tile.Frame >= image->FrameCount)
        return;
    const auto x = static_cast<float>(Sub(right, tile.Width));
    const auto y = static_cast<float>(Sub(bottom, tile.Height));
    DrawImageFrame(image.get(), x, y, tile.Frame);
}

void TMapEngine::Draw()
{
    if (!Tilesets)
        return;
    const std::int64_t last = std::int64_t{LayerCount} - 1;
    // Only layers that hold a tile can draw anything, so walk just those, in
    // ascending order: a layer count of two billion from a hostile file must
    // not mean two billion empty walks.
    std::vector<std::int32_t> layers;
    for (const auto& entry : Tiles->Entries())
        if (auto* tile = As<TRKTile>(entry); tile && tile->Layer >= 0 && tile->Layer <= last)
            layers.push_back(tile->Layer);
    std::sort(layers.begin(), layers.end());
    layers.erase(std::unique(layers.begin(), layers.end()), layers.end());
    for (std::int32_t layer : layers)
        DrawLayer(layer);
}

void TMapEngine::DrawLayer(std::int32_t layer)
{
    if (!Tilesets)
        return;
    Tiles->ForEach([&](const Ref<Object>& entry) {
        if (auto* tile = As<TRKTile>(entry); tile && tile->Layer == layer)
            DrawTile(*tile);
    });
}

Ref<Image> TMapEngine::FindTilesetImage(const Ref<ObjectList>& tilesets, const TRKTile& tile)
{
    for (const auto& entry : tilesets->Entries())
        if (auto* tileset = As<TRKTileset>(entry); tileset && tileset->Id == tile.TilesetId)
            return tileset->GetImage();
    return nullptr;
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

Ref<ObjectList> TMapEngine::GetTilesets() { return Tilesets; }
void TMapEngine::SetScrollX(std::int32_t x) { ScrollX = x; }
void TMapEngine::SetScrollY(std::int32_t y) { ScrollY = y; }
std::int32_t TMapEngine::GetScrollX() { return ScrollX; }
std::int32_t TMapEngine::GetScrollY() { return ScrollY; }
std::int32_t TMapEngine::GetMapColumns() { return MapColumns; }
std::int32_t TMapEngine::GetMapRows() { return MapRows; }
std::int32_t TMapEngine::GetLayerCount() { return LayerCount; }
void TMapEngine::SetLayerCount(std::int32_t count) { LayerCount = count; }
Ref<ObjectList> TMapEngine::GetTiles() { return Tiles; }
void TMapEngine::SetTilesets(Ref<ObjectList> list) { Tilesets = std::move(list); }
void TMapEngine::SetTiles(Ref<ObjectList> list) { Tiles = std::move(list); }

}  // namespace kzm
