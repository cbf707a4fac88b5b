#include "app/exit_watchdog_win.h"

namespace {

// Set by the first caller of EndProcessNow.
LONG ending = 0;

DWORD WINAPI EndProcessAfterGrace(void* exitCode) {
  Sleep(kExitGraceMs);
  // The window is gone and has nothing left to say: the run ends with the
  // code its window chose, as at an ordinary end.
  EndProcessNow(static_cast<UINT>(reinterpret_cast<UINT_PTR>(exitCode)));
}

// The handle stays open, so the event lasts as long as the process.
void AnnounceTheEnd() {
  wchar_t name[kEndingEventNameSize];
  EndingEventName(GetCurrentProcessId(), name);
  if (HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name); event != nullptr) SetEvent(event);
}

}  // namespace

void EndProcessNow(UINT code) {
  if (InterlockedExchange(&ending, 1) == 0) {
    if (code != kWindowNeverRan) AnnounceTheEnd();
    TerminateProcess(GetCurrentProcess(), code);
    // Reached only if the system refused: the ordinary end, teardown and
    // all, rather than a process that never ends.
    ExitProcess(code);
  }
  // Waits to be ended by the first caller.
  for (;;) Sleep(INFINITE);
}

void ArmExitWatchdog(UINT exitCode) {
  static bool armed = false;
  if (armed) return;
  armed = true;
  // A small stack: the thread only sleeps.
  void* const code = reinterpret_cast<void*>(static_cast<UINT_PTR>(exitCode));
  HANDLE thread = CreateThread(nullptr, 64 * 1024, EndProcessAfterGrace, code, STACK_SIZE_PARAM_IS_A_RESERVATION,
                               nullptr);
  if (thread != nullptr) CloseHandle(thread);
}
