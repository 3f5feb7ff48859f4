#include "mapdata/TRKTileset.h"

#include <stdexcept>

#include "core/Print.h"

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
        // Wraps like the 32-bit product it stands for; stored only once both
        // divisions and the product are done.
        const auto columns = static_cast<std::uint32_t>(whole->Width / FrameWidth);
        const auto rows = static_cast<std::uint32_t>(whole->Height / FrameHeight);
        FrameCount = static_cast<std::int32_t>(columns * rows);
        whole.reset();  // served only to learn the size
        Image = LoadImageStrip(path, FrameWidth, FrameHeight, 0, FrameCount, kDefaultImageFlags);
    } catch (...) {
        PrintLine(u"Threw an error in TRKTileset.SetImage()");
    }
}

}  // namespace kzm
