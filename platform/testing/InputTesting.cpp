#include "platform/testing/InputTesting.h"

#include <SDL.h>

#include "platform/System.h"
#include "platform/internal/InputEvents.h"

namespace kzm {

namespace {

SDL_Joystick* VirtualHandle = nullptr;  // our own handle, for setting its axes

}  // namespace

bool SimulateKey(int code, bool down, bool repeat)
{
    const int sdlKey = detail::SdlKeyFromVirtual(code);
    if (sdlKey == 0 || !detail::StartInput())
        return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sdlKey;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(sdlKey);
    return SDL_PushEvent(&event) == 1;
}

void SimulateFocusChange(bool gained)
{
    if (!detail::StartInput())
        return;
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&event);
}

bool AttachVirtualJoystick()
{
    if (VirtualHandle || !detail::StartInput())
        return VirtualHandle != nullptr;
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 0, 0);
    if (index < 0)
        return false;
    VirtualHandle = SDL_JoystickOpen(index);
    if (!VirtualHandle) {
        SDL_JoystickDetachVirtual(index);
        return false;
    }
    PollSystemEvents();
    return true;
}

bool SetVirtualJoystickAxis(int axis, int value)
{
    if (!VirtualHandle || value < -32768 || value > 32767)
        return false;
    return SDL_JoystickSetVirtualAxis(VirtualHandle, axis, static_cast<Sint16>(value)) == 0;
}

void DetachVirtualJoystick()
{
    if (!VirtualHandle)
        return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(VirtualHandle);
    SDL_JoystickClose(VirtualHandle);
    VirtualHandle = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index)
        if (SDL_JoystickGetDeviceInstanceID(index) == id)
            SDL_JoystickDetachVirtual(index);
    PollSystemEvents();
}

}  // namespace kzm
