#pragma once
// The reader threads: one for the updater's pipe, one for the launcher's
// standard input. Each reads bytes, cuts lines, parses them and posts the
// events to the launcher window. They share nothing but the window handle.
#include <windows.h>

#include <memory>

#include "base/win_owners_win.h"
#include "channel/launch_event.h"

// What one read takes at most: as much as the updater's pipe holds, so that a
// flooding updater's lines are taken in as few reads as possible.
inline constexpr DWORD kReaderPipeBytes = 64 * 1024;

// Eager: the next read follows each read at once. Paced (the updater's pipe,
// which holds kReaderPipeBytes): after a read that found the pipe less than
// full the reader pauses for a millisecond (up to a timer tick on Windows)
// before the next, so that lines written one at a time are read, posted and
// applied many at a time. A line that comes alone is never held back.
enum class ReadPace { Eager, Paced };

// Body of both reader threads. Reads input in synchronous reads of up to
// kReaderPipeBytes until it ends (a failed read, or 0 bytes from anything but a
// pipe), posting after each read one WM_LAUNCH_EVENT with the events of the
// non-blank lines it completed, in line order (none for a read without an
// LF), then the trimmed remainder after the last LF. With a process
// (updater reader) it then waits, without limit, for the process to exit
// and returns "Updater process exited with code N" for a non-zero code (null
// otherwise, and always for standard input). Closes no handle. May throw
// (allocation); the thread entry catches it.
//
// A pipe can deliver a successful read of 0 bytes while its writer is still
// there (a zero-length write); that is not the end of the input.
std::unique_ptr<LaunchEvent> RunReader(HANDLE input, HWND window, HANDLE process,
                                       ReadPace pace = ReadPace::Eager);

// What a reader thread owns from its start; freed by the thread when it ends.
// The updater reader's thread posts WM_UPDATER_ENDED (with RunReader's
// report) last, once its child has exited, also when RunReader failed on its
// way.
struct ReaderArgs {
  HANDLE input = nullptr;   // read from; closed at the end only when ownedInput holds it
  UniqueHandle ownedInput;  // the updater pipe's read end; empty for standard input
  HWND window = nullptr;    // the launcher window, constant for the thread's life
  UniqueHandle process;     // the updater child; empty for the standard-input reader
  ReadPace pace = ReadPace::Eager;
};

// Starts a detached thread running RunReader on args, which it takes over
// (args is null afterwards) and releases when RunReader returns. False when
// the thread cannot be started: args stay the caller's, and the thread's last
// error is the system's reason.
bool StartReaderThread(std::unique_ptr<ReaderArgs>& args);
