#include "ui/window/state_effects_win.h"

#include <vector>

#include "ui/window/accessible_object_win.h"
#include "ui/shell/accessible_view.h"
#include "ui/shell/window_manners.h"
#include "ui/shell/window_manners_win.h"

namespace {

// Tells assistive technology what changed since it was last told, and
// speaks a new step, the error, the end and every ten percent through the
// live region; the window's first state is only noted.
void AnnounceChanges(LauncherApp& app, const LaunchView& view) {
  const std::vector<AccessibleEvent> events =
      AccessibleEventsFor(app.shell.announcedView.has_value() ? &*app.shell.announcedView : nullptr, view);
  app.shell.announcedView = view;
  RaiseAccessibleEvents(app.window, events);
  app.shell.live.Announce(app.window, LiveAnnouncementFor(app.shell.liveMemory, view));
}

}  // namespace

// Under a flooding updater every line asks for a repaint while the paint
// itself waits for a gap in the queue; each further InvalidateRect would cost
// a call into the window system (a wineserver round trip under Wine) and gain
// nothing.
void Invalidate(LauncherApp& app) {
  app.paint.repaintAtTick = false;
  if (app.paint.invalidated) return;
  InvalidateRect(app.window, nullptr, FALSE);
  app.paint.invalidated = true;
}

void NotePainted(LauncherApp& app) {
  app.paint.invalidated = false;
  app.paint.lastPaintMs = GetTickCount64();
}

void MirrorOnTaskbarButton(LauncherApp& app, const LaunchView& view) {
  if (app.shell.taskbar.active()) app.shell.taskbar.Mirror(app.window, MirrorOnTaskbar(view));
}

void PerformStateEffects(LauncherApp& app, const StateEffects& effects) {
  if (effects.closeTimerMs != 0) SetTimer(app.window, kCloseTimerId, effects.closeTimerMs, nullptr);
  if (!effects.repaint) return;
  // Every visible change repaints; the taskbar button and the WinEvents
  // follow at the next paint or tick, whichever comes first.
  app.shell.viewPending = true;
  if (app.paint.invalidated) return;
  // An updater that writes in blocks empties the queue after every block,
  // and each time the paint would draw the whole window again. Within a
  // tick of the last frame the next tick paints instead: at most one frame
  // per tick while lines stream, and a change after a quiet spell shows at
  // once.
  if (app.paint.lastPaintMs != 0 && GetTickCount64() - app.paint.lastPaintMs < kAnimationTimerMs) {
    app.paint.repaintAtTick = true;
    return;
  }
  Invalidate(app);
}

void TellTheShellOfTheView(LauncherApp& app, const LaunchView& view) {
  app.shell.viewPending = false;
  MirrorOnTaskbarButton(app, view);
  switch (AttentionFor(app.shell.announcedView ? &*app.shell.announcedView : nullptr, view)) {
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
  if (app.shell.viewPending) TellTheShellOfTheView(app, ViewOf(app));
}
