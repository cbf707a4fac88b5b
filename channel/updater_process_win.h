#pragma once
// The updater child process: started from the --updater-cmd text, its
// standard output and standard error joined on one anonymous pipe that the
// updater reader thread reads.
#include <windows.h>

#include <cstdint>
#include <string>

enum class UpdaterStartResult { Started, PipeFailed, ProcessFailed };

// Window thread, once, before the message loop. The command is used verbatim
// as the complete command line (no quoting added), so the platform's rules
// for a command line without an application name pick the program (callers
// pass a quoted absolute path). The child gets no console window and, as
// standard input, the null device when `launcherReadsInput` (the launcher's
// standard-input reader runs, and every byte of that input is its own), else
// the launcher's standard input. It inherits no handle but that input and
// the pipe's write end; it is never waited for here, written to or
// terminated. On Started the updater reader owns the pipe's read end and the
// process handle. ProcessFailed also covers a reader thread that cannot be
// started: the child then keeps running on its own, as it would after the
// window closes.
UpdaterStartResult StartUpdater(const std::wstring& command, HWND window, bool launcherReadsInput = false);
