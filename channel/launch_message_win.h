#pragma once
// The one message that crosses threads: a reader thread hands a parsed line to
// the launcher window. lParam carries a heap LaunchEvent (never 0 from a
// reader); ownership passes to the window thread at the moment of posting.
#include <windows.h>

#include <memory>

#include "channel/launch_event.h"

constexpr UINT WM_LAUNCH_EVENT = WM_APP + 1;

// Posts the event to the window; with no event it does nothing. Called on a
// reader thread. The caller keeps no reference. When the window's queue is
// full (the platform allows 10,000 posted messages per thread) the post is
// retried every millisecond for as long as the window exists, so no event of a
// fast updater is dropped; an event that cannot be delivered because the
// window is gone is freed here.
void PostLaunchEvent(HWND window, std::unique_ptr<LaunchEvent> event);

// Window thread: takes ownership of the event carried by a WM_LAUNCH_EVENT
// message (null when lParam is 0). The event is freed when the result goes.
inline std::unique_ptr<LaunchEvent> TakeLaunchEvent(LPARAM lParam) {
  return std::unique_ptr<LaunchEvent>(reinterpret_cast<LaunchEvent*>(lParam));
}
