// A picture of the whole million-tile map, as `kzm render --whole` makes it:
// drawn in bands and written to a PNG row by row.
#include <benchmark/benchmark.h>

#include "bench/BenchMaps.h"
#include "core/Print.h"
#include "mapdata/TKZMReader.h"
#include "render/WholeMapPicture.h"

namespace kzm::bench {
namespace {

// 64 frames of 32 x 32 with pixels in them, no two alike, so that every
// tile is drawn and the PNG has something to pack.
Ref<Image> PaintedFrames()
{
    auto image = std::make_shared<Image>();
    image->Width = image->Height = 8 * kTileSize;
    image->FrameWidth = image->FrameHeight = kTileSize;
    image->FrameCount = 64;
    image->Pixels.resize(64 * kTileSize * kTileSize * 4);
    for (std::size_t i = 0; i < image->Pixels.size(); i += 4) {
        const auto pixel = static_cast<unsigned>(i / 4);
        const unsigned frame = pixel / (kTileSize * kTileSize);
        image->Pixels[i] = static_cast<std::uint8_t>(frame * 4);
        image->Pixels[i + 1] = static_cast<std::uint8_t>(pixel % kTileSize * 8);
        image->Pixels[i + 2] = static_cast<std::uint8_t>(pixel / kTileSize % kTileSize * 8);
        image->Pixels[i + 3] = 255;
    }
    return image;
}

// The map read, every tileset given that image.
Ref<TRespReadKZM> ReadBigMap()
{
    const PrintLineCapture quiet(PrintLineCapture::Drop);
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(BigMapFile(1000000)));
    if (result->GetErrored() || !result->GetLevel())
        return nullptr;
    const Ref<Image> image = PaintedFrames();
    for (const Ref<Object>& entry : result->GetLevel()->Tilesets->Entries())
        if (auto* tileset = As<TRKTileset>(entry)) {
            tileset->Image = image;
            tileset->FrameCount = image->FrameCount;
        }
    return result;
}

// The picture fitted within side x side (the map is 16,000 pixels square),
// into a PNG file. Megapixels a second counts the picture's pixels.
void BM_WholeMapPicture(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const Ref<TRespReadKZM> map = ReadBigMap();
    if (!map) {
        state.SkipWithError("the benchmark map did not read back");
        return;
    }
    const WholeMapPicture picture(*map->GetLevel(), WholeMapOptions{.Size = side});
    const String out = FromUtf8(ScratchFile("whole.png"));
    for (auto _ : state) {
        std::string error;
        if (!picture.SavePng(out, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    const double megapixels = static_cast<double>(picture.Width()) * picture.Height() / 1e6;
    state.counters["MegapixelsPerSecond"] =
        benchmark::Counter(megapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["PngBytes"] = static_cast<double>(FileBytes(ScratchFile("whole.png")));
}
BENCHMARK(BM_WholeMapPicture)->Arg(4096)->Arg(16384)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The peak of resident memory while the 16,384-pixel picture is made, above
// what the map itself holds. Run in a process of its own.
void BM_WholeMapPeakMemory(benchmark::State& state)
{
    const Ref<TRespReadKZM> map = ReadBigMap();
    if (!map) {
        state.SkipWithError("the benchmark map did not read back");
        return;
    }
    const WholeMapPicture picture(*map->GetLevel(), WholeMapOptions{.Size = static_cast<int>(state.range(0))});
    const String out = FromUtf8(ScratchFile("whole.png"));
    double growth = 0;
    for (auto _ : state) {
        const std::int64_t before = ResidentBytes();
        if (!ResetPeak() || before == 0)
            state.SkipWithError("the peak of resident memory cannot be measured here");
        std::string error;
        if (!picture.SavePng(out, error))
            state.SkipWithError(error.c_str());
        growth = static_cast<double>(PeakResidentBytes() - before);
    }
    state.counters["PeakGrowthBytes"] = growth;
}
BENCHMARK(BM_WholeMapPeakMemory)->Arg(16384)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace kzm::bench
