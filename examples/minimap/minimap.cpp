// minimap: a picture of a whole map, drawn offscreen; no window system needed.
//
//   minimap MAP TILESET.png OUT.png
//
// The picture covers the map's grid (Columns x TileWidth by Rows x TileHeight
// pixels) with the map's (0, 0) at its top-left corner, on black.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "mapdata/TKZMReader.h"
#include "platform/Display.h"
#include "render/TMapEngine.h"

using namespace kzm;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: minimap MAP TILESET.png OUT.png\n");
        return 2;
    }
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(argv[1]));
    if (result->GetErrored()) {
        std::fprintf(stderr, "minimap: cannot read %s: %s\n", argv[1], ToUtf8(result->FailureText).c_str());
        return 1;
    }
    Ref<TRKLevel> level = result->GetLevel();
    Ref<TRKMapDimensions> map = level->GetDimensions();
    // In 64 bits: the file's numbers may be anything, and the display refuses what it cannot hold.
    const std::int64_t width = std::int64_t{map->Columns} * map->TileWidth;
    const std::int64_t height = std::int64_t{map->Rows} * map->TileHeight;
    OffscreenDisplay display(int(std::min<std::int64_t>(width, INT32_MAX)),
                             int(std::min<std::int64_t>(height, INT32_MAX)));
    if (!display.IsOpen()) {
        std::fprintf(stderr, "minimap: no picture of %lld x %lld pixels\n", (long long)width, (long long)height);
        return 1;
    }

    TMapEngine engine;
    engine.SetViewport(0, 0, display.Width(), display.Height());  // at scroll (0, 0): the map's origin at the top-left
    engine.SetTilesets(level->GetTilesets());
    engine.SetTiles(level->GetTiles());
    engine.SetLayerCount(level->GetLayerCount());
    level->GetTilesets()->ForEach([&](const Ref<Object>& element) {
        if (TRKTileset* tileset = As<TRKTileset>(element); tileset && tileset->Id == 0)
            tileset->SetImage(FromUtf8(argv[2]));
    });

    SetBlendMode(kBlendAlpha);
    engine.Draw();
    if (!display.SavePng(FromUtf8(argv[3]))) {
        std::fprintf(stderr, "minimap: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
