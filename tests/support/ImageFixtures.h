// Images made in memory for drawing tests, and the pixels read back.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "image/Image.h"

namespace kzm::test {

struct Rgba {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    std::uint8_t A = 255;
    bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Rgba& colour);

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

// An image of frameWidth x frameHeight frames, one per colour, each filled
// with its colour; Width and Height are those of one row of frames.
Ref<Image> SolidFrames(int frameWidth, int frameHeight, const std::vector<Rgba>& colours);
void SetFramePixel(Image& image, int frame, int x, int y, Rgba colour);

// A pixel of 8-bit RGBA pixels, width pixels a row, top row first.
Rgba PixelAt(const std::vector<std::uint8_t>& pixels, int width, int x, int y);

}  // namespace kzm::test
