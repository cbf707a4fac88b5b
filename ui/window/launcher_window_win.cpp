#include "ui/window/launcher_window_win.h"

#include <memory>

#include "base/win_owners_win.h"
#include "channel/launch_event.h"
#include "channel/launch_message_win.h"
#include "state/launch_transitions.h"
#include "state/launch_view.h"
#include "state/step_table.h"
#include "ui/window/accessible_object_win.h"
#include "ui/shell/window_manners.h"
#include "ui/shell/window_manners_win.h"
#include "ui/scene/display_settings_win.h"
#include "ui/scene/layout.h"
#include "ui/scene/scene.h"
#include "ui/paint/scene_renderer_win.h"
#include "ui/window/state_effects_win.h"
#include "ui/paint/text_line_win.h"
#include "ui/window/updater_launch_win.h"

namespace {

bool HitTestButton(const LauncherApp& app, int32_t x, int32_t y) {
  return IsOnActionButton(app.dpiScale, x, y, app.launch.language->rightToLeft, app.paint.button);
}

// The rounded region for the current dpiScale; the system owns it afterwards.
void UpdateWindowRegion(LauncherApp& app) {
  const RegionShape shape = WindowRegionShape(app.dpiScale);
  HRGN region = CreateRoundRectRgn(0, 0, shape.right, shape.bottom, shape.corner, shape.corner);
  if (region == nullptr) return;
  // On success the system owns the region; on failure it is still ours.
  if (SetWindowRgn(app.window, region, TRUE) == 0) DeleteObject(region);
}

// The system sends no WM_DPICHANGED at creation. Where the monitor's DPI was
// unknown before, the window's own (the monitor's, for a per-monitor aware
// process) sets the scale now, before the first frame.
void FitToWindowDpi(LauncherApp& app, const PixelRect& workArea) {
  const unsigned dpi = WindowDpi(app.window);
  if (dpi == 0 || DpiScaleFor(dpi) == app.dpiScale) return;
  app.dpiScale = DpiScaleFor(dpi);
  const PixelRect placed = CenterInWorkArea(workArea, app.dpiScale);
  SetWindowPos(app.window, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The user closes the window (Escape, Cancel or Close, Alt+F4, WM_CLOSE):
// an updater that may still work is told, unless the launch was handed over.
void CloseByUser(LauncherApp& app) {
  if (!app.launch.state.handedOver) app.updater.TellCancelled();
  DestroyWindow(app.window);
}

LRESULT OnDestroy(LauncherApp& app) {
  app.exitCode = app.reportOutcome ? OutcomeExitCode(OutcomeOf(app.launch.state, ViewOf(app))) : 0;
  if (app.windowGone != nullptr) app.windowGone(app.exitCode);
  // A client may hold the object longer than the window's data lives.
  app.shell.accessible.Disconnect();
  app.shell.live.Clear(app.window);
  if (app.icon != nullptr) {
    DestroyIcon(app.icon);
    app.icon = nullptr;
  }
  PostQuitMessage(0);
  return 0;
}

// Every paint draws the whole window into an off-screen bitmap and copies it
// in one BitBlt: no erase, no flicker. The GDI objects live for this paint only.
LRESULT OnPaint(LauncherApp& app) {
  PaintScope paint(app.window);
  NotePainted(app);
  const int32_t width = ScaleUnits(kWindowUnitsWide, app.dpiScale);
  const int32_t height = ScaleUnits(kWindowUnitsHigh, app.dpiScale);
  UniqueMemoryDc memoryDc(CreateCompatibleDC(paint.dc()));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(paint.dc(), width, height));
  if (memoryDc == nullptr || bitmap == nullptr) return 0;
  {
    SelectedObject selected(memoryDc.get(), bitmap.get());
    const LaunchView view = ViewOf(app);
    if (app.shell.viewPending) TellTheShellOfTheView(app, view);
    const PictureSource& picture = PictureAtScale(app);
    SceneInput scene{view,
                     app.launch.profile.badge,
                     app.launch.displayTitle,
                     !picture.empty(),
                     app.pointer.hoverButton,
                     app.pointer.pressedButton};
    if (app.display.highContrast) scene.highContrast = &*app.display.highContrast;
    scene.look = &app.display.look;
    // The hit test and the accessible location follow the button as painted.
    scene.labelWidths = MeasureGrowingLabels(app.paint.fonts, view, app.dpiScale);
    app.paint.button = GrowToFit(scene.labelWidths).button;
    PaintFrame(memoryDc.get(), app.dpiScale, PaintScene(scene), app.paint.fonts, &picture,
               &app.paint.background.prepared);
    BitBlt(paint.dc(), 0, 0, width, height, memoryDc.get(), 0, 0, SRCCOPY);
  }
  return 0;
}

LRESULT OnTimer(LauncherApp& app, WPARAM timerId) {
  if (timerId == kAnimationTimerId) {
    // Whatever validated the window without a paint here, the next
    // invalidation goes through again within a tick.
    app.paint.invalidated = false;
    PerformStateEffects(app, AnimateProgress(app.launch.state, app.display.animateProgress));
    PerformStateEffects(app, AdvanceClock(app.launch.state, GetTickCount64()));
    if (app.updater.RetryDue()) StartUpdaterOrShowError(app);
    if (app.paint.repaintAtTick) Invalidate(app);
    FlushPendingView(app);
  } else if (timerId == kCloseTimerId) {
    KillTimer(app.window, kCloseTimerId);
    DestroyWindow(app.window);
  } else if (timerId == kIconTimerId) {
    KillTimer(app.window, kIconTimerId);
    RequestIcon(app);
  }
  return 0;
}

// A drag or a press ends without acting when the capture goes elsewhere
// (Alt+Tab, a prompt on the secure desktop), when the system cancels modes,
// or when a move arrives without the left button (its release went to another
// window): otherwise the window would follow a cursor no button holds.
void EndPointerGesture(LauncherApp& app) {
  if (!app.pointer.dragging && !app.pointer.pressedButton) return;
  app.pointer.dragging = false;
  app.pointer.pressedButton = false;
  // Sends WM_CAPTURECHANGED, which finds nothing left to end.
  if (GetCapture() == app.window) ReleaseCapture();
  Invalidate(app);
}

LRESULT OnCaptureChanged(LauncherApp& app, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) != app.window) EndPointerGesture(app);
  return 0;
}

LRESULT OnMouseMove(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  if ((wParam & MK_LBUTTON) == 0) EndPointerGesture(app);
  const ClientPoint point = ClientPointFromLParam(lParam);
  const bool inside = HitTestButton(app, point.x, point.y);
  if (inside != app.pointer.hoverButton) {
    app.pointer.hoverButton = inside;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = app.window;
    track.dwHoverTime = 0;
    TrackMouseEvent(&track);
    Invalidate(app);
  }
  if (app.pointer.dragging) {
    POINT cursor{};
    GetCursorPos(&cursor);
    // The z-order stays: top-most, or not when a busy user's window was shown quietly.
    SetWindowPos(app.window, nullptr, cursor.x - app.pointer.dragOffsetX, cursor.y - app.pointer.dragOffsetY, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  return 0;
}

// The capture is taken whatever is under the cursor, so the release and the
// drag's moves arrive here even off the window.
LRESULT OnLeftButtonDown(LauncherApp& app, LPARAM lParam) {
  SetCapture(app.window);
  const ClientPoint point = ClientPointFromLParam(lParam);
  if (HitTestButton(app, point.x, point.y)) {
    app.pointer.pressedButton = true;
    Invalidate(app);
    return 0;
  }
  app.pointer.dragging = true;
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT rect{};
  GetWindowRect(app.window, &rect);
  app.pointer.dragOffsetX = cursor.x - rect.left;
  app.pointer.dragOffsetY = cursor.y - rect.top;
  return 0;
}

// Only the press and the release point decide: a press on the button that
// wandered off and came back still acts; a release off the button never does.
// The gesture is read and ended before the capture goes: releasing it sends
// WM_CAPTURECHANGED, which would otherwise end the press unacted.
LRESULT OnLeftButtonUp(LauncherApp& app, LPARAM lParam) {
  const ClientPoint point = ClientPointFromLParam(lParam);
  const bool acts = app.pointer.pressedButton && HitTestButton(app, point.x, point.y);
  app.pointer.pressedButton = false;
  app.pointer.dragging = false;
  ReleaseCapture();
  if (acts) {
    PressActionButton(app);
  } else {
    Invalidate(app);
  }
  return 0;
}

// Enter and Space press the action button; a held key's repeats do not (a
// held Enter would otherwise retry and then cancel). Escape closes.
LRESULT OnKeyDown(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  constexpr LPARAM kRepeatBit = LPARAM{1} << 30;
  switch (wParam) {
    case VK_ESCAPE:
      CloseByUser(app);
      return 0;
    case VK_RETURN:
    case VK_SPACE:
      if ((lParam & kRepeatBit) == 0) PressActionButton(app);
      return 0;
    default:
      return DefWindowProcW(app.window, WM_KEYDOWN, wParam, lParam);
  }
}

// Ctrl+C (translated to the character 3) copies the window's texts as a
// message box does, from the launch view.
LRESULT OnChar(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  constexpr WPARAM kCtrlC = 3;
  if (wParam != kCtrlC) return DefWindowProcW(app.window, WM_CHAR, wParam, lParam);
  CopyToClipboard(app.window, CopyTextOf(ViewOf(app), app.launch.displayTitle));
  return 0;
}

// The taskbar button, Win+Down and the system menu (Alt+Space) minimise and
// restore the borderless popup; its size is fixed. The launch goes on while
// minimised.
LRESULT OnSysCommand(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
      EndPointerGesture(app);
      ShowWindow(app.window, SW_MINIMIZE);
      return 0;
    case SC_RESTORE:
      ShowWindow(app.window, SW_RESTORE);
      return 0;
    case SC_MAXIMIZE:
    case SC_SIZE:
      return 0;
    default:
      return DefWindowProcW(app.window, WM_SYSCOMMAND, wParam, lParam);
  }
}

// The window's own accessible object answers for its client area; other
// objects (the frame, the caret, UI Automation) get the default answer.
LRESULT OnGetObject(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  // Clients reach the object through the window thread's COM apartment.
  if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT) && app.shell.com.Enter()) {
    const LRESULT answer = app.shell.accessible.Answer(app, wParam);
    if (answer != 0) return answer;
  }
  return DefWindowProcW(app.window, WM_GETOBJECT, wParam, lParam);
}

LRESULT OnDpiChanged(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  app.dpiScale = DpiScaleFromDpiChange(wParam);
  if (lParam != 0) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(app.window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  UpdateWindowRegion(app);
  Invalidate(app);
  return 0;
}

// A theme, colour or animation setting may have changed: read them again
// and repaint in the look they now ask for.
LRESULT OnDisplaySettingsChange(LauncherApp& app) {
  app.display =
      ChooseDisplay(ReadDisplaySettings(app.lookRequest.theme == LookTheme::FollowSystem), app.lookRequest);
  Invalidate(app);
  return 0;
}

// Applies one event of a reader, inside a batch. A step change, a failure
// (error or stop, also a repeated one) and the end are told to assistive
// technology and the taskbar right after the event that made them, even
// when a later event of the same batch or frame overtakes them; everything
// else follows at the next paint or tick. `stepBefore` is the caller's
// buffer, reused from event to event of a batch so that a line costs no
// allocation for it.
StateEffects ApplyReaderEvent(LauncherApp& app, const LaunchEvent& event, std::wstring& stepBefore) {
  stepBefore.assign(app.launch.state.stepKey);
  const StateEffects effects = ApplyLaunchEvent(app.launch.state, event);
  const std::wstring& step = app.launch.state.stepKey;
  const bool milestone = step != stepBefore || FactsOf(step).kind == StepKind::Failed;
  if (effects.closeTimerMs != 0 || (effects.repaint && milestone)) TellTheShellOfTheView(app, ViewOf(app));
  return effects;
}

// The batch became the window's with the post; it is freed here whatever
// happens while it is applied. Every event is applied, in order; the window
// then repaints, arms the close timer and flags the view once for the whole
// batch. A message without this process's cookie came from elsewhere: it is
// ignored, its lParam untouched, nothing repainted.
LRESULT OnLaunchEvents(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  const std::unique_ptr<LaunchEventBatch> batch = TakeLaunchEvents(wParam, lParam);
  if (batch == nullptr) return 0;
  StateEffects effects;
  std::wstring stepBefore;
  for (const LaunchEvent& event : batch->events) effects = Then(effects, ApplyReaderEvent(app, event, stepBefore));
  PerformStateEffects(app, effects);
  return 0;
}

// The run's child is gone: from now on Retry starts the command again, so
// also on the exit-code report applied here.
LRESULT OnUpdaterEnded(LauncherApp& app, WPARAM wParam, LPARAM lParam) {
  if (!CarriesLaunchMessageCookie(wParam)) return 0;
  const std::unique_ptr<LaunchEvent> report = TakeUpdaterReport(wParam, lParam);
  app.updater.Ended();
  std::wstring stepBefore;
  if (report != nullptr) PerformStateEffects(app, ApplyReaderEvent(app, *report, stepBefore));
  return 0;
}

// The shell (re)created the taskbar button: obtain it and show the state at once.
LRESULT OnTaskbarButtonCreated(LauncherApp& app) {
  if (!app.shell.com.Enter()) return 0;
  app.shell.taskbar.OnButtonCreated();
  MirrorOnTaskbarButton(app, ViewOf(app));
  return 0;
}

// The icon is handed over once; a message posted by another program finds
// it taken, or makes the thread finish it first.
LRESULT OnAssetIcon(LauncherApp& app) {
  HICON icon = app.assetLoad.TakeIcon();
  if (icon == nullptr) return 0;
  app.icon = icon;
  SendMessageW(app.window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(app.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  return 0;
}

// Handles destroy, paint, cursor, keys, the accessible object, the three
// timers, hover, press, release, drag, capture loss, Ctrl+C, minimise and
// restore, DPI change, launch events, display setting changes, the icon and
// the close (Alt+F4 arrives as WM_CLOSE); the rest goes to DefWindowProcW.
LRESULT LauncherWindowProc(LauncherApp& app, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      return OnDestroy(app);
    case WM_CLOSE:
      CloseByUser(app);
      return 0;
    case WM_PAINT:
      return OnPaint(app);
    case WM_SETCURSOR:
      if (app.pointer.hoverButton) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
      return OnKeyDown(app, wParam, lParam);
    case WM_CHAR:
      return OnChar(app, wParam, lParam);
    case WM_SYSCOMMAND:
      return OnSysCommand(app, wParam, lParam);
    case WM_GETOBJECT:
      return OnGetObject(app, wParam, lParam);
    case WM_TIMER:
      return OnTimer(app, wParam);
    case WM_MOUSEMOVE:
      return OnMouseMove(app, wParam, lParam);
    case WM_LBUTTONDOWN:
      return OnLeftButtonDown(app, lParam);
    case WM_LBUTTONUP:
      return OnLeftButtonUp(app, lParam);
    case WM_CAPTURECHANGED:
      return OnCaptureChanged(app, lParam);
    case WM_CANCELMODE:
      EndPointerGesture(app);
      break;
    case WM_MOUSELEAVE:
      app.pointer.hoverButton = false;
      Invalidate(app);
      return 0;
    case WM_DPICHANGED:
      return OnDpiChanged(app, wParam, lParam);
    case WM_LAUNCH_EVENT:
      return OnLaunchEvents(app, wParam, lParam);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      return OnDisplaySettingsChange(app);
    case WM_UPDATER_ENDED:
      return OnUpdaterEnded(app, wParam, lParam);
    case WM_PRESS_BUTTON:
      if (CarriesLaunchMessageCookie(wParam)) PressActionButton(app);
      return 0;
    case WM_ASSET_ICON:
      return OnAssetIcon(app);
    default:
      // A registered message: its number is known only at run time.
      if (message != 0 && message == app.shell.taskbar.createdMessage()) return OnTaskbarButtonCreated(app);
      break;
  }
  return DefWindowProcW(app.window, message, wParam, lParam);
}

// The class's window procedure: binds the window to its LauncherApp at
// WM_NCCREATE, gives earlier messages default handling.
LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // No exception may cross the system's frames: whatever a handler throws
  // (only allocation can) ends that message with default handling.
  try {
    auto* bound = reinterpret_cast<LauncherApp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    // Bound once: a later WM_NCCREATE (only another program would send one)
    // gets default handling and its creation parameters are not read.
    if (message == WM_NCCREATE && bound == nullptr) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto* app = static_cast<LauncherApp*>(create->lpCreateParams);
      app->window = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
      return LauncherWindowProc(*app, message, wParam, lParam);
    }
    if (bound == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      // The window's last message: nothing after it may reach the
      // LauncherApp, which the entry destroys once the window is gone.
      const LRESULT result = LauncherWindowProc(*bound, message, wParam, lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return result;
    }
    return LauncherWindowProc(*bound, message, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

void PressActionButton(LauncherApp& app) {
  if (ViewOf(app).button != StepButton::Retry) {
    CloseByUser(app);
    return;
  }
  // Retry is the user's answer to the error shown: a close that an earlier
  // "done" armed no longer stands.
  KillTimer(app.window, kCloseTimerId);
  PerformStateEffects(app, RetryLaunch(app.launch.state));
  // A child that has ended is started again, exactly as at start-up. A child
  // still running, or progress from standard input, is left to carry on:
  // the display alone goes back to the first step. A child whose output
  // nobody reads can show nothing more: a new run starts once it has ended.
  if (app.updater.command.empty()) return;
  if (!app.updater.running()) {
    StartUpdaterOrShowError(app);
  } else if (app.updater.unread()) {
    app.updater.RetryWhenEnded();
  }
}

void AttachAssets(LauncherApp& app) { app.assetLoad.TakePictures(app.paint.background); }

void RequestIcon(LauncherApp& app) { app.assetLoad.LoadIconFor(app.window, WM_ASSET_ICON); }

bool CreateLauncherWindow(LauncherApp& app) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = StaticWindowProc;
  windowClass.hInstance = app.instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kLauncherWindowClass;
  // A failed registration shows as a failed creation below.
  RegisterClassW(&windowClass);

  // On the monitor the user works on, at that monitor's scale from the first frame.
  const StartPlacement start = ChooseStartPlacement();
  if (start.dpi != 0) app.dpiScale = DpiScaleFor(start.dpi);
  const PixelRect placed = CenterInWorkArea(start.workArea, app.dpiScale);
  app.showMode = QueryShowMode();
  // The minimise box and the system menu let the taskbar, Win+Down and
  // Alt+Space minimise the popup; neither draws anything without a caption.
  HWND window = CreateWindowExW(WS_EX_APPWINDOW | (app.showMode.topMost ? WS_EX_TOPMOST : 0), kLauncherWindowClass,
                                app.launch.displayTitle.c_str(), WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, placed.left,
                                placed.top, placed.right - placed.left, placed.bottom - placed.top, nullptr, nullptr,
                                app.instance, &app);
  if (window == nullptr) {
    app.window = nullptr;  // WM_NCCREATE may have stored a handle that is gone again
    return false;
  }

  FitToWindowDpi(app, start.workArea);
  UpdateWindowRegion(app);
  app.launch.state.clockMs = GetTickCount64();  // the byte counts' clock; the tick moves it on
  SetTimer(window, kAnimationTimerId, kAnimationTimerMs, nullptr);
  app.shell.taskbar.Prepare(window);
  return true;
}
