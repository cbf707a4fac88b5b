#pragma once
// Files and folders for the tests (header only): whole files read and
// written, the artwork copied beside the test programs
// (bin\asset-fixtures\), scratch folder trees under the temporary
// directory, resources read from and replaced in copied programs, and a
// program run to its end with what it printed.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/win_owners_win.h"
#include "tests/support/process_runner_win.h"

// A copy of resources\<name> (pictures without their assets\ folder).
inline std::wstring AssetFixture(std::wstring_view name) {
  return ProgramFolder() + L"\\asset-fixtures\\" + std::wstring(name);
}

// The whole file, or an empty string when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

inline bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file.get() != INVALID_HANDLE_VALUE &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A fresh folder under the temporary directory (its long name, as the
// system reports module paths), removed with everything in it when the
// object goes.
class TempTree {
 public:
  TempTree() {
    static int serial = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    wchar_t full[1024] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const DWORD n = GetLongPathNameW(temp, full, 1024);
    root_ = std::filesystem::path(n > 0 && n < 1024 ? full : temp) /
            (L"tarrow-assets-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial));
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    std::filesystem::create_directories(root_, ignored);
  }
  ~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  std::wstring root() const { return root_.wstring(); }
  std::wstring Path(std::wstring_view relative) const { return (root_ / relative).wstring(); }

 private:
  std::filesystem::path root_;
};

// The bytes of one US English resource of a module loaded as data.
inline std::optional<std::string> ResourceBytes(HMODULE module, WORD type, WORD id) {
  HRSRC info = FindResourceExW(module, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  const void* bytes = info != nullptr ? LockResource(LoadResource(module, info)) : nullptr;
  if (bytes == nullptr) return std::nullopt;
  return std::string(static_cast<const char*>(bytes), SizeofResource(module, info));
}

// New bytes for one US English resource of a program file.
struct ResourceReplacement {
  WORD type;
  WORD id;
  std::string bytes;
};

// Rewrites resources of a program that is not running. Replacing is the only
// change used: Wine accepts deletions but does not carry them out.
inline bool ReplaceResources(const std::wstring& program, const std::vector<ResourceReplacement>& replacements) {
  HANDLE update = BeginUpdateResourceW(program.c_str(), FALSE);
  bool ok = update != nullptr;
  for (const ResourceReplacement& r : replacements) {
    ok = ok && UpdateResourceW(update, MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), const_cast<char*>(r.bytes.data()),
                               static_cast<DWORD>(r.bytes.size()));
  }
  return update != nullptr && EndUpdateResourceW(update, ok ? FALSE : TRUE) && ok;
}

// What a program run to its end printed and returned.
struct ProgramRun {
  std::optional<DWORD> exitCode;  // nullopt when it did not start or end
  std::string output;             // standard output and standard error together
};

// Runs "<test folder>\<program>" with the arguments, each quoted, and no
// standard input; waits up to a minute for it to end.
inline ProgramRun RunProgram(const std::wstring& program, const std::vector<std::wstring>& arguments) {
  std::wstring line;
  for (const std::wstring& argument : arguments) line += (line.empty() ? L"" : L" ") + QuoteArgument(argument);
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return {};
  UniqueHandle output(readEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  UniqueHandle input(
      CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));
  // The child's output goes where the test's own does, so the pipe stands in
  // for both during the start.
  const HANDLE ownOutput = GetStdHandle(STD_OUTPUT_HANDLE), ownError = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, writeEnd);
  SetStdHandle(STD_ERROR_HANDLE, writeEnd);
  const std::optional<ChildProcess> child = StartProgram(program, line, input.get());
  SetStdHandle(STD_OUTPUT_HANDLE, ownOutput);
  SetStdHandle(STD_ERROR_HANDLE, ownError);
  CloseHandle(writeEnd);
  ProgramRun run;
  char buffer[4096];
  DWORD got = 0;
  while (child && ReadFile(output.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    run.output.append(buffer, got);
  }
  if (child) run.exitCode = WaitForExitCode(*child, 60000);
  return run;
}
