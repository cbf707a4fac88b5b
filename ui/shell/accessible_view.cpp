#include "ui/shell/accessible_view.h"

#include <cmath>

namespace {

// The progress bar's value: the percentage text as painted, or nothing while
// the bar waits without a target (never "0%" and never "WAIT").
std::wstring ProgressValue(const LaunchView& view) { return view.hasTarget ? view.percent : std::wstring(); }

SceneRect ChildBounds(int32_t child) {
  switch (child) {
    case kAccessibleProgress:
      return layout::kTrack;
    case kAccessibleStatus:
      return layout::kPanelDetail;
    case kAccessibleButton:
      return layout::kButton;
    default:
      return layout::kWindowCard;
  }
}

int32_t ScaleEdge(float units, float dpiScale) {
  return ScaleUnits(static_cast<int32_t>(std::lround(units)), dpiScale);
}

}  // namespace

AccessibleItem DescribeAccessible(const LaunchView& view, std::wstring_view displayTitle, int32_t child) {
  AccessibleItem item;
  item.bounds = Placed(ChildBounds(child), view.rightToLeft);
  switch (child) {
    case kAccessibleProgress:
      item.role = AccessibleRole::ProgressBar;
      item.name = view.title;
      item.value = ProgressValue(view);
      item.busy = !view.hasTarget;
      break;
    case kAccessibleStatus:
      item.role = AccessibleRole::StaticText;
      item.name = view.detail;
      break;
    case kAccessibleButton:
      item.role = AccessibleRole::PushButton;
      item.name = view.buttonLabel;
      item.defaultAction = view.buttonAction;
      item.focusable = true;
      break;
    default:
      item.role = AccessibleRole::Dialog;
      item.name = displayTitle;
      break;
  }
  return item;
}

PixelRect AccessibleChildPixels(int32_t child, float dpiScale, bool rightToLeft, const SceneRect& button) {
  const SceneRect bounds = Placed(child == kAccessibleButton ? button : ChildBounds(child), rightToLeft);
  return PixelRect{ScaleEdge(bounds.x, dpiScale), ScaleEdge(bounds.y, dpiScale),
                   ScaleEdge(bounds.x + bounds.width, dpiScale), ScaleEdge(bounds.y + bounds.height, dpiScale)};
}

int32_t AccessibleChildAt(float dpiScale, int32_t x, int32_t y, bool rightToLeft, const SceneRect& button) {
  for (int32_t child = 1; child <= kAccessibleChildCount; ++child) {
    const PixelRect rect = AccessibleChildPixels(child, dpiScale, rightToLeft, button);
    if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) return child;
  }
  return kAccessibleSelf;
}

std::vector<AccessibleEvent> AccessibleEventsFor(const LaunchView* previous, const LaunchView& next) {
  std::vector<AccessibleEvent> events;
  if (previous == nullptr) return events;
  if (ProgressValue(*previous) != ProgressValue(next)) {
    events.push_back({AccessibleEventKind::ValueChange, kAccessibleProgress});
  }
  if (previous->title != next.title) events.push_back({AccessibleEventKind::NameChange, kAccessibleProgress});
  if (previous->detail != next.detail) events.push_back({AccessibleEventKind::NameChange, kAccessibleStatus});
  if (previous->buttonLabel != next.buttonLabel) {
    events.push_back({AccessibleEventKind::NameChange, kAccessibleButton});
  }
  if (previous->button != StepButton::Retry && next.button == StepButton::Retry) {
    events.push_back({AccessibleEventKind::Focus, kAccessibleButton});
  }
  return events;
}
