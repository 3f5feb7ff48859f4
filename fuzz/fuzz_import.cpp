// The Tiled importer on arbitrary TMX or TMJ text (a first '<' makes it XML):
// every input ends in a map or a TiledError, never a crash, a hang or memory
// beyond the importer's bounds.
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/Print.h"
#include "fuzz/FuzzSupport.h"
#include "image/Image.h"
#include "interop/TiledImport.h"
#include "interop/TiledMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kzm::PrintLineCapture quiet(kzm::PrintLineCapture::Drop);
    std::size_t first = 0;
    while (first < size && (data[first] == ' ' || data[first] == '\n' || data[first] == '\r' || data[first] == '\t'))
        ++first;
    const bool xml = first < size && data[first] == '<';
    const std::string path = kzm::fuzz::ScratchFile(data, size, xml ? ".tmx" : ".tmj");
    // A tileset picture beside the map, named as the seeds name it, so that
    // inputs reach the atlas and not only the missing-image error.
    static const bool picture = [&] {
        std::vector<std::uint8_t> rgba(64 * 32 * 4);
        for (std::size_t i = 0; i < rgba.size(); ++i)
            rgba[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
        const auto folder = std::filesystem::path(path).parent_path();
        return kzm::SavePng(kzm::FromUtf8((folder / "tiles.png").string()), 64, 32, rgba, true);
    }();
    (void)picture;
    try {
        const kzm::interop::TiledMap map = kzm::interop::ReadTiledMap(path);
        const kzm::interop::ImportResult result = kzm::interop::ImportTiledMap(map);
        if (!result.Level || result.AtlasRgba.size() != static_cast<std::size_t>(result.AtlasWidth) *
                                                            static_cast<std::size_t>(result.AtlasHeight) * 4)
            __builtin_trap();  // an import either fails or gives a level and its whole atlas
        std::int64_t tiles = 0;
        result.Tiles.ForEach([&tiles](const kzm::TRKTile&) { ++tiles; });
        if (tiles != result.Tiles.Count)
            __builtin_trap();  // the tiles made are the tiles counted
    } catch (const kzm::interop::TiledError&) {
    }
    return 0;
}
