// kzm view MAP [--image ID=PNG]... [--size W,H]
//
// Opens any map in a resizable window and draws it with the engine and the
// display code of the test bed: the map's top-left corner at the window's
// top-left at zoom 1 to start with, which is `kzm render --whole` cropped to
// the window. Keys, pointer and wheel move and zoom the view; the map and its
// images are read again when their files change.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "mapdata/TKZMReader.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/System.h"
#include "platform/ViewerWindow.h"
#include "render/TMapEngine.h"
#include "render/TestBedView.h"
#include "tools/Command.h"
#include "tools/Options.h"

namespace kzm::tool {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMinZoom = 1.0 / 16.0;
constexpr double kMaxZoom = 8.0;
// One wheel step or one + or - multiplies or divides the zoom by this.
const double kZoomStep = std::sqrt(2.0);
// Screen pixels a frame for an arrow key, as the test bed scrolls; Shift
// makes it this many times faster.
constexpr double kScrollStep = 6.0;
constexpr double kFastScroll = 4.0;
constexpr int kKeyShift = 16;
constexpr int kKeyHome = 36;
constexpr int kKeyPlus = 187;
constexpr int kKeyMinus = 189;
constexpr int kKeyPadPlus = 107;
constexpr int kKeyPadMinus = 109;
// How often the files are looked at for changes.
constexpr auto kWatchInterval = std::chrono::milliseconds(500);

struct ViewOptions {
    std::string Map;
    std::vector<ImageOption> Images;
    std::vector<std::int32_t> Size{800, 600};
};

// A file and when it was last changed (none while it is missing).
struct WatchedFile {
    std::filesystem::path Path;
    std::optional<std::filesystem::file_time_type> Changed;
};

std::optional<std::filesystem::file_time_type> ChangeTime(const std::filesystem::path& path)
{
    std::error_code error;
    const auto time = std::filesystem::last_write_time(path, error);
    if (error)
        return std::nullopt;
    return time;
}

// A map read and set up for drawing, with the files it came from.
struct LoadedMap {
    Ref<TRespReadKZM> Result;  // holds the level, and so the lists the engine draws
    Ref<TRKLevel> Level;
    std::set<std::int32_t> Layers;  // the layers Draw draws that hold tiles
    std::vector<WatchedFile> Files;
};

// The --image options, and resource0.png beside the map for tileset 0 as
// the test bed would attach it.
std::vector<ImageOption> ImagesToAttach(const ViewOptions& options)
{
    std::vector<ImageOption> images = options.Images;
    if (const std::optional<ImageOption> image = ImageBesideMap(options.Map, images))
        images.push_back(*image);
    return images;
}

// Reads the map and attaches its images; nothing and the reason when either
// fails.
std::optional<LoadedMap> Load(const ViewOptions& options, std::string& error)
{
    LoadedMap map;
    // Times first: a file changed while it is read is read again.
    map.Files.push_back({options.Map, ChangeTime(options.Map)});
    const std::vector<ImageOption> images = ImagesToAttach(options);
    for (const ImageOption& image : images)
        map.Files.push_back({image.Path, ChangeTime(image.Path)});

    map.Result = TKZMReader::Read(FromUtf8(options.Map));
    if (map.Result->GetErrored()) {
        error = "cannot read " + options.Map + ": " + ToUtf8(map.Result->FailureText);
        return std::nullopt;
    }
    map.Level = map.Result->GetLevel();
    const std::vector<ImageOption> failed = AttachImages(*map.Level, images);
    if (!failed.empty()) {
        error = "no image from " + failed.front().Path + " for tileset " + std::to_string(failed.front().Id) +
                " (no tileset with that Id, or the file cannot be loaded and cut into frames)";
        return std::nullopt;
    }
    const std::int32_t layerCount = map.Level->Dimensions->LayerCount;
    for (const Ref<Object>& entry : map.Level->Tiles->Entries())
        if (const auto* tile = As<TRKTile>(entry); tile && tile->Layer >= 0 && tile->Layer < layerCount)
            map.Layers.insert(tile->Layer);
    return map;
}

bool FilesChanged(const LoadedMap& map)
{
    return std::any_of(map.Files.begin(), map.Files.end(),
                       [](const WatchedFile& file) { return ChangeTime(file.Path) != file.Changed; });
}

// What the window shows: the map point at its top-left corner and the zoom.
struct Camera {
    double OriginX = 0.0;  // map pixels
    double OriginY = 0.0;
    double Zoom = 1.0;

    // Zooms keeping the map point under the screen point (x, y) in place.
    void ZoomAbout(double zoom, double x, double y)
    {
        zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
        OriginX += x / Zoom - x / zoom;
        OriginY += y / Zoom - y / zoom;
        Zoom = zoom;
    }

    // The whole grid (or, on a map without one, every tile) in the window,
    // centred.
    void Fit(TRKLevel& level, int width, int height)
    {
        const TRKMapDimensions& d = *level.Dimensions;
        double right = static_cast<double>(d.Columns) * d.TileWidth;
        double bottom = static_cast<double>(d.Rows) * d.TileHeight;
        double left = 0.0;
        double top = 0.0;
        if (!(right > 0 && bottom > 0)) {
            left = top = std::numeric_limits<double>::infinity();
            right = bottom = -left;
            for (const Ref<Object>& entry : level.Tiles->Entries())
                if (const auto* tile = As<TRKTile>(entry)) {
                    left = std::min<double>(left, tile->X);
                    top = std::min<double>(top, tile->Y);
                    right = std::max<double>(right, static_cast<double>(tile->X) + tile->Width);
                    bottom = std::max<double>(bottom, static_cast<double>(tile->Y) + tile->Height);
                }
            if (!(right > left && bottom > top))
                return;
        }
        Zoom = std::clamp(std::min(width / (right - left), height / (bottom - top)), kMinZoom, kMaxZoom);
        OriginX = (left + right) / 2 - width / (2 * Zoom);
        OriginY = (top + bottom) / 2 - height / (2 * Zoom);
    }
};

std::int32_t ToInt32(double value)
{
    return static_cast<std::int32_t>(
        std::clamp<double>(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Draws the map as the camera sees it: the engine's viewport is the visible
// part of the map, and its scroll takes the viewport's offset back out, so
// that tiles land at their own positions and the display's view places them.
void DrawMap(TMapEngine& engine, const LoadedMap& map, const Camera& camera, const std::set<std::int32_t>& hidden,
             int width, int height)
{
    const std::int32_t left = ToInt32(std::floor(camera.OriginX));
    const std::int32_t top = ToInt32(std::floor(camera.OriginY));
    engine.SetViewport(left, top, ToInt32(std::ceil(camera.OriginX + width / camera.Zoom)),
                       ToInt32(std::ceil(camera.OriginY + height / camera.Zoom)));
    engine.SetScrollX(static_cast<std::int32_t>(-static_cast<std::int64_t>(left)));
    engine.SetScrollY(static_cast<std::int32_t>(-static_cast<std::int64_t>(top)));
    SetDisplayView(DisplayView{camera.Zoom, camera.OriginX, camera.OriginY, 0, 0});
    if (hidden.empty()) {
        engine.Draw();
        return;
    }
    for (std::int32_t layer : map.Layers)
        if (!hidden.contains(layer))
            engine.DrawLayer(layer);
}

std::string Title(const LoadedMap& map, const Camera& camera, const std::set<std::int32_t>& hidden, int fps,
                  const std::string& reloadError)
{
    std::ostringstream title;
    title << "kzm view: " << ToUtf8(map.Level->Dimensions->Name) << " | zoom " << std::round(camera.Zoom * 1000) / 10
          << "%";
    if (!hidden.empty()) {
        title << " | hidden layers";
        for (std::int32_t layer : hidden)
            title << ' ' << layer;
    }
    title << " | " << fps << " fps";
    if (!reloadError.empty())
        title << " | reload failed: " << reloadError;
    return title.str();
}

int View(const ViewOptions& options)
{
    std::string error;
    std::optional<LoadedMap> map = Load(options, error);
    if (!map) {
        std::cerr << "kzm view: " << error << '\n';
        return 1;
    }
    if (!OpenViewerWindow(options.Size[0], options.Size[1], error)) {
        std::cerr << "kzm view: cannot open a window: " << error << '\n';
        return 1;
    }
    TMapEngine engine;
    SetUpEngine(engine, *map->Level, ViewRect{});

    Camera camera;
    std::set<std::int32_t> hidden;
    std::string reloadError;
    int lastX = -1;
    int lastY = -1;
    int fps = 0;
    int frames = 0;
    auto secondStart = Clock::now();
    auto lastWatch = secondStart;
    std::string shownTitle;
    for (;;) {
        SetBlendMode(kBlendAlpha);
        if (KeyWasHit(kKeyEscape) != 0 || KeyWasHit('Q') != 0 || TerminateRequested())
            return 0;
        const int width = ViewerWidth();
        const int height = ViewerHeight();
        const int x = PointerX();
        const int y = PointerY();
        // Zooming centres on the pointer, or on the window's middle while
        // the pointer is elsewhere.
        const bool inside = x >= 0 && y >= 0;
        const double aboutX = inside ? x : width / 2.0;
        const double aboutY = inside ? y : height / 2.0;

        const double step = kScrollStep * (KeyIsDown(kKeyShift) != 0 ? kFastScroll : 1.0) / camera.Zoom;
        camera.OriginX += step * (KeyIsDown(kKeyRight) - KeyIsDown(kKeyLeft));
        camera.OriginY += step * (KeyIsDown(kKeyDown) - KeyIsDown(kKeyUp));
        if (PointerButtonDown() != 0 && inside && lastX >= 0) {
            camera.OriginX -= (x - lastX) / camera.Zoom;
            camera.OriginY -= (y - lastY) / camera.Zoom;
        }
        lastX = PointerButtonDown() != 0 ? x : -1;
        lastY = y;
        const int zoomSteps = WheelWasTurned() + KeyWasHit(kKeyPlus) + KeyWasHit(kKeyPadPlus) - KeyWasHit(kKeyMinus) -
                              KeyWasHit(kKeyPadMinus);
        if (zoomSteps != 0)
            camera.ZoomAbout(camera.Zoom * std::pow(kZoomStep, zoomSteps), aboutX, aboutY);
        if (KeyWasHit('0') != 0)
            camera.ZoomAbout(1.0, aboutX, aboutY);
        if (KeyWasHit(kKeyHome) != 0)
            camera = Camera{};
        if (KeyWasHit('F') != 0)
            camera.Fit(*map->Level, width, height);
        for (int key = 1; key <= 9; ++key)
            if (KeyWasHit('0' + key) % 2 != 0) {
                const std::int32_t layer = key - 1;
                if (!hidden.erase(layer))
                    hidden.insert(layer);
            }

        const auto now = Clock::now();
        const bool askedReload = KeyWasHit('R') != 0;
        if (askedReload || now - lastWatch >= kWatchInterval) {
            lastWatch = now;
            if (askedReload || FilesChanged(*map)) {
                std::optional<LoadedMap> reloaded = Load(options, error);
                if (reloaded) {
                    map = std::move(reloaded);
                    SetUpEngine(engine, *map->Level, ViewRect{});
                    reloadError.clear();
                } else {
                    // The failed files' times are kept, so the same failure
                    // is not reported again until they change once more.
                    for (WatchedFile& file : map->Files)
                        file.Changed = ChangeTime(file.Path);
                    if (error != reloadError)
                        std::cerr << "kzm view: reload failed: " << error << '\n';
                    reloadError = error;
                }
            }
        }
        if (now - secondStart >= std::chrono::seconds(1)) {
            fps = frames;
            frames = 0;
            secondStart = now;
        }
        const std::string title = Title(*map, camera, hidden, fps, reloadError);
        if (title != shownTitle) {
            SetViewerTitle(FromUtf8(title));
            shownTitle = title;
        }

        DrawMap(engine, *map, camera, hidden, width, height);
        PresentFrame(1);
        ClearFrame();
        PollSystemEvents();
        ++frames;
    }
}

}  // namespace

Subcommand AddViewCommand(CLI::App& app)
{
    auto* command = app.add_subcommand("view", "Open a map in a window to look around it; changed files reload");
    command->footer("Keys: arrows scroll (Shift: faster), dragging pans, the wheel or + and - zoom about the pointer, "
                    "0 zoom 1, Home the start view, F fits the map, 1-9 hide or show layers 0-8, R reloads, "
                    "Escape or Q ends.");
    auto options = std::make_shared<ViewOptions>();
    command->add_option("MAP", options->Map, "the .kzm file")->required();
    AddImageOption(*command, options->Images);
    AddIntegersOption(*command, "--size", options->Size, "W,H", "the window's size to start with (default 800,600)");
    command->callback([options] {
        for (std::int32_t side : options->Size)
            if (side < 1 || side > kMaxOffscreenSide)
                throw CLI::ValidationError("--size", "each side must be 1 to " + std::to_string(kMaxOffscreenSide));
    });
    return {command, [options] { return View(*options); }};
}

}  // namespace kzm::tool
