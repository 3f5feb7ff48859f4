// What the display's source files share: one open display (a window or an
// offscreen surface) with its SDL renderer, and the current drawing target.
//
// Internal to platform/: it includes SDL, so nothing outside this folder may
// include it.
#pragma once

#include <memory>

#include <SDL.h>

namespace kzm {

// Lives exactly as long as its renderer. Textures made for a renderer hold a
// weak reference to its life and destroy themselves only while it lasts:
// SDL frees a renderer's textures together with the renderer, and destroying
// one afterwards would touch freed memory.
struct RendererLife {
    SDL_Renderer* Renderer = nullptr;
};

class DisplayContext {
public:
    // Takes ownership of the renderer and of the window or surface it draws
    // to (either may be null).
    DisplayContext(SDL_Window* window, SDL_Surface* surface, SDL_Renderer* renderer, int width, int height);
    ~DisplayContext();
    DisplayContext(const DisplayContext&) = delete;
    DisplayContext& operator=(const DisplayContext&) = delete;

    SDL_Window* const Window;    // null for an offscreen display
    SDL_Surface* const Surface;  // the offscreen target; null for a window
    SDL_Renderer* const Renderer;
    int Width;  // pixels; a resizable window's change with it
    int Height;
    // The largest texture the renderer accepts; 0 means no limit.
    int MaxTextureWidth = 0;
    int MaxTextureHeight = 0;
    int Sync = 1;                        // whether presents wait for the vertical retrace
    std::shared_ptr<RendererLife> Life;  // let go only when the renderer goes
};

// The display that drawing goes to, or null when none is open.
DisplayContext* ActiveDisplay();
// Makes the display the drawing target, clears it (front and back buffer of
// a window) to black and sets the drawing state to its defaults: masked
// blending, scale 1 x 1.
void ActivateDisplay(DisplayContext* display);
// Drawing stops if the display was the target.
void DeactivateDisplay(const DisplayContext* display);

}  // namespace kzm
