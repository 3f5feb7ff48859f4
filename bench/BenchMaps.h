// What the benchmarks share: the large map file they read, the engine set up
// on it as the test bed sets it up (render/TestBedView.h), and a draw sink
// that keeps nothing. The reader's lines are dropped with PrintLineCapture.
#pragma once

#include <cstdint>
#include <string>

#include "core/Print.h"
#include "image/Image.h"
#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "render/TestBedView.h"

namespace kzm::bench {

// The map the large benchmarks use: cells of 32 x 32 pixels on a square
// grid, four tiles per cell, one on each of four layers. Within a cell the
// layers come in a rotating order, so the list is not sorted by layer.
constexpr int kBigMapLayers = 4;
constexpr int kTileSize = 32;

// Writes that map, of that many tiles, with the map writer. The first-frame
// measurement (scripts/bench-first-frame) asks for it too, through
// `kzm-bench --write-map TILES PATH`. Throws when the file cannot be written.
void WriteBigMap(const std::string& path, int tiles);
// The path of such a file, written once per process into a temporary folder
// removed at exit.
const std::string& BigMapFile(int tiles);
// A path for a file of that name in the same temporary folder.
std::string ScratchFile(const std::string& name);
std::int64_t FileBytes(const std::string& path);

// An image of 64 frames of 32 x 32 and no pixels: enough for the engine,
// which only hands it on, and for a sink that drops it.
Ref<Image> FramesOnlyImage();

// Reads the map and sets up an engine on it as the test bed does, at the
// start scroll; every tileset gets FramesOnlyImage().
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

// The process's resident memory, from /proc/self/statm; 0 where unknown.
std::int64_t ResidentBytes();
// The most resident memory the process has had since ResetPeak, from
// /proc/self/status; 0 where unknown.
std::int64_t PeakResidentBytes();
// Brings the peak down to what is resident now (Linux 4.0 and later).
bool ResetPeak();

}  // namespace kzm::bench
