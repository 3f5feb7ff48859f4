// Test support: feeds the real input layer through the window system's event
// stream, the same path a user's key or a plugged-in joystick takes. Needs no
// window (works under SDL_VIDEODRIVER=dummy).
#pragma once

namespace kzm {

// Queues a key message for the virtual-key code; the next poll delivers it.
// repeat marks a key-down as the keyboard's auto-repeat. False for a code
// the input layer does not know.
bool SimulateKey(int code, bool down, bool repeat = false);
// Queues the display window gaining or losing the focus.
void SimulateFocusChange(bool gained);

// A virtual joystick with two axes, both centred; the input layer takes it
// as port 0 at its next poll when no other joystick is in use. False when
// SDL cannot make one.
bool AttachVirtualJoystick();
// Axis 0 is horizontal, 1 vertical; value is the raw -32768 ... 32767.
bool SetVirtualJoystickAxis(int axis, int value);
void DetachVirtualJoystick();

}  // namespace kzm
