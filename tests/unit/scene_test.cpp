#include "ui/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "state/launch_transitions.h"
#include "ui/layout.h"

namespace {

constexpr uint32_t kPending = 0x14FFFFFF;
constexpr uint32_t kComplete = 0x752DD4BF;
constexpr uint32_t kCurrent = 0xFF7DD3FC;
constexpr uint32_t kRed = 0xFFF87171;

LaunchState Preview(std::wstring_view word) {
  LaunchState state;
  ApplyPreviewState(state, word);
  return state;
}

DrawList Paint(const LaunchState& state, bool background = true, bool hover = false, bool pressed = false) {
  const LaunchView view = DescribeLaunch(state, L"Runtime sequence");
  return PaintScene(SceneInput{view, L"TW", L"Tarrow Preview", background, hover, pressed});
}

template <typename T>
std::vector<T> All(const DrawList& list) {
  std::vector<T> out;
  for (const DrawCommand& c : list)
    if (const T* t = std::get_if<T>(&c)) out.push_back(*t);
  return out;
}

// The first command of kind T whose rect is `rect`; fails the test when none.
template <typename T>
T At(const DrawList& list, SceneRect rect) {
  for (const T& t : All<T>(list))
    if (t.rect == rect) return t;
  ADD_FAILURE() << "no command at " << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
  return T{};
}

constexpr SceneRect kButton{322, 11, 58, 26};
constexpr SceneRect kButtonOutline{322.5f, 11.5f, 57, 25};
constexpr SceneRect kChip{27, 53, 70, 18};
constexpr SceneRect kChipOutline{27.5f, 53.5f, 69, 17};
constexpr SceneRect kCaption{26, 118, 336, 16};
constexpr SceneRect kPanelTitle{12, 145, 318, 22};
constexpr SceneRect kPill{338, 146, 42, 20};
constexpr SceneRect kDetail{12, 195, 368, 22};
constexpr SceneRect kTrack{12, 236, 368, 4};
constexpr SceneRect kHeader{12, 43, 368, 96};

enum class Bar { Stub, Gradient, Green, Red };

struct StateCase {
  const char* name;
  std::wstring word;
  uint32_t chipFill, chipBorder, chipText;
  std::wstring tag, caption;
  std::wstring buttonLabel;
  uint32_t buttonFill, buttonBorder, buttonText;
  std::wstring title;
  uint32_t titleColor;
  std::wstring detail;
  uint32_t detailColor;
  std::wstring percent;
  uint32_t rail[5];
  Bar bar;
  float barWidth;
};

constexpr uint32_t kChipWork[] = {0xA80C1214, 0x572DD4BF, 0xFFBFFBF4};

const StateCase kStates[] = {
    {"Link", L"LINK", kChipWork[0], kChipWork[1], kChipWork[2], L"CONNECT", L"Preparing secure handoff", L"Cancel",
     0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Connecting", 0xFFCBD5E1, L"Opening connection", 0xFFCBD5E1, L"WAIT",
     {0x7594A3B8, kPending, kPending, kPending, kPending}, Bar::Stub, 96},
    {"Manifest", L"MANIFEST", kChipWork[0], kChipWork[1], kChipWork[2], L"PACKAGE", L"Runtime package selected",
     L"Cancel", 0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Reading package", 0xFFDFE5ED, L"Reading package metadata",
     0xFFA8B3C2, L"18%", {kComplete, kCurrent, kPending, kPending, kPending}, Bar::Gradient, 66.24f},
    {"Verify", L"VERIFY", kChipWork[0], kChipWork[1], kChipWork[2], L"VERIFY", L"Trust checks in progress", L"Cancel",
     0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Verifying package", 0xFFDFE5ED, L"Verifying package", 0xFFA8B3C2, L"30%",
     {kComplete, kComplete, kCurrent, kPending, kPending}, Bar::Gradient, 110.4f},
    {"Scan", L"SCAN", kChipWork[0], kChipWork[1], kChipWork[2], L"INSPECT", L"Local runtime inspection", L"Cancel",
     0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Checking runtime", 0xFFDFE5ED, L"Checking local runtime", 0xFFA8B3C2,
     L"42%", {kComplete, kComplete, kCurrent, kPending, kPending}, Bar::Gradient, 154.56f},
    {"Download", L"DOWNLOAD", kChipWork[0], kChipWork[1], kChipWork[2], L"TRANSFER", L"Runtime update in progress",
     L"Cancel", 0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Downloading runtime", 0xFFDFE5ED, L"Receiving changes",
     0xFFA8B3C2, L"62%", {kComplete, kComplete, kComplete, kCurrent, kPending}, Bar::Gradient, 228.16f},
    {"Apply", L"APPLY", kChipWork[0], kChipWork[1], kChipWork[2], L"APPLY", L"Runtime update in progress", L"Cancel",
     0x1AF87171, 0x3DF87171, 0xFFFFD8D8, L"Applying update", 0xFFDFE5ED, L"Applying update", 0xFFA8B3C2, L"80%",
     {kComplete, kComplete, kComplete, kCurrent, kPending}, Bar::Gradient, 294.4f},
    {"Launch", L"LAUNCH", kChipWork[0], kChipWork[1], kChipWork[2], L"LAUNCH", L"Application handoff", L"Close",
     0x177DD3FC, 0x387DD3FC, 0xFFD9F6FF, L"Starting app", 0xFFDFE5ED, L"Opening workspace", 0xFFA8B3C2, L"94%",
     {kComplete, kComplete, kComplete, kComplete, kCurrent}, Bar::Gradient, 345.92f},
    {"Ready", L"READY", 0xA8102D23, 0x6B34D399, 0xFFD8FFF0, L"READY", L"Workspace opening", L"Close", 0x177DD3FC,
     0x387DD3FC, 0xFFD9F6FF, L"Opening workspace", 0xFFA7F3D0,
     L"Application handoff complete; closing automatically", 0xFFA7F3D0, L"100%",
     {kComplete, kComplete, kComplete, kComplete, kComplete}, Bar::Green, 368},
    {"Error", L"ERROR", 0xA8431818, 0x70F87171, 0xFFFFE2E2, L"ERROR", L"Attention required", L"Retry", 0x24F59E0B,
     0x61F59E0B, 0xFFFFF3D6, L"Update failed", 0xFFFCA5A5, L"Check network or package", 0xFFFCA5A5, L"38%",
     {kRed, kPending, kPending, kPending, kPending}, Bar::Red, 139.84f},
    {"Stop", L"STOP", 0xA8431818, 0x70F87171, 0xFFFFE2E2, L"STOPPED", L"Launch stopped", L"Close", 0x24F87171,
     0x5CF87171, 0xFFFFE2E2, L"Launch cancelled", 0xFFFCA5A5, L"Cancelled by user", 0xFFFCA5A5, L"28%",
     {kRed, kPending, kPending, kPending, kPending}, Bar::Red, 103.04f},
};

class PreviewSceneTest : public testing::TestWithParam<StateCase> {};

TEST_P(PreviewSceneTest, HeaderChipAndCaption) {
  const StateCase& c = GetParam();
  const DrawList list = Paint(Preview(c.word));
  EXPECT_EQ(At<FillCommand>(list, kChip), (FillCommand{kChip, 6, c.chipFill}));
  EXPECT_EQ(At<StrokeCommand>(list, kChipOutline), (StrokeCommand{kChipOutline, 6, c.chipBorder, 1}));
  EXPECT_EQ(At<LabelCommand>(list, kChip), (LabelCommand{c.tag, kFontCardSmall, c.chipText, kChip, TextAlign::Center}));
  EXPECT_EQ(At<LabelCommand>(list, kCaption),
            (LabelCommand{c.caption, kFontCardSmall, 0xFFB7C1CF, kCaption, TextAlign::Near}));
}

TEST_P(PreviewSceneTest, ActionButton) {
  const StateCase& c = GetParam();
  const DrawList list = Paint(Preview(c.word));
  EXPECT_EQ(At<FillCommand>(list, kButton), (FillCommand{kButton, 5, c.buttonFill}));
  EXPECT_EQ(At<StrokeCommand>(list, kButtonOutline), (StrokeCommand{kButtonOutline, 5, c.buttonBorder, 1}));
  EXPECT_EQ(At<LabelCommand>(list, kButton),
            (LabelCommand{c.buttonLabel, kFontButton, c.buttonText, kButton, TextAlign::Center}));
}

TEST_P(PreviewSceneTest, ProgressPanel) {
  const StateCase& c = GetParam();
  const DrawList list = Paint(Preview(c.word));
  EXPECT_EQ(At<LabelCommand>(list, kPanelTitle),
            (LabelCommand{c.title, kFontPanelTitle, c.titleColor, kPanelTitle, TextAlign::Near}));
  EXPECT_EQ(At<LabelCommand>(list, kDetail),
            (LabelCommand{c.detail, kFontPanelDetail, c.detailColor, kDetail, TextAlign::Near}));
  EXPECT_EQ(At<LabelCommand>(list, kPill),
            (LabelCommand{c.percent, kFontPercent, 0xFFD9F6FF, kPill, TextAlign::Center}));
  EXPECT_EQ(At<FillCommand>(list, kPill), (FillCommand{kPill, 4, 0x1A7DD3FC}));
}

TEST_P(PreviewSceneTest, StepRail) {
  const StateCase& c = GetParam();
  const DrawList list = Paint(Preview(c.word));
  const float starts[] = {12, 86.4f, 160.8f, 235.2f, 309.6f};
  for (int i = 0; i < 5; ++i) {
    const FillCommand segment = At<FillCommand>(list, {starts[i], 172, 70.4f, 5});
    EXPECT_EQ(segment.radius, 2);
    EXPECT_EQ(segment.color, c.rail[i]) << "segment " << i;
  }
}

TEST_P(PreviewSceneTest, ProgressBarIsTheLastPart) {
  const StateCase& c = GetParam();
  const DrawList list = Paint(Preview(c.word));
  ASSERT_GE(list.size(), 2u);
  // The track, then exactly one fill on top of it, closing the list.
  EXPECT_EQ(std::get<FillCommand>(list[list.size() - 2]), (FillCommand{kTrack, 3, 0x14FFFFFF}));
  const SceneRect filled{12, 236, c.barWidth, 4};
  switch (c.bar) {
    case Bar::Stub:
      EXPECT_EQ(std::get<FillCommand>(list.back()), (FillCommand{filled, 3, 0xFF94A3B8}));
      break;
    case Bar::Green:
      EXPECT_EQ(std::get<FillCommand>(list.back()), (FillCommand{filled, 3, 0xFF34D399}));
      break;
    case Bar::Red:
      EXPECT_EQ(std::get<FillCommand>(list.back()), (FillCommand{filled, 3, kRed}));
      break;
    case Bar::Gradient:
      EXPECT_EQ(std::get<GradientCommand>(list.back()),
                (GradientCommand{filled, 3, filled, GradientMode::Horizontal, 0xFF2DD4BF, 0xFFF59E0B,
                                 GradientWrap::Tile}));
      break;
  }
}

// Every outline is the previous shape's rectangle inset by half a unit, with
// a 1-unit pen, so the lines fall on whole pixels at scale 1.
TEST_P(PreviewSceneTest, OutlinesAreInsetByHalfAUnit) {
  for (bool background : {false, true}) {
    const DrawList list = Paint(Preview(GetParam().word), background);
    int outlines = 0;
    for (size_t i = 1; i < list.size(); ++i) {
      const auto* stroke = std::get_if<StrokeCommand>(&list[i]);
      if (stroke == nullptr) continue;
      ++outlines;
      const DrawCommand& shape = list[i - 1];
      const SceneRect under = std::holds_alternative<FillCommand>(shape) ? std::get<FillCommand>(shape).rect
                                                                         : std::get<GradientCommand>(shape).rect;
      EXPECT_EQ(stroke->rect, (SceneRect{under.x + 0.5f, under.y + 0.5f, under.width - 1, under.height - 1}));
      EXPECT_EQ(stroke->penWidth, 1);
    }
    EXPECT_EQ(outlines, 6);
  }
}

INSTANTIATE_TEST_SUITE_P(States, PreviewSceneTest, testing::ValuesIn(kStates),
                         [](const testing::TestParamInfo<StateCase>& param) { return param.param.name; });

// The fixed part of the scene, in paint order, for the DOWNLOAD preview.
TEST(SceneOrderTest, ComposesTheWindowInOrder) {
  const DrawList list = Paint(Preview(L"DOWNLOAD"));
  const std::vector<DrawCommand> expected = {
      FillCommand{{0, 0, 392, 252}, 12, 0xFF101113},
      StrokeCommand{{0.5f, 0.5f, 391, 251}, 12, 0x18FFFFFF, 1},
      FillCommand{{12, 10, 28, 28}, 6, 0x1E2DD4BF},
      StrokeCommand{{12.5f, 10.5f, 27, 27}, 6, 0x422DD4BF, 1},
      LabelCommand{L"TW", kFontBadge, 0xFFE9FFFA, {12, 10, 28, 28}, TextAlign::Center},
      LabelCommand{L"Tarrow Preview", kFontTitleBar, 0xFFF8FAFC, {47, 10, 232, 25}, TextAlign::Near},
      FillCommand{{296, 22, 22, 4}, 2, 0x2AFFFFFF},
      FillCommand{kButton, 5, 0x1AF87171},
      StrokeCommand{kButtonOutline, 5, 0x3DF87171, 1},
      LabelCommand{L"Cancel", kFontButton, 0xFFFFD8D8, kButton, TextAlign::Center},
      ImageCommand{kHeader},
      GradientCommand{kHeader, 8, kHeader, GradientMode::ForwardDiagonal, 0xAA080A0C, 0x60080A0C, GradientWrap::Tile},
      StrokeCommand{{12.5f, 43.5f, 367, 95}, 8, 0x16FFFFFF, 1},
      FillCommand{kChip, 6, 0xA80C1214},
      StrokeCommand{kChipOutline, 6, 0x572DD4BF, 1},
      LabelCommand{L"TRANSFER", kFontCardSmall, 0xFFBFFBF4, kChip, TextAlign::Center},
      LabelCommand{L"Tarrow Preview", kFontCardTitle, 0xFFF8FAFC, {26, 94, 336, 22}, TextAlign::Near},
      LabelCommand{L"Runtime update in progress", kFontCardSmall, 0xFFB7C1CF, kCaption, TextAlign::Near},
      LabelCommand{L"Downloading runtime", kFontPanelTitle, 0xFFDFE5ED, kPanelTitle, TextAlign::Near},
      FillCommand{kPill, 4, 0x1A7DD3FC},
      StrokeCommand{{338.5f, 146.5f, 41, 19}, 4, 0x387DD3FC, 1},
      LabelCommand{L"62%", kFontPercent, 0xFFD9F6FF, kPill, TextAlign::Center},
      LabelCommand{L"Receiving changes", kFontPanelDetail, 0xFFA8B3C2, kDetail, TextAlign::Near},
  };
  ASSERT_EQ(list.size(), expected.size() + 5 + 2);  // five rail segments, track, fill
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(list[i], expected[i]) << "command " << i;
  for (size_t i = 0; i < 5; ++i) EXPECT_TRUE(std::holds_alternative<FillCommand>(list[expected.size() + i]));
}

TEST(SceneOrderTest, WithoutPictureTheCardIsPlainUnderTheSameShade) {
  const DrawList list = Paint(Preview(L"DOWNLOAD"), false);
  EXPECT_TRUE(All<ImageCommand>(list).empty());
  const auto card = std::find(list.begin(), list.end(), DrawCommand{FillCommand{kHeader, 8, 0xFF121417}});
  ASSERT_NE(card, list.end());
  EXPECT_TRUE(std::holds_alternative<GradientCommand>(*(card + 1)));
}

TEST(SceneOrderTest, RailEndsAtTheRightEdgeWithEqualGaps) {
  const std::vector<FillCommand> fills = All<FillCommand>(Paint(Preview(L"APPLY")));
  std::vector<SceneRect> rail;
  for (const FillCommand& f : fills)
    if (f.rect.y == 172) rail.push_back(f.rect);
  ASSERT_EQ(rail.size(), 5u);
  EXPECT_NEAR(rail.back().x + rail.back().width, 380, 1e-4);
  for (size_t i = 1; i < rail.size(); ++i) EXPECT_NEAR(rail[i].x - (rail[i - 1].x + rail[i - 1].width), 4, 1e-4);
}

struct ButtonCase {
  const char* name;
  std::wstring step;
  bool hover, pressed;
  uint32_t fill, border;
};

class ButtonLookTest : public testing::TestWithParam<ButtonCase> {};

TEST_P(ButtonLookTest, FollowsHoverAndPress) {
  const ButtonCase& c = GetParam();
  const DrawList list = Paint(Preview(c.step), true, c.hover, c.pressed);
  EXPECT_EQ(At<FillCommand>(list, kButton).color, c.fill);
  EXPECT_EQ(At<StrokeCommand>(list, kButtonOutline).color, c.border);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ButtonLookTest,
    testing::Values(ButtonCase{"ErrorHover", L"ERROR", true, false, 0x38F59E0B, 0x84F59E0B},
                    ButtonCase{"ErrorPressed", L"ERROR", false, true, 0x4EFFFFFF, 0x61F59E0B},
                    ButtonCase{"ErrorHoverPressed", L"ERROR", true, true, 0x4EFFFFFF, 0x84F59E0B},
                    ButtonCase{"StopHover", L"STOP", true, false, 0x2EF87171, 0x84F87171},
                    ButtonCase{"ReadyHover", L"READY", true, false, 0x247DD3FC, 0x577DD3FC},
                    ButtonCase{"LaunchHover", L"LAUNCH", true, false, 0x247DD3FC, 0x577DD3FC},
                    ButtonCase{"CancelHoverUnchanged", L"DOWNLOAD", true, false, 0x1AF87171, 0x3DF87171},
                    ButtonCase{"CancelPressed", L"LINK", true, true, 0x4EFFFFFF, 0x3DF87171}),
    [](const testing::TestParamInfo<ButtonCase>& param) { return param.param.name; });

LaunchState Working(std::optional<double> progress, double shown) {
  LaunchState state;
  state.stepKey = L"DOWNLOAD";
  state.railKey = L"DOWNLOAD";
  state.progress = progress;
  state.shownProgress = shown;
  return state;
}

struct BarCase {
  const char* name;
  double shown;
  std::wstring percent;
  float width;  // 0: no fill drawn over the track
};

class ProgressBarTest : public testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarTest, WidthAndPercentFollowShownProgress) {
  const BarCase& c = GetParam();
  const LaunchState state = Working(1.0, c.shown);
  const DrawList list = Paint(state);
  EXPECT_EQ(At<LabelCommand>(list, kPill).text, c.percent);
  if (c.width == 0) {
    EXPECT_EQ(std::get<FillCommand>(list.back()).rect, kTrack);
  } else {
    const auto& bar = std::get<GradientCommand>(list.back());
    EXPECT_EQ(bar.rect, (SceneRect{12, 236, c.width, 4}));
    EXPECT_EQ(bar.gradientRect, bar.rect) << "the gradient spans the filled part only";
    EXPECT_EQ(bar.radius, 3) << "narrow bars keep their radius";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ProgressBarTest,
    testing::Values(BarCase{"Zero", 0.0, L"0%", 0}, BarCase{"Negative", -0.5, L"0%", 0},
                    BarCase{"Narrow", 0.01, L"1%", 3.68f}, BarCase{"AlmostFull", 0.996, L"100%", 366.528f},
                    BarCase{"Half", 0.5, L"50%", 184}, BarCase{"HalfPercentRoundsUp", 0.125, L"13%", 46},
                    BarCase{"AboveOne", 1.5, L"100%", 368},
                    BarCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), L"0%", 0},
                    BarCase{"Infinite", std::numeric_limits<double>::infinity(), L"0%", 0},
                    BarCase{"Tiny", 1e-300, L"0%", 0}),
    [](const testing::TestParamInfo<BarCase>& param) { return param.param.name; });

TEST(ProgressBarTest, WaitingStubDoesNotMoveWithShownProgress) {
  const DrawList list = Paint(Working(std::nullopt, 0.7));
  EXPECT_EQ(std::get<FillCommand>(list.back()), (FillCommand{{12, 236, 96, 4}, 3, 0xFF94A3B8}));
  EXPECT_EQ(At<LabelCommand>(list, kPill).text, L"WAIT");
}

TEST(StepRailTest, ErrorShowsOnTheLastRailStepReached) {
  LaunchState state = Working(0.5, 0.5);
  state.stepKey = L"ERROR";
  const DrawList list = Paint(state);
  EXPECT_EQ(At<FillCommand>(list, {12, 172, 70.4f, 5}).color, kComplete);
  EXPECT_EQ(At<FillCommand>(list, {235.2f, 172, 70.4f, 5}).color, kRed);
  EXPECT_EQ(At<FillCommand>(list, {309.6f, 172, 70.4f, 5}).color, kPending);
}

TEST(StepRailTest, UnlistedRailKeyMakesTheFirstSegmentCurrent) {
  LaunchState state = Working(0.5, 0.5);
  state.stepKey = L"STEP2";
  state.railKey = L"STEP2";
  const DrawList list = Paint(state);
  EXPECT_EQ(At<FillCommand>(list, {12, 172, 70.4f, 5}).color, kCurrent);
  EXPECT_EQ(At<FillCommand>(list, {86.4f, 172, 70.4f, 5}).color, kPending);
  EXPECT_EQ(At<LabelCommand>(list, kChip).text, L"PREPARE");
  EXPECT_EQ(At<LabelCommand>(list, kCaption).text, L"Runtime sequence") << "the profile's sequence title";
}

TEST(ProgressPanelTest, StallHintHidesTheDetailOnlyOnceDue) {
  LaunchState state = Working(0.62, 0.62);
  state.detailText = L"12.4 MB / 20.0 MB";
  state.settledTicks = 89;
  EXPECT_EQ(At<LabelCommand>(Paint(state), kDetail).text, L"12.4 MB / 20.0 MB");
  state.settledTicks = 90;
  EXPECT_EQ(At<LabelCommand>(Paint(state), kDetail).text, L"Receiving changes");
  state.settledTicks = 0;
  state.detailText.clear();
  EXPECT_EQ(At<LabelCommand>(Paint(state), kDetail).text, L"Receiving runtime changes");
}

TEST(ProgressPanelTest, LaunchTurnsDoneAtTheTargetNotTheShownProgress) {
  LaunchState state = Preview(L"LAUNCH");
  state.progress = 0.999;
  const DrawList list = Paint(state);
  EXPECT_EQ(At<LabelCommand>(list, kPanelTitle).color, 0xFFA7F3D0u);
  EXPECT_EQ(At<FillCommand>(list, kChip).color, 0xA8102D23u);
  EXPECT_EQ(std::get<FillCommand>(list.back()).color, 0xFF34D399u);
  EXPECT_EQ(At<LabelCommand>(list, kPill).text, L"94%");
}

TEST(SceneLayoutTest, EverythingStaysInsideTheWindow) {
  for (const StateCase& c : kStates) {
    for (const DrawCommand& command : Paint(Preview(c.word))) {
      const SceneRect r = std::visit([](const auto& x) { return x.rect; }, command);
      EXPECT_GE(r.x, 0);
      EXPECT_GE(r.y, 0);
      EXPECT_LE(r.x + r.width, kWindowUnitsWide + 1e-4f);
      EXPECT_LE(r.y + r.height, kWindowUnitsHigh + 1e-4f);
    }
  }
}

}  // namespace

// The high-contrast look, with seven distinct colours so each can be told apart.
constexpr ScenePalette kPalette{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006, 0xFF000007};

DrawList PaintHighContrast(const LaunchState& state, bool hover = false, bool pressed = false) {
  const LaunchView view = DescribeLaunch(state, L"Runtime sequence");
  return PaintScene(SceneInput{view, L"TW", L"Tarrow Preview", true, hover, pressed, &kPalette});
}

std::vector<uint32_t> ColoursOf(const DrawCommand& command) {
  if (const auto* g = std::get_if<GradientCommand>(&command)) return {g->startColor, g->endColor};
  if (std::holds_alternative<ImageCommand>(command)) return {0};
  return {std::visit([](const auto& c) -> uint32_t {
    if constexpr (requires { c.color; }) return c.color;
    return 0;
  }, command)};
}

std::vector<std::wstring> Texts(const DrawList& list) {
  std::vector<std::wstring> texts;
  for (const LabelCommand& label : All<LabelCommand>(list)) texts.push_back(label.text);
  return texts;
}

constexpr SceneRect kTrackOutline{12.5f, 236.5f, 367, 3};

TEST_P(PreviewSceneTest, HighContrastUsesOnlyThePaletteAndOutlinesTheBar) {
  const LaunchState state = Preview(GetParam().word);
  const DrawList list = PaintHighContrast(state);
  const uint32_t allowed[] = {kPalette.window,   kPalette.windowText, kPalette.highlight, kPalette.highlightText,
                              kPalette.grayText, kPalette.buttonFace, kPalette.buttonText};
  for (const DrawCommand& command : list) {
    EXPECT_FALSE(std::holds_alternative<ImageCommand>(command)) << "no picture";
    EXPECT_FALSE(std::holds_alternative<GradientCommand>(command)) << "no shade, no gradient bar";
    for (uint32_t colour : ColoursOf(command)) {
      EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), colour), std::end(allowed)) << std::hex << colour;
    }
  }
  EXPECT_EQ(Texts(list), Texts(Paint(state))) << "the same texts in the same order";
  EXPECT_EQ(std::get<StrokeCommand>(list.back()), (StrokeCommand{kTrackOutline, 3, kPalette.windowText, 1}))
      << "the track's outline lies over the fill";
  EXPECT_EQ(At<StrokeCommand>(list, {338.5f, 146.5f, 41, 19}).color, kPalette.windowText) << "pill";
  const float starts[] = {12, 86.4f, 160.8f, 235.2f, 309.6f};
  for (int i = DescribeLaunch(state, L"").railIndex + 1; i < 5; ++i) {
    EXPECT_EQ(At<StrokeCommand>(list, {starts[i] + 0.5f, 172.5f, 69.4f, 4}).color, kPalette.windowText)
        << "pending segment " << i;
  }
}

// Error and done differ from a working step by the chip's border and fill,
// not only by colour.
TEST(HighContrastSceneTest, ErrorAndDoneShowOnTheChipsShape) {
  const auto chipOf = [](std::wstring_view word) {
    const DrawList list = PaintHighContrast(Preview(word));
    for (size_t i = 0; i + 1 < list.size(); ++i) {
      const auto* fill = std::get_if<FillCommand>(&list[i]);
      if (fill != nullptr && fill->rect == kChip) return std::pair{*fill, std::get<StrokeCommand>(list[i + 1])};
    }
    ADD_FAILURE() << "no chip";
    return std::pair<FillCommand, StrokeCommand>{};
  };
  EXPECT_EQ(chipOf(L"DOWNLOAD").first.color, kPalette.window);
  EXPECT_EQ(chipOf(L"DOWNLOAD").second, (StrokeCommand{kChipOutline, 6, kPalette.windowText, 1}));
  for (const wchar_t* failed : {L"ERROR", L"STOP"}) {
    EXPECT_EQ(chipOf(failed).second, (StrokeCommand{{28, 54, 68, 16}, 6, kPalette.windowText, 2})) << "2-unit border";
  }
  EXPECT_EQ(chipOf(L"READY").first.color, kPalette.highlight) << "a filled chip";
}

TEST(HighContrastSceneTest, ButtonFollowsHoverAndPressInSystemColours) {
  const LaunchState state = Preview(L"ERROR");
  EXPECT_EQ(At<FillCommand>(PaintHighContrast(state), kButton).color, kPalette.buttonFace);
  EXPECT_EQ(At<FillCommand>(PaintHighContrast(state, true), kButton).color, kPalette.highlight);
  EXPECT_EQ(At<LabelCommand>(PaintHighContrast(state, true), kButton).color, kPalette.highlightText);
  EXPECT_EQ(At<FillCommand>(PaintHighContrast(state, true, true), kButton).color, kPalette.buttonText);
  EXPECT_EQ(At<LabelCommand>(PaintHighContrast(state, true, true), kButton).color, kPalette.buttonFace);
}
