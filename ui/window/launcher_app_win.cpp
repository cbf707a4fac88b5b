#include "ui/window/launcher_app_win.h"

#include <utility>

#include "base/system_library_win.h"
#include "state/titles.h"
#include "ui/paint/assets_win.h"
#include "ui/scene/display_settings_win.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/layout.h"

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

LauncherApp::LauncherApp(HINSTANCE instanceHandle, std::wstring startupText,
                         const std::optional<EmbeddedBrand>& brand)
    : instance(instanceHandle) {
  AppIdentity identity = DeriveAppIdentity(std::move(startupText));
  launch.title = std::move(identity.title);
  launch.profile = std::move(identity.profile);
  launch.displayTitle = std::move(identity.displayTitle);
  if (brand) {
    // The title is the words given, else the brand's name (the caller's
    // start-up text); no built-in product's name replaces it.
    launch.profile = brand->profile;
    launch.displayTitle = launch.title.empty() ? brand->brand.name : launch.title;
    const LookTheme themes[] = {LookTheme::Dark, LookTheme::Light, LookTheme::FollowSystem};
    lookRequest = LookRequest{themes[static_cast<size_t>(brand->brand.theme)], brand->brand.accent,
                              brand->brand.accentEnd};
  }
  dpiScale = DpiScaleFor(MeasureSystemDpi());
  // The picture's decode on its own thread first: the first device context
  // the fonts make loads the display driver (under Wine about as long as the
  // window's creation), and the decode overlaps that and the window's
  // creation.
  assetLoad.Start(launch.profile, layout::kHeaderCard, dpiScale);
  CreateFonts(paint.fonts);
  display = ChooseDisplay(ReadDisplaySettings(lookRequest.theme == LookTheme::FollowSystem), lookRequest);
}
