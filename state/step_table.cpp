#include "state/step_table.h"

#include <array>

#include "state/step_vocabulary.h"

namespace {

using K = StepKind;
using B = StepButton;

// key, rail, kind, button, tag, headline, title, sentence, stall hint, preview progress and detail
const std::array<StepFacts, 10> kSteps{{
    {L"LINK", 0, K::Working, B::Cancel, L"CONNECT", L"Preparing secure handoff", L"Connecting", L"Contacting service", L"Contacting service", std::nullopt, L"Opening connection"},
    {L"MANIFEST", 1, K::Working, B::Cancel, L"PACKAGE", L"Runtime package selected", L"Reading package", L"Selecting runtime package", L"Reading package metadata", 0.18, L"Version 1.8.0"},
    {L"VERIFY", 2, K::Working, B::Cancel, L"VERIFY", L"Trust checks in progress", L"Verifying package", L"Checking trust and compatibility", L"Verifying package", 0.30, L"Signature check"},
    {L"SCAN", 2, K::Working, B::Cancel, L"INSPECT", L"Local runtime inspection", L"Checking runtime", L"Comparing local files", L"Checking local runtime", 0.42, L"Local runtime files"},
    {L"DOWNLOAD", 3, K::Working, B::Cancel, L"TRANSFER", L"Runtime update in progress", L"Downloading runtime", L"Receiving runtime changes", L"Receiving changes", 0.62, L"12.4 MB / 20.0 MB"},
    {L"APPLY", 3, K::Working, B::Cancel, L"APPLY", L"Runtime update in progress", L"Applying update", L"Preparing runtime", L"Applying update", 0.80, L"Installing runtime changes"},
    {L"LAUNCH", 4, K::Finishing, B::Close, L"LAUNCH", L"Application handoff", L"Starting app", L"Opening selected app", L"", 0.94, L"Opening workspace"},
    {L"READY", 4, K::Finishing, B::Close, L"READY", L"Workspace opening", L"Opening workspace", L"Workspace handoff complete", L"", 1.0, L"Application handoff complete; closing automatically"},
    {L"ERROR", -1, K::Failed, B::Retry, L"ERROR", L"Attention required", L"Update failed", L"Check network or package", L"", 0.38, L"Check network or package"},
    {L"STOP", -1, K::Failed, B::Close, L"STOPPED", L"Launch stopped", L"Launch cancelled", L"Launch request cancelled", L"", 0.28, L"Cancelled by user"},
}};

const StepFacts kUnlisted{L"", -1, K::Working, B::Cancel, L"PREPARE", L"", L"Preparing runtime", L"Preparing runtime", L"", std::nullopt, L""};

constexpr std::wstring_view kDefaultPreview = L"DOWNLOAD";

}  // namespace

const StepFacts& FactsOf(std::wstring_view key) {
  for (const StepFacts& row : kSteps) {
    if (row.key == key) return row;
  }
  return kUnlisted;
}

bool IsRailKey(std::wstring_view key) { return FactsOf(key).railIndex >= 0; }

PreviewState PreviewFor(std::wstring_view word) {
  const std::wstring key = NormalizeStepKey(word);
  const StepFacts* row = &FactsOf(key);
  if (row->key.empty()) row = &FactsOf(kDefaultPreview);
  return PreviewState{row->previewProgress, std::wstring(row->key), std::wstring(row->previewDetail)};
}
