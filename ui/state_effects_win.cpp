#include "ui/state_effects_win.h"

#include <utility>
#include <vector>

#include "ui/accessible_object_win.h"
#include "ui/accessible_view.h"

namespace {

// Tells assistive technology what changed since it was last told; the
// window's first state is only noted.
void AnnounceChanges(LauncherApp& app, LaunchView view) {
  const std::vector<AccessibleEvent> events =
      AccessibleEventsFor(app.announcedView.has_value() ? &*app.announcedView : nullptr, view);
  app.announcedView = std::move(view);
  RaiseAccessibleEvents(app.window, events);
}

}  // namespace

// Under a flooding updater every line asks for a repaint while the paint
// itself waits for a gap in the queue; each further InvalidateRect would cost
// a call into the window system (a wineserver round trip under Wine) and gain
// nothing.
void Invalidate(LauncherApp& app) {
  if (app.invalidated) return;
  InvalidateRect(app.window, nullptr, FALSE);
  app.invalidated = true;
}

void MirrorOnTaskbarButton(LauncherApp& app, const LaunchView& view) {
  if (app.taskbar.active()) app.taskbar.Mirror(app.window, MirrorOnTaskbar(view));
}

void PerformStateEffects(LauncherApp& app, const StateEffects& effects) {
  if (effects.armCloseTimer) SetTimer(app.window, kCloseTimerId, kCloseTimerMs, nullptr);
  if (!effects.repaint) return;
  // The view is worked out once for the taskbar button (touched only when
  // what it shows changes) and the accessibility events, which keep it as
  // the last one announced.
  Invalidate(app);
  LaunchView view = DescribeLaunch(app.state, app.profile.sequenceTitle);
  MirrorOnTaskbarButton(app, view);
  AnnounceChanges(app, std::move(view));
}
