#pragma once
// Driving a running tarrow-launcher.exe from a Windows test through Win32
// alone: find its window, read its rectangle, caption and texts (through its
// accessible object, as a screen reader does), post mouse and key input,
// feed its standard input.
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/win_owners_win.h"
#include "tests/support/process_runner_win.h"
#include "ui/window/launcher_window_win.h"

// The action button's middle in client pixels at 96 DPI.
inline constexpr int32_t kButtonX = 351;
inline constexpr int32_t kButtonY = 24;
// Long enough for posted input or a wrongly early event to have been handled,
// far shorter than any time-out.
inline constexpr DWORD kSettleMs = 700;

// Polls `condition` every 20 ms until it holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// What the window shows, as its accessible object tells it.
struct LauncherTexts {
  std::wstring title;     // the window itself: its display title
  std::wstring progress;  // the progress bar's name (the step's title line)
  std::wstring percent;   // its value: "42%", empty while it waits without a target
  bool busy = false;      // the bar waits without a target
  std::wstring status;    // the status text (the detail line)
  std::wstring button;    // the action button's label
  std::wstring action;    // its default action
};
// One line for failure messages.
std::string Describe(const std::optional<LauncherTexts>& texts);

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
using AccessiblePtr = std::unique_ptr<IAccessible, ComReleaser>;
// Child ids of the window's object.
inline constexpr LONG kProgressChild = 1;
inline constexpr LONG kStatusChild = 2;
inline constexpr LONG kButtonChild = 3;
VARIANT ChildId(LONG id);
// The window's client object through oleacc; null when it does not answer.
// The first call makes the calling thread a COM apartment for good.
AccessiblePtr AccessibleOf(HWND window);
// nullopt when the window is gone, its thread does not answer within 5 s,
// or its object does not answer.
std::optional<LauncherTexts> ReadTexts(HWND window);

// A file in the temporary folder, deleted at the end. Made without bytes it
// does not exist until the first Write: a demo-updater script's WaitLine
// ("wait-file PATH") holds the updater, and the state its last line showed,
// until the test writes the file.
class TempFile {
 public:
  explicit TempFile(std::optional<std::string_view> bytes = std::nullopt);
  ~TempFile() { DeleteFileW(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  bool Write(std::string_view bytes = {}) const;
  std::string WaitLine() const;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// The launcher arguments that make `program` (beside the tests), started
// with `arguments`, its updater.
std::wstring UpdaterCommand(const std::wstring& arguments, const wchar_t* program = L"demo-updater.exe");

// Starts a launcher with a pipe as its standard input (LauncherRun).
struct InputPipe {};
inline constexpr InputPipe kInputPipe;

// A launcher process started for one test; the test process is made per-
// monitor DPI aware too, so window rectangles, the work area and cursor
// positions read in device pixels whatever the DPI. Ends it
// (TerminateProcess) when the test leaves it running, so a failed test
// leaves no window behind.
class LauncherRun {
 public:
  // Starts tarrow-launcher.exe with the argument text from the test's folder,
  // or from `folder` (also its working folder) when given.
  explicit LauncherRun(const std::wstring& arguments, HANDLE standardInput = nullptr,
                       const std::wstring& folder = L"");
  // Its standard input a pipe, written with Feed; EndInput closes it.
  LauncherRun(const std::wstring& arguments, InputPipe);
  ~LauncherRun();
  LauncherRun(const LauncherRun&) = delete;
  LauncherRun& operator=(const LauncherRun&) = delete;

  // The launcher's visible window; null when none shows within the time.
  HWND WaitForWindow(DWORD timeoutMs = 15000);
  HWND window() const { return window_; }
  // The window is hidden the moment it is destroyed; the process may take a
  // while longer to end (without a window manager Wine waits up to 2 s for
  // the X window to be withdrawn), so "closed" is judged by visibility.
  bool WindowOpen() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }
  std::optional<LauncherTexts> Texts() const { return ReadTexts(window_); }
  // Polls the texts until `shown` holds for them; false on time-out.
  bool WaitForTexts(const std::function<bool(const LauncherTexts&)>& shown, DWORD timeoutMs = 10000) const;
  bool WaitForStatus(const std::wstring& status, DWORD timeoutMs = 10000) const {
    return WaitForTexts([&](const LauncherTexts& t) { return t.status == status; }, timeoutMs);
  }
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000);
  // Presses Escape in the window and waits for the exit code.
  std::optional<DWORD> CloseWithEscape();
  bool Running() const;
  // Running with no launcher window left and one thread, after the launcher
  // has set its ending event (EndProcessNow: only once a window ran): stuck
  // inside the system's own end of the process, never in the launcher's
  // code, start-up included. Wine 8 leaves a process so now and then when a
  // thread it kills at the end held one of its locks; Windows never does.
  bool StuckInItsEnd() const;
  // Ends the process now if it still runs (as the destructor does).
  void End();
  DWORD processId() const { return child_.has_value() ? child_->id : 0; }
  bool Feed(std::string_view bytes) const;
  void EndInput() { input_.reset(); }

 private:
  UniqueHandle input_;  // the pipe's write end when fed
  std::optional<ChildProcess> child_;
  HWND window_ = nullptr;
};

// The visible top-level window of the class (any class when null) owned by
// the process; null when it has none.
HWND FindVisibleWindow(DWORD processId, const wchar_t* className = kLauncherWindowClass);

RECT WindowRectOf(HWND window);

// The window as it is on the screen against a reference picture of
// tests/reference (paint-*.png, 96 DPI): waits up to 10 s for the two to
// match (the first frames may still be on their way to the screen) and
// returns how many pixels differ at the last look, outside the corners the
// window region cuts away (its 12 x 12 corner ellipses); -1 when the window
// is not the picture's size or the picture cannot be read. A match allows
// codec and text rasteriser rounding: at most 1 pixel in 2000.
int PixelsDifferingFromReference(HWND window, const std::string& stem);
bool MatchesReference(int differingPixels);

// Input as the launcher receives it from the system: client coordinates in
// the low and high words of lParam, posted to its queue. A move says which
// buttons are held (MK_LBUTTON); without it a drag or a press ends.
void PostMouseMove(HWND window, int32_t x, int32_t y, WPARAM keys = 0);
void PostLeftDown(HWND window, int32_t x, int32_t y);
void PostLeftUp(HWND window, int32_t x, int32_t y);
void PostClick(HWND window, int32_t x, int32_t y);
void PostKeyDown(HWND window, UINT virtualKey);

// Runs `undo` when it leaves scope, also when the test fails: puts a system
// setting back, parks the cursor, ends what a test left running.
class ScopeGuard;
// HKCU\Control Panel\Desktop LogPixels for the launchers started while the
// guard lives; put back as it was (or removed) when it goes.
ScopeGuard SetSystemDpi(DWORD dpi);

class ScopeGuard {
 public:
  explicit ScopeGuard(std::function<void()> undo) : undo_(std::move(undo)) {}
  ~ScopeGuard() {
    if (undo_) undo_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;

 private:
  std::function<void()> undo_;
};
