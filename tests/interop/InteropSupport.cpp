#include "tests/interop/InteropSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "image/Image.h"
#include "tests/support/PngWriter.h"

namespace kzm::test {

namespace {

PngSamples Colour(int key)
{
    // Distinct, saturated, never black, white or the margin's colour.
    static const std::uint16_t palette[][3] = {{220, 40, 40},   {40, 200, 60},  {50, 80, 230},  {230, 200, 40},
                                               {200, 60, 200},  {40, 200, 210}, {240, 130, 30}, {120, 70, 30},
                                               {150, 150, 150}, {90, 160, 90},  {160, 90, 160}, {30, 90, 120}};
    const auto& c = palette[static_cast<std::size_t>(key) % std::size(palette)];
    return {static_cast<std::uint16_t>(c[0]), static_cast<std::uint16_t>(c[1]), static_cast<std::uint16_t>(c[2]), 255};
}

// The marks of one tile at (x, y) within it.
PngSamples Marked(int x, int y, int width, int height, int key, std::uint8_t alpha)
{
    if (x < 3 && y < 3)
        return {255, 255, 255, alpha};
    if (x >= width - 2)
        return {10, 10, 10, alpha};
    if (y >= height - 4 && x >= width / 2 - 2 && x < width / 2 + 2)
        return {0, 0, 0, 0};
    PngSamples colour = Colour(key);
    colour[3] = alpha;
    return colour;
}

}  // namespace

std::vector<std::uint8_t> TilesetPng(int columns, int rows, int tileWidth, int tileHeight, int margin, int spacing,
                                     std::uint8_t alpha)
{
    const int width = 2 * margin + columns * tileWidth + (columns - 1) * spacing;
    const int height = 2 * margin + rows * tileHeight + (rows - 1) * spacing;
    return WritePng(PngLayout(width, height, PngColour::Rgba), [=](int x, int y) -> PngSamples {
        const int u = x - margin, v = y - margin;
        const int column = u / (tileWidth + spacing), row = v / (tileHeight + spacing);
        const int tx = u - column * (tileWidth + spacing), ty = v - row * (tileHeight + spacing);
        if (u < 0 || v < 0 || column >= columns || row >= rows || tx >= tileWidth || ty >= tileHeight)
            return {255, 0, 128, 255};
        return Marked(tx, ty, tileWidth, tileHeight, row * columns + column, alpha);
    });
}

std::vector<std::uint8_t> MarkedPng(int width, int height, int key)
{
    return WritePng(PngLayout(width, height, PngColour::Rgba),
                    [=](int x, int y) { return Marked(x, y, width, height, key, 255); });
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Picture LoadPicture(const std::string& path)
{
    const std::string bytes = ReadAll(path);
    const Ref<Image> image =
        DecodeImage(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    if (!image) {
        ADD_FAILURE() << "cannot decode " << path;
        return {};
    }
    return {image->Width, image->Height, image->Pixels};
}

Picture Crop(const Picture& picture, int left, int top, int width, int height)
{
    Picture out;
    out.Width = std::max(0, std::min(width, picture.Width - left));
    out.Height = std::max(0, std::min(height, picture.Height - top));
    for (int y = 0; y < out.Height; ++y) {
        const auto row = picture.Rgba.begin() + ((static_cast<std::ptrdiff_t>(top) + y) * picture.Width + left) * 4;
        out.Rgba.insert(out.Rgba.end(), row, row + static_cast<std::ptrdiff_t>(out.Width) * 4);
    }
    return out;
}

Picture OverBlack(const Picture& picture)
{
    Picture out = picture;
    for (std::size_t i = 0; i + 3 < out.Rgba.size(); i += 4) {
        const int a = out.Rgba[i + 3];
        for (int c = 0; c < 3; ++c)
            out.Rgba[i + c] = static_cast<std::uint8_t>((out.Rgba[i + c] * a + 127) / 255);
        out.Rgba[i + 3] = 255;
    }
    return out;
}

PictureDifference Compare(const Picture& a, const Picture& b, int tolerance)
{
    PictureDifference difference;
    difference.SameSize = a.Width == b.Width && a.Height == b.Height && a.Rgba.size() == b.Rgba.size();
    if (!difference.SameSize)
        return difference;
    const Picture x = OverBlack(a), y = OverBlack(b);
    for (std::size_t i = 0; i < x.Rgba.size(); i += 4) {
        int largest = 0;
        for (int c = 0; c < 3; ++c)
            largest = std::max(largest, std::abs(x.Rgba[i + c] - y.Rgba[i + c]));
        difference.Largest = std::max(difference.Largest, largest);
        if (largest > tolerance)
            ++difference.Pixels;
    }
    return difference;
}

Picture Rasterize(const std::string& map, const std::string& extra)
{
    const std::string out = map + ".tiled.png";
    const std::string command =
        "QT_QPA_PLATFORM=offscreen tmxrasterizer " + extra + " '" + map + "' '" + out + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "tmxrasterizer failed on " << map;
        return {};
    }
    return LoadPicture(out);
}

Picture RenderWhole(const std::string& map)
{
    const std::string out = map + ".whole.png";
    const ToolRun run = RunKzm("render '" + map + "' -o '" + out + "' --whole");
    if (run.Status != 0) {
        ADD_FAILURE() << "kzm render --whole failed: " << run.Err;
        return {};
    }
    return LoadPicture(out);
}

ToolRun Import(const std::string& source, const std::string& folder, const std::string& extra)
{
    return RunKzm("import '" + source + "' -o '" + folder + "' " + extra);
}

std::string WriteText(const TempDir& dir, const std::string& name, const std::string& text)
{
    return dir.Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace kzm::test
