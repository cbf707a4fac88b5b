#pragma once
// The process's library search, narrowed to the system folder.
#include <windows.h>

// Libraries loaded from here on (by the process or by system libraries on its
// behalf) come from the system folder only, never from the executable's
// folder or the current one; a DLL planted beside the executable under a name
// the system lacks is no longer found by name. Static imports are resolved
// before any code runs, which is why the launcher's import table holds known
// system DLLs only. The launcher's entry calls it before anything else. Looked
// up at run time: systems without the call (before the 2011 loader update)
// keep the default search. False when the search could not be narrowed.
bool RestrictLibrarySearch();
