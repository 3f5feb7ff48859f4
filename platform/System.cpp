#include "platform/System.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include <SDL.h>
#include <unistd.h>

#include "platform/internal/Application.h"
#include "platform/internal/DisplayContext.h"
#include "platform/internal/InputEvents.h"
#include "platform/internal/ViewerEvents.h"

namespace kzm {

namespace {

bool Polling = false;

// The open display's window owns the notice; with none (or an offscreen
// display) the box stands on its own.
SDL_Window* NoticeParent()
{
    const DisplayContext* display = ActiveDisplay();
    return display ? display->Window : nullptr;
}

bool Terminating = false;

std::string FailureText()
{
    const std::exception_ptr failure = std::current_exception();
    if (!failure)
        return "terminate called without an active exception";
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "unknown exception";
    }
}

// Runs when a failure escapes every guard. The exit handlers still run so
// the display is closed (and a full-screen mode given back); a failure
// inside them ends the process at once.
[[noreturn]] void LastResort()
{
    static bool ending = false;
    if (ending)
        std::_Exit(-1);
    ending = true;
    const std::string text = FailureText();
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    std::exit(-1);
}

}  // namespace

void StartPlatform()
{
    // Before any SDL call of any component.
    SetSdlHints();
    const String folder = ExecutableFolder();
    if (!folder.empty() && chdir(ToUtf8(folder).c_str()) != 0)
        std::fprintf(stderr, "cannot enter %s\n", ToUtf8(folder).c_str());
    std::set_terminate(LastResort);
    detail::StartInput();
}

void EndProgram()
{
    std::exit(0);
}

String CurrentDirectory()
{
    std::string buffer(256, '\0');
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return ForwardSlashes(FromUtf8(buffer));
}

void ShowNotice(const String& text, bool serious)
{
    const std::string title = ToUtf8(ApplicationTitle());
    const std::string message = ToUtf8(text);
    const Uint32 icon = serious ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(icon, title.c_str(), message.c_str(), NoticeParent()) != 0) {
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", message.c_str());
        std::fflush(stderr);
    }
}

void HidePointer()
{
    SDL_ShowCursor(SDL_DISABLE);
}

void ShowPointer()
{
    SDL_ShowCursor(SDL_ENABLE);
}

void PollSystemEvents()
{
    if (Polling || !detail::StartInput())
        return;
    Polling = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        detail::FeedViewerEvent(event);
        if (event.type == SDL_QUIT || (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE))
            Terminating = true;
        detail::FeedInputEvent(event);
    }
    Polling = false;
}

bool TerminateRequested()
{
    return Terminating;
}

}  // namespace kzm
