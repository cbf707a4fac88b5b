#include "app/startup_sequence_win.h"

#include <utility>

#include "app/command_line_win.h"
#include "app/exit_watchdog_win.h"
#include "app/startup_options.h"
#include "app/ui_languages_win.h"
#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "channel/stdin_reader_win.h"
#include "state/launch_transitions.h"
#include "ui/paint/assets_win.h"
#include "ui/window/launcher_app_win.h"
#include "ui/window/launcher_window_win.h"
#include "ui/window/updater_launch_win.h"

namespace {

// Runs until WM_QUIT, however it arrives (the window's own PostQuitMessage(0)
// or one posted by another program), or until GetMessageW fails (-1, which
// would otherwise spin on the same error). A WM_DPICHANGED taken from the
// queue was posted, never sent by the system (which sends the real one), so
// its lParam is no rectangle: it is dropped here.
//
// Under Wine a thread that has taken over 200 messages without waiting once
// has every further GetMessageW check the display connection for events
// too: under a flooding updater, whose lines keep the queue full, that was
// about a third of the window thread's time. A wait that returns at once,
// every 64 messages, starts that count again. On Windows it is a cheap check
// that takes nothing from the queue.
void RunMessageLoop() {
  constexpr unsigned kMessagesBetweenWaits = 64;
  unsigned sinceWait = 0;
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    if (++sinceWait == kMessagesBetweenWaits) {
      sinceWait = 0;
      MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    if (message.message == WM_DPICHANGED) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// From the window's birth to its end, with `app` alive throughout. `shell`
// keeps shell32 mapped until the window exists (see RunLauncher).
int RunWindow(LauncherApp& app, const StartupOptions& options, UniqueModule shell) {
  // Accessibility clients reach the window's object through the thread's
  // apartment. Entered before the window exists: entered inside a client's
  // WM_GETOBJECT, Wine can leave the process hanging at its exit while
  // clients go on reading.
  app.shell.com.Enter();
  // Whatever holds the window thread once the window is gone (under Wine,
  // clients reading its accessible object during the close can), the
  // process ends within the grace.
  app.windowGone = &ArmExitWatchdog;
  if (!CreateLauncherWindow(app)) return 1;
  shell.reset();
  // Reads standard input only when it is a disk file or a pipe. The updater
  // never gets it: its input is a pipe of the launcher's own.
  StartStdinReader(app.window);
  PerformStateEffects(app, ApplyPreviewState(app.launch.state, options.stateArgument));
  // Remembered for Retry, which starts the same command again once it has ended.
  app.updater.command = options.updaterCommand;
  app.reportOutcome = options.reportOutcome;
  if (!app.updater.command.empty()) StartUpdaterOrShowError(app);
  // Decoded meanwhile on a thread of its own; the first paint shows it.
  AttachAssets(app);
  if (app.showMode.activate) {
    ShowWindow(app.window, SW_SHOW);
    // The window takes the keyboard once, here, so Enter, Space and Escape
    // reach it; nothing later activates it again.
    SetForegroundWindow(app.window);
    SetFocus(app.window);
  } else {
    // A full-screen game or a presentation keeps the foreground and the keyboard.
    ShowWindow(app.window, SW_SHOWNOACTIVATE);
  }
  UpdateWindow(app.window);
  // The icon only a moment later: its load and the window manager's work on
  // WM_SETICON would compete with the first moments of the shown window (the
  // first answer to a client, the first input) on a busy machine. Until then
  // the taskbar shows the executable's own icon.
  if (SetTimer(app.window, kIconTimerId, kIconDelayMs, nullptr) == 0) RequestIcon(app);
  RunMessageLoop();
  // A quit message from elsewhere ends the loop with the window standing; it
  // must not outlive the object its procedure points at. The window ran, so
  // the run ends with the code its end chose, whatever the quit message carried.
  if (IsWindow(app.window)) DestroyWindow(app.window);
  return static_cast<int>(app.exitCode);
}

}  // namespace

int RunLauncher(HINSTANCE instance) {
  MakeProcessDpiAware();
  const ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;
  // The command line's split and the busy-user query each load shell32 for
  // one call; held between them, it is mapped once, not twice.
  UniqueModule shell = LoadSystemModule(L"shell32.dll");
  const StartupOptions options = ParseCommandLine(ReadCommandLineWords());
  // Drawn before any reader thread can post.
  LaunchMessageCookie();
  // The application object is destroyed at the end of this block, before
  // the GDI+ session ends.
  // A branded copy of the launcher wears its brand: its name is the title
  // when no words are given.
  const std::optional<EmbeddedBrand> brand = ReadEmbeddedBrand();
  LauncherApp app(instance, brand && !options.wordsGiven ? brand->brand.name : options.startupText, brand);
  // --lang decides alone (an unknown tag gives English); without it the
  // user's preferred UI languages do.
  const std::vector<std::wstring> preferred = ReadPreferredUiLanguages();
  const std::vector<std::wstring> asked{options.languageArgument};
  app.launch.language = &ChooseLanguage(options.languageArgument.empty() ? preferred : asked);
  // Han's glyph forms follow the reader: the window's language, else the
  // user's preferred ones in order.
  std::vector<std::wstring_view> readers{app.launch.language->tag};
  readers.insert(readers.end(), preferred.begin(), preferred.end());
  app.paint.fonts.SetHanScript(HanForLanguages(readers));
  return RunWindow(app, options, std::move(shell));
}
