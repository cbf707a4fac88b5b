#include "ui/launcher_app_win.h"

#include <utility>

#include "base/system_library_win.h"
#include "state/titles.h"
#include "ui/assets_win.h"
#include "ui/display_settings_win.h"
#include "ui/fonts_win.h"
#include "ui/layout.h"

void MakeProcessDpiAware() {
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  const auto setContext = LookUpLoadedFunction<SetContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext");
  if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4))) != FALSE) return;
  SetProcessDPIAware();
}

namespace {

// The system DPI: GetDpiForSystem where user32 has it (looked up at run
// time), else the screen's LOGPIXELSX, else 96.
unsigned MeasureSystemDpi() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  if (const auto getDpi = LookUpLoadedFunction<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem")) return getDpi();
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

}  // namespace

LauncherApp::LauncherApp(HINSTANCE instanceHandle, std::wstring startupText) : instance(instanceHandle) {
  AppIdentity identity = DeriveAppIdentity(std::move(startupText));
  title = std::move(identity.title);
  profile = std::move(identity.profile);
  displayTitle = std::move(identity.displayTitle);
  dpiScale = DpiScaleFor(MeasureSystemDpi());
  // The fonts first, then the picture's decode on its own thread. Under Wine
  // the first font loads the system's font list and the first decode the
  // imaging components, both through many calls to the one server process:
  // started together they took about 400 ms each on a machine with many
  // fonts, one after the other about 260 ms and 45 ms (the decode then
  // overlaps the window's creation).
  CreateFonts(fonts);
  assetLoad.Start(profile);
  display = ChooseDisplay(ReadDisplaySettings());
}
