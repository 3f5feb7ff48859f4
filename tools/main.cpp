// kzm: inspect, dump, render and make tile maps.
#include <cstdio>
#include <iostream>
#include <map>

#include "core/Print.h"
#include "tools/Command.h"

namespace kzm::tool {

namespace {

std::map<std::string, CommandSetup>& Commands()
{
    static std::map<std::string, CommandSetup> commands;
    return commands;
}

}  // namespace

bool RegisterCommand(std::string name, CommandSetup setup)
{
    Commands().emplace(std::move(name), std::move(setup));
    return true;
}

void AddImageOption(CLI::App& command, std::vector<ImageOption>& images)
{
    command
        .add_option_function<std::vector<std::string>>(
            "--image",
            [&images](const std::vector<std::string>& values) {
                for (const std::string& value : values) {
                    const auto equals = value.find('=');
                    ImageOption image;
                    std::size_t used = 0;
                    try {
                        image.Id = std::stoi(value.substr(0, equals), &used);
                    } catch (const std::exception&) {
                        used = std::string::npos;
                    }
                    if (equals == std::string::npos || used != equals || equals + 1 == value.size())
                        throw CLI::ValidationError("--image", "expected ID=PNG, got '" + value + "'");
                    image.Path = value.substr(equals + 1);
                    images.push_back(image);
                }
            },
            "attach PNG to the first tileset whose Id is ID (repeatable)")
        ->type_name("ID=PNG")
        ->allow_extra_args(false)
        ->take_all();
}

void ReportFailure(const std::string& command, const std::string& map, TRespReadKZM& result)
{
    if (result.GetErrored())
        std::cerr << command << ": cannot read " << map << ": " << ToUtf8(result.FailureText) << '\n';
}

std::vector<ImageOption> AttachImages(TRKLevel& level, const std::vector<ImageOption>& images)
{
    std::vector<ImageOption> failed;
    for (const ImageOption& image : images) {
        TRKTileset* target = nullptr;
        for (const auto& entry : level.GetTilesets()->Entries()) {
            auto* tileset = dynamic_cast<TRKTileset*>(entry.get());
            if (tileset && tileset->Id == image.Id) {
                target = tileset;
                break;
            }
        }
        if (target)
            target->SetImage(FromUtf8(image.Path));
        if (!target || !target->GetImage())
            failed.push_back(image);
    }
    return failed;
}

}  // namespace kzm::tool

int main(int argc, char** argv)
{
    using namespace kzm::tool;
    // The system's diagnostic lines are not the tool's output.
    kzm::SetPrintLineStream(stderr);

    CLI::App app{"kzm: inspect, dump, render and make KZM tile maps"};
    app.require_subcommand(1);
    std::map<CLI::App*, std::function<int()>> runners;
    for (auto& [name, setup] : Commands()) {
        auto run = setup(app);
        runners[app.get_subcommand(name)] = std::move(run);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help is a success; every other parse error is a usage error.
        return app.exit(e) == 0 ? 0 : 2;
    }
    for (auto& [command, run] : runners)
        if (command->parsed())
            return run();
    return 2;
}
