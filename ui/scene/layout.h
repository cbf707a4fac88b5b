#pragma once
// The one layout of the launcher window, in device-independent units of the
// 392 x 252 window, and its pixel arithmetic: scaling of unit lengths, the
// placement in the work area, the region and the action button's hit
// rectangle. The scene paints these
// rectangles and the window tests its pointer against the same ones.
// Portable; the window procedure calls it.
#include <cstdint>

#include "ui/scene/draw_list.h"

inline constexpr int kWindowUnitsWide = 392;
inline constexpr int kWindowUnitsHigh = 252;
// Radius of the window card, and width and height of the region's corner ellipse.
inline constexpr int kCornerUnits = 12;

namespace layout {
// The card and its title bar with the action button; the button's hit
// rectangle includes left and top, excludes right and bottom.
inline constexpr SceneRect kWindowCard{0, 0, kWindowUnitsWide, kWindowUnitsHigh};
inline constexpr SceneRect kBadgeTile{12, 10, 28, 28};
inline constexpr SceneRect kTitleBarText{47, 10, 232, 25};
inline constexpr SceneRect kTitleBarMark{296, 22, 22, 4};
inline constexpr SceneRect kButton{322, 11, 58, 26};

// The header card: picture, chip, title and caption.
inline constexpr float kHeaderRadius = 8;
inline constexpr SceneRect kHeaderCard{12, 43, 368, 96};
inline constexpr SceneRect kChip{27, 53, 70, 18};
inline constexpr SceneRect kCardTitle{26, 94, 336, 22};
inline constexpr SceneRect kCardCaption{26, 118, 336, 16};

// The progress panel: title line, percentage pill, detail line and the
// bar's track, which shows a grey stub of kWaitingStubWidth without a target.
inline constexpr float kWaitingStubWidth = 96;
inline constexpr SceneRect kPanelTitle{12, 145, 318, 22};
inline constexpr SceneRect kPill{338, 146, 42, 20};
inline constexpr SceneRect kPanelDetail{12, 195, 368, 22};
inline constexpr SceneRect kTrack{12, 236, 368, 4};

// The rail's five segments; segment i starts at kRailLeft + i * kRailPitch.
inline constexpr int kRailSegments = 5;
inline constexpr double kRailLeft = 12;
inline constexpr double kRailPitch = 74.4;
inline constexpr float kRailTop = 172;
inline constexpr float kRailSegmentWidth = 70.4f;
inline constexpr float kRailSegmentHeight = 5;

// The chip, the action button and the percentage pill grow to fit their
// label, with kGrowthSlack units beyond the width it needs (the label keeps
// some air on either side), up to these limits. The chip keeps its left
// edge (nothing else stands on its row); the button keeps its right edge
// and moves the title bar's mark and the end of the title bar text left by
// as much; the pill keeps its right edge and the panel title gives way by
// as much. English labels fit the standard sizes with that slack to spare,
// so the English window never changes. A translation too long for a limit
// is shortened, not the limit raised (text-fitting finds it).
inline constexpr float kGrowthSlack = 8;
inline constexpr float kChipMaxWidth = 120;
inline constexpr float kButtonMaxWidth = 84;
inline constexpr float kPillMaxWidth = 60;
}  // namespace layout

// The widths in units the chip's tag, the button's label and the percentage
// need at the paint's scale (0: no more than the standard sizes).
struct LabelWidths {
  float tag = 0, button = 0, percent = 0;
};

// The rectangles that follow the labels' widths; the rest of the layout is fixed.
struct GrownRects {
  SceneRect chip, button, titleBarText, titleBarMark, pill, panelTitle;
};
GrownRects GrowToFit(const LabelWidths& needed);

// The rectangle's mirror image across the window's vertical centre line:
// x becomes 392 - x - width. A right-to-left window places everything so.
SceneRect MirrorRect(const SceneRect& rect);

// The rectangle where a window in the given direction places it.
inline SceneRect Placed(const SceneRect& rect, bool rightToLeft) { return rightToLeft ? MirrorRect(rect) : rect; }

// System DPI to the paint scale: 0 counts as 96; never below 1.0.
float DpiScaleFor(unsigned dpi);

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

// Whether the client point (device pixels) lies on the action button (as
// painted, grown or not), at its mirrored place in a right-to-left window.
bool IsOnActionButton(float dpiScale, int32_t x, int32_t y, bool rightToLeft = false,
                      const SceneRect& button = layout::kButton);

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

