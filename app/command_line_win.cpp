#include "app/command_line_win.h"

#include <windows.h>

#include <memory>

#include "base/system_library_win.h"
#include "base/win_owners_win.h"

namespace {

// LPWSTR* CommandLineToArgvW(LPCWSTR, int*)
using CommandLineToArgvFn = LPWSTR*(WINAPI*)(LPCWSTR, int*);

struct LocalRelease {
  void operator()(LPWSTR* block) const { LocalFree(block); }
};

}  // namespace

// shell32 is loaded for this one call and let go again: imported, it would
// stay mapped for the process's whole life, a large part of its working set,
// for a split made once at start-up.
std::vector<std::wstring> ReadCommandLineWords() {
  std::vector<std::wstring> words;
  const UniqueModule shell = LoadSystemModule(L"shell32.dll");
  if (shell == nullptr) return words;
  const auto split = LookUpFunction<CommandLineToArgvFn>(shell.get(), "CommandLineToArgvW");
  if (split == nullptr) return words;
  int count = 0;
  const std::unique_ptr<LPWSTR, LocalRelease> argv(split(GetCommandLineW(), &count));
  if (argv == nullptr) return words;
  for (int i = 1; i < count; ++i) words.emplace_back(argv.get()[i]);
  return words;
}
