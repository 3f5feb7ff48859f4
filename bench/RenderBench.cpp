// One whole frame of the sample map through the offscreen software renderer.
#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "platform/Display.h"
#include "image/Image.h"
#include "render/TMapEngine.h"
#include "sample/SampleArt.h"
#include "sample/SampleWorld.h"

namespace kzm::bench {
namespace {

// The test bed's frame at its start view: blend mode, the map drawn layer by
// layer, present, clear. The sample tileset is loaded through
// TRKTileset::SetImage from a PNG written beforehand, as the program does.
void BM_RenderFrame(benchmark::State& state)
{
    const Ref<TRKLevel> level = tool::BuildSampleWorld();
    const tool::Canvas art = tool::DrawSampleTileset();
    const std::string image = ScratchFile("resource0.png");
    if (!SavePng(FromUtf8(image), art.Width(), art.Height(), art.Rgba(), false)) {
        state.SkipWithError("cannot write the sample tileset");
        return;
    }
    QuietLines quiet;
    TMapEngine engine;
    engine.SetMapSize(level->GetDimensions()->GetRows(), level->GetDimensions()->GetColumns());
    engine.SetViewport(kViewLeft, kViewTop, kViewRight, kViewBottom);
    engine.SetTilesets(level->GetTilesets());
    engine.SetTiles(level->GetTiles());
    engine.SetLayerCount(level->GetLayerCount());
    engine.SetScrollX(kStartScrollX);
    engine.SetScrollY(kStartScrollY);
    for (const auto& entry : level->GetTilesets()->Entries())
        if (auto* tileset = As<TRKTileset>(entry); tileset && tileset->Id == 0)
            tileset->SetImage(FromUtf8(image));

    OffscreenDisplay display(800, 600);
    if (!display.IsOpen()) {
        state.SkipWithError("no offscreen display");
        return;
    }
    // The first frame makes the textures; the program pays that once too.
    for (int warm = 0; warm < 2; ++warm) {
        SetBlendMode(kBlendAlpha);
        engine.Draw();
        PresentFrame(1);
        ClearFrame();
    }
    for (auto _ : state) {
        SetBlendMode(kBlendAlpha);
        engine.Draw();
        PresentFrame(1);
        ClearFrame();
    }
    state.counters["FramesPerSecond"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace kzm::bench
