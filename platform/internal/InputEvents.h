// Inside the platform only: how the event pump hands the window system's
// messages to the input tables. Not for the layers above.
#pragma once

union SDL_Event;

namespace kzm::detail {

// Starts SDL's joystick and event subsystems, once; false when SDL refuses.
// Every input query and the event pump call it, so input works whether or
// not StartPlatform ran (the tests skip it).
bool StartInput();

// Updates the key tables and the joystick from one message.
void FeedInputEvent(const SDL_Event& event);

// Between Windows virtual-key codes and SDL key codes; 0 where a code has
// no counterpart.
int VirtualKeyFromSdl(int sdlKey);
int SdlKeyFromVirtual(int code);

}  // namespace kzm::detail
