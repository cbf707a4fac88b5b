// An updater for tarrow-launcher.exe --updater-cmd: reports a few steps on
// standard output and stops its work as soon as standard input brings the
// line "cancel" (the user cancelled) or ends (the launcher is gone).
//
//   example-updater.exe [PAUSE_MS]    the pause after each step (default 1500)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HANDLE stopRequested;  // manual-reset event, set by the input watcher

// One line to the launcher, flushed at once: the window follows line by line.
void Send(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
}

// Reads standard input until the line "cancel" or its end, then asks the
// work to stop.
DWORD WINAPI WatchInput(void*) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string line;
  char c = 0;
  DWORD got = 0;
  while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {  // fails or reads 0 at the end
    if (c != '\n') {
      line += c;
    } else if (line == "cancel" || line == "cancel\r") {
      break;
    } else {
      line.clear();
    }
  }
  SetEvent(stopRequested);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const DWORD pauseMs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1500;
  stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(CreateThread(nullptr, 0, WatchInput, nullptr, 0, nullptr));

  const char* const steps[] = {
      "progress 0.10 LINK Contacting the update service",
      "progress 0.40 DOWNLOAD Fetching files",
      R"({"kind":"progress","value":0.80,"caption":"APPLY","detail":"Applying the update"})",
  };
  for (const char* step : steps) {
    Send(step);
    // The pause is the work; a real updater checks the event between its own steps.
    if (WaitForSingleObject(stopRequested, pauseMs) == WAIT_OBJECT_0) {
      // Leave things as they were before the update, then end: nobody reads the output any more.
      return 1;
    }
  }
  Send("done");
  return 0;
}
