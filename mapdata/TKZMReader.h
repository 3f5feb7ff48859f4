// Reads a .kzm map file into a level.
//
// Read never raises: every failure inside it is caught, recorded as Errored
// 1 and announced with the line "It errored". Data that ends early is no
// failure: missing bytes read as zeros and announced records are created
// with zero values.
//
// A map file may come from anyone, and a few bytes can announce billions of
// records that the format says to create from zeros. So a read bounds what it
// builds out of nothing: records and characters that lie past the end of the
// data are charged to a fixed allowance before anything is allocated, and an
// announcement that would overdraw it fails the read. A record counts as held
// only while the data that remains when it starts can hold it, so a long
// string cannot make later records look held. What the file really holds is
// bounded by the file's size, which is bounded too. A negative
// string length fails the read as well.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/String.h"
#include "mapdata/TRespReadKZM.h"

namespace kzm {

class TKZMReader : public Object {
public:
    // The largest file a read copies into memory.
    static constexpr std::int64_t MaxFileBytes = std::int64_t{1} << 30;
    // What records past the end of the data may cost in all: enough for a
    // million phantom tiles, at about what a tile costs in memory with its
    // list entry. The fuzz targets lower it to keep their executions fast.
    static inline std::int64_t PhantomAllowance = std::int64_t{160} << 20;
    static constexpr std::int64_t TileCost = 128;
    static constexpr std::int64_t TilesetCost = 160;
    static constexpr std::int64_t CharacterCost = 3;  // the byte read and the character kept

    // path is kept unchanged as the level's SourcePath.
    static Ref<TRespReadKZM> Read(const String& path);

    TKZMReader() = delete;
};

}  // namespace kzm
