// Process entry of tarrow-launcher.exe. Only the instance handle is used: the
// command line is read again with GetCommandLineW, and the show command is
// not the caller's to choose: the window is shown as the user's state asks
// (without activation for a busy user in full screen).
#include <windows.h>

#include "app/exit_watchdog_win.h"
#include "app/startup_sequence_win.h"
#include "base/library_search_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything can load a library.
  RestrictLibrarySearch();
  const int code = RunLauncher(instance);
  // The window, its objects and GDI+ are gone and the launcher has nothing
  // left to write. An ordinary exit would now end the other threads wherever
  // they are (an accessibility client's call may be in flight on one) and
  // then run every library's detach code, which may wait on a lock such a
  // thread held. Ending the process here skips that teardown.
  EndProcessNow(static_cast<UINT>(code));
}
