#include "base/library_search_win.h"

bool RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  FARPROC proc = kernel32 != nullptr ? GetProcAddress(kernel32, "SetDefaultDllDirectories") : nullptr;
  if (proc == nullptr) return false;
  return reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(proc))(LOAD_LIBRARY_SEARCH_SYSTEM32) !=
         FALSE;
}
