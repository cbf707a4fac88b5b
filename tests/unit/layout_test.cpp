#include "ui/layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ScaleCase {
  const char* name;
  int32_t units;
  float scale;
  int32_t pixels;
};

class ScaleUnitsTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleUnitsTest, RoundsHalvesAwayFromZero) {
  const ScaleCase& c = GetParam();
  EXPECT_EQ(ScaleUnits(c.units, c.scale), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ScaleUnitsTest,
    ::testing::Values(ScaleCase{"Width96", 392, 1.0f, 392}, ScaleCase{"Width144", 392, 1.5f, 588},
                      ScaleCase{"Height144", 252, 1.5f, 378}, ScaleCase{"ButtonTopHalfUp", 11, 1.5f, 17},
                      ScaleCase{"ButtonBottom144", 37, 1.5f, 56}, ScaleCase{"ButtonLeft144", 322, 1.5f, 483},
                      ScaleCase{"ButtonRight144", 380, 1.5f, 570}, ScaleCase{"Width120", 392, 1.25f, 490},
                      ScaleCase{"ButtonLeft120Half", 322, 1.25f, 403}, ScaleCase{"Corner120Half", 12, 1.125f, 14},
                      ScaleCase{"NegativeHalfAway", -11, 1.5f, -17}, ScaleCase{"Width192", 392, 2.0f, 784}),
    [](const ::testing::TestParamInfo<ScaleCase>& p) { return std::string(p.param.name); });

struct PlacementCase {
  const char* name;
  PixelRect work;
  float scale;
  PixelRect expected;
};

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, CentresInTheWorkArea) {
  const PlacementCase& c = GetParam();
  const PixelRect r = CenterInWorkArea(c.work, c.scale);
  EXPECT_EQ(r.left, c.expected.left);
  EXPECT_EQ(r.top, c.expected.top);
  EXPECT_EQ(r.right, c.expected.right);
  EXPECT_EQ(r.bottom, c.expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    WorkAreas, PlacementTest,
    ::testing::Values(
        PlacementCase{"Screen1280x800", {0, 0, 1280, 800}, 1.0f, {444, 274, 836, 526}},
        // An odd remainder is truncated: (1281 - 392) / 2 = 444.
        PlacementCase{"OddRemainder", {0, 0, 1281, 801}, 1.0f, {444, 274, 836, 526}},
        PlacementCase{"OffsetWorkArea", {100, 40, 1380, 840}, 1.0f, {544, 314, 936, 566}},
        PlacementCase{"NegativeOrigin", {-1920, -200, 0, 880}, 1.0f, {-1156, 214, -764, 466}},
        PlacementCase{"Scaled144", {0, 0, 1920, 1080}, 1.5f, {666, 351, 1254, 729}},
        // Smaller than the window: pinned to the work area's corner, never beyond.
        PlacementCase{"TooSmall", {10, 20, 310, 220}, 1.0f, {10, 20, 402, 272}},
        PlacementCase{"TooNarrowOnly", {0, 0, 391, 800}, 1.0f, {0, 274, 392, 526}}),
    [](const ::testing::TestParamInfo<PlacementCase>& p) { return std::string(p.param.name); });

TEST(WindowRegionShapeTest, FollowsTheScale) {
  const RegionShape at96 = WindowRegionShape(1.0f);
  EXPECT_EQ(at96.right, 393);
  EXPECT_EQ(at96.bottom, 253);
  EXPECT_EQ(at96.corner, 12);
  const RegionShape at144 = WindowRegionShape(1.5f);
  EXPECT_EQ(at144.right, 589);
  EXPECT_EQ(at144.bottom, 379);
  EXPECT_EQ(at144.corner, 18);
}

struct HitCase {
  const char* name;
  float scale;
  int32_t x;
  int32_t y;
  bool on;
};

class ActionButtonHitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(ActionButtonHitTest, LeftTopInclusiveRightBottomExclusive) {
  const HitCase& c = GetParam();
  EXPECT_EQ(IsOnActionButton(c.scale, c.x, c.y), c.on);
}

INSTANTIATE_TEST_SUITE_P(
    Points, ActionButtonHitTest,
    ::testing::Values(HitCase{"TopLeft96", 1.0f, 322, 11, true}, HitCase{"BottomRight96", 1.0f, 379, 36, true},
                      HitCase{"LeftOf96", 1.0f, 321, 20, false}, HitCase{"RightEdge96", 1.0f, 380, 20, false},
                      HitCase{"Above96", 1.0f, 350, 10, false}, HitCase{"BottomEdge96", 1.0f, 350, 37, false},
                      HitCase{"TopLeft144", 1.5f, 483, 17, true}, HitCase{"BottomRight144", 1.5f, 569, 55, true},
                      HitCase{"LeftOf144", 1.5f, 482, 30, false}, HitCase{"RightEdge144", 1.5f, 570, 30, false},
                      HitCase{"HalfRoundedTop144", 1.5f, 500, 16, false},
                      HitCase{"BottomEdge144", 1.5f, 500, 56, false},
                      HitCase{"NegativeClient", 1.0f, -330, -20, false}),
    [](const ::testing::TestParamInfo<HitCase>& p) { return std::string(p.param.name); });

TEST(ClientPointTest, WordsAreSigned16Bit) {
  EXPECT_EQ(ClientPointFromLParam(0x00250140).x, 0x140);
  EXPECT_EQ(ClientPointFromLParam(0x00250140).y, 0x25);
  // Captured pointer left of and above the client area.
  const ClientPoint negative = ClientPointFromLParam(static_cast<intptr_t>(0xFFF6FFFBu));
  EXPECT_EQ(negative.x, -5);
  EXPECT_EQ(negative.y, -10);
  // Bits above the low 32 do not leak into y.
  const auto wide = static_cast<intptr_t>((uint64_t{1} << 32) | (uint64_t{0x7FFF} << 16) | 0x10u);
  EXPECT_EQ(ClientPointFromLParam(wide).y, 0x7FFF);
}

TEST(DpiChangeTest, HighWordIsTheDpi) {
  EXPECT_FLOAT_EQ(DpiScaleFromDpiChange((144u << 16) | 144u), 1.5f);
  EXPECT_FLOAT_EQ(DpiScaleFromDpiChange((120u << 16) | 120u), 1.25f);
  EXPECT_FLOAT_EQ(DpiScaleFromDpiChange(0x0000FFFFu), 1.0f);  // high word 0 counts as 96
  EXPECT_FLOAT_EQ(DpiScaleFromDpiChange(72u << 16), 1.0f);    // never below 1.0
}

struct ReleaseCase {
  const char* name;
  bool pressed;
  bool onButton;
  StepButton button;
  ReleaseAction action;
};

class ReleaseActionTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseActionTest, PressStateAndReleasePointDecide) {
  const ReleaseCase& c = GetParam();
  EXPECT_EQ(DecideReleaseAction(c.pressed, c.onButton, c.button), c.action);
}

INSTANTIATE_TEST_SUITE_P(
    Releases, ReleaseActionTest,
    ::testing::Values(ReleaseCase{"ErrorRetries", true, true, StepButton::Retry, ReleaseAction::Retry},
                      ReleaseCase{"WorkingStepCancels", true, true, StepButton::Cancel, ReleaseAction::Close},
                      ReleaseCase{"StopCloses", true, true, StepButton::Close, ReleaseAction::Close},
                      ReleaseCase{"LaunchCloses", true, true, StepButton::Close, ReleaseAction::Close},
                      ReleaseCase{"ReleasedOutside", true, false, StepButton::Cancel, ReleaseAction::None},
                      ReleaseCase{"ReleasedOutsideInError", true, false, StepButton::Retry, ReleaseAction::None},
                      ReleaseCase{"DragEndingOnButton", false, true, StepButton::Cancel, ReleaseAction::None}),
    [](const ::testing::TestParamInfo<ReleaseCase>& p) { return std::string(p.param.name); });

}  // namespace
