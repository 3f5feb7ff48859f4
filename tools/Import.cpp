// kzm import SOURCE -o DIR [--ignore-visibility]
//
// Makes a Tiled map (TMX, TMJ or JSON) into DIR/NewWorld.kzm and its atlas
// DIR/resource0.png. What a .kzm map cannot hold is said on standard error,
// one line with a count each, and the rest imported.
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "image/Image.h"
#include "interop/TiledImport.h"
#include "interop/TiledMap.h"
#include "mapdata/KzmWriter.h"
#include "tools/Command.h"

namespace kzm::tool {

namespace {

struct ImportCommandOptions {
    std::string Source;
    std::string Out;
    bool IgnoreVisibility = false;
};

int Import(const ImportCommandOptions& options)
{
    interop::ImportResult result;
    try {
        const interop::TiledMap map = interop::ReadTiledMap(options.Source);
        result = interop::ImportTiledMap(map, {options.IgnoreVisibility});
    } catch (const interop::TiledError& error) {
        std::cerr << "kzm import: " << error.what() << '\n';
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "kzm import: out of memory importing " << options.Source << '\n';
        return 1;
    }
    for (const std::string& line : result.Dropped)
        std::cerr << "kzm import: " << line << '\n';

    const std::filesystem::path folder(options.Out);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "kzm import: cannot create " << folder.string() << ": " << error.message() << '\n';
        return 1;
    }
    const std::filesystem::path map = folder / "NewWorld.kzm";
    const std::filesystem::path atlas = folder / interop::kAtlasFileName;
    KzmFileWriter writer(map.string(), *result.Level, static_cast<std::int32_t>(result.Tiles.Count));
    result.Tiles.ForEach([&writer](const TRKTile& tile) { writer.Tile(tile); });
    if (!writer.Finish()) {
        std::cerr << "kzm import: cannot write " << map.string() << '\n';
        return 1;
    }
    if (!SavePng(FromUtf8(atlas.string()), result.AtlasWidth, result.AtlasHeight, result.AtlasRgba, true)) {
        std::cerr << "kzm import: cannot write " << atlas.string() << '\n';
        return 1;
    }
    const TRKMapDimensions& dimensions = *result.Level->GetDimensions();
    const auto tileset = As<TRKTileset>(result.Level->GetTilesets()->Entries().front());
    std::cout << map.string() << ": " << dimensions.Columns << " x " << dimensions.Rows << " cells of "
              << dimensions.TileWidth << " x " << dimensions.TileHeight << ", " << dimensions.LayerCount << " layers, "
              << result.Tiles.Count << " tiles\n"
              << atlas.string() << ": " << result.AtlasWidth << " x " << result.AtlasHeight << ", frames of "
              << tileset->FrameWidth << " x " << tileset->FrameHeight << '\n';
    return 0;
}

}  // namespace

Subcommand AddImportCommand(CLI::App& app)
{
    auto* command =
        app.add_subcommand("import", "Make a Tiled map (.tmx, .tmj, .json) into NewWorld.kzm and resource0.png");
    auto options = std::make_shared<ImportCommandOptions>();
    command->add_option("SOURCE", options->Source, "the Tiled map")->required();
    command->add_option("-o,--output", options->Out, "the folder to write NewWorld.kzm and resource0.png to")
        ->required()
        ->type_name("DIR");
    command->add_flag("--ignore-visibility", options->IgnoreVisibility, "take hidden layers in too");
    return {command, [options] { return Import(*options); }};
}

}  // namespace kzm::tool
