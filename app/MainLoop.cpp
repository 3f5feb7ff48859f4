#include "app/MainLoop.h"

#include "app/Globals.h"
#include "app/ScrollInput.h"
#include "app/TWindowMode.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/System.h"
#include "render/TestBedView.h"

namespace kzm {

namespace {

constexpr int kRefreshHertz = 60;

}  // namespace

std::int32_t MainLoop()
{
    ModeChoice = TWindowMode::Choose(u"KZM Test Game Engine");
    switch (ModeChoice) {
    case 0:
        EndProgram();
    case 1:
        OpenDisplay(GraphicsWidth, GraphicsHeight, 0, kRefreshHertz, 0);
        break;
    case 2:
        OpenDisplay(GraphicsWidth, GraphicsHeight, GraphicsDepth, kRefreshHertz, 0);
        break;
    default:
        break;
    }

    Running = World->LoadMap(CurrentDirectory() + u"/NewWorld.kzm", GraphicsWidth, GraphicsHeight, kTestBedView.Left,
                             kTestBedView.Top);
    if (Running != 1) {
        ShowNotice(u"Unable to load mapfile!", false);
        return 0;
    }
    // The directory is asked for afresh, and only once the map is in.
    World->SetTilesetPath(0, CurrentDirectory() + u"/resource0.png");
    HidePointer();

    while (Running == 1) {
        if (KeyWasHit(kKeyEscape) != 0)
            Running = 0;  // the frame still completes
        UpdateScroll();
        // On a black buffer with alpha blending, as `kzm render` draws it.
        DrawTestBedFrame(*World);
        PresentFrame(1);
        PollSystemEvents();
    }

    ShowPointer();
    return 0;
}

}  // namespace kzm
