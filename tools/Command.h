// The `kzm` tool's subcommands register themselves here, one file each.
//
// Error policy of the tool: results go to standard output, the system's own
// lines and the tool's errors to standard error; exit status 0 on success, 1
// when the map or an image failed, 2 on a usage error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "mapdata/TRKLevel.h"
#include "mapdata/TRespReadKZM.h"

namespace kzm::tool {

// Adds the subcommand to the app and returns what runs it, giving the exit
// status.
using CommandSetup = std::function<std::function<int()>(CLI::App& app)>;

bool RegisterCommand(std::string name, CommandSetup setup);

// After a failed read, says why on standard error, under the system's own
// "It errored".
void ReportFailure(const std::string& command, const std::string& map, TRespReadKZM& result);

// --image ID=PNG, shared by the commands that attach tileset images.
struct ImageOption {
    int Id = 0;
    std::string Path;
};

void AddImageOption(CLI::App& command, std::vector<ImageOption>& images);

// Gives each image to SetImage of the first tileset with that Id, as the
// world map's SetTilesetPath does. Returns the ones that left no image on a
// tileset: no tileset has the Id, or the file could not be loaded or cut.
std::vector<ImageOption> AttachImages(TRKLevel& level, const std::vector<ImageOption>& images);

}  // namespace kzm::tool
