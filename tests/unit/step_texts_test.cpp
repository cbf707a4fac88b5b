#include "state/step_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "state/display_text.h"

namespace {

struct TextsCase {
  std::wstring word, tag, headline, title, sentence, hint;
};

// The word is passed as sent; the lookups normalise it themselves.
TEST(StepTextsTest, EveryKeyAliasAndUnlistedWord) {
  const TextsCase cases[] = {
      {L"LINK", L"CONNECT", L"Preparing secure handoff", L"Connecting", L"Contacting service", L"Contacting service"},
      {L"connect", L"CONNECT", L"Preparing secure handoff", L"Connecting", L"Contacting service",
       L"Contacting service"},
      {L"MANIFEST", L"PACKAGE", L"Runtime package selected", L"Reading package", L"Selecting runtime package",
       L"Reading package metadata"},
      {L"VERIFY", L"VERIFY", L"Trust checks in progress", L"Verifying package", L"Checking trust and compatibility",
       L"Verifying package"},
      {L"SCAN", L"INSPECT", L"Local runtime inspection", L"Checking runtime", L"Comparing local files",
       L"Checking local runtime"},
      {L"", L"INSPECT", L"Local runtime inspection", L"Checking runtime", L"Comparing local files",
       L"Checking local runtime"},
      {L"DOWNLOAD", L"TRANSFER", L"Runtime update in progress", L"Downloading runtime", L"Receiving runtime changes",
       L"Receiving changes"},
      {L"APPLY", L"APPLY", L"Runtime update in progress", L"Applying update", L"Preparing runtime",
       L"Applying update"},
      {L"LAUNCH", L"LAUNCH", L"Application handoff", L"Starting app", L"Opening selected app", L""},
      {L"READY", L"READY", L"Workspace opening", L"Opening workspace", L"Workspace handoff complete", L""},
      {L"ERROR", L"ERROR", L"Attention required", L"Update failed", L"Check network or package", L""},
      {L"STOP", L"STOPPED", L"Launch stopped", L"Launch cancelled", L"Launch request cancelled", L""},
      {L"cancel", L"STOPPED", L"Launch stopped", L"Launch cancelled", L"Launch request cancelled", L""},
      {L"STEP2", L"PREPARE", L"Quenby sequence", L"Preparing runtime", L"Preparing runtime", L""},
      {L"canceled", L"PREPARE", L"Quenby sequence", L"Preparing runtime", L"Preparing runtime", L""},
  };
  for (const TextsCase& c : cases) {
    SCOPED_TRACE(std::string(c.word.begin(), c.word.end()));
    EXPECT_EQ(StepTag(c.word), c.tag);
    EXPECT_EQ(StepHeadline(c.word, L"Quenby sequence"), c.headline);
    EXPECT_EQ(StepTitle(c.word), c.title);
    EXPECT_EQ(StepSentence(c.word), c.sentence);
    // The hint needs the canonical key as stored, a target and 90 settled ticks.
    LaunchState s;
    s.stepKey = c.word;
    s.progress = 0.5;
    s.settledTicks = 90;
    if (c.word == L"LINK" || c.word == L"MANIFEST" || c.word == L"VERIFY" || c.word == L"SCAN" ||
        c.word == L"DOWNLOAD" || c.word == L"APPLY") {
      EXPECT_EQ(StallHint(s), c.hint);
    } else {
      EXPECT_EQ(StallHint(s), L"");  // aliases are not normalised again here
    }
  }
}

TEST(StallHintTest, NeedsNinetySettledTicksAndATarget) {
  LaunchState s;
  s.stepKey = L"DOWNLOAD";
  s.progress = 0.7;
  s.settledTicks = 89;
  EXPECT_EQ(StallHint(s), L"");
  s.settledTicks = 90;
  EXPECT_EQ(StallHint(s), L"Receiving changes");
  s.settledTicks = 5000;
  EXPECT_EQ(StallHint(s), L"Receiving changes");
  s.progress.reset();
  EXPECT_EQ(StallHint(s), L"");
}

struct PreviewCase {
  std::wstring word, key;
  std::optional<double> progress;
  std::wstring detail;
};

TEST(PreviewForTest, FirstMatchingRowElseDownload) {
  const PreviewCase cases[] = {
      {L"connect", L"LINK", std::nullopt, L"Opening connection"},
      {L"info", L"MANIFEST", 0.18, L"Version 1.8.0"},
      {L"VERIFY", L"VERIFY", 0.30, L"Signature check"},
      {L"", L"SCAN", 0.42, L"Local runtime files"},
      {L"update", L"APPLY", 0.80, L"Installing runtime changes"},
      {L"open", L"LAUNCH", 0.94, L"Opening workspace"},
      {L"done", L"READY", 1.0, L"Application handoff complete; closing automatically"},
      {L"Error", L"ERROR", 0.38, L"Check network or package"},
      {L"cancel", L"STOP", 0.28, L"Cancelled by user"},
      {L"download", L"DOWNLOAD", 0.62, L"12.4 MB / 20.0 MB"},
      {L"Foo", L"DOWNLOAD", 0.62, L"12.4 MB / 20.0 MB"},
      {L"TRANSFER", L"DOWNLOAD", 0.62, L"12.4 MB / 20.0 MB"},
  };
  for (const PreviewCase& c : cases) {
    SCOPED_TRACE(std::string(c.word.begin(), c.word.end()));
    const PreviewState p = PreviewFor(c.word);
    EXPECT_EQ(p.stepKey, c.key);
    EXPECT_EQ(p.progress, c.progress);
    EXPECT_EQ(p.detail, c.detail);
  }
}

struct PercentCase {
  std::optional<double> progress;
  double shown;
  std::wstring text;
};

TEST(PercentTextTest, RoundsTheShownFractionHalvesAwayFromZero) {
  const PercentCase cases[] = {
      {std::nullopt, 0.5, L"WAIT"},
      {0.0, 0.0, L"0%"},
      {1.0, 0.62, L"62%"},
      {1.0, 0.125, L"13%"},
      {1.0, 0.375, L"38%"},
      {1.0, 0.996, L"100%"},
      {1.0, 0.994, L"99%"},
      {1.0, 1.0, L"100%"},
      {1.0, 1.7, L"100%"},
      {1.0, -0.2, L"0%"},
      {1.0, std::numeric_limits<double>::quiet_NaN(), L"0%"},
      {1.0, std::numeric_limits<double>::infinity(), L"0%"},
  };
  for (const PercentCase& c : cases) {
    LaunchState s;
    s.progress = c.progress;
    s.shownProgress = c.shown;
    EXPECT_EQ(PercentText(s), c.text) << c.shown;
  }
}

TEST(DetailLineTest, HintThenDetailThenSentence) {
  LaunchState s;
  s.stepKey = L"APPLY";
  s.progress = 0.8;
  EXPECT_EQ(DetailLine(s), L"Preparing runtime");
  s.detailText = L"Installing";
  EXPECT_EQ(DetailLine(s), L"Installing");
  s.settledTicks = 90;
  EXPECT_EQ(DetailLine(s), L"Applying update");
  s.stepKey = L"LAUNCH";  // no hint: the detail comes back
  EXPECT_EQ(DetailLine(s), L"Installing");
}

TEST(ActionButtonLabelTest, ByStepKey) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"ERROR", L"Retry"},   {L"STOP", L"Close"},    {L"READY", L"Close"}, {L"LAUNCH", L"Close"},
      {L"LINK", L"Cancel"},   {L"DOWNLOAD", L"Cancel"}, {L"STEP2", L"Cancel"}, {L"CANCELED", L"Cancel"},
  };
  for (const auto& [key, label] : cases) EXPECT_EQ(ActionButtonLabel(key), label);
}

}  // namespace
