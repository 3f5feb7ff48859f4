#include "mapdata/TKZMReader.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "mapdata/RecordPool.h"
#include "core/Print.h"
#include "core/Stream.h"

namespace kzm {

namespace {

// The allowance for records and characters that the data does not hold.
class ReadBudget {
public:
    // count items of at least fileBytes bytes each are about to be read: the
    // ones the remaining data cannot hold are charged at cost each.
    void Charge(const BankStream& stream, std::int32_t count, std::int64_t fileBytes, std::int64_t cost)
    {
        if (count <= 0)
            return;
        const auto held = static_cast<std::int64_t>(stream.Remaining()) / fileBytes;
        const std::int64_t phantom = count > held ? count - held : 0;
        // phantom is below 2^31 and cost small: the product cannot overflow.
        if (phantom * cost > Left)
            throw std::length_error("the map announces more than its data holds and a read may create");
        Left -= phantom * cost;
    }

private:
    std::int64_t Left = TKZMReader::PhantomAllowance;
};

// Little-endian values at a byte offset, as ReadInt32 and ReadFloat32 decode them.
std::int32_t Int32At(const std::uint8_t* bytes, std::size_t at)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[at]) |
                                     static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                                     static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                                     static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

float Float32At(const std::uint8_t* bytes, std::size_t at)
{
    const auto bits = static_cast<std::uint32_t>(Int32At(bytes, at));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Words for the failure being handled, for FailureText; empty if even they
// cannot be had (the words need memory too, and Read must never raise).
String DescribeFailure() noexcept
{
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            return u"memory ran out";
        } catch (const std::exception& failure) {
            return FromUtf8(failure.what());
        }
    } catch (...) {
    }
    return String();
}

String ReadString(BankStream& stream, ReadBudget& budget)
{
    const std::int32_t length = ReadInt32(stream);
    if (length < 0)
        throw std::length_error("a string of negative length");
    budget.Charge(stream, length, 1, TKZMReader::CharacterCost);
    return ReadByteString(stream, length);
}

void ReadDimensions(BankStream& stream, ReadBudget& budget, const String& path, TRKLevel& level)
{
    auto dimensions = std::make_shared<TRKMapDimensions>();
    dimensions->SetName(ReadString(stream, budget));
    dimensions->SetSourcePath(path);
    dimensions->SetColumns(ReadInt32(stream));
    dimensions->SetRows(ReadInt32(stream));
    dimensions->SetTileWidth(ReadInt32(stream));
    dimensions->SetTileHeight(ReadInt32(stream));
    dimensions->SetLayerCount(ReadInt32(stream));
    level.SetDimensions(std::move(dimensions));
}

void ReadTilesets(BankStream& stream, ReadBudget& budget, TRKLevel& level)
{
    const std::int32_t count = ReadInt32(stream);
    budget.Charge(stream, count, 16, TKZMReader::TilesetCost);
    for (std::int32_t i = 0; i < count; ++i) {
        String imagePath = ReadString(stream, budget);
        const std::int32_t id = ReadInt32(stream);
        const std::int32_t frameWidth = ReadInt32(stream);
        const std::int32_t frameHeight = ReadInt32(stream);
        auto tileset = std::make_shared<TRKTileset>();
        tileset->SetImagePath(imagePath);
        tileset->Id = id;
        tileset->SetFrameWidth(frameWidth);
        tileset->SetFrameHeight(frameHeight);
        level.AddTileset(std::move(tileset));
    }
}

void ReadTiles(BankStream& stream, ReadBudget& budget, RecordPool& pool, TRKLevel& level)
{
    const std::int32_t count = ReadInt32(stream);
    budget.Charge(stream, count, 64, TKZMReader::TileCost);
    if (count > 0)
        level.Tiles->Reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        // The record's 64 bytes, from a copy with zeros in place of what the
        // data lacks where it ends: the values sixteen reads would give.
        std::uint8_t padded[64];
        const std::uint8_t* record = stream.Take(sizeof padded);
        if (!record) {
            stream.ReadBytes(padded, sizeof padded);
            record = padded;
        }
        auto tile = pool.Make<TRKTile>();
        // File order: PropB comes before Frame, and PropA is not stored.
        tile->TilesetId = Int32At(record, 0);
        tile->PropB = Int32At(record, 4);
        tile->Frame = Int32At(record, 8);
        tile->X = Int32At(record, 12);
        tile->Y = Int32At(record, 16);
        tile->Width = Int32At(record, 20);
        tile->Height = Int32At(record, 24);
        tile->ScaleX = Float32At(record, 28);
        tile->ScaleY = Float32At(record, 32);
        tile->Layer = Int32At(record, 36);
        tile->PropC = Int32At(record, 40);
        tile->PropD = Int32At(record, 44);
        tile->PropE = Int32At(record, 48);
        tile->PropF = Int32At(record, 52);
        tile->PropG = Float32At(record, 56);
        tile->PropH = Float32At(record, 60);
        level.AddTile(std::move(tile));
    }
}

}  // namespace

Ref<TRespReadKZM> TKZMReader::Read(const String& path)
{
    auto bank = std::make_shared<MemoryBank>();
    auto result = std::make_shared<TRespReadKZM>();
    auto level = std::make_shared<TRKLevel>();
    std::uint8_t headerFound = 0;
    std::uint8_t versionMatched = 0;
    String version;
    bool mapHeaderRead = false;

    try {
        ReadBudget budget;
        RecordPool pool;
        Ref<Stream> file = OpenFileForReading(path);
        if (!file)
            throw std::runtime_error("the map file cannot be opened");
        Ref<BankStream> stream = OpenBankStream(bank);
        const std::int64_t length = StreamLength(*file);
        if (length > MaxFileBytes)
            throw std::length_error("the map file is larger than a read accepts");
        CopyStreamBytes(*file, *stream, static_cast<std::size_t>(length));
        CloseStreamHandle(*file);
        SeekTo(*stream, 0);

        while (!AtEndOfStream(*stream)) {
            if (ReadByteString(*stream, 3) != u"KZM")
                break;
            headerFound = 1;
            version = ReadString(*stream, budget);
            if (version != u"1.0.0")
                break;
            versionMatched = 1;
            PrintLine(u"Initialized KZM header");
            if (!mapHeaderRead) {
                ReadDimensions(*stream, budget, path, *level);
                ReadTilesets(*stream, budget, *level);
                mapHeaderRead = true;
            }
            ReadTiles(*stream, budget, pool, *level);
        }
        CloseStreamHandle(*stream);

        result->SetHeaderFound(headerFound);
        result->SetVersionMatched(versionMatched);
        result->SetVersion(version);
        result->SetLevel(level);
        result->SetErrored(0);
    } catch (...) {
        result->FailureText = DescribeFailure();
        result->SetErrored(1);
        PrintLine(u"It errored");
    }
    return result;
}

}  // namespace kzm
