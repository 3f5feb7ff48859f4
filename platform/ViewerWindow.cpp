// The viewer's resizable window and the pointer over it.
#include "platform/ViewerWindow.h"

#include <cstdlib>
#include <memory>

#include <SDL.h>

#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/internal/Application.h"
#include "platform/internal/DisplayContext.h"
#include "platform/internal/ViewerEvents.h"

namespace kzm {

namespace {

// Where the window's client area goes on the desktop, as the display's.
constexpr int kWindowLeft = 32;
constexpr int kWindowTop = 32;

std::unique_ptr<DisplayContext> Viewer;  // the open viewer window, if any
bool VideoStarted = false;               // our own hold on SDL's video subsystem

// The pointer, fed by the event pump.
int X = -1;
int Y = -1;
bool ButtonDown = false;
int Wheel = 0;

void CloseViewerWindow()
{
    Viewer.reset();
    if (VideoStarted) {
        VideoStarted = false;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool IsViewerWindow(Uint32 windowId)
{
    return Viewer && Viewer->Window && SDL_GetWindowID(Viewer->Window) == windowId;
}

}  // namespace

bool OpenViewerWindow(int width, int height, std::string& error)
{
    CloseDisplay();
    CloseViewerWindow();
    static const bool ExitHandlerRegistered = [] {
        std::atexit(CloseViewerWindow);
        return true;
    }();
    (void)ExitHandlerRegistered;

    SetSdlHints();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        return false;
    }
    VideoStarted = true;
    SDL_Window* window =
        SDL_CreateWindow("", kWindowLeft, kWindowTop, width, height, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!window) {
        error = SDL_GetError();
        CloseViewerWindow();
        return false;
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    if (!renderer)
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        error = SDL_GetError();
        SDL_DestroyWindow(window);
        CloseViewerWindow();
        return false;
    }
    Viewer = std::make_unique<DisplayContext>(window, nullptr, renderer, width, height);
    ActivateDisplay(Viewer.get());
    ResetKeys();
    X = Y = -1;
    ButtonDown = false;
    Wheel = 0;
    return true;
}

int ViewerWidth()
{
    return Viewer ? Viewer->Width : 0;
}
int ViewerHeight()
{
    return Viewer ? Viewer->Height : 0;
}

void SetViewerTitle(const String& title)
{
    if (Viewer)
        SDL_SetWindowTitle(Viewer->Window, ToUtf8(title).c_str());
}

int PointerX()
{
    return X;
}
int PointerY()
{
    return Y;
}
int PointerButtonDown()
{
    return ButtonDown ? 1 : 0;
}

int WheelWasTurned()
{
    const int steps = Wheel;
    Wheel = 0;
    return steps;
}

namespace detail {

void FeedViewerEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (!IsViewerWindow(event.window.windowID))
            break;
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            Viewer->Width = event.window.data1;
            Viewer->Height = event.window.data2;
        } else if (event.window.event == SDL_WINDOWEVENT_LEAVE) {
            X = Y = -1;
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            ButtonDown = false;
        }
        break;
    case SDL_MOUSEMOTION:
        if (IsViewerWindow(event.motion.windowID)) {
            X = event.motion.x;
            Y = event.motion.y;
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            ButtonDown = event.type == SDL_MOUSEBUTTONDOWN;
            if (IsViewerWindow(event.button.windowID)) {
                X = event.button.x;
                Y = event.button.y;
            }
        }
        break;
    case SDL_MOUSEWHEEL:
        Wheel += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        break;
    default:
        break;
    }
}

}  // namespace detail

}  // namespace kzm
