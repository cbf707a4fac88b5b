#include "state/launch_view.h"

#include <algorithm>
#include <cmath>

namespace {

LaunchTone ToneOf(const LaunchState& state, const StepFacts& facts) {
  if (facts.kind == StepKind::Failed) return LaunchTone::Failed;
  if (!state.progress) return LaunchTone::Waiting;
  if (facts.kind == StepKind::Finishing && *state.progress >= kFullProgress) return LaunchTone::Done;
  return LaunchTone::Working;
}

std::wstring_view LabelOf(StepButton button) {
  switch (button) {
    case StepButton::Retry:
      return L"Retry";
    case StepButton::Close:
      return L"Close";
    case StepButton::Cancel:
      break;
  }
  return L"Cancel";
}

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
  view.buttonLabel = LabelOf(facts.button);
  view.railIndex = std::max(FactsOf(state.railKey).railIndex, 0);
  view.tone = ToneOf(state, facts);
  return view;
}

std::wstring_view ToneWord(LaunchTone tone) {
  switch (tone) {
    case LaunchTone::Working:
      return L"active";
    case LaunchTone::Done:
      return L"done";
    case LaunchTone::Failed:
      return L"warn";
    case LaunchTone::Waiting:
      break;
  }
  return L"idle";
}
