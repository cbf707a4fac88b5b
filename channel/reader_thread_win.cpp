#include "channel/reader_thread_win.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "channel/exit_code_report.h"
#include "channel/launch_message_win.h"
#include "channel/line_parser.h"
#include "channel/line_splitter.h"

namespace {

// The pause of a paced reader after a read that found the pipe less than
// full. A writer that streams a line per write would otherwise wake the
// reader for each line, and each read costs a post and a window wakeup; after
// the pause the next read takes what was written meanwhile in one piece. A
// line that arrives alone is posted at once; one written during the pause
// waits for it (a millisecond, up to a timer tick of about 16 ms on Windows),
// well within the 45 ms between two frames. The pipe holds kReaderPipeBytes,
// so a fast writer is not held up by the pause: a full read is followed by
// the next at once.
constexpr DWORD kStreamPauseMs = 1;

DWORD WINAPI ReaderThreadEntry(void* param) noexcept {
  std::unique_ptr<ReaderArgs> args(static_cast<ReaderArgs*>(param));
  std::unique_ptr<LaunchEvent> report;
  try {
    report = RunReader(args->input, args->window, args->process.get(), args->pace);
  } catch (...) {
    // Out of memory while cutting or parsing: the lines are given up. The
    // read end goes first, so a child still writing fails instead of
    // blocking on a full pipe, and the child is still waited for: the run
    // has ended only when it has.
    args->ownedInput.reset();
    if (args->process) WaitForSingleObject(args->process.get(), INFINITE);
  }
  // Whatever happened above: without this report Retry would wait for the
  // run's end for ever.
  if (args->process) PostUpdaterEnded(args->window, std::move(report));
  return 0;
}

}  // namespace

std::unique_ptr<LaunchEvent> RunReader(HANDLE input, HWND window, HANDLE process, ReadPace pace) {
  const bool isPipe = GetFileType(input) == FILE_TYPE_PIPE;
  auto batch = std::make_unique<LaunchEventBatch>();
  const auto keepLine = [&batch](std::string_view line) {
    if (std::unique_ptr<LaunchEvent> event = ParseUpdaterLine(line)) batch->events.push_back(std::move(*event));
  };
  // The batch goes, and the next one starts empty; a read without a whole
  // line posts nothing.
  const auto postBatch = [&batch, window] {
    if (batch->events.empty()) return;
    PostLaunchEvents(window, std::move(batch));
    batch = std::make_unique<LaunchEventBatch>();
  };
  LineSplitter splitter;
  const std::unique_ptr<char[]> storage(new char[kReaderPipeBytes]);
  char* const buffer = storage.get();
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(input, buffer, kReaderPipeBytes, &got, nullptr)) break;
    if (got == 0) {
      if (isPipe) continue;
      break;
    }
    splitter.Feed(std::string_view(buffer, got), keepLine);
    postBatch();
    if (pace == ReadPace::Paced && got < kReaderPipeBytes) Sleep(kStreamPauseMs);
  }
  if (std::optional<std::string> rest = splitter.Finish()) keepLine(*rest);
  postBatch();

  if (process == nullptr) return nullptr;
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process, &code)) return nullptr;
  return MakeExitCodeReport(code);
}

bool StartReaderThread(std::unique_ptr<ReaderArgs>& args) {
  HANDLE thread = CreateThread(nullptr, 0, ReaderThreadEntry, args.get(), 0, nullptr);
  if (thread == nullptr) return false;
  args.release();  // the thread owns them now
  CloseHandle(thread);
  return true;
}
