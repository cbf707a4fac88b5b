#include "tools/capture/screen_capture_win.h"

#include "base/win_owners_win.h"

ScreenPixels CaptureWindowFromScreen(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return {};
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return {};
  const WindowDc screen(nullptr);
  const FrameSurface surface(width, height, SurfaceKind::DibSection);
  if (screen.get() == nullptr || !surface.ok()) return {};
  if (!BitBlt(surface.dc(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY)) return {};
  return surface.Snapshot();
}
