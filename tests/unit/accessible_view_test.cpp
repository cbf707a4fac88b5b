#include "ui/shell/accessible_view.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "state/launch_transitions.h"

namespace {

// Failed: the bar keeps its value and the button, reading Retry, takes the
// focus (roles, the busy wait and the texts are read from outside by the
// end-to-end tests).
TEST(AccessibleViewTest, FailedKeepsTheValueAndTheButtonTakesTheFocus) {
  LaunchState state;
  ApplyPreviewState(state, L"ERROR");
  const LaunchView failed = DescribeLaunch(state, L"Sequence", English());
  EXPECT_EQ(DescribeAccessible(failed, L"Q", kAccessibleProgress).value, L"38%");
  const AccessibleItem button = DescribeAccessible(failed, L"Q", kAccessibleButton);
  EXPECT_EQ(std::tie(button.name, button.focusable), std::make_tuple(L"Retry", true));
}

// The children hit-test where they are painted, right to left mirrored
// (accLocation is read from outside by the end-to-end tests).
TEST(AccessibleViewTest, ChildrenHitTestWhereTheyArePainted) {
  EXPECT_EQ(AccessibleChildAt(1.5f, 483, 17), kAccessibleButton);
  EXPECT_EQ(AccessibleChildAt(1.5f, 570, 30), kAccessibleSelf);
  EXPECT_EQ(AccessibleChildAt(1.0f, 20, 200), kAccessibleStatus);
  EXPECT_EQ(AccessibleChildAt(1.0f, 379, 239), kAccessibleProgress);
  EXPECT_EQ(AccessibleChildAt(1.0f, 20, 20, true), kAccessibleButton);
  EXPECT_EQ(AccessibleChildPixels(kAccessibleButton, 1.5f, true).left, 18);
}

LaunchView ViewOf(const wchar_t* step, std::optional<double> progress, double shown, const wchar_t* detail = L"") {
  LaunchState state;
  state.stepKey = step;
  state.progress = progress;
  state.shownProgress = shown;
  state.detailText = detail;
  return DescribeLaunch(state, L"Sequence", English());
}

constexpr AccessibleEvent kValue{AccessibleEventKind::ValueChange, kAccessibleProgress};
constexpr AccessibleEvent kTitle{AccessibleEventKind::NameChange, kAccessibleProgress};
constexpr AccessibleEvent kDetail{AccessibleEventKind::NameChange, kAccessibleStatus};
constexpr AccessibleEvent kLabel{AccessibleEventKind::NameChange, kAccessibleButton};
constexpr AccessibleEvent kFocus{AccessibleEventKind::Focus, kAccessibleButton};

struct EventCase {
  const char* name;
  LaunchView previous;
  LaunchView next;
  std::vector<AccessibleEvent> events;
};

TEST(AccessibleEventsTest, EachVisibleChangeRaisesItsEvents) {
  const EventCase cases[] = {
      {"Unchanged", ViewOf(L"DOWNLOAD", 0.5, 0.5), ViewOf(L"DOWNLOAD", 0.5, 0.5), {}},
      // An animation tick that does not change the whole percentage raises nothing.
      {"TickWithinOnePercent", ViewOf(L"DOWNLOAD", 0.9, 0.621), ViewOf(L"DOWNLOAD", 0.9, 0.623), {}},
      {"PercentTicksUp", ViewOf(L"DOWNLOAD", 0.9, 0.62), ViewOf(L"DOWNLOAD", 0.9, 0.63), {kValue}},
      {"TargetArrives", ViewOf(L"DOWNLOAD", std::nullopt, 0), ViewOf(L"DOWNLOAD", 0.42, 0.42), {kValue}},
      // Waiting on another step: the value stays empty.
      {"WaitingMovesOn", ViewOf(L"LINK", std::nullopt, 0), ViewOf(L"SCAN", std::nullopt, 0), {kTitle, kDetail}},
      {"DetailOnly", ViewOf(L"DOWNLOAD", 0.5, 0.5, L"a"), ViewOf(L"DOWNLOAD", 0.5, 0.5, L"b"), {kDetail}},
      {"EntersError", ViewOf(L"DOWNLOAD", 0.38, 0.38), ViewOf(L"ERROR", 0.38, 0.38, L"Disk full"),
       {kTitle, kDetail, kLabel, kFocus}},
      {"ErrorAgain", ViewOf(L"ERROR", 0.38, 0.38, L"a"), ViewOf(L"ERROR", 0.38, 0.38, L"b"), {kDetail}},
      {"Retried", ViewOf(L"ERROR", 0.38, 0.38), ViewOf(L"LINK", std::nullopt, 0, L"Retry requested"),
       {kValue, kTitle, kDetail, kLabel}},
      {"Stopped", ViewOf(L"DOWNLOAD", 0.28, 0.28), ViewOf(L"STOP", 0.28, 0.28), {kTitle, kDetail, kLabel}},
  };
  for (const EventCase& c : cases) {
    EXPECT_EQ(AccessibleEventsFor(&c.previous, c.next), c.events) << c.name;
  }
  // The first view of a window announces nothing.
  EXPECT_TRUE(AccessibleEventsFor(nullptr, ViewOf(L"ERROR", 0.38, 0.38)).empty());
}

}  // namespace

// A screen reader that looks elsewhere hears each step, the error and the
// end once, and the bar by tens once it has settled in a new one.
TEST(LiveRegionTest, AnnouncesStepsTheErrorAndTheEndOnceAndTheBarByTens) {
  LaunchState s;
  LiveRegionMemory memory;
  const auto heard = [&] { return LiveAnnouncementFor(memory, DescribeLaunch(s, L"x", English())); };
  const auto ease = [&](int ticks) {
    for (int i = 0; i < ticks; ++i) AnimateProgress(s);
  };
  using A = LiveAnnouncement;
  EXPECT_EQ(heard(), A::None);  // the first view is only noted
  SetStep(s, 0.05, L"VERIFY", L"a");
  EXPECT_EQ(heard(), A::Polite);
  EXPECT_EQ(heard(), A::None);  // asked again: nothing new
  for (const double p : {0.06, 0.07, 0.08, 0.09}) {
    SetStep(s, p, L"VERIFY", L"a");
    ease(60);
    EXPECT_EQ(heard(), A::None) << p;
  }
  SetStep(s, 0.34, L"VERIFY", L"b");
  ease(3);  // through 10 and 20 on its way
  EXPECT_EQ(heard(), A::None);
  ease(60);
  EXPECT_EQ(heard(), A::Polite);
  SetStep(s, 0.36, L"VERIFY", L"c");
  ease(60);
  EXPECT_EQ(heard(), A::None);
  SetStep(s, 0.2, L"DOWNLOAD", L"d");
  EXPECT_EQ(heard(), A::Polite);
  ease(60);
  EXPECT_EQ(heard(), A::None);
  SetStep(s, 0.0, L"ERROR", L"Disk full");
  EXPECT_EQ(heard(), A::Assertive);
  EXPECT_EQ(LiveText(DescribeLaunch(s, L"x", English())), L"Update failed, Disk full");
  SetStep(s, 1.0, L"LAUNCH", TextId::DetailDone);
  EXPECT_EQ(heard(), A::Polite);
  EXPECT_EQ(heard(), A::None);
}
