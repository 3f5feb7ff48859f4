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

std::vector<std::uint8_t> EncodeKzm(const TRKLevel& level, const KzmExtras& extras = {});
// False when the file cannot be written. Throws like Text for an unwritable name.
bool WriteKzmFile(const std::string& path, const TRKLevel& level, const KzmExtras& extras = {});
bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kzm
