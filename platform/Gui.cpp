#include "platform/Gui.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace kzm {

namespace {

// An element backed by a toolkit widget. The tree of gadgets mirrors the
// widget tree so that destroying a window can release its children's
// widgets first: the toolkit would otherwise delete them behind the
// gadgets' backs.
class WidgetGadget final : public Gadget, public std::enable_shared_from_this<WidgetGadget> {
public:
    Fl_Widget* Widget = nullptr;  // owned; null once destroyed
    WidgetGadget* Parent = nullptr;
    std::vector<WidgetGadget*> Children;
    // For a window whose client area was shrunk to fit its frame into the
    // asked size: that size, which a button may take back (FitButton).
    int AskedWidth = 0;
    int AskedHeight = 0;

    ~WidgetGadget() override { Release(); }

    int X() const override { return Widget ? Widget->x() : 0; }
    int Y() const override { return Widget ? Widget->y() : 0; }
    int Width() const override { return Widget ? Widget->w() : 0; }
    int Height() const override { return Widget ? Widget->h() : 0; }

    Fl_Window* Window() const { return Widget ? Widget->as_window() : nullptr; }

    void Release()
    {
        while (!Children.empty())
            Children.back()->Release();
        if (Parent) {
            std::erase(Parent->Children, this);
            Parent = nullptr;
        }
        delete Widget;  // takes itself out of its parent group
        Widget = nullptr;
    }
};

struct GuiEvent {
    int Id = 0;
    Ref<Gadget> Source;
};

std::deque<GuiEvent> Queue;
GuiEvent Current;

// Every live element; an element lives until DestroyGadget, not until its
// last reference goes. Never freed, so no widget is deleted while the
// toolkit shuts down at exit.
std::vector<Ref<WidgetGadget>>& LiveGadgets()
{
    static auto* live = new std::vector<Ref<WidgetGadget>>;
    return *live;
}

// The toolkit ends the process when it cannot reach the window system;
// opening the connection ourselves first turns that into an answer.
bool ReachWindowSystem()
{
    if (fl_display)
        return true;
    ::Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    fl_open_display(display);
    return true;
}

// The window manager's frame around a client window, in pixels.
struct FrameExtents {
    long Left = 0, Right = 0, Top = 0, Bottom = 0;
};

bool ReadCardinals(::Window window, const char* name, long* values, unsigned long count)
{
    const Atom property = XInternAtom(fl_display, name, False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(fl_display, window, property, 0, static_cast<long>(count), False,
                                         AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
                      data && format == 32 && items >= count;
    if (read)
        for (unsigned long i = 0; i < count; ++i)
            values[i] = reinterpret_cast<long*>(data)[i];  // format 32 comes as longs
    if (data)
        XFree(data);
    return read;
}

// A window manager that follows the desktop conventions is running: its
// check window is named on the root and still exists. Only such a manager
// says how large its frames are.
bool ConventionalWindowManager()
{
    long check = 0;
    if (!ReadCardinals(DefaultRootWindow(fl_display), "_NET_SUPPORTING_WM_CHECK", &check, 1) || check == 0)
        return false;
    long again = 0;
    return ReadCardinals(static_cast<::Window>(check), "_NET_SUPPORTING_WM_CHECK", &again, 1) && again == check;
}

// The frame the manager put around the window, once it has: it frames a
// window shortly after it is shown. A second at most.
bool WaitForFrame(Fl_Window& window, FrameExtents& frame)
{
    if (!fl_display || !ConventionalWindowManager())
        return false;
    for (int tries = 0; tries < 100; ++tries) {
        XSync(fl_display, False);
        long values[4];
        if (ReadCardinals(fl_xid(&window), "_NET_FRAME_EXTENTS", values, 4)) {
            frame = {values[0], values[1], values[2], values[3]};
            return true;
        }
        Fl::wait(0.01);
    }
    return false;
}

// The place and size asked for are the outer frame's. The toolkit places and
// sizes the client area (its gravity is static: the client's own corner goes
// where asked), so under a manager that frames it the window would come out
// larger than asked and off by the frame. Where the manager tells its frame,
// the client area moves inside it and shrinks by it.
void FitFrame(WidgetGadget& gadget, int x, int y, int width, int height)
{
    Fl_Window& window = *gadget.Window();
    FrameExtents frame;
    if (!WaitForFrame(window, frame))
        return;
    const int clientWidth = width - static_cast<int>(frame.Left + frame.Right);
    const int clientHeight = height - static_cast<int>(frame.Top + frame.Bottom);
    if (clientWidth <= 0 || clientHeight <= 0)
        return;
    gadget.AskedWidth = width;
    gadget.AskedHeight = height;
    window.size_range(clientWidth, clientHeight, clientWidth, clientHeight);
    window.resize(x + static_cast<int>(frame.Left), y + static_cast<int>(frame.Top), clientWidth, clientHeight);
    XSync(fl_display, False);
}

// A button must lie within the client area, even where that makes the frame
// larger than asked: the client area grows back, at most to the asked size.
void FitButton(WidgetGadget& window, const Fl_Widget& button)
{
    Fl_Window& shown = *window.Window();
    const int width = std::min(std::max(shown.w(), button.x() + button.w()), std::max(window.AskedWidth, shown.w()));
    const int height = std::min(std::max(shown.h(), button.y() + button.h()), std::max(window.AskedHeight, shown.h()));
    if (width == shown.w() && height == shown.h())
        return;
    shown.size_range(width, height, width, height);
    shown.size(width, height);
    if (fl_display)
        XSync(fl_display, False);
}

void Post(int id, void* source)
{
    Queue.push_back({id, static_cast<WidgetGadget*>(source)->shared_from_this()});
}

void OnWindowClose(Fl_Widget*, void* source)
{
    // The toolkit also calls a window's callback for an Escape that no
    // widget took as its shortcut; Escape belongs to the cancel button, so
    // it is no close request.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape)
        return;
    Post(kEventWindowClose, source);
}

void OnButton(Fl_Widget*, void* source)
{
    Post(kEventGadgetAction, source);
}

Ref<WidgetGadget> Adopt(Fl_Widget* widget, WidgetGadget* parent)
{
    auto gadget = std::make_shared<WidgetGadget>();
    gadget->Widget = widget;
    gadget->Parent = parent;
    if (parent)
        parent->Children.push_back(gadget.get());
    LiveGadgets().push_back(gadget);
    return gadget;
}

WidgetGadget* LiveWindow(const Ref<Gadget>& parent)
{
    auto* gadget = dynamic_cast<WidgetGadget*>(parent.get());
    return gadget && gadget->Window() ? gadget : nullptr;
}

// Puts a new child widget into the parent window and shows it.
Ref<Gadget> AddChild(Fl_Widget* widget, const String& text, WidgetGadget& parent)
{
    widget->copy_label(ToUtf8(text).c_str());
    parent.Window()->add(widget);
    widget->redraw();
    return Adopt(widget, &parent);
}

}  // namespace

Ref<Gadget> DesktopArea()
{
    if (!ReachWindowSystem())
        return std::make_shared<Gadget>();
    int left = 0, top = 0, right = 0, bottom = 0;
    for (int screen = 0; screen < Fl::screen_count(); ++screen) {
        int x = 0, y = 0, w = 0, h = 0;
        Fl::screen_xywh(x, y, w, h, screen);
        if (screen == 0) {
            left = x, top = y, right = x + w, bottom = y + h;
            continue;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + w);
        bottom = std::max(bottom, y + h);
    }
    return std::make_shared<Gadget>(left, top, right - left, bottom - top);
}

Ref<Gadget> CreateTopWindow(const String& title, int x, int y, int width, int height, const Ref<Gadget>&, int style)
{
    if (!ReachWindowSystem() || width <= 0 || height <= 0)
        return nullptr;
    Fl_Group* current = Fl_Group::current();
    auto* window = new Fl_Window(x, y, width, height);
    window->end();
    Fl_Group::current(current);
    window->copy_label(ToUtf8(title).c_str());
    if ((style & kWindowTitled) == 0)
        window->border(0);
    window->size_range(width, height, width, height);  // no resizable border
    Ref<WidgetGadget> gadget = Adopt(window, nullptr);
    window->callback(OnWindowClose, gadget.get());
    window->show();
    if ((style & kWindowTitled) != 0)
        FitFrame(*gadget, x, y, width, height);
    return gadget;
}

Ref<Gadget> CreateTextLabel(const String& text, int x, int y, int width, int height, const Ref<Gadget>& parent,
                            int style)
{
    WidgetGadget* window = LiveWindow(parent);
    if (!window)
        return nullptr;
    auto* label = new Fl_Box(FL_NO_BOX, x, y, width, height, nullptr);
    label->align(((style & kLabelCentred) != 0 ? FL_ALIGN_CENTER : FL_ALIGN_LEFT) | FL_ALIGN_INSIDE);
    return AddChild(label, text, *window);
}

Ref<Gadget> CreatePushButton(const String& text, int x, int y, int width, int height, const Ref<Gadget>& parent,
                             int style)
{
    WidgetGadget* window = LiveWindow(parent);
    if (!window)
        return nullptr;
    auto* button = new Fl_Button(x, y, width, height);
    if (style == kButtonCancel)
        button->shortcut(FL_Escape);
    Ref<Gadget> gadget = AddChild(button, text, *window);
    button->callback(OnButton, gadget.get());
    FitButton(*window, *button);
    return gadget;
}

void DestroyGadget(const Ref<Gadget>& gadget)
{
    auto* widget = dynamic_cast<WidgetGadget*>(gadget.get());
    if (!widget || !widget->Widget)
        return;
    // The element and everything inside it leave the registry; held here
    // until the registry is tidy, since leaving it may free them.
    std::vector<Ref<WidgetGadget>> doomed{widget->shared_from_this()};
    for (std::size_t i = 0; i < doomed.size(); ++i)
        for (WidgetGadget* child : doomed[i]->Children)
            doomed.push_back(child->shared_from_this());
    const bool wasWindow = widget->Window() != nullptr;
    widget->Release();
    std::erase_if(LiveGadgets(), [&](const Ref<WidgetGadget>& live) {
        return std::find(doomed.begin(), doomed.end(), live) != doomed.end();
    });
    // The window must be off the screen when this returns, not whenever the
    // toolkit next talks to the server.
    if (wasWindow && fl_display)
        XSync(fl_display, False);
}

void WaitNextEvent()
{
    while (Queue.empty())
        Fl::wait();
    Current = std::move(Queue.front());
    Queue.pop_front();
}

int LastEventId()
{
    return Current.Id;
}

Ref<Gadget> LastEventSource()
{
    return Current.Source;
}

}  // namespace kzm
