#pragma once
// What assistive technology reads from the launcher window: the window as a
// dialog with four simple children (progress bar, status text, action
// button, and a live region that sums the launch up), and which
// accessibility events a change of the launch view raises. Every text comes from the launch view; nothing here words one.
// Portable and pure; the window's accessible object and its window
// procedure read it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/launch_view.h"
#include "ui/scene/draw_list.h"
#include "ui/scene/layout.h"

// Child ids as accessibility clients use them; 0 is the window itself.
enum AccessibleChild : int32_t {
  kAccessibleSelf = 0,
  kAccessibleProgress = 1,
  kAccessibleStatus = 2,
  kAccessibleButton = 3,
  kAccessibleLive = 4,
};
inline constexpr int32_t kAccessibleChildCount = 4;

enum class AccessibleRole { Dialog, ProgressBar, StaticText, PushButton };

struct AccessibleItem {
  AccessibleRole role = AccessibleRole::Dialog;
  std::wstring name;
  std::wstring value;          // the progress bar's percentage; empty without a target and elsewhere
  std::wstring defaultAction;  // "Press" (in the window's language) on the button, else empty
  bool busy = false;           // the progress bar has no target
  bool focusable = false;      // the button
  SceneRect bounds;            // in units of the window, mirrored in a right-to-left one
};

// The window (kAccessibleSelf, named by the display title) or one of its
// children. `child` must be 0..kAccessibleChildCount.
AccessibleItem DescribeAccessible(const LaunchView& view, std::wstring_view displayTitle, int32_t child);

// A child's rectangle in client pixels at `dpiScale`, each edge scaled
// with ScaleUnits, at its mirrored place in a right-to-left window; the
// window itself covers the whole client area. `button` is the button as
// painted (grown to its label or not).
PixelRect AccessibleChildPixels(int32_t child, float dpiScale, bool rightToLeft = false,
                                const SceneRect& button = layout::kButton);

// The child under a client point (pixels), else kAccessibleSelf.
int32_t AccessibleChildAt(float dpiScale, int32_t x, int32_t y, bool rightToLeft = false,
                          const SceneRect& button = layout::kButton);

enum class AccessibleEventKind { ValueChange, NameChange, Focus };

struct AccessibleEvent {
  AccessibleEventKind kind = AccessibleEventKind::NameChange;
  int32_t child = kAccessibleSelf;
  bool operator==(const AccessibleEvent&) const = default;
};

// The live region's text: the title line, the percentage while the step
// works toward a target, and the detail line ("Downloading runtime, 42%,
// 42.6 MB of 238 MB · 1.8 MB/s").
std::wstring LiveText(const LaunchView& view);

// What the live region last announced, or passed over.
struct LiveRegionMemory {
  bool noted = false;  // the window's first view has been seen
  std::wstring tag, title;
  LaunchTone tone = LaunchTone::Waiting;
  int decade = -1;  // tens of the percentage announced or passed; -1 without a target
};

enum class LiveAnnouncement { None, Polite, Assertive };

// Whether the change to `view` is announced through the live region, so a
// screen reader hears it while it looks elsewhere: a new step (its chip,
// title or tone), the error (assertive) and the end; the percentage once
// the bar settles in a higher ten than it was announced or set out in (100
// is a ten of its own). The window's first view is only noted; a change
// announces once, however often it is asked.
LiveAnnouncement LiveAnnouncementFor(LiveRegionMemory& memory, const LaunchView& view);

// The events that announce the change from `previous` to `next`, in the
// order to raise them: the progress bar's value when the percentage text
// changes, its name when the title line changes, the status text's name
// when the detail line changes, the button's name when its label changes,
// and the focus on the button when the button turns to Retry. `previous` is
// null for the first view of a window, which raises nothing.
std::vector<AccessibleEvent> AccessibleEventsFor(const LaunchView* previous, const LaunchView& next);
