#include "platform/internal/Application.h"

#include <string>

#include <SDL.h>
#include <unistd.h>

namespace kzm {

namespace {

std::string ExecutablePath()
{
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0)
        return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

}  // namespace

String ApplicationTitle()
{
    const std::string path = ExecutablePath();
    return FromUtf8(path.substr(path.find_last_of('/') + 1));
}

String ExecutableFolder()
{
    const std::string path = ExecutablePath();
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return FromUtf8(path.substr(0, slash == 0 ? 1 : slash));
}

void SetSdlHints()
{
    // SDL's own SIGINT and SIGTERM handlers would only queue a quit event,
    // which the program never reads: Ctrl+C and kill must still end it.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Textures get their filtering one by one; this covers any SDL makes.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
}

}  // namespace kzm
