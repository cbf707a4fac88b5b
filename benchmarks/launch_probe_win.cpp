// launch-probe.exe PROGRAM: the in-process half of scripts/bench. Starts
// PROGRAM (tarrow-launcher.exe or minimal-window.exe, beside this one) with
// no arguments, prints "FIRST_FRAME_MS PEAK_BYTES" and closes it with Escape.
// Exit code 0 when both figures were taken and the program ended with 0.
// launch-probe.exe --phases RUNS: the launcher's start-up step by step
// (benchmarks/startup_phases_win.h).
// launch-probe.exe --cancel: starts the launcher with demo-updater.exe
// reading its input, presses Escape once the updater reads, and prints the
// milliseconds from the key to the updater's read of "cancel".
// What needs no window of its own (repetitions, medians, the flood timed by
// hyperfine, idle CPU, the table) is benchmarks/bench.py's.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "benchmarks/startup_phases_win.h"
#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
// Peak working set is read this long after the first frame: the figure
// includes what the first seconds of an idle window cost.
constexpr DWORD kMemoryHoldMs = 500;

double NowMs() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Under Wine WaitForInputIdle returns as soon as any thread of the process
// waits for messages, and GDI+'s background thread does so right after
// GdiplusStartup, long before the window exists. A WM_NULL sent to the
// visible window is taken only when its thread asks for its next message,
// which both programs first do in their loop, after ShowWindow and the
// synchronous first paint of UpdateWindow.
//
// The window is looked for every millisecond: both programs paint within a
// few milliseconds of showing it, and a coarser poll added a random part of
// its interval to every figure (with 20 ms, up to a fifth of the minimal
// window's), more to the program that paints faster.
bool WaitForFirstFrame(const ChildProcess& child) {
  if (WaitForInputIdle(child.process.get(), kStartTimeoutMs) != 0) return false;
  HWND window = nullptr;
  const ULONGLONG deadline = GetTickCount64() + kStartTimeoutMs;
  while ((window = FindVisibleWindow(child.id, nullptr)) == nullptr) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(1);
  }
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeoutMs, &ignored) != 0;
}

// From Escape to the updater's read of "cancel", in milliseconds (the
// updater stamps each line it reads with the shared performance counter).
int PrintCancelLatency() {
  const TempFile record;
  const TempFile script("record-input " + WideToUtf8(record.path()) + "\n");
  LauncherRun run(UpdaterCommand(L"--script " + QuoteArgument(script.path())));
  HWND window = run.WaitForWindow(kStartTimeoutMs);
  // The record exists once the updater has started to read its input.
  if (window == nullptr ||
      !WaitUntil([&] { return GetFileAttributesW(record.path().c_str()) != INVALID_FILE_ATTRIBUTES; },
                 kStartTimeoutMs)) {
    std::fprintf(stderr, "launch-probe: the updater never began to read its input\n");
    return 1;
  }
  const double pressed = NowMs();
  PostKeyDown(window, VK_ESCAPE);
  if (!run.WaitForExit(10000)) return 1;
  long long readAtUs = 0;
  char word[16] = {};
  if (!WaitUntil([&] { return std::sscanf(ReadFileBytes(record.path()).c_str(), "%lld %15s", &readAtUs, word) == 2; },
                 5000) ||
      std::string(word) != "cancel") {
    std::fprintf(stderr, "launch-probe: the updater read no cancel\n");
    return 1;
  }
  std::printf("%.2f\n", static_cast<double>(readAtUs) / 1000.0 - pressed);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"--cancel") return PrintCancelLatency();
  if (argc == 4 && std::wstring(argv[1]) == L"--phases-child") {
    return RunStartupPhasesChild(_wtoi64(argv[2]), argv[3]);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--phases") {
    PrintStartupPhases(_wtoi(argv[2]));
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: launch-probe PROGRAM | --phases RUNS | --cancel\n");
    return 64;
  }
  const double createdAt = NowMs();
  std::optional<ChildProcess> child = StartProgram(argv[1], L"");
  if (!child) {
    std::fprintf(stderr, "launch-probe: %ls could not be started\n", argv[1]);
    return 1;
  }
  const bool shown = WaitForFirstFrame(*child);
  const double firstFrameMs = NowMs() - createdAt;
  Sleep(kMemoryHoldMs);
  const std::optional<double> peak = PeakWorkingSetBytes(child->process.get());
  if (HWND window = FindVisibleWindow(child->id, nullptr)) PostKeyDown(window, VK_ESCAPE);
  const std::optional<DWORD> code = WaitForExitCode(*child, 10000);
  if (!code) TerminateProcess(child->process.get(), 99);
  if (!shown || !peak || code != 0u) {
    std::fprintf(stderr, "launch-probe: %ls: first frame %s, peak working set %s, exit code %lu%s\n", argv[1],
                 shown ? "seen" : "not seen", peak ? "read" : "unread", code.value_or(99),
                 code ? "" : " (terminated)");
    return 1;
  }
  std::printf("%.2f %.0f\n", firstFrameMs, *peak);
  return 0;
}
