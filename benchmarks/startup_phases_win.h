#pragma once
// The launcher's start-up taken apart: `launch-probe --phases` runs the
// launcher's own start-up steps, in their order, in fresh copies of the
// probe and prints the median milliseconds of each.
#include <windows.h>

#include <string>

// The child side: times each step from `createdAt` (the parent's
// QueryPerformanceCounter just before CreateProcessW) and writes one figure
// per line to `outPath`. Exit code 0 when every step ran.
int RunStartupPhasesChild(LONGLONG createdAt, const std::wstring& outPath);

// The parent side: `runs` children, one table on standard output.
void PrintStartupPhases(int runs);
