// The 2D display: a window or exclusive full screen, or an offscreen surface
// in memory, all drawn by the same code.
//
// Drawing state (blend mode, draw scale) persists until it is set again, as
// the engine relies on. Drawing with no display open does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/Object.h"
#include "core/String.h"
#include "image/Image.h"

namespace kzm {

// Blend modes by number: 1 solid, 2 masked (drawn where alpha >= 0.5),
// 3 alpha blending.
constexpr int kBlendSolid = 1;
constexpr int kBlendMask = 2;
constexpr int kBlendAlpha = 3;

// Opens the display, closing one already open. depth 0: a window whose client
// area is width x height at (32, 32), titled with the application title.
// Any other depth: exclusive full screen at that depth (else 32, else 24 bits
// per pixel), refresh rate nearest hertz, pointer moved to the centre. Both
// buffers start black and the drawing state at its defaults
// (masked blending, scale 1 x 1). Where the display cannot be made, a line
// naming the failing step goes to standard output and the process ends with
// status 0; the result is then never seen.
// Linear filtering, double buffering and vertical sync are always on. SDL's
// signal handlers are turned off, so Ctrl+C still ends the program. An exit
// handler, registered on the first call, closes the display.
Ref<Object> OpenDisplay(int width, int height, int depth, int hertz, int flags);
// The textures made for the display go with it; an image drawn on a later
// display gets new ones.
void CloseDisplay();

// Shows the back buffer; sync 1 waits for the vertical retrace.
void PresentFrame(int sync);
// Fills the back buffer with black.
void ClearFrame();
// Modes other than 1 and 2 blend like 3.
void SetBlendMode(int mode);
void SetDrawScale(float scaleX, float scaleY);
// Draws one frame of the image with its top-left corner at (x, y) in screen
// pixels, covering frame size x scale; a negative scale mirrors it to the
// left of (or above) the position. An absent image or a frame outside 0 to
// FrameCount - 1 (or beyond the image's pixels) draws nothing, and so does a
// scale that is 0 or not a finite number. A quad far larger than the display
// is cut to the texels that show (plus one each side for the filter); one
// still longer than 16384 pixels after the cut, where single texels cover
// thousands of pixels, is not drawn. The image's textures are made on its first
// draw.
void DrawImageFrame(const Image* image, float x, float y, int frame);

// Where the drawing plane lands on the display. While a view is set, a frame
// drawn at (x, y) lands at ((x - OriginX) x Zoom - ShiftX, (y - OriginY) x
// Zoom - ShiftY), its size times Zoom, with both edges of the quad snapped
// down to whole pixels, so frames that meet in the plane meet on the display
// at every zoom. The shift is in whole pixels and comes after the snap: a
// picture drawn in bands lands on each band exactly as on one large display.
// Without a view (as every display starts) frames land where they are drawn.
struct DisplayView {
    double Zoom = 1.0;
    double OriginX = 0.0;  // drawing-plane pixels
    double OriginY = 0.0;
    int ShiftX = 0;  // display pixels
    int ShiftY = 0;
};
// A zoom that is not a finite number above 0, or an origin that is not
// finite, clears the view instead.
void SetDisplayView(const DisplayView& view);
void ClearDisplayView();
// Scaled frames are sampled with linear filtering (the default, and what a
// newly opened display starts with), or with the nearest texel when off.
void SetDrawSmoothing(bool linear);

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

class DisplayContext;

// The largest offscreen display, in either direction: a band of a whole-map
// picture is as wide as the picture.
constexpr int kMaxOffscreenSide = 32768;

// An offscreen display: the same drawing code over a software renderer on a
// surface in memory; needs no window system. Making one closes the window
// display, if open, and makes it the display every drawing call above goes
// to, with the drawing state at its defaults and the buffer black. It stays
// the target until it is destroyed or another display opens; it keeps its
// pixels either way.
class OffscreenDisplay {
public:
    // A size outside 1 to kMaxOffscreenSide, or a surface that cannot be
    // made, leaves the display closed: no target, 0 x 0, no pixels.
    OffscreenDisplay(int width, int height);
    ~OffscreenDisplay();
    OffscreenDisplay(const OffscreenDisplay&) = delete;
    OffscreenDisplay& operator=(const OffscreenDisplay&) = delete;

    bool IsOpen() const;
    int Width() const;
    int Height() const;
    // The back buffer as 8-bit RGBA, top row first (alpha always 255).
    std::vector<std::uint8_t> ReadPixels() const;
    // Rows top to top + count - 1 the same way; empty when the rows are not
    // all within the display.
    std::vector<std::uint8_t> ReadPixels(int top, int count) const;
    // Fills the buffer with one colour, alpha included: cleared to (0, 0, 0,
    // 0), it stays transparent wherever nothing is drawn afterwards.
    void ClearTo(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha);
    // Rows top to top + count - 1 as 8-bit RGBA with the alpha that drawing
    // left (blending over a transparent pixel leaves it partly covered), the
    // colour not multiplied by it. Blending loses a level of alpha or so
    // each time a partly transparent pixel lands on an opaque one: alpha 250
    // and above reads as opaque. Empty when the rows are not all within the
    // display.
    std::vector<std::uint8_t> ReadPixelsWithAlpha(int top, int count) const;
    // Saves the back buffer as an 8-bit RGB PNG; false when it cannot.
    bool SavePng(const String& path) const;

private:
    std::unique_ptr<DisplayContext> Context;  // null when closed
};

}  // namespace kzm
