// kzm render MAP -o OUT.png [--image ID=PNG]... [--scroll X,Y]
//            [--view LEFT,TOP,RIGHT,BOTTOM] [--size WIDTH,HEIGHT]
//
// Draws one frame the way the test bed draws its first one, into an offscreen
// display, and saves it as an RGB PNG of the display's size.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "mapdata/TKZMReader.h"
#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

struct RenderOptions {
    std::string Map;
    std::string Out;
    std::vector<ImageOption> Images;
    // The test bed's own settings.
    std::vector<std::int32_t> Scroll{-300, -500};
    std::vector<std::int32_t> View{100, 100, 800, 600};
    std::vector<std::int32_t> Size{800, 600};
};

// The test bed attaches "resource0.png" from its own folder to tileset 0;
// here the map's folder stands in for it, unless --image names one.
void AttachDefaultImage(TRKLevel& level, const RenderOptions& options)
{
    for (const ImageOption& image : options.Images)
        if (image.Id == 0)
            return;
    std::filesystem::path folder = std::filesystem::path(options.Map).parent_path();
    if (folder.empty())
        folder = ".";
    const std::filesystem::path image = folder / "resource0.png";
    std::error_code error;
    if (std::filesystem::is_regular_file(image, error))
        AttachImages(level, {ImageOption{0, image.string()}});
}

int Render(const RenderOptions& options)
{
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(options.Map));
    if (result->GetErrored()) {
        std::cerr << "Unable to load mapfile!\n";
        ReportFailure("kzm render", options.Map, *result);
        return 1;
    }
    const Ref<TRKLevel> level = result->GetLevel();
    const Ref<TRKMapDimensions> dimensions = level->GetDimensions();

    // Set up as the world map sets up its engine after a load.
    TMapEngine engine;
    engine.SetMapSize(dimensions->GetRows(), dimensions->GetColumns());
    engine.SetViewport(options.View[0], options.View[1], options.View[2], options.View[3]);
    engine.SetTilesets(level->GetTilesets());
    engine.SetTiles(level->GetTiles());
    engine.SetLayerCount(dimensions->GetLayerCount());
    // An image asked for by name that does not show would make a picture
    // that looks right and is not: refuse it.
    const std::vector<ImageOption> failed = AttachImages(*level, options.Images);
    for (const ImageOption& image : failed)
        std::cerr << "kzm render: no image from " << image.Path << " for tileset " << image.Id
                  << " (no tileset with that Id, or the file cannot be loaded and cut into frames)\n";
    if (!failed.empty())
        return 1;
    AttachDefaultImage(*level, options);

    OffscreenDisplay display(options.Size[0], options.Size[1]);
    if (!display.IsOpen()) {
        std::cerr << "kzm render: cannot make a " << options.Size[0] << " x " << options.Size[1] << " display\n";
        return 1;
    }
    // The first frame of the test bed's loop, up to its present.
    ClearFrame();
    SetBlendMode(kBlendAlpha);
    engine.SetScrollX(options.Scroll[0]);
    engine.SetScrollY(options.Scroll[1]);
    engine.Draw();
    if (!display.SavePng(FromUtf8(options.Out))) {
        std::cerr << "kzm render: cannot write " << options.Out << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

Subcommand AddRenderCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("render", "Draw a map's first frame as the test bed shows it, into a PNG");
    auto options = std::make_shared<RenderOptions>();
    command->add_option("MAP", options->Map, "the .kzm file")->required();
    command->add_option("-o,--output", options->Out, "the PNG to write")->required()->type_name("OUT.png");
    AddImageOption(*command, options->Images);
    AddIntegersOption(*command, "--scroll", options->Scroll, "X,Y", "scroll offset (default -300,-500)");
    AddIntegersOption(*command, "--view", options->View, "LEFT,TOP,RIGHT,BOTTOM",
                      "view rectangle in screen pixels (default 100,100,800,600)");
    AddIntegersOption(*command, "--size", options->Size, "WIDTH,HEIGHT",
                      "display size, each 1 to " + std::to_string(kMaxOffscreenSide) + " (default 800,600)");
    command->callback([options] {
        for (std::int32_t side : options->Size)
            if (side < 1 || side > kMaxOffscreenSide)
                throw CLI::ValidationError("--size", "each side must be 1 to " + std::to_string(kMaxOffscreenSide));
    });
    return {command, [options] { return Render(*options); }};
}

}  // namespace kzm::tool
