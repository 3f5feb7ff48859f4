#include "sample/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kzm::tool {

namespace {

std::uint8_t Clamp(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

}  // namespace

Rgb Shade(Rgb colour, int delta)
{
    return {Clamp(colour.R + delta), Clamp(colour.G + delta), Clamp(colour.B + delta)};
}

Rgb Mix(Rgb a, Rgb b, float t)
{
    const auto lerp = [t](int x, int y) { return Clamp(static_cast<int>(std::lround(x + (y - x) * t))); };
    return {lerp(a.R, b.R), lerp(a.G, b.G), lerp(a.B, b.B)};
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    // A few rounds of multiply and xor-shift: cheap, and good enough that
    // neighbouring arguments give unrelated values.
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

int HashRange(int range, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    return static_cast<int>(Hash(a, b, c) % static_cast<std::uint32_t>(range));
}

Canvas::Canvas(int width, int height)
    : W(width), H(height), Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{}

void Canvas::Set(int x, int y, Rgb colour)
{
    if (x < 0 || y < 0 || x >= W || y >= H)
        return;
    if (colour.R == 0 && colour.G == 0 && colour.B == 0)
        colour = {6, 6, 6};
    Pixels[static_cast<std::size_t>(y) * W + x] = colour;
}

Rgb Canvas::Get(int x, int y) const
{
    if (x < 0 || y < 0 || x >= W || y >= H)
        return kTransparent;
    return Pixels[static_cast<std::size_t>(y) * W + x];
}

void Canvas::Clear(int x, int y)
{
    if (x >= 0 && y >= 0 && x < W && y < H)
        Pixels[static_cast<std::size_t>(y) * W + x] = kTransparent;
}

void Canvas::FillRect(int x, int y, int width, int height, Rgb colour)
{
    for (int j = y; j < y + height; ++j)
        for (int i = x; i < x + width; ++i)
            Set(i, j, colour);
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Rgb colour)
{
    if (rx <= 0 || ry <= 0)
        return;
    const int x0 = static_cast<int>(std::floor(cx - rx));
    const int x1 = static_cast<int>(std::ceil(cx + rx));
    const int y0 = static_cast<int>(std::floor(cy - ry));
    const int y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = (x + 0.5f - cx) / rx;
            const float dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f)
                Set(x, y, colour);
        }
    }
}

void Canvas::Line(int x0, int y0, int x1, int y1, Rgb colour)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
        Set(x0, y0, colour);
        if (x0 == x1 && y0 == y1)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

void Canvas::Copy(const Canvas& source, int sx, int sy, int width, int height, int dx, int dy)
{
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int x = dx + i;
            const int y = dy + j;
            if (x >= 0 && y >= 0 && x < W && y < H)
                Pixels[static_cast<std::size_t>(y) * W + x] = source.Get(sx + i, sy + j);
        }
    }
}

std::vector<std::uint8_t> Canvas::Rgba() const
{
    std::vector<std::uint8_t> out;
    out.reserve(Pixels.size() * 4);
    for (const Rgb& p : Pixels) {
        out.push_back(p.R);
        out.push_back(p.G);
        out.push_back(p.B);
        out.push_back(255);
    }
    return out;
}

}  // namespace kzm::tool
