#pragma once
// Starting the updater command, at start-up and again on Retry.
#include "ui/window/launcher_app_win.h"

// Starts app.updater.command (not empty) as a new run: new pipes, child and
// reader, exactly as at start-up. A start failure becomes the error state,
// worded with the system's reason; a child whose output cannot be read is
// shown as an error too, and counts as running until it ends. Window
// thread; the window exists.
void StartUpdaterOrShowError(LauncherApp& app);
