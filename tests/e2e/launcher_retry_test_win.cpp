// Retry as the user meets it: a running updater is left alone and its own
// exit report still shows; an ended one is started again, each time, from
// the moment its report shows; closing the window leaves a running updater
// be. Each run holds its state until the test lets it go on. Retry with
// standard input only is in the accessibility test.
#include <gtest/gtest.h>

#include <string>

#include "channel/utf8.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr wchar_t kDemoUpdater[] = L"demo-updater.exe";

TEST(LauncherRetryTest, RetryRestartsOnlyAnEndedUpdater) {
  const std::wstring exitReport = L"Updater process exited with code 3";
  const TempFile firstEnds;
  TempFile script("progress 0.5 DOWNLOAD First run\nerror Mirror lost\n" + firstEnds.WaitLine());
  LauncherRun run(UpdaterCommand(L"--script " + QuoteArgument(script.path()) + L" --exit 3"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  // The launcher never ends its updater; the test does, whatever happened.
  const ScopeGuard updaters([&run] { TerminateRunningChildren(run.processId(), kDemoUpdater); });
  ASSERT_TRUE(run.WaitForStatus(L"Mirror lost")) << Describe(run.Texts());
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(run.WaitForStatus(L"Retry requested")) << Describe(run.Texts());
  EXPECT_EQ(CountRunningChildren(run.processId(), kDemoUpdater), 1) << "restarted while the first run was still going";
  ASSERT_TRUE(firstEnds.Write());
  ASSERT_TRUE(run.WaitForStatus(exitReport)) << "the first run's exit report never showed";

  // The third Retry comes from a screen reader, through the button's default action.
  const AccessiblePtr accessible = AccessibleOf(window);
  ASSERT_NE(accessible, nullptr);
  for (const char* name : {"Second run", "Third run"}) {
    const TempFile ends;
    ASSERT_TRUE(script.Write(std::string("progress 0.5 DOWNLOAD ") + name + "\n" + ends.WaitLine()));
    if (name[0] == 'T') {
      EXPECT_EQ(accessible->accDoDefaultAction(ChildId(kButtonChild)), S_OK);
    } else {
      PostClick(window, kButtonX, kButtonY);
    }
    EXPECT_TRUE(run.WaitForStatus(Utf8ToWide(name))) << name << " never started";
    ASSERT_TRUE(ends.Write());
    EXPECT_TRUE(run.WaitForStatus(exitReport)) << name << " never ended";
  }

  // The last run reports once and then keeps running without a word.
  ASSERT_TRUE(script.Write("progress 0.5 DOWNLOAD Last run\nsleep 600000\n"));
  PostClick(window, kButtonX, kButtonY);
  const std::string lastRun = "[Tarrow Preview | Downloading runtime 50% | Last run | Cancel]";
  ASSERT_TRUE(run.WaitForTexts([&](const LauncherTexts& t) { return Describe(t) == lastRun; }))
      << "the last run never started: " << Describe(run.Texts());
  Sleep(3 * kSettleMs);
  EXPECT_EQ(Describe(run.Texts()), lastRun);
  // Closing ends the launcher and leaves its updater running.
  PostKeyDown(window, VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(0));
  EXPECT_EQ(CountRunningChildren(run.processId(), kDemoUpdater), 1);
}

}  // namespace
