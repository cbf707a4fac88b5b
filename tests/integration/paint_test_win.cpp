// The painted picture through the real renderer, off screen: every preview
// state and the button's hover and press looks against the reference pictures
// under tests/reference, and the high-contrast look's own rules. A change
// that alters the picture must be deliberate: regenerate the references with
// scripts/update-paint-references and look at them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "tools/capture/frame_snapshot_win.h"
#include "ui/paint/fonts_win.h"
#include "ui/scene/layout.h"
#include "ui/scene/scene.h"

namespace {

// GDI+, the fonts and the tarrow picture for the whole test program; the
// fonts and the picture go before GDI+ stops.
class PaintEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    CreateFonts(fonts);
    background = LoadImageFile(SourcePath("resources/assets/tarrow-bg-v1.png"));
  }
  void TearDown() override {
    background.reset();
    fonts.Clear();
  }
  ScopedGdiplus gdiplus;
  UiFonts fonts;
  UniqueGpImage background;
};

PaintEnvironment* const paint =
    static_cast<PaintEnvironment*>(testing::AddGlobalTestEnvironment(new PaintEnvironment));

// Small tolerance for codec and text rasteriser rounding; a moved, recoloured
// or missing element changes far more pixels than this. One resampled
// picture serves every look, made again for the second scale, as the window's.
TEST(PaintReferenceTest, EveryLookMatchesItsReferencePictureAtBothScales) {
  ASSERT_NE(paint->background, nullptr);
  PreparedPicture picture;
  for (int percent : {100, 150}) {
    for (const char* look : {"link", "manifest", "verify", "scan", "download", "apply", "launch", "ready", "error",
                             "stop", "error-hover", "error-pressed", "stop-hover", "ready-hover"}) {
      const std::string name = look, state = name.substr(0, name.find('-'));
      const std::string stem = "paint-" + name + "-" + std::to_string(percent);
      SCOPED_TRACE(stem);
      PreviewFrame frame;
      frame.state = std::wstring(state.begin(), state.end());  // preview words fold to their keys
      frame.scale = static_cast<float>(percent) / 100.0f;
      frame.hoverButton = name.ends_with("hover");
      frame.pressedButton = name.ends_with("pressed");

      const std::optional<PixelImage> reference = LoadPixels(SourcePath("tests/reference/" + stem + ".png"));
      ASSERT_TRUE(reference.has_value()) << "missing: run scripts/update-paint-references";
      const PixelImage fresh =
          RenderPreview(frame, paint->fonts, paint->background.get(), SurfaceKind::ScreenCompatible, &picture);
      ASSERT_EQ(fresh.width, reference->width);
      ASSERT_EQ(fresh.height, reference->height);
      size_t differing = 0;
      for (size_t i = 0; i < fresh.pixels.size(); ++i) differing += ChannelDistance(fresh.pixels[i], reference->pixels[i]) > 3;
      if (differing > fresh.pixels.size() / 2000) {
        SavePng(fresh, std::wstring(stem.begin(), stem.end()) + L".actual.png");
        ADD_FAILURE() << differing << " pixels differ; the fresh render is in the test's working directory";
      }
    }
  }
}

// The high-contrast look in the colours of "High Contrast Black", with a
// picture at hand, as the renderer draws it: the track outlined in white
// around its fill at every value, and an error told apart by its chip's
// 2-unit border. (That the look uses its palette alone is the scene test's.)
TEST(HighContrastPixelsTest, ShowsTheOutlinedBarAtEveryValueAndTheErrorsBorder) {
  const struct {
    const wchar_t* state;
    std::optional<double> progress;
    double fraction;
  } cases[] = {{L"ERROR", std::nullopt, 0.38}, {L"DOWNLOAD", 0.0, 0.0}, {L"DOWNLOAD", 0.5, 0.5}, {L"DOWNLOAD", 1.0, 1.0}};
  const ScenePalette& p = kHighContrastBlack;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.state[0] == L'E' ? "ERROR" : "DOWNLOAD") << " at " << c.fraction);
    PreviewFrame frame;
    frame.state = c.state;
    frame.progress = c.progress;
    frame.highContrast = p;
    const PixelImage image = RenderPreview(frame, paint->fonts, paint->background.get());
    ASSERT_EQ(image.width, kWindowUnitsWide);

    // The outline's rows lie on the track's first and last pixel rows or one
    // below (by the rasteriser's rule); row 238 is inside either way.
    const auto shows = [&](int x, int y, uint32_t colour) { return ChannelDistance(image.At(x, y), colour) <= 3; };
    for (int x : {20, 100, 200, 300, 370}) {
      EXPECT_TRUE(shows(x, 236, p.windowText) || shows(x, 237, p.windowText)) << "top edge at " << x;
      EXPECT_TRUE(shows(x, 239, p.windowText) || shows(x, 240, p.windowText)) << "bottom edge at " << x;
      const bool filled = x + 2 < 12 + 368 * c.fraction;
      EXPECT_TRUE(shows(x, 238, !filled ? p.window : c.state[0] == L'E' ? p.windowText : p.highlight))
          << "inside at " << x << ": " << Hex(image.At(x, 238));
    }
    int borderRows = 0;  // the chip's top border
    for (int y = 51; y <= 56; ++y) borderRows += shows(60, y, p.windowText);
    EXPECT_EQ(borderRows, c.state[0] == L'E' ? 2 : 1);
  }
}

}  // namespace
