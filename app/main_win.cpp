// Process entry of tarrow-launcher.exe. Only the instance handle is used: the
// command line is read again with GetCommandLineW and the window is always
// shown with SW_SHOW.
#include <windows.h>

#include "app/startup_sequence_win.h"
#include "base/library_search_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a library.
  RestrictLibrarySearch();
  return RunLauncher(instance);
}
