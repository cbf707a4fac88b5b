#pragma once
// The launcher window: a borderless, rounded popup of 392 x 252 units,
// centred in the work area of the monitor the user works on, top-most unless
// the user is busy in full screen, and its window procedure. Window thread
// only; the window reaches its LauncherApp through GWLP_USERDATA.
#include <windows.h>

#include <cstdint>

#include "ui/window/launcher_app_win.h"
#include "ui/window/state_effects_win.h"  // PerformStateEffects, the timers

inline constexpr wchar_t kLauncherWindowClass[] = L"TarrowNativeWindow";

// Registers the class and creates the hidden window (placement, scale, show
// mode, region, the 45 ms animation timer). False only when the window
// cannot be created; the caller then ends the run. `app` must stay where it is until the window is destroyed.
bool CreateLauncherWindow(LauncherApp& app);

// The icon the asset thread made, once asked by RequestIcon; lParam and
// wParam 0. (The channel's messages are WM_APP + 1 to 3.)
constexpr UINT WM_ASSET_ICON = WM_APP + 4;

// Waits for the picture LauncherApp started loading. Before the window is
// first shown, so the first frame holds it.
void AttachAssets(LauncherApp& app);

// The asset thread makes the icon now and posts WM_ASSET_ICON, at which the
// window takes it. Asked for by the icon timer, a moment after the first frame.
void RequestIcon(LauncherApp& app);

// The action button acts, whoever pressed it (a click, Enter or Space, an
// accessibility client's WM_PRESS_BUTTON). Retry puts the display back on the first step; when
// an updater command was given and its child has ended, it also starts the
// command again. Cancel and Close destroy the window.
void PressActionButton(LauncherApp& app);
