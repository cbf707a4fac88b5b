#pragma once
// Test rig for the updater channel: a hidden window on the test thread that
// receives WM_LAUNCH_EVENT like the launcher window does, and helpers around
// child processes, pipes and handles.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "channel/launch_event.h"

// A message-only window that takes every posted event, keeps a copy and frees
// the original, and counts the ticks of a 20 ms timer (proof that its thread
// is free). Messages are handled only while one of the pump calls runs.
class EventWindow {
 public:
  EventWindow();
  ~EventWindow();  // destroys the window and frees any event still queued
  EventWindow(const EventWindow&) = delete;
  EventWindow& operator=(const EventWindow&) = delete;

  HWND handle() const { return window_; }
  const std::vector<LaunchEvent>& events() const { return events_; }
  size_t ticks() const { return ticks_; }

  // Pumps the thread's messages until done() holds or the time is up.
  bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
  // Pumps until at least `count` events have arrived.
  bool WaitForEvents(size_t count, DWORD timeoutMs);
  // Pumps for the given time, whatever arrives.
  void PumpFor(DWORD ms);
  void StartTicking();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::vector<LaunchEvent> events_;
  size_t ticks_ = 0;
};

// WM_LAUNCH_EVENT messages waiting in the calling thread's queue; they are
// removed and freed.
size_t DiscardQueuedLaunchEvents();

// "kind|caption|detail": the fields that show where a line was cut.
std::wstring Summary(const LaunchEvent& event);
std::vector<std::wstring> Summaries(const std::vector<LaunchEvent>& events);

// Open pipe and process handles of this process, found by probing handle
// values; two equal censuses mean no such handle was leaked in between.
struct HandleCensus {
  int pipes = 0;
  int processes = 0;
  bool operator==(const HandleCensus&) const = default;
};
HandleCensus TakeHandleCensus();
// Polls until the census equals `expected`; false on time-out.
bool WaitForHandleCensus(const HandleCensus& expected, DWORD timeoutMs);

// The full command line of demo-updater.exe (beside the test program).
std::wstring DemoUpdaterCommand(std::wstring_view arguments);

// Terminates (exit code 9) every running demo-updater.exe started by the given
// process; returns how many there were.
int TerminateDemoUpdatersOf(DWORD parentProcessId);

// A file in the temporary folder holding the given bytes, deleted at the end.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};
