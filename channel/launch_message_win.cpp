#include "channel/launch_message_win.h"

namespace {

// Posts until the window takes the message; false when the window is gone.
bool PostPatiently(HWND window, UINT message, LPARAM lParam) {
  while (!PostMessageW(window, message, 0, lParam)) {
    if (!IsWindow(window)) return false;
    // The queue is at its quota: the window thread is behind. Let it catch up.
    Sleep(1);
  }
  return true;
}

}  // namespace

void PostLaunchEvent(HWND window, std::unique_ptr<LaunchEvent> event) {
  if (!event) return;
  LaunchEvent* raw = event.release();
  if (!PostPatiently(window, WM_LAUNCH_EVENT, reinterpret_cast<LPARAM>(raw))) delete raw;
}

void PostUpdaterEnded(HWND window, uint32_t generation) {
  PostPatiently(window, WM_UPDATER_ENDED, static_cast<LPARAM>(generation));
}
