#include "bench/BenchMaps.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>

#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"

namespace kzm::bench {

namespace {

// A folder of our own under the system's temporary folder, removed when the
// program ends.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device random;
        std::ostringstream name;
        name << "kzm-bench-" << std::hex << random() << random();
        Path = std::filesystem::temp_directory_path() / name.str();
        std::filesystem::create_directories(Path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    std::filesystem::path Path;
};

ScratchFolder& Scratch()
{
    static ScratchFolder folder;
    return folder;
}

}  // namespace

// Section by section of the byte writer, a few thousand tiles at a time, so
// that making the file leaves no large heap behind it.
void WriteBigMap(const std::string& path, int tiles)
{
    const int cells = (tiles + kBigMapLayers - 1) / kBigMapLayers;
    const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(cells)))));

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    auto flush = [&out](KzmByteWriter& writer) {
        out.write(reinterpret_cast<const char*>(writer.Bytes.data()),
                  static_cast<std::streamsize>(writer.Bytes.size()));
        writer.Bytes.clear();
    };

    KzmByteWriter writer;
    TRKMapDimensions dimensions;
    dimensions.Name = u"Bench";
    dimensions.Columns = columns;
    dimensions.Rows = (cells + columns - 1) / columns;
    dimensions.TileWidth = dimensions.TileHeight = kTileSize;
    dimensions.LayerCount = kBigMapLayers;
    TRKTileset tileset;
    tileset.ImagePath = u"resource0.png";
    tileset.Id = 0;
    tileset.FrameWidth = tileset.FrameHeight = kTileSize;
    writer.Header().Dimensions(dimensions).Int32(1).Tileset(tileset).Int32(tiles);
    flush(writer);

    TRKTile tile;
    tile.Width = tile.Height = kTileSize;
    tile.ScaleX = tile.ScaleY = 1.0f;
    for (int i = 0; i < tiles; ++i) {
        const int cell = i / kBigMapLayers;
        tile.X = (cell % columns) * kTileSize;
        tile.Y = (cell / columns) * kTileSize;
        tile.Layer = (i + cell) % kBigMapLayers;
        tile.Frame = (cell + tile.Layer) % 64;
        tile.PropC = i;
        writer.Tile(tile);
        if (writer.Bytes.size() >= 256 * 1024)
            flush(writer);
    }
    flush(writer);
    if (!out.flush())
        throw std::runtime_error("cannot write the benchmark map " + path);
}

const std::string& BigMapFile(int tiles)
{
    static std::map<int, std::string> made;
    auto found = made.find(tiles);
    if (found != made.end())
        return found->second;
    const std::string path = (Scratch().Path / ("map-" + std::to_string(tiles) + ".kzm")).string();
    WriteBigMap(path, tiles);
    return made.emplace(tiles, path).first->second;
}

std::string ScratchFile(const std::string& name)
{
    return (Scratch().Path / name).string();
}

std::int64_t FileBytes(const std::string& path)
{
    return static_cast<std::int64_t>(std::filesystem::file_size(path));
}

Ref<Image> FramesOnlyImage()
{
    auto image = std::make_shared<Image>();
    image->Width = image->Height = 8 * kTileSize;
    image->FrameWidth = image->FrameHeight = kTileSize;
    image->FrameCount = 64;
    return image;
}

Ref<TMapEngine> EngineOnBigMap(int tiles)
{
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    const Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(BigMapFile(tiles)));
    const Ref<TRKLevel> level = result->GetLevel();
    if (result->GetErrored() || !level || level->TileCount() != tiles)
        throw std::runtime_error("the benchmark map did not read back");
    auto engine = std::make_shared<TMapEngine>();
    SetUpEngine(*engine, *level, kTestBedView);
    engine->SetScrollX(kStartScrollX);
    engine->SetScrollY(kStartScrollY);
    for (const auto& entry : level->GetTilesets()->Entries())
        if (auto* tileset = As<TRKTileset>(entry))
            tileset->Image = FramesOnlyImage();
    return engine;
}

std::int64_t PeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6)) * 1024;
    return 0;
}

bool ResetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

std::int64_t ResidentBytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            std::int64_t kibibytes = 0;
            fields >> kibibytes;
            return kibibytes * 1024;
        }
    }
    return 0;
}

}  // namespace kzm::bench
