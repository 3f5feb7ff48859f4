// The PNG codec under the image loader: bytes to 8-bit RGBA and back.
//
// Internal to image/: the functions of Image.h are built on it. It
// speaks in plain buffers so that nothing above sees libpng.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kzm {

struct DecodedPng {
    int Width = 0;
    int Height = 0;
    // The file had an alpha channel of its own: colour type grey+alpha or
    // RGBA, or a tRNS chunk (which makes one colour or palette entries
    // transparent). Such pictures are never black-masked.
    bool HasAlpha = false;
    // Width x Height pixels, RGBA 8 bits a channel, top row first. Pictures
    // without alpha come with alpha 255 everywhere, unless marked (below).
    std::vector<std::uint8_t> Rgba;
};

// Any colour type, bit depth and interlacing decodes to 8-bit RGBA: palettes
// and tRNS are expanded, grey is spread over R, G and B, 16-bit samples are
// scaled (rounded) to 8. Gamma and colour-space chunks are ignored: tiles are
// drawn with the values the artist stored.
//
// With markBlack, a picture without alpha comes with alpha 0 where the
// file's own red, green and blue samples are all exactly 0, and 255
// elsewhere: for 16-bit samples that is decided before scaling, so a nearly
// black pixel that scales to (0, 0, 0) keeps alpha 255.
//
// Returns nothing for anything but a complete, valid PNG: no signature,
// truncated data, a bad CRC, a broken zlib stream. A header announcing more
// than kMaxImageSide in either direction or kMaxImagePixels in all is refused
// before the pixel buffer is allocated. Memory running out, in libpng or
// here, throws std::bad_alloc: it says nothing about the file.
std::optional<DecodedPng> DecodePngBytes(std::span<const std::uint8_t> bytes, bool markBlack = false);

// Encodes 8-bit pixels as a non-interlaced PNG: channels is 3 (RGB) or 4
// (RGBA), rows top first and packed (width x channels bytes each). Gives an
// empty vector when the size is not within 1..kMaxImageSide, the buffer is
// short, or libpng fails. Never throws.
std::vector<std::uint8_t> EncodePngBytes(int width, int height, int channels, std::span<const std::uint8_t> pixels);

}  // namespace kzm
