#include "tests/support/launcher_driver_win.h"

#include <ole2.h>

#include <vector>

#include "ui/launcher_app_win.h"

namespace {

LPARAM ClientLParam(int32_t x, int32_t y) {
  const auto low = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(x)));
  const auto high = static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(y)));
  return static_cast<LPARAM>(low | (high << 16));
}

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";

}  // namespace

void MakeTestProcessDpiAware() { MakeProcessDpiAware(); }

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

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
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
  return texts;
}

std::string Describe(const std::optional<LauncherTexts>& t) {
  if (!t) return "<no texts>";
  return Narrow(L"[" + t->title + L" | " + t->progress + L" " + t->percent + (t->busy ? L" busy" : L"") + L" | " +
                t->status + L" | " + t->button + L"]");
}

TempFile::TempFile(std::string_view bytes) {
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"trw", 0, name);
  path_ = name;
  Write(bytes);
}

bool TempFile::Write(std::string_view bytes) const {
  UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file.get() != INVALID_HANDLE_VALUE &&
         WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

GoFile::GoFile() {
  static int count = 0;
  wchar_t folder[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, folder);
  path_ = std::wstring(folder) + L"trw-go-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
  DeleteFileW(path_.c_str());
}

bool GoFile::Create() const {
  UniqueHandle file(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.get() != INVALID_HANDLE_VALUE;
}

std::string GoFile::ScriptLine() const {
  const int size = WideCharToMultiByte(CP_UTF8, 0, path_.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string line = "wait-file " + std::string(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, path_.c_str(), -1, line.data() + 10, size, nullptr, nullptr);
  line.back() = '\n';  // over the NUL
  return line;
}

std::wstring DemoUpdater(const std::wstring& arguments) {
  return L"--updater-cmd " + QuoteArgument(QuoteArgument(ProgramFolder() + L"\\demo-updater.exe") + L" " + arguments);
}

LauncherInput::LauncherInput() {
  SECURITY_ATTRIBUTES inheritable{};
  inheritable.nLength = sizeof(inheritable);
  inheritable.bInheritHandle = TRUE;
  HANDLE readHandle = nullptr;
  HANDLE writeHandle = nullptr;
  if (!CreatePipe(&readHandle, &writeHandle, &inheritable, 0)) return;
  read_.reset(readHandle);
  write_.reset(writeHandle);
  // Only the read end goes to the launcher; an inherited write end would
  // keep the pipe open after Close.
  SetHandleInformation(writeHandle, HANDLE_FLAG_INHERIT, 0);
}

bool LauncherInput::Write(std::string_view bytes) {
  DWORD written = 0;
  return write_ != nullptr &&
         WriteFile(write_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

LauncherRun::LauncherRun(const std::wstring& arguments, HANDLE standardInput, const std::wstring& folder)
    : child_(StartProgram(L"tarrow-launcher.exe", arguments, standardInput, folder)) {
  // Rectangles and cursor positions read in device pixels whatever the DPI.
  MakeTestProcessDpiAware();
}

LauncherRun::~LauncherRun() {
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

bool LauncherRun::WaitForWindowClosed(DWORD timeoutMs) const {
  return WaitUntil([&] { return !WindowOpen(); }, timeoutMs);
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

bool LauncherRun::Running() const {
  return child_.has_value() && WaitForSingleObject(child_->process.get(), 0) == WAIT_TIMEOUT;
}

HWND FindVisibleWindow(DWORD processId, const wchar_t* className) {
  HWND candidate = nullptr;
  while ((candidate = FindWindowExW(nullptr, candidate, className, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(candidate, &owner);
    if (owner == processId && IsWindowVisible(candidate)) return candidate;
  }
  return nullptr;
}

RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::wstring WindowCaption(HWND window) {
  std::vector<wchar_t> buffer(256);
  const int length = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::wstring(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

void PostMouseMove(HWND window, int32_t x, int32_t y, WPARAM keys) {
  PostMessageW(window, WM_MOUSEMOVE, keys, ClientLParam(x, y));
}

void PostLeftDown(HWND window, int32_t x, int32_t y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(x, y));
}

void PostLeftUp(HWND window, int32_t x, int32_t y) { PostMessageW(window, WM_LBUTTONUP, 0, ClientLParam(x, y)); }

void PostClick(HWND window, int32_t x, int32_t y) {
  PostLeftDown(window, x, y);
  PostLeftUp(window, x, y);
}

void PostKeyDown(HWND window, UINT virtualKey) {
  const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1u | (scanCode << 16)));
}

void SendLeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof(input));
}

void SendKeys(std::initializer_list<WORD> virtualKeys) {
  std::vector<INPUT> inputs;
  for (const WORD key : virtualKeys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = virtualKeys.end(); key != virtualKeys.begin();) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

ScopedSystemDpi::ScopedSystemDpi(DWORD dpi) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return;
  }
  DWORD type = 0;
  DWORD size = sizeof(previous_);
  hadValue_ = RegQueryValueExW(key, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                  ERROR_SUCCESS &&
              type == REG_DWORD;
  ok_ = RegSetValueExW(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
        ERROR_SUCCESS;
  RegCloseKey(key);
}

ScopedSystemDpi::~ScopedSystemDpi() {
  if (!ok_) return;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  if (hadValue_) {
    RegSetValueExW(key, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_), sizeof(previous_));
  } else {
    RegDeleteValueW(key, kLogPixels);
  }
  RegCloseKey(key);
}

namespace {
// The new value travels in pvParam itself, not behind it.
bool SetClientAreaAnimation(BOOL on) {
  return SystemParametersInfoW(SPI_SETCLIENTAREAANIMATION, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(on)),
                               SPIF_SENDCHANGE) != FALSE;
}
}  // namespace

ScopedClientAreaAnimation::ScopedClientAreaAnimation(bool on) {
  if (SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &previous_, 0) == FALSE) return;
  ok_ = SetClientAreaAnimation(on ? TRUE : FALSE);
}

ScopedClientAreaAnimation::~ScopedClientAreaAnimation() {
  if (ok_) SetClientAreaAnimation(previous_);
}
