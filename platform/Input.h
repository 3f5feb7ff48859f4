// Keyboard and joystick input, read the way the program asks for it.
//
// Keys are named by their Windows virtual-key codes: 8 Backspace, 9 Tab,
// 13 Return, 16 Shift, 17 Control, 18 Alt, 27 Escape, 32 Space, 37 Left,
// 38 Up, 39 Right, 40 Down, 36 Home, 48-57 the digits, 65-90 the letters,
// 107 and 109 the keypad's + and -, 112-123 F1 to F12, 187 the = (+) key, 189
// the - key. Any other code, negative ones included, is a key that is never
// down and never hit.
//
// The key tables are fed only by the window system's messages, which
// PollSystemEvents hands over; both key queries poll first. A key is down
// from its key-down message to its key-up message. Whenever the display
// gains or loses the focus, every key counts as up and every hit count is
// cleared, so a key released elsewhere is never left stuck.
#pragma once

namespace kzm {

// The keys the program asks for.
constexpr int kKeyEscape = 27;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

// How often the key went from up to down since the previous query of that
// key; the query resets the count to 0. The keyboard's auto-repeat does not
// count, so a held key counts once.
int KeyWasHit(int code);
// 1 while the key is held, 0 otherwise.
int KeyIsDown(int code);

// The horizontal and vertical axis of a joystick, -1.0 at the left (top) end
// and +1.0 at the right (bottom) end, each end read exactly, as of the last
// PollSystemEvents (a key query polls; a joystick read does not). Port 0 is the
// system's first joystick, the only one served; other ports, and port 0 with
// no joystick attached, read 0.0. A joystick plugged in while the program
// runs is taken as port 0 when none is in use, and one pulled out is let go.
float JoystickX(int port);
float JoystickY(int port);

// Forgets every key: all up, all hit counts 0. The display calls it when it
// opens; focus changes do it on their own.
void ResetKeys();

}  // namespace kzm
