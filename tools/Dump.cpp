// kzm dump MAP [--image ID=PNG]...: the read result as one JSON document.
#include <cstdio>

#include "mapdata/TKZMReader.h"
#include "tools/Command.h"
#include "tools/JsonDump.h"
#include "tools/Options.h"

namespace kzm::tool {

Subcommand AddDumpCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("dump", "Print a map's read result as JSON");
    auto map = std::make_shared<std::string>();
    auto images = std::make_shared<std::vector<ImageOption>>();
    command->add_option("MAP", *map, "the .kzm file")->required();
    AddImageOption(*command, *images);
    return {command, [map, images] {
                Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(*map));
                ReportFailure("kzm dump", *map, *result);
                if (!result->GetErrored())
                    AttachImages(*result->GetLevel(), *images);
                if (!WriteReadResultJson(stdout, *result)) {
                    std::fprintf(stderr, "kzm dump: cannot write the output\n");
                    return 1;
                }
                return result->GetErrored() ? 1 : 0;
            }};
}

}  // namespace kzm::tool
