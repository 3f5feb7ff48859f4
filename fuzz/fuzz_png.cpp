// The PNG loader on arbitrary bytes, whole and cut into frames of fuzzed
// sizes, and the tileset that cuts it: no crash, no read outside a buffer, no
// leak, and every image that comes back is as large as it says.
//
// Input: 7 bytes of parameters, then the file.
//   0-1  frame width, 16-bit little-endian signed; 0x7FFF stands for
//        2,147,483,647 and 0x8000 for -2,147,483,648
//   2-3  frame height, likewise
//   4    first frame
//   5    frame count; 255 asks for every whole cell, as a tileset does
//   6    bit 0: the image flags are the defaults (masked), else 0
#include <climits>
#include <cstdio>
#include <cstring>

#include "core/Print.h"
#include "fuzz/FuzzSupport.h"
#include "image/Image.h"
#include "mapdata/TRKTileset.h"

namespace {

constexpr std::size_t kParameterBytes = 7;

int FrameSide(const std::uint8_t* at)
{
    const auto raw = static_cast<std::uint16_t>(at[0] | at[1] << 8);
    if (raw == 0x7FFF)
        return INT_MAX;
    if (raw == 0x8000)
        return INT_MIN;
    return static_cast<std::int16_t>(raw);
}

// Touches the first and last byte of every frame, so the sanitizer sees any
// frame that is not all there.
void CheckImage(const kzm::Image& image)
{
    const std::size_t frameBytes =
        static_cast<std::size_t>(image.FrameWidth) * static_cast<std::size_t>(image.FrameHeight) * 4;
    if (image.FrameWidth <= 0 || image.FrameHeight <= 0 || image.FrameCount < 0 ||
        image.Pixels.size() != frameBytes * static_cast<std::size_t>(image.FrameCount))
        __builtin_trap();
    volatile std::uint8_t sink = 0;
    for (int frame = 0; frame < image.FrameCount; ++frame) {
        const std::uint8_t* pixels = image.FramePixels(frame);
        sink = sink + pixels[0] + pixels[frameBytes - 1];
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kzm::PrintLineCapture quiet(kzm::PrintLineCapture::Drop);  // the tileset's failure line

    std::uint8_t parameters[kParameterBytes] = {};
    std::memcpy(parameters, data, size < kParameterBytes ? size : kParameterBytes);
    const std::size_t fileSize = size > kParameterBytes ? size - kParameterBytes : 0;
    const std::string path = kzm::fuzz::ScratchFile(data + (size - fileSize), fileSize, ".png");
    const kzm::String name = kzm::FromUtf8(path);

    const int frameWidth = FrameSide(parameters);
    const int frameHeight = FrameSide(parameters + 2);
    const int flags = (parameters[6] & 1) != 0 ? kzm::kDefaultImageFlags : 0;

    const kzm::Ref<kzm::Image> whole = kzm::LoadImageFile(name, flags);
    int count = parameters[5];
    if (whole) {
        if (whole->FrameCount != 1 || whole->FrameWidth != whole->Width || whole->FrameHeight != whole->Height)
            __builtin_trap();
        CheckImage(*whole);
        if (count == 255 && frameWidth > 0 && frameHeight > 0)
            count = (whole->Width / frameWidth) * (whole->Height / frameHeight);
    }
    if (const kzm::Ref<kzm::Image> strip =
            kzm::LoadImageStrip(name, frameWidth, frameHeight, parameters[4], count, flags)) {
        if (!whole || strip->FrameCount != count || strip->FrameWidth != frameWidth ||
            strip->FrameHeight != frameHeight)
            __builtin_trap();
        CheckImage(*strip);
    }

    // The tileset divides by the frame sizes and passes on whatever count
    // that gives, negative ones included.
    kzm::TRKTileset tileset;
    tileset.SetFrameWidth(frameWidth);
    tileset.SetFrameHeight(frameHeight);
    tileset.SetImage(name);
    if (const kzm::Ref<kzm::Image> image = tileset.GetImage())
        CheckImage(*image);
    return 0;
}
