#include "render/WholeMapPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <sstream>
#include <unordered_map>

#include "image/PngRowWriter.h"
#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "render/TestBedView.h"

namespace kzm {

namespace {

// Rows read back from a band at a time: a few MiB at the widest.
constexpr int kReadRows = 32;

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

bool Contains(const std::vector<std::int32_t>& layers, std::int64_t layer)
{
    return std::find(layers.begin(), layers.end(), layer) != layers.end();
}

std::string Number(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

WholeMapPicture::WholeMapPicture(TRKLevel& level, const WholeMapOptions& options) : Level(level), Options(options)
{
    Plan();
}

void WholeMapPicture::Fail(ProblemKind kind, std::string why)
{
    Kind = kind;
    Why = std::move(why);
}

bool WholeMapPicture::DrawsLayer(std::int64_t layer) const
{
    if (layer < 0 || layer >= Level.Dimensions->LayerCount)
        return false;
    if (!Options.ShownLayers.empty() && !Contains(Options.ShownLayers, layer))
        return false;
    return !Contains(Options.HiddenLayers, layer);
}

void WholeMapPicture::Plan()
{
    if (!Level.Dimensions || !Level.Tilesets || !Level.Tiles) {
        Fail(ProblemKind::Map, "the level is incomplete");
        return;
    }
    const TRKMapDimensions& dimensions = *Level.Dimensions;

    // The quads of the tiles that will be drawn, for fitting. The image is
    // the one the engine finds, looked up once per tileset Id.
    TMapEngine lookup;
    std::unordered_map<std::int32_t, Ref<Image>> images;
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (const Ref<Object>& entry : Level.Tiles->Entries()) {
        const TRKTile* tile = As<TRKTile>(entry);
        if (!tile || !DrawsLayer(tile->Layer))
            continue;
        auto [found, added] = images.try_emplace(tile->TilesetId);
        if (added)
            found->second = lookup.FindTilesetImage(Level.Tilesets, *tile);
        const Image* image = found->second.get();
        if (!image || tile->Frame < 0 || tile->Frame >= image->FrameCount || image->FrameWidth <= 0 ||
            image->FrameHeight <= 0)
            continue;
        const double width = static_cast<double>(image->FrameWidth) * tile->ScaleX;
        const double height = static_cast<double>(image->FrameHeight) * tile->ScaleY;
        if (width == 0.0 || height == 0.0 || !std::isfinite(width) || !std::isfinite(height))
            continue;
        const double x = tile->X;
        const double y = tile->Y;
        minX = std::min({minX, x, x + width});
        maxX = std::max({maxX, x, x + width});
        minY = std::min({minY, y, y + height});
        maxY = std::max({maxY, y, y + height});
    }

    if (Options.FitTiles) {
        if (!(minX <= maxX)) {
            Fail(ProblemKind::Map, "no tile of the layers drawn has an image and a frame to draw: nothing to fit");
            return;
        }
        // A tile scaled by a huge factor reaches past any position the
        // engine can hold; checked before the conversion, which would
        // otherwise overflow.
        if (minX < kInt32Min || minY < kInt32Min || maxX > kInt32Max || maxY > kInt32Max) {
            Fail(ProblemKind::Map, "the tiles span more than 32-bit pixel positions can hold");
            return;
        }
        Left = static_cast<std::int64_t>(std::floor(minX));
        Top = static_cast<std::int64_t>(std::floor(minY));
        Right = static_cast<std::int64_t>(std::ceil(maxX));
        Bottom = static_cast<std::int64_t>(std::ceil(maxY));
    } else {
        Right = std::int64_t{dimensions.Columns} * dimensions.TileWidth;
        Bottom = std::int64_t{dimensions.Rows} * dimensions.TileHeight;
        if (dimensions.Columns <= 0 || dimensions.Rows <= 0 || dimensions.TileWidth <= 0 ||
            dimensions.TileHeight <= 0) {
            Fail(ProblemKind::Map, "the map's grid is empty (" + std::to_string(dimensions.Columns) + " x " +
                                       std::to_string(dimensions.Rows) + " cells of " +
                                       std::to_string(dimensions.TileWidth) + " x " +
                                       std::to_string(dimensions.TileHeight) +
                                       " pixels): --fit-tiles pictures the tiles wherever they lie");
            return;
        }
    }
    // The engine works in 32-bit positions.
    if (Left < kInt32Min || Top < kInt32Min || Right > kInt32Max || Bottom > kInt32Max || Right <= Left ||
        Bottom <= Top) {
        Fail(ProblemKind::Map, "the map spans more than 32-bit pixel positions can hold");
        return;
    }

    const double width = static_cast<double>(Right - Left);
    const double height = static_cast<double>(Bottom - Top);
    if (Options.Size > 0) {
        PictureScale = std::min(Options.Size / width, Options.Size / height);
    } else if (Options.TileSize > 0) {
        if (dimensions.TileWidth <= 0) {
            Fail(ProblemKind::Map, "the map's grid cells are " + std::to_string(dimensions.TileWidth) +
                                       " pixels wide: --tilesize needs a width above 0");
            return;
        }
        PictureScale = static_cast<double>(Options.TileSize) / dimensions.TileWidth;
    } else {
        PictureScale = Options.Scale;
    }
    if (!(PictureScale > 0.0 && PictureScale <= kMaxPictureScale)) {
        Fail(ProblemKind::Usage, "the picture's scale would be " + Number(PictureScale) +
                                     ": it must be above 0 and at most " + Number(kMaxPictureScale));
        return;
    }
    const double pictureWidth = std::max(1.0, std::round(width * PictureScale));
    const double pictureHeight = std::max(1.0, std::round(height * PictureScale));
    if (pictureWidth > kMaxPictureSide || pictureHeight > kMaxPictureSide) {
        Fail(ProblemKind::Usage, "a picture of " + Number(pictureWidth) + " x " + Number(pictureHeight) +
                                     " pixels is larger than the limit of " + std::to_string(kMaxPictureSide) +
                                     " a side: use --scale, --tilesize or --size");
        return;
    }
    PictureWidth = static_cast<int>(pictureWidth);
    PictureHeight = static_cast<int>(pictureHeight);
}

bool WholeMapPicture::Draw(const PictureRowSink& sink) const
{
    if (Kind != ProblemKind::None)
        return false;
    const int width = PictureWidth;
    const int height = PictureHeight;
    const std::int64_t budget = Options.BandPixels > 0 ? Options.BandPixels : kBandPixels;
    const int bandRows =
        std::min(height, static_cast<int>(std::clamp<std::int64_t>(budget / width, 1, kMaxOffscreenSide)));

    OffscreenDisplay display(width, bandRows);
    if (!display.IsOpen())
        return false;

    // The viewport is the picture's rectangle, so the cull keeps every tile
    // near it; the scroll takes the viewport's offset back out, so a tile
    // lands at its own X and Y as with the view's left and top at 0.
    TMapEngine engine;
    SetUpEngine(engine, Level,
                ViewRect{static_cast<std::int32_t>(Left), static_cast<std::int32_t>(Top),
                         static_cast<std::int32_t>(Right), static_cast<std::int32_t>(Bottom)});
    engine.SetScrollX(static_cast<std::int32_t>(-Left));
    engine.SetScrollY(static_cast<std::int32_t>(-Top));

    // With layers left out, the layers that hold drawn tiles, from the tiles
    // themselves: LayerCount may be in the billions.
    const bool everyLayer = Options.HiddenLayers.empty() && Options.ShownLayers.empty();
    std::set<std::int32_t> layers;
    if (!everyLayer)
        for (const Ref<Object>& entry : Level.Tiles->Entries())
            if (const TRKTile* tile = As<TRKTile>(entry); tile && DrawsLayer(tile->Layer))
                layers.insert(tile->Layer);

    const auto background = Options.Background.value_or(std::array<std::uint8_t, 3>{0, 0, 0});
    const std::uint8_t alpha = Options.Background ? 255 : 0;
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    for (int top = 0; top < height; top += bandRows) {
        // The last band overlaps the one before rather than run past the
        // picture's bottom edge.
        const int surfaceTop = std::min(top, height - bandRows);
        const int rows = std::min(bandRows, height - top);
        display.ClearTo(background[0], background[1], background[2], alpha);
        SetBlendMode(kBlendAlpha);
        SetDrawSmoothing(Options.Smoothing);
        SetDisplayView(DisplayView{PictureScale, static_cast<double>(Left), static_cast<double>(Top), 0, surfaceTop});
        if (everyLayer)
            engine.Draw();
        else
            for (std::int32_t layer : layers)
                engine.DrawLayer(layer);
        for (int row = top; row < top + rows; row += kReadRows) {
            const int count = std::min(kReadRows, top + rows - row);
            // Over a background every pixel is opaque, whatever alpha the
            // blending left in it.
            const std::vector<std::uint8_t> pixels = Options.Background
                                                         ? display.ReadPixels(row - surfaceTop, count)
                                                         : display.ReadPixelsWithAlpha(row - surfaceTop, count);
            if (pixels.empty())
                return false;
            for (int i = 0; i < count; ++i)
                if (!sink(std::span<const std::uint8_t>(pixels).subspan(static_cast<std::size_t>(i) * rowBytes,
                                                                        rowBytes)))
                    return false;
        }
    }
    return true;
}

bool WholeMapPicture::SavePng(const String& path, std::string& error) const
{
    if (Kind != ProblemKind::None) {
        error = Why;
        return false;
    }
    PngRowWriter writer(path, PictureWidth, PictureHeight, true);
    if (!writer.IsOpen()) {
        error = writer.Error();
        return false;
    }
    if (!Draw([&writer](std::span<const std::uint8_t> row) { return writer.WriteRow(row); })) {
        error = writer.IsOpen() ? "cannot make an offscreen display " + std::to_string(PictureWidth) + " pixels wide"
                                : writer.Error();
        return false;
    }
    if (!writer.Finish()) {
        error = writer.Error();
        return false;
    }
    return true;
}

}  // namespace kzm
