#include "state/languages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "channel/exit_code_report.h"
#include "state/launch_transitions.h"
#include "state/launch_view.h"

namespace {

TEST(LanguagesTest, ChoosesTheFirstTagWithATableExactThenByLanguage) {
  const struct {
    std::vector<std::wstring> preferred;
    const wchar_t* chosen;
  } cases[] = {
      {{}, L"en"},              {{L""}, L"en"},           {{L"xx"}, L"en"},          {{L"-"}, L"en"},
      {{L"de"}, L"de"},         {{L"de-AT"}, L"de"},      {{L"DE_de.UTF-8"}, L"de"}, {{L"ja_JP@x"}, L"ja"},
      {{L"pt"}, L"pt-BR"},      {{L"pt-BR"}, L"pt-BR"},   {{L"pt-PT"}, L"pt-PT"},    {{L"pt-AO"}, L"pt-PT"},
      {{L"zh"}, L"zh-Hans"},    {{L"zh-CN"}, L"zh-Hans"}, {{L"zh-SG"}, L"zh-Hans"},  {{L"zh-Hans-HK"}, L"zh-Hans"},
      {{L"zh-TW"}, L"zh-Hant"}, {{L"zh-HK"}, L"zh-Hant"}, {{L"zh-MO"}, L"zh-Hant"},  {{L"zh-hant"}, L"zh-Hant"},
      {{L"no"}, L"nb"},         {{L"nn-NO"}, L"nb"},      {{L"nb-NO"}, L"nb"},       {{L"ar-EG"}, L"ar"},
      {{L"xx", L"fr-CA"}, L"fr"}, {{L"de-CH", L"fr"}, L"de"}, {{L"en-GB", L"de"}, L"en"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseLanguage(c.preferred).tag, c.chosen) << (c.preferred.empty() ? L"" : c.preferred[0]);
  }
}

// What the fitting check lays out: every own text but the default action,
// and the code and advice that follow a failed start's text (the line may
// cut them; screen readers and Ctrl+C get them whole).
// (Each language's direction is pinned by its transcript, English as the
// fallback by the choice above.)
TEST(LanguagesTest, TheShowcaseStatesShowEveryOwnText) {
  std::set<std::wstring> shown, own;
  for (const LaunchState& s : ShowcaseStates()) {
    const LaunchView v = DescribeLaunch(s, L"x", English());
    shown.insert({v.tag, v.headline, v.title, v.detail, v.percent, v.buttonLabel});
  }
  for (int id = 0; id < kTextCount - 1; ++id) own.insert(FormatText(English(), TextId(id), L"3221225477"));
  own.erase(L"3221225477%");
  own.erase(FormatText(English(), TextId::DetailSystemError, L"3221225477"));
  own.erase(std::wstring(Text(English(), TextId::DetailNeedsAdmin)));
  own.insert(L"100%");
  for (const std::wstring& text : own) EXPECT_TRUE(shown.count(text)) << text;
}

// The state keeps which own text it shows; the view words it in the language
// asked for. The words themselves, the percentage's form and the updater's
// words passing through are the language transcripts' (tests/replay/languages);
// these are the own texts no transcript can feed: an exit code and a failed
// start.
TEST(LanguagesTest, OwnTextsFollowTheLanguage) {
  const Language& german = ChooseLanguage({L"de"});
  LaunchState s;
  ApplyLaunchEvent(s, *MakeExitCodeReport(5));
  EXPECT_EQ(DescribeLaunch(s, L"x", English()).detail, L"Updater process exited with code 5");
  EXPECT_EQ(DescribeLaunch(s, L"x", german).detail, L"Updater-Prozess mit Code 5 beendet");
  SetStep(s, 0.0, L"ERROR", TextId::DetailStartFailed);
  EXPECT_EQ(DescribeLaunch(s, L"x", german).detail, L"Updater-Prozess konnte nicht gestartet werden");
}

}  // namespace
