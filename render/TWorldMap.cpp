#include "render/TWorldMap.h"

#include <stdexcept>

#include "core/Print.h"
#include "mapdata/TKZMReader.h"
#include "render/ScrollOffsets.h"
#include "render/TestBedView.h"

namespace kzm {

std::uint8_t TWorldMap::LoadMap(const String& path, std::int32_t right, std::int32_t bottom, std::int32_t left,
                                std::int32_t top)
{
    try {
        ReadResult = TKZMReader::Read(path);
        if (ReadResult->GetErrored())
            return 0;
        const Ref<TRKLevel> level = ReadResult->GetLevel();
        // The reader promises a level and its header after an error-free
        // read; should either be missing, the load fails like any other.
        if (!level)
            throw std::logic_error("read without a level");
        SetUpEngine(*Engine, *level, ViewRect{left, top, right, bottom});
        return 1;
    } catch (...) {
        return 0;
    }
}

void TWorldMap::SetTilesetPath(std::int32_t id, const String& path)
{
    try {
        const Ref<ObjectList> tilesets = Engine->GetTilesets();
        if (!tilesets)
            throw std::logic_error("no tileset list");
        if (const Ref<TRKTileset> tileset = FindTileset(*tilesets, id))
            tileset->SetImage(path);
    } catch (...) {
        PrintLine(u"Error occured in TWorldMap.SetTilesetPath()");
    }
}

void TWorldMap::Draw()
{
    Engine->SetScrollX(ScrollX);
    Engine->SetScrollY(ScrollY);
    Engine->Draw();
}

}  // namespace kzm
