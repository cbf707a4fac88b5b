#include "channel/updater_process_win.h"

#include <memory>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/reader_thread_win.h"

namespace {

// A PROC_THREAD_ATTRIBUTE_LIST naming the only handles the child inherits.
// The list refers to `handles`, which must outlive the process start.
class InheritedHandles {
 public:
  explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    storage_.resize(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
    if (size == 0 || !InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
    list_ = list;
    if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                   handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
      DeleteProcThreadAttributeList(list_);
      list_ = nullptr;
    }
  }
  ~InheritedHandles() {
    if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
  }
  InheritedHandles(const InheritedHandles&) = delete;
  InheritedHandles& operator=(const InheritedHandles&) = delete;

  // Null when the list could not be built.
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

 private:
  std::vector<HANDLE> handles_;
  std::vector<unsigned char> storage_;
  LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

// The thread's last error, never ERROR_SUCCESS after a failed call.
DWORD FailureCode() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

// CreateProcessW with the command line used verbatim, no console window, the
// launcher's environment and directory, and handle inheritance limited to
// the output pipe's write end and the input pipe's read end.
// ERROR_SUCCESS, or the error of the failed step.
DWORD StartChild(const UpdaterStarters& starters, const std::wstring& command, HANDLE writeEnd, HANDLE input,
                 PROCESS_INFORMATION& child) {
  const InheritedHandles handles({writeEnd, input});
  if (handles.get() == nullptr) return FailureCode();

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input;
  startup.StartupInfo.hStdOutput = writeEnd;
  startup.StartupInfo.hStdError = writeEnd;
  startup.lpAttributeList = handles.get();

  std::wstring commandLine = command;  // CreateProcessW may write into its command line
  if (!starters.createProcess(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                      CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                      &child)) {
    return FailureCode();
  }
  return ERROR_SUCCESS;
}

// An anonymous pipe of `bytes` (0: the system's default) whose launcher end
// (the read end when `keepRead`, else the write end) is not inheritable; the
// other end is. ERROR_SUCCESS, or the system's code.
DWORD MakePipe(UniqueHandle& readEnd, UniqueHandle& writeEnd, bool keepRead, DWORD bytes) {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inheritable, bytes)) return FailureCode();
  readEnd.reset(read);
  writeEnd.reset(write);
  if (!SetHandleInformation(keepRead ? read : write, HANDLE_FLAG_INHERIT, 0)) return FailureCode();
  return ERROR_SUCCESS;
}

}  // namespace

UpdaterStart StartUpdater(const std::wstring& command, HWND window, const UpdaterStarters& starters) {
  UpdaterStart start;
  UniqueHandle outputRead, outputWrite, inputRead, inputWrite;
  // The output holds what the paced reader takes in one read.
  start.error = MakePipe(outputRead, outputWrite, true, kReaderPipeBytes);
  if (start.error == ERROR_SUCCESS) start.error = MakePipe(inputRead, inputWrite, false, 0);
  if (start.error != ERROR_SUCCESS) {
    start.result = UpdaterStartResult::PipeFailed;
    return start;
  }
  PROCESS_INFORMATION child{};
  start.error = StartChild(starters, command, outputWrite.get(), inputRead.get(), child);
  // From here only the child holds the output's write end and the input's
  // read end: the reader sees the end of the output as soon as the child
  // side closes it, and the child sees the end of its input as soon as the
  // launcher closes its write end (at the latest when the launcher ends).
  outputWrite.reset();
  inputRead.reset();
  if (start.error != ERROR_SUCCESS) {
    start.result = UpdaterStartResult::ProcessFailed;
    return start;
  }
  CloseHandle(child.hThread);
  UniqueHandle process(child.hProcess);
  start.input = std::move(inputWrite);

  auto args = std::make_unique<ReaderArgs>();
  args->input = outputRead.get();
  args->ownedInput = std::move(outputRead);
  args->window = window;
  args->process = std::move(process);
  args->pace = ReadPace::Paced;
  if (starters.startReader(args)) {
    start.result = UpdaterStartResult::Started;
    return start;
  }
  // No reader: the output's read end goes, so the child's writes fail
  // instead of blocking, and the window watches the child itself.
  start.error = FailureCode();
  start.result = UpdaterStartResult::ReaderFailed;
  start.process = std::move(args->process);
  return start;
}
