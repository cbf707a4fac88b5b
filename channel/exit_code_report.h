#pragma once
// The final event of the updater reader: how the updater process ended.
#include <cstdint>
#include <memory>

#include "channel/launch_event.h"

// An "error" event whose detail is "Updater process exited with code " and the
// code as an unsigned decimal number (0xC0000005 gives 3221225477), or null
// for exit code 0, which reports nothing. It carries the code too, so the
// window shows the detail in its own language.
std::unique_ptr<LaunchEvent> MakeExitCodeReport(uint32_t exitCode);
