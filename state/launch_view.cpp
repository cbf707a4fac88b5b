#include "state/launch_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "base/text.h"
#include "state/launch_transitions.h"

namespace {

LaunchTone ToneOf(const LaunchState& state, const StepFacts& facts) {
  if (facts.kind == StepKind::Failed) return LaunchTone::Failed;
  if (!state.progress) return LaunchTone::Waiting;
  if (facts.kind == StepKind::Finishing && *state.progress >= kFullProgress) return LaunchTone::Done;
  return LaunchTone::Working;
}

// Indexed by StepButton and LaunchTone, in their order.
constexpr std::array<TextId, 3> kButtonLabels{TextId::ButtonCancel, TextId::ButtonRetry, TextId::ButtonClose};
constexpr std::array<std::wstring_view, 4> kToneWords{L"active", L"idle", L"done", L"warn"};

// The launcher's own detail line: its text, and for a failed start the
// system's code and words ("… (error 2: The system cannot find the file
// specified.)") and our advice after it.
std::wstring OwnDetail(const LaunchState& state, const Language& language) {
  std::wstring detail = FormatText(language, *state.detailOwn, DecimalText(state.detailCode));
  const TextId own = *state.detailOwn;
  const bool startFailure =
      own == TextId::DetailPipeFailed || own == TextId::DetailStartFailed || own == TextId::DetailReaderFailed;
  if (startFailure && state.detailCode != 0) {
    detail += L" (" + FormatText(language, TextId::DetailSystemError, DecimalText(state.detailCode));
    if (!state.detailReason.empty()) detail += L": " + state.detailReason;
    detail += L")";
  }
  if (state.detailAdvice) detail += L" " + std::wstring(Text(language, *state.detailAdvice));
  return detail;
}

}  // namespace

LaunchView DescribeLaunch(const LaunchState& state, std::wstring_view sequenceTitle, const Language& language) {
  const StepFacts& facts = FactsOf(state.stepKey);
  const auto text = [&language](TextId id) { return std::wstring(Text(language, id)); };
  LaunchView view;
  view.tag = text(facts.tag);
  view.headline = facts.headline ? text(*facts.headline) : std::wstring(sequenceTitle);
  view.title = text(facts.title);
  view.hasTarget = state.progress.has_value();
  view.transfer = DescribeTransfer(state.transfer, language);
  if (state.transfer.present && !state.detailOwn) {
    // Counts say more than a settled bar: they alone tell a stall.
    view.stallHint = state.transfer.stalled && facts.kind == StepKind::Working;
    view.detail = view.transfer;
    const std::wstring_view after = view.stallHint ? Text(language, facts.stallHint.value_or(facts.title))
                                                   : std::wstring_view(state.detailText);
    if (!after.empty()) view.detail.append(L" \u00B7 ").append(after);
  } else if (view.hasTarget && state.settledTicks >= kStallHintTicks && facts.stallHint.has_value()) {
    view.stallHint = true;
    view.detail = text(*facts.stallHint);
  } else if (state.detailOwn) {
    view.detail = OwnDetail(state, language);
  } else {
    view.detail = state.detailText.empty() ? text(facts.sentence) : state.detailText;
  }
  view.shownFraction = std::isfinite(state.shownProgress) ? std::clamp(state.shownProgress, 0.0, 1.0) : 0.0;
  if (state.progress && std::isfinite(*state.progress)) view.targetFraction = std::clamp(*state.progress, 0.0, 1.0);
  // std::lround rounds halves away from zero; the value lies in 0..100.
  const auto percent = static_cast<uint64_t>(std::lround(view.shownFraction * 100.0));
  view.percent =
      view.hasTarget ? FormatText(language, TextId::PercentValue, DecimalText(percent)) : text(TextId::PercentWait);
  view.button = facts.button;
  view.buttonLabel = text(kButtonLabels[static_cast<size_t>(facts.button)]);
  view.buttonAction = text(TextId::ActionPress);
  view.rightToLeft = language.rightToLeft;
  view.railIndex = std::max(FactsOf(state.railKey).railIndex, 0);
  view.tone = ToneOf(state, facts);
  return view;
}

std::vector<LaunchState> ShowcaseStates() {
  std::vector<LaunchState> states;
  std::vector<std::wstring_view> keys;
  for (const StepFacts& row : ListedSteps()) keys.push_back(row.key);
  keys.push_back(L"SHOWCASE");
  for (std::wstring_view key : keys) {
    LaunchState s;
    ApplyPreviewState(s, key);
    s.settledTicks = 0;  // the preview's own detail rather than its stall hint
    states.push_back(s);
    SetStep(s, std::nullopt, key, L"");
    states.push_back(s);
    SetStep(s, 1.0, key, L"");
    s.settledTicks = kStallHintTicks;
    states.push_back(s);
  }
  const std::pair<std::wstring_view, TextId> kSetDetails[] = {
      {L"READY", TextId::DetailDone},        {L"STOP", TextId::DetailCancelled},
      {L"LINK", TextId::DetailRetry},        {L"ERROR", TextId::DetailPipeFailed},
      {L"ERROR", TextId::DetailStartFailed}, {L"ERROR", TextId::DetailReaderFailed},
      {L"ERROR", TextId::DetailExitCode}};
  for (const auto& [key, own] : kSetDetails) {
    LaunchState s;
    // A failed start's code and the system's words go after its own text,
    // where the line may end in an ellipsis: its own text must fit alone.
    SetStep(s, 1.0, key, own, own == TextId::DetailExitCode ? 3221225477u : 0u);
    states.push_back(s);
  }
  // Byte counts with rate and time left, and stalled.
  LaunchState counting;
  SetStep(counting, 0.7, L"DOWNLOAD", L"");
  counting.transfer.present = true;
  counting.transfer.done = 44'669'337;
  counting.transfer.total = 249'561'088;
  counting.transfer.rate = 1'887'436.8;
  counting.transfer.secondsLeft = 110;
  states.push_back(counting);
  counting.transfer.stalled = true;
  states.push_back(counting);
  return states;
}

LaunchOutcome OutcomeOf(const LaunchState& state, const LaunchView& view) {
  if (view.button == StepButton::Retry) return LaunchOutcome::Failed;
  return state.handedOver ? LaunchOutcome::Done : LaunchOutcome::Cancelled;
}

unsigned OutcomeExitCode(LaunchOutcome outcome) {
  switch (outcome) {
    case LaunchOutcome::Done:
      return 0;
    case LaunchOutcome::Cancelled:
      return 2;
    case LaunchOutcome::Failed:
      return 3;
  }
  return 0;
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
