#include "channel/exit_code_report.h"

#include <string>

std::unique_ptr<LaunchEvent> MakeExitCodeReport(uint32_t exitCode) {
  if (exitCode == 0) return nullptr;
  auto event = std::make_unique<LaunchEvent>();
  event->kind = L"error";
  event->exitCode = exitCode;
  event->detail = L"Updater process exited with code " + std::to_wstring(static_cast<unsigned long long>(exitCode));
  return event;
}
