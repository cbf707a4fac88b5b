#include "tests/integration/paint_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

int Channel(uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

}  // namespace

const UiFonts& PaintFonts() {
  environment->Start();
  return environment->fonts;
}

Gdiplus::GpImage* TarrowBackground() {
  environment->Start();
  return environment->background.get();
}

std::wstring SourcePath(const std::string& relative) {
  std::string path = std::string(TARROW_SOURCE_DIR) + "/" + relative;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // the Unix root under Wine
  std::replace(path.begin(), path.end(), '/', '\\');
  return std::wstring(path.begin(), path.end());
}

uint32_t Over(uint32_t top, uint32_t under) {
  const double alpha = Channel(top, 24) / 255.0;
  uint32_t out = 0xFF000000u;
  for (int shift : {16, 8, 0}) {
    const double value = Channel(top, shift) * alpha + Channel(under, shift) * (1 - alpha);
    out |= static_cast<uint32_t>(std::lround(value)) << shift;
  }
  return out;
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t out = 0xFF000000u;
  for (int shift : {16, 8, 0}) {
    const double value = Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t;
    out |= static_cast<uint32_t>(std::lround(value)) << shift;
  }
  return out;
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int distance = 0;
  for (int shift : {16, 8, 0}) distance = std::max(distance, std::abs(Channel(a, shift) - Channel(b, shift)));
  return distance;
}

std::string Hex(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(color));
  return text;
}

PixelImage RenderList(const DrawList& list, float scale, const UiFonts& fonts, Gdiplus::GpImage* background) {
  DibSurface surface(ScaledPixels(kWindowWidth, scale), ScaledPixels(kWindowHeight, scale));
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
