// A PNG the tool wrote, read back as stored: its header's colour type and
// bit depth, and its pixels with no masking on the way back.
#pragma once

#include <string>
#include <vector>

#include "tests/support/ImageFixtures.h"

namespace kzm::test {

struct WrittenPng {
    int Width = 0;
    int Height = 0;
    int ColourType = -1;
    int BitDepth = -1;
    std::vector<std::uint8_t> Rgba;  // empty when the file is not a whole PNG
    test::Rgba At(int x, int y) const { return PixelAt(Rgba, Width, x, y); }
};

WrittenPng ReadWrittenPng(const std::string& path);

}  // namespace kzm::test
