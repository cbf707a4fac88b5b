#pragma once
// Reaching the system's libraries: one way to load one, one way to look up a
// function by name. Functions that not every supported system exports are
// looked up at run time, never imported, so the program still starts there.
#include <windows.h>

// A system library by name, from the system folder only (never a copy
// planted beside the executable): LOAD_LIBRARY_SEARCH_SYSTEM32, or the
// system folder's full path where that flag is unknown. Null when it cannot
// be loaded. The caller releases it with FreeLibrary, or keeps it for the
// process's life.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The function `name` of `module` as the pointer type Fn; null when the
// module is null or does not export it.
template <typename Fn>
Fn LookUpFunction(HMODULE module, const char* name) {
  FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

// The same in a library every process has loaded already (kernel32, user32).
template <typename Fn>
Fn LookUpLoadedFunction(const wchar_t* library, const char* name) {
  return LookUpFunction<Fn>(GetModuleHandleW(library), name);
}
