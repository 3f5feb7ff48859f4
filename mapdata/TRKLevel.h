// A whole map: its header and its two ordered lists.
//
// After a load, the engine holds the very list objects the level holds (not
// copies), so a record added or removed through either is seen by both.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/ObjectList.h"
#include "mapdata/TRKMapDimensions.h"
#include "mapdata/TRKTile.h"
#include "mapdata/TRKTileset.h"

namespace kzm {

class TRKLevel : public Object {
public:
    Ref<TRKMapDimensions> Dimensions = std::make_shared<TRKMapDimensions>();
    Ref<ObjectList> Tilesets = std::make_shared<ObjectList>();  // TRKTileset records
    Ref<ObjectList> Tiles = std::make_shared<ObjectList>();     // TRKTile records

    // Replaces Dimensions, Tilesets and Tiles, in that order.
    virtual void SetContents(Ref<TRKMapDimensions> dimensions, Ref<ObjectList> tilesets, Ref<ObjectList> tiles);
    virtual std::int32_t TilesetCount() { return Tilesets->Count(); }
    virtual std::int32_t TileCount() { return Tiles->Count(); }
    virtual Ref<TRKMapDimensions> GetDimensions() { return Dimensions; }
    virtual Ref<ObjectList> GetTilesets() { return Tilesets; }
    virtual Ref<ObjectList> GetTiles() { return Tiles; }
    // The forwarding methods act on whatever record Dimensions holds now.
    virtual std::int32_t GetLayerCount() { return Dimensions->GetLayerCount(); }
    virtual String GetName() { return Dimensions->GetName(); }
    virtual String GetSourcePath() { return Dimensions->GetSourcePath(); }
    virtual void SetName(const String& name) { Dimensions->SetName(name); }
    virtual void SetDimensions(Ref<TRKMapDimensions> dimensions) { Dimensions = std::move(dimensions); }
    // Removes the first entry that is this very record, if any.
    virtual void RemoveTileset(const Ref<TRKTileset>& tileset) { Tilesets->Remove(tileset.get()); }
    virtual void RemoveTile(const Ref<TRKTile>& tile) { Tiles->Remove(tile.get()); }
    // Appends; duplicates are allowed.
    virtual void AddTileset(Ref<TRKTileset> tileset) { Tilesets->Append(std::move(tileset)); }
    virtual void AddTile(Ref<TRKTile> tile) { Tiles->Append(std::move(tile)); }
    virtual void SetSourcePath(const String& path) { Dimensions->SetSourcePath(path); }
};

}  // namespace kzm
