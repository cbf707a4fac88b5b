#pragma once
// The one application object: everything the window shows and needs. Built
// by the process entry before the window exists, reached by the window
// procedure through the window's user data, destroyed by the entry after the
// message loop and before GDI+ shuts down. Window thread only.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "base/win_owners_win.h"
#include "state/profiles.h"
#include "state/launch_state.h"
#include "state/launch_view.h"
#include "ui/window/accessible_object_win.h"
#include "ui/window/live_region_win.h"
#include "ui/paint/assets_win.h"
#include "ui/shell/window_manners.h"
#include "ui/scene/display_settings.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/layout.h"
#include "ui/paint/scene_renderer_win.h"
#include "ui/shell/taskbar_win.h"
#include "ui/window/updater_run_win.h"

// What the window shows: the launch and the words it is shown in. The launch
// view is computed from it alone (ViewOf).
struct LaunchModel {
  Profile profile;
  std::wstring title;         // the sanitised start-up text
  std::wstring displayTitle;  // caption and painted titles, never empty
  const Language* language = &English();  // the launcher's own texts and the window's direction
  LaunchState state;
};

// What painting keeps between frames. Never the source of what is shown;
// GDI+ objects, so gone before GDI+ shuts down.
struct PaintCaches {
  // The pictures' bytes and the copy drawn at the scale; empty until the
  // asset load hands them over before the first show.
  BackgroundPictures background;
  UiFonts fonts;             // made on first use, any may be missing
  SceneRect button = layout::kButton;  // the action button as last painted, grown to its label
  bool invalidated = false;            // the whole window was invalidated and has not been painted since
  bool repaintAtTick = false;          // a change waits for the next animation tick to be painted
  unsigned long long lastPaintMs = 0;  // GetTickCount64 at the last paint; 0 before the first
};

// The mouse on the window: hover, a press on the action button, a drag.
struct PointerGesture {
  bool hoverButton = false;    // the pointer is over the action button
  bool pressedButton = false;  // the left button went down on the action button
  bool dragging = false;       // the left button went down elsewhere; the window follows
  int32_t dragOffsetX = 0;     // cursor minus window corner at the press, screen pixels
  int32_t dragOffsetY = 0;
};

// The window's ties to the system beyond its own pixels: the COM apartment,
// the accessible object, the taskbar button, and what they were last told.
struct ShellObjects {
  // Entered by the start-up before the window exists; never left. Declared
  // first, so the objects below go before it.
  ComApartmentOnDemand com;
  AccessibleObjectOwner accessible;  // disconnected at WM_DESTROY
  TaskbarButton taskbar;             // the button's progress display; off until the shell announces it
  LiveRegion live;                   // cleared at WM_DESTROY
  LiveRegionMemory liveMemory;       // what the live region last announced
  bool viewPending = false;  // the state changed since the taskbar and the WinEvents were last told
  // What assistive technology was last told; empty before the first state is applied.
  std::optional<LaunchView> announcedView;
};

class LauncherApp {
 public:
  // Derives title, profile and display title from the start-up text, measures
  // the system DPI, then starts loading the background picture (taken over
  // by AttachAssets) and icon (by RequestIcon). Never fails: a missing picture, icon or
  // font is left out.
  // A brand (ReadEmbeddedBrand) replaces the profile and asks for its look.
  LauncherApp(HINSTANCE instanceHandle, std::wstring startupText,
              const std::optional<EmbeddedBrand>& brand = std::nullopt);
  // The records go in reverse order of the list below; the icon is not
  // destroyed here, the window does that.
  ~LauncherApp() = default;

  // The window keeps this object's address: never copied or moved.
  LauncherApp(const LauncherApp&) = delete;
  LauncherApp& operator=(const LauncherApp&) = delete;

  HINSTANCE instance = nullptr;
  HWND window = nullptr;  // set at WM_NCCREATE; the window is gone before this object is
  HICON icon = nullptr;   // handed to the window, destroyed at WM_DESTROY
  float dpiScale = 1.0f;  // at least 1.0: the system's, then the start monitor's; replaced on a DPI change
  LookRequest lookRequest;  // the product's theme and accents; the built-in look by default
  DisplayChoice display;    // high contrast, the design look and animation, from the settings and the request
  ShowMode showMode;      // decided at window creation: a busy user's window is quiet
  AssetLoad assetLoad;    // the picture decoded while the window is made, then the icon
  LaunchModel launch;
  PaintCaches paint;
  PointerGesture pointer;
  ShellObjects shell;
  UpdaterRun updater;  // the updater's current run, and its command for Retry
  // Called first at WM_DESTROY when set, with the exit code the run ends
  // with: the process entry promises its end there. Left null where a test
  // hosts the window in its own process.
  void (*windowGone)(UINT exitCode) = nullptr;
  // --report-outcome: the exit code tells done, cancelled and failed apart.
  bool reportOutcome = false;
  // Set at WM_DESTROY: what the process exits with once the loop has ended.
  UINT exitCode = 0;
};

// The picture drawn at the window's scale: the 2x one from 1.5 on, when there is one.
inline const PictureSource& PictureAtScale(const LauncherApp& app) { return app.paint.background.At(app.dpiScale); }

// What the window shows now, in its language.
inline LaunchView ViewOf(const LauncherApp& app) {
  return DescribeLaunch(app.launch.state, app.launch.profile.sequenceTitle, *app.launch.language);
}

// Per-monitor awareness v2 where the system has it, else the old system-wide
// awareness. Looked up at run time, so the program still starts on systems
// without SetProcessDpiAwarenessContext. Before any window or DC exists.
void MakeProcessDpiAware();
