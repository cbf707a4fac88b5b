// A settled window costs no painting: once the bar has reached its target
// and the stall hint is up, the 45 ms animation tick asks the window for
// nothing at all, whatever state the launch was left in.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "channel/launch_event.h"
#include "state/launch_transitions.h"
#include "state/launch_state.h"
#include "state/launch_view.h"

namespace {

LaunchEvent Event(const wchar_t* kind, std::optional<double> value = std::nullopt, const wchar_t* caption = L"",
                  const wchar_t* detail = L"") {
  LaunchEvent event;
  event.kind = kind;
  event.value = value;
  event.caption = caption;
  event.detail = detail;
  return event;
}

struct IdleCase {
  const char* name;
  void (*reach)(LaunchState& state);  // brings the state to where the window idles
  int maxRepaints;                    // repaints the ticks may ask for before settling
};

// Runs ticks until none has asked for anything for 200 ticks in a row, for
// at most 2000 ticks; returns how many repaints were asked for.
struct TickReport {
  int repaints = 0;
  int closeTimers = 0;
  int quietRun = 0;
  int ticks = 0;
};

TickReport TickUntilQuiet(LaunchState& state) {
  TickReport report;
  while (report.quietRun < 200 && report.ticks < 2000) {
    const StateEffects effects = AnimateProgress(state);
    ++report.ticks;
    if (effects.repaint) ++report.repaints;
    if (effects.armCloseTimer) ++report.closeTimers;
    report.quietRun = effects.repaint || effects.armCloseTimer ? 0 : report.quietRun + 1;
  }
  return report;
}

class IdleTickTest : public ::testing::TestWithParam<IdleCase> {};

TEST_P(IdleTickTest, SettledWindowAsksForNothingFor200Ticks) {
  LaunchState state;
  GetParam().reach(state);
  const TickReport report = TickUntilQuiet(state);
  EXPECT_EQ(report.quietRun, 200) << "still repainting after " << report.ticks << " ticks";
  EXPECT_LE(report.repaints, GetParam().maxRepaints);
  EXPECT_EQ(report.closeTimers, 0);
  // Whatever stall hint the step has is showing by now, and stays.
  if (DescribeLaunch(state, L"").stallHint) {
    EXPECT_GE(state.settledTicks, kStallHintTicks);
  }
  const LaunchState settled = state;
  for (int tick = 0; tick < 200; ++tick) {
    const StateEffects effects = AnimateProgress(state);
    ASSERT_FALSE(effects.repaint) << "tick " << tick;
    ASSERT_FALSE(effects.armCloseTimer) << "tick " << tick;
  }
  EXPECT_EQ(state.stepKey, settled.stepKey);
  EXPECT_EQ(state.detailText, settled.detailText);
  EXPECT_EQ(state.shownProgress, settled.shownProgress);
  EXPECT_EQ(DescribeLaunch(state, L"").detail, DescribeLaunch(settled, L"").detail);
}

// A bar moving from 0 to 1 needs about 30 easing ticks, plus one repaint for
// the stall hint.
constexpr int kEaseBound = 40;

INSTANTIATE_TEST_SUITE_P(
    States, IdleTickTest,
    ::testing::Values(
        IdleCase{"StartUpPreview", [](LaunchState& s) { ApplyPreviewState(s, L"DOWNLOAD"); }, 0},
        IdleCase{"ErrorPreview", [](LaunchState& s) { ApplyPreviewState(s, L"ERROR"); }, 0},
        IdleCase{"LinkPreview", [](LaunchState& s) { ApplyPreviewState(s, L"LINK"); }, 0},
        IdleCase{"ProgressEvent",
                 [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"progress", 0.75, L"DOWNLOAD", L"Fetching")); },
                 kEaseBound},
        IdleCase{"ProgressWithoutValue",
                 [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"progress", std::nullopt, L"VERIFY")); }, 0},
        IdleCase{"UnlistedStep",
                 [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"progress", 0.3, L"WARMUP")); }, kEaseBound},
        IdleCase{"ErrorEvent", [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"error")); }, kEaseBound},
        IdleCase{"DoneEvent", [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"done")); }, 0},
        IdleCase{"Cancelled",
                 [](LaunchState& s) {
                   ApplyLaunchEvent(s, Event(L"progress", 0.6, L"APPLY"));
                   for (int i = 0; i < 5; ++i) AnimateProgress(s);
                   ApplyLaunchEvent(s, Event(L"cancelled"));
                 },
                 kEaseBound},
        IdleCase{"RetryWaits",
                 [](LaunchState& s) {
                   ApplyLaunchEvent(s, Event(L"error"));
                   RetryLaunch(s);
                 },
                 0},
        IdleCase{"StartFailure", [](LaunchState& s) { SetStep(s, 0.0, L"ERROR", L"Updater process start failed"); },
                 0},
        IdleCase{"PercentFigure", [](LaunchState& s) { ApplyLaunchEvent(s, Event(L"progress", 50.0, L"DOWNLOAD")); },
                 kEaseBound},
        // A value that is not a number must not keep the bar repainting.
        IdleCase{"NotANumber",
                 [](LaunchState& s) {
                   ApplyLaunchEvent(s, Event(L"progress", std::numeric_limits<double>::quiet_NaN(), L"SCAN"));
                 },
                 kEaseBound}),
    [](const ::testing::TestParamInfo<IdleCase>& p) { return std::string(p.param.name); });

}  // namespace
