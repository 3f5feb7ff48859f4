// The one object through which the program loads and shows a map: it reads
// a map file, keeps the read result, configures its engine from the level,
// attaches images to tilesets and draws at the global scroll offsets.
//
// Error policy: LoadMap and SetTilesetPath guard their whole body; a failure
// inside them becomes LoadMap's 0, or SetTilesetPath's line "Error occured in
// TWorldMap.SetTilesetPath()". Draw has no guard: the engine's failures pass
// to the caller.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"
#include "mapdata/TRespReadKZM.h"
#include "render/TMapEngine.h"

namespace kzm {

class TWorldMap : public Object {
public:
    Ref<TRespReadKZM> ReadResult;                             // the latest read's result, kept whatever it reports
    Ref<TMapEngine> Engine = std::make_shared<TMapEngine>();  // never replaced

    // Reads the file and, when the read reports no error, hands the engine
    // the map size, the view rectangle (note the order: right and bottom come
    // first here, the engine takes left and top first), the level's own two
    // lists and its layer count, unchecked. 1 when loaded. A failed read
    // leaves the engine as it was; a failure midway leaves the steps already
    // done in place.
    virtual std::uint8_t LoadMap(const String& path, std::int32_t right, std::int32_t bottom, std::int32_t left,
                                 std::int32_t top);
    // SetImage(path) of the first tileset in the engine's list whose Id is
    // id; later ones with the same Id are not touched, and no match does
    // nothing at all. An absent list counts as a failure.
    virtual void SetTilesetPath(std::int32_t id, const String& path);
    // Passes ScrollX and ScrollY to the engine and makes it draw.
    virtual void Draw();
};

}  // namespace kzm
