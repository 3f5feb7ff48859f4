#include "app/TWindowMode.h"

#include "platform/System.h"

namespace kzm {

namespace {

constexpr std::int32_t kWidth = 300;
constexpr std::int32_t kHeight = 100;

}  // namespace

WindowModePlace PlaceWindowMode(std::int32_t desktopWidth, std::int32_t desktopHeight)
{
    return {desktopWidth / 2 - kWidth / 2, desktopHeight / 2 - kHeight / 2};
}

std::optional<std::int32_t> AnswerWindowMode(int eventId, const Gadget* source, const Gadget* windowed,
                                             const Gadget* fullScreen, const Gadget* quit)
{
    if (eventId == kEventWindowClose)
        return 0;
    if (eventId != kEventGadgetAction || !source)
        return std::nullopt;
    if (source == windowed)
        return 1;
    if (source == fullScreen)
        return 2;
    if (source == quit)
        return 0;
    return std::nullopt;
}

std::int32_t TWindowMode::Choose(const String& title)
{
    const Ref<Gadget> desktop = DesktopArea();
    const WindowModePlace place = PlaceWindowMode(desktop->Width(), desktop->Height());
    const Ref<Gadget> window = CreateTopWindow(title, place.X, place.Y, kWidth, kHeight, nullptr, kWindowTitled);
    if (!window) {
        ShowNotice(u"Unable to create window!", false);
        return 0;
    }
    const Ref<Gadget> label = CreateTextLabel(u"by Quillon Varr", 0, 5, 300, 24, window, kLabelCentred);
    const Ref<Gadget> windowed = CreatePushButton(u"Windowed", 10, 40, 90, 24, window, kButtonPush);
    const Ref<Gadget> fullScreen = CreatePushButton(u"Full Screen", 115, 40, 90, 24, window, kButtonPush);
    const Ref<Gadget> quit = CreatePushButton(u"Quit", 220, 40, 70, 24, window, kButtonCancel);

    std::optional<std::int32_t> answer;
    while (!answer) {
        WaitNextEvent();
        answer = AnswerWindowMode(LastEventId(), LastEventSource().get(), windowed.get(), fullScreen.get(), quit.get());
    }

    DestroyGadget(label);
    DestroyGadget(windowed);
    DestroyGadget(fullScreen);
    DestroyGadget(quit);
    DestroyGadget(window);
    return *answer;
}

}  // namespace kzm
