#include "benchmarks/startup_phases_win.h"

#include <objbase.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <string>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "state/launch_transitions.h"
#include "state/titles.h"
#include "tests/support/process_runner_win.h"
#include "ui/paint/assets_win.h"
#include "ui/scene/display_settings_win.h"
#include "ui/paint/fonts_win.h"
#include "ui/window/launcher_app_win.h"
#include "ui/window/launcher_window_win.h"

namespace {

constexpr const char* kPhaseNames[] = {"process entry",    "DPI awareness",  "GDI+ start",      "message cookie",
                                       "fonts",            "display settings", "application object", "COM apartment", "window creation",
                                       "start-up preview", "picture wait",   "first paint"};
constexpr size_t kPhaseCount = sizeof(kPhaseNames) / sizeof(kPhaseNames[0]);

double Milliseconds(LONGLONG from, LONGLONG to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 != 0 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

}  // namespace

// The launcher's start-up, step by step in its own order, each step timed.
int RunStartupPhasesChild(LONGLONG createdAt, const std::wstring& outPath) {
  std::vector<LONGLONG> marks{createdAt, Now()};
  MakeProcessDpiAware();
  marks.push_back(Now());
  const ScopedGdiplus gdiplus;
  marks.push_back(Now());
  LaunchMessageCookie();
  marks.push_back(Now());
  // Fonts and settings first on their own, cold, for the breakdown; the
  // object then makes its own (warm) and starts the picture's decode.
  UiFonts fonts;
  CreateFonts(fonts);
  marks.push_back(Now());
  ChooseDisplay(ReadDisplaySettings());
  marks.push_back(Now());
  LauncherApp app(GetModuleHandleW(nullptr), L"Tarrow Preview");
  marks.push_back(Now());
  app.shell.com.Enter();
  marks.push_back(Now());
  if (!CreateLauncherWindow(app)) return 1;
  marks.push_back(Now());
  PerformStateEffects(app, ApplyPreviewState(app.launch.state, L"DOWNLOAD"));
  marks.push_back(Now());
  AttachAssets(app);
  marks.push_back(Now());
  ShowWindow(app.window, SW_SHOW);
  UpdateWindow(app.window);
  marks.push_back(Now());
  DestroyWindow(app.window);
  FILE* out = _wfopen(outPath.c_str(), L"w");
  if (out == nullptr) return 1;
  for (size_t i = 1; i < marks.size(); ++i) std::fprintf(out, "%.3f\n", Milliseconds(marks[i - 1], marks[i]));
  std::fclose(out);
  return 0;
}

void PrintStartupPhases(int runs) {
  std::vector<std::vector<double>> samples(kPhaseCount);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"tarrow-startup-phases.txt";
  for (int run = 0; run < runs; ++run) {
    LARGE_INTEGER created;
    QueryPerformanceCounter(&created);
    const std::wstring arguments = L"--phases-child " + std::to_wstring(created.QuadPart) + L" " + QuoteArgument(file);
    std::optional<ChildProcess> child = StartProgram(L"launch-probe.exe", arguments);
    std::vector<double> row;
    if (child && WaitForExitCode(*child, 60000) == DWORD{0}) {
      if (FILE* in = _wfopen(file.c_str(), L"r")) {
        double ms = 0.0;
        while (std::fscanf(in, "%lf", &ms) == 1) row.push_back(ms);
        std::fclose(in);
      }
    }
    DeleteFileW(file.c_str());
    if (row.size() != kPhaseCount) {
      std::fprintf(stderr, "launch-probe: phases run %d gave no figures\n", run + 1);
      continue;
    }
    for (size_t i = 0; i < kPhaseCount; ++i) samples[i].push_back(row[i]);
  }
  double total = 0.0;
  std::printf("%-20s %10s\n", "Start-up phase", "ms (median)");
  for (size_t i = 0; i < kPhaseCount; ++i) {
    const double ms = Median(samples[i]);
    total += ms;
    std::printf("%-20s %10.2f\n", kPhaseNames[i], ms);
  }
  std::printf("%-20s %10.2f\n", "sum", total);
}
