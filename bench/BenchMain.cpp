// kzm-bench: the Google Benchmark runner, and one more use of the same
// program: `kzm-bench --write-map TILES PATH` writes the benchmark map, so
// that scripts measuring the test bed read the very map the benchmarks do,
// written by the one writer of the format.
#include <charconv>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"

namespace {

int WriteMap(int argc, char** argv)
{
    int tiles = 0;
    const std::string_view count = argc == 4 ? argv[2] : "";
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), tiles);
    if (argc != 4 || error != std::errc{} || end != count.data() + count.size() || tiles < 0) {
        std::cerr << "usage: kzm-bench --write-map TILES PATH\n";
        return 2;
    }
    try {
        kzm::bench::WriteBigMap(argv[3], tiles);
    } catch (const std::exception& failure) {
        std::cerr << "kzm-bench: " << failure.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == "--write-map")
        return WriteMap(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
