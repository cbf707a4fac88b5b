#pragma once
// The launcher window: a borderless, rounded popup of 392 x 252 units,
// centred in the work area of the monitor the user works on, top-most unless
// the user is busy in full screen, and its window procedure. Window thread
// only; the window reaches its LauncherApp through GWLP_USERDATA.
#include <windows.h>

#include <cstdint>

#include "ui/launcher_app_win.h"
#include "state/launch_transitions.h"

inline constexpr wchar_t kLauncherWindowClass[] = L"TarrowNativeWindow";
inline constexpr UINT_PTR kAnimationTimerId = 1;
inline constexpr UINT kAnimationTimerMs = 45;
inline constexpr UINT_PTR kCloseTimerId = 2;
inline constexpr UINT kCloseTimerMs = 1400;

// Registers the class and creates the hidden window (placement, scale, show
// mode, region, the 45 ms animation timer). False only when the window cannot be created; the caller then
// ends the run. `app` must stay where it is until the window is destroyed.
bool CreateLauncherWindow(LauncherApp& app);

// Waits for the picture and icon that LauncherApp started loading and gives
// the icon to the window. Before the window is first shown.
void AttachAssets(LauncherApp& app);

// Carries out what a state operation asks of the window: a repaint of the
// whole client area without erasing, and (re)arming the 1400 ms close timer.
// A change that repaints is also announced to assistive technology (WinEvents)
// and mirrored on the taskbar button, at the next paint or animation tick.
void PerformStateEffects(LauncherApp& app, const StateEffects& effects);

// The action button acts, whoever pressed it (a click, Enter or Space, an
// accessibility client). Retry puts the display back on the first step; when
// an updater command was given and its child has ended, it also starts the
// command again. Cancel and Close destroy the window.
void PressActionButton(LauncherApp& app);
