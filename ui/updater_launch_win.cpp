#include "ui/updater_launch_win.h"

#include "channel/updater_process_win.h"
#include "state/launch_transitions.h"
#include "ui/launcher_window_win.h"

void StartUpdaterOrShowError(LauncherApp& app) {
  // Events still queued from a replaced run carry the old generation and are
  // dropped on arrival. 0 belongs to standard input, so it is skipped on wrap.
  if (++app.updaterGeneration == 0) app.updaterGeneration = 1;
  switch (StartUpdater(app.updaterCommand, app.window, app.updaterGeneration)) {
    case UpdaterStartResult::Started:
      app.updaterRunning = true;
      return;
    case UpdaterStartResult::PipeFailed:
      app.updaterRunning = false;
      PerformStateEffects(app, SetStep(app.state, 0.0, L"ERROR", TextId::DetailPipeFailed));
      return;
    case UpdaterStartResult::ProcessFailed:
      app.updaterRunning = false;
      PerformStateEffects(app, SetStep(app.state, 0.0, L"ERROR", TextId::DetailStartFailed));
      return;
  }
}
