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

}  // namespace
