// kzm render MAP -o OUT.png [--image ID=PNG]... [--scroll X,Y]
//            [--view LEFT,TOP,RIGHT,BOTTOM] [--size WIDTH,HEIGHT]
//
// Draws one frame the way the test bed draws its first one, with the test
// bed's own world map and frame (render/TestBedView.h), into an offscreen
// display, and saves it as an RGB PNG of the display's size.
//
// kzm render MAP -o OUT.png --whole [--scale S | --tilesize N | --size N]
//            [--hide-layer L]... [--show-layer L]... [--no-smoothing]
//            [--fit-tiles] [--background RRGGBB] [--image ID=PNG]...
//
// Draws the whole map instead (render/WholeMapPicture.h), as an RGBA PNG
// written band by band.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Display.h"
#include "render/ScrollOffsets.h"
#include "render/TWorldMap.h"
#include "render/TestBedView.h"
#include "render/WholeMapPicture.h"
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
    // --size is WIDTH,HEIGHT for a frame and N for a whole map: read once
    // both are known.
    std::string SizeText;
    bool Whole = false;
    bool NoSmoothing = false;
    WholeMapOptions Picture;
    std::string Background;
};

// The first frame's display is what a window of the test bed could be.
constexpr int kMaxFrameSide = 16384;

// Checks and completes the options once all are parsed; usage errors throw.
void SettleOptions(RenderOptions& options, const CLI::App& command)
{
    const char* wholeOnly[] = {"--scale",        "--tilesize",  "--hide-layer", "--show-layer",
                               "--no-smoothing", "--fit-tiles", "--background"};
    if (!options.Whole) {
        for (const char* name : wholeOnly)
            if (command.count(name) > 0)
                throw CLI::ValidationError(name, "only with --whole");
        if (!options.SizeText.empty())
            options.Size = ParseIntegers("--size", options.SizeText, 2, "WIDTH,HEIGHT");
        for (std::int32_t side : options.Size)
            if (side < 1 || side > kMaxFrameSide)
                throw CLI::ValidationError("--size", "each side must be 1 to " + std::to_string(kMaxFrameSide));
        return;
    }
    for (const char* name : {"--scroll", "--view"})
        if (command.count(name) > 0)
            throw CLI::ValidationError(name, "not with --whole, which draws the whole map");
    WholeMapOptions& picture = options.Picture;
    if (!(picture.Scale > 0.0 && picture.Scale <= kMaxPictureScale))
        throw CLI::ValidationError("--scale", "must be above 0 and at most 16");
    picture.Smoothing = !options.NoSmoothing;
    if (command.count("--tilesize") > 0 && picture.TileSize < 1)
        throw CLI::ValidationError("--tilesize", "must be 1 or more");
    if (!options.SizeText.empty()) {
        picture.Size = ParseIntegers("--size", options.SizeText, 1, "N")[0];
        if (picture.Size < 1 || picture.Size > kMaxPictureSide)
            throw CLI::ValidationError("--size", "must be 1 to " + std::to_string(kMaxPictureSide));
    }
    if (!options.Background.empty()) {
        const std::string& text = options.Background;
        if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            throw CLI::ValidationError("--background", "expected RRGGBB in hexadecimal, got '" + text + "'");
        const unsigned long colour = std::stoul(text, nullptr, 16);
        picture.Background =
            std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                        static_cast<std::uint8_t>(colour)};
    }
}

// Exit status 2 when the options ask for a picture out of range (too large a
// scale or size for this map), 1 when the map has nothing to picture or the
// file cannot be written.
int RenderWhole(TRKLevel& level, const RenderOptions& options)
{
    const WholeMapPicture picture(level, options.Picture);
    if (picture.Problem() != WholeMapPicture::ProblemKind::None) {
        std::cerr << "kzm render: " << picture.ProblemText() << '\n';
        return picture.Problem() == WholeMapPicture::ProblemKind::Usage ? 2 : 1;
    }
    std::string error;
    if (!picture.SavePng(FromUtf8(options.Out), error)) {
        std::cerr << "kzm render: cannot write " << options.Out << ": " << error << '\n';
        return 1;
    }
    return 0;
}

std::string Joined(const std::vector<std::int32_t>& values)
{
    std::string text;
    for (std::int32_t value : values)
        text += (text.empty() ? "" : ",") + std::to_string(value);
    return text;
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
    if (const std::optional<ImageOption> image = ImageBesideMap(options.Map, options.Images))
        world.SetTilesetPath(image->Id, FromUtf8(image->Path));
    if (options.Whole)
        return RenderWhole(*world.ReadResult->GetLevel(), options);

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
    auto* command = app.add_subcommand(
        "render", "Draw a map's first frame as the test bed shows it, or with --whole the whole map, into a PNG");
    auto options = std::make_shared<RenderOptions>();
    command->add_option("MAP", options->Map, "the .kzm file")->required();
    command->add_option("-o,--output", options->Out, "the PNG to write")->required()->type_name("OUT.png");
    AddImageOption(*command, options->Images);
    AddIntegersOption(*command, "--scroll", options->Scroll, "X,Y",
                      "scroll offset (default " + Joined(options->Scroll) + ")");
    AddIntegersOption(*command, "--view", options->View, "LEFT,TOP,RIGHT,BOTTOM",
                      "view rectangle in screen pixels (default " + Joined(options->View) + ")");
    command
        ->add_option("--size", options->SizeText,
                     "display size, each 1 to " + std::to_string(kMaxFrameSide) + " (default " + Joined(options->Size) +
                         "); with --whole, the picture fits within N x N (N 1 to " + std::to_string(kMaxPictureSide) +
                         ")")
        ->type_name("WIDTH,HEIGHT | N");
    command->add_flag("--whole", options->Whole,
                      "draw the whole map (its grid, from its origin) instead of the first frame, as an RGBA PNG");
    command->add_option("-s,--scale", options->Picture.Scale, "with --whole: scale of the picture, above 0 to 16")
        ->type_name("S");
    command
        ->add_option("-t,--tilesize", options->Picture.TileSize,
                     "with --whole: the scale that makes a grid cell N pixels wide")
        ->type_name("N");
    command->add_option("--hide-layer", options->Picture.HiddenLayers, "with --whole: leave layer L out (repeatable)")
        ->type_name("L")
        ->allow_extra_args(false);
    command
        ->add_option("--show-layer", options->Picture.ShownLayers,
                     "with --whole: draw only the layers named (repeatable)")
        ->type_name("L")
        ->allow_extra_args(false);
    command->add_flag("--no-smoothing", options->NoSmoothing,
                      "with --whole: nearest texel instead of linear filtering");
    command->add_flag("--fit-tiles", options->Picture.FitTiles,
                      "with --whole: the smallest rectangle holding every drawn tile instead of the grid");
    command
        ->add_option("--background", options->Background,
                     "with --whole: fill with this colour where no tile covers (default transparent)")
        ->type_name("RRGGBB");
    command->callback([options, command] { SettleOptions(*options, *command); });
    return {command, [options] { return Render(*options); }};
}

}  // namespace kzm::tool
