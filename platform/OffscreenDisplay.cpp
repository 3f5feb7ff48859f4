// The offscreen display: a software renderer over a surface in memory.
#include <algorithm>
#include <memory>

#include "platform/Display.h"
#include "platform/internal/DisplayContext.h"

namespace kzm {

namespace {

// Read-back alpha from which a pixel counts as opaque; see ReadPixelsWithAlpha.
constexpr unsigned kOpaqueFrom = 250;

// Rows top to top + count - 1 of the display as the renderer holds them,
// RGBA; empty when there is no display or the rows are not all on it.
// Reading flushes the drawing calls still queued.
std::vector<std::uint8_t> ReadRows(const DisplayContext* context, int top, int count)
{
    if (!context || top < 0 || count < 1 || top > context->Height - count)
        return {};
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(context->Width) * static_cast<std::size_t>(count) * 4);
    const SDL_Rect rows{0, top, context->Width, count};
    if (SDL_RenderReadPixels(context->Renderer, &rows, SDL_PIXELFORMAT_RGBA32, pixels.data(), context->Width * 4) != 0)
        return {};
    return pixels;
}

}  // namespace

OffscreenDisplay::OffscreenDisplay(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxOffscreenSide || height > kMaxOffscreenSide)
        return;
    // At most one display at a time.
    CloseDisplay();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!surface)
        return;
    SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
    if (!renderer) {
        SDL_FreeSurface(surface);
        return;
    }
    Context = std::make_unique<DisplayContext>(nullptr, surface, renderer, width, height);
    ActivateDisplay(Context.get());
}

OffscreenDisplay::~OffscreenDisplay() = default;

bool OffscreenDisplay::IsOpen() const
{
    return Context != nullptr;
}
int OffscreenDisplay::Width() const
{
    return Context ? Context->Width : 0;
}
int OffscreenDisplay::Height() const
{
    return Context ? Context->Height : 0;
}

std::vector<std::uint8_t> OffscreenDisplay::ReadPixels() const
{
    return Context ? ReadPixels(0, Context->Height) : std::vector<std::uint8_t>{};
}

std::vector<std::uint8_t> OffscreenDisplay::ReadPixels(int top, int count) const
{
    std::vector<std::uint8_t> pixels = ReadRows(Context.get(), top, count);
    // The renderer's blending rounds an opaque pixel's alpha down a level
    // where a partly transparent one lands on it: the picture is opaque.
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    return pixels;
}

void OffscreenDisplay::ClearTo(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
{
    if (!Context)
        return;
    SDL_SetRenderDrawColor(Context->Renderer, red, green, blue, alpha);
    SDL_RenderClear(Context->Renderer);
    SDL_SetRenderDrawColor(Context->Renderer, 0, 0, 0, 255);
}

std::vector<std::uint8_t> OffscreenDisplay::ReadPixelsWithAlpha(int top, int count) const
{
    std::vector<std::uint8_t> pixels = ReadRows(Context.get(), top, count);
    // Blending over a transparent pixel leaves colour x alpha in it: divide
    // it out, so the picture composites like the frames it was drawn from.
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        const unsigned alpha = pixels[i + 3];
        // The renderer's blending rounds an opaque pixel's alpha down a
        // level or so each time a partly transparent one lands on it: near
        // opaque reads as opaque, its colour already the one shown.
        if (alpha >= kOpaqueFrom) {
            pixels[i + 3] = 255;
            continue;
        }
        if (alpha == 0)
            continue;
        for (std::size_t c = 0; c < 3; ++c)
            pixels[i + c] = static_cast<std::uint8_t>(std::min(255u, (pixels[i + c] * 255u + alpha / 2) / alpha));
    }
    return pixels;
}

bool OffscreenDisplay::SavePng(const String& path) const
{
    const std::vector<std::uint8_t> pixels = ReadPixels();
    if (pixels.empty())
        return false;
    return kzm::SavePng(path, Context->Width, Context->Height, pixels, false);
}

}  // namespace kzm
