// The textures of one image on one renderer, kept in Image::DisplayCache.
//
// Frames are packed into atlas pages, each frame in a cell with a one-pixel
// border that repeats its edge pixels: linear filtering near a frame's edge
// then samples the frame's own colours, never its neighbour's. A page is made
// the first time one of its frames is drawn, so a huge image of tiny frames
// costs textures only for the frames in use.
//
// Internal to platform/ (it speaks SDL).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Object.h"
#include "image/Image.h"
#include "platform/internal/DisplayContext.h"

namespace kzm {

class ImageTextures : public Object {
public:
    // The image's textures for the display, made anew when the cache holds
    // none or holds those of another renderer. Null when the image's frames
    // cannot become textures on this renderer (a frame larger than its
    // biggest texture, or no whole frame in its pixels).
    static ImageTextures* For(const Image& image, DisplayContext& display);

    ~ImageTextures() override;

    // The texture holding the frame and the frame's rectangle in it, border
    // excluded. Masked pages hold alpha cut to 0 or 255 at one half. Null
    // when the texture cannot be made. The frame must be one whose pixels
    // the image holds.
    SDL_Texture* Frame(const Image& image, int frame, bool masked, SDL_Rect& source);

private:
    ImageTextures(DisplayContext& display, const Image& image, int frames, int columns, int framesPerPage);
    SDL_Texture* MakePage(const Image& image, int page, bool masked);

    std::weak_ptr<RendererLife> Life;  // textures are freed only while it lasts
    RendererLife* LifeIdentity;        // which renderer, while Life lasts
    int FrameWidth;
    int FrameHeight;
    int ImageFrameCount;  // what the image said when the cache was made
    int FrameCount;       // frames whose pixels the image holds
    std::size_t PixelBytes;
    int Columns;  // cells across a page
    int FramesPerPage;
    // Index page * 2 + masked; null until made. A page that failed once is
    // not tried again.
    std::vector<SDL_Texture*> Pages;
    std::vector<std::uint8_t> Failed;
};

}  // namespace kzm
