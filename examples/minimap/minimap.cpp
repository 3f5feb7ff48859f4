// minimap: a picture of a whole map, drawn offscreen; no window system needed.
//
//   minimap MAP TILESET.png OUT.png
//
// The picture covers the map's grid (Columns x TileWidth by Rows x TileHeight
// pixels), the map's (0, 0) at its top-left corner, each tile where the engine
// draws it at scroll (0, 0). Where no tile covers it, it is transparent.
#include <cstdio>
#include <string>

#include "mapdata/TKZMReader.h"
#include "render/WholeMapPicture.h"

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
    level->GetTilesets()->ForEach([&](const Ref<Object>& element) {
        if (TRKTileset* tileset = As<TRKTileset>(element); tileset && tileset->Id == 0)
            tileset->SetImage(FromUtf8(argv[2]));
    });

    // Drawn in bands, so a large map needs little memory; a map too large
    // (or with nothing to draw) is refused with the reason.
    WholeMapPicture picture(*level, WholeMapOptions{});
    std::string error = picture.ProblemText();
    if (picture.Problem() != WholeMapPicture::ProblemKind::None || !picture.SavePng(FromUtf8(argv[3]), error)) {
        std::fprintf(stderr, "minimap: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
