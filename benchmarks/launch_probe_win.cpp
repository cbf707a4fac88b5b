// launch-probe.exe: measures the whole launcher from outside, as a separate
// process, next to minimal-window.exe (the unavoidable part of any such
// window) and the channel's bare post-and-dispatch floor, and prints one
// table (and writes it as JSON). Every figure is the median of --runs
// repetitions; the repetitions of a figure and of its floor alternate, so a
// busy spell on the shared machine hits both alike.
//
//   launch-probe [--runs N] [--lines N] [--settle-ms MS] [--idle-ms MS]
//                [--json FILE] [--machine TEXT] [--only first-frame,throughput,idle]
//
// First frame: process creation to the first paint being done and the loop
//   waiting for input (WaitForFirstFrame), launcher against minimal-window.
// Line throughput: a launcher whose updater is `demo-updater.exe flood N`,
//   from process creation to the window's disappearance, minus the same for
//   `flood 0` (process starts, the 1.4 s close delay and the teardown cancel
//   out), gives N lines in so many seconds; the floor is what
//   channel-throughput.exe reports for a bare PostMessageW/GetMessageW pair.
// Idle cost: CPU seconds of a launcher over --idle-ms once it has been open
//   --settle-ms (past the stall hint), read from Linux's /proc under Wine
//   (LinuxCpuSeconds), else with GetProcessTimes; 0 skips it.
// Memory: peak working set of the launcher and of minimal-window after their
//   first frame and half a second of running.
// Size: bytes of tarrow-launcher.exe (and of minimal-window.exe).
//
// All programs are found beside this one. Exit code 0 when every figure was
// measured (whether or not it meets its aim), 1 when some could not be.
#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "base/win_owners_win.h"
#include "benchmarks/bench_report.h"
#include "benchmarks/startup_phases_win.h"
#include "tests/support/launcher_driver_win.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kMemoryHoldMs = 500;
constexpr double kMegabyte = 1024.0 * 1024.0;

struct Options {
  int runs = 5;
  unsigned lines = 100000;
  DWORD settleMs = 6000;
  DWORD idleMs = 10000;
  std::wstring jsonPath;
  std::string machine;
  // Which measurements run: "first-frame" (also memory), "throughput", "idle".
  bool firstFrame = true;
  bool throughput = true;
};

double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// A program of the build started with no standard handles at all: the
// launcher then reads no standard input, and the measurement does not depend
// on how this probe itself was started.
struct Child {
  UniqueHandle process;
  DWORD id = 0;
  double createdAt = 0.0;  // NowSeconds() just before CreateProcessW
};

std::optional<Child> Start(const std::wstring& program, const std::wstring& arguments) {
  const std::wstring path = ProgramFolder() + L"\\" + program;
  std::wstring commandLine = QuoteArgument(path);
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  Child child;
  child.createdAt = NowSeconds();
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  child.process.reset(info.hProcess);
  child.id = info.dwProcessId;
  return child;
}

bool Running(const Child& child) { return WaitForSingleObject(child.process.get(), 0) == WAIT_TIMEOUT; }

// The process's visible top-level window, whatever its class, or null.
HWND VisibleWindowOf(DWORD processId) { return FindVisibleWindow(processId, nullptr); }

HWND WaitForVisibleWindow(const Child& child, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND window = VisibleWindowOf(child.id)) return window;
    if (!Running(child) || GetTickCount64() >= deadline) return nullptr;
    Sleep(1);
  }
}

// The moment the process has painted its window and waits for input:
// WaitForInputIdle has returned, the window is visible, and a WM_NULL sent to
// it has come back. Under Wine WaitForInputIdle alone returns as soon as any
// thread of the process waits for messages, and GDI+'s background thread does
// so right after GdiplusStartup, long before the window exists. The sent
// message is taken only when the window thread asks for its next message,
// which the launcher and the minimal program first do in their message loop,
// after ShowWindow and the synchronous first paint of UpdateWindow.
std::optional<double> WaitForFirstFrame(const Child& child) {
  if (WaitForInputIdle(child.process.get(), kStartTimeoutMs) != 0) return std::nullopt;
  HWND window = WaitForVisibleWindow(child, kStartTimeoutMs);
  if (window == nullptr) return std::nullopt;
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kStartTimeoutMs, &ignored) == 0) return std::nullopt;
  return NowSeconds();
}

// Escape to the window, as the keyboard would send it; then the exit code.
// A process that does not end in time is terminated and gives nullopt.
std::optional<DWORD> CloseWithEscape(const Child& child) {
  if (HWND window = VisibleWindowOf(child.id)) {
    PostKeyDown(window, VK_ESCAPE);
  }
  if (WaitForSingleObject(child.process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(child.process.get(), 99);
    WaitForSingleObject(child.process.get(), kExitTimeoutMs);
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(child.process.get(), &code);
  return code;
}


std::string ReadSmallFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  UniqueHandle owner(file);
  char buffer[4096];
  DWORD got = 0;
  while (bytes.size() < 65536 && ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (!name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

// Under Wine, GetProcessTimes of another process gives zeros. The process is
// also a Linux process, though, whose /proc entry is reachable through the Z:
// drive: the one whose first command-line word is the program's path and
// whose WINEPREFIX is this probe's. Its CPU time is the run time of all its
// threads in /proc/PID/task/*/schedstat (nanoseconds). nullopt off Wine.
std::optional<std::wstring> LinuxProcFolder(const std::wstring& programPath) {
  const auto prefixOf = [](const std::string& block) {
    for (size_t at = 0; at < block.size();) {
      const size_t end = block.find('\0', at);
      const std::string entry = block.substr(at, end == std::string::npos ? std::string::npos : end - at);
      if (entry.rfind("WINEPREFIX=", 0) == 0) return entry;
      if (end == std::string::npos) break;
      at = end + 1;
    }
    return std::string();
  };
  const std::string ownPrefix = prefixOf(ReadSmallFile(L"Z:\\proc\\self\\environ"));
  const std::string wanted = Narrow(programPath);
  for (const std::wstring& pid : ListFolder(L"Z:\\proc")) {
    const std::wstring folder = L"Z:\\proc\\" + pid;
    const std::string commandLine = ReadSmallFile(folder + L"\\cmdline");
    const std::string first = commandLine.substr(0, commandLine.find('\0'));
    if (first.size() < wanted.size() || _stricmp(first.substr(0, wanted.size()).c_str(), wanted.c_str()) != 0) continue;
    if (prefixOf(ReadSmallFile(folder + L"\\environ")) != ownPrefix) continue;
    return folder;
  }
  return std::nullopt;
}

std::optional<double> LinuxCpuSeconds(const std::wstring& procFolder) {
  double nanoseconds = 0;
  bool any = false;
  for (const std::wstring& tid : ListFolder(procFolder + L"\\task")) {
    const std::string schedstat = ReadSmallFile(procFolder + L"\\task\\" + tid + L"\\schedstat");
    if (schedstat.empty()) continue;
    nanoseconds += std::strtod(schedstat.c_str(), nullptr);
    any = true;
  }
  if (!any) return std::nullopt;
  return nanoseconds / 1e9;
}

std::optional<double> CpuSeconds(const Child& child) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(child.process.get(), &created, &exited, &kernel, &user)) return std::nullopt;
  const auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 1e7;
}

class Session {
 public:
  explicit Session(BenchReport& report) : report_(report) {}

  void Note(const std::string& text) {
    std::fprintf(stderr, "launch-probe: %s\n", text.c_str());
    report_.notes.push_back(text);
  }

  struct FirstFrame {
    double ms = NAN;
    double peakBytes = NAN;
  };

  // One start of `program` up to its first idle moment, half a second of
  // running for the memory figure, then Escape.
  FirstFrame MeasureFirstFrame(const std::wstring& program, const std::wstring& arguments) {
    FirstFrame result;
    std::optional<Child> child = Start(program, arguments);
    if (!child) {
      Note(Narrow(program) + " could not be started");
      return result;
    }
    if (std::optional<double> at = WaitForFirstFrame(*child)) {
      result.ms = (*at - child->createdAt) * 1000.0;
    } else {
      Note(Narrow(program) + ": no first frame");
    }
    Sleep(kMemoryHoldMs);
    if (std::optional<double> peak = PeakWorkingSetBytes(child->process.get())) result.peakBytes = *peak;
    std::fprintf(stderr, "launch-probe: %s first frame %.1f ms, peak working set %.1f MB\n", Narrow(program).c_str(),
                 result.ms, result.peakBytes / kMegabyte);
    CheckExit(program, CloseWithEscape(*child));
    return result;
  }

  // Seconds from the creation of a launcher flooded with `lines` lines to
  // the disappearance of its window (closed by the done line's timer).
  double MeasureFlood(unsigned lines) {
    const std::wstring updater = QuoteArgument(ProgramFolder() + L"\\demo-updater.exe") + L" flood " +
                                 std::to_wstring(lines);
    std::optional<Child> child = Start(L"tarrow-launcher.exe", L"--updater-cmd " + QuoteArgument(updater));
    if (!child) {
      Note("tarrow-launcher.exe could not be started");
      return NAN;
    }
    bool seen = false;
    double gone = NAN;
    const ULONGLONG deadline = GetTickCount64() + 120000;
    while (GetTickCount64() < deadline) {
      const bool visible = VisibleWindowOf(child->id) != nullptr;
      if (visible) seen = true;
      if ((seen && !visible) || !Running(*child)) {
        gone = NowSeconds();
        break;
      }
      Sleep(1);
    }
    if (std::isnan(gone)) Note("flood " + std::to_string(lines) + ": the window did not close in time");
    if (!seen) Note("flood " + std::to_string(lines) + ": the window never showed");
    if (WaitForSingleObject(child->process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
      CheckExit(L"tarrow-launcher.exe", CloseWithEscape(*child));
    } else {
      DWORD code = 0;
      GetExitCodeProcess(child->process.get(), &code);
      CheckExit(L"tarrow-launcher.exe", code);
    }
    return seen ? gone - child->createdAt : NAN;
  }

  // CPU seconds of a settled launcher over idleMs.
  double MeasureIdle(DWORD settleMs, DWORD idleMs) {
    std::optional<Child> child = Start(L"tarrow-launcher.exe", L"");
    if (!child) {
      Note("tarrow-launcher.exe could not be started");
      return NAN;
    }
    double result = NAN;
    if (WaitForFirstFrame(*child)) {
      Sleep(settleMs);
      const std::optional<std::wstring> proc = LinuxProcFolder(ProgramFolder() + L"\\tarrow-launcher.exe");
      const auto cpu = [&]() { return proc ? LinuxCpuSeconds(*proc) : CpuSeconds(*child); };
      const std::optional<double> before = cpu();
      Sleep(idleMs);
      const std::optional<double> after = cpu();
      if (before && after && Running(*child)) result = *after - *before;
    }
    if (std::isnan(result)) Note("idle: no CPU times for the launcher");
    CheckExit(L"tarrow-launcher.exe", CloseWithEscape(*child));
    return result;
  }

  // One run of channel-throughput.exe with `lines` messages: its floor in
  // microseconds per message.
  double MeasureChannelFloor(unsigned lines) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    HANDLE readHandle = nullptr, writeHandle = nullptr;
    if (!CreatePipe(&readHandle, &writeHandle, &inheritable, 0)) return NAN;
    UniqueHandle reader(readHandle), writer(writeHandle);
    SetHandleInformation(readHandle, HANDLE_FLAG_INHERIT, 0);
    const std::wstring path = ProgramFolder() + L"\\channel-throughput.exe";
    std::wstring commandLine = QuoteArgument(path) + L" " + std::to_wstring(lines) + L" 1";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeHandle;
    startup.hStdError = writeHandle;
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &startup, &info);
    writer.reset();
    if (!started) {
      Note("channel-throughput.exe could not be started");
      return NAN;
    }
    CloseHandle(info.hThread);
    UniqueHandle process(info.hProcess);
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    WaitForSingleObject(process.get(), kExitTimeoutMs);
    const std::optional<double> floorUs = ParseChannelFloorMicroseconds(output);
    if (!floorUs) {
      Note("channel-throughput.exe printed no floor: " + output.substr(0, 200));
      return NAN;
    }
    return *floorUs;
  }

 private:
  void CheckExit(const std::wstring& program, std::optional<DWORD> code) {
    if (!code) {
      Note(Narrow(program) + " did not end and was terminated");
    } else if (*code != 0) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(*code));
      Note(Narrow(program) + " ended with exit code " + hex);
    }
  }

  BenchReport& report_;
};

std::optional<double> FileBytes(const std::wstring& program) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring path = ProgramFolder() + L"\\" + program;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return static_cast<double>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::wstring value = argv[++i];
    const long number = std::wcstol(value.c_str(), nullptr, 10);
    if (arg == L"--runs" && number > 0) {
      options.runs = static_cast<int>(number);
    } else if (arg == L"--lines" && number > 0) {
      options.lines = static_cast<unsigned>(number);
    } else if (arg == L"--settle-ms" && number >= 0) {
      options.settleMs = static_cast<DWORD>(number);
    } else if (arg == L"--idle-ms" && number >= 0) {
      options.idleMs = static_cast<DWORD>(number);
    } else if (arg == L"--json") {
      options.jsonPath = value;
    } else if (arg == L"--machine") {
      options.machine = Narrow(value);
    } else if (arg == L"--only") {
      options.firstFrame = value.find(L"first-frame") != std::wstring::npos;
      options.throughput = value.find(L"throughput") != std::wstring::npos;
      if (value.find(L"idle") == std::wstring::npos) options.idleMs = 0;
    } else {
      return false;
    }
  }
  return true;
}

bool WriteText(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  UniqueHandle owner(file);
  DWORD written = 0;
  return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"--phases-child") {
    return RunStartupPhasesChild(_wtoi64(argv[2]), argv[3]);
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--phases") {
    PrintStartupPhases(_wtoi(argv[2]));
    return 0;
  }
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: launch-probe [--runs N] [--lines N] [--settle-ms MS] [--idle-ms MS] [--json FILE] "
                 "[--machine TEXT] [--only first-frame,throughput,idle]\n");
    return 64;
  }
  BenchReport report;
  report.runs = options.runs;
  report.machine = options.machine;
  Session session(report);

  std::vector<double> launcherMs, minimalMs, launcherPeak, minimalPeak, linesPerSecond, floorPerSecond, idleCpu;
  // One start of each program that is not counted: the first process after
  // a pause pays for a cold wineserver and cold file caches.
  if (options.firstFrame) {
    std::fprintf(stderr, "launch-probe: warming up\n");
    session.MeasureFirstFrame(L"minimal-window.exe", L"");
    session.MeasureFirstFrame(L"tarrow-launcher.exe", L"");
  }
  for (int run = 1; run <= options.runs; ++run) {
    std::fprintf(stderr, "launch-probe: run %d of %d\n", run, options.runs);
    if (options.firstFrame) {
      const Session::FirstFrame minimal = session.MeasureFirstFrame(L"minimal-window.exe", L"");
      const Session::FirstFrame launcher = session.MeasureFirstFrame(L"tarrow-launcher.exe", L"");
      minimalMs.push_back(minimal.ms);
      minimalPeak.push_back(minimal.peakBytes);
      launcherMs.push_back(launcher.ms);
      launcherPeak.push_back(launcher.peakBytes);
    }
    if (options.throughput) {
      const double empty = session.MeasureFlood(0);
      const double flooded = session.MeasureFlood(options.lines);
      const double seconds = flooded - empty;
      linesPerSecond.push_back(seconds > 0 ? options.lines / seconds : NAN);
      const double floorUs = session.MeasureChannelFloor(options.lines);
      floorPerSecond.push_back(floorUs > 0 ? 1e6 / floorUs : NAN);
      std::fprintf(stderr, "launch-probe: flood %.0f lines/s, floor %.0f messages/s\n", linesPerSecond.back(),
                   floorPerSecond.back());
    }

    if (options.idleMs > 0) idleCpu.push_back(session.MeasureIdle(options.settleMs, options.idleMs));
  }

  const int runs = options.runs;
  if (options.firstFrame) {
    report.figures.push_back(Figure{"firstFrame", "First frame", "ms", Median(launcherMs), Median(minimalMs),
                                    Compare::Ratio, AimKind::AtMost, 1.3, runs,
                                    PairedComparison(launcherMs, minimalMs, Compare::Ratio)});
  }
  if (options.throughput) {
    report.figures.push_back(Figure{"lineThroughput", "Line throughput", "lines/s", Median(linesPerSecond),
                                    Median(floorPerSecond), Compare::Ratio, AimKind::AtLeast, 0.8, runs,
                                    PairedComparison(linesPerSecond, floorPerSecond, Compare::Ratio)});
  }
  if (options.idleMs > 0) {
    report.figures.push_back(Figure{"idleCpu", "Idle CPU / " + std::to_string(options.idleMs / 1000) + " s", "s",
                                    Median(idleCpu), std::nullopt, Compare::Ratio, AimKind::AtMost, 0.05, runs,
                                    std::nullopt});
  }
  if (options.firstFrame) {
    std::vector<double> launcherMb, minimalMb;
    for (double bytes : launcherPeak) launcherMb.push_back(bytes / kMegabyte);
    for (double bytes : minimalPeak) minimalMb.push_back(bytes / kMegabyte);
    report.figures.push_back(Figure{"peakWorkingSet", "Peak memory", "MB", Median(launcherMb), Median(minimalMb),
                                    Compare::Difference, AimKind::AtMost, 8.0, runs,
                                    PairedComparison(launcherMb, minimalMb, Compare::Difference)});
  }
  report.figures.push_back(Figure{"size", "Executable size", "bytes", FileBytes(L"tarrow-launcher.exe"),
                                  FileBytes(L"minimal-window.exe"), Compare::Difference, AimKind::None, 0.0, 1,
                                  std::nullopt});

  const std::string table = FormatTable(report);
  std::fwrite(table.data(), 1, table.size(), stdout);
  std::fflush(stdout);
  if (!options.jsonPath.empty() && !WriteText(options.jsonPath, FormatJson(report))) {
    std::fprintf(stderr, "launch-probe: cannot write %s\n", Narrow(options.jsonPath).c_str());
    return 1;
  }
  bool complete = true;
  for (const Figure& f : report.figures) complete = complete && f.value.has_value();
  return complete ? 0 : 1;
}
