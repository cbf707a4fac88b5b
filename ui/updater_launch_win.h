#pragma once
// Starting the updater command, at start-up and again on Retry.
#include "ui/launcher_app_win.h"

// Starts app.updaterCommand (not empty) as a new run: a new pipe, child and
// reader, exactly as at start-up; the child's standard input is the null
// device while the launcher reads its own. A start failure becomes the error
// state ("Updater pipe creation failed", "Updater process start failed") and
// the window goes on. Window thread; the window exists.
void StartUpdaterOrShowError(LauncherApp& app);
