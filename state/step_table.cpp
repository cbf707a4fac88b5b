#include "state/step_table.h"

#include <array>

#include "state/step_vocabulary.h"

namespace {

using K = StepKind;
using B = StepButton;
using T = TextId;
constexpr std::nullopt_t kNone = std::nullopt;

// key, rail, kind, button, tag, headline, title, sentence, stall hint, preview progress and detail.
// Equal English texts share one key, so a language words them alike too.
const std::array<StepFacts, 10> kSteps{{
    {L"LINK", 0, K::Working, B::Cancel, T::TagLink, T::HeadlineLink, T::TitleLink, T::SentenceLink, T::SentenceLink, kNone, T::PreviewLink},
    {L"MANIFEST", 1, K::Working, B::Cancel, T::TagManifest, T::HeadlineManifest, T::TitleManifest, T::SentenceManifest, T::HintManifest, 0.18, T::PreviewManifest},
    {L"VERIFY", 2, K::Working, B::Cancel, T::TagVerify, T::HeadlineVerify, T::TitleVerify, T::SentenceVerify, T::TitleVerify, 0.30, T::PreviewVerify},
    {L"SCAN", 2, K::Working, B::Cancel, T::TagScan, T::HeadlineScan, T::TitleScan, T::SentenceScan, T::HintScan, 0.42, T::PreviewScan},
    {L"DOWNLOAD", 3, K::Working, B::Cancel, T::TagDownload, T::HeadlineUpdate, T::TitleDownload, T::SentenceDownload, T::HintDownload, 0.62, T::PreviewDownload},
    {L"APPLY", 3, K::Working, B::Cancel, T::TagApply, T::HeadlineUpdate, T::TitleApply, T::TitleOther, T::TitleApply, 0.80, T::PreviewApply},
    {L"LAUNCH", 4, K::Finishing, B::Close, T::TagLaunch, T::HeadlineLaunch, T::TitleLaunch, T::SentenceLaunch, kNone, 0.94, T::TitleReady},
    {L"READY", 4, K::Finishing, B::Close, T::TagReady, T::HeadlineReady, T::TitleReady, T::SentenceReady, kNone, 1.0, T::DetailDone},
    {L"ERROR", -1, K::Failed, B::Retry, T::TagError, T::HeadlineError, T::TitleError, T::SentenceError, kNone, 0.38, T::SentenceError},
    {L"STOP", -1, K::Failed, B::Close, T::TagStop, T::HeadlineStop, T::TitleStop, T::SentenceStop, kNone, 0.28, T::DetailCancelled},
}};

const StepFacts kUnlisted{L"", -1, K::Working, B::Cancel, T::TagOther, kNone, T::TitleOther, T::TitleOther, kNone, kNone, kNone};

constexpr std::wstring_view kDefaultPreview = L"DOWNLOAD";

}  // namespace

const StepFacts& FactsOf(std::wstring_view key) {
  for (const StepFacts& row : kSteps) {
    if (row.key == key) return row;
  }
  return kUnlisted;
}

std::span<const StepFacts> ListedSteps() { return kSteps; }

bool IsRailKey(std::wstring_view key) { return FactsOf(key).railIndex >= 0; }

PreviewState PreviewFor(std::wstring_view word) {
  const std::wstring key = NormalizeStepKey(word);
  const StepFacts* row = &FactsOf(key);
  if (row->key.empty()) row = &FactsOf(kDefaultPreview);
  return PreviewState{row->previewProgress, std::wstring(row->key), row->previewDetail};
}
