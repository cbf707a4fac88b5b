#pragma once
#include <windows.h>

// Per-monitor awareness v2 where the system has it, else the old system-wide
// awareness. Looked up at run time, so the program still starts on systems
// without SetProcessDpiAwarenessContext. The first thing the process does.
void MakeProcessDpiAware();

// The whole life of the launcher process; returns its exit code.
int RunLauncher(HINSTANCE instance);
