// The design look of every state is pinned by the scene transcript
// (tests/replay/cases/scene.*), its right-to-left mirror image by the
// scene-rtl transcript (every box mirrored about the 392-unit width, labels
// aligned to the far edge, the bar growing leftward into amber, the picture
// in place), the plain card of the artwork-free launcher by its robustness
// test; these are the rules around them: the button's hover and press, and
// the high-contrast look.
#include "ui/scene/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "state/launch_transitions.h"
#include "ui/scene/layout.h"

namespace {

using namespace layout;

const ScenePalette kPalette{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006, 0xFF000007};
const std::wstring kStates[] = {L"LINK", L"MANIFEST", L"VERIFY", L"SCAN",  L"DOWNLOAD",
                                L"APPLY", L"LAUNCH",  L"READY",  L"ERROR", L"STOP"};

DrawList Paint(std::wstring_view word, const ScenePalette* palette = nullptr, bool hover = false, bool pressed = false) {
  LaunchState state;
  ApplyPreviewState(state, word);
  const LaunchView view = DescribeLaunch(state, L"Runtime sequence", English());
  return PaintScene(SceneInput{view, L"TW", L"Tarrow Preview", true, hover, pressed, palette});
}

template <typename T>
T At(const DrawList& list, SceneRect rect) {
  for (const DrawCommand& c : list)
    if (const T* t = std::get_if<T>(&c); t != nullptr && t->rect == rect) return *t;
  ADD_FAILURE() << "no command at " << rect.x << "," << rect.y;
  return T{};
}

TEST(SceneTest, ButtonFollowsHoverAndPress) {
  // state, hover, pressed, fill, border
  const std::tuple<std::wstring, bool, bool, uint32_t, uint32_t> cases[] = {
      {L"ERROR", true, false, 0x38F59E0B, 0x84F59E0B}, {L"ERROR", true, true, 0x4EFFFFFF, 0x84F59E0B},
      {L"STOP", true, false, 0x2EF87171, 0x84F87171},  {L"READY", true, false, 0x247DD3FC, 0x577DD3FC},
      {L"DOWNLOAD", true, false, 0x1AF87171, 0x3DF87171}, {L"LINK", false, true, 0x4EFFFFFF, 0x3DF87171}};
  const SceneRect outline{kButton.x + 0.5f, kButton.y + 0.5f, kButton.width - 1, kButton.height - 1};
  for (const auto& [state, hover, pressed, fill, border] : cases) {
    const DrawList list = Paint(state, nullptr, hover, pressed);
    EXPECT_EQ(At<FillCommand>(list, kButton).color, fill) << std::string(state.begin(), state.end());
    EXPECT_EQ(At<StrokeCommand>(list, outline).color, border) << std::string(state.begin(), state.end());
  }
}

TEST(SceneTest, HighContrastUsesOnlyThePaletteAndOutlinesTheBar) {
  const uint32_t allowed[] = {kPalette.window,   kPalette.windowText, kPalette.highlight, kPalette.highlightText,
                              kPalette.grayText, kPalette.buttonFace, kPalette.buttonText};
  for (const std::wstring& state : kStates) {
    const DrawList list = Paint(state, &kPalette);
    for (const DrawCommand& command : list) {
      ASSERT_TRUE(std::holds_alternative<FillCommand>(command) || std::holds_alternative<StrokeCommand>(command) ||
                  std::holds_alternative<LabelCommand>(command))
          << "no picture, no shade, no gradient";
      const uint32_t colour = std::visit(
          [](const auto& c) -> uint32_t {
            if constexpr (requires { c.color; }) return c.color;
            return 0;
          },
          command);
      EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), colour), std::end(allowed)) << std::hex << colour;
    }
    EXPECT_EQ(std::get<StrokeCommand>(list.back()), (StrokeCommand{{12.5f, 236.5f, 367, 3}, 3, kPalette.windowText, 1}))
        << "the track's outline lies over the fill";
    EXPECT_EQ(At<StrokeCommand>(list, {338.5f, 146.5f, 41, 19}).color, kPalette.windowText) << "pill";
  }
  EXPECT_EQ(At<StrokeCommand>(Paint(L"LINK", &kPalette), {86.9f, 172.5f, 69.4f, 4}).color,
            kPalette.windowText)
      << "a pending rail segment";
  // Error and done differ by the chip's shape, not only by colour.
  EXPECT_EQ(At<StrokeCommand>(Paint(L"ERROR", &kPalette), {28, 54, 68, 16}).penWidth, 2);
  EXPECT_EQ(At<FillCommand>(Paint(L"READY", &kPalette), kChip).color, kPalette.highlight);
  EXPECT_EQ(At<FillCommand>(Paint(L"ERROR", &kPalette, true, true), kButton).color, kPalette.buttonText);
}

// sRGB relative luminance and the contrast ratio of two opaque colours.
double Luminance(uint32_t argb) {
  double sum = 0;
  const double weights[] = {0.2126, 0.7152, 0.0722};
  for (int i = 0; i < 3; ++i) {
    const double c = ((argb >> (16 - 8 * i)) & 0xFF) / 255.0;
    sum += weights[i] * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
  }
  return sum;
}
uint32_t Over(uint32_t top, uint32_t below) {
  const uint32_t a = top >> 24;
  uint32_t out = 0xFF000000;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= (((top >> shift & 0xFF) * a + (below >> shift & 0xFF) * (255 - a)) / 255) << shift;
  }
  return out;
}

// Every text of both design looks, in every state the launcher shows and
// under the pointer's hover and press, stands at least 4.5:1 against what
// lies under its middle: the fills before it, a gradient at either end, the
// picture as the card's own fill (its dark shade lies over it).
TEST(SceneTest, EveryTextStandsOutFromWhatLiesUnderIt) {
  for (const DesignLook* look : {&DarkLook(), &LightLook()}) {
    for (const LaunchState& state : ShowcaseStates()) {
      const LaunchView view = DescribeLaunch(state, L"Runtime sequence", English());
      for (const auto& [hover, pressed] : {std::pair{false, false}, {true, false}, {true, true}}) {
        SceneInput input{view, L"TW", L"Tarrow Preview", true, hover, pressed};
        input.look = look;
        const DrawList list = PaintScene(input);
        for (size_t k = 0; k < list.size(); ++k) {
          const auto* label = std::get_if<LabelCommand>(&list[k]);
          if (label == nullptr) continue;
          const float x = label->rect.x + label->rect.width / 2, y = label->rect.y + label->rect.height / 2;
          const auto covers = [x, y](SceneRect r) { return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height; };
          std::vector<uint32_t> under{0xFF000000};
          for (size_t j = 0; j < k; ++j) {
            std::vector<uint32_t> tops;
            if (const auto* f = std::get_if<FillCommand>(&list[j]); f && covers(f->rect)) tops = {f->color};
            if (const auto* g = std::get_if<GradientCommand>(&list[j]); g && covers(g->rect)) tops = {g->startColor, g->endColor};
            if (const auto* i = std::get_if<ImageCommand>(&list[j]); i && covers(i->rect)) tops = {0xFF121417};
            if (tops.empty()) continue;
            std::vector<uint32_t> next;
            for (uint32_t top : tops)
              for (uint32_t below : under) next.push_back(Over(top, below));
            under = next;
          }
          for (uint32_t below : under) {
            const double a = Luminance(Over(label->color, below)), b = Luminance(below);
            EXPECT_GE((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05), 4.5)
                << (look == &DarkLook() ? "dark " : "light ") << std::string(state.stepKey.begin(), state.stepKey.end()) << " "
                << std::string(label->text.begin(), label->text.end()) << std::hex << " 0x" << label->color
                << " on 0x" << below;
          }
        }
      }
    }
  }
}

}  // namespace
