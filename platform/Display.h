// The 2D display: a window or exclusive full screen, or an offscreen surface
// in memory, all drawn by the same code.
//
// Drawing state (blend mode, draw scale) persists until it is set again, as
// the engine relies on. Drawing with no display open does nothing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Image.h"
#include "platform/Object.h"
#include "platform/String.h"

namespace kzm {

// Blend modes by number: 1 solid, 2 masked (drawn where alpha >= 0.5),
// 3 alpha blending.
constexpr int kBlendSolid = 1;
constexpr int kBlendMask = 2;
constexpr int kBlendAlpha = 3;

// Opens the display, closing one already open. depth 0: a window whose client
// area is width x height at (32, 32), titled with the application title.
// Any other depth: exclusive full screen at that depth, refresh rate nearest
// hertz. Both buffers start black and the drawing state at its defaults
// (masked blending, scale 1 x 1). Where the display cannot be made, a line
// naming the failing step goes to standard output and the process ends with
// status 0; the result is then never seen.
Ref<Object> OpenDisplay(int width, int height, int depth, int hertz, int flags);
void CloseDisplay();

// Shows the back buffer; sync 1 waits for the vertical retrace.
void PresentFrame(int sync);
// Fills the back buffer with black.
void ClearFrame();
void SetBlendMode(int mode);
void SetDrawScale(float scaleX, float scaleY);
// Draws one frame of the image with its top-left corner at (x, y) in screen
// pixels, covering frame size x scale; a negative scale mirrors it to the
// left of (or above) the position. An absent image or a frame outside 0 to
// FrameCount - 1 draws nothing. The image's textures are made on its first
// draw.
void DrawImageFrame(const Image* image, float x, float y, int frame);

// Receives the engine's drawing calls in place of the display: tests record
// them, benchmarks drop them. While a sink is set, SetDrawScale and
// DrawImageFrame go to it alone. Returns the previous sink.
class DrawSink {
public:
    virtual ~DrawSink() = default;
    virtual void SetDrawScale(float scaleX, float scaleY) = 0;
    virtual void DrawImageFrame(const Image* image, float x, float y, int frame) = 0;
};
DrawSink* SetDrawSink(DrawSink* sink);

// An offscreen display: the same drawing code over a software renderer on a
// surface in memory; needs no window system. While it lives it is the
// display every drawing call above goes to (at most one display at a time).
class OffscreenDisplay {
public:
    OffscreenDisplay(int width, int height);
    ~OffscreenDisplay();
    OffscreenDisplay(const OffscreenDisplay&) = delete;
    OffscreenDisplay& operator=(const OffscreenDisplay&) = delete;

    int Width() const;
    int Height() const;
    // The back buffer as 8-bit RGBA, top row first (alpha always 255).
    std::vector<std::uint8_t> ReadPixels() const;
    // Saves the back buffer as an 8-bit RGB PNG.
    bool SavePng(const String& path) const;
};

}  // namespace kzm
