// Decoded images, whole or cut into equal frames.
//
// An image holds its pixels only; textures are the display's business and
// are made on the first draw, so a tileset can load its image with no display
// open. Loading reports failure as no image: a missing file, a file that is
// not a decodable PNG, one larger than the loader accepts, or a strip that
// asks for more frames than the picture has whole cells. Memory running out
// is no fault of the file: the loaders throw std::bad_alloc for it, so that
// the tileset's guard can report it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/Object.h"
#include "core/String.h"

namespace kzm {

// The loader refuses pictures larger than this in either direction, or with
// more pixels in all (256 MiB of RGBA): no real tileset comes near.
constexpr int kMaxImageSide = 32768;
constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;
constexpr std::int64_t kMaxImageFileBytes = std::int64_t{256} << 20;

// Flags -1 select the defaults: black masked to transparent, linear
// filtering, no mipmaps, handle at the top-left corner. Of these only masking
// is the loader's, as the bit kImageMasked (which -1 has set): the display
// draws every image filtered, without mipmaps, from its top-left corner.
// Other bits are reserved and ignored.
constexpr int kDefaultImageFlags = -1;
// A picture without an alpha channel of its own (no alpha in its colour type,
// no tRNS chunk) gets alpha 0 where red, green and blue are all 0, and 255
// elsewhere. Black means the stored samples: a 16-bit pixel of (1, 0, 0) is
// not black, though it decodes to 8-bit (0, 0, 0). A tRNS chunk counts as an
// alpha channel: the file says itself which colour is transparent. Each such black pixel takes as its colour the
// rounded average of the non-black pixels among its up to eight neighbours (black when there are none), so that linear
// filtering at a frame's transparent edges blends toward the neighbouring colour instead of darkening. The averaging is
// done on the whole picture before it is cut: a cell-edge pixel's neighbours may lie in the adjacent cell, as they do
// in the picture. A picture with an alpha channel keeps its own alpha and is not masked. Without this bit every picture
// keeps its decoded alpha (255 where it has none).
constexpr int kImageMasked = 1;

class Image : public Object {
public:
    int Width = 0;  // the decoded picture's size in pixels
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

// The whole picture as one frame: FrameWidth and FrameHeight are its size,
// FrameCount 1. Backslashes in the path count as forward slashes; files over
// kMaxImageFileBytes are refused before they are read.
Ref<Image> LoadImageFile(const String& path, int flags);
// Cuts the picture into cells of frameWidth x frameHeight anchored at its
// top-left corner, numbered left to right then top to bottom, and keeps
// count of them from firstFrame on. Pixels outside whole cells belong to no
// frame. A count of 0 gives an image with no frames (and no pixels). Width
// and Height are the picture's size, FrameWidth and FrameHeight the cell's.
// No image when a frame size is 0 or less, firstFrame or count is negative,
// or firstFrame + count exceeds the number of whole cells.
Ref<Image> LoadImageStrip(const String& path, int frameWidth, int frameHeight, int firstFrame, int count, int flags);

// The same from bytes in memory (what the file functions do after reading).
Ref<Image> DecodeImage(std::span<const std::uint8_t> png, int flags);
Ref<Image> DecodeImageStrip(std::span<const std::uint8_t> png, int frameWidth, int frameHeight, int firstFrame,
                            int count, int flags);

// Encodes 8-bit RGBA pixels (width x height, top row first) as a PNG. With
// alpha false the alpha bytes are dropped and an RGB PNG is written. An empty
// result (or false) when the size is not within 1..kMaxImageSide or rgba
// holds fewer than width x height pixels.
std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba, bool alpha);
// Writes EncodePng's bytes to path; false when they cannot be made or
// written, with whatever had the name untouched.
bool SavePng(const String& path, int width, int height, std::span<const std::uint8_t> rgba, bool alpha);

}  // namespace kzm
