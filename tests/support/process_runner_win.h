#pragma once
// Starting the project's programs as separate processes from Windows tests.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/win_owners_win.h"

// The folder holding the running test program (and every built program).
std::wstring ProgramFolder();

// Quotes one argument by the rules CommandLineToArgvW undoes.
std::wstring QuoteArgument(const std::wstring& argument);

struct ChildProcess {
  UniqueHandle process;
  DWORD id = 0;
};

// Starts "<folder>\<program>" with the given argument text, from the test's
// folder when `folder` is empty, else from `folder`, which is then also its
// working folder. Standard input is the given handle when not null
// (inherited), else the test's own.
std::optional<ChildProcess> StartProgram(const std::wstring& program, const std::wstring& arguments,
                                         HANDLE standardInput = nullptr, const std::wstring& folder = L"");

// The process's peak working set in bytes; nullopt when it cannot be read.
std::optional<double> PeakWorkingSetBytes(HANDLE process);

// Waits for the process; nullopt on time-out.
std::optional<DWORD> WaitForExitCode(const ChildProcess& child, DWORD timeoutMs);

// Processes started by `parentId` from a program file named `exeName` (any
// case) that are still running.
int CountRunningChildren(DWORD parentId, std::wstring_view exeName);
// Terminates those (exit code 9), waiting for each; returns how many there were.
int TerminateRunningChildren(DWORD parentId, std::wstring_view exeName);
