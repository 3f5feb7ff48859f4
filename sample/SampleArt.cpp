#include "sample/SampleArt.h"

#include <cmath>
#include <numbers>

namespace kzm::tool {

namespace {

constexpr int S = kSampleFrameSize;

// Palette. No colour here is pure black: that one means "transparent".
constexpr Rgb kGrass{86, 150, 62};
constexpr Rgb kGrassDark{62, 118, 50};
constexpr Rgb kGrassLight{124, 184, 78};
constexpr Rgb kForest{48, 94, 44};
constexpr Rgb kSand{226, 204, 146};
constexpr Rgb kWetSand{196, 170, 116};
constexpr Rgb kBank{206, 184, 124};
constexpr Rgb kWater{52, 112, 196};
constexpr Rgb kWaterLight{112, 170, 232};
constexpr Rgb kFoam{222, 238, 250};
constexpr Rgb kStone{150, 146, 138};
constexpr Rgb kStoneDark{96, 92, 86};
constexpr Rgb kStoneLight{196, 192, 182};
constexpr Rgb kWood{158, 110, 64};
constexpr Rgb kWoodDark{104, 68, 38};
constexpr Rgb kWoodLight{196, 146, 92};
constexpr Rgb kSoil{128, 88, 54};
constexpr Rgb kLeaf{58, 132, 56};
constexpr Rgb kLeafDark{36, 92, 40};
constexpr Rgb kLeafLight{112, 180, 80};
constexpr Rgb kOutline{34, 30, 28};
constexpr Rgb kRed{204, 52, 48};
constexpr Rgb kYellow{246, 214, 64};
constexpr Rgb kWhite{244, 242, 236};
constexpr Rgb kPink{240, 160, 196};

// Per-pixel jitter of +-amount around a colour; seed keeps frames apart.
Rgb Jitter(Rgb colour, int amount, int x, int y, int seed)
{
    return Shade(colour, HashRange(2 * amount + 1, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                   static_cast<std::uint32_t>(seed)) -
                             amount);
}

void Texture(Canvas& c, Rgb colour, int amount, int seed)
{
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            c.Set(x, y, Jitter(colour, amount, x, y, seed));
}

// ---- Ground -------------------------------------------------------------

void Grass(Canvas& c, int variant)
{
    Texture(c, kGrass, 8, 10 + variant);
    // Blades: short vertical strokes, darker below, lighter at the tip.
    const int blades = variant == 1 ? 26 : 14;
    for (int i = 0; i < blades; ++i) {
        const int x = HashRange(S, i, variant, 1);
        const int y = 2 + HashRange(S - 4, i, variant, 2);
        c.Set(x, y + 1, kGrassDark);
        c.Set(x, y, variant == 1 ? kGrassLight : Shade(kGrass, 18));
    }
    if (variant == 2) {
        for (int i = 0; i < 7; ++i) {
            const int x = 1 + HashRange(S - 2, i, 7, 3);
            const int y = 1 + HashRange(S - 2, i, 7, 4);
            c.Set(x, y, i % 3 == 0 ? kYellow : kWhite);
        }
    }
}

void ForestFloor(Canvas& c)
{
    Texture(c, kForest, 7, 20);
    for (int i = 0; i < 18; ++i) {
        const int x = HashRange(S, i, 21);
        const int y = HashRange(S, i, 22);
        const Rgb leaf = i % 2 ? Rgb{112, 86, 44} : Rgb{80, 120, 48};
        c.Set(x, y, leaf);
        c.Set(x + 1, y, Shade(leaf, -16));
    }
}

void Sand(Canvas& c)
{
    Texture(c, kSand, 6, 30);
    for (int i = 0; i < 20; ++i)
        c.Set(HashRange(S, i, 31), HashRange(S, i, 32), Shade(kSand, -34));
}

Rgb WaterPixel(int x, int y, int variant)
{
    // Gentle bands that repeat every 32 pixels, so water tiles join seamlessly.
    const float wave =
        std::sin((x + 2.0f * std::sin(y * std::numbers::pi_v<float> / 8)) * std::numbers::pi_v<float> / 16) *
        std::sin(y * std::numbers::pi_v<float> / 16);
    return Jitter(Shade(kWater, static_cast<int>(wave * 8)), 3, x, y, 40 + variant);
}

void Water(Canvas& c, int variant)
{
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            c.Set(x, y, WaterPixel(x, y, variant));
    // Short wave crests, kept inside the frame so neighbours never cut them.
    for (int i = 0; i < 5; ++i) {
        const int x = 2 + HashRange(S - 10, i, variant, 41);
        const int y = 2 + HashRange(S - 4, i, variant, 42);
        const int length = 3 + HashRange(4, i, variant, 43);
        c.FillRect(x, y, length, 1, kWaterLight);
        c.FillRect(x + 1, y + 1, length - 2, 1, Shade(kWater, -14));
    }
    if (variant == 1) {
        for (int i = 0; i < 4; ++i) {
            const int x = 2 + HashRange(S - 4, i, 44);
            const int y = 2 + HashRange(S - 4, i, 45);
            c.Set(x, y, kFoam);
            c.Set(x + 1, y, kWaterLight);
            c.Set(x - 1, y, kWaterLight);
        }
    }
}

// Cobbles in staggered rows of 8: the pattern repeats every 32 pixels.
void Path(Canvas& c)
{
    Texture(c, Shade(kStoneDark, 10), 5, 50);
    for (int row = 0; row < 4; ++row) {
        const int offset = row % 2 ? 4 : 0;
        for (int col = -1; col < 4; ++col) {
            const int x = col * 8 + offset;
            const Rgb stone = Shade(kStone, HashRange(31, row, (col + 4) % 4, 51) - 15);
            for (int y = row * 8 + 1; y < row * 8 + 7; ++y) {
                for (int i = x + 1; i < x + 7; ++i) {
                    const bool corner = (i == x + 1 || i == x + 6) && (y == row * 8 + 1 || y == row * 8 + 6);
                    if (corner)
                        continue;
                    const int edge = (y == row * 8 + 1 || i == x + 1) ? 18 : (y == row * 8 + 6 || i == x + 6) ? -18 : 0;
                    c.Set((i + S) % S, y, Jitter(Shade(stone, edge), 4, i, y, 52));
                }
            }
        }
    }
}

void Plaza(Canvas& c)
{
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const int tx = x / 16;
            const int ty = y / 16;
            const Rgb slab = Shade(Rgb{190, 178, 156}, HashRange(21, tx, ty, 60) - 10);
            const int lx = x % 16;
            const int ly = y % 16;
            Rgb colour = slab;
            if (lx == 0 || ly == 0)
                colour = Rgb{132, 122, 104};
            else if (lx == 1 || ly == 1)
                colour = Shade(slab, 14);
            else if (lx == 15 || ly == 15)
                colour = Shade(slab, -16);
            c.Set(x, y, Jitter(colour, 4, x, y, 61));
        }
    }
}

void Field(Canvas& c)
{
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const int phase = y % 8;
            const Rgb colour = phase < 2 ? Shade(kSoil, -26) : phase < 4 ? Shade(kSoil, 14) : kSoil;
            c.Set(x, y, Jitter(colour, 6, x, y, 70));
        }
    }
}

void Planks(Canvas& c)
{
    for (int y = 0; y < S; ++y) {
        const int board = y / 8;
        const Rgb base = Shade(kWood, HashRange(25, board, 80) - 12);
        for (int x = 0; x < S; ++x) {
            Rgb colour = base;
            if (y % 8 == 7)
                colour = kWoodDark;
            else if (y % 8 == 0)
                colour = Shade(base, 20);
            else if (HashRange(9, y, 81) == 0)
                colour = Shade(base, -14);  // grain runs along the board
            // board ends, staggered
            if ((x + board * 11) % 32 == 0 && y % 8 != 7)
                colour = kWoodDark;
            c.Set(x, y, Jitter(colour, 4, x, y, 82));
        }
        if (y % 8 == 3) {
            c.Set((board * 11 + 2) % S, y, kStoneDark);
            c.Set((board * 11 + 29) % S, y, kStoneDark);
        }
    }
}

void Meadow(Canvas& c)
{
    Grass(c, 0);
    const Rgb colours[] = {kRed, kYellow, kWhite, kPink, Rgb{160, 120, 220}};
    for (int i = 0; i < 12; ++i) {
        const int x = 2 + HashRange(S - 4, i, 90);
        const int y = 2 + HashRange(S - 4, i, 91);
        const Rgb petal = colours[HashRange(5, i, 92)];
        c.Set(x, y, Shade(petal, -20));
        c.Set(x - 1, y, petal);
        c.Set(x + 1, y, petal);
        c.Set(x, y - 1, petal);
        c.Set(x, y + 1, kGrassDark);
    }
}

// ---- Shores -------------------------------------------------------------

enum class ShoreShape { North, West, Outer, Inner };

// Signed distance into the water, in pixels, at a pixel centre. The line
// meets every frame edge 12 pixels from the land side, so any two shore
// frames (mirrored or not) join where the map puts them side by side.
float ShoreDepth(ShoreShape shape, float x, float y)
{
    const float pi = std::numbers::pi_v<float>;
    switch (shape) {
    case ShoreShape::North:
        return y - 12 - 1.5f * std::sin(2 * pi * x / S);
    case ShoreShape::West:
        return x - 12 - 1.5f * std::sin(2 * pi * y / S);
    case ShoreShape::Outer:
        return 20 - std::hypot(S - x, S - y);
    case ShoreShape::Inner:
        return std::hypot(x, y) - 12;
    }
    return 0;
}

void Shore(Canvas& c, ShoreShape shape, bool beach)
{
    for (int y = 0; y < S; ++y) {
        for (int x = 0; x < S; ++x) {
            const float d = ShoreDepth(shape, x + 0.5f, y + 0.5f);
            Rgb colour;
            if (d >= 0) {
                colour = WaterPixel(x, y, 0);
                if (d < 1.5f)
                    colour = beach ? kFoam : kWaterLight;
                else if (d < 5)
                    colour = Mix(kWaterLight, colour, (d - 1.5f) / 3.5f);
            } else if (d >= -4) {
                colour = Jitter(beach ? kWetSand : kBank, 6, x, y, 100);
            } else if (beach) {
                colour = Jitter(kSand, 6, x, y, 30);
            } else {
                colour = Jitter(kGrass, 8, x, y, 10);
                if (d > -6)
                    colour = Shade(colour, -10);  // the bank's lip
            }
            c.Set(x, y, colour);
        }
    }
}

// ---- Decorations (on transparent black) ----------------------------------

void Flower(Canvas& c, int x, int y, Rgb petal)
{
    c.Set(x, y + 1, kLeafDark);
    c.Set(x, y + 2, kLeafDark);
    c.Set(x + 1, y + 2, kLeaf);
    c.Set(x - 1, y, petal);
    c.Set(x + 1, y, petal);
    c.Set(x, y - 1, petal);
    c.Set(x, y + 1, petal);
    c.Set(x, y, kYellow.R == petal.R ? Rgb{200, 110, 30} : kYellow);
}

void Flowers(Canvas& c, Rgb petal, int seed)
{
    for (int i = 0; i < 6; ++i)
        Flower(c, 4 + HashRange(S - 8, i, seed), 4 + HashRange(S - 9, i, seed + 1), petal);
}

void Rock(Canvas& c)
{
    c.FillEllipse(16, 19, 11, 8, kOutline);
    c.FillEllipse(16, 18.5f, 10, 7, kStone);
    c.FillEllipse(14, 16, 6, 4, kStoneLight);
    c.FillEllipse(19, 22, 6, 3, kStoneDark);
    c.Line(18, 13, 21, 18, kStoneDark);
}

void Bush(Canvas& c)
{
    const float blobs[][3] = {{10, 18, 7}, {22, 18, 7}, {16, 13, 8}, {16, 20, 8}};
    for (auto& b : blobs)
        c.FillEllipse(b[0], b[1], b[2] + 1, b[2] + 1, kLeafDark);
    for (auto& b : blobs)
        c.FillEllipse(b[0], b[1] - 0.5f, b[2], b[2] - 0.5f, kLeaf);
    c.FillEllipse(13, 11, 4, 3, kLeafLight);
    c.FillEllipse(22, 15, 2.5f, 2, kLeafLight);
    for (int i = 0; i < 5; ++i)
        c.Set(8 + HashRange(16, i, 110), 12 + HashRange(12, i, 111), kRed);
}

void Mushrooms(Canvas& c)
{
    const int spots[][2] = {{11, 20}, {21, 23}, {17, 14}};
    for (auto& s : spots) {
        c.FillRect(s[0] - 1, s[1], 3, 5, kWhite);
        c.FillEllipse(s[0] + 0.5f, s[1], 5, 3.5f, Shade(kRed, -30));
        c.FillEllipse(s[0] + 0.5f, s[1] - 0.5f, 4.5f, 3, kRed);
        c.Set(s[0] - 2, s[1] - 1, kWhite);
        c.Set(s[0] + 2, s[1] - 2, kWhite);
        c.Set(s[0] + 1, s[1] + 1, kWhite);
    }
}

void LilyPad(Canvas& c)
{
    c.FillEllipse(12, 13, 8, 6, Shade(kLeaf, -10));
    c.FillEllipse(12, 12.5f, 7, 5, kLeaf);
    for (int i = 0; i < 5; ++i)
        c.Clear(12 + i, 13 - i / 2);  // the notch
    c.FillEllipse(23, 23, 5, 4, kLeaf);
    c.FillEllipse(12, 12, 2, 2, kPink);
    c.Set(12, 12, kWhite);
}

void Reeds(Canvas& c)
{
    for (int i = 0; i < 7; ++i) {
        const int x = 4 + i * 4 + HashRange(3, i, 120);
        const int top = 6 + HashRange(10, i, 121);
        c.Line(x, 31, x + (i % 2 ? 1 : -1), top, Shade(kLeaf, 10));
        if (i % 2 == 0)
            c.FillRect(x - 2, top + 1, 2, 5, kWoodDark);
    }
}

void Fence(Canvas& c)
{
    c.FillRect(0, 12, 32, 3, kWood);
    c.FillRect(0, 12, 32, 1, kWoodLight);
    c.FillRect(0, 21, 32, 3, kWood);
    c.FillRect(0, 23, 32, 1, kWoodDark);
    for (int post : {4, 24}) {
        c.FillRect(post, 8, 4, 20, kWoodDark);
        c.FillRect(post + 1, 8, 2, 19, kWood);
        c.Set(post + 1, 8, kWoodLight);
    }
}

void TallGrass(Canvas& c)
{
    for (int i = 0; i < 12; ++i) {
        const int x = 3 + HashRange(26, i, 130);
        const int height = 8 + HashRange(10, i, 131);
        const int lean = HashRange(5, i, 132) - 2;
        c.Line(x, 28, x + lean, 28 - height, i % 3 ? kGrassLight : kLeaf);
    }
}

void Pebbles(Canvas& c)
{
    for (int i = 0; i < 7; ++i) {
        const float x = 5 + HashRange(22, i, 140);
        const float y = 5 + HashRange(22, i, 141);
        const float r = 1.5f + HashRange(3, i, 142) * 0.5f;
        c.FillEllipse(x, y, r + 0.5f, r, kStoneDark);
        c.FillEllipse(x - 0.5f, y - 0.5f, r - 0.5f, r - 0.5f, kStoneLight);
    }
}

void Stump(Canvas& c)
{
    c.FillRect(9, 16, 14, 10, kWoodDark);
    c.FillRect(10, 16, 12, 9, kWood);
    c.FillEllipse(16, 16, 7, 4, kWoodDark);
    c.FillEllipse(16, 16, 6, 3, kWoodLight);
    c.FillEllipse(16, 16, 3, 1.5f, kWood);
    c.FillRect(6, 25, 5, 2, kWoodDark);
    c.FillRect(21, 25, 5, 2, kWoodDark);
}

void Shell(Canvas& c)
{
    // A starfish and a shell for the beach.
    const Rgb star{236, 130, 70};
    for (int i = 0; i < 5; ++i) {
        const float angle = -std::numbers::pi_v<float> / 2 + i * 2 * std::numbers::pi_v<float> / 5;
        c.Line(10, 12, 10 + static_cast<int>(std::lround(6 * std::cos(angle))),
               12 + static_cast<int>(std::lround(6 * std::sin(angle))), star);
    }
    c.FillEllipse(10.5f, 12.5f, 2, 2, star);
    c.FillEllipse(22, 22, 5, 4, Rgb{240, 224, 214});
    for (int i = -2; i <= 2; ++i)
        c.Line(22, 26, 22 + 2 * i, 19, Rgb{210, 180, 170});
}

// ---- Objects ---------------------------------------------------------------

void Well(Canvas& c)
{
    c.FillEllipse(16, 22, 12, 8, kStoneDark);
    c.FillEllipse(16, 21, 11, 7, kStone);
    c.FillEllipse(16, 20, 7, 4, Rgb{30, 52, 90});
    for (int i = 0; i < 6; ++i)
        c.Line(5 + i * 4, 25, 5 + i * 4, 27, kStoneDark);
    c.FillRect(4, 4, 2, 18, kWoodDark);
    c.FillRect(26, 4, 2, 18, kWoodDark);
    c.FillRect(2, 2, 28, 4, kRed);
    c.FillRect(2, 5, 28, 1, Shade(kRed, -50));
    c.Line(16, 6, 16, 17, Rgb{200, 190, 160});
    c.FillRect(14, 15, 4, 3, kWood);
}

void Barrels(Canvas& c)
{
    for (int bx : {7, 18}) {
        c.FillRect(bx, 12, 11, 16, kWoodDark);
        c.FillRect(bx + 1, 12, 9, 15, kWood);
        c.FillRect(bx + 1, 15, 9, 1, kStoneDark);
        c.FillRect(bx + 1, 23, 9, 1, kStoneDark);
        c.FillEllipse(bx + 5.5f, 12, 5.5f, 2, kWoodLight);
        c.FillRect(bx + 2, 13, 1, 13, kWoodLight);
    }
}

void SignPost(Canvas& c)
{
    c.FillRect(15, 12, 3, 18, kWoodDark);
    c.FillRect(5, 5, 22, 10, kWoodDark);
    c.FillRect(6, 6, 20, 8, kWoodLight);
    c.FillRect(9, 8, 10, 1, kWoodDark);
    c.FillRect(9, 11, 14, 1, kWoodDark);
}

void Lamp(Canvas& c)
{
    c.FillRect(15, 10, 3, 20, kOutline);
    c.FillRect(12, 28, 9, 3, kOutline);
    c.FillRect(11, 2, 11, 10, kOutline);
    c.FillRect(13, 4, 7, 6, Rgb{255, 226, 120});
    c.FillRect(15, 5, 3, 3, Rgb{255, 250, 210});
    c.FillRect(10, 1, 13, 2, Rgb{70, 64, 60});
}

void Boat(Canvas& c)
{
    // A rowing boat seen from above, bow to the right.
    for (int x = 2; x < 30; ++x) {
        const float t = (x - 2) / 27.0f;
        const float half = 7.5f * std::sqrt(std::max(0.0f, 1 - std::pow(2 * t - 1, 4.0f))) *
                           (t > 0.7f ? (1 - t) / 0.3f * 0.6f + 0.4f : 1);
        const int top = 16 - static_cast<int>(half);
        const int bottom = 16 + static_cast<int>(half);
        for (int y = top; y <= bottom; ++y) {
            const bool rim = y == top || y == bottom || x == 2;
            c.Set(x, y, rim ? kWoodDark : (y == top + 1 || y == bottom - 1) ? kWood : kWoodLight);
        }
    }
    c.FillRect(10, 10, 2, 13, kWood);
    c.FillRect(19, 10, 2, 13, kWood);
    c.Line(13, 4, 17, 28, kWoodDark);
}

void Haystack(Canvas& c)
{
    c.FillEllipse(16, 20, 13, 10, Rgb{176, 140, 46});
    c.FillEllipse(16, 19, 12, 9, Rgb{226, 190, 80});
    for (int i = 0; i < 14; ++i) {
        const int x = 6 + HashRange(20, i, 150);
        const int y = 12 + HashRange(12, i, 151);
        c.Line(x, y, x + 2, y + 1, Rgb{246, 220, 120});
    }
}

void Bench(Canvas& c)
{
    c.FillRect(3, 12, 26, 4, kWood);
    c.FillRect(3, 12, 26, 1, kWoodLight);
    c.FillRect(3, 18, 26, 4, kWood);
    c.FillRect(3, 21, 26, 1, kWoodDark);
    for (int x : {5, 25}) {
        c.FillRect(x, 16, 2, 12, kWoodDark);
    }
}

void Crops(Canvas& c)
{
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const int x = 4 + col * 8;
            const int y = 5 + row * 8;
            c.FillEllipse(x, y, 3, 2.5f, kLeaf);
            c.Set(x - 1, y - 1, kLeafLight);
            if (HashRange(5, row, col, 160) == 0)
                c.FillEllipse(x + 1, y + 1, 2, 1.5f, Rgb{236, 132, 40});
        }
    }
}

// ---- Trees ---------------------------------------------------------------

void Crown(Canvas& c, Rgb leaf, Rgb dark, Rgb light, int seed)
{
    const float blobs[][3] = {{16, 12, 10}, {9, 15, 6}, {23, 15, 6}, {16, 18, 8}, {12, 8, 5}, {20, 8, 5}};
    for (auto& b : blobs)
        c.FillEllipse(b[0], b[1], b[2] + 1, b[2] + 1, Shade(dark, -20));
    for (auto& b : blobs)
        c.FillEllipse(b[0], b[1], b[2], b[2], dark);
    for (auto& b : blobs)
        c.FillEllipse(b[0] - 1, b[1] - 1.5f, b[2] - 1.5f, b[2] - 2, leaf);
    c.FillEllipse(12, 8, 3, 2.5f, light);
    c.FillEllipse(20, 11, 2.5f, 2, light);
    for (int i = 0; i < 10; ++i)
        c.Set(6 + HashRange(20, i, seed), 4 + HashRange(18, i, seed + 1), light);
}

void Oak(Canvas& c)
{
    c.FillRect(13, 20, 6, 11, kWoodDark);
    c.FillRect(14, 20, 3, 10, kWood);
    Crown(c, kLeaf, kLeafDark, kLeafLight, 170);
}

void Blossom(Canvas& c)
{
    c.FillRect(13, 20, 6, 11, kWoodDark);
    c.FillRect(14, 20, 3, 10, kWood);
    Crown(c, kPink, Rgb{200, 110, 150}, Rgb{255, 214, 232}, 180);
}

void Birch(Canvas& c)
{
    c.FillRect(14, 12, 4, 19, Rgb{230, 228, 220});
    for (int y : {15, 20, 26})
        c.FillRect(14 + y % 3, y, 2, 1, kOutline);
    c.FillEllipse(16, 10, 9, 9, Rgb{90, 150, 60});
    c.FillEllipse(15, 9, 7.5f, 7.5f, Rgb{140, 196, 84});
    for (int i = 0; i < 8; ++i)
        c.Set(9 + HashRange(14, i, 190), 3 + HashRange(12, i, 191), Rgb{186, 222, 120});
}

void Pine(Canvas& c)
{
    c.FillRect(14, 25, 4, 6, kWoodDark);
    const Rgb dark{30, 82, 52};
    const Rgb light{58, 124, 72};
    for (int tier = 0; tier < 3; ++tier) {
        const int top = 2 + tier * 7;
        const int height = 11;
        for (int j = 0; j < height; ++j) {
            const int half = 2 + j * (5 + tier * 2) / height;
            c.FillRect(16 - half, top + j, 2 * half, 1, dark);
            c.FillRect(16 - half + 1, top + j, half - 1, 1, light);
        }
    }
}

// ---- Buildings: 64 x 64 pictures, cut into four frames -------------------

void House(Canvas& c, Rgb roof, Rgb wall, bool timber)
{
    // Roof: shingled rows, darker towards the eaves, a ridge along the top.
    for (int y = 4; y < 34; ++y) {
        const int inset = std::max(0, 8 - y);
        for (int x = 2 + inset; x < 62 - inset; ++x) {
            Rgb colour = Shade(roof, -(y - 4) * 2);
            if (y % 5 == 0)
                colour = Shade(colour, -30);
            else if ((x + (y / 5) * 3) % 6 == 0)
                colour = Shade(colour, -18);
            c.Set(x, y, colour);
        }
    }
    c.FillRect(6, 4, 52, 2, Shade(roof, 40));
    c.FillRect(2, 33, 60, 2, Shade(roof, -70));
    c.FillRect(44, 0, 7, 10, kStoneDark);  // chimney
    c.FillRect(45, 0, 5, 9, kStone);
    // Walls
    c.FillRect(6, 35, 52, 27, wall);
    c.FillRect(6, 35, 52, 2, Shade(wall, -40));
    c.FillRect(6, 61, 52, 2, kStoneDark);
    if (timber) {
        for (int x : {6, 23, 40, 56})
            c.FillRect(x, 35, 2, 27, kWoodDark);
        c.FillRect(6, 47, 52, 2, kWoodDark);
    } else {
        for (int y = 38; y < 61; y += 4)
            for (int x = 6 + (y / 4 % 2) * 4; x < 58; x += 8)
                c.Line(x, y, x, y + 3, Shade(wall, -24));
    }
    // Door and windows
    c.FillRect(27, 45, 11, 17, kWoodDark);
    c.FillRect(28, 46, 9, 16, kWood);
    c.FillRect(34, 54, 2, 2, kYellow);
    for (int x : {11, 44}) {
        c.FillRect(x, 41, 10, 10, kWoodDark);
        c.FillRect(x + 1, 42, 8, 8, Rgb{150, 200, 236});
        c.FillRect(x + 5, 42, 1, 8, kWoodDark);
        c.FillRect(x + 1, 46, 8, 1, kWoodDark);
        c.FillRect(x + 1, 42, 3, 2, kWhite);
        c.FillRect(x, 51, 10, 2, Rgb{180, 80, 60});  // flower box
        c.Set(x + 2, 50, kRed);
        c.Set(x + 6, 50, kYellow);
    }
}

// A stone tower, 32 x 96: top, middle and base frames.
void Tower(Canvas& c)
{
    for (int y = 8; y < 96; ++y) {
        for (int x = 4; x < 28; ++x) {
            const int row = y / 6;
            const bool joint = y % 6 == 0 || (x + (row % 2) * 5) % 10 == 0;
            Rgb colour = joint ? kStoneDark : Jitter(kStone, 8, x, row, 200);
            if (x < 7)
                colour = Shade(colour, 24);
            else if (x > 24)
                colour = Shade(colour, -26);
            c.Set(x, y, colour);
        }
    }
    // Battlements
    for (int x = 2; x < 30; x += 7) {
        c.FillRect(x, 0, 5, 9, kStoneDark);
        c.FillRect(x + 1, 1, 3, 7, kStoneLight);
    }
    c.FillRect(2, 8, 28, 3, kStoneDark);
    // Flag
    c.FillRect(15, 0, 1, 1, kWoodDark);
    // Windows
    c.FillRect(13, 22, 6, 9, kOutline);
    c.FillRect(14, 23, 4, 8, Rgb{255, 214, 110});
    c.FillRect(13, 50, 6, 9, kOutline);
    c.FillRect(14, 51, 4, 8, Rgb{40, 44, 70});
    // Door
    c.FillEllipse(16, 80, 6, 6, kWoodDark);
    c.FillRect(10, 80, 12, 16, kWoodDark);
    c.FillRect(11, 80, 10, 16, kWood);
    c.FillRect(16, 78, 1, 18, kWoodDark);
}

void Ruin(Canvas& c)
{
    const int heights[] = {14, 20, 18, 9, 12, 6};
    for (int i = 0; i < 6; ++i) {
        const int top = 30 - heights[i];
        for (int y = top; y < 30; ++y)
            for (int x = i * 5 + 1; x < i * 5 + 6; ++x)
                c.Set(x, y, (y - top) % 5 == 0 || x == i * 5 + 1 ? kStoneDark : Jitter(kStone, 8, x, y, 210));
    }
    c.FillRect(2, 20, 4, 3, kLeaf);
    c.FillRect(13, 11, 3, 2, kLeafLight);
}

void Campfire(Canvas& c)
{
    for (int i = 0; i < 8; ++i) {
        const float angle = i * std::numbers::pi_v<float> / 4;
        c.FillEllipse(16 + 9 * std::cos(angle), 22 + 5 * std::sin(angle), 2.5f, 2, kStone);
    }
    c.Line(9, 25, 23, 20, kWoodDark);
    c.Line(9, 20, 23, 25, kWood);
    c.FillEllipse(16, 17, 5, 8, Rgb{232, 90, 30});
    c.FillEllipse(16, 19, 3.5f, 5, Rgb{252, 180, 50});
    c.FillEllipse(16, 21, 2, 2.5f, Rgb{255, 244, 170});
}

void Duck(Canvas& c)
{
    c.FillEllipse(15, 20, 8, 5, kWhite);
    c.FillEllipse(21, 13, 4, 4, kWhite);
    c.FillRect(25, 13, 4, 2, Rgb{246, 160, 40});
    c.Set(22, 12, kOutline);
    c.FillEllipse(13, 19, 4, 2, Rgb{214, 214, 206});
    c.Line(6, 24, 25, 24, kWaterLight);
}

void Cart(Canvas& c)
{
    c.FillRect(3, 10, 24, 10, kWoodDark);
    c.FillRect(4, 11, 22, 8, kWood);
    c.FillRect(4, 14, 22, 1, kWoodDark);
    c.Line(26, 18, 31, 22, kWoodDark);
    for (float wx : {9.0f, 21.0f}) {
        c.FillEllipse(wx, 22, 5, 5, kWoodDark);
        c.FillEllipse(wx, 22, 3.5f, 3.5f, kWoodLight);
        c.FillEllipse(wx, 22, 1.2f, 1.2f, kWoodDark);
    }
    c.FillEllipse(10, 9, 4, 3, Rgb{236, 132, 40});
    c.FillEllipse(18, 9, 4, 3, Rgb{226, 190, 80});
}

void Ripple(Canvas& c)
{
    for (float r : {4.0f, 8.0f, 12.0f}) {
        for (int i = 0; i < 64; ++i) {
            const float angle = i * std::numbers::pi_v<float> / 32;
            c.Set(static_cast<int>(16 + r * std::cos(angle)), static_cast<int>(16 + r * 0.55f * std::sin(angle)),
                  Mix(kWaterLight, kFoam, r / 12));
        }
    }
}

void Crate(Canvas& c)
{
    c.FillRect(6, 8, 20, 20, kWoodDark);
    c.FillRect(7, 9, 18, 18, kWood);
    c.Line(7, 9, 24, 26, kWoodDark);
    c.Line(24, 9, 7, 26, kWoodDark);
    c.FillRect(7, 9, 18, 2, kWoodLight);
}

void FlowerPot(Canvas& c)
{
    c.FillRect(10, 20, 12, 10, Rgb{176, 86, 54});
    c.FillRect(9, 19, 14, 3, Rgb{204, 108, 70});
    c.FillEllipse(16, 14, 8, 6, kLeaf);
    Flower(c, 12, 12, kRed);
    Flower(c, 19, 11, kYellow);
    Flower(c, 16, 16, kPink);
}

void SignArrow(Canvas& c)
{
    c.FillRect(14, 12, 3, 18, kWoodDark);
    for (int y = 4; y < 14; ++y) {
        const int tip = 28 - std::abs(y - 9);
        c.FillRect(4, y, tip - 4, 1, kWoodDark);
        if (y > 4 && y < 13)
            c.FillRect(5, y, tip - 6, 1, kWoodLight);
    }
}

void Fish(Canvas& c)
{
    c.FillEllipse(16, 14, 7, 3.5f, Rgb{236, 150, 60});
    for (int i = 0; i < 5; ++i)
        c.Line(23, 14, 28, 10 + 2 * i, Rgb{236, 150, 60});
    c.Set(11, 13, kOutline);
    c.FillEllipse(15, 12.5f, 4, 1.2f, Rgb{255, 200, 120});
    for (int i = 0; i < 7; ++i)
        c.Set(10 + i * 2, 22 + (i % 2), kWaterLight);
}

void DrawFrame(Canvas& c, int frame)
{
    switch (frame) {
    case FrameGrass0:
        Grass(c, 0);
        break;
    case FrameGrass1:
        Grass(c, 1);
        break;
    case FrameGrass2:
        Grass(c, 2);
        break;
    case FrameForestFloor:
        ForestFloor(c);
        break;
    case FrameSand:
        Sand(c);
        break;
    case FrameWater0:
        Water(c, 0);
        break;
    case FrameWater1:
        Water(c, 1);
        break;
    case FramePath:
        Path(c);
        break;
    case FrameBankN:
        Shore(c, ShoreShape::North, false);
        break;
    case FrameBankW:
        Shore(c, ShoreShape::West, false);
        break;
    case FrameBankOuter:
        Shore(c, ShoreShape::Outer, false);
        break;
    case FrameBankInner:
        Shore(c, ShoreShape::Inner, false);
        break;
    case FrameBeachN:
        Shore(c, ShoreShape::North, true);
        break;
    case FrameBeachW:
        Shore(c, ShoreShape::West, true);
        break;
    case FrameBeachOuter:
        Shore(c, ShoreShape::Outer, true);
        break;
    case FrameBeachInner:
        Shore(c, ShoreShape::Inner, true);
        break;
    case FramePlaza:
        Plaza(c);
        break;
    case FrameField:
        Field(c);
        break;
    case FramePlanks:
        Planks(c);
        break;
    case FrameMeadow:
        Meadow(c);
        break;
    case FrameRedFlowers:
        Flowers(c, kRed, 300);
        break;
    case FrameYellowFlowers:
        Flowers(c, kYellow, 310);
        break;
    case FrameRock:
        Rock(c);
        break;
    case FrameBush:
        Bush(c);
        break;
    case FrameMushrooms:
        Mushrooms(c);
        break;
    case FrameLilyPad:
        LilyPad(c);
        break;
    case FrameReeds:
        Reeds(c);
        break;
    case FrameFence:
        Fence(c);
        break;
    case FrameTallGrass:
        TallGrass(c);
        break;
    case FramePebbles:
        Pebbles(c);
        break;
    case FrameStump:
        Stump(c);
        break;
    case FrameShell:
        Shell(c);
        break;
    case FrameWell:
        Well(c);
        break;
    case FrameBarrels:
        Barrels(c);
        break;
    case FrameSignPost:
        SignPost(c);
        break;
    case FrameLamp:
        Lamp(c);
        break;
    case FrameBoat:
        Boat(c);
        break;
    case FrameHaystack:
        Haystack(c);
        break;
    case FrameBench:
        Bench(c);
        break;
    case FrameCrops:
        Crops(c);
        break;
    case FrameOak:
        Oak(c);
        break;
    case FramePine:
        Pine(c);
        break;
    case FrameBlossom:
        Blossom(c);
        break;
    case FrameBirch:
        Birch(c);
        break;
    case FrameRuin:
        Ruin(c);
        break;
    case FrameCampfire:
        Campfire(c);
        break;
    case FrameDuck:
        Duck(c);
        break;
    case FrameCart:
        Cart(c);
        break;
    case FrameRipple:
        Ripple(c);
        break;
    case FrameCrate:
        Crate(c);
        break;
    case FrameFlowerPot:
        FlowerPot(c);
        break;
    case FrameSignArrow:
        SignArrow(c);
        break;
    case FrameFish:
        Fish(c);
        break;
    default:
        break;  // the pieces of larger pictures are placed separately
    }
}

void PlaceFrame(Canvas& tileset, const Canvas& picture, int sx, int sy, int frame)
{
    tileset.Copy(picture, sx, sy, S, S, (frame % kSampleTilesetColumns) * S, (frame / kSampleTilesetColumns) * S);
}

}  // namespace

Canvas DrawSampleTileset()
{
    Canvas tileset(kSampleTilesetColumns * S, kSampleTilesetRows * S);
    for (int frame = 0; frame < SampleFrameCount; ++frame) {
        Canvas cell(S, S);
        DrawFrame(cell, frame);
        PlaceFrame(tileset, cell, 0, 0, frame);
    }

    Canvas red(2 * S, 2 * S);
    House(red, Rgb{196, 64, 52}, Rgb{236, 222, 190}, true);
    PlaceFrame(tileset, red, 0, 0, FrameHouseRedTL);
    PlaceFrame(tileset, red, S, 0, FrameHouseRedTR);
    PlaceFrame(tileset, red, 0, S, FrameHouseRedBL);
    PlaceFrame(tileset, red, S, S, FrameHouseRedBR);

    Canvas blue(2 * S, 2 * S);
    House(blue, Rgb{66, 100, 172}, Rgb{204, 200, 190}, false);
    PlaceFrame(tileset, blue, 0, 0, FrameHouseBlueTL);
    PlaceFrame(tileset, blue, S, 0, FrameHouseBlueTR);
    PlaceFrame(tileset, blue, 0, S, FrameHouseBlueBL);
    PlaceFrame(tileset, blue, S, S, FrameHouseBlueBR);

    Canvas tower(S, 3 * S);
    Tower(tower);
    PlaceFrame(tileset, tower, 0, 0, FrameTowerTop);
    PlaceFrame(tileset, tower, 0, S, FrameTowerMid);
    PlaceFrame(tileset, tower, 0, 2 * S, FrameTowerBase);
    return tileset;
}

}  // namespace kzm::tool
