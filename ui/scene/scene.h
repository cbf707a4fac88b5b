#pragma once
// The launcher's picture as a draw list, built from scratch for every paint
// from the launch view and the layout. Pure: painting changes nothing.
// Portable.
#include <cstdint>
#include <optional>
#include <string_view>

#include "state/launch_view.h"
#include "ui/scene/draw_list.h"
#include "ui/scene/layout.h"

// The system colours of a high-contrast theme, as opaque 0xFFRRGGBB.
struct ScenePalette {
  uint32_t window = 0, windowText = 0;        // the card and its text
  uint32_t highlight = 0, highlightText = 0;  // what stands out and text on it
  uint32_t grayText = 0;                      // what waits, and the title bar mark
  uint32_t buttonFace = 0, buttonText = 0;    // the action button
  bool operator==(const ScenePalette&) const = default;
};

// The design look's colours (0xAARRGGBB), by what they paint. The header
// card (the picture under its dark shade, the chip, the card's title and
// caption) is the same in every look; the rest follows the theme. Arrays
// indexed by tone are in LaunchTone's order (Working, Waiting, Done, Failed).
struct ButtonLook {
  uint32_t fill, fillHover, border, borderHover, text;
  bool operator==(const ButtonLook&) const = default;
};
struct DesignLook {
  uint32_t windowFill, windowOutline;
  uint32_t badgeFill, badgeOutline, badgeText;
  uint32_t titleText, titleMark;
  // By the button's role: Cancel, Retry, Close, Close after a failure.
  ButtonLook cancel, retry, close, closeFailed;
  uint32_t pressedFill;
  uint32_t panelTitle[4], panelDetail[4];
  uint32_t pillFill, pillOutline, pillText;
  uint32_t railPending, railDone, railCurrent[4];
  uint32_t track, waitingStub, barFailed, barDone, gradientStart, gradientEnd;
  uint32_t chipBorderWorking;
  bool operator==(const DesignLook&) const = default;
};

// The dark look (the default) and the light one.
const DesignLook& DarkLook();
const DesignLook& LightLook();
// A look with a product's accent colours (opaque 0xFFRRGGBB): `accent`
// starts the bar's gradient, fills the current rail segment while the step
// works and rims the chip; `accentEnd` ends the gradient.
DesignLook WithAccents(DesignLook look, std::optional<uint32_t> accent, std::optional<uint32_t> accentEnd);

// Everything a paint reads. The references and views must outlive the call.
struct SceneInput {
  const LaunchView& view;
  std::wstring_view badge, displayTitle;
  bool hasBackground = false, hoverButton = false, pressedButton = false;
  // Null: the design look. Otherwise the high-contrast look, in the same
  // layout with the same texts: only these colours, no picture, no shade,
  // and outlines on the track, the pill and the pending rail segments so
  // the bar shows at every value.
  const ScenePalette* highContrast = nullptr;
  // What the chip's tag, the button's label and the percentage need at the
  // paint's scale, measured by the text path: those boxes grow to it within
  // their limits (GrowToFit). Zero: the standard sizes.
  LabelWidths labelWidths{};
  // The design look; null: the dark one.
  const DesignLook* look = nullptr;
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
// A right-to-left view gets the same scene mirrored (MirrorDrawList).
DrawList PaintScene(const SceneInput& input);

// The scene of a right-to-left window, as one transform of the list: every
// rectangle mirrored (MirrorRect), near-aligned labels far-aligned, each
// gradient running the other way (the bar grows leftward and still ends in
// amber). The picture keeps its content: only its rectangle moves.
DrawList MirrorDrawList(DrawList list);
