#include "tests/support/process_runner_win.h"

#include <psapi.h>

#include <tlhelp32.h>


#include "ui/paint/assets_win.h"

std::wstring ProgramFolder() { return GetModuleDirectory(); }

std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

std::optional<ChildProcess> StartProgram(const std::wstring& program, const std::wstring& arguments,
                                         HANDLE standardInput, const std::wstring& folder) {
  const std::wstring path = (folder.empty() ? ProgramFolder() : folder) + L"\\" + program;
  std::wstring commandLine = QuoteArgument(path);
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  BOOL inherit = FALSE;
  if (standardInput != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = standardInput;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    inherit = TRUE;
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, inherit, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  ChildProcess child;
  child.process.reset(info.hProcess);
  child.id = info.dwProcessId;
  return child;
}

std::optional<DWORD> WaitForExitCode(const ChildProcess& child, DWORD timeoutMs) {
  if (WaitForSingleObject(child.process.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(child.process.get(), &code)) return std::nullopt;
  return code;
}

namespace {

// How many processes `parentId` started from `exeName` are running; each is
// ended first (exit code 9, waited for) when `terminate`.
int ForRunningChildren(DWORD parentId, std::wstring_view exeName, bool terminate) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  const std::wstring name(exeName);
  int count = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID != parentId || lstrcmpiW(entry.szExeFile, name.c_str()) != 0) continue;
    UniqueHandle process(OpenProcess(SYNCHRONIZE | (terminate ? PROCESS_TERMINATE : 0), FALSE, entry.th32ProcessID));
    if (process == nullptr || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) continue;
    ++count;
    if (terminate && TerminateProcess(process.get(), 9)) WaitForSingleObject(process.get(), 5000);
  }
  return count;
}

}  // namespace

int CountRunningChildren(DWORD parentId, std::wstring_view exeName) {
  return ForRunningChildren(parentId, exeName, false);
}

int TerminateRunningChildren(DWORD parentId, std::wstring_view exeName) {
  return ForRunningChildren(parentId, exeName, true);
}

std::optional<double> PeakWorkingSetBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return std::nullopt;
  return static_cast<double>(counters.PeakWorkingSetSize);
}
