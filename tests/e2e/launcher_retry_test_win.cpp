// Retry as the user meets it: a finished updater is started again, a running
// one is left alone, standard input only waits, and a replaced run's late
// exit-code report never shows. What the window shows is read from the screen.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"
#include "tests/support/pixel_colors.h"

namespace {

constexpr uint32_t kCard = 0xFF101113;
constexpr wchar_t kDemoUpdater[] = L"demo-updater.exe";

// Points clear of any text, at 96 DPI: rail segment centres, the button's fill.
int RailX(int i) { return static_cast<int>(12 + 74.4 * i + 35.2); }
constexpr int kRailY = 174;
constexpr int kButtonFillX = 325, kButtonFillY = 24;

// The button reads Retry (amber): the launch is in error.
bool ShowsError(const ScreenPixels& image) {
  return ShowsColor(image, kButtonFillX, kButtonFillY, Over(0x24F59E0B, kCard));
}
// "Retry requested": the first segment waits in grey, the rest are pending.
bool ShowsRetryRequested(const ScreenPixels& image) {
  return ShowsColor(image, RailX(0), kRailY, Over(0x7594A3B8, kCard)) &&
         ShowsColor(image, RailX(3), kRailY, Over(0x14FFFFFF, kCard));
}
// A progress line of the download step is showing.
bool ShowsDownloading(const ScreenPixels& image) {
  return ShowsColor(image, RailX(3), kRailY, Over(0xFF7DD3FC, kCard));
}

std::wstring DemoUpdater(const std::wstring& arguments) {
  return L"--updater-cmd " + QuoteArgument(QuoteArgument(ProgramFolder() + L"\\" + kDemoUpdater) + L" " + arguments);
}

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

class LauncherRetryTest : public testing::Test {
 protected:
  void SetUp() override { MakeTestProcessDpiAware(); }
};

// Each Retry after the failing updater has ended runs it again: its progress
// lines show again, then its error.
TEST_F(LauncherRetryTest, RetryRunsAnEndedUpdaterAgain) {
  LauncherRun run(DemoUpdater(L"fail"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  UpdatersOf updaters(run);
  ASSERT_TRUE(CaptureWhen(window, ShowsError, 20000).has_value()) << "the first run never failed";
  for (int retry = 1; retry <= 2; ++retry) {
    // The updater exits right after its error line; let its end arrive.
    Sleep(2 * kSettleMs);
    PostClick(window, kButtonX, kButtonY);
    EXPECT_TRUE(CaptureWhen(window, ShowsDownloading, 15000).has_value()) << "retry " << retry << " ran nothing";
    EXPECT_TRUE(CaptureWhen(window, ShowsError, 15000).has_value()) << "retry " << retry << " never failed again";
  }
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

struct WaitingCase {
  const char* name;
  const wchar_t* updater;  // demo-updater arguments; empty: standard input only
  int updaters;            // updaters running before and after the Retry
};

class RetryWhileWaitingTest : public LauncherRetryTest, public testing::WithParamInterface<WaitingCase> {};

// The error comes on standard input; Retry shows "Retry requested" and waits,
// starting nothing beside an updater that is still running.
TEST_P(RetryWhileWaitingTest, ShowsRetryRequestedAndStartsNothing) {
  const std::wstring updater = GetParam().updater;
  LauncherInput input;
  ASSERT_TRUE(input.ok());
  LauncherRun run(updater.empty() ? L"" : DemoUpdater(updater), input.readEnd());
  input.ReleaseReadEnd();
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  UpdatersOf updaters(run);
  EXPECT_TRUE(WaitUntil([&] { return updaters.Running() == GetParam().updaters; }, 10000));
  ASSERT_TRUE(input.Write("error Disk full\n"));
  ASSERT_TRUE(CaptureWhen(window, ShowsError, 10000).has_value());
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(CaptureWhen(window, ShowsRetryRequested, 5000).has_value());
  Sleep(2 * kSettleMs);
  EXPECT_TRUE(CaptureWhen(window, ShowsRetryRequested, 0).has_value()) << "the display moved on";
  EXPECT_EQ(updaters.Running(), GetParam().updaters);
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(Sources, RetryWhileWaitingTest,
                         testing::Values(WaitingCase{"StandardInputOnly", L"", 0},
                                         WaitingCase{"UpdaterStillRunning", L"hang", 1}),
                         [](const testing::TestParamInfo<WaitingCase>& p) { return std::string(p.param.name); });

// An updater that exits with 3 a while after its error line. Retry during
// that while restarts nothing, and the run's own report still shows; Retry
// after it starts a second run, and nothing of the first shows any more.
TEST_F(LauncherRetryTest, SlowNonZeroExitOfAReplacedRunNeverShows) {
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring script = std::wstring(folder) + L"tarrow-retry-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  ASSERT_TRUE(WriteFileBytes(script, "progress 0.5 DOWNLOAD First run\nerror Mirror lost\nsleep 1500\n"));
  LauncherRun run(DemoUpdater(L"--script " + QuoteArgument(script) + L" --exit 3"));
  HWND window = run.WaitForWindow();
  ASSERT_NE(window, nullptr);
  UpdatersOf updaters(run);
  ASSERT_TRUE(CaptureWhen(window, ShowsError, 15000).has_value());
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(CaptureWhen(window, ShowsRetryRequested, 3000).has_value());
  EXPECT_EQ(updaters.Running(), 1) << "restarted while the first run was still going";
  ASSERT_TRUE(CaptureWhen(window, ShowsError, 5000).has_value()) << "the first run's exit code never showed";

  // The second run reports once and then keeps running without a word.
  ASSERT_TRUE(WriteFileBytes(script, "progress 0.5 DOWNLOAD Second run\nsleep 600000\n"));
  Sleep(kSettleMs);
  PostClick(window, kButtonX, kButtonY);
  ASSERT_TRUE(CaptureWhen(window, ShowsDownloading, 10000).has_value()) << "the second run never started";
  Sleep(3 * kSettleMs);
  const auto shown = CaptureWhen(window, [](const ScreenPixels&) { return true; }, 2000);
  ASSERT_TRUE(shown.has_value());
  EXPECT_FALSE(ShowsError(*shown)) << "an error showed after the restart";
  EXPECT_TRUE(ShowsDownloading(*shown));
  EXPECT_EQ(run.CloseWithEscape(), std::optional<DWORD>(0));
  DeleteFileW(script.c_str());
}

}  // namespace
