// Start-up text to title, profile and display title, and the command line
// (the replay transcripts cover the common cases: profile-*.args).
#include "state/titles.h"

#include <gtest/gtest.h>

#include "app/startup_options.h"

namespace {

TEST(TitlesTest, StartupTextGivesTitleProfileAndDisplayTitle) {
  const std::wstring japanese = L"\u88FD\u54C1";
  // Persian with a ZWNJ inside its word, Cyrillic, Devanagari, Thai, Hangul.
  const std::wstring scripts = L"\u0645\u06CC\u200C\u062E\u0648\u0627\u0645 \u041C\u0438\u0440 "
                               L"\u0939\u093F\u0928\u094D\u0926\u0940 \u0E44\u0E17\u0E22 \uD55C\uAD6D\uC5B4";
  // text, title, profile key, display title
  const std::tuple<std::wstring, std::wstring, std::wstring, std::wstring> cases[] = {
      {L" \t\r\n ", L"Tarrow", L"tarrow", L"Tarrow"},
      {L"quenby.exe", L"quenby.exe", L"quenby", L"Quenby"},
      {L"qb", L"qb", L"quenby", L"Quenby"},
      {L"qb.exe", L"qb.exe", L"tarrow", L"qb.exe"},
      {L"Quenby Preview", L"Quenby Preview", L"quenby", L"Quenby Preview"},
      {L"marl.exe", L"marl.exe", L"tarrow", L"marl.exe"},
      {L"marlisk quenby", L"marlisk quenby", L"quenby", L"marlisk quenby"},
      {L"C:\\Apps\\Marlisk\\run.exe", L"run", L"tarrow", L"run"},
      {L"build/", L"Tarrow", L"tarrow", L"Tarrow"},
      {L"dir/notes.old.txt", L"notes.old", L"tarrow", L"notes.old"},
      {L"https://example.test/app.exe", L"Tarrow", L"tarrow", L"Tarrow"},
      {L"Caf\u00e9Bar", L"Caf\u00e9Bar", L"tarrow", L"Caf\u00e9Bar"},
      {L"!a!! b\tc", L"a b c", L"tarrow", L"a b c"},
      {L"\\\\server", L"Tarrow", L"tarrow", L"Tarrow"},
      {L"\\\\server\\share", L"share", L"tarrow", L"share"},
      {L"\\\\?\\C:\\Apps\\run.exe", L"run", L"tarrow", L"run"},
      {L"\\??\\", L"Tarrow", L"tarrow", L"Tarrow"},
      {L"dir/file.txt:stream", L"file", L"tarrow", L"file"},
      {L"dir/notes.", L"notes", L"tarrow", L"notes"},
      {L"dir/.profile", L".profile", L"tarrow", L".profile"},
      {std::wstring(100, L'a'), std::wstring(72, L'a'), L"tarrow", std::wstring(72, L'a')},
      // The cut may leave a trailing space; only the display title trims it.
      {std::wstring(71, L'b') + L" c", std::wstring(71, L'b') + L" ", L"tarrow", std::wstring(71, L'b')},
      // Other scripts: letters, marks and digits stay, punctuation is a gap.
      {L"C:\\Programs\\" + japanese + L"\\" + japanese + L".exe", japanese, L"tarrow", japanese},
      {scripts, scripts, L"tarrow", scripts},
      {japanese + L"\u300C\u4F53\u9A13\u300D\u20AC\u00BF\uFF01\u201Cx\u201D", japanese + L" \u4F53\u9A13 x", L"tarrow",
       japanese + L" \u4F53\u9A13 x"},
      {L"Quenby " + japanese, L"Quenby " + japanese, L"quenby", L"Quenby " + japanese},
      // Invisible format characters and a lone starting mark vanish, a joiner
      // only inside a word survives; spaces of any kind and what is never
      // shown (C1, private use, noncharacters, lone surrogates) are gaps.
      {L"\u0301\u202E\u200DAuto\u00ADmo\u200Ebil\u200C\uFEFF \u2066x\u2069", L"Automobil x", L"tarrow", L"Automobil x"},
      {L"a\u0085b\uE000c\uFDD0d\xDC00z\U0010FFFD\u3000\u200B\u00A0", L"a b c d z", L"tarrow", L"a b c d z"},
      {L"\U0001F468\u200D\U0001F469\u00A01\uFE0F\u20E3\u3000\U0001F1EF\U0001F1F5 \U0001F44D\U0001F3FD",
       L"\U0001F468\u200D\U0001F469 1\uFE0F\u20E3 \U0001F1EF\U0001F1F5 \U0001F44D\U0001F3FD", L"tarrow",
       L"\U0001F468\u200D\U0001F469 1\uFE0F\u20E3 \U0001F1EF\U0001F1F5 \U0001F44D\U0001F3FD"},
      // The cut is made at a whole cluster: never inside a surrogate pair (as
      // UTF-16 holds one) or a combining sequence; one longer cluster is no title.
      {std::wstring(71, L'a') + L"\xD83D\xDE00", std::wstring(71, L'a'), L"tarrow", std::wstring(71, L'a')},
      {std::wstring(70, L'a') + L"e\u0301\u0301", std::wstring(70, L'a'), L"tarrow", std::wstring(70, L'a')},
      {L"e" + std::wstring(80, L'\u0301'), L"Tarrow", L"tarrow", L"Tarrow"},
  };
  for (const auto& [text, title, profile, display] : cases) {
    const AppIdentity id = DeriveAppIdentity(text);
    EXPECT_EQ(id.title, title) << std::string(text.begin(), text.end());
    EXPECT_EQ(id.profile.key, profile) << std::string(text.begin(), text.end());
    EXPECT_EQ(id.displayTitle, display) << std::string(text.begin(), text.end());
  }
}

TEST(TitlesTest, CommandLineOptionsAreExactAndWordsJoin) {
  // arguments, start-up text, updater command, state
  const std::tuple<std::vector<std::wstring>, std::wstring, std::wstring, std::wstring> cases[] = {
      {{L"--PROFILE", L"quenby"}, L"quenby", L"", L"DOWNLOAD"},
      {{L"--state"}, L"Tarrow Preview", L"", L"DOWNLOAD"},
      {{L"--state", L"--updater-cmd", L"run.exe"}, L"run.exe", L"", L"--updater-cmd"},
      {{L"--updater-cmd", L"u.exe --fast \"x y\""}, L"Tarrow Preview", L"u.exe --fast \"x y\"", L"DOWNLOAD"},
      {{L"My App", L"-v", L"--", L"--verbose", L"x"}, L"My App -v x", L"", L"DOWNLOAD"},
      {{L"a", L""}, L"a ", L"", L"DOWNLOAD"},
      {{L"--state", L"VERIFY", L"--state", L"ERROR"}, L"Tarrow Preview", L"", L"ERROR"},
  };
  for (const auto& [args, text, updater, state] : cases) {
    const StartupOptions options = ParseCommandLine(args);
    EXPECT_EQ(options.startupText, text);
    EXPECT_EQ(options.updaterCommand, updater);
    EXPECT_EQ(options.stateArgument, state);
  }
}

}  // namespace
