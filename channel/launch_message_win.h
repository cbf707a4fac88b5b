#pragma once
// The messages that cross threads. WM_LAUNCH_EVENT: a reader thread hands
// the lines of one read to the launcher window; lParam carries a heap
// LaunchEventBatch (never 0 and never empty from a reader) whose ownership
// passes to the window thread at the moment of posting. WM_UPDATER_ENDED:
// the updater reader reports its child gone, with the exit-code report when
// there is one.
// WM_PRESS_BUTTON: an accessibility client pressed the action button.
//
// Any program on the same desktop can post to the window, so a cross-thread
// message proves where it came from: its wParam holds this process's cookie,
// a random value drawn once at start-up. A message without it is not ours and
// its lParam is never looked at.
#include <windows.h>

#include <cstdint>
#include <memory>

#include "channel/launch_event.h"

constexpr UINT WM_LAUNCH_EVENT = WM_APP + 1;
// The updater reader's last word: its child has ended. lParam carries the
// exit-code report (a heap LaunchEvent, owned as with WM_LAUNCH_EVENT) or 0
// (exit code 0, or none could be read). One message for both, so the window
// never shows the report while it still counts the run as going: a Retry
// pressed on the report always starts the command again. Retry starts it only
// after this message, and one reader posts in order, so nothing of an ended
// run can arrive after a new run has started.
constexpr UINT WM_UPDATER_ENDED = WM_APP + 2;
// The action button pressed from outside: accDoDefaultAction arrives inside
// an incoming COM call, where destroying the window or starting a child
// would re-enter the window procedure under the caller. It posts this
// instead, and the button acts from the message loop. lParam is 0.
constexpr UINT WM_PRESS_BUTTON = WM_APP + 3;

// This process's cookie: random, from the system's cryptographic generator
// (bcrypt, else advapi32's RtlGenRandom, both loaded from the system folder
// at run time), never 0. Drawn on the first call; the process entry calls it
// on the window thread before any reader thread starts, so the readers only
// ever read it.
WPARAM LaunchMessageCookie();

// Whether a cross-thread message's wParam carries this process's cookie: the
// poster puts LaunchMessageCookie() in wParam, the window checks this before
// touching lParam.
inline bool CarriesLaunchMessageCookie(WPARAM wParam) { return wParam == LaunchMessageCookie(); }

// Posts the batch to the window with the cookie; with no batch, or an empty
// one, it does nothing. Called on a reader thread. The caller keeps no
// reference. When the window's queue is full (the platform allows 10,000
// posted messages per thread) the post is retried every millisecond for as
// long as the window exists, so no event of a fast updater is dropped; a
// batch that cannot be delivered because the window is gone is freed here.
void PostLaunchEvents(HWND window, std::unique_ptr<LaunchEventBatch> batch);

// Posts WM_UPDATER_ENDED with the cookie and the report (may be null), with
// the same retry as PostLaunchEvents while the queue is full; when the window
// is gone the report is freed here. Called on the updater reader thread after
// its last line, once the child has exited.
void PostUpdaterEnded(HWND window, std::unique_ptr<LaunchEvent> report);

// Window thread: takes ownership of what a WM_LAUNCH_EVENT (the batch) or a
// WM_UPDATER_ENDED (the report) carries. Null when lParam is 0, and null
// without touching lParam when wParam lacks the cookie (a message from
// elsewhere: nothing is freed). The payload is freed when the result goes.
inline std::unique_ptr<LaunchEventBatch> TakeLaunchEvents(WPARAM wParam, LPARAM lParam) {
  if (!CarriesLaunchMessageCookie(wParam)) return nullptr;
  return std::unique_ptr<LaunchEventBatch>(reinterpret_cast<LaunchEventBatch*>(lParam));
}
inline std::unique_ptr<LaunchEvent> TakeUpdaterReport(WPARAM wParam, LPARAM lParam) {
  if (!CarriesLaunchMessageCookie(wParam)) return nullptr;
  return std::unique_ptr<LaunchEvent>(reinterpret_cast<LaunchEvent*>(lParam));
}
