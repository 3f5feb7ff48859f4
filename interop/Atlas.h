// The atlas an import writes: every distinct frame once, laid out in the
// grid the engine cuts (left to right, then top to bottom).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace kzm::interop {

// The largest atlas in either direction, and in pixels all told: what the
// engine's image loader accepts, so that every atlas written can be shown.
constexpr int kMaxAtlasSide = 32768;
constexpr std::int64_t kMaxAtlasPixels = std::int64_t{1} << 26;

class Atlas {
public:
    // maxPixels: the bound on the whole atlas; tests make it small.
    Atlas(int frameWidth, int frameHeight, std::int64_t maxPixels = kMaxAtlasPixels);

    int FrameWidth() const { return Width; }
    int FrameHeight() const { return Height; }
    // The frame's index; a frame equal to one added before gets its index.
    // rgba holds FrameWidth x FrameHeight pixels, top row first. Past the
    // size limit frames are only counted, so that the error can say how
    // large the atlas would have been.
    int Add(std::span<const std::uint8_t> rgba);
    int FrameCount() const { return Count; }

    struct Layout {
        int Columns = 0, Rows = 0;
        std::int64_t PixelWidth = 0, PixelHeight = 0;
    };
    // The grid for the frames so far: near square, within the bounds if it
    // can be. Fits() says whether it is.
    Layout Plan() const;
    bool Fits() const;
    // The atlas picture, RGBA; throws TiledError saying how large it would
    // be when it does not fit.
    std::vector<std::uint8_t> Build(Layout& layout) const;

private:
    int Width;
    int Height;
    std::int64_t MaxPixels;
    int Count = 0;
    bool Overflowed = false;
    std::vector<std::uint8_t> Pixels;  // frame after frame, while they fit
    std::unordered_map<std::uint64_t, std::vector<int>> ByHash;
};

}  // namespace kzm::interop
