#include "state/launch_transitions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "state/launch_view.h"

namespace {

LaunchView View(const LaunchState& s) { return DescribeLaunch(s, L"x"); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LaunchEvent Event(std::wstring kind, std::optional<double> value = std::nullopt, std::wstring caption = {},
                  std::wstring detail = {}, std::wstring text = {}) {
  return LaunchEvent{std::move(kind), value, std::move(caption), std::move(detail), std::move(text)};
}

// A run in the middle of a download: the bar is still easing toward 0.5.
LaunchState Midway() {
  LaunchState s;
  s.stepKey = L"DOWNLOAD";
  s.railKey = L"DOWNLOAD";
  s.detailText = L"Fetching files";
  s.progress = 0.5;
  s.shownProgress = 0.4;
  s.settledTicks = 7;
  return s;
}

struct Expected {
  std::wstring step, rail, detail;
  std::optional<double> progress;
  double shown;
  int32_t settled;
  bool repaint = true;
  bool armClose = false;
};

struct EventCase {
  const char* name;
  LaunchEvent event;
  Expected expected;
};

// Keeps the CTest names readable: the case prints as its name.
void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }

class ApplyLaunchEventTest : public testing::TestWithParam<EventCase> {};

// One trigger applied to the midway state; every member of the result checked.
TEST_P(ApplyLaunchEventTest, LeavesTheStateTheTableGives) {
  const EventCase& c = GetParam();
  LaunchState s = Midway();
  const StateEffects fx = ApplyLaunchEvent(s, c.event);
  EXPECT_EQ(s.stepKey, c.expected.step);
  EXPECT_EQ(s.railKey, c.expected.rail);
  EXPECT_EQ(s.detailText, c.expected.detail);
  EXPECT_EQ(s.progress.has_value(), c.expected.progress.has_value());
  if (s.progress && c.expected.progress) {
    EXPECT_DOUBLE_EQ(*s.progress, *c.expected.progress);
  }
  EXPECT_DOUBLE_EQ(s.shownProgress, c.expected.shown);
  EXPECT_EQ(s.settledTicks, c.expected.settled);
  EXPECT_EQ(fx.repaint, c.expected.repaint);
  EXPECT_EQ(fx.armCloseTimer, c.expected.armClose);
}

const std::wstring kMid = L"Fetching files";
const std::wstring kCheck = L"Check network or package";
const std::wstring kHandoff = L"Application handoff complete; closing automatically";

INSTANTIATE_TEST_SUITE_P(
    StateTable, ApplyLaunchEventTest,
    testing::Values(
        // progress: a higher target eases, a lower one shows at once, 0.999 and up fills.
        EventCase{"ProgressHigherEases", Event(L"progress", 0.75, L"DOWNLOAD", L"Receiving"),
                  {L"DOWNLOAD", L"DOWNLOAD", L"Receiving", 0.75, 0.4, 0}},
        EventCase{"ProgressLowerDropsAtOnce", Event(L"progress", 0.2, L"verify"),
                  {L"VERIFY", L"VERIFY", L"", 0.2, 0.2, 0}},
        EventCase{"ProgressNearlyFullFills", Event(L"progress", 0.9995, L"APPLY", L"x"),
                  {L"APPLY", L"APPLY", L"x", 0.9995, 1.0, 0}},
        EventCase{"ProgressAboveOneClamps", Event(L"progress", 1.2), {L"SCAN", L"SCAN", L"", 1.0, 1.0, 0}},
        EventCase{"ProgressPercentClamps", Event(L"progress", 50.0, L"APPLY"), {L"APPLY", L"APPLY", L"", 1.0, 1.0, 0}},
        EventCase{"ProgressNegativeClamps", Event(L"progress", -0.3, L"step 2"),
                  {L"STEP2", L"DOWNLOAD", L"", 0.0, 0.0, 0}},
        EventCase{"ProgressInfinityClamps", Event(L"progress", kInf, L"LINK"), {L"LINK", L"LINK", L"", 1.0, 1.0, 0}},
        EventCase{"ProgressMinusInfinityClamps", Event(L"progress", -kInf, L"LINK"),
                  {L"LINK", L"LINK", L"", 0.0, 0.0, 0}},
        EventCase{"ProgressNaNIsAbsent", Event(L"progress", kNaN, L"APPLY", L"y"),
                  {L"APPLY", L"APPLY", L"y", std::nullopt, 0.4, 0}},
        EventCase{"ProgressWithoutValue", Event(L"progress", std::nullopt, L"MANIFEST"),
                  {L"MANIFEST", L"MANIFEST", L"", std::nullopt, 0.4, 0}},
        EventCase{"ProgressCaptionErrorKeepsRail", Event(L"progress", 0.3, L"error", L"e"),
                  {L"ERROR", L"DOWNLOAD", L"e", 0.3, 0.3, 0}},
        EventCase{"ProgressCaptionDoneIsReadyNoClose", Event(L"progress", 1.0, L"done"),
                  {L"READY", L"READY", L"", 1.0, 1.0, 0}},
        EventCase{"CapitalProgressWordLine", Event(L"Progress", std::nullopt, L"", L"0.5 DOWNLOAD x", L"0.5 DOWNLOAD x"),
                  {L"SCAN", L"SCAN", L"0.5 DOWNLOAD x", std::nullopt, 0.4, 0}},
        // status: detail, else text, else unchanged; error words turn the step into ERROR.
        EventCase{"StatusTextOnly", Event(L"status", std::nullopt, L"", L"", L"Checking files"),
                  {L"DOWNLOAD", L"DOWNLOAD", L"Checking files", 0.5, 0.4, 7}},
        EventCase{"StatusDetailWins", Event(L"STATUS", std::nullopt, L"", L"Mirror 2", L"Checking"),
                  {L"DOWNLOAD", L"DOWNLOAD", L"Mirror 2", 0.5, 0.4, 7}},
        EventCase{"StatusEmptyKeepsDetail", Event(L"status"), {L"DOWNLOAD", L"DOWNLOAD", kMid, 0.5, 0.4, 7}},
        EventCase{"StatusErrorWordNoDetail", Event(L"status", std::nullopt, L"", L"", L"Failover engaged"),
                  {L"ERROR", L"DOWNLOAD", kCheck, 0.5, 0.4, 7}},
        EventCase{"StatusErrorWordWithDetail", Event(L"status", std::nullopt, L"", L"Mirror 2", L"Failover engaged"),
                  {L"ERROR", L"DOWNLOAD", L"Mirror 2", 0.5, 0.4, 7}},
        EventCase{"StatusErrorWordInDetailOnly", Event(L"status", std::nullopt, L"", L"Disk EXCEPTION"),
                  {L"ERROR", L"DOWNLOAD", L"Disk EXCEPTION", 0.5, 0.4, 7}},
        // error: bar to zero, rail stays.
        EventCase{"ErrorWithDetail", Event(L"error", 0.9, L"APPLY", L"Disk full"),
                  {L"ERROR", L"DOWNLOAD", L"Disk full", 0.0, 0.0, 0}},
        EventCase{"ErrorMessageOnlyInText", Event(L"error", std::nullopt, L"", L"", L"Update failed"),
                  {L"ERROR", L"DOWNLOAD", kCheck, 0.0, 0.0, 0}},
        // done: LAUNCH at 100 % and the close timer.
        EventCase{"Done", Event(L"done", 0.1, L"VERIFY", L"ignored"),
                  {L"LAUNCH", L"LAUNCH", kHandoff, 1.0, 1.0, 0, true, true}},
        EventCase{"DoneAnyCase", Event(L"D-O-N-E"), {L"LAUNCH", L"LAUNCH", kHandoff, 1.0, 1.0, 0, true, true}},
        // The cancel kinds stop where the bar stands.
        EventCase{"Cancelled", Event(L"Cancelled"), {L"STOP", L"DOWNLOAD", L"Cancelled by user", 0.4, 0.4, 0}},
        EventCase{"CanceledOneL", Event(L"CANCELED"), {L"STOP", L"DOWNLOAD", L"Cancelled by user", 0.4, 0.4, 0}},
        EventCase{"CancelHyphenated", Event(L"can-celled"), {L"STOP", L"DOWNLOAD", L"Cancelled by user", 0.4, 0.4, 0}},
        EventCase{"Stop", Event(L"stop", 0.9), {L"STOP", L"DOWNLOAD", L"Cancelled by user", 0.4, 0.4, 0}},
        // preview and state: the preview row, no easing, stall hint already due.
        EventCase{"PreviewFromText", Event(L"preview", std::nullopt, L"", L"", L"verify"),
                  {L"VERIFY", L"VERIFY", L"Signature check", 0.30, 0.30, 120}},
        EventCase{"PreviewCaptionBeatsText", Event(L"preview", std::nullopt, L"apply", L"", L"verify"),
                  {L"APPLY", L"APPLY", L"Installing runtime changes", 0.80, 0.80, 120}},
        EventCase{"StateErrorMovesRail", Event(L"state", std::nullopt, L"error"),
                  {L"ERROR", L"ERROR", kCheck, 0.38, 0.38, 120}},
        EventCase{"PreviewConnectHasNoFigure", Event(L"preview", std::nullopt, L"connect"),
                  {L"LINK", L"LINK", L"Opening connection", std::nullopt, 0.0, 120}},
        EventCase{"PreviewUnknownIsDownload", Event(L"state", std::nullopt, L"Foo"),
                  {L"DOWNLOAD", L"DOWNLOAD", L"12.4 MB / 20.0 MB", 0.62, 0.62, 120}},
        EventCase{"PreviewEmptyIsScan", Event(L"preview"),
                  {L"SCAN", L"SCAN", L"Local runtime files", 0.42, 0.42, 120}},
        EventCase{"PreviewReadyDoesNotClose", Event(L"preview", std::nullopt, L"done"),
                  {L"READY", L"READY", kHandoff, 1.0, 1.0, 120}},
        // Unknown and empty kinds are dropped without a repaint.
        EventCase{"UnknownKind", Event(L"hello", 0.9, L"ERROR", L"x", L"failed"),
                  {L"DOWNLOAD", L"DOWNLOAD", kMid, 0.5, 0.4, 7, false}},
        EventCase{"EmptyKind", Event(L"", 0.9, L"ERROR"), {L"DOWNLOAD", L"DOWNLOAD", kMid, 0.5, 0.4, 7, false}},
        EventCase{"PunctuationKind", Event(L"!!"), {L"DOWNLOAD", L"DOWNLOAD", kMid, 0.5, 0.4, 7, false}}),
    [](const testing::TestParamInfo<EventCase>& param) { return std::string(param.param.name); });

TEST(SetStepTest, StartFailureBecomesAnError) {
  LaunchState s = Midway();
  EXPECT_TRUE(SetStep(s, 0.0, L"ERROR", L"Updater process start failed").repaint);
  EXPECT_EQ(s.stepKey, L"ERROR");
  EXPECT_EQ(s.railKey, L"DOWNLOAD");
  EXPECT_EQ(s.detailText, L"Updater process start failed");
  EXPECT_EQ(s.progress, 0.0);
  EXPECT_EQ(s.shownProgress, 0.0);
}

TEST(SetStepTest, NegativeZeroTargetIsStoredAsZero) {
  LaunchState s = Midway();
  SetStep(s, -0.0, L"DOWNLOAD", L"");
  ASSERT_TRUE(s.progress.has_value());
  EXPECT_FALSE(std::signbit(*s.progress));
  EXPECT_FALSE(std::signbit(s.shownProgress));
}

TEST(CancelTest, FromNearlyFullFillsTheBar) {
  LaunchState s = Midway();
  s.progress = 1.0;
  s.shownProgress = 0.9993;
  ApplyLaunchEvent(s, Event(L"cancel led"));  // folds to "cancelled"
  EXPECT_EQ(s.stepKey, L"STOP");
  EXPECT_DOUBLE_EQ(*s.progress, 0.9993);
  EXPECT_EQ(s.shownProgress, 1.0);
}

TEST(LooksLikeErrorTest, FindsTheWordsAnywhereInAnyCase) {
  const std::pair<std::wstring, bool> cases[] = {
      {L"error", true},          {L"Fatal ERROR 5", true}, {L"Failover engaged", true}, {L"unfailing", true},
      {L"Exceptional", true},    {L"FAILED", true},        {L"Checking files", false},  {L"", false},
      {L"err or fai l", false},  {L"\u00c9rror", false},  {L"exceptio", false},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(LooksLikeError(text), expected) << std::string(text.begin(), text.end());
  }
}

// Ticks until the bar settles on 0.5 from 0: 25 easing ticks, then counting.
TEST(AnimateProgressTest, EasesFor25TicksThenCountsToTheStallHint) {
  LaunchState s;
  ApplyLaunchEvent(s, Event(L"progress", 0.5, L"DOWNLOAD", L"Fetching files"));
  for (int tick = 1; tick <= 25; ++tick) {
    const double before = s.shownProgress;
    EXPECT_TRUE(AnimateProgress(s).repaint) << tick;
    EXPECT_NEAR(s.shownProgress, before + 0.2 * (0.5 - before), 1e-15) << tick;
    EXPECT_LT(s.shownProgress, 0.5) << tick;
    EXPECT_EQ(s.settledTicks, 0) << tick;
  }
  EXPECT_FALSE(AnimateProgress(s).repaint);  // tick 26 settles exactly on the target
  EXPECT_EQ(s.shownProgress, 0.5);
  EXPECT_EQ(s.settledTicks, 1);
  for (int tick = 27; tick <= 114; ++tick) EXPECT_FALSE(AnimateProgress(s).repaint) << tick;
  EXPECT_EQ(s.settledTicks, 89);
  EXPECT_EQ(View(s).detail, L"Fetching files");
  EXPECT_TRUE(AnimateProgress(s).repaint);  // tick 115: the stall hint appears
  EXPECT_EQ(s.settledTicks, 90);
  EXPECT_EQ(View(s).detail, L"Receiving changes");
  EXPECT_FALSE(AnimateProgress(s).repaint);
  EXPECT_EQ(s.settledTicks, 91);
  // A moving bar hides the hint again.
  ApplyLaunchEvent(s, Event(L"progress", 0.8, L"DOWNLOAD", L"More files"));
  EXPECT_TRUE(AnimateProgress(s).repaint);
  EXPECT_EQ(View(s).detail, L"More files");
}

// With the system's animations off the bar jumps: the jump is the one moving
// tick, and the stall hint is due 90 settled ticks after it, as with easing.
TEST(AnimateProgressTest, WithoutAnimationJumpsInOneTickThenCountsToTheStallHint) {
  LaunchState s;
  ApplyLaunchEvent(s, Event(L"progress", 0.5, L"DOWNLOAD", L"Fetching files"));
  s.settledTicks = 40;  // whatever was counted before the line
  EXPECT_TRUE(AnimateProgress(s, false).repaint);
  EXPECT_EQ(s.shownProgress, 0.5);
  EXPECT_EQ(s.settledTicks, 0);
  EXPECT_EQ(View(s).percent, L"50%");
  for (int tick = 2; tick <= 90; ++tick) EXPECT_FALSE(AnimateProgress(s, false).repaint) << tick;
  EXPECT_EQ(s.settledTicks, 89);
  EXPECT_EQ(View(s).detail, L"Fetching files");
  EXPECT_TRUE(AnimateProgress(s, false).repaint);  // tick 91: the stall hint appears
  EXPECT_EQ(View(s).detail, L"Receiving changes");
}

TEST(AnimateProgressTest, FinalStepsSettleWithoutCounting) {
  for (const wchar_t* step : {L"ERROR", L"STOP", L"READY", L"LAUNCH"}) {
    LaunchState s;
    s.stepKey = step;
    s.progress = 0.3;
    s.shownProgress = 0.299;
    s.settledTicks = 5;
    EXPECT_FALSE(AnimateProgress(s).repaint);
    EXPECT_EQ(s.shownProgress, 0.3);
    EXPECT_EQ(s.settledTicks, 5) << std::wstring(step).size();
  }
}

TEST(AnimateProgressTest, DoesNothingWithoutATarget) {
  LaunchState s = Midway();
  s.progress.reset();
  EXPECT_FALSE(AnimateProgress(s).repaint);
  EXPECT_EQ(s.shownProgress, 0.4);
  EXPECT_EQ(s.settledTicks, 7);
}

TEST(AnimateProgressTest, SettledCountSaturates) {
  LaunchState s = Midway();
  s.shownProgress = 0.5;
  s.settledTicks = std::numeric_limits<int32_t>::max() - 1;
  EXPECT_FALSE(AnimateProgress(s).repaint);
  EXPECT_FALSE(AnimateProgress(s).repaint);
  EXPECT_EQ(s.settledTicks, std::numeric_limits<int32_t>::max());
  EXPECT_TRUE(View(s).stallHint);
}

TEST(AnimateProgressTest, RecoversFromAnUnclampedPreviewFigure) {
  // A target outside [0, 1] (only ever from a preview row) eases to its clamp.
  LaunchState s = Midway();
  s.progress = 3.0;
  s.shownProgress = 0.0;
  for (int tick = 0; tick < 40; ++tick) AnimateProgress(s);
  EXPECT_EQ(s.shownProgress, 1.0);
  EXPECT_EQ(*s.progress, 3.0);
}

TEST(CloseTimerTest, OnlyTheDoneEventArmsIt) {
  LaunchState s;
  int armed = 0;
  const LaunchEvent events[] = {
      Event(L"progress", 1.0, L"READY"),   Event(L"preview", std::nullopt, L"READY"),
      Event(L"done"),                      Event(L"progress", 0.2, L"DOWNLOAD"),
      Event(L"status", std::nullopt, L"", L"", L"failed"), Event(L"cancelled"),
      Event(L"error"),                     Event(L"Done"),
  };
  for (const LaunchEvent& e : events) armed += ApplyLaunchEvent(s, e).armCloseTimer ? 1 : 0;
  EXPECT_EQ(armed, 2);
  EXPECT_FALSE(ApplyPreviewState(s, L"done").armCloseTimer);
  EXPECT_FALSE(RetryLaunch(s).armCloseTimer);
  EXPECT_FALSE(AnimateProgress(s).armCloseTimer);
}

TEST(CloseTimerTest, LaterEventsStillApplyAfterDone) {
  LaunchState s;
  ApplyLaunchEvent(s, Event(L"done"));
  EXPECT_EQ(View(s).tone, LaunchTone::Done);
  ApplyLaunchEvent(s, Event(L"progress", 0.3, L"APPLY", L"late"));
  EXPECT_EQ(s.stepKey, L"APPLY");
  EXPECT_EQ(s.shownProgress, 0.3);
}

TEST(RetryLaunchTest, FromErrorWaitsOnLinkThenContinues) {
  LaunchState s = Midway();
  ApplyLaunchEvent(s, Event(L"error", std::nullopt, L"", L"Disk full"));
  EXPECT_EQ(View(s).buttonLabel, L"Retry");
  EXPECT_TRUE(RetryLaunch(s).repaint);
  EXPECT_EQ(s.stepKey, L"LINK");
  EXPECT_EQ(s.railKey, L"LINK");
  EXPECT_EQ(s.detailText, L"Retry requested");
  EXPECT_FALSE(s.progress.has_value());
  EXPECT_EQ(s.shownProgress, 0.0);
  EXPECT_EQ(s.settledTicks, 0);
  EXPECT_EQ(View(s).percent, L"WAIT");
  EXPECT_EQ(View(s).buttonLabel, L"Cancel");
  ApplyLaunchEvent(s, Event(L"progress", 0.1, L"MANIFEST"));
  EXPECT_EQ(s.railKey, L"MANIFEST");
  EXPECT_EQ(*s.progress, 0.1);
}

TEST(ApplyPreviewStateTest, StartUpPreviewShowsTheStallHint) {
  LaunchState s;
  EXPECT_TRUE(ApplyPreviewState(s, L"DOWNLOAD").repaint);
  EXPECT_EQ(View(s).percent, L"62%");
  EXPECT_EQ(View(s).detail, L"Receiving changes");
  EXPECT_EQ(s.detailText, L"12.4 MB / 20.0 MB");
}

}  // namespace
