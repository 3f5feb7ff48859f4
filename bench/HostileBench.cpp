// Hostile maps: what a read costs when the file announces far more than it
// holds, and how the cost of many sections grows with the file.
#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "core/Print.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"

namespace kzm::bench {
namespace {

// A 44-byte map announcing 2,147,483,647 tiles: the read must fail at once.
void BM_ReadHugeAnnouncement(benchmark::State& state)
{
    const std::string path = ScratchFile("huge-announcement.kzm");
    WriteBytesFile(path, KzmByteWriter().Header().Dimensions(TRKMapDimensions{}).Int32(0).Int32(2147483647).Bytes);
    const String name = FromUtf8(path);
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    for (auto _ : state) {
        Ref<TRespReadKZM> result = TKZMReader::Read(name);
        if (!result->GetErrored())
            state.SkipWithError("the announcement read without error");
    }
}
BENCHMARK(BM_ReadHugeAnnouncement)->Unit(benchmark::kMicrosecond);

// A map of N sections, each a header and an empty tile list (16 bytes): the
// time per section must stay the same as the file grows (a linear fit with a
// small error).
void BM_ReadSections(benchmark::State& state)
{
    const auto sections = static_cast<int>(state.range(0));
    KzmByteWriter out;
    out.Header().Dimensions(TRKMapDimensions{}).Int32(0).Int32(0);
    for (int i = 1; i < sections; ++i)
        out.Header().Int32(0);
    const std::string path = ScratchFile("sections-" + std::to_string(sections) + ".kzm");
    WriteBytesFile(path, out.Bytes);
    const String name = FromUtf8(path);
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    for (auto _ : state) {
        Ref<TRespReadKZM> result = TKZMReader::Read(name);
        benchmark::DoNotOptimize(result.get());
    }
    state.SetComplexityN(sections);
}
BENCHMARK(BM_ReadSections)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace kzm::bench
