#include "mapdata/TKZMReader.h"

#include <stdexcept>

#include "platform/Print.h"
#include "platform/Stream.h"

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

String ReadString(BankStream& stream, ReadBudget& budget)
{
    const std::int32_t length = ReadInt32(stream);
    if (length < 0)
        throw std::length_error("negative string length");
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

void ReadTiles(BankStream& stream, ReadBudget& budget, TRKLevel& level)
{
    const std::int32_t count = ReadInt32(stream);
    budget.Charge(stream, count, 64, TKZMReader::TileCost);
    for (std::int32_t i = 0; i < count; ++i) {
        auto tile = std::make_shared<TRKTile>();
        // File order: PropB comes before Frame, and PropA is not stored.
        tile->TilesetId = ReadInt32(stream);
        tile->PropB = ReadInt32(stream);
        tile->Frame = ReadInt32(stream);
        tile->X = ReadInt32(stream);
        tile->Y = ReadInt32(stream);
        tile->Width = ReadInt32(stream);
        tile->Height = ReadInt32(stream);
        tile->ScaleX = ReadFloat32(stream);
        tile->ScaleY = ReadFloat32(stream);
        tile->Layer = ReadInt32(stream);
        tile->PropC = ReadInt32(stream);
        tile->PropD = ReadInt32(stream);
        tile->PropE = ReadInt32(stream);
        tile->PropF = ReadInt32(stream);
        tile->PropG = ReadFloat32(stream);
        tile->PropH = ReadFloat32(stream);
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
            ReadTiles(*stream, budget, *level);
        }
        CloseStreamHandle(*stream);

        result->SetHeaderFound(headerFound);
        result->SetVersionMatched(versionMatched);
        result->SetVersion(version);
        result->SetLevel(level);
        result->SetErrored(0);
    } catch (...) {
        result->SetErrored(1);
        PrintLine(u"It errored");
    }
    return result;
}

}  // namespace kzm
