#pragma once
// The byte counts of the current step and what they tell: how much of how
// much, how fast, and how long is left. Portable and pure: the launch state
// holds one TransferCounts, the state operations feed it with the updater's
// counts and the window's clock, and the launch view words it.
//
// The estimate follows the usual rules for progress shown to people: none
// during the first seconds of a step's counts; a rate smoothed over the
// seconds before; shown changes at most once a second; rounded to its
// largest unit ("About 3 minutes left", "About 40 seconds left"); counts
// that stop growing show the step as stalled.
#include <cstdint>
#include <optional>
#include <string>

#include "state/languages.h"

// No time left for this long after a step's first count.
inline constexpr uint64_t kEstimateAfterMs = 5000;
// The rate is sampled once this much time has passed since the last sample;
// the shown rate and time left change only then.
inline constexpr uint64_t kRateSampleMs = 1000;
// An unfinished step whose done count has not grown for this long is stalled.
inline constexpr uint64_t kCountsStallMs = 10000;
// The weight of one second's rate against the smoothed rate before it.
inline constexpr double kRateWeight = 0.3;
// Estimates beyond this many hours are not shown.
inline constexpr uint64_t kMaxHoursLeft = 99;

struct TransferCounts {
  bool present = false;           // the step has had a count
  uint64_t done = 0;
  std::optional<uint64_t> total;  // never below done
  uint64_t startedAtMs = 0;       // the step's first count (or done going back)
  uint64_t grewAtMs = 0;          // done last grew
  uint64_t sampledAtMs = 0;       // the last rate sample, and done then
  uint64_t sampledDone = 0;
  std::optional<double> rate;              // smoothed bytes per second, from the first sample on
  std::optional<uint64_t> secondsLeft;     // the estimate as shown, set at a sample
  bool stalled = false;           // unfinished, and done has not grown for kCountsStallMs
  // The bar: where its target stood when the step began, whether the
  // step's last progress line came without a value (the counts then move
  // it), and the highest target the counts gave it in this step.
  double barFrom = 0;
  bool drivesBar = false;
  double barReached = 0;
};

// Takes a done count and a total (either may be absent) at `nowMs`. A done
// count over the total raises the total; a done count that goes back starts
// the rate and the estimate afresh.
void NoteCounts(TransferCounts& counts, std::optional<uint64_t> done, std::optional<uint64_t> total, uint64_t nowMs);

// The clock has moved to `nowMs`: samples the rate when a second or more has
// passed since the last sample, updates the estimate and the stall. True
// when what the view shows of it changed.
bool AdvanceCounts(TransferCounts& counts, uint64_t nowMs);

// The bar's target that the counts give within the step's share of the bar,
// from barFrom to `shareEnd` (never below barFrom nor below a target the
// counts gave before); nullopt without a total.
std::optional<double> BarFromCounts(const TransferCounts& counts, double shareEnd);

// "42.6 MB" as the language writes sizes: Windows' units of 1024, three
// figures at most ("238 MB", "42.6 MB", "1.8 MB"), cut rather than rounded
// up, bytes below 1 KB.
std::wstring FormatByteSize(const Language& language, uint64_t bytes);

// "About 2 minutes left": the estimate in its largest unit, rounded
// (seconds to fives, at least 5).
std::wstring FormatTimeLeft(const Language& language, uint64_t seconds);

// The counts in words: "42.6 MB of 238 MB · 1.8 MB/s · About 2 minutes left"
// (the rate and the estimate once known, neither while stalled or once the
// total is reached); empty without counts.
std::wstring DescribeTransfer(const TransferCounts& counts, const Language& language);
