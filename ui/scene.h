#pragma once
// The launcher's picture as a draw list, built from scratch for every paint.
// Pure: painting reads the state and changes nothing. Portable.
#include <string_view>

#include "state/launch_state.h"
#include "ui/draw_list.h"

// Everything a paint reads. The views must outlive the call.
struct SceneInput {
  const LaunchState& state;
  std::wstring_view badge, displayTitle, sequenceTitle;
  bool hasBackground = false, hoverButton = false, pressedButton = false;
};

// Font slots of the eight UI fonts (sizes in units, bold unless noted).
enum FontSlot : int {
  kFontBadge = 0,         // 10, badge letters of the title bar
  kFontTitleBar = 1,      // 14, title bar text
  kFontButton = 2,        // 9, action button label
  kFontPanelTitle = 3,    // 11, title line of the progress panel
  kFontPanelDetail = 4,   // 11 regular, detail line of the progress panel
  kFontCardTitle = 5,     // 16, header card title
  kFontCardSmall = 6,     // 8, header chip and header card caption
  kFontPercent = 7,       // 9, percentage pill
};

inline constexpr float kWindowWidth = 392;
inline constexpr float kWindowHeight = 252;

// The whole window: card, title bar, action button, header card, progress
// panel, step rail and progress bar, later commands painting over earlier.
DrawList PaintScene(const SceneInput& input);

// The painters PaintScene calls, each appending its part to `list`.
void PaintActionButton(const SceneInput& input, DrawList& list, int font);
void PaintHeaderCard(const SceneInput& input, DrawList& list, int titleFont, int smallFont);
void PaintProgressPanel(const SceneInput& input, DrawList& list, int titleFont, int detailFont);
void PaintStepRail(const SceneInput& input, DrawList& list);
void PaintProgressBar(const SceneInput& input, DrawList& list);

// Width in units of the bar's filled part: shownProgress clamped to [0, 1]
// times 368, worked out in double precision and then taken as a float. A
// shownProgress that is not a finite number gives 0.
float ProgressBarWidth(const LaunchState& state);
