#include "ui/shell/window_manners.h"

#include <gtest/gtest.h>

namespace {

// A 1920 x 1080 primary monitor with a taskbar below, a 1280 x 1024 one to its
// right, and one above the primary, at negative coordinates.
const std::vector<MonitorArea> kMonitors = {
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true},
    {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false},
    {{0, -900, 1600, 0}, {0, -900, 1600, -40}, false},
};

TEST(ChooseStartMonitorTest, ForegroundWindowThenCursorThenPrimary) {
  const struct {
    std::optional<PixelRect> foreground;
    std::optional<PixelPoint> cursor;
    std::optional<size_t> chosen;
  } cases[] = {
      {PixelRect{2000, 100, 2600, 500}, PixelPoint{10, 10}, 1},  // the foreground beats the cursor
      {PixelRect{1800, 0, 2100, 400}, std::nullopt, 1},          // straddling: the larger part
      {PixelRect{1700, 0, 2000, 400}, std::nullopt, 0},
      {PixelRect{100, -300, 500, 100}, std::nullopt, 2},         // above the primary
      {PixelRect{-5000, 0, -4000, 500}, PixelPoint{2500, 10}, 1},  // off every monitor: the cursor
      {PixelRect{0, 0, 0, 0}, PixelPoint{10, -1}, 2},            // an empty rectangle counts as none
      {std::nullopt, PixelPoint{1920, 0}, 1},                    // left edge inclusive
      {std::nullopt, PixelPoint{1600, -1}, 0},                   // right edge exclusive: the primary
      {std::nullopt, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseStartMonitor(kMonitors, c.foreground, c.cursor), c.chosen)
        << (c.cursor ? c.cursor->x : -1) << "," << (c.cursor ? c.cursor->y : -1);
  }
  const std::vector<MonitorArea> noPrimary(kMonitors.begin() + 1, kMonitors.end());
  EXPECT_EQ(ChooseStartMonitor({kMonitors[1], kMonitors[0]}, std::nullopt, std::nullopt), 1u);
  EXPECT_EQ(ChooseStartMonitor(noPrimary, std::nullopt, std::nullopt), 0u);
  EXPECT_EQ(ChooseStartMonitor({}, PixelRect{0, 0, 10, 10}, PixelPoint{1, 1}), std::nullopt);
}

// QUNS_NOT_PRESENT 1 .. QUNS_APP 7; 0, 8 and a failed call are unknown.
TEST(ChooseShowModeTest, OnlyABusyFullScreenOrAPresentationKeepsTheWindowQuiet) {
  const ShowMode usual{true, true}, quiet{false, false};
  const ShowMode expected[] = {usual, usual, quiet, quiet, quiet, usual, usual, usual, usual};
  for (int32_t state = 0; state <= 8; ++state) EXPECT_EQ(ChooseShowMode(state), expected[state]) << state;
  EXPECT_EQ(ChooseShowMode(std::nullopt), usual);
}

// The error state needs the user: entering it asks, the first view too;
// leaving it stops the flash.
TEST(AttentionTest, AskedOnEnteringTheErrorStateAndStoppedOnLeavingIt) {
  LaunchView cancel, retry, close;
  retry.button = StepButton::Retry;
  close.button = StepButton::Close;
  const struct {
    const LaunchView* previous;
    const LaunchView& next;
    Attention expected;
  } cases[] = {
      {&cancel, retry, Attention::Ask},  {&close, retry, Attention::Ask},   {nullptr, retry, Attention::Ask},
      {&retry, retry, Attention::Keep},  // still failed: a new detail line
      {&retry, cancel, Attention::Stop}, {&retry, close, Attention::Stop},
      {&cancel, close, Attention::Keep},  {nullptr, cancel, Attention::Keep},
  };
  for (const auto& c : cases) EXPECT_EQ(AttentionFor(c.previous, c.next), c.expected) << (&c - cases);
}

}  // namespace
