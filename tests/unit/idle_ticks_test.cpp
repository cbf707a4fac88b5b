// A settled window costs no painting: once the bar has reached its target
// and the stall hint is up, the 45 ms animation tick asks the window for
// nothing at all, whatever state the launch was left in.
#include <gtest/gtest.h>

#include "channel/launch_event.h"
#include "state/launch_transitions.h"

namespace {

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
        ASSERT_FALSE(effects.repaint || effects.armCloseTimer) << "tick " << tick;
      }
    }
  }
}

}  // namespace
