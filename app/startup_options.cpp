#include "app/startup_options.h"

#include "state/profiles.h"

StartupOptions ParseCommandLine(const std::vector<std::wstring>& args) {
  StartupOptions options;
  size_t i = 0;
  while (i < args.size()) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == L"--profile" && hasValue) {
      options.profileArgument = args[i + 1];
      i += 2;
    } else if (arg == L"--state" && hasValue) {
      options.stateArgument = args[i + 1];
      i += 2;
    } else if (arg == L"--lang" && hasValue) {
      options.languageArgument = args[i + 1];
      i += 2;
    } else if (arg == L"--updater-cmd" && hasValue) {
      options.updaterCommand = args[i + 1];
      i += 2;
    } else if (arg == L"--report-outcome") {
      options.reportOutcome = true;
      i += 1;
    } else if (arg.size() >= 2 && arg.compare(0, 2, L"--") == 0) {
      i += 1;
    } else {
      if (!options.startupText.empty()) options.startupText.push_back(L' ');
      options.startupText += arg;
      i += 1;
    }
  }
  options.wordsGiven = !options.startupText.empty();
  if (options.startupText.empty() && !options.profileArgument.empty()) {
    options.startupText = FindProfile(options.profileArgument).displayName;
  }
  if (options.startupText.empty()) options.startupText = L"Tarrow Preview";
  return options;
}
