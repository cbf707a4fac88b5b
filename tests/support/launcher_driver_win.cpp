#include "tests/support/launcher_driver_win.h"

#include <ole2.h>
#include <tlhelp32.h>

#include "app/exit_watchdog_win.h"
#include "channel/utf8.h"
#include "tests/support/asset_files_win.h"
#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "tools/capture/screen_capture_win.h"
#include "ui/window/launcher_app_win.h"

namespace {

// The first window of the class owned by the process, visible or any.
HWND FindWindowOf(DWORD processId, const wchar_t* className, bool visibleOnly) {
  HWND candidate = nullptr;
  while ((candidate = FindWindowExW(nullptr, candidate, className, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if (owner == processId && (!visibleOnly || IsWindowVisible(candidate))) return candidate;
  }
  return nullptr;
}
}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

namespace {
std::wstring TextOf(IAccessible* object, LONG child, HRESULT (STDMETHODCALLTYPE IAccessible::*getter)(VARIANT, BSTR*)) {
  BSTR text = nullptr;
  if (FAILED((object->*getter)(ChildId(child), &text))) return L"<failed>";
  std::wstring result = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return result;
}
}  // namespace

VARIANT ChildId(LONG id) {
  VARIANT child{};
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

AccessiblePtr AccessibleOf(HWND window) {
  static const ScopedComApartment apartment;
  void* object = nullptr;
  if (window == nullptr || AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                      &object) != S_OK) {
    return nullptr;
  }
  return AccessiblePtr(static_cast<IAccessible*>(object));
}

std::optional<LauncherTexts> ReadTexts(HWND window) {
  // AccessibleObjectFromWindow sends WM_GETOBJECT without a time-out: a
  // window thread that does not answer within seconds reads as no texts
  // instead of holding the test for ever.
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, 5000, &ignored) == 0) {
    return std::nullopt;
  }
  const AccessiblePtr object = AccessibleOf(window);
  if (object == nullptr) return std::nullopt;
  LauncherTexts texts;
  texts.title = TextOf(object.get(), CHILDID_SELF, &IAccessible::get_accName);
  texts.progress = TextOf(object.get(), kProgressChild, &IAccessible::get_accName);
  texts.percent = TextOf(object.get(), kProgressChild, &IAccessible::get_accValue);
  VARIANT state{};
  texts.busy = SUCCEEDED(object->get_accState(ChildId(kProgressChild), &state)) && state.vt == VT_I4 &&
               (state.lVal & STATE_SYSTEM_BUSY) != 0;
  texts.status = TextOf(object.get(), kStatusChild, &IAccessible::get_accName);
  texts.button = TextOf(object.get(), kButtonChild, &IAccessible::get_accName);
  texts.action = TextOf(object.get(), kButtonChild, &IAccessible::get_accDefaultAction);
  return texts;
}

std::string Describe(const std::optional<LauncherTexts>& t) {
  if (!t) return "<no texts>";
  return WideToUtf8(L"[" + t->title + L" | " + t->progress + L" " + t->percent + (t->busy ? L" busy" : L"") + L" | " +
                t->status + L" | " + t->button + L"]");
}

TempFile::TempFile(std::optional<std::string_view> bytes) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"trw", 0, name);  // creates it
  path_ = name;
  if (bytes) Write(*bytes);
  else DeleteFileW(path_.c_str());
}

bool TempFile::Write(std::string_view bytes) const { return WriteFileBytes(path_, bytes); }

std::string TempFile::WaitLine() const { return "wait-file " + WideToUtf8(path_) + "\n"; }

std::wstring UpdaterCommand(const std::wstring& arguments, const wchar_t* program) {
  return L"--updater-cmd " + QuoteArgument(QuoteArgument(ProgramFolder() + L"\\" + program) + L" " + arguments);
}

LauncherRun::LauncherRun(const std::wstring& arguments, HANDLE standardInput, const std::wstring& folder)
    : child_(StartProgram(L"tarrow-launcher.exe", arguments, standardInput, folder)) {
  MakeProcessDpiAware();
}

LauncherRun::LauncherRun(const std::wstring& arguments, InputPipe) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  // Room for a whole flood, so Feed does not wait on the launcher's reads.
  constexpr DWORD kPipeBytes = 1 << 20;
  if (CreatePipe(&readEnd, &writeEnd, &inheritable, kPipeBytes)) {
    // Only the read end goes to the launcher; an inherited write end would
    // keep the pipe open after EndInput.
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    input_.reset(writeEnd);
    child_ = StartProgram(L"tarrow-launcher.exe", arguments, readEnd);
    CloseHandle(readEnd);
  }
  MakeProcessDpiAware();
}

LauncherRun::~LauncherRun() { End(); }

void LauncherRun::End() {
  if (child_.has_value() && Running()) {
    TerminateProcess(child_->process.get(), 99);
    WaitForSingleObject(child_->process.get(), 5000);
  }
}

HWND LauncherRun::WaitForWindow(DWORD timeoutMs) {
  if (!child_.has_value()) return nullptr;
  WaitUntil([&] {
    window_ = FindVisibleWindow(child_->id);
    return window_ != nullptr || !Running();
  }, timeoutMs);
  return window_;
}

bool LauncherRun::WaitForTexts(const std::function<bool(const LauncherTexts&)>& shown, DWORD timeoutMs) const {
  return WaitUntil([&] {
    const std::optional<LauncherTexts> texts = Texts();
    return texts.has_value() && shown(*texts);
  }, timeoutMs);
}

std::optional<DWORD> LauncherRun::WaitForExit(DWORD timeoutMs) {
  if (!child_.has_value()) return std::nullopt;
  return WaitForExitCode(*child_, timeoutMs);
}

std::optional<DWORD> LauncherRun::CloseWithEscape() {
  if (window_ != nullptr) PostKeyDown(window_, VK_ESCAPE);
  return WaitForExit();
}

bool LauncherRun::Feed(std::string_view bytes) const {
  DWORD written = 0;
  return input_ != nullptr &&
         WriteFile(input_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool LauncherRun::Running() const {
  return child_.has_value() && WaitForSingleObject(child_->process.get(), 0) == WAIT_TIMEOUT;
}

bool LauncherRun::StuckInItsEnd() const {
  if (!Running() || FindWindowOf(child_->id, kLauncherWindowClass, false) != nullptr) return false;
  wchar_t name[kEndingEventNameSize];
  EndingEventName(child_->id, name);
  const UniqueHandle ending(OpenEventW(SYNCHRONIZE, FALSE, name));
  if (ending == nullptr || WaitForSingleObject(ending.get(), 0) != WAIT_OBJECT_0) return false;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (snapshot.get() == INVALID_HANDLE_VALUE) return false;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int threads = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == child_->id) ++threads;
  }
  return threads == 1;
}

HWND FindVisibleWindow(DWORD processId, const wchar_t* className) {
  return FindWindowOf(processId, className, true);
}

RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

namespace {
constexpr int kReferenceWidth = 392, kReferenceHeight = 252;

int DifferingPixels(const PixelImage& shown, const PixelImage& reference) {
  if (shown.width != reference.width || shown.height != reference.height) return -1;
  constexpr int kCorner = 6;
  int differing = 0;
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      const bool inCorner = (x < kCorner || x >= shown.width - kCorner) && (y < kCorner || y >= shown.height - kCorner);
      if (!inCorner && ChannelDistance(shown.At(x, y), reference.At(x, y)) > 16) ++differing;
    }
  }
  return differing;
}
}  // namespace

bool MatchesReference(int differingPixels) {
  return differingPixels >= 0 && differingPixels <= kReferenceWidth * kReferenceHeight / 2000;
}

int PixelsDifferingFromReference(HWND window, const std::string& stem) {
  const ScopedGdiplus gdiplus;  // decodes the picture
  const std::optional<PixelImage> reference = LoadPixels(SourcePath("tests/reference/" + stem + ".png"));
  if (!reference.has_value() || reference->width != kReferenceWidth) return -1;
  int differing = -1;
  WaitUntil([&] { return MatchesReference(differing = DifferingPixels(CaptureWindowFromScreen(window), *reference)); },
            10000);
  return differing;
}

void PostMouseMove(HWND window, int32_t x, int32_t y, WPARAM keys) {
  PostMessageW(window, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
}

void PostLeftDown(HWND window, int32_t x, int32_t y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void PostLeftUp(HWND window, int32_t x, int32_t y) { PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

void PostClick(HWND window, int32_t x, int32_t y) {
  PostLeftDown(window, x, y);
  PostLeftUp(window, x, y);
}

void PostKeyDown(HWND window, UINT virtualKey) {
  const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1u | (scanCode << 16)));
}

ScopeGuard SetSystemDpi(DWORD dpi) {
  static constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
  DWORD previous = 0, size = sizeof(previous);
  const bool had = RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &previous,
                                &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  return ScopeGuard([had, previous] {
    if (had) RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &previous, sizeof(previous));
    if (!had) RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
  });
}
