// Writes the seed corpora of the fuzz targets, made by our own writer and PNG
// encoder: kzm-fuzz-seeds DIR writes DIR/<target>/<seed> files.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mapdata/KzmWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

kzm::TRKLevel SmallLevel(int tiles)
{
    kzm::TRKLevel level;
    level.SetName(u"Seed");
    auto& d = *level.GetDimensions();
    d.Columns = d.Rows = 8;
    d.TileWidth = d.TileHeight = 32;
    d.LayerCount = 2;
    auto tileset = std::make_shared<kzm::TRKTileset>();
    tileset->ImagePath = u"resource0.png";
    tileset->FrameWidth = tileset->FrameHeight = 32;
    level.AddTileset(tileset);
    for (int i = 0; i < tiles; ++i) {
        auto tile = std::make_shared<kzm::TRKTile>();
        tile->Frame = i % 4;
        tile->X = (i % 8) * 32;
        tile->Y = (i / 8) * 32;
        tile->Width = tile->Height = 32;
        tile->ScaleX = tile->ScaleY = i % 5 == 0 ? -1.0f : 1.0f;
        tile->Layer = i % 2;
        level.AddTile(tile);
    }
    return level;
}

std::vector<std::pair<std::string, Bytes>> ReaderSeeds()
{
    kzm::TRKLevel level = SmallLevel(6);
    Bytes whole = kzm::EncodeKzm(level);
    Bytes cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2));
    auto section = std::make_shared<kzm::ObjectList>();
    section->Append(std::make_shared<kzm::TRKTile>());
    Bytes sections = kzm::EncodeKzm(level, {{section, section}, {'K', 'Z', 'M', 9}});
    kzm::TRKMapDimensions d;
    return {
        {"map", whole},
        {"cut", cut},
        {"sections", sections},
        {"signature", {'K', 'Z', 'M'}},
        {"phantom-tiles", kzm::KzmByteWriter().Header().Dimensions(d).Int32(0).Int32(1000).Bytes},
        {"huge-name", kzm::KzmByteWriter().Header().Int32(0x7FFFFFFF).Bytes},
        {"negative-counts", kzm::KzmByteWriter().Header().Dimensions(d).Int32(-1).Int32(-7).Bytes},
    };
}

void WriteAll(const fs::path& dir, const std::vector<std::pair<std::string, Bytes>>& seeds)
{
    fs::create_directories(dir);
    for (const auto& [name, bytes] : seeds)
        kzm::WriteBytesFile((dir / name).string(), bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kzm-fuzz-seeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    WriteAll(root / "reader", ReaderSeeds());
    return 0;
}
