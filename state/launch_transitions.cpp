#include "state/launch_transitions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "base/text.h"
#include "state/step_table.h"
#include "state/step_vocabulary.h"

namespace {

constexpr double kSettleGap = 0.002;
constexpr double kEaseFraction = 0.2;
constexpr int32_t kPreviewSettledTicks = 120;
// The count only matters below, at and above 90; it stops here so a launcher
// left open for months never overflows it.
constexpr int32_t kSettledTicksCap = std::numeric_limits<int32_t>::max();

constexpr StateEffects kRepaint{true, false};

// Infinities clamp to the nearest end; callers have already turned NaN away.
// Adding 0.0 turns a negative zero into zero, so no target reads as "-0".
double ClampFraction(double value) { return std::clamp(value, 0.0, 1.0) + 0.0; }

std::optional<double> WithoutNaN(std::optional<double> value) {
  if (value && std::isnan(*value)) return std::nullopt;
  return value;
}

bool CountsSettledTicks(std::wstring_view stepKey) { return FactsOf(stepKey).kind == StepKind::Working; }

// The detail line becomes another: a failed start's words go with the old one.
void ForgetStartFailure(LaunchState& state) {
  state.detailReason.clear();
  state.detailAdvice.reset();
}

// The counts an event carries; while the step's last progress line had no
// value they move the bar, from where it stood at the step's first count up
// to the end of the rail segment the step is on.
void ApplyCounts(LaunchState& state, const LaunchEvent& event) {
  TransferCounts& counts = state.transfer;
  if (!counts.present) {
    // The step's share of the bar starts where the bar stands at its first count.
    const double from = state.progress ? *state.progress : state.shownProgress;
    counts.barFrom = std::isfinite(from) ? ClampFraction(from) : 0.0;
  }
  NoteCounts(counts, event.bytes, event.total, state.clockMs);
  if (!counts.drivesBar) return;
  const int segment = std::max(FactsOf(state.railKey).railIndex, 0);
  const std::optional<double> bar = BarFromCounts(counts, static_cast<double>(segment + 1) / kRailSegmentCount);
  if (!bar) return;
  counts.barReached = *bar;
  state.progress = *bar;
  if (state.shownProgress > *bar) state.shownProgress = *bar;
}

StateEffects Cancel(LaunchState& state) {
  const double here = std::isfinite(state.shownProgress) ? ClampFraction(state.shownProgress) : 0.0;
  return SetStep(state, here, L"STOP", TextId::DetailCancelled);
}

}  // namespace

StateEffects SetStep(LaunchState& state, std::optional<double> progress, std::wstring_view word, std::wstring detail) {
  std::wstring key = NormalizeStepKey(word);
  if (key != state.stepKey) state.transfer = TransferCounts{};  // a new step counts afresh
  state.stepKey = std::move(key);
  if (IsRailKey(state.stepKey)) state.railKey = state.stepKey;
  state.detailText = std::move(detail);
  state.detailOwn.reset();
  ForgetStartFailure(state);
  state.progress = WithoutNaN(progress);
  state.settledTicks = 0;
  if (state.progress) {
    *state.progress = ClampFraction(*state.progress);
    if (*state.progress >= kFullProgress) {
      state.shownProgress = 1.0;
    } else if (state.shownProgress > *state.progress) {
      state.shownProgress = *state.progress;
    }
  }
  return kRepaint;
}

StateEffects SetStep(LaunchState& state, std::optional<double> progress, std::wstring_view word, TextId own,
                     uint32_t code) {
  const StateEffects effects = SetStep(state, progress, word, std::wstring());
  state.detailOwn = own;
  state.detailCode = code;
  return effects;
}

StateEffects ShowStartFailure(LaunchState& state, TextId own, uint32_t code, std::wstring reason,
                              std::optional<TextId> advice) {
  const StateEffects effects = SetStep(state, 0.0, L"ERROR", own, code);
  state.detailReason = std::move(reason);
  state.detailAdvice = advice;
  return effects;
}

bool LooksLikeError(std::wstring_view text) {
  std::wstring lowered(text);
  for (wchar_t& c : lowered) c = AsciiLower(c);
  static constexpr std::array<std::wstring_view, 4> kErrorWords{L"error", L"failed", L"fail", L"exception"};
  return std::any_of(kErrorWords.begin(), kErrorWords.end(),
                     [&lowered](std::wstring_view word) { return lowered.find(word) != std::wstring::npos; });
}

namespace {

// A status message: with an error word it turns the step into ERROR, else it
// only replaces the detail text (detail, else text, else unchanged).
StateEffects ApplyStatusText(LaunchState& state, std::wstring_view text, std::wstring_view detail) {
  if (!detail.empty() || !text.empty()) ForgetStartFailure(state);
  if (LooksLikeError(text)) {
    if (state.stepKey != L"ERROR") state.transfer = TransferCounts{};  // a new step counts afresh
    state.stepKey = L"ERROR";
    state.detailText = std::wstring(detail);
    state.detailOwn.reset();
    if (detail.empty()) state.detailOwn = TextId::SentenceError;
  } else if (!detail.empty()) {
    state.detailText = std::wstring(detail);
    state.detailOwn.reset();
  } else if (!text.empty()) {
    state.detailText = std::wstring(text);
    state.detailOwn.reset();
  }
  return kRepaint;
}

}  // namespace

namespace {

StateEffects ApplyEventKind(LaunchState& state, const LaunchEvent& event, const std::wstring& kind) {
  if (kind == L"progress") {
    return SetStep(state, event.value, event.caption.empty() ? std::wstring_view(L"SCAN") : event.caption,
                   event.detail);
  }
  if (kind == L"status") {
    return ApplyStatusText(state, event.text.empty() ? event.detail : event.text, event.detail);
  }
  if (kind == L"error") {
    if (event.exitCode) return SetStep(state, 0.0, L"ERROR", TextId::DetailExitCode, *event.exitCode);
    if (event.detail.empty()) return SetStep(state, 0.0, L"ERROR", TextId::SentenceError);
    return SetStep(state, 0.0, L"ERROR", event.detail);
  }
  if (kind == L"done") {
    StateEffects effects = SetStep(state, 1.0, L"LAUNCH", TextId::DetailDone);
    effects.closeTimerMs = kCloseTimerMs;
    state.handedOver = true;
    return effects;
  }
  if (kind == L"cancelled" || kind == L"canceled" || kind == L"stop") return Cancel(state);
  if (kind == L"preview" || kind == L"state") {
    return ApplyPreviewState(state, event.caption.empty() ? event.text : event.caption);
  }
  return {};
}

}  // namespace

StateEffects ApplyLaunchEvent(LaunchState& state, const LaunchEvent& event) {
  const std::wstring kind = FoldKey(event.kind);
  StateEffects effects = ApplyEventKind(state, event, kind);
  if (kind == L"progress") state.transfer.drivesBar = !WithoutNaN(event.value).has_value();
  if (event.bytes || event.total || state.transfer.drivesBar) {
    ApplyCounts(state, event);
    effects.repaint = true;
  }
  return effects;
}

StateEffects AdvanceClock(LaunchState& state, uint64_t nowMs) {
  state.clockMs = nowMs;
  return StateEffects{AdvanceCounts(state.transfer, nowMs), 0};
}

StateEffects ApplyPreviewState(LaunchState& state, std::wstring_view word) {
  PreviewState preview = PreviewFor(word);
  state.transfer = TransferCounts{};
  state.stepKey = NormalizeStepKey(preview.stepKey);
  state.railKey = state.stepKey;
  state.detailText.clear();
  state.detailOwn = preview.detail;
  ForgetStartFailure(state);
  state.progress = preview.progress;
  state.shownProgress = preview.progress.value_or(0.0);
  state.settledTicks = kPreviewSettledTicks;
  return kRepaint;
}

StateEffects AnimateProgress(LaunchState& state, bool animate) {
  if (!state.progress || std::isnan(*state.progress)) return {};
  const double target = ClampFraction(*state.progress);
  const double gap = target - state.shownProgress;
  if (std::fabs(gap) >= kSettleGap) {
    state.settledTicks = 0;
    state.shownProgress = animate ? state.shownProgress + kEaseFraction * gap : target;
    return kRepaint;
  }
  state.shownProgress = target;
  if (!CountsSettledTicks(state.stepKey)) return {};
  if (state.settledTicks < kSettledTicksCap) ++state.settledTicks;
  return StateEffects{state.settledTicks == kStallHintTicks, false};
}

StateEffects RetryLaunch(LaunchState& state) {
  state.transfer = TransferCounts{};
  state.stepKey = L"LINK";
  state.railKey = L"LINK";
  state.detailText.clear();
  state.detailOwn = TextId::DetailRetry;
  ForgetStartFailure(state);
  state.handedOver = false;
  state.progress.reset();
  state.shownProgress = 0.0;
  state.settledTicks = 0;
  return kRepaint;
}
