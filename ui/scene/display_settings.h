#pragma once
// What the system's display settings ask of the window, and the window's
// choice from them. The Windows side reads the settings
// (ReadDisplaySettings, display_settings_win.h) at start-up and after every
// settings or colour change; the choice is portable. Portable.
#include <array>
#include <cstdint>
#include <optional>

#include "ui/scene/scene.h"

// The system's answer.
struct DisplaySettings {
  bool highContrast = false;  // a high-contrast theme is on
  bool animations = true;     // client-area animations are on
  // The system colours as GetSysColor gives them (0x00BBGGRR), in the order
  // window, window text, highlight, highlight text, gray text, button face,
  // button text.
  std::array<uint32_t, 7> systemColors{};
  // The Windows app mode (Personalize\AppsUseLightTheme): light apps.
  bool appsUseLightTheme = false;
};

// The look a product asks for: its theme and its accent colours.
enum class LookTheme { Dark, Light, FollowSystem };
struct LookRequest {
  LookTheme theme = LookTheme::Dark;
  std::optional<uint32_t> accent, accentEnd;  // opaque 0xFFRRGGBB
};

// How the window paints and moves under those settings.
struct DisplayChoice {
  std::optional<ScenePalette> highContrast;  // absent: the design look
  DesignLook look = DarkLook();              // the design look; high contrast overrides it
  bool animateProgress = true;               // false: the bar jumps to its target
};

// High contrast overrides everything; otherwise the requested theme (the
// system's app mode when it follows the system) with the accents.
DisplayChoice ChooseDisplay(const DisplaySettings& settings, const LookRequest& request = {});
