// The painted picture through the real renderer, off screen: every preview
// state, the button's hover and press looks and the high-contrast look (the
// track outlined in white around its fill at 0, 50 and 100 %, an error told
// apart by its chip's 2-unit border) against the reference pictures under
// tests/reference. (That the high-contrast look uses its palette alone is the
// scene test's.) A change that alters the picture must be deliberate:
// regenerate the references with scripts/update-paint-references and look at
// them.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/pixel_colors.h"
#include "tests/support/source_tree.h"
#include "tools/capture/frame_snapshot_win.h"
#include "ui/paint/fonts_win.h"

namespace {

// GDI+, the fonts and the tarrow picture for the whole test program; the
// fonts and the picture go before GDI+ stops.
class PaintEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    CreateFonts(fonts);
    background = LoadPictureFile(SourcePath("resources/assets/tarrow-bg-v1.png"));
  }
  void TearDown() override {
    fonts.Clear();
  }
  ScopedGdiplus gdiplus;
  UiFonts fonts;
  PictureSource background;
};

PaintEnvironment* const paint =
    static_cast<PaintEnvironment*>(testing::AddGlobalTestEnvironment(new PaintEnvironment));

// Small tolerance for codec and text rasteriser rounding; a moved, recoloured
// or missing element changes far more pixels than this. One resampled
// picture serves every look, made again for the second scale, as the window's.
TEST(PaintReferenceTest, EveryLookMatchesItsReferencePictureAtBothScales) {
  ASSERT_FALSE(paint->background.empty());
  PreparedPicture picture;
  for (int percent : {100, 150}) {
    for (const char* look : {"link", "manifest", "verify", "scan", "download", "apply", "launch", "ready", "error",
                             "stop", "error-hover", "error-pressed", "stop-hover", "ready-hover", "error-contrast",
                             "download-contrast-0", "download-contrast-50", "download-contrast-100"}) {
      const std::string name = look, state = name.substr(0, name.find('-'));
      const std::string stem = "paint-" + name + "-" + std::to_string(percent);
      SCOPED_TRACE(stem);
      PreviewFrame frame;
      frame.state = std::wstring(state.begin(), state.end());  // preview words fold to their keys
      frame.scale = static_cast<float>(percent) / 100.0f;
      frame.hoverButton = name.ends_with("hover");
      frame.pressedButton = name.ends_with("pressed");
      // "-contrast": the high-contrast look in the colours of "High Contrast
      // Black", at the settled figure in percent that follows, if one does.
      if (const size_t at = name.find("-contrast"); at != std::string::npos) {
        frame.highContrast = kHighContrastBlack;
        if (name.size() > at + 9) frame.progress = std::stoi(name.substr(at + 10)) / 100.0;
      }

      const std::optional<PixelImage> reference = LoadPixels(SourcePath("tests/reference/" + stem + ".png"));
      ASSERT_TRUE(reference.has_value()) << "missing: run scripts/update-paint-references";
      const PixelImage fresh =
          RenderPreview(frame, paint->fonts, &paint->background, SurfaceKind::ScreenCompatible, &picture);
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

}  // namespace
