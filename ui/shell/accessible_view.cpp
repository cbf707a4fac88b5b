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
    case kAccessibleLive:  // the panel: title line to detail line
      return SceneRect{layout::kPanelTitle.x, layout::kPanelTitle.y, layout::kPanelDetail.width,
                       layout::kPanelDetail.y + layout::kPanelDetail.height - layout::kPanelTitle.y};
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
    case kAccessibleLive:
      item.role = AccessibleRole::StaticText;
      item.name = LiveText(view);
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

namespace {

int Decade(double fraction) { return static_cast<int>(std::lround(fraction * 100.0)) / 10; }

}  // namespace

std::wstring LiveText(const LaunchView& view) {
  std::wstring text = view.title;
  if (view.tone == LaunchTone::Working) text.append(L", ").append(view.percent);
  return text.append(L", ").append(view.detail);
}

LiveAnnouncement LiveAnnouncementFor(LiveRegionMemory& memory, const LaunchView& view) {
  const bool first = !memory.noted;
  const bool newStep = memory.tag != view.tag || memory.title != view.title || memory.tone != view.tone;
  // A step is announced with the ten it heads for; a ten is announced once
  // the bar has settled on it, not while it eases through tens on its way.
  int decade = memory.decade;
  bool newTen = false;
  if (!view.hasTarget) {
    decade = -1;
  } else if (newStep || first) {
    decade = Decade(view.targetFraction);
  } else if (std::fabs(view.targetFraction - view.shownFraction) < 0.002) {
    newTen = Decade(view.shownFraction) > memory.decade;
    decade = Decade(view.shownFraction);
  }
  memory = LiveRegionMemory{true, view.tag, view.title, view.tone, decade};
  if (first || (!newStep && !newTen)) return LiveAnnouncement::None;
  return newStep && view.tone == LaunchTone::Failed ? LiveAnnouncement::Assertive : LiveAnnouncement::Polite;
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
