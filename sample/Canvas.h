// A small RGB raster for drawing the sample tileset in code.
//
// Pure black is the colour the image loader masks to transparent, so Set
// never stores it: a drawn pixel that comes out black is lifted to a very
// dark grey, and only Clear (the background) leaves holes.
#pragma once

#include <cstdint>
#include <vector>

namespace kzm::tool {

struct Rgb {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
};

constexpr Rgb kTransparent{0, 0, 0};

// Adds delta to each channel, clamped to 0..255.
Rgb Shade(Rgb colour, int delta);
// t = 0 gives a, t = 1 gives b.
Rgb Mix(Rgb a, Rgb b, float t);

// Deterministic integer noise: the same arguments give the same value on
// every machine, so the sample files are identical from build to build.
std::uint32_t Hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
// Hash scaled to 0 .. range - 1 (range > 0).
int HashRange(int range, std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);

class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return W; }
    int Height() const { return H; }

    // Pixels outside the canvas are ignored by every drawing call.
    void Set(int x, int y, Rgb colour);
    Rgb Get(int x, int y) const;
    // Makes a pixel transparent (pure black) again.
    void Clear(int x, int y);

    void FillRect(int x, int y, int width, int height, Rgb colour);
    // Every pixel whose centre lies inside the ellipse.
    void FillEllipse(float cx, float cy, float rx, float ry, Rgb colour);
    // A one-pixel line from (x0, y0) to (x1, y1), both ends included.
    void Line(int x0, int y0, int x1, int y1, Rgb colour);

    // Copies a width x height block of source at (sx, sy) to (dx, dy) here,
    // transparent pixels included.
    void Copy(const Canvas& source, int sx, int sy, int width, int height, int dx, int dy);

    // 8-bit RGBA, top row first, alpha 255 everywhere (the file is RGB).
    std::vector<std::uint8_t> Rgba() const;

private:
    int W;
    int H;
    std::vector<Rgb> Pixels;
};

}  // namespace kzm::tool
