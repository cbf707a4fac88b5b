#include "state/languages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "channel/exit_code_report.h"
#include "state/launch_transitions.h"
#include "state/launch_view.h"
#include "state/transfer.h"

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

// What the fitting check lays out: every own text but the default action
// and the words of byte counts (laid out whole, in the transfer state), and
// the code and advice that follow a failed start's text (the line may cut
// them; screen readers and Ctrl+C get them whole).
// (Each language's direction is pinned by its transcript, English as the
// fallback by the choice above.)
TEST(LanguagesTest, TheShowcaseStatesShowEveryOwnText) {
  std::set<std::wstring> shown, own;
  for (const LaunchState& s : ShowcaseStates()) {
    const LaunchView v = DescribeLaunch(s, L"x", English());
    shown.insert({v.tag, v.headline, v.title, v.detail, v.percent, v.buttonLabel});
  }
  for (int id = 0; id < static_cast<int>(TextId::ActionPress); ++id) own.insert(FormatText(English(), TextId(id), L"3221225477"));
  own.erase(L"3221225477%");
  own.erase(FormatText(English(), TextId::DetailSystemError, L"3221225477"));
  own.erase(std::wstring(Text(English(), TextId::DetailNeedsAdmin)));
  own.insert(L"100%");
  for (const std::wstring& text : own) EXPECT_TRUE(shown.count(text)) << text;
}

// Each rule's categories at the counts where they turn (CLDR's rules for
// whole numbers), through the time-left words and their rounding to the
// largest unit.
TEST(LanguagesTest, TimeLeftTakesTheLanguagesPluralFormInItsLargestUnit) {
  const struct {
    const wchar_t* tag;
    uint64_t seconds;
    const wchar_t* text;
  } cases[] = {
      {L"en", 0, L"About 5 seconds left"},         {L"en", 42, L"About 40 seconds left"},
      {L"en", 57, L"About 55 seconds left"},       {L"en", 58, L"About 1 minute left"},
      {L"en", 89, L"About 1 minute left"},         {L"en", 90, L"About 2 minutes left"},
      {L"en", 3569, L"About 59 minutes left"},     {L"en", 3570, L"About 1 hour left"},
      {L"en", 9000, L"About 3 hours left"},        {L"fr", 60, L"Environ 1 minute restante"},
      {L"fr", 120, L"Environ 2 minutes restantes"}, {L"ru", 60, L"Осталось около 1 минуты"},
      {L"ru", 180, L"Осталось около 3 минут"},     {L"ru", 660, L"Осталось около 11 минут"},
      {L"ru", 1260, L"Осталось около 21 минуты"},  {L"ru", 1320, L"Осталось около 22 минут"},
      {L"pl", 1320, L"Pozostało około 22 minut"},  {L"pl", 60, L"Pozostało około 1 minuty"},
      {L"cs", 180, L"Zbývají asi 3 minuty"},       {L"cs", 300, L"Zbývá asi 5 minut"},
      {L"he", 120, L"נותרו בערך 2 דקות"},          {L"ar", 180, L"يتبقى حوالي 3 دقائق"},
      {L"ar", 660, L"يتبقى حوالي 11 دقيقة"},       {L"ja", 120, L"残り約 2 分"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatTimeLeft(ChooseLanguage({c.tag}), c.seconds), c.text) << c.tag << L" " << c.seconds;
  }
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
