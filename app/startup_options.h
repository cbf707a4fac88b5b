#pragma once
// The command line turned into start-up values. Portable: the Windows entry
// splits GetCommandLineW and hands the words (program path excluded) here.
#include <string>
#include <vector>

struct StartupOptions {
  std::wstring startupText;
  bool wordsGiven = false;  // the start-up text is the command line's words, not a fallback
  std::wstring updaterCommand;
  std::wstring profileArgument;
  std::wstring stateArgument = L"DOWNLOAD";
  std::wstring languageArgument;  // --lang TAG; empty: the user's preferred UI languages decide
  bool reportOutcome = false;     // --report-outcome: the exit code tells done, cancelled and failed apart
};

// Option names are exact and case-sensitive ("--profile", "--state",
// "--updater-cmd", "--lang", and "--report-outcome" without a value); any
// other element starting with "--" is skipped; the rest are words joined by
// single spaces. Resolves the start-up text: the
// words, else the display name of the --profile value, else "Tarrow Preview".
StartupOptions ParseCommandLine(const std::vector<std::wstring>& args);
