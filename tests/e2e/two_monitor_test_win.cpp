// The launcher starts on the monitor the user works on: the one of the
// foreground window, else the one under the cursor. Needs two monitors
// (under Wine, scripts/wine-run-two-monitors gives them); skipped with one.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/launcher_driver_win.h"
#include "ui/window/launcher_app_win.h"

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM context) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  auto* areas = reinterpret_cast<std::vector<RECT>*>(context);
  // The primary monitor first.
  areas->insert((info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? areas->begin() : areas->end(), info.rcWork);
  return TRUE;
}

TEST(TwoMonitorTest, StartsOnTheForegroundWindowsMonitorElseOnTheCursors) {
  MakeProcessDpiAware();  // work areas in device pixels
  std::vector<RECT> work;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&work));
  if (work.size() < 2) GTEST_SKIP() << "one monitor";
  const RECT& first = work[0];
  const RECT& second = work[1];
  const ScopeGuard parker([] { SetCursorPos(0, 0); });  // off every later window
  // The updater's window on the second monitor, the cursor on the first.
  HWND updater = CreateWindowExW(0, L"STATIC", L"Updater", WS_OVERLAPPEDWINDOW | WS_VISIBLE, second.left + 20,
                                 second.top + 20, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(updater, nullptr);
  SetForegroundWindow(updater);
  for (const bool withUpdater : {true, false}) {
    if (!withUpdater) {
      // No window in the foreground any more: the cursor's monitor decides.
      DestroyWindow(updater);
      ASSERT_TRUE(SetCursorPos(second.left + 30, second.top + 30));
    } else {
      ASSERT_TRUE(SetCursorPos(first.left + 30, first.top + 30));
    }
    LauncherRun run(L"");
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    const RECT rect = WindowRectOf(window);
    EXPECT_EQ(rect.left, second.left + (second.right - second.left - 392) / 2) << withUpdater;
    EXPECT_EQ(rect.top, second.top + (second.bottom - second.top - 252) / 2) << withUpdater;
    EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  }
}

}  // namespace
