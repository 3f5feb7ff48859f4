// Draws a tile map layer by layer at a scroll offset.
//
// Error policy of the engine: it reports nothing and validates nothing. On
// an absent Tilesets list (or Tiles list) drawing draws nothing; elements of
// other classes in either list are passed over. A tile whose tileset has no
// image, or whose frame is outside its image, gets its SetDrawScale but no
// DrawImageFrame.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/ObjectList.h"
#include "image/Image.h"
#include "mapdata/TRKTile.h"
#include "mapdata/TRKTileset.h"

namespace kzm {

class TMapEngine : public Object {
public:
    std::int32_t ScrollX = 0;  // added to every tile's X, in pixels
    std::int32_t ScrollY = 0;
    std::int32_t MapRows = 0;     // only returned; drawing does not use it
    std::int32_t MapColumns = 0;  // likewise
    // Shared with the level after a load: the very same list objects.
    Ref<ObjectList> Tilesets = std::make_shared<ObjectList>();
    Ref<ObjectList> Tiles = std::make_shared<ObjectList>();
    std::int32_t LayerCount = 1;
    // The viewport in screen pixels: a culling rectangle, and its left-top
    // corner is the screen offset of the whole map. Nothing clips to it.
    std::int32_t ViewLeft = 0;
    std::int32_t ViewTop = 0;
    std::int32_t ViewRight = 0;
    std::int32_t ViewBottom = 0;
    std::int32_t ReservedA = 0;
    std::int32_t ReservedB = 0;
    std::int32_t ReservedC = 0;

    ~TMapEngine() override;

    virtual void SetViewport(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    virtual void SetMapSize(std::int32_t rows, std::int32_t columns);
    // Layers 0 to LayerCount - 1, each a walk of Tiles in list order: the
    // calls are those of a walk per layer. When nothing but this engine and
    // plain records run while drawing, the calls come from one walk that
    // sorts the survivors of the cull into their layers; every change made
    // between two calls is seen. A derived engine, or a tileset of a derived
    // class, may change the map while drawing: it gets a walk per layer,
    // which sees such a change at once. A draw sink must not change the map.
    virtual void Draw();
    // One layer, whatever LayerCount says; as Draw.
    virtual void DrawLayer(std::int32_t layer);
    // The image of the first tileset in the list whose Id is the tile's
    // TilesetId (which may itself have none); none when no tileset matches
    // or there is no list.
    virtual Ref<Image> FindTilesetImage(const Ref<ObjectList>& tilesets, const TRKTile& tile);
    virtual void AddTileset(Ref<TRKTileset> tileset);
    // Removes every tile that uses the tileset's Id, then the tileset's first
    // entry; the tiles go even when the tileset is not in the list.
    virtual void RemoveTileset(const Ref<TRKTileset>& tileset);
    virtual Ref<ObjectList> GetTilesets();
    virtual void SetScrollX(std::int32_t x);
    virtual void SetScrollY(std::int32_t y);
    virtual std::int32_t GetScrollX();
    virtual std::int32_t GetScrollY();
    virtual std::int32_t GetMapColumns();
    virtual std::int32_t GetMapRows();
    virtual std::int32_t GetLayerCount();
    virtual void SetLayerCount(std::int32_t count);
    virtual Ref<ObjectList> GetTiles();
    // Take a reference to the new list before letting go of the old one, so
    // handing over the list already held is harmless. Never copies.
    virtual void SetTilesets(Ref<ObjectList> list);
    virtual void SetTiles(Ref<ObjectList> list);

private:
    // The smallest layer above after and not above last that holds a tile;
    // last + 1 when there is none.
    std::int64_t NextLayer(std::int64_t after, std::int64_t last) const;
    // One walk of Tiles in list order, drawing the tiles of that layer.
    void DrawPass(std::int32_t layer);
    // True when drawing runs no code but this class's and the plain
    // records': the engine is no derived one, and no tileset is of a class
    // derived from TRKTileset.
    bool DrawsOnItsOwn() const;
    // Draws the tiles of layers first to last in order of layer, then of the
    // list, from one walk over Tiles. Only when DrawsOnItsOwn().
    void DrawSorted(std::int64_t first, std::int64_t last);
    // Cull, SetDrawScale, FindTilesetImage, DrawImageFrame: in that order.
    void DrawTile(const TRKTile& tile);
    // The steps after the cull, for a tile whose screen right and bottom
    // edges passed it.
    void DrawVisibleTile(const TRKTile& tile, std::int32_t right, std::int32_t bottom);
};

}  // namespace kzm
