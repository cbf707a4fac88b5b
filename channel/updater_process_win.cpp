#include "channel/updater_process_win.h"

#include <memory>
#include <vector>

#include "base/win_owners_win.h"
#include "channel/reader_thread_win.h"

namespace {

// The standard input the child is given. While the launcher reads its own,
// the null device: two readers of one input would split its bytes between
// them at random. Otherwise the launcher's own, as an inheritable handle;
// when the launcher's handle is not inheritable, an inheritable duplicate.
// A handle opened or duplicated here is owned by `owned` (closed after the
// start). Null when there is no standard input, or none that can be handed on.
HANDLE ChildStandardInput(bool launcherReadsInput, UniqueHandle& owned) {
  if (launcherReadsInput) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    owned.reset(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                            0, nullptr));
    if (owned.get() == INVALID_HANDLE_VALUE) owned.release();
    return owned.get();
  }
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return nullptr;
  DWORD flags = 0;
  if (GetHandleInformation(input, &flags) && (flags & HANDLE_FLAG_INHERIT) != 0) return input;
  HANDLE copy = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), input, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
    return nullptr;
  }
  owned.reset(copy);
  return copy;
}

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
// the pipe's write end and the given standard input (which may be null).
// ERROR_SUCCESS, or the error of the failed step.
DWORD StartChild(const std::wstring& command, HANDLE writeEnd, HANDLE input, PROCESS_INFORMATION& child) {
  std::vector<HANDLE> inherited{writeEnd};
  if (input != nullptr) inherited.push_back(input);
  const InheritedHandles handles(std::move(inherited));
  if (handles.get() == nullptr) return FailureCode();

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input;
  startup.StartupInfo.hStdOutput = writeEnd;
  startup.StartupInfo.hStdError = writeEnd;
  startup.lpAttributeList = handles.get();

  std::wstring commandLine = command;  // CreateProcessW may write into its command line
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                      CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                      &child)) {
    return FailureCode();
  }
  return ERROR_SUCCESS;
}

}  // namespace

UpdaterStartResult StartUpdater(const std::wstring& command, HWND window, bool launcherReadsInput) {
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

  // The child inherits exactly these two handles: nothing else the launcher
  // holds (its own standard output above all, which a caller may be reading
  // to its end) stays open for as long as the updater runs.
  UniqueHandle inputCopy;
  HANDLE input = ChildStandardInput(launcherReadsInput, inputCopy);
  PROCESS_INFORMATION child{};
  DWORD error = StartChild(command, writeEnd, input, child);
  if (error == ERROR_INVALID_PARAMETER && input != nullptr) {
    // A standard input that cannot be listed (an old system's console
    // pseudo-handle): the updater starts without one rather than not at all.
    error = StartChild(command, writeEnd, nullptr, child);
  }
  const bool started = error == ERROR_SUCCESS;
  inputCopy.reset();
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
  if (!StartReaderThread(std::move(args))) return UpdaterStartResult::ProcessFailed;
  return UpdaterStartResult::Started;
}
