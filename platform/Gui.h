// A small GUI toolkit for the display-mode dialog: top-level windows, text
// labels and push buttons, and one queue of GUI events.
//
// Elements live until DestroyGadget, whoever holds a reference; destroying
// a window destroys whatever is still inside it. Events come only from the
// window system, handled while WaitNextEvent waits.
#pragma once

#include "core/Object.h"
#include "core/String.h"

namespace kzm {

// Event kinds, in the GUI layer's numbering.
constexpr int kEventWindowClose = 16387;  // the user asks to close a window; it stays open
constexpr int kEventGadgetAction = 8193;  // a push button was clicked

// Window style 1: a title bar with a close box, fixed size.
constexpr int kWindowTitled = 1;
// Label style 16: text centred within the label's width, no frame.
constexpr int kLabelCentred = 16;
// Button style 1: an ordinary push button; 5: the window's cancel button,
// clicked by Escape.
constexpr int kButtonPush = 1;
constexpr int kButtonCancel = 5;

// A GUI element: a window, a label, a button, or the desktop. Positions are
// in the parent's client area (on the screen for windows and the desktop),
// in pixels; a destroyed element reads 0 everywhere.
class Gadget : public Object {
public:
    Gadget() = default;
    Gadget(int x, int y, int width, int height) : Left(x), Top(y), Wide(width), High(height) {}

    virtual int X() const { return Left; }
    virtual int Y() const { return Top; }
    virtual int Width() const { return Wide; }
    virtual int Height() const { return High; }

private:
    int Left = 0;
    int Top = 0;
    int Wide = 0;
    int High = 0;
};

// The area that spans every monitor; 0 x 0 when no window system can be
// reached.
Ref<Gadget> DesktopArea();

// A top-level window at (x, y) on the screen with that outer size, shown at
// once; none when no window can be made (no window system). Without a window
// manager there is no frame, and the client area is the whole window. Under
// a manager that says how large its frames are, a titled window's client
// area shrinks by the frame and sits inside it, so that the frame has the
// asked place and size; the client area grows back (at most to the asked
// size) where a push button would not fit in it. Under a manager that does
// not say, the manager's frame goes around the asked client area. parent is
// not used: every window is top-level.
Ref<Gadget> CreateTopWindow(const String& title, int x, int y, int width, int height, const Ref<Gadget>& parent,
                            int style);
// A static text in the parent window's client area, shown at once; none
// when the parent is not a live window.
Ref<Gadget> CreateTextLabel(const String& text, int x, int y, int width, int height, const Ref<Gadget>& parent,
                            int style);
// A push button in the parent window's client area, shown at once. Clicking
// it, or pressing it from the keyboard, queues an action event whose source
// is the button. None when the parent is not a live window.
Ref<Gadget> CreatePushButton(const String& text, int x, int y, int width, int height, const Ref<Gadget>& parent,
                             int style);
// Takes the element off the screen and frees it; an element already
// destroyed, or none, is passed over.
void DestroyGadget(const Ref<Gadget>& gadget);

// Waits, handling window-system messages meanwhile, until the queue holds an
// event; then takes out the oldest one and makes it the current event. There
// is no time-out.
void WaitNextEvent();
// The current event's kind, 0 before the first.
int LastEventId();
// The element that produced the current event; none before the first.
Ref<Gadget> LastEventSource();

}  // namespace kzm
