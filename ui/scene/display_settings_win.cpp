#include "ui/scene/display_settings_win.h"

#include <windows.h>

#include "base/win_owners_win.h"

DisplaySettings ReadDisplaySettings(bool appMode) {
  DisplaySettings settings;
  HIGHCONTRASTW highContrast{};
  highContrast.cbSize = sizeof(highContrast);
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(highContrast), &highContrast, 0) != FALSE) {
    settings.highContrast = (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  }
  BOOL animations = TRUE;
  if (SystemParametersInfoW(SPI_GETCLIENTAREAANIMATION, 0, &animations, 0) != FALSE) {
    settings.animations = animations != FALSE;
  }
  const int indices[] = {COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT,
                         COLOR_GRAYTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT};
  for (size_t i = 0; i < settings.systemColors.size(); ++i) {
    settings.systemColors[i] = static_cast<uint32_t>(GetSysColor(indices[i]));
  }
  if (!appMode) return settings;
  // Absent (before Windows 10, or never set): dark, the launcher's own look.
  // advapi32 is not imported (the launcher's imports stay few); it is loaded
  // for this read.
  using RegGetValueFn = LSTATUS(WINAPI*)(HKEY, LPCWSTR, LPCWSTR, DWORD, LPDWORD, PVOID, LPDWORD);
  const UniqueModule advapi = LoadSystemModule(L"advapi32.dll");
  const auto getValue = LookUpFunction<RegGetValueFn>(advapi.get(), "RegGetValueW");
  DWORD light = 0, size = sizeof(light);
  if (getValue != nullptr &&
      getValue(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
               L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) == ERROR_SUCCESS) {
    settings.appsUseLightTheme = light != 0;
  }
  return settings;
}
