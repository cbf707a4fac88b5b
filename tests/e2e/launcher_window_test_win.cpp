// The real tarrow-launcher.exe, started as a separate process and driven
// through Win32 alone: its window, its input, its exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/launcher_driver_win.h"

namespace {

// A point of the drag area, at 96 DPI.
constexpr int32_t kAwayX = 200;
constexpr int32_t kAwayY = 150;

class LauncherWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeTestProcessDpiAware(); }
};

struct CloseCase {
  const char* name;
  const wchar_t* arguments;
  void (*close)(HWND window);
};

class LauncherCloseTest : public LauncherWindowTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(LauncherCloseTest, ExitsWithZero) {
  LauncherRun run(GetParam().arguments);
  ASSERT_TRUE(run.started());
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr) << "no launcher window";
  GetParam().close(window);
  EXPECT_TRUE(run.WaitForWindowClosed()) << "window still open";
  const auto code = run.WaitForExit();
  ASSERT_TRUE(code.has_value()) << "launcher still running";
  EXPECT_EQ(*code, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Closers, LauncherCloseTest,
    ::testing::Values(
        CloseCase{"Escape", L"", [](HWND w) { PostKeyDown(w, VK_ESCAPE); }},
        CloseCase{"EscapeDuringError", L"--state ERROR", [](HWND w) { PostKeyDown(w, VK_ESCAPE); }},
        CloseCase{"CancelClick", L"--state DOWNLOAD", [](HWND w) { PostClick(w, kButtonX, kButtonY); }},
        CloseCase{"CloseClickWhenStopped", L"--state STOP", [](HWND w) { PostClick(w, kButtonX, kButtonY); }},
        CloseCase{"WmClose", L"Weekly Report", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
        // The press wanders off the button and comes back before the release.
        CloseCase{"PressLeavesAndReturns", L"",
                  [](HWND w) {
                    PostLeftDown(w, kButtonX, kButtonY);
                    PostMouseMove(w, kAwayX, kAwayY);
                    PostMouseMove(w, kButtonX + 5, kButtonY + 2);
                    PostLeftUp(w, kButtonX + 5, kButtonY + 2);
                  }}),
    [](const ::testing::TestParamInfo<CloseCase>& p) { return std::string(p.param.name); });

TEST_F(LauncherWindowTest, ReleaseOffTheButtonDoesNotAct) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  PostLeftDown(window, kButtonX, kButtonY);
  PostMouseMove(window, kAwayX, kAwayY);
  PostLeftUp(window, kAwayX, kAwayY);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "a release off the button closed the window";
  // A release on the button without a press there does nothing either.
  PostLeftDown(window, kAwayX, kAwayY);
  PostLeftUp(window, kButtonX, kButtonY);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "a drag ending on the button closed the window";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

TEST_F(LauncherWindowTest, RetryInErrorKeepsTheWindowAndTheNextClickCloses) {
  LauncherRun run(L"--state ERROR");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  PostClick(window, kButtonX, kButtonY);
  Sleep(kSettleMs);
  ASSERT_TRUE(run.WindowOpen()) << "Retry closed the window";
  // Retry went back to the first step, where the button reads Cancel.
  PostClick(window, kButtonX, kButtonY);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

TEST_F(LauncherWindowTest, DraggingMovesTheWindow) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const RECT before = WindowRectOf(window);
  // The drag follows the real cursor: put it where the press happens, and
  // park it in the screen's corner afterwards, off every later window (a
  // cursor over a window shows in screen captures and hovers its button).
  struct CursorParker {
    ~CursorParker() { SetCursorPos(0, 0); }
  } parker;
  ASSERT_TRUE(SetCursorPos(before.left + kAwayX, before.top + kAwayY));
  PostLeftDown(window, kAwayX, kAwayY);
  Sleep(kSettleMs);
  ASSERT_TRUE(SetCursorPos(before.left + kAwayX + 60, before.top + kAwayY + 40));
  PostMouseMove(window, kAwayX + 60, kAwayY + 40);
  PostLeftUp(window, kAwayX + 60, kAwayY + 40);
  EXPECT_TRUE(WaitUntil([&] { return WindowRectOf(window).left == before.left + 60; }, 5000));
  const RECT after = WindowRectOf(window);
  EXPECT_EQ(after.left, before.left + 60);
  EXPECT_EQ(after.top, before.top + 40);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "the drag closed the window";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

// Where the window must be for a size: centred in the work area, the halving
// truncating, never beyond the work area's corner.
void ExpectCentred(const RECT& rect, int32_t width, int32_t height) {
  const RECT work = WorkArea();
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
  EXPECT_EQ(rect.left, work.left + std::max<LONG>((work.right - work.left - width) / 2, 0));
  EXPECT_EQ(rect.top, work.top + std::max<LONG>((work.bottom - work.top - height) / 2, 0));
}

TEST_F(LauncherWindowTest, NoArgumentsShowsTarrowPreviewCentredAt96Dpi) {
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowCaption(window), L"Tarrow Preview");
  ExpectCentred(WindowRectOf(window), 392, 252);
  EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
  EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

TEST_F(LauncherWindowTest, CaptionComesFromTheWords) {
  LauncherRun run(QuoteArgument(L"C:\\Apps\\Quenby\\Quenby.exe"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowCaption(window), L"Quenby");
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

// At 144 DPI the window is 588 x 378 and the button reacts on x 483..569 and
// y 17..55. Each case presses outside first (nothing may happen), then on
// one corner of the button (the window must close).
struct HighDpiCase {
  const char* name;
  int32_t hitX;
  int32_t hitY;
};

class LauncherHighDpiTest : public LauncherWindowTest, public ::testing::WithParamInterface<HighDpiCase> {};

TEST_P(LauncherHighDpiTest, ScalesWindowAndButton) {
  ScopedSystemDpi dpi(144);
  ASSERT_TRUE(dpi.ok());
  LauncherRun run(L"");
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  ExpectCentred(WindowRectOf(window), 588, 378);
  const POINT misses[] = {{482, 30}, {570, 30}, {500, 16}, {500, 56}};
  for (const POINT& miss : misses) {
    PostClick(window, miss.x, miss.y);
    Sleep(300);
    ASSERT_TRUE(run.WindowOpen()) << "a click at " << miss.x << "," << miss.y << " acted";
  }
  PostClick(window, GetParam().hitX, GetParam().hitY);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Corners, LauncherHighDpiTest,
                         ::testing::Values(HighDpiCase{"TopLeft", 483, 17}, HighDpiCase{"BottomRight", 569, 55}),
                         [](const ::testing::TestParamInfo<HighDpiCase>& p) { return std::string(p.param.name); });

}  // namespace
