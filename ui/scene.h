#pragma once
// The launcher's picture as a draw list, built from scratch for every paint
// from the launch view and the layout. Pure: painting changes nothing.
// Portable.
#include <string_view>

#include "state/launch_view.h"
#include "ui/draw_list.h"

// Everything a paint reads. The references and views must outlive the call.
struct SceneInput {
  const LaunchView& view;
  std::wstring_view badge, displayTitle;
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

// The whole window: card, title bar, action button, header card, progress
// panel, step rail and progress bar, later commands painting over earlier.
DrawList PaintScene(const SceneInput& input);
