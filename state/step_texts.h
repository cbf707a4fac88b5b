#pragma once
// The words of the launcher: the texts drawn for each step and the preview
// states that seed LaunchState. Pure lookups; every one except StallHint
// normalises its argument first, so aliases find their key.
#include <optional>
#include <string>
#include <string_view>

#include "state/launch_state.h"

// Short upper-case label of the header chip ("TRANSFER" for DOWNLOAD).
std::wstring StepTag(std::wstring_view word);

// Caption of the header card; unlisted keys give `fallback` (the profile's
// sequence title) unchanged.
std::wstring StepHeadline(std::wstring_view word, std::wstring_view fallback);

// Title line of the progress panel.
std::wstring StepTitle(std::wstring_view word);

// Default detail line, shown when the state carries no detail text.
std::wstring StepSentence(std::wstring_view word);

// The step's stall hint once the bar has sat on its target for 90 ticks with
// a target present; empty otherwise, and always empty for LAUNCH, READY,
// ERROR, STOP and unlisted keys. Compares stepKey as stored.
std::wstring StallHint(const LaunchState& state);

struct PreviewState {
  std::optional<double> progress;
  std::wstring stepKey;
  std::wstring detail;
};

// The preview row for a state word; anything unlisted gives the DOWNLOAD row.
PreviewState PreviewFor(std::wstring_view word);
