// kzm: inspect, dump, render and make tile maps.
#include <cstdio>
#include <exception>
#include <vector>

#include "core/Print.h"
#include "tools/Command.h"

namespace {

int RunTool(int argc, char** argv)
{
    using namespace kzm::tool;
    // The system's diagnostic lines are not the tool's output.
    kzm::SetPrintLineStream(stderr);

    CLI::App app{"kzm: inspect, dump, render and make KZM tile maps"};
    app.require_subcommand(1);
    const std::vector<Subcommand> subcommands{
        AddDumpCommand(app),   AddInfoCommand(app),   AddViewCommand(app),   AddRenderCommand(app),
        AddSampleCommand(app), AddImportCommand(app), AddExportCommand(app),
    };
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // Help is a success; every other parse error is a usage error.
        return app.exit(e) == 0 ? 0 : 2;
    }
    for (const Subcommand& subcommand : subcommands)
        if (subcommand.Command->parsed())
            return subcommand.Run();
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    // The libraries report failure in their results; what still escapes (memory
    // running out outside a guarded operation) ends the command with its text,
    // not with an abort.
    try {
        return RunTool(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kzm: %s\n", e.what());
        return 1;
    }
}
