// The launcher under hostile updaters and a restless user: kSoakRuns real
// launchers, each fed the noise play of its seed by updater-noise.exe (and,
// in some runs, more noise on standard input), clicked, dragged, hovered,
// closed with Escape or WM_CLOSE or left to close itself. Every run must end
// with exit code 0: a crash ends the process with its exception code instead
// (the test prefix shows no crash dialog), a hang fails the time limits.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "tests/robustness/robust_launcher_win.h"
#include "tests/robustness/soak_plan.h"
#include "tests/support/launcher_driver_win.h"
#include "tools/updater_noise/noise_play.h"

namespace {

// Up to 1 MiB lines are parsed and painted; a closed window still waits for
// its X window to be withdrawn (up to 2 s under Wine) before the process ends.
constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kCloseTimeoutMs = 5000;
constexpr DWORD kExitTimeoutMs = 15000;

// A run whose window has gone and whose process may still be ending; its exit
// code is checked while the next run is already on the display.
struct EndingRun {
  uint64_t seed = 0;
  LauncherProcess launcher;
  std::thread feeder;
};

void ExpectCleanExit(EndingRun& run) {
  const std::optional<DWORD> code = run.launcher.WaitForExit(kExitTimeoutMs);
  if (run.feeder.joinable()) run.feeder.join();
  ASSERT_TRUE(code.has_value()) << "seed " << run.seed << ": the launcher did not end after its window closed";
  EXPECT_EQ(*code, 0u) << "seed " << run.seed << ": exit code " << HexCode(*code);
}

void Perform(const LauncherProcess& launcher, const InputAction& action) {
  HWND window = launcher.window();
  const POINT button = launcher.ButtonPoint();
  const POINT elsewhere = launcher.DragPoint();
  switch (action.kind) {
    case InputKind::ClickButton:
      PostClick(window, button.x, button.y);
      break;
    case InputKind::ClickElsewhere:
      PostClick(window, elsewhere.x, elsewhere.y);
      break;
    case InputKind::Drag:
      PostLeftDown(window, elsewhere.x, elsewhere.y);
      for (int32_t step = 1; step <= 4; ++step) PostMouseMove(window, elsewhere.x + 9 * step, elsewhere.y - 5 * step);
      PostLeftUp(window, elsewhere.x + 36, elsewhere.y - 20);
      break;
    case InputKind::Hover:
      PostMouseMove(window, button.x, button.y);
      PostMouseMove(window, elsewhere.x, elsewhere.y);
      PostMessageW(window, WM_MOUSELEAVE, 0, 0);
      break;
    case InputKind::Escape:
      PostKeyDown(window, VK_ESCAPE);
      break;
    case InputKind::Close:
      PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    case InputKind::Wait:
    case InputKind::Count:
      break;
  }
}

// Starts the run of `seed`, plays its input, closes the window if it is still
// open, and hands the ending process back.
std::optional<EndingRun> RunSeed(uint64_t seed) {
  const SoakRun plan = PlanSoakRun(seed);
  const std::wstring updater = BuiltCommand(L"updater-noise.exe", L"play " + std::to_wstring(seed));
  std::wstring arguments = plan.extraArguments;
  if (!arguments.empty()) arguments += L" ";
  arguments += L"--updater-cmd " + QuoteArgument(updater);

  std::optional<LauncherInput> input;
  if (plan.feedStandardInput) input.emplace();
  if (input && !input->ok()) {
    ADD_FAILURE() << "seed " << seed << ": no pipe for standard input";
    return std::nullopt;
  }
  EndingRun run{seed, LauncherProcess(BuiltProgram(L"tarrow-launcher.exe"), arguments,
                                      input ? input->readEnd() : nullptr),
                {}};
  if (!run.launcher.started()) {
    ADD_FAILURE() << "seed " << seed << ": the launcher did not start";
    return std::nullopt;
  }
  if (input) {
    input->ReleaseReadEnd();
    // Written from a thread: a launcher that stops reading must not stall the soak.
    run.feeder = std::thread([feed = std::move(*input), seed]() mutable {
      feed.Write(NoiseBytes(MakeNoisePlay(seed + 100000)));
      feed.Close();
    });
  }
  if (run.launcher.WaitForWindow(kWindowTimeoutMs) == nullptr) {
    ADD_FAILURE() << "seed " << seed << ": no window";
    return run;
  }
  for (const InputAction& action : plan.input) {
    Sleep(action.pauseMs);
    if (!run.launcher.WindowOpen()) break;
    Perform(run.launcher, action);
  }
  const bool closedByRun = !run.launcher.WindowOpen();
  if (!closedByRun) PostKeyDown(run.launcher.window(), VK_ESCAPE);
  EXPECT_TRUE(run.launcher.WaitForWindowClosed(kCloseTimeoutMs))
      << "seed " << seed << ": the window did not close on Escape";
  const NoisePlay play = MakeNoisePlay(seed);
  std::printf("seed %llu: %llu bytes%s, updater exit code %s, %s\n", static_cast<unsigned long long>(seed),
              static_cast<unsigned long long>(play.TotalBytes()), plan.feedStandardInput ? " + standard input" : "",
              HexCode(play.exitCode).c_str(), closedByRun ? "closed during the run" : "closed by the final Escape");
  return run;
}

TEST(LauncherSoak, EveryRunUnderNoiseAndRandomInputEndsWithExitCodeZero) {
  uint64_t first = 1, last = kSoakRuns;
  if (const char* only = std::getenv("TARROW_SOAK_SEED")) first = last = std::strtoull(only, nullptr, 10);
  std::optional<EndingRun> ending;
  for (uint64_t seed = first; seed <= last; ++seed) {
    std::optional<EndingRun> run = RunSeed(seed);
    if (ending) ExpectCleanExit(*ending);
    ending = std::move(run);
    if (HasFatalFailure()) return;
  }
  if (ending) ExpectCleanExit(*ending);
}

}  // namespace
