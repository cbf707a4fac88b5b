#include "ui/shell/window_manners.h"

#include <algorithm>

namespace {

int64_t OverlapArea(const PixelRect& a, const PixelRect& b) {
  const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

bool Contains(const PixelRect& r, const PixelPoint& p) {
  return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

}  // namespace

std::optional<size_t> ChooseStartMonitor(const std::vector<MonitorArea>& monitors,
                                         const std::optional<PixelRect>& foregroundWindow,
                                         const std::optional<PixelPoint>& cursor) {
  if (monitors.empty()) return std::nullopt;
  if (foregroundWindow.has_value()) {
    std::optional<size_t> best;
    int64_t bestArea = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
      const int64_t area = OverlapArea(monitors[i].monitor, *foregroundWindow);
      if (area > bestArea) {
        best = i;
        bestArea = area;
      }
    }
    if (best.has_value()) return best;
  }
  if (cursor.has_value()) {
    for (size_t i = 0; i < monitors.size(); ++i) {
      if (Contains(monitors[i].monitor, *cursor)) return i;
    }
  }
  for (size_t i = 0; i < monitors.size(); ++i) {
    if (monitors[i].primary) return i;
  }
  return 0;
}

ShowMode ChooseShowMode(std::optional<int32_t> userNotificationState) {
  constexpr int32_t kBusy = 2, kRunningD3dFullScreen = 3, kPresentationMode = 4;
  switch (userNotificationState.value_or(0)) {
    case kBusy:
    case kRunningD3dFullScreen:
    case kPresentationMode:
      return ShowMode{false, false};
    default:
      return ShowMode{true, true};
  }
}

std::wstring CopyTextOf(const LaunchView& view, std::wstring_view displayTitle) {
  std::wstring text(displayTitle);
  for (const std::wstring* line : {&view.title, &view.percent, &view.detail}) {
    text += L"\r\n";
    text += *line;
  }
  return text;
}

Attention AttentionFor(const LaunchView* previous, const LaunchView& next) {
  const bool neededBefore = previous != nullptr && previous->button == StepButton::Retry;
  const bool needed = next.button == StepButton::Retry;
  if (needed == neededBefore) return Attention::Keep;
  return needed ? Attention::Ask : Attention::Stop;
}
