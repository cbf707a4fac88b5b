#include "state/launch_view.h"

#include "state/launch_transitions.h"

#include <gtest/gtest.h>

namespace {

// Step words, tone, percentage and detail line of every step are pinned by
// the replay transcripts (step-words, step-texts, state-table, easing); the
// taskbar mapping here.
LaunchView ViewOf(std::wstring step, std::optional<double> progress, double shown = 0, int32_t settled = 0,
                  std::wstring detail = L"") {
  LaunchState s;
  s.stepKey = std::move(step);
  s.progress = progress;
  s.shownProgress = shown;
  s.settledTicks = settled;
  s.detailText = std::move(detail);
  return DescribeLaunch(s, L"Sequence", English());
}

struct MirrorCase {
  const wchar_t* preview;
  TaskbarState state;
  int value;
};

// Previews arrive with the stall hint already due, so the working steps that
// have a hint show paused.
TEST(TaskbarMirrorTest, EveryPreviewState) {
  const MirrorCase cases[] = {
      {L"LINK", TaskbarState::Indeterminate, 0}, {L"MANIFEST", TaskbarState::Paused, 180},
      {L"VERIFY", TaskbarState::Paused, 300},    {L"SCAN", TaskbarState::Paused, 420},
      {L"DOWNLOAD", TaskbarState::Paused, 620},  {L"APPLY", TaskbarState::Paused, 800},
      {L"LAUNCH", TaskbarState::Normal, 940},    {L"READY", TaskbarState::Normal, 1000},
      {L"ERROR", TaskbarState::Error, 380},      {L"STOP", TaskbarState::Error, 280}};
  for (const MirrorCase& c : cases) {
    LaunchState s;
    ApplyPreviewState(s, c.preview);
    EXPECT_EQ(MirrorOnTaskbar(DescribeLaunch(s, L"Sequence", English())), (TaskbarProgress{c.state, c.value}))
        << c.preview;
  }
}

TEST(TaskbarMirrorTest, StallHintPausesAndRetryWaits) {
  EXPECT_EQ(MirrorOnTaskbar(ViewOf(L"DOWNLOAD", 0.5, 0.4567, 89)), (TaskbarProgress{TaskbarState::Normal, 457}));
  EXPECT_EQ(MirrorOnTaskbar(ViewOf(L"DOWNLOAD", 0.5, 0.5, 90)), (TaskbarProgress{TaskbarState::Paused, 500}));
  EXPECT_EQ(MirrorOnTaskbar(ViewOf(L"STEP2", 0.5, 0.5, 200)), (TaskbarProgress{TaskbarState::Normal, 500}));
  // Easing under the marquee does not change what the button shows.
  EXPECT_EQ(MirrorOnTaskbar(ViewOf(L"APPLY", std::nullopt, 0.3)), MirrorOnTaskbar(ViewOf(L"APPLY", std::nullopt, 0.6)));
  LaunchState s;
  ApplyPreviewState(s, L"ERROR");
  RetryLaunch(s);
  EXPECT_EQ(MirrorOnTaskbar(DescribeLaunch(s, L"Sequence", English())), (TaskbarProgress{TaskbarState::Indeterminate, 0}));
}

}  // namespace
