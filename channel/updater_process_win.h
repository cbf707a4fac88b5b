#pragma once
// The updater child process: started from the --updater-cmd text, its
// standard output and standard error joined on one anonymous pipe that the
// updater reader thread reads, its standard input a pipe of the launcher's
// own (the launcher writes "cancel" there when the user cancels, and the
// child reads the end of input once the launcher is gone).
#include <windows.h>

#include <memory>
#include <string>

#include "base/win_owners_win.h"
#include "channel/reader_thread_win.h"

enum class UpdaterStartResult {
  Started,        // the child runs and its reader reads its output
  PipeFailed,     // no child: a pipe could not be made
  ProcessFailed,  // no child: CreateProcessW failed
  ReaderFailed,   // the child runs, but no thread can read its output
};

// What a start leaves the window. `error` is the system's code of the failed
// step (0 on Started). `input` is the write end of the child's standard
// input, held by the launcher alone (never inherited), on Started and
// ReaderFailed. `process` is the child, only on ReaderFailed: nobody else
// watches it then, so the window waits for its end itself.
struct UpdaterStart {
  UpdaterStartResult result = UpdaterStartResult::ProcessFailed;
  DWORD error = 0;
  UniqueHandle input;
  UniqueHandle process;
};

// The calls that start a run: CreateProcessW and StartReaderThread. A test
// may put failing ones in their place, for failures it cannot provoke.
struct UpdaterStarters {
  decltype(&CreateProcessW) createProcess = &CreateProcessW;
  bool (*startReader)(std::unique_ptr<ReaderArgs>&) = &StartReaderThread;
};

// Window thread. The command is used verbatim as the complete command line
// (no quoting added), so the platform's rules for a command line without an
// application name pick the program (callers pass a quoted absolute path).
// The child gets no console window and inherits exactly three handles: the
// read end of its input pipe and the write end of its output pipe (as
// standard output and standard error). It is never waited for on the window
// thread and never terminated. On Started the updater reader owns the output
// pipe's read end and the process handle. On ReaderFailed the output's read
// end is closed at once, so a child that writes fails instead of blocking.
UpdaterStart StartUpdater(const std::wstring& command, HWND window, const UpdaterStarters& starters = {});
