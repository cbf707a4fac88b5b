#pragma once
// Reads the system's high-contrast and animation settings and its colours.
#include "ui/scene/display_settings.h"

// SPI_GETHIGHCONTRAST, SPI_GETCLIENTAREAANIMATION and GetSysColor. A setting
// that cannot be read counts as the default: no high contrast, animations on.
DisplaySettings ReadDisplaySettings();
