#pragma once
// Carrying out what a state operation asks of the window: the repaint, the
// close timer, the accessibility events and the taskbar button. Shared by
// the window procedure and the updater start, which both change the state.
// Window thread only; the window exists.
#include <windows.h>

#include "state/launch_transitions.h"
#include "state/launch_view.h"
#include "ui/window/launcher_app_win.h"

// The window's timers: the animation tick, the close armed by "done" and the icon.
inline constexpr UINT_PTR kAnimationTimerId = 1;
inline constexpr UINT kAnimationTimerMs = 45;
inline constexpr UINT_PTR kCloseTimerId = 2;
// One shot, armed after the first frame: the icon is asked for when it
// fires (RequestIcon).
inline constexpr UINT_PTR kIconTimerId = 3;
inline constexpr UINT kIconDelayMs = 150;

// Invalidates the whole window, without erasing, once until the next paint.
void Invalidate(LauncherApp& app);

// The paint has drawn the frame: the next change may invalidate again.
void NotePainted(LauncherApp& app);

// Shows the launch on the taskbar button, once the shell has announced it.
void MirrorOnTaskbarButton(LauncherApp& app, const LaunchView& view);

// A repaint of the whole client area and (re)arming the close timer with the
// effects' period, as the effects ask; the repaint waits for the next animation tick when a
// frame was painted less than a tick ago. A change that repaints is also announced to assistive
// technology (WinEvents) and mirrored on the taskbar button, at the next
// paint or animation tick (TellTheShellOfTheView).
void PerformStateEffects(LauncherApp& app, const StateEffects& effects);

// What follows from the state changes since the last call: the taskbar
// button, the WinEvents and, when the launch has just failed in the
// background, the taskbar button's flash. Called by the paint with the view
// it draws and, through FlushPendingView, by the animation tick: a flood of
// lines costs one view per frame, not one per line; a screen reader hears
// what was on screen, and the last state is always announced (a minimised
// window gets no paint, but its ticks).
void TellTheShellOfTheView(LauncherApp& app, const LaunchView& view);
void FlushPendingView(LauncherApp& app);
