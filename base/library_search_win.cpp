#include "base/library_search_win.h"

#include "base/system_library_win.h"

bool RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto restrict =
      LookUpLoadedFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  return restrict != nullptr && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}
