// demo-updater.exe: plays a script of progress lines on its standard output,
// with delays, and ends with a chosen exit code. It stands in for a real
// updater in demonstrations and in the channel tests.
//
//   demo-updater.exe [happy | fail | stall | flood N | flood-bytes N | silent | hang] [--exit N]
//   demo-updater.exe --script FILE [--exit N]
//   demo-updater.exe echo-args WORD...
//
// Every line goes out with its own WriteFile call, so a reader sees it the
// moment it is written. A script file holds the lines to print; a line that
// reads "sleep MS" waits MS milliseconds instead, "wait-file PATH" waits
// until PATH exists (so a test can hold each state for as long as it needs),
// "echo-stdin" copies this program's standard input to its output until
// that input ends, and "record-input PATH" writes each line of its standard
// input to PATH as it arrives, after the performance counter's reading in
// microseconds ("123456 cancel"), and "<eof>" so when the input ends.
// "echo-args" shows every word after it, joined by " | ", as the detail
// line of a progress line, and then reads its input until it ends. Script bytes are written
// exactly as they stand in the file: a CR before an LF stays, and a last line
// without an LF is written without one. --exit N sets the exit code (decimal,
// negative or 0x hex; -1 gives 4294967295). Once a write fails (the reader has
// gone) nothing more is written, and the program ends with its exit code.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "channel/utf8.h"

namespace {

// Exit code for a command line this program does not understand.
constexpr uint32_t kUsageExitCode = 64;
// How long "hang" keeps running after closing its output, and the longest
// "wait-file" waits; tests end it sooner.
constexpr DWORD kHangMs = 10 * 60 * 1000;

// One step of a script: write bytes (holding their own LF), wait, wait for a
// file, or echo standard input.
struct Action {
  std::string bytes;
  DWORD sleepMs = 0;
  std::wstring waitFile;
  bool echoInput = false;
  std::wstring recordFile;
};

Action Line(std::string_view text) { return Action{std::string(text) + "\n", 0, {}, false, {}}; }
Action Wait(DWORD ms) { return Action{std::string(), ms, {}, false, {}}; }

// The standard output as this program found it at start.
class Output {
 public:
  bool ok() const { return ok_; }

  // Writes all bytes; false (and every later call a no-op) once a write fails.
  bool Write(std::string_view bytes) {
    while (ok_ && !bytes.empty()) {
      const DWORD chunk = bytes.size() > 65536 ? 65536u : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) {
        ok_ = false;
      } else {
        bytes.remove_prefix(written);
      }
    }
    return ok_;
  }

  // Closes standard output and standard error for good, so this process holds
  // no write end of the pipe any more. Both may be the same inherited handle.
  void CloseForGood() {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, nullptr);
    SetStdHandle(STD_ERROR_HANDLE, nullptr);
    if (IsUsable(handle_)) CloseHandle(handle_);
    if (IsUsable(err) && err != handle_) CloseHandle(err);
    handle_ = nullptr;
    ok_ = false;
  }

 private:
  static bool IsUsable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

  HANDLE handle_ = GetStdHandle(STD_OUTPUT_HANDLE);
  bool ok_ = true;
};

void WaitForFile(const std::wstring& path) {
  for (DWORD waited = 0; waited < kHangMs && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
       waited += 20) {
    Sleep(20);
  }
}

// Until standard input ends (a failed read or 0 bytes), or there is none.
void EchoInput(Output& out) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got != 0 && out.Write(std::string_view(buffer, got))) {
  }
}

// Microseconds on the performance counter, which every process of the
// machine shares.
long long NowMicroseconds() {
  LARGE_INTEGER counter{}, frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<long long>(static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart));
}

// Until standard input ends: each line, and the end, go to `path` stamped
// with the time they arrived.
void RecordInput(const std::wstring& path) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const auto note = [file](std::string_view text) {
    const std::string line = std::to_string(NowMicroseconds()) + " " + std::string(text) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  };
  std::string pending;
  char buffer[512];
  DWORD got = 0;
  while (input != nullptr && input != INVALID_HANDLE_VALUE && ReadFile(input, buffer, sizeof buffer, &got, nullptr) &&
         got != 0) {
    pending.append(buffer, got);
    for (size_t lf; (lf = pending.find('\n')) != std::string::npos; pending.erase(0, lf + 1)) {
      note(std::string_view(pending).substr(0, lf));
    }
  }
  if (!pending.empty()) note(pending);
  note("<eof>");
  CloseHandle(file);
}

void Play(const std::vector<Action>& actions, Output& out) {
  for (const Action& action : actions) {
    if (!action.recordFile.empty()) {
      RecordInput(action.recordFile);
    } else if (action.echoInput) {
      EchoInput(out);
    } else if (!action.waitFile.empty()) {
      WaitForFile(action.waitFile);
    } else if (action.bytes.empty()) {
      Sleep(action.sleepMs);
    } else if (!out.Write(action.bytes)) {
      return;
    }
  }
}

// A line and the pause after it.
struct TimedLine {
  std::string_view line;
  DWORD pauseMs;
};

void AppendLines(std::vector<Action>& a, std::initializer_list<TimedLine> lines) {
  for (const TimedLine& t : lines) {
    a.push_back(Line(t.line));
    if (t.pauseMs != 0) a.push_back(Wait(t.pauseMs));
  }
}

// Steps LINK to SCAN, shared by the scripted scenarios (about 2.2 s).
void AppendPreparation(std::vector<Action>& a) {
  AppendLines(a, {
      {"progress 0.02 LINK Contacting update service", 450},
      {"status Connected to update service (eu-west, 38 ms)", 350},
      {R"j({"kind":"progress","value":0.08,"caption":"MANIFEST","detail":"Reading package 4.2.1873 (312 files)"})j", 450},
      {"progress 0.14 VERIFY Checking package signature", 400},
      {"progress 0.20 SCAN Comparing local files: 640 of 1,284", 300},
      {"progress 0.26 SCAN Comparing local files: 1,284 of 1,284", 250},
  });
}

// Download lines "x MB / 20.0 MB", in steps of 2.5 MB, between two amounts
// given in tenths of a megabyte.
void AppendDownload(std::vector<Action>& a, int fromTenths, int toTenths, DWORD pauseMs) {
  constexpr int kTotalTenths = 200;
  for (int tenths = fromTenths; tenths <= toTenths; tenths += 25) {
    const int shown = tenths == 125 ? 124 : tenths;  // 12.4 MB reads more like a real transfer
    char line[160];
    const double value = 0.30 + 0.50 * shown / kTotalTenths;
    if (tenths == 125) {
      std::snprintf(line, sizeof line,
                    R"j({"kind":"progress","value":%.3f,"caption":"DOWNLOAD","detail":"%d.%d MB / 20.0 MB"})j", value,
                    shown / 10, shown % 10);
    } else {
      std::snprintf(line, sizeof line, "progress %.3f DOWNLOAD %d.%d MB / 20.0 MB", value, shown / 10, shown % 10);
    }
    a.push_back(Line(line));
    a.push_back(Wait(pauseMs));
  }
}

// Steps APPLY to done (about 1.5 s).
void AppendCompletion(std::vector<Action>& a) {
  AppendLines(a, {
      {"progress 0.84 APPLY Applying update: 4 of 12 files", 300},
      {"progress 0.90 APPLY Applying update: 12 of 12 files", 300},
      {"status Update 4.2.1873 installed", 250},
      {"progress 0.97 LAUNCH Starting application", 600},
      {"done", 0},
  });
}

std::vector<Action> HappyScript() {
  std::vector<Action> a;
  AppendPreparation(a);
  AppendDownload(a, 0, 200, 250);
  AppendCompletion(a);
  return a;
}

std::vector<Action> FailScript() {
  std::vector<Action> a;
  AppendPreparation(a);
  AppendDownload(a, 0, 75, 250);
  a.push_back(Line("error Download interrupted: connection reset at 8.1 MB / 20.0 MB"));
  return a;
}

std::vector<Action> StallScript() {
  std::vector<Action> a;
  AppendPreparation(a);
  AppendDownload(a, 0, 50, 250);
  a.push_back(Wait(6000));  // nothing moves: the window shows the step's stall hint
  a.push_back(Line("status Mirror responded again"));
  AppendDownload(a, 75, 200, 150);
  AppendCompletion(a);
  return a;
}

void Flood(uint32_t count, Output& out) {
  for (uint32_t i = 1; i <= count && out.ok(); ++i) {
    char line[96];
    const int n = std::snprintf(line, sizeof line, "progress %.6f DOWNLOAD Block %u of %u\n",
                                static_cast<double>(i) / count, i, count);
    out.Write(std::string_view(line, static_cast<size_t>(n)));
  }
  out.Write("done\n");
}

// The same flood as objects that also carry byte counts, 4 KB a line.
void FloodWithBytes(uint32_t count, Output& out) {
  const unsigned long long total = 4096ull * count;
  for (uint32_t i = 1; i <= count && out.ok(); ++i) {
    char line[192];
    const int n = std::snprintf(line, sizeof line,
                                "{\"kind\":\"progress\",\"value\":%.6f,\"caption\":\"DOWNLOAD\",\"detail\":"
                                "\"Block %u of %u\",\"bytes\":%llu,\"total\":%llu}\n",
                                static_cast<double>(i) / count, i, count, 4096ull * i, total);
    out.Write(std::string_view(line, static_cast<size_t>(n)));
  }
  out.Write("done\n");
}

// Milliseconds of a "sleep MS" line, or nullopt for a line to print.
std::optional<DWORD> SleepDirective(std::string_view line) {
  line = TrimBlankView(line);
  constexpr std::string_view kWord = "sleep";
  if (line.substr(0, kWord.size()) != kWord) return std::nullopt;
  std::string_view rest = line.substr(kWord.size());
  if (rest.empty() || (rest.front() != ' ' && rest.front() != '\t')) return std::nullopt;
  rest = TrimBlankView(rest);
  if (rest.empty() || rest.size() > 9) return std::nullopt;
  DWORD ms = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    ms = ms * 10 + static_cast<DWORD>(c - '0');
  }
  return ms;
}

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), n);
  return out;
}

std::vector<Action> ScriptActions(std::string_view bytes) {
  constexpr std::string_view kWaitFile = "wait-file ";
  constexpr std::string_view kRecordInput = "record-input ";
  std::vector<Action> actions;
  while (!bytes.empty()) {
    const size_t lf = bytes.find('\n');
    const size_t end = lf == std::string_view::npos ? bytes.size() : lf + 1;
    const std::string_view line = bytes.substr(0, end);
    const std::string_view trimmed = TrimBlankView(line);
    if (auto ms = SleepDirective(line)) {
      actions.push_back(Wait(*ms));
    } else if (trimmed.substr(0, kWaitFile.size()) == kWaitFile) {
      actions.push_back(Action{{}, 0, FromUtf8(TrimBlankView(trimmed.substr(kWaitFile.size()))), false, {}});
    } else if (trimmed.substr(0, kRecordInput.size()) == kRecordInput) {
      actions.push_back(Action{{}, 0, {}, false, FromUtf8(TrimBlankView(trimmed.substr(kRecordInput.size())))});
    } else if (trimmed == "echo-stdin") {
      actions.push_back(Action{{}, 0, {}, true, {}});
    } else {
      actions.push_back(Action{std::string(line), 0, {}, false, {}});
    }
    bytes.remove_prefix(end);
  }
  return actions;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  bool ok = true;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return bytes;
}

// Decimal (optionally negative) or 0x hexadecimal, as a 32-bit exit code.
std::optional<uint32_t> ParseExitCode(std::wstring_view text) {
  bool negative = false;
  if (!text.empty() && text.front() == L'-') {
    negative = true;
    text.remove_prefix(1);
  }
  uint64_t base = 10;
  if (text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (wchar_t c : text) {
    uint64_t digit = 0;
    if (c >= L'0' && c <= L'9') {
      digit = static_cast<uint64_t>(c - L'0');
    } else if (base == 16 && c >= L'a' && c <= L'f') {
      digit = static_cast<uint64_t>(c - L'a' + 10);
    } else if (base == 16 && c >= L'A' && c <= L'F') {
      digit = static_cast<uint64_t>(c - L'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  if (negative) {
    if (value > 0x80000000ull) return std::nullopt;
    return static_cast<uint32_t>(0u - static_cast<uint32_t>(value));
  }
  return static_cast<uint32_t>(value);
}

std::optional<uint32_t> ParseCount(std::wstring_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  uint32_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  return value;
}

struct Options {
  std::wstring scenario;
  std::vector<std::wstring> words;  // echo-args: every word after it
  uint32_t floodCount = 0;
  std::optional<std::wstring> scriptPath;
  std::optional<uint32_t> exitCode;
};

// The options, or the reason the command line is not understood.
struct ParsedOptions {
  std::optional<Options> options;
  std::string problem;
};

ParsedOptions ParseArguments(int argc, wchar_t** argv) {
  Options o;
  const auto fail = [](std::string problem) { return ParsedOptions{std::nullopt, std::move(problem)}; };
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    if (arg == L"--script" || arg == L"--exit") {
      if (i + 1 >= argc) return fail(WideToUtf8(arg) + " needs a value");
      const std::wstring_view value = argv[++i];
      if (arg == L"--script") {
        o.scriptPath = std::wstring(value);
      } else if (!(o.exitCode = ParseExitCode(value))) {
        return fail("bad exit code '" + WideToUtf8(value) + "'");
      }
    } else if (o.scenario.empty()) {
      o.scenario = arg;
      if (arg == L"echo-args") {
        o.words.assign(argv + i + 1, argv + argc);
        break;
      }
      if (arg == L"flood" || arg == L"flood-bytes") {
        std::optional<uint32_t> count = i + 1 < argc ? ParseCount(argv[i + 1]) : std::nullopt;
        if (!count) return fail("flood needs a line count");
        o.floodCount = *count;
        ++i;
      } else if (arg != L"happy" && arg != L"fail" && arg != L"stall" && arg != L"silent" && arg != L"hang") {
        return fail("unknown scenario '" + WideToUtf8(arg) + "'");
      }
    } else {
      return fail("unexpected word '" + WideToUtf8(arg) + "'");
    }
  }
  if (o.scriptPath && !o.scenario.empty()) return fail("give a scenario or --script, not both");
  if (!o.scriptPath && o.scenario.empty()) o.scenario = L"happy";
  return ParsedOptions{std::move(o), {}};
}

// Reports a problem as an error line on standard error (which a launcher
// reads like any other line) and returns the usage exit code.
int Refuse(const std::string& problem) {
  const std::string line = "error demo-updater: " + problem +
                           " (use happy, fail, stall, flood N, flood-bytes N, silent, hang, echo-args WORD... or --script FILE; --exit N)\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return static_cast<int>(kUsageExitCode);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const ParsedOptions parsed = ParseArguments(argc, argv);
  if (!parsed.options) return Refuse(parsed.problem);
  const Options& o = *parsed.options;

  Output out;
  uint32_t exitCode = 0;
  if (o.scriptPath) {
    const std::optional<std::string> bytes = ReadWholeFile(*o.scriptPath);
    if (!bytes) return Refuse("cannot read script '" + WideToUtf8(*o.scriptPath) + "'");
    Play(ScriptActions(*bytes), out);
  } else if (o.scenario == L"happy") {
    Play(HappyScript(), out);
  } else if (o.scenario == L"fail") {
    Play(FailScript(), out);
    exitCode = 2;
  } else if (o.scenario == L"stall") {
    Play(StallScript(), out);
  } else if (o.scenario == L"flood") {
    Flood(o.floodCount, out);
  } else if (o.scenario == L"flood-bytes") {
    FloodWithBytes(o.floodCount, out);
  } else if (o.scenario == L"echo-args") {
    std::wstring joined;
    for (const std::wstring& word : o.words) joined += (joined.empty() ? L"" : L" | ") + word;
    out.Write("progress 0.5 DOWNLOAD " + WideToUtf8(joined) + "\n");
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got != 0) {
    }
  } else if (o.scenario == L"hang") {
    out.Write("status Handing over; the updater keeps running in the background\n");
    out.CloseForGood();
    Sleep(kHangMs);
  }
  // "silent" writes nothing at all.
  return static_cast<int>(o.exitCode.value_or(exitCode));
}
