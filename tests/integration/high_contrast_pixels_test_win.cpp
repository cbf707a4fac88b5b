// The high-contrast look through the real renderer: the design's colours
// must not leak into it, and the bar must show at every value.
#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>

#include "tests/integration/paint_support_win.h"
#include "ui/layout.h"
#include "ui/scene.h"

namespace {

constexpr uint32_t kTeal = 0xFF2DD4BF;
constexpr uint32_t kAmber = 0xFFF59E0B;
constexpr int kSolidTolerance = 3;

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
