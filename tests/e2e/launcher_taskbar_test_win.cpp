// The taskbar mirroring under a shell that announces the button: the
// registered "TaskbarButtonCreated" message turns the mirroring on, changes
// nothing in the window, and the launch goes on and ends as always.
#include <gtest/gtest.h>

#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"

namespace {

TEST(LauncherTaskbarTest, ButtonCreatedChangesNothingVisible) {
  MakeTestProcessDpiAware();
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"", input.readEnd());
  input.ReleaseReadEnd();
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // The start-up preview, settled: its download segment is lit.
  const auto lit = [](const ScreenPixels& image) { return ShowsColor(image, 270, 174, Over(0xFF7DD3FC, 0xFF101113)); };
  const auto before = CaptureWhen(window, lit, 10000);
  ASSERT_TRUE(before.has_value());

  const UINT created = RegisterWindowMessageW(L"TaskbarButtonCreated");
  ASSERT_NE(created, 0u);
  PostMessageW(window, created, 0, 0);
  Sleep(kSettleMs);
  const auto after = CaptureWhen(window, lit, 2000);
  ASSERT_TRUE(after.has_value());
  ASSERT_EQ(after->width, before->width);
  ASSERT_EQ(after->height, before->height);
  int differing = 0;
  for (int y = 0; y < before->height; ++y)
    for (int x = 0; x < before->width; ++x) differing += ShownPixel(*before, x, y) != ShownPixel(*after, x, y) ? 1 : 0;
  EXPECT_EQ(differing, 0);

  // Every kind of mirrored state passes through the taskbar list, and a
  // second announcement (the shell restarted) obtains it afresh.
  ASSERT_TRUE(input.Write("progress 0.4 APPLY Patching\nprogress\nerror Broken\n"));
  PostMessageW(window, created, 0, 0);
  ASSERT_TRUE(input.Write("cancelled\nprogress 0.9 VERIFY Again\n"));
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen());
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

}  // namespace
