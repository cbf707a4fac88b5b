#include "ui/shell/taskbar_win.h"

#include <objbase.h>
#include <shobjidl.h>

#include "base/system_library_win.h"

namespace {

// Defined here rather than taken from a GUID library, so no toolchain needs one.
constexpr CLSID kClsidTaskbarList{0x56fdf344, 0xfd6d, 0x11d0, {0x95, 0x8a, 0x00, 0x60, 0x97, 0xc9, 0xa0, 0x90}};
constexpr IID kIidTaskbarList3{0xea1afb91, 0x9e28, 0x4b86, {0x90, 0xe9, 0x9e, 0x9f, 0x8a, 0x5e, 0xef, 0xaf}};

// The shell's flags, indexed by TaskbarState in its order.
constexpr TBPFLAG kFlags[] = {TBPF_NORMAL, TBPF_INDETERMINATE, TBPF_PAUSED, TBPF_ERROR};

TBPFLAG FlagOf(TaskbarState state) { return kFlags[static_cast<size_t>(state)]; }

// Lets the registered message reach a window of higher integrity than the
// shell. The function exists from Windows 7 on; without it nothing is done.
void AllowThroughMessageFilter(HWND window, UINT message) {
  using ChangeFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  const auto changeFilter = LookUpLoadedFunction<ChangeFilterFn>(L"user32.dll", "ChangeWindowMessageFilterEx");
  if (changeFilter == nullptr) return;
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
  changeFilter(window, message, kAllow, nullptr);
}

}  // namespace

TaskbarButton::~TaskbarButton() { ReleaseList(); }

void TaskbarButton::ReleaseList() {
  if (list_ != nullptr) list_->Release();
  list_ = nullptr;
  shown_.reset();
}

void TaskbarButton::Prepare(HWND window) {
  createdMessage_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
  if (createdMessage_ != 0) AllowThroughMessageFilter(window, createdMessage_);
}

void TaskbarButton::OnButtonCreated() {
  ReleaseList();
  ITaskbarList3* list = nullptr;
  if (FAILED(CoCreateInstance(kClsidTaskbarList, nullptr, CLSCTX_INPROC_SERVER, kIidTaskbarList3,
                              reinterpret_cast<void**>(&list))) ||
      list == nullptr) {
    return;
  }
  if (FAILED(list->HrInit())) {
    list->Release();
    return;
  }
  list_ = list;
}

void TaskbarButton::Mirror(HWND window, const TaskbarProgress& progress) {
  if (list_ == nullptr || shown_ == progress) return;
  // A value set while the button shows no progress or the marquee switches it
  // to normal, so the value goes first and the state after it.
  if (progress.state != TaskbarState::Indeterminate) {
    list_->SetProgressValue(window, static_cast<ULONGLONG>(progress.value), static_cast<ULONGLONG>(kTaskbarScale));
  }
  list_->SetProgressState(window, FlagOf(progress.state));
  shown_ = progress;
}
