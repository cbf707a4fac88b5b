// updater-noise.exe: a hostile updater for the robustness suite.
//
//   updater-noise.exe play SEED          writes the noise play of SEED (see
//                                        noise_play.h), with its pauses, and
//                                        ends with the play's exit code
//   updater-noise.exe no-lf BYTES        writes BYTES bytes without a single
//                                        LF ("status " and then letters), 0
//   updater-noise.exe grandchild EVENT N writes one progress line, starts
//                                        "updater-noise.exe hold EVENT" with
//                                        this program's output handles, and
//                                        ends at once with exit code N
//   updater-noise.exe hold EVENT         keeps the inherited output open until
//                                        the named event is set (60 s at most),
//                                        writes one status line, ends with 0
//
// Once a write fails (the reader has gone) nothing more is written.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <string_view>

#include "base/module_path_win.h"
#include "tools/updater_noise/noise_play.h"

namespace {

constexpr int kUsage = 64;
constexpr DWORD kHoldLimitMs = 60000;
constexpr size_t kChunk = 64 * 1024;

bool Write(std::string_view bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    DWORD written = 0;
    if (!WriteFile(out, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

int Play(uint64_t seed) {
  const NoisePlay play = MakeNoisePlay(seed);
  for (const NoiseStep& step : play.steps) {
    if (!step.bytes.empty() && !Write(step.bytes)) break;
    if (step.sleepMs > 0) Sleep(step.sleepMs);
  }
  return static_cast<int>(play.exitCode);
}

int NoLineFeed(uint64_t total) {
  std::string chunk(kChunk, 'x');
  for (size_t i = 0; i < chunk.size(); i += 61) chunk[i] = ' ';
  const std::string head = "status ";
  if (!Write(head)) return 0;
  uint64_t left = total > head.size() ? total - head.size() : 0;
  while (left > 0) {
    const size_t n = left < chunk.size() ? static_cast<size_t>(left) : chunk.size();
    if (!Write(std::string_view(chunk.data(), n))) break;
    left -= n;
  }
  return 0;
}

// Starts "hold EVENT" with this process's output handles inherited, so the
// grandchild keeps the launcher's pipe open after this process has gone.
int Grandchild(const std::wstring& eventName, uint32_t exitCode) {
  Write("progress 0.40 DOWNLOAD Handing the pipe to a helper\n");
  std::wstring commandLine = L"\"" + ModulePath() + L"\" hold " + eventName;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  return static_cast<int>(exitCode);
}

int Hold(const std::wstring& eventName) {
  HANDLE released = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
  if (released != nullptr) {
    WaitForSingleObject(released, kHoldLimitMs);
    CloseHandle(released);
  }
  Write("status Helper released the pipe\n");
  return 0;
}

bool ParseNumber(const wchar_t* text, uint64_t& value) {
  wchar_t* end = nullptr;
  value = std::wcstoull(text, &end, 0);
  return end != text && *end == L'\0';
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring_view mode = argc > 1 ? argv[1] : L"";
  uint64_t number = 0;
  if (mode == L"play" && argc == 3 && ParseNumber(argv[2], number)) return Play(number);
  if (mode == L"no-lf" && argc == 3 && ParseNumber(argv[2], number)) return NoLineFeed(number);
  if (mode == L"grandchild" && argc == 4 && ParseNumber(argv[3], number)) {
    return Grandchild(argv[2], static_cast<uint32_t>(number));
  }
  if (mode == L"hold" && argc == 3) return Hold(argv[2]);
  Write("error updater-noise: use play SEED, no-lf BYTES, grandchild EVENT N or hold EVENT\n");
  return kUsage;
}
