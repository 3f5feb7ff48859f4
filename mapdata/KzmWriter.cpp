#include "mapdata/KzmWriter.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <stdexcept>

namespace kzm {

namespace {

// A 32-bit value's bits, least significant byte first, as the format stores them.
void PutBits(std::uint8_t* at, std::uint32_t bits)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

}  // namespace

KzmByteWriter& KzmByteWriter::Raw(std::string_view bytes)
{
    Bytes.insert(Bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

KzmByteWriter& KzmByteWriter::Int32(std::int32_t value)
{
    std::uint8_t bytes[4];
    PutBits(bytes, static_cast<std::uint32_t>(value));
    Bytes.insert(Bytes.end(), std::begin(bytes), std::end(bytes));
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
    // The record's 64 bytes at once: a map may hold millions of tiles.
    std::uint8_t record[64];
    const auto put = [&record](int at, auto value) {
        std::uint32_t bits;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&bits, &value, sizeof bits);
        PutBits(record + at, bits);
    };
    put(0, t.TilesetId), put(4, t.PropB), put(8, t.Frame), put(12, t.X), put(16, t.Y), put(20, t.Width);
    put(24, t.Height), put(28, t.ScaleX), put(32, t.ScaleY), put(36, t.Layer), put(40, t.PropC), put(44, t.PropD);
    put(48, t.PropE), put(52, t.PropF), put(56, t.PropG), put(60, t.PropH);
    Bytes.insert(Bytes.end(), std::begin(record), std::end(record));
    return *this;
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
    ReplacingFile out(path);
    std::string error;
    return out.Handle() && std::fwrite(bytes.data(), 1, bytes.size(), out.Handle()) == bytes.size() &&
           out.Commit(error);
}

bool WriteKzmFile(const std::string& path, const TRKLevel& level, const KzmExtras& extras)
{
    return WriteBytesFile(path, EncodeKzm(level, extras));
}

namespace {

// Bytes gathered before they go to the file.
constexpr std::size_t kFlushBytes = std::size_t{1} << 18;

}  // namespace

KzmFileWriter::KzmFileWriter(const std::string& path, const TRKLevel& level, std::int32_t tileCount)
    : Out(path), Announced(tileCount)
{
    Buffer.Bytes.reserve(kFlushBytes + 64);
    Buffer.Header().Dimensions(*level.Dimensions).Tilesets(*level.Tilesets).Int32(tileCount);
    Failed = Out.Handle() == nullptr;
}

void KzmFileWriter::Tile(const TRKTile& tile)
{
    Buffer.Tile(tile);
    ++Written;
    if (Buffer.Bytes.size() >= kFlushBytes)
        Flush();
}

void KzmFileWriter::Flush()
{
    if (!Failed && std::fwrite(Buffer.Bytes.data(), 1, Buffer.Bytes.size(), Out.Handle()) != Buffer.Bytes.size())
        Failed = true;
    Buffer.Bytes.clear();
}

bool KzmFileWriter::Finish()
{
    Flush();
    std::string error;
    // A count not met leaves a file the reader would misread: never renamed.
    return !Failed && Written == Announced && Out.Commit(error);
}

}  // namespace kzm
