#include "sample/SampleWorld.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "sample/Canvas.h"
#include "sample/SampleArt.h"

namespace kzm::tool {

namespace {

constexpr int S = kSampleFrameSize;
constexpr int kCols = kSampleColumns;
constexpr int kRows = kSampleRows;

enum class Ground { Grass, Forest, Meadow, Water, Path, Plaza, Field, Sand };

enum Layer : int { LayerGround = 0, LayerDecoration = 1, LayerTall = 2 };

// Smooth noise in 0..1, varying over about `scale` cells.
float SmoothNoise(float x, float y, float scale, int seed)
{
    x /= scale;
    y /= scale;
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    const auto corner = [seed](int cx, int cy) {
        return HashRange(1000, static_cast<std::uint32_t>(cx + 1000), static_cast<std::uint32_t>(cy + 1000),
                         static_cast<std::uint32_t>(seed)) /
               1000.0f;
    };
    const auto ease = [](float t) { return t * t * (3 - 2 * t); };
    const float fx = ease(x - ix);
    const float fy = ease(y - iy);
    const float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * fx;
    const float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * fx;
    return top + (bottom - top) * fy;
}

// The river's course, in cells: from the lake's east shore south under the
// long road, then east to the sea.
constexpr float kRiver[][2] = {{29, 19.5f}, {34, 22}, {40, 24}, {43, 27}, {44, 32},
                               {48, 36},    {54, 37}, {60, 38}, {66, 38}};

float DistanceToRiver(float x, float y)
{
    float best = 1e9f;
    for (std::size_t i = 0; i + 1 < std::size(kRiver); ++i) {
        const float ax = kRiver[i][0], ay = kRiver[i][1];
        const float bx = kRiver[i + 1][0] - ax, by = kRiver[i + 1][1] - ay;
        const float t = std::clamp(((x - ax) * bx + (y - ay) * by) / (bx * bx + by * by), 0.0f, 1.0f);
        best = std::min(best, std::hypot(x - ax - t * bx, y - ay - t * by));
    }
    return best;
}

// Chance in percent, decided once per cell and purpose.
bool Chance(int percent, int x, int y, int purpose)
{
    return HashRange(100, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                     static_cast<std::uint32_t>(purpose)) < percent;
}

class WorldBuilder {
public:
    WorldBuilder()
    {
        for (auto& row : Cells)
            row.fill(Ground::Grass);
        for (auto& row : Busy)
            row.fill(false);
        for (auto& row : Sea)
            row.fill(false);
    }

    Ref<TRKLevel> Build()
    {
        LayTerrain();
        TidyWater();
        LaySand();
        LayVillage();
        LayRoads();
        LayGround();
        PlaceBridges();
        PlaceVillageObjects();
        PlaceForestClearing();
        PlaceFarm();
        PlaceScenery();
        return Assemble();
    }

private:
    std::array<std::array<Ground, kCols>, kRows> Cells;
    std::array<std::array<bool, kCols>, kRows> Busy;  // an object stands here already
    std::array<std::array<bool, kCols>, kRows> Sea;
    std::vector<Ref<TRKTile>> Tiles[kSampleLayers];
    std::vector<std::pair<int, int>> Bridges;  // road cells over water

    static bool Inside(int x, int y) { return x >= 0 && y >= 0 && x < kCols && y < kRows; }

    // Off the map counts as water, so the sea runs on past the east edge.
    bool IsWater(int x, int y) const { return !Inside(x, y) || Cells[y][x] == Ground::Water; }
    bool IsLand(int x, int y) const { return !IsWater(x, y); }

    Ground At(int x, int y) const { return Inside(x, y) ? Cells[y][x] : Ground::Water; }

    void SetGround(int x, int y, Ground ground)
    {
        if (Inside(x, y))
            Cells[y][x] = ground;
    }

    // ---- Terrain ---------------------------------------------------------

    void LayTerrain()
    {
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const float fx = x + 0.5f;
                const float fy = y + 0.5f;
                // The forest's southern edge winds along row 9 or so.
                if (fy < 9.5f + 2.0f * std::sin(fx / 3.7f) + std::sin(fx / 1.9f))
                    Cells[y][x] = Ground::Forest;
                else if (SmoothNoise(fx, fy, 5.0f, 1) > 0.72f)
                    Cells[y][x] = Ground::Meadow;

                // The lake east of the village.
                const float dx = (fx - 24.5f) / 6.2f;
                const float dy = (fy - 19.5f) / 4.8f;
                const float wobble = 0.1f * std::sin(3 * std::atan2(dy, dx) + 1.0f);
                if (dx * dx + dy * dy < (1 + wobble) * (1 + wobble))
                    Cells[y][x] = Ground::Water;

                // The river from the lake to the sea, about four cells wide.
                if (DistanceToRiver(fx, fy) < 2.2f)
                    Cells[y][x] = Ground::Water;

                // A pond in the southern meadows.
                const float px = (fx - 19.0f) / 3.6f;
                const float py = (fy - 49.0f) / 2.8f;
                if (px * px + py * py < 1)
                    Cells[y][x] = Ground::Water;

                // The sea along the east edge.
                if (fx > 56.5f + 1.5f * std::sin(fy / 4.0f) + std::sin(fy / 2.3f)) {
                    Cells[y][x] = Ground::Water;
                    Sea[y][x] = true;
                }
            }
        }
    }

    // A water cell must be drawable by one shore frame: land on one side,
    // on two sides that meet, or at one diagonal only. Anything else (a
    // one-cell channel, a bay one cell wide) becomes land, until no such
    // cell is left.
    bool ShoreDrawable(int x, int y) const
    {
        const bool n = IsLand(x, y - 1), s = IsLand(x, y + 1), w = IsLand(x - 1, y), e = IsLand(x + 1, y);
        const bool nw = IsLand(x - 1, y - 1), ne = IsLand(x + 1, y - 1), sw = IsLand(x - 1, y + 1),
                   se = IsLand(x + 1, y + 1);
        if ((n && s) || (w && e))
            return false;
        if (n && w)
            return !se;
        if (n && e)
            return !sw;
        if (s && w)
            return !ne;
        if (s && e)
            return !nw;
        if (n)
            return !sw && !se;
        if (s)
            return !nw && !ne;
        if (w)
            return !ne && !se;
        if (e)
            return !nw && !sw;
        return nw + ne + sw + se <= 1;
    }

    void TidyWater()
    {
        for (bool changed = true; changed;) {
            changed = false;
            for (int y = 0; y < kRows; ++y) {
                for (int x = 0; x < kCols; ++x) {
                    if (Cells[y][x] == Ground::Water && !ShoreDrawable(x, y)) {
                        Cells[y][x] = Ground::Grass;
                        Sea[y][x] = false;
                        changed = true;
                    }
                }
            }
        }
    }

    void LaySand()
    {
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                if (IsWater(x, y))
                    continue;
                for (int j = -2; j <= 2; ++j)
                    for (int i = -2; i <= 2; ++i)
                        if (Inside(x + i, y + j) && Sea[y + j][x + i])
                            Cells[y][x] = Ground::Sand;
            }
        }
    }

    // ---- The village, roads and fields -----------------------------------

    void LayVillage()
    {
        for (int y = 15; y <= 19; ++y)
            for (int x = 7; x <= 15; ++x)
                SetGround(x, y, Ground::Plaza);
        // The ruin's clearing in the forest.
        for (int y = 1; y <= 7; ++y)
            for (int x = 5; x <= 14; ++x)
                if (std::hypot((x - 9.5f) / 4.5f, (y - 4.0f) / 3.0f) < 1 && At(x, y) == Ground::Forest)
                    SetGround(x, y, Ground::Grass);
        // Fields south-west of the square, and the farm's fields further south.
        for (int y = 21; y <= 26; ++y)
            for (int x = 2; x <= 9; ++x)
                SetGround(x, y, Ground::Field);
        for (int y = 33; y <= 39; ++y)
            for (int x = 30; x <= 38; ++x)
                if (IsLand(x, y))
                    SetGround(x, y, Ground::Field);
    }

    // A straight road; where it meets water it becomes a bridge of planks.
    void Road(int x0, int y0, int x1, int y1)
    {
        for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
            for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) {
                if (IsWater(x, y))
                    Bridges.push_back({x, y});
                else if (At(x, y) != Ground::Plaza)
                    SetGround(x, y, Ground::Path);
            }
        }
    }

    void PlaceBridges()
    {
        for (const auto& [x, y] : Bridges) {
            if (Inside(x, y) && !Busy[y][x]) {
                Add(LayerDecoration, FramePlanks, x, y);
                Busy[y][x] = true;
            }
        }
    }

    void LayRoads()
    {
        Road(9, 3, 9, 14);     // north through the forest to the ruin
        Road(16, 18, 18, 18);  // east to the landing stage
        Road(11, 20, 11, 28);  // south from the square
        Road(0, 28, 52, 28);   // the long road east, over the river, to the beach
        Road(34, 29, 34, 32);  // to the farm
        Road(0, 17, 6, 17);    // west out of the square
    }

    // ---- Tiles -----------------------------------------------------------

    // A tile showing `frame` over cell (x, y), or over the block from (x, y)
    // to the right and down when scaled up. A negative scale mirrors the
    // frame, which then extends to the left of (or above) its position: the
    // position moves by the drawn size so the tile covers the same cells.
    void Add(Layer layer, int frame, int x, int y, float scaleX = 1, float scaleY = 1, int dx = 0, int dy = 0)
    {
        auto tile = std::make_shared<TRKTile>();
        tile->TilesetId = 0;
        tile->Frame = frame;
        tile->X = x * S + dx + (scaleX < 0 ? static_cast<int>(-scaleX * S) : 0);
        tile->Y = y * S + dy + (scaleY < 0 ? static_cast<int>(-scaleY * S) : 0);
        tile->Width = S;
        tile->Height = S;
        tile->ScaleX = scaleX;
        tile->ScaleY = scaleY;
        tile->Layer = layer;
        Tiles[layer].push_back(std::move(tile));
    }

    void LayGround()
    {
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                switch (Cells[y][x]) {
                case Ground::Grass: {
                    const int pick = HashRange(10, x, y, 500);
                    Add(LayerGround, pick < 5 ? FrameGrass0 : pick < 8 ? FrameGrass1 : FrameGrass2, x, y);
                    break;
                }
                case Ground::Forest:
                    Add(LayerGround, FrameForestFloor, x, y);
                    break;
                case Ground::Meadow:
                    Add(LayerGround, Chance(60, x, y, 501) ? FrameMeadow : FrameGrass2, x, y);
                    break;
                case Ground::Path:
                    Add(LayerGround, FramePath, x, y);
                    break;
                case Ground::Plaza:
                    Add(LayerGround, FramePlaza, x, y);
                    break;
                case Ground::Field:
                    Add(LayerGround, FrameField, x, y);
                    break;
                case Ground::Sand:
                    Add(LayerGround, FrameSand, x, y);
                    break;
                case Ground::Water:
                    AddWater(x, y);
                    break;
                }
            }
        }
    }

    bool NearSand(int x, int y) const
    {
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (At(x + i, y + j) == Ground::Sand)
                    return true;
        return false;
    }

    // Open water, or the shore frame that fits the land around the cell,
    // mirrored into place.
    void AddWater(int x, int y)
    {
        const bool n = IsLand(x, y - 1), s = IsLand(x, y + 1), w = IsLand(x - 1, y), e = IsLand(x + 1, y);
        const bool beach = NearSand(x, y);
        const int north = beach ? FrameBeachN : FrameBankN;
        const int west = beach ? FrameBeachW : FrameBankW;
        const int outer = beach ? FrameBeachOuter : FrameBankOuter;
        const int inner = beach ? FrameBeachInner : FrameBankInner;
        const float flipX = -1;
        const float flipY = -1;
        if (n && w)
            Add(LayerGround, outer, x, y);
        else if (n && e)
            Add(LayerGround, outer, x, y, flipX, 1);
        else if (s && w)
            Add(LayerGround, outer, x, y, 1, flipY);
        else if (s && e)
            Add(LayerGround, outer, x, y, flipX, flipY);
        else if (n)
            Add(LayerGround, north, x, y);
        else if (s)
            Add(LayerGround, north, x, y, 1, flipY);
        else if (w)
            Add(LayerGround, west, x, y);
        else if (e)
            Add(LayerGround, west, x, y, flipX, 1);
        else if (IsLand(x - 1, y - 1))
            Add(LayerGround, inner, x, y);
        else if (IsLand(x + 1, y - 1))
            Add(LayerGround, inner, x, y, flipX, 1);
        else if (IsLand(x - 1, y + 1))
            Add(LayerGround, inner, x, y, 1, flipY);
        else if (IsLand(x + 1, y + 1))
            Add(LayerGround, inner, x, y, flipX, flipY);
        else
            Add(LayerGround, Chance(25, x, y, 510) ? FrameWater1 : FrameWater0, x, y);
    }

    bool OpenWater(int x, int y) const
    {
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i)
                if (!IsWater(x + i, y + j))
                    return false;
        return Inside(x, y);
    }

    // True when every cell of the w x h block is free land of one of the
    // given grounds; then marks it busy.
    bool Claim(int x, int y, int w, int h, std::initializer_list<Ground> grounds)
    {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                if (!Inside(x + i, y + j) || Busy[y + j][x + i])
                    return false;
                if (std::find(grounds.begin(), grounds.end(), Cells[y + j][x + i]) == grounds.end())
                    return false;
            }
        }
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                Busy[y + j][x + i] = true;
        return true;
    }

    void House(int x, int y, bool blue, bool mirrored)
    {
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                Busy[y + j][x + i] = true;
        const int tl = blue ? FrameHouseBlueTL : FrameHouseRedTL;
        const int tr = blue ? FrameHouseBlueTR : FrameHouseRedTR;
        const int bl = blue ? FrameHouseBlueBL : FrameHouseRedBL;
        const int br = blue ? FrameHouseBlueBR : FrameHouseRedBR;
        if (!mirrored) {
            Add(LayerTall, tl, x, y);
            Add(LayerTall, tr, x + 1, y);
            Add(LayerTall, bl, x, y + 1);
            Add(LayerTall, br, x + 1, y + 1);
        } else {
            // Each half mirrored and the halves swapped: the whole house mirrored.
            Add(LayerTall, tr, x, y, -1, 1);
            Add(LayerTall, tl, x + 1, y, -1, 1);
            Add(LayerTall, br, x, y + 1, -1, 1);
            Add(LayerTall, bl, x + 1, y + 1, -1, 1);
        }
    }

    // A tree twice the frame's size (two cells by two), mirrored at random.
    bool BigTree(int frame, int x, int y, std::initializer_list<Ground> grounds)
    {
        if (!Claim(x, y, 2, 2, grounds))
            return false;
        Add(LayerTall, frame, x, y, Chance(50, x, y, 520) ? -2.0f : 2.0f, 2.0f);
        return true;
    }

    bool Small(Layer layer, int frame, int x, int y, std::initializer_list<Ground> grounds, bool mirror = false)
    {
        if (!Claim(x, y, 1, 1, grounds))
            return false;
        Add(layer, frame, x, y, mirror ? -1.0f : 1.0f, 1.0f);
        return true;
    }

    void PlaceVillageObjects()
    {
        House(7, 13, false, false);
        House(10, 13, true, false);
        House(13, 13, false, true);
        House(13, 21, true, true);
        // The watchtower by the road to the lake: three frames stacked.
        for (int j = 0; j < 3; ++j)
            Busy[14 + j][16] = true;
        Add(LayerTall, FrameTowerTop, 16, 14);
        Add(LayerTall, FrameTowerMid, 16, 15);
        Add(LayerTall, FrameTowerBase, 16, 16);

        const std::initializer_list<Ground> square{Ground::Plaza};
        Small(LayerTall, FrameWell, 11, 17, square);
        Small(LayerTall, FrameLamp, 7, 19, square);
        Small(LayerTall, FrameLamp, 15, 19, square);
        Small(LayerDecoration, FrameBench, 9, 19, square);
        Small(LayerDecoration, FrameBench, 13, 19, square, true);
        Small(LayerDecoration, FrameFlowerPot, 9, 15, square);
        Small(LayerDecoration, FrameFlowerPot, 12, 15, square);
        Small(LayerDecoration, FrameBarrels, 15, 15, square);
        Small(LayerDecoration, FrameCrate, 7, 15, square);
        Small(LayerTall, FrameSignArrow, 17, 19, {Ground::Grass, Ground::Meadow, Ground::Path});

        // The landing stage: planks over the water east of the road's end,
        // with a rowing boat moored alongside (mirrored, bow to the west).
        int stage = 0;
        for (int x = 17; x < 30 && stage < 3; ++x) {
            if (IsWater(x, 18)) {
                Add(LayerDecoration, FramePlanks, x, 18);
                Busy[18][x] = true;
                ++stage;
            }
        }
        Add(LayerDecoration, FrameBoat, 21, 19, -1, 1);
        Busy[19][21] = true;
        // Life on the lake.
        Small(LayerDecoration, FrameDuck, 25, 17, {Ground::Water}, true);
        Small(LayerDecoration, FrameDuck, 26, 18, {Ground::Water});
        Small(LayerDecoration, FrameRipple, 27, 20, {Ground::Water});
        Small(LayerDecoration, FrameFish, 24, 21, {Ground::Water});
        Small(LayerDecoration, FrameLilyPad, 23, 22, {Ground::Water});

        // Trees that frame the first view.
        const std::initializer_list<Ground> green{Ground::Grass, Ground::Meadow};
        BigTree(FrameOak, 18, 11, green);
        BigTree(FrameBlossom, 17, 21, green);
        BigTree(FrameOak, 28, 12, green);
        BigTree(FrameOak, 22, 25, green);
        BigTree(FrameBlossom, 4, 13, green);
        BigTree(FrameOak, 14, 25, green);
        Small(LayerTall, FramePine, 6, 12, green);
        Small(LayerTall, FrameBirch, 24, 12, green, true);
        Small(LayerTall, FrameBirch, 31, 16, green);
    }

    void PlaceForestClearing()
    {
        const std::initializer_list<Ground> clearing{Ground::Grass};
        Small(LayerTall, FrameRuin, 7, 2, clearing);
        Small(LayerTall, FrameRuin, 11, 2, clearing, true);
        Small(LayerDecoration, FrameCampfire, 10, 5, clearing);
        Small(LayerDecoration, FrameStump, 11, 6, clearing);
        Small(LayerDecoration, FrameStump, 8, 6, clearing);
        Small(LayerTall, FrameTowerTop, 6, 4, clearing);  // a broken tower's stump
    }

    void PlaceFarm()
    {
        // Crops and a fence on the fields south-west of the square.
        for (int y = 21; y <= 26; ++y)
            for (int x = 2; x <= 9; ++x)
                if (y % 2 == 1)
                    Small(LayerDecoration, FrameCrops, x, y, {Ground::Field});
        for (int x = 2; x <= 9; ++x)
            Small(LayerDecoration, FrameFence, x, 20, {Ground::Grass, Ground::Meadow});
        Small(LayerTall, FrameHaystack, 8, 27, {Ground::Grass, Ground::Meadow, Ground::Field});
        Small(LayerTall, FrameCart, 10, 27, {Ground::Grass, Ground::Meadow}, true);
        // The farm by the river.
        House(31, 30, false, false);
        House(35, 30, true, true);
        for (int y = 33; y <= 39; ++y)
            for (int x = 30; x <= 38; ++x)
                if ((x + y) % 3 == 0)
                    Small(LayerDecoration, FrameCrops, x, y, {Ground::Field});
        Small(LayerTall, FrameHaystack, 39, 34, {Ground::Grass, Ground::Meadow});
        Small(LayerTall, FrameHaystack, 39, 36, {Ground::Grass, Ground::Meadow}, true);
        // The orchard.
        for (int y = 42; y <= 56; y += 3)
            for (int x = 28; x <= 44; x += 3)
                BigTree((x + y) % 2 ? FrameBlossom : FrameOak, x, y, {Ground::Grass, Ground::Meadow});
    }

    void PlaceScenery()
    {
        const std::initializer_list<Ground> green{Ground::Grass, Ground::Meadow};
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const Ground g = Cells[y][x];
                const bool mirror = Chance(50, x, y, 600);
                if (g == Ground::Forest) {
                    if (Chance(12, x, y, 601))
                        BigTree(FramePine, x, y, {Ground::Forest});
                    else if (Chance(45, x, y, 602))
                        Small(LayerTall, FramePine, x, y, {Ground::Forest}, mirror);
                    else if (Chance(4, x, y, 603))
                        Small(LayerDecoration, FrameMushrooms, x, y, {Ground::Forest}, mirror);
                    else if (Chance(6, x, y, 604))
                        Small(LayerDecoration, FrameStump, x, y, {Ground::Forest}, mirror);
                } else if (g == Ground::Grass || g == Ground::Meadow) {
                    if (Chance(3, x, y, 610))
                        BigTree(Chance(30, x, y, 611) ? FrameBlossom : FrameOak, x, y, green);
                    else if (Chance(3, x, y, 612))
                        Small(LayerTall, Chance(50, x, y, 613) ? FrameBirch : FramePine, x, y, green, mirror);
                    else if (Chance(4, x, y, 614))
                        Small(LayerDecoration, FrameBush, x, y, green, mirror);
                    else if (Chance(g == Ground::Meadow ? 14 : 5, x, y, 615))
                        Small(LayerDecoration, Chance(50, x, y, 616) ? FrameRedFlowers : FrameYellowFlowers, x, y,
                              green, mirror);
                    else if (Chance(5, x, y, 617))
                        Small(LayerDecoration, FrameTallGrass, x, y, green, mirror);
                    else if (Chance(2, x, y, 618))
                        Small(LayerDecoration, FrameRock, x, y, green, mirror);
                    else if (Chance(2, x, y, 619))
                        Small(LayerDecoration, FramePebbles, x, y, green);
                } else if (g == Ground::Sand) {
                    if (Chance(6, x, y, 620))
                        Small(LayerDecoration, FrameShell, x, y, {Ground::Sand}, mirror);
                    else if (Chance(5, x, y, 621))
                        Small(LayerDecoration, FramePebbles, x, y, {Ground::Sand});
                } else if (g == Ground::Water) {
                    if (OpenWater(x, y)) {
                        if (Chance(4, x, y, 630))
                            Small(LayerDecoration, FrameLilyPad, x, y, {Ground::Water}, mirror);
                        else if (Chance(2, x, y, 631))
                            Small(LayerDecoration, FrameRipple, x, y, {Ground::Water});
                        else if (Chance(1, x, y, 632))
                            Small(LayerDecoration, FrameDuck, x, y, {Ground::Water}, mirror);
                    } else if (!NearSand(x, y) && Chance(22, x, y, 633)) {
                        Small(LayerDecoration, FrameReeds, x, y, {Ground::Water}, mirror);
                    }
                }
            }
        }
    }

    Ref<TRKLevel> Assemble()
    {
        auto level = std::make_shared<TRKLevel>();
        auto& d = *level->GetDimensions();
        d.SetName(u"New World");
        d.SetColumns(kCols);
        d.SetRows(kRows);
        d.SetTileWidth(S);
        d.SetTileHeight(S);
        d.SetLayerCount(kSampleLayers);

        auto tileset = std::make_shared<TRKTileset>();
        tileset->Id = 0;
        tileset->SetImagePath(u"resource0.png");
        tileset->SetFrameWidth(S);
        tileset->SetFrameHeight(S);
        level->AddTileset(tileset);

        // Tall things are painted from the back of the scene to the front,
        // so a tree lower on the screen covers one behind it.
        const auto bottom = [](const Ref<TRKTile>& t) {
            const int top = t->ScaleY < 0 ? t->Y - static_cast<int>(-t->ScaleY * S) : t->Y;
            return top + static_cast<int>(std::abs(t->ScaleY) * S);
        };
        std::stable_sort(Tiles[LayerTall].begin(), Tiles[LayerTall].end(),
                         [&bottom](const Ref<TRKTile>& a, const Ref<TRKTile>& b) { return bottom(a) < bottom(b); });
        for (auto& layer : Tiles)
            for (auto& tile : layer)
                level->AddTile(tile);
        return level;
    }
};

}  // namespace

Ref<TRKLevel> BuildSampleWorld()
{
    return WorldBuilder().Build();
}

}  // namespace kzm::tool
