#pragma once
// Driving a running tarrow-launcher.exe from a Windows test through Win32
// alone: find its window, read its rectangle, caption and texts (through its
// accessible object, as a screen reader does), post mouse and key input,
// feed its standard input, change the system DPI for one start.
#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/win_owners_win.h"
#include "tests/support/process_runner_win.h"
#include "ui/launcher_window_win.h"

// The action button's middle in client pixels at 96 DPI.
inline constexpr int32_t kButtonX = 351;
inline constexpr int32_t kButtonY = 24;
// Long enough for posted input or a wrongly early event to have been handled,
// far shorter than any time-out.
inline constexpr DWORD kSettleMs = 700;

// Makes the test process per-monitor DPI aware, so window rectangles, the
// work area and cursor positions read in device pixels whatever the DPI.
void MakeTestProcessDpiAware();

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
// nullopt when the window is gone or its object does not answer.
std::optional<LauncherTexts> ReadTexts(HWND window);

// A file in the temporary folder holding the given bytes, deleted at the end.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes);
  ~TempFile() { DeleteFileW(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  bool Write(std::string_view bytes) const;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// A file the test creates when it is ready: a demo-updater script's
// "wait-file PATH" line holds the updater, and the state its last line
// showed, until then. Deleted at the end.
class GoFile {
 public:
  GoFile();
  ~GoFile() { DeleteFileW(path_.c_str()); }
  GoFile(const GoFile&) = delete;
  GoFile& operator=(const GoFile&) = delete;
  bool Create() const;
  // "wait-file PATH" and its LF.
  std::string ScriptLine() const;

 private:
  std::wstring path_;
};

// The launcher arguments that make demo-updater.exe (beside the tests),
// started with `arguments`, its updater.
std::wstring DemoUpdater(const std::wstring& arguments);

// The write end of a pipe that becomes a launcher's standard input.
class LauncherInput {
 public:
  LauncherInput();
  bool ok() const { return read_ != nullptr && write_ != nullptr; }
  // The inheritable read end, for StartProgram; closed by ReleaseReadEnd.
  HANDLE readEnd() const { return read_.get(); }
  void ReleaseReadEnd() { read_.reset(); }
  bool Write(std::string_view bytes);
  void Close() { write_.reset(); }

 private:
  UniqueHandle read_;
  UniqueHandle write_;
};

// A launcher process started for one test; the test process is made DPI
// aware first (MakeTestProcessDpiAware). Ends it (TerminateProcess) when
// the test leaves it running, so a failed test leaves no window behind.
class LauncherRun {
 public:
  // Starts tarrow-launcher.exe with the argument text from the test's folder,
  // or from `folder` (also its working folder) when given.
  explicit LauncherRun(const std::wstring& arguments, HANDLE standardInput = nullptr,
                       const std::wstring& folder = L"");
  ~LauncherRun();
  LauncherRun(const LauncherRun&) = delete;
  LauncherRun& operator=(const LauncherRun&) = delete;

  bool started() const { return child_.has_value(); }
  // The launcher's visible window; null when none shows within the time.
  HWND WaitForWindow(DWORD timeoutMs = 15000);
  HWND window() const { return window_; }
  // The window is hidden the moment it is destroyed; the process may take a
  // while longer to end (without a window manager Wine waits up to 2 s for
  // the X window to be withdrawn), so "closed" is judged by visibility.
  bool WindowOpen() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }
  bool WaitForWindowClosed(DWORD timeoutMs = 5000) const;
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
  DWORD processId() const { return child_.has_value() ? child_->id : 0; }

 private:
  std::optional<ChildProcess> child_;
  HWND window_ = nullptr;
};

// The visible top-level window of the class (any class when null) owned by
// the process; null when it has none.
HWND FindVisibleWindow(DWORD processId, const wchar_t* className = kLauncherWindowClass);

RECT WindowRectOf(HWND window);
std::wstring WindowCaption(HWND window);
RECT WorkArea();

// Input as the launcher receives it from the system: client coordinates in
// the low and high words of lParam, posted to its queue. A move says which
// buttons are held (MK_LBUTTON); without it a drag or a press ends.
void PostMouseMove(HWND window, int32_t x, int32_t y, WPARAM keys = 0);
void PostLeftDown(HWND window, int32_t x, int32_t y);
void PostLeftUp(HWND window, int32_t x, int32_t y);
void PostClick(HWND window, int32_t x, int32_t y);
void PostKeyDown(HWND window, UINT virtualKey);
// Real input through SendInput, to whatever window is under the cursor (or
// holds the capture, or the foreground): the left button at the cursor, and
// keys pressed in order and released in reverse.
void SendLeftButton(bool down);
void SendKeys(std::initializer_list<WORD> virtualKeys);
// Parks the cursor in the screen's corner when it leaves scope, off every
// later window (a cursor over a window shows in captures and hovers its button).
struct CursorParker {
  ~CursorParker() { SetCursorPos(0, 0); }
};

// Sets HKCU\Control Panel\Desktop LogPixels for launchers started while it
// lives, and puts the previous value back (or removes it) afterwards.
class ScopedSystemDpi {
 public:
  explicit ScopedSystemDpi(DWORD dpi);
  ~ScopedSystemDpi();
  ScopedSystemDpi(const ScopedSystemDpi&) = delete;
  ScopedSystemDpi& operator=(const ScopedSystemDpi&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  bool hadValue_ = false;
  DWORD previous_ = 0;
};

// Switches the system's client-area animations for launchers started while
// it lives (SPI_SETCLIENTAREAANIMATION, announced with WM_SETTINGCHANGE), and
// puts the previous setting back afterwards, also when the test fails.
class ScopedClientAreaAnimation {
 public:
  explicit ScopedClientAreaAnimation(bool on);
  ~ScopedClientAreaAnimation();
  ScopedClientAreaAnimation(const ScopedClientAreaAnimation&) = delete;
  ScopedClientAreaAnimation& operator=(const ScopedClientAreaAnimation&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
  BOOL previous_ = TRUE;
};
