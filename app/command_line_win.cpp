#include "app/command_line_win.h"

#include <windows.h>
#include <shellapi.h>

std::vector<std::wstring> ReadCommandLineWords() {
  std::vector<std::wstring> words;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return words;
  for (int i = 1; i < count; ++i) words.emplace_back(argv[i]);
  LocalFree(argv);
  return words;
}
