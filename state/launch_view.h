#pragma once
// Everything a reader of the launch state shows, computed in one place: the
// scene paints it, the replay tool prints it, the accessibility object reads
// it out and the taskbar button mirrors it. The launcher's own texts are
// worded here, in the chosen language; the updater's pass through as sent.
// Pure.
#include <string>
#include <string_view>
#include <vector>

#include "state/languages.h"
#include "state/launch_state.h"
#include "state/step_table.h"

enum class LaunchTone {
  Working,  // a target is present and the step is under way
  Waiting,  // no target: the bar shows its grey stub and "WAIT"
  Done,     // LAUNCH or READY with a full target
  Failed,   // ERROR or STOP
};

struct LaunchView {
  std::wstring tag;          // header chip ("TRANSFER")
  std::wstring headline;     // header card caption
  std::wstring title;        // title line of the progress panel
  // Detail line: the step's byte counts first when it has them (then the
  // stall hint or the updater's detail after them), else the stall hint,
  // else the detail text, else the step's sentence.
  std::wstring detail;
  std::wstring transfer;     // the byte counts in words ("42.6 MB of 238 MB · 1.8 MB/s"); empty without
  std::wstring percent;      // percentage pill: "WAIT" without a target, else "0%" .. "100%"
  std::wstring buttonLabel;  // "Cancel", "Retry" or "Close"
  std::wstring buttonAction; // the button's accessible default action ("Press")
  StepButton button = StepButton::Cancel;  // Retry retries; Cancel and Close close the window
  int railIndex = 0;         // current rail segment 0..4
  LaunchTone tone = LaunchTone::Waiting;
  bool hasTarget = false;
  bool stallHint = false;    // the detail line shows the step's stall hint (the bar settled, or the counts stalled)
  double shownFraction = 0;  // shownProgress clamped to [0, 1]; not a finite number gives 0
  double targetFraction = 0; // the target the bar eases toward, clamped likewise; 0 without one
  bool rightToLeft = false;  // the language reads right to left: the window is mirrored
};

LaunchView DescribeLaunch(const LaunchState& state, std::wstring_view sequenceTitle, const Language& language);

// Launch states whose views together show every text the launcher itself
// can show, each where it shows: every step's preview, the step without a
// target (its sentence, "WAIT"), at a full target past its stall hint
// ("100%"), and the details the launcher sets on the steps that show them
// (the exit code 3221225477, the widest; a failed start without its code,
// the system's words and the advice, which follow it and may be cut), and
// byte counts with rate and time left, and stalled. One unlisted step stands for all.
// What the check that every text fits its box lays out.
std::vector<LaunchState> ShowcaseStates();

// What the launch came to, judged as the window closes: Failed while an
// error shows (its button is Retry), else Done after a "done" since the
// start or the last Retry, else Cancelled (the user, or another program,
// closed it first).
enum class LaunchOutcome { Done, Cancelled, Failed };
LaunchOutcome OutcomeOf(const LaunchState& state, const LaunchView& view);
// The exit code that --report-outcome gives each outcome: 0, 2 and 3 (1
// stays the launcher's own failure to start).
unsigned OutcomeExitCode(LaunchOutcome outcome);

// The tone as the replay tool's transcripts name it: "active", "idle", "done", "warn".
std::wstring_view ToneWord(LaunchTone tone);

// What the window's taskbar button shows of the launch.
enum class TaskbarState {
  Normal,         // a bar at `value`
  Indeterminate,  // no target: the marquee
  Paused,         // the stall hint shows: the bar at `value`, paused
  Error,          // ERROR or STOP: the bar at `value`, in the error colour
};

inline constexpr int kTaskbarScale = 1000;

struct TaskbarProgress {
  TaskbarState state = TaskbarState::Indeterminate;
  int value = 0;  // 0..kTaskbarScale; 0 while indeterminate, so easing does not re-mirror
  bool operator==(const TaskbarProgress&) const = default;
};

// Working with a target: normal at the shown progress; waiting: indeterminate;
// stall hint: paused; ERROR or STOP: error; done: normal and full. Paused and
// error keep the shown progress.
TaskbarProgress MirrorOnTaskbar(const LaunchView& view);
