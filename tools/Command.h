// The `kzm` tool's subcommands, one file each; main() adds them in order.
//
// Error policy of the tool: results go to standard output, the system's own
// lines and the tool's errors to standard error; exit status 0 on success, 1
// when the map or an image failed, 2 on a usage error.
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace kzm::tool {

// A subcommand added to the tool, and what runs it once its arguments are
// parsed, giving the exit status.
struct Subcommand {
    CLI::App* Command = nullptr;
    std::function<int()> Run;
};

Subcommand AddDumpCommand(CLI::App& app);
Subcommand AddInfoCommand(CLI::App& app);
Subcommand AddViewCommand(CLI::App& app);
Subcommand AddRenderCommand(CLI::App& app);
Subcommand AddSampleCommand(CLI::App& app);
Subcommand AddImportCommand(CLI::App& app);
Subcommand AddExportCommand(CLI::App& app);

}  // namespace kzm::tool
