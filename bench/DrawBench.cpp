// Drawing a large map against the floor of looking at every tile once.
#include <cstdint>

#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"

namespace kzm::bench {
namespace {

// One Draw of the whole map at the start view (about 2,500 of the tiles
// survive the cull) into a sink that keeps nothing.
void BM_EngineDraw(benchmark::State& state)
{
    const Ref<TMapEngine> engine = EngineOnBigMap(static_cast<int>(state.range(0)));
    NullSink sink;
    for (auto _ : state)
        engine->Draw();
    state.counters["Drawn"] = static_cast<double>(sink.Frames) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EngineDraw)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The floor: one tight pass over the same tile objects, in list order,
// reading X, Y, Width, Height and Layer and applying the engine's cull test
// (with its 32-bit wrapping sums) and layer range; it only counts survivors.
// It asks for each record's memory a little ahead, as the engine does: the
// pass is bound by memory, and without that the floor would be a slower one.
void BM_CullFloor(benchmark::State& state)
{
    const Ref<TMapEngine> engine = EngineOnBigMap(static_cast<int>(state.range(0)));
    const auto& entries = engine->GetTiles()->Entries();
    const auto scrollX = static_cast<std::uint32_t>(engine->ScrollX) + static_cast<std::uint32_t>(engine->ViewLeft);
    const auto scrollY = static_cast<std::uint32_t>(engine->ScrollY) + static_cast<std::uint32_t>(engine->ViewTop);
    const auto left = static_cast<std::uint32_t>(engine->ViewLeft);
    const auto top = static_cast<std::uint32_t>(engine->ViewTop);
    const auto right = static_cast<std::uint32_t>(engine->ViewRight);
    const auto bottom = static_cast<std::uint32_t>(engine->ViewBottom);
    const auto layers = static_cast<std::uint32_t>(engine->LayerCount);
    std::int64_t survivors = 0;
    for (auto _ : state) {
        std::int64_t count = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (i + 24 < entries.size())
                __builtin_prefetch(entries[i + 24].get());
            const auto& tile = *static_cast<const TRKTile*>(entries[i].get());
            const auto width = static_cast<std::uint32_t>(tile.Width);
            const auto height = static_cast<std::uint32_t>(tile.Height);
            const auto edgeX = static_cast<std::int32_t>(static_cast<std::uint32_t>(tile.X) + width + scrollX);
            const auto edgeY = static_cast<std::int32_t>(static_cast<std::uint32_t>(tile.Y) + height + scrollY);
            count += static_cast<std::uint32_t>(tile.Layer) < layers &&
                     edgeX >= static_cast<std::int32_t>(left - 3 * width) &&
                     edgeX <= static_cast<std::int32_t>(right + 3 * width) &&
                     edgeY >= static_cast<std::int32_t>(top - 3 * height) &&
                     edgeY <= static_cast<std::int32_t>(bottom + 3 * height);
        }
        benchmark::DoNotOptimize(count);
        survivors = count;
    }
    state.counters["Drawn"] = static_cast<double>(survivors);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CullFloor)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kzm::bench
