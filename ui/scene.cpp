#include "ui/scene.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "state/display_text.h"
#include "state/step_texts.h"
#include "state/step_vocabulary.h"

namespace {

void Fill(DrawList& list, SceneRect rect, float radius, uint32_t color) {
  list.emplace_back(FillCommand{rect, radius, color});
}

// A 1-unit outline of `rect`: the pen runs on the rectangle inset by half a
// unit, so at scale 1 the line covers exactly the outer ring of pixels.
void Outline(DrawList& list, SceneRect rect, float radius, uint32_t color) {
  const SceneRect inset{rect.x + 0.5f, rect.y + 0.5f, rect.width - 1, rect.height - 1};
  list.emplace_back(StrokeCommand{inset, radius, color, 1});
}

void Label(DrawList& list, std::wstring text, int font, uint32_t color, SceneRect rect, TextAlign align) {
  list.emplace_back(LabelCommand{std::move(text), font, color, rect, align});
}

bool IsDone(const LaunchState& state) { return StepStatus(state) == L"done"; }

constexpr SceneRect kWindowCard{0, 0, kWindowWidth, kWindowHeight};
constexpr SceneRect kBadgeTile{12, 10, 28, 28};
constexpr SceneRect kTitleBarText{47, 10, 232, 25};
constexpr SceneRect kTitleBarMark{296, 22, 22, 4};
constexpr SceneRect kButton{322, 11, 58, 26};
constexpr SceneRect kHeaderCard{12, 43, 368, 96};
constexpr SceneRect kChip{27, 53, 70, 18};
constexpr SceneRect kCardTitle{26, 94, 336, 22};
constexpr SceneRect kCardCaption{26, 118, 336, 16};
constexpr SceneRect kPanelTitle{12, 145, 318, 22};
constexpr SceneRect kPill{338, 146, 42, 20};
constexpr SceneRect kPanelDetail{12, 195, 368, 22};
constexpr SceneRect kTrack{12, 236, 368, 4};
constexpr double kRailLeft = 12;
constexpr double kRailPitch = 74.4;
constexpr float kRailTop = 172;
constexpr float kRailSegmentWidth = 70.4f;
constexpr float kRailSegmentHeight = 5;
constexpr float kWaitingStubWidth = 96;

struct ChipColors {
  uint32_t fill, border, text;
};

ChipColors ChipColorsFor(const LaunchState& state) {
  if (IsErrorOrStop(state.stepKey)) return {0xA8431818, 0x70F87171, 0xFFFFE2E2};
  if (IsDone(state)) return {0xA8102D23, 0x6B34D399, 0xFFD8FFF0};
  return {0xA80C1214, 0x572DD4BF, 0xFFBFFBF4};
}

struct ButtonLook {
  uint32_t fill, fillHover, border, borderHover, text;
};

ButtonLook ButtonLookFor(std::wstring_view stepKey) {
  if (stepKey == L"ERROR") return {0x24F59E0B, 0x38F59E0B, 0x61F59E0B, 0x84F59E0B, 0xFFFFF3D6};
  if (stepKey == L"STOP") return {0x24F87171, 0x2EF87171, 0x5CF87171, 0x84F87171, 0xFFFFE2E2};
  if (stepKey == L"READY" || stepKey == L"LAUNCH") return {0x177DD3FC, 0x247DD3FC, 0x387DD3FC, 0x577DD3FC, 0xFFD9F6FF};
  // Cancel looks the same under the pointer; only the cursor shows it is live.
  return {0x1AF87171, 0x1AF87171, 0x3DF87171, 0x3DF87171, 0xFFFFD8D8};
}

struct PanelColors {
  uint32_t title, detail;
};

PanelColors PanelColorsFor(const LaunchState& state) {
  if (IsErrorOrStop(state.stepKey)) return {0xFFFCA5A5, 0xFFFCA5A5};
  if (IsDone(state)) return {0xFFA7F3D0, 0xFFA7F3D0};
  if (!state.progress.has_value()) return {0xFFCBD5E1, 0xFFCBD5E1};
  return {0xFFDFE5ED, 0xFFA8B3C2};
}

// The current segment shows how the step is doing; the error colour follows
// stepKey while the position follows railKey.
uint32_t CurrentSegmentColor(const LaunchState& state) {
  if (IsErrorOrStop(state.stepKey)) return 0xFFF87171;
  if (!state.progress.has_value()) return 0x7594A3B8;
  if (IsDone(state)) return 0x752DD4BF;
  return 0xFF7DD3FC;
}

}  // namespace

float ProgressBarWidth(const LaunchState& state) {
  double fraction = state.shownProgress;
  if (!std::isfinite(fraction)) fraction = 0.0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  return static_cast<float>(fraction * 368.0);
}

void PaintActionButton(const SceneInput& input, DrawList& list, int font) {
  const ButtonLook look = ButtonLookFor(input.state.stepKey);
  uint32_t fill = input.hoverButton ? look.fillHover : look.fill;
  const uint32_t border = input.hoverButton ? look.borderHover : look.border;
  if (input.pressedButton) fill = 0x4EFFFFFF;
  Fill(list, kButton, 5, fill);
  Outline(list, kButton, 5, border);
  Label(list, ActionButtonLabel(input.state.stepKey), font, look.text, kButton, TextAlign::Center);
}

void PaintHeaderCard(const SceneInput& input, DrawList& list, int titleFont, int smallFont) {
  if (input.hasBackground) {
    // Scaled to the card, aspect ratio not kept, corners not clipped.
    list.emplace_back(ImageCommand{kHeaderCard});
  } else {
    Fill(list, kHeaderCard, 8, 0xFF121417);
  }
  list.emplace_back(GradientCommand{kHeaderCard, 8, kHeaderCard, GradientMode::ForwardDiagonal, 0xAA080A0C,
                                    0x60080A0C, GradientWrap::Tile});
  Outline(list, kHeaderCard, 8, 0x16FFFFFF);

  const ChipColors chip = ChipColorsFor(input.state);
  Fill(list, kChip, 6, chip.fill);
  Outline(list, kChip, 6, chip.border);
  Label(list, StepTag(input.state.stepKey), smallFont, chip.text, kChip, TextAlign::Center);

  Label(list, std::wstring(input.displayTitle), titleFont, 0xFFF8FAFC, kCardTitle, TextAlign::Near);
  Label(list, StepHeadline(input.state.stepKey, input.sequenceTitle), smallFont, 0xFFB7C1CF, kCardCaption,
        TextAlign::Near);
}

void PaintProgressPanel(const SceneInput& input, DrawList& list, int titleFont, int detailFont) {
  const PanelColors colors = PanelColorsFor(input.state);
  Label(list, StepTitle(input.state.stepKey), titleFont, colors.title, kPanelTitle, TextAlign::Near);

  // The pill looks the same in every state and follows shownProgress.
  Fill(list, kPill, 4, 0x1A7DD3FC);
  Outline(list, kPill, 4, 0x387DD3FC);
  Label(list, PercentText(input.state), kFontPercent, 0xFFD9F6FF, kPill, TextAlign::Center);

  Label(list, DetailLine(input.state), detailFont, colors.detail, kPanelDetail, TextAlign::Near);
}

void PaintStepRail(const SceneInput& input, DrawList& list) {
  const int current = RailIndex(input.state.railKey);
  for (int i = 0; i < 5; ++i) {
    uint32_t color = 0x14FFFFFF;
    if (i < current) color = 0x752DD4BF;
    if (i == current) color = CurrentSegmentColor(input.state);
    // Worked out in double and rounded once, so the segments start on the
    // floats nearest to 12, 86.4, 160.8, 235.2 and 309.6.
    const auto x = static_cast<float>(kRailLeft + kRailPitch * i);
    Fill(list, {x, kRailTop, kRailSegmentWidth, kRailSegmentHeight}, 2, color);
  }
}

void PaintProgressBar(const SceneInput& input, DrawList& list) {
  const LaunchState& state = input.state;
  Fill(list, kTrack, 3, 0x14FFFFFF);
  if (!state.progress.has_value()) {
    // A fixed grey stub: the updater gave no figure.
    Fill(list, {kTrack.x, kTrack.y, kWaitingStubWidth, kTrack.height}, 3, 0xFF94A3B8);
    return;
  }
  const float width = ProgressBarWidth(state);
  if (!(width > 0)) return;
  // Narrow bars keep radius 3: their corner arcs overlap.
  const SceneRect filled{kTrack.x, kTrack.y, width, kTrack.height};
  if (IsErrorOrStop(state.stepKey)) {
    Fill(list, filled, 3, 0xFFF87171);
  } else if (IsDone(state)) {
    Fill(list, filled, 3, 0xFF34D399);
  } else {
    // The gradient spans the filled part only, so the bar always ends in amber.
    list.emplace_back(
        GradientCommand{filled, 3, filled, GradientMode::Horizontal, 0xFF2DD4BF, 0xFFF59E0B, GradientWrap::Tile});
  }
}

DrawList PaintScene(const SceneInput& input) {
  DrawList list;
  list.reserve(40);
  Fill(list, kWindowCard, 12, 0xFF101113);
  Outline(list, kWindowCard, 12, 0x18FFFFFF);

  Fill(list, kBadgeTile, 6, 0x1E2DD4BF);
  Outline(list, kBadgeTile, 6, 0x422DD4BF);
  Label(list, std::wstring(input.badge), kFontBadge, 0xFFE9FFFA, kBadgeTile, TextAlign::Center);
  Label(list, std::wstring(input.displayTitle), kFontTitleBar, 0xFFF8FAFC, kTitleBarText, TextAlign::Near);
  Fill(list, kTitleBarMark, 2, 0x2AFFFFFF);

  PaintActionButton(input, list, kFontButton);
  PaintHeaderCard(input, list, kFontCardTitle, kFontCardSmall);
  PaintProgressPanel(input, list, kFontPanelTitle, kFontPanelDetail);
  PaintStepRail(input, list);
  PaintProgressBar(input, list);
  return list;
}
