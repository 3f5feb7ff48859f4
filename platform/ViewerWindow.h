// A window for looking at maps: resizable, captioned by the program, with the
// pointer's position, its left button and the mouse wheel.
//
// Drawing goes to it exactly as to the display of OpenDisplay (the same
// drawing calls, PresentFrame and ClearFrame); keys are read as ever with
// KeyWasHit and KeyIsDown, and the window's close box shows in
// TerminateRequested. The pointer and the window's size are brought in by
// PollSystemEvents (a key query polls too).
#pragma once

#include <string>

#include "core/String.h"

namespace kzm {

// Opens a resizable window whose client area is width x height at (32, 32),
// closing any display already open, with vertical sync and the drawing state
// at its defaults. False, with SDL's reason in error, when it cannot be made;
// nothing is open then.
bool OpenViewerWindow(int width, int height, std::string& error);
// The client area's size now, following the user's resizing; 0 x 0 with no
// viewer window open.
int ViewerWidth();
int ViewerHeight();
void SetViewerTitle(const String& title);

// The pointer in client-area pixels, as of the last poll; -1, -1 while it is
// outside the window.
int PointerX();
int PointerY();
// 1 while the left button is held, 0 otherwise.
int PointerButtonDown();
// Wheel steps turned since the previous query (away from the user positive),
// and resets the count.
int WheelWasTurned();

}  // namespace kzm
