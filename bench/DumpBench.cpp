// kzm dump of a large map, against reading the same map: its time, and its
// peak memory above the read's.
//
// The peak memory rows are meaningful each in a process of its own, like
// BM_MemoryPerTile: `make bench` runs them that way (scripts/bench-table).
#include <cstdio>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "mapdata/TKZMReader.h"
#include "tools/JsonDump.h"

namespace kzm::bench {
namespace {

// What `kzm dump MAP > /dev/null` does: read the map, then write its JSON.
// Letting the level go again is not timed, as in BM_ReadMap.
void BM_DumpMap(benchmark::State& state)
{
    const int tiles = static_cast<int>(state.range(0));
    const String path = FromUtf8(BigMapFile(tiles));
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    std::FILE* nowhere = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        Ref<TRespReadKZM> result = TKZMReader::Read(path);
        if (!tool::WriteReadResultJson(nowhere, *result))
            state.SkipWithError("writing failed");
        state.PauseTiming();
        if (result->GetErrored() || result->GetLevel()->TileCount() != tiles)
            state.SkipWithError("the map did not read back");
        result.reset();
        state.ResumeTiming();
    }
    std::fclose(nowhere);
    state.SetItemsProcessed(state.iterations() * tiles);
}
BENCHMARK(BM_DumpMap)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The peak of resident memory during the work, above what was resident
// before it. The file is made beforehand.
template <class Work>
void MeasurePeak(benchmark::State& state, Work work)
{
    const int tiles = static_cast<int>(state.range(0));
    const String path = FromUtf8(BigMapFile(tiles));
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    double growth = 0;
    for (auto _ : state) {
        const std::int64_t before = ResidentBytes();
        if (!ResetPeak() || before == 0)
            state.SkipWithError("the peak of resident memory cannot be measured here");
        Ref<TRespReadKZM> result = TKZMReader::Read(path);
        work(*result);
        growth = static_cast<double>(PeakResidentBytes() - before);
        if (result->GetErrored() || result->GetLevel()->TileCount() != tiles)
            state.SkipWithError("the map did not read back");
    }
    state.counters["PeakGrowthBytes"] = growth;
}

void BM_ReadPeakMemory(benchmark::State& state)
{
    MeasurePeak(state, [](TRespReadKZM&) {});
}
BENCHMARK(BM_ReadPeakMemory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DumpPeakMemory(benchmark::State& state)
{
    MeasurePeak(state, [&state](TRespReadKZM& result) {
        std::FILE* nowhere = std::fopen("/dev/null", "wb");
        if (!tool::WriteReadResultJson(nowhere, result))
            state.SkipWithError("writing failed");
        std::fclose(nowhere);
    });
}
BENCHMARK(BM_DumpPeakMemory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kzm::bench
