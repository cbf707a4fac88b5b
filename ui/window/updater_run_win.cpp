#include "ui/window/updater_run_win.h"

#include <string_view>

void UpdaterRun::Begin(UpdaterStart& start) {
  retryWhenEnded_ = false;
  running_ = start.result == UpdaterStartResult::Started || start.result == UpdaterStartResult::ReaderFailed;
  input_ = std::move(start.input);
  watched_ = std::move(start.process);
}

void UpdaterRun::Ended() {
  running_ = false;
  input_.reset();
  watched_.reset();
}

bool UpdaterRun::RetryDue() {
  if (watched_ == nullptr || WaitForSingleObject(watched_.get(), 0) != WAIT_OBJECT_0) return false;
  Ended();
  const bool due = retryWhenEnded_;
  retryWhenEnded_ = false;
  return due;
}

void UpdaterRun::TellCancelled() {
  if (input_ == nullptr) return;
  // The pipe's buffer holds far more than this one line, and nothing else is
  // ever written to it, so the write completes at once whether or not the
  // child reads its input.
  constexpr std::string_view kCancelLine = "cancel\n";
  DWORD written = 0;
  WriteFile(input_.get(), kCancelLine.data(), static_cast<DWORD>(kCancelLine.size()), &written, nullptr);
  input_.reset();
}
