// Reading a large map against the floor of reading its bytes at all.
#include <cstdio>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "core/Print.h"
#include "mapdata/TKZMReader.h"

namespace kzm::bench {
namespace {

// TKZMReader::Read of the whole file, result and level included; letting the
// level go again is not timed.
void BM_ReadMap(benchmark::State& state)
{
    const int tiles = static_cast<int>(state.range(0));
    const String path = FromUtf8(BigMapFile(tiles));
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    for (auto _ : state) {
        Ref<TRespReadKZM> result = TKZMReader::Read(path);
        benchmark::DoNotOptimize(result.get());
        state.PauseTiming();
        if (result->GetErrored() || result->GetLevel()->TileCount() != tiles)
            state.SkipWithError("the map did not read back");
        result.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * FileBytes(BigMapFile(tiles)));
    state.SetItemsProcessed(state.iterations() * tiles);
}
BENCHMARK(BM_ReadMap)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor: the same file's bytes into a buffer of their own, as cheaply as
// the C library allows (open, read whole, close). The buffer is fresh each
// time and not filled beforehand, as a reader's would be.
void BM_ReadFloor(benchmark::State& state)
{
    const std::string& path = BigMapFile(static_cast<int>(state.range(0)));
    const auto size = static_cast<std::size_t>(FileBytes(path));
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
        const std::size_t got = std::fread(bytes.get(), 1, size, file);
        std::fclose(file);
        benchmark::DoNotOptimize(bytes.get());
        if (got != size)
            state.SkipWithError("short read");
        state.PauseTiming();
        bytes.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_ReadFloor)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace kzm::bench
