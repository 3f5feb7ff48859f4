// The map header: name, source path, grid size, tile size, layer count.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"
#include "core/Wrapping.h"

namespace kzm {

class TRKMapDimensions : public Object {
public:
    String Name;
    String SourcePath;  // set by the reader to the path it was given
    std::int32_t Columns = 0;
    std::int32_t Rows = 0;
    std::int32_t TileWidth = 0;   // pixels
    std::int32_t TileHeight = 0;  // pixels
    std::int32_t LayerCount = 1;  // 1, not 0, by default

    virtual void SetTileWidth(std::int32_t value) { TileWidth = value; }
    virtual void SetTileHeight(std::int32_t value) { TileHeight = value; }
    virtual void SetColumns(std::int32_t value) { Columns = value; }
    virtual void SetRows(std::int32_t value) { Rows = value; }
    virtual void SetLayerCount(std::int32_t value) { LayerCount = value; }
    virtual void SetName(const String& value) { Name = value; }
    virtual void SetSourcePath(const String& value) { SourcePath = value; }
    virtual std::int32_t GetTileWidth() { return TileWidth; }
    virtual std::int32_t GetTileHeight() { return TileHeight; }
    virtual std::int32_t GetColumns() { return Columns; }
    virtual std::int32_t GetRows() { return Rows; }
    virtual std::int32_t GetLayerCount() { return LayerCount; }
    virtual String GetName() { return Name; }
    virtual String GetSourcePath() { return SourcePath; }
    // The map's size in pixels, as 32-bit products that wrap, unchecked.
    virtual std::int32_t PixelHeight() { return WrappingMul(Rows, TileHeight); }
    virtual std::int32_t PixelWidth() { return WrappingMul(Columns, TileWidth); }
};

}  // namespace kzm
