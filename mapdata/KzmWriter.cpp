#include "mapdata/KzmWriter.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace kzm {

KzmByteWriter& KzmByteWriter::Raw(std::string_view bytes)
{
    Bytes.insert(Bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

KzmByteWriter& KzmByteWriter::Int32(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        Bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    return *this;
}

KzmByteWriter& KzmByteWriter::Float32(float value)
{
    std::int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Int32(bits);
}

KzmByteWriter& KzmByteWriter::Text(const String& text)
{
    Int32(static_cast<std::int32_t>(text.size()));
    for (char16_t c : text) {
        if (c > 0xFF)
            throw std::invalid_argument("a character above U+00FF cannot be stored in a map file");
        Bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return *this;
}

KzmByteWriter& KzmByteWriter::Header(const String& version)
{
    Raw("KZM");
    return Text(version);
}

KzmByteWriter& KzmByteWriter::Dimensions(const TRKMapDimensions& d)
{
    Text(d.Name);
    return Int32(d.Columns).Int32(d.Rows).Int32(d.TileWidth).Int32(d.TileHeight).Int32(d.LayerCount);
}

KzmByteWriter& KzmByteWriter::Tileset(const TRKTileset& t)
{
    Text(t.ImagePath);
    return Int32(t.Id).Int32(t.FrameWidth).Int32(t.FrameHeight);
}

KzmByteWriter& KzmByteWriter::Tile(const TRKTile& t)
{
    Int32(t.TilesetId).Int32(t.PropB).Int32(t.Frame).Int32(t.X).Int32(t.Y).Int32(t.Width).Int32(t.Height);
    Float32(t.ScaleX).Float32(t.ScaleY);
    Int32(t.Layer).Int32(t.PropC).Int32(t.PropD).Int32(t.PropE).Int32(t.PropF);
    return Float32(t.PropG).Float32(t.PropH);
}

namespace {

template <class Record, class Write>
void WriteCounted(KzmByteWriter& out, const ObjectList& list, Write write)
{
    std::int32_t count = 0;
    for (const auto& entry : list.Entries())
        count += dynamic_cast<const Record*>(entry.get()) != nullptr;
    out.Int32(count);
    for (const auto& entry : list.Entries())
        if (const auto* record = dynamic_cast<const Record*>(entry.get()))
            write(*record);
}

}  // namespace

KzmByteWriter& KzmByteWriter::Tilesets(const ObjectList& tilesets)
{
    WriteCounted<TRKTileset>(*this, tilesets, [this](const TRKTileset& t) { Tileset(t); });
    return *this;
}

KzmByteWriter& KzmByteWriter::Tiles(const ObjectList& tiles)
{
    Bytes.reserve(Bytes.size() + 4 + tiles.Entries().size() * 64);
    WriteCounted<TRKTile>(*this, tiles, [this](const TRKTile& t) { Tile(t); });
    return *this;
}

std::vector<std::uint8_t> EncodeKzm(const TRKLevel& level, const KzmExtras& extras)
{
    KzmByteWriter out;
    out.Header().Dimensions(*level.Dimensions).Tilesets(*level.Tilesets).Tiles(*level.Tiles);
    for (const auto& section : extras.Sections)
        out.Header().Tiles(*section);
    out.Bytes.insert(out.Bytes.end(), extras.Trailing.begin(), extras.Trailing.end());
    return std::move(out.Bytes);
}

bool WriteBytesFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteKzmFile(const std::string& path, const TRKLevel& level, const KzmExtras& extras)
{
    return WriteBytesFile(path, EncodeKzm(level, extras));
}

}  // namespace kzm
