#pragma once
// What the window shows about the launch. Changed only by the state
// operations, on the window thread.
#include <cstdint>
#include <optional>
#include <string>

#include "state/transfer.h"
#include "text_ids.h"

// Settled ticks after which a working step shows its stall hint (about 4 s).
inline constexpr int32_t kStallHintTicks = 90;
// A target at or above this counts as full: the bar fills at once, and LAUNCH
// or READY is done.
inline constexpr double kFullProgress = 0.999;

struct LaunchState {
  std::wstring stepKey = L"LINK";   // canonical key of the current step, never empty
  std::wstring railKey = L"LINK";   // selects the current rail segment
  std::wstring detailText;          // the updater's detail line; empty: the step's default sentence shows
  // Set when the launcher itself wrote the detail line (a preview, done,
  // cancel, Retry, a failed start, an ended updater): the launch view shows
  // it in the chosen language instead of detailText. detailCode fills the
  // {code} of TextId::DetailExitCode.
  std::optional<TextId> detailOwn;
  uint32_t detailCode = 0;
  // A failed updater start: the system's own words for detailCode (may be
  // empty) and a sentence of ours on what to do, shown after the own text.
  std::wstring detailReason;
  std::optional<TextId> detailAdvice;
  // A "done" event was applied since the start or the last Retry.
  bool handedOver = false;
  std::optional<double> progress = 0.0;  // target fraction 0..1; absent shows "WAIT"
  double shownProgress = 0.0;       // eased toward progress by the animation tick
  int32_t settledTicks = 0;         // ticks the bar has sat on its target; 90 shows the stall hint
  // The updater's byte counts in the current step; a new step starts afresh.
  TransferCounts transfer;
  // Milliseconds on the window's clock (the animation tick sets it); the
  // counts are stamped with it.
  uint64_t clockMs = 0;
};
