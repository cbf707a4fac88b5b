#pragma once
// The texts that the painters derive from the launch state, as pure functions.
#include <string>
#include <string_view>

#include "state/launch_state.h"

// "WAIT" while no target is present; else shownProgress clamped to [0, 1],
// times 100, rounded with halves away from zero, and "%" ("0%" .. "100%").
// A shownProgress that is not a finite number paints as "0%".
std::wstring PercentText(const LaunchState& state);

// The progress panel's detail line: the stall hint, else the detail text,
// else the step's default sentence.
std::wstring DetailLine(const LaunchState& state);

// "Retry" for ERROR, "Close" for STOP, READY and LAUNCH, else "Cancel". The
// key is compared as stored (state keys are already canonical).
std::wstring ActionButtonLabel(std::wstring_view stepKey);
