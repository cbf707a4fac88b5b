// Renders every preview state off-screen with the real fonts and checks the
// pixels: colours at the centres of the parts against the painted ARGB values
// composited over what lies beneath, and ink where the texts go.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ui/layout.h"
#include "tests/integration/paint_support_win.h"
#include "ui/scene.h"

namespace {

constexpr uint32_t kCard = 0xFF101113;
constexpr uint32_t kTrackColor = 0x14FFFFFF;
constexpr uint32_t kTeal = 0xFF2DD4BF;
constexpr uint32_t kAmber = 0xFFF59E0B;
constexpr int kSolidTolerance = 3;
constexpr int kGradientTolerance = 8;

enum class Bar { Stub, Gradient, Solid };

struct PixelCase {
  const char* name;
  std::wstring state;
  float scale;
  uint32_t rail[5];
  uint32_t chip, button;
  Bar bar;
  uint32_t barColor;  // solid and stub bars
  double fraction;    // the preview's progress
};

constexpr uint32_t P = 0x14FFFFFF;  // pending
constexpr uint32_t C = 0x752DD4BF;  // complete
constexpr uint32_t A = 0xFF7DD3FC;  // current, working
constexpr uint32_t R = 0xFFF87171;  // error or stop
constexpr uint32_t kWork = 0xA80C1214;
constexpr uint32_t kCancel = 0x1AF87171;

std::vector<PixelCase> Cases() {
  const PixelCase base[] = {
      {"Link", L"LINK", 1, {0x7594A3B8, P, P, P, P}, kWork, kCancel, Bar::Stub, 0xFF94A3B8, 0},
      {"Manifest", L"MANIFEST", 1, {C, A, P, P, P}, kWork, kCancel, Bar::Gradient, 0, 0.18},
      {"Verify", L"VERIFY", 1, {C, C, A, P, P}, kWork, kCancel, Bar::Gradient, 0, 0.30},
      {"Scan", L"SCAN", 1, {C, C, A, P, P}, kWork, kCancel, Bar::Gradient, 0, 0.42},
      {"Download", L"DOWNLOAD", 1, {C, C, C, A, P}, kWork, kCancel, Bar::Gradient, 0, 0.62},
      {"Apply", L"APPLY", 1, {C, C, C, A, P}, kWork, kCancel, Bar::Gradient, 0, 0.80},
      {"Launch", L"LAUNCH", 1, {C, C, C, C, A}, kWork, 0x177DD3FC, Bar::Gradient, 0, 0.94},
      {"Ready", L"READY", 1, {C, C, C, C, C}, 0xA8102D23, 0x177DD3FC, Bar::Solid, 0xFF34D399, 1.0},
      {"Error", L"ERROR", 1, {R, P, P, P, P}, 0xA8431818, 0x24F59E0B, Bar::Solid, R, 0.38},
      {"Stop", L"STOP", 1, {R, P, P, P, P}, 0xA8431818, 0x24F87171, Bar::Solid, R, 0.28},
  };
  std::vector<PixelCase> cases;
  for (float scale : {1.0f, 1.5f}) {
    for (PixelCase c : base) {
      c.scale = scale;
      cases.push_back(c);
    }
  }
  return cases;
}

class PreviewPixelsTest : public testing::TestWithParam<PixelCase> {
 protected:
  DrawList List() const {
    PreviewFrame frame;
    frame.state = GetParam().state;
    frame.scale = GetParam().scale;
    return PreviewDrawList(frame, false);
  }

  void ExpectColor(const PixelImage& image, double x, double y, uint32_t expected, int tolerance,
                   const char* what) const {
    const uint32_t actual = PixelAt(image, x, y, GetParam().scale);
    EXPECT_LE(ChannelDistance(actual, expected), tolerance)
        << what << " at (" << x << ", " << y << "): " << Hex(actual) << ", expected " << Hex(expected);
  }
};

TEST_P(PreviewPixelsTest, PartsShowTheirColours) {
  const PixelCase& c = GetParam();
  const PixelImage image = RenderList(List(), c.scale, PaintFonts());
  ASSERT_EQ(image.width, ScaleUnits(392, c.scale));
  ASSERT_EQ(image.height, ScaleUnits(252, c.scale));

  // The clear colour shows only in the corner the card's radius leaves out.
  ExpectColor(image, 0.2, 0.2, 0xFF090A0C, kSolidTolerance, "window corner");
  ExpectColor(image, 200, 186, kCard, kSolidTolerance, "window card");
  for (int i = 0; i < 5; ++i) {
    ExpectColor(image, 12 + 74.4 * i + 35.2, 174.5, Over(c.rail[i], kCard), kSolidTolerance,
                ("rail segment " + std::to_string(i)).c_str());
  }
  ExpectColor(image, 341, 156, Over(0x1A7DD3FC, kCard), kSolidTolerance, "percentage pill");
  ExpectColor(image, 325, 24, Over(c.button, kCard), kSolidTolerance, "action button");

  const uint32_t track = Over(kTrackColor, kCard);
  switch (c.bar) {
    case Bar::Stub:
      ExpectColor(image, 60, 238, c.barColor, kSolidTolerance, "waiting stub");
      ExpectColor(image, 111, 238, track, kSolidTolerance, "track after the stub");
      break;
    case Bar::Solid:
      ExpectColor(image, 12 + c.fraction * 184, 238, c.barColor, kSolidTolerance, "bar fill");
      if (c.fraction < 0.95) ExpectColor(image, 15 + c.fraction * 368, 238, track, kSolidTolerance, "track");
      break;
    case Bar::Gradient: {
      // The gradient spans the filled part only: teal at its start, amber at
      // its end, whatever the width.
      const double width = c.fraction * 368;
      const double mid = 12 + width / 2;
      const double end = 12 + width - 1.5;
      const double unit = 1.0 / c.scale;
      const auto at = [&](double x) {
        const double centre = (std::floor(x * c.scale) + 0.5) * unit;
        return Mix(kTeal, kAmber, (centre - 12) / width);
      };
      ExpectColor(image, mid, 238, at(mid), kGradientTolerance, "bar middle");
      ExpectColor(image, end, 238, at(end), kGradientTolerance, "bar end");
      EXPECT_LE(ChannelDistance(at(end), kAmber), 0x10) << "the bar ends in amber";
      ExpectColor(image, 12 + width + 3, 238, track, kSolidTolerance, "track after the bar");
      break;
    }
  }
}

// The chip lies over the picture and the shade; its colour is checked against
// a render of everything painted before it.
TEST_P(PreviewPixelsTest, ChipIsCompositedOverTheHeaderCard) {
  const PixelCase& c = GetParam();
  const DrawList list = List();
  size_t chip = 0;
  while (chip < list.size() && !(std::holds_alternative<FillCommand>(list[chip]) &&
                                 std::get<FillCommand>(list[chip]).rect == SceneRect{27, 53, 70, 18})) {
    ++chip;
  }
  ASSERT_LT(chip, list.size());
  const PixelImage before = RenderList(DrawList(list.begin(), list.begin() + static_cast<ptrdiff_t>(chip)), c.scale,
                                       PaintFonts());
  const PixelImage image = RenderList(list, c.scale, PaintFonts());
  const uint32_t under = PixelAt(before, 30.5, 62.5, c.scale);
  ExpectColor(image, 30.5, 62.5, Over(c.chip, under), kSolidTolerance, "header chip");
  // The plain card (0xFF121417) darkened by the shade near its top-left end.
  EXPECT_LE(ChannelDistance(under, 0xFF0A0C0E), 6) << Hex(under);
}

// Every label leaves ink in its own rectangle: compared with the same scene
// painted without its labels.
TEST_P(PreviewPixelsTest, TextIsDrawnInsideEveryLabel) {
  const PixelCase& c = GetParam();
  const DrawList list = List();
  DrawList bare;
  for (const DrawCommand& command : list)
    if (!std::holds_alternative<LabelCommand>(command)) bare.push_back(command);
  const PixelImage full = RenderList(list, c.scale, PaintFonts());
  const PixelImage plain = RenderList(bare, c.scale, PaintFonts());
  ASSERT_EQ(full.pixels.size(), plain.pixels.size());

  int labels = 0;
  for (const DrawCommand& command : list) {
    const auto* label = std::get_if<LabelCommand>(&command);
    if (label == nullptr) continue;
    ++labels;
    const SceneRect& r = label->rect;
    int inside = 0;
    for (int y = 0; y < full.height; ++y) {
      for (int x = 0; x < full.width; ++x) {
        const double ux = (x + 0.5) / c.scale;
        const double uy = (y + 0.5) / c.scale;
        if (ux < r.x || ux >= r.x + r.width || uy < r.y || uy >= r.y + r.height) continue;
        if (ChannelDistance(full.At(x, y), plain.At(x, y)) > 40) ++inside;
      }
    }
    EXPECT_GE(inside, 12) << "no ink for \"" << std::string(label->text.begin(), label->text.end()) << "\"";
  }
  EXPECT_EQ(labels, 9);
}

INSTANTIATE_TEST_SUITE_P(States, PreviewPixelsTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<PixelCase>& param) {
                           return std::string(param.param.name) + (param.param.scale == 1.0f ? "At100" : "At150");
                         });

struct ButtonCase {
  const char* name;
  std::wstring state;
  bool hover, pressed;
  uint32_t fill, border;
};

class ButtonPixelsTest : public testing::TestWithParam<ButtonCase> {};

TEST_P(ButtonPixelsTest, HoverAndPressShowOnTheButton) {
  const ButtonCase& c = GetParam();
  for (float scale : {1.0f, 1.5f}) {
    PreviewFrame frame;
    frame.state = c.state;
    frame.scale = scale;
    frame.hoverButton = c.hover;
    frame.pressedButton = c.pressed;
    const PixelImage image = RenderList(PreviewDrawList(frame, false), scale, PaintFonts());
    const uint32_t fill = PixelAt(image, 325, 24, scale);
    EXPECT_LE(ChannelDistance(fill, Over(c.fill, kCard)), kSolidTolerance) << Hex(fill) << " at scale " << scale;
    if (scale != 1.0f) continue;
    // At scale 1 the 1-unit outline is one full-strength column at the
    // button's left edge (the first or second, by the rasteriser's rule).
    const uint32_t expected = Over(c.border, Over(c.fill, kCard));
    const uint32_t first = PixelAt(image, 322.5, 24, scale);
    const uint32_t second = PixelAt(image, 323.5, 24, scale);
    EXPECT_LE(std::min(ChannelDistance(first, expected), ChannelDistance(second, expected)), kSolidTolerance)
        << Hex(first) << " " << Hex(second) << ", expected " << Hex(expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Looks, ButtonPixelsTest,
                         testing::Values(ButtonCase{"ErrorHover", L"ERROR", true, false, 0x38F59E0B, 0x84F59E0B},
                                         ButtonCase{"ErrorPressed", L"ERROR", false, true, 0x4EFFFFFF, 0x61F59E0B},
                                         ButtonCase{"StopHover", L"STOP", true, false, 0x2EF87171, 0x84F87171},
                                         ButtonCase{"ReadyHover", L"READY", true, false, 0x247DD3FC, 0x577DD3FC},
                                         ButtonCase{"CancelHover", L"DOWNLOAD", true, false, 0x1AF87171, 0x3DF87171},
                                         ButtonCase{"CancelPressed", L"DOWNLOAD", true, true, 0x4EFFFFFF,
                                                    0x3DF87171}),
                         [](const testing::TestParamInfo<ButtonCase>& param) { return param.param.name; });

// The high-contrast look through the real renderer, in the colours of "High
// Contrast Black" and with a picture at hand: none of the design's teal or
// amber anywhere, the track outlined in white around its fill at every
// value, and an error told apart by its chip's 2-unit border.
TEST(HighContrastPixelsTest, ShowsTheBarAtEveryValueWithoutTheDesignColours) {
  struct Case {
    const wchar_t* state;
    std::optional<double> progress;
    double fraction;
  };
  const Case cases[] = {{L"ERROR", std::nullopt, 0.38},
                        {L"DOWNLOAD", std::nullopt, 0.62},
                        {L"DOWNLOAD", 0.0, 0.0},
                        {L"DOWNLOAD", 0.5, 0.5},
                        {L"DOWNLOAD", 1.0, 1.0}};
  const ScenePalette& p = kHighContrastBlack;
  for (const Case& c : cases) {
    const std::string name = std::string(c.state, c.state + std::wcslen(c.state)) + " at " + std::to_string(c.fraction);
    PreviewFrame frame;
    frame.state = c.state;
    frame.progress = c.progress;
    frame.highContrast = p;
    const PixelImage image = RenderPreview(frame, PaintFonts(), TarrowBackground());
    ASSERT_EQ(image.width, kWindowUnitsWide) << name;

    int designColoured = 0;
    for (uint32_t pixel : image.pixels) {
      designColoured += ChannelDistance(pixel, kTeal) <= 12 || ChannelDistance(pixel, kAmber) <= 12 ? 1 : 0;
    }
    EXPECT_EQ(designColoured, 0) << name;

    // The outline's rows lie on the track's first and last pixel rows or
    // one below (by the rasteriser's rule); row 238 is inside either way and
    // shows the fill or the window.
    const auto whiteNear = [&](int x, int y) {
      return ChannelDistance(image.At(x, y), p.windowText) <= kSolidTolerance ||
             ChannelDistance(image.At(x, y + 1), p.windowText) <= kSolidTolerance;
    };
    for (int x : {20, 100, 200, 300, 370}) {
      EXPECT_TRUE(whiteNear(x, 236)) << name << ": top edge at " << x << ": " << Hex(image.At(x, 236));
      EXPECT_TRUE(whiteNear(x, 239)) << name << ": bottom edge at " << x << ": " << Hex(image.At(x, 239));
      const bool filled = x + 2 < 12 + 368 * c.fraction;
      const uint32_t inside = !filled ? p.window : c.state[0] == L'E' ? p.windowText : p.highlight;
      EXPECT_LE(ChannelDistance(image.At(x, 238), inside), kSolidTolerance)
          << name << ": inside at " << x << ": " << Hex(image.At(x, 238));
    }

    // The chip's top border: two white rows for an error, one otherwise.
    int borderRows = 0;
    for (int y = 51; y <= 56; ++y) borderRows += ChannelDistance(image.At(60, y), p.windowText) <= kSolidTolerance;
    EXPECT_EQ(borderRows, c.state[0] == L'E' ? 2 : 1) << name;
  }
}

}  // namespace
