// Updaters that misuse the pipe: one that hands its end to a grandchild and
// exits, and one that writes 100 MB without an LF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/robustness/robust_launcher_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr wchar_t kUpdater[] = L"updater-noise.exe";
constexpr uint64_t kMegabyte = 1024 * 1024;

// The updater's grandchild keeps the launcher's pipe open until the test sets
// the event (or 60 s have passed); TearDown always sets it.
class GrandchildHoldsThePipe : public testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    eventName_ = L"Local\\tarrow-robust-hold-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter);
    release_.reset(CreateEventW(nullptr, TRUE, FALSE, eventName_.c_str()));
    // Helpers of earlier tests may still be ending; they are not this test's.
    for (const ProcessEntry& p : ListProcesses()) earlier_.push_back(p.id);
    ASSERT_NE(release_, nullptr);
    launcher_.emplace(BuiltProgram(L"tarrow-launcher.exe"),
                      L"--updater-cmd " + QuoteArgument(BuiltCommand(kUpdater, L"grandchild " + eventName_ + L" 5")));
    ASSERT_TRUE(launcher_->started());
    ASSERT_NE(launcher_->WaitForWindow(), nullptr);
    // The updater is started before the window shows: once no updater-noise
    // child of the launcher is left, it has exited and its grandchild runs.
    ASSERT_TRUE(WaitUntil([&] { return FindUpdaters(); }, 10000))
        << "the updater did not exit, or its grandchild did not start";
  }

  void TearDown() override {
    if (release_ != nullptr) SetEvent(release_.get());
  }

  bool FindUpdaters() {
    bool childLeft = false;
    grandchild_ = 0;
    for (const ProcessEntry& p : ListProcesses()) {
      if (_wcsicmp(p.exeName.c_str(), kUpdater) != 0) continue;
      if (std::find(earlier_.begin(), earlier_.end(), p.id) != earlier_.end()) continue;
      if (p.parentId == launcher_->id()) {
        childLeft = true;
      } else {
        grandchild_ = p.id;
      }
    }
    return !childLeft && grandchild_ != 0;
  }

  void ReleaseGrandchild() {
    SetEvent(release_.get());
    ASSERT_TRUE(WaitUntil([&] { return !ProcessAlive(grandchild_); }, 10000)) << "the grandchild did not end";
  }

  std::wstring eventName_;
  UniqueHandle release_;
  std::optional<LauncherProcess> launcher_;
  DWORD grandchild_ = 0;
  std::vector<DWORD> earlier_;
};

// Until the pipe closes the window still shows the updater's last line, whose
// button reads Cancel: a click closes the window.
TEST_F(GrandchildHoldsThePipe, ExitCodeReportWaitsForThePipeToClose) {
  Sleep(kSettleMs);
  ASSERT_TRUE(ProcessAlive(grandchild_));
  const POINT button = launcher_->ButtonPoint();
  PostClick(launcher_->window(), button.x, button.y);
  EXPECT_TRUE(launcher_->WaitForWindowClosed(2000))
      << "the button no longer reads Cancel: the exit-code report arrived while the pipe was still open";
  EXPECT_EQ(launcher_->WaitForExit(10000), std::optional<DWORD>(0));
}

// Once the grandchild lets go, the report "Updater process exited with code
// 5" turns the window to the error state, whose button reads Retry: a click
// keeps the window open. Escape still closes it at once.
TEST_F(GrandchildHoldsThePipe, ExitCodeReportArrivesWhenThePipeCloses) {
  ReleaseGrandchild();
  Sleep(kSettleMs);
  const POINT button = launcher_->ButtonPoint();
  PostClick(launcher_->window(), button.x, button.y);
  Sleep(kSettleMs);
  EXPECT_TRUE(launcher_->WindowOpen()) << "the button read Cancel: no exit-code report after the pipe closed";
  PostKeyDown(launcher_->window(), VK_ESCAPE);
  EXPECT_TRUE(launcher_->WaitForWindowClosed(1000));
  EXPECT_EQ(launcher_->WaitForExit(10000), std::optional<DWORD>(0));
}

// The reader thread blocked on the held pipe neither keeps the window open
// nor the process alive.
TEST_F(GrandchildHoldsThePipe, EscapeClosesTheLauncherAtOnce) {
  PostKeyDown(launcher_->window(), VK_ESCAPE);
  EXPECT_TRUE(launcher_->WaitForWindowClosed(1000));
  EXPECT_EQ(launcher_->WaitForExit(10000), std::optional<DWORD>(0));
  EXPECT_TRUE(ProcessAlive(grandchild_)) << "the grandchild should outlive the launcher, holding its end";
}

// The peak working set of a launcher whose updater writes 100 MB without an
// LF, against that of a launcher with no updater at all.
TEST(UpdaterWithoutLineFeeds, HundredMegabytesLeaveThePeakWorkingSetFlat) {
  std::optional<uint64_t> quietPeak;
  {
    LauncherProcess quiet(BuiltProgram(L"tarrow-launcher.exe"), L"");
    ASSERT_NE(quiet.WaitForWindow(), nullptr);
    Sleep(1500);
    quietPeak = quiet.PeakWorkingSet();
    PostKeyDown(quiet.window(), VK_ESCAPE);
    EXPECT_EQ(quiet.WaitForExit(10000), std::optional<DWORD>(0));
  }
  ASSERT_TRUE(quietPeak.has_value());

  const std::wstring updater = BuiltCommand(kUpdater, L"no-lf " + std::to_wstring(100 * kMegabyte));
  LauncherProcess flooded(BuiltProgram(L"tarrow-launcher.exe"), L"--updater-cmd " + QuoteArgument(updater));
  ASSERT_NE(flooded.WaitForWindow(), nullptr);
  const auto updaterRunning = [&] {
    for (const ProcessEntry& p : ListProcesses()) {
      if (p.parentId == flooded.id() && _wcsicmp(p.exeName.c_str(), kUpdater) == 0) return true;
    }
    return false;
  };
  ASSERT_TRUE(WaitUntil([&] { return !updaterRunning(); }, 90000)) << "100 MB were not read within 90 s";
  Sleep(kSettleMs);
  const std::optional<uint64_t> floodedPeak = flooded.PeakWorkingSet();
  ASSERT_TRUE(floodedPeak.has_value());
  const double growthMb = (static_cast<double>(*floodedPeak) - static_cast<double>(*quietPeak)) / kMegabyte;
  std::printf("peak working set: %.1f MB without an updater, %.1f MB after 100 MB without an LF (%+.1f MB)\n",
              static_cast<double>(*quietPeak) / kMegabyte, static_cast<double>(*floodedPeak) / kMegabyte, growthMb);
  EXPECT_LT(growthMb, 16.0);

  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutW(flooded.window(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored), 0)
      << "the window stopped answering";
  PostKeyDown(flooded.window(), VK_ESCAPE);
  EXPECT_TRUE(flooded.WaitForWindowClosed(2000));
  EXPECT_EQ(flooded.WaitForExit(10000), std::optional<DWORD>(0));
}

}  // namespace
