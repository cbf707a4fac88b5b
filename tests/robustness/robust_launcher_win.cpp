#include "tests/robustness/robust_launcher_win.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>

#include "tests/support/launcher_driver_win.h"
#include "tests/support/process_runner_win.h"

namespace {

// The action button spans x 322..380, y 11..37 of the 392-unit-wide window.
constexpr double kWindowUnitsWide = 392.0;

double ScaleOf(HWND window) {
  const RECT rect = WindowRectOf(window);
  const double scale = static_cast<double>(rect.right - rect.left) / kWindowUnitsWide;
  return scale > 0.0 ? scale : 1.0;
}

}  // namespace

LauncherProcess::LauncherProcess(const std::wstring& path, const std::wstring& arguments, HANDLE standardInput,
                                 const std::wstring& folder, HANDLE standardOutput) {
  std::wstring commandLine = QuoteArgument(path);
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = standardInput;
  startup.hStdOutput = standardOutput;
  const BOOL inherit = standardInput != nullptr || standardOutput != nullptr;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return;
  }
  CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
}

LauncherProcess::~LauncherProcess() {
  if (process_ != nullptr && Running()) {
    TerminateProcess(process_.get(), 99);
    WaitForSingleObject(process_.get(), 5000);
  }
}

HWND LauncherProcess::WaitForWindow(DWORD timeoutMs) {
  if (!started()) return nullptr;
  WaitUntil([&] {
    window_ = FindLauncherWindow(id_);
    return window_ != nullptr || !Running();
  }, timeoutMs);
  return window_;
}

bool LauncherProcess::WindowOpen() const { return window_ != nullptr && IsWindowVisible(window_) != FALSE; }

bool LauncherProcess::WaitForWindowClosed(DWORD timeoutMs) const {
  return WaitUntil([&] { return !WindowOpen(); }, timeoutMs);
}

bool LauncherProcess::Running() const {
  return process_ != nullptr && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> LauncherProcess::WaitForExit(DWORD timeoutMs) {
  if (process_ == nullptr || WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
  return code;
}

std::optional<uint64_t> LauncherProcess::PeakWorkingSet() const {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (process_ == nullptr || !GetProcessMemoryInfo(process_.get(), &counters, sizeof(counters))) return std::nullopt;
  return counters.PeakWorkingSetSize;
}

POINT LauncherProcess::ButtonPoint() const {
  const double scale = ScaleOf(window_);
  return POINT{static_cast<LONG>(351 * scale), static_cast<LONG>(24 * scale)};
}

POINT LauncherProcess::DragPoint() const {
  const double scale = ScaleOf(window_);
  return POINT{static_cast<LONG>(120 * scale), static_cast<LONG>(180 * scale)};
}

std::wstring BuiltProgram(const std::wstring& name) { return ProgramFolder() + L"\\" + name; }

std::wstring BuiltCommand(const std::wstring& name, const std::wstring& arguments) {
  return QuoteArgument(BuiltProgram(name)) + L" " + arguments;
}

std::vector<ProcessEntry> ListProcesses() {
  std::vector<ProcessEntry> list;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot == nullptr || snapshot.get() == INVALID_HANDLE_VALUE) return list;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    list.push_back(ProcessEntry{entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  return list;
}

bool ProcessAlive(DWORD id) {
  UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  return process != nullptr && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

std::string HexCode(DWORD code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(code));
  return buffer;
}
