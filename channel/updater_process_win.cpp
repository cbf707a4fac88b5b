#include "channel/updater_process_win.h"

#include <memory>

#include "base/win_owners_win.h"
#include "channel/reader_thread_win.h"

UpdaterStartResult StartUpdater(const std::wstring& command, HWND window, uint32_t generation) {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return UpdaterStartResult::PipeFailed;
  UniqueHandle reader(readEnd);
  UniqueHandle writer(writeEnd);
  // Only the write end reaches the child.
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdInput = input == INVALID_HANDLE_VALUE ? nullptr : input;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;

  std::wstring commandLine = command;  // CreateProcessW may write into its command line
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &child);
  // From here only the child holds a write end, so the reader sees the end of
  // the input as soon as the child side closes it.
  writer.reset();
  if (!started) return UpdaterStartResult::ProcessFailed;
  CloseHandle(child.hThread);

  auto args = std::make_unique<ReaderArgs>();
  args->input = readEnd;
  args->ownedInput = std::move(reader);
  args->window = window;
  args->process.reset(child.hProcess);
  args->generation = generation;
  if (!StartReaderThread(std::move(args))) return UpdaterStartResult::ProcessFailed;
  return UpdaterStartResult::Started;
}
