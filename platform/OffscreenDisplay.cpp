// The offscreen display: a software renderer over a surface in memory.
#include <memory>

#include "platform/Display.h"
#include "platform/internal/DisplayContext.h"

namespace kzm {

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

bool OffscreenDisplay::IsOpen() const { return Context != nullptr; }
int OffscreenDisplay::Width() const { return Context ? Context->Width : 0; }
int OffscreenDisplay::Height() const { return Context ? Context->Height : 0; }

std::vector<std::uint8_t> OffscreenDisplay::ReadPixels() const
{
    if (!Context)
        return {};
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(Context->Width) *
                                     static_cast<std::size_t>(Context->Height) * 4);
    // Reading flushes the drawing calls still queued.
    if (SDL_RenderReadPixels(Context->Renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), Context->Width * 4) !=
        0)
        return {};
    for (std::size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
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
