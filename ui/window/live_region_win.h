#pragma once
// The accessible object's live region (child kAccessibleLive): marked live
// for UI Automation clients through the accessibility property services,
// and raised with EVENT_OBJECT_LIVEREGIONCHANGED, so a screen reader speaks
// the change even while the window has no focus. Window thread only, inside
// the window's COM apartment.
#include <windows.h>

#include "ui/shell/accessible_view.h"

struct IAccPropServices;

class LiveRegion {
 public:
  LiveRegion() = default;
  ~LiveRegion() { Release(); }
  LiveRegion(const LiveRegion&) = delete;
  LiveRegion& operator=(const LiveRegion&) = delete;

  // Marks the region polite or assertive as asked (once per change of
  // urgency) and raises the event. Without the property services (an
  // old system) the event is raised all the same.
  void Announce(HWND window, LiveAnnouncement announcement);

  // At WM_DESTROY: the window's mark is taken back and the services released.
  void Clear(HWND window);

 private:
  void Release();

  IAccPropServices* services_ = nullptr;
  bool triedServices_ = false;
  LiveAnnouncement marked_ = LiveAnnouncement::None;
};
