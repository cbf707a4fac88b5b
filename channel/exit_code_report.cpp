#include "channel/exit_code_report.h"

#include <string>

#include "base/text.h"

std::unique_ptr<LaunchEvent> MakeExitCodeReport(uint32_t exitCode) {
  if (exitCode == 0) return nullptr;
  auto event = std::make_unique<LaunchEvent>();
  event->kind = L"error";
  event->exitCode = exitCode;
  event->detail = L"Updater process exited with code " + DecimalText(exitCode);
  return event;
}
