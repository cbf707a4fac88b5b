// channel-exit-probe.exe COMMAND: starts COMMAND as the updater of a hidden
// window, waits for its first event, destroys the window and returns from
// its window thread, as the launcher does when it is closed. The process must
// end at once although the updater and its reader thread are still running.
// Exit code: 0 as described, 10 when the updater does not start, 11 when no
// event comes within 10 s, 12 when the window cannot be created.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "channel/launch_message_win.h"
#include "channel/updater_process_win.h"

namespace {

bool gotEvent = false;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LAUNCH_EVENT) {
    if (TakeLaunchEvent(wParam, lParam)) gotEvent = true;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return 10;
  const std::wstring command = argv[1];
  LocalFree(argv);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpszClassName = L"TarrowChannelExitProbe";
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpfnWndProc = Procedure;
  RegisterClassExW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) return 12;
  if (StartUpdater(command, window) != UpdaterStartResult::Started) return 10;

  const ULONGLONG deadline = GetTickCount64() + 10000;
  while (!gotEvent && GetTickCount64() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (!gotEvent) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  DestroyWindow(window);
  return gotEvent ? 0 : 11;
}
