// Process entry of tarrow-launcher.exe. Only the instance handle is used: the
// command line is read again with GetCommandLineW and the window is always
// shown with SW_SHOW.
#include <windows.h>

#include "app/startup_sequence_win.h"

namespace {

// Libraries loaded from here on (by the launcher or by system libraries on
// its behalf) come from the system folder only, never from the executable's
// folder or the current one. Static imports are resolved before this runs,
// which is why the import table holds known system DLLs only. Looked up at
// run time: systems without the call (before the 2011 loader update) keep
// the default search.
void RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  FARPROC proc = kernel32 != nullptr ? GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
  if (proc == nullptr) return;
  reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(proc))(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  RestrictLibrarySearch();
  return RunLauncher(instance);
}
