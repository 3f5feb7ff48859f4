// The display on the desktop: a window, or exclusive full screen.
#include <cstdlib>
#include <memory>
#include <string>

#include "core/Print.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/internal/Application.h"
#include "platform/internal/DisplayContext.h"

namespace kzm {

namespace {

std::unique_ptr<DisplayContext> OpenWindow;  // the open window display, if any
bool VideoStarted = false;                   // our own hold on SDL's video subsystem

// Where the window's client area goes on the desktop.
constexpr int kWindowLeft = 32;
constexpr int kWindowTop = 32;

// The display cannot be made: the program has no way on without one, and
// ending quietly with status 0 is its documented behaviour.
[[noreturn]] void Fail(const std::string& step)
{
    PrintLine("OpenDisplay: " + step + " failed: " + SDL_GetError());
    std::exit(0);
}

// The mode of that size and depth whose refresh rate is nearest to hertz,
// the first found on a tie.
bool FindMode(int width, int height, int depth, int hertz, SDL_DisplayMode& found)
{
    bool any = false;
    long best = 0;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w != width || mode.h != height ||
            static_cast<int>(SDL_BITSPERPIXEL(mode.format)) != depth)
            continue;
        const long distance = std::labs(static_cast<long>(mode.refresh_rate) - hertz);
        if (!any || distance < best) {
            found = mode;
            best = distance;
            any = true;
        }
    }
    return any;
}

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};

}  // namespace

Ref<Object> OpenDisplay(int width, int height, int depth, int hertz, int /*flags: double buffering is always on*/)
{
    CloseDisplay();
    static const bool ExitHandlerRegistered = [] {
        std::atexit([] { CloseDisplay(); });
        return true;
    }();
    (void)ExitHandlerRegistered;

    SetSdlHints();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        Fail("SDL_InitSubSystem(SDL_INIT_VIDEO)");
    VideoStarted = true;

    const std::string title = ToUtf8(ApplicationTitle());
    std::unique_ptr<SDL_Window, WindowDeleter> window;
    bool scaledToDesktop = false;
    if (depth == 0) {
        window.reset(SDL_CreateWindow(title.c_str(), kWindowLeft, kWindowTop, width, height, SDL_WINDOW_SHOWN));
        if (!window)
            Fail("SDL_CreateWindow");
    } else {
        SDL_DisplayMode mode{};
        const bool modeFound = FindMode(width, height, depth, hertz, mode) ||
                               FindMode(width, height, 32, hertz, mode) || FindMode(width, height, 24, hertz, mode);
        // A screen with no mode of this size (many flat panels, virtual
        // servers) still gets full screen: a borderless window over the
        // whole desktop in its own mode, the display's picture scaled to fit
        // it (see the renderer below). The window is placed and sized here,
        // as without a window manager nobody else would.
        SDL_Rect area{SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), width, height};
        if (!modeFound && SDL_GetDisplayBounds(0, &area) != 0)
            Fail("SDL_GetDisplayBounds");
        const Uint32 flags = SDL_WINDOW_HIDDEN | (modeFound ? 0 : SDL_WINDOW_BORDERLESS);
        window.reset(SDL_CreateWindow(title.c_str(), area.x, area.y, area.w, area.h, flags));
        if (!window)
            Fail("SDL_CreateWindow");
        if (modeFound && SDL_SetWindowDisplayMode(window.get(), &mode) != 0)
            Fail("SDL_SetWindowDisplayMode");
        if (SDL_SetWindowFullscreen(window.get(), modeFound ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP) !=
            0)
            Fail("SDL_SetWindowFullscreen");
        SDL_ShowWindow(window.get());
        scaledToDesktop = !modeFound;
    }

    SDL_Renderer* renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE);
    if (!renderer)
        Fail("SDL_CreateRenderer");

    OpenWindow = std::make_unique<DisplayContext>(window.release(), nullptr, renderer, width, height);
    ActivateDisplay(OpenWindow.get());
    // On a desktop-sized screen drawing keeps its width x height coordinates,
    // centred and scaled to fit; set after the viewport's reset to the whole
    // window.
    if (scaledToDesktop && SDL_RenderSetLogicalSize(renderer, width, height) != 0)
        Fail("SDL_RenderSetLogicalSize");
    if (depth != 0) {
        int windowWidth = width, windowHeight = height;
        SDL_GetWindowSize(OpenWindow->Window, &windowWidth, &windowHeight);
        SDL_WarpMouseInWindow(OpenWindow->Window, windowWidth / 2, windowHeight / 2);
    }
    // Key tracking starts afresh with the display: every key up, no hits.
    ResetKeys();
    // The display itself is reached through the drawing calls; the program
    // never looks at this handle.
    return std::make_shared<Object>();
}

void CloseDisplay()
{
    OpenWindow.reset();
    if (VideoStarted) {
        VideoStarted = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

}  // namespace kzm
