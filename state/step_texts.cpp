#include "state/step_texts.h"

#include <array>

#include "state/step_vocabulary.h"

namespace {

struct StepTexts {
  std::wstring_view key;
  std::wstring_view tag;
  std::wstring_view headline;  // empty: the caller's fallback
  std::wstring_view title;
  std::wstring_view sentence;
  std::wstring_view stallHint;
};

constexpr std::array<StepTexts, 10> kStepTexts{{
    {L"LINK", L"CONNECT", L"Preparing secure handoff", L"Connecting", L"Contacting service", L"Contacting service"},
    {L"MANIFEST", L"PACKAGE", L"Runtime package selected", L"Reading package", L"Selecting runtime package",
     L"Reading package metadata"},
    {L"VERIFY", L"VERIFY", L"Trust checks in progress", L"Verifying package", L"Checking trust and compatibility",
     L"Verifying package"},
    {L"SCAN", L"INSPECT", L"Local runtime inspection", L"Checking runtime", L"Comparing local files",
     L"Checking local runtime"},
    {L"DOWNLOAD", L"TRANSFER", L"Runtime update in progress", L"Downloading runtime", L"Receiving runtime changes",
     L"Receiving changes"},
    {L"APPLY", L"APPLY", L"Runtime update in progress", L"Applying update", L"Preparing runtime", L"Applying update"},
    {L"LAUNCH", L"LAUNCH", L"Application handoff", L"Starting app", L"Opening selected app", L""},
    {L"READY", L"READY", L"Workspace opening", L"Opening workspace", L"Workspace handoff complete", L""},
    {L"ERROR", L"ERROR", L"Attention required", L"Update failed", L"Check network or package", L""},
    {L"STOP", L"STOPPED", L"Launch stopped", L"Launch cancelled", L"Launch request cancelled", L""},
}};

constexpr StepTexts kUnlistedTexts{L"", L"PREPARE", L"", L"Preparing runtime", L"Preparing runtime", L""};

// The texts of an already normalised key.
const StepTexts& TextsForKey(std::wstring_view key) {
  for (const StepTexts& row : kStepTexts) {
    if (row.key == key) return row;
  }
  return kUnlistedTexts;
}

const StepTexts& TextsFor(std::wstring_view word) { return TextsForKey(NormalizeStepKey(word)); }

struct PreviewRow {
  std::wstring_view key;
  std::optional<double> progress;
  std::wstring_view detail;
};

const std::array<PreviewRow, 9> kPreviews{{
    {L"LINK", std::nullopt, L"Opening connection"},
    {L"MANIFEST", 0.18, L"Version 1.8.0"},
    {L"VERIFY", 0.30, L"Signature check"},
    {L"SCAN", 0.42, L"Local runtime files"},
    {L"APPLY", 0.80, L"Installing runtime changes"},
    {L"LAUNCH", 0.94, L"Opening workspace"},
    {L"READY", 1.0, L"Application handoff complete; closing automatically"},
    {L"ERROR", 0.38, L"Check network or package"},
    {L"STOP", 0.28, L"Cancelled by user"},
}};

const PreviewRow kDownloadPreview{L"DOWNLOAD", 0.62, L"12.4 MB / 20.0 MB"};


}  // namespace

std::wstring StepTag(std::wstring_view word) { return std::wstring(TextsFor(word).tag); }

std::wstring StepHeadline(std::wstring_view word, std::wstring_view fallback) {
  const StepTexts& texts = TextsFor(word);
  return std::wstring(texts.headline.empty() ? fallback : texts.headline);
}

std::wstring StepTitle(std::wstring_view word) { return std::wstring(TextsFor(word).title); }

std::wstring StepSentence(std::wstring_view word) { return std::wstring(TextsFor(word).sentence); }

std::wstring StallHint(const LaunchState& state) {
  if (!state.progress || state.settledTicks < kStallHintTicks) return {};
  return std::wstring(TextsForKey(state.stepKey).stallHint);
}

PreviewState PreviewFor(std::wstring_view word) {
  const std::wstring key = NormalizeStepKey(word);
  const PreviewRow* row = &kDownloadPreview;
  for (const PreviewRow& candidate : kPreviews) {
    if (candidate.key == key) {
      row = &candidate;
      break;
    }
  }
  return PreviewState{row->progress, std::wstring(row->key), std::wstring(row->detail)};
}
