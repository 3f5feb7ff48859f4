#include "platform/Input.h"

#include <array>

#include <SDL.h>

#include "platform/System.h"
#include "platform/internal/Application.h"
#include "platform/internal/InputEvents.h"

namespace kzm {

namespace {

constexpr int kKeyCodes = 256;

struct KeyPair {
    int Code;
    SDL_Keycode Sdl;
};

// Letters and digits are added by range in the lookups below.
constexpr KeyPair kNamedKeys[] = {
    {8, SDLK_BACKSPACE},  {9, SDLK_TAB},      {13, SDLK_RETURN}, {13, SDLK_KP_ENTER}, {16, SDLK_LSHIFT},
    {16, SDLK_RSHIFT},    {17, SDLK_LCTRL},   {17, SDLK_RCTRL},  {18, SDLK_LALT},     {18, SDLK_RALT},
    {27, SDLK_ESCAPE},    {32, SDLK_SPACE},   {37, SDLK_LEFT},   {38, SDLK_UP},       {39, SDLK_RIGHT},
    {40, SDLK_DOWN},      {112, SDLK_F1},     {113, SDLK_F2},    {114, SDLK_F3},      {115, SDLK_F4},
    {116, SDLK_F5},       {117, SDLK_F6},     {118, SDLK_F7},    {119, SDLK_F8},      {120, SDLK_F9},
    {121, SDLK_F10},      {122, SDLK_F11},    {123, SDLK_F12},   {36, SDLK_HOME},     {107, SDLK_KP_PLUS},
    {109, SDLK_KP_MINUS}, {187, SDLK_EQUALS}, {187, SDLK_PLUS},  {189, SDLK_MINUS},
};

// Fed from the event stream alone: SDL's own keyboard state does not see
// pushed events, and the hit counts need the transitions anyway.
std::array<bool, kKeyCodes> KeyDown{};
std::array<int, kKeyCodes> KeyHits{};

// Port 0; null while no joystick is attached.
SDL_Joystick* Stick = nullptr;

bool ValidCode(int code)
{
    return code > 0 && code < kKeyCodes;
}

void OpenFirstJoystick()
{
    if (!Stick && SDL_NumJoysticks() > 0)
        Stick = SDL_JoystickOpen(0);
}

void OnKey(const SDL_KeyboardEvent& key)
{
    const int code = detail::VirtualKeyFromSdl(key.keysym.sym);
    if (!ValidCode(code))
        return;
    if (key.type == SDL_KEYUP) {
        KeyDown[code] = false;
        return;
    }
    // A repeat is the keyboard's, not the user's: it neither counts nor
    // brings back a key that a focus change released.
    if (key.repeat || KeyDown[code])
        return;
    KeyDown[code] = true;
    ++KeyHits[code];
}

void OnJoystickRemoved(SDL_JoystickID which)
{
    if (!Stick || SDL_JoystickInstanceID(Stick) != which)
        return;
    SDL_JoystickClose(Stick);
    Stick = nullptr;
    OpenFirstJoystick();
}

// -32768 reads -1.0 and 32767 reads +1.0, both exactly: the two halves of
// the range have different lengths.
float AxisValue(int axis)
{
    if (!Stick || SDL_JoystickNumAxes(Stick) <= axis)
        return 0.0f;
    const Sint16 raw = SDL_JoystickGetAxis(Stick, axis);
    return raw < 0 ? static_cast<float>(raw) / 32768.0f : static_cast<float>(raw) / 32767.0f;
}

// Handles no window-system messages: those are handled only by the polling
// call, before each key query and in the dialog's wait. The positions read
// are the ones the last of those brought in; the program asks for a key
// before every joystick read, so they are the frame's.
float ReadAxis(int port, int axis)
{
    return port == 0 ? AxisValue(axis) : 0.0f;
}

}  // namespace

namespace detail {

bool StartInput()
{
    static const bool started = [] {
        SetSdlHints();
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_EVENTS) != 0)
            return false;
        OpenFirstJoystick();
        return true;
    }();
    return started;
}

void FeedInputEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        OnKey(event.key);
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
            ResetKeys();
        break;
    case SDL_JOYDEVICEADDED:
        if (!Stick)
            Stick = SDL_JoystickOpen(event.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        OnJoystickRemoved(event.jdevice.which);
        break;
    default:
        break;
    }
}

int VirtualKeyFromSdl(int sdlKey)
{
    if (sdlKey >= SDLK_a && sdlKey <= SDLK_z)
        return 'A' + (sdlKey - SDLK_a);
    if (sdlKey >= SDLK_0 && sdlKey <= SDLK_9)
        return '0' + (sdlKey - SDLK_0);
    for (const KeyPair& pair : kNamedKeys)
        if (pair.Sdl == sdlKey)
            return pair.Code;
    return 0;
}

int SdlKeyFromVirtual(int code)
{
    if (code >= 'A' && code <= 'Z')
        return SDLK_a + (code - 'A');
    if (code >= '0' && code <= '9')
        return SDLK_0 + (code - '0');
    for (const KeyPair& pair : kNamedKeys)
        if (pair.Code == code)
            return pair.Sdl;
    return 0;
}

}  // namespace detail

int KeyWasHit(int code)
{
    PollSystemEvents();
    if (!ValidCode(code))
        return 0;
    const int hits = KeyHits[code];
    KeyHits[code] = 0;
    return hits;
}

int KeyIsDown(int code)
{
    PollSystemEvents();
    return ValidCode(code) && KeyDown[code] ? 1 : 0;
}

float JoystickX(int port)
{
    return ReadAxis(port, 0);
}

float JoystickY(int port)
{
    return ReadAxis(port, 1);
}

void ResetKeys()
{
    KeyDown.fill(false);
    KeyHits.fill(0);
}

}  // namespace kzm
