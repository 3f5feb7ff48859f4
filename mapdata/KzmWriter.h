// Writes levels in the .kzm layout the reader reads.
//
// The system itself never writes maps; the `kzm` tool and the tests do. The
// byte-level builder also lets tests write files that break the layout on
// purpose (a count with too few records, a second header, trailing bytes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ReplacingFile.h"
#include "core/String.h"
#include "mapdata/TRKLevel.h"

namespace kzm {

class KzmByteWriter {
public:
    std::vector<std::uint8_t> Bytes;

    KzmByteWriter& Raw(std::string_view bytes);
    KzmByteWriter& Int32(std::int32_t value);
    KzmByteWriter& Float32(float value);
    // A length, then one byte per character. Characters above U+00FF have no
    // byte in the format: they make the writer throw std::invalid_argument.
    KzmByteWriter& Text(const String& text);
    // "KZM" and the version string.
    KzmByteWriter& Header(const String& version = u"1.0.0");
    KzmByteWriter& Dimensions(const TRKMapDimensions& dimensions);
    KzmByteWriter& Tileset(const TRKTileset& tileset);
    KzmByteWriter& Tile(const TRKTile& tile);
    // A count, then every element of the list of that record class (elements
    // of other classes are left out and not counted).
    KzmByteWriter& Tilesets(const ObjectList& tilesets);
    KzmByteWriter& Tiles(const ObjectList& tiles);
};

struct KzmExtras {
    std::vector<Ref<ObjectList>> Sections;  // tile lists of later sections, in order
    std::vector<std::uint8_t> Trailing;     // raw bytes after the last section
};

// A .kzm file written as it goes: the level's header, dimensions and
// tilesets, then a count of tiles and exactly that many tiles handed in one
// by one (the level's own tile list is left out). For maps too large to hold
// as records first; the bytes are those WriteKzmFile writes for the same
// tiles. The file takes its name only when Finish succeeds: until then, and
// after a failure, whatever had the name is untouched.
class KzmFileWriter {
public:
    // Throws like Text for an unwritable name, leaving nothing behind.
    KzmFileWriter(const std::string& path, const TRKLevel& level, std::int32_t tileCount);
    KzmFileWriter(const KzmFileWriter&) = delete;
    KzmFileWriter& operator=(const KzmFileWriter&) = delete;

    void Tile(const TRKTile& tile);
    // False when the file could not be written or the tiles handed in were
    // not the count announced.
    bool Finish();

private:
    void Flush();

    ReplacingFile Out;
    KzmByteWriter Buffer;
    std::int64_t Announced = 0;
    std::int64_t Written = 0;
    bool Failed = false;
};

std::vector<std::uint8_t> EncodeKzm(const TRKLevel& level, const KzmExtras& extras = {});
// False when the file cannot be written, with whatever had the name
// untouched. Throws like Text for an unwritable name.
bool WriteKzmFile(const std::string& path, const TRKLevel& level, const KzmExtras& extras = {});
bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kzm
