#include "ui/scene/layout.h"

#include <algorithm>
#include <cmath>


SceneRect MirrorRect(const SceneRect& rect) {
  return SceneRect{static_cast<float>(kWindowUnitsWide) - rect.x - rect.width, rect.y, rect.width, rect.height};
}

float DpiScaleFor(unsigned dpi) {
  if (dpi == 0) dpi = 96;
  return std::max(static_cast<float>(dpi / 96.0), 1.0f);
}

int32_t ScaleUnits(int32_t units, float dpiScale) {
  // std::round rounds halves away from zero; the product is exact in double
  // for every scale a float can hold and every window length.
  return static_cast<int32_t>(std::round(static_cast<double>(units) * static_cast<double>(dpiScale)));
}

PixelRect CenterInWorkArea(const PixelRect& workArea, float dpiScale) {
  const int32_t width = ScaleUnits(kWindowUnitsWide, dpiScale);
  const int32_t height = ScaleUnits(kWindowUnitsHigh, dpiScale);
  // Built-in integer division truncates toward zero, as the placement rule
  // wants for an odd negative difference.
  const int32_t x = workArea.left + std::max((workArea.right - workArea.left - width) / 2, 0);
  const int32_t y = workArea.top + std::max((workArea.bottom - workArea.top - height) / 2, 0);
  return PixelRect{x, y, x + width, y + height};
}

RegionShape WindowRegionShape(float dpiScale) {
  return RegionShape{ScaleUnits(kWindowUnitsWide, dpiScale) + 1, ScaleUnits(kWindowUnitsHigh, dpiScale) + 1,
                     ScaleUnits(kCornerUnits, dpiScale)};
}

GrownRects GrowToFit(const LabelWidths& needed) {
  using namespace layout;
  const auto growth = [](float need, float standard, float limit) {
    return std::clamp(std::ceil(need) + kGrowthSlack, standard, limit) - standard;
  };
  GrownRects r{kChip, kButton, kTitleBarText, kTitleBarMark, kPill, kPanelTitle};
  r.chip.width += growth(needed.tag, kChip.width, kChipMaxWidth);
  const float button = growth(needed.button, kButton.width, kButtonMaxWidth);
  r.button.x -= button;
  r.button.width += button;
  r.titleBarMark.x -= button;
  r.titleBarText.width -= button;
  const float pill = growth(needed.percent, kPill.width, kPillMaxWidth);
  r.pill.x -= pill;
  r.pill.width += pill;
  r.panelTitle.width -= pill;
  return r;
}

bool IsOnActionButton(float dpiScale, int32_t x, int32_t y, bool rightToLeft, const SceneRect& button) {
  const SceneRect b = Placed(button, rightToLeft);
  const auto px = [dpiScale](float units) { return ScaleUnits(static_cast<int32_t>(units), dpiScale); };
  return px(b.x) <= x && x < px(b.x + b.width) && px(b.y) <= y && y < px(b.y + b.height);
}

ClientPoint ClientPointFromLParam(intptr_t lParam) {
  const auto bits = static_cast<uintptr_t>(lParam);
  const auto low = static_cast<int16_t>(static_cast<uint16_t>(bits & 0xFFFFu));
  const auto high = static_cast<int16_t>(static_cast<uint16_t>((bits >> 16) & 0xFFFFu));
  return ClientPoint{low, high};
}

float DpiScaleFromDpiChange(uintptr_t wParam) {
  return DpiScaleFor(static_cast<unsigned>((wParam >> 16) & 0xFFFFu));
}


