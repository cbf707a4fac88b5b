#pragma once
// The start-up sequence: the composition root of the launcher process.
#include <windows.h>

// The whole life of the launcher process; returns its exit code.
int RunLauncher(HINSTANCE instance);
