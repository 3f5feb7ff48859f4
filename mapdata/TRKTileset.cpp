#include "mapdata/TRKTileset.h"

#include <stdexcept>

#include "core/Print.h"
#include "core/Wrapping.h"

namespace kzm {

void TRKTileset::SetImage(const String& path)
{
    try {
        ImagePath = path;
        Ref<kzm::Image> whole = LoadImageFile(path, kDefaultImageFlags);
        if (!whole)
            return;
        if (FrameWidth == 0 || FrameHeight == 0)
            throw std::domain_error("frame size of 0");
        // Stored only once both divisions and the product are done.
        const std::int32_t columns = whole->Width / FrameWidth;
        const std::int32_t rows = whole->Height / FrameHeight;
        FrameCount = WrappingMul(columns, rows);
        whole.reset();  // served only to learn the size
        Image = LoadImageStrip(path, FrameWidth, FrameHeight, 0, FrameCount, kDefaultImageFlags);
    } catch (...) {
        PrintLine(u"Threw an error in TRKTileset.SetImage()");
    }
}

}  // namespace kzm
