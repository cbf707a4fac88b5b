#include "channel/reader_thread_win.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "channel/exit_code_report.h"
#include "channel/launch_message_win.h"
#include "channel/line_parser.h"
#include "channel/line_splitter.h"

namespace {

// As much as a pipe usually holds: a flooding updater's lines are taken in
// as few reads as possible. Lines are still cut at LF and posted in order.
constexpr DWORD kReadBytes = 64 * 1024;

DWORD WINAPI ReaderThreadEntry(void* param) noexcept {
  std::unique_ptr<ReaderArgs> args(static_cast<ReaderArgs*>(param));
  try {
    RunReader(args->input, args->window, args->process.get(), args->generation);
  } catch (...) {
    // Out of memory while cutting or parsing: the reader gives up; its
    // handles are still released below.
  }
  return 0;
}

}  // namespace

void RunReader(HANDLE input, HWND window, HANDLE process, uint32_t generation) {
  const bool isPipe = GetFileType(input) == FILE_TYPE_PIPE;
  const auto post = [window, generation](std::unique_ptr<LaunchEvent> event) {
    if (event) event->generation = generation;
    PostLaunchEvent(window, std::move(event));
  };
  const auto postLine = [&post](std::string_view line) { post(ParseUpdaterLine(line)); };
  LineSplitter splitter;
  const std::unique_ptr<char[]> storage(new char[kReadBytes]);
  char* const buffer = storage.get();
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(input, buffer, kReadBytes, &got, nullptr)) break;
    if (got == 0) {
      if (isPipe) continue;
      break;
    }
    splitter.Feed(std::string_view(buffer, got), postLine);
  }
  if (std::optional<std::string> rest = splitter.Finish()) postLine(*rest);

  if (process == nullptr) return;
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process, &code)) post(MakeExitCodeReport(code));
  // After the report, in the same queue: the window sees the report first.
  PostUpdaterEnded(window, generation);
}

bool StartReaderThread(std::unique_ptr<ReaderArgs> args) {
  HANDLE thread = CreateThread(nullptr, 0, ReaderThreadEntry, args.get(), 0, nullptr);
  if (thread == nullptr) return false;
  args.release();  // the thread owns them now
  CloseHandle(thread);
  return true;
}
