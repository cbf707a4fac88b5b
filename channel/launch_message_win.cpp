#include "channel/launch_message_win.h"

void PostLaunchEvent(HWND window, std::unique_ptr<LaunchEvent> event) {
  if (!event) return;
  LaunchEvent* raw = event.release();
  while (!PostMessageW(window, WM_LAUNCH_EVENT, 0, reinterpret_cast<LPARAM>(raw))) {
    if (!IsWindow(window)) {
      delete raw;
      return;
    }
    // The queue is at its quota: the window thread is behind. Let it catch up.
    Sleep(1);
  }
}
