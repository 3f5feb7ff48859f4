// What a read level costs in memory, per tile.
//
// Meaningful in a process of its own: memory that earlier benchmarks freed
// stays with the process and would be reused by the read, hiding its growth.
// `make bench` runs it that way (scripts/bench-table).
#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "core/Print.h"
#include "mapdata/TKZMReader.h"

namespace kzm::bench {
namespace {

// Resident memory after reading the map, result held, less resident memory
// before, divided by the tile count. The file is made beforehand.
void BM_MemoryPerTile(benchmark::State& state)
{
    const int tiles = static_cast<int>(state.range(0));
    const String path = FromUtf8(BigMapFile(tiles));
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    double perTile = 0;
    for (auto _ : state) {
        const std::int64_t before = ResidentBytes();
        Ref<TRespReadKZM> result = TKZMReader::Read(path);
        const std::int64_t after = ResidentBytes();
        if (result->GetErrored() || result->GetLevel()->TileCount() != tiles)
            state.SkipWithError("the map did not read back");
        perTile = static_cast<double>(after - before) / tiles;
    }
    state.counters["BytesPerTile"] = perTile;
}
BENCHMARK(BM_MemoryPerTile)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kzm::bench
