#pragma once
// The standard-input reader: another process may feed the launcher's standard
// input with progress lines.
#include <windows.h>

#include "channel/reader_thread_win.h"

// True when h is a disk file or a pipe: the only standard inputs that are
// read. Null, the invalid-handle value, a console or any other character
// device (the null device included) do not qualify.
bool IsReadableStandardInput(HANDLE h);

// Window thread, once, after the window exists: starts the detached
// standard-input reader when standard input qualifies, else does nothing. The
// reader never closes standard input. True when the reader was started: from
// then on every byte of standard input is its own.
bool StartStdinReader(HWND window);
