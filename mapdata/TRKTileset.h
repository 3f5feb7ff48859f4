// One tileset: an id, an image path, a frame size and the image cut into frames.
#pragma once

#include <cstdint>

#include "core/Object.h"
#include "core/ObjectList.h"
#include "core/String.h"
#include "image/Image.h"

namespace kzm {

class TRKTileset : public Object {
public:
    std::int32_t Id = 0;  // tiles refer to it by TilesetId; no accessors
    String ImagePath;
    Ref<kzm::Image> Image;         // absent until SetImage loads one
    std::int32_t FrameHeight = 0;  // declared before FrameWidth, as stored in memory
    std::int32_t FrameWidth = 0;
    std::int32_t FrameCount = 0;  // only SetImage sets it

    // Stores the path, loads the image and cuts it into FrameWidth x
    // FrameHeight frames. Guarded: a failure (a zero frame size, a decoding
    // error, exhausted memory) prints "Threw an error in
    // TRKTileset.SetImage()" and returns; fields set before it keep their new
    // values. A missing or undecodable file is no failure: nothing changes
    // but ImagePath, and nothing is printed.
    virtual void SetImage(const String& path);
    virtual String GetImagePath() { return ImagePath; }
    virtual void SetImagePath(const String& path) { ImagePath = path; }
    virtual std::int32_t GetFrameCount() { return FrameCount; }
    virtual std::int32_t GetFrameHeight() { return FrameHeight; }
    virtual std::int32_t GetFrameWidth() { return FrameWidth; }
    virtual Ref<kzm::Image> GetImage() { return Image; }
    // The frame-size setters change that field only: FrameCount and Image
    // are not recomputed.
    virtual void SetFrameHeight(std::int32_t height) { FrameHeight = height; }
    virtual void SetFrameWidth(std::int32_t width) { FrameWidth = width; }
};

// The first tileset in list order whose Id is id, passing over absent
// entries and those of other classes; absent when none has it. Of several
// with the same Id the first wins: the engine draws with it, and images are
// attached to it.
inline Ref<TRKTileset> FindTileset(const ObjectList& tilesets, std::int32_t id)
{
    for (const Ref<Object>& entry : tilesets.Entries())
        if (auto* tileset = As<TRKTileset>(entry); tileset && tileset->Id == id)
            return Ref<TRKTileset>(entry, tileset);
    return nullptr;
}

}  // namespace kzm
