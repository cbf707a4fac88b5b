#include "ui/scene/display_settings.h"

namespace {

// 0x00BBGGRR to opaque 0xFFRRGGBB.
uint32_t ArgbFromColorRef(uint32_t colorRef) {
  const uint32_t red = colorRef & 0xFFu, green = (colorRef >> 8) & 0xFFu, blue = (colorRef >> 16) & 0xFFu;
  return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

}  // namespace

DisplayChoice ChooseDisplay(const DisplaySettings& settings, const LookRequest& request) {
  DisplayChoice choice;
  const bool light = request.theme == LookTheme::Light ||
                     (request.theme == LookTheme::FollowSystem && settings.appsUseLightTheme);
  choice.look = WithAccents(light ? LightLook() : DarkLook(), request.accent, request.accentEnd);
  choice.animateProgress = settings.animations;
  if (settings.highContrast) {
    const auto& c = settings.systemColors;
    choice.highContrast = ScenePalette{ArgbFromColorRef(c[0]), ArgbFromColorRef(c[1]), ArgbFromColorRef(c[2]),
                                       ArgbFromColorRef(c[3]), ArgbFromColorRef(c[4]), ArgbFromColorRef(c[5]),
                                       ArgbFromColorRef(c[6])};
  }
  return choice;
}
