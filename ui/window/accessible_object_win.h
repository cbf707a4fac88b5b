#pragma once
// The window's Active Accessibility object: the window as a dialog with a
// progress bar, a status text and the action button (ui/accessible_view.h
// says what each exposes), handed to clients through WM_GETOBJECT, and the
// WinEvents that announce changes. Window thread only.
//
// oleacc.dll is not one of the system's known DLLs, so it is loaded from the
// system folder at run time, together with oleaut32.dll for the strings
// handed to clients; without them the window simply has no object of its own.
#include <windows.h>

#include <vector>

#include "ui/shell/accessible_view.h"

class LauncherApp;
class LauncherAccessible;

// Holds the window's one reference to its accessible object. A client (a
// screen reader) may keep its own references long after the window is
// gone: Disconnect cuts the object off the window's data, after which
// every call it gets answers CO_E_OBJNOTCONNECTED.
class AccessibleObjectOwner {
 public:
  AccessibleObjectOwner() = default;
  ~AccessibleObjectOwner() { Disconnect(); }
  AccessibleObjectOwner(const AccessibleObjectOwner&) = delete;
  AccessibleObjectOwner& operator=(const AccessibleObjectOwner&) = delete;

  // The answer to WM_GETOBJECT for OBJID_CLIENT: the object (made on first
  // use) as LresultFromObject packs it for the client whose wParam this is.
  // 0 when accessibility is unavailable or the window is being destroyed;
  // the window then leaves the message to the default handling.
  LRESULT Answer(LauncherApp& app, WPARAM wParam);

  // At WM_DESTROY: no object is handed out any more, the existing one
  // answers CO_E_OBJNOTCONNECTED from now on, and COM drops the connections
  // of clients in other processes (their calls fail without reaching it).
  void Disconnect();

 private:
  LauncherAccessible* object_ = nullptr;
  bool disconnected_ = false;
};

// Raises each event with NotifyWinEvent for the window's client object and
// the event's child.
void RaiseAccessibleEvents(HWND window, const std::vector<AccessibleEvent>& events);
