#include "tests/integration/channel_event_window_win.h"

#include <algorithm>
#include <memory>

#include "base/win_owners_win.h"
#include "channel/launch_message_win.h"
#include "tests/support/process_runner_win.h"

namespace {

constexpr wchar_t kClassName[] = L"TarrowChannelTestWindow";
constexpr UINT_PTR kTickTimer = 1;

void RegisterWindowClass() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpszClassName = kClassName;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpfnWndProc = DefWindowProcW;  // replaced per window once its object is attached
  RegisterClassExW(&wc);  // fails harmlessly when already registered
}

}  // namespace

EventWindow::EventWindow() {
  RegisterWindowClass();
  window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EventWindow::Procedure));
}

EventWindow::~EventWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  DiscardQueuedLaunchEvents();
}

LRESULT CALLBACK EventWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<EventWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && message == WM_LAUNCH_EVENT) {
    if (std::unique_ptr<LaunchEvent> event = TakeLaunchEvent(wParam, lParam)) self->events_.push_back(*event);
    return 0;
  }
  if (self != nullptr && message == WM_TIMER && wParam == kTickTimer) {
    ++self->ticks_;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool EventWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 20)),
                              QS_ALLINPUT);
  }
}

bool EventWindow::WaitForEvents(size_t count, DWORD timeoutMs) {
  return PumpUntil([&] { return events_.size() >= count; }, timeoutMs);
}

void EventWindow::PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

void EventWindow::StartTicking() { SetTimer(window_, kTickTimer, 20, nullptr); }

size_t DiscardQueuedLaunchEvents() {
  size_t count = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_LAUNCH_EVENT, WM_LAUNCH_EVENT, PM_REMOVE)) {
    if (TakeLaunchEvent(msg.wParam, msg.lParam)) ++count;
  }
  return count;
}

std::wstring Summary(const LaunchEvent& event) { return event.kind + L"|" + event.caption + L"|" + event.detail; }

std::vector<std::wstring> Summaries(const std::vector<LaunchEvent>& events) {
  std::vector<std::wstring> out;
  for (const LaunchEvent& e : events) out.push_back(Summary(e));
  return out;
}

HandleCensus TakeHandleCensus() {
  HandleCensus census;
  for (ULONG_PTR value = 4; value < 4 * 8192; value += 4) {
    HANDLE h = reinterpret_cast<HANDLE>(value);
    DWORD flags = 0;
    if (!GetHandleInformation(h, &flags)) continue;
    if (GetFileType(h) == FILE_TYPE_PIPE) {
      ++census.pipes;
    } else if (GetProcessId(h) != 0) {
      ++census.processes;
    }
  }
  return census;
}

bool WaitForHandleCensus(const HandleCensus& expected, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (TakeHandleCensus() == expected) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

std::wstring DemoUpdaterCommand(std::wstring_view arguments) {
  std::wstring command = QuoteArgument(ProgramFolder() + L"\\demo-updater.exe");
  if (!arguments.empty()) command += L" " + std::wstring(arguments);
  return command;
}

int TerminateDemoUpdatersOf(DWORD parentProcessId) {
  return TerminateRunningChildren(parentProcessId, L"demo-updater.exe");
}

TempFile::TempFile(std::string_view bytes) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"trw", 0, name);
  path_ = name;
  UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

TempFile::~TempFile() { DeleteFileW(path_.c_str()); }
