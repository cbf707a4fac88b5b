#pragma once
// The one table of steps: for each canonical key its rail position, how it
// behaves, what its button does, which of the launcher's own texts it shows
// (state/languages.h words them in the chosen language) and the preview row
// that seeds LaunchState for it. Pure lookups on canonical keys (the output of
// NormalizeStepKey); an unlisted key gets the unlisted row.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "text_ids.h"

enum class StepKind {
  Working,    // counts settled ticks and may show its stall hint
  Finishing,  // LAUNCH and READY: done once the target is full
  Failed,     // ERROR and STOP
};

enum class StepButton { Cancel, Retry, Close };

// The rail's segments; a step's share of the bar ends where its segment does.
inline constexpr int kRailSegmentCount = 5;

struct StepFacts {
  std::wstring_view key;
  int railIndex = -1;  // segment 0..4; -1 off the rail
  StepKind kind = StepKind::Working;
  StepButton button = StepButton::Cancel;
  TextId tag{};                      // header chip
  std::optional<TextId> headline;    // header card caption; none: the profile's sequence title
  TextId title{};                    // title line of the progress panel
  TextId sentence{};                 // default detail line
  std::optional<TextId> stallHint;   // none: the step has no stall hint
  std::optional<double> previewProgress;
  std::optional<TextId> previewDetail;
};

// The row of a canonical key; unlisted keys share one row (off the rail,
// "PREPARE", no preview of their own).
const StepFacts& FactsOf(std::wstring_view key);

// The listed rows, rail order first, then ERROR and STOP.
std::span<const StepFacts> ListedSteps();

// True for the eight keys that sit on the rail (LINK .. READY).
bool IsRailKey(std::wstring_view key);

struct PreviewState {
  std::optional<double> progress;
  std::wstring stepKey;
  std::optional<TextId> detail;  // one of the launcher's own texts
};

// The preview row for a state word (normalised first); anything without a
// row of its own gives the DOWNLOAD row.
PreviewState PreviewFor(std::wstring_view word);
