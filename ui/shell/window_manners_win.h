#pragma once
// The system's side of the window's manners (window_manners.h): where it starts and
// at which DPI, the shell's view of a busy user, the clipboard and the
// taskbar button's flashing. Window thread only.
#include <windows.h>

#include <string>

#include "ui/shell/window_manners.h"
#include "ui/scene/layout.h"

// The work area the window starts in and that monitor's DPI.
struct StartPlacement {
  PixelRect workArea;
  unsigned dpi = 0;  // 0: unknown; the system DPI stands
};

// The monitor of the foreground window, else under the cursor, else the
// primary one (ChooseStartMonitor); the primary work area when the monitors
// cannot be listed. The DPI comes from GetDpiForMonitor (shcore, loaded from
// the system folder at run time).
StartPlacement ChooseStartPlacement();

// The DPI the system gives the window itself (GetDpiForWindow, looked up at
// run time); 0 where the call is missing.
unsigned WindowDpi(HWND window);

// ChooseShowMode from SHQueryUserNotificationState, looked up in shell32 at
// run time; the usual mode where the call is missing or fails.
ShowMode QueryShowMode();

// Puts `text` on the clipboard as Unicode text. A clipboard held by another
// program, or any other failure, leaves it as it was, silently.
void CopyToClipboard(HWND owner, const std::wstring& text);

// Flashes the taskbar button until the window is activated, unless the
// window is already in the foreground.
void FlashIfInBackground(HWND window);
// Stops a flash (FLASHW_STOP); harmless when none runs.
void StopFlashing(HWND window);
