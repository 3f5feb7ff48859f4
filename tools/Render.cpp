// kzm render MAP -o OUT.png [--image ID=PNG]... [--scroll X,Y]
//            [--view LEFT,TOP,RIGHT,BOTTOM] [--size WIDTH,HEIGHT]
//
// Draws one frame the way the test bed draws its first one, with the test
// bed's own world map and frame (render/TestBedView.h), into an offscreen
// display, and saves it as an RGB PNG of the display's size.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/Display.h"
#include "render/ScrollOffsets.h"
#include "render/TWorldMap.h"
#include "render/TestBedView.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

struct RenderOptions {
    std::string Map;
    std::string Out;
    std::vector<ImageOption> Images;
    // The test bed's own settings.
    std::vector<std::int32_t> Scroll{kStartScrollX, kStartScrollY};
    std::vector<std::int32_t> View{kTestBedView.Left, kTestBedView.Top, kTestBedView.Right, kTestBedView.Bottom};
    std::vector<std::int32_t> Size{kTestBedWidth, kTestBedHeight};
};

std::string Joined(const std::vector<std::int32_t>& values)
{
    std::string text;
    for (std::int32_t value : values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
}

// The test bed attaches "resource0.png" from its own folder to tileset 0;
// here the map's folder stands in for it, unless --image names one.
void AttachDefaultImage(TWorldMap& world, const RenderOptions& options)
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
        world.SetTilesetPath(0, FromUtf8(image.string()));
}

int Render(const RenderOptions& options)
{
    // The test bed's own world map loads and draws: only the file names, the
    // view and the scroll are the options'.
    TWorldMap world;
    const ViewRect view{options.View[0], options.View[1], options.View[2], options.View[3]};
    if (world.LoadMap(FromUtf8(options.Map), view.Right, view.Bottom, view.Left, view.Top) != 1) {
        std::cerr << "Unable to load mapfile!\n";
        if (world.ReadResult)
            ReportFailure("kzm render", options.Map, *world.ReadResult);
        return 1;
    }
    // An image asked for by name that does not show would make a picture
    // that looks right and is not: refuse it.
    const std::vector<ImageOption> failed = AttachImages(*world.ReadResult->GetLevel(), options.Images);
    for (const ImageOption& image : failed)
        std::cerr << "kzm render: no image from " << image.Path << " for tileset " << image.Id
                  << " (no tileset with that Id, or the file cannot be loaded and cut into frames)\n";
    if (!failed.empty())
        return 1;
    AttachDefaultImage(world, options);

    OffscreenDisplay display(options.Size[0], options.Size[1]);
    if (!display.IsOpen()) {
        std::cerr << "kzm render: cannot make a " << options.Size[0] << " x " << options.Size[1] << " display\n";
        return 1;
    }
    ScrollX = options.Scroll[0];
    ScrollY = options.Scroll[1];
    DrawTestBedFrame(world);
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
    AddIntegersOption(*command, "--scroll", options->Scroll, "X,Y",
                      "scroll offset (default " + Joined(options->Scroll) + ")");
    AddIntegersOption(*command, "--view", options->View, "LEFT,TOP,RIGHT,BOTTOM",
                      "view rectangle in screen pixels (default " + Joined(options->View) + ")");
    AddIntegersOption(*command, "--size", options->Size, "WIDTH,HEIGHT",
                      "display size, each 1 to " + std::to_string(kMaxOffscreenSide) + " (default " +
                          Joined(options->Size) + ")");
    command->callback([options] {
        for (std::int32_t side : options->Size)
            if (side < 1 || side > kMaxOffscreenSide)
                throw CLI::ValidationError("--size", "each side must be 1 to " + std::to_string(kMaxOffscreenSide));
    });
    return {command, [options] { return Render(*options); }};
}

}  // namespace kzm::tool
