#pragma once
// Starting and watching launcher processes for the robustness suite: any
// launcher executable (also a copy in a folder of the test's own), a chosen
// standard input, a chosen working folder, the process handle for memory and
// exit code, and the processes a launcher started.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/win_owners_win.h"

class LauncherProcess {
 public:
  // Starts the executable at `path` with the argument text. Standard input is
  // `standardInput` (inherited) when given, else none at all, so the launcher
  // never reads the test's own; standard output likewise. `folder` is the
  // working folder, or the test's when empty. Null process handle when the
  // start failed.
  LauncherProcess(const std::wstring& path, const std::wstring& arguments, HANDLE standardInput = nullptr,
                  const std::wstring& folder = L"", HANDLE standardOutput = nullptr);
  // Ends a launcher the test left running, so a failure leaves no window.
  ~LauncherProcess();
  LauncherProcess(LauncherProcess&& other) noexcept = default;
  LauncherProcess& operator=(LauncherProcess&& other) noexcept = default;

  bool started() const { return process_ != nullptr; }
  HANDLE process() const { return process_.get(); }
  DWORD id() const { return id_; }

  // The visible launcher window; null when none shows within the time or the
  // process ends first.
  HWND WaitForWindow(DWORD timeoutMs = 15000);
  HWND window() const { return window_; }
  bool WindowOpen() const;
  bool WaitForWindowClosed(DWORD timeoutMs) const;
  bool Running() const;
  std::optional<DWORD> WaitForExit(DWORD timeoutMs);
  // PeakWorkingSetSize of the running process.
  std::optional<uint64_t> PeakWorkingSet() const;
  // The action button's centre in client pixels, from the window's width.
  POINT ButtonPoint() const;
  // A client point of the drag area (away from the button).
  POINT DragPoint() const;

 private:
  UniqueHandle process_;
  DWORD id_ = 0;
  HWND window_ = nullptr;
};

// The full path of a program built beside the test.
std::wstring BuiltProgram(const std::wstring& name);

// The quoted command line of a program built beside the test, with arguments.
std::wstring BuiltCommand(const std::wstring& name, const std::wstring& arguments);

struct ProcessEntry {
  DWORD id = 0;
  DWORD parentId = 0;
  std::wstring exeName;  // file name only, as the system lists it
};

// Every process of the system (of this Wine prefix) now.
std::vector<ProcessEntry> ListProcesses();

// Whether the process with this id is still running.
bool ProcessAlive(DWORD id);

// "Hex" rendering of an exit code for messages: 0xC0000005.
std::string HexCode(DWORD code);
