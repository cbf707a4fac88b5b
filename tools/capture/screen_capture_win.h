#pragma once
// Reading a window's pixels as they are on the screen. Shared by
// window-capture.exe and the Windows tests; PNG files are written with
// SavePng of the frame snapshots.
#include <windows.h>

#include "tools/capture/frame_snapshot_win.h"

// The pixels of a window as composed on the display, alpha forced to 0xFF.
using ScreenPixels = PixelImage;

// Copies the window's rectangle from the screen DC, so it sees the window as
// composed on the display, whichever process owns it. Empty on failure.
ScreenPixels CaptureWindowFromScreen(HWND window);
