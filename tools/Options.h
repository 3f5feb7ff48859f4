// What the subcommands share: option parsing, attaching tileset images, and
// reporting a failed read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "mapdata/TRKLevel.h"
#include "mapdata/TRespReadKZM.h"

namespace kzm::tool {

// After a failed read, says why on standard error, under the system's own
// "It errored".
void ReportFailure(const std::string& command, const std::string& map, TRespReadKZM& result);

// --image ID=PNG, shared by the commands that attach tileset images.
struct ImageOption {
    int Id = 0;
    std::string Path;
};

void AddImageOption(CLI::App& command, std::vector<ImageOption>& images);

// The picture the test bed would give tileset 0 with this map: the test bed
// attaches "resource0.png" from its own folder, where the map lies, so a tool
// takes the one in the map's folder. None when that file does not exist, or
// when images (the --image options) already name tileset 0.
std::optional<ImageOption> ImageBesideMap(const std::string& map, const std::vector<ImageOption>& images);

// Exactly count integers separated by commas, nothing else; a usage error
// naming the option and the shape ("X,Y") otherwise.
std::vector<std::int32_t> ParseIntegers(const std::string& option, const std::string& text, std::size_t count,
                                        const std::string& shape);

// An option of exactly values.size() integers separated by commas (shape
// names them in the help, "X,Y"); values holds the defaults until given.
void AddIntegersOption(CLI::App& command, const std::string& name, std::vector<std::int32_t>& values,
                       const std::string& shape, const std::string& help);

// Gives each image to SetImage of the first tileset with that Id, as the
// world map's SetTilesetPath does. Returns the ones that left no image on a
// tileset: no tileset has the Id, or the file could not be loaded or cut.
std::vector<ImageOption> AttachImages(TRKLevel& level, const std::vector<ImageOption>& images);

}  // namespace kzm::tool
