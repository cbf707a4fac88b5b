#include "ui/scene/display_settings_win.h"

#include <windows.h>

DisplaySettings ReadDisplaySettings() {
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
  return settings;
}
