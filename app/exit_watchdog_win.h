#pragma once
// The process's promise to end soon after its window: armed by the window
// thread when the window is destroyed, it ends the process with the run's
// exit code after a grace period unless the process has ended by then. Used
// only by the launcher's own entry, never by tests that host the window in
// their process.
#include <windows.h>

inline constexpr DWORD kExitGraceMs = 1500;
// The exit code of a launcher whose GDI+ or window could not start.
inline constexpr UINT kWindowNeverRan = 1;

// The event EndProcessNow sets just before it ends the process after a run
// whose window ran (any exit code but kWindowNeverRan), named after the
// process id. A program watching the launcher tells by it a process stuck
// inside the system's own end from one that hangs in its own code, start-up
// included. Written into
// `name` without the heap: the thread that ends the process may be the
// watchdog while the window thread holds any lock.
inline constexpr size_t kEndingEventNameSize = 48;
inline void EndingEventName(DWORD processId, wchar_t (&name)[kEndingEventNameSize]) {
  wsprintfW(name, L"Local\\TarrowLauncherEnding-%lu", static_cast<unsigned long>(processId));
}

// Window thread; arms once, later calls do nothing. If no thread can be made
// the process ends the ordinary way only.
void ArmExitWatchdog(UINT exitCode);

// Ends the process with `code` at once, skipping every library's detach code.
// Any thread; only the first caller ends it, a later or concurrent caller
// waits to be ended with it: the watchdog and the window thread may both get
// here at the end of the grace.
[[noreturn]] void EndProcessNow(UINT code);
