#include "ui/updater_launch_win.h"

#include "channel/updater_process_win.h"
#include "state/launch_transitions.h"
#include "ui/state_effects_win.h"

void StartUpdaterOrShowError(LauncherApp& app) {
  switch (StartUpdater(app.updaterCommand, app.window, app.readsStandardInput)) {
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
