#include "ui/layout.h"
#include "tests/integration/paint_support_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/fonts_win.h"
#include "ui/scene.h"
#include "ui/scene_renderer_win.h"

namespace {

// GDI+ for the whole program; the fonts and the picture go before it stops.
class PaintEnvironment : public testing::Environment {
 public:
  void TearDown() override {
    background.reset();
    for (UniqueGpFont& font : fonts) font.reset();
    gdiplus.reset();
  }
  void Start() {
    if (gdiplus) return;
    gdiplus = std::make_unique<ScopedGdiplus>();
    CreateFonts(fonts);
    background = LoadImageFile(SourcePath("resources/assets/tarrow-bg-v1.png"));
  }

  std::unique_ptr<ScopedGdiplus> gdiplus;
  UiFonts fonts;
  UniqueGpImage background;
};

PaintEnvironment* const environment =
    static_cast<PaintEnvironment*>(testing::AddGlobalTestEnvironment(new PaintEnvironment));

}  // namespace

const UiFonts& PaintFonts() {
  environment->Start();
  return environment->fonts;
}

Gdiplus::GpImage* TarrowBackground() {
  environment->Start();
  return environment->background.get();
}

PixelImage RenderList(const DrawList& list, float scale, const UiFonts& fonts, Gdiplus::GpImage* background) {
  FrameSurface surface(ScaleUnits(kWindowUnitsWide, scale), ScaleUnits(kWindowUnitsHigh, scale));
  if (!surface.ok()) return {};
  PaintFrame(surface.dc(), scale, list, fonts, background);
  return surface.Snapshot();
}

uint32_t PixelAt(const PixelImage& image, double unitX, double unitY, float scale) {
  const int x = static_cast<int>(std::floor(unitX * scale));
  const int y = static_cast<int>(std::floor(unitY * scale));
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
  return image.At(x, y);
}
