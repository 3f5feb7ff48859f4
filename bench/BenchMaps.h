// What the benchmarks share: the large map file they read, the engine set up
// on it as the world map sets it up, and a draw sink that keeps nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Display.h"
#include "image/Image.h"
#include "render/TMapEngine.h"

namespace kzm::bench {

// The map the large benchmarks use: cells of 32 x 32 pixels on a square
// grid, four tiles per cell, one on each of four layers. Within a cell the
// layers come in a rotating order, so the list is not sorted by layer.
constexpr int kBigMapLayers = 4;
constexpr int kTileSize = 32;

// The path of a .kzm file of that many tiles, written once per process with
// the map writer into a temporary folder removed at exit.
const std::string& BigMapFile(int tiles);
// A path for a file of that name in the same temporary folder.
std::string ScratchFile(const std::string& name);
std::int64_t FileBytes(const std::string& path);

// The test bed's view and start scroll.
constexpr std::int32_t kViewLeft = 100, kViewTop = 100, kViewRight = 800, kViewBottom = 600;
constexpr std::int32_t kStartScrollX = -300, kStartScrollY = -500;

// An image of 64 frames of 32 x 32 and no pixels: enough for the engine,
// which only hands it on, and for a sink that drops it.
Ref<Image> FramesOnlyImage();

// Reads the map and sets up an engine on the level's own lists, as the world
// map does after a load; tileset 0 gets FramesOnlyImage().
Ref<TMapEngine> EngineOnBigMap(int tiles);

// Receives the engine's drawing calls while it lives and keeps none.
class NullSink : public DrawSink {
public:
    NullSink() : Previous(SetDrawSink(this)) {}
    ~NullSink() override { SetDrawSink(Previous); }
    void SetDrawScale(float, float) override { ++Scales; }
    void DrawImageFrame(const Image*, float, float, int) override { ++Frames; }
    std::int64_t Scales = 0;
    std::int64_t Frames = 0;

private:
    DrawSink* Previous;
};

// The reader announces each header on standard output: the benchmarks send
// those lines nowhere while they live.
class QuietLines {
public:
    QuietLines();
    ~QuietLines();
    QuietLines(const QuietLines&) = delete;
    QuietLines& operator=(const QuietLines&) = delete;

private:
    std::FILE* Sink;
    std::FILE* Previous;
};

// The process's resident memory, from /proc/self/statm; 0 where unknown.
std::int64_t ResidentBytes();

}  // namespace kzm::bench
