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

ChipColors ChipColorsFor(LaunchTone tone, const DesignLook& look) {
  if (tone == LaunchTone::Failed) return {0xA8431818, 0x70F87171, 0xFFFFE2E2};
  if (tone == LaunchTone::Done) return {0xA8102D23, 0x6B34D399, 0xFFD8FFF0};
  return {0xA80C1214, look.chipBorderWorking, 0xFFBFFBF4};
}

// Cancel looks the same under the pointer; only the cursor shows it is live.
const ButtonLook& ButtonLookFor(const LaunchView& view, const DesignLook& look) {
  if (view.button == StepButton::Retry) return look.retry;
  if (view.button == StepButton::Close) return view.tone == LaunchTone::Failed ? look.closeFailed : look.close;
  return look.cancel;
}

size_t ToneIndex(LaunchTone tone) { return static_cast<size_t>(tone); }

const DesignLook& LookOf(const SceneInput& input) { return input.look != nullptr ? *input.look : DarkLook(); }

void AppendActionButton(const SceneInput& input, DrawList& list) {
  const ButtonLook& look = ButtonLookFor(input.view, LookOf(input));
  uint32_t fill = input.hoverButton ? look.fillHover : look.fill;
  const uint32_t border = input.hoverButton ? look.borderHover : look.border;
  if (input.pressedButton) fill = LookOf(input).pressedFill;
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

  const ChipColors colors = ChipColorsFor(input.view.tone, LookOf(input));
  const SceneRect chip = GrowToFit(input.labelWidths).chip;
  Fill(list, chip, 6, colors.fill);
  Outline(list, chip, 6, colors.border);
  Label(list, input.view.tag, kFontCardSmall, colors.text, chip, TextAlign::Center);

  Label(list, std::wstring(input.displayTitle), kFontCardTitle, 0xFFF8FAFC, kCardTitle, TextAlign::Near);
  Label(list, input.view.headline, kFontCardSmall, 0xFFB7C1CF, kCardCaption, TextAlign::Near);
}

void AppendProgressPanel(const SceneInput& input, DrawList& list) {
  const DesignLook& look = LookOf(input);
  const size_t tone = ToneIndex(input.view.tone);
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, input.view.title, kFontPanelTitle, look.panelTitle[tone], grown.panelTitle, TextAlign::Near);

  // The pill looks the same in every state and follows shownProgress.
  Fill(list, grown.pill, 4, look.pillFill);
  Outline(list, grown.pill, 4, look.pillOutline);
  Label(list, input.view.percent, kFontPercent, look.pillText, grown.pill, TextAlign::Center);

  Label(list, input.view.detail, kFontPanelDetail, look.panelDetail[tone], kPanelDetail, TextAlign::Near);
}

void AppendStepRail(const SceneInput& input, DrawList& list) {
  // The current segment shows how the step is doing; the error colour
  // follows the step while the position follows the rail key.
  const DesignLook& look = LookOf(input);
  const int current = input.view.railIndex;
  for (int i = 0; i < kRailSegments; ++i) {
    uint32_t color = look.railPending;
    if (i < current) color = look.railDone;
    if (i == current) color = look.railCurrent[ToneIndex(input.view.tone)];
    // Worked out in double and rounded once, so the segments start on the
    // floats nearest to 12, 86.4, 160.8, 235.2 and 309.6.
    const auto x = static_cast<float>(kRailLeft + kRailPitch * i);
    Fill(list, {x, kRailTop, kRailSegmentWidth, kRailSegmentHeight}, 2, color);
  }
}

void AppendProgressBar(const SceneInput& input, DrawList& list) {
  const LaunchView& view = input.view;
  const DesignLook& look = LookOf(input);
  Fill(list, kTrack, 3, look.track);
  if (!view.hasTarget) {
    // A fixed grey stub: the updater gave no figure.
    Fill(list, {kTrack.x, kTrack.y, kWaitingStubWidth, kTrack.height}, 3, look.waitingStub);
    return;
  }
  // Worked out in double precision and then taken as a float.
  const auto width = static_cast<float>(view.shownFraction * static_cast<double>(kTrack.width));
  if (!(width > 0)) return;
  // Narrow bars keep radius 3: their corner arcs overlap.
  const SceneRect filled{kTrack.x, kTrack.y, width, kTrack.height};
  if (view.tone == LaunchTone::Failed) {
    Fill(list, filled, 3, look.barFailed);
  } else if (view.tone == LaunchTone::Done) {
    Fill(list, filled, 3, look.barDone);
  } else {
    // The gradient spans the filled part only, so the bar always ends in its end colour.
    list.emplace_back(GradientCommand{filled, 3, filled, GradientMode::Horizontal, look.gradientStart,
                                      look.gradientEnd, GradientWrap::Tile});
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

// Tones in LaunchTone's order: Working, Waiting, Done, Failed.
const DesignLook& DarkLook() {
  static const DesignLook look{
      0xFF101113, 0x18FFFFFF,              // window
      0x1E2DD4BF, 0x422DD4BF, 0xFFE9FFFA,  // badge
      0xFFF8FAFC, 0x2AFFFFFF,              // title bar
      {0x1AF87171, 0x1AF87171, 0x3DF87171, 0x3DF87171, 0xFFFFD8D8},  // cancel
      {0x24F59E0B, 0x38F59E0B, 0x61F59E0B, 0x84F59E0B, 0xFFFFF3D6},  // retry
      {0x177DD3FC, 0x247DD3FC, 0x387DD3FC, 0x577DD3FC, 0xFFD9F6FF},  // close
      {0x24F87171, 0x2EF87171, 0x5CF87171, 0x84F87171, 0xFFFFE2E2},  // close after a failure
      0x4EFFFFFF,
      {0xFFDFE5ED, 0xFFCBD5E1, 0xFFA7F3D0, 0xFFFCA5A5},  // panel title
      {0xFFA8B3C2, 0xFFCBD5E1, 0xFFA7F3D0, 0xFFFCA5A5},  // panel detail
      0x1A7DD3FC, 0x387DD3FC, 0xFFD9F6FF,                // pill
      0x14FFFFFF, 0x752DD4BF, {0xFF7DD3FC, 0x7594A3B8, 0x752DD4BF, 0xFFF87171},  // rail
      0x14FFFFFF, 0xFF94A3B8, 0xFFF87171, 0xFF34D399, 0xFF2DD4BF, 0xFFF59E0B,    // bar
      0x572DD4BF};
  return look;
}

// Slate text on a near-white card; each text at least 4.5:1 against what lies
// under it (the check runs over every state).
const DesignLook& LightLook() {
  static const DesignLook look{
      0xFFF8FAFC, 0x260F172A,              // window
      0x1A0D9488, 0x590D9488, 0xFF115E59,  // badge
      0xFF0F172A, 0x330F172A,              // title bar
      {0x14DC2626, 0x14DC2626, 0x4DDC2626, 0x4DDC2626, 0xFF991B1B},  // cancel
      {0x1FD97706, 0x33D97706, 0x80B45309, 0xCCB45309, 0xFF78350F},  // retry
      {0x140284C7, 0x240284C7, 0x4D0284C7, 0x800284C7, 0xFF075985},  // close
      {0x1FDC2626, 0x2EDC2626, 0x66DC2626, 0x99DC2626, 0xFF7F1D1D},  // close after a failure
      0x330F172A,
      {0xFF1E293B, 0xFF475569, 0xFF047857, 0xFFB91C1C},  // panel title
      {0xFF475569, 0xFF475569, 0xFF047857, 0xFFB91C1C},  // panel detail
      0x140284C7, 0x4D0284C7, 0xFF075985,                // pill
      0x1A0F172A, 0x990D9488, {0xFF0284C7, 0x8094A3B8, 0x990D9488, 0xFFDC2626},  // rail
      0x1A0F172A, 0xFF94A3B8, 0xFFDC2626, 0xFF059669, 0xFF0D9488, 0xFFD97706,    // bar
      0x572DD4BF};
  return look;
}

DesignLook WithAccents(DesignLook look, std::optional<uint32_t> accent, std::optional<uint32_t> accentEnd) {
  if (accent) {
    look.gradientStart = *accent;
    look.railCurrent[static_cast<size_t>(LaunchTone::Working)] = *accent;
    look.chipBorderWorking = 0xB0000000 | (*accent & 0x00FFFFFF);
  }
  if (accentEnd) look.gradientEnd = *accentEnd;
  return look;
}

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
                                                input.labelWidths, input.look}));
  }
  if (input.highContrast != nullptr) return PaintHighContrastScene(input, *input.highContrast);
  const DesignLook& look = LookOf(input);
  DrawList list;
  list.reserve(40);
  Fill(list, kWindowCard, kCornerUnits, look.windowFill);
  Outline(list, kWindowCard, kCornerUnits, look.windowOutline);

  Fill(list, kBadgeTile, 6, look.badgeFill);
  Outline(list, kBadgeTile, 6, look.badgeOutline);
  Label(list, std::wstring(input.badge), kFontBadge, look.badgeText, kBadgeTile, TextAlign::Center);
  const GrownRects grown = GrowToFit(input.labelWidths);
  Label(list, std::wstring(input.displayTitle), kFontTitleBar, look.titleText, grown.titleBarText, TextAlign::Near);
  Fill(list, grown.titleBarMark, 2, look.titleMark);

  AppendActionButton(input, list);
  AppendHeaderCard(input, list);
  AppendProgressPanel(input, list);
  AppendStepRail(input, list);
  AppendProgressBar(input, list);
  return list;
}
