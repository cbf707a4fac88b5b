#include "app/run_launcher.h"

#include "app/command_line_win.h"
#include "app/gdiplus_api.h"
#include "app/startup_options.h"

namespace {

// Per-monitor awareness v2 where the system has it, else the old system-wide
// awareness. Looked up at run time so the program still starts on systems
// without SetProcessDpiAwarenessContext.
void MakeDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  FARPROC proc = user32 != nullptr ? GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
  if (proc != nullptr) {
    auto setContext = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(proc));
    if (setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))) != FALSE) return;
  }
  SetProcessDPIAware();
}

// GDI+ for the whole run; shut down when the scope ends, after everything
// that holds GDI+ objects has been destroyed.
class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

}  // namespace

int RunLauncher(HINSTANCE instance) {
  (void)instance;
  MakeDpiAware();
  GdiplusSession gdiplus;
  if (!gdiplus.ok()) return 1;
  const StartupOptions options = ParseCommandLine(ReadCommandLineWords());
  (void)options;
  return 0;
}
