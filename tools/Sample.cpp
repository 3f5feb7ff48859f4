// kzm sample DIR: writes the sample map "NewWorld.kzm" and its tileset
// "resource0.png" into DIR, both made by our own code.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "image/Image.h"
#include "mapdata/KzmWriter.h"
#include "sample/SampleArt.h"
#include "sample/SampleWorld.h"
#include "tools/Command.h"

namespace kzm::tool {

namespace {

int WriteSample(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::cerr << "kzm sample: cannot create " << folder.string() << ": " << error.message() << '\n';
        return 1;
    }

    const Ref<TRKLevel> level = BuildSampleWorld();
    const std::filesystem::path map = folder / "NewWorld.kzm";
    if (!WriteKzmFile(map.string(), *level)) {
        std::cerr << "kzm sample: cannot write " << map.string() << '\n';
        return 1;
    }

    const Canvas tileset = DrawSampleTileset();
    const std::filesystem::path image = folder / "resource0.png";
    // RGB, no alpha channel: black is the transparent colour.
    if (!SavePng(FromUtf8(image.string()), tileset.Width(), tileset.Height(), tileset.Rgba(), false)) {
        std::cerr << "kzm sample: cannot write " << image.string() << '\n';
        return 1;
    }

    std::cout << map.string() << ": " << level->GetDimensions()->GetColumns() << " x "
              << level->GetDimensions()->GetRows() << " cells, " << level->GetLayerCount() << " layers, "
              << level->TileCount() << " tiles\n"
              << image.string() << ": " << SampleFrameCount << " frames of " << kSampleFrameSize << " x "
              << kSampleFrameSize << '\n';
    return 0;
}

}  // namespace

Subcommand AddSampleCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("sample", "Write the sample map NewWorld.kzm and its tileset resource0.png");
    auto folder = std::make_shared<std::string>();
    command->add_option("DIR", *folder, "the folder to write them to (made if missing)")->required();
    return {command, [folder] { return WriteSample(*folder); }};
}

}  // namespace kzm::tool
