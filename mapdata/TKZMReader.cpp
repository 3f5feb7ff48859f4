#include "mapdata/TKZMReader.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "core/Print.h"
#include "core/Stream.h"
#include "mapdata/RecordPool.h"

namespace kzm {

namespace {

// The allowance for records and characters that the data does not hold.
class ReadBudget {
public:
    // length characters are about to be read: the ones past the end of the
    // data are charged.
    void ChargeCharacters(const BankStream& stream, std::int32_t length)
    {
        const auto held = static_cast<std::int64_t>(stream.Remaining());
        if (length > held)
            Spend((length - held) * TKZMReader::CharacterCost);
    }

    // The records of one announcement, charged as the data runs out. A
    // record takes at least RecordBytes of the data while the data has them;
    // one that starts with less lies past the end, a phantom, and must be
    // paid for. Before each record, the data that is left decides how many
    // of the records to come are phantoms, and that many are kept paid. So
    // a record that takes more than RecordBytes (a long image path) leaves
    // the records after it charged by what really remains, not counted as
    // held on the strength of data that it used up.
    class Records {
    public:
        // Charges what the announcement needs from the start, so that one
        // the allowance cannot pay fails before anything is made for it.
        Records(ReadBudget& budget, const BankStream& stream, std::int32_t count, std::int64_t recordBytes,
                std::int64_t cost)
            : Budget(budget), ToCome(count > 0 ? count : 0), RecordBytes(recordBytes), Cost(cost)
        {
            KeepPaid(stream);
        }

        // Before each record is made.
        void Next(const BankStream& stream)
        {
            if (KeepPaid(stream))
                --Paid;
            --ToCome;
        }

    private:
        // True when the next record is a phantom.
        bool KeepPaid(const BankStream& stream)
        {
            const auto remaining = static_cast<std::int64_t>(stream.Remaining());
            if (remaining >= ToCome * RecordBytes)
                return false;  // all held: the usual case, decided without a division
            const std::int64_t held = remaining / RecordBytes;
            const std::int64_t phantoms = ToCome - held;
            if (phantoms > Paid) {
                // below 2^31 records at a small cost: cannot overflow
                Budget.Spend((phantoms - Paid) * Cost);
                Paid = phantoms;
            }
            return held == 0;
        }

        ReadBudget& Budget;
        std::int64_t ToCome;  // records of the announcement not yet made
        std::int64_t RecordBytes;
        std::int64_t Cost;
        std::int64_t Paid = 0;  // phantoms paid for and not yet made
    };

private:
    void Spend(std::int64_t bytes)
    {
        if (bytes > Left)
            throw std::length_error("the map announces more than its data holds and a read may create");
        Left -= bytes;
    }

    std::int64_t Left = TKZMReader::PhantomAllowance;
};

// Little-endian values at a byte offset, as ReadInt32 and ReadFloat32 decode them.
std::int32_t Int32At(const std::uint8_t* bytes, std::size_t at)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
        static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24);
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
    budget.ChargeCharacters(stream, length);
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
    ReadBudget::Records records(budget, stream, count, 16, TKZMReader::TilesetCost);
    for (std::int32_t i = 0; i < count; ++i) {
        records.Next(stream);
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
    ReadBudget::Records records(budget, stream, count, 64, TKZMReader::TileCost);
    if (count > 0)
        level.Tiles->Reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) {
        records.Next(stream);
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
