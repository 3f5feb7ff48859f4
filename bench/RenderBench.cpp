// One whole frame of the sample map through the offscreen software renderer.
#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "platform/Display.h"
#include "render/TWorldMap.h"
#include "render/TestBedView.h"
#include "sample/SampleArt.h"
#include "sample/SampleWorld.h"

namespace kzm::bench {
namespace {

// The test bed's frame at its start view, presented. The sample map and its
// tileset are written beforehand and loaded by a world map, as the program
// loads them.
void BM_RenderFrame(benchmark::State& state)
{
    const std::string map = ScratchFile("NewWorld.kzm");
    const std::string image = ScratchFile("resource0.png");
    const tool::Canvas art = tool::DrawSampleTileset();
    if (!WriteKzmFile(map, *tool::BuildSampleWorld()) ||
        !SavePng(FromUtf8(image), art.Width(), art.Height(), art.Rgba(), false)) {
        state.SkipWithError("cannot write the sample map");
        return;
    }
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    TWorldMap world;
    if (world.LoadMap(FromUtf8(map), kTestBedView.Right, kTestBedView.Bottom, kTestBedView.Left, kTestBedView.Top) !=
        1) {
        state.SkipWithError("cannot load the sample map");
        return;
    }
    world.SetTilesetPath(0, FromUtf8(image));

    OffscreenDisplay display(kTestBedWidth, kTestBedHeight);
    if (!display.IsOpen()) {
        state.SkipWithError("no offscreen display");
        return;
    }
    // The first frame makes the textures; the program pays that once too.
    for (int warm = 0; warm < 2; ++warm) {
        DrawTestBedFrame(world);
        PresentFrame(1);
    }
    for (auto _ : state) {
        DrawTestBedFrame(world);
        PresentFrame(1);
    }
    state.counters["FramesPerSecond"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace kzm::bench
