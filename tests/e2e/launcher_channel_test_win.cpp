// The launcher fed by an updater or its standard input, as a separate
// process: start failures become the error state, and "done" closes the
// window after its delay.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/launcher_driver_win.h"

namespace {

class LauncherChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeTestProcessDpiAware(); }
};

TEST_F(LauncherChannelTest, UpdaterThatCannotStartShowsTheErrorState) {
  LauncherRun run(L"--updater-cmd " + QuoteArgument(L"no-such-updater-4711.exe --fast"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // In the error state the button reads Retry and keeps the window open.
  PostClick(window, kButtonX, kButtonY);
  Sleep(kSettleMs);
  EXPECT_TRUE(run.WindowOpen()) << "the button closed the window: no error state";
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

TEST_F(LauncherChannelTest, DoneClosesTheWindowAfterTheDelayNotBefore) {
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(L"--state VERIFY", input.readEnd());
  input.ReleaseReadEnd();
  ASSERT_NE(run.WaitForWindow(), nullptr);
  ASSERT_TRUE(input.Write("done\n"));
  const ULONGLONG written = GetTickCount64();
  ULONGLONG lastSeenOpen = written;
  const bool closed = WaitUntil([&] {
    if (!run.WindowOpen()) return true;
    lastSeenOpen = GetTickCount64();
    return false;
  }, 5000);
  ASSERT_TRUE(closed) << "the window did not close within 5 s of the done line";
  EXPECT_GE(lastSeenOpen - written, 1000u) << "closed too early";
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
