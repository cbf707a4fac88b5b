// The real tarrow-launcher.exe, started as a separate process and driven
// through Win32 alone: the keys and clicks that close it, dragging and a lost
// drag, Ctrl+C, minimising, and its size and button at a high DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/launcher_driver_win.h"

namespace {

// A point of the drag area, at 96 DPI.
constexpr int32_t kAwayX = 200;
constexpr int32_t kAwayY = 150;

// Only a press and a release both on the button press it.
TEST(LauncherWindowTest, ReleaseOffTheButtonDoesNothingAndCancelCloses) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  PostLeftDown(window, kButtonX, kButtonY);
  PostMouseMove(window, kAwayX, kAwayY);
  PostLeftUp(window, kAwayX, kAwayY);
  PostLeftDown(window, kAwayX, kAwayY);
  PostLeftUp(window, kButtonX, kButtonY);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "a release off the button acted";
  EXPECT_EQ(run.Texts().value_or(LauncherTexts{}).button, L"Cancel");
  PostClick(window, kButtonX, kButtonY);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0)) << "Cancel did not end the run";
}

HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndCapture : nullptr;
}

// With the real button (system input) held: a drag follows the cursor; a drag
// or a press that the system cancels, whose capture is lost or that sees a
// move without the button ends there: the cursor moving on with the button
// still held moves nothing, and the release on the button does not act.
TEST(LauncherWindowTest, DraggingMovesTheWindowUntilTheGestureIsLost) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // The cursor goes to the screen's corner at the end, off every later window
  // (a cursor over a window shows in captures and hovers its button).
  const ScopeGuard parker([] { SetCursorPos(0, 0); });
  const struct {
    UINT message;  // posted between the press and the move; 0: none
    bool onButton;
  } cases[] = {{0, false}, {WM_CANCELMODE, false}, {WM_CAPTURECHANGED, false}, {WM_MOUSEMOVE, false},
               {WM_CANCELMODE, true}};
  for (const auto& [message, onButton] : cases) {
    const RECT before = WindowRectOf(window);
    const POINT press = onButton ? POINT{kButtonX, kButtonY} : POINT{kAwayX, kAwayY};
    ASSERT_TRUE(SetCursorPos(before.left + press.x, before.top + press.y));
    Sleep(kSettleMs);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);  // at the cursor
    ASSERT_TRUE(WaitUntil([&] { return CaptureOf(window) == window; }, 15000)) << "no capture at the press";
    if (message != 0) {
      PostMessageW(window, message, 0, 0);
      ASSERT_TRUE(WaitUntil([&] { return CaptureOf(window) != window; }, 15000)) << message << " kept the capture";
    }
    const int32_t dx = onButton ? 0 : 60, dy = onButton ? 0 : 40;
    ASSERT_TRUE(SetCursorPos(before.left + press.x + dx, before.top + press.y + dy));
    if (message == 0) {
      EXPECT_TRUE(WaitUntil([&] { return WindowRectOf(window).left == before.left + 60; }, 15000));
      EXPECT_EQ(WindowRectOf(window).top, before.top + 40);
    } else {
      Sleep(kSettleMs);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    if (message != 0) {
      ASSERT_TRUE(SetCursorPos(before.left + 10, before.top + 10));
      Sleep(kSettleMs);
      EXPECT_TRUE(run.WindowOpen()) << "the release after " << message << " acted";
      EXPECT_EQ(WindowRectOf(window).left, before.left) << "moved after " << message;
      EXPECT_EQ(WindowRectOf(window).top, before.top) << "moved after " << message;
    }
  }
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

std::wstring ClipboardText() {
  if (OpenClipboard(nullptr) == FALSE) return L"<closed>";
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* chars = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  const std::wstring text = chars != nullptr ? chars : L"";
  if (chars != nullptr) GlobalUnlock(data);
  CloseClipboard();
  return text;
}

// Ctrl+C copies the window's four lines. Minimised (as by its taskbar button)
// the launch goes on; restored, the window is back where it was; a "done"
// while minimised still ends the run with 0.
TEST(LauncherWindowTest, CtrlCCopiesAndTheMinimisedLaunchGoesOnToItsEnd) {
  LauncherRun run(L"Quenby", kInputPipe);
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(run.Feed("progress 0.42 DOWNLOAD Fetching files\n"));
  ASSERT_TRUE(run.WaitForTexts([](const LauncherTexts& t) { return t.percent == L"42%"; })) << Describe(run.Texts());
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
  SetForegroundWindow(window);
  // Real keys, to the foreground window.
  keybd_event(VK_CONTROL, 0, 0, 0);
  keybd_event('C', 0, 0, 0);
  keybd_event('C', 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == L"Quenby\r\nDownloading runtime\r\n42%\r\nFetching files"; },
                        5000));

  const RECT before = WindowRectOf(window);
  for (const char* line : {"progress 0.8 APPLY Patching\n", "done\n"}) {
    PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(window) != FALSE; }, 5000)) << "not minimised";
    ASSERT_TRUE(run.Feed(line));
    if (line[0] == 'd') break;
    EXPECT_TRUE(run.WaitForStatus(L"Patching")) << Describe(run.Texts());
    PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    // Wine clears the minimised state a moment before it moves the window
    // back: the place is judged once the move has come.
    const auto back = [&] { return IsIconic(window) == FALSE && WindowRectOf(window).left != -32000; };
    ASSERT_TRUE(WaitUntil(back, 5000)) << "not restored";
    EXPECT_EQ(WindowRectOf(window).left, before.left);
    EXPECT_EQ(WindowRectOf(window).top, before.top);
  }
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// At 144 DPI the window is 588 x 378, centred in the work area (the halving
// truncating), and the button reacts on x 483..569 and y 17..55 only. (The
// caption is the display title: the accessibility test reads both.)
TEST(LauncherWindowTest, HighDpiScalesWindowAndButton) {
  const ScopeGuard restore = SetSystemDpi(144);
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const RECT rect = WindowRectOf(window);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(rect.right - rect.left, 588);
  EXPECT_EQ(rect.bottom - rect.top, 378);
  EXPECT_EQ(rect.left, work.left + std::max<LONG>((work.right - work.left - 588) / 2, 0));
  EXPECT_EQ(rect.top, work.top + std::max<LONG>((work.bottom - work.top - 378) / 2, 0));
  for (const POINT miss : {POINT{482, 30}, POINT{570, 30}, POINT{500, 16}, POINT{500, 56}}) {
    PostClick(window, miss.x, miss.y);
    Sleep(300);
    ASSERT_TRUE(run.WindowOpen()) << "a click at " << miss.x << "," << miss.y << " acted";
  }
  PostClick(window, 483, 55);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
