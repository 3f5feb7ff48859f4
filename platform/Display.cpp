// The drawing state and the drawing calls, shared by the window and the
// offscreen display.
#include "platform/Display.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/internal/DisplayContext.h"
#include "platform/internal/ImageTextures.h"

namespace kzm {

namespace {

DisplayContext* Active = nullptr;
DrawSink* Sink = nullptr;

// The drawing state; a newly opened display resets it.
int BlendMode = kBlendMask;
float ScaleX = 1.0f;
float ScaleY = 1.0f;
std::optional<DisplayView> View;
bool Smoothing = true;
// Once a frame has been drawn unsmoothed, its texture may still sample the
// nearest texel: smoothed draws then set linear filtering back each time.
bool NearestUsed = false;

// After clipping, a quad longer than this in either direction is not drawn:
// one texel of such a frame alone would cover many screens, and the software
// renderer would build a temporary surface of the quad's full size.
constexpr double kMaxQuadSide = 16384.0;

// True when the frame lies wholly within the image's pixels.
bool ImageHasFrame(const Image& image, int frame)
{
    if (frame < 0 || frame >= image.FrameCount || image.FrameWidth <= 0 || image.FrameHeight <= 0 ||
        image.FrameWidth > kMaxImageSide || image.FrameHeight > kMaxImageSide)
        return false;
    const auto frameBytes =
        static_cast<std::uint64_t>(image.FrameWidth) * static_cast<std::uint64_t>(image.FrameHeight) * 4;
    return static_cast<std::uint64_t>(frame) + 1 <= image.Pixels.size() / frameBytes;
}

// One axis of a quad: where it lands on the target and which texels it shows.
struct Span {
    double Start;  // target pixels
    double Length;
    int First;  // texels of the frame, in the frame's own order
    int Count;
};

// A quad that reaches far past the target keeps only the texels that show,
// plus one on each side so that filtering at the target's edge still sees
// its neighbours. Quads that stay near the target are drawn as they are, so
// ordinary tiles land exactly where the unclipped draw puts them.
Span ClipSpan(double start, double length, int texels, bool flip, int limit)
{
    if (start >= -limit && start + length <= 2.0 * limit)
        return Span{start, length, 0, texels};
    const double perTexel = length / texels;
    const double from = (std::max(start, 0.0) - start) / perTexel;
    const double to = (std::min(start + length, static_cast<double>(limit)) - start) / perTexel;
    const int first = static_cast<int>(std::clamp(std::floor(from) - 1.0, 0.0, static_cast<double>(texels)));
    const int last = static_cast<int>(std::clamp(std::ceil(to) + 1.0, 0.0, static_cast<double>(texels)));
    // Texels counted from the quad's start run backwards through a mirrored
    // frame.
    return Span{start + first * perTexel, (last - first) * perTexel, flip ? texels - last : first, last - first};
}

SDL_BlendMode SdlBlendMode(int mode)
{
    return mode == kBlendSolid ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND;
}

}  // namespace

DisplayContext::DisplayContext(SDL_Window* window, SDL_Surface* surface, SDL_Renderer* renderer, int width, int height)
    : Window(window),
      Surface(surface),
      Renderer(renderer),
      Width(width),
      Height(height),
      Life(std::make_shared<RendererLife>(RendererLife{renderer}))
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        MaxTextureWidth = info.max_texture_width;
        MaxTextureHeight = info.max_texture_height;
    }
}

DisplayContext::~DisplayContext()
{
    DeactivateDisplay(this);
    // Every texture cache sees the renderer gone before it is: none of them
    // destroys a texture of a destroyed renderer.
    Life.reset();
    SDL_DestroyRenderer(Renderer);
    if (Window)
        SDL_DestroyWindow(Window);
    if (Surface)
        SDL_FreeSurface(Surface);
}

DisplayContext* ActiveDisplay()
{
    return Active;
}

void ActivateDisplay(DisplayContext* display)
{
    Active = display;
    BlendMode = kBlendMask;
    ScaleX = 1.0f;
    ScaleY = 1.0f;
    View.reset();
    Smoothing = true;
    SDL_RenderSetViewport(display->Renderer, nullptr);
    SDL_SetRenderDrawColor(display->Renderer, 0, 0, 0, 255);
    SDL_RenderClear(display->Renderer);
    if (display->Window) {
        // Both buffers start black.
        SDL_RenderPresent(display->Renderer);
        SDL_RenderClear(display->Renderer);
    }
}

void DeactivateDisplay(const DisplayContext* display)
{
    if (Active == display)
        Active = nullptr;
}

void PresentFrame(int sync)
{
    if (!Active)
        return;
    if (!Active->Window) {
        // An offscreen display keeps its picture in its one buffer.
        SDL_RenderFlush(Active->Renderer);
        return;
    }
    const int wanted = sync != 0 ? 1 : 0;
    if (wanted != Active->Sync && SDL_RenderSetVSync(Active->Renderer, wanted) == 0)
        Active->Sync = wanted;
    SDL_RenderPresent(Active->Renderer);
}

void ClearFrame()
{
    if (!Active)
        return;
    SDL_SetRenderDrawColor(Active->Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Active->Renderer);
}

void SetBlendMode(int mode)
{
    // Modes this display has no use for blend like mode 3.
    BlendMode = (mode == kBlendSolid || mode == kBlendMask) ? mode : kBlendAlpha;
}

void SetDrawScale(float scaleX, float scaleY)
{
    if (Sink) {
        Sink->SetDrawScale(scaleX, scaleY);
        return;
    }
    ScaleX = scaleX;
    ScaleY = scaleY;
}

void SetDisplayView(const DisplayView& view)
{
    if (!(view.Zoom > 0.0) || !std::isfinite(view.Zoom) || !std::isfinite(view.OriginX) ||
        !std::isfinite(view.OriginY)) {
        View.reset();
        return;
    }
    View = view;
}

void ClearDisplayView()
{
    View.reset();
}

void SetDrawSmoothing(bool linear)
{
    Smoothing = linear;
}

DrawSink* SetDrawSink(DrawSink* sink)
{
    DrawSink* previous = Sink;
    Sink = sink;
    return previous;
}

void DrawImageFrame(const Image* image, float x, float y, int frame)
{
    if (Sink) {
        Sink->DrawImageFrame(image, x, y, frame);
        return;
    }
    if (!Active || !image || !ImageHasFrame(*image, frame))
        return;

    // The quad in target pixels: frame size x scale from (x, y), reaching
    // left of (above) the position when the scale is negative.
    double width = static_cast<double>(image->FrameWidth) * std::fabs(ScaleX);
    double height = static_cast<double>(image->FrameHeight) * std::fabs(ScaleY);
    double left = ScaleX < 0 ? x - width : x;
    double top = ScaleY < 0 ? y - height : y;
    if (!(width > 0 && height > 0) || !std::isfinite(left + width) || !std::isfinite(top + height))
        return;  // a scale of 0 covers nothing; NaN and infinities neither
    if (View) {
        // Both edges snapped, then shifted by whole pixels: a band of a
        // picture gets the same pixels as the whole picture would.
        const double right = std::floor((left + width - View->OriginX) * View->Zoom) - View->ShiftX;
        const double bottom = std::floor((top + height - View->OriginY) * View->Zoom) - View->ShiftY;
        left = std::floor((left - View->OriginX) * View->Zoom) - View->ShiftX;
        top = std::floor((top - View->OriginY) * View->Zoom) - View->ShiftY;
        width = right - left;
        height = bottom - top;
        if (!(width > 0 && height > 0))
            return;  // zoomed out to less than a pixel
    }
    if (left >= Active->Width || left + width <= 0 || top >= Active->Height || top + height <= 0)
        return;  // wholly off the target

    ImageTextures* textures = ImageTextures::For(*image, *Active);
    if (!textures)
        return;
    SDL_Rect source;
    SDL_Texture* texture = textures->Frame(*image, frame, BlendMode == kBlendMask, source);
    if (!texture)
        return;

    const bool flipX = ScaleX < 0;
    const bool flipY = ScaleY < 0;
    const Span across = ClipSpan(left, width, image->FrameWidth, flipX, Active->Width);
    const Span down = ClipSpan(top, height, image->FrameHeight, flipY, Active->Height);
    if (across.Count <= 0 || down.Count <= 0 || across.Length > kMaxQuadSide || down.Length > kMaxQuadSide)
        return;
    source.x += across.First;
    source.w = across.Count;
    source.y += down.First;
    source.h = down.Count;
    const SDL_FRect target{static_cast<float>(across.Start), static_cast<float>(down.Start),
                           static_cast<float>(across.Length), static_cast<float>(down.Length)};

    SDL_SetTextureBlendMode(texture, SdlBlendMode(BlendMode));
    if (!Smoothing) {
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
        NearestUsed = true;
    } else if (NearestUsed) {
        SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
    }
    if (!flipX && !flipY) {
        SDL_RenderCopyF(Active->Renderer, texture, &source, &target);
        return;
    }
    const int flip = (flipX ? SDL_FLIP_HORIZONTAL : 0) | (flipY ? SDL_FLIP_VERTICAL : 0);
    SDL_RenderCopyExF(Active->Renderer, texture, &source, &target, 0.0, nullptr, static_cast<SDL_RendererFlip>(flip));
}

}  // namespace kzm
