// channel-throughput.exe [LINES] [RUNS]: what one updater line costs on its
// way from a flooding updater to the applied event, next to the platform's
// floor for the same hand-over: a bare PostMessageW/GetMessageW round trip
// between two threads of this process. Best run of each printed: on a shared
// machine other work only ever adds time.
//
// Two updaters: demo-updater.exe flood (one WriteFile per line) and this
// program with --write-blocks (the same lines in 4 KB blocks, as a runtime
// that buffers a piped standard output writes them). The cost of each one's
// pipe alone (read and counted) shows how much of the time
// is the updater's own writing.
//
// channel-throughput.exe --floor LINES prints only the floor, in
// microseconds per message, and --pipe-alone LINES only the pipe of
// demo-updater.exe flood, in microseconds per line, for scripts/bench.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/module_path_win.h"
#include "channel/launch_message_win.h"
#include "channel/updater_process_win.h"
#include "state/launch_transitions.h"
#include "tests/support/process_runner_win.h"

namespace {

// Clear of the messages the readers post.
constexpr UINT kBareMessage = WM_APP + 64;

double NowMicroseconds() {
  static const double ticksPerMicrosecond = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1e6;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerMicrosecond;
}

// The window side of one run, reached through the window's user data.
struct Receiver {
  LaunchState state;
  size_t bareMessages = 0;
  size_t expectedBare = 0;
  size_t events = 0;
  size_t messages = 0;  // WM_LAUNCH_EVENT messages: one per read that completed a line
  double firstEventAt = 0.0;
  double doneAt = 0.0;
  bool finished = false;
};

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* r = reinterpret_cast<Receiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (r != nullptr && message == kBareMessage) {
    if (++r->bareMessages == r->expectedBare) r->finished = true;
    return 0;
  }
  if (r != nullptr && message == WM_LAUNCH_EVENT) {
    const std::unique_ptr<LaunchEventBatch> batch = TakeLaunchEvents(wParam, lParam);
    if (!batch) return 0;
    ++r->messages;
    for (const LaunchEvent& event : batch->events) {
      if (r->events++ == 0) r->firstEventAt = NowMicroseconds();
      if (ApplyLaunchEvent(r->state, event).closeTimerMs != 0) {
        r->doneAt = NowMicroseconds();
        r->finished = true;
      }
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(Receiver& receiver) {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpszClassName = L"TarrowChannelBenchmark";
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpfnWndProc = Procedure;
    return RegisterClassExW(&wc);
  }();
  HWND window = CreateWindowExW(0, MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&receiver));
  return window;
}

// The launcher's own loop shape: GetMessageW, DispatchMessageW.
void RunLoopUntilFinished(const Receiver& receiver) {
  MSG msg;
  while (!receiver.finished && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

// Floor: another thread posts `count` bare messages; this thread takes them.
double CrossThreadFloor(size_t count) {
  Receiver receiver;
  receiver.expectedBare = count;
  HWND window = MakeWindow(receiver);
  const double start = NowMicroseconds();
  std::thread poster([window, count] {
    for (size_t i = 0; i < count; ++i) PostMessageW(window, kBareMessage, 0, 0);
  });
  RunLoopUntilFinished(receiver);
  const double elapsed = NowMicroseconds() - start;
  poster.join();
  DestroyWindow(window);
  return elapsed / static_cast<double>(count);
}

// For reference: post and take on one thread, one message at a time.
double SameThreadRoundTrip(size_t count) {
  Receiver receiver;
  HWND window = MakeWindow(receiver);
  const double start = NowMicroseconds();
  MSG msg;
  for (size_t i = 0; i < count; ++i) {
    PostMessageW(window, kBareMessage, 0, 0);
    if (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  }
  const double elapsed = NowMicroseconds() - start;
  DestroyWindow(window);
  return elapsed / static_cast<double>(count);
}

// The updater's side alone: its flood on a pipe, read in 64 KiB reads and
// only counted. 0 when the flood did not arrive complete.
double PipeAlone(const std::wstring& updaterCommand, size_t lines) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return 0.0;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  std::wstring commandLine = updaterCommand;
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &child);
  CloseHandle(writeEnd);
  double first = 0.0;
  size_t seen = 0;
  if (started) {
    std::vector<char> buffer(64 * 1024);  // the launcher's read size
    DWORD got = 0;
    while (ReadFile(readEnd, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got != 0) {
      if (first == 0.0) first = NowMicroseconds();
      seen += static_cast<size_t>(std::count(buffer.data(), buffer.data() + got, '\n'));
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  const double end = NowMicroseconds();
  CloseHandle(readEnd);
  return seen == lines + 1 ? (end - first) / static_cast<double>(lines) : 0.0;
}

// Through the channel: StartUpdater, the reader thread, the window's queue
// and ApplyLaunchEvent, from the first applied event to the applied "done".
// 0 when the updater did not start or an event is missing.
// `linesPerMessage` is what one read brought on average.
double ThroughChannel(const std::wstring& updaterCommand, size_t lines, double& linesPerMessage) {
  Receiver receiver;
  HWND window = MakeWindow(receiver);
  const bool started = StartUpdater(updaterCommand, window).result == UpdaterStartResult::Started;
  if (started) RunLoopUntilFinished(receiver);
  DestroyWindow(window);
  if (!started || receiver.events != lines + 1) return 0.0;
  linesPerMessage = static_cast<double>(receiver.events) / static_cast<double>(receiver.messages);
  return (receiver.doneAt - receiver.firstEventAt) / static_cast<double>(lines);
}

// --write-blocks N: the block-writing updater, the same lines as
// demo-updater.exe flood N.
int WriteBlocks(size_t lines) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  std::string block;
  const auto flush = [&] {
    DWORD written = 0;
    const bool ok = WriteFile(out, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) != FALSE;
    block.clear();
    return ok;
  };
  for (size_t i = 1; i <= lines; ++i) {
    char line[96];
    const int n = std::snprintf(line, sizeof line, "progress %.6f DOWNLOAD Block %zu of %zu\n",
                                static_cast<double>(i) / static_cast<double>(lines), i, lines);
    block.append(line, static_cast<size_t>(n));
    if (block.size() >= 4000 && !flush()) return 1;
  }
  block += "done\n";
  return flush() ? 0 : 1;
}

double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

struct UpdaterFigures {
  const char* label;
  std::wstring command;
  std::vector<double> pipe;
  std::vector<double> channel;
  double linesPerMessage = 0.0;  // of the best run
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-blocks") == 0) return WriteBlocks(std::strtoul(argv[2], nullptr, 10));
  if (argc == 3 && std::strcmp(argv[1], "--floor") == 0) {
    std::printf("%.3f\n", CrossThreadFloor(std::max<size_t>(1, std::strtoul(argv[2], nullptr, 10))));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--pipe-alone") == 0) {
    const size_t lines = std::max<size_t>(1, std::strtoul(argv[2], nullptr, 10));
    const std::wstring flood = QuoteArgument(ProgramFolder() + L"\\demo-updater.exe") + L" flood " + std::to_wstring(lines);
    const double us = PipeAlone(flood, lines);
    if (us == 0.0) return 1;
    std::printf("%.3f\n", us);
    return 0;
  }
  const size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  if (lines == 0 || runs <= 0) {
    std::fprintf(stderr, "usage: channel-throughput [LINES] [RUNS]\n");
    return 64;
  }

  const std::wstring count = std::to_wstring(lines);
  UpdaterFigures updaters[] = {
      {"demo-updater.exe flood, one WriteFile per line",
       QuoteArgument(ProgramFolder() + L"\\demo-updater.exe") + L" flood " + count, {}, {}},
      {"block writer, the same lines in 4 KB WriteFile blocks",
       QuoteArgument(ModulePath()) + L" --write-blocks " + count, {}, {}},
  };

  std::vector<double> floor, sameThread;
  for (int i = 0; i < runs; ++i) {
    floor.push_back(CrossThreadFloor(lines));
    sameThread.push_back(SameThreadRoundTrip(lines));
    for (UpdaterFigures& u : updaters) {
      u.pipe.push_back(PipeAlone(u.command, lines));
      double linesPerMessage = 0.0;
      u.channel.push_back(ThroughChannel(u.command, lines, linesPerMessage));
      if (u.channel.back() != 0.0 && u.channel.back() <= Best(u.channel)) u.linesPerMessage = linesPerMessage;
      if (u.pipe.back() == 0.0 || u.channel.back() == 0.0) {
        std::fprintf(stderr, "run %d: %s: the flood did not arrive complete\n", i + 1, u.label);
        return 1;
      }
    }
  }

  const double floorUs = Best(floor);
  std::printf("updater channel: %zu lines per run, best of %d runs\n", lines, runs);
  std::printf("  floor, PostMessageW -> GetMessageW across two threads: %8.2f us per message\n", floorUs);
  std::printf("  (PostMessageW + GetMessageW on one thread:             %8.2f us per message)\n", Best(sameThread));
  for (const UpdaterFigures& u : updaters) {
    const double channelUs = Best(u.channel);
    std::printf("  %s\n", u.label);
    std::printf("    line -> applied event:                               %8.2f us per line, ratio to floor %.2f\n",
                channelUs, channelUs / floorUs);
    std::printf("    (its pipe alone, lines read and counted:             %8.2f us per line)\n", Best(u.pipe));
    std::printf("    (lines per message, one message per read:            %8.1f)\n", u.linesPerMessage);
  }
  return 0;
}
