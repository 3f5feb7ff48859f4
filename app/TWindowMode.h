// The display-mode dialog: windowed, full screen, or not at all.
#pragma once

#include <cstdint>
#include <optional>

#include "core/Object.h"
#include "core/String.h"
#include "platform/Gui.h"

namespace kzm {

class TWindowMode : public Object {
public:
    // Shows a 300 x 100 window centred on the desktop with the credit line
    // and the buttons "Windowed", "Full Screen" and "Quit", waits until one
    // is clicked or the window is closed, destroys the window and answers
    // 1 windowed, 2 full screen, 0 quit (also on a close request). When no
    // window can be made it shows "Unable to create window!" and answers 0.
    static std::int32_t Choose(const String& title);

    TWindowMode() = delete;  // used through the class only
};

// Where the dialog's outer frame goes on a desktop of that size. Each half
// is taken on its own, truncating, before the subtraction; the desktop's own
// left and top are not added.
struct WindowModePlace {
    std::int32_t X;
    std::int32_t Y;
};
WindowModePlace PlaceWindowMode(std::int32_t desktopWidth, std::int32_t desktopHeight);

// The dialog's answer to one event, or none when it goes on waiting: a close
// request from any source answers 0; an action from one of the three buttons
// answers for that button; everything else is passed over.
std::optional<std::int32_t> AnswerWindowMode(int eventId, const Gadget* source, const Gadget* windowed,
                                             const Gadget* fullScreen, const Gadget* quit);

}  // namespace kzm
