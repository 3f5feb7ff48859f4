// Decoded images, whole or cut into equal frames.
//
// An image holds its pixels only; textures are the display's business and
// are made on the first draw, so a tileset can load its image with no display
// open. Loading reports failure as no image: a missing file, a file that is
// not a decodable PNG, one larger than the loader accepts, or a strip that
// asks for more frames than the picture has whole cells.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Object.h"
#include "platform/String.h"

namespace kzm {

// The loader refuses pictures larger than this in either direction, or with
// more pixels in all (256 MiB of RGBA): no real tileset comes near.
constexpr int kMaxImageSide = 32768;
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;

// Flags -1 select the defaults: black masked to transparent, linear
// filtering, no mipmaps, handle at the top-left corner.
constexpr int kDefaultImageFlags = -1;

class Image : public Object {
public:
    int Width = 0;   // the decoded picture's size in pixels
    int Height = 0;
    int FrameWidth = 0;  // for a whole image, the picture's size
    int FrameHeight = 0;
    int FrameCount = 0;
    // RGBA, 8 bits a channel, frame after frame; each frame is FrameHeight
    // rows of FrameWidth pixels, top row first.
    std::vector<std::uint8_t> Pixels;

    const std::uint8_t* FramePixels(int frame) const
    {
        return Pixels.data() + static_cast<std::size_t>(frame) * static_cast<std::size_t>(FrameWidth) *
                                   static_cast<std::size_t>(FrameHeight) * 4;
    }

    // The display's textures for this image, made on its first draw and
    // released with the image. Only the display layer looks inside.
    mutable Ref<Object> DisplayCache;
};

Ref<Image> LoadImageFile(const String& path, int flags);
// Cuts the picture into cells of frameWidth x frameHeight anchored at its
// top-left corner, numbered left to right then top to bottom, and keeps
// count of them from firstFrame on. Pixels outside whole cells belong to no
// frame. A count of 0 gives an image with no frames.
Ref<Image> LoadImageStrip(const String& path, int frameWidth, int frameHeight, int firstFrame, int count,
                          int flags);

// The same from bytes in memory (what the file functions do after reading).
Ref<Image> DecodeImage(std::span<const std::uint8_t> png, int flags);
Ref<Image> DecodeImageStrip(std::span<const std::uint8_t> png, int frameWidth, int frameHeight, int firstFrame,
                            int count, int flags);

// Encodes 8-bit RGBA pixels (width x height, top row first) as a PNG. With
// alpha false the alpha bytes are dropped and an RGB PNG is written.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba, bool alpha);
bool SavePng(const String& path, int width, int height, std::span<const std::uint8_t> rgba, bool alpha);

}  // namespace kzm
