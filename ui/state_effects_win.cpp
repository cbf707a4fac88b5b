#include "ui/state_effects_win.h"

#include <vector>

#include "ui/accessible_object_win.h"
#include "ui/accessible_view.h"
#include "ui/courtesy.h"
#include "ui/courtesy_win.h"
#include "ui/launcher_window_win.h"

namespace {

// Tells assistive technology what changed since it was last told; the
// window's first state is only noted.
void AnnounceChanges(LauncherApp& app, const LaunchView& view) {
  const std::vector<AccessibleEvent> events =
      AccessibleEventsFor(app.announcedView.has_value() ? &*app.announcedView : nullptr, view);
  app.announcedView = view;
  RaiseAccessibleEvents(app.window, events);
}

}  // namespace

// Under a flooding updater every line asks for a repaint while the paint
// itself waits for a gap in the queue; each further InvalidateRect would cost
// a call into the window system (a wineserver round trip under Wine) and gain
// nothing.
void Invalidate(LauncherApp& app) {
  app.repaintAtTick = false;
  if (app.invalidated) return;
  InvalidateRect(app.window, nullptr, FALSE);
  app.invalidated = true;
}

void NotePainted(LauncherApp& app) {
  app.invalidated = false;
  app.lastPaintMs = GetTickCount64();
}

void MirrorOnTaskbarButton(LauncherApp& app, const LaunchView& view) {
  if (app.taskbar.active()) app.taskbar.Mirror(app.window, MirrorOnTaskbar(view));
}

void PerformStateEffects(LauncherApp& app, const StateEffects& effects) {
  if (effects.closeTimerMs != 0) SetTimer(app.window, kCloseTimerId, effects.closeTimerMs, nullptr);
  if (!effects.repaint) return;
  // Every visible change repaints; the taskbar button and the WinEvents
  // follow at the next paint or tick, whichever comes first.
  app.viewPending = true;
  if (app.invalidated) return;
  // An updater that writes in blocks empties the queue after every block,
  // and each time the paint would draw the whole window again. Within a
  // tick of the last frame the next tick paints instead: at most one frame
  // per tick while lines stream, and a change after a quiet spell shows at
  // once.
  if (app.lastPaintMs != 0 && GetTickCount64() - app.lastPaintMs < kAnimationTimerMs) {
    app.repaintAtTick = true;
    return;
  }
  Invalidate(app);
}

void ShowViewOutsideTheWindow(LauncherApp& app, const LaunchView& view) {
  app.viewPending = false;
  MirrorOnTaskbarButton(app, view);
  switch (AttentionFor(app.announcedView ? &*app.announcedView : nullptr, view)) {
    case Attention::Ask:
      FlashIfInBackground(app.window);
      break;
    case Attention::Stop:
      StopFlashing(app.window);
      break;
    case Attention::Keep:
      break;
  }
  AnnounceChanges(app, view);
}

void FlushPendingView(LauncherApp& app) {
  if (app.viewPending) ShowViewOutsideTheWindow(app, ViewOf(app));
}
