// Reads a .kzm map file into a level.
//
// Read never raises: every failure inside it is caught, recorded as Errored
// 1 and announced with the line "It errored". Data that ends early is no
// failure: missing bytes read as zeros and announced records are created
// with zero values.
//
// A map file may come from anyone, so a read spends from a fixed memory
// budget: the file's bytes, every record a count announces and every
// character a length announces are charged before anything is allocated, and
// a count or length that would overdraw it fails the read. A negative string
// length fails the read too.
#pragma once

#include <cstdint>

#include "mapdata/TRespReadKZM.h"
#include "platform/Object.h"
#include "platform/String.h"

namespace kzm {

class TKZMReader : public Object {
public:
    // What one read may use, and what each announced item is charged: about
    // what a record costs in memory with its list entry.
    static constexpr std::int64_t MemoryBudget = std::int64_t{1} << 30;
    static constexpr std::int64_t TileCost = 128;
    static constexpr std::int64_t TilesetCost = 160;
    static constexpr std::int64_t CharacterCost = 3;  // the byte read and the character kept

    // path is kept unchanged as the level's SourcePath.
    static Ref<TRespReadKZM> Read(const String& path);

    TKZMReader() = delete;
};

}  // namespace kzm
