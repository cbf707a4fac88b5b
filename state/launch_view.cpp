#include "state/launch_view.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

LaunchTone ToneOf(const LaunchState& state, const StepFacts& facts) {
  if (facts.kind == StepKind::Failed) return LaunchTone::Failed;
  if (!state.progress) return LaunchTone::Waiting;
  if (facts.kind == StepKind::Finishing && *state.progress >= kFullProgress) return LaunchTone::Done;
  return LaunchTone::Working;
}

// Indexed by StepButton and LaunchTone, in their order.
constexpr std::array<std::wstring_view, 3> kButtonLabels{L"Cancel", L"Retry", L"Close"};
constexpr std::array<std::wstring_view, 4> kToneWords{L"active", L"idle", L"done", L"warn"};

}  // namespace

LaunchView DescribeLaunch(const LaunchState& state, std::wstring_view sequenceTitle) {
  const StepFacts& facts = FactsOf(state.stepKey);
  LaunchView view;
  view.tag = facts.tag;
  view.headline = facts.headline.empty() ? sequenceTitle : facts.headline;
  view.title = facts.title;
  view.hasTarget = state.progress.has_value();
  view.stallHint = view.hasTarget && state.settledTicks >= kStallHintTicks && !facts.stallHint.empty();
  if (view.stallHint) {
    view.detail = facts.stallHint;
  } else {
    view.detail = state.detailText.empty() ? std::wstring(facts.sentence) : state.detailText;
  }
  view.shownFraction = std::isfinite(state.shownProgress) ? std::clamp(state.shownProgress, 0.0, 1.0) : 0.0;
  // std::lround rounds halves away from zero; the value lies in 0..100.
  view.percent = view.hasTarget ? std::to_wstring(std::lround(view.shownFraction * 100.0)) + L"%" : L"WAIT";
  view.button = facts.button;
  view.buttonLabel = kButtonLabels[static_cast<size_t>(facts.button)];
  view.railIndex = std::max(FactsOf(state.railKey).railIndex, 0);
  view.tone = ToneOf(state, facts);
  return view;
}

std::wstring_view ToneWord(LaunchTone tone) { return kToneWords[static_cast<size_t>(tone)]; }

TaskbarProgress MirrorOnTaskbar(const LaunchView& view) {
  const int shown = static_cast<int>(std::lround(view.shownFraction * kTaskbarScale));
  switch (view.tone) {
    case LaunchTone::Failed:
      return {TaskbarState::Error, shown};
    case LaunchTone::Waiting:
      return {TaskbarState::Indeterminate, 0};
    case LaunchTone::Done:
      return {TaskbarState::Normal, kTaskbarScale};
    case LaunchTone::Working:
      break;
  }
  return {view.stallHint ? TaskbarState::Paused : TaskbarState::Normal, shown};
}
