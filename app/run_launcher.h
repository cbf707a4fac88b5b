#pragma once
#include <windows.h>

// The whole life of the launcher process; returns its exit code.
int RunLauncher(HINSTANCE instance);
