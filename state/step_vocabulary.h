#pragma once
// The fixed vocabulary of steps: canonical keys, word aliases, the five-segment
// rail and the status of the current step.
#include <string>
#include <string_view>

#include "state/launch_state.h"

// Folds the word (ASCII letters and digits only), upper-cases it and maps the
// aliases: "connect" -> "LINK", "done" -> "READY", "cancel" -> "STOP", ...
// An empty result gives "SCAN"; any other word stands for itself.
std::wstring NormalizeStepKey(std::wstring_view word);

// True for the eight keys that sit on the rail (LINK .. READY).
bool IsRailKey(std::wstring_view key);

// Segment 0..4 of the rail for any word; ERROR, STOP and unlisted keys give 0.
int RailIndex(std::wstring_view word);

// "warn" for ERROR and STOP; "done" only for READY or LAUNCH with a target of
// at least 0.999; otherwise "active" with a target and "idle" without one.
std::wstring_view StepStatus(const LaunchState& state);

bool IsErrorOrStop(std::wstring_view stepKey);
