#include "state/transfer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/text.h"
#include "channel/launch_event.h"

namespace {

constexpr std::array<TextId, 5> kSizeUnits{TextId::SizeBytes, TextId::SizeKb, TextId::SizeMb, TextId::SizeGb,
                                           TextId::SizeTb};
constexpr std::wstring_view kPartSeparator = L" \u00B7 ";

bool Unfinished(const TransferCounts& counts) { return !counts.total || counts.done < *counts.total; }

// The estimate as it will be worded: whole seconds, or nothing while it may
// not show.
std::optional<uint64_t> EstimateSeconds(const TransferCounts& counts, uint64_t nowMs) {
  if (!counts.total || !counts.rate || *counts.rate < 1.0 || !Unfinished(counts)) return std::nullopt;
  if (nowMs - counts.startedAtMs < kEstimateAfterMs) return std::nullopt;
  const double seconds = static_cast<double>(*counts.total - counts.done) / *counts.rate;
  if (seconds >= static_cast<double>(kMaxHoursLeft * 3600 + 1800)) return std::nullopt;
  return static_cast<uint64_t>(std::llround(seconds));
}

// The wording of a size or a rate, for telling whether a sample changed it.
std::wstring ShownRate(const TransferCounts& counts, const Language& language) {
  if (!counts.rate || *counts.rate < 1.0) return {};
  return FormatByteSize(language, static_cast<uint64_t>(*counts.rate));
}

void Restart(TransferCounts& counts, uint64_t nowMs) {
  counts.startedAtMs = counts.grewAtMs = counts.sampledAtMs = nowMs;
  counts.sampledDone = counts.done;
  counts.rate.reset();
  counts.secondsLeft.reset();
  counts.stalled = false;
}

// A text with two placeholders ("{done} of {total}"): each by its name,
// whichever order the language puts them in.
std::wstring Replaced(std::wstring text, std::wstring_view placeholder, std::wstring_view value) {
  const size_t at = text.find(placeholder);
  if (at != std::wstring::npos) text.replace(at, placeholder.size(), value);
  return text;
}

}  // namespace

void NoteCounts(TransferCounts& counts, std::optional<uint64_t> done, std::optional<uint64_t> total, uint64_t nowMs) {
  if (!done && !total) return;
  if (!counts.present) {
    counts.present = true;
    counts.done = done.value_or(0);
    Restart(counts, nowMs);
  } else if (done && *done < counts.done) {
    counts.done = *done;
    Restart(counts, nowMs);
  } else if (done && *done > counts.done) {
    counts.done = *done;
    counts.grewAtMs = nowMs;
    counts.stalled = false;
  }
  if (total) counts.total = *total;
  if (counts.total && counts.done > *counts.total) counts.total = counts.done;
  if (!Unfinished(counts)) {
    counts.stalled = false;
    counts.secondsLeft.reset();
  }
}

bool AdvanceCounts(TransferCounts& counts, uint64_t nowMs) {
  if (!counts.present || nowMs < counts.sampledAtMs) return false;
  bool changed = false;
  const bool stalled = Unfinished(counts) && nowMs - counts.grewAtMs >= kCountsStallMs;
  if (stalled != counts.stalled) {
    counts.stalled = stalled;
    changed = true;
  }
  const uint64_t elapsed = nowMs - counts.sampledAtMs;
  if (elapsed < kRateSampleMs) return changed;
  // A clock that jumps several seconds weighs as as many samples of the
  // same rate, so the smoothing does not depend on how often it is asked.
  const double seconds = static_cast<double>(elapsed) / 1000.0;
  const double instant = static_cast<double>(counts.done - counts.sampledDone) / seconds;
  const std::wstring before = ShownRate(counts, English());
  counts.rate = counts.rate ? instant + (*counts.rate - instant) * std::pow(1.0 - kRateWeight, seconds) : instant;
  counts.sampledAtMs = nowMs;
  counts.sampledDone = counts.done;
  const std::optional<uint64_t> estimate = EstimateSeconds(counts, nowMs);
  const bool estimateChanged =
      estimate.has_value() != counts.secondsLeft.has_value() ||
      (estimate && FormatTimeLeft(English(), *estimate) != FormatTimeLeft(English(), *counts.secondsLeft));
  counts.secondsLeft = estimate;
  return changed || estimateChanged || before != ShownRate(counts, English());
}

std::optional<double> BarFromCounts(const TransferCounts& counts, double shareEnd) {
  if (!counts.total || *counts.total == 0) return std::nullopt;
  const double fraction = static_cast<double>(counts.done) / static_cast<double>(*counts.total);
  const double end = std::max(shareEnd, counts.barFrom);
  return std::max(counts.barReached, counts.barFrom + (end - counts.barFrom) * fraction);
}

std::wstring FormatByteSize(const Language& language, uint64_t bytes) {
  size_t unit = 0;
  uint64_t scale = 1;
  while (unit + 1 < kSizeUnits.size() && bytes >= scale * 1024) {
    scale *= 1024;
    ++unit;
  }
  std::wstring number;
  if (unit == 0) {
    number = DecimalText(bytes);
  } else {
    // Cut, not rounded: a download shows its total only once it has it all.
    const uint64_t tenths = bytes * 10 / scale;  // bytes <= kMaxByteCount: no overflow
    number = DecimalText(tenths / 10);
    if (tenths < 1000) {
      number += language.decimal;
      number += static_cast<wchar_t>(L'0' + tenths % 10);
    }
  }
  return FormatText(language, kSizeUnits[unit], number);
}

std::wstring FormatTimeLeft(const Language& language, uint64_t seconds) {
  if (seconds < 58) return PluralText(language, TextId::LeftSeconds, std::max<uint64_t>(5, (seconds + 2) / 5 * 5));
  const uint64_t minutes = (seconds + 30) / 60;
  if (minutes < 60) return PluralText(language, TextId::LeftMinutes, minutes);
  return PluralText(language, TextId::LeftHours, (seconds + 1800) / 3600);
}

std::wstring DescribeTransfer(const TransferCounts& counts, const Language& language) {
  if (!counts.present) return {};
  std::wstring text = FormatByteSize(language, counts.done);
  if (counts.total) {
    text = Replaced(Replaced(std::wstring(Text(language, TextId::BytesOf)), L"{done}", text), L"{total}",
                    FormatByteSize(language, *counts.total));
  }
  if (counts.stalled || !Unfinished(counts)) return text;
  const std::wstring rate = ShownRate(counts, language);
  if (!rate.empty()) {
    text += kPartSeparator;
    text += FormatText(language, TextId::BytesRate, rate);
  }
  if (counts.secondsLeft) {
    text += kPartSeparator;
    text += FormatTimeLeft(language, *counts.secondsLeft);
  }
  return text;
}
