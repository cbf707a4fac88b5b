#pragma once
// Pixel arithmetic of the launcher window: scaling of unit lengths, the
// placement in the work area, the action button's hit rectangle and what a
// release of the left button does. Portable; the window procedure calls it.
#include <cstdint>
#include <string_view>

// The window in device-independent units.
inline constexpr int kWindowUnitsWide = 392;
inline constexpr int kWindowUnitsHigh = 252;
// Width and height of the corner ellipse of the window region.
inline constexpr int kCornerUnits = 12;
// The action button: left and top inclusive, right and bottom exclusive.
inline constexpr int kButtonLeftUnits = 322;
inline constexpr int kButtonTopUnits = 11;
inline constexpr int kButtonRightUnits = 380;
inline constexpr int kButtonBottomUnits = 37;

// A unit length in device pixels: units x dpiScale, rounded to the nearest
// integer with halves away from zero (S(11) at 1.5 is 17).
int32_t ScaleUnits(int32_t units, float dpiScale);

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// Where the window goes: S(392) x S(252) centred in the work area, the
// halving a signed division truncating toward zero, never left of or above
// the work area's corner when the work area is smaller than the window.
PixelRect CenterInWorkArea(const PixelRect& workArea, float dpiScale);

// The round-rect region: (0, 0) to (S(392) + 1, S(252) + 1) with a corner
// ellipse of S(12) x S(12).
struct RegionShape {
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t corner = 0;
};
RegionShape WindowRegionShape(float dpiScale);

// Whether the client point (device pixels) lies on the action button.
bool IsOnActionButton(float dpiScale, int32_t x, int32_t y);

// A client point packed into a mouse message's lParam: low and high words,
// each a signed 16-bit value (negative left of or above the client area).
struct ClientPoint {
  int32_t x = 0;
  int32_t y = 0;
};
ClientPoint ClientPointFromLParam(intptr_t lParam);

// The dpi carried in the high word of WM_DPICHANGED's wParam, as a scale
// (0 counts as 96, never below 1.0).
float DpiScaleFromDpiChange(uintptr_t wParam);

// What a release of the left button does. Only the press state and the
// release point decide: a press on the button that wandered off and came
// back still acts; a release off the button never does.
enum class ReleaseAction {
  None,    // just repaint the button unpressed
  Retry,   // the button reads Retry: back to the first step
  Close,   // the button reads Cancel or Close: destroy the window
};
ReleaseAction DecideReleaseAction(bool pressedButton, bool releasedOnButton, std::wstring_view stepKey);
