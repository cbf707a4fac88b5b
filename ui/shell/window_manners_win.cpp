#include "ui/shell/window_manners_win.h"

#include <cstring>
#include <vector>

#include "base/system_library_win.h"
#include "base/win_owners_win.h"

namespace {

PixelRect ToPixelRect(const RECT& r) { return PixelRect{r.left, r.top, r.right, r.bottom}; }

struct Monitors {
  std::vector<MonitorArea> areas;
  std::vector<HMONITOR> handles;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info) != FALSE) {
    auto* monitors = reinterpret_cast<Monitors*>(context);
    monitors->areas.push_back(
        MonitorArea{ToPixelRect(info.rcMonitor), ToPixelRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    monitors->handles.push_back(monitor);
  }
  return TRUE;
}

// The window the user was working in (the updater's or the product's). The
// desktop, the shell's window and a minimised window say nothing about
// where the user looks.
std::optional<PixelRect> ForegroundWindowRect() {
  HWND foreground = GetForegroundWindow();
  if (foreground == nullptr || foreground == GetDesktopWindow() || foreground == GetShellWindow() ||
      IsWindowVisible(foreground) == FALSE || IsIconic(foreground) != FALSE) {
    return std::nullopt;
  }
  RECT rect{};
  if (GetWindowRect(foreground, &rect) == FALSE) return std::nullopt;
  return ToPixelRect(rect);
}

// GetDpiForMonitor's effective DPI; 0 where shcore or the call is missing.
unsigned MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  const UniqueModule shcore = LoadSystemModule(L"shcore.dll");
  unsigned dpi = 0;
  if (auto getDpi = LookUpFunction<GetDpiForMonitorFn>(shcore.get(), "GetDpiForMonitor"); getDpi != nullptr) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y))) dpi = x;
  }
  return dpi;
}

}  // namespace

StartPlacement ChooseStartPlacement() {
  Monitors monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  POINT cursor{};
  const std::optional<PixelPoint> cursorPoint =
      GetCursorPos(&cursor) != FALSE ? std::optional<PixelPoint>(PixelPoint{cursor.x, cursor.y}) : std::nullopt;
  const std::optional<size_t> chosen = ChooseStartMonitor(monitors.areas, ForegroundWindowRect(), cursorPoint);
  if (!chosen.has_value()) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return StartPlacement{ToPixelRect(work), 0};
  }
  return StartPlacement{monitors.areas[*chosen].work, MonitorDpi(monitors.handles[*chosen])};
}

unsigned WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto getDpi = LookUpLoadedFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  return getDpi != nullptr ? getDpi(window) : 0;
}

ShowMode QueryShowMode() {
  // The QUERY_USER_NOTIFICATION_STATE enumeration, an int.
  using QueryFn = HRESULT(WINAPI*)(int*);
  // Loaded for the one call: the launcher does not keep shell32 mapped.
  const UniqueModule shell = LoadSystemModule(L"shell32.dll");
  const auto query = LookUpFunction<QueryFn>(shell.get(), "SHQueryUserNotificationState");
  int state = 0;
  if (query == nullptr || FAILED(query(&state))) return ChooseShowMode(std::nullopt);
  return ChooseShowMode(state);
}

void CopyToClipboard(HWND owner, const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return;
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return;
  }
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);
  // Once SetClipboardData takes the memory, the system owns it.
  bool handedOver = false;
  if (OpenClipboard(owner) != FALSE) {
    handedOver = EmptyClipboard() != FALSE && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
  }
  if (!handedOver) GlobalFree(memory);
}

void FlashIfInBackground(HWND window) {
  if (GetForegroundWindow() == window) return;
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = window;
  flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
  FlashWindowEx(&flash);
}

void StopFlashing(HWND window) {
  FLASHWINFO flash{};
  flash.cbSize = sizeof(flash);
  flash.hwnd = window;
  flash.dwFlags = FLASHW_STOP;
  FlashWindowEx(&flash);
}
