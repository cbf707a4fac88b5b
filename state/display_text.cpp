#include "state/display_text.h"

#include <algorithm>
#include <cmath>

#include "state/step_texts.h"

std::wstring PercentText(const LaunchState& state) {
  if (!state.progress) return L"WAIT";
  const double shown = std::isfinite(state.shownProgress) ? std::clamp(state.shownProgress, 0.0, 1.0) : 0.0;
  // std::lround rounds halves away from zero; the value lies in 0..100.
  return std::to_wstring(std::lround(shown * 100.0)) + L"%";
}

std::wstring DetailLine(const LaunchState& state) {
  std::wstring hint = StallHint(state);
  if (!hint.empty()) return hint;
  if (!state.detailText.empty()) return state.detailText;
  return StepSentence(state.stepKey);
}

std::wstring ActionButtonLabel(std::wstring_view stepKey) {
  if (stepKey == L"ERROR") return L"Retry";
  if (stepKey == L"STOP" || stepKey == L"READY" || stepKey == L"LAUNCH") return L"Close";
  return L"Cancel";
}
