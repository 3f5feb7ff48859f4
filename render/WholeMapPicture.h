// A picture of a whole map, for a wiki, a mini-map or a review: every tile
// drawn by the engine where it would draw it with the view's left and top at
// 0 and no scroll, layer by layer, the whole picture scaled as asked.
//
// The picture is drawn in bands on an offscreen display and handed on row by
// row, so its memory stays bounded (a band of at most kBandPixels pixels)
// whatever its size. The display's view snaps every quad to whole picture
// pixels before it moves it onto a band, so a tile cut by a band's edge gets
// the pixels it would get on one large display.
//
// Error policy: what cannot be pictured (an empty grid, no tile to fit, a
// scale or size out of range) is found when the picture is planned and
// reported by Problem() with its reason; drawing then does nothing. Drawing
// fails only when a band display cannot be made or the row sink refuses a
// row.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/String.h"
#include "mapdata/TRKLevel.h"

namespace kzm {

// The largest picture, in either direction.
constexpr int kMaxPictureSide = 32768;
// The largest scale of the whole picture.
constexpr double kMaxPictureScale = 16.0;
// One band's offscreen display holds at most this many pixels (128 MiB).
constexpr std::int64_t kBandPixels = std::int64_t{1} << 25;

struct WholeMapOptions {
    // How large: Size, when given, wins over TileSize, which wins over Scale.
    double Scale = 1.0;  // above 0, at most kMaxPictureScale
    int TileSize = 0;    // above 0: the scale that makes a grid cell this many pixels wide
    int Size = 0;        // above 0: the picture fits within Size x Size, keeping its shape
    // Layers are the tiles' Layer numbers; only layers 0 to LayerCount - 1
    // are ever drawn, as the engine's Draw does.
    std::vector<std::int32_t> HiddenLayers{};
    std::vector<std::int32_t> ShownLayers{};  // empty: every layer
    bool Smoothing = true;                    // linear filtering; nearest texel when false
    // The smallest rectangle that holds every drawn tile instead of the grid
    // (Columns x TileWidth by Rows x TileHeight from the map's origin).
    bool FitTiles = false;
    // Red, green, blue under every pixel; none leaves uncovered pixels
    // transparent.
    std::optional<std::array<std::uint8_t, 3>> Background{};
    // Pixels of one band's display; 0 is kBandPixels. Tests make it small.
    std::int64_t BandPixels = 0;
};

// Receives the picture's rows top first, each Width x 4 bytes of RGBA;
// false stops the drawing.
using PictureRowSink = std::function<bool(std::span<const std::uint8_t> rgba)>;

class WholeMapPicture {
public:
    // What cannot be pictured: a usage problem is one of the options (a scale
    // or size out of range), a map problem one of the map (nothing to draw).
    enum class ProblemKind { None, Usage, Map };

    // Plans the picture: its rectangle of the map, its scale and size. The
    // level's tilesets should have their images: a tile without one is not
    // drawn and takes no part in fitting. The level must outlive the picture.
    WholeMapPicture(TRKLevel& level, const WholeMapOptions& options);

    ProblemKind Problem() const { return Kind; }
    const std::string& ProblemText() const { return Why; }
    int Width() const { return PictureWidth; }
    int Height() const { return PictureHeight; }
    double Scale() const { return PictureScale; }
    // The map pixels shown: left and top inclusive, right and bottom not.
    std::int64_t MapLeft() const { return Left; }
    std::int64_t MapTop() const { return Top; }
    std::int64_t MapRight() const { return Right; }
    std::int64_t MapBottom() const { return Bottom; }

    // Draws the picture band by band and hands every row to the sink. Opens
    // (and at the end closes) an offscreen display: a window display open
    // before is closed. False when planning found a problem, a band display
    // cannot be made, or the sink refused a row.
    bool Draw(const PictureRowSink& sink) const;
    // Draws into an RGBA PNG written row by row; the file appears only when
    // complete. False with the reason in error.
    bool SavePng(const String& path, std::string& error) const;

private:
    bool DrawsLayer(std::int64_t layer) const;
    void Plan();
    void Fail(ProblemKind kind, std::string why);

    TRKLevel& Level;
    WholeMapOptions Options;
    ProblemKind Kind = ProblemKind::None;
    std::string Why;
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
    double PictureScale = 1.0;
    int PictureWidth = 0;
    int PictureHeight = 0;
};

}  // namespace kzm
