// Retry as the user meets it: a running updater is left alone and its own
// exit report still shows; an ended one is started again, each time; a
// replaced run's report never shows later; closing the window leaves a
// running updater be. Retry with standard input only is in the accessibility test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/launcher_driver_win.h"

namespace {

constexpr wchar_t kDemoUpdater[] = L"demo-updater.exe";

// The launcher never ends its updater; the test does, whatever happened.
class UpdatersOf {
 public:
  explicit UpdatersOf(const LauncherRun& run) : parent_(run.processId()) {}
  ~UpdatersOf() { TerminateRunningChildren(parent_, kDemoUpdater); }
  UpdatersOf(const UpdatersOf&) = delete;
  UpdatersOf& operator=(const UpdatersOf&) = delete;
  int Running() const { return CountRunningChildren(parent_, kDemoUpdater); }

 private:
  DWORD parent_;
};

TEST(LauncherRetryTest, RetryRestartsOnlyAnEndedUpdater) {
  const std::wstring exitReport = L"Updater process exited with code 3";
  TempFile script("progress 0.5 DOWNLOAD First run\nerror Mirror lost\nsleep 1500\n");
  LauncherRun run(DemoUpdater(L"--script " + QuoteArgument(script.path()) + L" --exit 3"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  UpdatersOf updaters(run);
  ASSERT_TRUE(run.WaitForStatus(L"Mirror lost")) << Describe(run.Texts());
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(run.WaitForStatus(L"Retry requested", 3000)) << Describe(run.Texts());
  EXPECT_EQ(updaters.Running(), 1) << "restarted while the first run was still going";
  ASSERT_TRUE(run.WaitForStatus(exitReport)) << "the first run's exit report never showed";

  for (const char* name : {"Second run", "Third run"}) {
    ASSERT_TRUE(script.Write(std::string("progress 0.5 DOWNLOAD ") + name + "\nsleep 500\n"));
    Sleep(kSettleMs);  // the report comes just before the run's end
    PostClick(window, kButtonX, kButtonY);
    EXPECT_TRUE(run.WaitForStatus(std::wstring(name, name + strlen(name)))) << name << " never started";
    EXPECT_TRUE(run.WaitForStatus(exitReport)) << name << " never ended";
  }

  // The last run reports once and then keeps running without a word.
  ASSERT_TRUE(script.Write("progress 0.5 DOWNLOAD Last run\nsleep 600000\n"));
  Sleep(kSettleMs);
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(run.WaitForStatus(L"Last run")) << "the last run never started";
  Sleep(3 * kSettleMs);
  EXPECT_EQ(Describe(run.Texts()), "[Tarrow Preview | Downloading runtime 50% | Last run | Cancel]");
  // Closing ends the launcher at once and leaves its updater running.
  PostKeyDown(window, VK_ESCAPE);
  EXPECT_EQ(run.WaitForExit(3000), std::optional<DWORD>(0));
  EXPECT_EQ(updaters.Running(), 1);
}

}  // namespace
