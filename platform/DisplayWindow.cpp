// The display on the desktop: a window, or exclusive full screen.
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/Display.h"
#include "platform/DisplayContext.h"
#include "platform/Input.h"
#include "platform/Print.h"

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

    // SDL's own SIGINT and SIGTERM handlers would only queue a quit event,
    // which the program never reads: Ctrl+C and kill must still end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        Fail("SDL_InitSubSystem(SDL_INIT_VIDEO)");
    VideoStarted = true;

    const std::string title = ToUtf8(ApplicationTitle());
    std::unique_ptr<SDL_Window, WindowDeleter> window;
    if (depth == 0) {
        window.reset(SDL_CreateWindow(title.c_str(), kWindowLeft, kWindowTop, width, height, SDL_WINDOW_SHOWN));
        if (!window)
            Fail("SDL_CreateWindow");
    } else {
        SDL_DisplayMode mode{};
        if (!FindMode(width, height, depth, hertz, mode) && !FindMode(width, height, 32, hertz, mode) &&
            !FindMode(width, height, 24, hertz, mode)) {
            SDL_SetError("no %d x %d mode at %d, 32 or 24 bits per pixel", width, height, depth);
            Fail("choosing the full-screen mode");
        }
        window.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                                      SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), width, height, SDL_WINDOW_HIDDEN));
        if (!window)
            Fail("SDL_CreateWindow");
        if (SDL_SetWindowDisplayMode(window.get(), &mode) != 0)
            Fail("SDL_SetWindowDisplayMode");
        if (SDL_SetWindowFullscreen(window.get(), SDL_WINDOW_FULLSCREEN) != 0)
            Fail("SDL_SetWindowFullscreen");
        SDL_ShowWindow(window.get());
    }

    // Filtering is set on every texture too; the hint covers any SDL makes.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Renderer* renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE);
    if (!renderer)
        Fail("SDL_CreateRenderer");

    OpenWindow = std::make_unique<DisplayContext>(window.release(), nullptr, renderer, width, height);
    ActivateDisplay(OpenWindow.get());
    if (depth != 0)
        SDL_WarpMouseInWindow(OpenWindow->Window, width / 2, height / 2);
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
