#pragma once
// Reads the system's high-contrast and animation settings and its colours.
#include "ui/scene/display_settings.h"

// SPI_GETHIGHCONTRAST, SPI_GETCLIENTAREAANIMATION and GetSysColor, and with
// `appMode` (a look that follows the system asks for it) the Windows app
// mode. A setting that cannot be read counts as the default: no high
// contrast, animations on, dark apps.
DisplaySettings ReadDisplaySettings(bool appMode = false);
