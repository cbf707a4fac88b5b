#pragma once
// How the window behaves towards the user who did not ask for it: on which
// monitor it appears, whether it takes the foreground and stays on top,
// what Ctrl+C copies and when it asks for attention. Portable decisions; the
// Windows side (window_manners_win.h) gathers the system's answers and carries
// them out.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/launch_view.h"
#include "ui/scene/layout.h"

// One display monitor in virtual-screen pixels: its whole rectangle and its
// work area (without the taskbar and docked bars).
struct MonitorArea {
  PixelRect monitor;
  PixelRect work;
  bool primary = false;
};

struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// The monitor the window starts on, as an index into `monitors`: the one
// that holds the largest part of the foreground window (the updater's or the
// product's), else the one under the cursor, else the primary one, else the
// first. Rectangles include left and top and exclude right and bottom. Empty
// when there are no monitors.
std::optional<size_t> ChooseStartMonitor(const std::vector<MonitorArea>& monitors,
                                         const std::optional<PixelRect>& foregroundWindow,
                                         const std::optional<PixelPoint>& cursor);

// How the window is shown at start-up.
struct ShowMode {
  bool activate = true;  // takes the foreground and the keyboard once
  bool topMost = true;   // stays above other windows
  bool operator==(const ShowMode&) const = default;
};

// From the shell's user notification state (the QUNS_* numbers of
// SHQueryUserNotificationState; nullopt where the call is missing or fails):
// a busy full-screen application (2), full-screen Direct3D (3) or
// presentation mode (4) get a window shown without activation and not on
// top; every other state gets the usual top-most window that takes the
// foreground.
ShowMode ChooseShowMode(std::optional<int32_t> userNotificationState);

// What Ctrl+C puts on the clipboard, as a message box does: the display
// title, the title line, the percentage (or "WAIT") and the detail line,
// one per line, separated by CR LF.
std::wstring CopyTextOf(const LaunchView& view, std::wstring_view displayTitle);

// What the taskbar button's flash does on the change from `previous` to
// `next` (null for the window's first view). The error state (its button
// Retry) needs the user: entering it starts the flash, the first view
// included; leaving it stops the flash.
enum class Attention { Keep, Ask, Stop };
Attention AttentionFor(const LaunchView* previous, const LaunchView& next);
