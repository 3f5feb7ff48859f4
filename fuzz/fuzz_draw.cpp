// Reading a fuzzed map and drawing it once, as the test bed does: the map is
// loaded by a world map, a small fixed tileset picture is attached to its
// first tilesets (whatever frame sizes they announce), and one frame is drawn
// into a 200 x 150 offscreen display. No crash, no read outside a buffer
// (the frame indices, scales and positions are all the map's), no leak.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/Print.h"
#include "fuzz/FuzzSupport.h"
#include "mapdata/KzmWriter.h"
#include "mapdata/TKZMReader.h"
#include "platform/Display.h"
#include "render/ScrollOffsets.h"
#include "render/TWorldMap.h"
#include "render/TestBedView.h"

namespace {

constexpr int kDisplayWidth = 200;
constexpr int kDisplayHeight = 150;
// Besides tileset 0, this many more get the picture; the rest draw nothing.
// Loading (decoding twice and masking) is most of an execution's time, and
// a second image is enough to mix tilesets in one draw.
constexpr int kTilesetsWithImages = 1;

// A 32 x 32 picture with black cells (masked to transparent) and colours
// elsewhere, written once: 16 x 16 frames give 4 of them.
std::string TilesetPicture()
{
    constexpr int width = 32, height = 32;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            const bool black = (x / 8 + y / 8) % 3 == 0;
            pixel[0] = black ? 0 : static_cast<std::uint8_t>(x * 8);
            pixel[1] = black ? 0 : static_cast<std::uint8_t>(y * 8);
            pixel[2] = black ? 0 : 160;
            pixel[3] = 255;
        }
    const std::vector<std::uint8_t> png = kzm::EncodePng(width, height, rgba, false);
    if (png.empty())
        std::abort();
    return kzm::fuzz::ScratchFile(png.data(), png.size(), ".tiles.png");
}

// One frame of the map in the file at mapPath, as the test bed draws it.
void LoadAndDraw(const std::string& mapPath, const kzm::String& tilesPath)
{
    kzm::TWorldMap world;
    if (!world.LoadMap(kzm::FromUtf8(mapPath), kDisplayWidth, kDisplayHeight, 0, 0))
        return;
    world.SetTilesetPath(0, tilesPath);
    int withImages = 0;
    world.Engine->GetTilesets()->ForEach([&](const kzm::Ref<kzm::Object>& entry) {
        auto* tileset = kzm::As<kzm::TRKTileset>(entry);
        if (tileset && tileset->Id != 0 && withImages++ < kTilesetsWithImages)
            tileset->SetImage(tilesPath);
    });

    kzm::OffscreenDisplay display(kDisplayWidth, kDisplayHeight);
    if (!display.IsOpen())
        std::abort();
    kzm::DrawTestBedFrame(world);
    // Reading back runs whatever drawing the renderer still had queued.
    if (display.ReadPixels().size() != static_cast<std::size_t>(kDisplayWidth) * kDisplayHeight * 4)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kzm::String tilesPath = [] {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        static const kzm::PrintLineCapture quiet(kzm::PrintLineCapture::Drop);
        // As in the reader's target: the bound works alike at any size.
        kzm::TKZMReader::PhantomAllowance = 1 << 16;
        kzm::ScrollX = 0;
        kzm::ScrollY = 0;
        const kzm::String path = kzm::FromUtf8(TilesetPicture());
        // One draw before fuzzing begins, so what SDL sets up once and keeps
        // for the process is not taken for a leak of the first input.
        const std::vector<std::uint8_t> warmUp = kzm::KzmByteWriter()
                                                     .Header()
                                                     .Dimensions(kzm::TRKMapDimensions{})
                                                     .Int32(1)
                                                     .Text(u"t.png")
                                                     .Int32(0)
                                                     .Int32(16)
                                                     .Int32(16)
                                                     .Int32(1)
                                                     .Int32(0)
                                                     .Int32(0)
                                                     .Int32(1)  // tileset 0, frame 1
                                                     .Int32(8)
                                                     .Int32(8)
                                                     .Int32(16)
                                                     .Int32(16)
                                                     .Float32(1.5f)
                                                     .Float32(-1.0f)
                                                     .Int32(0)
                                                     .Int32(0)
                                                     .Int32(0)
                                                     .Int32(0)
                                                     .Int32(0)
                                                     .Float32(0)
                                                     .Float32(0)
                                                     .Bytes;
        LoadAndDraw(kzm::fuzz::ScratchFile(warmUp.data(), warmUp.size(), ".kzm"), path);
        return path;
    }();
    LoadAndDraw(kzm::fuzz::ScratchFile(data, size, ".kzm"), tilesPath);
    return 0;
}
