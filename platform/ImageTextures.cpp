#include "platform/internal/ImageTextures.h"

#include <algorithm>
#include <cstring>

namespace kzm {

namespace {

// Pages are at most this many pixels across and down (unless one frame is
// larger): 16 MiB each, within every renderer's limits.
constexpr int kPageSide = 2048;

// Cells are the frame plus a border of one pixel on each side.
int CellWidth(const Image& image)
{
    return image.FrameWidth + 2;
}
int CellHeight(const Image& image)
{
    return image.FrameHeight + 2;
}

// ARGB8888 words: the renderers' own format, so the software renderer blits
// without converting.
std::uint32_t Argb(const std::uint8_t* rgba, bool masked)
{
    const std::uint32_t alpha = masked ? (rgba[3] >= 128 ? 255u : 0u) : rgba[3];
    return alpha << 24 | std::uint32_t{rgba[0]} << 16 | std::uint32_t{rgba[1]} << 8 | rgba[2];
}

}  // namespace

ImageTextures* ImageTextures::For(const Image& image, DisplayContext& display)
{
    auto* cache = dynamic_cast<ImageTextures*>(image.DisplayCache.get());
    if (cache && !cache->Life.expired() && cache->LifeIdentity == display.Life.get() &&
        cache->FrameWidth == image.FrameWidth && cache->FrameHeight == image.FrameHeight &&
        cache->ImageFrameCount == image.FrameCount && cache->PixelBytes == image.Pixels.size())
        return cache;

    if (image.FrameWidth <= 0 || image.FrameHeight <= 0 || image.FrameWidth > kMaxImageSide ||
        image.FrameHeight > kMaxImageSide)
        return nullptr;
    // Pages hold only frames whose pixels are all there.
    const auto frameBytes =
        static_cast<std::size_t>(image.FrameWidth) * static_cast<std::size_t>(image.FrameHeight) * 4;
    const int frames = static_cast<int>(
        std::min(static_cast<std::size_t>(std::max(image.FrameCount, 0)), image.Pixels.size() / frameBytes));
    if (frames <= 0)
        return nullptr;
    const int cellWidth = CellWidth(image);
    const int cellHeight = CellHeight(image);
    if ((display.MaxTextureWidth > 0 && cellWidth > display.MaxTextureWidth) ||
        (display.MaxTextureHeight > 0 && cellHeight > display.MaxTextureHeight))
        return nullptr;
    int pageWidth = kPageSide;
    int pageHeight = kPageSide;
    if (display.MaxTextureWidth > 0)
        pageWidth = std::min(pageWidth, display.MaxTextureWidth);
    if (display.MaxTextureHeight > 0)
        pageHeight = std::min(pageHeight, display.MaxTextureHeight);
    const int columns = std::clamp(pageWidth / cellWidth, 1, frames);
    const int rows = std::max(1, pageHeight / cellHeight);
    // columns <= 2048 / 3 and rows likewise, so the product fits easily.
    const int framesPerPage = columns * rows;

    // Replacing the cache frees the textures of the previous renderer, if it
    // is still alive.
    auto fresh = Ref<ImageTextures>(new ImageTextures(display, image, frames, columns, framesPerPage));
    image.DisplayCache = fresh;
    return fresh.get();
}

ImageTextures::ImageTextures(DisplayContext& display, const Image& image, int frames, int columns, int framesPerPage)
    : Life(display.Life),
      LifeIdentity(display.Life.get()),
      FrameWidth(image.FrameWidth),
      FrameHeight(image.FrameHeight),
      ImageFrameCount(image.FrameCount),
      FrameCount(frames),
      PixelBytes(image.Pixels.size()),
      Columns(columns),
      FramesPerPage(framesPerPage)
{
    const int pages = (FrameCount - 1) / FramesPerPage + 1;
    Pages.assign(static_cast<std::size_t>(pages) * 2, nullptr);
    Failed.assign(Pages.size(), 0);
}

ImageTextures::~ImageTextures()
{
    if (Life.expired())
        return;  // the renderer took its textures with it
    for (SDL_Texture* page : Pages)
        if (page)
            SDL_DestroyTexture(page);
}

SDL_Texture* ImageTextures::Frame(const Image& image, int frame, bool masked, SDL_Rect& source)
{
    if (frame < 0 || frame >= FrameCount)
        return nullptr;
    const int page = frame / FramesPerPage;
    const int slot = frame % FramesPerPage;
    const std::size_t index = static_cast<std::size_t>(page) * 2 + (masked ? 1 : 0);
    if (!Pages[index] && !Failed[index]) {
        Pages[index] = MakePage(image, page, masked);
        Failed[index] = Pages[index] ? 0 : 1;
    }
    source = SDL_Rect{(slot % Columns) * (FrameWidth + 2) + 1, (slot / Columns) * (FrameHeight + 2) + 1, FrameWidth,
                      FrameHeight};
    return Pages[index];
}

SDL_Texture* ImageTextures::MakePage(const Image& image, int page, bool masked)
{
    auto life = Life.lock();
    if (!life)
        return nullptr;
    const int first = page * FramesPerPage;
    const int count = std::min(FramesPerPage, FrameCount - first);
    const int cellWidth = FrameWidth + 2;
    const int cellHeight = FrameHeight + 2;
    const int width = std::min(count, Columns) * cellWidth;
    const int height = ((count - 1) / Columns + 1) * cellHeight;

    std::vector<std::uint32_t> pixels;
    try {
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    const auto stride = static_cast<std::size_t>(width);
    for (int k = 0; k < count; ++k) {
        const std::uint8_t* frame = image.FramePixels(first + k);
        const std::size_t left = static_cast<std::size_t>(k % Columns) * static_cast<std::size_t>(cellWidth);
        const std::size_t top = static_cast<std::size_t>(k / Columns) * static_cast<std::size_t>(cellHeight);
        // Rows -1 and FrameHeight repeat the frame's first and last row; the
        // first and last column of each row repeat its edge pixels.
        for (int y = -1; y <= FrameHeight; ++y) {
            const int from = std::clamp(y, 0, FrameHeight - 1);
            const std::uint8_t* in = frame + static_cast<std::size_t>(from) * static_cast<std::size_t>(FrameWidth) * 4;
            std::uint32_t* out = pixels.data() + (top + static_cast<std::size_t>(y + 1)) * stride + left;
            for (int x = 0; x < FrameWidth; ++x)
                out[x + 1] = Argb(in + static_cast<std::size_t>(x) * 4, masked);
            out[0] = out[1];
            out[FrameWidth + 1] = out[FrameWidth];
        }
    }

    SDL_Texture* texture =
        SDL_CreateTexture(life->Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture)
        return nullptr;
    if (SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4) != 0 ||
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear) != 0) {
        SDL_DestroyTexture(texture);
        return nullptr;
    }
    // A new texture blends nothing; the draw sets the mode it needs.
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

}  // namespace kzm
