#include "ui/scene/scene.h"

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

#include "ui/scene/layout.h"

namespace {

using namespace layout;

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

struct ChipColors {
  uint32_t fill, border, text;
};

ChipColors ChipColorsFor(LaunchTone tone) {
  if (tone == LaunchTone::Failed) return {0xA8431818, 0x70F87171, 0xFFFFE2E2};
  if (tone == LaunchTone::Done) return {0xA8102D23, 0x6B34D399, 0xFFD8FFF0};
  return {0xA80C1214, 0x572DD4BF, 0xFFBFFBF4};
}

struct ButtonLook {
  uint32_t fill, fillHover, border, borderHover, text;
};

ButtonLook ButtonLookFor(const LaunchView& view) {
  if (view.button == StepButton::Retry) return {0x24F59E0B, 0x38F59E0B, 0x61F59E0B, 0x84F59E0B, 0xFFFFF3D6};
  if (view.button == StepButton::Close && view.tone == LaunchTone::Failed) {
    return {0x24F87171, 0x2EF87171, 0x5CF87171, 0x84F87171, 0xFFFFE2E2};
  }
  if (view.button == StepButton::Close) return {0x177DD3FC, 0x247DD3FC, 0x387DD3FC, 0x577DD3FC, 0xFFD9F6FF};
  // Cancel looks the same under the pointer; only the cursor shows it is live.
  return {0x1AF87171, 0x1AF87171, 0x3DF87171, 0x3DF87171, 0xFFFFD8D8};
}

struct PanelColors {
  uint32_t title, detail;
};

PanelColors PanelColorsFor(LaunchTone tone) {
  switch (tone) {
    case LaunchTone::Failed:
      return {0xFFFCA5A5, 0xFFFCA5A5};
    case LaunchTone::Done:
      return {0xFFA7F3D0, 0xFFA7F3D0};
    case LaunchTone::Waiting:
      return {0xFFCBD5E1, 0xFFCBD5E1};
    case LaunchTone::Working:
      break;
  }
  return {0xFFDFE5ED, 0xFFA8B3C2};
}

// The current segment shows how the step is doing; the error colour follows
// the step while the position follows the rail key.
uint32_t CurrentSegmentColor(LaunchTone tone) {
  switch (tone) {
    case LaunchTone::Failed:
      return 0xFFF87171;
    case LaunchTone::Waiting:
      return 0x7594A3B8;
    case LaunchTone::Done:
      return 0x752DD4BF;
    case LaunchTone::Working:
      break;
  }
  return 0xFF7DD3FC;
}

void AppendActionButton(const SceneInput& input, DrawList& list) {
  const ButtonLook look = ButtonLookFor(input.view);
  uint32_t fill = input.hoverButton ? look.fillHover : look.fill;
  const uint32_t border = input.hoverButton ? look.borderHover : look.border;
  if (input.pressedButton) fill = 0x4EFFFFFF;
  const SceneRect button = GrowToFit(input.labelWidths).button;
  Fill(list, button, 5, fill);
  Outline(list, button, 5, border);
  Label(list, input.view.buttonLabel, kFontButton, look.text, button, TextAlign::Center);
}

void AppendHeaderCard(const SceneInput& input, DrawList& list) {
  if (input.hasBackground) {
    // Scaled to the card, aspect ratio not kept, corners not clipped.
    list.emplace_back(ImageCommand{kHeaderCard});
  } else {
    Fill(list, kHeaderCard, kHeaderRadius, 0xFF121417);
  }
  list.emplace_back(GradientCommand{kHeaderCard, kHeaderRadius, kHeaderCard, GradientMode::ForwardDiagonal, 0xAA080A0C,
                                    0x60080A0C, GradientWrap::Tile});
  Outline(list, kHeaderCard, kHeaderRadius, 0x16FFFFFF);

  const ChipColors colors = ChipColorsFor(input.view.tone);
  const SceneRect chip = GrowToFit(input.labelWidths).chip;
  Fill(list, chip, 6, colors.fill);
  Outline(list, chip, 6, colors.border);
  Label(list, input.view.tag, kFontCardSmall, colors.text, chip, TextAlign::Center);

  Label(list, std::wstring(input.displayTitle), kFontCardTitle, 0xFFF8FAFC, kCardTitle, TextAlign::Near);
  Label(list, input.view.headline, kFontCardSmall, 0xFFB7C1CF, kCardCaption, TextAlign::Near);
}

void AppendProgressPanel(const SceneInput& input, DrawList& list) {
  const PanelColors colors = PanelColorsFor(input.view.tone);
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, input.view.title, kFontPanelTitle, colors.title, grown.panelTitle, TextAlign::Near);

  // The pill looks the same in every state and follows shownProgress.
  Fill(list, grown.pill, 4, 0x1A7DD3FC);
  Outline(list, grown.pill, 4, 0x387DD3FC);
  Label(list, input.view.percent, kFontPercent, 0xFFD9F6FF, grown.pill, TextAlign::Center);

  Label(list, input.view.detail, kFontPanelDetail, colors.detail, kPanelDetail, TextAlign::Near);
}

void AppendStepRail(const SceneInput& input, DrawList& list) {
  const int current = input.view.railIndex;
  for (int i = 0; i < kRailSegments; ++i) {
    uint32_t color = 0x14FFFFFF;
    if (i < current) color = 0x752DD4BF;
    if (i == current) color = CurrentSegmentColor(input.view.tone);
    // Worked out in double and rounded once, so the segments start on the
    // floats nearest to 12, 86.4, 160.8, 235.2 and 309.6.
    const auto x = static_cast<float>(kRailLeft + kRailPitch * i);
    Fill(list, {x, kRailTop, kRailSegmentWidth, kRailSegmentHeight}, 2, color);
  }
}

void AppendProgressBar(const SceneInput& input, DrawList& list) {
  const LaunchView& view = input.view;
  Fill(list, kTrack, 3, 0x14FFFFFF);
  if (!view.hasTarget) {
    // A fixed grey stub: the updater gave no figure.
    Fill(list, {kTrack.x, kTrack.y, kWaitingStubWidth, kTrack.height}, 3, 0xFF94A3B8);
    return;
  }
  // Worked out in double precision and then taken as a float.
  const auto width = static_cast<float>(view.shownFraction * static_cast<double>(kTrack.width));
  if (!(width > 0)) return;
  // Narrow bars keep radius 3: their corner arcs overlap.
  const SceneRect filled{kTrack.x, kTrack.y, width, kTrack.height};
  if (view.tone == LaunchTone::Failed) {
    Fill(list, filled, 3, 0xFFF87171);
  } else if (view.tone == LaunchTone::Done) {
    Fill(list, filled, 3, 0xFF34D399);
  } else {
    // The gradient spans the filled part only, so the bar always ends in amber.
    list.emplace_back(
        GradientCommand{filled, 3, filled, GradientMode::Horizontal, 0xFF2DD4BF, 0xFFF59E0B, GradientWrap::Tile});
  }
}

// The high-contrast look: the design's layout and texts in the theme's
// colours only. Meaning never rests on colour alone: an error has a 2-unit
// border on its chip, done a chip filled in the highlight colour, and the
// texts (tag, title, button label) differ anyway.

// A 2-unit outline inside `rect`.
void HeavyOutline(DrawList& list, SceneRect rect, float radius, uint32_t color) {
  const SceneRect inset{rect.x + 1, rect.y + 1, rect.width - 2, rect.height - 2};
  list.emplace_back(StrokeCommand{inset, radius, color, 2});
}

void AppendHighContrastButton(const SceneInput& input, const ScenePalette& p, DrawList& list) {
  uint32_t fill = p.buttonFace, border = p.buttonText, text = p.buttonText;
  if (input.pressedButton) {
    fill = p.buttonText;
    text = p.buttonFace;
  } else if (input.hoverButton) {
    fill = p.highlight;
    border = p.highlight;
    text = p.highlightText;
  }
  const SceneRect button = GrowToFit(input.labelWidths).button;
  Fill(list, button, 5, fill);
  Outline(list, button, 5, border);
  Label(list, input.view.buttonLabel, kFontButton, text, button, TextAlign::Center);
}

void AppendHighContrastHeaderCard(const SceneInput& input, const ScenePalette& p, DrawList& list) {
  Fill(list, kHeaderCard, kHeaderRadius, p.window);
  Outline(list, kHeaderCard, kHeaderRadius, p.windowText);
  uint32_t chipText = p.windowText;
  const SceneRect chip = GrowToFit(input.labelWidths).chip;
  if (input.view.tone == LaunchTone::Done) {
    Fill(list, chip, 6, p.highlight);
    Outline(list, chip, 6, p.highlight);
    chipText = p.highlightText;
  } else if (input.view.tone == LaunchTone::Failed) {
    Fill(list, chip, 6, p.window);
    HeavyOutline(list, chip, 6, p.windowText);
  } else {
    Fill(list, chip, 6, p.window);
    Outline(list, chip, 6, p.windowText);
  }
  Label(list, input.view.tag, kFontCardSmall, chipText, chip, TextAlign::Center);
  Label(list, std::wstring(input.displayTitle), kFontCardTitle, p.windowText, kCardTitle, TextAlign::Near);
  Label(list, input.view.headline, kFontCardSmall, p.windowText, kCardCaption, TextAlign::Near);
}

void AppendHighContrastPanel(const SceneInput& input, const ScenePalette& p, DrawList& list) {
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, input.view.title, kFontPanelTitle, p.windowText, grown.panelTitle, TextAlign::Near);
  Fill(list, grown.pill, 4, p.window);
  Outline(list, grown.pill, 4, p.windowText);
  Label(list, input.view.percent, kFontPercent, p.windowText, grown.pill, TextAlign::Center);
  Label(list, input.view.detail, kFontPanelDetail, p.windowText, kPanelDetail, TextAlign::Near);
}

// Complete and current segments are filled, pending ones only outlined.
void AppendHighContrastRail(const SceneInput& input, const ScenePalette& p, DrawList& list) {
  const int current = input.view.railIndex;
  for (int i = 0; i < kRailSegments; ++i) {
    const SceneRect segment{static_cast<float>(kRailLeft + kRailPitch * i), kRailTop, kRailSegmentWidth,
                            kRailSegmentHeight};
    if (i > current) {
      Fill(list, segment, 2, p.window);
      Outline(list, segment, 2, p.windowText);
      continue;
    }
    uint32_t color = p.highlight;
    if (i == current && input.view.tone == LaunchTone::Failed) color = p.windowText;
    if (i == current && input.view.tone == LaunchTone::Waiting) color = p.grayText;
    Fill(list, segment, 2, color);
  }
}

// The track's outline goes on last, over the fill, so the whole length of
// the bar shows at 0 % and at 100 % alike.
void AppendHighContrastBar(const SceneInput& input, const ScenePalette& p, DrawList& list) {
  const LaunchView& view = input.view;
  Fill(list, kTrack, 3, p.window);
  if (!view.hasTarget) {
    Fill(list, {kTrack.x, kTrack.y, kWaitingStubWidth, kTrack.height}, 3, p.grayText);
  } else {
    const auto width = static_cast<float>(view.shownFraction * static_cast<double>(kTrack.width));
    if (width > 0) {
      Fill(list, {kTrack.x, kTrack.y, width, kTrack.height}, 3,
           view.tone == LaunchTone::Failed ? p.windowText : p.highlight);
    }
  }
  Outline(list, kTrack, 3, p.windowText);
}

DrawList PaintHighContrastScene(const SceneInput& input, const ScenePalette& p) {
  DrawList list;
  list.reserve(48);
  Fill(list, kWindowCard, kCornerUnits, p.window);
  Outline(list, kWindowCard, kCornerUnits, p.windowText);
  Fill(list, kBadgeTile, 6, p.window);
  Outline(list, kBadgeTile, 6, p.windowText);
  Label(list, std::wstring(input.badge), kFontBadge, p.windowText, kBadgeTile, TextAlign::Center);
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, std::wstring(input.displayTitle), kFontTitleBar, p.windowText, grown.titleBarText, TextAlign::Near);
  Fill(list, grown.titleBarMark, 2, p.grayText);
  AppendHighContrastButton(input, p, list);
  AppendHighContrastHeaderCard(input, p, list);
  AppendHighContrastPanel(input, p, list);
  AppendHighContrastRail(input, p, list);
  AppendHighContrastBar(input, p, list);
  return list;
}

}  // namespace

DrawList MirrorDrawList(DrawList list) {
  for (DrawCommand& command : list) {
    std::visit(
        [](auto& c) {
          c.rect = MirrorRect(c.rect);
          using Command = std::decay_t<decltype(c)>;
          if constexpr (std::is_same_v<Command, LabelCommand>) {
            if (c.align == TextAlign::Near) c.align = TextAlign::Far;
          } else if constexpr (std::is_same_v<Command, GradientCommand>) {
            c.gradientRect = MirrorRect(c.gradientRect);
            if (c.mode == GradientMode::Horizontal) {
              std::swap(c.startColor, c.endColor);
            } else if (c.mode == GradientMode::ForwardDiagonal) {
              c.mode = GradientMode::BackwardDiagonal;
            } else {
              c.mode = GradientMode::ForwardDiagonal;
            }
          }
        },
        command);
  }
  return list;
}

DrawList PaintScene(const SceneInput& input) {
  if (input.view.rightToLeft) {
    LaunchView leftToRight = input.view;
    leftToRight.rightToLeft = false;
    return MirrorDrawList(PaintScene(SceneInput{leftToRight, input.badge, input.displayTitle, input.hasBackground,
                                                input.hoverButton, input.pressedButton, input.highContrast,
                                                input.labelWidths}));
  }
  if (input.highContrast != nullptr) return PaintHighContrastScene(input, *input.highContrast);
  DrawList list;
  list.reserve(40);
  Fill(list, kWindowCard, kCornerUnits, 0xFF101113);
  Outline(list, kWindowCard, kCornerUnits, 0x18FFFFFF);

  Fill(list, kBadgeTile, 6, 0x1E2DD4BF);
  Outline(list, kBadgeTile, 6, 0x422DD4BF);
  Label(list, std::wstring(input.badge), kFontBadge, 0xFFE9FFFA, kBadgeTile, TextAlign::Center);
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, std::wstring(input.displayTitle), kFontTitleBar, 0xFFF8FAFC, grown.titleBarText, TextAlign::Near);
  Fill(list, grown.titleBarMark, 2, 0x2AFFFFFF);

  AppendActionButton(input, list);
  AppendHeaderCard(input, list);
  AppendProgressPanel(input, list);
  AppendStepRail(input, list);
  AppendProgressBar(input, list);
  return list;
}
