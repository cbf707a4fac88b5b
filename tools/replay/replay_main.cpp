// tarrow-replay: prints, as one JSON object per line, what the launcher
// would display for the updater lines on standard input, without a window.
//
//   tarrow-replay [--profile NAME] [--state NAME] [--lang TAG] [--ticks N] [--scene] [--texts] [words...] < lines
//
// The launcher's own options and free words mean what they mean to the
// launcher (--updater-cmd is accepted and ignored); --ticks applies N
// animation ticks after every input line; --scene adds the draw list the
// window would paint to every record; --lang picks the language as the
// launcher's --lang does, and --texts prints all its texts by key first. Exit code 0 at end of input,
// 1 when standard output fails, 2 for a bad command line.
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "channel/line_splitter.h"
#include "tools/replay/replay_session.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include "channel/utf8.h"
#endif

namespace {

bool WriteRecord(const std::string& record) {
  const bool written = std::fwrite(record.data(), 1, record.size(), stdout) == record.size() &&
                       std::fputc('\n', stdout) != EOF;
  // One record per input line as soon as it is known: a live updater piped
  // through the tool shows up line by line.
  if (std::fflush(stdout) == 0 && written) return true;
  std::fprintf(stderr, "tarrow-replay: writing standard output failed (errno %d)\n", errno);
  return false;
}

int Run(const std::vector<std::wstring>& args) {
  std::string error;
  const std::optional<ReplayOptions> options = ParseReplayArguments(args, error);
  if (!options) {
    std::fprintf(stderr, "tarrow-replay: %s\n", error.c_str());
    return 2;
  }
#ifdef _WIN32
  // Bytes in and out unchanged: the launcher reads raw bytes, and the
  // records must not gain a CR on their way out.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  ReplaySession session(*options);
  if (!WriteRecord(session.StartRecord())) return 1;

  LineSplitter splitter;
  bool ok = true;
  char buffer[4096];
  size_t got = 0;
  while (ok && (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    splitter.Feed(std::string_view(buffer, got), [&](std::string_view line) {
      if (ok) ok = WriteRecord(session.ApplyLine(line));
    });
  }
  if (!ok) return 1;
  if (const std::optional<std::string> last = splitter.Finish()) {
    if (!WriteRecord(session.ApplyLine(*last))) return 1;
  }
  return 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
  return Run(args);
}
#endif
