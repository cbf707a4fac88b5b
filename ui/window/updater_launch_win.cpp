#include "ui/window/updater_launch_win.h"

#include <optional>
#include <string>

#include "state/launch_transitions.h"
#include "ui/window/state_effects_win.h"

namespace {

// ERROR_ELEVATION_REQUIRED, which not every toolchain's headers define.
constexpr DWORD kElevationRequired = 740;

// The system's words for `code`, in the window's language where the system
// has them, else in its own; empty when it has none. Line ends and trailing
// blanks are dropped: the words go into one line.
std::wstring SystemWords(DWORD code, const Language& language) {
  const std::wstring tag(language.tag);
  const DWORD wanted = LANGIDFROMLCID(LocaleNameToLCID(tag.c_str(), 0));
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  // 0 lets the system choose: its own language when it lacks the window's.
  for (const DWORD languageId : {wanted, DWORD{0}}) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(flags, nullptr, code, languageId, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) continue;
    std::wstring words(buffer, length);
    LocalFree(buffer);
    for (wchar_t& c : words) {
      if (c == L'\r' || c == L'\n') c = L' ';
    }
    while (!words.empty() && words.back() == L' ') words.pop_back();
    return words;
  }
  return {};
}

TextId FailureText(UpdaterStartResult result) {
  switch (result) {
    case UpdaterStartResult::PipeFailed:
      return TextId::DetailPipeFailed;
    case UpdaterStartResult::ReaderFailed:
      return TextId::DetailReaderFailed;
    case UpdaterStartResult::Started:
    case UpdaterStartResult::ProcessFailed:
      break;
  }
  return TextId::DetailStartFailed;
}

}  // namespace

void StartUpdaterOrShowError(LauncherApp& app) {
  UpdaterStart start = StartUpdater(app.updater.command, app.window, app.updater.starters);
  app.updater.Begin(start);
  if (start.result == UpdaterStartResult::Started) return;
  // The updater's manifest asks for administrator rights and the launcher
  // runs without them: the most common first-day failure, so it says what to do.
  const std::optional<TextId> advice =
      start.error == kElevationRequired ? std::optional<TextId>(TextId::DetailNeedsAdmin) : std::nullopt;
  PerformStateEffects(app, ShowStartFailure(app.launch.state, FailureText(start.result), start.error,
                                            SystemWords(start.error, *app.launch.language), advice));
}
