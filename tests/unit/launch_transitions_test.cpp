// What each event does to the state is pinned by the replay transcripts
// (state-table, step-words with the error words, easing, close-timer, road);
// these are the rules the transcripts cannot show: which ticks repaint,
// reduced motion, saturation, retry, idle ticks.
#include "state/launch_transitions.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "state/launch_view.h"

namespace {

LaunchView View(const LaunchState& s) { return DescribeLaunch(s, L"x", English()); }

// The easing transcript pins the bar and the stall hint tick by tick; here
// which ticks ask for a repaint: each of the 25 moving ones, none of the 89
// settled ones before the stall hint, the hint's arrival, and a new line's.
TEST(AnimateProgressTest, MovingTicksAndTheStallHintRepaintSettledTicksDoNot) {
  LaunchState s;
  ApplyLaunchEvent(s, LaunchEvent{L"progress", 0.5, L"DOWNLOAD", L"Fetching files", {}});
  for (int tick = 1; tick <= 25; ++tick) EXPECT_TRUE(AnimateProgress(s).repaint) << tick;
  for (int tick = 26; tick <= 114; ++tick) EXPECT_FALSE(AnimateProgress(s).repaint) << tick;
  EXPECT_TRUE(AnimateProgress(s).repaint);  // the hint (its text: the easing transcript)
  ApplyLaunchEvent(s, LaunchEvent{L"progress", 0.8, L"DOWNLOAD", L"More files", {}});
  EXPECT_TRUE(AnimateProgress(s).repaint);
}

// With the system's animations off the bar jumps: the jump is the one moving
// tick, and the stall hint is due 90 settled ticks after it.
TEST(AnimateProgressTest, WithoutAnimationJumpsInOneTickThenCountsToTheStallHint) {
  LaunchState s;
  ApplyLaunchEvent(s, LaunchEvent{L"progress", 0.5, L"DOWNLOAD", L"Fetching files", {}});
  s.settledTicks = 40;
  EXPECT_TRUE(AnimateProgress(s, false).repaint);
  EXPECT_EQ(View(s).percent, L"50%");
  for (int tick = 2; tick <= 90; ++tick) EXPECT_FALSE(AnimateProgress(s, false).repaint) << tick;
  EXPECT_TRUE(AnimateProgress(s, false).repaint);
  EXPECT_EQ(View(s).detail, L"Receiving changes");
}

TEST(AnimateProgressTest, FinalStepsSettleWithoutCountingAndTheCountSaturates) {
  for (const wchar_t* step : {L"ERROR", L"STOP", L"READY", L"LAUNCH"}) {
    LaunchState s;
    s.stepKey = step;
    s.progress = 0.3;
    s.shownProgress = 0.299;
    s.settledTicks = 5;
    EXPECT_FALSE(AnimateProgress(s).repaint);
    EXPECT_EQ(s.settledTicks, 5);
  }
  LaunchState s;
  s.settledTicks = std::numeric_limits<int32_t>::max() - 1;
  AnimateProgress(s);
  AnimateProgress(s);
  EXPECT_EQ(s.settledTicks, std::numeric_limits<int32_t>::max());
}

TEST(LaunchTransitionsTest, RetryWaitsOnTheFirstStepWithoutATarget) {
  LaunchState s;
  ApplyLaunchEvent(s, LaunchEvent{L"error", std::nullopt, L"", L"Disk full", {}});
  EXPECT_EQ(View(s).buttonLabel, L"Retry");
  EXPECT_TRUE(RetryLaunch(s).repaint);
  EXPECT_EQ(std::tie(s.stepKey, s.railKey), std::make_tuple(L"LINK", L"LINK"));
  EXPECT_EQ(View(s).detail, L"Retry requested");
  EXPECT_EQ(View(s).percent, L"WAIT");
  EXPECT_EQ(View(s).buttonLabel, L"Cancel");
  EXPECT_EQ(RetryLaunch(s).closeTimerMs, 0u);
}

// A settled window costs no painting: once the bar has reached its target
// and the stall hint is up, the 45 ms animation tick asks the window for
// nothing at all, whatever state the launch was left in.
TEST(IdleTicksTest, SettledWindowAsksForNothingFor200Ticks) {
  const std::pair<const wchar_t*, const wchar_t*> lines[] = {
      {L"preview", L"DOWNLOAD"}, {L"preview", L"ERROR"}, {L"preview", L"LINK"}, {L"progress", L"DOWNLOAD"},
      {L"progress", L"WARMUP"},  {L"error", L""},        {L"done", L""},        {L"cancelled", L""}};
  for (const bool animate : {true, false}) {
    for (const auto& [kind, caption] : lines) {
      LaunchState state;
      LaunchEvent event{kind, std::wstring(kind) == L"progress" ? std::optional(0.75) : std::nullopt, caption, {}, {}};
      ApplyLaunchEvent(state, event);
      // About 30 easing ticks for a bar from 0 to 1, one repaint for the hint.
      int repaints = 0;
      for (int tick = 0; tick < 400; ++tick) repaints += AnimateProgress(state, animate).repaint ? 1 : 0;
      EXPECT_LE(repaints, 40);
      for (int tick = 0; tick < 200; ++tick) {
        const StateEffects effects = AnimateProgress(state, animate);
        ASSERT_FALSE(effects.repaint || effects.closeTimerMs != 0) << "tick " << tick;
      }
    }
  }
}

}  // namespace
