#pragma once
// The launch state machine: every change to LaunchState goes through these
// operations, on the window thread. They never touch the window; each one
// reports what the window must do next (repaint, arm the close timer), and
// the window procedure performs exactly those calls.
#include <optional>
#include <string>
#include <string_view>
#include <cstdint>

#include "channel/launch_event.h"
#include "state/launch_state.h"

// How long after "done" the window closes.
inline constexpr uint32_t kCloseTimerMs = 1400;

struct StateEffects {
  bool repaint = false;
  uint32_t closeTimerMs = 0;  // (re)start the close timer with this period; 0: leave it
};

// What two operations applied one after the other ask together: a repaint
// when either asks, and the later one's close period where it arms one.
inline StateEffects Then(StateEffects first, StateEffects second) {
  return StateEffects{first.repaint || second.repaint,
                      second.closeTimerMs != 0 ? second.closeTimerMs : first.closeTimerMs};
}

// Moves to the step `word` (normalised). Rail keys also move the rail. A
// present progress is clamped to [0, 1]; a lower target shows at once and a
// target of kFullProgress or more fills the bar at once. A progress that is not a
// number counts as absent. `detail` replaces the detail text, even when empty.
StateEffects SetStep(LaunchState& state, std::optional<double> progress, std::wstring_view word, std::wstring detail);
// The same with one of the launcher's own texts as the detail (`code` fills
// the {code} of TextId::DetailExitCode).
StateEffects SetStep(LaunchState& state, std::optional<double> progress, std::wstring_view word, TextId own,
                     uint32_t code = 0);

// The updater could not be started, or its output cannot be read: ERROR at
// 0 with `own`, the system's code and its words for it (`reason`, may be
// empty) and, when there is one, a sentence of ours on what to do.
StateEffects ShowStartFailure(LaunchState& state, TextId own, uint32_t code, std::wstring reason,
                              std::optional<TextId> advice);

// True when the ASCII-lowered text contains "error", "failed", "fail" or
// "exception" anywhere, also inside longer words ("Failover").
bool LooksLikeError(std::wstring_view text);

// Applies one parsed updater line by its folded kind; unknown kinds change
// nothing and need no repaint. Only "done" arms the close timer (and marks
// the launch handed over). Byte counts on any event then go to the step the
// event leaves current, stamped with state.clockMs. A progress line without
// a value lets the counts move the bar: DONE/TOTAL of the way from where the
// bar stood at the step's first count to the end of its rail segment, never back.
StateEffects ApplyLaunchEvent(LaunchState& state, const LaunchEvent& event);

// The window's clock moved to `nowMs` (each animation tick): samples the
// byte counts' rate and marks them stalled; repaints when their words change.
StateEffects AdvanceClock(LaunchState& state, uint64_t nowMs);

// Loads the preview row for `word` without easing, with the stall hint
// already due. Neither starts nor stops the close timer.
StateEffects ApplyPreviewState(LaunchState& state, std::wstring_view word);

// One 45 ms tick: closes a fifth of the gap to the target, or, once settled,
// counts settled ticks in working steps (repaint only on reaching 90).
// Without `animate` (the system's animations are off) a gap is closed in
// one tick instead; that jump is the moving tick, so the count restarts
// there and the stall hint is still due 90 settled ticks later.
StateEffects AnimateProgress(LaunchState& state, bool animate = true);

// Back to LINK with "Retry requested" and no target; forgets a "done".
// Starts nothing.
StateEffects RetryLaunch(LaunchState& state);
