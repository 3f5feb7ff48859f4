// kzm export MAP -o OUT.tmx|OUT.tmj [--image ID=PNG]... [--data FORMAT]
//
// Writes a Tiled map, and the tileset pictures beside it, that Tiled draws as
// the engine draws MAP.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "interop/TiledExport.h"
#include "interop/TiledMap.h"
#include "mapdata/TKZMReader.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

struct ExportOptions {
    std::string Map;
    std::string Out;
    std::vector<ImageOption> Images;
    std::string Data = "csv";
};

int Export(const ExportOptions& options)
{
    Ref<TRespReadKZM> read = TKZMReader::Read(FromUtf8(options.Map));
    if (read->GetErrored()) {
        ReportFailure("kzm export", options.Map, *read);
        return 1;
    }
    std::vector<interop::ExportPicture> pictures;
    for (const ImageOption& image : options.Images)
        pictures.push_back({image.Id, image.Path});
    if (const std::optional<ImageOption> image = ImageBesideMap(options.Map, options.Images))
        pictures.push_back({image->Id, image->Path});
    try {
        const interop::ExportResult result =
            interop::ExportTiledMap(*read->GetLevel(), pictures, options.Out, options.Data);
        for (const std::string& line : result.Skipped)
            std::cerr << "kzm export: " << line << '\n';
        std::size_t objects = 0, tileLayers = 0;
        for (const interop::TiledLayer& layer : result.Map.Layers) {
            objects += layer.Objects.size();
            tileLayers += layer.Type == interop::TiledLayer::Kind::Tiles;
        }
        std::cout << options.Out << ": " << result.Map.Width << " x " << result.Map.Height << " cells, "
                  << result.Map.Tilesets.size() << " tilesets, " << tileLayers << " tile layers, "
                  << result.Map.Layers.size() - tileLayers << " object layers holding " << objects << " tiles\n";
    } catch (const interop::TiledError& error) {
        std::cerr << "kzm export: " << error.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

Subcommand AddExportCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("export", "Write a map as a Tiled map (.tmx or .tmj) with its tileset pictures");
    auto options = std::make_shared<ExportOptions>();
    command->add_option("MAP", options->Map, "the .kzm file")->required();
    command->add_option("-o,--output", options->Out, "the Tiled map to write; .tmx for XML, .tmj or .json for JSON")
        ->required()
        ->type_name("OUT.tmx|OUT.tmj");
    AddImageOption(*command, options->Images);
    command->add_option("--data", options->Data, "how tile layers are stored (default csv)")
        ->check(CLI::IsMember({"csv", "base64", "zlib", "gzip", "zstd"}));
    command->callback([options] {
        if (!interop::HasMapExtension(options->Out))
            throw CLI::ValidationError("--output", "the map must end in .tmx, .tmj or .json");
    });
    return {command, [options] { return Export(*options); }};
}

}  // namespace kzm::tool
