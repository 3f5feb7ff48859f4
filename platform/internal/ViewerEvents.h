// Inside the platform only: how the event pump hands the window system's
// messages to the viewer window (its size, the pointer, the wheel).
#pragma once

union SDL_Event;

namespace kzm::detail {

void FeedViewerEvent(const SDL_Event& event);

}  // namespace kzm::detail
