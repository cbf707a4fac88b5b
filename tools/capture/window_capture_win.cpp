// window-capture.exe: waits for the launcher window and saves its pixels, as
// they are on the screen, as PNG files until the window closes.
//
//   window-capture.exe FOLDER [--interval MS] [--wait MS] [--once]
//
// FOLDER receives frame-0001.png, frame-0002.png, ...; a frame identical to
// the one before it is not saved again. --interval is the period between
// captures (default 250 ms), --wait how long to wait for the window to appear
// (default 30000 ms), --once saves one frame and stops. Exit code: 0 when at
// least one frame was saved, 2 when no window appeared, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "base/win_owners_win.h"
#include "tools/capture/screen_capture_win.h"
#include "ui/window/launcher_window_win.h"

namespace {

struct CaptureOptions {
  std::wstring folder;
  DWORD intervalMs = 250;
  DWORD waitMs = 30000;
  bool once = false;
};

bool ParseOptions(int argc, wchar_t** argv, CaptureOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring word = argv[i];
    if ((word == L"--interval" || word == L"--wait") && i + 1 < argc) {
      const unsigned long value = std::wcstoul(argv[++i], nullptr, 10);
      (word == L"--interval" ? options.intervalMs : options.waitMs) = static_cast<DWORD>(value);
    } else if (word == L"--once") {
      options.once = true;
    } else if (options.folder.empty() && word.rfind(L"--", 0) != 0) {
      options.folder = word;
    } else {
      return false;
    }
  }
  if (options.intervalMs == 0) options.intervalMs = 1;
  return !options.folder.empty();
}

HWND WaitForLauncherWindow(DWORD waitMs) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  for (;;) {
    HWND window = FindWindowW(kLauncherWindowClass, nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(50);
  }
}

int CaptureUntilClosed(const CaptureOptions& options) {
  HWND window = WaitForLauncherWindow(options.waitMs);
  if (window == nullptr) {
    std::fwprintf(stderr, L"window-capture: no launcher window appeared\n");
    return 2;
  }
  CreateDirectoryW(options.folder.c_str(), nullptr);
  int saved = 0;
  ScreenPixels previous;
  // A destroyed window is hidden at once, but its handle may live on for a
  // while (Wine waits for the X window to be withdrawn): stop on visibility.
  while (IsWindowVisible(window)) {
    ScreenPixels frame = CaptureWindowFromScreen(window);
    // Closed while being copied: the pixels are no longer the window's.
    if (!IsWindowVisible(window)) break;
    const bool changed = frame.width != previous.width || frame.height != previous.height ||
                         frame.pixels != previous.pixels;
    if (frame.width > 0 && changed) {
      wchar_t name[32];
      std::swprintf(name, 32, L"\\frame-%04d.png", saved + 1);
      if (SavePng(frame, options.folder + name)) ++saved;
      previous = std::move(frame);
      if (options.once) break;
    }
    Sleep(options.intervalMs);
  }
  std::fwprintf(stdout, L"window-capture: saved %d frame(s)\n", saved);
  return saved > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CaptureOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::fwprintf(stderr, L"usage: window-capture.exe FOLDER [--interval MS] [--wait MS] [--once]\n");
    return 1;
  }
  const ScopedGdiplus gdiplus;
  if (!gdiplus.ok()) return 1;
  return CaptureUntilClosed(options);
}
