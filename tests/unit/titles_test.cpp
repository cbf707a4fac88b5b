// Start-up text to title, profile and display title, and the command line
// (the replay transcripts cover the common cases: profile-*.args).
#include "state/titles.h"

#include <gtest/gtest.h>

#include "app/startup_options.h"

namespace {

TEST(TitlesTest, StartupTextGivesTitleProfileAndDisplayTitle) {
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
      {L"Caf\u00e9Bar", L"Caf Bar", L"tarrow", L"Caf Bar"},
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
