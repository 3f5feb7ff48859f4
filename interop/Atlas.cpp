#include "interop/Atlas.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "interop/TiledMap.h"

namespace kzm::interop {

namespace {

std::uint64_t Hash(std::span<const std::uint8_t> bytes)
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (std::uint8_t byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

}  // namespace

Atlas::Atlas(int frameWidth, int frameHeight, std::int64_t maxPixels)
    : Width(frameWidth), Height(frameHeight), MaxPixels(maxPixels)
{}

int Atlas::Add(std::span<const std::uint8_t> rgba)
{
    const std::size_t frameBytes = static_cast<std::size_t>(Width) * Height * 4;
    const std::uint64_t hash = Hash(rgba.first(frameBytes));
    std::vector<int>& same = ByHash[hash];
    if (Overflowed) {
        // Only counting now: a hash match is taken as the same frame.
        if (same.empty())
            same.push_back(Count++);
        return same.front();
    }
    for (int index : same)
        if (std::memcmp(Pixels.data() + static_cast<std::size_t>(index) * frameBytes, rgba.data(), frameBytes) == 0)
            return index;
    same.push_back(Count);
    ++Count;
    if (static_cast<std::int64_t>(Count) * Width * Height > MaxPixels) {
        Overflowed = true;
        Pixels.clear();
        Pixels.shrink_to_fit();
    } else {
        Pixels.insert(Pixels.end(), rgba.begin(), rgba.begin() + static_cast<std::ptrdiff_t>(frameBytes));
    }
    return Count - 1;
}

Atlas::Layout Atlas::Plan() const
{
    Layout layout;
    const std::int64_t frames = std::max(Count, 1);
    // Near square: columns x Width close to rows x Height.
    std::int64_t columns =
        static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(frames) * Height / Width)));
    columns = std::clamp<std::int64_t>(columns, 1, std::max(1, kMaxAtlasSide / Width));
    columns = std::min(columns, frames);
    const std::int64_t rows = (frames + columns - 1) / columns;
    layout.Columns = static_cast<int>(columns);
    layout.Rows = static_cast<int>(std::min<std::int64_t>(rows, 1 << 30));
    layout.PixelWidth = columns * Width;
    layout.PixelHeight = rows * Height;
    return layout;
}

bool Atlas::Fits() const
{
    const Layout layout = Plan();
    return !Overflowed && layout.PixelWidth <= kMaxAtlasSide && layout.PixelHeight <= kMaxAtlasSide &&
           layout.PixelWidth * layout.PixelHeight <= MaxPixels;
}

std::vector<std::uint8_t> Atlas::Build(Layout& layout) const
{
    layout = Plan();
    if (!Fits())
        throw TiledError("the atlas would be " + std::to_string(layout.PixelWidth) + " x " +
                         std::to_string(layout.PixelHeight) + " pixels (" + std::to_string(Count) + " frames of " +
                         std::to_string(Width) + " x " + std::to_string(Height) + "), more than the " +
                         std::to_string(kMaxAtlasSide) + " pixels a side and " + std::to_string(MaxPixels) +
                         " pixels in all that a tileset image may have");
    const std::size_t rowBytes = static_cast<std::size_t>(layout.PixelWidth) * 4;
    std::vector<std::uint8_t> out(rowBytes * static_cast<std::size_t>(layout.PixelHeight), 0);
    const std::size_t frameRow = static_cast<std::size_t>(Width) * 4;
    for (int frame = 0; frame < Count; ++frame) {
        const std::size_t left = static_cast<std::size_t>(frame % layout.Columns) * Width;
        const std::size_t top = static_cast<std::size_t>(frame / layout.Columns) * Height;
        const std::uint8_t* source = Pixels.data() + static_cast<std::size_t>(frame) * frameRow * Height;
        for (int y = 0; y < Height; ++y)
            std::memcpy(out.data() + (top + y) * rowBytes + left * 4, source + y * frameRow, frameRow);
    }
    return out;
}

}  // namespace kzm::interop
