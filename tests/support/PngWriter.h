// A small PNG writer for test fixtures, written by hand so that tests can make
// every colour type, bit depth and interlacing the loader must read, and
// also break files on purpose: bad CRCs, truncation, absurd sizes. It uses
// stored (uncompressed) deflate blocks, so it needs neither libpng nor zlib.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace kzm::test {

// PNG colour types, with their numbers in the file.
enum class PngColour : std::uint8_t { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

// One pixel's samples in the file's own channel order: grey; grey, alpha;
// red, green, blue; a palette index; red, green, blue, alpha. Unused entries
// are ignored. Values are at the file's bit depth (0..65535 at 16 bits).
using PngSamples = std::array<std::uint16_t, 4>;

struct PngLayout {
    PngLayout(int width, int height, PngColour colour, int bitDepth = 8, bool interlaced = false,
              std::vector<std::uint8_t> palette = {}, std::vector<std::uint8_t> transparency = {})
        : Width(width),
          Height(height),
          Colour(colour),
          BitDepth(bitDepth),
          Interlaced(interlaced),
          Palette(std::move(palette)),
          Transparency(std::move(transparency))
    {}

    int Width = 1;
    int Height = 1;
    PngColour Colour = PngColour::Rgb;
    int BitDepth = 8;
    bool Interlaced = false;
    // PLTE contents, RGB triples; written when not empty.
    std::vector<std::uint8_t> Palette;
    // tRNS contents as stored in the file; written when not empty.
    std::vector<std::uint8_t> Transparency;
};

// A complete PNG whose pixel (x, y) has the samples the function gives.
std::vector<std::uint8_t> WritePng(const PngLayout& layout, const std::function<PngSamples(int x, int y)>& pixel);

// Building blocks, for files a valid writer would never make.
std::vector<std::uint8_t> PngSignature();
// Length, type, data and CRC.
std::vector<std::uint8_t> PngChunk(std::string_view type, std::span<const std::uint8_t> data);
std::vector<std::uint8_t> PngHeaderData(std::uint32_t width, std::uint32_t height, int bitDepth, PngColour colour,
                                        bool interlaced);
// A zlib stream of stored blocks holding the bytes as they are.
std::vector<std::uint8_t> ZlibStored(std::span<const std::uint8_t> bytes);

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
// Big-endian, as every PNG number.
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value);

}  // namespace kzm::test
